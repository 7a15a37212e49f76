#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

// On Linux a file name is bytes, and Qt shows it as text: bytes that are not valid in the locale's encoding
// (UTF-8) become U+FFFD, so the text of "a\xff.txt" is also the text of the valid name "a\xef\xbf\xbd.txt".
// Such a text reaches the other item, or none; these checks keep it from being taken for the item it was
// read from. On Windows names are text already and every check passes.

// True when bytes, read as a file name and written back, are the same bytes.
bool nameBytesRoundTrip(const QByteArray &bytes);

// For a path known only as text (a dialog's answer, a list row): false when one of its names may stand
// for an item on disk whose name does not survive bytes -> text -> bytes, because the folder holds such an
// item whose name reads as that text. A path without such a look-alike passes, whether it exists or not.
bool pathRoundTrips(const QString &path);

// For a dropped URL, which carries the name's bytes: false when a local file URL's path does not survive
// bytes -> text -> bytes (the text of url.toLocalFile() would name another item, or none). Other URLs pass.
bool urlRoundTrips(const QUrl &url);

// How many entries of folder, counted as a folder listing counts them (files and folders, links to them
// included, hidden ones left out), have names that do not survive bytes -> text -> bytes. Qt's listings
// leave them out, or give their text to another item.
int countUnsafeEntries(const QString &folder);
