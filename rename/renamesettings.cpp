#include "renamesettings.h"

#include "rename/renamekeys.h"

namespace {

using NameRules::Rule;

// One record per key; [folder] picks the list's mode.
struct RenameRecords
{
    CustomSettings custom[2];
    CustomSettings insert[2];
    ReplaceSettings replace[2];
    DeleteSettings erase[2];
};

RenameRecords &records()
{
    static RenameRecords instance;
    return instance;
}

} // namespace

CustomSettings *customSettings(const QString &key)
{
    const RenameKey *k = findRenameKey(key);
    if (!k)
        return nullptr;
    if (k->rule == Rule::Custom)
        return &records().custom[k->folder];
    if (k->rule == Rule::Insert)
        return &records().insert[k->folder];
    return nullptr;
}

ReplaceSettings *replaceSettings(const QString &key)
{
    const RenameKey *k = findRenameKey(key);
    return k && k->rule == Rule::Replace ? &records().replace[k->folder] : nullptr;
}

DeleteSettings *deleteSettings(const QString &key)
{
    const RenameKey *k = findRenameKey(key);
    return k && k->rule == Rule::Delete ? &records().erase[k->folder] : nullptr;
}
