#pragma once

#include "fileentry.h"
#include "fileiconcache.h"

#include <QWidget>

namespace Ui {
class FileListWidget;
}

class CustomTabelWidget;
class QTableWidgetItem;
class QUrl;

// The list of a rename page: one row per gathered file (or folder), with its proposed name, folder,
// status and actions, and an empty area that invites a click or a drop while there are no rows.
class FileListWidget : public QWidget
{
    Q_OBJECT
public:
    enum Column { NameColumn, NewNameColumn, FolderColumn, StatusColumn, OperateColumn, ColumnCount };

    explicit FileListWidget(QWidget *parent = nullptr);
    ~FileListWidget() override;

    void addFiles(const QStringList &paths);
    void clearList();

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }

    // Row i shows entry i.
    FileEntryList &entries() { return m_entries; }
    const FileEntryList &entries() const { return m_entries; }
    CustomTabelWidget *table() const;

    void setNewNameText(int row, const QString &text);
    // Re-reads row from its entry (icon, names, folder, status); rows are never recreated.
    void refreshRow(int row);
    void refreshRows();

    // The paths a drop of this data adds, in drop order: files, and all files below dropped folders, in
    // file mode; only folders in folder mode. Vanished paths and non-local URLs are left out.
    QStringList dropPaths(const QList<QUrl> &urls) const;

signals:
    void canUndo(bool isCan);
    void tabelEmpty(bool isEmpty);

public slots:
    void onSortChanged(int dstIndex, int SrcIndex);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void setUpTable();
    void appendRows(const QStringList &paths);
    void fillRow(int row, const FileEntry &entry, const QIcon &icon);
    void reorderRows();
    void showTableIfFilled();
    void askForItems();
    void sortByColumn(int column);
    void onSortIndicatorChanged(int logicalIndex);
    void onItemEdited(QTableWidgetItem *item);
    void onDeleteFile();
    void onOpenDir();
    int entryIndex(const QString &id) const;

    Ui::FileListWidget *ui;
    FileEntryList m_entries;
    FileIconCache m_icons;
    bool m_folderMode = false;
    int m_sortedColumn = -1;
    bool m_sortedDescending = false;
};
