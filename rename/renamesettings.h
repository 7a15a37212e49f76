#pragma once

#include "rename/customsettings.h"
#include "rename/namerules.h"
#include "rename/deletesettings.h"
#include "rename/replacesettings.h"

#include <QString>

#include <optional>

// The process-wide settings records, one per rename key (the Channel:: constants of the rename pages).
// Each accessor returns the record of a key of its type, or nullptr for any other key. The records live
// until the program ends; the panel writes them and the lists read them.
CustomSettings *customSettings(const QString &key);   // FILE/FOLDER CUSTOM RENAME, FILE/FOLDER INSERT RENAME
ReplaceSettings *replaceSettings(const QString &key); // FILE/FOLDER REPLACE RENAME
DeleteSettings *deleteSettings(const QString &key);   // FILE/FOLDER DELETE RENAME

// The rule of a rename key with a copy of its record as it is now; nullopt for any other channel. A list turns a
// key into its rule here, once, and recomputes from the rule.
std::optional<NameRules::RuleSettings> renameRule(const QString &key);
