#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Everything a proposed name may depend on besides its settings and its row: clocks, item times, random
// text and the text conversions. system() is what the lists use; tests pass fixed ones.
struct NameSources
{
    std::function<QDateTime()> currentTime; // local time; system() gives it to the second
    std::function<QDateTime(const QString &path)> creationTime;     // invalid when unknown or missing
    std::function<QDateTime(const QString &path)> modificationTime; // invalid when missing
    std::function<QString(int length, int rule)> randomText;
    std::function<QString(const QString &)> pinyin;
    std::function<QString(const QString &)> traditional;
    std::function<QString(const QString &)> simplified;

    // The local clock, the item's times on disk, the process-wide random generator and the text conversions.
    static const NameSources &system();
};
