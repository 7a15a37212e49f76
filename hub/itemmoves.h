#pragma once

#include <QMetaType>
#include <QPair>
#include <QString>
#include <QVector>

// Renames done on disk, in the order they were done: each moves an item from its first path to its second,
// and with it everything below it. Paths use forward slashes.
struct ItemMoves
{
    QVector<QPair<QString, QString>> moves;
    // The list that did them has moved its own rows already.
    const void *origin = nullptr;

    // Where path is after the moves; path itself when none of them touches it.
    QString follow(QString path) const
    {
        for (const auto &move : moves) {
            if (path == move.first)
                path = move.second;
            else if (path.startsWith(move.first) && path.at(move.first.size()) == QLatin1Char('/'))
                path = move.second + path.mid(move.first.size());
        }
        return path;
    }
};

Q_DECLARE_METATYPE(ItemMoves)
