#include "namesafety.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTextCodec>
#include <QUrl>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

#ifndef Q_OS_WIN

// Only a name whose text could have come from bytes that do not survive needs a look at its folder: under
// UTF-8 such bytes always read as U+FFFD; other locale encodings are not trusted that far.
bool needsCheck(const QString &name)
{
    if (name.contains(QChar::ReplacementCharacter))
        return true;
    const QTextCodec *codec = QTextCodec::codecForLocale();
    if (codec && codec->mibEnum() == 106)
        return false;
    for (const QChar c : name) {
        if (c.unicode() > 0x7f)
            return true;
    }
    return false;
}

// Whether folder holds an entry whose bytes do not survive and whose text is name.
bool holdsLookAlikeOf(const QString &folder, const QString &name)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (!nameBytesRoundTrip(bytes) && QFile::decodeName(bytes) == name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

#endif

} // namespace

bool nameBytesRoundTrip(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    Q_UNUSED(bytes)
    return true;
#else
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
#endif
}

bool pathRoundTrips(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path)
    return true;
#else
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(QDir::fromNativeSeparators(path)));
    const QStringList names = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString folder = QStringLiteral("/");
    for (const QString &name : names) {
        // The folders before this name passed already, so the folder's text reaches the folder itself.
        if (needsCheck(name) && holdsLookAlikeOf(folder, name))
            return false;
        folder = folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
    }
    return true;
#endif
}

bool urlRoundTrips(const QUrl &url)
{
    if (!url.isLocalFile())
        return true;
    // The fully encoded path keeps bytes that are not UTF-8 as they came ("%FF").
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return nameBytesRoundTrip(bytes);
}

int countUnsafeEntries(const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder)
    return 0;
#else
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return 0;
    int count = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (bytes.startsWith('.') || nameBytesRoundTrip(bytes))
            continue;
        struct stat info;
        if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)))
            ++count;
    }
    ::closedir(dir);
    return count;
#endif
}
