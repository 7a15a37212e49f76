#include "renamepagewidget.h"
#include "ui_renamepagewidget.h"

#include "controls/toolbuttonicon.h"
#include "rename/newnamedelegate.h"
#include "controls/shown.h"

#include <QStyle>

RenamePageWidget::RenamePageWidget(QWidget *parent) : QWidget(parent), ui(new Ui::RenamePageWidget)
{
    ui->setupUi(this);
    setToolButtonIcon(ui->addFile, QStringLiteral(":/image/addFile.svg"));
    setToolButtonIcon(ui->addFolder, QStringLiteral(":/image/addFolder.svg"));
    setToolButtonIcon(ui->clearList, QStringLiteral(":/image/clearList.svg"));
    setUndoEnabled(false);
    connect(ui->fileListWidget, &FileListWidget::canUndo, this, &RenamePageWidget::setUndoEnabled);
    connect(ui->fileListWidget, &FileListWidget::tabelEmpty, this, &RenamePageWidget::tabelEmpty);
    connect(ui->fileListWidget, &FileListWidget::conflictSummaryChanged, this, &RenamePageWidget::showConflictSummary);
    ui->listStatusLine->setList(ui->fileListWidget);
}

RenamePageWidget::~RenamePageWidget()
{
    delete ui;
}

FileListWidget *RenamePageWidget::fileList() const
{
    return ui->fileListWidget;
}

void RenamePageWidget::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
    setShown(ui->addFile, !folderMode);
    ui->fileListWidget->setFolderMode(folderMode);
    ui->listStatusLine->updateCount();
}

void RenamePageWidget::setUndoEnabled(bool enabled)
{
    ui->undo->setEnabled(enabled);
    setToolButtonIcon(ui->undo, enabled ? QStringLiteral(":/image/undo.svg") : QStringLiteral(":/image/disableUndo.svg"));
}

void RenamePageWidget::showConflictSummary(const QString &summary, bool willFail)
{
    setShown(ui->conflictCountWidget, !summary.isEmpty());
    if (summary.isEmpty())
        return;
    QLabel *label = ui->conflictCountLabel;
    label->setText(summary);
    label->setToolTip(summary);
    // The stylesheet keys on "Severity": re-apply it for the new value.
    label->setProperty("Severity", willFail ? QStringLiteral("fail") : QStringLiteral("resolve"));
    label->style()->unpolish(label);
    label->style()->polish(label);
    const QColor color = label->palette().color(QPalette::WindowText);
    ui->conflictMarkLabel->setPixmap(NewNameDelegate::markPixmap(color, 16, devicePixelRatioF()));
}

void RenamePageWidget::on_addFile_clicked()
{
    ui->fileListWidget->addFromFileDialog();
}

void RenamePageWidget::on_addFolder_clicked()
{
    ui->fileListWidget->addFromFolderPicker();
}

void RenamePageWidget::on_undo_clicked()
{
    ui->fileListWidget->undo();
}

void RenamePageWidget::on_clearList_clicked()
{
    ui->fileListWidget->clearList();
}
