#include "import.h"

#include "ui_import.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "hub/mycustomevent.h"
#include "hub/mydialogmessageevent.h"
#include "controls/paneldefaults.h"
#include "controls/toolbuttonicon.h"
#include "filelist/folderpicker.h"
#include "filelist/revealinfilemanager.h"
#include "ooxml/spreadsheetreader.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QStackedWidget>

// Receives the events of one workbook read and hands them to its page while that read is current.
class WorkbookRead : public QObject
{
public:
    explicit WorkbookRead(Import *page) : QObject(page), m_page(page) {}

protected:
    void customEvent(QEvent *event) override { m_page->handleReadEvent(event); }

private:
    Import *m_page;
};

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
    delete m_currentRead;
    m_currentRead = new WorkbookRead(this);
    startSpreadsheetRead(path, m_currentRead);
}

void Import::forgetWorkbook()
{
    delete m_currentRead;
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

void Import::customEvent(QEvent *event)
{
    handleReadEvent(event);
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

void Import::handleReadEvent(QEvent *event)
{
    auto *hub = CNvGlobalObserver::instance();
    if (event->type() == MyCustomEvent::EventType) {
        m_names = namesOfRows(static_cast<MyCustomEvent *>(event)->rows());
        // A read that ends while the panel shows another mode keeps its names for when this one is shown.
        const auto *stack = qobject_cast<const QStackedWidget *>(parentWidget());
        if (!stack || stack->currentWidget() == this)
            announceNames();
    } else if (event->type() == MyDialogMessageEvent::EventType) {
        hub->notifyObservers(Channel::MessageErrorTip, Channel::NoName,
                             static_cast<MyDialogMessageEvent *>(event)->message());
    }
}
