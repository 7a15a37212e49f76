#pragma once

#include "hub/hubsubscription.h"
#include "filelist/fileiconcache.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

namespace Ui {
class ItemListWidget;
}

class CustomTabelWidget;
struct ItemMoves;
class QIcon;
class QTableWidgetItem;
class QUrl;

// What every list shares: the table with its status and action cells, the empty area that invites a click
// or a drop, adding from the file dialog, the folder picker and drops (one addition per gesture, duplicates
// skipped, at most kListCapacity rows), sorting by a header click, moving a row by dragging it, deleting a
// row and revealing its item. A list declares its columns and keeps its records through RecordListWidget;
// row i of the table always shows record i.
class ItemListWidget : public QWidget
{
    Q_OBJECT
public:
    enum class CellKind { Text, EditableText, Status, Operate };
    struct Column
    {
        QString title;
        int width;
        CellKind kind = CellKind::Text;
        bool sortable = false;
    };

    explicit ItemListWidget(QWidget *parent = nullptr);
    ~ItemListWidget() override;

    // One addition (one pair of notifications, one duplicates count). A path that may stand for an item whose
    // name does not survive bytes -> text -> bytes is left out and counted in the warning.
    void addFiles(const QStringList &paths);
    // The toolbar's "添加文件": the file dialog, from the desktop. "添加文件夹": the folder picker; the chosen
    // folders themselves in folder mode, all files below them otherwise, as one addition.
    void addFromFileDialog();
    void addFromFolderPicker();
    // Paths handed to the program (its command line, another start) as one addition, taken as a drop takes
    // them: files and all files below folders in file mode, only folders in folder mode.
    void addGivenPaths(const QStringList &paths);
    void clearList();
    QStringList listedPaths() const;
    // Takes the selected rows out of the list (Delete); their items stay on disk.
    void removeSelectedRows();

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }

    CustomTabelWidget *table() const;

    // Re-reads a row from its record; rows are never recreated.
    void refreshRow(int row);
    void refreshRows();

    // True while a job works through the rows: rows must not come, go or move under it.
    bool isBusy() const { return m_busy; }

    // The paths a drop of these URLs adds, in drop order: files, and all files below dropped folders, in
    // file mode; only folders in folder mode. Vanished paths and non-local URLs are left out.
    // unsafe, when given, is increased by the items left out because their names do not survive
    // bytes -> text -> bytes.
    QStringList dropPaths(const QList<QUrl> &urls, int *unsafe = nullptr) const;

    static QString unsafeNamesMessage(int count);

    // What the count line above the list says for count rows: "共38个文件", "共5个文件夹".
    virtual QString countText(int count) const;
    // The short summary of a finished job: "已完成：成功36个，失败2个"; after an undo "已撤销：恢复36个，失败2个".
    static QString jobSummary(int succeeded, int failed, bool undo = false);

signals:
    void canUndo(bool isCan);
    void tabelEmpty(bool isEmpty);
    // A job of the list is over: its summary, and the file it wrote when it wrote one.
    void jobFinished(const QString &summary, const QString &writtenFile);

public slots:
    void onSortChanged(int dstIndex, int SrcIndex);
    // Items renamed by any page ("ITEMS RENAMED"): rows on them or below them take their new paths.
    void onItemsRenamed(const QString &valueName, const QString &valueObj, const QVariant &value);

protected:
    // Builds the table's columns; call once from the subclass's constructor. fittingColumn gives up width
    // in a narrow list so the status and action cells stay in view (-1: none).
    void setColumns(const QVector<Column> &columns, int fittingColumn = -1, bool rowDrag = true);
    int statusColumn() const { return m_statusColumn; }

    // The record side, kept by RecordListWidget.
    virtual int recordCount() const = 0;
    virtual QString recordPath(int index) const = 0;
    virtual QString recordId(int index) const = 0;
    virtual void appendRecord(const QString &path) = 0;
    virtual void removeRecord(int index) = 0;
    virtual void moveRecord(int from, int to) = 0;
    virtual void clearRecords() = 0;
    // Sorts the records by a sortable column; false leaves them as they were.
    virtual bool sortRecords(int column, bool descending) = 0;
    // Puts record row into the row's cells (the base fills ids, the status cell and the action cell).
    virtual void fillRow(int row, const QIcon &icon) = 0;
    virtual int recordStatus(int row) const = 0;
    // The item of record index now lives at newPath (itself renamed, or a folder above it).
    virtual void relocateRecord(int index, const QString &newPath);
    // Another list renamed items: whatever else this list keeps by path (undo histories) follows them.
    virtual void followMoves(const ItemMoves &moves);
    // An in-place edit committed into an editable cell of row's record.
    virtual void onCellEdited(int row, QTableWidgetItem *item);
    // The list is emptied: undo histories and whatever else belongs to the rows go too.
    virtual void onCleared() {}

    int indexOfId(const QString &id) const;
    QIcon iconOf(const QString &path);
    // Tells every other list that items were renamed on disk (see onItemsRenamed).
    void announceMoves(const QVector<QPair<QString, QString>> &moves) const;
    // Shows a row's status at once, without a change notice per cell (the job's pacer repaints).
    void showStatus(int row, int status);
    void setBusy(bool busy) { m_busy = busy; }

    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addGathered(const QStringList &paths, int unsafe);
    void gather(const QString &path, QStringList *paths, int *unsafe) const;
    QStringList filesBelow(const QStringList &folders, int *unsafe) const;
    void appendRows(const QStringList &paths);
    void fillBaseCells(int row);
    void reorderRows();
    void showTableIfFilled();
    void askForItems();
    void onSortIndicatorChanged(int logicalIndex);
    void onItemEdited(QTableWidgetItem *item);
    void onDeleteFile();
    void afterRemoval();
    void onOpenDir();
    void commitOpenEditor();

    Ui::ItemListWidget *ui;
    FileIconCache m_icons;
    QVector<Column> m_columns;
    int m_statusColumn = -1;
    int m_operateColumn = -1;
    int m_sortedColumn = -1;
    bool m_sortedDescending = false;
    bool m_folderMode = false;
    bool m_busy = false;
    HubSubscription m_moves;
};
