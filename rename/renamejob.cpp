#include "renamejob.h"

#include "fileops/jobjournal.h"
#include "hub/itemmoves.h"
#include "jobs/jobfailurereporter.h"
#include "fileops/safefileops.h"
#include "fileops/uniquename.h"
#include "rename/newnamecheck.h"
#include "rename/renameorder.h"
#include "fileops/renamepaths.h"

#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <map>
#include <memory>

namespace {

// How often a resolved name may be taken by someone else between choosing it and renaming onto it.
constexpr int ResolveAttempts = 8;

struct RowStep
{
    RowOutcome outcome = RowOutcome::Untouched;
    QString message; // the warning for a failed row
    QString movedTo; // where a renamed item is now
};

struct MoveAttempt
{
    RenameOutcome outcome = RenameOutcome::Failed;
    QString target;
    QString detail;
};

using RenamePaths::folderOf;
using RenamePaths::nameOf;

// One rename of a batch as planned before anything moves; target is empty when the rename will not be tried.
struct PlannedMove
{
    QString source;
    QString target;
};

// The folders of a batch, each opened once before anything moves: every step of the job goes through the
// handle of its folder, by name, so that a folder renamed or moved meanwhile (by someone else, or above an
// item by the job itself) still holds its items and gets their steps. The job keeps its paths as they were
// planned; once it is done, rows whose folder moved follow it.
class BatchFolders
{
public:
    explicit BatchFolders(const QVector<PlannedMove> &moves)
    {
        for (const PlannedMove &move : moves) {
            if (!move.target.isEmpty())
                at(folderOf(move.source));
        }
    }

    // The handle of folder (a path as the job plans it); one the batch did not open at first (a folder the
    // job itself has renamed) is opened now.
    const FolderHandle &at(const QString &folder) const
    {
        auto found = m_handles.find(folder);
        if (found == m_handles.end())
            found = m_handles.emplace(folder, std::make_unique<FolderHandle>(folder)).first;
        return *found->second;
    }

    // Whether something other than self has path, asked of its folder's handle: how the batch resolves names.
    bool taken(const QString &path, const QString &self) const
    {
        const FolderHandle &folder = at(folderOf(path));
        if (!folder.holds(nameOf(path)))
            return false;
        return self.isEmpty() || !folder.sameEntry(nameOf(self), nameOf(path));
    }

    UniqueNameAllocator::Occupancy occupancy() const
    {
        return [this](const QString &path, const QString &self) { return taken(path, self); };
    }

    // The first free variant of path in its folder.
    QString freeVariant(const QString &path) const { return UniqueNameAllocator(occupancy()).resolve(path); }

    // The folders that were renamed or moved during the job other than by the job's own moves: where the
    // job's paths say they are, and where they are now.
    QVector<QPair<QString, QString>> movedAway(const QVector<QPair<QString, QString>> &jobMoves) const
    {
        ItemMoves done;
        done.moves = jobMoves;
        QVector<QPair<QString, QString>> moved;
        for (const auto &handle : m_handles) {
            const QString now = handle.second->whereNow();
            const QString planned = done.follow(handle.first);
            if (!now.isEmpty() && now != planned)
                moved.append({planned, now});
        }
        return moved;
    }

private:
    mutable std::map<QString, std::unique_ptr<FolderHandle>> m_handles;
};

// Renames the item at path, in folder, to target or to the free name names resolves for it.
MoveAttempt moveItem(const FolderHandle &folder, const QString &path, const QString &target,
                     UniqueNameAllocator *names)
{
    MoveAttempt attempt;
    // The name asked for is tried as it is unless the batch has it already: the no-replace rename itself
    // tells whether it is free, which spares a look at the disk for every row that meets no conflict.
    const bool askedFirst = names && !names->marked(target);
    attempt.target = names && !askedFirst ? names->resolve(target, path) : target;
    for (int i = 1;; ++i) {
        attempt.outcome = folder.rename(nameOf(path), nameOf(attempt.target), &attempt.detail);
        if (attempt.outcome == RenameOutcome::Renamed && names)
            names->markTaken(attempt.target);
        if (attempt.outcome != RenameOutcome::TargetExists || !names || i == ResolveAttempts)
            return attempt;
        if (i == 1 && askedFirst) {
            // Something has the name: the allocator chooses now, as it would have before the first try.
            attempt.target = names->resolve(target, path);
            continue;
        }
        // The chosen name was taken after all (by another program, or by another link of the item itself):
        // choose again, this time counting everything at the name as a conflict.
        names->markTaken(attempt.target);
        attempt.target = names->resolve(target);
    }
}

void logRefusal(const QString &path, const MoveAttempt &move)
{
    const QString reason = move.outcome == RenameOutcome::TargetExists ? QStringLiteral("target exists")
                                                                       : move.detail;
    qWarning().noquote() << "rename" << path << "->" << move.target << "refused:" << reason;
}

RowStep failRow(FileEntry *entry, const QString &message)
{
    if (entry)
        entry->status = StatusFailed;
    return {RowOutcome::Failed, message, {}};
}

RowStep markMissing(FileEntry *entry)
{
    if (entry)
        entry->status = StatusMissing;
    return {RowOutcome::Missing, {}, {}};
}

// Moves an item out of the way of a ring of renames, to a free temporary name in its folder that says whose it
// is; empty on failure, with the cause in message.
QString stepAside(const FolderHandle &folder, const QString &path, QString *message)
{
    for (int attempt = 0; attempt < ResolveAttempts; ++attempt) {
        const QString temporary = temporaryPathFor(path);
        QString detail;
        const RenameOutcome outcome = folder.rename(nameOf(path), nameOf(temporary), &detail);
        if (outcome == RenameOutcome::Renamed)
            return temporary;
        if (outcome == RenameOutcome::TargetExists)
            continue;
        qWarning().noquote() << "rename" << path << "could not step aside:" << detail;
        *message = outcome == RenameOutcome::Denied   ? RenameJob::deniedMessage(path)
            : outcome == RenameOutcome::SourceMissing ? RenameJob::missingMessage(path)
                                                      : RenameJob::failureMessage(path);
        return QString();
    }
    *message = RenameJob::failureMessage(path);
    return QString();
}

// The message of a row whose item stepped aside and did not come back to its own name.
QString cameBackMessage(const QString &where, const QString &home, const QString &message)
{
    return nameOf(where) == nameOf(home) ? message : RenameJob::leftElsewhereMessage(home, where);
}

// The ring of renames being turned: from the step aside of one of its items to that item's own step. Should a
// step of it fail, the renames it made are put back, newest first, and the item that stepped aside comes home,
// so that no item ends the job under a temporary name or under a name its ring meant for another.
class RingTurn
{
public:
    using Undone = std::function<void(int key, const QString &from, const QString &to)>;

    explicit RingTurn(const BatchFolders &folders) : m_folders(folders) {}

    // temporary is empty when the step aside failed: the ring cannot turn.
    void begin(int key, const QString &home, const QString &temporary)
    {
        m_key = key;
        m_home = home;
        m_temporary = temporary;
        m_done.clear();
        m_broken = temporary.isEmpty();
    }
    bool active() const { return m_key >= 0; }
    bool broken() const { return m_broken; }
    int asideKey() const { return m_key; }
    const QString &home() const { return m_home; }
    // Where the item of key waits: its temporary name for the item that stepped aside, else empty.
    QString asidePath(int key) const { return key == m_key ? m_temporary : QString(); }

    void renamed(int key, const QString &from, const QString &to) { m_done.append({key, from, to}); }
    // The ring ends with the step of the item that stepped aside.
    void stepOver(int key)
    {
        if (key == m_key)
            m_key = -1;
    }

    // Puts back what the ring did and brings the item that stepped aside home; undone is told of each rename
    // put back (from where it was to where it is). Returns where the item that stepped aside is now. Every
    // item of a ring lies in one folder: should it be renamed while the ring turns, the items are still put
    // back, inside it.
    QString unwind(const Undone &undone)
    {
        m_broken = true;
        const QString folder = folderOf(m_home);
        const FolderHandle &handle = m_folders.at(folder);
        for (int i = m_done.size() - 1; i >= 0; --i) {
            const Done &done = m_done.at(i);
            if (handle.rename(nameOf(done.to), nameOf(done.from)) == RenameOutcome::Renamed)
                undone(done.key, done.to, done.from);
        }
        m_done.clear();
        if (m_temporary.isEmpty())
            return m_home;
        const QString where = comeBackInto(folder);
        m_temporary.clear();
        return where;
    }

private:
    struct Done
    {
        int key;
        QString from;
        QString to;
    };
    int m_key = -1;
    // An item that stepped aside but could not take its new name goes back home, or, should home have been
    // taken meanwhile, to the first free variant of it; returns where it is.
    QString comeBackInto(const QString &folder) const
    {
        const FolderHandle &handle = m_folders.at(folder);
        const QString temporary = nameOf(m_temporary);
        if (handle.rename(temporary, nameOf(m_home)) == RenameOutcome::Renamed)
            return m_home;
        const QString variant = m_folders.freeVariant(m_home);
        if (handle.rename(temporary, nameOf(variant)) == RenameOutcome::Renamed)
            return variant;
        qWarning().noquote() << "rename: the item of" << m_home << "is left as" << temporary;
        return RenamePaths::join(folder, temporary);
    }

    QString m_home;
    QString m_temporary;
    QVector<Done> m_done;
    bool m_broken = false;
    const BatchFolders &m_folders;
};

// An item put back somewhere other than its own path: its row follows it.
void relocate(FileEntry &entry, const QString &path, const QString &home)
{
    if (path == home)
        return;
    entry.path = path;
    entry.currentName = nameOf(path);
}

NameRefusal refusalOf(const QString &newName, const QString &name, const QString &path)
{
    // Only a name without a name part needs to know whether the item is a folder.
    return newNameRefusal(newName, name, lacksNamePart(newName) && QFileInfo(path).isDir());
}

// The message of a move that did not happen, naming its cause.
QString refusalMessage(const MoveAttempt &move)
{
    if (move.outcome == RenameOutcome::Denied)
        return RenameJob::deniedMessage(move.target);
    return RenameJob::failureMessage(move.target);
}

// aside: where the item waits when it stepped aside for a ring of renames, else empty. Bringing it back is
// the ring's business. identity: the item's as the batch's plan read it just before, empty when it was not
// read or nothing was there; a rename keeps it, so it is not read again.
RowStep renameRow(FileEntry &entry, UniqueNameAllocator *names, RenameBatch &batch, const QString &aside,
                  const QByteArray &identity, const BatchFolders &folders)
{
    const QString path = RenamePaths::normalised(entry.path);
    const QString from = aside.isEmpty() ? path : aside;
    const FolderHandle &folder = folders.at(folderOf(path));
    // An item the plan found needs no second look: should it be gone since, the rename says so.
    if (identity.isEmpty() && !folder.holds(nameOf(from)))
        return markMissing(&entry);
    const QString name = nameOf(path);
    if (entry.newName.isEmpty() || entry.newName == name)
        return {};
    const QString target = RenamePaths::join(folderOf(path), entry.newName);
    const NameRefusal refusal = name.isEmpty() ? NameRefusal::Separator : refusalOf(entry.newName, name, from);
    if (refusal == NameRefusal::MissingNamePart)
        return failRow(&entry, RenameJob::missingNamePartMessage(entry.newName));
    if (refusal != NameRefusal::None)
        return failRow(&entry, RenameJob::failureMessage(target));

    const MoveAttempt move = moveItem(folder, from, target, names);
    if (move.outcome == RenameOutcome::SourceMissing)
        return markMissing(&entry);
    if (move.outcome != RenameOutcome::Renamed) {
        logRefusal(from, move);
        return failRow(&entry, refusalMessage(move));
    }
    batch.append(
        {entry.id, move.target, name, identity.isEmpty() ? folder.identity(nameOf(move.target)) : identity});
    entry.path = move.target;
    entry.currentName = nameOf(move.target);
    entry.newName = entry.currentName;
    entry.status = StatusSuccess;
    return {RowOutcome::Renamed, {}, move.target};
}

// entry is null when the row was removed from the list since the batch: the item is still put back. aside as
// for renameRow. checked: the plan of the undo found the record's own item where the batch left it, just
// before, so it is not looked at again.
RowStep revertRecord(const RenameRecord &record, FileEntry *entry, UniqueNameAllocator *names, const QString &aside,
                     bool checked, const BatchFolders &folders)
{
    const QString target = RenamePaths::join(folderOf(record.pathAfter), record.nameBefore);
    // The row's item is no longer where the batch left it (a later undo failed for it): whatever is at that
    // path now is not this row's item.
    if (entry && RenamePaths::normalised(entry->path) != record.pathAfter)
        return failRow(entry, RenameJob::replacedMessage(record.pathAfter));
    const QString from = aside.isEmpty() ? record.pathAfter : aside;
    const FolderHandle &folder = folders.at(folderOf(record.pathAfter));
    const bool lookAgain = !checked || !aside.isEmpty();
    if (lookAgain && !folder.holds(nameOf(from))) {
        RowStep step = markMissing(entry);
        step.message = RenameJob::missingMessage(record.pathAfter);
        return step;
    }
    if (lookAgain && !record.identity.isEmpty() && folder.identity(nameOf(from)) != record.identity)
        return failRow(entry, RenameJob::replacedMessage(record.pathAfter));

    const MoveAttempt move = moveItem(folder, from, target, names);
    if (move.outcome == RenameOutcome::SourceMissing) {
        RowStep step = markMissing(entry);
        step.message = RenameJob::missingMessage(record.pathAfter);
        return step;
    }
    if (move.outcome != RenameOutcome::Renamed) {
        logRefusal(from, move);
        return failRow(entry, refusalMessage(move));
    }
    if (entry) {
        entry->newName = nameOf(record.pathAfter);
        entry->path = move.target;
        entry->currentName = nameOf(move.target);
        entry->status = StatusPending;
    }
    // Its own name was taken meanwhile: the item got another, and the user must hear which.
    const QString message = move.target == target ? QString() : RenameJob::otherNameMessage(target, move.target);
    return {RowOutcome::Renamed, message, move.target};
}

PlannedMove plannedRename(const FileEntry &entry)
{
    const QString path = RenamePaths::normalised(entry.path);
    const QString name = nameOf(path);
    if (entry.newName.isEmpty() || entry.newName == name || name.isEmpty())
        return {path, {}};
    if (refusalOf(entry.newName, name, path) != NameRefusal::None)
        return {path, {}};
    return {path, RenamePaths::join(folderOf(path), entry.newName)};
}

// A revert is planned only for an item that is still the one the batch renamed (when it knows which).
PlannedMove plannedRevert(const RenameRecord &record, const FileEntry *entry)
{
    if (entry && RenamePaths::normalised(entry->path) != record.pathAfter)
        return {record.pathAfter, {}};
    if (record.identity.isEmpty() ? !pathOccupied(record.pathAfter)
                                  : itemIdentity(record.pathAfter) != record.identity) {
        return {record.pathAfter, {}};
    }
    return {record.pathAfter, RenamePaths::join(folderOf(record.pathAfter), record.nameBefore)};
}

// A hash of a path that ignores letter case, made without a folded copy of the path.
uint caseBlindHash(const QString &path)
{
    uint hash = 0;
    const int size = path.size();
    for (int i = 0; i < size; ++i) {
        uint code = path.at(i).unicode();
        if (code < 0x80) {
            // Most of a path is ASCII: folded here, without a call per character.
            hash = hash * 31 + (code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code);
            continue;
        }
        if (QChar::isHighSurrogate(code) && i + 1 < size && path.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(ushort(code), path.at(++i).unicode());
        hash = hash * 31 + QChar::toCaseFolded(code);
    }
    return hash;
}

// For each planned move, the other planned move whose item has its target now, or -1.
QVector<int> blockersOf(const QVector<PlannedMove> &moves)
{
    QHash<QString, int> bySource;
    // Where the file system ignores case, a target can be another spelling of a source.
    QHash<uint, QVector<int>> bySpelling;
    bySource.reserve(moves.size());
    bySpelling.reserve(moves.size());
    for (int i = 0; i < moves.size(); ++i) {
        if (moves.at(i).target.isEmpty())
            continue;
        bySource.insert(moves.at(i).source, i);
        bySpelling[caseBlindHash(moves.at(i).source)].append(i);
    }
    QVector<int> blockers(moves.size(), -1);
    for (int i = 0; i < moves.size(); ++i) {
        const QString &target = moves.at(i).target;
        if (target.isEmpty())
            continue;
        int holder = bySource.value(target, -1);
        if (holder < 0) {
            for (int other : bySpelling.value(caseBlindHash(target))) {
                const QString &source = moves.at(other).source;
                if (other != i && source.compare(target, Qt::CaseInsensitive) == 0 && isSameEntry(source, target))
                    holder = other;
            }
        }
        blockers[i] = holder == i ? -1 : holder;
    }
    return blockers;
}

// Writes the plan of a batch to journal before anything moves; index receives, for each planned move, its item
// in the journal (-1 for a move that will not be tried). identities: the items', when already known.
void beginJournal(JobJournal &journal, JobJournal::Kind kind, const QVector<PlannedMove> &moves, QVector<int> &index,
                  const std::function<QByteArray(int)> &identityOf)
{
    QVector<JobJournal::Item> items;
    index.fill(-1, moves.size());
    for (int i = 0; i < moves.size(); ++i) {
        if (moves.at(i).target.isEmpty())
            continue;
        index[i] = items.size();
        JobJournal::Item item;
        item.identity = identityOf(i);
        item.from = moves.at(i).source;
        item.to = moves.at(i).target;
        items.append(item);
    }
    journal.begin(kind, QString(), items);
}

int depthOf(const QString &path)
{
    return path.count(QLatin1Char('/'));
}

// The order of a batch's renames: chains and rings within each folder, and, where some items lie inside
// others, the deepest first.
QVector<RenameStep> orderOf(const QVector<PlannedMove> &moves, bool *nested)
{
    QVector<RenameStep> steps = renameOrder(blockersOf(moves));
    QStringList sources;
    sources.reserve(moves.size());
    QVector<int> depths;
    depths.reserve(moves.size());
    for (const PlannedMove &move : moves) {
        sources.append(move.source);
        depths.append(depthOf(move.source));
    }
    *nested = RenamePaths::holdsNestedItems(sources);
    if (*nested)
        orderDeepestFirst(steps, depths);
    return steps;
}

// A renamed folder takes the listed items inside it along, whether or not the folder has a row of its own:
// their rows follow it from before to after, and so do the records of the batch's earlier renames inside it.
void followRenamedFolder(FileEntryList &entries, const QString &before, const QString &after,
                         const RenameJob::RowCallback &onRow, RenameBatch *batch = nullptr)
{
    const QString prefix = before + QLatin1Char('/');
    for (int row = 0; row < entries.size(); ++row) {
        const QString path = RenamePaths::normalised(entries.at(row).path);
        if (!path.startsWith(prefix))
            continue;
        entries[row].path = after + path.mid(before.size());
        if (onRow)
            onRow(row, entries.at(row), RowOutcome::Moved);
    }
    if (!batch)
        return;
    for (RenameRecord &record : *batch) {
        if (record.pathAfter.startsWith(prefix))
            record.pathAfter = after + record.pathAfter.mid(before.size());
    }
}

// Rows in a folder that someone else renamed or moved during the job follow it, and so do the records of the
// batch and the moves other lists follow.
void followMovedFolders(const BatchFolders &folders, FileEntryList &entries, const RenameJob::RowCallback &onRow,
                        QVector<QPair<QString, QString>> &moves, RenameBatch *batch = nullptr)
{
    for (const auto &moved : folders.movedAway(moves)) {
        followRenamedFolder(entries, moved.first, moved.second, onRow, batch);
        moves.append(moved);
    }
}

void tally(RenameJobResult &result, RowOutcome outcome)
{
    switch (outcome) {
    case RowOutcome::Moved:
        break;
    case RowOutcome::Renamed:
        ++result.renamed;
        break;
    case RowOutcome::Failed:
        ++result.failed;
        break;
    case RowOutcome::Missing:
        ++result.missing;
        break;
    case RowOutcome::Untouched:
        break;
    }
}

} // namespace

RenameJobResult RenameJob::run(FileEntryList &entries, RenameHistory &history, bool resolveConflicts,
                               const RowCallback &onRow, JobFailureReporter &reporter)
{
    RenameJobResult result;
    RenameBatch batch;
    QVector<PlannedMove> moves;
    moves.reserve(entries.size());
    for (const FileEntry &entry : qAsConst(entries))
        moves.append(plannedRename(entry));
    bool nested = false;
    const QVector<RenameStep> steps = orderOf(moves, &nested);
    JobJournal journal;
    QVector<int> journalItem;
    QVector<QByteArray> identities(moves.size());
    beginJournal(journal, JobJournal::Rename, moves, journalItem, [&moves, &identities](int i) {
        identities[i] = itemIdentity(moves.at(i).source);
        return identities.at(i);
    });
    const BatchFolders folders(moves);
    UniqueNameAllocator names(folders.occupancy());
    const auto finishRow = [&](int row, const RowStep &step) {
        tally(result, step.outcome);
        if (onRow)
            onRow(row, entries.at(row), step.outcome);
        if (!step.message.isEmpty())
            reporter.report(step.message);
    };
    // A rename of a ring that could not turn, put back: the row is where it was and fails with its ring.
    const RingTurn::Undone undone = [&](int row, const QString &from, const QString &to) {
        FileEntry &entry = entries[row];
        relocate(entry, to, from);
        entry.status = StatusFailed;
        journal.done(journalItem.at(row), to);
        result.moves.append({from, to});
        for (int i = batch.size() - 1; i >= 0; --i) {
            if (batch.at(i).id == entry.id) {
                batch.remove(i);
                break;
            }
        }
        --result.renamed;
        finishRow(row, {RowOutcome::Failed, RenameJob::ringUndoneMessage(to), {}});
    };
    RingTurn ring(folders);
    for (const RenameStep &planned : qAsConst(steps)) {
        const int row = planned.rename;
        const QString before = RenamePaths::normalised(entries.at(row).path);
        if (planned.aside) {
            QString message;
            const QString temporary = stepAside(folders.at(folderOf(before)), before, &message);
            ring.begin(row, before, temporary);
            journal.aside(journalItem.at(row), temporary);
            if (temporary.isEmpty())
                finishRow(row, failRow(&entries[row], message));
            else
                result.moves.append({before, temporary});
            continue;
        }
        if (ring.active() && ring.broken()) {
            // The ring cannot turn: its items keep their names; the one that stepped aside has its row already.
            if (row != ring.asideKey())
                finishRow(row, failRow(&entries[row], RenameJob::ringUndoneMessage(before)));
            ring.stepOver(row);
            continue;
        }
        const bool inRing = ring.active();
        const QString aside = ring.asidePath(row);
        const RowStep step =
            renameRow(entries[row], resolveConflicts ? &names : nullptr, batch, aside, identities.at(row), folders);
        if (step.outcome == RowOutcome::Renamed) {
            journal.done(journalItem.at(row), step.movedTo);
            result.moves.append({aside.isEmpty() ? before : aside, step.movedTo});
            if (nested)
                followRenamedFolder(entries, before, step.movedTo, onRow, &batch);
        }
        finishRow(row, step);
        if (inRing && step.outcome == RowOutcome::Renamed) {
            ring.renamed(row, before, step.movedTo);
        } else if (inRing) {
            const int asideRow = ring.asideKey();
            const QString home = ring.home();
            const QString temporary = ring.asidePath(asideRow);
            const QString where = ring.unwind(undone);
            if (where != temporary)
                result.moves.append({temporary, where});
            FileEntry &entry = entries[asideRow];
            relocate(entry, where, home);
            journal.done(journalItem.at(asideRow), where);
            if (asideRow != row)
                finishRow(asideRow,
                          failRow(&entry, cameBackMessage(where, home, RenameJob::ringUndoneMessage(home))));
            else if (nameOf(where) != nameOf(home))
                reporter.report(RenameJob::leftElsewhereMessage(home, where));
        }
        ring.stepOver(row);
    }
    followMovedFolders(folders, entries, onRow, result.moves, &batch);
    journal.finish();
    history.push(batch);
    return result;
}

RenameJobResult RenameJob::undo(FileEntryList &entries, RenameHistory &history, bool resolveConflicts,
                                const RowCallback &onRow, JobFailureReporter &reporter)
{
    RenameJobResult result;
    const RenameBatch batch = history.takeNewest();
    if (batch.isEmpty())
        return result;
    QHash<QString, int> rowOfId;
    rowOfId.reserve(entries.size());
    for (int row = 0; row < entries.size(); ++row)
        rowOfId.insert(entries.at(row).id, row);

    // Newest rename first, so that a chain within the batch (b to c, then a to b) unwinds cleanly; swaps
    // within the batch unwind through a step aside.
    const int count = batch.size();
    const auto recordAt = [&](int k) -> const RenameRecord & { return batch.at(count - 1 - k); };
    // Each record's row, found once: a record is looked at several times on its way.
    QVector<int> rowOf(count);
    for (int k = 0; k < count; ++k)
        rowOf[k] = rowOfId.value(recordAt(k).id, -1);
    const auto entryOf = [&](int k) -> FileEntry * { return rowOf.at(k) >= 0 ? &entries[rowOf.at(k)] : nullptr; };
    QVector<PlannedMove> moves;
    moves.reserve(count);
    for (int k = 0; k < count; ++k)
        moves.append(plannedRevert(recordAt(k), entryOf(k)));
    bool nested = false;
    const QVector<RenameStep> steps = orderOf(moves, &nested);
    JobJournal journal;
    QVector<int> journalItem;
    beginJournal(journal, JobJournal::RenameUndo, moves, journalItem,
                 [&recordAt](int k) { return recordAt(k).identity; });
    const BatchFolders folders(moves);
    UniqueNameAllocator names(folders.occupancy());
    const auto finishRecord = [&](int k, const RowStep &step) {
        tally(result, step.outcome);
        const FileEntry *entry = entryOf(k);
        if (entry && onRow)
            onRow(rowOf.at(k), *entry, step.outcome);
        if (!step.message.isEmpty())
            reporter.report(step.message);
    };
    // An item put back by this undo whose ring could not turn: it goes where the batch had left it.
    const RingTurn::Undone undone = [&](int k, const QString &from, const QString &to) {
        if (FileEntry *entry = entryOf(k)) {
            relocate(*entry, to, from);
            entry->newName = entry->currentName;
            entry->status = StatusFailed;
        }
        journal.done(journalItem.at(k), to);
        result.moves.append({from, to});
        --result.renamed;
        finishRecord(k, {RowOutcome::Failed, RenameJob::ringUndoneMessage(to), {}});
    };
    RingTurn ring(folders);
    for (const RenameStep &planned : qAsConst(steps)) {
        const int k = planned.rename;
        const RenameRecord &record = recordAt(k);
        FileEntry *entry = entryOf(k);
        if (planned.aside) {
            QString message;
            const QString temporary = stepAside(folders.at(folderOf(record.pathAfter)), record.pathAfter, &message);
            ring.begin(k, record.pathAfter, temporary);
            journal.aside(journalItem.at(k), temporary);
            if (temporary.isEmpty())
                finishRecord(k, failRow(entry, message));
            else
                result.moves.append({record.pathAfter, temporary});
            continue;
        }
        if (ring.active() && ring.broken()) {
            if (k != ring.asideKey())
                finishRecord(k, failRow(entry, RenameJob::ringUndoneMessage(record.pathAfter)));
            ring.stepOver(k);
            continue;
        }
        const bool inRing = ring.active();
        const QString aside = ring.asidePath(k);
        const RowStep step = revertRecord(record, entry, resolveConflicts ? &names : nullptr, aside,
                                          !moves.at(k).target.isEmpty(), folders);
        if (step.outcome == RowOutcome::Renamed) {
            journal.done(journalItem.at(k), step.movedTo);
            result.moves.append({aside.isEmpty() ? record.pathAfter : aside, step.movedTo});
            // An item whose row was removed may still be a folder that listed items lie in.
            if (nested || !entry)
                followRenamedFolder(entries, record.pathAfter, step.movedTo, onRow);
        }
        finishRecord(k, step);
        if (inRing && step.outcome == RowOutcome::Renamed) {
            ring.renamed(k, record.pathAfter, step.movedTo);
        } else if (inRing) {
            const int asideK = ring.asideKey();
            const QString home = ring.home();
            const QString temporary = ring.asidePath(asideK);
            const QString where = ring.unwind(undone);
            if (where != temporary)
                result.moves.append({temporary, where});
            FileEntry *asideEntry = entryOf(asideK);
            if (asideEntry)
                relocate(*asideEntry, where, home);
            journal.done(journalItem.at(asideK), where);
            if (asideK != k)
                finishRecord(asideK,
                             failRow(asideEntry, cameBackMessage(where, home, RenameJob::ringUndoneMessage(home))));
            else if (nameOf(where) != nameOf(home))
                reporter.report(RenameJob::leftElsewhereMessage(home, where));
        }
        ring.stepOver(k);
    }
    followMovedFolders(folders, entries, onRow, result.moves);
    journal.finish();
    return result;
}

QString RenameJob::failureMessage(const QString &target)
{
    return QStringLiteral("命名文件“%1”已经存在或者路径错误").arg(target);
}

QString RenameJob::missingNamePartMessage(const QString &newName)
{
    return QStringLiteral("新文件名“%1”缺少名称部分，未重命名").arg(newName);
}

QString RenameJob::deniedMessage(const QString &target)
{
    return QStringLiteral("命名文件“%1”失败，请确认权限！").arg(target);
}

QString RenameJob::missingMessage(const QString &path)
{
    return QStringLiteral("文件“%1”不存在").arg(path);
}

QString RenameJob::replacedMessage(const QString &path)
{
    return QStringLiteral("文件“%1”已被替换，未恢复其原名！").arg(path);
}

QString RenameJob::otherNameMessage(const QString &wanted, const QString &given)
{
    return QStringLiteral("原名“%1”已被占用，文件已恢复为“%2”").arg(wanted, given);
}

QString RenameJob::ringUndoneMessage(const QString &path)
{
    return QStringLiteral("文件“%1”所在的互换改名未能完成，已保留原名").arg(path);
}

QString RenameJob::leftElsewhereMessage(const QString &home, const QString &where)
{
    return QStringLiteral("文件“%1”未能恢复原名，现位于“%2”！").arg(home, where);
}
