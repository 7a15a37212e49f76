#include "itemlistwidget.h"
#include "ui_itemlistwidget.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "hub/itemmoves.h"
#include "filelist/pickerfolders.h"
#include "filelist/additionplan.h"
#include "filelist/customtabelwidget.h"
#include "filelist/filecollector.h"
#include "filelist/folderpicker.h"
#include "filelist/listsorter.h"
#include "filelist/operatewidget.h"
#include "filelist/revealinfilemanager.h"
#include "filelist/tableroles.h"
#include "filelist/namesafety.h"
#include "jobs/jobpacer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QSet>
#include <QSignalBlocker>
#include <QUrl>

#include <algorithm>
#include <functional>

namespace {

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

// "/x/" and "/x" are one item: a trailing slash (some file managers send one for folders) would give a row
// without a name that no duplicate check catches.
QStringList withoutTrailingSlashes(QStringList paths)
{
    for (QString &path : paths) {
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1String(":/")))
            path.chop(1);
    }
    return paths;
}

} // namespace

ItemListWidget::ItemListWidget(QWidget *parent)
    : QWidget(parent),
      ui(new Ui::ItemListWidget),
      m_runner([this](const QString &key, const QVariant &value) {
          onPropertyValueChanged(key, Channel::RenameValueUpdate, value);
      }),
      m_moves(this, {{Channel::ItemsRenamed, Channel::NoName}}, SLOT(onItemsRenamed(QString,QString,QVariant)))
{
    ui->setupUi(this);
    setAcceptDrops(true);
    ui->addFileAreaWidget->installEventFilter(this);
    ui->addFileAreaWidget->setCursor(Qt::PointingHandCursor);
    ui->tableWidget->hide();
}

ItemListWidget::~ItemListWidget()
{
    delete ui;
}

CustomTabelWidget *ItemListWidget::table() const
{
    return ui->tableWidget;
}

void ItemListWidget::setColumns(const QVector<Column> &columns, int fittingColumn, bool rowDrag)
{
    m_columns = columns;
    CustomTabelWidget *t = ui->tableWidget;
    t->setColumnCount(columns.size());
    QStringList titles;
    for (int column = 0; column < columns.size(); ++column) {
        titles.append(columns.at(column).title);
        t->setColumnWidth(column, columns.at(column).width);
    }
    t->setHorizontalHeaderLabels(titles);
    t->setIconSize(QSize(24, 24));
    // Every row is 80 pixels: one default for all rows costs nothing per row.
    t->verticalHeader()->setDefaultSectionSize(80);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->verticalHeader()->hide();
    t->setShowGrid(false);
    t->setWordWrap(true);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Shift and Ctrl pick several rows, for Delete.
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setEditTriggers(QAbstractItemView::DoubleClicked);
    t->setDragMode(rowDrag);

    QHeaderView *header = t->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);

    if (fittingColumn >= 0)
        t->setFittingColumn(fittingColumn, 120);
    for (int column = 0; column < columns.size(); ++column) {
        if (columns.at(column).kind == CellKind::Status) {
            m_statusColumn = column;
            t->setStatusColumn(column);
        } else if (columns.at(column).kind == CellKind::Operate) {
            m_operateColumn = column;
            OperateWidget *operate = t->setOperateColumn(column);
            operate->setSortVisible(rowDrag);
            connect(operate, &OperateWidget::deleteFile, this, &ItemListWidget::onDeleteFile);
            connect(operate, &OperateWidget::openDir, this, &ItemListWidget::onOpenDir);
        }
    }
    connect(t, &CustomTabelWidget::SortChanged, this, &ItemListWidget::onSortChanged);
    connect(t, &CustomTabelWidget::itemEdited, this, &ItemListWidget::onItemEdited);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &ItemListWidget::onSortIndicatorChanged);
}

void ItemListWidget::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
}

void ItemListWidget::addFiles(const QStringList &givenPaths)
{
    int unsafe = 0;
    QStringList paths;
    paths.reserve(givenPaths.size());
    for (const QString &path : givenPaths) {
        if (pathRoundTrips(path))
            paths.append(path);
        else
            ++unsafe;
    }
    addGathered(paths, unsafe);
}

void ItemListWidget::addGathered(const QStringList &gathered, int unsafe)
{
    if (m_busy)
        return;
    const QStringList paths = withoutTrailingSlashes(gathered);
    announceAdditionStart();
    QSet<QString> listed;
    listed.reserve(recordCount());
    for (int i = 0; i < recordCount(); ++i)
        listed.insert(recordPath(i));
    const AdditionPlan plan = AdditionPlan::make(listed, paths, ui->tableWidget->rowCount());
    appendRows(plan.accepted);
    showTableIfFilled();
    announceAdditionEnd(plan);
    if (unsafe > 0)
        CNvGlobalObserver::instance()->notifyObservers(Channel::MessageErrorTip, Channel::NoName, unsafeNamesMessage(unsafe));
}

QString ItemListWidget::unsafeNamesMessage(int count)
{
    return QStringLiteral("已经为您过滤%1个名称无法识别的文件！").arg(count);
}

QString ItemListWidget::countText(int count) const
{
    return (m_folderMode ? QStringLiteral("共%1个文件夹") : QStringLiteral("共%1个文件")).arg(count);
}

QString ItemListWidget::jobSummary(int succeeded, int failed, bool undo)
{
    return (undo ? QStringLiteral("已撤销：恢复%1个，失败%2个") : QStringLiteral("已完成：成功%1个，失败%2个"))
        .arg(succeeded)
        .arg(failed);
}

void ItemListWidget::addFromFileDialog()
{
    using PickerFolders::Purpose;
    const QStringList files =
        QFileDialog::getOpenFileNames(this, QStringLiteral("打开"), PickerFolders::startFolder(Purpose::AddFiles));
    if (files.isEmpty())
        return;
    PickerFolders::rememberFile(Purpose::AddFiles, files.first());
    addFiles(files);
}

void ItemListWidget::addFromFolderPicker()
{
    using PickerFolders::Purpose;
    const QStringList folders =
        pickFolders(QStringLiteral("选择目录"), PickerFolders::startFolder(Purpose::AddFolder));
    if (folders.isEmpty())
        return;
    // Next time the picker opens where these were chosen, beside them.
    PickerFolders::rememberFile(Purpose::AddFolder, folders.first());
    if (m_folderMode) {
        addFiles(folders);
        return;
    }
    int unsafe = 0;
    QStringList safeFolders;
    for (const QString &folder : folders) {
        if (pathRoundTrips(folder))
            safeFolders.append(folder);
        else
            ++unsafe;
    }
    // All chosen folders make one addition, so duplicates are reported and the capacity warned of once.
    const QStringList files = filesBelow(safeFolders, &unsafe);
    if (!files.isEmpty() || unsafe > 0)
        addGathered(files, unsafe);
}

QStringList ItemListWidget::filesBelow(const QStringList &folders, int *unsafe) const
{
    QStringList files;
    for (const QString &folder : folders)
        files.append(collectFilesRecursively(folder, qMax(0, kListCapacity + 1 - files.size()), unsafe));
    return files;
}

void ItemListWidget::appendRows(const QStringList &paths)
{
    CustomTabelWidget *t = ui->tableWidget;
    const int first = t->rowCount();
    t->setRowCount(first + paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        const int row = first + i;
        appendRecord(paths.at(i));
        for (int column = 0; column < m_columns.size(); ++column) {
            auto *item = new QTableWidgetItem;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
            if (m_columns.at(column).kind == CellKind::EditableText)
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            t->setItem(row, column, item);
        }
        fillBaseCells(row);
        fillRow(row, iconOf(paths.at(i)));
    }
}

void ItemListWidget::fillBaseCells(int row)
{
    CustomTabelWidget *t = ui->tableWidget;
    const QString id = recordId(row);
    for (int column = 0; column < m_columns.size(); ++column) {
        if (m_columns.at(column).kind != CellKind::Status)
            t->item(row, column)->setData(TableRole::Id, id);
    }
    if (m_statusColumn >= 0)
        t->setStatusCell(row, m_statusColumn, recordStatus(row));
}

QIcon ItemListWidget::iconOf(const QString &path)
{
    return m_icons.icon(QFileInfo(path));
}

void ItemListWidget::refreshRow(int row)
{
    if (row < 0 || row >= recordCount() || row >= ui->tableWidget->rowCount())
        return;
    fillBaseCells(row);
    fillRow(row, iconOf(recordPath(row)));
}

void ItemListWidget::refreshRows()
{
    for (int row = 0; row < recordCount(); ++row)
        refreshRow(row);
}

void ItemListWidget::reorderRows()
{
    // The records changed places, not content: each keeps the icon its row already had.
    CustomTabelWidget *t = ui->tableWidget;
    QHash<QString, QIcon> icons;
    icons.reserve(t->rowCount());
    for (int row = 0; row < t->rowCount(); ++row) {
        const QTableWidgetItem *first = t->item(row, 0);
        icons.insert(first->data(TableRole::Id).toString(), first->icon());
    }
    const int rows = qMin(recordCount(), t->rowCount());
    for (int row = 0; row < rows; ++row) {
        fillBaseCells(row);
        fillRow(row, icons.value(recordId(row)));
    }
}

void ItemListWidget::announceMoves(const QVector<QPair<QString, QString>> &moves) const
{
    if (moves.isEmpty())
        return;
    ItemMoves value;
    value.moves = moves;
    value.origin = this;
    CNvGlobalObserver::instance()->notifyObservers(Channel::ItemsRenamed, Channel::NoName, QVariant::fromValue(value));
}

void ItemListWidget::onItemsRenamed(const QString &valueName, const QString &valueObj, const QVariant &value)
{
    Q_UNUSED(valueName)
    Q_UNUSED(valueObj)
    const ItemMoves moves = value.value<ItemMoves>();
    if (moves.origin == this)
        return;
    for (int row = 0; row < recordCount(); ++row) {
        const QString path = recordPath(row);
        const QString moved = moves.follow(path);
        if (moved == path)
            continue;
        relocateRecord(row, moved);
        refreshRow(row);
    }
    followMoves(moves);
}

void ItemListWidget::followMoves(const ItemMoves &moves)
{
    Q_UNUSED(moves)
}

void ItemListWidget::relocateRecord(int index, const QString &newPath)
{
    Q_UNUSED(index)
    Q_UNUSED(newPath)
}

void ItemListWidget::showStatus(int row, int status)
{
    CustomTabelWidget *t = ui->tableWidget;
    if (m_statusColumn < 0 || row < 0 || row >= t->rowCount())
        return;
    const QSignalBlocker quiet(t->model());
    t->setStatusCell(row, m_statusColumn, status);
}

void ItemListWidget::onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value)
{
    Q_UNUSED(valueName)
    Q_UNUSED(valueObj)
    Q_UNUSED(value)
}

bool ItemListWidget::runJob(const JobRunner::Job &job)
{
    const bool ran = m_runner.run(ui->tableWidget->viewport(), [&](JobPacer &pacer, JobFailureReporter &reporter) {
        m_busy = true;
        job(pacer, reporter);
        m_busy = false;
    });
    if (ran)
        emit canUndo(undoAvailable());
    return ran;
}

bool ItemListWidget::holdDuringJob(const QString &valueName, const QVariant &value, const QString &start)
{
    if (m_runner.isRunning() && valueName == start)
        return true;
    return m_runner.defer(valueName, value);
}

void ItemListWidget::declareNoAddArea(const QString &tip)
{
    setAcceptDrops(false);
    ui->addFileAreaWidget->removeEventFilter(this);
    ui->addFileAreaWidget->setCursor(Qt::ArrowCursor);
    ui->addFileAreaWidget->setEnabled(false);
    ui->addFileIcoWidget->setFixedSize(200, 200);
    ui->addFileTipLabel->setText(tip);
    ui->addFileTipLabel->setAlignment(Qt::AlignCenter);
}

void ItemListWidget::showTable(bool shown)
{
    ui->emptyList->setVisible(!shown);
    ui->tableWidget->setVisible(shown);
}

void ItemListWidget::showTableIfFilled()
{
    if (ui->tableWidget->rowCount() == 0)
        return;
    ui->emptyList->hide();
    ui->tableWidget->show();
    if (recordCount() > 0)
        emit tabelEmpty(false);
}

void ItemListWidget::clearList()
{
    if (m_busy)
        return;
    ui->tableWidget->setRowCount(0);
    clearRecords();
    onCleared();
    ui->tableWidget->hide();
    ui->emptyList->show();
    emit canUndo(false);
    emit tabelEmpty(true);
}

int ItemListWidget::indexOfId(const QString &id) const
{
    for (int i = 0; i < recordCount(); ++i) {
        if (recordId(i) == id)
            return i;
    }
    return -1;
}

void ItemListWidget::onDeleteFile()
{
    const QObject *cell = sender();
    if (!cell || m_busy)
        return;
    CustomTabelWidget *t = ui->tableWidget;
    const auto address = static_cast<quintptr>(cell->property("ItemPtr").toULongLong());
    // Find the row by comparing addresses rather than trusting the address to be a live item.
    for (int row = 0; row < t->rowCount(); ++row) {
        if (reinterpret_cast<quintptr>(t->item(row, m_operateColumn)) == address) {
            t->removeRow(row);
            break;
        }
    }
    const int index = indexOfId(cell->property("UUID").toString());
    if (index >= 0)
        removeRecord(index);
    afterRemoval();
}

void ItemListWidget::removeSelectedRows()
{
    CustomTabelWidget *t = ui->tableWidget;
    if (m_busy || !t->isVisible())
        return;
    commitOpenEditor();
    QList<int> rows;
    const QModelIndexList selected = t->selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    if (rows.isEmpty())
        return;
    // From the bottom up, so the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows) {
        t->removeRow(row);
        removeRecord(row);
    }
    afterRemoval();
}

void ItemListWidget::afterRemoval()
{
    CustomTabelWidget *t = ui->tableWidget;
    if (recordCount() == 0) {
        t->hide();
        ui->emptyList->show();
    }
    emit tabelEmpty(t->rowCount() == 0 || recordCount() == 0);
}

void ItemListWidget::onOpenDir()
{
    const QObject *cell = sender();
    if (!cell)
        return;
    const int index = indexOfId(cell->property("UUID").toString());
    if (index >= 0)
        revealInFileManager(recordPath(index));
}

void ItemListWidget::onSortChanged(int dstIndex, int SrcIndex)
{
    const int count = recordCount();
    if (m_busy || SrcIndex < 0 || SrcIndex >= count || dstIndex < 0 || dstIndex >= count || SrcIndex == dstIndex)
        return;
    commitOpenEditor();
    moveRecord(SrcIndex, dstIndex);
    reorderRows();
    ui->tableWidget->selectRow(dstIndex);
}

void ItemListWidget::onSortIndicatorChanged(int logicalIndex)
{
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    const bool sortable = logicalIndex >= 0 && logicalIndex < m_columns.size() && m_columns.at(logicalIndex).sortable;
    if (sortable && !m_busy) {
        commitOpenEditor();
        m_sortedDescending = ListSorter::takeDescending(header);
        m_sortedColumn = logicalIndex;
        if (sortRecords(logicalIndex, m_sortedDescending)) {
            ui->tableWidget->clearSelection();
            reorderRows();
        }
    }
    // The arrow shows the direction of the last sort, not Qt's own toggling of the clicked section.
    const QSignalBlocker blocker(header);
    header->setSortIndicator(m_sortedColumn, m_sortedDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ItemListWidget::commitOpenEditor()
{
    ui->tableWidget->finishEditing();
}

void ItemListWidget::onItemEdited(QTableWidgetItem *item)
{
    const int index = indexOfId(item->data(TableRole::Id).toString());
    if (index >= 0)
        onCellEdited(index, item);
}

void ItemListWidget::onCellEdited(int row, QTableWidgetItem *item)
{
    Q_UNUSED(row)
    Q_UNUSED(item)
}

QStringList ItemListWidget::dropPaths(const QList<QUrl> &urls, int *unsafe) const
{
    QStringList paths;
    for (const QUrl &url : urls) {
        const QString path = url.toLocalFile();
        if (path.isEmpty())
            continue;
        // The URL carries the name's bytes; a name that does not survive them must not name another item.
        if (!urlRoundTrips(url)) {
            if (unsafe)
                ++*unsafe;
            continue;
        }
        gather(path, &paths, unsafe);
    }
    return paths;
}

void ItemListWidget::addGivenPaths(const QStringList &givenPaths)
{
    int unsafe = 0;
    QStringList paths;
    for (const QString &path : givenPaths) {
        if (pathRoundTrips(path))
            gather(path, &paths, &unsafe);
        else
            ++unsafe;
    }
    if (!paths.isEmpty() || unsafe > 0)
        addGathered(paths, unsafe);
}

void ItemListWidget::gather(const QString &path, QStringList *paths, int *unsafe) const
{
    const QFileInfo info(path);
    if (m_folderMode) {
        if (info.isDir())
            paths->append(path);
    } else if (info.isDir()) {
        paths->append(collectFilesRecursively(path, qMax(0, kListCapacity + 1 - paths->size()), unsafe));
    } else if (info.exists()) {
        paths->append(path);
    }
}

QStringList ItemListWidget::listedPaths() const
{
    QStringList paths;
    paths.reserve(recordCount());
    for (int i = 0; i < recordCount(); ++i)
        paths.append(recordPath(i));
    return paths;
}

void ItemListWidget::dragEnterEvent(QDragEnterEvent *event)
{
    acceptAsCopy(event);
}

void ItemListWidget::dragMoveEvent(QDragMoveEvent *event)
{
    acceptAsCopy(event);
}

void ItemListWidget::dropEvent(QDropEvent *event)
{
    if (!acceptAsCopy(event))
        return;
    // The walk and the addition run once the drop has been answered, so the file manager that sent it is
    // not kept waiting on a warning dialog.
    const QList<QUrl> urls = event->mimeData()->urls();
    QMetaObject::invokeMethod(
        this,
        [this, urls] {
            int unsafe = 0;
            const QStringList paths = dropPaths(urls, &unsafe);
            if (!paths.isEmpty() || unsafe > 0)
                addGathered(paths, unsafe);
        },
        Qt::QueuedConnection);
}

bool ItemListWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->addFileAreaWidget && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        askForItems();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ItemListWidget::askForItems()
{
    if (m_folderMode)
        addFromFolderPicker();
    else
        addFromFileDialog();
}
