#include "timepagewidget.h"
#include "ui_timepagewidget.h"

#include "controls/toolbuttonicon.h"
#include "timeprop/timelistwidget.h"
#include "controls/shown.h"

TimePageWidget::TimePageWidget(QWidget *parent)
    : QWidget(parent),
      ui(new Ui::TimePageWidget),
      m_undoIcon(QStringLiteral(":/image/undo.svg")),
      m_disabledUndoIcon(QStringLiteral(":/image/disableUndo.svg"))
{
    ui->setupUi(this);
    setToolButtonIcon(ui->addFile, QStringLiteral(":/image/addFile.svg"));
    setToolButtonIcon(ui->addFolder, QStringLiteral(":/image/addFolder.svg"));
    setToolButtonIcon(ui->clearList, QStringLiteral(":/image/clearList.svg"));
    setToolButtonIcon(ui->undo, QStringLiteral(":/image/disableUndo.svg"));
    setUndoEnabled(false);
    connect(ui->fileListWidget, &TimeListWidget::canUndo, this, &TimePageWidget::setUndoEnabled);
    connect(ui->fileListWidget, &TimeListWidget::tabelEmpty, this, &TimePageWidget::tabelEmpty);
    ui->listStatusLine->setList(ui->fileListWidget);
}

TimePageWidget::~TimePageWidget()
{
    delete ui;
}

TimeListWidget *TimePageWidget::fileList() const
{
    return ui->fileListWidget;
}

void TimePageWidget::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
    setShown(ui->addFile, !folderMode);
    ui->fileListWidget->setFolderMode(folderMode);
    ui->listStatusLine->updateCount();
}

void TimePageWidget::setUndoEnabled(bool enabled)
{
    ui->undo->setEnabled(enabled);
    ui->undo->setIcon(enabled ? m_undoIcon : m_disabledUndoIcon);
}

void TimePageWidget::on_addFile_clicked()
{
    ui->fileListWidget->addFromFileDialog();
}

void TimePageWidget::on_addFolder_clicked()
{
    ui->fileListWidget->addFromFolderPicker();
}

void TimePageWidget::on_undo_clicked()
{
    ui->fileListWidget->undoTimeJob();
}

void TimePageWidget::on_clearList_clicked()
{
    ui->fileListWidget->clearList();
}
