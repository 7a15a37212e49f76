// The main window driven from the keyboard, as a person without a mouse works it, and what helps reading
// it: Tab order, shortcuts, dialog keys, legible drop-down lists and selected rows, and the folders and
// window state remembered in the user's settings (a temporary settings folder here, never the real one).
#include "testutil_engine.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "app/applicationstartup.h"
#include "app/keyboardfocus.h"
#include "app/mainwindow.h"
#include "app/qttranslations.h"
#include "filelist/pickerfolders.h"
#include "filelist/startfolder.h"
#include "filelist/customtabelwidget.h"
#include "rename/filelistwidget.h"
#include "rename/renamepage.h"
#include "rename/renamepagewidget.h"
#include "rename/renamepropertywidget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
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

// WCAG relative luminance and contrast ratio.
double luminance(const QColor &color)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// The contrast of the text drawn in area against the background at its right end, where no text reaches:
// the strongest pixel of the glyphs is the text colour.
double textContrast(const QImage &image, const QRect &area)
{
    const QColor background = image.pixelColor(area.right() - 3, area.center().y());
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x < area.right() - 3; ++x)
            best = qMax(best, contrast(image.pixelColor(x, y), background));
    }
    return best;
}

// Keys to the control of the dialog that has the focus, as the keyboard sends them.
void pressIn(QWidget *dialog, const QList<int> &keys)
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
    void shortcutPressesPageButton_data();
    void shortcutPressesPageButton();
    void pageShortcuts_data();
    void pageShortcuts();
    void deleteAndSelectAll();
    void dialogKeys_data();
    void dialogKeys();
    void helpThatCannotOpenSaysWhere();

    void dropDownListsAndSelectionAreLegible();

    void pickerOpensWhereLastUsed();
    void windowComesBackAsLeft_data();
    void windowComesBackAsLeft();
    void qtTextsInUserLanguage();

private:
    RenamePage *renamePage() const;
    FileListWidget *list() const;
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
    QCoreApplication::setApplicationName(QStringLiteral("keyboard"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QVERIFY(QSettings().fileName().startsWith(m_settings.path()));
    // The program's look: focus, lists and drop-downs as the user sees them.
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

RenamePage *TestKeyboard::renamePage() const
{
    return m_window->findChild<RenamePage *>(QStringLiteral("fileRenamePage"));
}

FileListWidget *TestKeyboard::list() const
{
    return renamePage()->editWidget()->fileList();
}

// As the keyboard does: to the widget with the focus.
void TestKeyboard::press(int key, Qt::KeyboardModifiers modifiers)
{
    // The window manager gives the window back its activation when a dialog closes; offscreen does not.
    if (!QApplication::activeWindow())
        QApplication::setActiveWindow(m_window.get());
    QWidget *target = focused() ? focused() : m_window.get();
    QTest::keyClick(target, Qt::Key(key), modifiers);
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
    auto *group = m_window->findChild<QButtonGroup *>(QStringLiteral("swtichPageBtnGroup"));
    group->buttons().first()->setFocus(Qt::TabFocusReason);

    // Parts in reading order: 0 page buttons, 1 toolbar, 2 list, 3 panel, 4 bottom buttons, 5 title bar.
    auto partOf = [&](QWidget *w) {
        if (group->buttons().contains(qobject_cast<QAbstractButton *>(w)))
            return 0;
        if (w == list()->table())
            return 2;
        if (renamePage()->editWidget()->isAncestorOf(w))
            return 1;
        if (w->objectName() == QLatin1String("resetBtn") || w->objectName() == QLatin1String("setBtn"))
            return 4;
        if (renamePage()->propertyWidget()->isAncestorOf(w))
            return 3;
        return 5;
    };
    QVector<int> parts;
    QStringList names;
    for (int i = 0; i < 80 && (i == 0 || focused() != group->buttons().first()); ++i) {
        parts << partOf(focused());
        names << focused()->objectName();
        press(Qt::Key_Tab);
    }
    QCOMPARE(focused(), group->buttons().first());
    QVERIFY2(std::is_sorted(parts.begin(), parts.end()), qPrintable(names.join(' ')));
    QCOMPARE(parts.count(2), 1);
    QCOMPARE(names.mid(names.indexOf("setBtn")), (QStringList{"setBtn", "onlineHelp", "settingBtn"}));

    // Arrows move inside the table, Tab leaves it for the panel and Shift+Tab comes back.
    list()->table()->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Down);
    QCOMPARE(focused(), list()->table());
    QCOMPARE(list()->table()->currentRow(), 1);
    press(Qt::Key_Tab);
    QVERIFY(renamePage()->propertyWidget()->isAncestorOf(focused()));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focused(), list()->table());
}

void TestKeyboard::outlineFollowsKeyboard()
{
    showWithFiles(1);
    auto *focus = m_window->findChild<KeyboardFocus *>();
    QVERIFY(focus);
    auto *addFolder = renamePage()->findChild<QAbstractButton *>(QStringLiteral("addFolder"));
    auto *addFile = renamePage()->findChild<QAbstractButton *>(QStringLiteral("addFile"));
    addFile->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    QCOMPARE(focus->outlined(), addFolder);
    // A click hides the outline; the table outlines its own current row.
    QTest::mouseClick(renamePage()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), Qt::LeftButton);
    QCOMPARE(focus->outlined(), nullptr);
    list()->table()->setFocus(Qt::TabFocusReason);
    QCOMPARE(focus->outlined(), nullptr);
}

void TestKeyboard::shortcutPressesPageButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("dialog"); // the dialog the button opens, answered with Escape

    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << ctrl << "addFile" << true << "添加文件 (Ctrl+O)" << "QFileDialog";
    QTest::newRow("Ctrl+Shift+O") << int(Qt::Key_O) << int(Qt::ControlModifier | Qt::ShiftModifier) << "addFolder"
                                  << true << "添加文件夹 (Ctrl+Shift+O)" << "QFileDialog";
    QTest::newRow("Ctrl+Z enabled") << int(Qt::Key_Z) << ctrl << "undo" << true << "撤销修改 (Ctrl+Z)" << "";
    QTest::newRow("Ctrl+Z disabled") << int(Qt::Key_Z) << ctrl << "undo" << false << "撤销修改 (Ctrl+Z)" << "";
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << ctrl << "setBtn" << true << "开始命名 (Ctrl+Enter)" << "";
    QTest::newRow("Ctrl+Enter keypad") << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier)
                                       << "setBtn" << true << "开始命名 (Ctrl+Enter)" << "";
    QTest::newRow("Ctrl+Return disabled") << int(Qt::Key_Return) << ctrl << "setBtn" << false
                                          << "开始命名 (Ctrl+Enter)" << "";
}

void TestKeyboard::shortcutPressesPageButton()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, button);
    QFETCH(bool, enabled);
    QFETCH(QString, toolTip);
    QFETCH(QString, dialog);
    showWithFiles(2);
    auto *target = renamePage()->findChild<QAbstractButton *>(button);
    QCOMPARE(target->toolTip(), toolTip);
    target->setEnabled(enabled);
    QSignalSpy clicked(target, &QAbstractButton::clicked);
    ModalAnswerer answerer(ModalAnswerer::pressEscape());

    m_window->findChild<QAbstractButton *>(QStringLiteral("fileRenameBtn"))->setFocus(Qt::TabFocusReason);
    press(key, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(clicked.count(), enabled ? 1 : 0);
    QCOMPARE(answerer.classNames, dialog.isEmpty() ? QStringList() : QStringList{dialog});
}

void TestKeyboard::pageShortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("page");
    QTest::newRow("Ctrl+1") << int(Qt::Key_1) << "fileRenameBtn" << "fileRenamePage";
    QTest::newRow("Ctrl+3") << int(Qt::Key_3) << "fileTimePropertyBtn" << "fileTimePropertyPage";
    QTest::newRow("Ctrl+7") << int(Qt::Key_7) << "batchCreateFolderBtn" << "batchCreateFolderPage";
}

void TestKeyboard::pageShortcuts()
{
    QFETCH(int, key);
    QFETCH(QString, button);
    QFETCH(QString, page);
    showWithFiles(0);
    m_window->findChild<QAbstractButton *>(QStringLiteral("folderRenameBtn"))->click();
    auto *pageButton = m_window->findChild<QAbstractButton *>(button);
    // The full text, which a narrow window elides, and the key.
    QCOMPARE(pageButton->toolTip(), QStringLiteral("%1 (Ctrl+%2)").arg(pageButton->text()).arg(key - Qt::Key_0));

    press(key, Qt::ControlModifier);

    QCOMPARE(m_window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentWidget()->objectName(), page);
    QVERIFY(pageButton->isChecked());
}

void TestKeyboard::deleteAndSelectAll()
{
    showWithFiles(4);
    CustomTabelWidget *table = list()->table();
    // Shift and Ctrl pick rows as in any table.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, table->visualRect(table->model()->index(0, 0)).center());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier, table->visualRect(table->model()->index(2, 0)).center());
    QCOMPARE(table->selectionModel()->selectedRows().size(), 2);

    // In a text field Delete and Ctrl+A are the field's own.
    auto *field = renamePage()->propertyWidget()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    field->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Delete);
    press(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 2);

    table->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(list()->records().at(0).currentName, QStringLiteral("IMG_1.jpg"));
    QCOMPARE(list()->records().at(1).currentName, QStringLiteral("IMG_3.jpg"));
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("IMG_0.jpg"))));

    press(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 2);
    press(Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(!renamePage()->propertyWidget()->findChild<QAbstractButton *>(QStringLiteral("setBtn"))->isEnabled());
}

void TestKeyboard::dialogKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("closed");
    // The exit confirmation opens on 取消: Enter keeps the program open.
    QTest::newRow("Enter: 取消") << QList<int>{Qt::Key_Return} << false;
    QTest::newRow("Escape") << QList<int>{Qt::Key_Escape} << false;
    QTest::newRow("Shift+Tab to 退出, Enter") << QList<int>{Qt::Key_Backtab, Qt::Key_Return} << true;
    QTest::newRow("Shift+Tab to 退出, Space") << QList<int>{Qt::Key_Backtab, Qt::Key_Space} << true;
}

void TestKeyboard::dialogKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, closed);
    showWithFiles(0);
    {
        ModalAnswerer answerer([keys](QWidget *dialog) { pressIn(dialog, keys); });
        m_window->close();
        QCOMPARE(answerer.classNames, QStringList{"TipDialog"});
        QCOMPARE(m_window->isVisible(), !closed);
    }

    // A warning: Enter presses 确定.
    ModalAnswerer enter([](QWidget *dialog) { pressIn(dialog, {Qt::Key_Return}); });
    m_window->onPropertyValueChanged(QStringLiteral("MESSAGE ERROR TIP"), QString(), QStringLiteral("x"));
    QCOMPARE(enter.classNames, QStringList{"WarningDialog"});
}

void TestKeyboard::helpThatCannotOpenSaysWhere()
{
    showWithFiles(0);
    press(Qt::Key_F1);
    QCOMPARE(m_urls->opened.size(), 1);
    QVERIFY(m_urls->opened.first().toLocalFile().endsWith(QLatin1String("help/index.html")));

    // Offscreen there is no browser to open it.
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EngineTest::WarningListener warnings;
    ModalAnswerer answerer;
    press(Qt::Key_F1);
    QCOMPARE(
        warnings.messages,
        QStringList{QStringLiteral("无法打开帮助中心，请在浏览器中打开：") + m_urls->opened.first().toString()});
}

void TestKeyboard::dropDownListsAndSelectionAreLegible()
{
    showWithFiles(3);
    const auto combos = m_window->findChildren<QComboBox *>();
    QVERIFY(combos.size() >= 5);
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
            const QRect area = view->visualRect(view->model()->index(row, 0)).intersected(image.rect());
            const double ratio = textContrast(image, area);
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 row %2: %3").arg(combo->objectName()).arg(row).arg(ratio)));
        }
        combo->hidePopup();
    }

    // Selected rows: the whole row in the accent, its text readable.
    CustomTabelWidget *table = list()->table();
    table->selectRow(1);
    const QImage image = table->viewport()->grab().toImage();
    const QColor selected = image.pixelColor(table->visualRect(table->model()->index(1, 0)).topRight() + QPoint(-3, 10));
    const QColor plain = image.pixelColor(table->visualRect(table->model()->index(0, 0)).topRight() + QPoint(-3, 10));
    QVERIFY(selected.blue() > selected.red() + 40);
    QVERIFY(plain.blue() < plain.red() + 10);
    for (int column = 1; column < table->columnCount(); ++column) {
        const QRect cell = table->visualRect(table->model()->index(1, column));
        QCOMPARE(image.pixelColor(cell.topRight() + QPoint(-3, 10)), selected);
    }
    QVERIFY(textContrast(image, table->visualRect(table->model()->index(1, 0))) >= 4.5);
}

void TestKeyboard::pickerOpensWhereLastUsed()
{
    using PickerFolders::Purpose;
    QTemporaryDir elsewhere;
    const QString photo = makeFile(elsewhere.path(), QStringLiteral("sub/photo.jpg"));
    showWithFiles(0);
    QStringList openedIn;
    auto answer = [&](bool choose) {
        return [&, choose](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(files);
            openedIn << files->directory().absolutePath();
            if (choose)
                files->selectFile(photo);
            choose ? static_cast<QDialog *>(files)->accept() : static_cast<QDialog *>(files)->reject();
        };
    };
    for (bool choose : {true, false}) {
        ModalAnswerer answerer(answer(choose));
        press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(answerer.classNames, QStringList{"QFileDialog"});
    }
    // The first time on the desktop (or home), the second where the file was chosen.
    QCOMPARE(openedIn, (QStringList{defaultUserFolder(), QFileInfo(photo).absolutePath()}));
    QCOMPARE(list()->table()->rowCount(), 1);

    // A remembered folder that is gone leaves the desktop (or home); each purpose keeps its own.
    QVERIFY(QDir(QFileInfo(photo).absolutePath()).removeRecursively());
    QCOMPARE(PickerFolders::startFolder(Purpose::AddFiles), defaultUserFolder());
    PickerFolders::rememberFolder(Purpose::ExportFolder, elsewhere.path());
    QCOMPARE(PickerFolders::startFolder(Purpose::ExportFolder), elsewhere.path());
    QCOMPARE(PickerFolders::startFolder(Purpose::ImportWorkbook), defaultUserFolder());
}

void TestKeyboard::windowComesBackAsLeft_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal") << false;
    QTest::newRow("maximized") << true;
}

void TestKeyboard::windowComesBackAsLeft()
{
    QFETCH(bool, maximized);
    QVERIFY(!m_window->restoreRemembered());
    m_window->show();
    m_window->setGeometry(40, 50, 1100, 700);
    m_window->findChild<QAbstractButton *>(QStringLiteral("collectFileNameBtn"))->click();
    if (maximized)
        m_window->showMaximized();
    {
        ModalAnswerer answerer(ModalAnswerer::clickButton(QStringLiteral("exitBtn")));
        m_window->close();
    }

    MainWindow again;
    QVERIFY(again.restoreRemembered());
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.isMaximized(), maximized);
    if (!maximized)
        QCOMPARE(again.geometry(), QRect(40, 50, 1100, 700));
    QCOMPARE(again.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentWidget()->objectName(),
             QStringLiteral("collectFileNamePage"));
}

void TestKeyboard::qtTextsInUserLanguage()
{
    QVERIFY(!QtTranslations::install(qApp, QLocale(QLocale::Tongan, QLocale::Tonga)));
    QVERIFY(QtTranslations::install(qApp, QLocale(QLocale::Chinese, QLocale::China)));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
