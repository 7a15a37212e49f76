#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class ListStatusLine;
}

class ItemListWidget;

// The line above a list: how many items it holds ("共38个文件"), and once a job of the list is over, its
// summary ("已完成：成功36个，失败2个"), with a button that shows the written file in the file manager when
// the job wrote one. Nothing here asks for an answer; the summary goes when the rows change.
class ListStatusLine : public QWidget
{
    Q_OBJECT
public:
    explicit ListStatusLine(QWidget *parent = nullptr);
    ~ListStatusLine() override;

    // Follows list from now on; call once.
    void setList(ItemListWidget *list);
    // Shows the count again, for a list whose kind of items changed (files or folders).
    void updateCount();

    QString countText() const;
    QString summaryText() const;
    // The file the last job wrote, offered while its summary is shown; empty for none.
    QString writtenFile() const { return m_writtenFile; }

private slots:
    void on_showFileBtn_clicked();

private:
    void showSummary(const QString &summary, const QString &writtenFile);
    void hideSummary();

    Ui::ListStatusLine *ui;
    ItemListWidget *m_list = nullptr;
    QString m_writtenFile;
};
