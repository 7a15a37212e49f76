#include "timesettings.h"

TimeSettings &fileTimeSettings()
{
    static TimeSettings settings;
    return settings;
}

TimeSettings &folderTimeSettings()
{
    static TimeSettings settings;
    return settings;
}

TimeSettings &timeSettings(bool folderMode)
{
    return folderMode ? folderTimeSettings() : fileTimeSettings();
}
