#include "applicationstartup.h"

#include "fileops/datapaths.h"
#include "log/logfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

QStringList ApplicationStartup::logFolders(const QString &programFolder, const QString &userDataFolder)
{
    QStringList folders;
    if (DataPaths::holdsData(programFolder))
        folders << QDir(programFolder).filePath(QStringLiteral("log"));
    if (!userDataFolder.isEmpty())
        folders << QDir(userDataFolder).filePath(QStringLiteral("log"));
    return folders;
}

bool ApplicationStartup::openLogFile(const QStringList &folders, const QDateTime &start)
{
    LogFile &log = LogFile::instance();
    for (const QString &folder : folders) {
        if (!log.open(folder, start))
            continue;
        if (folder != folders.first())
            qWarning("Cannot write a log file in %s; logging to %s", qUtf8Printable(folders.first()),
                     qUtf8Printable(folder));
        LogFile::removeOldFiles(folder, LogFile::keptFiles, LogFile::fileNameFor(start));
        return true;
    }
    return false;
}

bool ApplicationStartup::openLogFile(const QDateTime &start)
{
    return openLogFile(logFolders(DataPaths::programFolder(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)),
                       start);
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
