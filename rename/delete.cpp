#include "delete.h"

#include "ui_delete.h"

#include "rename/renamesettings.h"

namespace {

enum DeleteWay { ByContent, ByPosition };
enum CountFrom { FromFront, FromEnd };

} // namespace

Delete::Delete(QWidget *parent) : RenameSettingsPage(parent), ui(new Ui::Delete)
{
    ui->setupUi(this);
    ui->suffixCheckBox->setText(QStringLiteral("扩展名设置"));
    ui->deleteWayBtnGroup->setId(ui->assignContentBtn, ByContent);
    ui->deleteWayBtnGroup->setId(ui->assignPosBtn, ByPosition);

    watch(ui->deleteWayBtnGroup);
    watch(ui->textEdit);
    watch(ui->deletePosComboBox);
    watch(ui->deletePosSpinBox);
    watch(ui->deleteCountSpinBox);

    bindCommonControls(CommonControls::of(ui));
    syncFromControls();
}

Delete::~Delete()
{
    delete ui;
}

bool Delete::bindRecord(const QString &key)
{
    m_settings = deleteSettings(key);
    return m_settings != nullptr;
}

void Delete::writeRecord()
{
    DeleteSettings &s = *m_settings;
    s.deleteMode = qMax(0, ui->deleteWayBtnGroup->checkedId());
    s.deleteText = ui->textEdit->toPlainText();
    s.deleteFromEnd = ui->deletePosComboBox->currentIndex();
    s.deleteStart = ui->deletePosSpinBox->value();
    s.deleteCount = ui->deleteCountSpinBox->value();
    writeCommonFields({s.caseMode, s.chineseScript, s.pinyin, s.extensionEnabled, s.extensionMode, s.newExtension,
                       s.extensionFind, s.extensionReplace});
}

void Delete::updateSections()
{
    RenameSettingsPage::updateSections();
    showStackPage(ui->deleteWayStackedWidget, ui->deleteWayBtnGroup->checkedId());
    ui->deletePosLabel->setText(ui->deletePosComboBox->currentIndex() == FromEnd
                                    ? QStringLiteral("个字符向左删除")
                                    : QStringLiteral("个字符向右删除"));
}
