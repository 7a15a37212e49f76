#pragma once

#include <QString>

#include <functional>

// The numbering that renaming and creating share: each item gets a generated part (a number, a letter, a random
// string or a time) before its name, after it or inside it. The defaults are the start values of the panels.
struct Numbering
{
    enum Type { Digits = 0, Letter = 1, Random = 2, Time = 3 };
    enum Position { Before = 0, After = 1, Inside = 2 };

    int numberPosition = Before; // Inside: after numberAfter characters of the name
    int numberAfter = 0;
    int numberType = Digits;
    int startNumber = 0;
    int numberIncrement = 0; // step between items
    int numberDigits = 1;    // minimum width of the number, padded with 0
    int randomRule = 0;      // pool of randomString
    int randomLength = 1;    // characters per random string
    int timeStyle = 0;       // index into the time styles
    int startLetter = 1;     // 1 = a ... 26 = z
    int letterIncrement = 1; // step between items
};

// The generated part of the item at index. A random part is drawn from randomText(length, rule), a time part is
// whatever timeText gives; neither is asked for by the other types. Numbers are computed in 64 bits, so a large
// start and step over a full list never wrap around.
QString numberingPart(const Numbering &numbering, int index, const std::function<QString(int, int)> &randomText,
                      const std::function<QString()> &timeText);

// name with part at the numbering's position.
QString placePart(const Numbering &numbering, const QString &name, const QString &part);

// text with piece inserted after index characters. A position inside a surrogate pair (an emoji, a rare
// character) moves to the end of that character, so no character is cut in two; inserting past the end pads
// with spaces up to the index, so the piece lands where the user counted. An empty piece leaves text as it is.
QString insertAt(QString text, int index, const QString &piece);
