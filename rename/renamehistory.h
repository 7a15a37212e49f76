#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

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
using RenameBatch = QVector<RenameRecord>;

// The undo history of a rename list: one batch per start that renamed something, newest last.
class RenameHistory
{
public:
    // An empty batch is not kept: a start that renamed nothing leaves nothing to undo.
    void push(const RenameBatch &batch);
    // The newest batch, removed from the history; empty when there is nothing to undo.
    RenameBatch takeNewest();
    bool canUndo() const { return !m_batches.isEmpty(); }
    int size() const { return m_batches.size(); }
    void clear() { m_batches.clear(); }

private:
    QVector<RenameBatch> m_batches;
};
