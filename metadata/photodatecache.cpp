#include "photodatecache.h"

#include <QMutexLocker>
#include <QtConcurrent>

std::optional<PhotoDate> PhotoDateCache::find(const QString &path, const FileInstant &modified) const
{
    const QMutexLocker lock(&m_mutex);
    const auto it = m_dates.constFind(path);
    if (it == m_dates.constEnd() || it->modified != modified)
        return std::nullopt;
    return it->date;
}

PhotoDate PhotoDateCache::get(const QString &path, const FileInstant &modified)
{
    if (const std::optional<PhotoDate> cached = find(path, modified))
        return *cached;
    // Read outside the lock: other threads go on with their own items meanwhile.
    const PhotoDate date = readPhotoDate(path);
    const QMutexLocker lock(&m_mutex);
    m_dates.insert(path, {modified, date});
    return date;
}

bool PhotoDateCache::fill(const QStringList &paths, const std::atomic_bool &cancel)
{
    // Reading waits on the disk as much as on the processor: every core reads its share, this thread too.
    QtConcurrent::blockingMap(paths, [this, &cancel](const QString &path) {
        if (cancel.load(std::memory_order_relaxed))
            return;
        const FileTimes times = readFileTimes(path);
        if (times.readable)
            get(path, times.lastWrite);
    });
    return !cancel.load();
}

void PhotoDateCache::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_dates.clear();
}
