#include "customtabelwidget.h"

#include "actiondelegate.h"
#include "operatewidget.h"
#include "statusdelegate.h"
#include "tableroles.h"
#include "hub/entrystatus.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
const QString kRowMime = QStringLiteral("application/x-quorlin-table-row");
}

CustomTabelWidget::CustomTabelWidget(QWidget *parent) : QTableWidget(parent)
{
    setDropIndicatorShown(false);
    setDragMode(false);
    // The table is one stop of the window's Tab chain: arrows move between rows, Tab goes on to the panel.
    setTabKeyNavigation(false);
}

void CustomTabelWidget::setDragMode(bool on)
{
    setDragDropMode(on ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
    setDragEnabled(on);
    if (on)
        setSelectionBehavior(QAbstractItemView::SelectRows);
}

void CustomTabelWidget::setFittingColumn(int column, int minimumWidth)
{
    m_fittingColumn = column;
    m_fittingMinimum = minimumWidth;
    m_fittingDesigned = columnWidth(column);
    m_lastDesigned = columnWidth(columnCount() - 1);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &CustomTabelWidget::onSectionResized,
            Qt::UniqueConnection);
    fitColumns();
}

void CustomTabelWidget::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    fitColumns();
}

void CustomTabelWidget::fitColumns()
{
    if (m_fittingColumn < 0 || m_fittingColumn >= columnCount())
        return;
    // The stretched last section's own width follows the view, so it counts at the width it was given.
    const QHeaderView *header = horizontalHeader();
    int others = 0;
    for (int column = 0; column < columnCount(); ++column) {
        if (column == m_fittingColumn)
            continue;
        const bool stretched = header->stretchLastSection() && column == columnCount() - 1;
        others += stretched ? m_lastDesigned : columnWidth(column);
    }
    const int available = viewport()->width() - others;
    const int width = qBound(m_fittingMinimum, available, m_fittingDesigned);
    if (width == columnWidth(m_fittingColumn))
        return;
    m_fitting = true;
    setColumnWidth(m_fittingColumn, width);
    m_fitting = false;
}

void CustomTabelWidget::onSectionResized(int column)
{
    if (m_fitting || m_fittingColumn < 0)
        return;
    const bool stretched = horizontalHeader()->stretchLastSection() && column == columnCount() - 1;
    // The stretched section follows the view; any other change is the user's.
    if (!stretched && horizontalHeader()->underMouse() && (QApplication::mouseButtons() & Qt::LeftButton))
        m_fittingColumn = -1;
}

void CustomTabelWidget::setStatusColumn(int column)
{
    if (!m_statusDelegate)
        m_statusDelegate = new StatusDelegate(this);
    setItemDelegateForColumn(column, m_statusDelegate);
}

OperateWidget *CustomTabelWidget::setOperateColumn(int column)
{
    if (!m_operate) {
        m_operate = new OperateWidget(this);
        m_operate->hide();
        m_actionDelegate = new ActionDelegate(m_operate, this);
    }
    setItemDelegateForColumn(column, m_actionDelegate);
    return m_operate;
}

void CustomTabelWidget::setStatusCell(int row, int column, int status)
{
    QTableWidgetItem *cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        setItem(row, column, cell);
    }
    cell->setText(entryStatusText(status));
    cell->setData(TableRole::Success, status);
}

int CustomTabelWidget::statusAt(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->data(TableRole::Success).toInt() : StatusPending;
}

QTableWidgetItem *CustomTabelWidget::pressedItem() const
{
    return m_pressed.isValid() ? item(m_pressed.row(), m_pressed.column()) : nullptr;
}

QTableWidgetItem *CustomTabelWidget::editedItem() const
{
    return m_edited.isValid() ? item(m_edited.row(), m_edited.column()) : nullptr;
}

bool CustomTabelWidget::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool handled = QTableWidget::edit(index, trigger, event);
    if (handled && state() == EditingState)
        m_edited = index;
    return handled;
}

void CustomTabelWidget::finishEditing()
{
    if (state() != EditingState || !m_edited.isValid())
        return;
    if (QWidget *editor = indexWidget(m_edited)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CustomTabelWidget::commitData(QWidget *editor)
{
    QTableWidget::commitData(editor);
    if (QTableWidgetItem *edited = editedItem())
        emit itemEdited(edited);
}

void CustomTabelWidget::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    m_edited = QPersistentModelIndex();
    QTableWidget::closeEditor(editor, hint);
}

void CustomTabelWidget::mousePressEvent(QMouseEvent *event)
{
    m_pressed = indexAt(event->pos());
    QTableWidget::mousePressEvent(event);
}

void CustomTabelWidget::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = QPersistentModelIndex();
    QTableWidget::mouseReleaseEvent(event);
}

QMimeData *CustomTabelWidget::rowMimeData(int row) const
{
    auto *mime = new QMimeData;
    const QByteArray owner = QByteArray::number(reinterpret_cast<quintptr>(this), 16);
    mime->setData(kRowMime, owner + ' ' + QByteArray::number(row));
    return mime;
}

int CustomTabelWidget::draggedRow(const QMimeData *mime) const
{
    if (!mime || !mime->hasFormat(kRowMime))
        return -1;
    const QList<QByteArray> parts = mime->data(kRowMime).split(' ');
    if (parts.size() != 2 || parts.at(0) != QByteArray::number(reinterpret_cast<quintptr>(this), 16))
        return -1;
    bool ok = false;
    const int row = parts.at(1).toInt(&ok);
    return ok && row >= 0 && row < rowCount() ? row : -1;
}

int CustomTabelWidget::dropTargetRow(const QDropEvent *event) const
{
    const int source = draggedRow(event->mimeData());
    if (source < 0)
        return -1;
    const int target = indexAt(event->pos()).row();
    return target >= 0 && target != source ? target : -1;
}

void CustomTabelWidget::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions)
    if (!m_pressed.isValid())
        return;
    const int row = m_pressed.row();
    auto *drag = new QDrag(this);
    drag->setMimeData(rowMimeData(row));
    const QRect rowRect = QRect(visualRect(model()->index(row, 0)).topLeft(),
                                visualRect(model()->index(row, columnCount() - 1)).bottomRight())
                              .intersected(viewport()->rect());
    if (!rowRect.isEmpty()) {
        drag->setPixmap(viewport()->grab(rowRect));
        drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - rowRect.topLeft());
    }
    // The list reorders its records on the drop; nothing is taken out of the table afterwards, whatever
    // action the drag reports.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

void CustomTabelWidget::dragEnterEvent(QDragEnterEvent *event)
{
    // Drags from elsewhere (files from a file manager, rows of another list) are for the list, not for us.
    if (draggedRow(event->mimeData()) < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CustomTabelWidget::dragMoveEvent(QDragMoveEvent *event)
{
    if (draggedRow(event->mimeData()) < 0) {
        event->ignore();
        return;
    }
    const int margin = autoScrollMargin();
    const QRect area = viewport()->rect();
    if (event->pos().y() - area.top() < margin || area.bottom() - event->pos().y() < margin)
        startAutoScroll();
    if (dropTargetRow(event) < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CustomTabelWidget::dragLeaveEvent(QDragLeaveEvent *event)
{
    stopAutoScroll();
    event->accept();
}

void CustomTabelWidget::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    const int source = draggedRow(event->mimeData());
    const int target = dropTargetRow(event);
    if (source < 0 || target < 0) {
        event->ignore();
        return;
    }
    m_pressed = QPersistentModelIndex();
    event->setDropAction(Qt::MoveAction);
    event->accept();
    emit SortChanged(target, source);
}

QRect CustomTabelWidget::rowRect(int row) const
{
    return visualRect(model()->index(row, 0)).united(visualRect(model()->index(row, columnCount() - 1)));
}

// With the focus in the table its current row is outlined in the accent colour: the focus is on a row,
// not on one cell.
void CustomTabelWidget::paintEvent(QPaintEvent *event)
{
    QTableWidget::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid())
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x40, 0x5D, 0xFF), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rowRect(current.row())).adjusted(1, 1, -1, -1), 4, 4);
}

void CustomTabelWidget::focusInEvent(QFocusEvent *event)
{
    QTableWidget::focusInEvent(event);
    viewport()->update();
}

void CustomTabelWidget::focusOutEvent(QFocusEvent *event)
{
    QTableWidget::focusOutEvent(event);
    viewport()->update();
}

void CustomTabelWidget::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableWidget::currentChanged(current, previous);
    // The outline spans the row: the cells the base repaints are not enough.
    if (previous.isValid())
        viewport()->update(rowRect(previous.row()));
    if (current.isValid())
        viewport()->update(rowRect(current.row()));
}

void CustomTabelWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange) {
        if (m_statusDelegate)
            m_statusDelegate->clearCache();
        if (m_actionDelegate)
            m_actionDelegate->clearCache();
    }
    QTableWidget::changeEvent(event);
}

// Placing the header measures every section title with the style sheet; a table that was never shown (the lists
// of the other pages, and every list while the window builds) would do it for each column set up.
void CustomTabelWidget::updateGeometries()
{
    if (!isVisible()) {
        m_geometriesWaiting = true;
        return;
    }
    QTableWidget::updateGeometries();
}

void CustomTabelWidget::showEvent(QShowEvent *event)
{
    if (m_geometriesWaiting) {
        m_geometriesWaiting = false;
        QTableWidget::updateGeometries();
    }
    QTableWidget::showEvent(event);
}
