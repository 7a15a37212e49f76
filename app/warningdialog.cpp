#include "warningdialog.h"

#include "ui_warningdialog.h"

WarningDialog::WarningDialog(QWidget *parent) : QDialog(parent), ui(new Ui::WarningDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    // Enter presses 确定 and Escape closes; the corner's close button is for the mouse.
    ui->closeBtn->setFocusPolicy(Qt::NoFocus);
    ui->closeBtn->setAutoDefault(false);
    ui->closeBtn->setToolTip(QStringLiteral("关闭"));
    ui->okBtn->setFocus();
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
