#pragma once

#include <QtGlobal>
#include <QStringList>

#include <functional>

// The numbering rules of the custom create page: every planned name is the base name with one generated part
// (a number, a letter, a random string or the current time) before it, after it or inside it.
struct CreateRules
{
    int numberPosition = 0;  // 0 before the base name, 1 after it, 2 inserted after numberAfter characters
    int numberAfter = 0;     // characters of the base name before the inserted part
    int numberType = 0;      // 0 number, 1 letter, 2 random characters, 3 time
    int startNumber = 0;     // first number
    int numberIncrement = 0; // step between items
    int numberDigits = 1;    // minimum width of the number, padded with 0
    int randomRule = 0;      // 0 digits only, 1 letters only, 2 letters and digits
    int randomLength = 1;    // characters per random string
    int timeStyle = 0;       // index into the time styles
    int startLetter = 1;     // 1 = a ... 26 = z
    int letterIncrement = 1; // step between items
};

// Where the parts that do not follow from the rules come from; tests put fixed ones in.
struct CreateSources
{
    std::function<qint64()> currentMSecs; // milliseconds since the epoch; names show it in local time
    std::function<QString(int length, int rule)> randomText;

    // The local clock and the random strings of the rename rules.
    static CreateSources system();
};

// The generated part of the item at index.
QString generatedPart(const CreateRules &rules, int index, const CreateSources &sources = CreateSources::system());

// The names of count planned items (at most the list capacity; none for a count below 1), in order. Numbers
// are computed in 64 bits, so a large start and step over many items never wrap around.
QStringList regeneratePlan(const CreateRules &rules, int count, const QString &baseName,
                           const CreateSources &sources = CreateSources::system());
