#include "windowservice.h"

#include "mainwindow.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>

#include <utility>

namespace {

class OpenAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.korvel.Quorlin")
public:
    explicit OpenAdaptor(WindowService *service) : QDBusAbstractAdaptor(service), m_service(service) {}

public slots:
    void Open(const QString &page, const QStringList &paths) { m_service->open({page, paths}); }

private:
    WindowService *m_service;
};

class ListsAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.korvel.Quorlin.Lists")
public:
    explicit ListsAdaptor(WindowService *service) : QDBusAbstractAdaptor(service), m_service(service) {}

public slots:
    QString CurrentPage() const { return m_service->currentPage(); }
    QStringList ListedPaths(const QString &page) const { return m_service->listedPaths(page); }

private:
    WindowService *m_service;
};

} // namespace

WindowService::WindowService(QObject *parent) : QObject(parent)
{
    new OpenAdaptor(this);
    new ListsAdaptor(this);
}

bool WindowService::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The object first: a call that comes right after the name is taken finds it and waits for the event loop.
    if (!bus.registerObject(objectPath(), this, QDBusConnection::ExportAdaptors))
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        serviceName(), QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return true;
    bus.unregisterObject(objectPath());
    return false;
}

bool WindowService::handOver(const LaunchRequest &request, int timeoutMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(serviceName(), objectPath(), serviceName(), QStringLiteral("Open"));
    call << request.page << request.paths;
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    qWarning("The running window did not take this start (%s); opening another",
             qUtf8Printable(reply.errorMessage()));
    return false;
}

void WindowService::serve(MainWindow *window)
{
    m_window = window;
    const QVector<LaunchRequest> pending = std::exchange(m_pending, {});
    for (const LaunchRequest &request : pending)
        open(request);
}

void WindowService::open(const LaunchRequest &request)
{
    if (!m_window) {
        m_pending.append(request);
        return;
    }
    QTimer::singleShot(0, this, [this, request] { apply(request); });
}

void WindowService::apply(const LaunchRequest &request)
{
    if (!m_window)
        return;
    // A list under a job takes no rows; the paths wait for its end rather than being dropped.
    if (m_window->listsBusy() && !request.paths.isEmpty()) {
        QTimer::singleShot(250, this, [this, request] { apply(request); });
        return;
    }
    m_window->openPaths(request.page, request.paths);
    m_window->bringToFront();
}

QString WindowService::currentPage() const
{
    return m_window ? m_window->currentPageName() : QString();
}

QStringList WindowService::listedPaths(const QString &page) const
{
    return m_window ? m_window->listedPaths(page) : QStringList();
}

#include "windowservice.moc"
