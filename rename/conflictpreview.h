#pragma once

#include "filelist/fileentry.h"
#include "rename/newnamecheck.h"

#include <QString>
#include <QVector>

// What the rename job will make of one row's proposal, as far as names go.
struct NameConflict
{
    enum Kind {
        None,     // the row gets its proposal, or is not renamed at all
        Resolved, // the proposal is taken: resolution gives the row `name` instead
        Taken,    // the proposal `name` is taken and resolution is off: the row will fail
        Refused,  // the job will not give the row `name` (see refusal)
    };
    Kind kind = None;
    QString name;
    // Taken: the row whose item has the name by the time this row's turn comes; -1 for an item not in the list.
    int holderRow = -1;
    NameRefusal refusal = NameRefusal::None;

    bool operator==(const NameConflict &other) const
    {
        return kind == other.kind && name == other.name && holderRow == other.holderRow && refusal == other.refusal;
    }
    bool operator!=(const NameConflict &other) const { return !(*this == other); }
};

struct ConflictReport
{
    QVector<NameConflict> rows; // one per entry, in row order
    int conflicts = 0;          // rows resolution gives another name, or rows that fail on a taken name
    int refused = 0;
    bool resolving = true;
};

// Works out before a start what the rename job will do with each proposal: the job's order (chains and swaps
// within the batch are no conflicts), the job's name checks, and resolution by the job's own allocator, all on
// a picture of the target folders read once (one directory listing per folder, letter case ignored where the
// folder's file system ignores it). Touches nothing on disk.
class ConflictPreview
{
public:
    // folders: the entries are folders (a folder's name may start with a dot).
    static ConflictReport check(const FileEntryList &entries, bool resolveConflicts, bool folders);

    // What hovering a marked proposal tells; empty for None. row numbers are shown counting from 1.
    static QString hint(const NameConflict &conflict);
    // The line under the list; empty when there is nothing to say.
    static QString summary(const ConflictReport &report);
};
