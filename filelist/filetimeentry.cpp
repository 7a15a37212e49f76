#include "filetimeentry.h"

#include "fileops/filetimes.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <numeric>

FileTimeEntry makeFileTimeEntry(const QString &path)
{
    FileTimeEntry entry;
    entry.path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    entry.name = QFileInfo(entry.path).fileName();
    const FileTimes times = readFileTimes(entry.path);
    entry.creation = times.creationTime();
    entry.modification = times.modificationTime();
    entry.creationOnDisk = entry.creation;
    entry.modificationOnDisk = entry.modification;
    entry.id = QUuid::createUuid().toString();
    return entry;
}

namespace {

QChar *putDigits(QChar *out, int value, int digits)
{
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = QLatin1Char(char('0' + value % 10));
        value /= 10;
    }
    return out + digits;
}

} // namespace

QString fileTimeText(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    // Formatting by hand: QDateTime::toString with a format, or snprintf, costs many times more, and a list
    // formats thousands of cells.
    int year = 0;
    int month = 0;
    int day = 0;
    time.date().getDate(&year, &month, &day);
    const QTime clock = time.time();
    if (year < 0 || year > 9999) {
        char text[32];
        const int length = std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", year, month, day,
                                         clock.hour(), clock.minute(), clock.second());
        return QString::fromLatin1(text, qBound(0, length, int(sizeof text) - 1));
    }
    QString text(19, Qt::Uninitialized);
    QChar *out = putDigits(text.data(), year, 4);
    *out++ = QLatin1Char('/');
    out = putDigits(out, month, 2);
    *out++ = QLatin1Char('/');
    out = putDigits(out, day, 2);
    *out++ = QLatin1Char(' ');
    out = putDigits(out, clock.hour(), 2);
    *out++ = QLatin1Char(':');
    out = putDigits(out, clock.minute(), 2);
    *out++ = QLatin1Char(':');
    putDigits(out, clock.second(), 2);
    return text;
}

void sortByTime(FileTimeEntryList &entries, QDateTime FileTimeEntry::*field, bool descending)
{
    // One key per row, taken once: comparing QDateTimes converts them again on every comparison.
    QVector<qint64> keys;
    keys.reserve(entries.size());
    for (const FileTimeEntry &entry : qAsConst(entries)) {
        const QDateTime &time = entry.*field;
        keys.append(time.isValid() ? time.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
    }
    QVector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return descending ? keys.at(a) > keys.at(b) : keys.at(a) < keys.at(b); });
    FileTimeEntryList sorted;
    sorted.reserve(entries.size());
    for (int i : qAsConst(order))
        sorted.append(std::move(entries[i]));
    entries = std::move(sorted);
}
