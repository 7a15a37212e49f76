#include "namedate.h"

namespace {

// The forms, tried at each place of the name where a run of digits starts, longest first:
// 20240131_235959, 20240131-235959, 2024-01-31 23.59.59, 2024-01-31, 2024年1月31日, 20240131. Scanned by
// hand: a list recomputes this for thousands of names at every change of a setting.
class NameScanner
{
public:
    explicit NameScanner(const QString &name) : m_name(name) {}

    WallClockTime dateAt(int p) const
    {
        int year = 0;
        if (!digits(p, 4, year))
            return WallClockTime();
        int month = 0;
        int day = 0;
        if (digits(p + 4, 2, month) && digits(p + 6, 2, day))
            return compactDate(p + 8, year, month, day);
        if (at(p + 4) == QLatin1Char('-') && digits(p + 5, 2, month) && at(p + 7) == QLatin1Char('-')
            && digits(p + 8, 2, day) && !isDigit(p + 10)) {
            const WallClockTime withTime = timeAfter(p + 10, QLatin1Char(' '), QLatin1Char('.'), year, month, day);
            return withTime.isValid() ? withTime : make(year, month, day, 0, 0, 0);
        }
        if (at(p + 4) == QChar(0x5E74)) // 年
            return chineseDate(p + 5, year);
        return WallClockTime();
    }

    bool isDigit(int i) const
    {
        return i >= 0 && i < m_name.size() && m_name.at(i) >= QLatin1Char('0') && m_name.at(i) <= QLatin1Char('9');
    }

private:
    QChar at(int i) const { return i < m_name.size() ? m_name.at(i) : QChar(); }

    bool digits(int from, int count, int &value) const
    {
        value = 0;
        for (int i = from; i < from + count; ++i) {
            if (!isDigit(i))
                return false;
            value = value * 10 + (m_name.at(i).unicode() - '0');
        }
        return true;
    }

    // After yyyyMMdd: a time joined by "_" or "-", else the date alone; never inside a longer run of digits.
    WallClockTime compactDate(int q, int year, int month, int day) const
    {
        if (isDigit(q))
            return WallClockTime();
        for (const QChar joint : {QLatin1Char('_'), QLatin1Char('-')}) {
            int hms = 0;
            if (at(q) == joint && digits(q + 1, 6, hms) && !isDigit(q + 7)) {
                const WallClockTime withTime = make(year, month, day, hms / 10000, hms / 100 % 100, hms % 100);
                if (withTime.isValid())
                    return withTime;
            }
        }
        return make(year, month, day, 0, 0, 0);
    }

    // " 23.59.59" after a date: the joint, then hour, minute and second split by the separator.
    WallClockTime timeAfter(int q, QChar joint, QChar separator, int year, int month, int day) const
    {
        int hour = 0;
        int minute = 0;
        int second = 0;
        if (at(q) != joint || !digits(q + 1, 2, hour) || at(q + 3) != separator || !digits(q + 4, 2, minute)
            || at(q + 6) != separator || !digits(q + 7, 2, second) || isDigit(q + 9)) {
            return WallClockTime();
        }
        return make(year, month, day, hour, minute, second);
    }

    // "1月31日" after the year: one or two digits each.
    WallClockTime chineseDate(int q, int year) const
    {
        int month = 0;
        int length = isDigit(q + 1) ? 2 : 1;
        if (!digits(q, length, month) || at(q + length) != QChar(0x6708)) // 月
            return WallClockTime();
        q += length + 1;
        int day = 0;
        length = isDigit(q + 1) ? 2 : 1;
        if (!digits(q, length, day) || at(q + length) != QChar(0x65E5)) // 日
            return WallClockTime();
        return make(year, month, day, 0, 0, 0);
    }

    static WallClockTime make(int year, int month, int day, int hour, int minute, int second)
    {
        const WallClockTime result{QDate(year, month, day), QTime(hour, minute, second), std::nullopt};
        return result.isValid() ? result : WallClockTime();
    }

    const QString &m_name;
};

} // namespace

WallClockTime dateInName(const QString &name)
{
    const NameScanner scanner(name);
    for (int i = 0; i < name.size(); ++i) {
        if (!scanner.isDigit(i) || scanner.isDigit(i - 1))
            continue;
        const WallClockTime date = scanner.dateAt(i);
        if (date.isValid())
            return date;
    }
    return WallClockTime();
}
