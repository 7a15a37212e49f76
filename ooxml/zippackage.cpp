#include "zippackage.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

ZipPackage::ZipPackage(qint64 partCap, qint64 totalCap) : m_partCap(partCap), m_totalCap(totalCap) {}

ZipPackage::~ZipPackage()
{
    closeEntry();
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipPackage::openFile(const QString &path)
{
    // zip_open would block on a fifo and read a device forever.
    if (!QFileInfo(path).isFile())
        return false;
#ifdef Q_OS_WIN
    const QByteArray name = path.toUtf8();
#else
    const QByteArray name = QFile::encodeName(path);
#endif
    int error = 0;
    m_zip = zip_open(name.constData(), ZIP_RDONLY, &error);
    return m_zip != nullptr;
}

bool ZipPackage::openData(const QByteArray &data)
{
    m_data = data; // the archive reads from this buffer, so keep it alive
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(m_data.constData(), zip_uint64_t(m_data.size()), 0, &error);
    if (source) {
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!m_zip)
            zip_source_free(source);
    }
    zip_error_fini(&error);
    return m_zip != nullptr;
}

bool ZipPackage::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

ZipPackage::ReadResult ZipPackage::read(const QString &name, QByteArray *out)
{
    out->clear();
    const qint64 index = indexOf(name);
    if (index < 0)
        return Missing;
    zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file)
        return Broken; // encrypted, or a compression method libzip cannot inflate
    char chunk[64 * 1024];
    ReadResult result = Read;
    for (;;) {
        const zip_int64_t n = zip_fread(file, chunk, sizeof chunk);
        if (n == 0)
            break;
        if (n < 0 || out->size() + n > m_partCap || m_total + n > m_totalCap) {
            result = Broken;
            break;
        }
        out->append(chunk, int(n));
        m_total += n;
    }
    zip_fclose(file);
    if (result != Read)
        out->clear();
    return result;
}

ZipPackage::ReadResult ZipPackage::openEntry(const QString &name)
{
    closeEntry();
    const qint64 index = indexOf(name);
    if (index < 0)
        return Missing;
    m_entry = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    return m_entry ? Read : Broken; // encrypted, or a compression method libzip cannot inflate
}

qint64 ZipPackage::readEntry(char *buffer, qint64 size)
{
    if (!m_entry)
        return -1;
    // At the cap, one more byte tells an entry that ends there from one that goes on past it.
    const qint64 allowed = qBound<qint64>(0, m_totalCap - m_total, size);
    if (allowed == 0) {
        char probe;
        return zip_fread(m_entry, &probe, 1) == 0 ? 0 : -1;
    }
    const zip_int64_t n = zip_fread(m_entry, buffer, zip_uint64_t(allowed));
    if (n < 0)
        return -1;
    m_total += n;
    return n;
}

void ZipPackage::closeEntry()
{
    if (m_entry)
        zip_fclose(m_entry);
    m_entry = nullptr;
}

qint64 ZipPackage::indexOf(const QString &name) const
{
    if (!m_zip)
        return -1;
    const QByteArray utf8 = name.toUtf8();
    const zip_int64_t index = zip_name_locate(m_zip, utf8.constData(), 0);
    return index >= 0 ? index : zip_name_locate(m_zip, utf8.constData(), ZIP_FL_NOCASE);
}
