#pragma once

#include <QString>

// Text conversions used by the name rules. toTraditional/toSimplified go through the process-wide
// CCConverter; they return the text unchanged when the converter could not be loaded.
QString toPinyin(const QString &text);
QString toTraditional(const QString &text);
QString toSimplified(const QString &text);
// rule: index of the pool, as the random-numbering settings name it
QString randomString(int length, int rule);
QString reverseText(const QString &text);
