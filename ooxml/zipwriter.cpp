#include "zipwriter.h"

#include <QSaveFile>

#include <zip.h>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString zipErrorText(zip_error_t *zipError)
{
    return QString::fromLocal8Bit(zip_error_strerror(zipError));
}

// The bytes libzip left in an in-memory source after closing the archive built on it.
bool readSource(zip_source_t *source, QByteArray *out, QString *error)
{
    if (zip_source_open(source) < 0) {
        setError(error, zipErrorText(zip_source_error(source)));
        return false;
    }
    bool ok = zip_source_seek(source, 0, SEEK_END) == 0;
    const zip_int64_t size = ok ? zip_source_tell(source) : -1;
    ok = size >= 0 && size < zip_int64_t(INT_MAX) && zip_source_seek(source, 0, SEEK_SET) == 0;
    if (ok) {
        out->resize(int(size));
        ok = zip_source_read(source, out->data(), zip_uint64_t(size)) == size;
    }
    if (!ok)
        setError(error, zipErrorText(zip_source_error(source)));
    zip_source_close(source);
    return ok;
}

} // namespace

void ZipWriter::addPart(const QString &name, const QByteArray &data)
{
    m_parts.append({name, data});
}

QByteArray ZipWriter::toByteArray(QString *error) const
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t *archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError) : nullptr;
    if (!archive) {
        setError(error, zipErrorText(&zipError));
        zip_source_free(buffer);
        zip_error_fini(&zipError);
        return QByteArray();
    }
    zip_error_fini(&zipError);
    // The archive gives its source up when it closes; the source must outlive it to hand out the bytes.
    zip_source_keep(buffer);

    for (const Part &part : m_parts) {
        // The parts outlive the archive, so libzip may read them in place.
        zip_source_t *data = zip_source_buffer(archive, part.data.constData(), zip_uint64_t(part.data.size()), 0);
        const zip_int64_t index =
            data ? zip_file_add(archive, part.name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0)
            zip_source_free(data); // not taken by the archive
        // libzip deflates at the strongest level unless told; zlib's usual level is several times faster on
        // the text of a document and hardly larger.
        bool ok = index >= 0 && zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 6) == 0;
        if (ok && m_modified.isValid())
            ok = zip_file_set_mtime(archive, zip_uint64_t(index), time_t(m_modified.toSecsSinceEpoch()), 0) == 0;
        if (!ok) {
            setError(error, QString::fromLocal8Bit(zip_strerror(archive)));
            zip_discard(archive);
            zip_source_free(buffer);
            return QByteArray();
        }
    }
    if (zip_close(archive) < 0) {
        setError(error, QString::fromLocal8Bit(zip_strerror(archive)));
        zip_discard(archive);
        zip_source_free(buffer);
        return QByteArray();
    }
    QByteArray bytes;
    const bool read = readSource(buffer, &bytes, error);
    zip_source_free(buffer);
    return read ? bytes : QByteArray();
}

bool ZipWriter::write(const QString &path, QString *error) const
{
    const QByteArray bytes = toByteArray(error);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}
