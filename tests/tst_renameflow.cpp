// Renaming from end to end in the main window: settings and starts arrive on the hub as the panel sends
// them, the user works the toolbar and the list, and the files in a temporary folder are checked on disk.
#include "testutil_engine.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"
#include "testutil_rename.h"

#include "app/mainwindow.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/custormcheckbox.h"
#include "jobs/jobfailurereporter.h"
#include "filelist/actiondelegate.h"
#include "filelist/customtabelwidget.h"
#include "filelist/liststatusline.h"
#include "rename/filelistwidget.h"
#include "rename/renamejob.h"
#include "rename/renamepage.h"
#include "rename/import.h"
#include "rename/renamepagewidget.h"
#include "rename/renamepropertywidget.h"
#include "rename/renamesettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <unistd.h>
#include <xlsxwriter.h>

#include <functional>
#include <memory>

using namespace FileListTest;
using namespace EngineTest;
using namespace RenameTest;

namespace {

// The warnings as the user reads them.
QString takenMessage(const QString &target)
{
    return QStringLiteral("命名文件“%1”已经存在或者路径错误").arg(target);
}

QString noNamePartMessage(const QString &name)
{
    return QStringLiteral("新文件名“%1”缺少名称部分，未重命名").arg(name);
}

// What the panel's start button sends.
void start(bool folderPage)
{
    send(Channel::StartChangeName, folderPage);
}

void setInsert(const QString &key, const QString &text, bool autoResolve = true)
{
    setCustom(key, [&](CustomSettings &s) {
        s.text = text;
        s.autoResolve = autoResolve;
    });
}

QStringList statuses(const FileListWidget *list)
{
    return columnTexts(list, FileListWidget::StatusColumn);
}

QStringList proposals(const FileListWidget *list)
{
    QStringList names;
    for (const FileEntry &entry : list->entries())
        names.append(entry.newName);
    return names;
}

bool showsIcon(const QToolButton *button, const QString &path)
{
    return button->icon().pixmap(32, 32).toImage() == QIcon(path).pixmap(32, 32).toImage();
}

QRect cellRect(const FileListWidget *list, int row, int column)
{
    return list->table()->visualRect(list->table()->model()->index(row, column));
}

// Double-clicks the proposal of row and types text into its editor, as a user renames in place.
void editProposal(FileListWidget *list, int row, const QString &text)
{
    QWidget *viewport = list->table()->viewport();
    const QPoint pos = cellRect(list, row, FileListWidget::NewNameColumn).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, pos);
    auto *editor = viewport->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!viewport->findChild<QLineEdit *>());
}

void clickDrawnButton(FileListWidget *list, int row, const QString &name)
{
    const QRect cell = cellRect(list, row, FileListWidget::OperateColumn);
    const QPoint pos = list->table()->actionDelegate()->buttonRect(cell, name).center();
    QTest::mouseClick(list->table()->viewport(), Qt::LeftButton, {}, pos);
}

// Drags row `from` onto row `onto` within the table.
void dragRow(FileListWidget *list, int from, int onto)
{
    CustomTabelWidget *t = list->table();
    const QPoint pos = cellRect(list, onto, FileListWidget::NameColumn).center();
    std::unique_ptr<QMimeData> mime(t->rowMimeData(from));
    QTest::mousePress(t->viewport(), Qt::LeftButton, {}, cellRect(list, from, FileListWidget::NameColumn).center());
    QDragEnterEvent enter(pos, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t->viewport(), &enter);
    QDragMoveEvent move(pos, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t->viewport(), &move);
    QDropEvent drop(pos, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t->viewport(), &drop);
}

QWidget *panelPage(RenamePage *page, const char *name)
{
    return page->propertyWidget()->findChild<QStackedWidget *>("stackedWidget")->findChild<QWidget *>(name);
}

QAbstractButton *startButton(RenamePage *page)
{
    return page->propertyWidget()->findChild<QAbstractButton *>("setBtn");
}

// Types into a panel line edit as a user does: plain keys, other characters committed by an input method.
void typeInto(QWidget *page, const char *editName, const QString &text)
{
    auto *edit = page->findChild<QLineEdit *>(editName);
    QVERIFY(edit);
    typeText(edit, text);
}

// Runs an action whenever the hub carries a channel (main-window channels have the empty name).
class HubListener : public QObject
{
    Q_OBJECT
public:
    HubListener(const QString &channel, const QString &name, std::function<void(const QVariant &)> action)
        : m_channel(channel), m_name(name), m_action(std::move(action))
    {
        CNvGlobalObserver::instance()->addObserver(m_channel, m_name, this, OBSERVER_SLOT);
    }
    ~HubListener() override { CNvGlobalObserver::instance()->removeObserver(m_channel, m_name, this); }

public slots:
    void onPropertyValueChanged(const QString &, const QString &, const QVariant &value) { m_action(value); }

private:
    QString m_channel;
    QString m_name;
    std::function<void(const QVariant &)> m_action;
};

struct Page
{
    RenamePage *page = nullptr;
    FileListWidget *list = nullptr;
    QToolButton *undo = nullptr;
    QToolButton *clear = nullptr;
};

void clickMode(const Page &p, const char *modeButton)
{
    QTest::mouseClick(p.page->propertyWidget()->findChild<QAbstractButton *>(modeButton), Qt::LeftButton);
}

// What a user does on the file-rename page between adding a.txt, b.txt, c.txt (in that order) and the start.
using Gesture = std::function<void(const Page &p, const QString &folder)>;

} // namespace

Q_DECLARE_METATYPE(Gesture)

class TestRenameFlow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void subscriptions();
    void conflicts_data();
    void conflicts();
    void renameThenUndo();
    void twoBatchesTwoUndos();
    void missingFileAndUnchangedRow();
    void pagesAreSeparate();
    void nothingReplaced_data();
    void nothingReplaced();
    void nameLeavingItsFolder_data();
    void nameLeavingItsFolder();
    void emptyNamePart();
    void caseOnlyRename_data();
    void caseOnlyRename();
    void undoAfterRowsChanged();
    void warningsOfManyFailures();
    void importOnOnePage_data();
    void importOnOnePage();
    void recomputeWritesEveryRow_data();
    void recomputeWritesEveryRow();
    void conflictFlagFromRecompute_data();
    void conflictFlagFromRecompute();
    void jobKeepsUserOut();
    void clearListForgetsHistory();
    void extensionChangeFollowsRow();
    void readOnlyFolder();
    void panelDrivesBothPages();
    void patternReplace_data();
    void patternReplace();
    void workbookImportThroughPanel();
    void proposalsShowWhatStartDoes_data();
    void proposalsShowWhatStartDoes();
    void countLineAndSummary();

private:
    Page page(bool folderPage);
    Page showPage(bool folderPage);

    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ModalAnswerer> m_answerer;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

void TestRenameFlow::init()
{
    resetRecords();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path();
    m_answerer = std::make_unique<ModalAnswerer>();
    m_window = std::make_unique<MainWindow>();
    QVERIFY(showAt(m_window.get(), 1400, 800));
}

void TestRenameFlow::cleanup()
{
    m_window.reset();
    m_answerer.reset();
    // Read-only folders made by a test must not keep the temporary folder from going.
    for (const QString &name : onDisk(m_root))
        QFile::setPermissions(m_root + '/' + name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

Page TestRenameFlow::page(bool folderPage)
{
    Page p;
    p.page = m_window->findChild<RenamePage *>(folderPage ? "folderRenamePage" : "fileRenamePage");
    p.list = p.page->editWidget()->fileList();
    p.undo = p.page->findChild<QToolButton *>("undo");
    p.clear = p.page->findChild<QToolButton *>("clearList");
    return p;
}

Page TestRenameFlow::showPage(bool folderPage)
{
    QTest::mouseClick(m_window->findChild<QToolButton *>(folderPage ? "folderRenameBtn" : "fileRenameBtn"),
                      Qt::LeftButton);
    return page(folderPage);
}

void TestRenameFlow::subscriptions()
{
    const int before = CNvGlobalObserver::instance()->entryCount();
    {
        FileListWidget list;
        // Ten rename channels, and the renames made by other lists.
        QCOMPARE(CNvGlobalObserver::instance()->entryCount(), before + 11);
        // Only the name the panel sends reaches the list.
        list.addFiles({makeFile(m_root, "a.txt")});
        *customSettings(Channel::FileCustomRename) = CustomSettings();
        customSettings(Channel::FileCustomRename)->text = QStringLiteral("b");
        CNvGlobalObserver::instance()->notifyObservers(Channel::FileCustomRename, Channel::NoName);
        QCOMPARE(proposals(&list), QStringList{"a.txt"});
        send(Channel::FileCustomRename);
        QCOMPARE(proposals(&list), QStringList{"b.txt"});
    }
    QCOMPARE(CNvGlobalObserver::instance()->entryCount(), before);
}

void TestRenameFlow::conflicts_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("states");
    QTest::addColumn<int>("warnings");
    QTest::newRow("resolution on: a counter") << true << QStringList{"b(1).txt", "b.txt"}
                                              << QStringList{"b.txt", "b(1).txt"} << QStringList{"成功", "成功"} << 0;
    QTest::newRow("resolution off: the second fails") << false << QStringList{"b.txt", "c.txt"}
                                                      << QStringList{"b.txt", "c.txt"} << QStringList{"成功", "失败"}
                                                      << 1;
}

void TestRenameFlow::conflicts()
{
    QFETCH(bool, resolve);
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "c.txt")});
    setCustom(Channel::FileCustomRename, [&](CustomSettings &s) {
        s.text = QStringLiteral("b");
        s.autoResolve = resolve;
    });
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), QStringList({"b.txt", "b.txt"}));
    QCOMPARE(p.list->autoResolve(), resolve);

    start(false);

    QTEST(onDisk(m_root), "disk");
    QTEST(columnTexts(p.list, FileListWidget::NameColumn), "names");
    QTEST(statuses(p.list), "states");
    // The proposals stay as they were shown.
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), QStringList({"b.txt", "b.txt"}));
    QFETCH(int, warnings);
    QCOMPARE(m_answerer->texts, repeated(takenMessage(m_root + "/b.txt"), warnings));
    QVERIFY(p.undo->isEnabled());
}

void TestRenameFlow::renameThenUndo()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt", "A"), makeFile(m_root, "b.txt", "B")});
    QVERIFY(!p.undo->isEnabled());
    QVERIFY(showsIcon(p.undo, ":/image/disableUndo.svg"));
    setInsert(Channel::FileInsertRename, QStringLiteral("new_"));

    start(false);
    QCOMPARE(onDisk(m_root), QStringList({"new_a.txt", "new_b.txt"}));
    QCOMPARE(statuses(p.list), QStringList({"成功", "成功"}));
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"new_a.txt", "new_b.txt"}));
    QVERIFY(p.undo->isEnabled());
    QVERIFY(showsIcon(p.undo, ":/image/undo.svg"));

    QTest::mouseClick(p.undo, Qt::LeftButton);
    QCOMPARE(onDisk(m_root), QStringList({"a.txt", "b.txt"}));
    QCOMPARE(contentOf(m_root + "/a.txt"), QByteArray("A"));
    QCOMPARE(contentOf(m_root + "/b.txt"), QByteArray("B"));
    QCOMPARE(statuses(p.list), QStringList({"待操作", "待操作"}));
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"a.txt", "b.txt"}));
    // A reverted row keeps the name the batch had given it as its proposal.
    QCOMPARE(proposals(p.list), QStringList({"new_a.txt", "new_b.txt"}));
    QVERIFY(!p.undo->isEnabled());
    QVERIFY(showsIcon(p.undo, ":/image/disableUndo.svg"));
    QVERIFY(m_answerer->texts.isEmpty());
}

void TestRenameFlow::twoBatchesTwoUndos()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt")});
    setInsert(Channel::FileInsertRename, QStringLiteral("1_"));
    start(false);
    setInsert(Channel::FileInsertRename, QStringLiteral("2_"));
    start(false);
    QCOMPARE(onDisk(m_root), QStringList({"2_1_a.txt", "2_1_b.txt"}));
    QCOMPARE(p.list->undoDepth(), 2);

    QTest::mouseClick(p.undo, Qt::LeftButton);
    QCOMPARE(onDisk(m_root), QStringList({"1_a.txt", "1_b.txt"}));
    QVERIFY(p.undo->isEnabled());
    QTest::mouseClick(p.undo, Qt::LeftButton);
    QCOMPARE(onDisk(m_root), QStringList({"a.txt", "b.txt"}));
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"a.txt", "b.txt"}));
    QVERIFY(!p.undo->isEnabled());

    // An undo with nothing left to undo does nothing.
    p.list->undo();
    QCOMPARE(onDisk(m_root), QStringList({"a.txt", "b.txt"}));
}

void TestRenameFlow::missingFileAndUnchangedRow()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt"), makeFile(m_root, "c.txt"),
                      makeFile(m_root, "d.txt")});
    QVERIFY(QFile::remove(m_root + "/b.txt"));
    // Fewer names than rows: the last row keeps its own name as its proposal.
    send(Channel::ImportExcelRename, QStringList({"x_a", "x_b", "x_c"}));

    start(false);

    QCOMPARE(onDisk(m_root), QStringList({"d.txt", "x_a.txt", "x_c.txt"}));
    QCOMPARE(statuses(p.list), QStringList({"成功", "文件不存在", "成功", "待操作"}));
    QVERIFY(m_answerer->texts.isEmpty());
}

void TestRenameFlow::pagesAreSeparate()
{
    const QString files = makeDir(m_root, "files");
    const QString folders = makeDir(m_root, "folders");
    Page filePage = page(false);
    Page folderPage = page(true);
    filePage.list->addFiles({makeFile(files, "f1.txt"), makeFile(files, "f2.txt")});
    folderPage.list->addFiles({makeDir(folders, "d1"), makeDir(folders, "d2")});

    setInsert(Channel::FileInsertRename, QStringLiteral("F_"));
    QCOMPARE(columnTexts(filePage.list, FileListWidget::NewNameColumn), QStringList({"F_f1.txt", "F_f2.txt"}));
    QCOMPARE(columnTexts(folderPage.list, FileListWidget::NewNameColumn), QStringList({"d1", "d2"}));
    QCOMPARE(proposals(folderPage.list), QStringList({"d1", "d2"}));

    setInsert(Channel::FolderInsertRename, QStringLiteral("D_"));
    QCOMPARE(columnTexts(folderPage.list, FileListWidget::NewNameColumn), QStringList({"D_d1", "D_d2"}));
    QCOMPARE(columnTexts(filePage.list, FileListWidget::NewNameColumn), QStringList({"F_f1.txt", "F_f2.txt"}));

    start(true);
    QCOMPARE(onDisk(folders), QStringList({"D_d1", "D_d2"}));
    QCOMPARE(onDisk(files), QStringList({"f1.txt", "f2.txt"}));
    QCOMPARE(statuses(filePage.list), QStringList({"待操作", "待操作"}));
    QVERIFY(!filePage.undo->isEnabled());
    QVERIFY(folderPage.undo->isEnabled());

    start(false);
    QCOMPARE(onDisk(files), QStringList({"F_f1.txt", "F_f2.txt"}));
    QCOMPARE(onDisk(folders), QStringList({"D_d1", "D_d2"}));

    // Undo on the folder page reverts only its own batch.
    showPage(true);
    QTest::mouseClick(folderPage.undo, Qt::LeftButton);
    QCOMPARE(onDisk(folders), QStringList({"d1", "d2"}));
    QCOMPARE(onDisk(files), QStringList({"F_f1.txt", "F_f2.txt"}));
    QVERIFY(filePage.undo->isEnabled());
}

void TestRenameFlow::nothingReplaced_data()
{
    QTest::addColumn<bool>("folderMode");
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QString>("state");
    QTest::newRow("folder onto an empty folder, resolution off") << true << false << QStringList{"a", "b"} << "失败";
    QTest::newRow("folder onto an empty folder, resolution on") << true << true << QStringList{"b", "b(1)"} << "成功";
    QTest::newRow("file onto a file, resolution off") << false << false << QStringList{"a", "b"} << "失败";
    QTest::newRow("file onto a file, resolution on") << false << true << QStringList{"b", "b(1)"} << "成功";
}

void TestRenameFlow::nothingReplaced()
{
    QFETCH(bool, folderMode);
    QFETCH(bool, resolve);
    // The item to rename and an unlisted item that already has the wanted name.
    const QString listed = folderMode ? makeDir(m_root, "a") : makeFile(m_root, "a", "listed");
    if (folderMode)
        makeDir(m_root, "b");
    else
        makeFile(m_root, "b", "unlisted");
    Page p = page(folderMode);
    p.list->addFiles({listed});
    setCustom(folderMode ? Channel::FolderCustomRename : Channel::FileCustomRename, [&](CustomSettings &s) {
        s.text = QStringLiteral("b");
        s.autoResolve = resolve;
    });

    start(folderMode);

    QTEST(onDisk(m_root), "disk");
    QTEST(statuses(p.list).value(0), "state");
    if (!folderMode) {
        QCOMPARE(contentOf(m_root + "/b"), QByteArray("unlisted"));
        QCOMPARE(contentOf(m_root + (resolve ? "/b(1)" : "/a")), QByteArray("listed"));
    }
    QCOMPARE(m_answerer->texts, resolve ? QStringList() : QStringList{takenMessage(m_root + "/b")});
}

void TestRenameFlow::nameLeavingItsFolder_data()
{
    QTest::addColumn<bool>("folderMode");
    QTest::addColumn<bool>("byImport");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QString>("state");

    // Editing a file's proposal keeps only a name: the folder part never gets in.
    QTest::newRow("file edit with a folder") << false << false << "sub/x.txt" << "x.txt"
                                             << QStringList{"sub", "x.txt"} << "成功";
    QTest::newRow("file edit going up") << false << false << "../x" << "x.txt" << QStringList{"sub", "x.txt"}
                                        << "成功";
    QTest::newRow("folder edit with a separator") << true << false << "sub/x" << "sub/x"
                                                  << QStringList{"a", "sub"} << "失败";
    QTest::newRow("folder edit: ..") << true << false << ".." << ".." << QStringList{"a", "sub"} << "失败";
    QTest::newRow("folder edit: .") << true << false << "." << "." << QStringList{"a", "sub"} << "失败";
    QTest::newRow("file import going up") << false << true << "../up" << "../up.txt"
                                          << QStringList{"a.txt", "sub"} << "失败";
    QTest::newRow("folder import into a folder") << true << true << "sub/x" << "sub/x" << QStringList{"a", "sub"}
                                                 << "失败";
}

void TestRenameFlow::nameLeavingItsFolder()
{
    QFETCH(bool, folderMode);
    QFETCH(bool, byImport);
    QFETCH(QString, typed);
    QFETCH(QString, proposal);
    makeDir(m_root, "sub");
    const QString item = folderMode ? makeDir(m_root, "a") : makeFile(m_root, "a.txt");
    Page p = showPage(folderMode);
    p.list->addFiles({item});
    if (byImport)
        send(Channel::ImportExcelRename, QStringList{typed});
    else
        editProposal(p.list, 0, typed);
    QCOMPARE(proposals(p.list), QStringList{proposal});

    start(folderMode);

    QTEST(onDisk(m_root), "disk");
    QVERIFY(onDisk(m_root + "/sub").isEmpty());
    QVERIFY(QDir(m_root).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size() == 2);
    QFETCH(QString, state);
    QCOMPARE(statuses(p.list).value(0), state);
    const QStringList warnings =
        state == "失败" ? QStringList{takenMessage(m_root + '/' + proposal)} : QStringList();
    QCOMPARE(m_answerer->texts, warnings);
}

void TestRenameFlow::emptyNamePart()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "c.txt")});
    // An empty cell of the workbook would leave only the extension.
    send(Channel::ImportExcelRename, QStringList({"", "b"}));
    QCOMPARE(proposals(p.list), QStringList({".txt", "b.txt"}));

    start(false);

    QCOMPARE(onDisk(m_root), QStringList({"a.txt", "b.txt"}));
    QCOMPARE(statuses(p.list), QStringList({"失败", "成功"}));
    QCOMPARE(m_answerer->texts, QStringList{noNamePartMessage(".txt")});
}

void TestRenameFlow::caseOnlyRename_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::newRow("resolution on") << true;
    QTest::newRow("resolution off") << false;
}

void TestRenameFlow::caseOnlyRename()
{
    QFETCH(bool, resolve);
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "report.txt", "R")});
    setCustom(Channel::FileCustomRename, [&](CustomSettings &s) {
        s.caseMode = 1;
        s.autoResolve = resolve;
    });
    QCOMPARE(proposals(p.list), QStringList{"Report.txt"});

    start(false);

    QCOMPARE(onDisk(m_root), QStringList{"Report.txt"});
    QCOMPARE(contentOf(m_root + "/Report.txt"), QByteArray("R"));
    QCOMPARE(statuses(p.list), QStringList{"成功"});

    QTest::mouseClick(p.undo, Qt::LeftButton);
    QCOMPARE(onDisk(m_root), QStringList{"report.txt"});
    QVERIFY(m_answerer->texts.isEmpty());
}

void TestRenameFlow::undoAfterRowsChanged()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt"), makeFile(m_root, "c.txt")});
    setInsert(Channel::FileInsertRename, QStringLiteral("x_"));
    start(false);
    QCOMPARE(onDisk(m_root), QStringList({"x_a.txt", "x_b.txt", "x_c.txt"}));

    // Since the batch: a row added, one deleted, one moved.
    p.list->addFiles({makeFile(m_root, "d.txt")});
    clickDrawnButton(p.list, 1, "deleteBtn");
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"x_a.txt", "x_c.txt", "d.txt"}));
    dragRow(p.list, 0, 2);
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"x_c.txt", "d.txt", "x_a.txt"}));

    QTest::mouseClick(p.undo, Qt::LeftButton);

    // Every item of the batch is put back, the one whose row is gone included; the new row is left alone.
    QCOMPARE(onDisk(m_root), QStringList({"a.txt", "b.txt", "c.txt", "d.txt"}));
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"c.txt", "d.txt", "a.txt"}));
    QCOMPARE(statuses(p.list), QStringList({"待操作", "待操作", "待操作"}));
    QCOMPARE(p.list->entries().at(1).path, m_root + "/d.txt");
    QVERIFY(!p.undo->isEnabled());
    QVERIFY(m_answerer->texts.isEmpty());
}

void TestRenameFlow::warningsOfManyFailures()
{
    Page p = page(false);
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths.append(makeFile(m_root, QStringLiteral("f%1.txt").arg(i)));
    p.list->addFiles(paths);
    setCustom(Channel::FileCustomRename, [](CustomSettings &s) {
        s.text = QStringLiteral("b");
        s.autoResolve = false;
    });

    start(false);

    // The first row takes the name; five fail: three warnings one by one, then one for the other two.
    const QString failure = takenMessage(m_root + "/b.txt");
    QCOMPARE(m_answerer->texts, QStringList({failure, failure, failure, QStringLiteral("另有2个项目操作失败，请查看列表中的状态")}));
    QCOMPARE(m_answerer->texts.last(), QStringLiteral("另有2个项目操作失败，请查看列表中的状态"));
    QCOMPARE(m_answerer->classNames, repeated("WarningDialog", 4));
    QCOMPARE(statuses(p.list), QStringList{"成功"} + repeated("失败", 5));
    QCOMPARE(onDisk(m_root).size(), 6);
}

void TestRenameFlow::importOnOnePage_data()
{
    QTest::addColumn<QVariant>("payload");
    QTest::addColumn<QStringList>("fileProposals");
    QTest::addColumn<QStringList>("folderProposals");
    const QStringList names{"x", "y"};
    const QStringList fileBefore{"a.txt", "b.txt"};
    const QStringList folderBefore{"d1", "d2"};
    QTest::newRow("from the file page") << QVariant(QVariantMap{{"names", names}, {"folderMode", false}})
                                        << QStringList{"x.txt", "y.txt"} << folderBefore;
    QTest::newRow("from the folder page") << QVariant(QVariantMap{{"names", names}, {"folderMode", true}})
                                          << fileBefore << QStringList{"x", "y"};
    QTest::newRow("of no page") << QVariant(QVariantMap{{"names", names}}) << fileBefore << folderBefore;
    QTest::newRow("names alone: both pages") << QVariant(names) << QStringList{"x.txt", "y.txt"}
                                             << QStringList{"x", "y"};
}

void TestRenameFlow::importOnOnePage()
{
    QFETCH(QVariant, payload);
    Page filePage = page(false);
    Page folderPage = page(true);
    filePage.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt")});
    folderPage.list->addFiles({makeDir(m_root, "d1"), makeDir(m_root, "d2")});

    send(Channel::ImportExcelRename, payload);

    QTEST(proposals(filePage.list), "fileProposals");
    QTEST(columnTexts(filePage.list, FileListWidget::NewNameColumn), "fileProposals");
    QTEST(proposals(folderPage.list), "folderProposals");
    QTEST(columnTexts(folderPage.list, FileListWidget::NewNameColumn), "folderProposals");
}

void TestRenameFlow::recomputeWritesEveryRow_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("custom with numbers") << Channel::FileCustomRename << "n001.txt" << "n300.txt";
    QTest::newRow("insert") << Channel::FileInsertRename << "new_file 0.txt" << "new_file 299.txt";
    QTest::newRow("replace") << Channel::FileReplaceRename << "file_0.txt" << "file_299.txt";
    QTest::newRow("delete") << Channel::FileDeleteRename << "0.txt" << "299.txt";
}

void TestRenameFlow::recomputeWritesEveryRow()
{
    QFETCH(QString, key);
    constexpr int rows = 300;
    QStringList paths;
    for (int i = 0; i < rows; ++i)
        paths.append(makeFile(m_root, QStringLiteral("file %1.txt").arg(i)));
    Page p = page(false);
    p.list->addFiles(paths);

    if (key == Channel::FileCustomRename) {
        setCustom(key, [](CustomSettings &s) {
            s.text = QStringLiteral("n");
            s.numberingEnabled = true;
            s.startNumber = 1;
            s.numberIncrement = 1;
            s.numberDigits = 3;
            s.numberPosition = 1;
        });
    } else if (key == Channel::FileInsertRename) {
        setInsert(key, QStringLiteral("new_"));
    } else if (key == Channel::FileReplaceRename) {
        replaceSettings(key)->find = QStringLiteral(" ");
        replaceSettings(key)->replaceWith = QStringLiteral("_");
        send(key);
    } else {
        deleteSettings(key)->deleteText = QStringLiteral("file ");
        send(key);
    }

    QTEST(p.list->entries().first().newName, "first");
    QTEST(p.list->entries().last().newName, "last");
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), proposals(p.list));
    // The other mode's key of the same rule changes nothing here.
    send(QString(key).replace("FILE", "FOLDER"));
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), proposals(p.list));
    QTEST(p.list->entries().first().newName, "first");
}

void TestRenameFlow::conflictFlagFromRecompute_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("flag");
    QTest::newRow("custom") << Channel::FileCustomRename << false;
    QTest::newRow("insert") << Channel::FileInsertRename << false;
    QTest::newRow("replace") << Channel::FileReplaceRename << false;
    QTest::newRow("delete: always") << Channel::FileDeleteRename << true;
    QTest::newRow("import: always") << Channel::ImportExcelRename << true;
    QTest::newRow("other mode: kept") << Channel::FolderDeleteRename << false;
}

void TestRenameFlow::conflictFlagFromRecompute()
{
    QFETCH(QString, key);
    QFETCH(bool, flag);
    Page p = page(false);
    QVERIFY(p.list->autoResolve());
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "c.txt")});
    customSettings(Channel::FileInsertRename)->autoResolve = false;
    replaceSettings(Channel::FileReplaceRename)->autoResolve = false;
    setCustom(Channel::FileCustomRename, [](CustomSettings &s) { s.autoResolve = false; });
    QVERIFY(!p.list->autoResolve());

    send(key, key == Channel::ImportExcelRename ? QVariant(QStringList{"x"}) : QVariant());
    QCOMPARE(p.list->autoResolve(), flag);

    // Both proposals typed as b.txt: the flag decides whether the second is resolved or fails.
    editProposal(p.list, 0, "b");
    editProposal(p.list, 1, "b");
    QCOMPARE(proposals(p.list), QStringList({"b.txt", "b.txt"}));
    start(false);
    QCOMPARE(onDisk(m_root), flag ? QStringList({"b(1).txt", "b.txt"}) : QStringList({"b.txt", "c.txt"}));
    QCOMPARE(m_answerer->texts.size(), flag ? 0 : 1);
}

void TestRenameFlow::jobKeepsUserOut()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "c.txt")});
    setInsert(Channel::FileInsertRename, QStringLiteral("old_"));
    start(false);
    QCOMPARE(p.list->undoDepth(), 1);
    setCustom(Channel::FileCustomRename, [](CustomSettings &s) {
        s.text = QStringLiteral("b");
        s.autoResolve = false;
    });

    // While the job runs (its warning has just been answered), the user clicks about and the panel sends.
    int reentered = 0;
    bool busyDuringJob = false;
    HubListener meddler(Channel::MessageErrorTip, Channel::NoName, [&](const QVariant &) {
        busyDuringJob = p.list->isRenaming();
        QTest::mouseClick(m_window->findChild<QToolButton *>("folderRenameBtn"), Qt::LeftButton);
        QTest::mouseClick(p.clear, Qt::LeftButton);
        QTest::mouseClick(p.undo, Qt::LeftButton);
        const int depth = p.list->undoDepth();
        start(false);
        if (p.list->undoDepth() != depth)
            ++reentered;
        *customSettings(Channel::FileInsertRename) = CustomSettings();
        customSettings(Channel::FileInsertRename)->text = QStringLiteral("z_");
        send(Channel::FileInsertRename);
    });

    start(false);

    QVERIFY(busyDuringJob);
    QCOMPARE(reentered, 0);
    QVERIFY(p.page->isVisible()); // the page button did not answer either
    QCOMPARE(m_answerer->texts, QStringList{takenMessage(m_root + "/b.txt")});
    QCOMPARE(onDisk(m_root), QStringList({"b.txt", "old_c.txt"}));
    QCOMPARE(p.list->entries().size(), 2);
    QCOMPARE(p.list->undoDepth(), 2);
    // The settings sent during the job are shown once it is over.
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), QStringList({"z_b.txt", "z_old_c.txt"}));
    QVERIFY(!p.list->isRenaming());

    // Afterwards the toolbar answers again.
    QTest::mouseClick(p.undo, Qt::LeftButton);
    QCOMPARE(onDisk(m_root), QStringList({"old_a.txt", "old_c.txt"}));
    QTest::mouseClick(p.clear, Qt::LeftButton);
    QVERIFY(p.list->entries().isEmpty());
}

void TestRenameFlow::clearListForgetsHistory()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt")});
    setInsert(Channel::FileInsertRename, QStringLiteral("x_"));
    start(false);
    QVERIFY(p.undo->isEnabled());
    QTest::mouseClick(p.clear, Qt::LeftButton);
    QVERIFY(!p.undo->isEnabled());
    QCOMPARE(p.list->undoDepth(), 0);
    p.list->addFiles({m_root + "/x_a.txt"});
    p.list->undo();
    QCOMPARE(onDisk(m_root), QStringList{"x_a.txt"});
}

void TestRenameFlow::extensionChangeFollowsRow()
{
    Page p = showPage(false);
    p.list->addFiles({makeFile(m_root, "a.txt")});
    setCustom(Channel::FileCustomRename, [](CustomSettings &s) {
        s.extensionEnabled = true;
        s.newExtension = QStringLiteral("md");
    });
    start(false);
    QCOMPARE(onDisk(m_root), QStringList{"a.md"});
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList{"a.md"});

    // An edit now keeps the item's new extension, not the one it had when it was listed.
    editProposal(p.list, 0, "b.txt");
    QCOMPARE(proposals(p.list), QStringList{"b.md"});
    start(false);
    QCOMPARE(onDisk(m_root), QStringList{"b.md"});
}

void TestRenameFlow::readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not stop the superuser");
    const QString locked = makeDir(m_root, "locked");
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths.append(makeFile(locked, QStringLiteral("f%1.txt").arg(i)));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    Page p = page(false);
    p.list->addFiles(paths);
    setInsert(Channel::FileInsertRename, QStringLiteral("x_"));

    start(false);

    QCOMPARE(statuses(p.list), repeated("失败", 5));
    QCOMPARE(m_answerer->texts.size(), 4);
    QCOMPARE(m_answerer->texts.last(), QStringLiteral("另有2个项目操作失败，请查看列表中的状态"));
    QCOMPARE(onDisk(locked).size(), 5);
    QVERIFY(!p.undo->isEnabled());
}

void TestRenameFlow::panelDrivesBothPages()
{
    const QString files = makeDir(m_root, "files");
    const QString folders = makeDir(m_root, "folders");
    Page filePage = showPage(false);
    QAbstractButton *fileStart = startButton(filePage.page);
    QVERIFY(!fileStart->isEnabled());
    filePage.list->addFiles({makeFile(files, "a.txt"), makeFile(files, "c.txt")});
    QVERIFY(fileStart->isEnabled());

    QWidget *custom = panelPage(filePage.page, "custormPage");
    typeInto(custom, "fileNameEdit", "b");
    QCOMPARE(columnTexts(filePage.list, FileListWidget::NewNameColumn), QStringList({"b.txt", "b.txt"}));
    custom->findChild<CustormCheckBox *>("autoNameErrorCheck")->findChild<QCheckBox *>()->click();
    QVERIFY(!filePage.list->autoResolve());

    QTest::mouseClick(fileStart, Qt::LeftButton);
    QCOMPARE(onDisk(files), QStringList({"b.txt", "c.txt"}));
    QCOMPARE(statuses(filePage.list), QStringList({"成功", "失败"}));
    QCOMPARE(m_answerer->texts, QStringList{takenMessage(files + "/b.txt")});

    // The folder page: its own panel, its own list, its own start.
    Page folderPage = showPage(true);
    QAbstractButton *folderStart = startButton(folderPage.page);
    QVERIFY(!folderStart->isEnabled());
    folderPage.list->addFiles({makeDir(folders, "v1.5"), makeDir(folders, "v2.0")});
    QWidget *insert = panelPage(folderPage.page, "insertPage");
    QTest::mouseClick(folderPage.page->propertyWidget()->findChild<QAbstractButton *>("insertBtn"), Qt::LeftButton);
    typeInto(insert, "fileNameEdit", "旧_");
    QCOMPARE(columnTexts(folderPage.list, FileListWidget::NewNameColumn), QStringList({"旧_v1.5", "旧_v2.0"}));
    QCOMPARE(columnTexts(filePage.list, FileListWidget::NewNameColumn), QStringList({"b.txt", "b.txt"}));
    QTest::mouseClick(folderStart, Qt::LeftButton);
    QCOMPARE(onDisk(folders), QStringList({"旧_v1.5", "旧_v2.0"}));
    QCOMPARE(onDisk(files), QStringList({"b.txt", "c.txt"}));

    QTest::mouseClick(folderPage.undo, Qt::LeftButton);
    QCOMPARE(onDisk(folders), QStringList({"v1.5", "v2.0"}));
    QTest::mouseClick(folderPage.clear, Qt::LeftButton);
    QVERIFY(!folderStart->isEnabled());
    QVERIFY(fileStart->isEnabled());
}

void TestRenameFlow::patternReplace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<QString>("error");
    QTest::newRow("captures swap names") << "Smith John.txt" << true << "(\\w+) (\\w+)"
                                         << "\\2 \\1"
                                         << ""
                                         << "John Smith.txt"
                                         << "";
    QTest::newRow("prefix stripped, digits kept") << "IMG_0042.jpg" << true << "^IMG_(\\d+)$"
                                                  << "\\1"
                                                  << ""
                                                  << "0042.jpg"
                                                  << "";
    QTest::newRow("dotted date") << "2024.01.31 会议.docx" << true << "(\\d{4})\\.(\\d\\d)\\.(\\d\\d)"
                                 << "\\1-\\2-\\3"
                                 << ""
                                 << "2024-01-31 会议.docx"
                                 << "";
    QTest::newRow("anchor ends at the name part") << "a1b1.v1.txt" << true << "1$"
                                                  << "X"
                                                  << ""
                                                  << "a1b1.vX.txt"
                                                  << "";
    QTest::newRow("every match, whole match") << "ab12cd34.txt" << true << "\\d+"
                                              << "<\\0>"
                                              << ""
                                              << "ab<12>cd<34>.txt"
                                              << "";
    QTest::newRow("group the pattern lacks") << "ab.txt" << true << "(a)"
                                             << "[\\1|\\2]"
                                             << ""
                                             << "[a|]b.txt"
                                             << "";
    QTest::newRow("Han deleted by an empty replacement") << "报告report终稿.txt" << true << "\\p{Han}+"
                                                         << ""
                                                         << ""
                                                         << "report.txt"
                                                         << "";
    QTest::newRow("empty matches") << "abc.txt" << true << "x*"
                                   << "-"
                                   << ""
                                   << "-a-b-c-.txt"
                                   << "";
    QTest::newRow("case-sensitive") << "Photo photo.txt" << true << "photo"
                                    << "P"
                                    << ""
                                    << "Photo P.txt"
                                    << "";
    QTest::newRow("then the delimiter swap") << "IMG_0042_海边.jpg" << true << "^IMG_"
                                             << ""
                                             << "_"
                                             << "海边_0042.jpg"
                                             << "";
    QTest::newRow("invalid pattern renames nothing") << "IMG_0042.jpg" << true << "IMG_(\\d+"
                                                     << "x"
                                                     << ""
                                                     << "IMG_0042.jpg"
                                                     << "正则表达式有误：missing closing parenthesis, 位置 8";
    QTest::newRow("plain find with empty replacement") << "IMG_0042.jpg" << false << "IMG_"
                                                       << ""
                                                       << ""
                                                       << "IMG_0042.jpg"
                                                       << "";
}

// Typed into the replace page as a user types; the list shows the proposal, start renames to it.
void TestRenameFlow::patternReplace()
{
    QFETCH(QString, name);
    QFETCH(bool, regex);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, delimiter);
    QFETCH(QString, proposal);
    QFETCH(QString, error);
    Page p = showPage(false);
    p.list->addFiles({makeFile(m_root, name)});
    QTest::mouseClick(p.page->propertyWidget()->findChild<QAbstractButton *>("replaceBtn"), Qt::LeftButton);
    QWidget *replace = panelPage(p.page, "replacePage");
    if (regex)
        replace->findChild<CustormCheckBox *>("regexCheckBox")->findChild<QCheckBox *>()->click();
    typeInto(replace, "replaceFindContentEdit", find);
    typeInto(replace, "replaceReplaceContentEdit", replacement);
    typeInto(replace, "splitEdit", delimiter);

    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), QStringList{proposal});
    auto *errorLabel = replace->findChild<QLabel *>("regexErrorLabel");
    QCOMPARE(errorLabel->isVisible(), !error.isEmpty());
    QCOMPARE(errorLabel->text(), error);
    QTest::mouseClick(startButton(p.page), Qt::LeftButton);
    QCOMPARE(onDisk(m_root), QStringList{proposal});
    QCOMPARE(m_answerer->texts, QStringList());
}

void TestRenameFlow::workbookImportThroughPanel()
{
    const QString workbook = m_root + "/names.xlsx";
    // An empty row in the middle, and fewer names than listed files.
    QVERIFY(writeNames(workbook, {"新一", "", "新三"}));
    const QString files = makeDir(m_root, "files");
    Page p = showPage(false);
    p.list->addFiles({makeFile(files, "a.txt"), makeFile(files, "b.txt"), makeFile(files, "c.txt"),
                      makeFile(files, "d.txt")});
    QTest::mouseClick(p.page->propertyWidget()->findChild<QAbstractButton *>("importBtn"), Qt::LeftButton);
    auto *import = p.page->propertyWidget()->findChild<Import *>("importPage");
    ModalAnswerer picker("workbook dialog", ModalAnswerer::pickInFileDialog(m_root, "names.xlsx"));
    QTest::mouseClick(import->findChild<QAbstractButton *>("importExcelBtn"), Qt::LeftButton);

    QTRY_COMPARE(proposals(p.list), QStringList({"新一.txt", ".txt", "新三.txt", "d.txt"}));
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), proposals(p.list));
    QTest::mouseClick(startButton(p.page), Qt::LeftButton);

    QCOMPARE(onDisk(files), QStringList({"b.txt", "d.txt", "新一.txt", "新三.txt"}));
    QCOMPARE(statuses(p.list), QStringList({"成功", "失败", "成功", "待操作"}));
    QCOMPARE(m_answerer->texts.last(), noNamePartMessage(".txt"));
}

void TestRenameFlow::proposalsShowWhatStartDoes_data()
{
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<QStringList>("proposals");  // shown in row order once the gesture is done
    QTest::addColumn<QStringList>("afterStart"); // on disk
    const QStringList untouched{"a.txt", "b.txt", "c.txt"};
    const auto numbered = [](const Page &) {
        setCustom(Channel::FileCustomRename, [](CustomSettings &s) {
            s.text = QStringLiteral("p");
            s.numberingEnabled = true;
            s.startNumber = 1;
            s.numberIncrement = 1;
            s.numberPosition = 1;
        });
    };

    QTest::newRow("switching back to a mode shows its names")
        << Gesture([](const Page &p, const QString &) {
               clickMode(p, "insertBtn");
               typeInto(panelPage(p.page, "insertPage"), "fileNameEdit", "2024_");
               clickMode(p, "custormBtn");
               typeInto(panelPage(p.page, "custormPage"), "fileNameEdit", "x");
               clickMode(p, "insertBtn");
           })
        << QStringList{"2024_a.txt", "2024_b.txt", "2024_c.txt"}
        << QStringList{"2024_a.txt", "2024_b.txt", "2024_c.txt"};
    QTest::newRow("import page without a workbook renames nothing") << Gesture([](const Page &p, const QString &) {
        clickMode(p, "insertBtn");
        typeInto(panelPage(p.page, "insertPage"), "fileNameEdit", "old_");
        clickMode(p, "importBtn");
    }) << untouched << untouched;
    QTest::newRow("fewer imported names than rows") << Gesture([](const Page &p, const QString &folder) {
        clickMode(p, "insertBtn");
        typeInto(panelPage(p.page, "insertPage"), "fileNameEdit", "old_");
        clickMode(p, "importBtn");
        QVERIFY(writeNames(folder + "/../names.xlsx", {"n1"}));
        p.page->propertyWidget()->findChild<Import *>("importPage")->setWorkbook(folder + "/../names.xlsx");
        QTRY_COMPARE(p.list->entries().first().newName, QStringLiteral("n1.txt"));
    }) << QStringList{"n1.txt", "b.txt", "c.txt"} << QStringList{"b.txt", "c.txt", "n1.txt"};
    QTest::newRow("undo shows the settings in view") << Gesture([](const Page &p, const QString &) {
        clickMode(p, "insertBtn");
        typeInto(panelPage(p.page, "insertPage"), "fileNameEdit", "x_");
        QTest::mouseClick(startButton(p.page), Qt::LeftButton);
        typeInto(panelPage(p.page, "insertPage"), "fileNameEdit", "y");
        QTest::mouseClick(p.undo, Qt::LeftButton);
    }) << QStringList{"x_ya.txt", "x_yb.txt", "x_yc.txt"}
                                                     << QStringList{"x_ya.txt", "x_yb.txt", "x_yc.txt"};
    QTest::newRow("numbers follow a row drag, a typed name its row")
        << Gesture([numbered](const Page &p, const QString &) {
               numbered(p);
               editProposal(p.list, 1, "MINE");
               dragRow(p.list, 0, 2);
           })
        << QStringList{"MINE.txt", "p2.txt", "p3.txt"} << QStringList{"MINE.txt", "p2.txt", "p3.txt"};
    QTest::newRow("numbers follow a header sort") << Gesture([numbered](const Page &p, const QString &) {
        numbered(p);
        QHeaderView *header = p.list->table()->horizontalHeader();
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(FileListWidget::NameColumn) + 10, header->height() / 2));
        QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"c.txt", "b.txt", "a.txt"}));
    }) << QStringList{"p1.txt", "p2.txt", "p3.txt"}
                                                  << QStringList{"p1.txt", "p2.txt", "p3.txt"};
    QTest::newRow("new extension typed with its dot") << Gesture([](const Page &p, const QString &) {
        QWidget *custom = panelPage(p.page, "custormPage");
        custom->findChild<CustormCheckBox *>("suffixCheckBox")->findChild<QCheckBox *>()->click();
        typeInto(custom, "newSuffixEdit", ".bak");
    }) << QStringList{"a.bak", "b.bak", "c.bak"} << QStringList{"a.bak", "b.bak", "c.bak"};
}

void TestRenameFlow::proposalsShowWhatStartDoes()
{
    QFETCH(Gesture, gesture);
    const QString files = makeDir(m_root, "files");
    Page p = showPage(false);
    p.list->addFiles({makeFile(files, "a.txt"), makeFile(files, "b.txt"), makeFile(files, "c.txt")});

    gesture(p, files);
    if (QTest::currentTestFailed())
        return;

    QTEST(columnTexts(p.list, FileListWidget::NewNameColumn), "proposals");
    QCOMPARE(proposals(p.list), columnTexts(p.list, FileListWidget::NewNameColumn));
    QTest::mouseClick(startButton(p.page), Qt::LeftButton);
    QTEST(onDisk(files), "afterStart");
    QVERIFY(m_answerer->texts.isEmpty());
}

void TestRenameFlow::countLineAndSummary()
{
    Page p = showPage(false);
    auto *line = p.page->findChild<ListStatusLine *>("listStatusLine");
    QCOMPARE(line->countText(), QStringLiteral("共0个文件"));
    QCOMPARE(page(true).page->findChild<ListStatusLine *>("listStatusLine")->countText(),
             QStringLiteral("共0个文件夹"));
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt")});
    makeFile(m_root, "new_b.txt");
    QCOMPARE(line->countText(), QStringLiteral("共2个文件"));
    QCOMPARE(line->summaryText(), QString());

    setInsert(Channel::FileInsertRename, QStringLiteral("new_"), false);
    start(false);
    QCOMPARE(line->summaryText(), QStringLiteral("已完成：成功1个，失败1个"));
    QTest::mouseClick(p.undo, Qt::LeftButton);
    QCOMPARE(line->summaryText(), QStringLiteral("已撤销：恢复1个，失败0个"));
    // The summary is about the rows it ran on: it goes when they change.
    p.list->addFiles({makeFile(m_root, "c.txt")});
    QCOMPARE(line->countText(), QStringLiteral("共3个文件"));
    QCOMPARE(line->summaryText(), QString());
    QVERIFY(line->writtenFile().isEmpty());
}

QTEST_MAIN(TestRenameFlow)
#include "tst_renameflow.moc"
