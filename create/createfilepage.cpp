#include "createfilepage.h"
#include "ui_createfilepage.h"

#include "create/createfileempty.h"

CreateFilePage::CreateFilePage(QWidget *parent) : QWidget(parent), ui(new Ui::CreateFilePage)
{
    ui->setupUi(this);
    connect(ui->propertyWidget, &CreateFilePropertyWidget::changePage, ui->editWidgget->fileList(),
            &CreateFileEmpty::onPageChanged);
    // The start button follows the list: enabled exactly while it reports rows.
    connect(ui->editWidgget, &CreateFilePageWidget::tabelEmpty, ui->propertyWidget,
            [this](bool isEmpty) { ui->propertyWidget->setStartEnabled(!isEmpty); });
}

CreateFilePage::~CreateFilePage()
{
    delete ui;
}

CreateFilePageWidget *CreateFilePage::editWidget() const
{
    return ui->editWidgget;
}

CreateFilePropertyWidget *CreateFilePage::propertyWidget() const
{
    return ui->propertyWidget;
}
