#include "renamejob.h"

#include "common/jobfailurereporter.h"
#include "fileops/safefileops.h"
#include "fileops/uniquename.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

// How often a resolved name may be taken by someone else between choosing it and renaming onto it.
constexpr int ResolveAttempts = 8;

struct RowStep
{
    RowOutcome outcome = RowOutcome::Untouched;
    QString message; // the warning for a failed row
};

struct MoveAttempt
{
    RenameOutcome outcome = RenameOutcome::Failed;
    QString target;
    QString detail;
};

QString normalisedPath(const QString &path)
{
    QString normal = QDir::fromNativeSeparators(path);
    if (QDir::isRelativePath(normal))
        normal = QDir::current().absoluteFilePath(normal);
    while (normal.size() > 1 && normal.endsWith(QLatin1Char('/')))
        normal.chop(1);
    return normal;
}

QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? path.left(slash + 1) : path.left(slash);
}

QString nameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString joinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// A name that stays a name in its folder: no separator would move the item elsewhere, "." and ".." are the
// folders themselves, and a NUL would cut the name short on its way to the system.
bool isPlainName(const QString &name)
{
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    if (name.contains(QLatin1Char('\\')))
        return false;
#endif
    return true;
}

// ".txt" (an empty name before the extension) would be a hidden file without a name of its own.
bool lacksNamePart(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    for (int i = 0; i < dot; ++i) {
        if (name.at(i) != QLatin1Char('.'))
            return false;
    }
    return true;
}

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
    return {RowOutcome::Failed, message};
}

RowStep markMissing(FileEntry *entry)
{
    if (entry)
        entry->status = StatusMissing;
    return {RowOutcome::Missing, {}};
}

RowStep renameRow(FileEntry &entry, UniqueNameAllocator *names, RenameBatch &batch)
{
    const QString path = normalisedPath(entry.path);
    if (!pathOccupied(path))
        return markMissing(&entry);
    const QString name = nameOf(path);
    if (entry.newName.isEmpty() || entry.newName == name)
        return {};
    const QString target = joinPath(folderOf(path), entry.newName);
    if (name.isEmpty() || !isPlainName(entry.newName))
        return failRow(&entry, RenameJob::failureMessage(target));
    // An item whose own name already lacks it (".gitignore") may keep that form; a folder has no extension,
    // so a leading dot (".config") is part of its name.
    if (lacksNamePart(entry.newName) && !lacksNamePart(name) && !QFileInfo(path).isDir())
        return failRow(&entry, RenameJob::missingNamePartMessage(entry.newName));

    const MoveAttempt move = moveItem(path, target, names);
    if (move.outcome == RenameOutcome::SourceMissing)
        return markMissing(&entry);
    if (move.outcome != RenameOutcome::Renamed) {
        logRefusal(path, move);
        return failRow(&entry, RenameJob::failureMessage(move.target));
    }
    batch.append({entry.id, move.target, name, itemIdentity(move.target)});
    entry.path = move.target;
    entry.currentName = nameOf(move.target);
    entry.newName = entry.currentName;
    entry.status = StatusSuccess;
    return {RowOutcome::Renamed, {}};
}

// entry is null when the row was removed from the list since the batch: the item is still put back.
RowStep revertRecord(const RenameRecord &record, FileEntry *entry, UniqueNameAllocator *names)
{
    const QString target = joinPath(folderOf(record.pathAfter), record.nameBefore);
    // The row's item is no longer where the batch left it (a later undo failed for it): whatever is at that
    // path now is not this row's item.
    if (entry && normalisedPath(entry->path) != record.pathAfter)
        return failRow(entry, RenameJob::failureMessage(target));
    if (!pathOccupied(record.pathAfter))
        return markMissing(entry);
    if (!record.identity.isEmpty() && itemIdentity(record.pathAfter) != record.identity)
        return failRow(entry, RenameJob::failureMessage(target));

    const MoveAttempt move = moveItem(record.pathAfter, target, names);
    if (move.outcome == RenameOutcome::SourceMissing)
        return markMissing(entry);
    if (move.outcome != RenameOutcome::Renamed) {
        logRefusal(record.pathAfter, move);
        return failRow(entry, RenameJob::failureMessage(move.target));
    }
    if (entry) {
        entry->newName = nameOf(record.pathAfter);
        entry->path = move.target;
        entry->currentName = nameOf(move.target);
        entry->status = StatusPending;
    }
    return {RowOutcome::Renamed, {}};
}

// Whether some listed item lies inside another listed folder; only then can a rename move other rows.
bool holdsNestedItems(const FileEntryList &entries)
{
    QSet<QString> paths;
    paths.reserve(entries.size());
    for (const FileEntry &entry : entries)
        paths.insert(normalisedPath(entry.path));
    for (const QString &path : qAsConst(paths)) {
        for (QString folder = folderOf(path); folder.size() > 1 && folder != path; folder = folderOf(folder)) {
            if (paths.contains(folder))
                return true;
        }
    }
    return false;
}

// A renamed folder takes the listed items inside it along: their rows follow it to its new path.
void followRenamedFolder(FileEntryList &entries, int renamedRow, const QString &before,
                         const RenameJob::RowCallback &onRow)
{
    const QString after = entries.at(renamedRow).path;
    const QString prefix = before + QLatin1Char('/');
    for (int row = 0; row < entries.size(); ++row) {
        if (row == renamedRow)
            continue;
        const QString path = normalisedPath(entries.at(row).path);
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
    for (int row = 0; row < entries.size(); ++row) {
        const QString before = normalisedPath(entries.at(row).path);
        const RowStep step = renameRow(entries[row], resolveConflicts ? &names : nullptr, batch);
        tally(result, step.outcome);
        if (nested && step.outcome == RowOutcome::Renamed)
            followRenamedFolder(entries, row, before, onRow);
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

    // Newest rename first, so that a chain within the batch (b to c, then a to b) unwinds cleanly.
    for (int i = batch.size() - 1; i >= 0; --i) {
        const RenameRecord &record = batch.at(i);
        const int row = rowOfId.value(record.id, -1);
        FileEntry *entry = row >= 0 ? &entries[row] : nullptr;
        const RowStep step = revertRecord(record, entry, resolveConflicts ? &names : nullptr);
        tally(result, step.outcome);
        if (nested && entry && step.outcome == RowOutcome::Renamed)
            followRenamedFolder(entries, row, record.pathAfter, onRow);
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
