#include "timejob.h"

#include "fileops/jobjournal.h"
#include "jobs/jobfailurereporter.h"
#include "fileops/safefileops.h"
#include "timeprop/timetargets.h"

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

RowStep skipRow(FileTimeEntry &entry, const QString &reason)
{
    entry.status = StatusSkipped;
    entry.timeNote = reason;
    return {TimeRowOutcome::Skipped, reason};
}

// An item as the run found it, in one look: its times and which item it is.
struct FoundItem
{
    bool read = false;
    FileTimes times;
    QByteArray identity;
};

// found is the item as the plan read it before anything was written (read here when no plan was made): should
// the item be replaced while it is written, undo leaves the newcomer alone; an offset moves these times.
RowStep setRow(FileTimeEntry &entry, const TimeTargets &maker, FoundItem &found, TimeBatch &batch)
{
    const QString &path = entry.path;
    if (!found.read) {
        found.times = readFileTimes(path, &found.identity);
        found.read = true;
    }
    FileTimes &before = found.times;
    // An offset moves the times the item has: without them there is nothing to move.
    if (maker.needsItemTimes() && !before.exists)
        return missingRow(&entry, path);
    if (maker.needsItemTimes() && !before.readable)
        return failRow(&entry, TimeJob::readFailedMessage(path));
    const RowTargets targets = maker.targetsOf(entry, before);
    if (!targets.skipReason.isEmpty())
        return skipRow(entry, targets.skipReason);
    if (!targets.convertible)
        return checkRow(entry, TimeJob::outOfRangeMessage(path));
    if (!targets.creation && !targets.modification)
        return checkRow(entry, QString());

    FileTimes after;
    FileTimesFailure failure = FileTimesFailure::None;
    if (setReadFileInstants(path, before, targets.creation, std::nullopt, targets.modification, &failure, &after)
        != FileTimesSet) {
        return refusedRow(&entry, path, failure);
    }
    batch.append({entry.id, path, found.identity, targets.creation ? std::optional(before.creation) : std::nullopt,
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

// A row the job has just set or put back shows what its item now has, and no other time beneath it.
void showsOnDisk(FileTimeEntry &entry)
{
    entry.creationOnDisk = entry.creation;
    entry.modificationOnDisk = entry.modification;
}

void finishRow(TimeJobResult &result, const RowStep &step, JobFailureReporter &reporter)
{
    if (step.outcome == TimeRowOutcome::Done) {
        ++result.done;
        return;
    }
    // Not a failure: the item is as it was, and the row says why.
    if (step.outcome == TimeRowOutcome::Skipped) {
        ++result.skipped;
        return;
    }
    ++result.failed;
    qWarning().noquote() << "time job:" << step.message;
    reporter.report(step.message);
}

// Writes the plan of a run to journal before the first time is set: each item's times as they are and as
// they will be (none for an item its source has no time for). Returns the items as read, one per row, for the
// run to write from (none when nothing is written).
QVector<FoundItem> beginRunJournal(JobJournal &journal, const FileTimeEntryList &entries,
                                   const TimeSettings &settings, const TimeTargets &maker)
{
    QVector<FoundItem> found;
    if (!settings.setCreation && !settings.setModification)
        return found;
    found.resize(entries.size());
    QVector<JobJournal::Item> items;
    items.reserve(entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        const FileTimeEntry &entry = entries.at(row);
        FoundItem &look = found[row];
        look.times = readFileTimes(entry.path, &look.identity);
        look.read = true;
        const FileTimes &times = look.times;
        const RowTargets targets = maker.targetsOf(entry, times);
        const bool writes = targets.convertible && targets.skipReason.isEmpty();
        JobJournal::Item item;
        item.identity = look.identity;
        item.from = entry.path;
        if (targets.creation && times.hasCreation)
            item.oldCreation = times.creation;
        if (targets.modification && times.readable)
            item.oldWrite = times.lastWrite;
        item.newCreation = writes ? targets.creation : std::nullopt;
        item.newWrite = writes ? targets.modification : std::nullopt;
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

bool applyTimeSettings(FileTimeEntryList &entries, const TimeSettings &settings, PhotoDateCache *photos)
{
    const TimeTargets maker(settings, photos, false);
    const bool fixed = settings.source == TimeSource::Fixed;
    bool complete = true;
    for (FileTimeEntry &entry : entries) {
        const FileTimes times = readFileTimes(entry.path);
        if (times.readable) {
            entry.creationOnDisk = times.creationTime();
            entry.modificationOnDisk = times.modificationTime();
        }
        const RowTargets targets = maker.targetsOf(entry, times);
        complete = complete && !targets.pending;
        entry.timeNote = targets.pending ? TimeTargets::readingPhotoDateText() : targets.skipReason;
        const bool shows = entry.timeNote.isEmpty();
        if (settings.setCreation && shows && fixed)
            entry.creation = settings.creation;
        else if (settings.setCreation && shows && targets.creation)
            entry.creation = toLocalDateTime(*targets.creation);
        else if (times.readable)
            entry.creation = entry.creationOnDisk;
        if (settings.setModification && shows && fixed)
            entry.modification = settings.modification;
        else if (settings.setModification && shows && targets.modification)
            entry.modification = toLocalDateTime(*targets.modification);
        else if (times.readable)
            entry.modification = entry.modificationOnDisk;
    }
    return complete;
}

TimeJobResult TimeJob::run(FileTimeEntryList &entries, const TimeSettings &settings, TimeHistory &history,
                           const RowCallback &onRow, JobFailureReporter &reporter, PhotoDateCache *photos)
{
    TimeJobResult result;
    TimeBatch batch;
    const TimeTargets maker(settings, photos, true);
    JobJournal journal;
    QVector<FoundItem> found = beginRunJournal(journal, entries, settings, maker);
    for (int row = 0; row < entries.size(); ++row) {
        FileTimeEntry &entry = entries[row];
        entry.timeNote.clear();
        FoundItem unread;
        const RowStep step = setRow(entry, maker, found.isEmpty() ? unread : found[row], batch);
        if (step.outcome == TimeRowOutcome::Done) {
            showsOnDisk(entry);
            journal.done(row, entry.path);
        }
        if (onRow)
            onRow(row, entries.at(row), step.outcome);
        finishRow(result, step, reporter);
    }
    journal.finish();
    history.push(batch);
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
        if (entry && step.outcome == TimeRowOutcome::Done)
            showsOnDisk(*entry);
        if (step.outcome == TimeRowOutcome::Done)
            journal.done(i, entry ? entry->path : record.path);
        if (entry && onRow)
            onRow(row, *entry, step.outcome);
        finishRow(result, step, reporter);
    }
    journal.finish();
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
