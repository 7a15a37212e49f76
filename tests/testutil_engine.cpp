#include "testutil_engine.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "ooxml/xlsxworkbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <xlsxwriter.h>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace EngineTest {

QStringList onDisk(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList repeated(const QString &text, int times)
{
    QStringList list;
    for (int i = 0; i < times; ++i)
        list.append(text);
    return list;
}

bool writeWorkbook(const QString &path, const QList<QStringList> &rows)
{
    lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
    if (!book)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QString &text = rows.at(r).at(c);
            if (!text.isEmpty())
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), text.toUtf8().constData(), nullptr);
        }
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

bool writeNames(const QString &path, const QStringList &names)
{
    QList<QStringList> rows;
    for (const QString &name : names)
        rows.append({name});
    return writeWorkbook(path, rows);
}

QList<QStringList> readWorkbook(const QString &path)
{
    XlsxWorkbook book;
    if (!book.load(path) || !book.hasCurrentWorksheet())
        return {{QStringLiteral("<unreadable: %1>").arg(book.errorString())}};
    QList<QStringList> rows;
    for (int r = 0; r < book.lastRow(); ++r)
        rows.append(QStringList());
    for (const XlsxCell &cell : book.cells()) {
        QStringList &row = rows[cell.row - 1];
        while (row.size() < cell.column)
            row.append(QString());
        row[cell.column - 1] = cell.text;
    }
    return rows;
}

WarningListener::WarningListener(const QVector<int> *reportedRows) : m_reportedRows(reportedRows)
{
    CNvGlobalObserver::instance()->addObserver(Channel::MessageErrorTip, Channel::NoName, this, OBSERVER_SLOT);
}

WarningListener::~WarningListener()
{
    CNvGlobalObserver::instance()->removeObserver(Channel::MessageErrorTip, Channel::NoName, this);
}

void WarningListener::onPropertyValueChanged(const QString &, const QString &, const QVariant &value)
{
    messages.append(value.toString());
    rowsReportedAtMessage.append(m_reportedRows ? m_reportedRows->size() : 0);
}

#ifdef Q_OS_LINUX
ScratchMount::ScratchMount(Kind kind)
{
    const bool exfat = kind == ExFat;
    const QString mkfs = exfat ? QStringLiteral("mkfs.exfat") : QStringLiteral("mkfs.ext4");
    const QStringList tools = exfat
        ? QStringList{mkfs, QStringLiteral("mount.exfat-fuse"), QStringLiteral("losetup")}
        : QStringList{mkfs, QStringLiteral("mount")};
    const QStringList searched{QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin"),
                               QStringLiteral("/bin")};
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("mounting a scratch file system needs root");
        return;
    }
    for (const QString &tool : tools) {
        if (QStandardPaths::findExecutable(tool, searched).isEmpty()) {
            m_skipReason = tool + QStringLiteral(" is not installed (exfatprogs, exfat-fuse, e2fsprogs)");
            return;
        }
    }
    if (exfat && !QFileInfo::exists(QStringLiteral("/dev/fuse"))) {
        m_skipReason = QStringLiteral("no /dev/fuse here");
        return;
    }
    m_folder = QDir::tempPath() + QStringLiteral("/quorlin-mount-")
        + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') + QString::number(kind);
    QDir().mkpath(path());
    const QString image = m_folder + QStringLiteral("/image");
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(32 * 1024 * 1024)) {
        m_skipReason = QStringLiteral("cannot make the image file");
        return;
    }
    file.close();
    const bool made = exfat
        ? step(mkfs, {image})
        : step(mkfs,
               {QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("-I"), QStringLiteral("128"), image});
    if (!made)
        return;
    if (exfat) {
        QString device;
        if (!step(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), image}, &device))
            return;
        m_device = device.trimmed();
        m_mounted = step(QStringLiteral("mount.exfat-fuse"), {m_device, path()});
    } else {
        m_mounted = step(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image, path()});
    }
}

ScratchMount::~ScratchMount()
{
    if (m_mounted)
        step(QStringLiteral("umount"), {path()});
    if (!m_device.isEmpty())
        step(QStringLiteral("losetup"), {QStringLiteral("-d"), m_device});
    if (!m_folder.isEmpty() && !m_mounted)
        QDir(m_folder).removeRecursively();
    else if (!m_folder.isEmpty())
        QFile::remove(m_folder + QStringLiteral("/image"));
}

bool ScratchMount::step(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.start(program, arguments);
    const bool done =
        process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (!done && m_skipReason.isEmpty()) {
        m_skipReason = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(" failed: ")
            + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    }
    return done;
}

bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}
#endif

LockedFolder::LockedFolder(const QString &path) : m_path(path)
{
#ifdef Q_OS_LINUX
    if (::geteuid() == 0) {
        m_immutable = setImmutable(path, true);
        return;
    }
#endif
    m_readOnly = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
}

LockedFolder::~LockedFolder()
{
#ifdef Q_OS_LINUX
    if (m_immutable)
        setImmutable(m_path, false);
#endif
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace EngineTest
