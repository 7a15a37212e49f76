#pragma once

#include <QDateTime>

// Where a time page takes the times it writes from.
enum class TimeSource {
    Fixed,      // the date and time chosen on the panel, the same for every item
    Offset,     // each item's own time moved by offsetSeconds
    PhotoTaken, // the date the photo was taken, from its metadata (file page only)
    NameDate,   // a date (and time) found in the item's name
};

// The choices of one time page's panel, read by its list.
struct TimeSettings
{
    bool setCreation = false;
    bool setModification = false;
    QDateTime creation; // chosen on the panel, local wall-clock time
    QDateTime modification;
    TimeSource source = TimeSource::Fixed;
    qint64 offsetSeconds = 0; // Offset: added to each time, negative to move it back
};

// The records of the file time page and the folder time page, alive for the whole program.
TimeSettings &fileTimeSettings();
TimeSettings &folderTimeSettings();
// The record of the page that works on folders (true) or on files (false).
TimeSettings &timeSettings(bool folderMode);
