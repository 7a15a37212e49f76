#include "create/createrules.h"
#include "create/creationplan.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

const QDateTime fixedNow(QDate(2000, 1, 1), QTime(16, 5, 9));

CreateSources fixedSources()
{
    CreateSources s;
    s.currentMSecs = [] { return fixedNow.toMSecsSinceEpoch(); };
    // Like randomString, no characters for a length below 1.
    s.randomText = [](int length, int rule) {
        return length < 1 ? QString() : QString("r%1x%2").arg(length).arg(rule);
    };
    return s;
}

// "field=value;field=value" over the defaults of CreateRules.
CreateRules rulesFrom(const QString &fields)
{
    static const QHash<QString, int CreateRules::*> table = {
        {"numberPosition", &CreateRules::numberPosition}, {"numberAfter", &CreateRules::numberAfter},
        {"numberType", &CreateRules::numberType},         {"startNumber", &CreateRules::startNumber},
        {"numberIncrement", &CreateRules::numberIncrement}, {"numberDigits", &CreateRules::numberDigits},
        {"randomRule", &CreateRules::randomRule},         {"randomLength", &CreateRules::randomLength},
        {"timeStyle", &CreateRules::timeStyle},           {"startLetter", &CreateRules::startLetter},
        {"letterIncrement", &CreateRules::letterIncrement},
    };
    CreateRules rules;
    for (const QString &pair : fields.split(';', Qt::SkipEmptyParts)) {
        const QString field = pair.section('=', 0, 0);
        if (!table.contains(field))
            qFatal("unknown rules field %s", qPrintable(field));
        rules.*table.value(field) = pair.section('=', 1).toInt();
    }
    return rules;
}

QStringList withBase(const QString &parts, const QString &base, bool after = false)
{
    QStringList names;
    for (const QString &part : parts.split(' '))
        names.append(after ? base + part : part + base);
    return names;
}

} // namespace

class TestCreateRules : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void selectedEntries_data();
    void selectedEntries();
    void randomStringsFollowTheirRule_data();
    void randomStringsFollowTheirRule();
    void timeIsReadForEachItem();
    void creationTypes();
    void plannedItemsArePendingWithOwnIds();
};

void TestCreateRules::names_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QStringList>("expected");
    const QString b = "新建文件";

    QTest::newRow("count 0 plans nothing") << "" << 0 << b << QStringList();
    QTest::newRow("negative count plans nothing") << "" << -4 << b << QStringList();
    QTest::newRow("defaults: the same name three times")
        << "" << 3 << b << QStringList({"0新建文件", "0新建文件", "0新建文件"});
    QTest::newRow("empty base name keeps the part") << "startNumber=7" << 2 << "" << QStringList({"7", "7"});

    // Numbers
    QTest::newRow("start 8, step 1, 2 digits, after the base")
        << "numberPosition=1;startNumber=8;numberIncrement=1;numberDigits=2" << 3 << b
        << QStringList({"新建文件08", "新建文件09", "新建文件10"});
    QTest::newRow("negative start, 3 digits: the minus sign stays where it is")
        << "startNumber=-5;numberDigits=3" << 2 << b << QStringList({"0-5新建文件", "0-5新建文件"});
    QTest::newRow("negative start climbing through zero")
        << "startNumber=-2;numberIncrement=1" << 4 << "x" << QStringList({"-2x", "-1x", "0x", "1x"});
    QTest::newRow("negative step") << "startNumber=1;numberIncrement=-3;numberDigits=2" << 3 << "x"
                                   << QStringList({"01x", "-2x", "-5x"});
    QTest::newRow("a longer number stays whole") << "startNumber=12345;numberDigits=2" << 1 << "x"
                                                 << QStringList({"12345x"});
    QTest::newRow("99 digits") << "startNumber=3;numberDigits=99" << 1 << ""
                               << QStringList({QString(98, '0') + "3"});

    // Letters
    QTest::newRow("letters a to z, then a again") << "numberType=1;startLetter=1;letterIncrement=1" << 27 << "-"
                                                  << withBase("a b c d e f g h i j k l m n o p q r s t u v w x y z a", "-");
    QTest::newRow("letters from z") << "numberType=1;startLetter=26" << 3 << "-" << withBase("z a b", "-");
    QTest::newRow("letters from b, step 2") << "numberType=1;startLetter=2;letterIncrement=2" << 4 << b
                                            << withBase("b d f h", b);
    QTest::newRow("letters, step 13 alternates") << "numberType=1;startLetter=1;letterIncrement=13" << 3 << b
                                                 << withBase("a n a", b);
    QTest::newRow("letters after the base") << "numberType=1;numberPosition=1" << 2 << b << withBase("a b", b, true);

    // Random strings and times, from fixed sources
    QTest::newRow("random: length and rule reach the source") << "numberType=2;randomRule=1;randomLength=4" << 2 << b
                                                             << withBase("r4x1 r4x1", b);
    QTest::newRow("time style 0") << "numberType=3;timeStyle=0" << 1 << b << QStringList({"2000-01-01新建文件"});
    QTest::newRow("time style 1") << "numberType=3;timeStyle=1" << 1 << b << QStringList({"2000年1月1日新建文件"});
    QTest::newRow("time style 2") << "numberType=3;timeStyle=2" << 1 << b << QStringList({"20000101新建文件"});
    QTest::newRow("time style 3: curly quotes around the minutes")
        << "numberType=3;timeStyle=3" << 1 << b << QStringList({"2000-01-01 16‘05’09新建文件"});
    QTest::newRow("time style 4") << "numberType=3;timeStyle=4" << 1 << b << QStringList({"2000-01-01-16-05-09新建文件"});
    QTest::newRow("time style 5") << "numberType=3;timeStyle=5" << 1 << b
                                  << QStringList({"2000年1月1日 16时05分09秒新建文件"});
    QTest::newRow("time style 6, two items share the second") << "numberType=3;timeStyle=6" << 2 << b
                                                              << QStringList({"20000101160509新建文件",
                                                                              "20000101160509新建文件"});
    QTest::newRow("unknown time style falls back to 0") << "numberType=3;timeStyle=9" << 1 << b
                                                         << QStringList({"2000-01-01新建文件"});

    // Positions
    QTest::newRow("inside after 2 characters") << "numberPosition=2;numberAfter=2;startNumber=5" << 1 << b
                                               << QStringList({"新建5文件"});
    QTest::newRow("inside after 0 characters is before") << "numberPosition=2;numberAfter=0" << 1 << b
                                                         << QStringList({"0新建文件"});
    QTest::newRow("inside after 4 characters is after") << "numberPosition=2;numberAfter=4" << 1 << b
                                                        << QStringList({"新建文件0"});
    QTest::newRow("inside after 6 characters pads with two spaces")
        << "numberPosition=2;numberAfter=6" << 1 << b << QStringList({"新建文件  0"});
    QTest::newRow("inside after 5 characters of ab") << "numberPosition=2;numberAfter=5;numberType=1;startLetter=7"
                                                     << 1 << "ab" << QStringList({"ab   g"});
    QTest::newRow("an empty part inside, past the end, leaves the base as it is, as renaming does")
        << "numberPosition=2;numberAfter=6;numberType=2;randomLength=0" << 1 << b << QStringList({"新建文件"});
    QTest::newRow("inside an empty base") << "numberPosition=2;numberAfter=2" << 1 << "" << QStringList({"  0"});
    QTest::newRow("inside never splits a character in two")
        << "numberPosition=2;numberAfter=2" << 1 << "a😀b" << QStringList({"a😀0b"});
}

void TestCreateRules::names()
{
    QFETCH(QString, rules);
    QFETCH(int, count);
    QFETCH(QString, base);
    QFETCH(QStringList, expected);
    QCOMPARE(regeneratePlan(rulesFrom(rules), count, base, fixedSources()), expected);
}

// Items far into a large plan, where 32-bit arithmetic or the capacity would show.
void TestCreateRules::selectedEntries_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");

    QTest::newRow("largest start and step stay exact at item 3000")
        << "startNumber=999999;numberIncrement=999999" << 3000 << 2999 << "2999997000x";
    QTest::newRow("most negative start and step stay exact")
        << "startNumber=-999999;numberIncrement=-999999" << 3000 << 2999 << "-2999997000x";
    QTest::newRow("letter step 99 at item 3000") << "numberType=1;startLetter=26;letterIncrement=99" << 3000 << 2999
                                                 << "gx"; // (26 + 99 x 2999) mod 26 = 7
    QTest::newRow("count above the capacity stops at 3000") << "numberIncrement=1" << 3001 << 2999 << "2999x";
}

void TestCreateRules::selectedEntries()
{
    QFETCH(QString, rules);
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(QString, expected);
    const QStringList names = regeneratePlan(rulesFrom(rules), count, "x", fixedSources());
    QCOMPARE(names.size(), qMin(count, 3000));
    QCOMPARE(names.at(index), expected);
}

void TestCreateRules::randomStringsFollowTheirRule_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("digits") << 0 << 6 << "^[0-9]{6}新建文件$";
    QTest::newRow("letters") << 1 << 4 << "^[A-Za-z]{4}新建文件$";
    QTest::newRow("letters and digits") << 2 << 99 << "^[A-Za-z0-9]{99}新建文件$";
}

void TestCreateRules::randomStringsFollowTheirRule()
{
    QFETCH(int, rule);
    QFETCH(int, length);
    QFETCH(QString, pattern);
    CreateRules rules;
    rules.numberType = 2;
    rules.randomRule = rule;
    rules.randomLength = length;
    const QRegularExpression expected(pattern);
    const QStringList first = regeneratePlan(rules, 50, "新建文件");
    QCOMPARE(first.size(), 50);
    for (const QString &name : first)
        QVERIFY2(expected.match(name).hasMatch(), qPrintable(name));
    // Drawn anew for every item and every regeneration.
    QVERIFY(QSet<QString>(first.begin(), first.end()).size() > 1);
    QVERIFY(regeneratePlan(rules, 50, "新建文件") != first);
}

void TestCreateRules::timeIsReadForEachItem()
{
    qint64 now = fixedNow.toMSecsSinceEpoch();
    CreateSources sources = fixedSources();
    sources.currentMSecs = [&now] {
        const qint64 read = now;
        now += 600;
        return read;
    };
    CreateRules rules;
    rules.numberType = 3;
    rules.timeStyle = 4;
    QCOMPARE(regeneratePlan(rules, 4, "x", sources),
             QStringList({"2000-01-01-16-05-09x", "2000-01-01-16-05-09x", "2000-01-01-16-05-10x",
                          "2000-01-01-16-05-10x"}));
}

void TestCreateRules::creationTypes()
{
    QCOMPARE(creationTypeNames(), QStringList({"文件夹", "Word", "Excel", "PPT", "PDF", "TXT记事本"}));
    const QStringList templates = {"template/folder", "template/Word.docx", "template/Excel.xlsx",
                                   "template/PPT.pptx", "template/PDF.pdf", "template/Txt.txt"};
    const QStringList extensions = {"", ".docx", ".xlsx", ".pptx", ".pdf", ".txt"};
    for (int type = 0; type < creationTypeCount; ++type) {
        QCOMPARE(creationTemplate(type), templates.at(type));
        QCOMPARE(creationExtension(type), extensions.at(type));
    }
    QCOMPARE(creationTemplate(6), QString());
    QCOMPARE(creationExtension(-1), QString());
    QVERIFY(QFileInfo(defaultTargetFolder()).isDir());
}

void TestCreateRules::plannedItemsArePendingWithOwnIds()
{
    const PlannedItemList items = plannedItems({"a", "a", ""});
    QCOMPARE(items.size(), 3);
    QSet<QString> ids;
    for (const PlannedItem &item : items) {
        QCOMPARE(item.status, 0);
        QVERIFY(QRegularExpression("^\\{[0-9a-f-]{36}\\}$").match(item.id).hasMatch());
        ids.insert(item.id);
    }
    QCOMPARE(ids.size(), 3);
    QCOMPARE(items.at(2).name, QString());
}

QTEST_GUILESS_MAIN(TestCreateRules)
#include "tst_createrules.moc"
