#include "import.h"

#include "ui_import.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/paneldefaults.h"
#include "controls/toolbuttonicon.h"
#include "filelist/folderpicker.h"
#include "filelist/revealinfilemanager.h"
#include "import/workbookread.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QStackedWidget>

Import::Import(QWidget *parent) : QWidget(parent), ui(new Ui::Import)
{
    ui->setupUi(this);
    setToolButtonIcon(ui->importExcelBtn, QStringLiteral(":/image/importExcel.svg"));
    setProperty("ValueName", Channel::ImportExcelRename);
    ui->hasExportExcelwidget->hide();
    setDefaultVisible(ui->importExcelBtn, true);
    setDefaultVisible(ui->hasExportExcelwidget, false);
}

Import::~Import()
{
    delete ui;
}

QString Import::workbookPath() const
{
    return ui->replaceExcelLabel->text();
}

void Import::setWorkbook(const QString &path)
{
    if (path.isEmpty())
        return;
    showWorkbook(path);
    dropRead();
    m_currentRead = startWorkbookRead(path, this, [this](const QVariantList &rows) { adoptRows(rows); });
}

void Import::dropRead()
{
    if (m_currentRead)
        m_currentRead->cancel();
}

void Import::forgetWorkbook()
{
    dropRead();
    m_names.clear();
    ui->replaceExcelLabel->setText(QString());
    ui->replaceExcelLabel->setToolTip(QString());
    ui->replaceExcelLabel->setIcon(QIcon());
    ui->hasExportExcelwidget->hide();
    ui->importExcelBtn->show();
}

void Import::restoreRecordedDefaults()
{
    restoreDefaults(this);
    forgetWorkbook();
}

QStringList Import::namesOfRows(const QVariantList &rows)
{
    QStringList names;
    names.reserve(rows.size());
    for (const QVariant &row : rows)
        names.append(row.toStringList().value(0));
    return names;
}

void Import::on_importExcelBtn_clicked()
{
    chooseWorkbook();
}

void Import::on_changeExcelBtn_clicked()
{
    chooseWorkbook();
}

void Import::on_replaceExcelLabel_clicked()
{
    chooseWorkbook();
}

void Import::on_deleteExcelBtn_clicked()
{
    forgetWorkbook();
    announceNames();
}

void Import::announceNames()
{
    const QVariantMap payload{{QStringLiteral("names"), m_names}, {QStringLiteral("folderMode"), m_folderMode}};
    CNvGlobalObserver::instance()->notifyObservers(Channel::ImportExcelRename, Channel::RenameValueUpdate, payload);
}

void Import::on_openDirBtn_clicked()
{
    revealInFileManager(workbookPath());
}

void Import::chooseWorkbook()
{
    setWorkbook(pickWorkbook(this));
}

void Import::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
}

void Import::showWorkbook(const QString &path)
{
    ui->replaceExcelLabel->setIcon(QFileIconProvider().icon(QFileInfo(path)));
    ui->replaceExcelLabel->setText(path);
    ui->replaceExcelLabel->setToolTip(path);
    ui->hasExportExcelwidget->show();
    ui->importExcelBtn->hide();
}

void Import::adoptRows(const QVariantList &rows)
{
    m_names = namesOfRows(rows);
    // A read that ends while the panel shows another mode keeps its names for when this one is shown.
    const auto *stack = qobject_cast<const QStackedWidget *>(parentWidget());
    if (!stack || stack->currentWidget() == this)
        announceNames();
}
