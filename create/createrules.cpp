#include "createrules.h"

#include "naming/listcapacity.h"
#include "naming/randomstring.h"
#include "naming/timestyles.h"

#include <QDateTime>

namespace {

QString timeText(const CreateRules &rules, qint64 msecs)
{
    return timeStyleText(QDateTime::fromMSecsSinceEpoch(msecs), rules.timeStyle);
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

QStringList regeneratePlan(const CreateRules &rules, int count, const QString &baseName, const CreateSources &sources)
{
    count = qBound(0, count, kListCapacity);
    QStringList names;
    names.reserve(count);
    TimeTexts times(rules, sources);
    for (int i = 0; i < count; ++i)
        names.append(
            placePart(rules, baseName, numberingPart(rules, i, sources.randomText, [&] { return times.now(); })));
    return names;
}
