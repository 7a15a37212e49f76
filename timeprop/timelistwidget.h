#pragma once

#include "hub/hubsubscription.h"
#include "filelist/filetimeentry.h"
#include "filelist/recordlistwidget.h"
#include "timeprop/timehistory.h"

#include <QTimer>
#include <QVariant>

#include <limits>

class PhotoDateReader;

struct TimeSettings;

// The list of a time page: one row per gathered file (or folder) with the creation and modification times
// it will receive, its status and actions. It follows its own page's time settings through the hub, sets
// the times on "START CHANGE DATE" from its own page and undoes its runs newest first.
class TimeListWidget : public RecordListWidget<FileTimeEntry>
{
    Q_OBJECT
public:
    enum Column { NameColumn, CreationColumn, ModificationColumn, StatusColumn, OperateColumn, ColumnCount };

    explicit TimeListWidget(QWidget *parent = nullptr);

    FileTimeEntryList &entries() { return m_records; }
    const FileTimeEntryList &entries() const { return m_records; }

    // Shows in every row the times a run with these settings would give its item; writes nothing. Dates
    // taken that are not read yet are read on a worker thread, and the rows shown again when they are in.
    void applyTimeSettings(const TimeSettings &settings);
    // True while dates taken are read for the preview.
    bool isReadingPhotoDates() const;
    // Sets the ticked times of every row's item, or (undoing) gives back what the newest run changed. The
    // window keeps painting and takes no input until it ends; a call while a job runs is ignored.
    void runTimeJob(bool undoing = false);
    void undoTimeJob();

    bool isRunning() const { return isJobRunning(); }
    // "Start" while dates taken are still read: the run waits for them.
    bool isStartWaiting() const { return m_startWhenRead; }
    int undoDepth() const { return m_history.size(); }

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value) override;

protected:
    FileTimeEntry makeRecord(const QString &path) const override;
    void fillRow(int row, const QIcon &icon) override;
    bool sortRecords(int column, bool descending) override;
    void appendRecord(const QString &path) override;
    void removeRecord(int index) override;
    void moveRecord(int from, int to) override;
    void onCleared() override;
    bool undoAvailable() const override { return m_history.canUndo(); }
    void renameRecord(FileTimeEntry &entry, const QString &oldName, const QString &newName) override;

private:
    struct TextCache;
    // What a time cell shows, known without reading the cell: the wall-clock second its text reads, that of the
    // time on disk shown above it (none: the lowest second), and whether a note is shown beneath it. A cell
    // not known may show anything, a note too.
    struct ShownCell
    {
        static constexpr qint64 NotKnown = std::numeric_limits<qint64>::min() + 1;
        qint64 time = NotKnown;
        qint64 onDisk = NotKnown;
        bool noted = true;

        bool operator==(const ShownCell &other) const
        {
            return time == other.time && onDisk == other.onDisk && noted == other.noted;
        }
    };

    struct ShownRow
    {
        ShownCell creation;
        ShownCell modification;
    };

    const TimeSettings &pageSettings() const;
    // What the time cells of row show, while the list knows it (null: it does not).
    ShownRow *shownRow(int row);
    // Rows came, went or moved: until the next preview the time cells are written whatever they show.
    void forgetShownCells();
    void showTimes(int row, const FileTimeEntry &entry, TextCache &creation, TextCache &modification);
    void showTime(int row, int column, const QDateTime &time, const QDateTime &onDisk, const QString &note,
                  TextCache &texts, ShownCell *shown);
    // A row the job has done: its times, its status, and why it was skipped.
    void showJobRow(int row, TextCache &creation, TextCache &modification);
    void showAllTimes();
    void readPhotoDates();
    void onPhotoDatesRead();

    PhotoDateReader *m_photos;
    mutable QTimer m_previewTimer; // a row added without its date taken asks for one read for the whole list
    bool m_startWhenRead = false;
    TimeHistory m_history;
    QVector<ShownRow> m_shown; // per row while as long as the records, else unknown
    HubSubscription m_subscription;
};
