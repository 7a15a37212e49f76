#pragma once

#include <QString>
#include <QStringList>

// How the rename job, its preview and the recovery of a job cut short read and build paths, so that all
// of them see the same items.
namespace RenamePaths {

// Forward slashes, absolute, no trailing slash.
QString normalised(const QString &path);
QString folderOf(const QString &path);
QString nameOf(const QString &path);
QString join(const QString &folder, const QString &name);
// Whether some of the (normalised) paths lie inside another of them; only then can a rename move other items.
bool holdsNestedItems(const QStringList &paths);

} // namespace RenamePaths
