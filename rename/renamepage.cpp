#include "renamepage.h"
#include "ui_renamepage.h"

#include <QAbstractButton>

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

void RenamePage::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
    ui->editWidgget->setFolderMode(folderMode);
}

void RenamePage::onTabelEmpty(bool isEmpty)
{
    // The start button of the settings panel follows the list: enabled exactly while it has rows.
    if (auto *start = ui->propertyWidget->findChild<QAbstractButton *>(QStringLiteral("setBtn")))
        start->setEnabled(!isEmpty);
}
