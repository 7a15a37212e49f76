// The batch-create page in the main window, used as a person uses it: the controls of the two creation pages
// are set by their object names, the planned list is read, "开始生成" is clicked and the folders and files
// are checked on disk in a temporary folder. Warnings are answered by a timer and read back word for word.
#include "testutil_engine.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "app/mainwindow.h"
#include "controls/custormcheckbox.h"
#include "hub/mycustomevent.h"
#include "create/createfileempty.h"
#include "create/createfilepage.h"
#include "create/createfilepagewidget.h"
#include "create/createfilepropertywidget.h"
#include "create/creationplan.h"
#include "create/custormcreate.h"
#include "create/importcreate.h"
#include "filelist/actiondelegate.h"
#include "filelist/customtabelwidget.h"
#include "filelist/liststatusline.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <unistd.h>
#include <xlsxwriter.h>

#include <memory>

using namespace EngineTest;
using namespace FileListTest;

namespace {

QString fileFailure(const QString &path)
{
    return QStringLiteral("请确认文件“%1”路径拥有权限").arg(path);
}

QString folderFailure(const QString &path)
{
    return QStringLiteral("创建文件“%1”失败，请确认权限").arg(path);
}

} // namespace

class TestCreatePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsEmpty();
    void customNames_data();
    void customNames();
    void randomAndTimeNames_data();
    void randomAndTimeNames();
    void timeTypeHidden();
    void createEachType_data();
    void createEachType();
    void conflicts_data();
    void conflicts();
    void existingFolderWithoutResolution();
    void secondStart();
    void hostileNamesFromWorkbook_data();
    void hostileNamesFromWorkbook();
    void nameTooLong();
    void importFromWorkbook();
    void importNotAWorkbook();
    void importCapacity();
    void importKeepsNamesOnTypeChange();
    void lastAnnouncementWins();
    void switchingPagesShowsEachPlan();
    void sortKeepsStatuses();
    void deleteRows();
    void missingTemplate();
    void targetFolderGone();
    void readOnlyTarget();
    void cancelledFolderDialog();
    void reset();
    void screenshots();

private:
    QWidget *control(const char *page, const char *name) const;
    template<typename T>
    T *find(const char *page, const char *name) const
    {
        auto *widget = qobject_cast<T *>(control(page, name));
        if (!widget)
            qWarning("no %s on %s", name, page);
        return widget;
    }
    void click(const char *page, const char *name);
    void showCustom();
    void showImport();
    void chooseFolder(const char *page, const QString &folder);
    void chooseWorkbook(const QString &path);
    void setCustom(int count, const QString &name);
    void chooseType(const char *page, int index);
    void start();
    QStringList column(int column) const;
    QStringList names() const { return column(CreateFileEmpty::NameColumn); }
    QStringList statuses() const { return column(CreateFileEmpty::StatusColumn); }
    QStringList warnings() const;
    bool placeholderShown() const;
    QAbstractButton *startButton() const;
    ListStatusLine *statusLine() const { return m_page->findChild<ListStatusLine *>("listStatusLine"); }
    QRect cellRect(int row, int column) const;

    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ModalAnswerer> m_answerer;
    std::unique_ptr<QTemporaryDir> m_dir;
    CreateFilePage *m_page = nullptr;
    CreateFileEmpty *m_list = nullptr;
    QString m_root;
    QString m_out;
    QString m_templates;
};

void TestCreatePage::initTestCase()
{
    // The tests run in the program's folder, where the build stages the templates.
    m_templates = QDir::currentPath();
    const QStringList templates = {"Word.docx", "Excel.xlsx", "PPT.pptx", "PDF.pdf", "Txt.txt"};
    for (const QString &name : templates) {
        if (!QFileInfo::exists(m_templates + "/template/" + name))
            QFAIL(qPrintable("run in the program's folder: template/" + name + " is missing"));
    }
}

void TestCreatePage::init()
{
    importPlan() = CreationPlan();
    customPlan() = CreationPlan();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path();
    m_out = makeDir(m_root, "out");
    m_answerer = std::make_unique<ModalAnswerer>();
    m_window = std::make_unique<MainWindow>();
    QVERIFY(showAt(m_window.get(), 1400, 900));
    QTest::mouseClick(m_window->findChild<QToolButton *>("batchCreateFolderBtn"), Qt::LeftButton);
    m_page = m_window->findChild<CreateFilePage *>("batchCreateFolderPage");
    QVERIFY(m_page);
    QTRY_VERIFY(m_page->isVisible());
    m_list = m_page->editWidget()->fileList();
    m_list->setDataFolder(m_templates);
}

void TestCreatePage::cleanup()
{
    m_window.reset();
    m_answerer.reset();
    for (const QString &name : onDisk(m_root))
        QFile::setPermissions(m_root + '/' + name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

QWidget *TestCreatePage::control(const char *page, const char *name) const
{
    QWidget *root = m_page->propertyWidget();
    if (page)
        root = root->findChild<QWidget *>(page);
    return root ? root->findChild<QWidget *>(name) : nullptr;
}

void TestCreatePage::click(const char *page, const char *name)
{
    auto *button = find<QAbstractButton>(page, name);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestCreatePage::showCustom()
{
    click(nullptr, "custormBtn");
}

void TestCreatePage::showImport()
{
    click(nullptr, "importBtn");
}

void TestCreatePage::chooseFolder(const char *page, const QString &folder)
{
    ModalAnswerer picker("folder dialog", ModalAnswerer::pickInFileDialog(folder));
    click(page, "openPathBtn");
    QTRY_COMPARE(find<QPushButton>(page, "replacePathLabel")->text(), folder);
}

void TestCreatePage::chooseWorkbook(const QString &path)
{
    const QFileInfo info(path);
    ModalAnswerer picker("file dialog", ModalAnswerer::pickInFileDialog(info.absolutePath(), info.fileName()));
    auto *pick = find<QAbstractButton>("importCreatePage", "importExcelBtn");
    if (!pick->isVisible())
        pick = find<QAbstractButton>("importCreatePage", "changeExcelBtn");
    QTest::mouseClick(pick, Qt::LeftButton);
    QTRY_COMPARE(find<QToolButton>("importCreatePage", "replaceExcelLabel")->text(), path);
}

void TestCreatePage::setCustom(int count, const QString &name)
{
    auto *edit = find<QLineEdit>("custormCreatePage", "createNamelineEdit");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    typeText(edit, name);
    QCOMPARE(edit->text(), name);
    find<QSpinBox>("custormCreatePage", "createCountSpinBox")->setValue(count);
}

// Picks the item as a person does, with the keyboard, so the combo box reports the choice as made by the user.
void TestCreatePage::chooseType(const char *page, int index)
{
    auto *combo = find<QComboBox>(page, "exportTypeCombox");
    combo->setFocus();
    while (combo->currentIndex() < index)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index)
        QTest::keyClick(combo, Qt::Key_Up);
}

void TestCreatePage::start()
{
    QVERIFY(startButton()->isEnabled());
    QTest::mouseClick(startButton(), Qt::LeftButton);
}

QStringList TestCreatePage::column(int column) const
{
    QStringList texts;
    for (int row = 0; row < m_list->table()->rowCount(); ++row)
        texts.append(m_list->table()->item(row, column)->text());
    return texts;
}

QStringList TestCreatePage::warnings() const
{
    return m_answerer->textsOf("WarningDialog");
}

bool TestCreatePage::placeholderShown() const
{
    return m_list->findChild<QWidget *>("emptyList")->isVisible() && !m_list->table()->isVisible();
}

QAbstractButton *TestCreatePage::startButton() const
{
    return m_page->propertyWidget()->findChild<QAbstractButton *>("setBtn");
}

QRect TestCreatePage::cellRect(int row, int column) const
{
    return m_list->table()->visualRect(m_list->table()->model()->index(row, column));
}

void TestCreatePage::startsEmpty()
{
    QVERIFY(placeholderShown());
    QCOMPARE(m_list->findChild<QLabel *>("addFileTipLabel")->text(), QString("暂无文件信息~"));
    QVERIFY(!startButton()->isEnabled());
    QVERIFY(find<QAbstractButton>(nullptr, "importBtn")->isChecked());
    QCOMPARE(find<QStackedWidget>(nullptr, "stackedWidget")->currentWidget()->objectName(),
             QString("importCreatePage"));
    QStringList titles;
    for (int c = 0; c < m_list->table()->columnCount(); ++c)
        titles.append(m_list->table()->horizontalHeaderItem(c)->text());
    QCOMPARE(titles, QStringList({"文件名称", "文件路径", "状态", "操作"}));
    // Both pages start on the default folder, which exists.
    const QString folder = find<QPushButton>("custormCreatePage", "replacePathLabel")->text();
    QCOMPARE(folder, defaultTargetFolder());
    QCOMPARE(find<QPushButton>("importCreatePage", "replacePathLabel")->text(), folder);
    QVERIFY(QFileInfo(folder).isDir());

    // The placeholder is no button and the list takes no drops: only the creation pages fill it.
    QTest::mouseClick(m_list->findChild<QWidget *>("addFileAreaWidget"), Qt::LeftButton);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!m_list->acceptDrops());

    // Count 0 plans nothing, also when it comes after a plan.
    showCustom();
    QVERIFY(placeholderShown());
    QVERIFY(!startButton()->isEnabled());
    setCustom(2, "d");
    QVERIFY(startButton()->isEnabled());
    QCOMPARE(statusLine()->countText(), QStringLiteral("共2个项目"));
    find<QSpinBox>("custormCreatePage", "createCountSpinBox")->setValue(0);
    QVERIFY(!startButton()->isEnabled());
    QCOMPARE(statusLine()->countText(), QStringLiteral("共0个项目"));
}

void TestCreatePage::customNames_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("position");      // position button
    QTest::addColumn<int>("after");             // characters before an inserted part
    QTest::addColumn<QString>("type");          // type button
    QTest::addColumn<QVector<int>>("numbers");  // start, increment, digits (numbers) or start, increment (letters)
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("start values") << 3 << "firstBtn" << 0 << "numbderBtn" << QVector<int>{0, 0, 1}
                                  << repeated("0新建文件", 3);
    QTest::newRow("numbers at the end, two digits")
        << 3 << "lastBtn" << 0 << "numbderBtn" << QVector<int>{8, 1, 2} << QStringList({"新建文件08", "新建文件09", "新建文件10"});
    QTest::newRow("negative start") << 2 << "firstBtn" << 0 << "numbderBtn" << QVector<int>{-5, 0, 3}
                                    << repeated("0-5新建文件", 2);
    QTest::newRow("negative step") << 3 << "lastBtn" << 0 << "numbderBtn" << QVector<int>{1, -1, 1}
                                   << QStringList({"新建文件1", "新建文件0", "新建文件-1"});
    QTest::newRow("inserted after 2") << 2 << "custormPosBtn" << 2 << "numbderBtn" << QVector<int>{1, 1, 1}
                                      << QStringList({"新建1文件", "新建2文件"});
    QTest::newRow("inserted beyond the end")
        << 1 << "custormPosBtn" << 6 << "numbderBtn" << QVector<int>{7, 0, 1} << QStringList({"新建文件  7"});
    QTest::newRow("letters b step 2") << 3 << "firstBtn" << 0 << "charBtn" << QVector<int>{11, 2}
                                      << QStringList({"b新建文件", "d新建文件", "f新建文件"});
    QTest::newRow("letters from z") << 2 << "lastBtn" << 0 << "charBtn" << QVector<int>{35, 1}
                                    << QStringList({"新建文件z", "新建文件a"});
}

void TestCreatePage::customNames()
{
    QFETCH(int, count);
    QFETCH(QString, position);
    QFETCH(int, after);
    QFETCH(QString, type);
    QFETCH(QVector<int>, numbers);
    QFETCH(QStringList, expected);

    showCustom();
    chooseFolder("custormCreatePage", m_out);
    click("custormCreatePage", qPrintable(position));
    QCOMPARE(find<QWidget>("custormCreatePage", "custormPosWidget")->isVisible(), position == "custormPosBtn");
    if (position == "custormPosBtn")
        find<QSpinBox>("custormCreatePage", "numberBehindCountSpinBox")->setValue(after);
    click("custormCreatePage", qPrintable(type));
    if (type == "numbderBtn") {
        QVERIFY(find<QWidget>("custormCreatePage", "numberPage")->isVisible());
        find<QSpinBox>("custormCreatePage", "startNumberSpinBox")->setValue(numbers.at(0));
        find<QSpinBox>("custormCreatePage", "incrementNumberSpinBox")->setValue(numbers.at(1));
        find<QSpinBox>("custormCreatePage", "numberCountSpinBox")->setValue(numbers.at(2));
    } else {
        QVERIFY(find<QWidget>("custormCreatePage", "charPage")->isVisible());
        find<QSpinBox>("custormCreatePage", "startCharSpinBox")->setValue(numbers.at(0));
        find<QSpinBox>("custormCreatePage", "incrementCharSpinBox")->setValue(numbers.at(1));
    }
    setCustom(count, "新建文件");

    QCOMPARE(names(), expected);
    QStringList paths;
    for (const QString &name : expected)
        paths.append(m_out + '/' + name);
    QCOMPARE(column(CreateFileEmpty::PathColumn), paths);
    QCOMPARE(statuses(), repeated("待操作", expected.size()));
    QVERIFY(!placeholderShown());
    QVERIFY(startButton()->isEnabled());
}

void TestCreatePage::randomAndTimeNames_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("listIndex"); // random rule or time style
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("random letters") << "randomBtn" << 1 << 4 << "^[A-Za-z]{4}新建文件$";
    QTest::newRow("random digits") << "randomBtn" << 0 << 6 << "^[0-9]{6}新建文件$";
    QTest::newRow("random mixed") << "randomBtn" << 2 << 3 << "^[A-Za-z0-9]{3}新建文件$";
    QTest::newRow("time style 0") << "timeBtn" << 0 << 0 << "^\\d{4}-\\d\\d-\\d\\d新建文件$";
    QTest::newRow("time style 1") << "timeBtn" << 1 << 0 << "^\\d{4}年\\d{1,2}月\\d{1,2}日新建文件$";
    // The sample of style 3 shows the minutes between curly quotes, not the letters mm.
    QTest::newRow("time style 3") << "timeBtn" << 3 << 0 << "^\\d{4}-\\d\\d-\\d\\d \\d\\d‘\\d\\d’\\d\\d新建文件$";
    QTest::newRow("time style 5") << "timeBtn" << 5 << 0 << "^\\d{4}年\\d{1,2}月\\d{1,2}日 \\d\\d时\\d\\d分\\d\\d秒新建文件$";
    QTest::newRow("time style 6") << "timeBtn" << 6 << 0 << "^\\d{14}新建文件$";
}

void TestCreatePage::randomAndTimeNames()
{
    QFETCH(QString, type);
    QFETCH(int, listIndex);
    QFETCH(int, length);
    QFETCH(QString, pattern);

    showCustom();
    click("custormCreatePage", qPrintable(type));
    if (type == "randomBtn") {
        QVERIFY(find<QWidget>("custormCreatePage", "randomPage")->isVisible());
        find<QComboBox>("custormCreatePage", "randomRuleComboBox")->setCurrentIndex(listIndex);
        find<QSpinBox>("custormCreatePage", "charCountSpinBox")->setValue(length);
    } else {
        QVERIFY(find<QWidget>("custormCreatePage", "timePage")->isVisible());
        find<QComboBox>("custormCreatePage", "timeStyleComboBox")->setCurrentIndex(listIndex);
    }
    setCustom(5, "新建文件");

    const QStringList planned = names();
    QCOMPARE(planned.size(), 5);
    const QRegularExpression re(pattern);
    for (const QString &name : planned)
        QVERIFY2(re.match(name).hasMatch(), qPrintable(name));

    if (type == "randomBtn" && length >= 4) {
        // Each item draws its own characters, and each regeneration draws anew.
        QVERIFY(QSet<QString>(planned.begin(), planned.end()).size() > 1);
        setCustom(5, "新建文件");
        QVERIFY(names() != planned);
    }
}

void TestCreatePage::timeTypeHidden()
{
    showCustom();
    click("custormCreatePage", "timeBtn");
    QVERIFY(find<QWidget>("custormCreatePage", "timeStyleComboBox")->isVisible());
    auto *timeType = find<QComboBox>("custormCreatePage", "timeTypeComboBox");
    QVERIFY(timeType);
    QVERIFY(!timeType->isVisible());
    QCOMPARE(timeType->count(), 3);
    auto *label = find<QLabel>("custormCreatePage", "timeTypeLabel");
    QVERIFY(label && !label->isVisible());
    QCOMPARE(find<QComboBox>("custormCreatePage", "timeStyleComboBox")->itemText(3), QString("2000-01-01 16‘00’00"));
}

void TestCreatePage::createEachType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QStringList>("created");

    QTest::newRow("folders") << 0 << QString() << QStringList({"0报告", "0报告(1)"});
    QTest::newRow("Word") << 1 << "Word.docx" << QStringList({"0报告(1).docx", "0报告.docx"});
    QTest::newRow("Excel") << 2 << "Excel.xlsx" << QStringList({"0报告(1).xlsx", "0报告.xlsx"});
    QTest::newRow("PPT") << 3 << "PPT.pptx" << QStringList({"0报告(1).pptx", "0报告.pptx"});
    QTest::newRow("PDF") << 4 << "PDF.pdf" << QStringList({"0报告(1).pdf", "0报告.pdf"});
    QTest::newRow("TXT") << 5 << "Txt.txt" << QStringList({"0报告(1).txt", "0报告.txt"});
}

void TestCreatePage::createEachType()
{
    QFETCH(int, type);
    QFETCH(QString, templateName);
    QFETCH(QStringList, created);

    showCustom();
    chooseFolder("custormCreatePage", m_out);
    chooseType("custormCreatePage", type);
    setCustom(2, "报告");
    // The path column never shows an extension.
    QCOMPARE(column(CreateFileEmpty::PathColumn), repeated(m_out + "/0报告", 2));
    start();

    QCOMPARE(statuses(), repeated("成功", 2));
    QCOMPARE(onDisk(m_out), created);
    QVERIFY(warnings().isEmpty());
    for (const QString &name : created) {
        if (templateName.isEmpty())
            QVERIFY(QFileInfo(m_out + '/' + name).isDir());
        else
            QCOMPARE(contentOf(m_out + '/' + name), contentOf(m_templates + "/template/" + templateName));
    }
    // The shared plan never sees the statuses of a job.
    for (const PlannedItem &item : customPlan().items)
        QCOMPARE(item.status, 0);
}

void TestCreatePage::conflicts_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("resolved") << true << QStringList({"a1.docx"}) << QStringList({"成功", "成功"})
                              << QStringList({"a1(1).docx", "a1.docx", "a2.docx"}) << QStringList();
    QTest::newRow("resolved past (1)") << true << QStringList({"a1.docx", "a1(1).docx"}) << QStringList({"成功", "成功"})
                                       << QStringList({"a1(1).docx", "a1(2).docx", "a1.docx", "a2.docx"})
                                       << QStringList();
    QTest::newRow("not resolved") << false << QStringList({"a1.docx"}) << QStringList({"失败", "成功"})
                                  << QStringList({"a1.docx", "a2.docx"}) << QStringList({"%1/a1.docx"});
    // A folder of the file's name is no file to replace either.
    QTest::newRow("folder in the way") << false << QStringList({"a1.docx/"}) << QStringList({"失败", "成功"})
                                       << QStringList({"a1.docx", "a2.docx"}) << QStringList({"%1/a1.docx"});
}

void TestCreatePage::conflicts()
{
    QFETCH(bool, resolve);
    QFETCH(QStringList, existing);
    QFETCH(QStringList, statuses);
    QFETCH(QStringList, after);
    QFETCH(QStringList, warnings);

    for (const QString &name : existing) {
        if (name.endsWith('/'))
            makeDir(m_out, name);
        else
            makeFile(m_out, name, "mine");
    }
    showCustom();
    chooseFolder("custormCreatePage", m_out);
    chooseType("custormCreatePage", 1);
    click("custormCreatePage", "lastBtn");
    find<QSpinBox>("custormCreatePage", "startNumberSpinBox")->setValue(1);
    find<QSpinBox>("custormCreatePage", "incrementNumberSpinBox")->setValue(1);
    setCustom(2, "a");
    auto *check = find<CustormCheckBox>("custormCreatePage", "autoNameErrorCheck");
    QCOMPARE(check->isChecked(), true);
    if (!resolve) {
        // Takes effect for the next job with no other change.
        check->findChild<QCheckBox *>()->click();
        QVERIFY(!check->isChecked());
    }
    start();

    QCOMPARE(this->statuses(), statuses);
    QCOMPARE(onDisk(m_out), after);
    QStringList expected;
    for (const QString &w : warnings)
        expected.append(fileFailure(w.arg(m_out)));
    QCOMPARE(this->warnings(), expected);
    // What was there is untouched.
    for (const QString &name : existing) {
        if (!name.endsWith('/'))
            QCOMPARE(contentOf(m_out + '/' + name), QByteArray("mine"));
    }
}

void TestCreatePage::existingFolderWithoutResolution()
{
    makeDir(m_out, "0a");
    showCustom();
    chooseFolder("custormCreatePage", m_out);
    setCustom(1, "a");
    find<CustormCheckBox>("custormCreatePage", "autoNameErrorCheck")->findChild<QCheckBox *>()->click();
    start();
    // Left alone, silently: the row keeps its status.
    QCOMPARE(statuses(), QStringList({"待操作"}));
    QVERIFY(warnings().isEmpty());
    QCOMPARE(onDisk(m_out), QStringList({"0a"}));

    find<CustormCheckBox>("custormCreatePage", "autoNameErrorCheck")->findChild<QCheckBox *>()->click();
    start();
    QCOMPARE(statuses(), QStringList({"成功"}));
    QCOMPARE(onDisk(m_out), QStringList({"0a", "0a(1)"}));
}

void TestCreatePage::secondStart()
{
    showCustom();
    chooseFolder("custormCreatePage", m_out);
    chooseType("custormCreatePage", 5);
    click("custormCreatePage", "lastBtn");
    find<QSpinBox>("custormCreatePage", "incrementNumberSpinBox")->setValue(1);
    setCustom(2, "report.final");
    start();
    start();
    QCOMPARE(statuses(), repeated("成功", 2));
    QCOMPARE(onDisk(m_out), QStringList({"report.final0(1).txt", "report.final0.txt", "report.final1(1).txt",
                                         "report.final1.txt"}));
    QCOMPARE(statusLine()->summaryText(), QStringLiteral("已完成：成功2个，失败0个"));
}

void TestCreatePage::hostileNamesFromWorkbook_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("folders") << 0;
    QTest::newRow("Word") << 1;
}

void TestCreatePage::hostileNamesFromWorkbook()
{
    QFETCH(int, type);
    const QString workbook = m_root + "/names.xlsx";
    QVERIFY(writeNames(workbook, {"../x", "a/b", "ok", "..", ".", "/tmp/abs"}));
    makeDir(m_out, "a");
    const QStringList before = onDisk(m_root);

    chooseFolder("importCreatePage", m_out);
    chooseType("importCreatePage", type);
    chooseWorkbook(workbook);
    QTRY_COMPARE(names(), QStringList({"../x", "a/b", "ok", "..", ".", "/tmp/abs"}));
    start();

    QCOMPARE(statuses(), QStringList({"失败", "失败", "成功", "失败", "失败", "失败"}));
    // Nothing outside the target folder, nothing below its subfolder.
    QCOMPARE(onDisk(m_root), before);
    QCOMPARE(onDisk(m_out + "/a"), QStringList());
    QCOMPARE(onDisk(m_out), QStringList({"a", type == 0 ? "ok" : "ok.docx"}));
    // Five failures: three warnings one by one, then one for the rest.
    const QString ext = type == 0 ? QString() : QStringLiteral(".docx");
    const auto message = [&](const QString &name) {
        const QString path = m_out + '/' + name + ext;
        return type == 0 ? folderFailure(path) : fileFailure(path);
    };
    QCOMPARE(warnings(), QStringList({message("../x"), message("a/b"), message(".."),
                                      "另有2个项目操作失败，请查看列表中的状态"}));
}

void TestCreatePage::nameTooLong()
{
    const QString workbook = m_root + "/names.xlsx";
    const QString longName = QString(300, QChar(u'长'));
    QVERIFY(writeNames(workbook, {longName, "短"}));
    chooseFolder("importCreatePage", m_out);
    chooseType("importCreatePage", 5);
    chooseWorkbook(workbook);
    QTRY_COMPARE(names().size(), 2);
    start();
    QCOMPARE(statuses(), QStringList({"失败", "成功"}));
    QCOMPARE(onDisk(m_out), QStringList({"短.txt"}));
    QCOMPARE(warnings(), QStringList({fileFailure(m_out + '/' + longName + ".txt")}));
}

void TestCreatePage::importFromWorkbook()
{
    const QString workbook = m_root + "/names.xlsx";
    // An empty row between names, and a row whose column A is empty but B holds a name.
    QVERIFY(writeWorkbook(workbook, {{"一"}, {"二"}, {}, {"", "报告"}, {"三", "ignored"}}));
    chooseFolder("importCreatePage", m_out);
    chooseType("importCreatePage", 2);
    chooseWorkbook(workbook);
    QVERIFY(find<QWidget>("importCreatePage", "hasExportExcelwidget")->isVisible());
    QVERIFY(!find<QWidget>("importCreatePage", "importExcelBtn")->isVisible());
    QTRY_COMPARE(names(), QStringList({"一", "二", "报告", "三"}));
    QVERIFY(startButton()->isEnabled());
    start();
    QCOMPARE(statuses(), repeated("成功", 4));
    QCOMPARE(onDisk(m_out), QStringList({"一.xlsx", "三.xlsx", "二.xlsx", "报告.xlsx"}));
    QCOMPARE(contentOf(m_out + "/报告.xlsx"), contentOf(m_templates + "/template/Excel.xlsx"));

    // A second workbook replaces every item of the first.
    const QString second = m_root + "/second.xlsx";
    QVERIFY(writeNames(second, {"甲", "乙"}));
    chooseWorkbook(second);
    QTRY_COMPARE(names(), QStringList({"甲", "乙"}));
    QCOMPARE(statuses(), repeated("待操作", 2));
}

void TestCreatePage::importNotAWorkbook()
{
    const QString fake = makeFile(m_root, "fake.xlsx", "just text");
    const QString workbook = m_root + "/names.xlsx";
    QVERIFY(writeNames(workbook, {"一"}));
    chooseWorkbook(workbook);
    QTRY_COMPARE(names(), QStringList({"一"}));

    chooseWorkbook(fake);
    QTRY_COMPARE(warnings(), QStringList({"请确保文件是正确的xlsx格式！"}));
    QTRY_VERIFY(importPlan().items.isEmpty());
    QTRY_VERIFY(placeholderShown());
}

void TestCreatePage::importCapacity()
{
    QStringList rows;
    for (int i = 0; i < 3001; ++i)
        rows.append(QString::number(i));
    const QString workbook = m_root + "/many.xlsx";
    QVERIFY(writeNames(workbook, rows));
    chooseWorkbook(workbook);
    QTRY_COMPARE(m_list->table()->rowCount(), 3000);
    QCOMPARE(names().last(), QString("2999"));
    QTRY_COMPARE(warnings(), QStringList({"文件总数超过3000，请分批次处理！"}));
}

void TestCreatePage::importKeepsNamesOnTypeChange()
{
    const QString workbook = m_root + "/names.xlsx";
    QVERIFY(writeNames(workbook, {"报告"}));
    chooseFolder("importCreatePage", m_out);
    chooseWorkbook(workbook);
    QTRY_COMPARE(names(), QStringList({"报告"}));
    chooseType("importCreatePage", 1);
    QCOMPARE(importPlan().creationType, 1);
    QCOMPARE(names(), QStringList({"报告"}));
    QCOMPARE(column(CreateFileEmpty::PathColumn), QStringList({m_out + "/报告"}));
    start();
    QCOMPARE(onDisk(m_out), QStringList({"报告.docx"}));
}

void TestCreatePage::lastAnnouncementWins()
{
    // A read that ends after the user moved to the custom page still replaces the rows, and the start
    // button then creates the imported items.
    chooseFolder("importCreatePage", m_out);
    showCustom();
    setCustom(2, "自定义");
    QCOMPARE(names(), repeated("0自定义", 2));
    QCoreApplication::postEvent(m_page->propertyWidget()->importPage(),
                                new MyCustomEvent(QVariantList{QStringList{"导入"}}));
    QTRY_COMPARE(names(), QStringList({"导入"}));
    start();
    QCOMPARE(onDisk(m_out), QStringList({"导入"}));
}

void TestCreatePage::switchingPagesShowsEachPlan()
{
    showCustom();
    chooseFolder("custormCreatePage", m_out);
    setCustom(3, "x");
    start();
    QCOMPARE(statuses(), repeated("成功", 3));

    // The import page has no workbook: no rows, nothing to start.
    showImport();
    QVERIFY(placeholderShown());
    QVERIFY(!startButton()->isEnabled());
    QTest::mouseClick(startButton(), Qt::LeftButton);
    QCOMPARE(onDisk(m_out).size(), 3);

    showCustom();
    QCOMPARE(names(), repeated("0x", 3));
    QCOMPARE(statuses(), repeated("待操作", 3));
    // Clicking the checked mode button again adopts the page's plan again.
    start();
    showCustom();
    QCOMPARE(statuses(), repeated("待操作", 3));
}

void TestCreatePage::sortKeepsStatuses()
{
    const QString workbook = m_root + "/names.xlsx";
    // a/x fails, and its status must stay on its row.
    QVERIFY(writeNames(workbook, {"b10", "a/x", "b2"}));
    chooseFolder("importCreatePage", m_out);
    chooseType("importCreatePage", 5);
    chooseWorkbook(workbook);
    QTRY_COMPARE(names(), QStringList({"b10", "a/x", "b2"}));
    start();
    QCOMPARE(statuses(), QStringList({"成功", "失败", "成功"}));

    QHeaderView *header = m_list->table()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
    QCOMPARE(names(), QStringList({"a/x", "b2", "b10"}));
    QCOMPARE(statuses(), QStringList({"失败", "成功", "成功"}));
    // Clicks on the status column neither sort nor turn the direction.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 20, header->height() / 2));
    QCOMPARE(names(), QStringList({"a/x", "b2", "b10"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 20, header->height() / 2));
    QCOMPARE(names(), QStringList({"b10", "b2", "a/x"}));
    QCOMPARE(statuses(), QStringList({"成功", "成功", "失败"}));
}

void TestCreatePage::deleteRows()
{
    showCustom();
    chooseFolder("custormCreatePage", m_out);
    click("custormCreatePage", "lastBtn");
    find<QSpinBox>("custormCreatePage", "incrementNumberSpinBox")->setValue(1);
    setCustom(3, "d");
    const auto clickDelete = [&](int row) {
        const QRect cell = cellRect(row, CreateFileEmpty::OperateColumn);
        const QPoint pos = m_list->table()->actionDelegate()->buttonRect(cell, "deleteBtn").center();
        QTest::mouseClick(m_list->table()->viewport(), Qt::LeftButton, {}, pos);
    };
    // Only the delete button shows in the action cell.
    const QRect cell = cellRect(0, CreateFileEmpty::OperateColumn);
    QVERIFY(!m_list->table()->actionDelegate()->buttonRect(cell, "deleteBtn").isEmpty());
    QVERIFY(m_list->table()->actionDelegate()->buttonRect(cell, "openBtn").isEmpty());
    QVERIFY(m_list->table()->actionDelegate()->buttonRect(cell, "sortBtn").isEmpty());

    clickDelete(1);
    QCOMPARE(names(), QStringList({"d0", "d2"}));
    QCOMPARE(m_list->currentPlan().items.size(), 2);
    // The shared plan keeps every item.
    QCOMPARE(customPlan().items.size(), 3);
    start();
    QCOMPARE(onDisk(m_out), QStringList({"d0", "d2"}));

    clickDelete(0);
    clickDelete(0);
    QVERIFY(placeholderShown());
    QVERIFY(!startButton()->isEnabled());
    // The next announcement of the plan brings every item back.
    click("custormCreatePage", "lastBtn");
    QCOMPARE(names(), QStringList({"d0", "d1", "d2"}));
    QVERIFY(startButton()->isEnabled());
}

void TestCreatePage::missingTemplate()
{
    const QString empty = makeDir(m_root, "nodata");
    m_list->setDataFolder(empty);
    showCustom();
    chooseFolder("custormCreatePage", m_out);
    chooseType("custormCreatePage", 1);
    setCustom(2, "w");
    start();
    QCOMPARE(statuses(), repeated("失败", 2));
    QCOMPARE(onDisk(m_out), QStringList());
    // The message names the missing template, not a permission the folder has.
    QCOMPARE(warnings(), repeated(QStringLiteral("文件模板缺失或不是普通文件，未能创建文件“%1”！").arg(m_out + "/0w.docx"), 2));

    // Folders need no template.
    chooseType("custormCreatePage", 0);
    start();
    QCOMPARE(statuses(), repeated("成功", 2));
    QCOMPARE(onDisk(m_out), QStringList({"0w", "0w(1)"}));
}

void TestCreatePage::targetFolderGone()
{
    const QString gone = makeDir(m_root, "gone");
    showCustom();
    chooseFolder("custormCreatePage", gone);
    setCustom(2, "g");
    QVERIFY(QDir(gone).removeRecursively());
    start();
    QCOMPARE(statuses(), repeated("失败", 2));
    // The folder is not made again behind the user's back.
    QVERIFY(!QFileInfo::exists(gone));
    QCOMPARE(warnings(), QStringList({folderFailure(gone + "/0g"), folderFailure(gone + "/0g")}));
}

void TestCreatePage::readOnlyTarget()
{
    if (geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    const QString locked = makeDir(m_root, "locked");
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    showCustom();
    chooseFolder("custormCreatePage", locked);
    chooseType("custormCreatePage", 4);
    click("custormCreatePage", "lastBtn");
    find<QSpinBox>("custormCreatePage", "incrementNumberSpinBox")->setValue(1);
    setCustom(50, "p");
    start();
    QCOMPARE(statuses(), repeated("失败", 50));
    QCOMPARE(onDisk(locked), QStringList());
    // Fifty failures do not mean fifty dialogs.
    QCOMPARE(warnings(), QStringList({fileFailure(locked + "/p0.pdf"), fileFailure(locked + "/p1.pdf"),
                                      fileFailure(locked + "/p2.pdf"), "另有47个项目操作失败，请查看列表中的状态"}));
}

void TestCreatePage::cancelledFolderDialog()
{
    showCustom();
    chooseFolder("custormCreatePage", m_out);
    ModalAnswerer cancel("folder dialog", ModalAnswerer::reject());
    click("custormCreatePage", "replacePathLabel");
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(find<QPushButton>("custormCreatePage", "replacePathLabel")->text(), m_out);
    QCOMPARE(customPlan().targetFolder, m_out);

    ModalAnswerer cancelAgain("folder dialog", ModalAnswerer::reject());
    click("importCreatePage", "replacePathLabel");
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(importPlan().targetFolder, defaultTargetFolder());
}

void TestCreatePage::reset()
{
    auto *panel = m_page->propertyWidget();
    QTRY_VERIFY(panel->defaultsRecorded());
    const QString workbook = m_root + "/names.xlsx";
    QVERIFY(writeNames(workbook, {"一", "二"}));
    chooseFolder("importCreatePage", m_out);
    chooseType("importCreatePage", 3);
    chooseWorkbook(workbook);
    QTRY_COMPARE(names().size(), 2);

    showCustom();
    chooseFolder("custormCreatePage", m_out);
    chooseType("custormCreatePage", 2);
    click("custormCreatePage", "custormPosBtn");
    find<QSpinBox>("custormCreatePage", "numberBehindCountSpinBox")->setValue(3);
    click("custormCreatePage", "charBtn");
    find<QSpinBox>("custormCreatePage", "startCharSpinBox")->setValue(20);
    find<CustormCheckBox>("custormCreatePage", "autoNameErrorCheck")->findChild<QCheckBox *>()->click();
    setCustom(4, "改过");
    QCOMPARE(names().size(), 4);

    click(nullptr, "resetBtn");

    // The custom page and its plan are back at their start.
    QVERIFY(find<QAbstractButton>("custormCreatePage", "firstBtn")->isChecked());
    QVERIFY(find<QAbstractButton>("custormCreatePage", "numbderBtn")->isChecked());
    QVERIFY(!find<QWidget>("custormCreatePage", "custormPosWidget")->isVisible());
    QCOMPARE(find<QSpinBox>("custormCreatePage", "createCountSpinBox")->value(), 0);
    QCOMPARE(find<QLineEdit>("custormCreatePage", "createNamelineEdit")->text(), QString("新建文件"));
    QCOMPARE(find<QComboBox>("custormCreatePage", "exportTypeCombox")->currentIndex(), 0);
    QCOMPARE(find<QSpinBox>("custormCreatePage", "startCharSpinBox")->value(), 10);
    QVERIFY(find<CustormCheckBox>("custormCreatePage", "autoNameErrorCheck")->isChecked());
    QCOMPARE(find<QPushButton>("custormCreatePage", "replacePathLabel")->text(), defaultTargetFolder());
    const CustormCreate *custom = panel->custormPage();
    QCOMPARE(custom->rules().numberPosition, 0);
    QCOMPARE(custom->rules().numberType, 0);
    QCOMPARE(custom->rules().numberAfter, 0);
    QCOMPARE(custom->rules().startLetter, 1);
    QCOMPARE(customPlan().creationType, 0);
    QCOMPARE(customPlan().targetFolder, defaultTargetFolder());
    QVERIFY(customPlan().items.isEmpty());
    QVERIFY(customPlan().autoResolve);

    // So is the import page.
    QVERIFY(find<QWidget>("importCreatePage", "importExcelBtn")->isVisibleTo(panel->importPage()));
    QVERIFY(!find<QWidget>("importCreatePage", "hasExportExcelwidget")->isVisibleTo(panel->importPage()));
    QCOMPARE(find<QComboBox>("importCreatePage", "exportTypeCombox")->currentIndex(), 0);
    QCOMPARE(find<QPushButton>("importCreatePage", "replacePathLabel")->text(), defaultTargetFolder());
    QCOMPARE(panel->importPage()->workbookPath(), QString());
    QCOMPARE(importPlan().creationType, 0);
    QCOMPARE(importPlan().targetFolder, defaultTargetFolder());
    QVERIFY(importPlan().items.isEmpty());

    // The list shows the (empty) import plan; the mode buttons stay where they were.
    QVERIFY(placeholderShown());
    QVERIFY(find<QAbstractButton>(nullptr, "custormBtn")->isChecked());

    // The rules work from the start values again.
    setCustom(2, "新");
    QCOMPARE(names(), repeated("0新", 2));
}

// Pictures of the page for a person to look at, in both modes with planned items; written only when
// QUORLIN_SCREENSHOT_DIR names a folder.
void TestCreatePage::screenshots()
{
    const QString folder = qEnvironmentVariable("QUORLIN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        QSKIP("set QUORLIN_SCREENSHOT_DIR to write the pictures");
    QVERIFY(QDir().mkpath(folder));
    QFile qss(":/qss/main.qss");
    QVERIFY(qss.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(qss.readAll()));
    const auto shoot = [&](const QString &name) {
        QApplication::processEvents();
        QVERIFY(m_window->grab().save(folder + '/' + name + ".png"));
    };
    shoot("create-empty");

    const QString workbook = m_root + "/names.xlsx";
    QVERIFY(writeNames(workbook, {"项目计划书", "季度报告", "../逃出去", "会议纪要", "a/b", "预算表"}));
    chooseFolder("importCreatePage", m_out);
    chooseType("importCreatePage", 1);
    chooseWorkbook(workbook);
    QTRY_COMPARE(names().size(), 6);
    shoot("create-import");
    start();
    shoot("create-import-done");

    showCustom();
    chooseFolder("custormCreatePage", m_out);
    chooseType("custormCreatePage", 2);
    click("custormCreatePage", "custormPosBtn");
    find<QSpinBox>("custormCreatePage", "numberBehindCountSpinBox")->setValue(2);
    find<QSpinBox>("custormCreatePage", "numberCountSpinBox")->setValue(3);
    find<QSpinBox>("custormCreatePage", "incrementNumberSpinBox")->setValue(1);
    setCustom(12, "新建文件");
    shoot("create-custom");
    click("custormCreatePage", "timeBtn");
    shoot("create-custom-time");
    click("custormCreatePage", "randomBtn");
    shoot("create-custom-random");
    click("custormCreatePage", "charBtn");
    m_window->resize(1100, 700);
    shoot("create-custom-small");
    qApp->setStyleSheet(QString());
}

QTEST_MAIN(TestCreatePage)
#include "tst_createpage.moc"
