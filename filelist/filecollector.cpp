#include "filecollector.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

void collectInto(const QString &folder, QStringList &files, QSet<QString> &visited, int limit)
{
    if (limit >= 0 && files.size() >= limit)
        return;
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);

    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString path = prefix + entry.fileName();
        if (limit >= 0 && files.size() >= limit)
            return;
        if (entry.isDir())
            collectInto(path, files, visited, limit);
        else
            files.append(path);
    }
}

} // namespace

QStringList collectFilesRecursively(const QString &folder, int limit)
{
    QStringList files;
    QSet<QString> visited;
    collectInto(QDir::fromNativeSeparators(folder), files, visited, limit);
    return files;
}
