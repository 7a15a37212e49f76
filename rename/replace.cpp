#include "replace.h"

#include "ui_replace.h"

#include "rename/renamesettings.h"
#include "controls/shown.h"

Replace::Replace(QWidget *parent) : RenameSettingsPage(parent), ui(new Ui::Replace)
{
    ui->setupUi(this);
    ui->autoNameErrorCheck->setText(QStringLiteral("自动解决命名冲突"));
    ui->autoNameErrorCheck->setChecked(true);
    ui->suffixCheckBox->setText(QStringLiteral("扩展名设置"));
    ui->regexCheckBox->setText(QStringLiteral("使用正则表达式"));
    ui->regexErrorLabel->hide();

    watch(ui->replaceFindContentEdit);
    watch(ui->replaceReplaceContentEdit);
    watch(ui->regexCheckBox);
    watch(ui->splitEdit);
    watch(ui->autoNameErrorCheck);

    bindCommonControls(CommonControls::of(ui));
    syncFromControls();
}

Replace::~Replace()
{
    delete ui;
}

bool Replace::bindRecord(const QString &key)
{
    m_settings = replaceSettings(key);
    return m_settings != nullptr;
}

void Replace::writeRecord()
{
    ReplaceSettings &s = *m_settings;
    s.find = ui->replaceFindContentEdit->text();
    s.replaceWith = ui->replaceReplaceContentEdit->text();
    s.useRegex = ui->regexCheckBox->isChecked();
    s.compilePattern();
    s.delimiter = ui->splitEdit->text();
    s.autoResolve = ui->autoNameErrorCheck->isChecked();
    writeCommonFields({s.caseMode, s.chineseScript, s.pinyin, s.extensionEnabled, s.extensionMode, s.newExtension,
                       s.extensionFind, s.extensionReplace});
}

void Replace::updateSections()
{
    RenameSettingsPage::updateSections();
    const QString error = m_settings ? m_settings->regex.errorText() : QString();
    ui->regexErrorLabel->setText(error);
    setShown(ui->regexErrorLabel, !error.isEmpty());
}
