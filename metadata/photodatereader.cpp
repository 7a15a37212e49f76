#include "photodatereader.h"

#include <QtConcurrent>

PhotoDateReader::PhotoDateReader(QObject *parent) : QObject(parent), m_cache(std::make_shared<PhotoDateCache>())
{
    connect(&m_watcher, &QFutureWatcher<bool>::finished, this, &PhotoDateReader::onFinished);
}

PhotoDateReader::~PhotoDateReader()
{
    if (m_cancel)
        *m_cancel = true;
}

void PhotoDateReader::read(const QStringList &paths)
{
    if (m_reading)
        return;
    m_reading = true;
    m_cancel = std::make_shared<std::atomic_bool>(false);
    m_watcher.setFuture(
        QtConcurrent::run([cache = m_cache, cancel = m_cancel, paths] { return cache->fill(paths, *cancel); }));
}

void PhotoDateReader::clear()
{
    m_cache->clear();
}

void PhotoDateReader::onFinished()
{
    m_reading = false;
    emit finished();
}
