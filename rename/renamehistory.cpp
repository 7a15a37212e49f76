#include "renamehistory.h"

void RenameHistory::push(const RenameBatch &batch)
{
    if (!batch.isEmpty())
        m_batches.append(batch);
}

RenameBatch RenameHistory::takeNewest()
{
    if (m_batches.isEmpty())
        return {};
    return m_batches.takeLast();
}
