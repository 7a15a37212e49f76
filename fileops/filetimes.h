#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

// An instant as file systems keep it: whole seconds since 1970-01-01 00:00 UTC (negative before) and the
// nanoseconds after them. Finer than QDateTime, so times read from an item can be put back exactly.
struct FileInstant
{
    qint64 seconds = 0;
    int nanoseconds = 0; // 0 to 999 999 999

    bool operator==(const FileInstant &other) const
    {
        return seconds == other.seconds && nanoseconds == other.nanoseconds;
    }
    bool operator!=(const FileInstant &other) const { return !(*this == other); }
};

// The times of one item, read without following a symbolic link: a link has times of its own.
struct FileTimes
{
    bool exists = false;      // something is at the path, a dangling link included
    bool readable = false;    // its times were read
    bool hasCreation = false; // the file system tells when the item was created
    FileInstant creation;
    FileInstant lastAccess;
    FileInstant lastWrite;

    // Local date-times for showing; invalid when the time is not known.
    QDateTime creationTime() const;
    QDateTime modificationTime() const;
};

// The result codes of setFileTimes.
enum FileTimesCode {
    FileTimesSet = 0,
    FileTimesEmptyPath = 1,
    FileTimesUnreadable = 2, // the item could not be opened or its times read
    FileTimesUnwritable = 3, // the times could not be written
};

// Why setFileTimes failed, beyond its code.
enum class FileTimesFailure {
    None,
    Missing,             // code 2: nothing at the path
    Unreadable,          // code 2: the item is there but could not be read
    CreationNotSettable, // code 3: the file system offers no way to set a creation time; nothing was changed
    OutOfRange,          // code 3: the file system cannot hold a time asked for; nothing was changed
    Refused,             // code 3: the system refused (permissions, an immutable item, ...)
};

// identity, when given, receives the item's itemIdentity from the same look at it (empty when it could not
// be read).
FileTimes readFileTimes(const QString &path, QByteArray *identity = nullptr);

// Sets the given times of an item (file, folder, or a symbolic link itself); an invalid date-time leaves that
// time unchanged. Date-times are taken as local wall-clock times (toUtcFileTime). Returns a FileTimesCode;
// failure, when given, receives the reason. Where a creation time is asked for and cannot be set, nothing is
// written at all.
int setFileTimes(const QString &path, const QDateTime &creation, const QDateTime &lastAccess,
                 const QDateTime &lastWrite, FileTimesFailure *failure = nullptr);

// The same with exact instants; an absent one is left unchanged. before, when given, receives the times the
// item had when the call found it (left empty when it could not be read).
int setFileInstants(const QString &path, const std::optional<FileInstant> &creation,
                    const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                    FileTimesFailure *failure = nullptr, FileTimes *before = nullptr);

// The same for an item whose times were just read (readFileTimes): before stands for them and is not read
// again; where a creation time is asked, its creation time becomes the one about to be written over. after,
// when given, receives the times the item has once written, from the one read that also checks the file
// system kept what was asked (a time it clamped fails with OutOfRange); left empty when nothing was written.
int setReadFileInstants(const QString &path, FileTimes &before, const std::optional<FileInstant> &creation,
                        const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                        FileTimesFailure *failure = nullptr, FileTimes *after = nullptr);

// The instant a date-time names when its fields (year to millisecond) are read as local wall-clock time,
// whatever its time zone setting. Absent for an invalid date-time and for one the system cannot convert.
std::optional<FileInstant> toUtcFileTime(const QDateTime &dateTime);

// An instant as local date-time, to the millisecond. Its date() and time() are the local wall-clock time; on
// Linux it carries the local offset of that instant (Qt::OffsetFromUTC), which is much cheaper to make than
// Qt::LocalTime and compares and shows the same.
QDateTime toLocalDateTime(const FileInstant &instant);

// Whether the creation time of the item at path can be set (on Linux only where the file system exposes it,
// as ntfs-3g does).
bool creationTimeSettable(const QString &path);

// Whether this system sets creation times on its usual file systems (Windows); elsewhere only a few file
// systems allow it.
bool systemSetsCreationTimes();
