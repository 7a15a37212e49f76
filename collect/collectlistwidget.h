#pragma once

#include "hub/hubsubscription.h"
#include "fileops/filetimeentry.h"
#include "filelist/recordlistwidget.h"

#include <QVariant>

// The list of a collect page: one row per gathered file (or folder) with its path and times. On the start
// request of its own page it hands its rows to an export on a worker thread; the rows show "进行中" until
// that export reports back, then "成功" or "失败". While an export of the list runs, the list takes no
// additions, removals or moves, so the statuses land on the rows that were written.
class CollectListWidget : public RecordListWidget<FileTimeEntry>
{
    Q_OBJECT
public:
    enum Column { NameColumn, PathColumn, BirthColumn, ModifiedColumn, StatusColumn, OperateColumn, ColumnCount };

    explicit CollectListWidget(QWidget *parent = nullptr);

    FileTimeEntryList &entries() { return m_records; }
    const FileTimeEntryList &entries() const { return m_records; }

    // Starts an export of every row with the settings of this list's page. A start while another export of
    // this list runs writes a second file; the rows settle once both have reported.
    void runCollectExport();
    bool isExporting() const { return m_runningExports > 0; }

    // The summary of one export: the name of the file written, or that none was.
    static QString exportSummary(const QString &writtenFile);

signals:
    // True when the first export of a run starts, false when the last one has reported.
    void exportRunning(bool running);

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value);

protected:
    FileTimeEntry makeRecord(const QString &path) const override;
    void fillRow(int row, const QIcon &icon) override;
    bool sortRecords(int column, bool descending) override;
    void customEvent(QEvent *event) override;

private:
    void finishExport(bool saved);
    void showAllStatuses(int status);

    int m_runningExports = 0;
    bool m_anyExportFailed = false;
    HubSubscription m_subscription;
};
