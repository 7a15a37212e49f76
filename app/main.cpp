#include "app/applicationstartup.h"
#include "app/logmessagehandler.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char *argv[])
{
    qInstallMessageHandler(logMessageHandler);
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    ApplicationStartup::openLogFile(QDateTime::currentDateTime());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Korvel"));
    QApplication::setApplicationName(QStringLiteral("Quorlin"));
    ApplicationStartup::applyStyleSheet(app, ApplicationStartup::styleSheetResource());

    MainWindow window;
    window.show();
    ApplicationStartup::centreOnPrimaryScreen(&window);
    return app.exec();
}
