#pragma once

#include "create/createrules.h"

#include <QWidget>

namespace Ui {
class CustormCreate;
}

// The "自定义创建" page of the create panel: a count of items of one type, named from a base name and a
// generated part (a number, a letter, random characters or the current time) before, after or inside it,
// made in a chosen folder. Every change regenerates the custom plan and announces it, so the list always
// shows the names the job will use.
class CustormCreate : public QWidget
{
    Q_OBJECT
public:
    explicit CustormCreate(QWidget *parent = nullptr);
    ~CustormCreate() override;

    const CreateRules &rules() const { return m_rules; }

    // Replans every item from the rules and the controls, and announces the plan.
    void regeneratePlan();
    // Asks for the target folder; a cancelled dialog changes nothing.
    void pickTargetFolder();
    void setTargetFolder(const QString &folder);
    // Puts the controls back to their recorded start values; the plan is replanned once, by resetCustomRules.
    void restoreRecordedDefaults();
    // Brings the rules and the plan in line with the restored controls and announces the plan.
    void resetCustomRules();

private slots:
    void on_firstBtn_clicked(bool checked);
    void on_lastBtn_clicked(bool checked);
    void on_custormPosBtn_clicked(bool checked);
    void on_numbderBtn_clicked(bool checked);
    void on_charBtn_clicked(bool checked);
    void on_randomBtn_clicked(bool checked);
    void on_timeBtn_clicked(bool checked);
    void on_numberBehindCountSpinBox_valueChanged(int value);
    void on_startCharSpinBox_valueChanged(int value);
    void on_incrementCharSpinBox_valueChanged(int value);
    void on_startNumberSpinBox_valueChanged(int value);
    void on_incrementNumberSpinBox_valueChanged(int value);
    void on_numberCountSpinBox_valueChanged(int value);
    void on_createCountSpinBox_valueChanged(int value);
    void on_createNamelineEdit_textChanged(const QString &text);
    void on_exportTypeCombox_currentIndexChanged(int index);
    void on_exportTypeCombox_activated(int index);
    void on_charCountSpinBox_valueChanged(int value);
    void on_randomRuleComboBox_currentIndexChanged(int index);
    void on_replacePathLabel_clicked();
    void on_openPathBtn_clicked();

private:
    void setPosition(int position, bool checked);
    void setNumberType(int type, QWidget *page, bool checked);
    void onTimeStyleChanged(int index);
    void onAutoResolveChecked(bool isChecked);
    void announce();
    void readRulesFromControls();

    Ui::CustormCreate *ui;
    CreateRules m_rules;
    // While the controls are put back one by one, their change slots only note the values.
    bool m_restoring = false;
};
