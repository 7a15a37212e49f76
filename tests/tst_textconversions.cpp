#include "rename/ccconverter.h"
#include "rename/textconversions.h"

#include <QtConcurrent>
#include <QtTest>

namespace {

const QStringList openccFiles = {QStringLiteral("s2t.json"),       QStringLiteral("t2s.json"),
                                 QStringLiteral("STPhrases.ocd2"),  QStringLiteral("STCharacters.ocd2"),
                                 QStringLiteral("TSPhrases.ocd2"),  QStringLiteral("TSCharacters.ocd2")};

QStringList pinyinSyllables()
{
    QFile file(QStringLiteral(":/zhtopy.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char(' '));
}

QString fromUcs4(uint code)
{
    return QString::fromUcs4(&code, 1);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTextConversions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void pinyinTableShape();
    void pinyin_data();
    void pinyin();
    void script_data();
    void script();
    void scriptResourcesMatchStagedConfigurations();
    void randomString_data();
    void randomString();
    void randomStringUsesWholePool();
    void reverseText_data();
    void reverseText();

    void missingConfiguration();
    void brokenConfiguration_data();
    void brokenConfiguration();
    void workingFolderPlaysNoPart();
    void conversionsWaitForTheBackgroundLoad();

private:
    bool m_reloadProgramData = false;
};

void TestTextConversions::initTestCase()
{
    for (const QString &file : openccFiles)
        QVERIFY2(QFileInfo::exists(file), qPrintable(file + " is not staged in " + QDir::currentPath()));
    // Nothing has called initialize yet: the first use loads the converters.
    QVERIFY(CCConverter::isAvailable());
    QVERIFY(CCConverter::errorText().isEmpty());
}

// The configuration tests load from folders of their own; everything else uses the program's data.
void TestTextConversions::cleanup()
{
    if (!m_reloadProgramData)
        return;
    m_reloadProgramData = false;
    QVERIFY(CCConverter::initialize());
}

void TestTextConversions::pinyinTableShape()
{
    const QByteArray raw = readFile(QStringLiteral(":/zhtopy.txt"));
    QVERIFY(!raw.contains('\n'));
    QVERIFY(!raw.endsWith(' '));
    const QStringList syllables = pinyinSyllables();
    QCOMPARE(syllables.size(), 0x9FA5 - 0x4E00 + 1);
    const QRegularExpression syllable(QStringLiteral("^[a-z]+$"));
    for (int i = 0; i < syllables.size(); ++i)
        QVERIFY2(syllable.match(syllables.at(i)).hasMatch(),
                 qPrintable(QStringLiteral("U+%1: '%2'").arg(0x4E00 + i, 4, 16).arg(syllables.at(i))));
}

void TestTextConversions::pinyin_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("一") << QStringLiteral("一") << QStringLiteral("yi");
    QTest::newRow("文") << QStringLiteral("文") << QStringLiteral("wen");
    QTest::newRow("件") << QStringLiteral("件") << QStringLiteral("jian");
    QTest::newRow("mixed keeps case") << QStringLiteral("文件A") << QStringLiteral("wenjianA");
    QTest::newRow("no separator") << QStringLiteral("中华人民") << QStringLiteral("zhonghuarenmin");
    QTest::newRow("ü as v") << QStringLiteral("绿女") << QStringLiteral("lvnv");
    QTest::newRow("龥 last entry") << QStringLiteral("龥") << pinyinSyllables().value(0x9FA5 - 0x4E00);
    QTest::newRow("〇 unchanged") << QStringLiteral("〇") << QStringLiteral("〇");
    QTest::newRow("before range") << fromUcs4(0x4DFF) << fromUcs4(0x4DFF);
    QTest::newRow("after range") << fromUcs4(0x9FA6) << fromUcs4(0x9FA6);
    QTest::newRow("latin, digits, punctuation") << QStringLiteral("Report_2024 (v2).txt")
                                                << QStringLiteral("Report_2024 (v2).txt");
    QTest::newRow("fullwidth punctuation") << QStringLiteral("照片，副本") << QStringLiteral("zhaopian，fuben");
    QTest::newRow("surrogate pair U+20000") << fromUcs4(0x20000) << fromUcs4(0x20000);
    QTest::newRow("emoji between") << QStringLiteral("a") + fromUcs4(0x1F600) + QStringLiteral("文")
                                   << QStringLiteral("a") + fromUcs4(0x1F600) + QStringLiteral("wen");
    QTest::newRow("empty") << QString() << QString();
}

void TestTextConversions::pinyin()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QVERIFY(!expected.isNull() || input.isNull());
    QCOMPARE(toPinyin(input), expected);
}

void TestTextConversions::script_data()
{
    QTest::addColumn<bool>("traditional");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("汉字") << true << QStringLiteral("汉字") << QStringLiteral("漢字");
    QTest::newRow("发展") << true << QStringLiteral("发展") << QStringLiteral("發展");
    QTest::newRow("phrase 头发") << true << QStringLiteral("头发") << QStringLiteral("頭髮");
    QTest::newRow("file name") << true << QStringLiteral("报告-2024_终版(1).docx")
                               << QStringLiteral("報告-2024_終版(1).docx");
    QTest::newRow("latin to traditional") << true << QStringLiteral("Abc xyz 0123456789 .,;:!?()[]{}-_+=@#$%&")
                                          << QStringLiteral("Abc xyz 0123456789 .,;:!?()[]{}-_+=@#$%&");
    QTest::newRow("後") << false << QStringLiteral("後") << QStringLiteral("后");
    QTest::newRow("漢字") << false << QStringLiteral("漢字") << QStringLiteral("汉字");
    QTest::newRow("發展") << false << QStringLiteral("發展") << QStringLiteral("发展");
    QTest::newRow("latin to simplified") << false << QStringLiteral("Abc xyz 0123456789 .,;:!?()[]{}-_+=@#$%&")
                                         << QStringLiteral("Abc xyz 0123456789 .,;:!?()[]{}-_+=@#$%&");
    QTest::newRow("empty") << true << QString() << QString();
    QTest::newRow("emoji kept") << true << QStringLiteral("汉") + fromUcs4(0x1F600)
                                << QStringLiteral("漢") + fromUcs4(0x1F600);
    QTest::newRow("NUL kept, both sides converted")
        << true << QStringLiteral("汉") + QChar(0) + QStringLiteral("字") << QStringLiteral("漢") + QChar(0) + QStringLiteral("字");
    QTest::newRow("lone high surrogate kept")
        << true << QStringLiteral("汉") + QChar(0xD800) + QStringLiteral("字")
        << QStringLiteral("漢") + QChar(0xD800) + QStringLiteral("字");
    QTest::newRow("lone low surrogate at start kept")
        << false << QString(QChar(0xDC00)) + QStringLiteral("後") << QString(QChar(0xDC00)) + QStringLiteral("后");
}

void TestTextConversions::script()
{
    QFETCH(bool, traditional);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(traditional ? toTraditional(input) : toSimplified(input), expected);
}

void TestTextConversions::scriptResourcesMatchStagedConfigurations()
{
    for (const QString &file : {QStringLiteral("s2t.json"), QStringLiteral("t2s.json")}) {
        const QByteArray compiled = readFile(QStringLiteral(":/") + file);
        QVERIFY(compiled.contains("mmseg"));
        QCOMPARE(compiled, readFile(file));
    }
}

void TestTextConversions::randomString_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("4 digits") << 4 << 0 << QStringLiteral("^[0-9]{4}$");
    QTest::newRow("12 letters") << 12 << 1 << QStringLiteral("^[A-Za-z]{12}$");
    QTest::newRow("6 letters and digits") << 6 << 2 << QStringLiteral("^[A-Za-z0-9]{6}$");
    QTest::newRow("1 character") << 1 << 2 << QStringLiteral("^[A-Za-z0-9]$");
    QTest::newRow("length 0") << 0 << 0 << QStringLiteral("^$");
    QTest::newRow("negative length") << -3 << 1 << QStringLiteral("^$");
    QTest::newRow("unknown rule") << 5 << 3 << QStringLiteral("^$");
    QTest::newRow("negative rule") << 5 << -1 << QStringLiteral("^$");
}

void TestTextConversions::randomString()
{
    QFETCH(int, length);
    QFETCH(int, rule);
    QFETCH(QString, pattern);
    if (rule < 0 || rule >= randomPoolCount)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("unknown character pool")));
    const QString text = ::randomString(length, rule);
    QVERIFY2(QRegularExpression(pattern).match(text).hasMatch(), qPrintable(text));
}

void TestTextConversions::randomStringUsesWholePool()
{
    // 6200 draws from 62 characters: each is expected 100 times; missing one by chance is below 1e-40.
    QHash<QChar, int> counts;
    for (const QChar c : ::randomString(6200, 2))
        ++counts[c];
    QCOMPARE(counts.size(), 62);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        QVERIFY2(it.value() > 40 && it.value() < 180, qPrintable(QString(it.key())));
    QVERIFY(::randomString(32, 2) != ::randomString(32, 2));
}

void TestTextConversions::reverseText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("latin") << QStringLiteral("abc.txt") << QStringLiteral("txt.cba");
    QTest::newRow("chinese") << QStringLiteral("文件名") << QStringLiteral("名件文");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one") << QStringLiteral("x") << QStringLiteral("x");
    // Code units, as the delete rule counts them: a pair comes out swapped and goes back on the second turn.
    QTest::newRow("surrogate pair") << QStringLiteral("a") + fromUcs4(0x20000)
                                    << QString(QChar(0xDC00)) + QChar(0xD840) + QStringLiteral("a");
}

void TestTextConversions::reverseText()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(::reverseText(input), expected);
    QCOMPARE(::reverseText(expected), input);
}

void TestTextConversions::missingConfiguration()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    m_reloadProgramData = true;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("s2t\\.json is missing")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("t2s\\.json is missing")));

    QVERIFY(!CCConverter::initialize({folder.path()}));
    QVERIFY(!CCConverter::isAvailable());
    QVERIFY(!CCConverter::isAvailable(CCConverter::ToTraditional));
    QVERIFY(!CCConverter::isAvailable(CCConverter::ToSimplified));
    QCOMPARE(CCConverter::errorText(CCConverter::ToTraditional), QStringLiteral("简体转繁体不可用：缺少OpenCC配置文件s2t.json"));
    QCOMPARE(CCConverter::errorText(CCConverter::ToSimplified), QStringLiteral("繁体转简体不可用：缺少OpenCC配置文件t2s.json"));
    QCOMPARE(CCConverter::errorText().split(QLatin1Char('\n')).size(), 2);
    QCOMPARE(toTraditional(QStringLiteral("汉字发展")), QStringLiteral("汉字发展"));
    QCOMPARE(toSimplified(QStringLiteral("漢字後")), QStringLiteral("漢字後"));
}

void TestTextConversions::brokenConfiguration_data()
{
    const QByteArray s2t = readFile(QStringLiteral("s2t.json"));
    const QByteArray phrases = readFile(QStringLiteral("STPhrases.ocd2"));
    QByteArray noise(4096, '\0');
    for (char &c : noise)
        c = char(QRandomGenerator::global()->bounded(256));

    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("phraseDictionary");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QString>("shown");
    QTest::newRow("not JSON") << QByteArray("{ \"name\": ") << phrases << QStringLiteral("cannot load")
                              << QStringLiteral("无法读取或已损坏");
    QTest::newRow("empty file") << QByteArray() << phrases << QStringLiteral("cannot load")
                                << QStringLiteral("无法读取或已损坏");
    QTest::newRow("wrong structure") << QByteArray("[1, 2]") << phrases << QStringLiteral("cannot load")
                                     << QStringLiteral("无法读取或已损坏");
    QTest::newRow("wrong type") << QByteArray(s2t).replace("\"mmseg\"", "7") << phrases
                                << QStringLiteral("cannot load") << QStringLiteral("无法读取或已损坏");
    QTest::newRow("unknown dictionary") << QByteArray(s2t).replace("STPhrases.ocd2", "Nowhere.ocd2") << phrases
                                        << QStringLiteral("cannot load") << QStringLiteral("无法读取或已损坏");
    QTest::newRow("truncated dictionary") << s2t << phrases.left(1000) << QStringLiteral("cannot load")
                                          << QStringLiteral("无法读取或已损坏");
    QTest::newRow("noise dictionary") << s2t << noise << QStringLiteral("cannot load")
                                      << QStringLiteral("无法读取或已损坏");
    QTest::newRow("empty dictionary") << s2t << QByteArray() << QStringLiteral("cannot load")
                                      << QStringLiteral("无法读取或已损坏");
    QTest::newRow("converts nothing")
        << QByteArray(R"({"segmentation": {"type": "mmseg", "dict": {"type": "ocd2", "file": "STPhrases.ocd2"}},
                         "conversion_chain": []})")
        << phrases << QStringLiteral("does not convert") << QStringLiteral("不能转换文字");
}

// Only s2t.json is broken: the other direction keeps working.
void TestTextConversions::brokenConfiguration()
{
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, phraseDictionary);
    QFETCH(QString, logged);
    QFETCH(QString, shown);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const QString &file : openccFiles)
        QVERIFY(QFile::copy(file, folder.filePath(file)));
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("s2t.json"))));
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("STPhrases.ocd2"))));
    QVERIFY(writeFile(folder.filePath(QStringLiteral("s2t.json")), config));
    QVERIFY(writeFile(folder.filePath(QStringLiteral("STPhrases.ocd2")), phraseDictionary));
    m_reloadProgramData = true;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^(?=.*s2t\\.json)简体转繁体 is unavailable: .*")
                                                          + QRegularExpression::escape(logged)));

    QVERIFY(!CCConverter::initialize({folder.path()}));
    QVERIFY(!CCConverter::isAvailable(CCConverter::ToTraditional));
    QVERIFY(CCConverter::isAvailable(CCConverter::ToSimplified));
    QVERIFY2(CCConverter::errorText(CCConverter::ToTraditional).contains(shown),
             qPrintable(CCConverter::errorText(CCConverter::ToTraditional)));
    QVERIFY(CCConverter::errorText(CCConverter::ToTraditional).startsWith(QStringLiteral("简体转繁体不可用：")));
    QVERIFY(CCConverter::errorText(CCConverter::ToSimplified).isEmpty());
    QCOMPARE(CCConverter::errorText(), CCConverter::errorText(CCConverter::ToTraditional));
    QCOMPARE(toTraditional(QStringLiteral("汉字发展")), QStringLiteral("汉字发展"));
    QCOMPARE(toSimplified(QStringLiteral("漢字後")), QStringLiteral("汉字后"));
}

// The program's configurations load whatever the working folder holds: a broken configuration or
// dictionary of the same name there is neither taken instead nor mixed in.
void TestTextConversions::workingFolderPlaysNoPart()
{
    QTemporaryDir working;
    QVERIFY(working.isValid());
    for (const QString &file : openccFiles)
        QVERIFY(writeFile(working.filePath(file), QByteArray("not OpenCC data")));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(working.path()));
    m_reloadProgramData = true;
    const bool loaded = CCConverter::initialize();
    QVERIFY(QDir::setCurrent(previous));

    QVERIFY(loaded);
    QVERIFY(CCConverter::errorText().isEmpty());
    QCOMPARE(toTraditional(QStringLiteral("汉字发展")), QStringLiteral("漢字發展"));
    QCOMPARE(toSimplified(QStringLiteral("漢字後")), QStringLiteral("汉字后"));
}

// The program loads the dictionaries on a worker thread while its window builds; a conversion asked for
// meanwhile waits for them rather than passing the text through unconverted.
void TestTextConversions::conversionsWaitForTheBackgroundLoad()
{
    m_reloadProgramData = true;
    QVERIFY(CCConverter::initialize());
    QFuture<void> loading = CCConverter::whenLoaded();
    QFuture<QString> converted = QtConcurrent::run([] { return toTraditional(QStringLiteral("汉字发展")); });
    QCOMPARE(toSimplified(QStringLiteral("漢字後")), QStringLiteral("汉字后"));
    QCOMPARE(converted.result(), QStringLiteral("漢字發展"));
    loading.waitForFinished();
    QVERIFY(CCConverter::isLoaded());
    QVERIFY(CCConverter::isAvailable());
}

QTEST_GUILESS_MAIN(TestTextConversions)
#include "tst_textconversions.moc"
