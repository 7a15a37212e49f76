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
    entry.id = QUuid::createUuid().toString();
    return entry;
}
