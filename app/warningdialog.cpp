#include "warningdialog.h"

#include "ui_warningdialog.h"

WarningDialog::WarningDialog(QWidget *parent) : QDialog(parent), ui(new Ui::WarningDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
}

WarningDialog::~WarningDialog()
{
    delete ui;
}

void WarningDialog::setMessage(const QString &message)
{
    ui->tipLabel->setText(message);
}

// Both buttons only acknowledge the message: accept() emits accepted(), ends exec() and, the dialog being
// deleted on close, disposes of it.
void WarningDialog::on_closeBtn_clicked()
{
    accept();
}

void WarningDialog::on_okBtn_clicked()
{
    accept();
}
