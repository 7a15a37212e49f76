#include "settingmenu.h"

#include "helppages.h"
#include "ui_settingmenu.h"

SettingMenu::SettingMenu(QWidget *parent) : QMenu(parent), ui(new Ui::SettingMenu)
{
    ui->setupUi(this);
}

SettingMenu::~SettingMenu()
{
    delete ui;
}

// The buttons are not menu actions, so the menu does not close by itself once one is chosen.
void SettingMenu::on_help1_clicked()
{
    close();
    HelpPages::openCustomerService();
}

void SettingMenu::on_help2_clicked()
{
    close();
    HelpPages::openHelpCentre();
}
