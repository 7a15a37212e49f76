#include "custormcombox.h"

#include <QListView>
#include <QWheelEvent>

CustormCombox::CustormCombox(QWidget *parent) : QComboBox(parent)
{
    setView(new QListView(this));
}

void CustormCombox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
