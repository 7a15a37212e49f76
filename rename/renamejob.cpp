#include "renamejob.h"

#include "jobs/jobfailurereporter.h"
#include "fileops/safefileops.h"
#include "fileops/uniquename.h"
#include "rename/newnamecheck.h"
#include "rename/renameorder.h"
#include "rename/renamepaths.h"

#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

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

MoveAttempt moveItem(const QString &path, const QString &target, UniqueNameAllocator *names)
{
    MoveAttempt attempt;
    attempt.target = names ? names->resolve(target, path) : target;
    for (int i = 1;; ++i) {
        attempt.outcome = renameNoReplace(path, attempt.target, &attempt.detail);
        if (attempt.outcome == RenameOutcome::Renamed && names)
            names->markTaken(attempt.target);
        if (attempt.outcome != RenameOutcome::TargetExists || !names || i == ResolveAttempts)
            return attempt;
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

// Moves an item out of the way of a ring of renames, to a free temporary name in its folder; empty on failure.
QString stepAside(const QString &path)
{
    for (int attempt = 0; attempt < ResolveAttempts; ++attempt) {
        const QString random = QString::number(QRandomGenerator::global()->generate64(), 16);
        const QString temporary = RenamePaths::join(folderOf(path), QStringLiteral(".quorlin-") + random);
        const RenameOutcome outcome = renameNoReplace(path, temporary);
        if (outcome == RenameOutcome::Renamed)
            return temporary;
        if (outcome != RenameOutcome::TargetExists)
            break;
    }
    qWarning().noquote() << "rename" << path << "could not step aside";
    return QString();
}

// An item that stepped aside but could not take its new name goes back home, or, should home have been taken
// meanwhile, to the first free variant of it; returns where it is.
QString comeBack(const QString &temporary, const QString &home)
{
    if (renameNoReplace(temporary, home) == RenameOutcome::Renamed)
        return home;
    const QString variant = uniqueName(home);
    if (renameNoReplace(temporary, variant) == RenameOutcome::Renamed)
        return variant;
    qWarning().noquote() << "rename: the item of" << home << "is left as" << temporary;
    return temporary;
}

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

// aside: where the item waits when it stepped aside for a ring of renames, else empty.
RowStep renameRow(FileEntry &entry, UniqueNameAllocator *names, RenameBatch &batch, const QString &aside)
{
    const QString path = RenamePaths::normalised(entry.path);
    const QString from = aside.isEmpty() ? path : aside;
    if (!pathOccupied(from))
        return markMissing(&entry);
    const QString name = nameOf(path);
    if (entry.newName.isEmpty() || entry.newName == name)
        return {};
    const QString target = RenamePaths::join(folderOf(path), entry.newName);
    const auto fail = [&](const QString &message) {
        if (!aside.isEmpty())
            relocate(entry, comeBack(aside, path), path);
        return failRow(&entry, message);
    };
    const NameRefusal refusal = name.isEmpty() ? NameRefusal::Separator : refusalOf(entry.newName, name, from);
    if (refusal == NameRefusal::MissingNamePart)
        return fail(RenameJob::missingNamePartMessage(entry.newName));
    if (refusal != NameRefusal::None)
        return fail(RenameJob::failureMessage(target));

    const MoveAttempt move = moveItem(from, target, names);
    if (move.outcome == RenameOutcome::SourceMissing)
        return markMissing(&entry);
    if (move.outcome != RenameOutcome::Renamed) {
        logRefusal(from, move);
        return fail(RenameJob::failureMessage(move.target));
    }
    batch.append({entry.id, move.target, name, itemIdentity(move.target)});
    entry.path = move.target;
    entry.currentName = nameOf(move.target);
    entry.newName = entry.currentName;
    entry.status = StatusSuccess;
    return {RowOutcome::Renamed, {}, move.target};
}

// entry is null when the row was removed from the list since the batch: the item is still put back.
RowStep revertRecord(const RenameRecord &record, FileEntry *entry, UniqueNameAllocator *names, const QString &aside)
{
    const QString target = RenamePaths::join(folderOf(record.pathAfter), record.nameBefore);
    // The row's item is no longer where the batch left it (a later undo failed for it): whatever is at that
    // path now is not this row's item.
    if (entry && RenamePaths::normalised(entry->path) != record.pathAfter)
        return failRow(entry, RenameJob::failureMessage(target));
    const QString from = aside.isEmpty() ? record.pathAfter : aside;
    if (!pathOccupied(from))
        return markMissing(entry);
    if (!record.identity.isEmpty() && itemIdentity(from) != record.identity)
        return failRow(entry, RenameJob::failureMessage(target));

    const MoveAttempt move = moveItem(from, target, names);
    if (move.outcome == RenameOutcome::SourceMissing)
        return markMissing(entry);
    if (move.outcome != RenameOutcome::Renamed) {
        logRefusal(from, move);
        if (!aside.isEmpty()) {
            const QString back = comeBack(aside, record.pathAfter);
            if (entry)
                relocate(*entry, back, record.pathAfter);
        }
        return failRow(entry, RenameJob::failureMessage(move.target));
    }
    if (entry) {
        entry->newName = nameOf(record.pathAfter);
        entry->path = move.target;
        entry->currentName = nameOf(move.target);
        entry->status = StatusPending;
    }
    return {RowOutcome::Renamed, {}, move.target};
}

// One rename of a batch as planned before anything moves; target is empty when the rename will not be tried.
struct PlannedMove
{
    QString source;
    QString target;
};

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

PlannedMove plannedRevert(const RenameRecord &record, const FileEntry *entry)
{
    if (entry && RenamePaths::normalised(entry->path) != record.pathAfter)
        return {record.pathAfter, {}};
    if (!record.identity.isEmpty() && itemIdentity(record.pathAfter) != record.identity)
        return {record.pathAfter, {}};
    return {record.pathAfter, RenamePaths::join(folderOf(record.pathAfter), record.nameBefore)};
}

// For each planned move, the other planned move whose item has its target now, or -1.
QVector<int> blockersOf(const QVector<PlannedMove> &moves)
{
    QHash<QString, int> bySource;
    // Where the file system ignores case, a target can be another spelling of a source.
    QHash<QString, QVector<int>> bySpelling;
    for (int i = 0; i < moves.size(); ++i) {
        if (moves.at(i).target.isEmpty())
            continue;
        bySource.insert(moves.at(i).source, i);
        bySpelling[moves.at(i).source.toCaseFolded()].append(i);
    }
    QVector<int> blockers(moves.size(), -1);
    for (int i = 0; i < moves.size(); ++i) {
        const QString &target = moves.at(i).target;
        if (target.isEmpty())
            continue;
        int holder = bySource.value(target, -1);
        if (holder < 0) {
            for (int other : bySpelling.value(target.toCaseFolded())) {
                if (other != i && isSameEntry(moves.at(other).source, target))
                    holder = other;
            }
        }
        blockers[i] = holder == i ? -1 : holder;
    }
    return blockers;
}

// A list with items inside other listed folders runs in its plain order: a renamed folder moves the paths the
// plan was made from.
QVector<RenameStep> plainOrder(int count)
{
    QVector<RenameStep> steps;
    steps.reserve(count);
    for (int i = 0; i < count; ++i)
        steps.append({i, false});
    return steps;
}

bool holdsNestedItems(const FileEntryList &entries)
{
    QStringList paths;
    paths.reserve(entries.size());
    for (const FileEntry &entry : entries)
        paths.append(RenamePaths::normalised(entry.path));
    return RenamePaths::holdsNestedItems(paths);
}

// A renamed folder takes the listed items inside it along: their rows follow it to its new path.
// A renamed folder takes the listed items inside it along, whether or not the folder has a row of its own:
// their rows follow it from before to after.
void followRenamedFolder(FileEntryList &entries, const QString &before, const QString &after,
                         const RenameJob::RowCallback &onRow)
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
    UniqueNameAllocator names;
    const bool nested = holdsNestedItems(entries);
    QVector<RenameStep> steps;
    if (nested) {
        steps = plainOrder(entries.size());
    } else {
        QVector<PlannedMove> moves;
        moves.reserve(entries.size());
        for (const FileEntry &entry : qAsConst(entries))
            moves.append(plannedRename(entry));
        steps = renameOrder(blockersOf(moves));
    }
    QHash<int, QString> aside;
    for (const RenameStep &planned : qAsConst(steps)) {
        const int row = planned.rename;
        if (planned.aside) {
            const QString before = RenamePaths::normalised(entries.at(row).path);
            const QString temporary = stepAside(before);
            if (!temporary.isEmpty()) {
                aside.insert(row, temporary);
                result.moves.append({before, temporary});
            }
            continue;
        }
        const QString before = RenamePaths::normalised(entries.at(row).path);
        const RowStep step = renameRow(entries[row], resolveConflicts ? &names : nullptr, batch, aside.value(row));
        tally(result, step.outcome);
        if (step.outcome == RowOutcome::Renamed)
            result.moves.append({aside.value(row, before), step.movedTo});
        if (nested && step.outcome == RowOutcome::Renamed)
            followRenamedFolder(entries, before, step.movedTo, onRow);
        if (onRow)
            onRow(row, entries.at(row), step.outcome);
        if (!step.message.isEmpty())
            reporter.report(step.message);
    }
    history.push(batch);
    reporter.finish();
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
    const bool nested = holdsNestedItems(entries);
    UniqueNameAllocator names;

    // Newest rename first, so that a chain within the batch (b to c, then a to b) unwinds cleanly; swaps
    // within the batch unwind through a step aside.
    const int count = batch.size();
    const auto recordAt = [&](int k) -> const RenameRecord & { return batch.at(count - 1 - k); };
    const auto entryOf = [&](const RenameRecord &record) -> FileEntry * {
        const int row = rowOfId.value(record.id, -1);
        return row >= 0 ? &entries[row] : nullptr;
    };
    QVector<RenameStep> steps;
    if (nested) {
        steps = plainOrder(count);
    } else {
        QVector<PlannedMove> moves;
        moves.reserve(count);
        for (int k = 0; k < count; ++k)
            moves.append(plannedRevert(recordAt(k), entryOf(recordAt(k))));
        steps = renameOrder(blockersOf(moves));
    }
    QHash<int, QString> aside;
    for (const RenameStep &planned : qAsConst(steps)) {
        const RenameRecord &record = recordAt(planned.rename);
        if (planned.aside) {
            const QString temporary = stepAside(record.pathAfter);
            if (!temporary.isEmpty()) {
                aside.insert(planned.rename, temporary);
                result.moves.append({record.pathAfter, temporary});
            }
            continue;
        }
        const int row = rowOfId.value(record.id, -1);
        FileEntry *entry = entryOf(record);
        const RowStep step = revertRecord(record, entry, resolveConflicts ? &names : nullptr,
                                          aside.value(planned.rename));
        tally(result, step.outcome);
        if (step.outcome == RowOutcome::Renamed)
            result.moves.append({aside.value(planned.rename, record.pathAfter), step.movedTo});
        // An item whose row was removed may still be a folder that listed items lie in.
        if ((nested || !entry) && step.outcome == RowOutcome::Renamed)
            followRenamedFolder(entries, record.pathAfter, step.movedTo, onRow);
        if (entry && onRow)
            onRow(row, *entry, step.outcome);
        if (!step.message.isEmpty())
            reporter.report(step.message);
    }
    reporter.finish();
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
