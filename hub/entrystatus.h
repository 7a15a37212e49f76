#pragma once

#include <QString>

// The status of a row in every list; the value is also the "Success" property the stylesheet keys on.
enum EntryStatus {
    StatusPending = 0,
    StatusSuccess = 1,
    StatusFailed = 2,
    StatusRunning = 3,
    StatusMissing = 4,
    StatusSkipped = 5, // the item was passed by: the job had nothing to give it
};

QString entryStatusText(int status);
