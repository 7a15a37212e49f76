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

CustomSettings *customRecord(const RenameKey &k)
{
    if (k.rule == Rule::Custom)
        return &records().custom[k.folder];
    if (k.rule == Rule::Insert)
        return &records().insert[k.folder];
    return nullptr;
}

ReplaceSettings *replaceRecord(const RenameKey &k)
{
    return k.rule == Rule::Replace ? &records().replace[k.folder] : nullptr;
}

DeleteSettings *deleteRecord(const RenameKey &k)
{
    return k.rule == Rule::Delete ? &records().erase[k.folder] : nullptr;
}

} // namespace

CustomSettings *customSettings(const QString &key)
{
    const RenameKey *k = findRenameKey(key);
    return k ? customRecord(*k) : nullptr;
}

ReplaceSettings *replaceSettings(const QString &key)
{
    const RenameKey *k = findRenameKey(key);
    return k ? replaceRecord(*k) : nullptr;
}

DeleteSettings *deleteSettings(const QString &key)
{
    const RenameKey *k = findRenameKey(key);
    return k ? deleteRecord(*k) : nullptr;
}

std::optional<NameRules::RuleSettings> renameRule(const QString &key)
{
    const RenameKey *k = findRenameKey(key);
    if (!k)
        return std::nullopt;
    NameRules::RuleSettings rule{k->rule, k->folder, {}};
    if (const CustomSettings *custom = customRecord(*k))
        rule.settings = *custom;
    else if (const ReplaceSettings *replace = replaceRecord(*k))
        rule.settings = *replace;
    else if (const DeleteSettings *erase = deleteRecord(*k))
        rule.settings = *erase;
    return rule;
}
