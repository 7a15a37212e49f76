#include "textconversions.h"

#include "ccconverter.h"

#include <QFile>
#include <QVector>

#include <algorithm>

namespace {

constexpr ushort firstHan = 0x4E00;
constexpr ushort lastHan = 0x9FA5;
constexpr int hanCount = lastHan - firstHan + 1;

QVector<QString> readPinyinTable()
{
    QFile file(QStringLiteral(":/zhtopy.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("The pinyin table :/zhtopy.txt cannot be opened: Chinese characters stay as they are");
        return {};
    }
    const QStringList syllables = QString::fromUtf8(file.readAll()).split(QLatin1Char(' '));
    if (syllables.size() != hanCount)
        qWarning("The pinyin table :/zhtopy.txt holds %d syllables instead of %d", int(syllables.size()), hanCount);
    return syllables.toVector();
}

// Read on first use and kept; the static's initialisation is thread-safe.
const QVector<QString> &pinyinTable()
{
    static const QVector<QString> table = readPinyinTable();
    return table;
}

} // namespace

QString toPinyin(const QString &text)
{
    const QVector<QString> &table = pinyinTable();
    QString result;
    result.reserve(text.size() * 4);
    for (const QChar c : text) {
        const ushort code = c.unicode();
        const int index = code - firstHan;
        if (code >= firstHan && code <= lastHan && index < table.size())
            result += table.at(index);
        else
            result += c;
    }
    return result;
}

QString toTraditional(const QString &text)
{
    return CCConverter::convert(CCConverter::ToTraditional, text);
}

QString toSimplified(const QString &text)
{
    return CCConverter::convert(CCConverter::ToSimplified, text);
}

QString reverseText(const QString &text)
{
    QString reversed(text);
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}
