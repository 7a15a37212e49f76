#pragma once

#include "fileops/filetimes.h"

#include <QByteArray>
#include <QDateTime>
#include <QPair>
#include <QString>
#include <QVector>

#include <optional>

// What a job that changes the disk is about to do, kept in a file of the per-user data folder while it runs,
// so that a job cut short (the program killed, the power lost) can be put back or finished at the next start.
// The plan is written and flushed to disk before the first change; progress is appended in small batches and
// the file goes when the job ends. While its job runs the file is locked: another instance of the program
// leaves it alone.
class JobJournal
{
public:
    enum Kind { Rename, RenameUndo, Time, TimeUndo, CreateFolders, CreateFiles };

    // One item of the plan. Renames: the item (identity) goes from `from` to `to`. Times: the item at `from`
    // has its times changed from the old ones to the new ones (absent: left alone). Creations: `to` is made.
    struct Item
    {
        QByteArray identity;
        QString from;
        QString to;
        std::optional<FileInstant> oldCreation;
        std::optional<FileInstant> oldWrite;
        std::optional<FileInstant> newCreation;
        std::optional<FileInstant> newWrite;
    };

    JobJournal() = default;
    ~JobJournal();
    JobJournal(const JobJournal &) = delete;
    JobJournal &operator=(const JobJournal &) = delete;

    // Writes the plan to a new journal in folder() and flushes it to disk; false (and nothing kept) when it
    // cannot, which the job logs and goes on without. page names the page for the recovery dialog; source is
    // the template of a file creation, else empty.
    bool begin(Kind kind, const QString &page, const QVector<Item> &items, const QString &source = QString());
    bool isOpen() const { return m_fd >= 0; }

    // Item index waits under a temporary name (a ring of renames), or a new file is written there before it
    // takes its name (identity: the new file's). Written at once: it must be on record before the move.
    void aside(int index, const QString &temporary, const QByteArray &identity = QByteArray());
    // Item index is done and is now at where (its renamed or created path; for times, its path).
    void done(int index, const QString &where);
    // Item index is done and is where the plan put it (its `to`, or its `from` where it has none).
    void done(int index);
    // The job is over: the journal goes.
    void finish();

    // The folder journals are kept in: "journal" in the per-user data folder.
    static QString folder();
    static QString kindName(Kind kind);

private:
    void append(const QByteArray &line);
    void flushProgress();

    int m_fd = -1;
    QString m_path;
    QByteArray m_plan;
    QVector<QPair<int, int>> m_places; // where each item's place is written in m_plan
    QByteArray m_pending; // progress not yet written
    int m_pendingCount = 0;
};
