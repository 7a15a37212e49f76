#pragma once

#include <QString>

// Text conversions used by the name rules. toTraditional/toSimplified go through the process-wide
// CCConverter; they return the text unchanged when the converter could not be loaded.

// Each character U+4E00..U+9FA5 becomes its lower-case toneless syllable from ":/zhtopy.txt" (ü as v);
// everything else, surrogate pairs included, is kept.
QString toPinyin(const QString &text);
QString toTraditional(const QString &text);
QString toSimplified(const QString &text);
// Pools of randomString, as the random-numbering settings number them: 0 digits, 1 letters, 2 letters and
// digits.
constexpr int randomPoolCount = 3;
// length characters drawn uniformly from the pool of rule; a length of 0 or less, or an unknown rule, gives an
// empty text.
QString randomString(int length, int rule);
// The UTF-16 code units in reverse order.
QString reverseText(const QString &text);
