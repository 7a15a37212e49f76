#pragma once

#include <QString>

// Pools of randomString, as the random-numbering settings number them: 0 digits, 1 letters, 2 letters and
// digits.
constexpr int randomPoolCount = 3;
// length characters drawn uniformly from the pool of rule; a length of 0 or less, or an unknown rule, gives an
// empty text.
QString randomString(int length, int rule);
