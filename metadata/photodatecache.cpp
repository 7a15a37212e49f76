#include "photodatecache.h"

#include <QMutexLocker>

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
    for (const QString &path : paths) {
        if (cancel.load(std::memory_order_relaxed))
            return false;
        const FileTimes times = readFileTimes(path);
        if (times.readable)
            get(path, times.lastWrite);
    }
    return true;
}

void PhotoDateCache::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_dates.clear();
}
