#include "filetimes.h"

#include "safefileops.h"

#include <QFile>
#include <QScopeGuard>
#include <QtEndian>

#include <limits>

#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#else
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

namespace {

// Windows FILETIME, also the form of the creation attribute of ntfs-3g: 100 ns ticks since 1601-01-01 UTC.
constexpr qint64 TicksPerSecond = 10000000;
constexpr qint64 SecondsFrom1601To1970 = 11644473600LL;
constexpr qint64 LastTickSecond = std::numeric_limits<qint64>::max() / TicksPerSecond - SecondsFrom1601To1970 - 1;

std::optional<quint64> ticksOf(const FileInstant &instant)
{
    if (instant.seconds < -SecondsFrom1601To1970 || instant.seconds > LastTickSecond)
        return std::nullopt;
    return quint64(instant.seconds + SecondsFrom1601To1970) * TicksPerSecond + quint64(instant.nanoseconds / 100);
}

FileInstant instantOfTicks(quint64 ticks)
{
    return {qint64(ticks / TicksPerSecond) - SecondsFrom1601To1970, int(ticks % TicksPerSecond) * 100};
}

int fail(FileTimesFailure *failure, FileTimesFailure reason)
{
    if (failure)
        *failure = reason;
    switch (reason) {
    case FileTimesFailure::None:
        return FileTimesSet;
    case FileTimesFailure::Missing:
    case FileTimesFailure::Unreadable:
        return FileTimesUnreadable;
    case FileTimesFailure::CreationNotSettable:
    case FileTimesFailure::OutOfRange:
    case FileTimesFailure::Refused:
        break;
    }
    return FileTimesUnwritable;
}

int emptyPath(FileTimesFailure *failure)
{
    fail(failure, FileTimesFailure::None);
    return FileTimesEmptyPath;
}

// An invalid date-time asks for nothing; false when a valid one cannot be converted.
bool convert(const QDateTime &dateTime, std::optional<FileInstant> &instant)
{
    instant = dateTime.isValid() ? toUtcFileTime(dateTime) : std::nullopt;
    return !dateTime.isValid() || instant.has_value();
}

#ifdef Q_OS_WIN

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

quint64 ticksOf(const FILETIME &time)
{
    return (quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME fileTimeOf(quint64 ticks)
{
    FILETIME time;
    time.dwLowDateTime = DWORD(ticks & 0xffffffffu);
    time.dwHighDateTime = DWORD(ticks >> 32);
    return time;
}

bool isMissingError(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Without FILE_FLAG_OPEN_REPARSE_POINT a link would be opened as its target, and the target's times changed.
HANDLE openItem(const QString &path, DWORD access, DWORD share)
{
    return CreateFileW(nativePath(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

#else

const char CreationAttribute[] = "system.ntfs_crtime";

// An item as the system calls reach it: by its name in an open folder, or (folder AT_FDCWD) by its path.
struct ItemAt
{
    int folder;
    QByteArray name;

    // For the calls that take no folder (extended attributes): through the folder's handle in /proc, which
    // reaches the folder wherever it has gone.
    QByteArray path() const
    {
        if (folder == AT_FDCWD)
            return name;
        return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(folder) + '/' + name;
    }
};

ItemAt atPath(const QString &path)
{
    return {AT_FDCWD, encodedFileName(path)};
}

// identity: whether the look also tells which item it is (itemIdentity), or only its times.
int statxOf(const ItemAt &item, struct statx *info, bool identity)
{
    const unsigned int times = STATX_ATIME | STATX_MTIME | STATX_BTIME;
    const int done = ::statx(item.folder, item.name.constData(), AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT,
                             identity ? STATX_BASIC_STATS | times : times, info);
    return done == 0 ? 0 : errno;
}

FileInstant instantOf(const struct statx_timestamp &time)
{
    return {qint64(time.tv_sec), int(time.tv_nsec)};
}

bool isMissingError(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

// ntfs-3g keeps the creation time settable as an attribute; other file systems have no such way.
std::optional<FileInstant> creationAttribute(const ItemAt &item)
{
    uchar bytes[8];
    if (::lgetxattr(item.path().constData(), CreationAttribute, bytes, sizeof bytes) != sizeof bytes)
        return std::nullopt;
    return instantOfTicks(qFromLittleEndian<quint64>(bytes));
}

bool writeCreationAttribute(const ItemAt &item, quint64 ticks)
{
    uchar bytes[8];
    qToLittleEndian(ticks, bytes);
    return ::lsetxattr(item.path().constData(), CreationAttribute, bytes, sizeof bytes, 0) == 0;
}

// Fills times from the item, and identity when given (empty when nothing could be read); 0, or the reason
// it could not be read.
int readItemTimes(const ItemAt &item, FileTimes &times, QByteArray *identity = nullptr)
{
    times = FileTimes();
    struct statx info;
    const int error = statxOf(item, &info, identity != nullptr);
    if (identity)
        *identity = error == 0 ? identityOfStatx(item.folder, item.name, info) : QByteArray();
    if (error != 0) {
        times.exists = !isMissingError(error);
        return error;
    }
    times.exists = true;
    if (!(info.stx_mask & STATX_MTIME))
        return ENODATA;
    times.readable = true;
    times.lastAccess = instantOf(info.stx_atime);
    times.lastWrite = instantOf(info.stx_mtime);
    if (info.stx_mask & STATX_BTIME) {
        times.hasCreation = true;
        times.creation = instantOf(info.stx_btime);
    } else if (const std::optional<FileInstant> creation = creationAttribute(item)) {
        times.hasCreation = true;
        times.creation = *creation;
    }
    return 0;
}

struct timespec timespecOf(const std::optional<FileInstant> &instant)
{
    struct timespec time = {0, UTIME_OMIT};
    if (instant) {
        time.tv_sec = time_t(instant->seconds);
        time.tv_nsec = long(instant->nanoseconds);
    }
    return time;
}

bool writeTimes(const ItemAt &item, const std::optional<FileInstant> &lastAccess,
                const std::optional<FileInstant> &lastWrite)
{
    const struct timespec times[2] = {timespecOf(lastAccess), timespecOf(lastWrite)};
    return ::utimensat(item.folder, item.name.constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// Every file system with times holds those from 1980 (FAT) to early 2038 (ext4 with small inodes), a day
// kept clear at each end for FAT's local times.
bool surelyHeld(const std::optional<FileInstant> &asked)
{
    constexpr qint64 First = 315619200;          // 1980-01-02 00:00 UTC
    constexpr qint64 Last = 2147483647 - 86400; // 2038-01-18 03:14 UTC
    return !asked || (asked->seconds >= First && asked->seconds < Last);
}

// Outside that range the kernel silently clamps a time to what its file system can hold (ext4 with small
// inodes: 1901-12-13 20:45:52 to 2038-01-19 03:14:07, a second off the edge) and cuts it down to the file
// system's step (nanoseconds, 100 ns on NTFS, 10 ms on exFAT, whole seconds, two seconds on FAT). A time
// cut down to a step is what was asked at that precision; any other time is not.
bool held(const std::optional<FileInstant> &asked, const FileInstant &stored)
{
    if (!asked)
        return true;
    const qint64 seconds = stored.seconds;
    const long nanoseconds = long(stored.nanoseconds);
    if (seconds == asked->seconds) {
        for (const long step : {1L, 100L, 1000L, 10000000L, 1000000000L}) {
            if (nanoseconds == asked->nanoseconds - asked->nanoseconds % step)
                return true;
        }
        return false;
    }
    // Two-second steps: an odd second goes down to the even one before it.
    return nanoseconds == 0 && (asked->seconds & 1) != 0 && seconds == asked->seconds - 1;
}

// Puts back the times that were just written over, exactly as they were read before.
bool restoreTimes(const ItemAt &item, const FileTimes &before, bool access, bool write)
{
    const std::optional<FileInstant> lastAccess = access ? std::optional(before.lastAccess) : std::nullopt;
    const std::optional<FileInstant> lastWrite = write ? std::optional(before.lastWrite) : std::nullopt;
    return writeTimes(item, lastAccess, lastWrite);
}

// after, when given, receives the times read back (the one read serves the check too); when not, they are
// read only where the file system may not hold what was asked.
FileTimesFailure writeAndCheck(const ItemAt &item, const FileTimes &before,
                               const std::optional<FileInstant> &lastAccess,
                               const std::optional<FileInstant> &lastWrite, FileTimes *after)
{
    if (!writeTimes(item, lastAccess, lastWrite))
        return FileTimesFailure::Refused;
    if (!after && surelyHeld(lastAccess) && surelyHeld(lastWrite))
        return FileTimesFailure::None;
    FileTimes found;
    readItemTimes(item, found);
    if (after)
        *after = found;
    // Written and then gone: nothing is left to check or to put back.
    if (!found.readable)
        return FileTimesFailure::None;
    if (held(lastAccess, found.lastAccess) && held(lastWrite, found.lastWrite))
        return FileTimesFailure::None;
    if (!restoreTimes(item, before, lastAccess.has_value(), lastWrite.has_value()))
        return FileTimesFailure::Refused;
    return FileTimesFailure::OutOfRange;
}

#endif

} // namespace

QDateTime FileTimes::creationTime() const
{
    return hasCreation ? toLocalDateTime(creation) : QDateTime();
}

QDateTime FileTimes::modificationTime() const
{
    return readable ? toLocalDateTime(lastWrite) : QDateTime();
}

QDateTime toLocalDateTime(const FileInstant &instant)
{
    const qint64 msecs = instant.seconds * 1000 + instant.nanoseconds / 1000000;
#ifndef Q_OS_WIN
    // Qt::LocalTime re-reads the zone and runs mktime for every date-time; a list shows thousands of them.
    const time_t seconds = time_t(instant.seconds);
    struct tm local;
    if (::localtime_r(&seconds, &local))
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, int(local.tm_gmtoff));
#endif
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime);
}

int setFileTimes(const QString &path, const QDateTime &creation, const QDateTime &lastAccess,
                 const QDateTime &lastWrite, FileTimesFailure *failure)
{
    if (path.isEmpty())
        return emptyPath(failure);
    std::optional<FileInstant> creationInstant;
    std::optional<FileInstant> accessInstant;
    std::optional<FileInstant> writeInstant;
    if (convert(creation, creationInstant) && convert(lastAccess, accessInstant) && convert(lastWrite, writeInstant))
        return setFileInstants(path, creationInstant, accessInstant, writeInstant, failure);
    const FileTimes times = readFileTimes(path);
    if (!times.exists)
        return fail(failure, FileTimesFailure::Missing);
    if (!times.readable)
        return fail(failure, FileTimesFailure::Unreadable);
    return fail(failure, FileTimesFailure::OutOfRange);
}

#ifdef Q_OS_WIN

FileTimes readFileTimes(const QString &path, QByteArray *identity)
{
    FileTimes times;
    if (identity)
        *identity = path.isEmpty() ? QByteArray() : itemIdentity(path);
    if (path.isEmpty())
        return times;
    HANDLE handle = openItem(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (handle == INVALID_HANDLE_VALUE) {
        times.exists = !isMissingError(GetLastError());
        return times;
    }
    FILETIME creation;
    FILETIME lastAccess;
    FILETIME lastWrite;
    const bool read = GetFileTime(handle, &creation, &lastAccess, &lastWrite);
    CloseHandle(handle);
    times.exists = true;
    if (!read)
        return times;
    times.readable = true;
    times.hasCreation = true;
    times.creation = instantOfTicks(ticksOf(creation));
    times.lastAccess = instantOfTicks(ticksOf(lastAccess));
    times.lastWrite = instantOfTicks(ticksOf(lastWrite));
    return times;
}

int setFileInstants(const QString &path, const std::optional<FileInstant> &creation,
                    const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                    FileTimesFailure *failure, FileTimes *before)
{
    FileTimes found;
    const auto report = qScopeGuard([&] {
        if (before)
            *before = found;
    });
    if (path.isEmpty())
        return emptyPath(failure);
    // Sharing neither writes nor a second writer's handle while the times change.
    HANDLE handle = openItem(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE);
    if (handle == INVALID_HANDLE_VALUE) {
        found.exists = !isMissingError(GetLastError());
        return fail(failure, found.exists ? FileTimesFailure::Unreadable : FileTimesFailure::Missing);
    }
    found.exists = true;
    FILETIME times[3];
    if (!GetFileTime(handle, &times[0], &times[1], &times[2])) {
        CloseHandle(handle);
        return fail(failure, FileTimesFailure::Unreadable);
    }
    found.readable = true;
    found.hasCreation = true;
    found.creation = instantOfTicks(ticksOf(times[0]));
    found.lastAccess = instantOfTicks(ticksOf(times[1]));
    found.lastWrite = instantOfTicks(ticksOf(times[2]));
    const std::optional<FileInstant> *asked[3] = {&creation, &lastAccess, &lastWrite};
    for (int i = 0; i < 3; ++i) {
        if (!asked[i]->has_value())
            continue;
        const std::optional<quint64> ticks = ticksOf(**asked[i]);
        if (!ticks) {
            CloseHandle(handle);
            return fail(failure, FileTimesFailure::OutOfRange);
        }
        times[i] = fileTimeOf(*ticks);
    }
    const bool set = SetFileTime(handle, &times[0], &times[1], &times[2]);
    CloseHandle(handle);
    return fail(failure, set ? FileTimesFailure::None : FileTimesFailure::Refused);
}

// Windows reads and writes through one handle, so the times read before cost nothing more.
int setReadFileInstants(const QString &path, FileTimes &before, const std::optional<FileInstant> &creation,
                        const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                        FileTimesFailure *failure, FileTimes *after)
{
    const int code = setFileInstants(path, creation, lastAccess, lastWrite, failure, &before);
    if (after)
        *after = code == FileTimesSet ? readFileTimes(path) : FileTimes();
    return code;
}

std::optional<FileInstant> toUtcFileTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return std::nullopt;
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    // The years SYSTEMTIME can name.
    if (date.year() < 1601 || date.year() > 30827)
        return std::nullopt;
    SYSTEMTIME system;
    system.wYear = WORD(date.year());
    system.wMonth = WORD(date.month());
    system.wDayOfWeek = WORD(date.dayOfWeek());
    system.wDay = WORD(date.day());
    system.wHour = WORD(time.hour());
    system.wMinute = WORD(time.minute());
    system.wSecond = WORD(time.second());
    system.wMilliseconds = WORD(time.msec());
    FILETIME local;
    FILETIME utc;
    if (!SystemTimeToFileTime(&system, &local) || !LocalFileTimeToFileTime(&local, &utc))
        return std::nullopt;
    return instantOfTicks(ticksOf(utc));
}

bool creationTimeSettable(const QString &)
{
    return true;
}

bool systemSetsCreationTimes()
{
    return true;
}

#else

FileTimes readFileTimes(const QString &path, QByteArray *identity)
{
    FileTimes times;
    if (path.isEmpty()) {
        if (identity)
            identity->clear();
        return times;
    }
    readItemTimes(atPath(path), times, identity);
    return times;
}

namespace {

// setFileInstants for an item whose times (found) were read already.
int setInstants(const ItemAt &item, FileTimes &found, const std::optional<FileInstant> &creation,
                const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                FileTimesFailure *failure, FileTimes *after)
{
    if (!found.readable)
        return fail(failure, found.exists ? FileTimesFailure::Unreadable : FileTimesFailure::Missing);

    // Everything that can refuse the creation time is asked before anything is written.
    std::optional<quint64> creationTicks;
    if (creation) {
        creationTicks = ticksOf(*creation);
        if (!creationTicks)
            return fail(failure, FileTimesFailure::OutOfRange);
        const std::optional<FileInstant> current = creationAttribute(item);
        if (!current)
            return fail(failure, FileTimesFailure::CreationNotSettable);
        // The time about to be written over, whatever statx said.
        found.hasCreation = true;
        found.creation = *current;
    }
    if (lastAccess || lastWrite) {
        const FileTimesFailure written = writeAndCheck(item, found, lastAccess, lastWrite, after);
        if (written != FileTimesFailure::None)
            return fail(failure, written);
    }
    if (creationTicks && !writeCreationAttribute(item, *creationTicks)) {
        restoreTimes(item, found, lastAccess.has_value(), lastWrite.has_value());
        return fail(failure, FileTimesFailure::Refused);
    }
    // The creation attribute was written after the read-back, or nothing was written at all.
    if (after && (creationTicks || !(lastAccess || lastWrite)))
        readItemTimes(item, *after);
    return fail(failure, FileTimesFailure::None);
}

} // namespace

int setFileInstants(const QString &path, const std::optional<FileInstant> &creation,
                    const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                    FileTimesFailure *failure, FileTimes *before)
{
    FileTimes found;
    const auto report = qScopeGuard([&] {
        if (before)
            *before = found;
    });
    if (path.isEmpty())
        return emptyPath(failure);
    const ItemAt item = atPath(path);
    readItemTimes(item, found);
    return setInstants(item, found, creation, lastAccess, lastWrite, failure, nullptr);
}

int setReadFileInstants(const QString &path, FileTimes &before, const std::optional<FileInstant> &creation,
                        const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                        FileTimesFailure *failure, FileTimes *after)
{
    if (after)
        *after = FileTimes();
    if (path.isEmpty())
        return emptyPath(failure);
    return setInstants(atPath(path), before, creation, lastAccess, lastWrite, failure, after);
}

std::optional<FileInstant> toUtcFileTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return std::nullopt;
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    struct tm fields = {};
    fields.tm_year = date.year() - 1900;
    fields.tm_mon = date.month() - 1;
    fields.tm_mday = date.day();
    fields.tm_hour = time.hour();
    fields.tm_min = time.minute();
    fields.tm_sec = time.second();
    // The C library decides whether summer time applies on that date.
    fields.tm_isdst = -1;
    errno = 0;
    const time_t seconds = ::mktime(&fields);
    // -1 is also 1969-12-31 23:59:59 UTC; only errno tells a failure.
    if (seconds == time_t(-1) && errno != 0)
        return std::nullopt;
    return FileInstant{qint64(seconds), time.msec() * 1000000};
}

bool creationTimeSettable(const QString &path)
{
    return !path.isEmpty() && creationAttribute(atPath(path)).has_value();
}

bool systemSetsCreationTimes()
{
    return false;
}

#endif

// FolderHandle's calls on the times of its items. Without a handle (Windows, or a folder that could not be
// opened) the folder's path stands in for it.
FileTimes FolderHandle::readTimes(QStringView name, QByteArray *identity) const
{
#ifndef Q_OS_WIN
    if (m_fd >= 0) {
        FileTimes times;
        readItemTimes(ItemAt{m_fd, encodedFileName(name)}, times, identity);
        return times;
    }
#endif
    return readFileTimes(currentPath() + QLatin1Char('/') + name.toString(), identity);
}

int FolderHandle::setReadTimes(QStringView name, FileTimes &before, const std::optional<FileInstant> &creation,
                               const std::optional<FileInstant> &lastAccess,
                               const std::optional<FileInstant> &lastWrite, FileTimesFailure *failure,
                               FileTimes *after) const
{
#ifndef Q_OS_WIN
    if (m_fd >= 0) {
        if (after)
            *after = FileTimes();
        return setInstants(ItemAt{m_fd, encodedFileName(name)}, before, creation, lastAccess, lastWrite, failure,
                           after);
    }
#endif
    return setReadFileInstants(currentPath() + QLatin1Char('/') + name.toString(), before, creation, lastAccess,
                               lastWrite, failure, after);
}
