#pragma once

#include "filelist/fileentry.h"
#include "rename/customsettings.h"
#include "rename/deletesettings.h"
#include "rename/namesources.h"
#include "rename/replacesettings.h"

#include <QStringList>

#include <variant>

// Proposed names of the rename lists. Nothing here touches a widget: the lists call recompute or
// applyImportedNames and show the entries' newName.
namespace NameRules {

enum class Rule { Custom, Insert, Replace, Delete };

// One rule of a rename list with a copy of its settings, taken when its key arrived: all a recomputation needs.
struct RuleSettings
{
    Rule rule = Rule::Custom;
    bool folder = false;
    std::variant<CustomSettings, ReplaceSettings, DeleteSettings> settings; // CustomSettings for Custom and Insert
};

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

// Rewrites newName (and proposalNote) of every entry, in row order, by rule, and sets autoResolve to the
// conflict flag the rename job must use.
void recompute(const RuleSettings &rule, FileEntryList &entries, bool &autoResolve,
               const NameSources &sources = NameSources::system());

// names[i] becomes the proposal of row i, a file keeping its extension; rows beyond the names propose their
// current name and surplus names are ignored. A folder takes the name as it is. Imports always resolve conflicts.
void applyImportedNames(const QStringList &names, FileEntryList &entries, bool folder, bool &autoResolve);

// The text caseMode 5 gives: the first character of every run of letters and digits upper-cased.
QString capitalizeWords(const QString &text);

} // namespace NameRules
