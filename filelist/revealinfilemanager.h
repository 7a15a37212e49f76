#pragma once

#include <QString>

// Opens the system file manager on the folder of path with the item selected. Returns at once and reports
// nothing; an empty path does nothing.
void revealInFileManager(const QString &path);
