#include "fileops/datapaths.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Taken during static initialisation, before the application object exists, as the log file needs it.
const QString programFolderBeforeApplication = DataPaths::programFolder();

bool makeFile(const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

// A prefix laid out as installed: <prefix>/bin holds the program only, <prefix>/share/quorlin the data.
struct InstalledLayout
{
    QTemporaryDir prefix;
    QString bin() const { return prefix.filePath(QStringLiteral("bin")); }
    QString data() const { return prefix.filePath(QStringLiteral("share/quorlin")); }
};

} // namespace

class TestDataPaths : public QObject
{
    Q_OBJECT
private slots:
    void installedDataFolderBesideBin();
    void programFolderWithAndWithoutApplication();
    void find_data();
    void find();
    void missingFileIsLoggedWithPlacesSearched();
    void workingFolderPlaysNoPart();
    void holdsData_data();
    void holdsData();
};

void TestDataPaths::installedDataFolderBesideBin()
{
    QCOMPARE(DataPaths::installedDataFolder(QStringLiteral("/usr/bin")), QStringLiteral("/usr/share/quorlin"));
    QCOMPARE(DataPaths::installedDataFolder(QStringLiteral("/tmp/root/opt/q/bin")),
             QStringLiteral("/tmp/root/opt/q/share/quorlin"));
    QVERIFY(DataPaths::installedDataFolder(QString()).isEmpty());
    QVERIFY(DataPaths::searchFolders(QString()).isEmpty());
}

void TestDataPaths::programFolderWithAndWithoutApplication()
{
    const QString expected = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    QCOMPARE(QFileInfo(programFolderBeforeApplication).canonicalFilePath(), expected);
    QCOMPARE(QFileInfo(DataPaths::programFolder()).canonicalFilePath(), expected);
    QCOMPARE(DataPaths::searchFolders().value(0), QDir::cleanPath(DataPaths::programFolder()));
}

void TestDataPaths::find_data()
{
    QTest::addColumn<QStringList>("inProgramFolder");
    QTest::addColumn<QStringList>("inDataFolder");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("foundIn"); // "bin", "data"

    const QStringList none;
    QTest::newRow("installed data folder") << none << QStringList{"s2t.json"} << "s2t.json" << "data";
    QTest::newRow("program folder") << QStringList{"s2t.json"} << none << "s2t.json" << "bin";
    QTest::newRow("program folder first") << QStringList{"help/index.html"} << QStringList{"help/index.html"}
                                          << "help/index.html" << "bin";
    QTest::newRow("each file on its own") << QStringList{"template/Word.docx"}
                                          << QStringList{"template/Excel.xlsx", "template/Word.docx"}
                                          << "template/Excel.xlsx" << "data";
    QTest::newRow("folder") << none << QStringList{"template/Txt.txt"} << "template" << "data";
}

void TestDataPaths::find()
{
    QFETCH(QStringList, inProgramFolder);
    QFETCH(QStringList, inDataFolder);
    QFETCH(QString, wanted);
    QFETCH(QString, foundIn);

    InstalledLayout layout;
    QVERIFY(QDir().mkpath(layout.bin()));
    for (const QString &file : inProgramFolder)
        QVERIFY(makeFile(layout.bin() + '/' + file));
    for (const QString &file : inDataFolder)
        QVERIFY(makeFile(layout.data() + '/' + file));

    const QString folder = foundIn == QLatin1String("bin") ? layout.bin() : layout.data();
    QCOMPARE(DataPaths::find(wanted, DataPaths::searchFolders(layout.bin())), folder + '/' + wanted);
}

void TestDataPaths::missingFileIsLoggedWithPlacesSearched()
{
    InstalledLayout layout;
    QVERIFY(QDir().mkpath(layout.bin()));
    QVERIFY(makeFile(layout.data() + QStringLiteral("/s2t.json")));
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Data file template/PDF.pdf not found; searched %1, %2")
                                                      .arg(layout.bin(), layout.data())));
    QVERIFY(DataPaths::find(QStringLiteral("template/PDF.pdf"), DataPaths::searchFolders(layout.bin())).isEmpty());
}

void TestDataPaths::workingFolderPlaysNoPart()
{
    InstalledLayout layout;
    QVERIFY(QDir().mkpath(layout.bin()));
    QTemporaryDir working;
    QVERIFY(makeFile(working.filePath(QStringLiteral("t2s.json"))));
    QVERIFY(makeFile(layout.data() + QStringLiteral("/s2t.json")));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(working.path()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Data file t2s\\.json not found")));
    const QString missing = DataPaths::find(QStringLiteral("t2s.json"), DataPaths::searchFolders(layout.bin()));
    const QString found = DataPaths::find(QStringLiteral("s2t.json"), DataPaths::searchFolders(layout.bin()));
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY(missing.isEmpty());
    QCOMPARE(found, layout.data() + QStringLiteral("/s2t.json"));
}

void TestDataPaths::holdsData_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("holds");
    QTest::newRow("empty folder") << QStringList() << false;
    QTest::newRow("program only") << QStringList{"quorlin", "quorlin-logdecode"} << false;
    QTest::newRow("conversion configuration") << QStringList{"quorlin", "s2t.json"} << true;
    QTest::newRow("other direction") << QStringList{"t2s.json"} << true;
    QTest::newRow("help pages") << QStringList{"help/index.html"} << true;
    QTest::newRow("help folder without its page") << QStringList{"help/other.html"} << false;
    QTest::newRow("templates") << QStringList{"template/Word.docx"} << true;
    QTest::newRow("a log folder only") << QStringList{"log/2024-03-05-09-07-02-log.txt"} << false;
}

void TestDataPaths::holdsData()
{
    QFETCH(QStringList, files);
    QFETCH(bool, holds);
    QTemporaryDir folder;
    for (const QString &file : files)
        QVERIFY(makeFile(folder.filePath(file)));
    QCOMPARE(DataPaths::holdsData(folder.path()), holds);
    QVERIFY(!DataPaths::holdsData(folder.filePath(QStringLiteral("missing"))));
    QVERIFY(!DataPaths::holdsData(QString()));
}

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
