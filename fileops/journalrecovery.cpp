#include "journalrecovery.h"

#include "fileops/createitem.h"
#include "fileops/filetimes.h"
#include "fileops/journalformat.h"
#include "fileops/renamepaths.h"
#include "fileops/safefileops.h"
#include "fileops/uniquename.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <numeric>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

using Contents = JournalFormat::Contents;
using Item = JobJournal::Item;
using Row = JournalRecovery::Row;

using RenamePaths::folderOf;
using RenamePaths::join;
using RenamePaths::nameOf;

int depthOf(const QString &path)
{
    return path.count(QLatin1Char('/'));
}

// Whether a journal's job still runs: its instance holds the lock on it.
bool isLocked(const QString &path)
{
#ifdef Q_OS_WIN
    QFile file(path);
    return !file.open(QIODevice::ReadWrite);
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
#endif
}

QString setAside(const QString &path)
{
    QString aside = path + QStringLiteral(".unreadable");
    for (int n = 1; QFile::exists(aside); ++n)
        aside = path + QStringLiteral(".unreadable-") + QString::number(n);
    if (!QFile::rename(path, aside)) {
        qWarning().noquote() << "journal: cannot set aside" << path;
        return path;
    }
    qWarning().noquote() << "journal: unreadable, set aside as" << aside;
    return aside;
}

bool readJournal(const QString &path, Contents *contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *contents = JournalFormat::parse(file.readAll());
    return contents->readable;
}

bool holds(const QString &path, const QByteArray &identity)
{
    if (path.isEmpty())
        return false;
    return identity.isEmpty() ? pathOccupied(path) : itemIdentity(path) == identity;
}

// Made after the job started: what a job cut short may have made without a record of it.
bool bornAfter(const QString &path, const QDateTime &started)
{
    const FileTimes times = readFileTimes(path);
    return times.hasCreation && times.creation.seconds + 1 >= started.toSecsSinceEpoch();
}

// The temporary names in a folder (read once), by the name they hold.
class TemporaryNames
{
public:
    QStringList of(const QString &folder, const QString &name)
    {
        auto found = m_folders.find(folder);
        if (found == m_folders.end())
            found = m_folders.insert(folder, read(folder));
        QStringList paths;
        for (const QString &entry : qAsConst(*found)) {
            // A long name is kept shortened: what the temporary name holds begins the item's name.
            const QString held = entry.mid(9, entry.size() - 9 - 17);
            if (!held.isEmpty() && name.startsWith(held))
                paths.append(join(folder, entry));
        }
        return paths;
    }

private:
    static QStringList read(const QString &folder)
    {
        QStringList temporaries;
        const QStringList entries =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : entries) {
            if (isTemporaryName(entry))
                temporaries.append(entry);
        }
        return temporaries;
    }

    QHash<QString, QStringList> m_folders;
};

Row failed(const QString &path, const QString &message)
{
    return {path, false, message};
}

Row moveFailure(RenameOutcome outcome, const QString &path, const QString &target)
{
    if (outcome == RenameOutcome::Denied)
        return failed(path, JournalRecovery::deniedMessage(path));
    return failed(path, JournalRecovery::blockedMessage(target, path));
}

// Moves a batch of items from where they are to where they belong: deepest first, so that a folder moves
// only once the items inside it have; within one depth each item first steps aside to a temporary name, so
// that the batch's swaps and rings need no order. An item whose place is taken by something outside the
// batch goes back where it was found, or, failing that, to a free variant of the name.
void moveAll(const QVector<int> &moving, const QVector<Item> &items, const QVector<QString> &current,
             const QVector<QString> &desired, QVector<Row> &rows)
{
    QVector<int> order = moving;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return depthOf(items.at(a).from) > depthOf(items.at(b).from); });
    QVector<QString> aside(items.size());
    for (int start = 0; start < order.size();) {
        const int depth = depthOf(items.at(order.at(start)).from);
        int end = start;
        while (end < order.size() && depthOf(items.at(order.at(end)).from) == depth)
            ++end;
        for (int k = start; k < end; ++k) {
            const int i = order.at(k);
            const QString temporary = temporaryPathFor(join(folderOf(current.at(i)), nameOf(items.at(i).from)));
            const RenameOutcome outcome = renameNoReplace(current.at(i), temporary);
            if (outcome == RenameOutcome::Renamed)
                aside[i] = temporary;
            else
                rows[i] = moveFailure(outcome, current.at(i), desired.at(i));
        }
        for (int k = start; k < end; ++k) {
            const int i = order.at(k);
            if (aside.at(i).isEmpty())
                continue;
            const RenameOutcome outcome = renameNoReplace(aside.at(i), desired.at(i));
            if (outcome == RenameOutcome::Renamed) {
                rows[i] = {desired.at(i), true, {}};
                continue;
            }
            if (renameNoReplace(aside.at(i), current.at(i)) == RenameOutcome::Renamed) {
                rows[i] = moveFailure(outcome, current.at(i), desired.at(i));
                continue;
            }
            const QString variant = uniqueName(desired.at(i));
            if (renameNoReplace(aside.at(i), variant) == RenameOutcome::Renamed)
                rows[i] = {variant, true, JournalRecovery::otherNameMessage(desired.at(i), variant)};
            else
                rows[i] = failed(aside.at(i), JournalRecovery::blockedMessage(desired.at(i), aside.at(i)));
        }
        start = end;
    }
}

QVector<Row> recoverRenames(const Contents &contents, JournalRecovery::Choice choice)
{
    const QVector<Item> &items = contents.items;
    const int count = items.size();
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    // Folders are found before the items inside them, which may have moved with them.
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return depthOf(items.at(a).from) < depthOf(items.at(b).from); });
    QHash<QString, QString> movedFolders; // where the job found an item → where it is now
    const auto follow = [&movedFolders](const QString &path) {
        if (path.isEmpty() || movedFolders.isEmpty())
            return path;
        for (int slash = path.lastIndexOf(QLatin1Char('/')); slash > 0;
             slash = path.lastIndexOf(QLatin1Char('/'), slash - 1)) {
            const auto moved = movedFolders.constFind(path.left(slash));
            if (moved != movedFolders.constEnd())
                return *moved + path.mid(slash);
        }
        return path;
    };
    TemporaryNames temporaries;
    QVector<QString> current(count);
    QVector<QString> desired(count);
    QVector<Row> rows(count);
    QVector<int> moving;
    for (const int i : qAsConst(order)) {
        const Item &item = items.at(i);
        const QString from = follow(item.from);
        QStringList candidates{follow(contents.done.at(i))};
        const auto &asides = contents.asides.at(i);
        for (int a = asides.size() - 1; a >= 0; --a)
            candidates.append(follow(asides.at(a).first));
        candidates << follow(item.to) << from << temporaries.of(folderOf(from), nameOf(item.from));
        const auto found = std::find_if(candidates.cbegin(), candidates.cend(),
                                        [&](const QString &path) { return holds(path, item.identity); });
        if (found == candidates.cend()) {
            rows[i] = failed(from, JournalRecovery::notFoundMessage(item.from));
            continue;
        }
        current[i] = *found;
        if (*found != item.from)
            movedFolders.insert(item.from, *found);
        const QString planned = contents.done.at(i).isEmpty() ? item.to : contents.done.at(i);
        desired[i] = choice == JournalRecovery::Restore ? from : follow(planned);
        if (current.at(i) == desired.at(i))
            rows[i] = {current.at(i), true, {}};
        else
            moving.append(i);
    }
    moveAll(moving, items, current, desired, rows);
    return rows;
}

QVector<Row> recoverTimes(const Contents &contents, JournalRecovery::Choice choice)
{
    QVector<Row> rows;
    rows.reserve(contents.items.size());
    for (int i = 0; i < contents.items.size(); ++i) {
        const Item &item = contents.items.at(i);
        const QString &path = item.from;
        if (!pathOccupied(path)) {
            rows.append(failed(path, JournalRecovery::notFoundMessage(path)));
            continue;
        }
        if (!item.identity.isEmpty() && itemIdentity(path) != item.identity) {
            rows.append(failed(path, JournalRecovery::replacedMessage(path)));
            continue;
        }
        const bool restoring = choice == JournalRecovery::Restore;
        if (!restoring && !contents.done.at(i).isEmpty()) {
            rows.append({path, true, {}});
            continue;
        }
        // A modification time that is neither the old nor the new one (to the second: a file system may keep
        // less) was set by someone else since.
        const FileInstant now = readFileTimes(path).lastWrite;
        const auto sameSecond = [&now](const std::optional<FileInstant> &instant) {
            return instant && instant->seconds == now.seconds;
        };
        if (item.newWrite && !sameSecond(item.newWrite) && !sameSecond(item.oldWrite)) {
            rows.append(failed(path, JournalRecovery::editedMessage(path)));
            continue;
        }
        const std::optional<FileInstant> creation =
            restoring ? (item.newCreation ? item.oldCreation : std::nullopt) : item.newCreation;
        const std::optional<FileInstant> write =
            restoring ? (item.newWrite ? item.oldWrite : std::nullopt) : item.newWrite;
        FileTimesFailure failure = FileTimesFailure::None;
        if (setFileInstants(path, creation, std::nullopt, write, &failure) == FileTimesSet)
            rows.append({path, true, {}});
        else
            rows.append(failed(path, JournalRecovery::deniedMessage(path)));
    }
    return rows;
}

// Removes the temporary copies a file creation left: those on record, and any other with an item's name made
// since the job started (cut short before its record).
void removeTemporaryCopies(const Contents &contents)
{
    TemporaryNames temporaries;
    for (int i = 0; i < contents.items.size(); ++i) {
        for (const auto &aside : contents.asides.at(i)) {
            if (holds(aside.first, aside.second))
                QFile::remove(aside.first);
        }
        const QString &planned = contents.items.at(i).to;
        for (const QString &temporary : temporaries.of(folderOf(planned), nameOf(planned))) {
            if (QFileInfo(temporary).isFile() && bornAfter(temporary, contents.started))
                QFile::remove(temporary);
        }
    }
}

// The identity the new file of item i had, when on record.
QByteArray madeIdentity(const Contents &contents, int i)
{
    const auto &asides = contents.asides.at(i);
    return asides.isEmpty() ? QByteArray() : asides.last().second;
}

Row restoreCreation(const Contents &contents, int i, bool folders)
{
    const QString &planned = contents.items.at(i).to;
    const QString made = contents.done.at(i).isEmpty() ? planned : contents.done.at(i);
    if (!pathOccupied(made))
        return {planned, true, {}};
    const bool ours = folders ? QFileInfo(made).isDir() && bornAfter(made, contents.started)
                              : !madeIdentity(contents, i).isEmpty() && holds(made, madeIdentity(contents, i));
    if (!ours)
        return contents.done.at(i).isEmpty() ? Row{planned, true, {}}
                                             : failed(made, JournalRecovery::keptMessage(made));
    const bool removed = folders ? QDir().rmdir(made) : QFile::remove(made);
    return removed ? Row{planned, true, {}} : failed(made, JournalRecovery::keptMessage(made));
}

Row completeCreation(const Contents &contents, int i, bool folders)
{
    const QString &planned = contents.items.at(i).to;
    if (!contents.done.at(i).isEmpty())
        return {contents.done.at(i), true, {}};
    if (!folders && holds(planned, madeIdentity(contents, i)) && !madeIdentity(contents, i).isEmpty())
        return {planned, true, {}};
    if (folders && QFileInfo(planned).isDir() && bornAfter(planned, contents.started))
        return {planned, true, {}};
    QString path = planned;
    for (int attempt = 0; attempt < 8; ++attempt) {
        QString detail;
        const CreateOutcome outcome =
            folders ? createFolderExclusive(path, &detail) : createFileFromTemplate(path, contents.source, &detail);
        if (outcome == CreateOutcome::Created)
            return {path, true, path == planned ? QString() : JournalRecovery::otherNameMessage(planned, path)};
        if (outcome == CreateOutcome::Failed)
            return failed(path, JournalRecovery::deniedMessage(path));
        path = uniqueName(planned);
    }
    return failed(planned, JournalRecovery::blockedMessage(planned, planned));
}

QVector<Row> recoverCreations(const Contents &contents, JournalRecovery::Choice choice)
{
    const bool folders = contents.kind == JobJournal::CreateFolders;
    if (!folders)
        removeTemporaryCopies(contents);
    QVector<Row> rows;
    rows.reserve(contents.items.size());
    for (int i = 0; i < contents.items.size(); ++i) {
        rows.append(choice == JournalRecovery::Restore ? restoreCreation(contents, i, folders)
                                                       : completeCreation(contents, i, folders));
    }
    return rows;
}

} // namespace

QVector<JournalRecovery::Found> JournalRecovery::pending(QStringList *setAsidePaths, const QString &folder)
{
    QVector<Found> found;
    const QStringList names = QDir(folder).entryList({QStringLiteral("*") + JournalFormat::suffix()},
                                                     QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        const QString path = join(folder, name);
        if (isLocked(path))
            continue;
        Contents contents;
        if (!readJournal(path, &contents)) {
            const QString aside = setAside(path);
            if (setAsidePaths)
                setAsidePaths->append(aside);
            continue;
        }
        found.append(
            {path, contents.kind, contents.page, contents.started, int(contents.items.size()), contents.doneCount});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Found &a, const Found &b) { return a.started < b.started; });
    return found;
}

QVector<JournalRecovery::Row> JournalRecovery::recover(const QString &path, Choice choice)
{
    Contents contents;
    if (!readJournal(path, &contents)) {
        setAside(path);
        return {};
    }
    QVector<Row> rows;
    switch (contents.kind) {
    case JobJournal::Rename:
    case JobJournal::RenameUndo:
        rows = recoverRenames(contents, choice);
        break;
    case JobJournal::Time:
    case JobJournal::TimeUndo:
        rows = recoverTimes(contents, choice);
        break;
    case JobJournal::CreateFolders:
    case JobJournal::CreateFiles:
        rows = recoverCreations(contents, choice);
        break;
    }
    if (!QFile::remove(path))
        qWarning().noquote() << "journal: cannot remove" << path;
    for (const Row &row : qAsConst(rows)) {
        if (!row.ok)
            qWarning().noquote() << "recovery:" << row.message;
    }
    return rows;
}

QString JournalRecovery::notFoundMessage(const QString &path)
{
    return QStringLiteral("未找到文件“%1”，未作任何修改").arg(path);
}

QString JournalRecovery::blockedMessage(const QString &path, const QString &where)
{
    return QStringLiteral("“%1”已被其他文件占用，文件仍位于“%2”").arg(path, where);
}

QString JournalRecovery::otherNameMessage(const QString &wanted, const QString &given)
{
    return QStringLiteral("“%1”已被占用，文件已命名为“%2”").arg(wanted, given);
}

QString JournalRecovery::deniedMessage(const QString &path)
{
    return QStringLiteral("处理文件“%1”失败，请确认权限！").arg(path);
}

QString JournalRecovery::replacedMessage(const QString &path)
{
    return QStringLiteral("文件“%1”已被替换，未作任何修改").arg(path);
}

QString JournalRecovery::editedMessage(const QString &path)
{
    return QStringLiteral("文件“%1”在修改后已被更改，未作任何修改").arg(path);
}

QString JournalRecovery::keptMessage(const QString &path)
{
    return QStringLiteral("文件“%1”已被更改，未删除").arg(path);
}
