#pragma once

#include "filelist/fileentry.h"
#include "rename/renamehistory.h"

#include <QPair>
#include <QVector>

#include <functional>

class JobFailureReporter;

// What a job did to one row.
enum class RowOutcome {
    Untouched, // no proposal, or the proposal is the item's name: entry and status unchanged
    Renamed,   // renamed by a start, or put back by an undo
    Failed,
    Moved,     // another row's folder was renamed above it: only its path changed
    Missing,   // nothing at the row's path
};

struct RenameJobResult
{
    int renamed = 0; // for an undo: items put back
    int failed = 0;
    int missing = 0;
    // Every rename done on disk, in the order done, steps aside included (from, to): what other lists need to
    // follow the items.
    QVector<QPair<QString, QString>> moves;
};

// The rename job of a rename list, free of widgets: renames items on disk and keeps their entries in step.
// Nothing is ever replaced; an existing target fails its row, or takes the next free variant of its name
// when conflicts are resolved (counting on, within the batch, from the variant the previous row took).
// A name that another item of the batch gives up is no conflict: that item goes first (chains), or one item
// of a ring steps aside to a temporary name until the others have moved (swaps); a ring that cannot complete
// is put back as it was. Items inside other items of the batch go first. Failures become row statuses and
// warnings, naming their cause, through the reporter.
class RenameJob
{
public:
    // Called for each row the job looks at, in the job's order, once its entry is up to date and before the
    // row's warning (if any) is shown. It must not change the entry list.
    using RowCallback = std::function<void(int row, const FileEntry &entry, RowOutcome outcome)>;

    // Renames every listed item whose proposal differs from its name, row by row; renamed rows get status 1
    // and their new name as path, currentName and newName; failed rows 2, missing rows 4. The batch's renames
    // go onto history (nothing when nothing was renamed). The job runner finishes the reporter.
    static RenameJobResult run(FileEntryList &entries, RenameHistory &history, bool resolveConflicts,
                               const RowCallback &onRow, JobFailureReporter &reporter);

    // Takes the newest batch off history and puts its items back, newest rename first, finding rows by id:
    // rows added or moved since do not matter, an item whose row was removed is still put back. A row put back
    // gets status 0, its old name as path and currentName, and as newName the name the batch had given it.
    // Does nothing when history is empty. The job runner finishes the reporter.
    static RenameJobResult undo(FileEntryList &entries, RenameHistory &history, bool resolveConflicts,
                                const RowCallback &onRow, JobFailureReporter &reporter);

    // Name taken, or a name the file system refuses.
    static QString failureMessage(const QString &target);
    static QString missingNamePartMessage(const QString &newName);
    // No permission (read-only or immutable item or folder, read-only mount).
    static QString deniedMessage(const QString &target);
    static QString missingMessage(const QString &path);
    // Undo found another item where the batch left its item.
    static QString replacedMessage(const QString &path);
    // Undo gave an item a free variant of its old name, which was taken.
    static QString otherNameMessage(const QString &wanted, const QString &given);
    // A swap or ring that could not complete: its items keep, or are given back, their own names.
    static QString ringUndoneMessage(const QString &path);
    // An item that could not even be given back its own name, and where it is.
    static QString leftElsewhereMessage(const QString &home, const QString &where);
};
