#pragma once

#include <QVector>

// One step of a batch of renames: rename number `rename` takes its target, or (aside) first moves out of the
// way to a temporary name, so that the ring of renames it belongs to can turn.
struct RenameStep
{
    int rename;
    bool aside;

    bool operator==(const RenameStep &other) const { return rename == other.rename && aside == other.aside; }
};

// The order in which a batch renames its items so that no rename meets a name that another rename of the same
// batch is about to give up: chains (b to c, then a to b) and swaps are no conflicts. blockers[i] is the
// rename whose item now has the target of rename i and which the batch renames too, or -1. The renames keep
// their order except that each waits for its blocker. In a ring (a to b, b to a), one item steps aside first
// and takes its target last.
QVector<RenameStep> renameOrder(const QVector<int> &blockers);

// Puts the steps of a batch whose items lie inside other items of it deepest first (depths[i]: how deep the
// item of rename i lies), keeping their order otherwise. A rename only moves items deeper than itself, so every
// step still finds its item and its target where the batch was planned; a ring or chain lies within one folder
// and so keeps its steps together.
void orderDeepestFirst(QVector<RenameStep> &steps, const QVector<int> &depths);
