#include "timepropertywidget.h"

#include "ui_timepropertywidget.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/paneldefaults.h"
#include "fileops/filetimes.h"
#include "timeprop/timesettings.h"
#include "controls/shown.h"

#include <QCalendarWidget>
#include <QTimer>

namespace {

const QStringList kNotRestored = {QStringLiteral("QLineEdit"), QStringLiteral("QLabel")};

constexpr qint64 SecondsPerDay = 86400;

// The panel shows whole seconds; a run must not write a fraction the user never saw.
QDateTime wholeSeconds(QDateTime dateTime)
{
    const QTime time = dateTime.time();
    dateTime.setTime(QTime(time.hour(), time.minute(), time.second()));
    return dateTime;
}

// Sets edit to dateTime and returns whether its change signal fired.
bool setDateTime(QDateTimeEdit *edit, const QDateTime &dateTime)
{
    const QDateTime before = edit->dateTime();
    edit->setDateTime(dateTime);
    return edit->dateTime() != before;
}

} // namespace

TimePropertyWidget::TimePropertyWidget(QWidget *parent) : QWidget(parent), ui(new Ui::TimePropertyWidget)
{
    ui->setupUi(this);
    ui->setBtn->setEnabled(false);
    setShown(ui->birthTimeTipLabel, !systemSetsCreationTimes());
    connect(ui->birthTimeSetCheck, &CustormCheckBox::Checked, this, &TimePropertyWidget::onBirthChecked);
    connect(ui->modifiedTimeSetCheck, &CustormCheckBox::Checked, this, &TimePropertyWidget::onModifiedChecked);

    ui->sourceBtnGroup->setId(ui->fixedSourceBtn, int(TimeSource::Fixed));
    ui->sourceBtnGroup->setId(ui->offsetSourceBtn, int(TimeSource::Offset));
    ui->sourceBtnGroup->setId(ui->photoSourceBtn, int(TimeSource::PhotoTaken));
    ui->sourceBtnGroup->setId(ui->nameSourceBtn, int(TimeSource::NameDate));
    connect(ui->sourceBtnGroup, &QButtonGroup::idToggled, this, &TimePropertyWidget::onSourceToggled);
    connect(ui->offsetSignCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TimePropertyWidget::onOffsetChanged);
    for (QSpinBox *spin : {ui->offsetDaysSpin, ui->offsetHoursSpin, ui->offsetMinutesSpin, ui->offsetSecondsSpin})
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &TimePropertyWidget::onOffsetChanged);
    setShown(ui->offsetWidget, false);
    setDefaultVisible(ui->offsetWidget, false);
}

TimePropertyWidget::~TimePropertyWidget()
{
    delete ui;
}

void TimePropertyWidget::setFolderMode(bool folder)
{
    m_folderMode = folder;
    m_key = folder ? Channel::FolderTimeProperty : Channel::FileTimeProperty;
    m_settings = &timeSettings(folder);

    // The date taken is a photo's; a folder has none.
    setShown(ui->photoSourceBtn, !folder);
    setDefaultVisible(ui->photoSourceBtn, !folder);
    ui->fixedSourceBtn->setChecked(true);
    syncSource();
    ui->birthTimeSetCheck->setChecked(false);
    ui->modifiedTimeSetCheck->setChecked(false);
    ui->createTimeWidget->setEnabled(false);
    ui->updateTimeWidget->setEnabled(false);
    m_settings->setCreation = false;
    m_settings->setModification = false;

    const QString format = QStringLiteral("yyyy/MM/dd hh:mm:ss");
    ui->modifiedDate->setDisplayFormat(format);
    ui->birthDate->setDisplayFormat(format);
    // Both times start at now; the change handlers fill the settings and the spin boxes and notify.
    const QDateTime now = wholeSeconds(QDateTime::currentDateTime());
    if (!setDateTime(ui->modifiedDate, now))
        on_modifiedDate_dateTimeChanged(ui->modifiedDate->dateTime());
    if (!setDateTime(ui->birthDate, now))
        on_birthDate_dateTimeChanged(ui->birthDate->dateTime());
    QTimer::singleShot(1000, this, &TimePropertyWidget::recordPanelDefaults);
}

void TimePropertyWidget::setStartEnabled(bool enabled)
{
    ui->setBtn->setEnabled(enabled);
}

void TimePropertyWidget::recordPanelDefaults()
{
    recordDefaults(this, kNotRestored);
    m_defaultsRecorded = true;
}

void TimePropertyWidget::onSourceToggled(int id, bool checked)
{
    Q_UNUSED(id)
    // The button that lost its check is followed by the one that took it.
    if (!checked)
        return;
    syncSource();
    notify(ui->modifiedDate->dateTime());
}

void TimePropertyWidget::onOffsetChanged()
{
    syncSource();
    notify(ui->modifiedDate->dateTime());
}

void TimePropertyWidget::syncSource()
{
    const TimeSource source = TimeSource(qMax(0, ui->sourceBtnGroup->checkedId()));
    const bool fixed = source == TimeSource::Fixed;
    setShown(ui->createTimeWidget, fixed);
    setShown(ui->updateTimeWidget, fixed);
    setShown(ui->offsetWidget, source == TimeSource::Offset);
    if (!m_settings)
        return;
    const qint64 seconds = ui->offsetDaysSpin->value() * SecondsPerDay + ui->offsetHoursSpin->value() * 3600
        + ui->offsetMinutesSpin->value() * 60 + ui->offsetSecondsSpin->value();
    m_settings->source = source;
    m_settings->offsetSeconds = ui->offsetSignCombo->currentIndex() == 1 ? -seconds : seconds;
}

void TimePropertyWidget::onBirthChecked(bool checked)
{
    ui->createTimeWidget->setEnabled(checked);
    if (m_settings)
        m_settings->setCreation = checked;
    notify(ui->birthDate->dateTime());
}

void TimePropertyWidget::onModifiedChecked(bool checked)
{
    ui->updateTimeWidget->setEnabled(checked);
    if (m_settings)
        m_settings->setModification = checked;
    notify(ui->modifiedDate->dateTime());
}

void TimePropertyWidget::notify(const QDateTime &dateTime)
{
    // Before set-up the panel has no page to speak for.
    if (m_key.isEmpty())
        return;
    CNvGlobalObserver::instance()->notifyObservers(m_key, Channel::RenameValueUpdate, dateTime);
}

void TimePropertyWidget::on_birthDate_dateTimeChanged(const QDateTime &dateTime)
{
    if (!m_settings)
        return;
    m_settings->creation = wholeSeconds(dateTime);
    showClock(dateTime, ui->createTimeH, ui->createTimeM, ui->createTimeS);
    notify(ui->birthDate->dateTime());
}

void TimePropertyWidget::on_modifiedDate_dateTimeChanged(const QDateTime &dateTime)
{
    if (!m_settings)
        return;
    m_settings->modification = wholeSeconds(dateTime);
    showClock(dateTime, ui->updateTimeH, ui->updateTimeM, ui->updateTimeS);
    notify(ui->modifiedDate->dateTime());
}

void TimePropertyWidget::showClock(const QDateTime &dateTime, QSpinBox *hour, QSpinBox *minute, QSpinBox *second)
{
    // A spin box set to the part its date edit already shows changes nothing there, so this does not loop.
    const QTime time = dateTime.time();
    hour->setValue(time.hour());
    minute->setValue(time.minute());
    second->setValue(time.second());
}

void TimePropertyWidget::setTimePart(QDateTimeEdit *edit, TimePart part, int value)
{
    QTime time = edit->time();
    const int hour = part == TimePart::Hour ? value : time.hour();
    const int minute = part == TimePart::Minute ? value : time.minute();
    const int second = part == TimePart::Second ? value : time.second();
    if (!time.setHMS(hour, minute, second, time.msec()))
        return;
    edit->setTime(time);
}

void TimePropertyWidget::on_createTimeH_valueChanged(int value)
{
    setTimePart(ui->birthDate, TimePart::Hour, value);
}

void TimePropertyWidget::on_createTimeM_valueChanged(int value)
{
    setTimePart(ui->birthDate, TimePart::Minute, value);
}

void TimePropertyWidget::on_createTimeS_valueChanged(int value)
{
    setTimePart(ui->birthDate, TimePart::Second, value);
}

void TimePropertyWidget::on_updateTimeH_valueChanged(int value)
{
    setTimePart(ui->modifiedDate, TimePart::Hour, value);
}

void TimePropertyWidget::on_updateTimeM_valueChanged(int value)
{
    setTimePart(ui->modifiedDate, TimePart::Minute, value);
}

void TimePropertyWidget::on_updateTimeS_valueChanged(int value)
{
    setTimePart(ui->modifiedDate, TimePart::Second, value);
}

void TimePropertyWidget::on_setBtn_clicked()
{
    CNvGlobalObserver::instance()->notifyObservers(Channel::StartChangeDate, Channel::RenameValueUpdate,
                                                   m_key == Channel::FolderTimeProperty);
}

void TimePropertyWidget::on_resetBtn_clicked()
{
    // Without recorded start values a restore would blank every control.
    if (!m_defaultsRecorded)
        return;
    restoreDefaults(this, kNotRestored);
    syncSource();
    // A restored box emits nothing: the settings, the containers and the list follow it here.
    onBirthChecked(ui->birthTimeSetCheck->isChecked());
    onModifiedChecked(ui->modifiedTimeSetCheck->isChecked());
}

void TimePropertyWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(1000, this, &TimePropertyWidget::fitCalendars);
}

void TimePropertyWidget::fitCalendars()
{
    // The popup calendars take the width of their date edits, but never so little that a week is cut off.
    for (QDateTimeEdit *edit : {ui->birthDate, ui->modifiedDate}) {
        if (QCalendarWidget *calendar = edit->calendarWidget())
            calendar->setFixedWidth(qMax(edit->width(), calendar->minimumSizeHint().width()));
    }
}
