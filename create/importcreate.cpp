#include "importcreate.h"
#include "ui_importcreate.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "hub/mycustomevent.h"
#include "hub/mydialogmessageevent.h"
#include "controls/paneldefaults.h"
#include "controls/toolbuttonicon.h"
#include "create/creationplan.h"
#include "filelist/additionplan.h"
#include "filelist/folderpicker.h"
#include "filelist/revealinfilemanager.h"
#include "ooxml/spreadsheetreader.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QUuid>

// Receives the events of one workbook read and hands them to its page while that read is current.
class CreationWorkbookRead : public QObject
{
public:
    explicit CreationWorkbookRead(ImportCreate *page) : QObject(page), m_page(page) {}

protected:
    void customEvent(QEvent *event) override { m_page->handleReadEvent(event); }

private:
    ImportCreate *m_page;
};

ImportCreate::ImportCreate(QWidget *parent) : QWidget(parent), ui(new Ui::ImportCreate)
{
    ui->setupUi(this);
    ui->createTemplateWidgetBackgroun->hide();
    setDefaultVisible(ui->createTemplateWidgetBackgroun, false);
    ui->hasExportExcelwidget->hide();
    setDefaultVisible(ui->hasExportExcelwidget, false);
    setDefaultVisible(ui->importExcelBtn, true);
    setToolButtonIcon(ui->importExcelBtn, QStringLiteral(":/image/importExcel.svg"));
    setToolButtonIcon(ui->openTemplateBtn, QStringLiteral(":/image/openDir.svg"));
    setToolButtonIcon(ui->openPathBtn, QStringLiteral(":/image/openDir.svg"));
    setToolButtonIcon(ui->openDirBtn, QStringLiteral(":/image/openDir.svg"));

    const QString folder = defaultTargetFolder();
    ui->replacePathLabel->setText(folder);
    importPlan().targetFolder = folder;
}

ImportCreate::~ImportCreate()
{
    delete ui;
}

void ImportCreate::announce()
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::ImportCreateExcelRename, Channel::RenameValueUpdate,
                                                   QVariant());
}

QString ImportCreate::workbookPath() const
{
    return ui->replaceExcelLabel->text();
}

void ImportCreate::pickSpreadsheet()
{
    setWorkbook(pickWorkbook(this));
}

void ImportCreate::setWorkbook(const QString &path)
{
    if (path.isEmpty())
        return;
    ui->replaceExcelLabel->setIcon(QFileIconProvider().icon(QFileInfo(path)));
    ui->replaceExcelLabel->setText(path);
    ui->replaceExcelLabel->setToolTip(path);
    ui->hasExportExcelwidget->show();
    ui->importExcelBtn->hide();
    delete m_currentRead;
    m_currentRead = new CreationWorkbookRead(this);
    startSpreadsheetRead(path, m_currentRead);
}

void ImportCreate::pickTargetFolder()
{
    const QString folder = pickFolder(this, QStringLiteral("打开"), PickerFolders::Purpose::CreateTarget);
    if (!folder.isEmpty())
        setTargetFolder(folder);
}

void ImportCreate::setTargetFolder(const QString &folder)
{
    ui->replacePathLabel->setText(folder);
    importPlan().targetFolder = folder;
    announce();
}

void ImportCreate::resetImportPlan()
{
    // A read still under way belongs to the workbook the reset took away.
    delete m_currentRead;
    ui->replaceExcelLabel->setIcon(QIcon());
    ui->replaceExcelLabel->setToolTip(QString());
    CreationPlan &plan = importPlan();
    plan = CreationPlan();
    plan.targetFolder = ui->replacePathLabel->text();
    plan.autoResolve = true;
    announce();
}

void ImportCreate::customEvent(QEvent *event)
{
    handleReadEvent(event);
}

void ImportCreate::handleReadEvent(QEvent *event)
{
    if (event->type() == MyCustomEvent::EventType) {
        adoptRows(static_cast<MyCustomEvent *>(event)->rows());
    } else if (event->type() == MyDialogMessageEvent::EventType) {
        CNvGlobalObserver::instance()->notifyObservers(Channel::MessageErrorTip, Channel::NoName,
                                                       static_cast<MyDialogMessageEvent *>(event)->message());
    }
}

void ImportCreate::adoptRows(const QVariantList &rows)
{
    PlannedItemList items;
    items.reserve(qMin(rows.size(), kListCapacity));
    for (const QVariant &row : rows) {
        if (items.size() >= kListCapacity) {
            CNvGlobalObserver::instance()->notifyObservers(Channel::AppCapacityLimit, Channel::NoName, QVariant());
            break;
        }
        const QStringList texts = row.toStringList();
        if (texts.isEmpty())
            continue;
        items.append({texts.first(), QUuid::createUuid().toString(), StatusPending});
    }
    importPlan().items = items;
    announce();
}

void ImportCreate::on_importExcelBtn_clicked()
{
    pickSpreadsheet();
}

void ImportCreate::on_changeExcelBtn_clicked()
{
    pickSpreadsheet();
}

void ImportCreate::on_replaceExcelLabel_clicked()
{
    pickSpreadsheet();
}

void ImportCreate::on_openDirBtn_clicked()
{
    revealInFileManager(workbookPath());
}

void ImportCreate::on_openPathBtn_clicked()
{
    pickTargetFolder();
}

void ImportCreate::on_replacePathLabel_clicked()
{
    pickTargetFolder();
}

void ImportCreate::on_exportTypeCombox_currentIndexChanged(int index)
{
    importPlan().creationType = index;
    announce();
}
