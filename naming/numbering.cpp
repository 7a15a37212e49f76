#include "numbering.h"

namespace {

QString numberText(const Numbering &n, int index)
{
    const qint64 value = qint64(n.startNumber) + qint64(n.numberIncrement) * index;
    return QString::number(value).rightJustified(n.numberDigits, QLatin1Char('0'));
}

QString letterText(const Numbering &n, int index)
{
    const qint64 k = ((qint64(n.startLetter) + qint64(n.letterIncrement) * index) % 26 + 26) % 26;
    return QString(QChar(k == 0 ? 'z' : char('a' + k - 1)));
}

} // namespace

QString numberingPart(const Numbering &numbering, int index, const std::function<QString(int, int)> &randomText,
                      const std::function<QString()> &timeText)
{
    switch (numbering.numberType) {
    case Numbering::Letter:
        return letterText(numbering, index);
    case Numbering::Random:
        return randomText(numbering.randomLength, numbering.randomRule);
    case Numbering::Time:
        return timeText();
    default:
        return numberText(numbering, index);
    }
}

QString placePart(const Numbering &numbering, const QString &name, const QString &part)
{
    switch (numbering.numberPosition) {
    case Numbering::After:
        return name + part;
    case Numbering::Inside:
        return insertAt(name, numbering.numberAfter, part);
    default:
        return part + name;
    }
}

QString insertAt(QString text, int index, const QString &piece)
{
    if (piece.isEmpty())
        return text;
    index = qMax(0, index);
    if (index > 0 && index < text.size() && text.at(index).isLowSurrogate() && text.at(index - 1).isHighSurrogate())
        ++index;
    if (index > text.size())
        text.append(QString(index - text.size(), QLatin1Char(' ')));
    return text.insert(index, piece);
}
