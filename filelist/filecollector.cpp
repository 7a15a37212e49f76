#include "filecollector.h"

#include "filelist/namesafety.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

struct Walk
{
    QStringList files;
    QSet<QString> visited;
    int limit = -1;
    int skipped = 0;

    bool full() const { return limit >= 0 && files.size() >= limit; }
};

bool insertNew(QSet<QString> &set, const QString &value)
{
    const int before = set.size();
    set.insert(value);
    return set.size() > before;
}

void collectInto(const QString &folder, Walk &walk)
{
    if (walk.full())
        return;
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || walk.visited.contains(canonical))
        return;
    walk.visited.insert(canonical);

    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    // The listing leaves such entries out (or shows the valid look-alike their text names); count them.
    walk.skipped += countUnsafeEntries(folder);
    QSet<QString> lookAlikes;
    for (const QFileInfo &listed : entries) {
        if (walk.full())
            return;
        const QString path = prefix + listed.fileName();
        // A text read from bytes that are not UTF-8 may be listed once per item that reads so, with either
        // item's details: take it once, asking again by the text, which names the valid item.
        const bool suspect = listed.fileName().contains(QChar::ReplacementCharacter);
        if (suspect && !insertNew(lookAlikes, path))
            continue;
        const QFileInfo entry = suspect ? QFileInfo(path) : listed;
        if (entry.isDir())
            collectInto(path, walk);
        else if (entry.exists())
            walk.files.append(path);
    }
}

} // namespace

QStringList collectFilesRecursively(const QString &folder, int limit, int *skipped)
{
    const QString root = QDir::fromNativeSeparators(folder);
    Walk walk;
    walk.limit = limit;
    if (pathRoundTrips(root))
        collectInto(root, walk);
    else
        walk.skipped = 1;
    if (skipped)
        *skipped += walk.skipped;
    return walk.files;
}
