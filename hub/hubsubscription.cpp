#include "hubsubscription.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QStringList>

namespace {

QVector<HubSubscription::Pair> pagePairs(const QStringList &channels)
{
    QVector<HubSubscription::Pair> pairs;
    pairs.reserve(channels.size());
    for (const QString &channel : channels)
        pairs.append({channel, Channel::RenameValueUpdate});
    return pairs;
}

} // namespace

HubSubscription::HubSubscription(QObject *receiver, const QVector<Pair> &pairs, const char *slot)
    : m_receiver(receiver), m_pairs(pairs)
{
    CNvGlobalObserver *hub = CNvGlobalObserver::instance();
    for (const Pair &pair : qAsConst(m_pairs))
        hub->addObserver(pair.first, pair.second, m_receiver, slot ? slot : OBSERVER_SLOT);
}

HubSubscription::HubSubscription(QObject *receiver, const QStringList &pageChannels)
    : HubSubscription(receiver, pagePairs(pageChannels))
{
}

HubSubscription::~HubSubscription()
{
    CNvGlobalObserver *hub = CNvGlobalObserver::instance();
    for (const Pair &pair : qAsConst(m_pairs))
        hub->removeObserver(pair.first, pair.second, m_receiver);
}
