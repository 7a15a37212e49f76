#pragma once

#include <QWidget>

namespace Ui {
class TimePropertyWidget;
}

class QDateTimeEdit;
class QSpinBox;
struct TimeSettings;

// The settings panel of a time page: whether to change the creation and the modification time, and to
// what: a chosen date and time, each item's own time moved by an offset, the photo's date taken (file page
// only) or a date in the item's name. Every change is written into the page's TimeSettings and announced on the hub
// under the page's key; "重置设置" returns the panel to its start values, "开始命名" starts the run of the page's
// list.
class TimePropertyWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TimePropertyWidget(QWidget *parent = nullptr);
    ~TimePropertyWidget() override;

    // Chooses the key and settings record of the file time page (false) or the folder time page (true)
    // and sets the panel up: boxes cleared, both times now. Called once, by the page.
    void setFolderMode(bool folder);
    bool folderMode() const { return m_folderMode; }
    QString key() const { return m_key; }
    // True once the start values have been recorded, about a second after set-up.
    bool defaultsRecorded() const { return m_defaultsRecorded; }

public slots:
    // The page enables the start button exactly while its list has rows.
    void setStartEnabled(bool enabled);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void on_birthDate_dateTimeChanged(const QDateTime &dateTime);
    void on_modifiedDate_dateTimeChanged(const QDateTime &dateTime);
    void on_createTimeH_valueChanged(int value);
    void on_createTimeM_valueChanged(int value);
    void on_createTimeS_valueChanged(int value);
    void on_updateTimeH_valueChanged(int value);
    void on_updateTimeM_valueChanged(int value);
    void on_updateTimeS_valueChanged(int value);
    void on_setBtn_clicked();
    void on_resetBtn_clicked();

private:
    enum class TimePart { Hour, Minute, Second };

    void onSourceToggled(int id, bool checked);
    void onOffsetChanged();
    // The settings and the visible sections follow the checked source and the offset controls.
    void syncSource();
    void onBirthChecked(bool checked);
    void onModifiedChecked(bool checked);
    void notify(const QDateTime &dateTime);
    void recordPanelDefaults();
    void fitCalendars();
    static void setTimePart(QDateTimeEdit *edit, TimePart part, int value);
    static void showClock(const QDateTime &dateTime, QSpinBox *hour, QSpinBox *minute, QSpinBox *second);

    Ui::TimePropertyWidget *ui;
    TimeSettings *m_settings = nullptr;
    QString m_key;
    bool m_folderMode = false;
    bool m_defaultsRecorded = false;
};
