#pragma once

#include <QString>
#include <QStringList>

// All files below folder, depth first, in QDir's default order (by name, case-insensitive, files and
// folders interleaved), hidden entries left out. Paths use forward slashes. A folder reached a second
// time through a symbolic link is not walked again, so a link to an ancestor cannot recurse forever;
// unreadable folders contribute nothing. With a limit, the walk stops once that many files are found: a list
// takes at most kListCapacity, so capacity + 1 files tell all an addition needs, even of a whole disk.
// An entry whose name does not survive bytes -> text -> bytes (see filelist/namesafety.h) is never listed,
// neither under its own text nor as the item that text names; a folder of that kind is not walked, and
// neither is folder itself when its text may stand for such a folder. skipped, when given, is increased by
// the number of entries left out for that reason (such a folder counts once).
QStringList collectFilesRecursively(const QString &folder, int limit = -1, int *skipped = nullptr);
