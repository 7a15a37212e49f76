#include "createfilepropertywidget.h"
#include "ui_createfilepropertywidget.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/paneldefaults.h"

#include <QTimer>

namespace {

// By then both creation pages show the default folder, so that is the folder a reset brings back.
constexpr int RecordDefaultsDelayMs = 1000;

} // namespace

CreateFilePropertyWidget::CreateFilePropertyWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::CreateFilePropertyWidget)
{
    ui->setupUi(this);
    ui->stackedWidget->adoptPages(PageStack::StyleWhenShown);
    ui->setBtn->setEnabled(false);
    QTimer::singleShot(RecordDefaultsDelayMs, this, &CreateFilePropertyWidget::recordPageDefaults);
}

CreateFilePropertyWidget::~CreateFilePropertyWidget()
{
    delete ui;
}

ImportCreate *CreateFilePropertyWidget::importPage() const
{
    return ui->importCreatePage;
}

CustormCreate *CreateFilePropertyWidget::custormPage() const
{
    return ui->custormCreatePage;
}

void CreateFilePropertyWidget::setStartEnabled(bool enabled)
{
    ui->setBtn->setEnabled(enabled);
}

void CreateFilePropertyWidget::on_importBtn_clicked(bool checked)
{
    if (!checked)
        return;
    ui->stackedWidget->setCurrentWidget(ui->importCreatePage);
    emit changePage(QStringLiteral("importCreatePage"));
}

void CreateFilePropertyWidget::on_custormBtn_clicked(bool checked)
{
    if (!checked)
        return;
    ui->stackedWidget->setCurrentWidget(ui->custormCreatePage);
    emit changePage(QStringLiteral("custormCreatePage"));
}

void CreateFilePropertyWidget::on_setBtn_clicked()
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::StartCreateData, Channel::RenameValueUpdate, QVariant());
}

void CreateFilePropertyWidget::on_resetBtn_clicked()
{
    // Without recorded start values a restore would blank every control, the target folder included.
    if (!m_defaultsRecorded)
        return;
    ui->custormCreatePage->restoreRecordedDefaults();
    restoreDefaults(ui->importCreatePage);
    ui->custormCreatePage->resetCustomRules();
    ui->importCreatePage->resetImportPlan();
}

void CreateFilePropertyWidget::recordPageDefaults()
{
    recordDefaults(ui->custormCreatePage);
    recordDefaults(ui->importCreatePage);
    m_defaultsRecorded = true;
}
