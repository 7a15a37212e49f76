#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "filelist/customtabelwidget.h"
#include "rename/filelistwidget.h"
#include "rename/renamepage.h"
#include "rename/renamepagewidget.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace FileListTest;

namespace {

std::unique_ptr<RenamePage> makePage(bool folderMode)
{
    std::unique_ptr<RenamePage> page(new RenamePage);
    page->setFolderMode(folderMode);
    page->resize(1300, 700);
    page->show();
    return page;
}

QToolButton *tool(const RenamePage &page, const char *name)
{
    return page.findChild<QToolButton *>(name);
}

QStringList listedPaths(const RenamePage &page)
{
    QStringList paths;
    for (const FileEntry &entry : page.editWidget()->fileList()->entries())
        paths.append(entry.path);
    return paths;
}

} // namespace

class TestRenamePage : public QObject
{
    Q_OBJECT
private slots:
    void form_data();
    void form();
    void undoFollowsHistory();
    void addFileButton();
    void addFolderButton_data();
    void addFolderButton();
    void clearListButton();
};

void TestRenamePage::form_data()
{
    QTest::addColumn<bool>("folderMode");
    QTest::newRow("file page") << false;
    QTest::newRow("folder page") << true;
}

void TestRenamePage::form()
{
    QFETCH(bool, folderMode);
    auto page = makePage(folderMode);
    QCOMPARE(page->objectName(), QStringLiteral("RenamePage"));
    QVERIFY(page->findChild<RenamePageWidget *>("editWidgget"));
    auto *panel = page->findChild<QWidget *>("propertyWidget");
    QVERIFY(panel);
    QVERIFY(panel->width() >= 350 && panel->width() <= 400);
    QCOMPARE(page->folderMode(), folderMode);
    QCOMPARE(page->editWidget()->fileList()->folderMode(), folderMode);
    QCOMPARE(RenamePageWidget().objectName(), QStringLiteral("RenamePageWidget"));

    QCOMPARE(tool(*page, "addFile")->text(), QStringLiteral("添加文件"));
    QCOMPARE(tool(*page, "addFolder")->text(), QStringLiteral("添加文件夹"));
    QCOMPARE(tool(*page, "undo")->text(), QStringLiteral("撤销修改"));
    QCOMPARE(tool(*page, "clearList")->text(), QStringLiteral("清空列表"));
    QCOMPARE(tool(*page, "addFile")->isVisible(), !folderMode);
    QVERIFY(tool(*page, "addFolder")->isVisible());
    QVERIFY(!tool(*page, "undo")->isEnabled());
}

void TestRenamePage::undoFollowsHistory()
{
    auto page = makePage(false);
    FileListWidget *list = page->editWidget()->fileList();
    emit list->canUndo(true);
    QVERIFY(tool(*page, "undo")->isEnabled());
    emit list->canUndo(false);
    QVERIFY(!tool(*page, "undo")->isEnabled());
}

void TestRenamePage::addFileButton()
{
    QTemporaryDir dir;
    const QString a = makeFile(dir.path(), "a.txt");
    const QString b = makeFile(dir.path(), "b.txt");
    auto page = makePage(false);
    AdditionRecorder hub;
    QSignalSpy empty(page->editWidget(), &RenamePageWidget::tabelEmpty);
    ModalAnswerer picker("file dialog", ModalAnswerer::pickInFileDialog(dir.path(), "\"b.txt\" \"a.txt\""));

    QTest::mouseClick(tool(*page, "addFile"), Qt::LeftButton);

    QCOMPARE(listedPaths(*page), QStringList({b, a}));
    QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.at(0).at(0).toBool(), false);
}

void TestRenamePage::addFolderButton_data()
{
    QTest::addColumn<bool>("folderMode");
    QTest::newRow("file page: the files below, in one addition") << false;
    QTest::newRow("folder page: the folders") << true;
}

void TestRenamePage::addFolderButton()
{
    QFETCH(bool, folderMode);
    QTemporaryDir dir;
    const QString one = makeDir(dir.path(), "one");
    const QString two = makeDir(dir.path(), "two");
    const QString x = makeFile(dir.path(), "one/x.txt");
    const QString y = makeFile(dir.path(), "two/deep/y.txt");
    const QString z = makeFile(dir.path(), "two/z.txt");
    auto page = makePage(folderMode);
    page->editWidget()->fileList()->addFiles({z});
    AdditionRecorder hub;
    ModalAnswerer picker("folder picker", ModalAnswerer::pickInFileDialog(dir.path(), "\"one\" \"two\""));

    QTest::mouseClick(tool(*page, "addFolder"), Qt::LeftButton);

    if (folderMode) {
        QCOMPARE(listedPaths(*page), QStringList({z, one, two}));
        QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    } else {
        QCOMPARE(listedPaths(*page), QStringList({z, x, y}));
        QCOMPARE(hub.log, QStringList({"START", "END:1"}));
    }
}

void TestRenamePage::clearListButton()
{
    QTemporaryDir dir;
    auto page = makePage(false);
    FileListWidget *list = page->editWidget()->fileList();
    list->addFiles({makeFile(dir.path(), "a.txt")});
    QSignalSpy empty(page->editWidget(), &RenamePageWidget::tabelEmpty);

    QTest::mouseClick(tool(*page, "clearList"), Qt::LeftButton);

    QVERIFY(list->entries().isEmpty());
    QCOMPARE(list->table()->rowCount(), 0);
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.at(0).at(0).toBool(), true);
    QVERIFY(!tool(*page, "undo")->isEnabled());
}

QTEST_MAIN(TestRenamePage)
#include "tst_renamepage.moc"
