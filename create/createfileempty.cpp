#include "createfileempty.h"

#include "hub/channels.h"
#include "fileops/datapaths.h"
#include "jobs/jobpacer.h"
#include "create/creationjob.h"
#include "filelist/customtabelwidget.h"
#include "filelist/listsorter.h"
#include "filelist/operatewidget.h"
#include "filelist/tableroles.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidgetItem>
#include <QUuid>

namespace {

QString pathText(const CreationPlan &plan, const PlannedItem &item)
{
    return plan.targetFolder + QLatin1Char('/') + item.name;
}

// Rows show a plan: nothing in them is edited, and a disabled item cannot be selected either.
QTableWidgetItem *planCell()
{
    auto *item = new QTableWidgetItem;
    item->setFlags(item->flags() & ~(Qt::ItemIsEditable | Qt::ItemIsEnabled));
    return item;
}

} // namespace

CreateFileEmpty::CreateFileEmpty(QWidget *parent)
    : ItemListWidget(parent),
      m_runner([this](const QString &key, const QVariant &value) {
          onPropertyValueChanged(key, Channel::RenameValueUpdate, value);
      }),
      m_subscription(this, QStringList{Channel::ImportCreateExcelRename, Channel::CustomCreateExcelRename,
                                       Channel::StartCreateData})
{
    setColumns({{QStringLiteral("文件名称"), 200, CellKind::Text, true},
                {QStringLiteral("文件路径"), 240, CellKind::Text, true},
                {QStringLiteral("状态"), 240, CellKind::Status},
                {QStringLiteral("操作"), 100, CellKind::Operate}},
               PathColumn, false);
    table()->operateWidget()->setOpenVisible(false);
    table()->operateWidget()->setSortVisible(false);

    // The list only shows what the creation pages plan: no drops, and the placeholder is not a button.
    setAcceptDrops(false);
    if (auto *area = findChild<QWidget *>(QStringLiteral("addFileAreaWidget"))) {
        area->removeEventFilter(this);
        area->setCursor(Qt::ArrowCursor);
        area->setEnabled(false);
    }
    if (auto *icon = findChild<QWidget *>(QStringLiteral("addFileIcoWidget")))
        icon->setFixedSize(200, 200);
    if (auto *tip = findChild<QLabel *>(QStringLiteral("addFileTipLabel"))) {
        tip->setText(QStringLiteral("暂无文件信息~"));
        tip->setAlignment(Qt::AlignCenter);
    }
}

QString CreateFileEmpty::recordPath(int index) const
{
    return pathText(m_currentPlan, m_currentPlan.items.at(index));
}

void CreateFileEmpty::appendRecord(const QString &path)
{
    m_currentPlan.items.append({QFileInfo(path).completeBaseName(), QUuid::createUuid().toString(), StatusPending});
}

void CreateFileEmpty::moveRecord(int from, int to)
{
    m_currentPlan.items.insert(to, m_currentPlan.items.takeAt(from));
}

bool CreateFileEmpty::sortRecords(int column, bool descending)
{
    if (isCreating() || (column != NameColumn && column != PathColumn))
        return false;
    // Every row has the same folder, so both columns order by the name.
    ListSorter::sortByText(m_currentPlan.items, [](const PlannedItem &item) { return item.name; }, descending);
    return true;
}

void CreateFileEmpty::fillRow(int row, const QIcon &icon)
{
    Q_UNUSED(icon)
    CustomTabelWidget *t = table();
    const PlannedItem &item = m_currentPlan.items.at(row);
    QTableWidgetItem *name = t->item(row, NameColumn);
    name->setIcon(typeIcon(m_currentPlan.creationType));
    name->setText(item.name);
    name->setData(TableRole::Id, item.id);
    QTableWidgetItem *path = t->item(row, PathColumn);
    path->setText(pathText(m_currentPlan, item));
    path->setData(TableRole::Id, item.id);
    t->item(row, OperateColumn)->setData(TableRole::Id, item.id);
    t->setStatusCell(row, StatusColumn, item.status);
}

void CreateFileEmpty::rebuildRows()
{
    CustomTabelWidget *t = table();
    const int rows = m_currentPlan.items.size();
    t->setRowCount(0);
    t->setRowCount(rows);
    {
        // The view learnt the row count above; one repaint afterwards instead of a notice per cell.
        const QSignalBlocker quiet(t->model());
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < ColumnCount; ++column)
                t->setItem(row, column, planCell());
            fillRow(row, QIcon());
        }
    }
    t->viewport()->update();
    showRows(rows > 0);
    // The start button follows the plan: with nothing planned (a count of 0) there is nothing to start.
    emit tabelEmpty(rows == 0);
}

void CreateFileEmpty::showRows(bool filled)
{
    if (auto *empty = findChild<QWidget *>(QStringLiteral("emptyList")))
        empty->setVisible(!filled);
    table()->setVisible(filled);
}

QIcon CreateFileEmpty::typeIcon(int creationType)
{
    if (creationType == m_rowIconType)
        return m_rowIcon;
    m_rowIconType = creationType;
    if (creationType == CreateFolder) {
        m_rowIcon = QFileIconProvider().icon(QFileIconProvider::Folder);
    } else {
        const QString relative = creationTemplate(creationType);
        const QString found = m_dataFolder.isEmpty() ? QString() : DataPaths::find(relative, {m_dataFolder});
        m_rowIcon = iconOf(found.isEmpty() ? relative : found);
    }
    return m_rowIcon;
}

void CreateFileEmpty::adopt(const CreationPlan &plan)
{
    m_currentPlan = plan;
    for (PlannedItem &item : m_currentPlan.items)
        item.status = StatusPending;
    rebuildRows();
}

void CreateFileEmpty::onPropertyValueChanged(const QString &valueName, const QString &valueObj,
                                             const QVariant &value)
{
    Q_UNUSED(valueObj)
    // A start while a job runs is not a request to run another one inside it.
    if (isCreating() && valueName == Channel::StartCreateData)
        return;
    // A plan announced meanwhile (a workbook read that ends) is adopted once the job is over.
    if (m_runner.defer(valueName, value))
        return;
    if (valueName == Channel::ImportCreateExcelRename)
        adopt(importPlan());
    else if (valueName == Channel::CustomCreateExcelRename)
        adopt(customPlan());
    else if (valueName == Channel::StartCreateData)
        runCreationJob();
}

void CreateFileEmpty::onPageChanged(QString pageName)
{
    if (isCreating())
        return;
    if (pageName == QLatin1String("importCreatePage"))
        adopt(importPlan());
    else if (pageName == QLatin1String("custormCreatePage"))
        adopt(customPlan());
    else
        rebuildRows();
}

QString CreateFileEmpty::templateFile() const
{
    const QString relative = creationTemplate(m_currentPlan.creationType);
    if (m_currentPlan.creationType == CreateFolder || relative.isEmpty())
        return QString();
    return m_dataFolder.isEmpty() ? DataPaths::find(relative) : DataPaths::find(relative, {m_dataFolder});
}

void CreateFileEmpty::runCreationJob()
{
    if (isCreating() || m_currentPlan.items.isEmpty())
        return;
    CreationJobResult result;
    const bool ran = m_runner.run(table()->viewport(), [&, this](JobPacer &pacer, JobFailureReporter &reporter) {
        setBusy(true);
        const CreationRowCallback onRow = [this, &pacer](int row, const PlannedItem &item, CreationOutcome,
                                                         const QString &) {
            showStatus(row, item.status);
            pacer.step();
        };
        result = ::runCreationJob(m_currentPlan, templateFile(), onRow, reporter);
        setBusy(false);
    });
    if (ran)
        emit jobFinished(jobSummary(result.created, result.failed), QString());
}

QString CreateFileEmpty::countText(int count) const
{
    return QStringLiteral("共%1个项目").arg(count);
}
