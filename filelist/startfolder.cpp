#include "startfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString defaultUserFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}
