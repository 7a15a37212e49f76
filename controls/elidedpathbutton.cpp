#include "elidedpathbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

ElidedPathButton::ElidedPathButton(QWidget *parent) : QPushButton(parent) {}

void ElidedPathButton::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    int room = contents.width();
    if (!option.icon.isNull())
        room -= option.iconSize.width() + 4;
    option.text = option.fontMetrics.elidedText(option.text, Qt::ElideMiddle, qMax(0, room));
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_PushButton, option);
}
