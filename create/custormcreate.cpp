#include "custormcreate.h"
#include "ui_custormcreate.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/paneldefaults.h"
#include "naming/timestyles.h"
#include "controls/toolbuttonicon.h"
#include "create/creationplan.h"
#include "filelist/folderpicker.h"
#include "controls/shown.h"

namespace {

// The start-letter spin box counts 10 = a to 35 = z, so that it can show its value in base 36.
constexpr int LetterValueOffset = 9;

enum Position { AtStart, AtEnd, AfterCharacters };
enum NumberType { Digits, Letter, Random, Time };

} // namespace

CustormCreate::CustormCreate(QWidget *parent) : QWidget(parent), ui(new Ui::CustormCreate)
{
    ui->setupUi(this);
    ui->timeStyleComboBox->addItems(timeStyleSamples());
    ui->autoNameErrorCheck->setText(QStringLiteral("自动解决命名冲突"));
    ui->autoNameErrorCheck->setChecked(true);
    ui->createTemplateWidgetBackgroun->hide();
    setDefaultVisible(ui->createTemplateWidgetBackgroun, false);
    ui->custormPosWidget->hide();
    setDefaultVisible(ui->custormPosWidget, false);
    // Items about to be made have no creation or modification time: names always use the current time.
    ui->timeTypeWidget->hide();
    ui->firstBtn->setChecked(true);
    ui->numbderBtn->setChecked(true);
    ui->numberTypeStackedWidget->setCurrentWidget(ui->numberPage);
    setToolButtonIcon(ui->openPathBtn, QStringLiteral(":/image/openDir.svg"));
    setToolButtonIcon(ui->openTemplateBtn, QStringLiteral(":/image/openDir.svg"));

    const QString folder = defaultTargetFolder();
    ui->replacePathLabel->setText(folder);
    customPlan().targetFolder = folder;

    connect(ui->timeStyleComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CustormCreate::onTimeStyleChanged);
    connect(ui->autoNameErrorCheck, &CustormCheckBox::Checked, this, &CustormCreate::onAutoResolveChecked);
}

CustormCreate::~CustormCreate()
{
    delete ui;
}

void CustormCreate::announce()
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::CustomCreateExcelRename, Channel::RenameValueUpdate,
                                                   QVariant());
}

void CustormCreate::regeneratePlan()
{
    if (m_restoring)
        return;
    customPlan().items = plannedItems(
        ::regeneratePlan(m_rules, ui->createCountSpinBox->value(), ui->createNamelineEdit->text()));
    announce();
}

void CustormCreate::pickTargetFolder()
{
    const QString folder = pickFolder(this, QStringLiteral("打开"), PickerFolders::Purpose::CreateTarget);
    if (!folder.isEmpty())
        setTargetFolder(folder);
}

void CustormCreate::setTargetFolder(const QString &folder)
{
    ui->replacePathLabel->setText(folder);
    customPlan().targetFolder = folder;
    announce();
}

void CustormCreate::restoreRecordedDefaults()
{
    m_restoring = true;
    restoreDefaults(this);
    m_restoring = false;
}

void CustormCreate::readRulesFromControls()
{
    m_rules.numberPosition = ui->lastBtn->isChecked()         ? AtEnd
                             : ui->custormPosBtn->isChecked() ? AfterCharacters
                                                              : AtStart;
    m_rules.numberType = ui->charBtn->isChecked()     ? Letter
                         : ui->randomBtn->isChecked() ? Random
                         : ui->timeBtn->isChecked()   ? Time
                                                      : Digits;
    m_rules.numberAfter = ui->numberBehindCountSpinBox->value();
    m_rules.startNumber = ui->startNumberSpinBox->value();
    m_rules.numberIncrement = ui->incrementNumberSpinBox->value();
    m_rules.numberDigits = ui->numberCountSpinBox->value();
    m_rules.randomRule = ui->randomRuleComboBox->currentIndex();
    m_rules.randomLength = ui->charCountSpinBox->value();
    m_rules.timeStyle = ui->timeStyleComboBox->currentIndex();
    m_rules.startLetter = ui->startCharSpinBox->value() - LetterValueOffset;
    m_rules.letterIncrement = ui->incrementCharSpinBox->value();
}

void CustormCreate::resetCustomRules()
{
    readRulesFromControls();
    CreationPlan &plan = customPlan();
    plan = CreationPlan();
    plan.targetFolder = ui->replacePathLabel->text();
    plan.autoResolve = true;
    announce();
}

void CustormCreate::setPosition(int position, bool checked)
{
    setShown(ui->custormPosWidget, position == AfterCharacters);
    if (!checked)
        return;
    m_rules.numberPosition = position;
    regeneratePlan();
}

void CustormCreate::setNumberType(int type, QWidget *page, bool checked)
{
    if (!checked)
        return;
    ui->numberTypeStackedWidget->setCurrentWidget(page);
    m_rules.numberType = type;
    regeneratePlan();
}

void CustormCreate::on_firstBtn_clicked(bool checked)
{
    setPosition(AtStart, checked);
}

void CustormCreate::on_lastBtn_clicked(bool checked)
{
    setPosition(AtEnd, checked);
}

void CustormCreate::on_custormPosBtn_clicked(bool checked)
{
    setPosition(AfterCharacters, checked);
}

void CustormCreate::on_numbderBtn_clicked(bool checked)
{
    setNumberType(Digits, ui->numberPage, checked);
}

void CustormCreate::on_charBtn_clicked(bool checked)
{
    setNumberType(Letter, ui->charPage, checked);
}

void CustormCreate::on_randomBtn_clicked(bool checked)
{
    setNumberType(Random, ui->randomPage, checked);
}

void CustormCreate::on_timeBtn_clicked(bool checked)
{
    setNumberType(Time, ui->timePage, checked);
}

void CustormCreate::on_numberBehindCountSpinBox_valueChanged(int value)
{
    m_rules.numberAfter = value;
    regeneratePlan();
}

void CustormCreate::on_startCharSpinBox_valueChanged(int value)
{
    m_rules.startLetter = value - LetterValueOffset;
    regeneratePlan();
}

void CustormCreate::on_incrementCharSpinBox_valueChanged(int value)
{
    m_rules.letterIncrement = value;
    regeneratePlan();
}

void CustormCreate::on_startNumberSpinBox_valueChanged(int value)
{
    m_rules.startNumber = value;
    regeneratePlan();
}

void CustormCreate::on_incrementNumberSpinBox_valueChanged(int value)
{
    m_rules.numberIncrement = value;
    regeneratePlan();
}

void CustormCreate::on_numberCountSpinBox_valueChanged(int value)
{
    m_rules.numberDigits = value;
    regeneratePlan();
}

void CustormCreate::on_createCountSpinBox_valueChanged(int)
{
    regeneratePlan();
}

void CustormCreate::on_createNamelineEdit_textChanged(const QString &)
{
    regeneratePlan();
}

void CustormCreate::on_exportTypeCombox_currentIndexChanged(int)
{
    regeneratePlan();
}

void CustormCreate::on_exportTypeCombox_activated(int index)
{
    customPlan().creationType = index;
    regeneratePlan();
}

void CustormCreate::on_charCountSpinBox_valueChanged(int value)
{
    m_rules.randomLength = value;
    regeneratePlan();
}

void CustormCreate::on_randomRuleComboBox_currentIndexChanged(int index)
{
    m_rules.randomRule = index;
    regeneratePlan();
}

void CustormCreate::on_replacePathLabel_clicked()
{
    pickTargetFolder();
}

void CustormCreate::on_openPathBtn_clicked()
{
    pickTargetFolder();
}

void CustormCreate::onTimeStyleChanged(int index)
{
    m_rules.timeStyle = index;
    regeneratePlan();
}

void CustormCreate::onAutoResolveChecked(bool isChecked)
{
    customPlan().autoResolve = isChecked;
    announce();
}
