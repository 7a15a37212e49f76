#include "renamekeys.h"

#include "hub/channels.h"

using NameRules::Rule;

const QVector<RenameKey> &renameKeys()
{
    static const QVector<RenameKey> keys = {
        {Channel::FileCustomRename, Rule::Custom, false},    {Channel::FolderCustomRename, Rule::Custom, true},
        {Channel::FileInsertRename, Rule::Insert, false},    {Channel::FolderInsertRename, Rule::Insert, true},
        {Channel::FileReplaceRename, Rule::Replace, false},  {Channel::FolderReplaceRename, Rule::Replace, true},
        {Channel::FileDeleteRename, Rule::Delete, false},    {Channel::FolderDeleteRename, Rule::Delete, true},
    };
    return keys;
}

const RenameKey *findRenameKey(const QString &channel)
{
    for (const RenameKey &key : renameKeys()) {
        if (key.channel == channel)
            return &key;
    }
    return nullptr;
}

QString renameChannel(Rule rule, bool folder)
{
    for (const RenameKey &key : renameKeys()) {
        if (key.rule == rule && key.folder == folder)
            return key.channel;
    }
    return QString();
}

QStringList renameListChannels()
{
    QStringList channels;
    for (const RenameKey &key : renameKeys())
        channels.append(key.channel);
    channels << Channel::ImportExcelRename << Channel::StartChangeName;
    return channels;
}
