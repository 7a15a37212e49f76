#pragma once

#include <QCollator>
#include <QVector>

#include <algorithm>
#include <numeric>

class QObject;

// The order every list sorts its names and folders in: Chinese collation, case-sensitive, punctuation
// significant, digits compared as numbers (a2 before a10).
class ListSorter
{
public:
    static QCollator collator();

    // Reads the direction stored in the header's "comper" property (unset counts as ascending) and stores
    // the opposite one, so successive sorts alternate whichever column they are on.
    static bool takeDescending(QObject *header);

    // Reorders records by a text key taken from each one. Keys are turned into collation keys once, so a
    // sort of thousands of records costs one key per record rather than one collation per comparison.
    template<typename T, typename KeyFn>
    static void sortByText(QVector<T> &records, KeyFn key, bool descending)
    {
        const QCollator c = collator();
        QVector<QCollatorSortKey> keys;
        keys.reserve(records.size());
        for (const T &record : qAsConst(records))
            keys.append(c.sortKey(key(record)));
        QVector<int> order(records.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int cmp = keys.at(a).compare(keys.at(b));
            return descending ? cmp > 0 : cmp < 0;
        });
        QVector<T> sorted;
        sorted.reserve(records.size());
        for (int i : qAsConst(order))
            sorted.append(std::move(records[i]));
        records = std::move(sorted);
    }
};
