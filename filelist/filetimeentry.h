#pragma once

#include "hub/entrystatus.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// One row of a time list or a collect list.
struct FileTimeEntry
{
    QString name;           // file name with extension
    QString path;           // absolute, forward slashes
    QDateTime creation;     // local; invalid when the item's creation time is not known
    QDateTime modification; // local
    QString id;             // QUuid text, unique for the life of the row
    int status = StatusPending;
    // The time list's preview: the times the item has (shown above a different target), and what its time
    // cells say instead of a target when the page's time source has none for the item.
    QDateTime creationOnDisk;
    QDateTime modificationOnDisk;
    QString timeNote;
};

using FileTimeEntryList = QVector<FileTimeEntry>;

// A new row for the item at path, showing its own times. A symbolic link shows the link's times.
FileTimeEntry makeFileTimeEntry(const QString &path);

// A time as its cell shows it, "yyyy/MM/dd hh:mm:ss"; empty for an unknown time.
QString fileTimeText(const QDateTime &time);

// Orders the rows by one of their times, stably; an unknown time comes before every known one.
void sortByTime(FileTimeEntryList &entries, QDateTime FileTimeEntry::*field, bool descending);
