#pragma once

#include <QString>

// The first free variant of target: target itself when nothing has that path, otherwise the name with a
// counter in brackets before the extension, counting on from counter: a.txt, a(1).txt, a(2).txt; a folder
// rel.2 becomes rel(1).2. self is the item that is about to take the name, if any: where the file system
// ignores letter case, A.txt answers for the item a.txt itself, and an item is no conflict with itself.
QString uniqueName(const QString &target, int counter = 0, const QString &self = QString());
