#pragma once

#include "jobs/undostack.h"

#include <QByteArray>
#include <QString>

// One item renamed by a batch: where the batch left it and the name to give back, found again by row id.
struct RenameRecord
{
    QString id;
    QString pathAfter;
    QString nameBefore;
    // The item the batch renamed: undo leaves alone whatever else has come to stand at pathAfter.
    QByteArray identity;
};

// The renames of one batch, in the order they were done.
using RenameBatch = UndoStack<RenameRecord>::Batch;
using RenameHistory = UndoStack<RenameRecord>;
