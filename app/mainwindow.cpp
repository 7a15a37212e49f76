#include "mainwindow.h"

#include "focuschain.h"
#include "helppages.h"
#include "recoverydialog.h"
#include "keyboardfocus.h"
#include "keyboardshortcuts.h"
#include "settingmenu.h"
#include "tipdialog.h"
#include "ui_mainwindow.h"
#include "warningdialog.h"
#include "windowagent.h"
#include "windowmemory.h"

#include "controls/polishhold.h"
#include "create/createfilepage.h"
#include "filelist/itemlistwidget.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "naming/listcapacity.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHoverEvent>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

QVector<HubSubscription::Pair> mainWindowChannels()
{
    return {{Channel::AppCapacityLimit, Channel::NoName},
            {Channel::StartAddFile, Channel::NoName},
            {Channel::EndAddFile, Channel::NoName},
            {Channel::MessageErrorTip, Channel::NoName}};
}

struct PageButton
{
    const char *button;
    const char *icon;
    const char *page; // the page's name on the command line
};

const PageButton kPageButtons[] = {
    {"fileRenameBtn", ":/image/fileRenameBtn.svg", "rename"},
    {"folderRenameBtn", ":/image/folderRenameBtn.svg", "folder-rename"},
    {"fileTimePropertyBtn", ":/image/fileTimePropertyBtn.svg", "time"},
    {"folderTimePropertyBtn", ":/image/folderTimePropertyBtn.svg", "folder-time"},
    {"collectFileNameBtn", ":/image/collectFileNameBtn.svg", "collect"},
    {"collectFolderNameBtn", ":/image/collectFolderNameBtn.svg", "folder-collect"},
    {"batchCreateFolderBtn", ":/image/batchCreateFolderBtn.svg", "create"},
};

const PageButton *pageEntry(const QString &page)
{
    for (const PageButton &entry : kPageButtons) {
        if (page == QLatin1String(entry.page))
            return &entry;
    }
    return nullptr;
}

// "fileRenameBtn" shows "fileRenamePage".
QString pageObjectName(QString buttonName)
{
    return buttonName.remove(QStringLiteral("Btn")).append(QStringLiteral("Page"));
}

} // namespace

MainWindow::MainWindow(QWidget *parent, const QString &appStyleSheet)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_subscription(this, mainWindowChannels())
{
    // Frameless before any child exists: changing the window flags later re-parents the window, which
    // re-styles every widget in it.
    m_windowAgent = new WindowAgent(this);
    m_windowAgent->setup(this);
    PolishHold hold(this);
    ui->setupUi(this);
    ui->stackedWidget->adoptPages(PageStack::StyleWhenShown);
    setMinimumWidth(960);
    setUpSystemButtons();

    connect(ui->maxButton, &QAbstractButton::clicked, this, [this](bool checked) {
        if (checked)
            showMaximized();
        else
            showNormal();
        emulateLeaveEvent(ui->maxButton);
    });
    connect(ui->minButton, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(ui->closeButton, &QAbstractButton::clicked, this, &QWidget::close);
    connect(ui->swtichPageBtnGroup, &QButtonGroup::idToggled, this, [this](int id, bool) { switchPage(id); });
    connect(ui->menubar, &Menubar::doubleClicked, this, &MainWindow::toggleMaximized);

    setUpPageButtons();
    setUpKeyboard();

    ui->folderRenamePage->setFolderMode(true);
    ui->fileRenamePage->setFolderMode(false);
    ui->folderTimePropertyPage->setFolderMode(true);
    ui->fileTimePropertyPage->setFolderMode(false);
    ui->collectFolderNamePage->setFolderMode(true);
    ui->collectFileNamePage->setFolderMode(false);
    if (!appStyleSheet.isEmpty())
        qApp->setStyleSheet(appStyleSheet);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::setUpSystemButtons()
{
    // The new names are the stylesheet's selectors of the system buttons.
    ui->minButton->setObjectName(QStringLiteral("min-button"));
    ui->maxButton->setObjectName(QStringLiteral("max-button"));
    ui->closeButton->setObjectName(QStringLiteral("close-button"));
    for (QAbstractButton *button : {static_cast<QAbstractButton *>(ui->minButton),
                                    static_cast<QAbstractButton *>(ui->maxButton),
                                    static_cast<QAbstractButton *>(ui->closeButton)}) {
        button->setProperty("system-button", true);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    ui->maxButton->setCheckable(true);

    m_windowAgent->setSystemButton(WindowAgent::CustomerService, ui->onlineHelp);
    m_windowAgent->setSystemButton(WindowAgent::Help, ui->settingBtn);
    m_windowAgent->setSystemButton(WindowAgent::Minimize, ui->minButton);
    m_windowAgent->setSystemButton(WindowAgent::Maximize, ui->maxButton);
    m_windowAgent->setSystemButton(WindowAgent::Close, ui->closeButton);
    m_windowAgent->setTitleBar(ui->menubar);
}

void MainWindow::setUpKeyboard()
{
    new KeyboardFocus(this);
    new KeyboardShortcuts(this, ui->stackedWidget, ui->swtichPageBtnGroup);
    // The window's own buttons are for the mouse; the keyboard has the window manager's keys for them.
    for (QWidget *button : {static_cast<QWidget *>(ui->logo), static_cast<QWidget *>(ui->minButton),
                            static_cast<QWidget *>(ui->maxButton), static_cast<QWidget *>(ui->closeButton)})
        button->setFocusPolicy(Qt::NoFocus);
    ui->minButton->setToolTip(QStringLiteral("最小化"));
    ui->closeButton->setToolTip(QStringLiteral("关闭"));
    showMaxButtonTip();
    ui->settingBtn->setToolTip(KeyboardShortcuts::toolTip(ui->settingBtn->toolTip(), QKeySequence(Qt::Key_F1)));
    orderFocusChain();
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, &MainWindow::orderFocusChain);
}

void MainWindow::orderFocusChain()
{
    const auto pageButtons = ui->swtichPageBtnGroup->buttons();
    QList<QWidget *> before;
    for (QAbstractButton *button : pageButtons)
        before.append(button);
    FocusChain::order(before, ui->stackedWidget->currentWidget(), {ui->onlineHelp, ui->settingBtn});
}

void MainWindow::showMaxButtonTip()
{
    ui->maxButton->setToolTip(isMaximized() ? QStringLiteral("向下还原") : QStringLiteral("最大化"));
}

bool MainWindow::restoreRemembered()
{
    return WindowMemory::restore(this, ui->swtichPageBtnGroup);
}

void MainWindow::setUpPageButtons()
{
    for (const PageButton &entry : kPageButtons) {
        auto *button = findChild<QToolButton *>(QLatin1String(entry.button));
        if (!button)
            continue;
        button->setIcon(QIcon(QLatin1String(entry.icon)));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
}

// Each page is named after its button: "fileRenameBtn" shows "fileRenamePage".
void MainWindow::switchPage(int buttonId)
{
    QAbstractButton *button = ui->swtichPageBtnGroup->button(buttonId);
    if (!button)
        return;
    const QString pageName = pageObjectName(button->objectName());
    for (int i = 0; i < ui->stackedWidget->count(); ++i) {
        QWidget *page = ui->stackedWidget->widget(i);
        if (page->objectName() == pageName)
            ui->stackedWidget->setCurrentWidget(page);
    }
}

void MainWindow::toggleMaximized()
{
    if (isMaximized()) {
        showNormal();
        ui->maxButton->setChecked(false);
    } else {
        showMaximized();
        ui->maxButton->setChecked(true);
    }
}

// The maximise button shows the window's state whoever changed it: the button, the title bar, the window
// manager or a keyboard shortcut.
void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        ui->maxButton->setChecked(isMaximized());
        showMaxButtonTip();
    }
}

// A job cut short last time is dealt with before anything else, once the window can be seen.
void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_recoveryOffered)
        return;
    m_recoveryOffered = true;
    QTimer::singleShot(0, this, &MainWindow::offerRecovery);
}

void MainWindow::offerRecovery()
{
    QStringList setAside;
    const QVector<JournalRecovery::Found> journals = JournalRecovery::pending(&setAside);
    for (const QString &path : qAsConst(setAside))
        showWarning(QStringLiteral("上次未完成操作的记录无法读取，已保留为“%1”，未作任何修改！").arg(path));
    for (const JournalRecovery::Found &journal : journals) {
        RecoveryDialog dialog(journal, this);
        dialog.exec();
    }
}

// After the window changes size under the pointer the button may keep its hover look although the pointer
// has left it; tell it so.
void MainWindow::emulateLeaveEvent(QWidget *button)
{
    QTimer::singleShot(0, button, [button]() {
        QScreen *screen = button->screen();
        const QPoint cursorPos = screen ? QCursor::pos(screen) : QCursor::pos();
        const QRect globalRect(button->mapToGlobal(QPoint(0, 0)), button->size());
        if (globalRect.contains(cursorPos))
            return;
        QCoreApplication::postEvent(button, new QEvent(QEvent::Leave));
        if (button->testAttribute(Qt::WA_Hover)) {
            const QPoint localPos = button->mapFromGlobal(cursorPos);
            QCoreApplication::postEvent(button, new QHoverEvent(QEvent::HoverLeave, localPos, QPoint(0, 0),
                                                                QGuiApplication::keyboardModifiers()));
        }
    });
}

QPoint MainWindow::helpMenuPosition() const
{
    const QRect geometry = ui->settingBtn->geometry();
    const QPoint offset(geometry.x(), geometry.y() + geometry.height() - 1);
    return ui->settingBtn->mapToGlobal(offset) - QPoint(80, 0);
}

void MainWindow::on_settingBtn_clicked()
{
    SettingMenu menu;
    menu.exec(helpMenuPosition());
}

void MainWindow::on_onlineHelp_clicked()
{
    HelpPages::openCustomerService();
}

void MainWindow::showWarning(const QString &message)
{
    auto *dialog = new WarningDialog(this);
    dialog->setMessage(message);
    dialog->exec();
}

void MainWindow::onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value)
{
    Q_UNUSED(valueObj)
    if (valueName == Channel::AppCapacityLimit) {
        showWarning(QStringLiteral("文件总数超过%1，请分批次处理！").arg(kListCapacity));
    } else if (valueName == Channel::StartAddFile) {
        m_focusBeforeAddition = focusWidget();
        setEnabled(false);
    } else if (valueName == Channel::EndAddFile) {
        setEnabled(true);
        if (m_focusBeforeAddition)
            m_focusBeforeAddition->setFocus(Qt::OtherFocusReason);
        const int skipped = value.toInt();
        if (skipped >= 1)
            showWarning(QStringLiteral("已经为您过滤%1个或已经存在的文件！").arg(skipped));
    } else if (valueName == Channel::MessageErrorTip) {
        showWarning(value.toString());
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    TipDialog dialog(this);
    dialog.setModal(true);
    dialog.raise();
    if (dialog.exec() == QDialog::Accepted) {
        WindowMemory::save(this, ui->swtichPageBtnGroup);
        QMainWindow::closeEvent(event);
    } else
        event->ignore();
}

QWidget *MainWindow::pageWidget(const QString &page) const
{
    const PageButton *entry = pageEntry(page);
    if (!entry)
        return nullptr;
    return ui->stackedWidget->findChild<QWidget *>(pageObjectName(QLatin1String(entry->button)),
                                                   Qt::FindDirectChildrenOnly);
}

void MainWindow::showPage(const QString &page)
{
    const PageButton *entry = pageEntry(page);
    if (auto *button = entry ? findChild<QToolButton *>(QLatin1String(entry->button)) : nullptr)
        button->setChecked(true);
}

QString MainWindow::currentPageName() const
{
    const QWidget *current = ui->stackedWidget->currentWidget();
    for (const PageButton &entry : kPageButtons) {
        if (current && current->objectName() == pageObjectName(QLatin1String(entry.button)))
            return QLatin1String(entry.page);
    }
    return {};
}

QStringList MainWindow::listedPaths(const QString &page) const
{
    const QWidget *widget = pageWidget(page);
    const auto *list = widget ? widget->findChild<ItemListWidget *>() : nullptr;
    return list ? list->listedPaths() : QStringList();
}

bool MainWindow::listsBusy() const
{
    const QList<ItemListWidget *> lists = findChildren<ItemListWidget *>();
    return std::any_of(lists.cbegin(), lists.cend(), [](const ItemListWidget *list) { return list->isBusy(); });
}

void MainWindow::openPaths(const QString &page, const QStringList &paths)
{
    if (!page.isEmpty()) {
        showPage(page);
        addToPage(page, paths);
        return;
    }
    QStringList files;
    QStringList folders;
    for (const QString &path : paths)
        (QFileInfo(path).isDir() ? folders : files).append(path);
    if (!files.isEmpty())
        showPage(QStringLiteral("rename"));
    else if (!folders.isEmpty())
        showPage(QStringLiteral("folder-rename"));
    addToPage(QStringLiteral("folder-rename"), folders);
    addToPage(QStringLiteral("rename"), files);
}

void MainWindow::addToPage(const QString &page, const QStringList &paths)
{
    QWidget *widget = pageWidget(page);
    if (!widget || paths.isEmpty())
        return;
    int unused = 0;
    if (auto *createPage = qobject_cast<CreateFilePage *>(widget)) {
        unused = createPage->takeGivenPaths(paths);
    } else if (auto *list = widget->findChild<ItemListWidget *>()) {
        if (list->folderMode())
            unused = int(std::count_if(paths.cbegin(), paths.cend(),
                                       [](const QString &path) { return !QFileInfo(path).isDir(); }));
        list->addGivenPaths(paths);
    }
    if (unused > 0)
        showWarning(QStringLiteral("这一页只接受文件夹，已略过%1个文件！").arg(unused));
}

void MainWindow::bringToFront()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}
