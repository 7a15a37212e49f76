#include "tipdialog.h"

#include "ui_tipdialog.h"

TipDialog::TipDialog(QWidget *parent) : QDialog(parent), ui(new Ui::TipDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // Only the rounded panel is painted.
    setAttribute(Qt::WA_TranslucentBackground);
    // 取消 is the default: Enter keeps the program open, as Escape does.
    ui->cancelBtn->setFocus();
}

TipDialog::~TipDialog()
{
    delete ui;
}

void TipDialog::on_exitBtn_clicked()
{
    accept();
}

void TipDialog::on_cancelBtn_clicked()
{
    reject();
}
