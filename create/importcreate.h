#pragma once

#include <QPointer>
#include <QVariantList>
#include <QWidget>

namespace Ui {
class ImportCreate;
}

// The "导入创建" page of the create panel: items named by the rows of an .xlsx workbook (the first text of
// each row), of one type, made in a chosen folder. The workbook is read in the background; its rows become
// the import plan, which is announced for the list to show.
class ImportCreate : public QWidget
{
    Q_OBJECT
public:
    explicit ImportCreate(QWidget *parent = nullptr);
    ~ImportCreate() override;

    // The chosen workbook; empty when none is.
    QString workbookPath() const;
    // Shows path as the chosen workbook and starts reading it; an empty path (a cancelled dialog) changes
    // nothing.
    void setWorkbook(const QString &path);
    // Asks for the workbook.
    void pickSpreadsheet();
    // Asks for the target folder; a cancelled dialog changes nothing.
    void pickTargetFolder();
    void setTargetFolder(const QString &folder);
    // Brings the plan in line with the restored controls (no workbook, no items) and announces it.
    void resetImportPlan();

protected:
    void customEvent(QEvent *event) override;

private slots:
    void on_importExcelBtn_clicked();
    void on_changeExcelBtn_clicked();
    void on_replaceExcelLabel_clicked();
    void on_openDirBtn_clicked();
    void on_openPathBtn_clicked();
    void on_replacePathLabel_clicked();
    void on_exportTypeCombox_currentIndexChanged(int index);

private:
    friend class CreationWorkbookRead;
    void handleReadEvent(QEvent *event);
    void adoptRows(const QVariantList &rows);
    void announce();

    Ui::ImportCreate *ui;
    // The read of the workbook shown; choosing another workbook or a reset drops it, and with it whatever
    // an earlier, slower read would still deliver.
    QPointer<QObject> m_currentRead;
};
