#include "timepage.h"
#include "ui_timepage.h"

#include "timeprop/timepagewidget.h"
#include "timeprop/timepropertywidget.h"

TimePage::TimePage(QWidget *parent) : QWidget(parent), ui(new Ui::TimePage)
{
    ui->setupUi(this);
    connect(ui->editWidgget, &TimePageWidget::tabelEmpty, this, &TimePage::onTabelEmpty);
}

TimePage::~TimePage()
{
    delete ui;
}

TimePageWidget *TimePage::editWidget() const
{
    return ui->editWidgget;
}

TimePropertyWidget *TimePage::propertyWidget() const
{
    return ui->propertyWidget;
}

void TimePage::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
    ui->editWidgget->setFolderMode(folderMode);
    ui->propertyWidget->setFolderMode(folderMode);
}

void TimePage::onTabelEmpty(bool isEmpty)
{
    // The start button of the panel follows the list: enabled exactly while it has rows.
    ui->propertyWidget->setStartEnabled(!isEmpty);
}
