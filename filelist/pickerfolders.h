#pragma once

#include <QString>

// The folder each file or folder picker opens in: the one last chosen for that purpose, kept in the user's
// settings across starts, while it still exists; otherwise defaultUserFolder().
namespace PickerFolders {

enum class Purpose { AddFiles, AddFolder, ImportWorkbook, ExportFolder, CreateTarget };

QString startFolder(Purpose purpose);
// Remembers where the user went: a chosen file's folder, or a chosen folder itself. Empty does nothing.
void rememberFile(Purpose purpose, const QString &file);
void rememberFolder(Purpose purpose, const QString &folder);

} // namespace PickerFolders
