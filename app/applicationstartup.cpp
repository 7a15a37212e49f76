#include "applicationstartup.h"

#include "logfile.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QWidget>

bool ApplicationStartup::openLogFile(const QDateTime &start)
{
    return LogFile::instance().open(logFolder(), start);
}

QString ApplicationStartup::loadStyleSheet(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

void ApplicationStartup::applyStyleSheet(QApplication &app, const QString &path)
{
    const QString styleSheet = loadStyleSheet(path);
    if (!styleSheet.isEmpty())
        app.setStyleSheet(styleSheet);
}

QPoint ApplicationStartup::centredPosition(const QSize &available, const QSize &window)
{
    return QPoint((available.width() - window.width()) / 2, (available.height() - window.height()) / 2);
}

void ApplicationStartup::centreOnPrimaryScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->move(centredPosition(screen->availableGeometry().size(), window->size()));
}
