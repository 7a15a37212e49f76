#include "timepagewidget.h"
#include "ui_timepagewidget.h"

#include "common/startfolder.h"
#include "common/toolbuttonicon.h"
#include "filelist/additionplan.h"
#include "filelist/filecollector.h"
#include "filelist/folderpicker.h"
#include "timeprop/timelistwidget.h"

#include <QFileDialog>

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
    ui->addFile->setVisible(!folderMode);
    ui->fileListWidget->setFolderMode(folderMode);
}

void TimePageWidget::setUndoEnabled(bool enabled)
{
    ui->undo->setEnabled(enabled);
    ui->undo->setIcon(enabled ? m_undoIcon : m_disabledUndoIcon);
}

void TimePageWidget::on_addFile_clicked()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        nullptr, QStringLiteral("打开"), defaultUserFolder());
    if (!files.isEmpty())
        ui->fileListWidget->addFiles(files);
}

void TimePageWidget::on_addFolder_clicked()
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

void TimePageWidget::on_undo_clicked()
{
    ui->fileListWidget->undoTimeJob();
}

void TimePageWidget::on_clearList_clicked()
{
    ui->fileListWidget->clearList();
}
