// The main window driven from the keyboard, and what helps reading it: Tab order, shortcuts, dialog keys,
// legible drop-down lists and selected rows, tooltips, and the folders and window state remembered in the
// user's settings (a temporary settings folder here, never the real one).
#include "testutil_engine.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "app/applicationstartup.h"
#include "app/keyboardfocus.h"
#include "app/mainwindow.h"
#include "app/qttranslations.h"
#include "filelist/customtabelwidget.h"
#include "filelist/pickerfolders.h"
#include "filelist/startfolder.h"
#include "rename/filelistwidget.h"
#include "rename/renamepage.h"
#include "rename/renamepagewidget.h"
#include "rename/renamepropertywidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace FileListTest;

namespace {

// WCAG contrast of the text in area against the background at its right end, where no text reaches: the
// strongest pixel of the glyphs is the text colour.
double textContrast(const QImage &image, const QRect &area)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double background = luminance(image.pixelColor(area.right() - 3, area.center().y()));
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x < area.right() - 3; ++x) {
            const double text = luminance(image.pixelColor(x, y));
            best = qMax(best, (qMax(text, background) + 0.05) / (qMin(text, background) + 0.05));
        }
    }
    return best;
}

// Keys to the control of the dialog that has the focus, as the keyboard sends them.
void pressIn(QDialog *dialog, const QList<int> &keys)
{
    QApplication::setActiveWindow(dialog);
    for (int key : keys)
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key(key));
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void tabWalksInReadingOrder();
    void outlineFollowsKeyboard();
    void shortcuts_data();
    void shortcuts();
    void deleteAndSelectAll();
    void dialogKeys_data();
    void dialogKeys();
    void helpThatCannotOpenSaysWhere();
    void dropDownListsAndSelectionAreLegible();
    void iconOnlyButtonsSayWhatTheyDo();
    void pickerOpensWhereLastUsed();
    void windowComesBackAsLeft();
    void qtTextsInUserLanguage();

private:
    RenamePage *page() const { return m_window->findChild<RenamePage *>(QStringLiteral("fileRenamePage")); }
    FileListWidget *list() const { return page()->editWidget()->fileList(); }
    QWidget *focused() const { return QApplication::focusWidget(); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void showWithFiles(int count);

    QTemporaryDir m_settings;
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<UrlCatcher> m_urls;
};

void TestKeyboard::initTestCase()
{
    // Before the first QSettings: the user's own settings are never read or written.
    QCoreApplication::setOrganizationName(QStringLiteral("QuorlinTest"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QVERIFY(QSettings().fileName().startsWith(m_settings.path()));
    ApplicationStartup::applyStyleSheet(*qApp, ApplicationStartup::styleSheetResource());
}

void TestKeyboard::init()
{
    QSettings().clear();
    m_window = std::make_unique<MainWindow>();
    m_urls = std::make_unique<UrlCatcher>();
}

void TestKeyboard::cleanup()
{
    m_urls.reset();
    m_window.reset();
}

void TestKeyboard::press(int key, Qt::KeyboardModifiers modifiers)
{
    // A window manager activates the window again when a dialog closes; offscreen does not.
    if (!QApplication::activeWindow())
        QApplication::setActiveWindow(m_window.get());
    QTest::keyClick(focused() ? focused() : m_window.get(), Qt::Key(key), modifiers);
}

void TestKeyboard::showWithFiles(int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths << makeFile(m_dir.path(), QStringLiteral("IMG_%1.jpg").arg(i));
    list()->addFiles(paths);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestKeyboard::tabWalksInReadingOrder()
{
    showWithFiles(3);
    const auto pageButtons = m_window->findChild<QButtonGroup *>(QStringLiteral("swtichPageBtnGroup"))->buttons();
    pageButtons.first()->setFocus(Qt::TabFocusReason);
    // 0 page buttons, 1 toolbar, 2 list, 3 panel, 4 bottom buttons, 5 title bar.
    auto partOf = [&](QWidget *w) {
        const QString name = w->objectName();
        return pageButtons.contains(qobject_cast<QAbstractButton *>(w))            ? 0
            : w == list()->table()                                                 ? 2
            : page()->editWidget()->isAncestorOf(w)                                ? 1
            : name == QLatin1String("resetBtn") || name == QLatin1String("setBtn") ? 4
            : page()->propertyWidget()->isAncestorOf(w)                            ? 3
                                                                                   : 5;
    };
    QVector<int> parts;
    QStringList names;
    do {
        parts << partOf(focused());
        names << focused()->objectName();
        press(Qt::Key_Tab);
    } while (focused() != pageButtons.first() && names.size() < 80);
    QVERIFY2(std::is_sorted(parts.begin(), parts.end()) && parts.count(2) == 1, qPrintable(names.join(' ')));
    QCOMPARE(names.mid(names.indexOf("setBtn")), (QStringList{"setBtn", "onlineHelp", "settingBtn"}));

    // Arrows move inside the table; Tab leaves it for the panel, Shift+Tab comes back.
    list()->table()->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Down);
    QCOMPARE(list()->table()->currentRow(), 1);
    press(Qt::Key_Tab);
    QVERIFY(page()->propertyWidget()->isAncestorOf(focused()));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focused(), list()->table());
}

void TestKeyboard::outlineFollowsKeyboard()
{
    showWithFiles(1);
    auto *focus = m_window->findChild<KeyboardFocus *>();
    page()->findChild<QAbstractButton *>(QStringLiteral("addFile"))->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    QCOMPARE(focus->outlined(), page()->findChild<QWidget *>(QStringLiteral("addFolder")));
    // A click hides it; the table outlines its own current row.
    QTest::mouseClick(page()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), Qt::LeftButton);
    QCOMPARE(focus->outlined(), nullptr);
    list()->table()->setFocus(Qt::TabFocusReason);
    QCOMPARE(focus->outlined(), nullptr);
}

void TestKeyboard::shortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("toolTip");

    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << ctrl << "addFile" << true << "添加文件 (Ctrl+O)";
    QTest::newRow("Ctrl+Shift+O") << int(Qt::Key_O) << int(Qt::ControlModifier | Qt::ShiftModifier) << "addFolder"
                                  << true << "添加文件夹 (Ctrl+Shift+O)";
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << "undo" << true << "撤销修改 (Ctrl+Z)";
    QTest::newRow("Ctrl+Z disabled") << int(Qt::Key_Z) << ctrl << "undo" << false << "撤销修改 (Ctrl+Z)";
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << ctrl << "setBtn" << true << "开始命名 (Ctrl+Enter)";
    QTest::newRow("keypad Ctrl+Enter") << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier)
                                       << "setBtn" << true << "开始命名 (Ctrl+Enter)";
    QTest::newRow("Ctrl+Return disabled")
        << int(Qt::Key_Return) << ctrl << "setBtn" << false << "开始命名 (Ctrl+Enter)";
    // The page buttons carry their full text, which a narrow window elides.
    QTest::newRow("Ctrl+3") << int(Qt::Key_3) << ctrl << "fileTimePropertyBtn" << true << "文件时间属性 (Ctrl+3)";
    QTest::newRow("Ctrl+7") << int(Qt::Key_7) << ctrl << "batchCreateFolderBtn" << true << "批量生成文件夹 (Ctrl+7)";
}

void TestKeyboard::shortcuts()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, button);
    QFETCH(bool, enabled);
    QFETCH(QString, toolTip);
    showWithFiles(2);
    auto *target = page()->findChild<QAbstractButton *>(button);
    if (!target)
        target = m_window->findChild<QAbstractButton *>(button);
    QCOMPARE(target->toolTip(), toolTip);
    target->setEnabled(enabled);
    QSignalSpy clicked(target, &QAbstractButton::clicked);
    ModalAnswerer answerer(ModalAnswerer::reject());

    press(key, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(clicked.count(), enabled ? 1 : 0);
}

void TestKeyboard::deleteAndSelectAll()
{
    showWithFiles(4);
    CustomTabelWidget *table = list()->table();
    auto rowCentre = [table](int row) { return table->visualRect(table->model()->index(row, 0)).center(); };
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(2));
    // In a text field Delete and Ctrl+A are the field's own.
    page()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Delete);
    press(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(table->rowCount(), 4);

    table->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(list()->records().at(0).currentName, QStringLiteral("IMG_1.jpg"));
    QCOMPARE(list()->records().at(1).currentName, QStringLiteral("IMG_3.jpg"));
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("IMG_0.jpg"))));
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(!page()->propertyWidget()->findChild<QWidget *>(QStringLiteral("setBtn"))->isEnabled());
}

void TestKeyboard::dialogKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("closed");
    // The exit confirmation opens on 取消.
    QTest::newRow("Enter") << QList<int>{Qt::Key_Return} << false;
    QTest::newRow("Escape") << QList<int>{Qt::Key_Escape} << false;
    QTest::newRow("Shift+Tab, Enter") << QList<int>{Qt::Key_Backtab, Qt::Key_Return} << true;
    QTest::newRow("Shift+Tab, Space") << QList<int>{Qt::Key_Backtab, Qt::Key_Space} << true;
}

void TestKeyboard::dialogKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, closed);
    showWithFiles(0);
    {
        ModalAnswerer answerer(QStringLiteral("TipDialog"), [keys](QDialog *dialog) { pressIn(dialog, keys); });
        m_window->close();
    }
    QCOMPARE(m_window->isVisible(), !closed);
    // A warning: Enter presses 确定.
    ModalAnswerer enter(QStringLiteral("WarningDialog"), [](QDialog *dialog) { pressIn(dialog, {Qt::Key_Return}); });
    m_window->onPropertyValueChanged(QStringLiteral("MESSAGE ERROR TIP"), QString(), QStringLiteral("x"));
}

void TestKeyboard::helpThatCannotOpenSaysWhere()
{
    showWithFiles(0);
    press(Qt::Key_F1);
    QCOMPARE(m_urls->opened.size(), 1);
    const QUrl page = m_urls->opened.first();
    QVERIFY(page.toLocalFile().endsWith(QLatin1String("help/index.html")));

    // Offscreen there is no browser.
    m_urls.reset();
    EngineTest::WarningListener warnings;
    ModalAnswerer answerer;
    press(Qt::Key_F1);
    QCOMPARE(warnings.messages,
             QStringList{QStringLiteral("无法打开帮助中心，请在浏览器中打开：") + page.toString()});
}

void TestKeyboard::dropDownListsAndSelectionAreLegible()
{
    showWithFiles(3);
    const auto combos = m_window->findChildren<QComboBox *>();
    for (QComboBox *combo : combos) {
        if (combo->count() < 2)
            continue;
        combo->setCurrentIndex(0);
        combo->showPopup();
        QAbstractItemView *view = combo->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        const QImage image = view->viewport()->grab().toImage();
        // The current item (also the hovered one: the list follows the pointer) and another.
        for (int row : {0, 1}) {
            const double ratio = textContrast(image, view->visualRect(view->model()->index(row, 0)));
            QVERIFY2(ratio >= 4.5,
                     qPrintable(QStringLiteral("%1 row %2: %3").arg(combo->objectName()).arg(row).arg(ratio)));
        }
        combo->hidePopup();
    }

    // A selected row: all of it in the accent, its text readable.
    CustomTabelWidget *table = list()->table();
    table->selectRow(1);
    const QImage image = table->viewport()->grab().toImage();
    auto cellColour = [&](int row, int column) {
        return image.pixelColor(table->visualRect(table->model()->index(row, column)).topRight() + QPoint(-3, 10));
    };
    QVERIFY(cellColour(1, 0).blue() > cellColour(1, 0).red() + 40);
    QVERIFY(cellColour(0, 0).blue() < cellColour(0, 0).red() + 10);
    for (int column = 1; column < table->columnCount(); ++column)
        QCOMPARE(cellColour(1, column), cellColour(1, 0));
    QVERIFY(textContrast(image, table->visualRect(table->model()->index(1, 0))) >= 4.5);
}

void TestKeyboard::iconOnlyButtonsSayWhatTheyDo()
{
    QStringList silent;
    const auto buttons = m_window->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        // A switch is named by the label beside it; a path field ("...Label") shows its path as text once
        // there is one; a table's corner button is Qt's own.
        if (qobject_cast<QCheckBox *>(button) || !button->text().trimmed().isEmpty()
            || button->objectName().endsWith(QLatin1String("Label"))
            || qobject_cast<QAbstractItemView *>(button->parent()))
            continue;
        if (button->toolTip().isEmpty())
            silent << button->objectName();
    }
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(' ')));
}

void TestKeyboard::pickerOpensWhereLastUsed()
{
    using PickerFolders::Purpose;
    QTemporaryDir elsewhere;
    const QString photo = makeFile(elsewhere.path(), QStringLiteral("sub/photo.jpg"));
    const QString folder = QFileInfo(photo).absolutePath();
    showWithFiles(0);
    QStringList openedIn;
    for (bool choose : {true, false}) {
        ModalAnswerer answerer(QStringLiteral("QFileDialog"), [&](QDialog *dialog) {
            openedIn << qobject_cast<QFileDialog *>(dialog)->directory().absolutePath();
            choose ? ModalAnswerer::pickInFileDialog(folder, QStringLiteral("photo.jpg"))(dialog) : dialog->reject();
        });
        press(Qt::Key_O, Qt::ControlModifier);
    }
    QCOMPARE(openedIn, (QStringList{defaultUserFolder(), folder}));
    QCOMPARE(list()->table()->rowCount(), 1);
    // A remembered folder that is gone gives way to the desktop (or home); each purpose keeps its own.
    QVERIFY(QDir(folder).removeRecursively());
    QCOMPARE(PickerFolders::startFolder(Purpose::AddFiles), defaultUserFolder());
    PickerFolders::rememberFolder(Purpose::ExportFolder, elsewhere.path());
    QCOMPARE(PickerFolders::startFolder(Purpose::ExportFolder), elsewhere.path());
    QCOMPARE(PickerFolders::startFolder(Purpose::ImportWorkbook), defaultUserFolder());
}

void TestKeyboard::windowComesBackAsLeft()
{
    QVERIFY(!m_window->restoreRemembered());
    auto closeAndReopen = [](std::unique_ptr<MainWindow> &window) {
        ModalAnswerer answerer(QStringLiteral("TipDialog"), ModalAnswerer::clickButton(QStringLiteral("exitBtn")));
        window->close();
        window = std::make_unique<MainWindow>();
        QVERIFY(window->restoreRemembered());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    };
    m_window->show();
    m_window->setGeometry(40, 50, 1100, 700);
    m_window->findChild<QAbstractButton *>(QStringLiteral("collectFileNameBtn"))->click();
    closeAndReopen(m_window);
    QCOMPARE(m_window->geometry(), QRect(40, 50, 1100, 700));
    auto *pages = m_window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("collectFileNamePage"));
    m_window->showMaximized();
    closeAndReopen(m_window);
    QVERIFY(m_window->isMaximized());
}

void TestKeyboard::qtTextsInUserLanguage()
{
    QVERIFY(!QtTranslations::install(qApp, QLocale(QLocale::Tongan, QLocale::Tonga)));
    QVERIFY(QtTranslations::install(qApp, QLocale(QLocale::Chinese, QLocale::China)));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
