#include "filelistwidget.h"
#include "ui_filelistwidget.h"

#include "additionplan.h"
#include "filecollector.h"
#include "folderpicker.h"
#include "listsorter.h"
#include "operatewidget.h"
#include "revealinfilemanager.h"
#include "tableroles.h"
#include "common/channels.h"
#include "common/cnvglobalobserver.h"
#include "common/jobfailurereporter.h"
#include "common/jobpacer.h"
#include "rename/namerules.h"
#include "rename/renamejob.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QSet>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>

#include <utility>

namespace {

const QStringList &renameChannels()
{
    static const QStringList channels = {
        Channel::FileCustomRename,    Channel::FileInsertRename,   Channel::FolderCustomRename,
        Channel::FolderInsertRename,  Channel::FileReplaceRename,  Channel::FolderReplaceRename,
        Channel::FileDeleteRename,    Channel::FolderDeleteRename, Channel::ImportExcelRename,
        Channel::StartChangeName,
    };
    return channels;
}

QString suffixOf(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QTableWidgetItem *readOnlyItem()
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
    return item;
}

// The list only reads the dropped paths. Answering "move" could let the source delete its files, so a
// drop is taken as a copy (or a link) and refused when neither is offered.
bool acceptAsCopy(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return false;
    }
    const Qt::DropActions possible = event->possibleActions();
    const Qt::DropAction action = possible.testFlag(Qt::CopyAction)   ? Qt::CopyAction
                                  : possible.testFlag(Qt::LinkAction) ? Qt::LinkAction
                                                                      : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return false;
    }
    event->setDropAction(action);
    event->accept();
    return true;
}

} // namespace

FileListWidget::FileListWidget(QWidget *parent) : QWidget(parent), ui(new Ui::FileListWidget)
{
    ui->setupUi(this);
    setAcceptDrops(true);
    ui->addFileAreaWidget->installEventFilter(this);
    ui->addFileAreaWidget->setCursor(Qt::PointingHandCursor);
    setUpTable();
    CNvGlobalObserver *hub = CNvGlobalObserver::instance();
    for (const QString &channel : renameChannels())
        hub->addObserver(channel, Channel::RenameValueUpdate, this, OBSERVER_SLOT);
}

FileListWidget::~FileListWidget()
{
    CNvGlobalObserver *hub = CNvGlobalObserver::instance();
    for (const QString &channel : renameChannels())
        hub->removeObserver(channel, Channel::RenameValueUpdate, this);
    delete ui;
}

CustomTabelWidget *FileListWidget::table() const
{
    return ui->tableWidget;
}

void FileListWidget::setUpTable()
{
    CustomTabelWidget *t = ui->tableWidget;
    t->setColumnCount(ColumnCount);
    t->setHorizontalHeaderLabels({QStringLiteral("原文件名"), QStringLiteral("新文件名"), QStringLiteral("文件位置"),
                                  QStringLiteral("状态"), QStringLiteral("操作")});
    const int widths[ColumnCount] = {200, 200, 300, 100, 150};
    for (int column = 0; column < ColumnCount; ++column)
        t->setColumnWidth(column, widths[column]);
    t->setIconSize(QSize(24, 24));
    // Every row is 80 pixels: one default for all rows costs nothing per row.
    t->verticalHeader()->setDefaultSectionSize(80);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->verticalHeader()->hide();
    t->setShowGrid(false);
    t->setWordWrap(true);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::DoubleClicked);
    t->setDragMode(true);

    QHeaderView *header = t->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);

    t->setFittingColumn(FolderColumn, 120);
    t->setStatusColumn(StatusColumn);
    OperateWidget *operate = t->setOperateColumn(OperateColumn);
    connect(operate, &OperateWidget::deleteFile, this, &FileListWidget::onDeleteFile);
    connect(operate, &OperateWidget::openDir, this, &FileListWidget::onOpenDir);
    connect(t, &CustomTabelWidget::SortChanged, this, &FileListWidget::onSortChanged);
    connect(t, &CustomTabelWidget::itemEdited, this, &FileListWidget::onItemEdited);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &FileListWidget::onSortIndicatorChanged);
    t->hide();
}

void FileListWidget::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
}

void FileListWidget::addFiles(const QStringList &givenPaths)
{
    // The job walks the entry list; rows must not come or go under it.
    if (m_renaming)
        return;
    // "/x/" and "/x" are one item: a trailing slash (some file managers send one for folders) would give
    // a row without a name that no duplicate check catches.
    QStringList paths = givenPaths;
    for (QString &path : paths) {
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1String(":/")))
            path.chop(1);
    }
    announceAdditionStart();
    QSet<QString> listed;
    listed.reserve(m_entries.size());
    for (const FileEntry &entry : qAsConst(m_entries))
        listed.insert(entry.path);
    const AdditionPlan plan = AdditionPlan::make(listed, paths, ui->tableWidget->rowCount());
    appendRows(plan.accepted);
    showTableIfFilled();
    announceAdditionEnd(plan);
}

void FileListWidget::appendRows(const QStringList &paths)
{
    CustomTabelWidget *t = ui->tableWidget;
    const int first = t->rowCount();
    t->setRowCount(first + paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        const int row = first + i;
        const QFileInfo info(paths.at(i));
        FileEntry entry;
        entry.currentName = info.fileName();
        entry.newName = entry.currentName;
        entry.path = paths.at(i);
        entry.id = QUuid::createUuid().toString();
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = readOnlyItem();
            if (column == NewNameColumn)
                item->setFlags(item->flags() | Qt::ItemIsEditable);
            t->setItem(row, column, item);
        }
        fillRow(row, entry, m_icons.icon(info));
        m_entries.append(entry);
    }
}

void FileListWidget::fillRow(int row, const FileEntry &entry, const QIcon &icon)
{
    CustomTabelWidget *t = ui->tableWidget;
    const QFileInfo info(entry.path);
    QTableWidgetItem *name = t->item(row, NameColumn);
    name->setIcon(icon);
    name->setText(entry.currentName);
    name->setData(TableRole::Id, entry.id);
    QTableWidgetItem *newName = t->item(row, NewNameColumn);
    newName->setText(entry.newName);
    newName->setData(TableRole::Id, entry.id);
    // A folder has no extension: what is typed for it is its whole new name.
    newName->setData(TableRole::Suffix, m_folderMode ? QString() : info.suffix());
    t->item(row, FolderColumn)->setText(info.absolutePath());
    t->setStatusCell(row, StatusColumn, entry.status);
    t->item(row, OperateColumn)->setData(TableRole::Id, entry.id);
}

void FileListWidget::refreshRow(int row)
{
    if (row < 0 || row >= m_entries.size() || row >= ui->tableWidget->rowCount())
        return;
    const FileEntry &entry = m_entries.at(row);
    fillRow(row, entry, m_icons.icon(QFileInfo(entry.path)));
}

void FileListWidget::refreshRows()
{
    for (int row = 0; row < m_entries.size(); ++row)
        refreshRow(row);
}

void FileListWidget::reorderRows()
{
    // The records changed places, not content: each keeps the icon its row already had.
    CustomTabelWidget *t = ui->tableWidget;
    QHash<QString, QIcon> icons;
    icons.reserve(t->rowCount());
    for (int row = 0; row < t->rowCount(); ++row) {
        const QTableWidgetItem *name = t->item(row, NameColumn);
        icons.insert(name->data(TableRole::Id).toString(), name->icon());
    }
    const int rows = qMin(m_entries.size(), t->rowCount());
    for (int row = 0; row < rows; ++row)
        fillRow(row, m_entries.at(row), icons.value(m_entries.at(row).id));
}

void FileListWidget::setNewNameText(int row, const QString &text)
{
    if (QTableWidgetItem *item = ui->tableWidget->item(row, NewNameColumn))
        item->setText(text);
}

void FileListWidget::showTableIfFilled()
{
    if (ui->tableWidget->rowCount() == 0)
        return;
    ui->emptyList->hide();
    ui->tableWidget->show();
    if (!m_entries.isEmpty())
        emit tabelEmpty(false);
}

void FileListWidget::clearList()
{
    if (m_renaming)
        return;
    ui->tableWidget->setRowCount(0);
    m_entries.clear();
    m_history.clear();
    ui->tableWidget->hide();
    ui->emptyList->show();
    emit canUndo(false);
    emit tabelEmpty(true);
}

int FileListWidget::entryIndex(const QString &id) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).id == id)
            return i;
    }
    return -1;
}

void FileListWidget::onDeleteFile()
{
    const QObject *cell = sender();
    if (!cell || m_renaming)
        return;
    CustomTabelWidget *t = ui->tableWidget;
    const auto address = static_cast<quintptr>(cell->property("ItemPtr").toULongLong());
    // Find the row by comparing addresses rather than trusting the address to be a live item.
    for (int row = 0; row < t->rowCount(); ++row) {
        if (reinterpret_cast<quintptr>(t->item(row, OperateColumn)) == address) {
            t->removeRow(row);
            break;
        }
    }
    const int index = entryIndex(cell->property("UUID").toString());
    if (index >= 0)
        m_entries.removeAt(index);
    if (m_entries.isEmpty()) {
        t->hide();
        ui->emptyList->show();
    }
    emit tabelEmpty(t->rowCount() == 0 || m_entries.isEmpty());
}

void FileListWidget::onOpenDir()
{
    const QObject *cell = sender();
    if (!cell)
        return;
    const int index = entryIndex(cell->property("UUID").toString());
    if (index >= 0)
        revealInFileManager(m_entries.at(index).path);
}

void FileListWidget::onSortChanged(int dstIndex, int SrcIndex)
{
    if (m_renaming || SrcIndex < 0 || SrcIndex >= m_entries.size() || dstIndex < 0 || dstIndex >= m_entries.size()
        || SrcIndex == dstIndex)
        return;
    const FileEntry moved = m_entries.takeAt(SrcIndex);
    m_entries.insert(dstIndex, moved);
    reorderRows();
    ui->tableWidget->selectRow(dstIndex);
}

void FileListWidget::onSortIndicatorChanged(int logicalIndex)
{
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    if (logicalIndex >= NameColumn && logicalIndex <= FolderColumn) {
        m_sortedDescending = ListSorter::takeDescending(header);
        m_sortedColumn = logicalIndex;
        sortByColumn(logicalIndex);
    }
    // The arrow shows the direction of the last sort, not Qt's own toggling of the clicked section.
    const QSignalBlocker blocker(header);
    header->setSortIndicator(m_sortedColumn, m_sortedDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void FileListWidget::sortByColumn(int column)
{
    if (m_renaming)
        return;
    switch (column) {
    case NameColumn:
        ListSorter::sortByText(m_entries, [](const FileEntry &e) { return e.currentName; }, m_sortedDescending);
        break;
    case NewNameColumn:
        ListSorter::sortByText(m_entries, [](const FileEntry &e) { return e.newName; }, m_sortedDescending);
        break;
    case FolderColumn:
        ListSorter::sortByText(m_entries, [](const FileEntry &e) { return QFileInfo(e.path).absolutePath(); },
                               m_sortedDescending);
        break;
    default:
        return;
    }
    ui->tableWidget->clearSelection();
    reorderRows();
}

void FileListWidget::onItemEdited(QTableWidgetItem *item)
{
    if (item->column() != NewNameColumn)
        return;
    const int index = entryIndex(item->data(TableRole::Id).toString());
    if (index < 0)
        return;
    FileEntry &entry = m_entries[index];
    const QString typed = item->text();
    QString name = typed;
    if (!m_folderMode) {
        // The item keeps its own extension; a last extension typed by the user is dropped.
        const QString base = QFileInfo(typed).completeBaseName();
        const QString suffix = item->data(TableRole::Suffix).toString();
        name = base.isEmpty() || suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix;
    }
    // Nothing left to name the item by: keep the proposal it had.
    if (name.isEmpty())
        name = entry.newName;
    item->setText(name);
    entry.newName = name;
}

QStringList FileListWidget::dropPaths(const QList<QUrl> &urls) const
{
    QStringList paths;
    for (const QUrl &url : urls) {
        const QString path = url.toLocalFile();
        if (path.isEmpty())
            continue;
        const QFileInfo info(path);
        if (m_folderMode) {
            if (info.isDir())
                paths.append(path);
        } else if (info.isDir()) {
            paths.append(collectFilesRecursively(path, qMax(0, kListCapacity + 1 - paths.size())));
        } else if (info.exists()) {
            paths.append(path);
        }
    }
    return paths;
}

void FileListWidget::dragEnterEvent(QDragEnterEvent *event)
{
    acceptAsCopy(event);
}

void FileListWidget::dragMoveEvent(QDragMoveEvent *event)
{
    acceptAsCopy(event);
}

void FileListWidget::dropEvent(QDropEvent *event)
{
    if (!acceptAsCopy(event))
        return;
    // The walk and the addition run once the drop has been answered, so the file manager that sent it is
    // not kept waiting on a warning dialog.
    const QList<QUrl> urls = event->mimeData()->urls();
    QMetaObject::invokeMethod(
        this,
        [this, urls] {
            const QStringList paths = dropPaths(urls);
            if (!paths.isEmpty())
                addFiles(paths);
        },
        Qt::QueuedConnection);
}

bool FileListWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->addFileAreaWidget && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        askForItems();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FileListWidget::askForItems()
{
    const QStringList paths =
        m_folderMode ? pickFolders(QStringLiteral("选择目录"))
                     : QFileDialog::getOpenFileNames(this, QStringLiteral("打开"),
                                                     QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    if (!paths.isEmpty())
        addFiles(paths);
}

void FileListWidget::onPropertyValueChanged(const QString &valueName, const QString &valueObj,
                                            const QVariant &value)
{
    Q_UNUSED(valueObj)
    if (m_renaming) {
        // A second start while a job runs is not a request to run another job inside it.
        if (valueName != Channel::StartChangeName)
            m_deferred.append({valueName, value});
        return;
    }
    if (valueName == Channel::StartChangeName) {
        if (value.toBool() == m_folderMode)
            renameAll(false);
        return;
    }
    if (valueName == Channel::ImportExcelRename) {
        importNames(value);
        return;
    }
    const std::optional<NameRules::KeyRule> rule = NameRules::ruleOfKey(valueName);
    if (rule && rule->folder == m_folderMode)
        recompute(valueName);
}

void FileListWidget::importNames(const QVariant &value)
{
    // Names may come with the mode of the page that imported them; then only that page's list takes them.
    if (value.userType() == QMetaType::QVariantMap) {
        const QVariantMap payload = value.toMap();
        const QVariant folder = payload.value(QStringLiteral("folderMode"));
        if (!folder.isValid() || folder.toBool() != m_folderMode)
            return;
        applyImportedNames(payload.value(QStringLiteral("names")).toStringList());
        return;
    }
    applyImportedNames(value.toStringList());
}

void FileListWidget::recompute(const QString &key)
{
    const std::optional<NameRules::KeyRule> rule = NameRules::ruleOfKey(key);
    if (!rule || rule->folder != m_folderMode)
        return;
    NameRules::recompute(key, m_entries, m_autoResolve);
    showNewNames();
}

void FileListWidget::applyImportedNames(const QStringList &names)
{
    NameRules::applyImportedNames(names, m_entries, m_folderMode, m_autoResolve);
    showNewNames();
}

void FileListWidget::showNewNames()
{
    CustomTabelWidget *t = ui->tableWidget;
    const int rows = qMin(m_entries.size(), t->rowCount());
    {
        // One repaint for the whole column instead of a change notice per row.
        const QSignalBlocker quiet(t->model());
        for (int row = 0; row < rows; ++row) {
            QTableWidgetItem *item = t->item(row, NewNameColumn);
            const QString &name = m_entries.at(row).newName;
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

void FileListWidget::renameAll(bool undoing)
{
    if (m_renaming)
        return;
    m_renaming = true;
    {
        JobPacer pacer(ui->tableWidget->viewport());
        JobFailureReporter reporter;
        const RenameJob::RowCallback onRow = [this, &pacer](int row, const FileEntry &entry, RowOutcome outcome) {
            showJobRow(row, entry, outcome);
            pacer.step();
        };
        if (undoing)
            RenameJob::undo(m_entries, m_history, m_autoResolve, onRow, reporter);
        else
            RenameJob::run(m_entries, m_history, m_autoResolve, onRow, reporter);
    }
    m_renaming = false;
    emit canUndo(m_history.canUndo());
    replayDeferred();
}

void FileListWidget::showJobRow(int row, const FileEntry &entry, RowOutcome outcome)
{
    CustomTabelWidget *t = ui->tableWidget;
    if (outcome == RowOutcome::Untouched || row < 0 || row >= t->rowCount())
        return;
    // The pacer repaints the view; a change notice per cell would cost more than the rename itself.
    const QSignalBlocker quiet(t->model());
    if (outcome == RowOutcome::Moved) {
        t->item(row, FolderColumn)->setText(QFileInfo(entry.path).absolutePath());
        return;
    }
    if (outcome == RowOutcome::Renamed) {
        QTableWidgetItem *name = t->item(row, NameColumn);
        const QString oldSuffix = suffixOf(name->text());
        const QString newSuffix = suffixOf(entry.currentName);
        // An item keeps its kind, and so its icon, unless its extension changed.
        if (!m_folderMode && oldSuffix.compare(newSuffix, Qt::CaseInsensitive) != 0)
            name->setIcon(m_icons.icon(QFileInfo(entry.path)));
        name->setText(entry.currentName);
        if (!m_folderMode)
            t->item(row, NewNameColumn)->setData(TableRole::Suffix, newSuffix);
    }
    t->setStatusCell(row, StatusColumn, entry.status);
}

void FileListWidget::replayDeferred()
{
    const QVector<QPair<QString, QVariant>> deferred = std::exchange(m_deferred, {});
    for (const auto &notice : deferred)
        onPropertyValueChanged(notice.first, Channel::RenameValueUpdate, notice.second);
}
