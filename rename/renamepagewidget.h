#pragma once

#include <QWidget>

namespace Ui {
class RenamePageWidget;
}

class FileListWidget;

// The left side of a rename page: the toolbar and the list.
class RenamePageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit RenamePageWidget(QWidget *parent = nullptr);
    ~RenamePageWidget() override;

    void setFolderMode(bool folderMode);
    FileListWidget *fileList() const;

signals:
    void tabelEmpty(bool isEmpty);

private slots:
    void on_addFile_clicked();
    void on_addFolder_clicked();
    void on_undo_clicked();
    void on_clearList_clicked();

private:
    void setUndoEnabled(bool enabled);
    // The count line above the list: what the list's conflict check found, hidden when it found nothing.
    void showConflictSummary(const QString &summary, bool willFail);

    Ui::RenamePageWidget *ui;
    bool m_folderMode = false;
};
