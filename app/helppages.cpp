#include "helppages.h"

#include "fileops/datapaths.h"

namespace HelpPages {

QUrl helpCentreUrl()
{
    const QString page = DataPaths::find(QStringLiteral("help/index.html"));
    return page.isEmpty() ? QUrl() : QUrl::fromLocalFile(page);
}

QUrl customerServiceUrl()
{
    QUrl url = helpCentreUrl();
    if (!url.isEmpty())
        url.setFragment(QStringLiteral("contact"));
    return url;
}

} // namespace HelpPages
