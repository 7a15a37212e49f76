#pragma once

#include <QString>
#include <QStringList>

// All files below folder, depth first, in QDir's default order (by name, case-insensitive, files and
// folders interleaved), hidden entries left out. Paths use forward slashes. A folder reached a second
// time through a symbolic link is not walked again, so a link to an ancestor cannot recurse forever;
// unreadable folders contribute nothing. With a limit, the walk stops once that many files are found: a list
// takes at most kListCapacity, so capacity + 1 files tell all an addition needs, even of a whole disk.
QStringList collectFilesRecursively(const QString &folder, int limit = -1);
