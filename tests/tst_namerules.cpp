#include "hub/channels.h"
#include "naming/timestyles.h"
#include "rename/namerules.h"
#include "rename/renamesettings.h"
#include "rename/textconversions.h"

#include <QtTest>

using NameRules::Rule;

namespace {

// A settings change as the list takes it: its key turned into the rule once, then the recomputation. False, and
// nothing recomputed, for a key that names no rule.
bool recomputeKey(const QString &key, FileEntryList &entries, bool &autoResolve, const NameSources &sources)
{
    const std::optional<NameRules::RuleSettings> rule = renameRule(key);
    if (rule)
        NameRules::recompute(*rule, entries, autoResolve, sources);
    return rule.has_value();
}

const QDateTime fixedNow(QDate(2000, 1, 1), QTime(16, 5, 9));
const QDateTime fixedCreation(QDate(2021, 3, 4), QTime(5, 6, 7));
const QDateTime fixedModification(QDate(2022, 11, 12), QTime(13, 14, 15));

QString mapChars(const QString &text, const QHash<QChar, QString> &table)
{
    QString out;
    for (const QChar c : text)
        out += table.value(c, QString(c));
    return out;
}

// Conversions that know a handful of characters, so these tests do not depend on the shipped tables.
QString fakePinyin(const QString &text)
{
    static const QHash<QChar, QString> table = {{QChar(0x6587), "wen"}, {QChar(0x4EF6), "jian"},
                                                {QChar(0x62A5), "bao"}, {QChar(0x544A), "gao"}};
    return mapChars(text, table);
}

QString fakeTraditional(const QString &text)
{
    return mapChars(text, {{QChar(0x62A5), QString(QChar(0x5831))}}); // 报 -> 報
}

QString fakeSimplified(const QString &text)
{
    return mapChars(text, {{QChar(0x5831), QString(QChar(0x62A5))}}); // 報 -> 报
}

// Items under /missing/ do not exist: their times are invalid.
NameSources fixedSources()
{
    NameSources s;
    s.currentTime = [] { return fixedNow; };
    s.creationTime = [](const QString &path) {
        return path.startsWith("/missing/") ? QDateTime() : fixedCreation;
    };
    s.modificationTime = [](const QString &path) {
        return path.startsWith("/missing/") ? QDateTime() : fixedModification;
    };
    s.randomText = [](int length, int rule) { return QString("r%1x%2").arg(length).arg(rule); };
    s.pinyin = &fakePinyin;
    s.traditional = &fakeTraditional;
    s.simplified = &fakeSimplified;
    return s;
}

// Settings in a table row are written "field=value;field=value"; every field of the three records is known.
template <typename Record>
struct FieldTable
{
    QHash<QString, QString Record::*> texts;
    QHash<QString, int Record::*> ints;
    QHash<QString, bool Record::*> bools;

    void apply(Record &record, const QString &fields) const
    {
        const QStringList assignments = fields.split(';', Qt::SkipEmptyParts);
        for (const QString &assignment : assignments) {
            const int eq = assignment.indexOf('=');
            const QString field = assignment.left(eq);
            const QString value = assignment.mid(eq + 1);
            if (texts.contains(field))
                record.*texts.value(field) = value;
            else if (ints.contains(field))
                record.*ints.value(field) = value.toInt();
            else if (bools.contains(field))
                record.*bools.value(field) = value == "1";
            else
                qFatal("unknown settings field %s", qPrintable(field));
        }
    }
};

#define COMMON_FIELDS(R)                                                                                          \
    t.texts.insert("newExtension", &R::newExtension);                                                             \
    t.texts.insert("extensionFind", &R::extensionFind);                                                           \
    t.texts.insert("extensionReplace", &R::extensionReplace);                                                     \
    t.ints.insert("caseMode", &R::caseMode);                                                                      \
    t.ints.insert("chineseScript", &R::chineseScript);                                                            \
    t.ints.insert("pinyin", &R::pinyin);                                                                          \
    t.ints.insert("extensionMode", &R::extensionMode);                                                            \
    t.bools.insert("extensionEnabled", &R::extensionEnabled);

CustomSettings customFrom(const QString &fields)
{
    static const FieldTable<CustomSettings> table = [] {
        FieldTable<CustomSettings> t;
        COMMON_FIELDS(CustomSettings)
        t.texts.insert("text", &CustomSettings::text);
        for (auto [name, field] : std::initializer_list<std::pair<const char *, int CustomSettings::*>>{
                 {"insertPosition", &CustomSettings::insertPosition},
                 {"insertAfter", &CustomSettings::insertAfter},
                 {"numberPosition", &CustomSettings::numberPosition},
                 {"numberAfter", &CustomSettings::numberAfter},
                 {"numberType", &CustomSettings::numberType},
                 {"startNumber", &CustomSettings::startNumber},
                 {"numberIncrement", &CustomSettings::numberIncrement},
                 {"numberDigits", &CustomSettings::numberDigits},
                 {"randomRule", &CustomSettings::randomRule},
                 {"randomLength", &CustomSettings::randomLength},
                 {"timeSource", &CustomSettings::timeSource},
                 {"timeStyle", &CustomSettings::timeStyle},
                 {"startLetter", &CustomSettings::startLetter},
                 {"letterIncrement", &CustomSettings::letterIncrement}})
            t.ints.insert(name, field);
        t.bools.insert("autoResolve", &CustomSettings::autoResolve);
        t.bools.insert("numberOnly", &CustomSettings::numberOnly);
        t.bools.insert("numberingEnabled", &CustomSettings::numberingEnabled);
        return t;
    }();
    CustomSettings s;
    table.apply(s, fields);
    return s;
}

ReplaceSettings replaceFrom(const QString &fields)
{
    static const FieldTable<ReplaceSettings> table = [] {
        FieldTable<ReplaceSettings> t;
        COMMON_FIELDS(ReplaceSettings)
        t.texts.insert("find", &ReplaceSettings::find);
        t.texts.insert("replaceWith", &ReplaceSettings::replaceWith);
        t.texts.insert("delimiter", &ReplaceSettings::delimiter);
        t.bools.insert("autoResolve", &ReplaceSettings::autoResolve);
        return t;
    }();
    ReplaceSettings s;
    table.apply(s, fields);
    return s;
}

DeleteSettings deleteFrom(const QString &fields)
{
    static const FieldTable<DeleteSettings> table = [] {
        FieldTable<DeleteSettings> t;
        COMMON_FIELDS(DeleteSettings)
        t.texts.insert("deleteText", &DeleteSettings::deleteText);
        t.ints.insert("deleteMode", &DeleteSettings::deleteMode);
        t.ints.insert("deleteFromEnd", &DeleteSettings::deleteFromEnd);
        t.ints.insert("deleteStart", &DeleteSettings::deleteStart);
        t.ints.insert("deleteCount", &DeleteSettings::deleteCount);
        return t;
    }();
    DeleteSettings s;
    table.apply(s, fields);
    return s;
}

FileEntry entryAt(const QString &path)
{
    FileEntry entry;
    entry.path = path;
    entry.currentName = QFileInfo(path).fileName();
    entry.newName = entry.currentName;
    return entry;
}

FileEntryList entriesAt(const QStringList &paths)
{
    FileEntryList entries;
    for (const QString &path : paths)
        entries.append(entryAt(path));
    return entries;
}

QStringList newNames(const FileEntryList &entries)
{
    QStringList names;
    for (const FileEntry &entry : entries)
        names.append(entry.newName);
    return names;
}

const QStringList renameKeys = {Channel::FileCustomRename,  Channel::FolderCustomRename,
                                Channel::FileInsertRename,  Channel::FolderInsertRename,
                                Channel::FileReplaceRename, Channel::FolderReplaceRename,
                                Channel::FileDeleteRename,  Channel::FolderDeleteRename};

void resetRecords()
{
    for (const QString &key : renameKeys) {
        if (CustomSettings *s = customSettings(key))
            *s = CustomSettings();
        if (ReplaceSettings *s = replaceSettings(key))
            *s = ReplaceSettings();
        if (DeleteSettings *s = deleteSettings(key))
            *s = DeleteSettings();
    }
}

} // namespace

class TestNameRules : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void names_data();
    void names();
    void dateTakenNumbers_data();
    void dateTakenNumbers();
    void timeStyles_data();
    void timeStyles();
    void capitalizeWords_data();
    void capitalizeWords();
    void recordsPerKey();
    void recordDefaultsMatchPanelStart();
    void recomputeWholeList_data();
    void recomputeWholeList();
    void conflictFlag_data();
    void conflictFlag();
    void otherKeysChangeNothing();
    void randomDrawnPerRowAndRecompute();
    void importedNames_data();
    void importedNames();
    void systemItemTimes();
    void realPinyinWithCase();
};

void TestNameRules::cleanup()
{
    resetRecords();
}

void TestNameRules::names_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("expected");

    const QString fc = Channel::FileCustomRename;
    const QString dc = Channel::FolderCustomRename;
    const QString fi = Channel::FileInsertRename;
    const QString di = Channel::FolderInsertRename;
    const QString fr = Channel::FileReplaceRename;
    const QString dr = Channel::FolderReplaceRename;
    const QString fd = Channel::FileDeleteRename;
    const QString dd = Channel::FolderDeleteRename;

    // Custom name
    QTest::newRow("custom: defaults keep a.b.txt") << fc << "/d/a.b.txt" << 0 << "" << "a.b.txt";
    QTest::newRow("custom: text replaces the base") << fc << "/d/a.b.txt" << 0 << "text=报告" << "报告.txt";
    QTest::newRow("custom: no extension") << fc << "/d/README" << 0 << "text=x" << "x";
    QTest::newRow("custom: autoResolve leaves the name") << fc << "/d/a.txt" << 0 << "autoResolve=0" << "a.txt";

    // Numbering: digits
    QTest::newRow("number: defaults give 0 on every row") << fc << "/d/a.txt" << 5 << "numberingEnabled=1" << "0a.txt";
    QTest::newRow("number: fields without numberingEnabled")
        << fc << "/d/a.txt" << 3 << "startNumber=7;numberIncrement=1;numberOnly=1;numberPosition=1" << "a.txt";
    QTest::newRow("number: 报告002")
        << fc << "/d/a.txt" << 1
        << "text=报告;numberingEnabled=1;startNumber=1;numberIncrement=1;numberDigits=3;numberPosition=1"
        << "报告002.txt";
    QTest::newRow("number: -5 with 3 digits is 0-5")
        << fc << "/d/a.txt" << 0 << "numberingEnabled=1;startNumber=-5;numberDigits=3" << "0-5a.txt";
    QTest::newRow("number: longer than its digits stays whole")
        << fc << "/d/a.txt" << 0 << "numberingEnabled=1;startNumber=12345;numberDigits=3" << "12345a.txt";
    QTest::newRow("number: negative increment")
        << fc << "/d/a.txt" << 5 << "numberingEnabled=1;startNumber=10;numberIncrement=-3" << "-5a.txt";
    QTest::newRow("number: past 32 bits upwards")
        << fc << "/d/a.txt" << 2999 << "numberingEnabled=1;startNumber=999999;numberIncrement=999999"
        << "2999997000a.txt";
    QTest::newRow("number: past 32 bits downwards")
        << fc << "/d/a.txt" << 2999 << "numberingEnabled=1;startNumber=-999999;numberIncrement=-999999"
        << "-2999997000a.txt";
    QTest::newRow("number: after the name")
        << fc << "/d/abc.txt" << 0 << "numberingEnabled=1;startNumber=7;numberPosition=1" << "abc7.txt";
    QTest::newRow("number: after 1 character")
        << fc << "/d/abc.txt" << 0 << "numberingEnabled=1;startNumber=7;numberPosition=2;numberAfter=1"
        << "a7bc.txt";
    QTest::newRow("number: after 5 characters pads with spaces")
        << fc << "/d/abc.txt" << 0 << "numberingEnabled=1;startNumber=7;numberPosition=2;numberAfter=5"
        << "abc  7.txt";
    QTest::newRow("number: numberOnly")
        << fc << "/d/abc.txt" << 0 << "text=x;numberingEnabled=1;numberOnly=1;startNumber=3" << "3.txt";

    // Numbering: letters
    QTest::newRow("letter: y") << fc << "/d/a.txt" << 0 << "numberingEnabled=1;numberType=1;startLetter=25" << "ya.txt";
    QTest::newRow("letter: z") << fc << "/d/a.txt" << 1 << "numberingEnabled=1;numberType=1;startLetter=25" << "za.txt";
    QTest::newRow("letter: z wraps to a")
        << fc << "/d/a.txt" << 2 << "numberingEnabled=1;numberType=1;startLetter=25" << "aa.txt";
    QTest::newRow("letter: b") << fc << "/d/a.txt" << 3 << "numberingEnabled=1;numberType=1;startLetter=25" << "ba.txt";
    QTest::newRow("letter: increment 2, row 12")
        << fc << "/d/a.txt" << 12 << "numberingEnabled=1;numberType=1;letterIncrement=2" << "ya.txt";
    QTest::newRow("letter: increment 99, row 2999")
        << fc << "/d/a.txt" << 2999 << "numberingEnabled=1;numberType=1;startLetter=26;letterIncrement=99"
        << "ga.txt"; // (26 + 99 x 2999) mod 26 = 7

    // Numbering: random characters and times
    QTest::newRow("random: length and rule reach the source")
        << fc << "/d/a.txt" << 0 << "numberingEnabled=1;numberType=2;randomRule=2;randomLength=4" << "r4x2a.txt";
    QTest::newRow("time: current, style 0")
        << fc << "/d/a.txt" << 0 << "numberingEnabled=1;numberType=3" << "2000-01-01a.txt";
    QTest::newRow("time: style 3 as its sample shows")
        << fc << "/d/a.txt" << 0 << "numberingEnabled=1;numberType=3;timeStyle=3" << "2000-01-01 16‘05’09a.txt";
    QTest::newRow("time: creation")
        << fc << "/d/a.txt" << 0 << "numberingEnabled=1;numberType=3;timeSource=1;timeStyle=6"
        << "20210304050607a.txt";
    QTest::newRow("time: modification")
        << fc << "/d/a.txt" << 0 << "numberingEnabled=1;numberType=3;timeSource=2;timeStyle=4"
        << "2022-11-12-13-14-15a.txt";
    QTest::newRow("time: missing item gives no number")
        << fc << "/missing/a.txt" << 0 << "numberingEnabled=1;numberType=3;timeSource=2;numberOnly=1" << ".txt";

    // Conversion and case
    QTest::newRow("pinyin") << fc << "/d/文件A.txt" << 0 << "pinyin=1" << "wenjianA.txt";
    QTest::newRow("pinyin with first upper") << fc << "/d/文件A.txt" << 0 << "pinyin=1;caseMode=1" << "WenjianA.txt";
    QTest::newRow("pinyin wins over script") << fc << "/d/报告.txt" << 0 << "pinyin=1;chineseScript=1" << "baogao.txt";
    QTest::newRow("pinyin after numbering")
        << fc << "/d/a.txt" << 0 << "text=文件;numberingEnabled=1;startNumber=2;pinyin=1;caseMode=3" << "2WENJIAN.txt";
    QTest::newRow("simplified to traditional") << fc << "/d/报告.txt" << 0 << "chineseScript=1" << "報告.txt";
    QTest::newRow("traditional to simplified") << fc << "/d/報告.txt" << 0 << "chineseScript=2" << "报告.txt";
    QTest::newRow("case 1") << fc << "/d/abc DEF.txt" << 0 << "caseMode=1" << "Abc DEF.txt";
    QTest::newRow("case 2") << fc << "/d/ABC.txt" << 0 << "caseMode=2" << "aBC.txt";
    QTest::newRow("case 3") << fc << "/d/abc def.txt" << 0 << "caseMode=3" << "ABC DEF.txt";
    QTest::newRow("case 4 leaves the extension") << fc << "/d/ABC.TXT" << 0 << "caseMode=4" << "abc.TXT";
    QTest::newRow("case 5") << fc << "/d/my_file-name.v2.txt" << 0 << "caseMode=5" << "My_File-Name.V2.txt";
    QTest::newRow("case 1 on an empty name") << fd << "/d/abc.txt" << 0 << "deleteText=abc;caseMode=1" << ".txt";

    // Extension
    QTest::newRow("ext: disabled ignores newExtension") << fc << "/d/a.txt" << 0 << "newExtension=md" << "a.txt";
    QTest::newRow("ext: mode 0, empty keeps txt") << fc << "/d/a.txt" << 0 << "extensionEnabled=1" << "a.txt";
    QTest::newRow("ext: mode 0, md") << fc << "/d/a.txt" << 0 << "extensionEnabled=1;newExtension=md" << "a.md";
    QTest::newRow("ext: mode 0, typed with its dot")
        << fc << "/d/IMG_0001.jpg" << 0 << "extensionEnabled=1;newExtension=.bak"
        << "IMG_0001.bak";
    QTest::newRow("ext: mode 0, a dot alone keeps it")
        << fc << "/d/a.txt" << 0 << "extensionEnabled=1;newExtension=."
        << "a.txt";
    QTest::newRow("ext: mode 0 on a file without one")
        << fc << "/d/README" << 0 << "extensionEnabled=1;newExtension=md" << "README.md";
    QTest::newRow("ext: mode 1 replaces inside")
        << fc << "/d/a.jpeg" << 0 << "extensionEnabled=1;extensionMode=1;extensionFind=e;extensionReplace=E"
        << "a.jpEg";
    QTest::newRow("ext: mode 1 is case-sensitive")
        << fc << "/d/a.txt" << 0 << "extensionEnabled=1;extensionMode=1;extensionFind=T;extensionReplace=x"
        << "a.txt";
    QTest::newRow("ext: mode 1, empty find changes nothing")
        << fc << "/d/a.txt" << 0 << "extensionEnabled=1;extensionMode=1;extensionReplace=x" << "a.txt";
    QTest::newRow("ext: mode 1 emptying it drops the dot")
        << fc << "/d/a.txt" << 0 << "extensionEnabled=1;extensionMode=1;extensionFind=txt" << "a";
    QTest::newRow("ext: mode 1 ignores newExtension")
        << fc << "/d/a.txt" << 0 << "extensionEnabled=1;extensionMode=1;newExtension=md" << "a.txt";

    // Folders start from their whole name and have no extension
    QTest::newRow("folder custom: defaults keep v1.5") << dc << "/d/v1.5" << 0 << "" << "v1.5";
    QTest::newRow("folder custom: case keeps .5") << dc << "/d/v1.5" << 0 << "caseMode=3" << "V1.5";
    QTest::newRow("folder custom: numbering keeps .03")
        << dc << "/d/2024.03" << 0 << "numberingEnabled=1;numberPosition=1;startNumber=9" << "2024.039";
    QTest::newRow("folder custom: text") << dc << "/d/v1.5" << 0 << "text=new" << "new";
    QTest::newRow("folder custom: extension settings ignored")
        << dc << "/d/v1.5" << 0 << "extensionEnabled=1;newExtension=md" << "v1.5";
    QTest::newRow("folder insert") << di << "/d/2024.03" << 0 << "text=X;insertPosition=1" << "2024.03X";
    QTest::newRow("folder replace keeps every dot")
        << dr << "/d/a.b.c" << 0 << "find=.;replaceWith=-" << "a-b-c";
    QTest::newRow("folder delete keeps every dot") << dd << "/d/a.b.c" << 0 << "deleteText=b" << "a..c";
    QTest::newRow("folder delete: nothing to delete") << dd << "/d/v1.5" << 0 << "deleteText=x" << "v1.5";
    QTest::newRow("folder delete: whole name gives empty") << dd << "/d/abc" << 0 << "deleteText=abc" << "";

    // Insert
    QTest::newRow("insert: at the start") << fi << "/d/abcdef.txt" << 0 << "text=X" << "Xabcdef.txt";
    QTest::newRow("insert: at the end") << fi << "/d/abcdef.txt" << 0 << "text=X;insertPosition=1" << "abcdefX.txt";
    QTest::newRow("insert: after 2") << fi << "/d/abcdef.txt" << 0 << "text=X;insertPosition=2;insertAfter=2"
                                     << "abXcdef.txt";
    QTest::newRow("insert: after 10 pads with spaces")
        << fi << "/d/abcdef.txt" << 0 << "text=X;insertPosition=2;insertAfter=10" << "abcdef    X.txt";
    QTest::newRow("insert: empty text beyond the end changes nothing")
        << fi << "/d/abcdef.txt" << 0 << "insertPosition=2;insertAfter=10" << "abcdef.txt";
    QTest::newRow("insert: insertAfter needs position 2")
        << fi << "/d/abcdef.txt" << 0 << "text=X;insertAfter=3" << "Xabcdef.txt";
    QTest::newRow("insert: keeps the inner dots of a file") << fi << "/d/a.b.txt" << 0 << "text=X;insertPosition=1"
                                                            << "a.bX.txt";
    QTest::newRow("insert: with numbering")
        << fi << "/d/abc.txt" << 2 << "text=X;numberingEnabled=1;startNumber=1;numberIncrement=1;numberPosition=1"
        << "Xabc3.txt";

    // Replace
    QTest::newRow("replace: every occurrence") << fr << "/d/banana.txt" << 0 << "find=a;replaceWith=o"
                                               << "bonono.txt";
    QTest::newRow("replace: empty replacement changes nothing") << fr << "/d/banana.txt" << 0 << "find=a"
                                                                << "banana.txt";
    QTest::newRow("replace: is case-sensitive") << fr << "/d/banana.txt" << 0 << "find=A;replaceWith=o"
                                                << "banana.txt";
    QTest::newRow("replace: only in the name, not the extension")
        << fr << "/d/a.b.txt" << 0 << "find=.;replaceWith=-" << "a-b.txt";
    QTest::newRow("swap: a-b") << fr << "/d/a-b.txt" << 0 << "delimiter=-" << "b-a.txt";
    QTest::newRow("swap: a-b-c") << fr << "/d/a-b-c.txt" << 0 << "delimiter=-" << "b-c-a.txt";
    QTest::newRow("swap: 2021_报告_终稿") << fr << "/d/2021_报告_终稿.docx" << 0 << "delimiter=_"
                                           << "报告_终稿_2021.docx";
    QTest::newRow("swap: empty parts kept") << fr << "/d/_a.txt" << 0 << "delimiter=_" << "a_.txt";
    QTest::newRow("swap: no delimiter in the name") << fr << "/d/abc.txt" << 0 << "delimiter=_" << "abc.txt";
    QTest::newRow("swap: longer delimiter") << fr << "/d/x--y.txt" << 0 << "delimiter=--" << "y--x.txt";
    QTest::newRow("swap: after replacing")
        << fr << "/d/2021_报告.txt" << 0 << "find=2021;replaceWith=2022;delimiter=_" << "报告_2022.txt";
    QTest::newRow("replace: case and extension")
        << fr << "/d/abc.txt" << 0 << "caseMode=3;extensionEnabled=1;newExtension=md" << "ABC.md";
    QTest::newRow("replace: pinyin") << fr << "/d/报告.txt" << 0 << "pinyin=1" << "baogao.txt";
    QTest::newRow("replace: script") << fr << "/d/报告.txt" << 0 << "chineseScript=1" << "報告.txt";

    // Delete
    // An emoji is two UTF-16 units; a position inside it must not leave half a character in the name.
    QTest::newRow("delete: a position inside an emoji takes it whole")
        << fd << QString::fromUtf8("/d/a\xF0\x9F\x98\x80" "b.txt") << 0 << "deleteMode=1;deleteStart=1;deleteCount=1" << "ab.txt";
    QTest::newRow("delete from the end: inside an emoji")
        << fd << QString::fromUtf8("/d/a\xF0\x9F\x98\x80" "b.txt") << 0
        << "deleteMode=1;deleteFromEnd=1;deleteStart=1;deleteCount=1" << "ab.txt";
    QTest::newRow("insert: a position inside an emoji moves behind it")
        << fi << QString::fromUtf8("/d/a\xF0\x9F\x98\x80" "b.txt") << 0 << "text=X;insertPosition=2;insertAfter=2"
        << QString::fromUtf8("a\xF0\x9F\x98\x80" "Xb.txt");
    QTest::newRow("delete: every occurrence") << fd << "/d/abcab.txt" << 0 << "deleteText=ab" << "c.txt";
    QTest::newRow("delete: empty text") << fd << "/d/abcab.txt" << 0 << "" << "abcab.txt";
    QTest::newRow("delete: is case-sensitive") << fd << "/d/abcab.txt" << 0 << "deleteText=AB" << "abcab.txt";
    QTest::newRow("delete: text ignores the position fields")
        << fd << "/d/abcdef.txt" << 0 << "deleteText=z;deleteStart=1;deleteCount=2" << "abcdef.txt";
    QTest::newRow("delete: from the front") << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteStart=1;deleteCount=2"
                                            << "adef.txt";
    QTest::newRow("delete: from the end")
        << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteFromEnd=1;deleteStart=1;deleteCount=2" << "abcf.txt";
    QTest::newRow("delete: from the end, start 0")
        << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteFromEnd=1;deleteCount=2" << "abcd.txt";
    QTest::newRow("delete: start at the end") << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteStart=6;deleteCount=2"
                                              << "abcdef.txt";
    QTest::newRow("delete: start beyond the end, from the end")
        << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteFromEnd=1;deleteStart=9;deleteCount=2" << "abcdef.txt";
    QTest::newRow("delete: count past the end")
        << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteStart=4;deleteCount=10" << "abcd.txt";
    QTest::newRow("delete: count past the start, from the end")
        << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteFromEnd=1;deleteStart=2;deleteCount=10" << "ef.txt";
    QTest::newRow("delete: count 0") << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteStart=1" << "abcdef.txt";
    QTest::newRow("delete: mode 1 ignores the text")
        << fd << "/d/abcdef.txt" << 0 << "deleteMode=1;deleteText=a" << "abcdef.txt";
    QTest::newRow("delete: case and extension")
        << fd << "/d/abc.txt" << 0 << "deleteText=b;caseMode=3;extensionEnabled=1;newExtension=md" << "AC.md";
    QTest::newRow("delete: pinyin") << fd << "/d/报告x.txt" << 0 << "deleteText=x;pinyin=1" << "baogao.txt";
    QTest::newRow("delete: script") << fd << "/d/報告.txt" << 0 << "chineseScript=2" << "报告.txt";
}

void TestNameRules::names()
{
    QFETCH(QString, key);
    QFETCH(QString, path);
    QFETCH(int, row);
    QFETCH(QString, settings);
    QFETCH(QString, expected);

    const std::optional<NameRules::RuleSettings> rule = renameRule(key);
    QVERIFY(rule);
    const NameSources sources = fixedSources();
    const FileEntry entry = entryAt(path);
    QString name;
    switch (rule->rule) {
    case Rule::Custom:
    case Rule::Insert:
        name = NameRules::proposedName(rule->rule, rule->folder, customFrom(settings), entry, row, sources);
        break;
    case Rule::Replace:
        name = NameRules::proposedName(rule->folder, replaceFrom(settings), entry, sources);
        break;
    case Rule::Delete:
        name = NameRules::proposedName(rule->folder, deleteFrom(settings), entry, sources);
        break;
    }
    QCOMPARE(name, expected);
}

void TestNameRules::timeStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0 << "2000-01-01";
    QTest::newRow("1") << 1 << "2000年1月1日";
    QTest::newRow("2") << 2 << "20000101";
    QTest::newRow("3 curly quotes around the minutes") << 3 << "2000-01-01 16‘05’09";
    QTest::newRow("4") << 4 << "2000-01-01-16-05-09";
    QTest::newRow("5") << 5 << "2000年1月1日 16时05分09秒";
    QTest::newRow("6") << 6 << "20000101160509";
    QTest::newRow("out of range falls back to 0") << 7 << "2000-01-01";
}

void TestNameRules::timeStyles()
{
    QFETCH(int, style);
    QFETCH(QString, expected);
    CustomSettings s;
    s.numberingEnabled = true;
    s.numberOnly = true;
    s.numberType = 3;
    s.timeStyle = style;
    QCOMPARE(NameRules::proposedName(Rule::Custom, true, s, entryAt("/d/x"), 0, fixedSources()), expected);
}

void TestNameRules::capitalizeWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("separators") << "my_file-name.v2" << "My_File-Name.V2";
    QTest::newRow("rest of the word unchanged") << "hello wORLD" << "Hello WORLD";
    QTest::newRow("digit starts a word") << "2nd try" << "2nd Try";
    QTest::newRow("Chinese between") << "报告abc 终稿def" << "报告abc 终稿def";
    QTest::newRow("combining mark stays in its word") << QString("e\u0301te\u0301 x") << QString("E\u0301te\u0301 X");
    QTest::newRow("accented") << "élan vital" << "Élan Vital";
    QTest::newRow("supplementary letter") << QString::fromUcs4(U"\U00010428x") << QString::fromUcs4(U"\U00010400x");
    QTest::newRow("empty") << "" << "";
}

void TestNameRules::capitalizeWords()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(NameRules::capitalizeWords(text), expected);
}

void TestNameRules::recordsPerKey()
{
    QSet<void *> seen;
    for (const QString &key : renameKeys) {
        void *record = customSettings(key);
        if (!record)
            record = replaceSettings(key);
        if (!record)
            record = deleteSettings(key);
        QVERIFY2(record, qPrintable(key));
        QVERIFY2(!seen.contains(record), qPrintable(key));
        seen.insert(record);
        QVERIFY(renameRule(key));
    }
    QVERIFY(customSettings(Channel::FileReplaceRename) == nullptr);
    QVERIFY(replaceSettings(Channel::FileDeleteRename) == nullptr);
    QVERIFY(deleteSettings(Channel::FileCustomRename) == nullptr);
    QVERIFY(customSettings(Channel::ImportExcelRename) == nullptr);
    QVERIFY(!renameRule(Channel::ImportExcelRename));
    QCOMPARE(customSettings(Channel::FileCustomRename), customSettings(Channel::FileCustomRename));
}

void TestNameRules::recordDefaultsMatchPanelStart()
{
    const CustomSettings c;
    QCOMPARE(c.startLetter, 1); // the start-letter box starts at 10, shown as a
    QCOMPARE(c.letterIncrement, 1);
    QCOMPARE(c.numberDigits, 1);
    QCOMPARE(c.randomLength, 1);
    QVERIFY(c.autoResolve);
    QVERIFY(!c.numberingEnabled);
    QVERIFY(!c.extensionEnabled);
    QVERIFY(ReplaceSettings().autoResolve);
    QCOMPARE(DeleteSettings().deleteMode, 0);
    QCOMPARE(timeStyleCount(), 7);
    QCOMPARE(timeStyleSamples(), QStringList({"2000-01-01", "2000年1月1日", "20000101", "2000-01-01 16‘00’00",
                                              "2000-01-01-16-00-00", "2000年1月1日 16时00分00秒",
                                              "20000101160000"}));
}

void TestNameRules::recomputeWholeList_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("expected");

    const QStringList files = {"/d/a.txt", "/d/b.doc", "/d/c"};
    QTest::newRow("custom numbering")
        << Channel::FileCustomRename << files << QStringList({"报告001.txt", "报告002.doc", "报告003"});
    QTest::newRow("letters")
        << Channel::FileInsertRename << QStringList({"/d/a", "/d/a", "/d/a", "/d/a"})
        << QStringList({"ya", "za", "aa", "ba"});
    QTest::newRow("folder delete") << Channel::FolderDeleteRename << QStringList({"/d/x.1", "/d/y.2.3"})
                                   << QStringList({"x1", "y23"});
    QTest::newRow("empty list") << Channel::FileReplaceRename << QStringList() << QStringList();
}

void TestNameRules::recomputeWholeList()
{
    QFETCH(QString, key);
    QFETCH(QStringList, paths);
    QFETCH(QStringList, expected);

    *customSettings(Channel::FileCustomRename) =
        customFrom("text=报告;numberingEnabled=1;startNumber=1;numberIncrement=1;numberDigits=3;numberPosition=1");
    *customSettings(Channel::FileInsertRename) = customFrom("numberingEnabled=1;numberType=1;startLetter=25");
    *deleteSettings(Channel::FolderDeleteRename) = deleteFrom("deleteText=.");
    // Records of other keys must not leak into this one.
    *customSettings(Channel::FolderCustomRename) = customFrom("text=wrong");
    *replaceSettings(Channel::FolderReplaceRename) = replaceFrom("find=a;replaceWith=wrong");

    FileEntryList entries = entriesAt(paths);
    bool autoResolve = false;
    QVERIFY(recomputeKey(key, entries, autoResolve, fixedSources()));
    QCOMPARE(newNames(entries), expected);
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(entries[i].path, paths[i]);
}

void TestNameRules::conflictFlag_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("autoResolve");
    QTest::addColumn<bool>("expected");
    for (const QString &key : renameKeys) {
        const bool fromRecord = !deleteSettings(key);
        QTest::addRow("%s on", qPrintable(key)) << key << true << true;
        QTest::addRow("%s off", qPrintable(key)) << key << false << !fromRecord;
    }
}

void TestNameRules::conflictFlag()
{
    QFETCH(QString, key);
    QFETCH(bool, autoResolve);
    QFETCH(bool, expected);
    if (CustomSettings *s = customSettings(key))
        s->autoResolve = autoResolve;
    if (ReplaceSettings *s = replaceSettings(key))
        s->autoResolve = autoResolve;

    FileEntryList entries = entriesAt({"/d/a.txt"});
    bool flag = !expected;
    QVERIFY(recomputeKey(key, entries, flag, fixedSources()));
    QCOMPARE(flag, expected);

    flag = false;
    NameRules::applyImportedNames({"x"}, entries, false, flag);
    QVERIFY(flag);

    // A failed read brings no names: the user's choice stays as it was.
    flag = false;
    NameRules::applyImportedNames({}, entries, false, flag);
    QVERIFY(!flag);
}

void TestNameRules::otherKeysChangeNothing()
{
    FileEntryList entries = entriesAt({"/d/a.txt"});
    entries[0].newName = "kept";
    bool flag = false;
    QVERIFY(!recomputeKey(Channel::ImportExcelRename, entries, flag, fixedSources()));
    QVERIFY(!recomputeKey(Channel::StartChangeName, entries, flag, fixedSources()));
    QCOMPARE(entries[0].newName, QString("kept"));
    QVERIFY(!flag);
}

void TestNameRules::randomDrawnPerRowAndRecompute()
{
    NameSources sources = fixedSources();
    int draws = 0;
    sources.randomText = [&draws](int length, int rule) {
        return QString("%1:%2:%3").arg(length).arg(rule).arg(++draws);
    };
    *customSettings(Channel::FolderCustomRename) =
        customFrom("numberingEnabled=1;numberOnly=1;numberType=2;randomRule=1;randomLength=5");

    FileEntryList entries = entriesAt({"/d/a", "/d/b", "/d/c"});
    bool flag = false;
    recomputeKey(Channel::FolderCustomRename, entries, flag, sources);
    QCOMPARE(newNames(entries), QStringList({"5:1:1", "5:1:2", "5:1:3"}));
    recomputeKey(Channel::FolderCustomRename, entries, flag, sources);
    QCOMPARE(newNames(entries), QStringList({"5:1:4", "5:1:5", "5:1:6"}));
}

void TestNameRules::importedNames_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QStringList>("expected");

    const QStringList five = {"/d/1.txt", "/d/2.txt", "/d/3", "/d/4.txt", "/d/5.txt"};
    QTest::newRow("three names on five rows")
        << QStringList({"a", "b", "c"}) << five << false << QStringList({"a.txt", "b.txt", "c", "4.txt", "5.txt"});
    QTest::newRow("surplus names ignored") << QStringList({"a", "b", "c"}) << QStringList({"/d/x.md"}) << false
                                           << QStringList({"a.md"});
    QTest::newRow("name keeps its own dots") << QStringList({"v1.0"}) << QStringList({"/d/x.tar.gz"}) << false
                                             << QStringList({"v1.0.gz"});
    QTest::newRow("empty name keeps the extension") << QStringList({""}) << QStringList({"/d/x.txt"}) << false
                                                    << QStringList({".txt"});
    QTest::newRow("folder takes the name whole") << QStringList({"new", "v2"}) << QStringList({"/d/rel.2", "/d/v1.5"})
                                                 << true << QStringList({"new", "v2"});
    QTest::newRow("no names") << QStringList() << QStringList({"/d/x.txt"}) << false << QStringList({"x.txt"});
}

void TestNameRules::importedNames()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, paths);
    QFETCH(bool, folder);
    QFETCH(QStringList, expected);

    FileEntryList entries = entriesAt(paths);
    for (int i = 0; i < entries.size(); ++i)
        entries[i].newName = QString("prev%1").arg(i);
    bool flag = false;
    NameRules::applyImportedNames(names, entries, folder, flag);
    QCOMPARE(newNames(entries), expected);
    QCOMPARE(flag, !names.isEmpty());
}

void TestNameRules::systemItemTimes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("item.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QDateTime stamp(QDate(2019, 7, 8), QTime(9, 10, 11));
    QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();

    CustomSettings s = customFrom("numberingEnabled=1;numberOnly=1;numberType=3;timeSource=2;timeStyle=6");
    const NameSources &system = NameSources::system();
    QCOMPARE(NameRules::proposedName(Rule::Custom, false, s, entryAt(path), 0, system),
             QString("20190708091011.txt"));
    QCOMPARE(NameRules::proposedName(Rule::Custom, false, s, entryAt(dir.filePath("gone.txt")), 0, system),
             QString(".txt"));

    s.timeSource = 0;
    const QString now = NameRules::proposedName(Rule::Custom, false, s, entryAt(path), 0, system);
    QVERIFY2(QRegularExpression("^\\d{14}\\.txt$").match(now).hasMatch(), qPrintable(now));
}

void TestNameRules::realPinyinWithCase()
{
    if (toPinyin(QStringLiteral("文件")) != QLatin1String("wenjian"))
        QSKIP("the pinyin table is not available in this build");
    CustomSettings s = customFrom("pinyin=1;caseMode=1");
    QCOMPARE(NameRules::proposedName(Rule::Custom, false, s, entryAt("/d/文件A.txt"), 0, NameSources::system()),
             QString("WenjianA.txt"));
}

void TestNameRules::dateTakenNumbers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("note");
    QTest::newRow("date taken") << "/d/taken.jpg"
                                << "2023-07-14taken.jpg"
                                << "";
    QTest::newRow("no date taken") << "/d/plain.jpg"
                                   << "2002-02-02plain.jpg"
                                   << "无拍摄时间，使用修改时间";
    QTest::newRow("still reading") << "/d/reading.jpg"
                                   << "2002-02-02reading.jpg"
                                   << "正在读取拍摄时间…";
}

// A photo without a date taken is numbered by its modification time, and its proposal says so.
void TestNameRules::dateTakenNumbers()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, note);
    NameSources sources = fixedSources();
    sources.modificationTime = [](const QString &) { return QDateTime(QDate(2002, 2, 2), QTime(2, 2), Qt::UTC); };
    sources.photoTime = [](const QString &item) {
        if (item.contains("taken"))
            return TakenTime{QDateTime(QDate(2023, 7, 14), QTime(9, 30), Qt::UTC), false};
        return TakenTime{QDateTime(), item.contains("reading")};
    };
    CustomSettings s;
    s.numberingEnabled = true;
    s.numberType = 3;
    s.timeSource = 3;
    QString shown;
    QCOMPARE(NameRules::proposedName(Rule::Custom, false, s, entryAt(path), 0, sources, &shown), name);
    QCOMPARE(shown, note);
}

QTEST_GUILESS_MAIN(TestNameRules)
#include "tst_namerules.moc"
