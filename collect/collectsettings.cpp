#include "collectsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

CollectSettings &fileCollectSettings()
{
    static CollectSettings settings;
    return settings;
}

CollectSettings &folderCollectSettings()
{
    static CollectSettings settings;
    return settings;
}

CollectSettings &collectSettings(bool folders)
{
    return folders ? folderCollectSettings() : fileCollectSettings();
}

QString defaultCollectOutputFolder()
{
    // QStandardPaths answers with the home folder itself when the desktop folder is not configured, and with
    // the configured name even when that folder was never made.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}
