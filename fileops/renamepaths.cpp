#include "renamepaths.h"

#include <QDir>
#include <QSet>

namespace RenamePaths {

QString normalised(const QString &path)
{
    QString normal = QDir::fromNativeSeparators(path);
    if (QDir::isRelativePath(normal))
        normal = QDir::current().absoluteFilePath(normal);
    while (normal.size() > 1 && normal.endsWith(QLatin1Char('/')))
        normal.chop(1);
    return normal;
}

QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? path.left(slash + 1) : path.left(slash);
}

QString nameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString join(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool holdsNestedItems(const QStringList &paths)
{
    const QSet<QString> listed(paths.cbegin(), paths.cend());
    // Items of one folder share the folders above them: each chain of folders is walked once.
    QSet<QString> walked;
    for (const QString &path : listed) {
        for (QString folder = folderOf(path); folder.size() > 1 && folder != path; folder = folderOf(folder)) {
            if (walked.contains(folder))
                break;
            if (listed.contains(folder))
                return true;
            walked.insert(folder);
        }
    }
    return false;
}

} // namespace RenamePaths
