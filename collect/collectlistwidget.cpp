#include "collectlistwidget.h"

#include "collect/collectexport.h"
#include "collect/collectsettings.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "hub/mycustomevent.h"
#include "hub/mydialogmessageevent.h"
#include "filelist/customtabelwidget.h"
#include "filelist/listsorter.h"

#include <QFileInfo>
#include <QSignalBlocker>
#include <QTableWidgetItem>

#include <algorithm>

namespace {

const QString TimeFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(TimeFormat) : QString();
}

// Orders by a time; an unknown time comes before every known one.
template<typename TimeFn>
void sortByTime(FileTimeEntryList &records, TimeFn time, bool descending)
{
    std::stable_sort(records.begin(), records.end(), [&](const FileTimeEntry &a, const FileTimeEntry &b) {
        const QDateTime &x = descending ? time(b) : time(a);
        const QDateTime &y = descending ? time(a) : time(b);
        if (!x.isValid() || !y.isValid())
            return !x.isValid() && y.isValid();
        return x < y;
    });
}

} // namespace

CollectListWidget::CollectListWidget(QWidget *parent)
    : RecordListWidget<FileTimeEntry>(parent),
      m_subscription(this, QStringList{Channel::FileCollectProperty, Channel::FolderCollectProperty,
                                       Channel::StartCollectInfo})
{
    setColumns({{QStringLiteral("文件名称"), 120, CellKind::Text, true},
                {QStringLiteral("文件路径"), 180, CellKind::Text, true},
                {QStringLiteral("创建时间"), 180, CellKind::Text, true},
                {QStringLiteral("修改时间"), 100, CellKind::Text, true},
                {QStringLiteral("状态"), 120, CellKind::Status},
                {QStringLiteral("操作"), 150, CellKind::Operate}},
               PathColumn);
}

FileTimeEntry CollectListWidget::makeRecord(const QString &path) const
{
    return makeFileTimeEntry(path);
}

void CollectListWidget::fillRow(int row, const QIcon &icon)
{
    CustomTabelWidget *t = table();
    const FileTimeEntry &entry = m_records.at(row);
    QTableWidgetItem *name = t->item(row, NameColumn);
    name->setIcon(icon);
    name->setText(entry.name);
    t->item(row, PathColumn)->setText(entry.path);
    t->item(row, BirthColumn)->setText(timeText(entry.creation));
    t->item(row, ModifiedColumn)->setText(timeText(entry.modification));
}

bool CollectListWidget::sortRecords(int column, bool descending)
{
    switch (column) {
    case NameColumn:
        ListSorter::sortByText(m_records, [](const FileTimeEntry &e) { return e.name; }, descending);
        return true;
    case PathColumn:
        ListSorter::sortByText(m_records, [](const FileTimeEntry &e) { return e.path; }, descending);
        return true;
    case BirthColumn:
        sortByTime(m_records, [](const FileTimeEntry &e) -> const QDateTime & { return e.creation; }, descending);
        return true;
    case ModifiedColumn:
        sortByTime(m_records, [](const FileTimeEntry &e) -> const QDateTime & { return e.modification; },
                   descending);
        return true;
    default:
        return false;
    }
}

void CollectListWidget::onPropertyValueChanged(const QString &valueName, const QString &valueObj,
                                               const QVariant &value)
{
    Q_UNUSED(valueObj)
    // The settings keys need no answer: an export reads its page's settings when it starts.
    if (valueName == Channel::StartCollectInfo && value.toBool() == folderMode())
        runCollectExport();
}

void CollectListWidget::runCollectExport()
{
    if (m_records.isEmpty())
        return;
    if (m_runningExports == 0) {
        m_anyExportFailed = false;
        setBusy(true);
        emit exportRunning(true);
    }
    ++m_runningExports;
    for (FileTimeEntry &entry : m_records)
        entry.status = StatusRunning;
    showAllStatuses(StatusRunning);
    ::runCollectExport(m_records, collectSettings(folderMode()), folderMode(), this);
}

void CollectListWidget::customEvent(QEvent *event)
{
    if (event->type() == MyDialogMessageEvent::EventType) {
        const QString message = static_cast<MyDialogMessageEvent *>(event)->message();
        CNvGlobalObserver::instance()->notifyObservers(Channel::MessageErrorTip, Channel::NoName, message);
        return;
    }
    if (event->type() == MyCustomEvent::EventType) {
        const auto *done = static_cast<MyCustomEvent *>(event);
        const bool saved = done->result() == 1;
        finishExport(saved);
        // The file may have taken another name than the one asked for: the one written is the one told.
        const QString written = saved ? done->rows().value(0).toString() : QString();
        emit jobFinished(exportSummary(written), written);
        return;
    }
    RecordListWidget<FileTimeEntry>::customEvent(event);
}

QString CollectListWidget::exportSummary(const QString &writtenFile)
{
    if (writtenFile.isEmpty())
        return QStringLiteral("导出失败，未生成文件");
    return QStringLiteral("已导出：%1").arg(QFileInfo(writtenFile).fileName());
}

void CollectListWidget::finishExport(bool saved)
{
    if (m_runningExports == 0)
        return;
    m_anyExportFailed = m_anyExportFailed || !saved;
    if (--m_runningExports > 0)
        return;
    const int status = m_anyExportFailed ? StatusFailed : StatusSuccess;
    for (FileTimeEntry &entry : m_records)
        entry.status = status;
    showAllStatuses(status);
    setBusy(false);
    emit exportRunning(false);
}

void CollectListWidget::showAllStatuses(int status)
{
    const int rows = qMin(m_records.size(), table()->rowCount());
    for (int row = 0; row < rows; ++row)
        showStatus(row, status);
    table()->viewport()->update();
}
