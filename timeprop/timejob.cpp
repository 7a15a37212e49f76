#include "timejob.h"

#include "jobs/jobfailurereporter.h"
#include "fileops/safefileops.h"

#include <QDebug>
#include <QHash>

namespace {

struct RowStep
{
    TimeRowOutcome outcome = TimeRowOutcome::Done;
    QString message; // the warning for a failed row
};

// entry is null when an undo meets an item whose row was removed since its run.
RowStep failRow(FileTimeEntry *entry, const QString &message, TimeRowOutcome outcome = TimeRowOutcome::Failed)
{
    if (entry)
        entry->status = StatusFailed;
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

RowStep setRow(FileTimeEntry &entry, const TimeSettings &settings, const Targets &targets, TimeBatch &batch)
{
    const QString &path = entry.path;
    if (!targets.convertible)
        return checkRow(entry, TimeJob::outOfRangeMessage(path));
    if (!targets.creation && !targets.modification)
        return checkRow(entry, QString());

    // Taken first: should the item be replaced while it is written, undo leaves the newcomer alone.
    const QByteArray identity = itemIdentity(path);
    FileTimes before;
    FileTimesFailure failure = FileTimesFailure::None;
    if (setFileInstants(path, targets.creation, std::nullopt, targets.modification, &failure, &before)
        != FileTimesSet) {
        return refusedRow(&entry, path, failure);
    }
    batch.append({entry.id, path, identity,
                  targets.creation ? std::optional(before.creation) : std::nullopt,
                  targets.modification ? std::optional(before.lastWrite) : std::nullopt});
    entry.creation = targets.creation ? settings.creation : before.creationTime();
    entry.modification = targets.modification ? settings.modification : before.modificationTime();
    entry.status = StatusSuccess;
    return {};
}

RowStep undoRecord(const TimeRecord &record, FileTimeEntry *entry)
{
    // The row's own path: another page may have renamed the item since.
    const QString path = entry ? entry->path : record.path;
    const QByteArray identity = itemIdentity(path);
    if (identity.isEmpty()) {
        const FileTimes now = readFileTimes(path);
        return now.exists ? failRow(entry, TimeJob::readFailedMessage(path)) : missingRow(entry, path);
    }
    if (identity != record.identity)
        return failRow(entry, TimeJob::replacedMessage(path));

    FileTimes before;
    FileTimesFailure failure = FileTimesFailure::None;
    if (setFileInstants(path, record.creationBefore, std::nullopt, record.modificationBefore, &failure, &before)
        != FileTimesSet) {
        return refusedRow(entry, path, failure);
    }
    if (entry) {
        entry->creation = record.creationBefore ? toLocalDateTime(*record.creationBefore) : before.creationTime();
        entry->modification =
            record.modificationBefore ? toLocalDateTime(*record.modificationBefore) : before.modificationTime();
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
    for (int row = 0; row < entries.size(); ++row) {
        const RowStep step = setRow(entries[row], settings, targets, batch);
        if (onRow)
            onRow(row, entries.at(row), step.outcome);
        finishRow(result, step, reporter);
    }
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

    for (const TimeRecord &record : batch) {
        const int row = rowOfId.value(record.id, -1);
        FileTimeEntry *entry = row >= 0 ? &entries[row] : nullptr;
        const RowStep step = undoRecord(record, entry);
        if (entry && onRow)
            onRow(row, *entry, step.outcome);
        finishRow(result, step, reporter);
    }
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

QString TimeJob::replacedMessage(const QString &path)
{
    return QStringLiteral("文件“%1”已被替换，未恢复其原时间！").arg(path);
}
