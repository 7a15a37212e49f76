#pragma once

#include "naming/numbering.h"

#include <QtGlobal>
#include <QStringList>

#include <functional>

// The rules of the custom create page: every planned name is the base name with its numbering part (a number, a
// letter, a random string or the current time) before it, after it or inside it.
struct CreateRules : Numbering
{
};

// Where the parts that do not follow from the rules come from; tests put fixed ones in.
struct CreateSources
{
    std::function<qint64()> currentMSecs; // milliseconds since the epoch; names show it in local time
    std::function<QString(int length, int rule)> randomText;

    // The local clock and the random strings of the rename rules.
    static CreateSources system();
};

// The names of count planned items (at most the list capacity; none for a count below 1), in order. Numbers
// are computed in 64 bits, so a large start and step over many items never wrap around.
QStringList regeneratePlan(const CreateRules &rules, int count, const QString &baseName,
                           const CreateSources &sources = CreateSources::system());
