#include "shown.h"

#include <QWidget>

void setShown(QWidget *widget, bool shown)
{
    if (widget->isHidden() != shown)
        return;
    widget->setVisible(shown);
}
