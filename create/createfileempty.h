#pragma once

#include "hub/hubsubscription.h"
#include "jobs/jobrunner.h"
#include "create/creationplan.h"
#include "filelist/itemlistwidget.h"

#include <QIcon>
#include <QVariant>

// The list of the create page. The user never adds to it: it shows the plan last announced by one of the
// two creation pages (or the plan of the page that became visible), one row per planned item, and runs the
// creation job on its own copy of that plan when "开始生成" is pressed. Rows can be sorted by name and
// deleted; nothing in them can be edited or selected.
class CreateFileEmpty : public ItemListWidget
{
    Q_OBJECT
public:
    enum Column { NameColumn, PathColumn, StatusColumn, OperateColumn, ColumnCount };

    explicit CreateFileEmpty(QWidget *parent = nullptr);

    // The plan the rows show and the job works on, with the statuses of the last job.
    const CreationPlan &currentPlan() const { return m_currentPlan; }

    // Recreates every row from the current plan.
    void rebuildRows();
    // Makes every planned item on disk, row by row; the window keeps painting but takes no input until it
    // ends. A call while a job runs is ignored.
    void runCreationJob();
    bool isCreating() const { return m_runner.isRunning(); }
    QString countText(int count) const override;

    // Where the templates are looked for ("<folder>/template/Word.docx"); empty, the default, means the
    // program's data folders.
    void setDataFolder(const QString &folder) { m_dataFolder = folder; }

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value);
    void onPageChanged(QString pageName);

protected:
    int recordCount() const override { return m_currentPlan.items.size(); }
    QString recordPath(int index) const override;
    QString recordId(int index) const override { return m_currentPlan.items.at(index).id; }
    int recordStatus(int row) const override { return m_currentPlan.items.at(row).status; }
    void appendRecord(const QString &path) override;
    void removeRecord(int index) override { m_currentPlan.items.removeAt(index); }
    void moveRecord(int from, int to) override;
    void clearRecords() override { m_currentPlan.items.clear(); }
    bool sortRecords(int column, bool descending) override;
    void fillRow(int row, const QIcon &icon) override;

private:
    void adopt(const CreationPlan &plan);
    void showRows(bool filled);
    QIcon typeIcon(int creationType);
    QString templateFile() const;

    CreationPlan m_currentPlan;
    QIcon m_rowIcon;
    int m_rowIconType = -1;
    QString m_dataFolder;
    JobRunner m_runner;
    HubSubscription m_subscription;
};
