#pragma once

#include <QPersistentModelIndex>
#include <QTableWidget>

class ActionDelegate;
class OperateWidget;
class StatusDelegate;

// The table of every list. Rows can be reordered by dragging one onto another (the table only reports
// the move; the list reorders its records); status and action cells are drawn by delegates rather than
// by a widget per row.
class CustomTabelWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit CustomTabelWidget(QWidget *parent = nullptr);

    void setDragMode(bool on);

    // Draws the cells of this column as statuses / as action cells. The returned widget emits the
    // clicked row's signals.
    void setStatusColumn(int column);
    OperateWidget *setOperateColumn(int column);
    OperateWidget *operateWidget() const { return m_operate; }
    ActionDelegate *actionDelegate() const { return m_actionDelegate; }

    // While the view is narrower than its columns, this column gives up width (down to minimumWidth, up to
    // its width when set) so the status and action cells stay in view; a column resized by the user ends it.
    void setFittingColumn(int column, int minimumWidth);

    // Shows EntryStatus status in the cell: its text, and its value in TableRole::Success.
    void setStatusCell(int row, int column, int status);
    int statusAt(int row, int column) const;

    // Commits and closes an open cell editor into the row it was opened on, so that what is typed is
    // neither lost nor written into another row when the rows change places.
    void finishEditing();

    QTableWidgetItem *pressedItem() const;
    QTableWidgetItem *editedItem() const;

    // The drag data of a row of this table; drags carrying another table's rows are not accepted.
    QMimeData *rowMimeData(int row) const;

signals:
    void SortChanged(int dstIndex, int SrcIndex);
    // A cell editor committed its text into item.
    void itemEdited(QTableWidgetItem *item);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void updateGeometries() override;
    void showEvent(QShowEvent *event) override;

private:
    int draggedRow(const QMimeData *mime) const;
    int dropTargetRow(const QDropEvent *event) const;
    void fitColumns();
    void onSectionResized(int column);
    QRect rowRect(int row) const;

    // Header and scroll bar places asked for while the table was never shown: set when it is.
    bool m_geometriesWaiting = false;

    QPersistentModelIndex m_pressed;
    QPersistentModelIndex m_edited;
    StatusDelegate *m_statusDelegate = nullptr;
    ActionDelegate *m_actionDelegate = nullptr;
    OperateWidget *m_operate = nullptr;
    int m_fittingColumn = -1;
    int m_fittingMinimum = 0;
    int m_fittingDesigned = 0;
    int m_lastDesigned = 0;
    bool m_fitting = false;
};
