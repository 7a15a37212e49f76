#include "helppages.h"

#include <QCoreApplication>

namespace HelpPages {

QUrl helpCentreUrl()
{
    return QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html"));
}

QUrl customerServiceUrl()
{
    QUrl url = helpCentreUrl();
    url.setFragment(QStringLiteral("contact"));
    return url;
}

} // namespace HelpPages
