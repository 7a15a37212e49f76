#include "namerules.h"

#include "naming/timestyles.h"

#include <QFileInfo>

namespace NameRules {

namespace {

// The fourth time source of numbering, after the current, creation and modification times.
constexpr int PhotoTakenTime = 3;

// A position inside a surrogate pair (an emoji, a rare character) would cut the character in two and leave
// a name the file system cannot store as shown: such a position moves to the end of the character.
int characterBoundary(const QString &text, int index)
{
    if (index > 0 && index < text.size() && text.at(index).isLowSurrogate() && text.at(index - 1).isHighSurrogate())
        return index + 1;
    return index;
}

int firstCodePointLength(const QString &text)
{
    return text.size() >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate() ? 2 : 1;
}

QString applyCase(const QString &name, int caseMode)
{
    if (name.isEmpty())
        return name;
    switch (caseMode) {
    case 1: {
        const int n = firstCodePointLength(name);
        return name.left(n).toUpper() + name.mid(n);
    }
    case 2: {
        const int n = firstCodePointLength(name);
        return name.left(n).toLower() + name.mid(n);
    }
    case 3:
        return name.toUpper();
    case 4:
        return name.toLower();
    case 5:
        return capitalizeWords(name);
    default:
        return name;
    }
}

QString applyConversion(const QString &name, int pinyin, int chineseScript, const NameSources &sources)
{
    if (pinyin == 1)
        return sources.pinyin(name);
    if (chineseScript == 1)
        return sources.traditional(name);
    if (chineseScript == 2)
        return sources.simplified(name);
    return name;
}

QString withoutLeadingDots(const QString &extension)
{
    int dots = 0;
    while (dots < extension.size() && extension.at(dots) == QLatin1Char('.'))
        ++dots;
    return extension.mid(dots);
}

// Conversion, case and extension: the steps every rule ends with.
template<typename Settings>
QString finishName(const QString &name, const Settings &s, bool folder, const QFileInfo &info,
                   const NameSources &sources)
{
    const QString converted = applyCase(applyConversion(name, s.pinyin, s.chineseScript, sources), s.caseMode);
    if (folder)
        return converted;
    QString ext = info.suffix();
    if (s.extensionEnabled) {
        // A dot typed before the new extension is the separator the name already has.
        const QString newExtension = withoutLeadingDots(s.newExtension);
        if (s.extensionMode == 0 && !newExtension.isEmpty())
            ext = newExtension;
        else if (s.extensionMode == 1 && !s.extensionFind.isEmpty())
            ext.replace(s.extensionFind, s.extensionReplace, Qt::CaseSensitive);
    }
    return ext.isEmpty() ? converted : converted + QLatin1Char('.') + ext;
}

QString baseName(const QFileInfo &info, bool folder)
{
    return folder ? info.fileName() : info.completeBaseName();
}

// The date taken, or the modification time with a note saying why.
QDateTime takenOrModified(const FileEntry &entry, const NameSources &sources, QString *note)
{
    const TakenTime taken = sources.photoTime ? sources.photoTime(entry.path) : TakenTime();
    if (taken.time.isValid())
        return taken.time;
    if (note)
        *note = taken.pending ? readingDateTakenNote() : noDateTakenNote();
    return sources.modificationTime(entry.path);
}

QString timeText(const CustomSettings &s, const FileEntry &entry, const NameSources &sources, QString *note)
{
    QDateTime time;
    if (s.timeSource == PhotoTakenTime)
        time = takenOrModified(entry, sources, note);
    else if (s.timeSource == 1)
        time = sources.creationTime(entry.path);
    else if (s.timeSource == 2)
        time = sources.modificationTime(entry.path);
    else
        time = sources.currentTime();
    return timeStyleText(time, s.timeStyle);
}

QString numberText(const CustomSettings &s, const FileEntry &entry, int row, const NameSources &sources,
                   QString *note)
{
    if (!s.numberingEnabled)
        return QString();
    return numberingPart(s, row, sources.randomText, [&] { return timeText(s, entry, sources, note); });
}

QString placeNumber(const CustomSettings &s, const QString &name, const QString &number)
{
    if (s.numberingEnabled && s.numberOnly)
        return number;
    return placePart(s, name, number);
}

QString insertText(const CustomSettings &s, const QString &base)
{
    switch (s.insertPosition) {
    case 1:
        return base + s.text;
    case 2:
        return insertAt(base, s.insertAfter, s.text);
    default:
        return s.text + base;
    }
}

QString swapAroundDelimiter(const QString &name, const QString &delimiter)
{
    QStringList parts = name.split(delimiter, Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (parts.size() < 2)
        return name;
    parts.append(parts.takeFirst());
    return parts.join(delimiter);
}

QString deleteByPosition(const QString &name, const DeleteSettings &s)
{
    const int start = qMax(0, s.deleteStart);
    const int count = qMax(0, s.deleteCount);
    if (start >= name.size() || count == 0)
        return name;
    const int removed = qMin(count, name.size() - start);
    QString result = name;
    // Counting from the end removes the run that ends `start` characters before the last one.
    int from = s.deleteFromEnd == 1 ? name.size() - start - removed : start;
    int to = from + removed;
    // The run takes whole characters: a surrogate pair is removed or kept as one.
    if (from > 0 && name.at(from).isLowSurrogate() && name.at(from - 1).isHighSurrogate())
        --from;
    to = characterBoundary(name, to);
    return result.remove(from, to - from);
}

} // namespace

QString proposedName(Rule rule, bool folder, const CustomSettings &settings, const FileEntry &entry, int row,
                     const NameSources &sources, QString *note)
{
    const QFileInfo info(entry.path);
    const QString base = baseName(info, folder);
    QString name;
    if (rule == Rule::Insert)
        name = insertText(settings, base);
    else
        name = settings.text.isEmpty() ? base : settings.text;
    name = placeNumber(settings, name, numberText(settings, entry, row, sources, note));
    return finishName(name, settings, folder, info, sources);
}

QString proposedName(bool folder, const ReplaceSettings &settings, const FileEntry &entry,
                     const NameSources &sources)
{
    // A pattern that does not compile renames nothing: every row keeps its name until it is mended.
    if (settings.useRegex && !settings.regex.isValid())
        return entry.currentName;
    const QFileInfo info(entry.path);
    QString name = baseName(info, folder);
    if (settings.useRegex && !settings.find.isEmpty())
        name = settings.regex.apply(name);
    else if (!settings.find.isEmpty() && !settings.replaceWith.isEmpty())
        name.replace(settings.find, settings.replaceWith, Qt::CaseSensitive);
    if (!settings.delimiter.isEmpty())
        name = swapAroundDelimiter(name, settings.delimiter);
    return finishName(name, settings, folder, info, sources);
}

QString proposedName(bool folder, const DeleteSettings &settings, const FileEntry &entry, const NameSources &sources)
{
    const QFileInfo info(entry.path);
    QString name = baseName(info, folder);
    if (settings.deleteMode == 1)
        name = deleteByPosition(name, settings);
    else if (!settings.deleteText.isEmpty())
        name.remove(settings.deleteText, Qt::CaseSensitive);
    return finishName(name, settings, folder, info, sources);
}

void recompute(const RuleSettings &rule, FileEntryList &entries, bool &autoResolve, const NameSources &sources)
{
    const bool folder = rule.folder;
    if (const auto *custom = std::get_if<CustomSettings>(&rule.settings)) {
        for (int i = 0; i < entries.size(); ++i) {
            FileEntry &entry = entries[i];
            entry.proposalNote.clear();
            entry.newName = proposedName(rule.rule, folder, *custom, entry, i, sources, &entry.proposalNote);
        }
        autoResolve = custom->autoResolve;
    } else if (const auto *replace = std::get_if<ReplaceSettings>(&rule.settings)) {
        for (FileEntry &entry : entries) {
            entry.newName = proposedName(folder, *replace, entry, sources);
            entry.proposalNote.clear();
        }
        autoResolve = replace->autoResolve;
    } else if (const auto *erase = std::get_if<DeleteSettings>(&rule.settings)) {
        for (FileEntry &entry : entries) {
            entry.newName = proposedName(folder, *erase, entry, sources);
            entry.proposalNote.clear();
        }
        autoResolve = true;
    }
}

void applyImportedNames(const QStringList &names, FileEntryList &entries, bool folder, bool &autoResolve)
{
    for (int i = 0; i < entries.size(); ++i) {
        FileEntry &entry = entries[i];
        entry.proposalNote.clear();
        // A row the workbook gives no name keeps its own: it is not renamed.
        if (i >= names.size()) {
            entry.newName = entry.currentName;
            continue;
        }
        const QString ext = folder ? QString() : QFileInfo(entry.path).suffix();
        entry.newName = ext.isEmpty() ? names.at(i) : names.at(i) + QLatin1Char('.') + ext;
    }
    // No names (no workbook, or a read that failed) rename nothing, and so leave the conflict choice alone.
    if (!names.isEmpty())
        autoResolve = true;
}

QString noDateTakenNote()
{
    return QStringLiteral("无拍摄时间，使用修改时间");
}

QString readingDateTakenNote()
{
    return QStringLiteral("正在读取拍摄时间…");
}

QString capitalizeWords(const QString &text)
{
    QString result;
    result.reserve(text.size());
    bool inWord = false;
    for (int i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const uint cp = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        // Combining marks belong to the word they follow, so an accent does not start a new word.
        const bool wordChar = QChar::isLetterOrNumber(cp) || (inWord && QChar::isMark(cp));
        const uint out = wordChar && !inWord ? QChar::toUpper(cp) : cp;
        if (QChar::requiresSurrogates(out)) {
            result.append(QChar(QChar::highSurrogate(out)));
            result.append(QChar(QChar::lowSurrogate(out)));
        } else {
            result.append(QChar(out));
        }
        inWord = wordChar;
        if (pair)
            ++i;
    }
    return result;
}

} // namespace NameRules
