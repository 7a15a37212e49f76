#include "createitem.h"

#include "fileops/renamepaths.h"
#include "fileops/safefileops.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QDir>

#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void setDetail(QString *detail, const QString &text)
{
    if (detail)
        *detail = text;
}

#ifdef Q_OS_WIN

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

bool isExistsError(DWORD error)
{
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

bool copyHandle(HANDLE from, HANDLE to)
{
    static constexpr DWORD BufferSize = 64 * 1024;
    QByteArray buffer(int(BufferSize), Qt::Uninitialized);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), BufferSize, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        DWORD offset = 0;
        while (offset < got) {
            DWORD written = 0;
            if (!WriteFile(to, buffer.constData() + offset, got - offset, &written, nullptr))
                return false;
            offset += written;
        }
    }
}

// Through the handle, so that the file removed is the one this call created, whatever has its name now.
void discard(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition;
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

#else

QString systemReason(int code)
{
    return qt_error_string(code);
}

// Closes the descriptor when the scope ends.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    // Closes now; 0 or errno.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

int writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= n;
    }
    return 0;
}

int readWriteCopy(int from, int to)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (const int error = writeAll(to, buffer, n))
            return error;
    }
}

// Copies the rest of from into to; 0 or errno.
int copyBytes(int from, int to, off_t size)
{
#ifdef Q_OS_LINUX
    // The kernel copies without a trip through this process where the file systems allow it; where they do
    // not (older kernels across file systems, some network file systems), the read/write loop takes over at
    // the offsets reached so far.
    off_t copied = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, size_t(1) << 30, 0);
        if (n > 0) {
            copied += n;
            continue;
        }
        if (n == 0 && (copied > 0 || size == 0))
            return 0;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP
            && errno != EPERM)
            return errno;
        // Nothing copied from a file that is not empty, or a refusal of the call itself.
        break;
    }
#else
    Q_UNUSED(size)
#endif
    return readWriteCopy(from, to);
}

// Where name lies in folder for the system's *at calls: the folder's descriptor and the name, or, where the
// folder has none, its path.
struct Spot
{
    int dir;
    QByteArray name;
};

Spot spotIn(const FolderHandle &folder, const QString &name)
{
    if (folder.descriptor() >= 0)
        return {folder.descriptor(), QFile::encodeName(name)};
    return {AT_FDCWD, QFile::encodeName(RenamePaths::join(folder.currentPath(), name))};
}

// Removes the file only while it is still the one this call created: a name taken over by another program in
// the meantime is left alone.
void discard(const struct stat &own, const Spot &spot)
{
    struct stat named;
    if (::fstatat(spot.dir, spot.name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && own.st_dev == named.st_dev
        && own.st_ino == named.st_ino)
        ::unlinkat(spot.dir, spot.name.constData(), 0);
}

#endif

} // namespace

#ifdef Q_OS_WIN

CreateOutcome createFolderExclusive(const QString &path, QString *errorDetail)
{
    if (CreateDirectoryW(nativePath(path).c_str(), nullptr))
        return CreateOutcome::Created;
    const DWORD error = GetLastError();
    if (isExistsError(error))
        return CreateOutcome::Exists;
    setDetail(errorDetail, qt_error_string(int(error)));
    return CreateOutcome::Failed;
}

bool isTemplateFile(const QString &templatePath)
{
    const DWORD attributes = GetFileAttributesW(nativePath(templatePath).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
        && !(attributes & FILE_ATTRIBUTE_DEVICE);
}

CreateOutcome createFileFromTemplate(const QString &path, const QString &templatePath, QString *errorDetail,
                                     const TemporaryFileMade &made)
{
    Q_UNUSED(made)
    HANDLE source = CreateFileW(nativePath(templatePath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        setDetail(errorDetail, qt_error_string(int(GetLastError())));
        return CreateOutcome::Failed;
    }
    // CREATE_NEW refuses an existing name, a link included, in the same step that creates the file.
    HANDLE target = CreateFileW(nativePath(path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(source);
        if (isExistsError(error))
            return CreateOutcome::Exists;
        setDetail(errorDetail, qt_error_string(int(error)));
        return CreateOutcome::Failed;
    }
    const bool copied = copyHandle(source, target);
    const DWORD error = copied ? 0 : GetLastError();
    CloseHandle(source);
    if (!copied)
        discard(target);
    CloseHandle(target);
    if (copied)
        return CreateOutcome::Created;
    setDetail(errorDetail, qt_error_string(int(error)));
    return CreateOutcome::Failed;
}

// Windows names items by path here: the folder's present path stands in for its handle.
CreateOutcome createFolderExclusive(const FolderHandle &folder, const QString &name, QString *errorDetail)
{
    return createFolderExclusive(RenamePaths::join(folder.currentPath(), name), errorDetail);
}

CreateOutcome createFileFromTemplate(const FolderHandle &folder, const QString &name, const QString &templatePath,
                                     QString *errorDetail, const TemporaryFileMade &made)
{
    return createFileFromTemplate(RenamePaths::join(folder.currentPath(), name), templatePath, errorDetail, made);
}

CreateOutcome createEmptyFile(const FolderHandle &folder, const QString &name, QString *errorDetail)
{
    HANDLE file = CreateFileW(nativePath(RenamePaths::join(folder.currentPath(), name)).c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return CreateOutcome::Created;
    }
    const DWORD error = GetLastError();
    if (isExistsError(error))
        return CreateOutcome::Exists;
    setDetail(errorDetail, qt_error_string(int(error)));
    return CreateOutcome::Failed;
}

#else

CreateOutcome createFolderExclusive(const QString &path, QString *errorDetail)
{
    const FolderHandle folder(RenamePaths::folderOf(path));
    return createFolderExclusive(folder, RenamePaths::nameOf(path), errorDetail);
}

bool isTemplateFile(const QString &templatePath)
{
    struct stat info;
    return ::stat(QFile::encodeName(templatePath).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

CreateOutcome createFileFromTemplate(const QString &path, const QString &templatePath, QString *errorDetail,
                                     const TemporaryFileMade &made)
{
    const FolderHandle folder(RenamePaths::folderOf(path));
    return createFileFromTemplate(folder, RenamePaths::nameOf(path), templatePath, errorDetail, made);
}

CreateOutcome createFolderExclusive(const FolderHandle &folder, const QString &name, QString *errorDetail)
{
    const Spot spot = spotIn(folder, name);
    if (::mkdirat(spot.dir, spot.name.constData(), 0777) == 0)
        return CreateOutcome::Created;
    if (errno == EEXIST)
        return CreateOutcome::Exists;
    setDetail(errorDetail, systemReason(errno));
    return CreateOutcome::Failed;
}

CreateOutcome createEmptyFile(const FolderHandle &folder, const QString &name, QString *errorDetail)
{
    const Spot spot = spotIn(folder, name);
    const int fd = ::openat(spot.dir, spot.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
        return CreateOutcome::Created;
    }
    if (errno == EEXIST)
        return CreateOutcome::Exists;
    setDetail(errorDetail, systemReason(errno));
    return CreateOutcome::Failed;
}

CreateOutcome createFileFromTemplate(const FolderHandle &folder, const QString &name, const QString &templatePath,
                                     QString *errorDetail, const TemporaryFileMade &made)
{
    // The type is checked before the open, and the open does not wait: a FIFO or a device never blocks the job.
    const QByteArray templateName = QFile::encodeName(templatePath);
    struct stat info;
    if (::stat(templateName.constData(), &info) != 0) {
        setDetail(errorDetail, systemReason(errno));
        return CreateOutcome::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        setDetail(errorDetail, systemReason(S_ISDIR(info.st_mode) ? EISDIR : EINVAL));
        return CreateOutcome::Failed;
    }
    const Descriptor source(::open(templateName.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (source.get() < 0 || ::fstat(source.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        setDetail(errorDetail, systemReason(source.get() < 0 ? errno : EINVAL));
        return CreateOutcome::Failed;
    }
    // The copy is made under a temporary name that says what it will be and only moves to its own name once
    // complete, without replacing anything: a job stopped part-way never leaves a broken file under that name.
    // The new file gets the usual permissions, not the template's: an installed read-only template must not
    // make read-only documents.
    const QString temporary = temporaryPathFor(name);
    const Spot spot = spotIn(folder, temporary);
    Descriptor target(::openat(spot.dir, spot.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (target.get() < 0) {
        setDetail(errorDetail, systemReason(errno));
        return CreateOutcome::Failed;
    }
    struct stat own;
    const bool known = ::fstat(target.get(), &own) == 0;
    if (made)
        made(RenamePaths::join(folder.currentPath(), temporary), folder.identity(temporary));
    int error = copyBytes(source.get(), target.get(), info.st_size);
    // A delayed write error may only show when the file is closed.
    const int closeError = target.close();
    if (!error)
        error = closeError;
    if (!error) {
        QString detail;
        const RenameOutcome moved = folder.rename(temporary, name, &detail);
        if (moved == RenameOutcome::Renamed)
            return CreateOutcome::Created;
        if (known)
            discard(own, spot);
        if (moved == RenameOutcome::TargetExists)
            return CreateOutcome::Exists;
        setDetail(errorDetail, detail);
        return CreateOutcome::Failed;
    }
    if (known)
        discard(own, spot);
    setDetail(errorDetail, systemReason(error));
    return CreateOutcome::Failed;
}

#endif
