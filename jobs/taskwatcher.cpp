#include "taskwatcher.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "hub/mydialogmessageevent.h"

namespace {

void showWarning(const QString &message)
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::MessageErrorTip, Channel::NoName, message);
}

} // namespace

TaskWatcherBase::TaskWatcherBase(QObject *receiver, MessageHandler onMessage)
    : m_receiver(receiver),
      m_onMessage(onMessage ? std::move(onMessage) : MessageHandler(&showWarning)),
      m_cancelled(std::make_shared<std::atomic_bool>(false))
{
    if (receiver)
        connect(receiver, &QObject::destroyed, this, &TaskWatcherBase::cancel);
}

void TaskWatcherBase::cancel()
{
    *m_cancelled = true;
}

std::function<bool()> TaskWatcherBase::cancelCheck() const
{
    const std::shared_ptr<std::atomic_bool> cancelled = m_cancelled;
    return [cancelled] { return cancelled->load(); };
}

bool TaskWatcherBase::delivers() const
{
    return m_receiver && !*m_cancelled;
}

void TaskWatcherBase::customEvent(QEvent *event)
{
    if (event->type() == MyDialogMessageEvent::EventType && delivers())
        m_onMessage(static_cast<MyDialogMessageEvent *>(event)->message());
}
