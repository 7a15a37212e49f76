#include "cnvglobalobserver.h"

#include "cnvobesrverapater.h"
#include "observerentry.h"

#include <QAtomicPointer>
#include <QMutex>
#include <QMutexLocker>

#include <memory>

namespace {
QMutex s_instanceMutex;
std::unique_ptr<CNvGlobalObserver> s_instance;
QAtomicPointer<CNvGlobalObserver> s_published;
} // namespace

CNvGlobalObserver *CNvGlobalObserver::instance()
{
    if (CNvGlobalObserver *hub = s_published.loadAcquire())
        return hub;
    QMutexLocker lock(&s_instanceMutex);
    if (!s_instance) {
        s_instance.reset(new CNvGlobalObserver);
        s_published.storeRelease(s_instance.get());
    }
    return s_instance.get();
}

CNvGlobalObserver::~CNvGlobalObserver()
{
    for (ObserverEntry *entry : qAsConst(m_entries))
        removeEntry(entry);
    m_entries.clear();
}

void CNvGlobalObserver::removeEntry(ObserverEntry *entry)
{
    delete entry->adapter;
    delete entry;
}

void CNvGlobalObserver::addObserver(const QString &nameSpace, const QString &name, QObject *receiver,
                                    const char *slot)
{
    auto *adapter = new CNvobesrverApater;
    QObject::connect(adapter, SIGNAL(notify(QString,QString,QVariant)), receiver, slot, Qt::AutoConnection);
    auto *entry = new ObserverEntry{nameSpace, name, receiver, adapter};

    for (int i = 0; i < m_entries.size(); ++i) {
        ObserverEntry *old = m_entries.at(i);
        if (old->receiver == receiver && old->nameSpace == nameSpace && old->name == name) {
            m_entries.removeAt(i);
            removeEntry(old);
            break;
        }
    }
    m_entries.append(entry);
}

void CNvGlobalObserver::removeObserver(const QString &nameSpace, const QString &name, QObject *receiver)
{
    for (int i = m_entries.size() - 1; i >= 0; --i) {
        ObserverEntry *entry = m_entries.at(i);
        if (entry->receiver == receiver && entry->nameSpace == nameSpace && entry->name == name) {
            m_entries.removeAt(i);
            removeEntry(entry);
        }
    }
}

void CNvGlobalObserver::notifyObservers(const QString &nameSpace, const QString &name, const QVariant &value)
{
    // A copy, so that a receiver that subscribes or unsubscribes while handling cannot upset the walk.
    const QList<ObserverEntry *> entries = m_entries;
    for (ObserverEntry *entry : entries) {
        if (entry->name == name && entry->nameSpace == nameSpace && m_entries.contains(entry))
            emit entry->adapter->notify(nameSpace, name, value);
    }
}
