#pragma once

#include <QVector>

// The undo history of a list: one batch per run that changed something, newest last. A batch holds one
// record per changed item; each record carries the id of its row, so an undo finds the rows again
// whatever was added, moved or removed since.
template<typename Record>
class UndoStack
{
public:
    using Batch = QVector<Record>;

    // An empty batch is not kept: a run that changed nothing leaves nothing to undo.
    void push(const Batch &batch)
    {
        if (!batch.isEmpty())
            m_batches.append(batch);
    }
    // The newest batch, removed from the history; empty when there is nothing to undo.
    Batch takeNewest() { return m_batches.isEmpty() ? Batch() : m_batches.takeLast(); }
    // Lets every kept record be brought up to date (an item it names was moved by someone else).
    template<typename Fn>
    void updateRecords(Fn update)
    {
        for (Batch &batch : m_batches) {
            for (Record &record : batch)
                update(record);
        }
    }
    bool canUndo() const { return !m_batches.isEmpty(); }
    int size() const { return m_batches.size(); }
    void clear() { m_batches.clear(); }

private:
    QVector<Batch> m_batches;
};
