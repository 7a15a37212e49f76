#pragma once

// The times of items as the disk has them, read and set past the code under test (Linux). Test times are
// whole multiples of 100 ns, the step of NTFS, so the cases also run on an ntfs-3g mount.

#include "fileops/filetimes.h"
#include "testutil_engine.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
using EngineTest::setImmutable;
#endif

struct DiskTimes
{
    FileInstant access;
    FileInstant write;
    FileInstant change;
    FileInstant birth; // zero where the file system keeps none
};

// ntfs-3g keeps the creation time as an attribute (FILETIME, little-endian) and does not report it to statx.
inline FileInstant birthAttribute(const QByteArray &path)
{
    quint64 ticks = 0;
    if (::lgetxattr(path.constData(), "system.ntfs_crtime", &ticks, sizeof ticks) != sizeof ticks)
        return {};
    ticks = qFromLittleEndian(ticks);
    return {qint64(ticks / 10000000) - 11644473600LL, int(ticks % 10000000) * 100};
}

inline FileInstant diskInstant(const struct statx_timestamp &time)
{
    return {qint64(time.tv_sec), int(time.tv_nsec)};
}

inline DiskTimes diskTimes(const QString &path, bool followLink = false)
{
    struct statx info = {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), followLink ? 0 : AT_SYMLINK_NOFOLLOW,
                STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
        qFatal("cannot stat %s", qPrintable(path));
    }
    const FileInstant birth = (info.stx_mask & STATX_BTIME) ? diskInstant(info.stx_btime)
                                                             : birthAttribute(QFile::encodeName(path));
    return {diskInstant(info.stx_atime), diskInstant(info.stx_mtime), diskInstant(info.stx_ctime), birth};
}

inline void setDiskTimes(const QString &path, const FileInstant &access, const FileInstant &write)
{
    const struct timespec times[2] = {{time_t(access.seconds), long(access.nanoseconds)},
                                      {time_t(write.seconds), long(write.nanoseconds)}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        qFatal("cannot set the times of %s", qPrintable(path));
}

// Found by QCOMPARE through the type's namespace.
inline char *toString(const FileInstant &instant)
{
    return QTest::toString(
        QStringLiteral("%1.%2").arg(instant.seconds).arg(instant.nanoseconds, 9, 10, QLatin1Char('0')));
}
