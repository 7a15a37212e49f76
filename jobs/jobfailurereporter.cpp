#include "jobfailurereporter.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

namespace {

void sendWarning(const QString &message)
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::MessageErrorTip, Channel::NoName, message);
}

} // namespace

void JobFailureReporter::report(const QString &message)
{
    ++m_failures;
    if (m_failures <= DialogLimit)
        sendWarning(message);
}

void JobFailureReporter::finish()
{
    const int unshown = m_failures - DialogLimit;
    m_failures = 0;
    if (unshown > 0)
        sendWarning(summaryMessage(unshown));
}

QString JobFailureReporter::summaryMessage(int unshown)
{
    return QStringLiteral("另有%1个项目操作失败，请查看列表中的状态").arg(unshown);
}
