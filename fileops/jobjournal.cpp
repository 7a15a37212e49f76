#include "jobjournal.h"

#include "fileops/journalformat.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <io.h>
#include <fcntl.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// Progress lines kept in memory before one write: a line is about 100 bytes, the batch a few kilobytes.
constexpr int ProgressBatch = 64;

int openNew(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
#ifdef Q_OS_WIN
    int fd = -1;
    _sopen_s(&fd, encoded.constData(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYWR, _S_IREAD | _S_IWRITE);
    return fd;
#else
    const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    // Held while the job runs: a second instance of the program sees the journal is not abandoned.
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
#endif
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
#ifdef Q_OS_WIN
        const int n = _write(fd, data, unsigned(qMin<qint64>(left, 1 << 30)));
#else
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
#endif
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

bool flushToDisk(int fd)
{
#ifdef Q_OS_WIN
    return _commit(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

void closeFd(int fd)
{
#ifdef Q_OS_WIN
    _close(fd);
#else
    ::close(fd);
#endif
}

} // namespace

JobJournal::~JobJournal()
{
    // A journal not finished stays for the next start to find; only the lock goes with the descriptor.
    if (m_fd >= 0) {
        flushProgress();
        closeFd(m_fd);
    }
}

QString JobJournal::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/journal");
}

QString JobJournal::kindName(Kind kind)
{
    return JournalFormat::kindName(kind);
}

bool JobJournal::begin(Kind kind, const QString &page, const QVector<Item> &items, const QString &source)
{
    finish();
    if (items.isEmpty())
        return false;
    const QString where = folder();
    if (!QDir().mkpath(where)) {
        qWarning().noquote() << "journal: cannot make" << where;
        return false;
    }
    m_path = where + QStringLiteral("/job-") + QString::number(QDateTime::currentMSecsSinceEpoch())
        + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
        + QString::number(QRandomGenerator::global()->generate(), 16) + JournalFormat::suffix();
    m_fd = openNew(m_path);
    if (m_fd < 0) {
        qWarning().noquote() << "journal: cannot create" << m_path;
        return false;
    }
    m_places.clear();
    m_places.reserve(items.size());
    m_plan = JournalFormat::plan(kind, page, QDateTime::currentDateTimeUtc(), source, items, &m_places);
    if (!writeAll(m_fd, m_plan) || !flushToDisk(m_fd)) {
        qWarning().noquote() << "journal: cannot write" << m_path;
        closeFd(m_fd);
        m_fd = -1;
        QFile::remove(m_path);
        return false;
    }
    return true;
}

void JobJournal::aside(int index, const QString &temporary, const QByteArray &identity)
{
    if (m_fd < 0 || index < 0 || temporary.isEmpty())
        return;
    flushProgress();
    append(JournalFormat::asideLine(index, temporary, identity));
}

void JobJournal::done(int index, const QString &where)
{
    if (m_fd < 0 || index < 0)
        return;
    JournalFormat::appendDoneLine(m_pending, index, where);
    if (++m_pendingCount >= ProgressBatch)
        flushProgress();
}

void JobJournal::done(int index)
{
    if (m_fd < 0 || index < 0 || index >= m_places.size())
        return;
    JournalFormat::appendDoneLine(m_pending, index, m_plan, m_places.at(index));
    if (++m_pendingCount >= ProgressBatch)
        flushProgress();
}

void JobJournal::finish()
{
    if (m_fd < 0)
        return;
    closeFd(m_fd);
    m_fd = -1;
    m_pending.clear();
    m_pendingCount = 0;
    m_plan.clear();
    m_places.clear();
    if (!QFile::remove(m_path))
        qWarning().noquote() << "journal: cannot remove" << m_path;
}

void JobJournal::append(const QByteArray &line)
{
    // Written, not flushed: the system keeps it should the program be killed; after a power loss the recovery
    // still finds each item on disk by its identity.
    if (!writeAll(m_fd, line))
        qWarning().noquote() << "journal: cannot append to" << m_path;
}

void JobJournal::flushProgress()
{
    if (m_pending.isEmpty())
        return;
    append(m_pending);
    m_pending.clear();
    m_pendingCount = 0;
}
