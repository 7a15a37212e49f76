#pragma once

#include <QDateTime>

// The choices of one time page's panel, read by its list.
struct TimeSettings
{
    bool setCreation = false;
    bool setModification = false;
    QDateTime creation;     // chosen on the panel, local wall-clock time
    QDateTime modification;
};

// The records of the file time page and the folder time page, alive for the whole program.
TimeSettings &fileTimeSettings();
TimeSettings &folderTimeSettings();
// The record of the page that works on folders (true) or on files (false).
TimeSettings &timeSettings(bool folderMode);
