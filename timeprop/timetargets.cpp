#include "timetargets.h"

#include "metadata/photodatecache.h"
#include "timeprop/namedate.h"

#include <ctime>

namespace {

std::optional<FileInstant> moved(const std::optional<FileInstant> &time, qint64 seconds)
{
    if (!time)
        return std::nullopt;
    return FileInstant{time->seconds + seconds, time->nanoseconds};
}

// The instant a wall-clock time names. Local times go through localtime_r rather than mktime, which re-reads
// the zone on every call (several microseconds; a list converts a date per row). In a gap of summer time
// the clock is read with the offset before the change; of the hour that happens twice, the later one.
std::optional<FileInstant> wallClockInstant(const WallClockTime &time)
{
    struct tm fields = {};
    fields.tm_year = time.date.year() - 1900;
    fields.tm_mon = time.date.month() - 1;
    fields.tm_mday = time.date.day();
    fields.tm_hour = time.time.hour();
    fields.tm_min = time.time.minute();
    fields.tm_sec = time.time.second();
    const time_t asUtc = ::timegm(&fields);
    const int nanoseconds = time.time.msec() * 1000000;
    if (time.utcOffset)
        return FileInstant{qint64(asUtc) - *time.utcOffset, nanoseconds};
#ifdef Q_OS_WIN
    return toUtcFileTime(QDateTime(time.date, time.time));
#else
    // The offset in force at the instant the fields would name in UTC, then at the instant that gives.
    struct tm local;
    time_t guess = asUtc;
    for (int i = 0; i < 2; ++i) {
        if (!::localtime_r(&guess, &local))
            return std::nullopt;
        const time_t next = asUtc - local.tm_gmtoff;
        if (next == guess)
            break;
        guess = next;
    }
    return FileInstant{qint64(guess), nanoseconds};
#endif
}

} // namespace

TimeTargets::TimeTargets(const TimeSettings &settings, PhotoDateCache *photos, bool readMissing)
    : m_settings(settings), m_photos(photos), m_readMissing(readMissing)
{
    if (settings.setCreation) {
        m_fixed.creation = toUtcFileTime(settings.creation);
        m_fixed.convertible = m_fixed.creation.has_value();
    }
    if (settings.setModification) {
        m_fixed.modification = toUtcFileTime(settings.modification);
        m_fixed.convertible = m_fixed.convertible && m_fixed.modification.has_value();
    }
}

bool TimeTargets::needsItemTimes() const
{
    const bool writes = m_settings.setCreation || m_settings.setModification;
    return writes && (m_settings.source == TimeSource::Offset || m_settings.source == TimeSource::PhotoTaken);
}

RowTargets TimeTargets::targetsOf(const FileTimeEntry &entry, const FileTimes &now) const
{
    if (!m_settings.setCreation && !m_settings.setModification)
        return {};
    switch (m_settings.source) {
    case TimeSource::Fixed:
        break;
    case TimeSource::Offset: {
        RowTargets targets;
        if (m_settings.setCreation)
            targets.creation =
                moved(now.hasCreation ? std::optional(now.creation) : std::nullopt, m_settings.offsetSeconds);
        if (m_settings.setModification)
            targets.modification = moved(std::optional(now.lastWrite), m_settings.offsetSeconds);
        // An item whose creation time is unknown cannot be moved from it; the file system refuses it anyway.
        targets.convertible = (!m_settings.setCreation || targets.creation) && now.readable;
        return targets;
    }
    case TimeSource::PhotoTaken:
        return photoTargets(entry, now);
    case TimeSource::NameDate: {
        const WallClockTime date = dateInName(entry.name);
        if (!date.isValid()) {
            RowTargets skipped;
            skipped.skipReason = noNameDateReason();
            return skipped;
        }
        return fromWallClock(date);
    }
    }
    return m_fixed;
}

RowTargets TimeTargets::photoTargets(const FileTimeEntry &entry, const FileTimes &now) const
{
    RowTargets targets;
    std::optional<PhotoDate> date;
    if (m_photos)
        date = m_readMissing ? std::optional(m_photos->get(entry.path, now.lastWrite))
                             : m_photos->find(entry.path, now.lastWrite);
    else
        date = PhotoDate();
    if (!date) {
        targets.pending = true;
        return targets;
    }
    if (!date->found()) {
        targets.skipReason = noPhotoDateReason(date->status);
        return targets;
    }
    return fromWallClock(date->taken);
}

RowTargets TimeTargets::fromWallClock(const WallClockTime &time) const
{
    RowTargets targets;
    const std::optional<FileInstant> instant = wallClockInstant(time);
    targets.convertible = instant.has_value();
    if (m_settings.setCreation)
        targets.creation = instant;
    if (m_settings.setModification)
        targets.modification = instant;
    return targets;
}

QString TimeTargets::noNameDateReason()
{
    return QStringLiteral("名称中没有日期");
}

QString TimeTargets::noPhotoDateReason(int photoDateStatus)
{
    switch (photoDateStatus) {
    case PhotoDate::NotImage:
        return QStringLiteral("无拍摄时间（不是图片）");
    case PhotoDate::Damaged:
        return QStringLiteral("无拍摄时间（图片已损坏）");
    case PhotoDate::Unreadable:
        return QStringLiteral("无拍摄时间（无法读取）");
    default:
        return QStringLiteral("无拍摄时间");
    }
}

QString TimeTargets::readingPhotoDateText()
{
    return QStringLiteral("正在读取拍摄时间…");
}
