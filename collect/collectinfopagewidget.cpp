#include "collectinfopagewidget.h"
#include "ui_collectinfopagewidget.h"

#include "collect/collectlistwidget.h"
#include "controls/toolbuttonicon.h"
#include "controls/shown.h"

CollectInfoPageWidget::CollectInfoPageWidget(QWidget *parent) : QWidget(parent), ui(new Ui::CollectInfoPageWidget)
{
    ui->setupUi(this);
    setToolButtonIcon(ui->addFile, QStringLiteral(":/image/addFile.svg"));
    setToolButtonIcon(ui->addFolder, QStringLiteral(":/image/addFolder.svg"));
    setToolButtonIcon(ui->clearList, QStringLiteral(":/image/clearList.svg"));
    connect(ui->fileListWidget, &CollectListWidget::tabelEmpty, this, &CollectInfoPageWidget::tabelEmpty);
    ui->listStatusLine->setList(ui->fileListWidget);
    // The list refuses changes while its rows are being written; the toolbar says so instead of doing
    // nothing.
    connect(ui->fileListWidget, &CollectListWidget::exportRunning, this,
            [this](bool running) { setToolbarEnabled(!running); });
}

CollectInfoPageWidget::~CollectInfoPageWidget()
{
    delete ui;
}

CollectListWidget *CollectInfoPageWidget::fileList() const
{
    return ui->fileListWidget;
}

void CollectInfoPageWidget::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
    setShown(ui->addFile, !folderMode);
    ui->fileListWidget->setFolderMode(folderMode);
    ui->listStatusLine->updateCount();
}

void CollectInfoPageWidget::setToolbarEnabled(bool enabled)
{
    ui->addFile->setEnabled(enabled);
    ui->addFolder->setEnabled(enabled);
    ui->clearList->setEnabled(enabled);
}

void CollectInfoPageWidget::on_addFile_clicked()
{
    ui->fileListWidget->addFromFileDialog();
}

void CollectInfoPageWidget::on_addFolder_clicked()
{
    ui->fileListWidget->addFromFolderPicker();
}

void CollectInfoPageWidget::on_clearList_clicked()
{
    ui->fileListWidget->clearList();
}
