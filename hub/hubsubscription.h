#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class QObject;

// The hub subscriptions of one receiver, made at once and removed when this object ends. Kept as a member
// of the receiver, it ends while the receiver is still whole, so no notification can reach a receiver that
// is half destroyed. The receiver declares the slot OBSERVER_SLOT.
class HubSubscription
{
public:
    using Pair = QPair<QString, QString>; // (nameSpace, name)

    // slot defaults to OBSERVER_SLOT; another slot must take the same (QString, QString, QVariant).
    HubSubscription(QObject *receiver, const QVector<Pair> &pairs, const char *slot = nullptr);
    // Every channel with the page name "RENAME VALUE UPDATE".
    HubSubscription(QObject *receiver, const QStringList &pageChannels);
    ~HubSubscription();

    HubSubscription(const HubSubscription &) = delete;
    HubSubscription &operator=(const HubSubscription &) = delete;

private:
    QObject *m_receiver;
    QVector<Pair> m_pairs;
};
