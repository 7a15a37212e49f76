#include "uniquename.h"

#include "fileops/safefileops.h"

#include <QFileInfo>

namespace {

bool taken(const QString &path, const QString &self)
{
    if (!pathOccupied(path))
        return false;
    return self.isEmpty() || !isSameEntry(self, path);
}

} // namespace

QString uniqueName(const QString &target, int counter, const QString &self)
{
    if (!taken(target, self))
        return target;
    const QFileInfo info(target);
    // A name that is all extension (".gitignore") keeps its form: the counter goes behind it.
    const bool dotName = info.completeBaseName().isEmpty();
    const QString suffix = dotName ? QString() : info.suffix();
    const QString extension = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    const QString base = dotName ? info.fileName() : info.completeBaseName();
    const QString stem = info.absolutePath() + QLatin1Char('/') + base + QLatin1Char('(');
    for (;;) {
        ++counter;
        const QString candidate = stem + QString::number(counter) + QLatin1Char(')') + extension;
        if (!taken(candidate, self))
            return candidate;
    }
}
