#pragma once

#include "fileops/filetimes.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What became of one no-replace rename.
enum class RenameOutcome {
    Renamed,
    TargetExists,  // something (file, folder or link) already has the target name; nothing was touched
    SourceMissing, // nothing at the source path
    Denied,        // no permission: the folder or the item is read-only, immutable or on a read-only mount
    Failed,        // refused for another reason (a name the file system rejects, ...)
};

// Renames an item (file, folder or link) within its file system and never replaces anything at the target:
// the check and the rename are one atomic step wherever the platform offers it. A change of letter case only
// (a.txt to A.txt) also works where the file system ignores case. errorDetail, when given, receives the
// system's reason for a Denied or Failed outcome. Where the file system offers no atomic no-replace rename,
// the target name is reserved first and the item moved over its own reservation (never a check, then a
// rename); what a file system lacks is learnt once per file system.
RenameOutcome renameNoReplace(const QString &from, const QString &to, QString *errorDetail = nullptr);

// A fresh temporary path beside path that says what it holds: ".quorlin-<name>-<random id>" in the same
// folder, the name shortened (never within a character) so that the whole stays within 255 bytes. Someone
// who finds it after a crash knows which item it is.
QString temporaryPathFor(const QString &path);
// Whether a file name is one that temporaryPathFor makes.
bool isTemporaryName(const QString &name);

// A folder opened once, so that work in it goes on relative to the folder itself: should the folder (or one
// above it) be renamed meanwhile, its items are still found and nothing is scattered. Where the platform has
// no such handle, the path stands in for it.
class FolderHandle
{
public:
    FolderHandle() = default;
    explicit FolderHandle(const QString &path);
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    bool isOpen() const;
    // Where the folder is now; the path it was opened with when that cannot be told.
    QString currentPath() const;
    // renameNoReplace for two names in this folder.
    RenameOutcome rename(const QString &fromName, const QString &toName, QString *errorDetail = nullptr) const;
    bool holds(const QString &name) const;
    // Removes the file of that name from this folder.
    bool remove(const QString &name) const;

    // Steps on the items of this folder by name, whatever its path has become since it was opened.
    // itemIdentity of the item of that name.
    QByteArray identity(const QString &name) const;
    // isSameEntry for two names in this folder.
    bool sameEntry(const QString &a, const QString &b) const;
    // Where the folder is now: the path it was opened with while it has not moved; empty when that cannot be
    // told (not open, or removed).
    QString whereNow() const;
    // A path that reaches name in this folder wherever the folder is now, for what can only open by path:
    // through the handle itself where the system offers that, else through the folder's present path.
    QString pathThrough(const QString &name) const;
    // The descriptor the system's *at calls take; -1 when there is none (not open, or not offered).
    int descriptor() const;

private:
#ifndef Q_OS_WIN
    QString procPath() const;
#endif
    QString m_openedAt; // where the folder was when opened, as the system names it

    QString m_path;
    int m_fd = -1;

public:
    // The times of the item of that name in this folder, relative to the folder itself: readFileTimes and
    // setReadFileInstants for an item of a folder (kept in filetimes.cpp beside them).
    FileTimes readTimes(QStringView name, QByteArray *identity = nullptr) const;
    int setReadTimes(QStringView name, FileTimes &before, const std::optional<FileInstant> &creation,
                     const std::optional<FileInstant> &lastAccess, const std::optional<FileInstant> &lastWrite,
                     FileTimesFailure *failure = nullptr, FileTimes *after = nullptr) const;
};

// True when anything has this path, a dangling link included.
bool pathOccupied(const QString &path);
// QFile::encodeName, sped up where the locale's encoding is UTF-8 (nearly everywhere): going through the
// locale's codec costs several times as much, and a job names thousands of items.
QByteArray encodedFileName(QStringView path);
// What tells one item on disk from another whatever its name (device and file number); empty when the path
// cannot be read.
QByteArray itemIdentity(const QString &path);
#ifndef Q_OS_WIN
struct statx;
// itemIdentity from a statx of the item already made (asking at least STATX_INO and STATX_BTIME), so that one
// look at an item can serve its times and its identity together.
QByteArray identityOfStatx(const QByteArray &encodedPath, const struct statx &info);
// The same for the item of that name in the folder open as folderFd.
QByteArray identityOfStatx(int folderFd, const QByteArray &encodedName, const struct statx &info);
#endif

// True when both paths reach one and the same directory entry, as a.txt and A.txt do where the file system
// ignores case. Two hard links of one file are two entries, so they are not the same.
bool isSameEntry(const QString &a, const QString &b);

#ifndef Q_OS_WIN
// The no-replace rename for file systems that refuse the atomic flag (ntfs-3g): files gain the new name as a
// hard link before they lose the old one; folders, and files where hard links are not offered, move over a
// reservation of the target name.
RenameOutcome renameNoReplaceWithoutFlag(const QString &from, const QString &to, QString *errorDetail = nullptr);
// The same where the file system offers no hard links either (exfat-fuse): an exclusive create of an empty
// file, or a mkdir for a folder, reserves the target, and the item moves over that reservation.
RenameOutcome renameNoReplaceOverReservation(const QString &from, const QString &to, QString *errorDetail = nullptr);
#endif
