#include "textconversions.h"

#include "ccconverter.h"

#include <QFile>
#include <QRandomGenerator>
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

const QString &randomPool(int rule)
{
    static const QString pools[] = {
        QStringLiteral("0123456789"),
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
    };
    return pools[rule];
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

QString randomString(int length, int rule)
{
    if (length <= 0)
        return QString();
    if (rule < 0 || rule >= randomPoolCount) {
        qWarning("randomString: unknown character pool %d", rule);
        return QString();
    }
    const QString &pool = randomPool(rule);
    QRandomGenerator *generator = QRandomGenerator::global();
    QString result(length, Qt::Uninitialized);
    for (QChar &c : result)
        c = pool.at(int(generator->bounded(quint32(pool.size()))));
    return result;
}

QString reverseText(const QString &text)
{
    QString reversed(text);
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}
