#include "custormcheckbox.h"

#include "ui_custormcheckbox.h"

CustormCheckBox::CustormCheckBox(QWidget *parent) : QWidget(parent), ui(new Ui::CustormCheckBox)
{
    ui->setupUi(this);
    ui->label->clear();
    connect(ui->checkBox, &QCheckBox::clicked, this, &CustormCheckBox::Checked);
}

CustormCheckBox::~CustormCheckBox()
{
    delete ui;
}

void CustormCheckBox::setText(const QString &text)
{
    ui->label->setText(text);
}

QString CustormCheckBox::text() const
{
    return ui->label->text();
}

void CustormCheckBox::setChecked(bool checked)
{
    ui->checkBox->setChecked(checked);
}

bool CustormCheckBox::isChecked() const
{
    return ui->checkBox->isChecked();
}
