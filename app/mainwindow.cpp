#include "mainwindow.h"

#include "helppages.h"
#include "settingmenu.h"
#include "tipdialog.h"
#include "ui_mainwindow.h"
#include "warningdialog.h"
#include "windowagent.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHoverEvent>
#include <QScreen>
#include <QTimer>

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
};

const PageButton kPageButtons[] = {
    {"fileRenameBtn", ":/image/fileRenameBtn.svg"},
    {"folderRenameBtn", ":/image/folderRenameBtn.svg"},
    {"fileTimePropertyBtn", ":/image/fileTimePropertyBtn.svg"},
    {"folderTimePropertyBtn", ":/image/folderTimePropertyBtn.svg"},
    {"collectFileNameBtn", ":/image/collectFileNameBtn.svg"},
    {"collectFolderNameBtn", ":/image/collectFolderNameBtn.svg"},
    {"batchCreateFolderBtn", ":/image/batchCreateFolderBtn.svg"},
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_subscription(this, mainWindowChannels())
{
    ui->setupUi(this);
    setMinimumWidth(960);
    setUpWindowAgent();

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

    ui->folderRenamePage->setFolderMode(true);
    ui->fileRenamePage->setFolderMode(false);
    ui->folderTimePropertyPage->setFolderMode(true);
    ui->fileTimePropertyPage->setFolderMode(false);
    ui->collectFolderNamePage->setFolderMode(true);
    ui->collectFileNamePage->setFolderMode(false);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::setUpWindowAgent()
{
    m_windowAgent = new WindowAgent(this);
    m_windowAgent->setup(this);

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
    QString pageName = button->objectName();
    pageName.remove(QStringLiteral("Btn"));
    pageName.append(QStringLiteral("Page"));
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
    if (event->type() == QEvent::WindowStateChange)
        ui->maxButton->setChecked(isMaximized());
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
    QDesktopServices::openUrl(HelpPages::customerServiceUrl());
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
        showWarning(QStringLiteral("文件总数超过3000，请分批次处理！"));
    } else if (valueName == Channel::StartAddFile) {
        setEnabled(false);
    } else if (valueName == Channel::EndAddFile) {
        setEnabled(true);
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
    if (dialog.exec() == QDialog::Accepted)
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}
