#pragma once

#include "naming/listcapacity.h"

#include <QSet>
#include <QString>
#include <QStringList>

// What one addition to a list does with the paths it was given: which ones become rows, how many were
// skipped as already listed, and whether the capacity cut the batch short. Widget-free, so every list
// shares the same rules.
struct AdditionPlan
{
    QStringList accepted;
    int skipped = 0;
    bool limitReached = false;

    // listed: the paths already in the list; rowCount: its current number of rows. Paths compare exactly
    // (case-sensitive); a path repeated within the batch counts as a duplicate of its first occurrence.
    static AdditionPlan make(const QSet<QString> &listed, const QStringList &paths, int rowCount,
                             int capacity = kListCapacity);
};

// The notifications that bracket an addition: the main window disables itself at the start, re-enables at
// the end and reports skipped duplicates and a reached capacity.
void announceAdditionStart();
void announceAdditionEnd(const AdditionPlan &plan);
