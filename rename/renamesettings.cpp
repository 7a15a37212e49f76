#include "renamesettings.h"

#include "common/channels.h"

namespace {

struct RenameRecords
{
    CustomSettings fileCustom;
    CustomSettings folderCustom;
    CustomSettings fileInsert;
    CustomSettings folderInsert;
    ReplaceSettings fileReplace;
    ReplaceSettings folderReplace;
    DeleteSettings fileDelete;
    DeleteSettings folderDelete;
};

RenameRecords &records()
{
    static RenameRecords instance;
    return instance;
}

} // namespace

CustomSettings *customSettings(const QString &key)
{
    RenameRecords &r = records();
    if (key == Channel::FileCustomRename)
        return &r.fileCustom;
    if (key == Channel::FolderCustomRename)
        return &r.folderCustom;
    if (key == Channel::FileInsertRename)
        return &r.fileInsert;
    if (key == Channel::FolderInsertRename)
        return &r.folderInsert;
    return nullptr;
}

ReplaceSettings *replaceSettings(const QString &key)
{
    RenameRecords &r = records();
    if (key == Channel::FileReplaceRename)
        return &r.fileReplace;
    if (key == Channel::FolderReplaceRename)
        return &r.folderReplace;
    return nullptr;
}

DeleteSettings *deleteSettings(const QString &key)
{
    RenameRecords &r = records();
    if (key == Channel::FileDeleteRename)
        return &r.fileDelete;
    if (key == Channel::FolderDeleteRename)
        return &r.folderDelete;
    return nullptr;
}
