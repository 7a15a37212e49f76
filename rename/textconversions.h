#pragma once

#include "naming/randomstring.h"

#include <QString>

// Text conversions used by the name rules (randomString comes from naming/randomstring.h).
// toTraditional/toSimplified go through the process-wide CCConverter; they return the text unchanged when the
// converter could not be loaded.

// Each character U+4E00..U+9FA5 becomes its lower-case toneless syllable from ":/zhtopy.txt" (ü as v);
// everything else, surrogate pairs included, is kept.
QString toPinyin(const QString &text);
QString toTraditional(const QString &text);
QString toSimplified(const QString &text);
// The UTF-16 code units in reverse order.
QString reverseText(const QString &text);
