#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

struct WallClockTime;

// The date a photo was taken, as numbering formats it (see NameSources::modificationTime); an invalid time
// when the item has none. pending: not read yet.
struct TakenTime
{
    QDateTime time;
    bool pending = false;
};

// Everything a proposed name may depend on besides its settings and its row: clocks, item times, random
// text and the text conversions. system() is what the lists use; tests pass fixed ones.
struct NameSources
{
    std::function<QDateTime()> currentTime;                         // local time; system() gives it to the second
    std::function<QDateTime(const QString &path)> creationTime;     // invalid when unknown or missing
    std::function<QDateTime(const QString &path)> modificationTime; // invalid when missing
    std::function<TakenTime(const QString &path)> photoTime;
    std::function<QString(int length, int rule)> randomText;
    std::function<QString(const QString &)> pinyin;
    std::function<QString(const QString &)> traditional;
    std::function<QString(const QString &)> simplified;

    // The local clock, the item's times on disk, the process-wide random generator and the text conversions.
    static const NameSources &system();
    // A date taken as the numbering shows it: the wall-clock time where the photo was taken, or the local
    // time of that instant when the photo tells its offset from UTC.
    static QDateTime numberingTime(const WallClockTime &taken);
};
