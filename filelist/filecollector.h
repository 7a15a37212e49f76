#pragma once

#include <QString>
#include <QStringList>

// All files below folder, depth first, in QDir's default order (by name, case-insensitive, files and
// folders interleaved), hidden entries left out. Paths use forward slashes. A folder reached a second
// time through a symbolic link is not walked again, so a link to an ancestor cannot recurse forever;
// unreadable folders contribute nothing.
QStringList collectFilesRecursively(const QString &folder);
