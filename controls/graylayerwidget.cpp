#include "graylayerwidget.h"

#include <QPainter>
#include <QStyleOption>

GrayLayerWidget::GrayLayerWidget(QWidget *parent) : QWidget(parent) {}

void GrayLayerWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    // Plain QWidget subclasses draw their stylesheet background only through PE_Widget.
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    if (!isEnabled())
        painter.fillRect(rect(), QColor(80, 80, 80));
}
