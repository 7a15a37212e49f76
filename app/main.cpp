#include "app/applicationstartup.h"
#include "app/commandline.h"
#include "log/logmessagehandler.h"
#include "app/mainwindow.h"
#include "app/windowservice.h"
#include "app/qttranslations.h"
#include "rename/ccconverter.h"

#include <QApplication>
#include <QDateTime>
#include <QFontDatabase>
#include <QIcon>
#include <QtConcurrent>
#include <QTimer>

int main(int argc, char *argv[])
{
    qInstallMessageHandler(logMessageHandler);
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    // Set before the log opens: they name the per-user folder that takes the log of an installed program.
    QApplication::setOrganizationName(QStringLiteral("Korvel"));
    QApplication::setApplicationName(QStringLiteral("Quorlin"));
    LaunchRequest request;
    const int exitNow = CommandLine::read(argc, argv, &request);
    if (exitNow >= 0)
        return exitNow;
    ApplicationStartup::openLogFile(QDateTime::currentDateTime());
#ifndef Q_OS_WIN
    // Every widget is drawn in software and nothing uses OpenGL, yet on X11 Qt loads the GL libraries with the
    // first window: a fifth of the start and some 50 MB. A user who sets the variable still decides.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
#endif

    QApplication app(argc, argv);
#ifndef Q_OS_WIN
    // Fontconfig reads the system's font list once per process, a tenth of the start: a worker reads it while
    // the window builds, and the window's first text finds it read.
    QtConcurrent::run([] { QFontDatabase(); });
#endif
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("com.korvel.Quorlin"));
    WindowService service;
    if (!service.claim() && WindowService::handOver(request))
        return 0;
    QtTranslations::install(&app, QLocale::system());
#ifndef Q_OS_WIN
    // Windows takes the icon from the executable's resources; elsewhere the window needs it set.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/image/logo.svg")));
#endif

    MainWindow window(nullptr, ApplicationStartup::loadStyleSheet(ApplicationStartup::styleSheetResource()));
    if (!window.restoreRemembered())
        ApplicationStartup::centreOnPrimaryScreen(&window);
    window.show();
    // The dictionaries load on a worker thread once the window is up, so they do not compete with its start.
    QTimer::singleShot(0, &window, [] { CCConverter::whenLoaded(); });
    service.serve(&window);
    service.open(request);
    return app.exec();
}
