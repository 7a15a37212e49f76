#include "additionplan.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

AdditionPlan AdditionPlan::make(const QSet<QString> &listed, const QStringList &paths, int rowCount,
                                int capacity)
{
    AdditionPlan plan;
    QSet<QString> seen = listed;
    int next = rowCount + 1;
    for (const QString &path : paths) {
        if (seen.contains(path)) {
            ++plan.skipped;
            continue;
        }
        if (next > capacity) {
            plan.limitReached = true;
            break;
        }
        seen.insert(path);
        plan.accepted.append(path);
        ++next;
    }
    return plan;
}

void announceAdditionStart()
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::StartAddFile, Channel::NoName);
}

void announceAdditionEnd(const AdditionPlan &plan)
{
    auto *hub = CNvGlobalObserver::instance();
    hub->notifyObservers(Channel::EndAddFile, Channel::NoName, plan.skipped);
    if (plan.limitReached)
        hub->notifyObservers(Channel::AppCapacityLimit, Channel::NoName);
}
