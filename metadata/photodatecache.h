#pragma once

#include "fileops/filetimes.h"
#include "metadata/photodate.h"

#include <QHash>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <optional>

// The dates taken of the items a list has looked at, each kept with the modification time the item had when
// it was read: a changed item is read again, an unchanged one never. Safe to use from several threads.
class PhotoDateCache
{
public:
    // The date read for the item at this modification time; nullopt when it has not been read for it.
    std::optional<PhotoDate> find(const QString &path, const FileInstant &modified) const;
    // The date of the item, read now unless it is cached for this modification time.
    PhotoDate get(const QString &path, const FileInstant &modified);
    // Reads every item not cached for its present modification time, on every core, until cancel is set.
    // Returns false when cancelled.
    bool fill(const QStringList &paths, const std::atomic_bool &cancel);
    void clear();

private:
    struct Slot
    {
        FileInstant modified;
        PhotoDate date;
    };

    mutable QMutex m_mutex;
    QHash<QString, Slot> m_dates;
};
