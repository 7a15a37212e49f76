#pragma once

#include "hub/entrystatus.h"

#include <QString>
#include <QVector>

// One row of a rename list.
struct FileEntry
{
    QString currentName; // name on disk, with extension
    QString newName;     // proposed name
    QString path;        // full path as added
    QString id;          // QUuid text, unique for the life of the row
    int status = StatusPending;
    // What the proposal's hint adds about how it was made (a number from another time than asked for).
    QString proposalNote;
};

using FileEntryList = QVector<FileEntry>;
