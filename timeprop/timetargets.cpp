#include "timetargets.h"

#include "metadata/photodatecache.h"
#include "timeprop/namedate.h"

namespace {

std::optional<FileInstant> moved(const std::optional<FileInstant> &time, qint64 seconds)
{
    if (!time)
        return std::nullopt;
    return FileInstant{time->seconds + seconds, time->nanoseconds};
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
            targets.creation = moved(now.hasCreation ? std::optional(now.creation) : std::nullopt,
                                     m_settings.offsetSeconds);
        if (m_settings.setModification)
            targets.modification = moved(std::optional(now.lastWrite), m_settings.offsetSeconds);
        // An item whose creation time is unknown cannot be moved from it; the file system refuses it anyway.
        targets.convertible = (!m_settings.setCreation || targets.creation) && now.readable;
        return targets;
    }
    case TimeSource::PhotoTaken:
        return photoTargets(entry, now);
    case TimeSource::NameDate: {
        const QDateTime date = dateInName(entry.name);
        if (!date.isValid()) {
            RowTargets skipped;
            skipped.skipReason = noNameDateReason();
            return skipped;
        }
        return fromLocalTime(date);
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
    return fromLocalTime(date->taken);
}

std::optional<FileInstant> TimeTargets::instantOf(const QDateTime &time) const
{
    // A date with its own offset names an instant already; a local one needs the zone's rules.
    if (time.timeSpec() == Qt::OffsetFromUTC || time.timeSpec() == Qt::UTC)
        return FileInstant{time.toSecsSinceEpoch(), time.time().msec() * 1000000};
    // Fields, not instants: comparing local date-times would convert both, the cost this saves.
    if (!m_lastInstantSet || time.date() != m_lastDate || time.time() != m_lastClock) {
        m_lastInstantSet = true;
        m_lastDate = time.date();
        m_lastClock = time.time();
        m_lastInstant = toUtcFileTime(time);
    }
    return m_lastInstant;
}

RowTargets TimeTargets::fromLocalTime(const QDateTime &time) const
{
    RowTargets targets;
    const std::optional<FileInstant> instant = instantOf(time);
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
