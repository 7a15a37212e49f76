#include "renamepage.h"
#include "ui_renamepage.h"

#include "rename/renamepropertywidget.h"

RenamePage::RenamePage(QWidget *parent) : QWidget(parent), ui(new Ui::RenamePage)
{
    ui->setupUi(this);
    connect(ui->editWidgget, &RenamePageWidget::tabelEmpty, this, &RenamePage::onTabelEmpty);
}

RenamePage::~RenamePage()
{
    delete ui;
}

RenamePageWidget *RenamePage::editWidget() const
{
    return ui->editWidgget;
}

RenamePropertyWidget *RenamePage::propertyWidget() const
{
    return ui->propertyWidget;
}

void RenamePage::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
    ui->editWidgget->setFolderMode(folderMode);
    ui->propertyWidget->setFolderMode(folderMode);
}

void RenamePage::onTabelEmpty(bool isEmpty)
{
    // The start button of the settings panel follows the list: enabled exactly while it has rows.
    ui->propertyWidget->setStartEnabled(!isEmpty);
}
