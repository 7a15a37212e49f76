#pragma once

#include "filelist/filetimeentry.h"
#include "timeprop/timehistory.h"
#include "timeprop/timesettings.h"

#include <functional>

class JobFailureReporter;
class PhotoDateCache;

// What a time job did with one row.
enum class TimeRowOutcome {
    Done,    // the item carries the row's times: set by a run, or put back by an undo
    Failed,  // nothing changed on the item
    Missing, // nothing at the row's path
    Skipped, // the time source has no time for the item: nothing was written, nothing is undone
};

struct TimeJobResult
{
    int done = 0;
    int failed = 0; // missing items included
    int skipped = 0;
};

// Shows in every row the times its item will receive: a ticked time as its source gives it, the other the
// item's own, read afresh; the item's own times go to the OnDisk fields and a source without a time for the
// item to timeNote. An item that cannot be read keeps what its row showed. Nothing is written. Dates taken
// are only looked up in photos: returns false when some are not read yet (their rows say so).
bool applyTimeSettings(FileTimeEntryList &entries, const TimeSettings &settings, PhotoDateCache *photos = nullptr);

// The time-setting job of a time list, free of widgets. Only the ticked times are written; the other time of
// an item stays whatever it is on disk. Failures become row statuses and warnings through the reporter.
class TimeJob
{
public:
    // Called for each row the job looks at, in the job's order, once its entry is up to date and before the
    // row's warning (if any) is shown. It must not change the entry list.
    using RowCallback = std::function<void(int row, const FileTimeEntry &entry, TimeRowOutcome outcome)>;

    // Sets the ticked times of every listed item, row by row. A row whose item took them gets status 1; a
    // failed or missing row gets status 2 and its item is left as it was (an item whose creation time cannot
    // be set keeps its modification time too). Either way the row shows the times read back from the item
    // (none for a missing one). What was changed goes onto history as one batch (nothing when nothing was
    // changed). With no box ticked nothing is written and every existing item succeeds. A row whose item the
    // time source gives no time (no date taken, no date in the name) is skipped: status 5, its reason in
    // timeNote, nothing written. Dates taken come from photos, read where not cached. Each item is looked at,
    // written and read back through its folder, opened once: rows whose folder is renamed meanwhile follow it.
    // The job runner finishes the reporter.
    static TimeJobResult run(FileTimeEntryList &entries, const TimeSettings &settings, TimeHistory &history,
                             const RowCallback &onRow, JobFailureReporter &reporter,
                             PhotoDateCache *photos = nullptr);

    // Takes the newest batch off history and gives its items back the times that run wrote over, finding
    // rows by id. Rows the run did not change are not looked at. An item that is no longer the one the run
    // changed (deleted and made anew, replaced), or whose modification time is no longer the one the run left
    // (edited since), is left alone and fails its row. A row put back gets status 0
    // and shows the item's times; an item whose row was removed is still put back. Does nothing when history
    // is empty. The job runner finishes the reporter.
    static TimeJobResult undo(FileTimeEntryList &entries, TimeHistory &history, const RowCallback &onRow,
                              JobFailureReporter &reporter);

    static QString missingMessage(const QString &path);
    static QString readFailedMessage(const QString &path);
    static QString writeFailedMessage(const QString &path);
    static QString creationNotSettableMessage(const QString &path);
    static QString outOfRangeMessage(const QString &path);
    static QString replacedMessage(const QString &path);
    // Undo found the item's modification time other than the run left it: it was edited since.
    static QString editedMessage(const QString &path);
};
