#include "menubar.h"

#include "ui_menubar.h"

#include <QPainter>
#include <QStyleOption>

Menubar::Menubar(QWidget *parent) : QWidget(parent), ui(new Ui::Menubar)
{
    ui->setupUi(this);
}

Menubar::~Menubar()
{
    delete ui;
}

// A plain QWidget subclass draws its stylesheet background only through PE_Widget.
void Menubar::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
