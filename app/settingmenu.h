#pragma once

#include <QMenu>

namespace Ui {
class SettingMenu;
}

// The help button's pop-up: customer service and the help centre.
class SettingMenu : public QMenu
{
    Q_OBJECT
public:
    explicit SettingMenu(QWidget *parent = nullptr);
    ~SettingMenu() override;

private slots:
    void on_help1_clicked();
    void on_help2_clicked();

private:
    Ui::SettingMenu *ui;
};
