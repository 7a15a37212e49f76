#include "namesources.h"

#include "metadata/photodate.h"
#include "rename/textconversions.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <time.h>
#endif

namespace {

// Converting the clock to local time costs Qt a time-zone lookup (on Linux a file check) per call, and a
// recomputation asks once per row; the numbering shows whole seconds, so one conversion per second will do.
QDateTime currentLocalSecond()
{
    thread_local qint64 cachedSecond = std::numeric_limits<qint64>::min();
    thread_local QDateTime cachedTime;
    const qint64 msecs = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000;
    if (second != cachedSecond) {
        cachedTime = QDateTime::fromMSecsSinceEpoch(second * 1000, Qt::LocalTime);
        cachedSecond = second;
    }
    return cachedTime;
}

QDateTime itemCreationTime(const QString &path)
{
    return QFileInfo(path).birthTime();
}

#ifdef Q_OS_LINUX
// Qt re-checks the time-zone file on every conversion to local time (about 6 us, so 18 ms for 3000 rows);
// the C library converts from its cached zone. The names only format the wall-clock fields, so they are
// carried in a UTC date-time that no later step converts again.
QDateTime itemModificationTime(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QDateTime();
    struct tm parts;
    const time_t seconds = info.st_mtim.tv_sec;
    if (!::localtime_r(&seconds, &parts))
        return QDateTime();
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                     QTime(parts.tm_hour, parts.tm_min, parts.tm_sec, int(info.st_mtim.tv_nsec / 1000000)), Qt::UTC);
}
#else
QDateTime itemModificationTime(const QString &path)
{
    return QFileInfo(path).lastModified();
}
#endif

// Read where asked: the lists look dates up in their own cache instead, filled off the window's thread.
TakenTime readTakenTime(const QString &path)
{
    const PhotoDate date = readPhotoDate(path);
    return {date.found() ? NameSources::numberingTime(date.taken) : QDateTime(), false};
}

NameSources makeSystemSources()
{
    NameSources sources;
    sources.currentTime = &currentLocalSecond;
    sources.creationTime = &itemCreationTime;
    sources.modificationTime = &itemModificationTime;
    sources.photoTime = &readTakenTime;
    sources.randomText = &randomString;
    sources.pinyin = &toPinyin;
    sources.traditional = &toTraditional;
    sources.simplified = &toSimplified;
    return sources;
}

} // namespace

const NameSources &NameSources::system()
{
    static const NameSources sources = makeSystemSources();
    return sources;
}

QDateTime NameSources::numberingTime(const WallClockTime &taken)
{
    if (!taken.isValid())
        return QDateTime();
    if (!taken.utcOffset)
        return QDateTime(taken.date, taken.time, Qt::UTC);
    // The instant, then its fields in local time, carried like every other time of the names.
    const qint64 instant = QDateTime(taken.date, taken.time, Qt::UTC).toSecsSinceEpoch() - *taken.utcOffset;
#ifdef Q_OS_LINUX
    const time_t seconds = time_t(instant);
    struct tm parts;
    if (!::localtime_r(&seconds, &parts))
        return QDateTime();
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                     QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
#else
    const QDateTime local = QDateTime::fromSecsSinceEpoch(instant, Qt::LocalTime);
    return QDateTime(local.date(), local.time(), Qt::UTC);
#endif
}
