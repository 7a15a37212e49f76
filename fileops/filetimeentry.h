#pragma once

#include "hub/entrystatus.h"
#include "fileops/filetimes.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QUuid>
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
inline FileTimeEntry makeFileTimeEntry(const QString &path)
{
    FileTimeEntry entry;
    entry.path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    entry.name = QFileInfo(entry.path).fileName();
    const FileTimes times = readFileTimes(entry.path);
    entry.creation = times.creationTime();
    entry.modification = times.modificationTime();
    entry.creationOnDisk = entry.creation;
    entry.modificationOnDisk = entry.modification;
    entry.id = QUuid::createUuid().toString();
    return entry;
}
