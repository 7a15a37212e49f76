// The rename preview in the main window: proposals that conflict or will be refused are marked in the list,
// hovering tells what will happen, a line above the list counts them, and a start then does what was shown.
// Real files in a temporary folder; settings arrive on the hub as the panel sends them.
#include "testutil_engine.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"
#include "testutil_photos.h"
#include "testutil_rename.h"

#include "app/applicationstartup.h"
#include "app/mainwindow.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/custormcheckbox.h"
#include "filelist/actiondelegate.h"
#include "filelist/customtabelwidget.h"
#include "rename/filelistwidget.h"
#include "rename/newnamedelegate.h"
#include "rename/renamepage.h"
#include "rename/renamepagewidget.h"
#include "rename/renamepropertywidget.h"
#include "rename/renamesettings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <functional>
#include <memory>

using namespace FileListTest;
using namespace EngineTest;
using namespace RenameTest;

namespace {

void setName(const QString &key, const QString &name, bool autoResolve)
{
    setCustom(key, [&](CustomSettings &s) {
        s.text = name;
        s.autoResolve = autoResolve;
    });
}

void setReplace(const QString &key, const QString &find, const QString &with)
{
    ReplaceSettings settings;
    settings.find = find;
    settings.replaceWith = with;
    *replaceSettings(key) = settings;
    send(key);
}

// Per row: "" unmarked, "!" marked as a conflict, "x" marked as refused, "i" marked with a note.
QStringList marks(const FileListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->table()->rowCount(); ++row) {
        switch (list->table()->item(row, FileListWidget::NewNameColumn)->data(NewNameDelegate::MarkRole).toInt()) {
        case NewNameDelegate::ConflictMark:
            texts.append(QStringLiteral("!"));
            break;
        case NewNameDelegate::RefusedMark:
            texts.append(QStringLiteral("x"));
            break;
        case NewNameDelegate::NoteMark:
            texts.append(QStringLiteral("i"));
            break;
        default:
            texts.append(QString());
        }
    }
    return texts;
}

QStringList tips(const FileListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->table()->rowCount(); ++row)
        texts.append(list->table()->item(row, FileListWidget::NewNameColumn)->toolTip());
    return texts;
}

QRect cellRect(const FileListWidget *list, int row, int column)
{
    return list->table()->visualRect(list->table()->model()->index(row, column));
}

// Pixels of the cell as drawn whose colour is near the given one.
int pixelsNear(const FileListWidget *list, int row, const QColor &color)
{
    list->table()->scrollToItem(list->table()->item(row, FileListWidget::NewNameColumn));
    const QImage image =
        list->table()->viewport()->grab(cellRect(list, row, FileListWidget::NewNameColumn)).toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - color.red()) < 24 && qAbs(pixel.green() - color.green()) < 24
                && qAbs(pixel.blue() - color.blue()) < 24)
                ++count;
        }
    }
    return count;
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

struct Page
{
    RenamePage *page = nullptr;
    FileListWidget *list = nullptr;
};

} // namespace

class TestRenamePreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void duplicatesInTheBatch_data();
    void duplicatesInTheBatch();
    void itemOutsideTheBatch_data();
    void itemOutsideTheBatch();
    void swapIsNoConflict();
    void chainIsNoConflict();
    void caseOnlyChangeIsNoConflict();
    void refusedNames();
    void refusedFolderNames();
    void marksFollowTheRows();
    void hoverTellsWhatHappens();
    void hintsEqualTheJobFor3000IdenticalProposals();
    void screenshots();
    void dateTakenNumbers();

private:
    Page page(bool folderPage);
    QString countLine(const Page &p) const;
    void start(const Page &p) const;

    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ModalAnswerer> m_answerer;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

void TestRenamePreview::initTestCase()
{
    // The program's own look: the marks take their colours from it.
    qApp->setStyleSheet(ApplicationStartup::loadStyleSheet(ApplicationStartup::styleSheetResource()));
}

void TestRenamePreview::init()
{
    resetRecords();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path();
    m_answerer = std::make_unique<ModalAnswerer>();
    m_window = std::make_unique<MainWindow>();
    QVERIFY(showAt(m_window.get(), 1400, 800));
}

void TestRenamePreview::cleanup()
{
    m_window.reset();
    m_answerer.reset();
    m_dir.reset();
}

Page TestRenamePreview::page(bool folderPage)
{
    QTest::mouseClick(m_window->findChild<QToolButton *>(folderPage ? "folderRenameBtn" : "fileRenameBtn"),
                      Qt::LeftButton);
    Page p;
    p.page = m_window->findChild<RenamePage *>(folderPage ? "folderRenamePage" : "fileRenamePage");
    p.list = p.page->editWidget()->fileList();
    return p;
}

QString TestRenamePreview::countLine(const Page &p) const
{
    const auto *line = p.page->findChild<QWidget *>("conflictCountWidget");
    return line->isVisibleTo(p.page) ? p.page->findChild<QLabel *>("conflictCountLabel")->text() : QString();
}

// The panel's start button, as the user presses it.
void TestRenamePreview::start(const Page &p) const
{
    auto *button = p.page->propertyWidget()->findChild<QAbstractButton *>("setBtn");
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestRenamePreview::duplicatesInTheBatch_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<QStringList>("tips");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QStringList>("states");
    QTest::newRow("resolution on") << true << QStringList{"", "将命名为“x(1).txt”", "将命名为“x(2).txt”"}
                                   << "2个名称冲突，将自动添加序号" << QStringList{"x(1).txt", "x(2).txt", "x.txt"}
                                   << QStringList{"成功", "成功", "成功"};
    QTest::newRow("resolution off") << false
                                    << QStringList{"", "名称“x.txt”已被第1行占用，开始命名后将失败",
                                                   "名称“x.txt”已被第1行占用，开始命名后将失败"}
                                    << "2个名称冲突，开始命名后将失败" << QStringList{"b.txt", "c.txt", "x.txt"}
                                    << QStringList{"成功", "失败", "失败"};
}

void TestRenamePreview::duplicatesInTheBatch()
{
    QFETCH(bool, resolve);
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt"), makeFile(m_root, "c.txt")});
    QCOMPARE(countLine(p), QString());

    setName(Channel::FileCustomRename, QStringLiteral("x"), resolve);

    // The proposals stay as the rules made them; the marks tell what the job will make of them.
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), repeated("x.txt", 3));
    QCOMPARE(marks(p.list), QStringList({"", "!", "!"}));
    QTEST(tips(p.list), "tips");
    QTEST(countLine(p), "count");

    start(p);

    QTEST(onDisk(m_root), "disk");
    QTEST(columnTexts(p.list, FileListWidget::StatusColumn), "states");
    if (resolve) {
        QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"x.txt", "x(1).txt", "x(2).txt"}));
        QTRY_COMPARE(marks(p.list), QStringList({"", "", ""}));
        QTRY_COMPARE(countLine(p), QString());
    } else {
        // What failed is still marked: its name is still taken, now by the first row's item.
        QTRY_COMPARE(tips(p.list),
                     QStringList({"", "名称“x.txt”已被第1行占用，开始命名后将失败",
                                  "名称“x.txt”已被第1行占用，开始命名后将失败"}));
        QCOMPARE(countLine(p), QStringLiteral("2个名称冲突，开始命名后将失败"));
    }
}

void TestRenamePreview::itemOutsideTheBatch_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("disk");
    QTest::newRow("resolution on") << true << "将命名为“x(1).txt”"
                                   << "1个名称冲突，将自动添加序号" << QStringList{"x(1).txt", "x.txt"};
    QTest::newRow("resolution off") << false << "文件夹中已经存在“x.txt”，开始命名后将失败"
                                    << "1个名称冲突，开始命名后将失败" << QStringList{"a.txt", "x.txt"};
}

void TestRenamePreview::itemOutsideTheBatch()
{
    QFETCH(bool, resolve);
    makeFile(m_root, "x.txt", "outside");
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt", "listed")});
    setName(Channel::FileCustomRename, QStringLiteral("x"), resolve);

    QCOMPARE(marks(p.list), QStringList{"!"});
    QTEST(tips(p.list).value(0), "tip");
    QTEST(countLine(p), "count");

    start(p);
    QTEST(onDisk(m_root), "disk");
    QCOMPARE(contentOf(m_root + "/x.txt"), QByteArray("outside"));
}

void TestRenamePreview::swapIsNoConflict()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt", "A"), makeFile(m_root, "b.txt", "B")});
    editProposal(p.list, 0, "b");
    editProposal(p.list, 1, "a");
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), QStringList({"b.txt", "a.txt"}));
    QTRY_COMPARE(marks(p.list), QStringList({"", ""}));
    QCOMPARE(tips(p.list), QStringList({"", ""}));
    QCOMPARE(countLine(p), QString());

    start(p);
    QCOMPARE(onDisk(m_root), QStringList({"a.txt", "b.txt"}));
    QCOMPARE(contentOf(m_root + "/a.txt"), QByteArray("B"));
    QCOMPARE(contentOf(m_root + "/b.txt"), QByteArray("A"));
    QCOMPARE(columnTexts(p.list, FileListWidget::StatusColumn), QStringList({"成功", "成功"}));
    QVERIFY(m_answerer->texts.isEmpty());
}

void TestRenamePreview::chainIsNoConflict()
{
    Page p = page(false);
    p.list->addFiles(
        {makeFile(m_root, "1.txt", "one"), makeFile(m_root, "2.txt", "two"), makeFile(m_root, "3.txt", "three")});
    // Numbers alone, counting from 2: every name but the last is the next row's.
    setCustom(Channel::FileCustomRename, [](CustomSettings &s) {
        s.numberingEnabled = true;
        s.numberOnly = true;
        s.startNumber = 2;
        s.numberIncrement = 1;
        s.autoResolve = false;
    });
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), QStringList({"2.txt", "3.txt", "4.txt"}));
    QCOMPARE(marks(p.list), QStringList({"", "", ""}));
    QCOMPARE(countLine(p), QString());

    start(p);
    QCOMPARE(onDisk(m_root), QStringList({"2.txt", "3.txt", "4.txt"}));
    QCOMPARE(contentOf(m_root + "/2.txt"), QByteArray("one"));
    QCOMPARE(contentOf(m_root + "/4.txt"), QByteArray("three"));
    QVERIFY(m_answerer->texts.isEmpty());
}

void TestRenamePreview::caseOnlyChangeIsNoConflict()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "report.txt")});
    setCustom(Channel::FileCustomRename, [](CustomSettings &s) {
        s.text = QStringLiteral("report");
        s.caseMode = 3;
        s.autoResolve = false;
    });
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), QStringList{"REPORT.txt"});
    QCOMPARE(marks(p.list), QStringList{""});
    QCOMPARE(countLine(p), QString());
    start(p);
    QCOMPARE(onDisk(m_root), QStringList{"REPORT.txt"});
}

void TestRenamePreview::refusedNames()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "ba.txt"), makeFile(m_root, "ca.txt"),
                      makeFile(m_root, "keep.txt")});
    // "a" becomes a separator, nothing, or a text too long for one name.
    setReplace(Channel::FileReplaceRename, QStringLiteral("a"), QStringLiteral("x/y"));
    QCOMPARE(marks(p.list), QStringList({"x", "x", "x", ""}));
    QCOMPARE(tips(p.list).value(0), QStringLiteral("新文件名“x/y.txt”含有路径分隔符，开始命名后将失败"));
    QCOMPARE(countLine(p), QStringLiteral("3个新文件名无效，开始命名后将失败"));

    DeleteSettings remove;
    remove.deleteText = QStringLiteral("a");
    *deleteSettings(Channel::FileDeleteRename) = remove;
    send(Channel::FileDeleteRename);
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn),
             QStringList({".txt", "b.txt", "c.txt", "keep.txt"}));
    QCOMPARE(marks(p.list), QStringList({"x", "", "", ""}));
    QCOMPARE(tips(p.list).value(0), QStringLiteral("新文件名“.txt”缺少名称部分，开始命名后将失败"));
    QCOMPARE(countLine(p), QStringLiteral("1个新文件名无效，开始命名后将失败"));

    setReplace(Channel::FileReplaceRename, QStringLiteral("c"), QString(300, QLatin1Char('c')));
    QCOMPARE(marks(p.list), QStringList({"", "", "x", ""}));
    QCOMPARE(tips(p.list).value(2), QStringLiteral("新文件名超过255字节（共305字节），开始命名后将失败"));

    start(p);
    QCOMPARE(columnTexts(p.list, FileListWidget::StatusColumn), QStringList({"待操作", "待操作", "失败", "待操作"}));
    QCOMPARE(onDisk(m_root), QStringList({"a.txt", "ba.txt", "ca.txt", "keep.txt"}));
}

void TestRenamePreview::refusedFolderNames()
{
    Page p = page(true);
    p.list->addFiles({makeDir(m_root, "a"), makeDir(m_root, "b")});
    editProposal(p.list, 0, "..");
    editProposal(p.list, 1, ".config");
    QTRY_COMPARE(marks(p.list), QStringList({"x", ""}));
    QCOMPARE(tips(p.list), QStringList({"新文件名不能是“.”或“..”，开始命名后将失败", ""}));
    QCOMPARE(countLine(p), QStringLiteral("1个新文件名无效，开始命名后将失败"));
    start(p);
    QCOMPARE(onDisk(m_root), QStringList({".config", "a"}));
}

// Marks are redone when rows go, move or are edited, and follow their rows when sorted.
void TestRenamePreview::marksFollowTheRows()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt"), makeFile(m_root, "c.txt")});
    setName(Channel::FileCustomRename, QStringLiteral("x"), false);
    QCOMPARE(marks(p.list), QStringList({"", "!", "!"}));

    // The row that would have kept the name is edited away: the next one keeps it now.
    editProposal(p.list, 0, "y");
    QTRY_COMPARE(marks(p.list), QStringList({"", "", "!"}));
    QCOMPARE(tips(p.list).value(2), QStringLiteral("名称“x.txt”已被第2行占用，开始命名后将失败"));
    QCOMPARE(countLine(p), QStringLiteral("1个名称冲突，开始命名后将失败"));

    // Sorting by name, descending (the second click): c.txt comes first and keeps the name.
    QHeaderView *header = p.list->table()->horizontalHeader();
    const QPoint section(header->sectionViewportPosition(FileListWidget::NameColumn) + 20, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, section);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, section);
    QTRY_COMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"c.txt", "b.txt", "a.txt"}));
    QTRY_COMPARE(marks(p.list), QStringList({"", "!", ""}));

    // Deleting the row that keeps the name frees it for the other.
    const QRect cell = cellRect(p.list, 0, FileListWidget::OperateColumn);
    const QPoint pos = p.list->table()->actionDelegate()->buttonRect(cell, "deleteBtn").center();
    QTest::mouseClick(p.list->table()->viewport(), Qt::LeftButton, {}, pos);
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), QStringList({"b.txt", "a.txt"}));
    QTRY_COMPARE(marks(p.list), QStringList({"", ""}));
    QTRY_COMPARE(countLine(p), QString());

    // An item that appears outside the program is seen by the next check.
    makeFile(m_root, "x.txt");
    setName(Channel::FileCustomRename, QStringLiteral("x"), true);
    QCOMPARE(tips(p.list), QStringList({"将命名为“x(1).txt”", "将命名为“x(2).txt”"}));

    p.list->clearList();
    QTRY_COMPARE(countLine(p), QString());
}

// Hovering a marked proposal shows its hint; the mark and text are drawn in the stylesheet's colours.
void TestRenamePreview::hoverTellsWhatHappens()
{
    Page p = page(false);
    p.list->addFiles({makeFile(m_root, "a.txt"), makeFile(m_root, "b.txt"), makeFile(m_root, "c.txt")});
    setName(Channel::FileCustomRename, QStringLiteral("x"), true);
    QCOMPARE(marks(p.list), QStringList({"", "!", "!"}));

    QWidget *viewport = p.list->table()->viewport();
    const QPoint pos = cellRect(p.list, 1, FileListWidget::NewNameColumn).center();
    QHelpEvent help(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &help);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("将命名为“x(1).txt”"));
    QToolTip::hideText();

    const QColor amber(0xFF, 0xB0, 0x20);
    QVERIFY(pixelsNear(p.list, 1, amber) > 20);
    QCOMPARE(pixelsNear(p.list, 0, amber), 0);
    auto *count = p.page->findChild<QLabel *>("conflictCountLabel");
    QCOMPARE(count->palette().color(QPalette::WindowText), amber);

    setReplace(Channel::FileReplaceRename, QStringLiteral("c"), QStringLiteral("/"));
    QCOMPARE(marks(p.list), QStringList({"", "", "x"}));
    QVERIFY(pixelsNear(p.list, 2, QColor(Qt::red)) > 20);
    QCOMPARE(count->palette().color(QPalette::WindowText), QColor(Qt::red));
}

// 3000 rows all proposing "0report_.txt" (numbering with increment 0) beside an item of that name: every row is
// marked with the name resolution gives it, and after the start every row has exactly that name.
void TestRenamePreview::hintsEqualTheJobFor3000IdenticalProposals()
{
    constexpr int count = 3000;
    Page p = page(false);
    const QString folder = makeDir(m_root, "files");
    makeFile(folder, "0report_.txt", "outside");
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(
            makeFile(folder, QStringLiteral("f%1.txt").arg(i, 4, 10, QLatin1Char('0')), QByteArray::number(i)));
    p.list->addFiles(paths);
    QCOMPARE(p.list->table()->rowCount(), count);

    setCustom(Channel::FileCustomRename, [](CustomSettings &s) {
        s.text = QStringLiteral("report_");
        s.numberingEnabled = true;
    });
    QCOMPARE(columnTexts(p.list, FileListWidget::NewNameColumn), repeated("0report_.txt", count));
    QCOMPARE(countLine(p), QStringLiteral("3000个名称冲突，将自动添加序号"));
    QCOMPARE(tips(p.list).value(2), QStringLiteral("将命名为“0report_(3).txt”"));
    QCOMPARE(marks(p.list), repeated("!", count));
    const QStringList hinted = tips(p.list);

    start(p);

    const QStringList names = columnTexts(p.list, FileListWidget::NameColumn);
    for (int row = 0; row < count; ++row) {
        QCOMPARE(hinted.at(row), QStringLiteral("将命名为“%1”").arg(names.at(row)));
        QCOMPARE(contentOf(folder + '/' + names.at(row)), QByteArray::number(row));
    }
    QCOMPARE(contentOf(folder + "/0report_.txt"), QByteArray("outside"));
    QTRY_COMPARE(countLine(p), QString());
}

// Pictures of the marks, a hint and the count line for a person to look at; written only when
// QUORLIN_SCREENSHOT_DIR names a folder. Run under a real display server to see the tooltips too.
void TestRenamePreview::screenshots()
{
    const QString folder = qEnvironmentVariable("QUORLIN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        QSKIP("set QUORLIN_SCREENSHOT_DIR to write the pictures");
    QVERIFY(QDir().mkpath(folder));
    // The window's own size at start.
    m_window->resize(1340, 800);
    Page p = page(false);
    makeFile(m_root, "旅行.txt");
    QStringList paths;
    for (const char *name :
         {"IMG_0001.txt", "IMG_0002.txt", "IMG_0003.txt", "草稿.txt", "说明.txt", "备份.txt", "a.txt", "b.txt"})
        paths.append(makeFile(m_root, QString::fromUtf8(name)));
    p.list->addFiles(paths);
    setName(Channel::FileCustomRename, QStringLiteral("旅行"), true);
    // Proposals as a user might type them, row by row.
    const QStringList proposals{"旅行.txt",   "旅行.txt", "旅行.txt", "草稿/终稿.txt",
                                "说明书.txt", ".txt",     "b.txt",    "a.txt"};
    for (int row = 0; row < proposals.size(); ++row)
        p.list->entries()[row].newName = proposals.at(row);
    p.list->showNewNames();
    p.list->checkConflicts();

    const auto shoot = [&](const QString &name, int tipRow) {
        QApplication::processEvents();
        if (tipRow >= 0) {
            QWidget *viewport = p.list->table()->viewport();
            const QPoint pos = cellRect(p.list, tipRow, FileListWidget::NewNameColumn).center();
            QHelpEvent help(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
            QApplication::sendEvent(viewport, &help);
            QTRY_VERIFY(QToolTip::isVisible());
            QTest::qWait(300);
        }
        QVERIFY(m_window->grab().save(folder + '/' + name + ".png"));
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QVERIFY(m_window->screen()->grabWindow(0).save(folder + '/' + name + "-screen.png"));
        QToolTip::hideText();
    };
    shoot("preview-resolve", 1);
    setName(Channel::FileCustomRename, QStringLiteral("旅行"), false);
    shoot("preview-fail", 2);
    setName(Channel::FileCustomRename, QStringLiteral("旅行"), true);
    shoot("preview-count", -1);
    p.page->propertyWidget()->findChild<QAbstractButton *>("setBtn")->click();
    shoot("preview-done", -1);
}

QTEST_MAIN(TestRenamePreview)
// The date taken as a time number, chosen on the panel as a user does: read off the window's thread, a photo
// without one numbered by its modification time and marked, and the job renaming to what the list shows.
void TestRenamePreview::dateTakenNumbers()
{
    Page p = page(false);
    const QStringList photos = {m_root + "/tagged.jpg", m_root + "/plain.jpg", m_root + "/offset.jpg"};
    QVERIFY(PhotoTest::makePhoto(photos[0], {"2023:07:14 09:30:00", "", ""}));
    QVERIFY(PhotoTest::makePhoto(photos[1]));
    QVERIFY(PhotoTest::makePhoto(photos[2], {"2023:07:14 23:30:00", "-10:00", ""}));
    const QDateTime written(QDate(2005, 1, 1), QTime(12, 0));
    for (const QString &photo : photos) {
        QFile file(photo);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    }
    p.list->addFiles(photos);
    auto *custom = p.page->propertyWidget()->findChild<QWidget *>("custormPage");
    custom->findChild<CustormCheckBox *>("numberSetCheck")->findChild<QCheckBox *>()->click();
    custom->findChild<QAbstractButton *>("timeBtn")->click();
    auto *timeType = custom->findChild<QComboBox *>("timeTypeComboBox");
    QCOMPARE(timeType->itemText(3), QStringLiteral("拍摄时间"));
    timeType->setCurrentIndex(3);
    // Start at once: the job waits for the dates being read.
    start(p);

    // 23:30 at UTC-10 is 09:30 UTC the next day, shown in the local time of the machine.
    const QString offsetDay =
        QDateTime(QDate(2023, 7, 15), QTime(9, 30), Qt::UTC).toLocalTime().toString("yyyy-MM-dd");
    const QStringList names = {"2023-07-14tagged.jpg", "2005-01-01plain.jpg", offsetDay + "offset.jpg"};
    QTRY_COMPARE(columnTexts(p.list, FileListWidget::StatusColumn), QStringList({"成功", "成功", "成功"}));
    QCOMPARE(columnTexts(p.list, FileListWidget::NameColumn), names);
    QStringList sorted = names;
    sorted.sort();
    QCOMPARE(onDisk(m_root), sorted);
    QTRY_COMPARE(marks(p.list), QStringList({"", "i", ""}));
    QCOMPARE(tips(p.list).at(1), QStringLiteral("无拍摄时间，使用修改时间"));

    // A folder has no date taken: its page offers three times.
    Page folders = page(true);
    QCOMPARE(folders.page->propertyWidget()
                 ->findChild<QWidget *>("custormPage")
                 ->findChild<QComboBox *>("timeTypeComboBox")
                 ->count(),
             3);
}

#include "tst_renamepreview.moc"
