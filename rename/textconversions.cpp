#include "textconversions.h"

#include <algorithm>

QString toPinyin(const QString &text)
{
    return text;
}

QString toTraditional(const QString &text)
{
    return text;
}

QString toSimplified(const QString &text)
{
    return text;
}

QString randomString(int length, int rule)
{
    Q_UNUSED(rule)
    return QString(length, QLatin1Char('0'));
}

QString reverseText(const QString &text)
{
    QString reversed(text);
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}
