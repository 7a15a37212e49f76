#include "namesources.h"

#include "rename/textconversions.h"

#include <QFileInfo>

#include <limits>

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

QDateTime itemModificationTime(const QString &path)
{
    return QFileInfo(path).lastModified();
}

NameSources makeSystemSources()
{
    NameSources sources;
    sources.currentTime = &currentLocalSecond;
    sources.creationTime = &itemCreationTime;
    sources.modificationTime = &itemModificationTime;
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
