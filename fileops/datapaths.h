#pragma once

#include <QString>
#include <QStringList>

// Where the program's data files (OpenCC configurations, document templates, help pages) are found: in the
// executable's folder (a build tree, a portable copy), then in the installed data folder beside it
// ("<prefix>/share/quorlin" for "<prefix>/bin/quorlin"). The working folder plays no part.
namespace DataPaths {

// The full path of a data file given relative to the data folder ("template/Word.docx"), or an empty text
// when it is in none of the places searched; a miss is logged with the places searched.
QString find(const QString &relativePath);
// The same, searching the given folders in order.
QString find(const QString &relativePath, const QStringList &folders);

// The folders searched, in order.
QStringList searchFolders();
// The folders searched by a program whose executable lies in programFolder.
QStringList searchFolders(const QString &programFolder);

// The folder of the running executable, known before the application object exists; empty when the
// platform cannot tell.
QString programFolder();
// The installed data folder of a program whose executable lies in programFolder.
QString installedDataFolder(const QString &programFolder);

// True when the folder itself holds the program's data, as the folder of a build tree or a portable copy
// does and the bin folder of an installation does not.
bool holdsData(const QString &folder);

} // namespace DataPaths
