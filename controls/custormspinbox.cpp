#include "custormspinbox.h"

#include <QWheelEvent>

CustormSpinBox::CustormSpinBox(QWidget *parent) : QSpinBox(parent) {}

void CustormSpinBox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
