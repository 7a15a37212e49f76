#include "datapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <string>
#endif

// Set by the build from the install layout (bin and data folders); this is the usual one.
#ifndef QUORLIN_RELATIVE_DATA_DIR
#define QUORLIN_RELATIVE_DATA_DIR "../share/quorlin"
#endif

namespace {

// What a folder holding the program's data always has at least one of.
const char *const dataMarkers[] = {"s2t.json", "t2s.json", "help/index.html", "template"};

// The executable's path without the application object, which the log file needs before it exists.
QString executablePath()
{
#ifdef Q_OS_WIN
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], DWORD(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return QDir::fromNativeSeparators(QString::fromWCharArray(buffer.data(), int(length)));
        buffer.resize(buffer.size() * 2);
    }
#elif defined(Q_OS_LINUX)
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
#else
    return {};
#endif
}

} // namespace

namespace DataPaths {

QString find(const QString &relativePath)
{
    return find(relativePath, searchFolders());
}

QString find(const QString &relativePath, const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + relativePath);
        if (QFileInfo::exists(path))
            return path;
    }
    qWarning("Data file %s not found; searched %s", qUtf8Printable(relativePath),
             qUtf8Printable(folders.join(QStringLiteral(", "))));
    return {};
}

QStringList searchFolders()
{
    return searchFolders(programFolder());
}

QStringList searchFolders(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return {};
    return {QDir::cleanPath(programFolder), installedDataFolder(programFolder)};
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QString path = executablePath();
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

QString installedDataFolder(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return {};
    return QDir::cleanPath(programFolder + QLatin1Char('/') + QStringLiteral(QUORLIN_RELATIVE_DATA_DIR));
}

bool holdsData(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    for (const char *marker : dataMarkers) {
        if (QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(marker)))
            return true;
    }
    return false;
}

} // namespace DataPaths
