#include "collectinfopagepropertwidget.h"
#include "ui_collectinfopagepropertwidget.h"

#include "collect/collectexport.h"
#include "collect/collectsettings.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/paneldefaults.h"
#include "filelist/folderpicker.h"
#include "controls/shown.h"

#include <QDir>
#include <QTimer>

CollectInfoPagePropertWidget::CollectInfoPagePropertWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::CollectInfoPagePropertWidget)
{
    ui->setupUi(this);
    ui->setBtn->setEnabled(false);
    ui->exportName->setPlaceholderText(collectPageTitle(false));
    ui->exportName->installEventFilter(this);
    showOutputFolder(defaultCollectOutputFolder());
    // The page sets the mode right after construction; the start values are taken once that has happened.
    QTimer::singleShot(1000, this, &CollectInfoPagePropertWidget::recordPanelDefaults);
}

CollectInfoPagePropertWidget::~CollectInfoPagePropertWidget()
{
    delete ui;
}

bool CollectInfoPagePropertWidget::eventFilter(QObject *watched, QEvent *event)
{
    // The stylesheet gives typed text and the hint one colour whenever it styles the field; the hint must
    // not read as a typed name. Setting the colour changes the palette once more, and then it already fits.
    if (watched == ui->exportName && event->type() == QEvent::PaletteChange) {
        const QColor hint(255, 255, 255, 70);
        QPalette palette = ui->exportName->palette();
        if (palette.color(QPalette::PlaceholderText) != hint) {
            palette.setColor(QPalette::PlaceholderText, hint);
            ui->exportName->setPalette(palette);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CollectInfoPagePropertWidget::setFolderMode(bool folder)
{
    m_folderMode = folder;
    setShown(ui->suffixWidget, !folder);
    setDefaultVisible(ui->suffixWidget, !folder);
    // A blank name exports under the page's title; the field says so before anything is typed.
    ui->exportName->setPlaceholderText(collectPageTitle(folder));
    showOutputFolder(defaultCollectOutputFolder());
    takeControls();
}

QString CollectInfoPagePropertWidget::key() const
{
    return m_folderMode ? Channel::FolderCollectProperty : Channel::FileCollectProperty;
}

CollectSettings &CollectInfoPagePropertWidget::settings() const
{
    return collectSettings(m_folderMode);
}

void CollectInfoPagePropertWidget::setStartEnabled(bool enabled)
{
    ui->setBtn->setEnabled(enabled);
}

void CollectInfoPagePropertWidget::announce()
{
    CNvGlobalObserver::instance()->notifyObservers(key(), Channel::RenameValueUpdate, QVariant());
}

void CollectInfoPagePropertWidget::on_setBtn_clicked()
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::StartCollectInfo, Channel::RenameValueUpdate,
                                                   m_folderMode);
}

void CollectInfoPagePropertWidget::on_exportName_textChanged(const QString &text)
{
    settings().exportName = text;
    announce();
}

void CollectInfoPagePropertWidget::on_exportTypeCombox_currentIndexChanged(int index)
{
    settings().exportType = index;
    announce();
}

void CollectInfoPagePropertWidget::on_replaceExcelLabel_clicked()
{
    chooseOutputFolder();
}

void CollectInfoPagePropertWidget::on_openDirBtn_clicked()
{
    chooseOutputFolder();
}

void CollectInfoPagePropertWidget::chooseOutputFolder()
{
    const QString folder = pickFolder(this, QString(), PickerFolders::Purpose::ExportFolder);
    if (folder.isEmpty())
        return;
    showOutputFolder(folder);
    settings().outputFolder = QDir::fromNativeSeparators(folder);
    announce();
}

void CollectInfoPagePropertWidget::showOutputFolder(const QString &folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    ui->replaceExcelLabel->setText(shown);
    ui->replaceExcelLabel->setToolTip(shown);
}

void CollectInfoPagePropertWidget::setFlag(bool CollectSettings::*flag, bool value, bool checked)
{
    // A click that leaves the button unchecked chose nothing.
    if (!checked)
        return;
    settings().*flag = value;
    announce();
}

void CollectInfoPagePropertWidget::on_hasPathBtn_clicked(bool checked)
{
    setFlag(&CollectSettings::hasPath, true, checked);
}

void CollectInfoPagePropertWidget::on_noPathBtn_clicked(bool checked)
{
    setFlag(&CollectSettings::hasPath, false, checked);
}

void CollectInfoPagePropertWidget::on_hasBirthBtn_clicked(bool checked)
{
    setFlag(&CollectSettings::hasBirth, true, checked);
}

void CollectInfoPagePropertWidget::on_noBirthBtn_clicked(bool checked)
{
    setFlag(&CollectSettings::hasBirth, false, checked);
}

void CollectInfoPagePropertWidget::on_hasModifiedBtn_clicked(bool checked)
{
    setFlag(&CollectSettings::hasModified, true, checked);
}

void CollectInfoPagePropertWidget::on_noModifiedBtn_clicked(bool checked)
{
    setFlag(&CollectSettings::hasModified, false, checked);
}

void CollectInfoPagePropertWidget::on_hassuffix_clicked(bool checked)
{
    setFlag(&CollectSettings::hasSuffix, true, checked);
}

void CollectInfoPagePropertWidget::on_nosuffix_clicked(bool checked)
{
    setFlag(&CollectSettings::hasSuffix, false, checked);
}

void CollectInfoPagePropertWidget::on_resetBtn_clicked()
{
    // Without recorded start values a restore would blank every control.
    if (!m_defaultsRecorded)
        return;
    restoreDefaults(this);
    // The folder shown is restored too; the record must not keep sending exports to another one.
    takeControls();
    announce();
}

void CollectInfoPagePropertWidget::takeControls()
{
    CollectSettings &s = settings();
    s.hasSuffix = ui->hassuffix->isChecked();
    s.hasPath = ui->hasPathBtn->isChecked();
    s.hasBirth = ui->hasBirthBtn->isChecked();
    s.hasModified = ui->hasModifiedBtn->isChecked();
    s.exportName = ui->exportName->text();
    s.exportType = ui->exportTypeCombox->currentIndex();
    s.outputFolder = QDir::fromNativeSeparators(ui->replaceExcelLabel->text());
}

void CollectInfoPagePropertWidget::recordPanelDefaults()
{
    recordDefaults(this);
    m_defaultsRecorded = true;
}
