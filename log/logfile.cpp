#include "logfile.h"

#include "logcipher.h"

#include <QDir>
#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <functional>

namespace {
std::atomic<bool> s_destroyed{false};
// Set while this thread holds the file's lock: a message raised inside (a warning from QFile) is dropped
// rather than waiting for a lock its own thread holds.
thread_local bool t_holdsLock = false;

class HeldLock
{
public:
    explicit HeldLock(QMutex *mutex) : m_locker(mutex) { t_holdsLock = true; }
    ~HeldLock() { t_holdsLock = false; }

private:
    QMutexLocker m_locker;
};
} // namespace

LogFile &LogFile::instance()
{
    static LogFile file;
    return file;
}

bool LogFile::isAvailable()
{
    return !s_destroyed.load();
}

LogFile::~LogFile()
{
    s_destroyed.store(true);
    HeldLock locker(&m_mutex);
    m_file.close();
}

QString LogFile::fileNameFor(const QDateTime &start)
{
    return start.toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss-")) + QStringLiteral("log.txt");
}

int LogFile::removeOldFiles(const QString &folderPath, int keep, const QString &currentFileName)
{
    static const QRegularExpression logName(QStringLiteral("^\\d{4}(-\\d{2}){5}-log\\.txt$"));
    const QDir folder(folderPath);
    QStringList names = folder.entryList({QStringLiteral("*-log.txt")}, QDir::Files | QDir::Hidden, QDir::Name);
    names = names.filter(logName);
    // The names carry the start time with fixed-width fields, so their order is the order of the starts.
    std::sort(names.begin(), names.end(), std::greater<QString>());
    if (names.removeAll(currentFileName) > 0)
        --keep;
    int removed = 0;
    for (int i = qMax(keep, 0); i < names.size(); ++i) {
        if (QFile::remove(folder.filePath(names.at(i))))
            ++removed;
        else
            qWarning("Cannot remove the old log file %s", qUtf8Printable(folder.filePath(names.at(i))));
    }
    return removed;
}

bool LogFile::open(const QString &folderPath, const QDateTime &start)
{
    QDir folder(folderPath);
    if (!folder.exists())
        folder.mkpath(QStringLiteral("."));
    const QString path = folder.absolutePath() + QLatin1Char('/') + fileNameFor(start);

    HeldLock locker(&m_mutex);
    m_file.close();
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void LogFile::close()
{
    HeldLock locker(&m_mutex);
    m_file.close();
}

bool LogFile::isOpen() const
{
    HeldLock locker(&m_mutex);
    return m_file.isOpen();
}

QString LogFile::filePath() const
{
    HeldLock locker(&m_mutex);
    return m_file.fileName();
}

void LogFile::writeLine(const QString &plainText)
{
    if (t_holdsLock)
        return;
    const QByteArray line = encryptLogText(plainText).toLatin1() + '\n';
    HeldLock locker(&m_mutex);
    // Writing to a closed QFile emits a warning, which would come straight back here.
    if (!m_file.isOpen())
        return;
    m_file.write(line);
    m_file.flush();
}
