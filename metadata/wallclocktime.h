#pragma once

#include <QDate>
#include <QTime>

#include <optional>

// A date and time as a clock showed it: the wall-clock fields, and the clock's offset from UTC when it is
// known (otherwise it is local time). Kept apart from QDateTime, whose local times cost a time-zone
// conversion each to make and compare, thousands of times per change of a setting.
struct WallClockTime
{
    QDate date;
    QTime time;
    std::optional<int> utcOffset; // seconds east of UTC

    bool isValid() const { return date.isValid() && time.isValid(); }
};
