#include "custormrename.h"

#include "ui_custormrename.h"

#include "controls/paneldefaults.h"
#include "naming/timestyles.h"
#include "rename/renamesettings.h"
#include "controls/shown.h"

namespace {

// The start-letter spin box counts 10 = a to 35 = z, so it can show its value in base 36.
constexpr int LetterValueOffset = 9;

enum Position { AtStart, AtEnd, AfterCharacters };
enum NumberType { Digits, Letter, Random, Time };

} // namespace

CustormRename::CustormRename(QWidget *parent) : RenameSettingsPage(parent), ui(new Ui::CustormRename)
{
    ui->setupUi(this);
    ui->autoNameErrorCheck->setText(QStringLiteral("自动解决命名冲突"));
    ui->autoNameErrorCheck->setChecked(true);
    ui->numberSetCheck->setText(QStringLiteral("编号设置"));
    ui->useNumberAsNameCheck->setText(QStringLiteral("仅使用编号作为文件名"));
    ui->suffixCheckBox->setText(QStringLiteral("扩展名设置"));
    ui->timeStyleComboBox->addItems(timeStyleSamples());

    ui->insertPosBtnGroup->setId(ui->insertFirstBtn, AtStart);
    ui->insertPosBtnGroup->setId(ui->insertLastBtn, AtEnd);
    ui->insertPosBtnGroup->setId(ui->insertCustormPosBtn, AfterCharacters);
    ui->posBtnGroup->setId(ui->firstBtn, AtStart);
    ui->posBtnGroup->setId(ui->lastBtn, AtEnd);
    ui->posBtnGroup->setId(ui->custormPosBtn, AfterCharacters);
    ui->typeBtnGroup->setId(ui->numbderBtn, Digits);
    ui->typeBtnGroup->setId(ui->charBtn, Letter);
    ui->typeBtnGroup->setId(ui->randomBtn, Random);
    ui->typeBtnGroup->setId(ui->timeBtn, Time);

    watch(ui->fileNameEdit);
    watch(ui->insertPosBtnGroup);
    watch(ui->insertNumberBehindCountSpinBox);
    watch(ui->autoNameErrorCheck);
    watch(ui->numberSetCheck);
    watch(ui->useNumberAsNameCheck);
    watch(ui->posBtnGroup);
    watch(ui->numberBehindCountSpinBox);
    watch(ui->typeBtnGroup);
    watch(ui->startNumberSpinBox);
    watch(ui->incrementNumberSpinBox);
    watch(ui->numberCountSpinBox);
    watch(ui->randomRuleComboBox);
    watch(ui->charCountSpinBox);
    watch(ui->timeTypeComboBox);
    watch(ui->timeStyleComboBox);
    watch(ui->startCharSpinBox);
    watch(ui->incrementCharSpinBox);

    bindCommonControls(CommonControls::of(ui));

    setDefaultVisible(ui->custormPosWidget, false);
    setDefaultVisible(ui->insertCustormPosWidget, false);
    setInsertMode(false);
}

CustormRename::~CustormRename()
{
    delete ui;
}

void CustormRename::setInsertMode(bool insert)
{
    m_insertMode = insert;
    ui->custormTypeLabel->setText(insert ? QStringLiteral("插入设置") : QStringLiteral("文件名设置"));
    setShown(ui->insertPosWidget, insert);
    setDefaultVisible(ui->insertPosWidget, insert);
    syncFromControls();
}

void CustormRename::setFolderMode(bool folder)
{
    // A folder was never taken by a camera: its page offers the first three times only.
    constexpr int PhotoTakenItem = 3;
    if (folder && ui->timeTypeComboBox->count() > PhotoTakenItem)
        ui->timeTypeComboBox->removeItem(PhotoTakenItem);
    ui->firstBtn->setChecked(true);
    ui->numbderBtn->setChecked(true);
    ui->numberSetCheck->setChecked(false);
    RenameSettingsPage::setFolderMode(folder);
}

bool CustormRename::bindRecord(const QString &key)
{
    m_settings = customSettings(key);
    return m_settings != nullptr;
}

void CustormRename::writeRecord()
{
    CustomSettings &s = *m_settings;
    s.text = ui->fileNameEdit->text();
    s.insertPosition = qMax(0, ui->insertPosBtnGroup->checkedId());
    s.insertAfter = ui->insertNumberBehindCountSpinBox->value();
    s.autoResolve = ui->autoNameErrorCheck->isChecked();
    s.numberingEnabled = ui->numberSetCheck->isChecked();
    s.numberOnly = ui->useNumberAsNameCheck->isChecked();
    s.numberPosition = qMax(0, ui->posBtnGroup->checkedId());
    s.numberAfter = ui->numberBehindCountSpinBox->value();
    s.numberType = qMax(0, ui->typeBtnGroup->checkedId());
    s.startNumber = ui->startNumberSpinBox->value();
    s.numberIncrement = ui->incrementNumberSpinBox->value();
    s.numberDigits = ui->numberCountSpinBox->value();
    s.randomRule = ui->randomRuleComboBox->currentIndex();
    s.randomLength = ui->charCountSpinBox->value();
    s.timeSource = ui->timeTypeComboBox->currentIndex();
    s.timeStyle = ui->timeStyleComboBox->currentIndex();
    s.startLetter = ui->startCharSpinBox->value() - LetterValueOffset;
    s.letterIncrement = ui->incrementCharSpinBox->value();
    writeCommonFields({s.caseMode, s.chineseScript, s.pinyin, s.extensionEnabled, s.extensionMode, s.newExtension,
                       s.extensionFind, s.extensionReplace});
}

void CustormRename::updateSections()
{
    RenameSettingsPage::updateSections();
    ui->numberSettingBackgrounWidget->setEnabled(ui->numberSetCheck->isChecked());
    setShown(ui->custormPosWidget, ui->custormPosBtn->isChecked());
    setShown(ui->insertCustormPosWidget, m_insertMode && ui->insertCustormPosBtn->isChecked());
    showStackPage(ui->numberTypeStackedWidget, ui->typeBtnGroup->checkedId());
}
