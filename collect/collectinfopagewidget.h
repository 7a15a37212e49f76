#pragma once

#include <QWidget>

namespace Ui {
class CollectInfoPageWidget;
}

class CollectListWidget;

// The left side of a collect page: the toolbar and the list.
class CollectInfoPageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CollectInfoPageWidget(QWidget *parent = nullptr);
    ~CollectInfoPageWidget() override;

    void setFolderMode(bool folderMode);
    CollectListWidget *fileList() const;

signals:
    void tabelEmpty(bool isEmpty);

private slots:
    void on_addFile_clicked();
    void on_addFolder_clicked();
    void on_clearList_clicked();

private:
    void setToolbarEnabled(bool enabled);

    Ui::CollectInfoPageWidget *ui;
    bool m_folderMode = false;
};
