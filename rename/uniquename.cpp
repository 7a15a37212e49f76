#include "uniquename.h"

#include "common/safefileops.h"

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
    const QString suffix = info.suffix();
    const QString extension = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('(');
    for (;;) {
        ++counter;
        const QString candidate = stem + QString::number(counter) + QLatin1Char(')') + extension;
        if (!taken(candidate, self))
            return candidate;
    }
}
