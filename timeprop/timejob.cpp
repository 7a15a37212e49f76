#include "timejob.h"

#include "fileops/jobjournal.h"
#include "jobs/jobfailurereporter.h"

#include <QDebug>
#include <QHash>

namespace {

struct RowStep
{
    TimeRowOutcome outcome = TimeRowOutcome::Done;
    QString message; // the warning for a failed row
};

// The row shows the times its item has now, read again: the times a run set are the ones the file system
// kept, and a failed row did not get the ones it showed before. An item that cannot be read shows none.
void showTimes(FileTimeEntry &entry, const FileTimes &times)
{
    entry.creation = times.readable ? times.creationTime() : QDateTime();
    entry.modification = times.readable ? times.modificationTime() : QDateTime();
}

void showTimesOnDisk(FileTimeEntry &entry)
{
    showTimes(entry, readFileTimes(entry.path));
}

// entry is null when an undo meets an item whose row was removed since its run.
RowStep failRow(FileTimeEntry *entry, const QString &message, TimeRowOutcome outcome = TimeRowOutcome::Failed)
{
    if (entry) {
        entry->status = StatusFailed;
        showTimesOnDisk(*entry);
    }
    return {outcome, message};
}

RowStep missingRow(FileTimeEntry *entry, const QString &path)
{
    return failRow(entry, TimeJob::missingMessage(path), TimeRowOutcome::Missing);
}

RowStep refusedRow(FileTimeEntry *entry, const QString &path, FileTimesFailure failure)
{
    switch (failure) {
    case FileTimesFailure::Missing:
    case FileTimesFailure::None: // an empty path: nothing there
        return missingRow(entry, path);
    case FileTimesFailure::Unreadable:
        return failRow(entry, TimeJob::readFailedMessage(path));
    case FileTimesFailure::CreationNotSettable:
        return failRow(entry, TimeJob::creationNotSettableMessage(path));
    case FileTimesFailure::OutOfRange:
        return failRow(entry, TimeJob::outOfRangeMessage(path));
    case FileTimesFailure::Refused:
        break;
    }
    return failRow(entry, TimeJob::writeFailedMessage(path));
}

// The ticked times of a run as instants, converted once for all rows.
struct Targets
{
    std::optional<FileInstant> creation;
    std::optional<FileInstant> modification;
    bool convertible = true; // false when a ticked date-time names no instant the system can use
};

Targets targetsOf(const TimeSettings &settings)
{
    Targets targets;
    if (settings.setCreation) {
        targets.creation = toUtcFileTime(settings.creation);
        targets.convertible = targets.creation.has_value();
    }
    if (settings.setModification) {
        targets.modification = toUtcFileTime(settings.modification);
        targets.convertible = targets.convertible && targets.modification.has_value();
    }
    return targets;
}

// A row with nothing to write: the item only has to be there.
RowStep checkRow(FileTimeEntry &entry, const QString &failureMessage)
{
    const FileTimes times = readFileTimes(entry.path);
    if (!times.exists)
        return missingRow(&entry, entry.path);
    if (!times.readable)
        return failRow(&entry, TimeJob::readFailedMessage(entry.path));
    if (!failureMessage.isEmpty())
        return failRow(&entry, failureMessage);
    entry.creation = times.creationTime();
    entry.modification = times.modificationTime();
    entry.status = StatusSuccess;
    return {};
}

bool writes(const Targets &targets)
{
    return targets.convertible && (targets.creation || targets.modification);
}

// An item as the plan of a run found it, in one look: its times and which item it is.
struct FoundItem
{
    FileTimes times;
    QByteArray identity;
};

// found is the item as the plan read it before anything was written: should the item be replaced while it is
// written, undo leaves the newcomer alone.
RowStep setRow(FileTimeEntry &entry, const Targets &targets, FoundItem &found, TimeBatch &batch)
{
    const QString &path = entry.path;
    if (!targets.convertible)
        return checkRow(entry, TimeJob::outOfRangeMessage(path));
    if (!writes(targets))
        return checkRow(entry, QString());

    FileTimes &before = found.times;
    const QByteArray &identity = found.identity;
    FileTimes after;
    FileTimesFailure failure = FileTimesFailure::None;
    if (setReadFileInstants(path, before, targets.creation, std::nullopt, targets.modification, &failure, &after)
        != FileTimesSet) {
        return refusedRow(&entry, path, failure);
    }
    batch.append({entry.id, path, identity,
                  targets.creation ? std::optional(before.creation) : std::nullopt,
                  targets.modification ? std::optional(before.lastWrite) : std::nullopt,
                  after.readable ? std::optional(after.lastWrite) : std::nullopt});
    showTimes(entry, after);
    entry.status = StatusSuccess;
    return {};
}

RowStep undoRecord(const TimeRecord &record, FileTimeEntry *entry)
{
    // The row's own path: another page may have renamed the item since.
    const QString path = entry ? entry->path : record.path;
    // One look tells which item is there and whether it was edited since; its times are then not read again.
    QByteArray identity;
    FileTimes now = readFileTimes(path, &identity);
    if (identity.isEmpty())
        return now.exists ? failRow(entry, TimeJob::readFailedMessage(path)) : missingRow(entry, path);
    if (identity != record.identity)
        return failRow(entry, TimeJob::replacedMessage(path));
    if (record.modificationAfter && now.lastWrite != *record.modificationAfter)
        return failRow(entry, TimeJob::editedMessage(path));

    FileTimes after;
    FileTimesFailure failure = FileTimesFailure::None;
    if (setReadFileInstants(path, now, record.creationBefore, std::nullopt, record.modificationBefore, &failure,
                            &after)
        != FileTimesSet) {
        return refusedRow(entry, path, failure);
    }
    if (entry) {
        showTimes(*entry, after);
        entry->status = StatusPending;
    }
    return {};
}

void finishRow(TimeJobResult &result, const RowStep &step, JobFailureReporter &reporter)
{
    if (step.outcome == TimeRowOutcome::Done) {
        ++result.done;
        return;
    }
    ++result.failed;
    qWarning().noquote() << "time job:" << step.message;
    reporter.report(step.message);
}

// Writes the plan of a run to journal before the first time is set: each item's times as they are and as
// they will be. Returns the items as read, one per row, for the run to write from (none when nothing is
// written).
QVector<FoundItem> beginRunJournal(JobJournal &journal, const FileTimeEntryList &entries, const Targets &targets)
{
    QVector<FoundItem> found;
    if (!writes(targets))
        return found;
    found.resize(entries.size());
    QVector<JobJournal::Item> items;
    items.reserve(entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        const FileTimeEntry &entry = entries.at(row);
        FoundItem &look = found[row];
        look.times = readFileTimes(entry.path, &look.identity);
        const FileTimes &times = look.times;
        JobJournal::Item item;
        item.identity = look.identity;
        item.from = entry.path;
        if (targets.creation && times.hasCreation)
            item.oldCreation = times.creation;
        if (targets.modification && times.readable)
            item.oldWrite = times.lastWrite;
        item.newCreation = targets.creation;
        item.newWrite = targets.modification;
        items.append(item);
    }
    journal.begin(JobJournal::Time, QString(), items);
    return found;
}

// The same for an undo: the times the run left, and those it is about to put back.
void beginUndoJournal(JobJournal &journal, const TimeBatch &batch, const QVector<const FileTimeEntry *> &entries)
{
    QVector<JobJournal::Item> items;
    items.reserve(batch.size());
    for (int i = 0; i < batch.size(); ++i) {
        const TimeRecord &record = batch.at(i);
        JobJournal::Item item;
        item.identity = record.identity;
        item.from = entries.at(i) ? entries.at(i)->path : record.path;
        item.oldWrite = record.modificationAfter;
        item.newCreation = record.creationBefore;
        item.newWrite = record.modificationBefore;
        items.append(item);
    }
    journal.begin(JobJournal::TimeUndo, QString(), items);
}

} // namespace

void applyTimeSettings(FileTimeEntryList &entries, const TimeSettings &settings)
{
    const bool needsItem = !settings.setCreation || !settings.setModification;
    for (FileTimeEntry &entry : entries) {
        const FileTimes times = needsItem ? readFileTimes(entry.path) : FileTimes();
        if (settings.setCreation)
            entry.creation = settings.creation;
        else if (times.readable)
            entry.creation = times.creationTime();
        if (settings.setModification)
            entry.modification = settings.modification;
        else if (times.readable)
            entry.modification = times.modificationTime();
    }
}

TimeJobResult TimeJob::run(FileTimeEntryList &entries, const TimeSettings &settings, TimeHistory &history,
                           const RowCallback &onRow, JobFailureReporter &reporter)
{
    TimeJobResult result;
    TimeBatch batch;
    const Targets targets = targetsOf(settings);
    JobJournal journal;
    QVector<FoundItem> found = beginRunJournal(journal, entries, targets);
    FoundItem unread;
    for (int row = 0; row < entries.size(); ++row) {
        const RowStep step = setRow(entries[row], targets, found.isEmpty() ? unread : found[row], batch);
        if (step.outcome == TimeRowOutcome::Done)
            journal.done(row, entries.at(row).path);
        if (onRow)
            onRow(row, entries.at(row), step.outcome);
        finishRow(result, step, reporter);
    }
    journal.finish();
    history.push(batch);
    reporter.finish();
    return result;
}

TimeJobResult TimeJob::undo(FileTimeEntryList &entries, TimeHistory &history, const RowCallback &onRow,
                            JobFailureReporter &reporter)
{
    TimeJobResult result;
    const TimeBatch batch = history.takeNewest();
    if (batch.isEmpty())
        return result;
    QHash<QString, int> rowOfId;
    rowOfId.reserve(entries.size());
    for (int row = 0; row < entries.size(); ++row)
        rowOfId.insert(entries.at(row).id, row);

    QVector<const FileTimeEntry *> entryOf(batch.size(), nullptr);
    for (int i = 0; i < batch.size(); ++i) {
        const int row = rowOfId.value(batch.at(i).id, -1);
        entryOf[i] = row >= 0 ? &entries.at(row) : nullptr;
    }
    JobJournal journal;
    beginUndoJournal(journal, batch, entryOf);
    for (int i = 0; i < batch.size(); ++i) {
        const TimeRecord &record = batch.at(i);
        const int row = rowOfId.value(record.id, -1);
        FileTimeEntry *entry = row >= 0 ? &entries[row] : nullptr;
        const RowStep step = undoRecord(record, entry);
        if (step.outcome == TimeRowOutcome::Done)
            journal.done(i, entry ? entry->path : record.path);
        if (entry && onRow)
            onRow(row, *entry, step.outcome);
        finishRow(result, step, reporter);
    }
    journal.finish();
    reporter.finish();
    return result;
}

QString TimeJob::missingMessage(const QString &path)
{
    return QStringLiteral("文件“%1”不存在").arg(path);
}

QString TimeJob::readFailedMessage(const QString &path)
{
    return QStringLiteral("获取文件“%1”原时间失败，请确认权限！").arg(path);
}

QString TimeJob::writeFailedMessage(const QString &path)
{
    return QStringLiteral("设置文件“%1”时间失败，请确认权限！").arg(path);
}

QString TimeJob::creationNotSettableMessage(const QString &path)
{
    return QStringLiteral("设置文件“%1”创建时间失败，所在文件系统不支持修改创建时间，未作任何修改！").arg(path);
}

QString TimeJob::outOfRangeMessage(const QString &path)
{
    return QStringLiteral("设置文件“%1”时间失败，所在文件系统不支持所选时间，未作任何修改！").arg(path);
}

QString TimeJob::editedMessage(const QString &path)
{
    return QStringLiteral("文件“%1”在修改后已被更改，未恢复其原时间！").arg(path);
}

QString TimeJob::replacedMessage(const QString &path)
{
    return QStringLiteral("文件“%1”已被替换，未恢复其原时间！").arg(path);
}
