#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "filelist/additionplan.h"
#include "filelist/custormtabelitem.h"
#include "filelist/filecollector.h"
#include "filelist/folderpicker.h"
#include "filelist/listsorter.h"
#include "filelist/tableroles.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace FileListTest;

class TestFileListHelpers : public QObject
{
    Q_OBJECT
private slots:
    void plan_data();
    void plan();
    void collectDepthFirstWithoutHidden();
    void collectStopsAtLimit_data();
    void collectStopsAtLimit();
    void collectSurvivesLinkToAncestor();
    void collectKeepsBackslashInNames();
    void collectMissingFolder();
    void collectSkipsUnreadableFolder();
    void sortOrder_data();
    void sortOrder();
    void directionAlternates();
    void custormItemOrdersLargerKeysFirst();
    void pickTwoFolders();
    void pickCancelled();
};

void TestFileListHelpers::plan_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QStringList>("accepted");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<bool>("limit");

    QTest::newRow("same path twice in one batch")
        << QStringList() << QStringList{"/a/x.txt", "/a/x.txt"} << 0 << 3000 << QStringList{"/a/x.txt"} << 1 << false;
    QTest::newRow("already listed")
        << QStringList{"/a/x.txt"} << QStringList{"/a/x.txt", "/a/y.txt"} << 1 << 3000 << QStringList{"/a/y.txt"} << 1
        << false;
    QTest::newRow("case differs: not a duplicate")
        << QStringList{"/a/x.txt"} << QStringList{"/a/X.txt", "/A/x.txt"} << 1 << 3000
        << QStringList{"/a/X.txt", "/A/x.txt"} << 0 << false;
    QTest::newRow("fills to capacity exactly")
        << QStringList() << QStringList{"/1", "/2", "/3"} << 0 << 3 << QStringList{"/1", "/2", "/3"} << 0 << false;
    QTest::newRow("one over capacity")
        << QStringList() << QStringList{"/1", "/2", "/3", "/4", "/5"} << 0 << 3 << QStringList{"/1", "/2", "/3"} << 0
        << true;
    QTest::newRow("duplicates after the cut are not counted")
        << QStringList() << QStringList{"/1", "/1", "/2", "/3", "/1"} << 1 << 2 << QStringList{"/1"} << 1 << true;
    QTest::newRow("full list, only duplicates: no limit")
        << QStringList{"/1", "/2"} << QStringList{"/1", "/2"} << 2 << 2 << QStringList() << 2 << false;
}

void TestFileListHelpers::plan()
{
    QFETCH(QStringList, listed);
    QFETCH(QStringList, paths);
    QFETCH(int, rowCount);
    QFETCH(int, capacity);
    const AdditionPlan plan = AdditionPlan::make(QSet<QString>(listed.begin(), listed.end()), paths, rowCount, capacity);
    QTEST(plan.accepted, "accepted");
    QTEST(plan.skipped, "skipped");
    QTEST(plan.limitReached, "limit");
}

void TestFileListHelpers::collectDepthFirstWithoutHidden()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    makeFile(root, "top/b.txt");
    makeFile(root, "top/A/z.txt");
    makeFile(root, "top/A/deeper/y.txt");
    makeFile(root, "top/c/x.txt");
    makeFile(root, "top/.hidden.txt");
    makeFile(root, "top/.secret/inside.txt");
    makeDir(root, "top/emptyFolder");

    const QStringList files = collectFilesRecursively(root + "/top");
    QCOMPARE(files, QStringList({root + "/top/A/deeper/y.txt", root + "/top/A/z.txt", root + "/top/b.txt",
                                 root + "/top/c/x.txt"}));
}

void TestFileListHelpers::collectStopsAtLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("expected");
    QTest::newRow("no limit") << -1 << 6;
    QTest::newRow("nothing wanted") << 0 << 0;
    QTest::newRow("inside a sub-folder") << 4 << 4;
    QTest::newRow("more than there is") << 50 << 6;
}

void TestFileListHelpers::collectStopsAtLimit()
{
    QFETCH(int, limit);
    QFETCH(int, expected);
    QTemporaryDir dir;
    for (const char *name : {"t/a.txt", "t/b/1.txt", "t/b/2.txt", "t/b/3.txt", "t/c/4.txt", "t/d.txt"})
        makeFile(dir.path(), name);
    const QStringList all = collectFilesRecursively(dir.path() + "/t");
    const QStringList files = collectFilesRecursively(dir.path() + "/t", limit);
    QCOMPARE(files.size(), expected);
    QCOMPARE(files, all.mid(0, expected));
}

void TestFileListHelpers::collectSurvivesLinkToAncestor()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    makeFile(root, "tree/a.txt");
    makeFile(root, "tree/sub/b.txt");
    QVERIFY(QFile::link(root + "/tree", root + "/tree/sub/loop"));

    const QStringList files = collectFilesRecursively(root + "/tree");
    QCOMPARE(files, QStringList({root + "/tree/a.txt", root + "/tree/sub/b.txt"}));
}

void TestFileListHelpers::collectKeepsBackslashInNames()
{
#ifdef Q_OS_WIN
    QSKIP("a backslash separates folders on Windows");
#else
    QTemporaryDir dir;
    makeFile(dir.path(), "f/odd\\name.txt");
    QCOMPARE(collectFilesRecursively(dir.path() + "/f"), QStringList(dir.path() + "/f/odd\\name.txt"));
#endif
}

void TestFileListHelpers::collectMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(collectFilesRecursively(dir.path() + "/gone").isEmpty());
}

void TestFileListHelpers::collectSkipsUnreadableFolder()
{
#ifdef Q_OS_UNIX
    if (::geteuid() == 0)
        QSKIP("every folder is readable to root");
#endif
    QTemporaryDir dir;
    const QString a = makeFile(dir.path(), "t/a.txt");
    makeFile(dir.path(), "t/locked/b.txt");
    const QString d = makeFile(dir.path(), "t/z/d.txt");
    const QString locked = dir.path() + "/t/locked";
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const QStringList files = collectFilesRecursively(dir.path() + "/t");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(files, QStringList({a, d}));
}

void TestFileListHelpers::sortOrder_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("numbers by value") << QStringList{"a10", "a2", "a1"} << false << QStringList{"a1", "a2", "a10"};
    QTest::newRow("descending") << QStringList{"a10", "a2", "a1"} << true << QStringList{"a10", "a2", "a1"};
    QTest::newRow("case sensitive, lower first") << QStringList{"B", "b", "a"} << false << QStringList{"a", "b", "B"};
    QTest::newRow("pinyin order of Chinese") << QStringList{"中国", "啊", "白"} << false
                                             << QStringList{"啊", "白", "中国"};
}

void TestFileListHelpers::sortOrder()
{
    QFETCH(QStringList, names);
    QFETCH(bool, descending);
    QVector<QString> records(names.begin(), names.end());
    ListSorter::sortByText(records, [](const QString &s) { return s; }, descending);
    QTEST(QStringList(records.begin(), records.end()), "expected");
}

void TestFileListHelpers::directionAlternates()
{
    QObject header;
    QCOMPARE(ListSorter::takeDescending(&header), false);
    QCOMPARE(ListSorter::takeDescending(&header), true);
    QCOMPARE(ListSorter::takeDescending(&header), false);
    QCOMPARE(header.property("comper").toBool(), true);
}

void TestFileListHelpers::custormItemOrdersLargerKeysFirst()
{
    CustormTabelItem early;
    CustormTabelItem late;
    early.setData(TableRole::SortKey, "2020/01/01 00:00:00");
    late.setData(TableRole::SortKey, "2024/01/01 00:00:00");
    QVERIFY(late < early);
    QVERIFY(!(early < late));
    QVERIFY(!(early < early));
}

void TestFileListHelpers::pickTwoFolders()
{
    QTemporaryDir dir;
    const QString one = makeDir(dir.path(), "one");
    const QString two = makeDir(dir.path(), "two");
    QString title;
    bool multiSelect = false;
    ModalAnswerer picker("folder picker", [&](QDialog *dialog) {
        title = dialog->windowTitle();
        multiSelect =
            dialog->findChild<QListView *>("listView")->selectionMode() == QAbstractItemView::ExtendedSelection;
        ModalAnswerer::pickInFileDialog(dir.path(), "\"two\" \"one\"")(dialog);
    });
    const QStringList picked = pickFolders(QStringLiteral("选择目录"));
    QCOMPARE(title, QStringLiteral("选择目录"));
    QVERIFY(multiSelect);
    QCOMPARE(picked, QStringList({two, one}));
}

void TestFileListHelpers::pickCancelled()
{
    ModalAnswerer cancel("folder picker", ModalAnswerer::reject());
    QVERIFY(pickFolders(QStringLiteral("选择目录")).isEmpty());
}

QTEST_MAIN(TestFileListHelpers)
#include "tst_filelisthelpers.moc"
