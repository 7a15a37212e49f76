#include "createrules.h"

#include "naming/randomstring.h"
#include "naming/timestyles.h"
#include "filelist/additionplan.h"

#include <QDateTime>
#include <QLocale>

namespace {

QString numberText(const CreateRules &rules, int index)
{
    // 64 bits: a start and step of up to ±999999 over 3000 items leave the 32-bit range.
    const qint64 value = qint64(rules.startNumber) + qint64(rules.numberIncrement) * index;
    return QString::number(value).rightJustified(rules.numberDigits, QLatin1Char('0'));
}

QString letterText(const CreateRules &rules, int index)
{
    const qint64 k = ((qint64(rules.startLetter) + qint64(rules.letterIncrement) * index) % 26 + 26) % 26;
    return QString(QChar(k == 0 ? 'z' : char('a' + k - 1)));
}

QString timeText(const CreateRules &rules, qint64 msecs)
{
    // The C locale keeps the digits Latin whatever the system language is.
    return QLocale::c().toString(QDateTime::fromMSecsSinceEpoch(msecs), timeStyleFormat(rules.timeStyle));
}

// A position inside a surrogate pair would cut a character in two: it moves to the end of that character.
// Inserting past the end pads with spaces up to the position, so the part lands where the user counted.
QString insertAt(QString text, int index, const QString &piece)
{
    index = qMax(0, index);
    if (index > 0 && index < text.size() && text.at(index).isLowSurrogate() && text.at(index - 1).isHighSurrogate())
        ++index;
    if (index > text.size())
        text.append(QString(index - text.size(), QLatin1Char(' ')));
    return text.insert(index, piece);
}

QString placePart(const CreateRules &rules, const QString &base, const QString &part)
{
    switch (rules.numberPosition) {
    case 1:
        return base + part;
    case 2:
        return insertAt(base, rules.numberAfter, part);
    default:
        return part + base;
    }
}

// The time text of the current second: items planned within one second share it, and it is converted to local
// time and formatted once (that conversion costs far more than reading the clock).
class TimeTexts
{
public:
    TimeTexts(const CreateRules &rules, const CreateSources &sources) : m_rules(rules), m_sources(sources) {}

    QString now()
    {
        const qint64 msecs = m_sources.currentMSecs();
        const qint64 second = msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000;
        if (m_text.isNull() || second != m_second) {
            m_second = second;
            m_text = timeText(m_rules, msecs);
        }
        return m_text;
    }

private:
    const CreateRules &m_rules;
    const CreateSources &m_sources;
    qint64 m_second = 0;
    QString m_text;
};

} // namespace

CreateSources CreateSources::system()
{
    return {&QDateTime::currentMSecsSinceEpoch, &randomString};
}

QString generatedPart(const CreateRules &rules, int index, const CreateSources &sources)
{
    switch (rules.numberType) {
    case 1:
        return letterText(rules, index);
    case 2:
        return sources.randomText(rules.randomLength, rules.randomRule);
    case 3:
        return timeText(rules, sources.currentMSecs());
    default:
        return numberText(rules, index);
    }
}

QStringList regeneratePlan(const CreateRules &rules, int count, const QString &baseName, const CreateSources &sources)
{
    count = qBound(0, count, kListCapacity);
    QStringList names;
    names.reserve(count);
    TimeTexts times(rules, sources);
    for (int i = 0; i < count; ++i) {
        const QString part = rules.numberType == 3 ? times.now() : generatedPart(rules, i, sources);
        names.append(placePart(rules, baseName, part));
    }
    return names;
}
