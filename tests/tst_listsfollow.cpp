#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "filelist/customtabelwidget.h"
#include "rename/customsettings.h"
#include "rename/filelistwidget.h"
#include "rename/renamesettings.h"
#include "testutil_filelist.h"

#include <QTemporaryDir>
#include <QtTest>

using FileListTest::makeDir;
using FileListTest::makeFile;

// A rename made on one page moves the rows of every other list that point at the renamed items or below
// them, so their later jobs act on the items and not on paths that no longer exist.
class TestListsFollow : public QObject
{
    Q_OBJECT
private slots:
    void folderRenameMovesOtherListsRows();
    void fileRenameMovesTheSameFileListedElsewhere();
    void swapKeepsEachRowOnItsItem();
};

namespace {

void renameAllTo(FileListWidget &list, const QString &key, const QString &text)
{
    *customSettings(key) = CustomSettings();
    customSettings(key)->text = text;
    CNvGlobalObserver::instance()->notifyObservers(key, Channel::RenameValueUpdate);
    list.renameAll(false);
}

} // namespace

void TestListsFollow::folderRenameMovesOtherListsRows()
{
    QTemporaryDir dir;
    const QString inner = makeFile(dir.path(), "D/sub/f.txt");
    const QString outside = makeFile(dir.path(), "E/g.txt");
    FileListWidget folders;
    folders.setFolderMode(true);
    FileListWidget files;
    files.addFiles({inner, outside});
    folders.addFiles({dir.path() + "/D"});

    renameAllTo(folders, Channel::FolderCustomRename, "DX");
    QVERIFY(QFileInfo::exists(dir.path() + "/DX/sub/f.txt"));
    QCOMPARE(files.entries().at(0).path, dir.path() + "/DX/sub/f.txt");
    QCOMPARE(files.entries().at(0).currentName, QStringLiteral("f.txt"));
    QCOMPARE(files.table()->item(0, FileListWidget::FolderColumn)->text(), dir.path() + "/DX/sub");
    QCOMPARE(files.entries().at(1).path, outside);

    // The file page's own job now finds its item, and the folder page's undo moves it back again.
    renameAllTo(files, Channel::FileCustomRename, "h");
    QVERIFY(QFileInfo::exists(dir.path() + "/DX/sub/h.txt"));
    folders.undo();
    QVERIFY(QFileInfo::exists(dir.path() + "/D/sub/h.txt"));
    QCOMPARE(files.entries().at(0).path, dir.path() + "/D/sub/h.txt");
    files.undo();
    QVERIFY(QFileInfo::exists(dir.path() + "/D/sub/f.txt"));
    QCOMPARE(files.entries().at(0).status, int(StatusPending));
}

void TestListsFollow::fileRenameMovesTheSameFileListedElsewhere()
{
    QTemporaryDir dir;
    const QString path = makeFile(dir.path(), "a.txt");
    FileListWidget first;
    FileListWidget second;
    first.addFiles({path});
    second.addFiles({path});
    renameAllTo(first, Channel::FileCustomRename, "b");
    QCOMPARE(second.entries().at(0).path, dir.path() + "/b.txt");
    QCOMPARE(second.entries().at(0).currentName, QStringLiteral("b.txt"));
    QCOMPARE(second.table()->item(0, FileListWidget::NameColumn)->text(), QStringLiteral("b.txt"));
}

void TestListsFollow::swapKeepsEachRowOnItsItem()
{
    QTemporaryDir dir;
    const QString a = makeFile(dir.path(), "a.txt", "A");
    const QString b = makeFile(dir.path(), "b.txt", "B");
    FileListWidget swapper;
    FileListWidget other;
    swapper.addFiles({a, b});
    other.addFiles({a, b});
    swapper.entries()[0].newName = QStringLiteral("b.txt");
    swapper.entries()[1].newName = QStringLiteral("a.txt");
    swapper.renameAll(false);
    // The item that held "A" is now b.txt: the row that showed it shows b.txt.
    QCOMPARE(other.entries().at(0).path, b);
    QCOMPARE(other.entries().at(1).path, a);
    QFile moved(other.entries().at(0).path);
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), QByteArray("A"));
}

QTEST_MAIN(TestListsFollow)
#include "tst_listsfollow.moc"
