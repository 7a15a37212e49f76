#include "revealinfilemanager.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#ifdef Q_OS_WIN
#include <QProcess>
#else
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#endif

namespace {

// Nothing opened: the user at least learns where the item is.
void warnNotShown(const QString &path)
{
    CNvGlobalObserver::instance()->notifyObservers(
        Channel::MessageErrorTip, Channel::NoName,
        QStringLiteral("无法打开文件管理器，请手动打开：%1").arg(QDir::toNativeSeparators(path)));
}

} // namespace

#ifdef Q_OS_WIN

void revealInFileManager(const QString &path)
{
    if (path.isEmpty())
        return;
    if (!QProcess::startDetached(QStringLiteral("explorer"),
                                 {QStringLiteral("/select,"), QDir::toNativeSeparators(path)}))
        warnNotShown(path);
}

#else

namespace {

// Long enough for a file manager started on demand by the bus, short enough that a hung one does not
// leave the user waiting for the fallback.
constexpr int kShowItemsTimeoutMs = 8000;

void openParentFolder(const QString &absolutePath)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(absolutePath).absolutePath())))
        warnNotShown(absolutePath);
}

} // namespace

void revealInFileManager(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString absolutePath = QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openParentFolder(absolutePath);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolutePath).toString(QUrl::FullyEncoded)} << QString();

    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kShowItemsTimeoutMs), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [absolutePath](QDBusPendingCallWatcher *w) {
        if (w->isError())
            openParentFolder(absolutePath);
        w->deleteLater();
    });
}

#endif
