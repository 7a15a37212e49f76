#pragma once

#include "filelist/fileentry.h"
#include "rename/customsettings.h"
#include "rename/deletesettings.h"
#include "rename/namesources.h"
#include "rename/replacesettings.h"

#include <QStringList>

#include <optional>

// Proposed names of the rename lists. Nothing here touches a widget: the lists call recompute or
// applyImportedNames and show the entries' newName.
namespace NameRules {

enum class Rule { Custom, Insert, Replace, Delete };

// The rule a rename key selects and whether its list holds folders.
struct KeyRule
{
    Rule rule;
    bool folder;
};

// nullopt for anything but the eight rename keys.
std::optional<KeyRule> ruleOfKey(const QString &key);

// One proposed name for the entry in the given row (the row drives numbering). A folder starts from its
// whole name and gets no extension step; a file starts from its name without the last extension.
// rule must be Custom or Insert. note, when given, receives what the proposal's hint must add (empty: none).
QString proposedName(Rule rule, bool folder, const CustomSettings &settings, const FileEntry &entry, int row,
                     const NameSources &sources, QString *note = nullptr);
QString proposedName(bool folder, const ReplaceSettings &settings, const FileEntry &entry,
                     const NameSources &sources);
QString proposedName(bool folder, const DeleteSettings &settings, const FileEntry &entry,
                     const NameSources &sources);

// The hints of a time number from the date taken: the item has none, or it is still being read; both
// number the row with its modification time meanwhile.
QString noDateTakenNote();
QString readingDateTakenNote();

// Rewrites newName (and proposalNote) of every entry, in row order, from the process-wide record of key, and sets
// autoResolve to the conflict flag the rename job must use. Returns false and touches nothing for any other key.
bool recompute(const QString &key, FileEntryList &entries, bool &autoResolve,
               const NameSources &sources = NameSources::system());

// names[i] becomes the proposal of row i, a file keeping its extension; rows beyond the names propose their
// current name and surplus names are ignored. A folder takes the name as it is. Imports always resolve conflicts.
void applyImportedNames(const QStringList &names, FileEntryList &entries, bool folder, bool &autoResolve);

// The text caseMode 5 gives: the first character of every run of letters and digits upper-cased.
QString capitalizeWords(const QString &text);

} // namespace NameRules
