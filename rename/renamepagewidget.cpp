#include "renamepagewidget.h"
#include "ui_renamepagewidget.h"

#include "common/startfolder.h"
#include "common/toolbuttonicon.h"
#include "filelist/additionplan.h"
#include "filelist/filecollector.h"
#include "filelist/folderpicker.h"
#include "rename/newnamedelegate.h"

#include <QFileDialog>
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
    ui->addFile->setVisible(!folderMode);
    ui->fileListWidget->setFolderMode(folderMode);
}

void RenamePageWidget::setUndoEnabled(bool enabled)
{
    ui->undo->setEnabled(enabled);
    setToolButtonIcon(ui->undo, enabled ? QStringLiteral(":/image/undo.svg") : QStringLiteral(":/image/disableUndo.svg"));
}

void RenamePageWidget::showConflictSummary(const QString &summary, bool willFail)
{
    ui->conflictCountWidget->setVisible(!summary.isEmpty());
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
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("打开"), defaultUserFolder());
    if (!files.isEmpty())
        ui->fileListWidget->addFiles(files);
}

void RenamePageWidget::on_addFolder_clicked()
{
    const QStringList folders = pickFolders(QStringLiteral("选择目录"));
    if (folders.isEmpty())
        return;
    if (m_folderMode) {
        ui->fileListWidget->addFiles(folders);
        return;
    }
    // All chosen folders make one addition, so duplicates are reported and the capacity warned of once.
    QStringList files;
    for (const QString &folder : folders)
        files.append(collectFilesRecursively(folder, qMax(0, kListCapacity + 1 - files.size())));
    if (!files.isEmpty())
        ui->fileListWidget->addFiles(files);
}

void RenamePageWidget::on_undo_clicked()
{
    ui->fileListWidget->undo();
}

void RenamePageWidget::on_clearList_clicked()
{
    ui->fileListWidget->clearList();
}
