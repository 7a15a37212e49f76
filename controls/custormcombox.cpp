#include "custormcombox.h"

#include <QListView>
#include <QWheelEvent>

CustormCombox::CustormCombox(QWidget *parent) : QComboBox(parent) {}

void CustormCombox::showPopup()
{
    if (!m_listViewSet) {
        m_listViewSet = true;
        setView(new QListView(this));
    }
    QComboBox::showPopup();
}

void CustormCombox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
