#pragma once

#include <QString>

// Opens the system file manager on the folder of path with the item selected. Returns at once; when no file
// manager can be opened the main window warns with the path ("MESSAGE ERROR TIP"). An empty path does nothing.
void revealInFileManager(const QString &path);
