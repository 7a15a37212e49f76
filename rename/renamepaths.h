#pragma once

#include <QString>
#include <QStringList>

// How the rename job reads and builds paths, shared with its preview so that both see the same items.
namespace RenamePaths {

// Forward slashes, absolute, no trailing slash.
QString normalised(const QString &path);
QString folderOf(const QString &path);
QString nameOf(const QString &path);
QString join(const QString &folder, const QString &name);
// Whether some of the (normalised) paths lie inside another of them; only then can a rename move other items.
bool holdsNestedItems(const QStringList &paths);

} // namespace RenamePaths
