#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

struct ObserverEntry;

// The process-wide hub: receivers subscribe a slot to a (nameSpace, name) pair, senders notify a pair, and
// the hub calls every subscribed slot at once, in order of subscription. GUI thread only, except instance().
class CNvGlobalObserver : public QObject
{
public:
    static CNvGlobalObserver *instance();

    void addObserver(const QString &nameSpace, const QString &name, QObject *receiver, const char *slot);
    void removeObserver(const QString &nameSpace, const QString &name, QObject *receiver);
    void notifyObservers(const QString &nameSpace, const QString &name, const QVariant &value = QVariant());

    int entryCount() const { return m_entries.size(); }

    ~CNvGlobalObserver() override;

private:
    CNvGlobalObserver() = default;
    static void removeEntry(ObserverEntry *entry);

    QList<ObserverEntry *> m_entries;
};
