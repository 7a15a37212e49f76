#pragma once

#include "jobs/undostack.h"
#include "fileops/filetimes.h"

#include <QByteArray>
#include <QString>

#include <optional>

// One item whose times a run changed: the times it had before, only for the times the run wrote, exact to
// the nanosecond so that undo gives back precisely what was there.
struct TimeRecord
{
    QString id;   // the row, found again by id whatever was added, moved or removed since
    QString path; // where the item was; a row that still exists gives its own path
    // The item the run changed: undo leaves alone whatever else has come to stand at the path.
    QByteArray identity;
    std::optional<FileInstant> creationBefore;
    std::optional<FileInstant> modificationBefore;
    // The modification time the run left on the item, as the file system keeps it: an item whose time is no
    // longer this one was edited since, and undo leaves it alone. Absent when it could not be read.
    std::optional<FileInstant> modificationAfter;
    // The creation time the run left, where it set one and could read it back: what a recovery puts back when
    // the undo of the run is cut short.
    std::optional<FileInstant> creationAfter;
};

// The changes of one run, in list order.
using TimeBatch = UndoStack<TimeRecord>::Batch;
// The undo history of a time list: one batch per run that changed something, newest last.
using TimeHistory = UndoStack<TimeRecord>;
