#include "renameorder.h"

#include <algorithm>

QVector<RenameStep> renameOrder(const QVector<int> &blockers)
{
    enum State : char { Waiting, OnChain, Done };
    const int count = blockers.size();
    QVector<char> state(count, Waiting);
    QVector<RenameStep> steps;
    steps.reserve(count);
    QVector<int> chain;
    for (int first = 0; first < count; ++first) {
        if (state.at(first) != Waiting)
            continue;
        // Follow the renames each one waits for; every rename waits for at most one, so this is a path.
        chain.clear();
        int next = first;
        while (next >= 0 && next < count && state.at(next) == Waiting) {
            state[next] = OnChain;
            chain.append(next);
            next = blockers.at(next);
        }
        if (next >= 0 && next < count && state.at(next) == OnChain)
            steps.append({next, true});
        for (int i = chain.size() - 1; i >= 0; --i) {
            steps.append({chain.at(i), false});
            state[chain.at(i)] = Done;
        }
    }
    return steps;
}

void orderDeepestFirst(QVector<RenameStep> &steps, const QVector<int> &depths)
{
    std::stable_sort(steps.begin(), steps.end(), [&depths](const RenameStep &a, const RenameStep &b) {
        return depths.at(a.rename) > depths.at(b.rename);
    });
}
