#include "helppages.h"

#include "fileops/datapaths.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QDesktopServices>
#include <QDir>

namespace HelpPages {

namespace {

const QString kIndex = QStringLiteral("help/index.html");

void warn(const QString &message)
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::MessageErrorTip, Channel::NoName, message);
}

void open(const QUrl &url, const QString &page)
{
    if (url.isEmpty()) {
        const QString expected = QDir(DataPaths::searchFolders().value(0)).filePath(kIndex);
        warn(QStringLiteral("找不到%1：%2").arg(page, QDir::toNativeSeparators(expected)));
        return;
    }
    if (!QDesktopServices::openUrl(url))
        warn(QStringLiteral("无法打开%1，请在浏览器中打开：%2").arg(page, url.toString()));
}

} // namespace

QUrl helpCentreUrl()
{
    const QString page = DataPaths::find(kIndex);
    return page.isEmpty() ? QUrl() : QUrl::fromLocalFile(page);
}

QUrl customerServiceUrl()
{
    QUrl url = helpCentreUrl();
    if (!url.isEmpty())
        url.setFragment(QStringLiteral("contact"));
    return url;
}

void openHelpCentre()
{
    open(helpCentreUrl(), QStringLiteral("帮助中心"));
}

void openCustomerService()
{
    open(customerServiceUrl(), QStringLiteral("在线客服页面"));
}

} // namespace HelpPages
