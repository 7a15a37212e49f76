#pragma once

#include <QIcon>
#include <QWidget>

namespace Ui {
class TimePageWidget;
}

class TimeListWidget;

// The left side of a time page: the toolbar and the list.
class TimePageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TimePageWidget(QWidget *parent = nullptr);
    ~TimePageWidget() override;

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }
    TimeListWidget *fileList() const;

signals:
    void tabelEmpty(bool isEmpty);

private slots:
    void on_addFile_clicked();
    void on_addFolder_clicked();
    void on_undo_clicked();
    void on_clearList_clicked();

private:
    void setUndoEnabled(bool enabled);

    Ui::TimePageWidget *ui;
    // Made once: a new icon on every run would render its picture again.
    QIcon m_undoIcon;
    QIcon m_disabledUndoIcon;
    bool m_folderMode = false;
};
