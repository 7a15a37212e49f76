#include "timelistwidget.h"

#include "hub/channels.h"
#include "jobs/jobpacer.h"
#include "filelist/customtabelwidget.h"
#include "filelist/listsorter.h"
#include "filelist/tableroles.h"
#include "timeprop/timejob.h"
#include "timeprop/timesettings.h"

#include <QSignalBlocker>
#include <QTableWidgetItem>

namespace {

// A time cell shows its text and keeps the same text as its sort key.
void setTimeCell(QTableWidgetItem *item, const QString &text)
{
    if (!item || item->text() == text)
        return;
    item->setText(text);
    item->setData(TableRole::SortKey, text);
}

} // namespace

// The text of the time last formatted for a column: after a tick every row shows the same chosen time.
struct TimeListWidget::TextCache
{
    QDate date;
    QTime time;
    QString text;

    const QString &textOf(const QDateTime &dateTime)
    {
        const QDate d = dateTime.date();
        const QTime t = dateTime.time();
        if (text.isNull() || d != date || t.hour() != time.hour() || t.minute() != time.minute()
            || t.second() != time.second()) {
            date = d;
            time = t;
            text = fileTimeText(dateTime);
        }
        return text;
    }
};

TimeListWidget::TimeListWidget(QWidget *parent)
    : RecordListWidget<FileTimeEntry>(parent),
      m_subscription(this, QStringList{Channel::FileTimeProperty, Channel::FolderTimeProperty,
                                       Channel::StartChangeDate})
{
    // The times are shown as text, not edited in place: a run writes the panel's times, not the rows'.
    setColumns({{QStringLiteral("文件名称"), 200, CellKind::Text, true},
                {QStringLiteral("创建时间"), 240, CellKind::Text, true},
                {QStringLiteral("修改时间"), 240, CellKind::Text, true},
                {QStringLiteral("状态"), 100, CellKind::Status},
                {QStringLiteral("操作"), 150, CellKind::Operate}},
               NameColumn, false);
}

const TimeSettings &TimeListWidget::pageSettings() const
{
    return timeSettings(folderMode());
}

FileTimeEntry TimeListWidget::makeRecord(const QString &path) const
{
    FileTimeEntry entry = makeFileTimeEntry(path);
    // A row added while a time is ticked shows that time at once, as a run would give it.
    const TimeSettings &settings = pageSettings();
    if (settings.setCreation)
        entry.creation = settings.creation;
    if (settings.setModification)
        entry.modification = settings.modification;
    return entry;
}

void TimeListWidget::fillRow(int row, const QIcon &icon)
{
    CustomTabelWidget *t = table();
    const FileTimeEntry &entry = m_records.at(row);
    QTableWidgetItem *name = t->item(row, NameColumn);
    name->setIcon(icon);
    name->setText(entry.name);
    TextCache creation;
    TextCache modification;
    showTimes(row, entry, creation, modification);
}

void TimeListWidget::showTimes(int row, const FileTimeEntry &entry, TextCache &creation, TextCache &modification)
{
    CustomTabelWidget *t = table();
    setTimeCell(t->item(row, CreationColumn), creation.textOf(entry.creation));
    setTimeCell(t->item(row, ModificationColumn), modification.textOf(entry.modification));
}

void TimeListWidget::showAllTimes()
{
    CustomTabelWidget *t = table();
    const int rows = qMin(m_records.size(), t->rowCount());
    {
        // One repaint for the whole list instead of a change notice per cell.
        const QSignalBlocker quiet(t->model());
        TextCache creation;
        TextCache modification;
        for (int row = 0; row < rows; ++row)
            showTimes(row, m_records.at(row), creation, modification);
    }
    t->viewport()->update();
}

bool TimeListWidget::sortRecords(int column, bool descending)
{
    if (isRunning())
        return false;
    switch (column) {
    case NameColumn:
        ListSorter::sortByText(m_records, [](const FileTimeEntry &e) { return e.name; }, descending);
        return true;
    case CreationColumn:
        sortByTime(m_records, &FileTimeEntry::creation, descending);
        return true;
    case ModificationColumn:
        sortByTime(m_records, &FileTimeEntry::modification, descending);
        return true;
    default:
        return false;
    }
}

void TimeListWidget::onCleared()
{
    m_history.clear();
}

void TimeListWidget::onPropertyValueChanged(const QString &valueName, const QString &valueObj,
                                            const QVariant &value)
{
    Q_UNUSED(valueObj)
    if (holdDuringJob(valueName, value, Channel::StartChangeDate))
        return;
    if (valueName == Channel::StartChangeDate) {
        if (value.toBool() == folderMode())
            runTimeJob(false);
        return;
    }
    const bool ownPage = valueName == (folderMode() ? Channel::FolderTimeProperty : Channel::FileTimeProperty);
    if (ownPage)
        applyTimeSettings(pageSettings());
}

void TimeListWidget::applyTimeSettings(const TimeSettings &settings)
{
    ::applyTimeSettings(m_records, settings);
    showAllTimes();
}

void TimeListWidget::undoTimeJob()
{
    if (!m_history.canUndo())
        return;
    runTimeJob(true);
}

void TimeListWidget::runTimeJob(bool undoing)
{
    // The run keeps the settings it started with, whatever reaches the page's record meanwhile.
    const TimeSettings settings = pageSettings();
    TimeJobResult result;
    const bool ran = runJob([&, this](JobPacer &pacer, JobFailureReporter &reporter) {
        TextCache creation;
        TextCache modification;
        const TimeJob::RowCallback onRow = [&, this](int row, const FileTimeEntry &entry, TimeRowOutcome) {
            if (row < table()->rowCount()) {
                // The pacer repaints the view; a change notice per cell would cost more than the job's call.
                const QSignalBlocker quiet(table()->model());
                showTimes(row, entry, creation, modification);
            }
            showStatus(row, entry.status);
            pacer.step();
        };
        result = undoing ? TimeJob::undo(m_records, m_history, onRow, reporter)
                         : TimeJob::run(m_records, settings, m_history, onRow, reporter);
    });
    if (ran)
        emit jobFinished(jobSummary(result.done, result.failed, undoing), QString());
}
