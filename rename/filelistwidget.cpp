#include "filelistwidget.h"

#include "hub/channels.h"
#include "hub/itemmoves.h"
#include "jobs/jobpacer.h"
#include "filelist/customtabelwidget.h"
#include "filelist/listsorter.h"
#include "filelist/tableroles.h"
#include "fileops/filetimes.h"
#include "metadata/photodatereader.h"
#include "rename/namerules.h"
#include "rename/renamejob.h"
#include "rename/newnamedelegate.h"
#include "rename/renamekeys.h"
#include "rename/renamesettings.h"

#include <QApplication>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QTableWidgetItem>
#include <QUuid>

namespace {

QString suffixOf(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

int markOf(const NameConflict &conflict, const QString &note)
{
    switch (conflict.kind) {
    case NameConflict::None:
        return note.isEmpty() ? NewNameDelegate::NoMark : NewNameDelegate::NoteMark;
    case NameConflict::Resolved:
    case NameConflict::Taken:
        return NewNameDelegate::ConflictMark;
    case NameConflict::Refused:
        return NewNameDelegate::RefusedMark;
    }
    return NewNameDelegate::NoMark;
}

} // namespace

FileListWidget::FileListWidget(QWidget *parent)
    : RecordListWidget<FileEntry>(parent),
      m_subscription(this, renameListChannels()),
      m_newNameDelegate(new NewNameDelegate(table())),
      m_photos(new PhotoDateReader(this)),
      m_sources(NameSources::system())
{
    m_sources.photoTime = [this](const QString &path) { return cachedTakenTime(path); };
    connect(m_photos, &PhotoDateReader::finished, this, &FileListWidget::onPhotoDatesRead);
    setColumns({{QStringLiteral("原文件名"), 200, CellKind::Text, true},
                {QStringLiteral("新文件名"), 200, CellKind::EditableText, true},
                {QStringLiteral("文件位置"), 300, CellKind::Text, true},
                {QStringLiteral("状态"), 100, CellKind::Status},
                {QStringLiteral("操作"), 150, CellKind::Operate}},
               FolderColumn);
    table()->setItemDelegateForColumn(NewNameColumn, m_newNameDelegate);

    // Rows added, deleted, moved or edited, or items renamed by another page: one check once the change is done.
    m_conflictTimer.setSingleShot(true);
    m_conflictTimer.setInterval(0);
    connect(&m_conflictTimer, &QTimer::timeout, this, &FileListWidget::checkConflicts);
    connect(this, &ItemListWidget::tabelEmpty, this, &FileListWidget::scheduleConflictCheck);
    // What other programs did to the folders while the window was in the background.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && isVisible())
            scheduleConflictCheck();
    });
}

bool FileListWidget::isReadingPhotoDates() const
{
    return m_photos->isReading();
}

FileEntry FileListWidget::makeRecord(const QString &path) const
{
    FileEntry entry;
    entry.currentName = QFileInfo(path).fileName();
    entry.newName = entry.currentName;
    entry.path = path;
    entry.id = QUuid::createUuid().toString();
    return entry;
}

void FileListWidget::fillRow(int row, const QIcon &icon)
{
    CustomTabelWidget *t = table();
    const FileEntry &entry = m_records.at(row);
    const QFileInfo info(entry.path);
    QTableWidgetItem *name = t->item(row, NameColumn);
    name->setIcon(icon);
    name->setText(entry.currentName);
    QTableWidgetItem *newName = t->item(row, NewNameColumn);
    newName->setText(entry.newName);
    // A folder has no extension: what is typed for it is its whole new name.
    newName->setData(TableRole::Suffix, folderMode() ? QString() : info.suffix());
    t->item(row, FolderColumn)->setText(info.absolutePath());
    // The mark the row's record had at the last check: it follows the record when rows change places.
    showConflictMark(row, m_conflicts.value(entry.id));
}

void FileListWidget::setNewNameText(int row, const QString &text)
{
    if (QTableWidgetItem *item = table()->item(row, NewNameColumn))
        item->setText(text);
}

bool FileListWidget::sortRecords(int column, bool descending)
{
    if (isRenaming())
        return false;
    switch (column) {
    case NameColumn:
        ListSorter::sortByText(
            m_records, [](const FileEntry &e) { return e.currentName; }, descending);
        break;
    case NewNameColumn:
        ListSorter::sortByText(
            m_records, [](const FileEntry &e) { return e.newName; }, descending);
        break;
    case FolderColumn:
        ListSorter::sortByText(
            m_records, [](const FileEntry &e) { return QFileInfo(e.path).absolutePath(); }, descending);
        break;
    default:
        return false;
    }
    // Numbers, letters and imported names go by row: the order the user gave is the order they are given in.
    computeProposals();
    scheduleConflictCheck();
    return true;
}

void FileListWidget::onCellEdited(int row, QTableWidgetItem *item)
{
    if (item->column() != NewNameColumn)
        return;
    FileEntry &entry = m_records[row];
    QString name = item->text();
    if (!folderMode()) {
        // The item keeps its own extension; a last extension typed by the user is dropped.
        const QString base = QFileInfo(name).completeBaseName();
        const QString suffix = item->data(TableRole::Suffix).toString();
        name = base.isEmpty() || suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix;
    }
    // Nothing left to name the item by: keep the proposal it had.
    if (name.isEmpty())
        name = entry.newName;
    item->setText(name);
    entry.newName = name;
    m_typedNames.insert(entry.id, name);
    scheduleConflictCheck();
}

void FileListWidget::onCleared()
{
    m_history.clear();
    m_conflicts.clear();
    m_photos->clear();
    m_typedNames.clear();
}

void FileListWidget::moveRecord(int from, int to)
{
    RecordListWidget<FileEntry>::moveRecord(from, to);
    computeProposals();
    // The order decides which of two rows keeps a name they both propose.
    scheduleConflictCheck();
}

void FileListWidget::showEvent(QShowEvent *event)
{
    RecordListWidget<FileEntry>::showEvent(event);
    // Another page may have renamed, made or removed items since this page was last seen.
    scheduleConflictCheck();
}

void FileListWidget::onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value)
{
    Q_UNUSED(valueObj)
    if (holdDuringJob(valueName, value, Channel::StartChangeName))
        return;
    if (valueName == Channel::StartChangeName) {
        if (value.toBool() == folderMode())
            renameAll(false);
        return;
    }
    if (valueName == Channel::ImportExcelRename) {
        importNames(value);
        return;
    }
    if (const std::optional<NameRules::RuleSettings> rule = renameRule(valueName))
        recompute(*rule);
}

void FileListWidget::importNames(const QVariant &value)
{
    // Names may come with the mode of the page that imported them; then only that page's list takes them.
    if (value.userType() == QMetaType::QVariantMap) {
        const QVariantMap payload = value.toMap();
        const QVariant folder = payload.value(QStringLiteral("folderMode"));
        if (!folder.isValid() || folder.toBool() != folderMode())
            return;
        applyImportedNames(payload.value(QStringLiteral("names")).toStringList());
        return;
    }
    applyImportedNames(value.toStringList());
}

void FileListWidget::recompute(const NameRules::RuleSettings &rule)
{
    if (rule.folder != folderMode())
        return;
    m_sourceRule = rule;
    m_importIsSource = false;
    m_importedNames.clear();
    m_typedNames.clear();
    refreshProposals();
}

TakenTime FileListWidget::cachedTakenTime(const QString &path)
{
    const FileTimes times = readFileTimes(path);
    if (!times.readable)
        return {};
    const std::optional<PhotoDate> date = m_photos->cache().find(path, times.lastWrite);
    if (!date) {
        // The read starts at the first miss and runs while the rest of the proposals are made.
        readPhotoDates();
        return {QDateTime(), true};
    }
    return {date->found() ? NameSources::numberingTime(date->taken) : QDateTime(), false};
}

void FileListWidget::readPhotoDates()
{
    // When it is in, the proposals are made again and ask for whatever is still missing.
    if (isReadingPhotoDates())
        return;
    QStringList paths;
    paths.reserve(m_records.size());
    for (const FileEntry &entry : qAsConst(m_records))
        paths.append(entry.path);
    m_photos->read(paths);
}

void FileListWidget::onPhotoDatesRead()
{
    const bool start = m_startWhenRead;
    m_startWhenRead = false;
    // Imported names have replaced the rules' proposals meanwhile: nothing to make again.
    if (m_sourceRule)
        refreshProposals();
    if (start && !isReadingPhotoDates())
        renameAll(false);
    else if (start)
        m_startWhenRead = true;
}

void FileListWidget::applyImportedNames(const QStringList &names)
{
    m_sourceRule.reset();
    m_importIsSource = true;
    m_importedNames = names;
    m_typedNames.clear();
    refreshProposals();
}

void FileListWidget::computeProposals()
{
    if (m_importIsSource)
        NameRules::applyImportedNames(m_importedNames, m_records, folderMode(), m_autoResolve);
    else if (m_sourceRule)
        NameRules::recompute(*m_sourceRule, m_records, m_autoResolve, m_sources);
    if (m_typedNames.isEmpty())
        return;
    for (FileEntry &entry : m_records) {
        const auto typed = m_typedNames.constFind(entry.id);
        if (typed != m_typedNames.constEnd())
            entry.newName = *typed;
    }
}

void FileListWidget::refreshProposals()
{
    computeProposals();
    showNewNames();
    checkConflicts();
}

void FileListWidget::forgetAppliedTypedNames()
{
    if (m_typedNames.isEmpty())
        return;
    for (const FileEntry &entry : qAsConst(m_records)) {
        if (m_typedNames.value(entry.id) == entry.currentName)
            m_typedNames.remove(entry.id);
    }
}

void FileListWidget::showNewNames()
{
    CustomTabelWidget *t = table();
    const int rows = qMin(m_records.size(), t->rowCount());
    {
        // One repaint for the whole column instead of a change notice per row.
        const QSignalBlocker quiet(t->model());
        for (int row = 0; row < rows; ++row) {
            QTableWidgetItem *item = t->item(row, NewNameColumn);
            const QString &name = m_records.at(row).newName;
            if (item && item->text() != name)
                item->setText(name);
        }
    }
    t->viewport()->update();
}

void FileListWidget::undo()
{
    if (!m_history.canUndo())
        return;
    renameAll(true);
}

void FileListWidget::renameRecord(FileEntry &entry, const QString &oldName, const QString &newName)
{
    // A proposal that only repeated the old name follows the item; a proposal of the user's stays.
    if (entry.newName == oldName)
        entry.newName = newName;
    entry.currentName = newName;
}

void FileListWidget::followMoves(const ItemMoves &moves)
{
    m_history.updateRecords([&moves](RenameRecord &record) { record.pathAfter = moves.follow(record.pathAfter); });
    scheduleConflictCheck();
}

void FileListWidget::renameAll(bool undoing)
{
    // The proposals wait for their dates taken: the job renames to what the list will show.
    if (!undoing && isReadingPhotoDates()) {
        m_startWhenRead = true;
        return;
    }
    RenameJobResult jobResult;
    const bool ran = runJob([&](JobPacer &pacer, JobFailureReporter &reporter) {
        const RenameJob::RowCallback onRow = [this, &pacer](int row, const FileEntry &entry, RowOutcome outcome) {
            showJobRow(row, entry, outcome);
            pacer.step();
        };
        jobResult = undoing ? RenameJob::undo(m_records, m_history, m_autoResolve, onRow, reporter)
                            : RenameJob::run(m_records, m_history, m_autoResolve, onRow, reporter);
    });
    if (!ran)
        return;
    forgetAppliedTypedNames();
    // Undone rows show what a start would now do with the settings in view, not the names just taken back.
    if (undoing) {
        computeProposals();
        showNewNames();
    }
    // The marks follow at once, but outside the job's time: the window is the user's again.
    scheduleConflictCheck();
    announceMoves(jobResult.moves);
    emit jobFinished(jobSummary(jobResult.renamed, jobResult.failed + jobResult.missing, undoing), QString());
}

void FileListWidget::showJobRow(int row, const FileEntry &entry, RowOutcome outcome)
{
    CustomTabelWidget *t = table();
    if (outcome == RowOutcome::Untouched || row < 0 || row >= t->rowCount())
        return;
    // The pacer repaints the view; a change notice per cell would cost more than the rename itself.
    const QSignalBlocker quiet(t->model());
    if (outcome == RowOutcome::Moved) {
        t->item(row, FolderColumn)->setText(QFileInfo(entry.path).absolutePath());
        return;
    }
    QTableWidgetItem *name = t->item(row, NameColumn);
    // A failed item of a swap may have come back under another free name.
    if (outcome == RowOutcome::Failed && name->text() != entry.currentName) {
        name->setText(entry.currentName);
        t->item(row, FolderColumn)->setText(QFileInfo(entry.path).absolutePath());
    }
    if (outcome == RowOutcome::Renamed) {
        if (!folderMode()) {
            const QString oldSuffix = suffixOf(name->text());
            const QString newSuffix = suffixOf(entry.currentName);
            // An item keeps its kind, and so its icon, unless its extension changed.
            if (oldSuffix.compare(newSuffix, Qt::CaseInsensitive) != 0)
                name->setIcon(iconOf(entry.path));
            QTableWidgetItem *newName = t->item(row, NewNameColumn);
            if (newName->data(TableRole::Suffix).toString() != newSuffix)
                newName->setData(TableRole::Suffix, newSuffix);
        }
        name->setText(entry.currentName);
    }
    t->setStatusCell(row, StatusColumn, entry.status);
}

void FileListWidget::scheduleConflictCheck()
{
    m_conflictTimer.start();
}

void FileListWidget::checkConflicts()
{
    m_conflictTimer.stop();
    // A job changes rows and disk as it goes; it checks once when it is done.
    if (isRenaming())
        return;
    const ConflictReport report = ConflictPreview::check(m_records, m_autoResolve, folderMode());
    m_conflicts.clear();
    bool fail = false;
    bool changed = false;
    CustomTabelWidget *t = table();
    {
        // One repaint for the whole column instead of a change notice per row.
        const QSignalBlocker quiet(t->model());
        const int rows = qMin(m_records.size(), t->rowCount());
        for (int row = 0; row < report.rows.size(); ++row) {
            const NameConflict &conflict = report.rows.at(row);
            if (conflict.kind != NameConflict::None) {
                m_conflicts.insert(m_records.at(row).id, conflict);
                fail = fail || conflict.kind != NameConflict::Resolved;
            }
            if (row < rows && showConflictMark(row, conflict))
                changed = true;
        }
    }
    if (changed)
        t->viewport()->update();
    const QString summary = ConflictPreview::summary(report);
    if (summary == m_conflictSummary && fail == m_conflictsFail)
        return;
    m_conflictSummary = summary;
    m_conflictsFail = fail;
    emit conflictSummaryChanged(summary, fail);
}

bool FileListWidget::showConflictMark(int row, const NameConflict &conflict)
{
    QTableWidgetItem *item = table()->item(row, NewNameColumn);
    if (!item)
        return false;
    const QString &note = m_records.at(row).proposalNote;
    const int mark = markOf(conflict, note);
    const int shown = item->data(NewNameDelegate::MarkRole).toInt();
    if (mark == NewNameDelegate::NoMark && shown == NewNameDelegate::NoMark)
        return false;
    const QString conflictHint = ConflictPreview::hint(conflict);
    const QString hint = note.isEmpty() ? conflictHint
        : conflictHint.isEmpty()        ? note
                                        : conflictHint + QLatin1Char('\n') + note;
    if (mark == shown && item->data(Qt::ToolTipRole).toString() == hint)
        return false;
    item->setData(NewNameDelegate::MarkRole, mark);
    item->setData(Qt::ToolTipRole, mark == NewNameDelegate::NoMark ? QVariant() : QVariant(hint));
    return true;
}
