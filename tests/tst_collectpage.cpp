// The collect pages in the main window, used as a person uses them: files and folders are listed, the panel's
// controls are set, "开始提取" is pressed, and the written file is read back independently of the writers.
#include "testutil_engine.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "app/mainwindow.h"
#include "collect/collectinfopage.h"
#include "collect/collectinfopagepropertwidget.h"
#include "collect/collectinfopagewidget.h"
#include "collect/collectlistwidget.h"
#include "collect/collectsettings.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "filelist/customtabelwidget.h"
#include "filelist/liststatusline.h"
#include "ooxml/zippackage.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QToolButton>
#include <QXmlStreamReader>
#include <QtTest>

#include <unistd.h>

#include <memory>

using namespace EngineTest;
using namespace FileListTest;

namespace {

const QString TimeFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");

QString birthText(const QString &path)
{
    const QDateTime time = QFileInfo(path).birthTime();
    return time.isValid() ? time.toString(TimeFormat) : QString();
}

QString modifiedText(const QString &path)
{
    return QFileInfo(path).lastModified().toString(TimeFormat);
}

// The paragraphs of a Word document, read from its main part.
QStringList docxParagraphs(const QString &path)
{
    ZipPackage package(qint64(64) << 20, qint64(256) << 20);
    QByteArray xml;
    if (!package.openFile(path) || package.read(QStringLiteral("word/document.xml"), &xml) != ZipPackage::Read)
        return {QStringLiteral("<unreadable>")};
    if (!package.contains(QStringLiteral("[Content_Types].xml")) || !package.contains(QStringLiteral("_rels/.rels")))
        return {QStringLiteral("<incomplete package>")};
    QStringList paragraphs;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("w:p"))
            paragraphs.append(QString());
        else if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("w:t"))
            paragraphs.last() += reader.readElementText();
    }
    if (reader.hasError())
        return {QStringLiteral("<bad xml: %1>").arg(reader.errorString())};
    return paragraphs;
}

QString renamedMessage(const QString &requested, const QString &written)
{
    return QStringLiteral("文件“%1”已存在，已保存为“%2”").arg(requested, written);
}

// Records the settings announcements of both collect keys.
class KeyRecorder : public QObject
{
    Q_OBJECT
public:
    KeyRecorder()
    {
        for (const QString &key : {Channel::FileCollectProperty, Channel::FolderCollectProperty})
            CNvGlobalObserver::instance()->addObserver(key, Channel::RenameValueUpdate, this, OBSERVER_SLOT);
    }
    ~KeyRecorder() override
    {
        for (const QString &key : {Channel::FileCollectProperty, Channel::FolderCollectProperty})
            CNvGlobalObserver::instance()->removeObserver(key, Channel::RenameValueUpdate, this);
    }
    QStringList keys;

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &, const QVariant &) { keys.append(valueName); }
};

struct Page
{
    CollectInfoPage *page = nullptr;
    CollectListWidget *list = nullptr;
    CollectInfoPagePropertWidget *panel = nullptr;

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return FileListTest::control<T>(page, name);
    }
    QToolButton *start() const { return control<QToolButton>("setBtn"); }
    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < list->table()->rowCount(); ++row)
            texts.append(list->table()->item(row, column)->text());
        return texts;
    }
    QStringList statuses() const { return column(CollectListWidget::StatusColumn); }
};

} // namespace

class TestCollectPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void subscriptions();
    void pageShape();
    void startFollowsList();
    void rowsShowTimes();
    void xlsxColumns_data();
    void xlsxColumns();
    void txtBytes();
    void docxExport();
    void folderPage();
    void emptyNameIsPageTitle_data();
    void emptyNameIsPageTitle();
    void existingFileKept();
    void twoStartsTwoFiles();
    void failedSave_data();
    void failedSave();
    void pagesAreSeparate();
    void listHeldWhileExporting();
    void sortByTimes();
    void chooseOutputFolder_data();
    void chooseOutputFolder();
    void reset();
    void fullList();

private:
    Page page(bool folderPage);
    Page showPage(bool folderPage);
    void setOutputFolder(const Page &p, const QString &folder);
    void setExportName(const Page &p, const QString &name);
    void setFormat(const Page &p, int index);
    void exportAndWait(const Page &p, const QString &status = QStringLiteral("成功"));
    QStringList warnings() const;

    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ModalAnswerer> m_answerer;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_items; // what the lists hold
    QString m_out;   // where exports go
    QTemporaryDir m_home;
};

void TestCollectPage::initTestCase()
{
    // Exports that fall back to the desktop folder land in a home of the test's own.
    QVERIFY(m_home.isValid());
    QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("Desktop")));
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/.config")));
    QCOMPARE(defaultCollectOutputFolder(), m_home.path() + QStringLiteral("/Desktop"));
}

void TestCollectPage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_items = makeDir(m_dir->path(), QStringLiteral("items"));
    m_out = makeDir(m_dir->path(), QStringLiteral("out"));
    m_answerer = std::make_unique<ModalAnswerer>();
    m_window = std::make_unique<MainWindow>();
    QVERIFY(showAt(m_window.get(), 1400, 860));
}

void TestCollectPage::cleanup()
{
    m_window.reset();
    m_answerer.reset();
    QFile::setPermissions(m_out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
    for (const QString &name : onDisk(m_home.path() + QStringLiteral("/Desktop")))
        QFile::remove(m_home.path() + QStringLiteral("/Desktop/") + name);
}

Page TestCollectPage::page(bool folderPage)
{
    Page p;
    p.page = m_window->findChild<CollectInfoPage *>(folderPage ? "collectFolderNamePage" : "collectFileNamePage");
    p.list = p.page->editWidget()->fileList();
    p.panel = p.page->propertyWidget();
    return p;
}

Page TestCollectPage::showPage(bool folderPage)
{
    QTest::mouseClick(m_window->findChild<QToolButton *>(folderPage ? "collectFolderNameBtn" : "collectFileNameBtn"),
                      Qt::LeftButton);
    return page(folderPage);
}

// Picks the folder through the panel's folder button and the folder dialog.
void TestCollectPage::setOutputFolder(const Page &p, const QString &folder)
{
    ModalAnswerer picker("folder dialog", ModalAnswerer::pickInFileDialog(QString(), folder));
    QTest::mouseClick(p.control("openDirBtn"), Qt::LeftButton);
    QCOMPARE(p.control<QPushButton>("replaceExcelLabel")->text(), folder);
}

void TestCollectPage::setExportName(const Page &p, const QString &name)
{
    auto *edit = p.control<QLineEdit>("exportName");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    // Chinese arrives committed by an input method.
    QInputMethodEvent commit;
    commit.setCommitString(name);
    QCoreApplication::sendEvent(edit, &commit);
    QCOMPARE(edit->text(), name);
}

void TestCollectPage::setFormat(const Page &p, int index)
{
    auto *box = p.control<QComboBox>("exportTypeCombox");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentIndex(), index);
}

void TestCollectPage::exportAndWait(const Page &p, const QString &status)
{
    QVERIFY(p.start()->isEnabled());
    QTest::mouseClick(p.start(), Qt::LeftButton);
    QTRY_COMPARE(p.statuses(), repeated(status, p.list->table()->rowCount()));
    QTRY_VERIFY(!p.list->isExporting());
}

QStringList TestCollectPage::warnings() const
{
    return m_answerer->textsOf("WarningDialog");
}

void TestCollectPage::pageShape()
{
    const Page files = page(false);
    const Page folders = page(true);
    QVERIFY(files.control("suffixWidget")->isVisibleTo(files.page));
    QVERIFY(!folders.control("suffixWidget")->isVisibleTo(folders.page));
    QVERIFY(files.control("addFile")->isVisibleTo(files.page));
    QVERIFY(!folders.control("addFile")->isVisibleTo(folders.page));
    for (const Page &p : {files, folders}) {
        for (const char *name : {"hassuffix", "hasPathBtn", "hasBirthBtn", "hasModifiedBtn"})
            QVERIFY2(p.control<QToolButton>(name)->isChecked(), name);
        QCOMPARE(p.control<QToolButton>("toolButton_2")->text(), QStringLiteral("提取内容"));
        QCOMPARE(p.control<QToolButton>("resetBtn")->text(), QStringLiteral("重置设置"));
        QCOMPARE(p.start()->text(), QStringLiteral("开始提取"));
        QCOMPARE(p.control<QComboBox>("exportTypeCombox")->count(), 3);
        QCOMPARE(p.control<QComboBox>("exportTypeCombox")->itemText(2), QStringLiteral("txt"));
        QCOMPARE(p.control<QPushButton>("replaceExcelLabel")->text(), m_home.path() + QStringLiteral("/Desktop"));
        QCOMPARE(p.list->table()->columnCount(), int(CollectListWidget::ColumnCount));
    }
    QStringList headers;
    for (int c = 0; c < files.list->table()->columnCount(); ++c)
        headers.append(files.list->table()->horizontalHeaderItem(c)->text());
    QCOMPARE(headers, QStringList({"文件名称", "文件路径", "创建时间", "修改时间", "状态", "操作"}));
    QCOMPARE(collectSettings(false).outputFolder, m_home.path() + QStringLiteral("/Desktop"));
    QCOMPARE(collectSettings(true).outputFolder, m_home.path() + QStringLiteral("/Desktop"));
}

void TestCollectPage::subscriptions()
{
    auto *hub = CNvGlobalObserver::instance();
    const int before = hub->entryCount();
    {
        CollectListWidget list;
        // Its three channels, beside what every list subscribes to.
        QVERIFY(hub->entryCount() >= before + 3);
        list.addFiles({makeFile(m_items, "a.txt")});
        collectSettings(false).outputFolder = m_out;
        // The settings keys ask for nothing; only the start of the list's own kind exports.
        hub->notifyObservers(Channel::FileCollectProperty, Channel::RenameValueUpdate, QVariant());
        hub->notifyObservers(Channel::StartCollectInfo, Channel::RenameValueUpdate, true);
        QVERIFY(!list.isExporting());
        hub->notifyObservers(Channel::StartCollectInfo, Channel::NoName, false);
        QVERIFY(!list.isExporting());
        hub->notifyObservers(Channel::StartCollectInfo, Channel::RenameValueUpdate, false);
        QVERIFY(list.isExporting());
        QTRY_VERIFY(!list.isExporting());
    }
    QCOMPARE(hub->entryCount(), before);
    QCOMPARE(onDisk(m_out), QStringList{"提取文件名.xlsx"});
}

void TestCollectPage::startFollowsList()
{
    const Page p = showPage(false);
    QVERIFY(!p.start()->isEnabled());
    makeFile(m_items, "a.txt");
    makeFile(m_items, "b.txt");
    QString title;
    ModalAnswerer picker("file dialog", [&](QDialog *dialog) {
        title = dialog->windowTitle();
        ModalAnswerer::pickInFileDialog(m_items, "\"a.txt\" \"b.txt\"")(dialog);
    });
    QTest::mouseClick(p.control("addFile"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("打开"));
    QCOMPARE(p.column(CollectListWidget::NameColumn), QStringList({"a.txt", "b.txt"}));
    QVERIFY(p.start()->isEnabled());
    QTest::mouseClick(p.control("clearList"), Qt::LeftButton);
    QCOMPARE(p.list->table()->rowCount(), 0);
    QVERIFY(!p.start()->isEnabled());
    // The folder page's start button follows its own list only.
    p.list->addFiles({m_items + "/a.txt"});
    QVERIFY(!page(true).start()->isEnabled());
}

void TestCollectPage::rowsShowTimes()
{
    const Page p = showPage(false);
    const QString path = makeFile(m_items, "当前 a.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime));
    file.close();
    p.list->addFiles({path});
    QCOMPARE(p.column(CollectListWidget::NameColumn), QStringList{"当前 a.txt"});
    QCOMPARE(p.column(CollectListWidget::PathColumn), QStringList{path});
    QCOMPARE(p.column(CollectListWidget::BirthColumn), QStringList{birthText(path)});
    QCOMPARE(p.column(CollectListWidget::ModifiedColumn), QStringList{"2001/02/03 04:05:06"});
    QCOMPARE(p.statuses(), QStringList{"待操作"});
}

void TestCollectPage::xlsxColumns_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QString>("columns"); // n name, x name without extension, p path, b birth, m modified
    QTest::newRow("everything") << QStringList() << QStringList({"文件名称", "文件路径", "创建时间", "修改时间"})
                                << "npbm";
    QTest::newRow("names only, no extension")
        << QStringList({"nosuffix", "noPathBtn", "noBirthBtn", "noModifiedBtn"}) << QStringList({"文件名称"}) << "x";
    QTest::newRow("no path") << QStringList({"noPathBtn"}) << QStringList({"文件名称", "创建时间", "修改时间"}) << "nbm";
    QTest::newRow("no creation time") << QStringList({"noBirthBtn"})
                                      << QStringList({"文件名称", "文件路径", "修改时间"}) << "npm";
    QTest::newRow("no modification time, then back")
        << QStringList({"noModifiedBtn", "nosuffix", "hasModifiedBtn"})
        << QStringList({"文件名称", "文件路径", "创建时间", "修改时间"}) << "xpbm";
}

void TestCollectPage::xlsxColumns()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, header);
    QFETCH(QString, columns);
    const Page p = showPage(false);
    const QStringList paths = {makeFile(m_items, "b.tar.gz"), makeFile(m_items, "a.txt"), makeFile(m_items, "名单")};
    p.list->addFiles(paths);
    const QStringList withoutExtension = {"b.tar", "a", "名单"};

    KeyRecorder recorder;
    for (const QString &name : clicks)
        QTest::mouseClick(p.control(name.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(recorder.keys, repeated(Channel::FileCollectProperty, clicks.size()));
    setOutputFolder(p, m_out);
    setExportName(p, QStringLiteral("名单"));

    exportAndWait(p);

    QCOMPARE(onDisk(m_out), QStringList{"名单.xlsx"});
    QList<QStringList> expected{header};
    for (int i = 0; i < paths.size(); ++i) {
        QStringList row;
        for (const QChar c : columns) {
            switch (c.toLatin1()) {
            case 'n': row.append(QFileInfo(paths.at(i)).fileName()); break;
            case 'x': row.append(withoutExtension.at(i)); break;
            case 'p': row.append(paths.at(i)); break;
            case 'b': row.append(birthText(paths.at(i))); break;
            case 'm': row.append(modifiedText(paths.at(i))); break;
            }
        }
        // The reader sees no cell where the text is empty.
        while (!row.isEmpty() && row.last().isEmpty())
            row.removeLast();
        expected.append(row);
    }
    QCOMPARE(readWorkbook(m_out + "/名单.xlsx"), expected);
    QVERIFY(warnings().isEmpty());
}

void TestCollectPage::txtBytes()
{
    const Page p = showPage(false);
    const QString a = makeFile(m_items, "a b.txt");
    const QString gone = makeFile(m_items, "gone.md");
    p.list->addFiles({a, gone});
    QVERIFY(QFile::remove(gone));
    setOutputFolder(p, m_out);
    setExportName(p, QStringLiteral("list"));
    setFormat(p, 2);
    QCOMPARE(collectSettings(false).exportType, 2);

    exportAndWait(p);

    // One line per row, texts joined by single spaces; the item deleted after listing keeps its name and path,
    // its times are empty.
    const QString text = QStringLiteral("a b.txt %1 %2 %3\ngone.md %4  \n")
                             .arg(a, birthText(a), modifiedText(a), gone);
    QCOMPARE(contentOf(m_out + "/list.txt"), QTextCodec::codecForLocale()->fromUnicode(text));
}

void TestCollectPage::docxExport()
{
    const Page p = showPage(false);
    const QString a = makeFile(m_items, "  <a&b>.txt");
    const QString c = makeFile(m_items, QStringLiteral("c\x01\U0001F600.txt"));
    p.list->addFiles({a, c});
    for (const char *name : {"noPathBtn", "noBirthBtn", "noModifiedBtn"})
        QTest::mouseClick(p.control(name), Qt::LeftButton);
    setOutputFolder(p, m_out);
    setFormat(p, 1);

    exportAndWait(p);

    QCOMPARE(onDisk(m_out), QStringList{"提取文件名.docx"});
    // A character XML cannot hold is replaced, everything else kept, leading spaces included.
    QCOMPARE(docxParagraphs(m_out + "/提取文件名.docx"),
             QStringList({"  <a&b>.txt", QStringLiteral("c\uFFFD\U0001F600.txt")}));
}

void TestCollectPage::folderPage()
{
    const Page p = showPage(true);
    const QString d1 = makeDir(m_items, "my.folder");
    const QString d2 = makeDir(m_items, "其他");
    p.list->addFiles({d1, d2});
    // A folder has no extension: the extension row is hidden and names stay whole.
    QVERIFY(!p.control("suffixWidget")->isVisible());
    QTest::mouseClick(p.control("noBirthBtn"), Qt::LeftButton);
    QTest::mouseClick(p.control("noModifiedBtn"), Qt::LeftButton);
    setOutputFolder(p, m_out);

    exportAndWait(p);

    QCOMPARE(readWorkbook(m_out + "/提取文件夹名.xlsx"),
             QList<QStringList>({{"文件名称", "文件路径"}, {"my.folder", d1}, {"其他", d2}}));
}

void TestCollectPage::emptyNameIsPageTitle_data()
{
    QTest::addColumn<bool>("folderPage");
    QTest::addColumn<QString>("name");
    QTest::newRow("file page") << false << "提取文件名.txt";
    QTest::newRow("folder page") << true << "提取文件夹名.txt";
}

void TestCollectPage::emptyNameIsPageTitle()
{
    QFETCH(bool, folderPage);
    QFETCH(QString, name);
    const Page p = showPage(folderPage);
    p.list->addFiles({folderPage ? makeDir(m_items, "d") : makeFile(m_items, "f")});
    setOutputFolder(p, m_out);
    // Blank is as good as empty: no hidden file made of the extension alone.
    setExportName(p, QStringLiteral("  "));
    setFormat(p, 2);
    exportAndWait(p);
    QCOMPARE(onDisk(m_out), QStringList{name});
    QCOMPARE(p.control<QLineEdit>("exportName")->placeholderText(),
             folderPage ? QStringLiteral("提取文件夹名") : QStringLiteral("提取文件名"));
}

void TestCollectPage::existingFileKept()
{
    const Page p = showPage(false);
    p.list->addFiles({makeFile(m_items, "a.txt")});
    makeFile(m_out, "名单.xlsx", "not a workbook, but the user's");
    setOutputFolder(p, m_out);
    setExportName(p, QStringLiteral("名单"));

    exportAndWait(p);

    QCOMPARE(onDisk(m_out), QStringList({"名单(1).xlsx", "名单.xlsx"}));
    QCOMPARE(contentOf(m_out + "/名单.xlsx"), QByteArray("not a workbook, but the user's"));
    QCOMPARE(readWorkbook(m_out + "/名单(1).xlsx").value(1).value(0), QStringLiteral("a.txt"));
    QCOMPARE(warnings(), QStringList{renamedMessage(m_out + "/名单.xlsx", m_out + "/名单(1).xlsx")});
    // The line above the list names the file written and offers to show it.
    auto *line = p.page->findChild<ListStatusLine *>("listStatusLine");
    QCOMPARE(line->summaryText(), QStringLiteral("已导出：名单(1).xlsx"));
    QCOMPARE(line->writtenFile(), m_out + "/名单(1).xlsx");
    QVERIFY(line->findChild<QWidget *>("showFileBtn")->isVisible());
}

void TestCollectPage::twoStartsTwoFiles()
{
    const Page p = showPage(false);
    p.list->addFiles({makeFile(m_items, "a.txt"), makeFile(m_items, "b.txt")});
    setOutputFolder(p, m_out);
    setExportName(p, QStringLiteral("x"));
    setFormat(p, 2);
    // Two presses before the first export has reported: both write, each its own file.
    QTest::mouseClick(p.start(), Qt::LeftButton);
    QTest::mouseClick(p.start(), Qt::LeftButton);
    QTRY_VERIFY(!p.list->isExporting());
    QCOMPARE(p.statuses(), QStringList({"成功", "成功"}));
    QCOMPARE(onDisk(m_out), QStringList({"x(1).txt", "x.txt"}));
    QCOMPARE(contentOf(m_out + "/x.txt"), contentOf(m_out + "/x(1).txt"));
    QCOMPARE(warnings(), QStringList{renamedMessage(m_out + "/x.txt", m_out + "/x(1).txt")});
}

void TestCollectPage::failedSave_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("format");
    QTest::newRow("folder removed, xlsx") << "removed" << 0;
    QTest::newRow("folder removed, docx") << "removed" << 1;
    QTest::newRow("folder removed, txt") << "removed" << 2;
    QTest::newRow("read-only folder, xlsx") << "readonly" << 0;
    QTest::newRow("read-only folder, txt") << "readonly" << 2;
    QTest::newRow("folder replaced by a file, xlsx") << "file" << 0;
    QTest::newRow("folder replaced by a file, docx") << "file" << 1;
    QTest::newRow("slash in the name") << "slash" << 0;
}

void TestCollectPage::failedSave()
{
    QFETCH(QString, how);
    QFETCH(int, format);
    if (how == "readonly" && geteuid() == 0)
        QSKIP("root writes into read-only folders");
    const Page p = showPage(false);
    p.list->addFiles({makeFile(m_items, "a.txt"), makeFile(m_items, "b.txt")});
    const QString target = makeDir(m_out, "target");
    setOutputFolder(p, target);
    setFormat(p, format);
    setExportName(p, how == "slash" ? QStringLiteral("a/b") : QStringLiteral("list"));
    if (how == "removed")
        QVERIFY(QDir(target).removeRecursively());
    if (how == "readonly")
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner));
    if (how == "file") {
        QVERIFY(QDir(target).removeRecursively());
        makeFile(m_out, "target", "a file now");
    }

    exportAndWait(p, QStringLiteral("失败"));

    QCOMPARE(warnings(), QStringList{"保存文件失败！"});
    QCOMPARE(p.page->findChild<ListStatusLine *>("listStatusLine")->summaryText(),
             QStringLiteral("导出失败，未生成文件"));
    // Nothing left behind, not even a temporary file.
    QCOMPARE(onDisk(m_out), how == "removed" ? QStringList() : QStringList{"target"});
    if (how == "file")
        QCOMPARE(contentOf(target), QByteArray("a file now"));
    else if (how != "removed")
        QCOMPARE(onDisk(target), QStringList());
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The rows take the next export again.
    setOutputFolder(p, m_out);
    setExportName(p, QStringLiteral("list"));
    exportAndWait(p);
    QCOMPARE(onDisk(m_out).size(), how == "removed" ? 1 : 2);
}

void TestCollectPage::pagesAreSeparate()
{
    const Page files = showPage(false);
    files.list->addFiles({makeFile(m_items, "f.txt")});
    const QString fileOut = makeDir(m_out, "files");
    setOutputFolder(files, fileOut);
    const Page folders = showPage(true);
    folders.list->addFiles({makeDir(m_items, "d")});
    setOutputFolder(folders, m_out);
    QCOMPARE(collectSettings(false).outputFolder, fileOut);
    QCOMPARE(collectSettings(true).outputFolder, m_out);

    exportAndWait(folders);

    QCOMPARE(files.statuses(), QStringList{"待操作"});
    QCOMPARE(onDisk(fileOut), QStringList());
    QCOMPARE(onDisk(m_out), QStringList({"files", "提取文件夹名.xlsx"}));

    showPage(false);
    exportAndWait(files);
    QCOMPARE(folders.statuses(), QStringList{"成功"});
    QCOMPARE(onDisk(fileOut), QStringList{"提取文件名.xlsx"});
}

void TestCollectPage::listHeldWhileExporting()
{
    const Page p = showPage(false);
    p.list->addFiles({makeFile(m_items, "a.txt"), makeFile(m_items, "b.txt")});
    setOutputFolder(p, m_out);
    QSignalSpy running(p.list, &CollectListWidget::exportRunning);

    p.list->runCollectExport();

    // The rows are being written: they stay as they are until the export reports.
    QCOMPARE(p.statuses(), QStringList({"进行中", "进行中"}));
    QVERIFY(!p.control("addFolder")->isEnabled());
    QVERIFY(!p.control("clearList")->isEnabled());
    p.list->addFiles({makeFile(m_items, "c.txt")});
    p.list->clearList();
    p.list->onSortChanged(1, 0);
    QCOMPARE(p.column(CollectListWidget::NameColumn), QStringList({"a.txt", "b.txt"}));

    QTRY_COMPARE(p.statuses(), QStringList({"成功", "成功"}));
    QCOMPARE(running.size(), 2);
    QVERIFY(p.control("addFolder")->isEnabled());
    p.list->addFiles({m_items + "/c.txt"});
    QCOMPARE(p.statuses(), QStringList({"成功", "成功", "待操作"}));
}

void TestCollectPage::sortByTimes()
{
    const Page p = showPage(false);
    const QStringList names = {"new.txt", "old.txt", "mid.txt"};
    const QList<QDateTime> times = {QDateTime(QDate(2020, 1, 1), QTime(0, 0)), QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                                    QDateTime(QDate(2010, 1, 1), QTime(0, 0))};
    QStringList paths;
    for (int i = 0; i < names.size(); ++i) {
        paths.append(makeFile(m_items, names.at(i)));
        QFile file(paths.last());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(times.at(i), QFileDevice::FileModificationTime));
    }
    p.list->addFiles(paths);
    QHeaderView *header = p.list->table()->horizontalHeader();
    const int x = header->sectionViewportPosition(CollectListWidget::ModifiedColumn) + 20;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QCOMPARE(p.column(CollectListWidget::NameColumn), QStringList({"old.txt", "mid.txt", "new.txt"}));
    QCOMPARE(p.column(CollectListWidget::ModifiedColumn),
             QStringList({"2000/01/01 00:00:00", "2010/01/01 00:00:00", "2020/01/01 00:00:00"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QCOMPARE(p.column(CollectListWidget::NameColumn), QStringList({"new.txt", "mid.txt", "old.txt"}));

    // The export follows the order the user sees, also after a row was dragged elsewhere.
    p.list->onSortChanged(0, 2);
    QCOMPARE(p.column(CollectListWidget::NameColumn), QStringList({"old.txt", "new.txt", "mid.txt"}));
    QTest::mouseClick(p.control("noPathBtn"), Qt::LeftButton);
    QTest::mouseClick(p.control("noBirthBtn"), Qt::LeftButton);
    QTest::mouseClick(p.control("noModifiedBtn"), Qt::LeftButton);
    setOutputFolder(p, m_out);
    setFormat(p, 2);
    exportAndWait(p);
    QCOMPARE(contentOf(m_out + "/提取文件名.txt"), QByteArray("old.txt\nnew.txt\nmid.txt\n"));
}

void TestCollectPage::chooseOutputFolder_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("folder button") << "openDirBtn";
    QTest::newRow("folder text") << "replaceExcelLabel";
}

void TestCollectPage::chooseOutputFolder()
{
    QFETCH(QString, button);
    const Page p = showPage(false);
    auto *shown = p.control<QPushButton>("replaceExcelLabel");
    const QString before = shown->text();
    KeyRecorder recorder;

    // A cancelled dialog changes nothing.
    ModalAnswerer cancel("folder dialog", ModalAnswerer::reject());
    QTest::mouseClick(p.control(button.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(shown->text(), before);
    QCOMPARE(collectSettings(false).outputFolder, before);
    QVERIFY(recorder.keys.isEmpty());

    bool dirsOnly = false;
    ModalAnswerer picker("folder dialog", [&](QDialog *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        dirsOnly = files && files->testOption(QFileDialog::ShowDirsOnly);
        ModalAnswerer::pickInFileDialog(QString(), m_out)(dialog);
    });
    QTest::mouseClick(p.control(button.toLatin1().constData()), Qt::LeftButton);
    QVERIFY(dirsOnly);
    QCOMPARE(shown->text(), m_out);
    QCOMPARE(collectSettings(false).outputFolder, m_out);
    QCOMPARE(recorder.keys, QStringList{Channel::FileCollectProperty});
}

void TestCollectPage::reset()
{
    const Page p = showPage(false);
    QTRY_VERIFY(p.panel->defaultsRecorded());
    p.list->addFiles({makeFile(m_items, "a.txt")});
    for (const char *name : {"nosuffix", "noPathBtn", "noBirthBtn", "noModifiedBtn"})
        QTest::mouseClick(p.control(name), Qt::LeftButton);
    setOutputFolder(p, m_out);
    setExportName(p, QStringLiteral("名单"));
    setFormat(p, 2);
    const CollectSettings changed = collectSettings(false);
    QVERIFY(!changed.hasSuffix && !changed.hasPath && !changed.hasBirth && !changed.hasModified);

    KeyRecorder recorder;
    QTest::mouseClick(p.control("resetBtn"), Qt::LeftButton);

    for (const char *name : {"hassuffix", "hasPathBtn", "hasBirthBtn", "hasModifiedBtn"})
        QVERIFY2(p.control<QToolButton>(name)->isChecked(), name);
    for (const char *name : {"nosuffix", "noPathBtn", "noBirthBtn", "noModifiedBtn"})
        QVERIFY2(!p.control<QToolButton>(name)->isChecked(), name);
    QCOMPARE(p.control<QLineEdit>("exportName")->text(), QString());
    QCOMPARE(p.control<QComboBox>("exportTypeCombox")->currentIndex(), 0);
    const QString desktop = m_home.path() + QStringLiteral("/Desktop");
    QCOMPARE(p.control<QPushButton>("replaceExcelLabel")->text(), desktop);
    QVERIFY(!recorder.keys.isEmpty());
    QVERIFY(!recorder.keys.contains(Channel::FolderCollectProperty));
    const CollectSettings back = collectSettings(false);
    QVERIFY(back.hasSuffix && back.hasPath && back.hasBirth && back.hasModified);
    QCOMPARE(back.exportName, QString());
    QCOMPARE(back.exportType, 0);
    // The folder shown is the folder written to.
    QCOMPARE(back.outputFolder, desktop);
    QVERIFY(p.start()->isEnabled());

    exportAndWait(p);
    const QString a = m_items + "/a.txt";
    QCOMPARE(readWorkbook(desktop + "/提取文件名.xlsx"),
             QList<QStringList>(
                 {{"文件名称", "文件路径", "创建时间", "修改时间"}, {"a.txt", a, birthText(a), modifiedText(a)}}));
}

void TestCollectPage::fullList()
{
    const Page p = showPage(false);
    QStringList paths;
    for (int i = 0; i < 3000; ++i)
        paths.append(makeFile(m_items, QStringLiteral("f%1.txt").arg(i, 4, 10, QLatin1Char('0'))));
    p.list->addFiles(paths);
    QCOMPARE(p.list->table()->rowCount(), 3000);
    setOutputFolder(p, m_out);
    exportAndWait(p);
    const QList<QStringList> rows = readWorkbook(m_out + "/提取文件名.xlsx");
    QCOMPARE(rows.size(), 3001);
    QCOMPARE(rows.first(), QStringList({"文件名称", "文件路径", "创建时间", "修改时间"}));
    QCOMPARE(rows.at(1).value(0), QStringLiteral("f0000.txt"));
    QCOMPARE(rows.last(), QStringList({"f2999.txt", paths.last(), birthText(paths.last()),
                                       modifiedText(paths.last())}));
}

QTEST_MAIN(TestCollectPage)
#include "tst_collectpage.moc"
