#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "app/helppages.h"
#include "app/mainwindow.h"
#include "app/menubar.h"
#include "app/recoverydialog.h"
#include "app/settingmenu.h"
#include "app/warningdialog.h"
#include "app/windowbutton.h"
#include "collect/collectinfopage.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "create/createfilepage.h"
#include "fileops/jobjournal.h"
#include "fileops/safefileops.h"
#include "rename/renamepage.h"
#include "timeprop/timepage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

void notify(const QString &channel, const QVariant &value = QVariant())
{
    CNvGlobalObserver::instance()->notifyObservers(channel, Channel::NoName, value);
}

QStackedWidget *stack(MainWindow *window)
{
    return window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
}

QString currentPageName(MainWindow *window)
{
    return stack(window)->currentWidget()->objectName();
}

QToolButton *pageButton(MainWindow *window, const QString &name)
{
    return window->findChild<QToolButton *>(name);
}

WindowButton *maxButton(MainWindow *window)
{
    return window->findChild<WindowButton *>(QStringLiteral("max-button"));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowForm();
    void minimumWidth();
    void systemButtons();
    void pages_data();
    void pages();
    void pageSwitchByClick_data();
    void pageSwitchByClick();
    void pageSwitchByProgram();
    void clickingCheckedButtonChangesNothing();

    void addFileDisablesWindow();
    void duplicateCount_data();
    void duplicateCount();
    void limitAfterDuplicates();
    void errorTextOneDialogEach();
    void channelNeedsEmptyName();
    void destroyedWindowHearsNothing();

    void warningDialogButtons_data();
    void warningDialogButtons();
    void close_data();
    void close();
    void closeButtonAsksToo();

    void maxButtonFollowsWindowState();
    void maxButtonClickMaximises();

    void helpMenuPosition();
    void helpLinks_data();
    void helpLinks();
    void helpPageShipsWithProgram();

    void interruptedJobIsOfferedWhenShown_data();
    void interruptedJobIsOfferedWhenShown();

private:
    std::unique_ptr<MainWindow> m_window;
    FileListTest::UrlCatcher m_urls;
};

void TestMainWindow::init()
{
    m_window = std::make_unique<MainWindow>();
    m_urls.opened.clear();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
}

void TestMainWindow::windowForm()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Korvel批量改名软件"));
    QCOMPARE(m_window->size(), QSize(1340, 835));
    QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);

    auto *menubar = m_window->findChild<Menubar *>(QStringLiteral("menubar"));
    QVERIFY(menubar);
    auto *logo = m_window->findChild<QToolButton *>(QStringLiteral("logo"));
    QVERIFY(logo);
    QCOMPARE(logo->text(), QStringLiteral("Korvel批量改名软件"));
    QCOMPARE(logo->parentWidget(), menubar);

    auto *onlineHelp = m_window->findChild<QPushButton *>(QStringLiteral("onlineHelp"));
    auto *settingBtn = m_window->findChild<QPushButton *>(QStringLiteral("settingBtn"));
    QVERIFY(onlineHelp && settingBtn);
    QCOMPARE(onlineHelp->toolTip(), QStringLiteral("在线客服"));
    QCOMPARE(settingBtn->toolTip(), QStringLiteral("帮助 (F1)"));
    QCOMPARE(onlineHelp->size(), QSize(32, 28));
    QCOMPARE(settingBtn->size(), QSize(18, 18));

    auto *buttonRow = m_window->findChild<QWidget *>(QStringLiteral("btnGroupWidget"));
    QVERIFY(buttonRow);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(buttonRow->height(), 64);
    // The page area takes all the height the title bar and the button row leave.
    QVERIFY(stack(m_window.get())->height() > m_window->height() - 200);
    QVERIFY(m_window->findChild<QStatusBar *>(QStringLiteral("statusbar")));
}

void TestMainWindow::minimumWidth()
{
    QCOMPARE(m_window->minimumWidth(), 960);
    m_window->show();
    m_window->resize(500, 700);
    QCOMPARE(m_window->width(), 960);
}

void TestMainWindow::systemButtons()
{
    for (const char *name : {"min-button", "max-button", "close-button"}) {
        auto *button = m_window->findChild<WindowButton *>(QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->property("system-button").toBool(), true);
        QVERIFY(button->text().isEmpty());
    }
    QVERIFY(maxButton(m_window.get())->isCheckable());
    QVERIFY(!maxButton(m_window.get())->isChecked());
}

void TestMainWindow::pages_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("pageClass");
    QTest::addColumn<int>("folderMode"); // -1: the page has no mode

    QTest::newRow("file rename") << 0 << "fileRenameBtn" << "文件重命名" << "fileRenamePage" << "RenamePage" << 0;
    QTest::newRow("folder rename") << 1 << "folderRenameBtn" << "文件夹重命名" << "folderRenamePage"
                                   << "RenamePage" << 1;
    QTest::newRow("file time") << 2 << "fileTimePropertyBtn" << "文件时间属性" << "fileTimePropertyPage"
                               << "TimePage" << 0;
    QTest::newRow("folder time") << 3 << "folderTimePropertyBtn" << "文件夹时间属性" << "folderTimePropertyPage"
                                 << "TimePage" << 1;
    QTest::newRow("collect files") << 4 << "collectFileNameBtn" << "提取文件名" << "collectFileNamePage"
                                   << "CollectInfoPage" << 0;
    QTest::newRow("collect folders") << 5 << "collectFolderNameBtn" << "提取文件夹名" << "collectFolderNamePage"
                                     << "CollectInfoPage" << 1;
    QTest::newRow("batch create") << 6 << "batchCreateFolderBtn" << "批量生成文件夹" << "batchCreateFolderPage"
                                  << "CreateFilePage" << -1;
}

void TestMainWindow::pages()
{
    QFETCH(int, index);
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(QString, page);
    QFETCH(QString, pageClass);
    QFETCH(int, folderMode);

    QToolButton *pageBtn = pageButton(m_window.get(), button);
    QVERIFY(pageBtn);
    QCOMPARE(pageBtn->metaObject()->className(), "IconBlueToolBtn");
    QCOMPARE(pageBtn->property("Type").toString(), QStringLiteral("Blue"));
    QCOMPARE(pageBtn->text(), text);
    QVERIFY(pageBtn->isCheckable());
    QCOMPARE(pageBtn->isChecked(), index == 0);
    QCOMPARE(pageBtn->iconSize(), QSize(32, 32));
    QCOMPARE(pageBtn->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    QCOMPARE(pageBtn->minimumHeight(), 44);
    QCOMPARE(pageBtn->maximumHeight(), 44);
    auto *group = m_window->findChild<QButtonGroup *>(QStringLiteral("swtichPageBtnGroup"));
    QVERIFY(group && group->exclusive());
    QCOMPARE(group->buttons().value(index), pageBtn);

    QWidget *pageWidget = stack(m_window.get())->widget(index);
    QCOMPARE(pageWidget->objectName(), page);
    QCOMPARE(QLatin1String(pageWidget->metaObject()->className()), pageClass);
    // Pages are named after their buttons; switching relies on it.
    QCOMPARE(QString(button).remove(QStringLiteral("Btn")) + QStringLiteral("Page"), page);

    int mode = -1;
    if (auto *rename = qobject_cast<RenamePage *>(pageWidget))
        mode = rename->folderMode();
    else if (auto *time = qobject_cast<TimePage *>(pageWidget))
        mode = time->folderMode();
    else if (auto *collect = qobject_cast<CollectInfoPage *>(pageWidget))
        mode = collect->folderMode();
    QCOMPARE(mode, folderMode);

    if (index == 0)
        QCOMPARE(currentPageName(m_window.get()), page);
}

void TestMainWindow::pageSwitchByClick_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("page");
    QTest::newRow("one click") << QStringList{"folderTimePropertyBtn"} << "folderTimePropertyPage";
    QTest::newRow("last of several") << QStringList{"collectFileNameBtn", "batchCreateFolderBtn", "folderRenameBtn"}
                                     << "folderRenamePage";
    QTest::newRow("back to the first") << QStringList{"collectFolderNameBtn", "fileRenameBtn"} << "fileRenamePage";
    QTest::newRow("create page") << QStringList{"batchCreateFolderBtn"} << "batchCreateFolderPage";
}

void TestMainWindow::pageSwitchByClick()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, page);
    m_window->show();
    for (const QString &name : clicks)
        QTest::mouseClick(pageButton(m_window.get(), name), Qt::LeftButton);
    QCOMPARE(currentPageName(m_window.get()), page);
    QVERIFY(pageButton(m_window.get(), clicks.last())->isChecked());
    QCOMPARE(m_window->findChild<QButtonGroup *>()->checkedButton(), pageButton(m_window.get(), clicks.last()));
}

void TestMainWindow::pageSwitchByProgram()
{
    pageButton(m_window.get(), QStringLiteral("collectFolderNameBtn"))->setChecked(true);
    QCOMPARE(currentPageName(m_window.get()), QStringLiteral("collectFolderNamePage"));
    QVERIFY(!pageButton(m_window.get(), QStringLiteral("fileRenameBtn"))->isChecked());
}

void TestMainWindow::clickingCheckedButtonChangesNothing()
{
    m_window->show();
    QToolButton *button = pageButton(m_window.get(), QStringLiteral("fileTimePropertyBtn"));
    QTest::mouseClick(button, Qt::LeftButton);
    auto *group = m_window->findChild<QButtonGroup *>(QStringLiteral("swtichPageBtnGroup"));
    QSignalSpy toggled(group, &QButtonGroup::idToggled);
    QSignalSpy pageChanged(stack(m_window.get()), &QStackedWidget::currentChanged);

    QTest::mouseClick(button, Qt::LeftButton);

    QVERIFY(button->isChecked());
    QCOMPARE(toggled.count(), 0);
    QCOMPARE(pageChanged.count(), 0);
    QCOMPARE(currentPageName(m_window.get()), QStringLiteral("fileTimePropertyPage"));
}

void TestMainWindow::addFileDisablesWindow()
{
    ModalAnswerer answerer;
    notify(Channel::StartAddFile);
    QVERIFY(!m_window->isEnabled());
    notify(Channel::EndAddFile, 0);
    QVERIFY(m_window->isEnabled());
    QVERIFY(answerer.texts.isEmpty());
}

void TestMainWindow::duplicateCount_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("none") << QVariant(0) << QStringList();
    QTest::newRow("no value") << QVariant() << QStringList();
    QTest::newRow("one") << QVariant(1) << QStringList{"已经为您过滤1个或已经存在的文件！"};
    QTest::newRow("many") << QVariant(2999) << QStringList{"已经为您过滤2999个或已经存在的文件！"};
}

void TestMainWindow::duplicateCount()
{
    QFETCH(QVariant, value);
    QFETCH(QStringList, texts);
    ModalAnswerer answerer;
    notify(Channel::StartAddFile);
    notify(Channel::EndAddFile, value);
    QCOMPARE(answerer.texts, texts);
    QVERIFY(m_window->isEnabled());
    if (!texts.isEmpty())
        QCOMPARE(answerer.classNames.first(), QStringLiteral("WarningDialog"));
}

void TestMainWindow::limitAfterDuplicates()
{
    ModalAnswerer answerer;
    notify(Channel::StartAddFile);
    notify(Channel::EndAddFile, 4);
    notify(Channel::AppCapacityLimit);
    QCOMPARE(answerer.texts,
             (QStringList{"已经为您过滤4个或已经存在的文件！", "文件总数超过3000，请分批次处理！"}));
    QVERIFY(m_window->isEnabled());
}

void TestMainWindow::errorTextOneDialogEach()
{
    ModalAnswerer answerer;
    const QStringList messages{"命名文件“a.txt”已经存在或者路径错误", "文件“b.txt”不存在", "保存文件失败！"};
    for (const QString &message : messages)
        notify(Channel::MessageErrorTip, message);
    QCOMPARE(answerer.texts, messages);
}

void TestMainWindow::channelNeedsEmptyName()
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::StartAddFile, Channel::RenameValueUpdate, QVariant());
    QVERIFY(m_window->isEnabled());
    CNvGlobalObserver::instance()->notifyObservers(QStringLiteral("start add file"), Channel::NoName, QVariant());
    QVERIFY(m_window->isEnabled());
}

void TestMainWindow::destroyedWindowHearsNothing()
{
    const int before = CNvGlobalObserver::instance()->entryCount();
    auto second = std::make_unique<MainWindow>();
    // At least the window's four channels and the eleven of each rename list; every page's lists add theirs.
    QVERIFY(CNvGlobalObserver::instance()->entryCount() >= before + 4 + 2 * 11);
    second.reset();
    QCOMPARE(CNvGlobalObserver::instance()->entryCount(), before);
    ModalAnswerer answerer;
    notify(Channel::MessageErrorTip, QStringLiteral("x"));
    QCOMPARE(answerer.texts.size(), 1); // the remaining window only
}

void TestMainWindow::warningDialogButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("close button") << "closeBtn";
    QTest::newRow("ok button") << "okBtn";
}

void TestMainWindow::warningDialogButtons()
{
    QFETCH(QString, button);
    auto *dialog = new WarningDialog(m_window.get());
    QPointer<WarningDialog> guard(dialog);
    dialog->setMessage(QStringLiteral("文件总数超过3000，请分批次处理！"));
    QCOMPARE(dialog->objectName(), QStringLiteral("WarningDialog"));
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QSignalSpy accepted(dialog, &QDialog::accepted);

    ModalAnswerer answerer(ModalAnswerer::clickButton(button));
    dialog->exec();

    QCOMPARE(answerer.texts, QStringList{"文件总数超过3000，请分批次处理！"});
    QCOMPARE(accepted.count(), 1);
    QTRY_VERIFY(guard.isNull());
}

void TestMainWindow::close_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("退出") << "exitBtn" << true;
    QTest::newRow("取消") << "cancelBtn" << false;
    QTest::newRow("Escape") << "" << false;
}

void TestMainWindow::close()
{
    QFETCH(QString, answer);
    QFETCH(bool, closed);
    m_window->show();
    pageButton(m_window.get(), QStringLiteral("fileTimePropertyBtn"))->click();
    ModalAnswerer answerer(answer.isEmpty() ? ModalAnswerer::pressEscape() : ModalAnswerer::clickButton(answer));

    QCOMPARE(m_window->close(), closed);

    QCOMPARE(answerer.texts, QStringList{"确定要退出吗？"});
    QCOMPARE(answerer.classNames, QStringList{"TipDialog"});
    QCOMPARE(m_window->isVisible(), !closed);
    if (!closed)
        QCOMPARE(currentPageName(m_window.get()), QStringLiteral("fileTimePropertyPage"));
}

void TestMainWindow::closeButtonAsksToo()
{
    m_window->show();
    ModalAnswerer answerer(ModalAnswerer::clickButton(QStringLiteral("exitBtn")));
    m_window->findChild<WindowButton *>(QStringLiteral("close-button"))->click();
    QCOMPARE(answerer.classNames, QStringList{"TipDialog"});
    QVERIFY(!m_window->isVisible());
}

void TestMainWindow::maxButtonFollowsWindowState()
{
    m_window->show();
    m_window->showMaximized();
    QTRY_VERIFY(m_window->isMaximized());
    QVERIFY(maxButton(m_window.get())->isChecked());
    m_window->showMinimized();
    QVERIFY(maxButton(m_window.get())->isChecked()); // still maximised underneath
    m_window->showNormal();
    QTRY_VERIFY(!m_window->isMaximized());
    QVERIFY(!maxButton(m_window.get())->isChecked());
    m_window->setWindowState(Qt::WindowMaximized);
    QVERIFY(maxButton(m_window.get())->isChecked());
}

void TestMainWindow::maxButtonClickMaximises()
{
    m_window->show();
    WindowButton *button = maxButton(m_window.get());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(m_window->isMaximized());
    QVERIFY(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!m_window->isMaximized());
    QVERIFY(!button->isChecked());
}

void TestMainWindow::helpMenuPosition()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Keep the button well inside the small offscreen screen, so the menu is not pushed back onto it.
    m_window->move(-900, 100);
    auto *settingBtn = m_window->findChild<QPushButton *>(QStringLiteral("settingBtn"));
    QCOMPARE(settingBtn->x(), 86); // 42 margin, 32 for "onlineHelp", 12 spacer
    const QPoint buttonTopLeft = settingBtn->mapToGlobal(QPoint(0, 0));
    const QPoint expected = buttonTopLeft + QPoint(6, settingBtn->y() + settingBtn->height() - 1);
    QCOMPARE(m_window->helpMenuPosition(), expected);

    QPoint shownAt;
    QString menuClass;
    QTimer::singleShot(50, [&] {
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup)
            return;
        shownAt = popup->pos();
        menuClass = QLatin1String(popup->metaObject()->className());
        popup->close();
    });
    QTest::mouseClick(settingBtn, Qt::LeftButton);
    QCOMPARE(menuClass, QStringLiteral("SettingMenu"));
    QCOMPARE(shownAt, expected);
}

void TestMainWindow::helpLinks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("帮助中心") << "help2" << "";
    QTest::newRow("在线客服 in the menu") << "help1" << "contact";
    QTest::newRow("在线客服 in the title bar") << "onlineHelp" << "contact";
}

void TestMainWindow::helpLinks()
{
    QFETCH(QString, button);
    QFETCH(QString, fragment);
    m_window->show();
    if (button == QLatin1String("onlineHelp")) {
        QTest::mouseClick(m_window->findChild<QPushButton *>(button), Qt::LeftButton);
    } else {
        bool menuClosed = false;
        QTimer::singleShot(50, [&] {
            auto *menu = qobject_cast<SettingMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            auto *item = menu->findChild<QPushButton *>(button);
            QCOMPARE(item->text(), button == QLatin1String("help1") ? QStringLiteral("在线客服")
                                                                   : QStringLiteral("帮助中心"));
            item->click();
            menuClosed = !menu->isVisible();
        });
        QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("settingBtn")), Qt::LeftButton);
        QVERIFY(menuClosed);
    }
    QCOMPARE(m_urls.opened.size(), 1);
    const QUrl url = m_urls.opened.first();
    QVERIFY(url.isLocalFile());
    // Tests run in the program's folder: the page is the one staged there.
    QCOMPARE(QFileInfo(url.toLocalFile()).canonicalFilePath(), QFileInfo(QStringLiteral("help/index.html")).canonicalFilePath());
    QCOMPARE(url.fragment(), fragment);
}

void TestMainWindow::helpPageShipsWithProgram()
{
    // Tests run in the program's folder, where the build stages the help pages.
    QFile page(QStringLiteral("help/index.html"));
    QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(QDir::current().absoluteFilePath(page.fileName())));
    const QString html = QString::fromUtf8(page.readAll());
    QVERIFY(html.contains(QStringLiteral("id=\"contact\"")));
    for (const char *title : {"文件重命名", "文件夹重命名", "文件时间属性", "文件夹时间属性", "提取文件名",
                              "提取文件夹名", "批量生成文件夹", "撤销修改"})
        QVERIFY2(html.contains(QString::fromUtf8(title)), title);
    QCOMPARE(HelpPages::customerServiceUrl().fragment(), QStringLiteral("contact"));
}

void TestMainWindow::interruptedJobIsOfferedWhenShown_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("journalKept");
    QTest::newRow("恢复原状") << "restoreBtn" << QStringList{"a.txt", "b.txt"} << false;
    QTest::newRow("继续完成") << "completeBtn" << QStringList{"a.txt", "b.txt"} << false;
    QTest::newRow("稍后处理") << "laterBtn" << QStringList{"a.txt"} << true;
}

// A swap of a.txt and b.txt was killed halfway: a waits under its temporary name, b has taken a's name.
void TestMainWindow::interruptedJobIsOfferedWhenShown()
{
    QFETCH(QString, button);
    QFETCH(QStringList, names);
    QFETCH(bool, journalKept);
    QTemporaryDir data;
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    const QString a = dir.filePath("a.txt");
    const QString b = dir.filePath("b.txt");
    for (const QString &path : {a, b}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QFileInfo(path).fileName().toUtf8());
    }
    const QString temporary = temporaryPathFor(a);
    {
        JobJournal journal;
        JobJournal::Item first{itemIdentity(a), a, b, {}, {}, {}, {}};
        JobJournal::Item second{itemIdentity(b), b, a, {}, {}, {}, {}};
        QVERIFY(journal.begin(JobJournal::Rename, QString(), {first, second}));
        QCOMPARE(renameNoReplace(a, temporary), RenameOutcome::Renamed);
        journal.aside(0, temporary);
        QCOMPARE(renameNoReplace(b, a), RenameOutcome::Renamed);
        journal.done(1, a);
    }
    QString shown;
    ModalAnswerer answerer([&](QDialog *dialog) {
        shown = dialog->findChild<QLabel *>("jobLabel")->text();
        ModalAnswerer::clickButton(button)(dialog);
        if (auto *ok = dialog->findChild<QAbstractButton *>("okBtn"); ok && ok->isVisible()) {
            shown += '\n' + dialog->findChild<QLabel *>("jobLabel")->text();
            ok->click();
        }
    });
    m_window->show();
    QTRY_VERIFY(!shown.isEmpty());

    QVERIFY(shown.startsWith("页面：批量重命名\n开始时间："));
    QVERIFY(shown.contains("文件数：2，已完成：1"));
    const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(entries.filter(QRegularExpression("^[ab]\\.txt$")), names);
    QCOMPARE(QDir(data.path() + "/" + QCoreApplication::organizationName() + "/"
                  + QCoreApplication::applicationName() + "/journal")
                 .entryList(QDir::Files)
                 .size(),
             journalKept ? 1 : 0);
    if (journalKept)
        return;
    QVERIFY(shown.endsWith("共2个文件：成功2个，失败0个"));
    const bool restored = button == "restoreBtn";
    QCOMPARE(entries, names);
    QFile first(a);
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(first.readAll(), QByteArray(restored ? "a.txt" : "b.txt"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
