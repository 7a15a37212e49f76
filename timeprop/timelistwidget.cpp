#include "timelistwidget.h"

#include "hub/channels.h"
#include "jobs/jobpacer.h"
#include "filelist/customtabelwidget.h"
#include "filelist/listsorter.h"
#include "metadata/photodatereader.h"
#include "timeprop/timejob.h"
#include "timeprop/timepreviewdelegate.h"
#include "timeprop/timesettings.h"

#include <QSignalBlocker>
#include <QTableWidgetItem>

#include <limits>

namespace {

// Whether two times certainly read the same, told without formatting them: comparing times of different
// kinds converts them, which costs more than the text.
bool sameTime(const QDateTime &a, const QDateTime &b)
{
    const Qt::TimeSpec spec = a.timeSpec();
    if (spec != b.timeSpec() || spec == Qt::TimeZone)
        return false;
    return (spec != Qt::OffsetFromUTC || a.offsetFromUtc() == b.offsetFromUtc()) && a == b;
}

constexpr qint64 NoTime = std::numeric_limits<qint64>::min();

// The second a time reads on the wall clock, counted from 1970: two times read the same text exactly when they
// have one. A time with its offset on record needs no calendar for it; a local one is read from its fields.
qint64 wallClockSecond(const QDateTime &time)
{
    if (!time.isValid())
        return NoTime;
    const Qt::TimeSpec spec = time.timeSpec();
    if (spec == Qt::OffsetFromUTC || spec == Qt::UTC) {
        const qint64 msecs = time.toMSecsSinceEpoch() + qint64(time.offsetFromUtc()) * 1000;
        return msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
    }
    constexpr qint64 JulianDayOf1970 = 2440588;
    return (time.date().toJulianDay() - JulianDayOf1970) * 86400 + time.time().msecsSinceStartOfDay() / 1000;
}

} // namespace

// The text of the time last formatted for a column: after a tick every row shows the same chosen time.
struct TimeListWidget::TextCache
{
    qint64 second = ShownCell::NotKnown;
    QString text;

    const QString &textOf(const QDateTime &dateTime, qint64 wallClock)
    {
        if (wallClock != second) {
            second = wallClock;
            text = fileTimeText(dateTime);
        }
        return text;
    }
};

TimeListWidget::TimeListWidget(QWidget *parent)
    : RecordListWidget<FileTimeEntry>(parent),
      m_photos(new PhotoDateReader(this)),
      m_subscription(this,
                     QStringList{Channel::FileTimeProperty, Channel::FolderTimeProperty, Channel::StartChangeDate})
{
    // The times are shown as text, not edited in place: a run writes the panel's times, not the rows'.
    setColumns({{QStringLiteral("文件名称"), 200, CellKind::Text, true},
                {QStringLiteral("创建时间"), 240, CellKind::Text, true},
                {QStringLiteral("修改时间"), 240, CellKind::Text, true},
                {QStringLiteral("状态"), 100, CellKind::Status},
                {QStringLiteral("操作"), 150, CellKind::Operate}},
               NameColumn, false);
    auto *preview = new TimePreviewDelegate(table());
    table()->setItemDelegateForColumn(CreationColumn, preview);
    table()->setItemDelegateForColumn(ModificationColumn, preview);
    m_previewTimer.setSingleShot(true);
    m_previewTimer.setInterval(0);
    connect(&m_previewTimer, &QTimer::timeout, this, [this] { applyTimeSettings(pageSettings()); });
    connect(m_photos, &PhotoDateReader::finished, this, &TimeListWidget::onPhotoDatesRead);
}

bool TimeListWidget::isReadingPhotoDates() const
{
    return m_photos->isReading();
}

const TimeSettings &TimeListWidget::pageSettings() const
{
    return timeSettings(folderMode());
}

FileTimeEntry TimeListWidget::makeRecord(const QString &path) const
{
    // A row added while a time is ticked shows that time at once, as a run would give it.
    FileTimeEntryList added{makeFileTimeEntry(path)};
    if (!::applyTimeSettings(added, pageSettings(), &m_photos->cache()))
        m_previewTimer.start();
    return added.first();
}

void TimeListWidget::fillRow(int row, const QIcon &icon)
{
    CustomTabelWidget *t = table();
    const FileTimeEntry &entry = m_records.at(row);
    QTableWidgetItem *name = t->item(row, NameColumn);
    name->setIcon(icon);
    name->setText(entry.name);
    // The row's cells are new, or show another record now: they are filled whatever they showed.
    if (ShownRow *shown = shownRow(row))
        *shown = ShownRow();
    TextCache creation;
    TextCache modification;
    showTimes(row, entry, creation, modification);
}

TimeListWidget::ShownRow *TimeListWidget::shownRow(int row)
{
    return m_shown.size() == m_records.size() ? &m_shown[row] : nullptr;
}

void TimeListWidget::forgetShownCells()
{
    m_shown.clear();
}

void TimeListWidget::showTimes(int row, const FileTimeEntry &entry, TextCache &creation, TextCache &modification)
{
    const TimeSettings &settings = pageSettings();
    ShownRow *shown = shownRow(row);
    showTime(row, CreationColumn, entry.creation, entry.creationOnDisk,
             settings.setCreation ? entry.timeNote : QString(), creation, shown ? &shown->creation : nullptr);
    showTime(row, ModificationColumn, entry.modification, entry.modificationOnDisk,
             settings.setModification ? entry.timeNote : QString(), modification,
             shown ? &shown->modification : nullptr);
}

void TimeListWidget::showTime(int row, int column, const QDateTime &time, const QDateTime &onDisk,
                              const QString &note, TextCache &texts, ShownCell *shown)
{
    const qint64 second = wallClockSecond(time);
    const qint64 onDiskSecond = sameTime(onDisk, time) ? second : wallClockSecond(onDisk);
    const ShownCell now{second, onDiskSecond == second ? NoTime : onDiskSecond, !note.isEmpty()};
    // Only what a cell does not show yet is written: reading or writing thousands of cells costs more than the
    // job's own calls. A note may have changed its words. The list sorts by its records, not by the cells.
    const ShownCell was = shown ? *shown : ShownCell();
    if (was == now && !now.noted)
        return;
    QTableWidgetItem *item = table()->item(row, column);
    if (!item)
        return;
    if (was.time != now.time)
        item->setText(texts.textOf(time, second));
    if (was.onDisk != now.onDisk)
        item->setData(TimePreviewDelegate::OnDiskRole,
                      now.onDisk == NoTime ? QVariant() : QVariant(fileTimeText(onDisk)));
    if (was.noted || now.noted)
        item->setData(TimePreviewDelegate::NoteRole, now.noted ? QVariant(note) : QVariant());
    if (shown)
        *shown = now;
}

void TimeListWidget::showJobRow(int row, TextCache &creation, TextCache &modification)
{
    CustomTabelWidget *t = table();
    if (row >= t->rowCount())
        return;
    const FileTimeEntry &entry = m_records.at(row);
    showTimes(row, entry, creation, modification);
    t->setStatusCell(row, StatusColumn, entry.status);
    t->item(row, StatusColumn)
        ->setData(Qt::ToolTipRole, entry.status == StatusSkipped ? QVariant(entry.timeNote) : QVariant());
}

void TimeListWidget::showAllTimes()
{
    CustomTabelWidget *t = table();
    const int rows = qMin(m_records.size(), t->rowCount());
    // From here on the list knows what its time cells show.
    if (m_shown.size() != m_records.size())
        m_shown = QVector<ShownRow>(m_records.size());
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
    forgetShownCells();
    switch (column) {
    case NameColumn:
        ListSorter::sortByText(
            m_records, [](const FileTimeEntry &e) { return e.name; }, descending);
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

void TimeListWidget::appendRecord(const QString &path)
{
    forgetShownCells();
    RecordListWidget<FileTimeEntry>::appendRecord(path);
}

void TimeListWidget::removeRecord(int index)
{
    forgetShownCells();
    RecordListWidget<FileTimeEntry>::removeRecord(index);
}

void TimeListWidget::moveRecord(int from, int to)
{
    forgetShownCells();
    RecordListWidget<FileTimeEntry>::moveRecord(from, to);
}

void TimeListWidget::onCleared()
{
    forgetShownCells();
    m_history.clear();
    m_photos->clear();
}

void TimeListWidget::renameRecord(FileTimeEntry &entry, const QString &oldName, const QString &newName)
{
    RecordListWidget<FileTimeEntry>::renameRecord(entry, oldName, newName);
    // A new name may hold another date, and a new path is not what the dates taken were read for.
    m_previewTimer.start();
}

void TimeListWidget::onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value)
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
    m_previewTimer.stop();
    const bool complete = ::applyTimeSettings(m_records, settings, &m_photos->cache());
    showAllTimes();
    if (!complete)
        readPhotoDates();
}

void TimeListWidget::readPhotoDates()
{
    QStringList paths;
    paths.reserve(m_records.size());
    for (const FileTimeEntry &entry : qAsConst(m_records))
        paths.append(entry.path);
    m_photos->read(paths);
}

void TimeListWidget::onPhotoDatesRead()
{
    const bool start = m_startWhenRead;
    m_startWhenRead = false;
    // Rows added during the read are read next.
    applyTimeSettings(pageSettings());
    if (start && !isReadingPhotoDates())
        runTimeJob(false);
    else if (start)
        m_startWhenRead = true;
}

void TimeListWidget::undoTimeJob()
{
    if (!m_history.canUndo())
        return;
    runTimeJob(true);
}

void TimeListWidget::runTimeJob(bool undoing)
{
    // The preview's dates taken come first: the run gives the rows what they showed.
    if (!undoing && isReadingPhotoDates()) {
        m_startWhenRead = true;
        return;
    }
    // The run keeps the settings it started with, whatever reaches the page's record meanwhile.
    const TimeSettings settings = pageSettings();
    TimeJobResult result;
    const bool ran = runJob([&, this](JobPacer &pacer, JobFailureReporter &reporter) {
        // The pacer repaints the view; a change notice per cell would cost more than the job's own calls.
        const QSignalBlocker quiet(table()->model());
        TextCache creation;
        TextCache modification;
        // The rows the job has reported are shown a chunk at a time, not between its calls on the disk; a
        // failed row at once, before its warning.
        constexpr int ChunkRows = 64;
        QVector<int> reported;
        reported.reserve(ChunkRows);
        const auto showReported = [&, this] {
            for (int row : qAsConst(reported))
                showJobRow(row, creation, modification);
            reported.clear();
        };
        const TimeJob::RowCallback onRow = [&](int row, const FileTimeEntry &, TimeRowOutcome outcome) {
            reported.append(row);
            const bool warned = outcome == TimeRowOutcome::Failed || outcome == TimeRowOutcome::Missing;
            if (warned || reported.size() >= ChunkRows)
                showReported();
            pacer.step();
        };
        result = undoing ? TimeJob::undo(m_records, m_history, onRow, reporter)
                         : TimeJob::run(m_records, settings, m_history, onRow, reporter, &m_photos->cache());
        showReported();
    });
    if (ran)
        emit jobFinished(jobSummary(result.done, result.failed, undoing), QString());
}
