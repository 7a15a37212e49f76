#include "safefileops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QAtomicInt>
#include <QPair>
#include <QSet>
#include <QTextCodec>

#include <charconv>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <unistd.h>
#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif
#endif

namespace {

enum class MoveResult { Ok, Exists, Denied, Other };

struct Move
{
    MoveResult result;
    int code; // errno, or the Windows error code
};

QString parentOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? path.left(slash + 1) : path.left(slash);
}

QString nameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void setDetail(QString *detail, const QString &text)
{
    if (detail)
        *detail = text;
}

// Same folder, names equal but for letter case: the only way two spellings can reach one entry.
bool differsOnlyInCase(const QString &a, const QString &b)
{
    return a != b && parentOf(a) == parentOf(b) && nameOf(a).compare(nameOf(b), Qt::CaseInsensitive) == 0;
}

#ifdef Q_OS_WIN

// An item by its path: here every step names its item by path, a folder handle included.
struct At
{
    QString path;
};

At atPath(const QString &path)
{
    return {path};
}

QString textOf(const At &at)
{
    return at.path;
}

// Another item named the same way as at: text is a path.
At sibling(const At &, const QString &text)
{
    return {text};
}

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

Move moveEntry(const At &from, const At &to)
{
    // Without MOVEFILE_REPLACE_EXISTING the call refuses an existing target itself; without
    // MOVEFILE_COPY_ALLOWED it never turns into a copy.
    if (MoveFileExW(nativePath(from.path).c_str(), nativePath(to.path).c_str(), 0))
        return {MoveResult::Ok, 0};
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return {MoveResult::Exists, int(error)};
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT || error == ERROR_SHARING_VIOLATION)
        return {MoveResult::Denied, int(error)};
    return {MoveResult::Other, int(error)};
}

bool occupied(const At &at)
{
    return GetFileAttributesW(nativePath(at.path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool removeFile(const At &at)
{
    return QFile::remove(at.path);
}

// The volume and file index name an item only while it exists; the creation time tells a later item that
// was handed the same index from the one that had it before.
QByteArray identityOf(const At &at)
{
    HANDLE handle =
        CreateFileW(nativePath(at.path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return QByteArray();
    BY_HANDLE_FILE_INFORMATION info;
    const bool read = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!read)
        return QByteArray();
    const quint64 index = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    const quint64 created = (quint64(info.ftCreationTime.dwHighDateTime) << 32) | info.ftCreationTime.dwLowDateTime;
    return QByteArray::number(quint64(info.dwVolumeSerialNumber)) + ':' + QByteArray::number(index) + ':'
        + QByteArray::number(created);
}

bool sameEntry(const At &a, const At &b)
{
    if (!differsOnlyInCase(a.path, b.path))
        return false;
    // The search answers with the spelling the folder stores.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(nativePath(b.path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return QString::fromWCharArray(found.cFileName) == nameOf(a.path);
}

#else

// An item named relative to an open folder (dir, and a name in it), or by its path (AT_FDCWD and the path):
// the same system calls serve both.
struct At
{
    int dir;
    QByteArray name;
};

At atPath(const QString &path)
{
    return {AT_FDCWD, QFile::encodeName(path)};
}

QString textOf(const At &at)
{
    return QFile::decodeName(at.name);
}

// Another item named the same way as at: a name in the same folder, or a path.
At sibling(const At &at, const QString &text)
{
    return {at.dir, QFile::encodeName(text)};
}

bool statOf(const At &at, struct stat *info)
{
    return ::fstatat(at.dir, at.name.constData(), info, AT_SYMLINK_NOFOLLOW) == 0;
}

int moveFlagged(const At &from, const At &to)
{
    // Through syscall(): older C libraries lack the renameat2 wrapper.
    const long done =
        ::syscall(SYS_renameat2, from.dir, from.name.constData(), to.dir, to.name.constData(), RENAME_NOREPLACE);
    return done == 0 ? 0 : errno;
}

bool hardLinksUnavailable(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS || error == EMLINK;
}

// What a file system lacks, learnt from its first refusal and remembered per device for the life of the
// process: exfat-fuse answers EINVAL to the no-replace flag and EPERM to every link(), and asking again for
// each of 3000 items would only double the system calls.
enum class Lack { NoReplaceFlag, HardLinks };

class FileSystemLacks
{
public:
    bool lacks(Lack what, dev_t device) const
    {
        const QMutexLocker lock(&m_mutex);
        return m_lacking.contains({int(what), quint64(device)});
    }
    // Whether any file system lacks the flag: only then is a device worth a stat before the first try.
    bool anyLacksFlag() const { return m_anyLacksFlag.loadRelaxed(); }
    void learn(Lack what, dev_t device)
    {
        const QMutexLocker lock(&m_mutex);
        m_lacking.insert({int(what), quint64(device)});
        if (what == Lack::NoReplaceFlag)
            m_anyLacksFlag.storeRelaxed(1);
    }

private:
    mutable QMutex m_mutex;
    QSet<QPair<int, quint64>> m_lacking;
    QAtomicInt m_anyLacksFlag;
};

FileSystemLacks &fileSystemLacks()
{
    static FileSystemLacks lacks;
    return lacks;
}

bool sameInode(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes a reservation only while it is still the one this process made.
void dropReservation(const At &to, const struct stat &own, bool folder)
{
    struct stat named;
    if (!statOf(to, &named) || !sameInode(named, own))
        return;
    ::unlinkat(to.dir, to.name.constData(), folder ? AT_REMOVEDIR : 0);
}

// Makes the target name ours first, with a step of the system that refuses an existing name (an exclusive
// create for a file, mkdir for a folder), then moves the item over its own reservation. Another program that
// saves under the target name meanwhile finds the name taken instead of having its file replaced.
int moveOverReservation(const At &from, const At &to, bool folder)
{
    struct stat own;
    int fd = -1;
    if (folder) {
        if (::mkdirat(to.dir, to.name.constData(), 0700) != 0)
            return errno;
        if (!statOf(to, &own)) {
            const int error = errno;
            ::unlinkat(to.dir, to.name.constData(), AT_REMOVEDIR);
            return error;
        }
    } else {
        fd = ::openat(to.dir, to.name.constData(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        if (::fstat(fd, &own) != 0) {
            ::close(fd);
            ::unlinkat(to.dir, to.name.constData(), 0);
            return EIO;
        }
    }
    const auto closeReservation = qScopeGuard([fd] {
        if (fd >= 0)
            ::close(fd);
    });
    // The reservation must still be ours and empty: whatever another program put in its place, or wrote into
    // it, is not replaced.
    struct stat named;
    if (!statOf(to, &named) || !sameInode(named, own))
        return EEXIST;
    if (fd >= 0 && (::fstat(fd, &named) != 0 || named.st_size != 0))
        return EEXIST;
    if (::renameat(from.dir, from.name.constData(), to.dir, to.name.constData()) == 0)
        return 0;
    const int error = errno;
    dropReservation(to, own, folder);
    return error;
}

int moveUnflagged(const At &from, const At &to)
{
    struct stat source;
    if (!statOf(from, &source))
        return errno;
    const bool folder = S_ISDIR(source.st_mode);
    if (!folder && !fileSystemLacks().lacks(Lack::HardLinks, source.st_dev)) {
        // link() refuses an existing target atomically; the old name goes only once the new one is there.
        if (::linkat(from.dir, from.name.constData(), to.dir, to.name.constData(), 0) == 0) {
            if (::unlinkat(from.dir, from.name.constData(), 0) == 0)
                return 0;
            const int error = errno;
            ::unlinkat(to.dir, to.name.constData(), 0);
            return error;
        }
        if (!hardLinksUnavailable(errno))
            return errno;
        fileSystemLacks().learn(Lack::HardLinks, source.st_dev);
    }
    return moveOverReservation(from, to, folder);
}

Move classify(int error)
{
    if (error == 0)
        return {MoveResult::Ok, 0};
    // ENOTEMPTY: a plain rename met a folder that appeared after the check.
    if (error == EEXIST || error == ENOTEMPTY)
        return {MoveResult::Exists, error};
    // EPERM also answers for an immutable or append-only item or folder.
    if (error == EACCES || error == EPERM || error == EROFS)
        return {MoveResult::Denied, error};
    return {MoveResult::Other, error};
}

// A folder moved into itself is refused with EINVAL too, and says nothing about the file system.
bool intoItself(const At &from, const At &to)
{
    return from.dir == to.dir && to.name.startsWith(from.name + '/');
}

Move moveEntry(const At &from, const At &to)
{
    FileSystemLacks &lacks = fileSystemLacks();
    struct stat info;
    if (lacks.anyLacksFlag() && statOf(from, &info) && lacks.lacks(Lack::NoReplaceFlag, info.st_dev))
        return classify(moveUnflagged(from, to));
    int error = moveFlagged(from, to);
    // EINVAL: the file system does not know the flag (ntfs-3g, exfat-fuse); ENOSYS: the kernel does not.
    if ((error == EINVAL || error == ENOSYS) && !intoItself(from, to)) {
        if (statOf(from, &info))
            lacks.learn(Lack::NoReplaceFlag, info.st_dev);
        error = moveUnflagged(from, to);
    }
    return classify(error);
}

bool occupied(const At &at)
{
    struct stat info;
    return statOf(at, &info);
}

bool removeFile(const At &at)
{
    return ::unlinkat(at.dir, at.name.constData(), 0) == 0;
}

// The generation number the file system gave the inode when it was handed out (ext4, xfs, btrfs draw a new
// one each time); 0 where there is none to read. Only files and folders are opened: opening a device or a
// fifo can have effects of its own.
quint32 generationOf(const At &at, mode_t mode)
{
    if (!S_ISREG(mode) && !S_ISDIR(mode))
        return 0;
    const int fd = ::openat(at.dir, at.name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    unsigned int generation = 0;
    if (::ioctl(fd, FS_IOC_GETVERSION, &generation) != 0)
        generation = 0;
    ::close(fd);
    return generation;
}

// Writes number and then separator at out; returns where the text ends.
template<typename Number>
char *putNumber(char *out, Number number, char separator = '\0')
{
    out = std::to_chars(out, out + 24, number).ptr;
    if (separator)
        *out++ = separator;
    return out;
}

QByteArray identityFromStatx(const At &at, const struct statx &info)
{
    // Written with to_chars into one buffer: a job makes one identity per row, and QByteArray::number goes
    // through a QString.
    char text[4 * 24];
    char *end = putNumber(text, quint64(::makedev(info.stx_dev_major, info.stx_dev_minor)), ':');
    end = putNumber(end, quint64(info.stx_ino), ':');
    // The birth time tells a new item from an old one that had the same inode number; where the file system
    // keeps none, the inode generation does (it costs an open, so only then).
    if (info.stx_mask & STATX_BTIME) {
        end = putNumber(end, qint64(info.stx_btime.tv_sec), '.');
        end = putNumber(end, info.stx_btime.tv_nsec);
    } else {
        end = putNumber(end, generationOf(at, info.stx_mode));
    }
    return QByteArray(text, int(end - text));
}

// Device and inode number name an item only while it exists: ext4 hands a freed inode number to the next new
// item at once. The birth time tells the two apart, or the inode generation where there is no birth time.
// ext4 keeps birth times at clock-tick resolution, so only an item made within a few milliseconds of its
// predecessor's own birth could pass for it.
QByteArray identityOf(const At &at)
{
    struct statx info;
    if (::statx(at.dir, at.name.constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_INO | STATX_BTIME, &info) != 0)
        return QByteArray();
    return identityFromStatx(at, info);
}

// Whether the folder of item lists name, spelt exactly so.
bool folderListsName(const At &item, const QByteArray &name)
{
    const int fd = item.dir == AT_FDCWD
        ? ::open(QFile::encodeName(parentOf(textOf(item))).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
        : ::openat(item.dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool found = false;
    while (const dirent *entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

bool sameEntry(const At &a, const At &b)
{
    struct stat infoA;
    struct stat infoB;
    if (!statOf(a, &infoA) || !statOf(b, &infoB))
        return false;
    if (sameInode(infoA, infoB))
        return S_ISDIR(infoA.st_mode) || infoA.st_nlink == 1;
    const QString textA = textOf(a);
    const QString textB = textOf(b);
    if (a.dir != b.dir || !differsOnlyInCase(textA, textB))
        return false;
    // Path-based FUSE file systems (exfat-fuse) number every spelling separately: ask the folder which
    // spelling it stores.
    return folderListsName(a, QFile::encodeName(nameOf(textA)))
        && !folderListsName(a, QFile::encodeName(nameOf(textB)));
}

#endif

QString errorText(int code)
{
    return qt_error_string(code);
}

// A case-only rename on a file system that ignores case: the target name is the item itself, so the item
// steps aside to a free temporary name in its folder and then takes the new spelling.
RenameOutcome renameThroughTemporaryName(const At &from, const At &to, QString *errorDetail)
{
    At temporary = from;
    Move aside{MoveResult::Exists, 0};
    for (int attempt = 0; attempt < 8 && aside.result == MoveResult::Exists; ++attempt) {
        temporary = sibling(from, temporaryPathFor(textOf(from)));
        aside = moveEntry(from, temporary);
    }
    if (aside.result != MoveResult::Ok) {
        setDetail(errorDetail, errorText(aside.code));
        return RenameOutcome::Failed;
    }
    const Move done = moveEntry(temporary, to);
    if (done.result == MoveResult::Ok)
        return RenameOutcome::Renamed;
    const Move back = moveEntry(temporary, from);
    if (back.result != MoveResult::Ok) {
        setDetail(errorDetail,
                  QStringLiteral("the item is left as %1: %2").arg(textOf(temporary), errorText(back.code)));
        return RenameOutcome::Failed;
    }
    if (done.result == MoveResult::Exists)
        return RenameOutcome::TargetExists;
    setDetail(errorDetail, errorText(done.code));
    return RenameOutcome::Failed;
}

RenameOutcome outcomeOf(const Move &move, const At &from, QString *errorDetail)
{
    if (move.result == MoveResult::Ok)
        return RenameOutcome::Renamed;
    if (move.result == MoveResult::Exists)
        return RenameOutcome::TargetExists;
    if (!occupied(from))
        return RenameOutcome::SourceMissing;
    setDetail(errorDetail, errorText(move.code));
    return move.result == MoveResult::Denied ? RenameOutcome::Denied : RenameOutcome::Failed;
}

RenameOutcome renameAt(const At &from, const At &to, QString *errorDetail)
{
    const Move move = moveEntry(from, to);
    if (move.result == MoveResult::Exists && sameEntry(from, to))
        return renameThroughTemporaryName(from, to, errorDetail);
    return outcomeOf(move, from, errorDetail);
}

// An item of folder: through its descriptor where it has one, else by the folder's path.
At placeIn(const FolderHandle &folder, const QString &name)
{
#ifndef Q_OS_WIN
    if (folder.descriptor() >= 0)
        return {folder.descriptor(), QFile::encodeName(name)};
#endif
    return atPath(folder.currentPath() + QLatin1Char('/') + name);
}

} // namespace

RenameOutcome renameNoReplace(const QString &from, const QString &to, QString *errorDetail)
{
    return renameAt(atPath(from), atPath(to), errorDetail);
}

QString temporaryPathFor(const QString &path)
{
    static const QString prefix = QStringLiteral(".quorlin-");
    // Prefix, dash and 16 hex digits leave this much of 255 bytes for the name.
    constexpr int NameBytes = 255 - 9 - 1 - 16;
    QString name = nameOf(path);
    while (QFile::encodeName(name).size() > NameBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.at(name.size() - 1).isHighSurrogate())
            name.chop(1);
    }
    const QString id = QStringLiteral("%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    QString folder = parentOf(path);
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + prefix + name + QLatin1Char('-') + id;
}

bool isTemporaryName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.quorlin-.*-[0-9a-f]{16}$"));
    return pattern.match(name).hasMatch();
}

FolderHandle::FolderHandle(const QString &path) : m_path(path)
{
#ifndef Q_OS_WIN
    m_fd = ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_fd >= 0)
        m_openedAt = QFileInfo(procPath()).symLinkTarget();
#endif
}

FolderHandle::~FolderHandle()
{
#ifndef Q_OS_WIN
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

bool FolderHandle::isOpen() const
{
    return m_fd >= 0;
}

QString FolderHandle::currentPath() const
{
    const QString now = whereNow();
    return now.isEmpty() ? m_path : now;
}

RenameOutcome FolderHandle::rename(const QString &fromName, const QString &toName, QString *errorDetail) const
{
    return renameAt(placeIn(*this, fromName), placeIn(*this, toName), errorDetail);
}

bool FolderHandle::holds(const QString &name) const
{
    return occupied(placeIn(*this, name));
}

bool FolderHandle::remove(const QString &name) const
{
    return removeFile(placeIn(*this, name));
}

QByteArray FolderHandle::identity(const QString &name) const
{
    return identityOf(placeIn(*this, name));
}

bool FolderHandle::sameEntry(const QString &a, const QString &b) const
{
    return ::sameEntry(placeIn(*this, a), placeIn(*this, b));
}

QString FolderHandle::whereNow() const
{
#ifdef Q_OS_WIN
    return m_path;
#else
    if (m_fd < 0)
        return QString();
    // The system names the folder without the links the path went through: only a change is news.
    const QString target = QFileInfo(procPath()).symLinkTarget();
    if (target == m_openedAt)
        return m_path;
    return target.endsWith(QLatin1String(" (deleted)")) ? QString() : target;
#endif
}

QString FolderHandle::pathThrough(const QString &name) const
{
#ifndef Q_OS_WIN
    // The link of the descriptor leads to the folder itself, wherever it is now.
    if (m_fd >= 0 && QFileInfo::exists(procPath()))
        return procPath() + QLatin1Char('/') + name;
#endif
    return currentPath() + QLatin1Char('/') + name;
}

int FolderHandle::descriptor() const
{
    return m_fd;
}

#ifndef Q_OS_WIN
QString FolderHandle::procPath() const
{
    return QStringLiteral("/proc/self/fd/") + QString::number(m_fd);
}
#endif

bool pathOccupied(const QString &path)
{
    return occupied(atPath(path));
}

QByteArray encodedFileName(QStringView path)
{
    constexpr int Utf8Mib = 106;
    const QTextCodec *codec = QTextCodec::codecForLocale();
    return codec && codec->mibEnum() == Utf8Mib ? path.toUtf8() : QFile::encodeName(path.toString());
}

#ifndef Q_OS_WIN
QByteArray identityOfStatx(const QByteArray &encoded, const struct statx &info)
{
    return identityFromStatx({AT_FDCWD, encoded}, info);
}

QByteArray identityOfStatx(int folderFd, const QByteArray &encodedName, const struct statx &info)
{
    return identityFromStatx({folderFd, encodedName}, info);
}
#endif

QByteArray itemIdentity(const QString &path)
{
    return identityOf(atPath(path));
}

bool isSameEntry(const QString &a, const QString &b)
{
    return sameEntry(atPath(a), atPath(b));
}

#ifndef Q_OS_WIN
RenameOutcome renameNoReplaceWithoutFlag(const QString &from, const QString &to, QString *errorDetail)
{
    const At source = atPath(from);
    return outcomeOf(classify(moveUnflagged(source, atPath(to))), source, errorDetail);
}

RenameOutcome renameNoReplaceOverReservation(const QString &from, const QString &to, QString *errorDetail)
{
    const At source = atPath(from);
    struct stat info;
    const bool folder = statOf(source, &info) && S_ISDIR(info.st_mode);
    return outcomeOf(classify(moveOverReservation(source, atPath(to), folder)), source, errorDetail);
}
#endif
