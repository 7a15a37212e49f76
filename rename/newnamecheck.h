#pragma once

#include <QString>

// Why the rename job will not give an item a proposed name; the job and the preview ask the same question.
enum class NameRefusal {
    None,
    Separator,       // a path separator would move the item elsewhere
    DotName,         // "." and ".." are the folders themselves
    NulCharacter,    // would cut the name short on its way to the system
    MissingNamePart, // ".txt": nothing before the extension (files only)
    TooLong,         // more than the file system takes in one name
};

// The refusal for renaming an item called oldName to newName; a folder has no extension, so a leading dot
// (".config") is part of its name. An item whose own name already lacks a name part (".gitignore") may keep
// that form.
NameRefusal newNameRefusal(const QString &newName, const QString &oldName, bool isFolder);

// True when name is all extension: nothing but dots before its last dot.
bool lacksNamePart(const QString &name);

// The size of name as the file system counts it against its limit of 255: bytes on disk, UTF-16 units on
// Windows.
int nameSizeOnDisk(const QString &name);
constexpr int kMaxNameSize = 255;
