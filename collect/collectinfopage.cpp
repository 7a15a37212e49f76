#include "collectinfopage.h"
#include "ui_collectinfopage.h"

#include "collect/collectinfopagepropertwidget.h"
#include "collect/collectinfopagewidget.h"

CollectInfoPage::CollectInfoPage(QWidget *parent) : QWidget(parent), ui(new Ui::CollectInfoPage)
{
    ui->setupUi(this);
    // The start button follows the list: enabled exactly while it has rows.
    connect(ui->editWidgget, &CollectInfoPageWidget::tabelEmpty, ui->propertyWidget,
            [this](bool isEmpty) { ui->propertyWidget->setStartEnabled(!isEmpty); });
}

CollectInfoPage::~CollectInfoPage()
{
    delete ui;
}

CollectInfoPageWidget *CollectInfoPage::editWidget() const
{
    return ui->editWidgget;
}

CollectInfoPagePropertWidget *CollectInfoPage::propertyWidget() const
{
    return ui->propertyWidget;
}

void CollectInfoPage::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
    ui->editWidgget->setFolderMode(folderMode);
    ui->propertyWidget->setFolderMode(folderMode);
}
