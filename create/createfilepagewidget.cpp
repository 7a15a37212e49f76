#include "createfilepagewidget.h"
#include "ui_createfilepagewidget.h"

CreateFilePageWidget::CreateFilePageWidget(QWidget *parent) : QWidget(parent), ui(new Ui::CreateFilePageWidget)
{
    ui->setupUi(this);
    connect(ui->fileListWidget, &CreateFileEmpty::tabelEmpty, this, &CreateFilePageWidget::tabelEmpty);
    ui->listStatusLine->setList(ui->fileListWidget);
}

CreateFilePageWidget::~CreateFilePageWidget()
{
    delete ui;
}

CreateFileEmpty *CreateFilePageWidget::fileList() const
{
    return ui->fileListWidget;
}
