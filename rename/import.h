#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace Ui {
class Import;
}

// The import page of the rename panel: the user chooses an .xlsx workbook, its rows are read in the
// background, and the first text of every row is sent on "IMPORT EXCEL RENAME" as the new names, in row
// order, with the page's folder mode. Reader errors are sent on "MESSAGE ERROR TIP". The chosen path is the
// text of replaceExcelLabel. Without a workbook the page sends no names, so the list renames nothing.
class Import : public QWidget
{
    Q_OBJECT
public:
    explicit Import(QWidget *parent = nullptr);
    ~Import() override;

    QString workbookPath() const;
    // Shows path as the chosen workbook and starts reading it; an empty path (a cancelled dialog) changes
    // nothing.
    void setWorkbook(const QString &path);
    // Forgets the workbook and its names; sends nothing.
    void forgetWorkbook();
    // Sends the names of the workbook shown (none without one) as the proposals of the page's list.
    void announceNames();
    // The rename page this page serves; the names it sends are marked with it so that only that page's list
    // takes them.
    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }
    // Puts the page back to its recorded defaults (no workbook).
    void restoreRecordedDefaults();

    // The names of the rows of a read: the first text of each row, empty for a row without cells.
    static QStringList namesOfRows(const QVariantList &rows);

protected:
    void customEvent(QEvent *event) override;

private slots:
    void on_importExcelBtn_clicked();
    void on_changeExcelBtn_clicked();
    void on_replaceExcelLabel_clicked();
    void on_deleteExcelBtn_clicked();
    void on_openDirBtn_clicked();

private:
    friend class WorkbookRead;
    void chooseWorkbook();
    void showWorkbook(const QString &path);
    void handleReadEvent(QEvent *event);

    Ui::Import *ui;
    // The read of the workbook shown; replacing or forgetting the workbook drops it, and with it whatever
    // an earlier, slower read would still deliver.
    QPointer<QObject> m_currentRead;
    QStringList m_names; // of the workbook shown, once read
    bool m_folderMode = false;
};
