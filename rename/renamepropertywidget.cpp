#include "renamepropertywidget.h"

#include "ui_renamepropertywidget.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/paneldefaults.h"
#include "rename/renamekeys.h"
#include "rename/renamesettings.h"

#include <QTimer>

namespace {

// Random numbering draws new characters on every recomputation; after a rename the proposals would
// otherwise still show the characters just used.
constexpr int RandomNumbering = 2;

} // namespace

RenamePropertyWidget::RenamePropertyWidget(QWidget *parent) : QWidget(parent), ui(new Ui::RenamePropertyWidget)
{
    ui->setupUi(this);
    ui->stackedWidget->adoptPages(PageStack::StyleWhenShown);
    ui->insertPage->setInsertMode(true);
    connect(ui->editButtonGroup, QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled), this,
            &RenamePropertyWidget::showPageOf);
    setFolderMode(false);
    // The page sets the mode right after construction; the start values are taken once that has happened.
    QTimer::singleShot(1000, this, &RenamePropertyWidget::recordPageDefaults);
}

RenamePropertyWidget::~RenamePropertyWidget()
{
    delete ui;
}

void RenamePropertyWidget::setFolderMode(bool folder)
{
    m_folderMode = folder;
    const struct {
        RenameSettingsPage *page;
        NameRules::Rule rule;
    } pages[] = {
        {ui->custormPage, NameRules::Rule::Custom},
        {ui->insertPage, NameRules::Rule::Insert},
        {ui->replacePage, NameRules::Rule::Replace},
        {ui->deletePage, NameRules::Rule::Delete},
    };
    for (const auto &p : pages) {
        p.page->setFolderMode(folder);
        p.page->setKey(renameChannel(p.rule, folder));
    }
    ui->importPage->setFolderMode(folder);
}

QString RenamePropertyWidget::currentKey() const
{
    QWidget *page = ui->stackedWidget->currentWidget();
    return page ? page->property("ValueName").toString() : QString();
}

void RenamePropertyWidget::setStartEnabled(bool enabled)
{
    ui->setBtn->setEnabled(enabled);
}

void RenamePropertyWidget::on_setBtn_clicked()
{
    auto *hub = CNvGlobalObserver::instance();
    hub->notifyObservers(Channel::StartChangeName, Channel::RenameValueUpdate, m_folderMode);
    const QString key = currentKey();
    QWidget *page = ui->stackedWidget->currentWidget();
    if (key.isEmpty() || (page != ui->custormPage && page != ui->insertPage))
        return;
    const CustomSettings *settings = customSettings(key);
    if (settings && settings->numberType == RandomNumbering)
        hub->notifyObservers(key, Channel::RenameValueUpdate, QVariant());
}

void RenamePropertyWidget::on_resetBtn_clicked()
{
    // Without recorded start values a restore would blank every control.
    if (!m_defaultsRecorded)
        return;
    for (RenameSettingsPage *page : keyedPages())
        page->restoreRecordedDefaults();
    ui->importPage->restoreRecordedDefaults();
    // Announcing every page would leave the list showing whichever was announced last; the page in view
    // decides.
    announceShownPage();
}

void RenamePropertyWidget::announceShownPage()
{
    if (ui->stackedWidget->currentWidget() == ui->importPage) {
        ui->importPage->announceNames();
        return;
    }
    const QString key = currentKey();
    if (!key.isEmpty())
        CNvGlobalObserver::instance()->notifyObservers(key, Channel::RenameValueUpdate, QVariant());
}

void RenamePropertyWidget::showPageOf(QAbstractButton *modeButton, bool checked)
{
    if (!checked)
        return;
    QString pageName = modeButton->objectName();
    pageName.replace(QLatin1String("Btn"), QString());
    pageName += QLatin1String("Page");
    auto *page = ui->stackedWidget->findChild<QWidget *>(pageName, Qt::FindDirectChildrenOnly);
    if (!page)
        return;
    ui->stackedWidget->setCurrentWidget(page);
    // The list shows what a start would do with the mode in view, not what the previous mode proposed.
    announceShownPage();
}

void RenamePropertyWidget::recordPageDefaults()
{
    for (RenameSettingsPage *page : keyedPages())
        recordDefaults(page);
    recordDefaults(ui->importPage);
    m_defaultsRecorded = true;
}

QList<RenameSettingsPage *> RenamePropertyWidget::keyedPages() const
{
    return {ui->custormPage, ui->insertPage, ui->replacePage, ui->deletePage};
}
