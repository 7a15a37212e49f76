#include "timejob.h"

#include "fileops/jobjournal.h"
#include "fileops/renamepaths.h"
#include "fileops/safefileops.h"
#include "jobs/jobfailurereporter.h"
#include "timeprop/timetargets.h"

#include <QDebug>
#include <QHash>

#include <map>
#include <memory>

namespace {

// Where a row's item is for a job: its name in its folder, the folder opened once for the whole job. Every
// look and every write goes through the folder's handle, so that the items are still found, and no other
// ones, should the folder be renamed while the job runs. A path without a folder is used as it is.
class ItemPlace
{
public:
    ItemPlace() = default;
    ItemPlace(const QString &path, const FolderHandle *folder, int nameFrom)
        : m_path(path), m_folder(folder), m_nameFrom(nameFrom)
    {
    }

    const QString &path() const { return m_path; }
    FileTimes read(QByteArray *identity = nullptr) const
    {
        return m_folder ? m_folder->readTimes(name(), identity) : readFileTimes(m_path, identity);
    }
    // setReadFileInstants for the item, its access time left alone.
    int set(FileTimes &before, const std::optional<FileInstant> &creation,
            const std::optional<FileInstant> &modification, FileTimesFailure *failure, FileTimes *after) const
    {
        return m_folder
            ? m_folder->setReadTimes(name(), before, creation, std::nullopt, modification, failure, after)
            : setReadFileInstants(m_path, before, creation, std::nullopt, modification, failure, after);
    }

private:
    QStringView name() const { return QStringView(m_path).mid(m_nameFrom); }

    QString m_path;
    const FolderHandle *m_folder = nullptr;
    int m_nameFrom = 0;
};

// The folders of one job, each opened at its first row. Beyond a few hundred folders the items of the others
// are reached by their paths: the handles must leave the program descriptors for its journal and its files.
class JobFolders
{
public:
    ItemPlace placeOf(const QString &path)
    {
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        // No folder to open: a path without one, or the root itself.
        if (slash < 0 || slash == path.size() - 1)
            return ItemPlace(path, nullptr, 0);
        // Rows of one folder mostly come together: the folder of the row before is tried first.
        const QStringView folder = QStringView(path).left(qMax(slash, 1));
        if (!m_last || folder != m_lastFolder) {
            m_lastFolder = folder.toString();
            const auto found = m_handles.find(m_lastFolder);
            if (found != m_handles.end())
                m_last = found->second.get();
            else if (m_handles.size() < MaxOpenFolders)
                m_last = m_handles.emplace(m_lastFolder, std::make_unique<FolderHandle>(m_lastFolder))
                             .first->second.get();
            else
                m_last = nullptr;
        }
        return m_last ? ItemPlace(path, m_last, slash + 1) : ItemPlace(path, nullptr, 0);
    }

    // Rows in a folder that was renamed or moved during the job follow it, and so does the run's history.
    void followMovedFolders(FileTimeEntryList &entries, TimeBatch *batch) const
    {
        for (const auto &handle : m_handles) {
            const QString &folder = handle.first;
            // Empty: not open, or gone.
            const QString now = handle.second->whereNow();
            if (now.isEmpty() || now == folder)
                continue;
            for (FileTimeEntry &entry : entries)
                follow(entry.path, folder, now);
            for (TimeRecord &record : *batch)
                follow(record.path, folder, now);
        }
    }

private:
    static void follow(QString &path, const QString &folder, const QString &now)
    {
        if (RenamePaths::folderOf(path) == folder)
            path = RenamePaths::join(now, RenamePaths::nameOf(path));
    }

    static constexpr std::size_t MaxOpenFolders = 256;
    std::map<QString, std::unique_ptr<FolderHandle>> m_handles;
    QString m_lastFolder;
    const FolderHandle *m_last = nullptr;
};

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

// The local date-times of the times a job has just read, for its rows to show. The rows of a run mostly get
// one and the same new time and keep the other as they showed it: each is converted once, not per row.
class ShownTimes
{
public:
    void show(FileTimeEntry &entry, const FileTimes &times)
    {
        show(entry.creation, times.hasCreation ? &times.creation : nullptr, m_creation);
        show(entry.modification, times.readable ? &times.lastWrite : nullptr, m_modification);
    }

private:
    struct Last
    {
        FileInstant instant;
        QDateTime time;
    };

    // instant is null for a time not known.
    static void show(QDateTime &shown, const FileInstant *instant, Last &last)
    {
        if (!instant) {
            shown = QDateTime();
            return;
        }
        // A time the row shows already, made by toLocalDateTime from the same instant, stays (at offset 0 it is
        // kept as UTC).
        const qint64 msecs = instant->seconds * 1000 + instant->nanoseconds / 1000000;
        const Qt::TimeSpec spec = shown.timeSpec();
        if ((spec == Qt::OffsetFromUTC || spec == Qt::UTC) && shown.toMSecsSinceEpoch() == msecs)
            return;
        if (!last.time.isValid() || last.instant != *instant)
            last = {*instant, toLocalDateTime(*instant)};
        shown = last.time;
    }

    Last m_creation;
    Last m_modification;
};

// entry is null when an undo meets an item whose row was removed since its run.
RowStep failRow(FileTimeEntry *entry, const ItemPlace &place, const QString &message,
                TimeRowOutcome outcome = TimeRowOutcome::Failed)
{
    if (entry) {
        entry->status = StatusFailed;
        showTimes(*entry, place.read());
    }
    return {outcome, message};
}

RowStep missingRow(FileTimeEntry *entry, const ItemPlace &place)
{
    return failRow(entry, place, TimeJob::missingMessage(place.path()), TimeRowOutcome::Missing);
}

RowStep refusedRow(FileTimeEntry *entry, const ItemPlace &place, FileTimesFailure failure)
{
    const QString &path = place.path();
    switch (failure) {
    case FileTimesFailure::Missing:
    case FileTimesFailure::None: // an empty path: nothing there
        return missingRow(entry, place);
    case FileTimesFailure::Unreadable:
        return failRow(entry, place, TimeJob::readFailedMessage(path));
    case FileTimesFailure::CreationNotSettable:
        return failRow(entry, place, TimeJob::creationNotSettableMessage(path));
    case FileTimesFailure::OutOfRange:
        return failRow(entry, place, TimeJob::outOfRangeMessage(path));
    case FileTimesFailure::Refused:
        break;
    }
    return failRow(entry, place, TimeJob::writeFailedMessage(path));
}

// An item as the run found it before anything was written, in one look through its folder: its times, which
// item it is (should it be replaced while it is written, undo leaves the newcomer alone) and the times it is
// to receive.
struct FoundItem
{
    ItemPlace place;
    FileTimes times;
    QByteArray identity;
    RowTargets targets;
};

QVector<FoundItem> lookAtItems(const FileTimeEntryList &entries, const TimeTargets &maker, JobFolders &folders)
{
    QVector<FoundItem> found(entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        const FileTimeEntry &entry = entries.at(row);
        FoundItem &look = found[row];
        look.place = folders.placeOf(entry.path);
        look.times = look.place.read(&look.identity);
        look.targets = maker.targetsOf(entry, look.times);
    }
    return found;
}

// A row with nothing to write: the item only has to be there.
RowStep checkRow(FileTimeEntry &entry, const FoundItem &found, const QString &failureMessage, ShownTimes &shown)
{
    const FileTimes &times = found.times;
    if (!times.exists)
        return missingRow(&entry, found.place);
    if (!times.readable)
        return failRow(&entry, found.place, TimeJob::readFailedMessage(entry.path));
    if (!failureMessage.isEmpty())
        return failRow(&entry, found.place, failureMessage);
    shown.show(entry, times);
    entry.status = StatusSuccess;
    return {};
}

RowStep skipRow(FileTimeEntry &entry, const QString &reason)
{
    entry.status = StatusSkipped;
    entry.timeNote = reason;
    return {TimeRowOutcome::Skipped, reason};
}

// An offset moves the times the item has: without them there is nothing to move.
RowStep setRow(FileTimeEntry &entry, const TimeTargets &maker, FoundItem &found, TimeBatch &batch, ShownTimes &shown)
{
    const QString &path = entry.path;
    FileTimes &before = found.times;
    if (maker.needsItemTimes() && !before.exists)
        return missingRow(&entry, found.place);
    if (maker.needsItemTimes() && !before.readable)
        return failRow(&entry, found.place, TimeJob::readFailedMessage(path));
    const RowTargets &targets = found.targets;
    if (!targets.skipReason.isEmpty())
        return skipRow(entry, targets.skipReason);
    if (!targets.convertible)
        return checkRow(entry, found, TimeJob::outOfRangeMessage(path), shown);
    if (!targets.creation && !targets.modification)
        return checkRow(entry, found, QString(), shown);

    FileTimes after;
    FileTimesFailure failure = FileTimesFailure::None;
    if (found.place.set(before, targets.creation, targets.modification, &failure, &after) != FileTimesSet)
        return refusedRow(&entry, found.place, failure);
    // The plan's look is no longer needed once the item is written: its identity moves into the history.
    batch.append({entry.id, path, std::move(found.identity),
                  targets.creation ? std::optional(before.creation) : std::nullopt,
                  targets.modification ? std::optional(before.lastWrite) : std::nullopt,
                  after.readable ? std::optional(after.lastWrite) : std::nullopt,
                  targets.creation && after.readable ? std::optional(after.creation) : std::nullopt});
    shown.show(entry, after);
    entry.status = StatusSuccess;
    return {};
}

RowStep undoRecord(const TimeRecord &record, FileTimeEntry *entry, const ItemPlace &place, ShownTimes &shown)
{
    // One look tells which item is there and whether it was edited since; its times are then not read again.
    QByteArray identity;
    FileTimes now = place.read(&identity);
    if (identity.isEmpty())
        return now.exists ? failRow(entry, place, TimeJob::readFailedMessage(place.path()))
                          : missingRow(entry, place);
    if (identity != record.identity)
        return failRow(entry, place, TimeJob::replacedMessage(place.path()));
    if (record.modificationAfter && now.lastWrite != *record.modificationAfter)
        return failRow(entry, place, TimeJob::editedMessage(place.path()));

    FileTimes after;
    FileTimesFailure failure = FileTimesFailure::None;
    if (place.set(now, record.creationBefore, record.modificationBefore, &failure, &after) != FileTimesSet)
        return refusedRow(entry, place, failure);
    if (entry) {
        shown.show(*entry, after);
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
// they will be (none for an item its source has no time for). Nothing when nothing is written.
void beginRunJournal(JobJournal &journal, const FileTimeEntryList &entries, const QVector<FoundItem> &found,
                     const TimeSettings &settings)
{
    if (!settings.setCreation && !settings.setModification)
        return;
    QVector<JobJournal::Item> items;
    items.reserve(entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        const FoundItem &look = found.at(row);
        const FileTimes &times = look.times;
        const RowTargets &targets = look.targets;
        const bool writes = targets.convertible && targets.skipReason.isEmpty();
        JobJournal::Item item;
        item.identity = look.identity;
        item.from = entries.at(row).path;
        if (targets.creation && times.hasCreation)
            item.oldCreation = times.creation;
        if (targets.modification && times.readable)
            item.oldWrite = times.lastWrite;
        item.newCreation = writes ? targets.creation : std::nullopt;
        item.newWrite = writes ? targets.modification : std::nullopt;
        items.append(std::move(item));
    }
    journal.begin(JobJournal::Time, QString(), items);
}

// The same for an undo: the times the run left, and those it is about to put back.
void beginUndoJournal(JobJournal &journal, const TimeBatch &batch, const FileTimeEntryList &entries,
                      const QVector<int> &rows)
{
    QVector<JobJournal::Item> items;
    items.reserve(batch.size());
    for (int i = 0; i < batch.size(); ++i) {
        const TimeRecord &record = batch.at(i);
        JobJournal::Item item;
        item.identity = record.identity;
        item.from = rows.at(i) >= 0 ? entries.at(rows.at(i)).path : record.path;
        item.oldCreation = record.creationAfter;
        item.oldWrite = record.modificationAfter;
        item.newCreation = record.creationBefore;
        item.newWrite = record.modificationBefore;
        items.append(std::move(item));
    }
    journal.begin(JobJournal::TimeUndo, QString(), items);
}

// The row of each record of a batch (-1 where the row was removed). A batch keeps the list's order of its
// run, so the row after the one found before is tried before looking the id up.
QVector<int> rowsOf(const TimeBatch &batch, const FileTimeEntryList &entries)
{
    QVector<int> rows(batch.size(), -1);
    QHash<QString, int> rowOfId;
    int next = 0;
    for (int i = 0; i < batch.size(); ++i) {
        const QString &id = batch.at(i).id;
        if (next < entries.size() && entries.at(next).id == id) {
            rows[i] = next++;
            continue;
        }
        if (rowOfId.isEmpty()) {
            rowOfId.reserve(entries.size());
            for (int row = 0; row < entries.size(); ++row)
                rowOfId.insert(entries.at(row).id, row);
        }
        rows[i] = rowOfId.value(id, -1);
        if (rows.at(i) >= 0)
            next = rows.at(i) + 1;
    }
    return rows;
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
    batch.reserve(entries.size());
    const TimeTargets maker(settings, photos, true);
    ShownTimes shown;
    JobFolders folders;
    QVector<FoundItem> found = lookAtItems(entries, maker, folders);
    JobJournal journal;
    beginRunJournal(journal, entries, found, settings);
    for (int row = 0; row < entries.size(); ++row) {
        FileTimeEntry &entry = entries[row];
        entry.timeNote.clear();
        const RowStep step = setRow(entry, maker, found[row], batch, shown);
        if (step.outcome == TimeRowOutcome::Done) {
            showsOnDisk(entry);
            journal.done(row);
        }
        if (onRow)
            onRow(row, entries.at(row), step.outcome);
        finishRow(result, step, reporter);
    }
    journal.finish();
    folders.followMovedFolders(entries, &batch);
    batch.squeeze();
    history.push(batch);
    return result;
}

TimeJobResult TimeJob::undo(FileTimeEntryList &entries, TimeHistory &history, const RowCallback &onRow,
                            JobFailureReporter &reporter)
{
    TimeJobResult result;
    TimeBatch batch = history.takeNewest();
    if (batch.isEmpty())
        return result;
    const QVector<int> rows = rowsOf(batch, entries);
    JobJournal journal;
    beginUndoJournal(journal, batch, entries, rows);
    JobFolders folders;
    ShownTimes shown;
    for (int i = 0; i < batch.size(); ++i) {
        const TimeRecord &record = batch.at(i);
        const int row = rows.at(i);
        FileTimeEntry *entry = row >= 0 ? &entries[row] : nullptr;
        // The row's own path: another page may have renamed the item since.
        const ItemPlace place = folders.placeOf(entry ? entry->path : record.path);
        const RowStep step = undoRecord(record, entry, place, shown);
        if (entry && step.outcome == TimeRowOutcome::Done)
            showsOnDisk(*entry);
        if (step.outcome == TimeRowOutcome::Done)
            journal.done(i);
        if (entry && onRow)
            onRow(row, *entry, step.outcome);
        finishRow(result, step, reporter);
    }
    journal.finish();
    folders.followMovedFolders(entries, &batch);
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
