#pragma once

#include "filelist/filetimeentry.h"
#include "fileops/filetimes.h"
#include "metadata/wallclocktime.h"
#include "timeprop/timesettings.h"

#include <optional>

class PhotoDateCache;

// The times one item is to receive from a time page's settings.
struct RowTargets
{
    std::optional<FileInstant> creation; // absent: that time is not written
    std::optional<FileInstant> modification;
    QString skipReason;      // the source has no time for the item: nothing is written to it
    bool convertible = true; // false when a chosen time names no instant the system can use
    bool pending = false;    // the date taken has not been read yet (a preview that does not read)
};

// Turns a time page's settings into each item's target times, the same way for the preview and the run.
// What is the same for every row is converted once.
class TimeTargets
{
public:
    // photos: where dates taken are looked up (null: no item has one); readMissing: read a date taken that
    // is not cached (the run) rather than report it pending (the preview).
    TimeTargets(const TimeSettings &settings, PhotoDateCache *photos, bool readMissing);

    // Whether targetsOf needs the item's own times.
    bool needsItemTimes() const;
    // now: the item's times as just read (ignored unless needsItemTimes).
    RowTargets targetsOf(const FileTimeEntry &entry, const FileTimes &now) const;

    static QString noNameDateReason();
    // "无拍摄时间", with what kept the reader from a date where that is more than a photo without one.
    static QString noPhotoDateReason(int photoDateStatus);
    static QString readingPhotoDateText();

private:
    RowTargets fromWallClock(const WallClockTime &time) const;
    RowTargets photoTargets(const FileTimeEntry &entry, const FileTimes &now) const;

    TimeSettings m_settings;
    PhotoDateCache *m_photos;
    bool m_readMissing;
    RowTargets m_fixed;
};
