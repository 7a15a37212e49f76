#include "conflictpreview.h"

#include "fileops/safefileops.h"
#include "fileops/uniquename.h"
#include "rename/renameorder.h"
#include "fileops/renamepaths.h"

#include <QFile>
#include <QHash>

#ifdef Q_OS_WIN
#include <QDir>
#else
#include <dirent.h>
#endif

using RenamePaths::folderOf;
using RenamePaths::nameOf;

namespace {

QStringList namesIn(const QString &folder)
{
#ifdef Q_OS_WIN
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Unsorted);
#else
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        names.append(QFile::decodeName(name));
    }
    ::closedir(dir);
    return names;
#endif
}

// Whether the folder's file system takes two spellings that differ in letter case for one name. One look-up
// of another spelling of a listed name answers it; a folder whose names have no letter case answers nothing.
bool folderIgnoresCase(const QString &folder, const QStringList &names)
{
    for (const QString &name : names) {
        const QString upper = name.toUpper();
        const QString other = upper != name ? upper : name.toLower();
        if (other == name || other.size() != name.size())
            continue;
        // Both spellings side by side: case tells names apart here.
        if (names.contains(other))
            return false;
        return pathOccupied(RenamePaths::join(folder, other));
    }
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

// One folder as read at the start, then changed step by step as the batch would change it. Items are numbered
// across all folders so a row can recognise its own item.
class FolderPicture
{
public:
    FolderPicture(const QString &folder, int &nextItem)
    {
        const QStringList names = namesIn(folder);
        m_ignoresCase = folderIgnoresCase(folder, names);
        m_items.reserve(names.size());
        for (const QString &name : names)
            m_items.insert(key(name), nextItem++);
    }

    // The item that has name, or -1.
    int itemAt(const QString &name) const { return m_items.value(key(name), -1); }
    bool takenFor(const QString &name, int self) const
    {
        const int item = itemAt(name);
        return item >= 0 && item != self;
    }
    void remove(const QString &name) { m_items.remove(key(name)); }
    void put(const QString &name, int item) { m_items.insert(key(name), item); }
    bool ignoresCase() const { return m_ignoresCase; }

private:
    QString key(const QString &name) const { return m_ignoresCase ? name.toCaseFolded() : name; }

    QHash<QString, int> m_items;
    bool m_ignoresCase = false;
};

// The rows as the job sees them before it starts.
struct Batch
{
    QStringList paths;          // normalised
    QVector<int> pictureOfRow;  // the picture of the row's folder
    QVector<int> itemOfRow;     // -1: nothing at the row's path
    QVector<int> rowOfItem;     // -1: an item not in the list
    QVector<QString> targets;   // the path each row's rename goes for; empty: not tried
    std::vector<FolderPicture> pictures;
};

Batch readBatch(const FileEntryList &entries)
{
    Batch batch;
    const int count = entries.size();
    batch.paths.reserve(count);
    batch.pictureOfRow.resize(count);
    batch.itemOfRow.fill(-1, count);
    batch.targets.resize(count);
    QHash<QString, int> pictureOfFolder;
    int items = 0;
    for (int row = 0; row < count; ++row) {
        const QString path = RenamePaths::normalised(entries.at(row).path);
        const QString folder = folderOf(path);
        int picture = pictureOfFolder.value(folder, -1);
        if (picture < 0) {
            picture = int(batch.pictures.size());
            batch.pictures.emplace_back(folder, items);
            pictureOfFolder.insert(folder, picture);
        }
        batch.paths.append(path);
        batch.pictureOfRow[row] = picture;
        batch.itemOfRow[row] = batch.pictures.at(picture).itemAt(nameOf(path));
    }
    batch.rowOfItem.fill(-1, items);
    for (int row = 0; row < count; ++row) {
        if (batch.itemOfRow.at(row) >= 0)
            batch.rowOfItem[batch.itemOfRow.at(row)] = row;
    }
    return batch;
}

// The renames the job will try, and the refusals it will meet, as the job plans them.
void plan(Batch &batch, const FileEntryList &entries, bool folders, ConflictReport &report)
{
    for (int row = 0; row < entries.size(); ++row) {
        const QString &path = batch.paths.at(row);
        const QString name = nameOf(path);
        const QString &newName = entries.at(row).newName;
        if (newName.isEmpty() || newName == name || name.isEmpty())
            continue;
        const NameRefusal refusal = newNameRefusal(newName, name, folders);
        if (refusal != NameRefusal::None) {
            if (batch.itemOfRow.at(row) >= 0)
                report.rows[row] = {NameConflict::Refused, newName, -1, refusal};
            continue;
        }
        batch.targets[row] = RenamePaths::join(folderOf(path), newName);
    }
}

// For each planned rename, the other planned rename whose item has its target now, as the job finds it: the
// same path, or where the file system ignores case, another spelling of the same item. Targets lie in their
// row's own folder, so the folder's picture answers.
QVector<int> blockersOf(const Batch &batch)
{
    const int count = batch.paths.size();
    QVector<int> blockers(count, -1);
    for (int row = 0; row < count; ++row) {
        const QString &target = batch.targets.at(row);
        if (target.isEmpty())
            continue;
        const int item = batch.pictures.at(batch.pictureOfRow.at(row)).itemAt(nameOf(target));
        const int holder = item >= 0 ? batch.rowOfItem.at(item) : -1;
        if (holder >= 0 && holder != row && !batch.targets.at(holder).isEmpty())
            blockers[row] = holder;
    }
    return blockers;
}

// Runs the batch on the pictures, step by step as the job would run it on disk.
class Simulation
{
public:
    Simulation(Batch &batch, bool resolveConflicts, ConflictReport &report)
        : m_batch(batch), m_resolve(resolveConflicts), m_report(report),
          m_current(batch.paths.toVector()),
          m_names([this](const QString &path, const QString &) {
              return m_picture->takenFor(nameOf(path), m_self);
          })
    {
        m_nested = RenamePaths::holdsNestedItems(batch.paths);
    }

    void run()
    {
        QVector<RenameStep> steps = renameOrder(blockersOf(m_batch));
        if (m_nested) {
            // As the job does: the deepest items first, so that a rename never moves an item still to come.
            QVector<int> depths;
            depths.reserve(m_current.size());
            for (const QString &path : qAsConst(m_current))
                depths.append(path.count(QLatin1Char('/')));
            orderDeepestFirst(steps, depths);
        }
        QVector<bool> aside(m_current.size(), false);
        for (const RenameStep &step : steps) {
            const int row = step.rename;
            if (step.aside) {
                if (m_batch.itemOfRow.at(row) >= 0)
                    pictureOf(row).remove(nameOf(m_current.at(row)));
                aside[row] = true;
                continue;
            }
            renameRow(row, aside.at(row));
        }
    }

private:
    FolderPicture &pictureOf(int row) { return m_batch.pictures[m_batch.pictureOfRow.at(row)]; }

    void renameRow(int row, bool aside)
    {
        const int self = m_batch.itemOfRow.at(row);
        const QString &target = m_batch.targets.at(row);
        if (self < 0 || target.isEmpty())
            return;
        const QString name = nameOf(m_batch.paths.at(row));
        const QString newName = nameOf(target);
        const QString path = m_current.at(row);
        const QString wanted = RenamePaths::join(folderOf(path), newName);
        FolderPicture &picture = pictureOf(row);
        QString given = wanted;
        if (m_resolve) {
            m_picture = &picture;
            m_self = self;
            given = m_names.resolve(wanted, path);
        } else if (picture.takenFor(newName, self)) {
            const int holder = picture.itemAt(newName);
            m_report.rows[row] = {NameConflict::Taken, newName, m_batch.rowOfItem.value(holder, -1), NameRefusal::None};
            comeBack(picture, self, name, aside);
            return;
        }
        const QString givenName = nameOf(given);
        if (nameSizeOnDisk(givenName) > kMaxNameSize) {
            m_report.rows[row] = {NameConflict::Refused, givenName, -1, NameRefusal::TooLong};
            comeBack(picture, self, name, aside);
            return;
        }
        if (!aside)
            picture.remove(name);
        picture.put(givenName, self);
        if (m_resolve)
            m_names.markTaken(given);
        if (given != wanted)
            m_report.rows[row] = {NameConflict::Resolved, givenName, -1, NameRefusal::None};
        m_current[row] = given;
        if (m_nested)
            followFolder(row, path, given);
    }

    // An item that stepped aside but cannot take its name goes back to its own.
    static void comeBack(FolderPicture &picture, int self, const QString &name, bool aside)
    {
        if (aside && picture.itemAt(name) < 0)
            picture.put(name, self);
    }

    void followFolder(int renamedRow, const QString &before, const QString &after)
    {
        const QString prefix = before + QLatin1Char('/');
        for (int row = 0; row < m_current.size(); ++row) {
            if (row != renamedRow && m_current.at(row).startsWith(prefix))
                m_current[row] = after + m_current.at(row).mid(before.size());
        }
    }

    Batch &m_batch;
    const bool m_resolve;
    ConflictReport &m_report;
    QVector<QString> m_current; // where each row's item is as the batch goes on
    bool m_nested = false;
    FolderPicture *m_picture = nullptr;
    int m_self = -1;
    UniqueNameAllocator m_names;
};

} // namespace

ConflictReport ConflictPreview::check(const FileEntryList &entries, bool resolveConflicts, bool folders)
{
    ConflictReport report;
    report.resolving = resolveConflicts;
    report.rows.resize(entries.size());
    Batch batch = readBatch(entries);
    plan(batch, entries, folders, report);
    Simulation(batch, resolveConflicts, report).run();
    for (const NameConflict &row : qAsConst(report.rows)) {
        if (row.kind == NameConflict::Resolved || row.kind == NameConflict::Taken)
            ++report.conflicts;
        else if (row.kind == NameConflict::Refused)
            ++report.refused;
    }
    return report;
}

QString ConflictPreview::hint(const NameConflict &conflict)
{
    switch (conflict.kind) {
    case NameConflict::None:
        return QString();
    case NameConflict::Resolved:
        return QStringLiteral("将命名为“%1”").arg(conflict.name);
    case NameConflict::Taken:
        if (conflict.holderRow >= 0)
            return QStringLiteral("名称“%1”已被第%2行占用，开始命名后将失败").arg(conflict.name).arg(conflict.holderRow + 1);
        return QStringLiteral("文件夹中已经存在“%1”，开始命名后将失败").arg(conflict.name);
    case NameConflict::Refused:
        break;
    }
    switch (conflict.refusal) {
    case NameRefusal::Separator:
        return QStringLiteral("新文件名“%1”含有路径分隔符，开始命名后将失败").arg(conflict.name);
    case NameRefusal::DotName:
        return QStringLiteral("新文件名不能是“.”或“..”，开始命名后将失败");
    case NameRefusal::NulCharacter:
        return QStringLiteral("新文件名含有空字符，开始命名后将失败");
    case NameRefusal::MissingNamePart:
        return QStringLiteral("新文件名“%1”缺少名称部分，开始命名后将失败").arg(conflict.name);
    case NameRefusal::TooLong:
#ifdef Q_OS_WIN
        return QStringLiteral("新文件名超过255个字符（共%1个字符），开始命名后将失败").arg(nameSizeOnDisk(conflict.name));
#else
        return QStringLiteral("新文件名超过255字节（共%1字节），开始命名后将失败").arg(nameSizeOnDisk(conflict.name));
#endif
    case NameRefusal::None:
        break;
    }
    return QString();
}

QString ConflictPreview::summary(const ConflictReport &report)
{
    QStringList parts;
    if (report.conflicts > 0) {
        parts.append(report.resolving ? QStringLiteral("%1个名称冲突，将自动添加序号").arg(report.conflicts)
                                      : QStringLiteral("%1个名称冲突，开始命名后将失败").arg(report.conflicts));
    }
    if (report.refused > 0)
        parts.append(QStringLiteral("%1个新文件名无效，开始命名后将失败").arg(report.refused));
    return parts.join(QStringLiteral("；"));
}
