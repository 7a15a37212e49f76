#pragma once

#include "app/commandline.h"

#include <QObject>
#include <QPointer>
#include <QVector>

class MainWindow;

// Keeps the program to one window per session: the first start owns the session-bus name
// com.korvel.Quorlin and takes the page and paths of later starts, which hand them over and end.
//
// Object /com/korvel/Quorlin, interface com.korvel.Quorlin: Open(page, paths) adds the paths to the page as
// the command line does (an empty page lets the paths choose) and raises the window. Interface
// com.korvel.Quorlin.Lists reads the window: CurrentPage() and ListedPaths(page).
class WindowService : public QObject
{
    Q_OBJECT
public:
    static QString serviceName() { return QStringLiteral("com.korvel.Quorlin"); }
    static QString objectPath() { return QStringLiteral("/com/korvel/Quorlin"); }

    explicit WindowService(QObject *parent = nullptr);

    // Takes the session-bus name; false when there is no session bus or another start owns the name.
    bool claim();
    // Hands the request to the window that owns the name; false when there is no bus or no answer within
    // timeoutMs, so this start opens its own window.
    static bool handOver(const LaunchRequest &request, int timeoutMs = 1000);

    // The window that takes requests; those that came before it are applied now.
    void serve(MainWindow *window);
    // Applies a request to the window once the event loop runs, so a bus call is answered at once even
    // when the addition ends in a warning dialog.
    void open(const LaunchRequest &request);

    QString currentPage() const;
    QStringList listedPaths(const QString &page) const;

private:
    void apply(const LaunchRequest &request);

    QPointer<MainWindow> m_window;
    QVector<LaunchRequest> m_pending;
};
