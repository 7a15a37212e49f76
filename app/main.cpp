#include "app/applicationstartup.h"
#include "log/logmessagehandler.h"
#include "app/mainwindow.h"
#include "rename/ccconverter.h"

#include <QApplication>
#include <QDateTime>
#include <QIcon>

int main(int argc, char *argv[])
{
    qInstallMessageHandler(logMessageHandler);
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    // Set before the log opens: they name the per-user folder that takes the log of an installed program.
    QApplication::setOrganizationName(QStringLiteral("Korvel"));
    QApplication::setApplicationName(QStringLiteral("Quorlin"));
    ApplicationStartup::openLogFile(QDateTime::currentDateTime());

    QApplication app(argc, argv);
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("com.korvel.Quorlin"));
    ApplicationStartup::applyStyleSheet(app, ApplicationStartup::styleSheetResource());
    CCConverter::initialize();
#ifndef Q_OS_WIN
    // Windows takes the icon from the executable's resources; elsewhere the window needs it set.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/image/logo.svg")));
#endif

    MainWindow window;
    window.show();
    ApplicationStartup::centreOnPrimaryScreen(&window);
    return app.exec();
}
