#pragma once

#include "metadata/wallclocktime.h"

#include <QString>

// The first date (with its time, when the name gives one) in a name, read from the left: 20240131_235959,
// 20240131-235959, 2024-01-31 23.59.59, 2024-01-31, 2024年1月31日, 20240131. A date alone is taken at
// 00:00:00. A run of digits that is no real date (20241340) does not count. Invalid when none. Local time.
WallClockTime dateInName(const QString &name);
