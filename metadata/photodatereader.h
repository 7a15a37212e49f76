#pragma once

#include "metadata/photodatecache.h"

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>

// Fills a list's cache of dates taken on worker threads, one read at a time, so the window stays free. The
// list reads its dates from cache() and asks for a read when some are missing; once finished() is emitted
// it looks again and asks for whatever is still missing.
class PhotoDateReader : public QObject
{
    Q_OBJECT
public:
    explicit PhotoDateReader(QObject *parent = nullptr);
    ~PhotoDateReader() override;

    PhotoDateCache &cache() { return *m_cache; }
    // True from read() until finished() has been handled: the worker may end before its end is delivered.
    bool isReading() const { return m_reading; }
    // Reads the dates of paths not cached yet; nothing while a read is under way.
    void read(const QStringList &paths);
    void clear();

signals:
    void finished();

private:
    void onFinished();

    // Shared with the worker, which may outlive a closing list by one item.
    std::shared_ptr<PhotoDateCache> m_cache;
    std::shared_ptr<std::atomic_bool> m_cancel;
    QFutureWatcher<bool> m_watcher;
    bool m_reading = false;
};
