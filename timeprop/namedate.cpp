#include "namedate.h"

#include <QRegularExpression>
#include <QVector>

namespace {

// One form of a date in a name: captures year, month, day and, where the form has them, hour, minute and
// second. No form starts or ends inside a longer run of digits.
struct Form
{
    QRegularExpression pattern;
    bool hasTime;
};

QRegularExpression formPattern(const char *body)
{
    return QRegularExpression(QStringLiteral("(?<![0-9])") + QString::fromUtf8(body) + QStringLiteral("(?![0-9])"));
}

// In the order they are tried at one place of the name: a date with its time before the date alone.
const QVector<Form> &forms()
{
    static const QVector<Form> all = {
        {formPattern("([0-9]{4})([0-9]{2})([0-9]{2})[_-]([0-9]{2})([0-9]{2})([0-9]{2})"), true},
        {formPattern("([0-9]{4})-([0-9]{2})-([0-9]{2}) ([0-9]{2})\\.([0-9]{2})\\.([0-9]{2})"), true},
        {formPattern("([0-9]{4})-([0-9]{2})-([0-9]{2})"), false},
        {formPattern("([0-9]{4})年([0-9]{1,2})月([0-9]{1,2})日"), false},
        {formPattern("([0-9]{4})([0-9]{2})([0-9]{2})"), false},
    };
    return all;
}

// Finds where any form may start: the first digit that follows no digit, from `from` on.
const QRegularExpression &anyStart()
{
    static const QRegularExpression start(QStringLiteral("(?<![0-9])[0-9]{4}"));
    return start;
}

QDateTime dateOf(const QRegularExpressionMatch &match, bool hasTime)
{
    const QDate date(match.capturedRef(1).toInt(), match.capturedRef(2).toInt(), match.capturedRef(3).toInt());
    const QTime time = hasTime
        ? QTime(match.capturedRef(4).toInt(), match.capturedRef(5).toInt(), match.capturedRef(6).toInt())
        : QTime(0, 0);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::LocalTime);
}

QDateTime dateAt(const QString &name, int position)
{
    for (const Form &form : forms()) {
        const QRegularExpressionMatch match =
            form.pattern.match(name, position, QRegularExpression::NormalMatch,
                               QRegularExpression::AnchoredMatchOption);
        if (!match.hasMatch())
            continue;
        const QDateTime date = dateOf(match, form.hasTime);
        if (date.isValid())
            return date;
    }
    return QDateTime();
}

} // namespace

QDateTime dateInName(const QString &name)
{
    QRegularExpressionMatchIterator starts = anyStart().globalMatch(name);
    while (starts.hasNext()) {
        const QDateTime date = dateAt(name, starts.next().capturedStart());
        if (date.isValid())
            return date;
    }
    return QDateTime();
}
