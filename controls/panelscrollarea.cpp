#include "panelscrollarea.h"

PanelScrollArea::PanelScrollArea(QWidget *parent) : QScrollArea(parent) {}

void PanelScrollArea::setWidget(QWidget *widget)
{
    if (isVisible()) {
        QScrollArea::setWidget(widget);
        return;
    }
    widget->setParent(viewport());
    m_waiting = widget;
}

QWidget *PanelScrollArea::widget() const
{
    return m_waiting ? m_waiting.data() : QScrollArea::widget();
}

void PanelScrollArea::showEvent(QShowEvent *event)
{
    if (m_waiting) {
        QScrollArea::setWidget(m_waiting);
        m_waiting.clear();
    }
    QScrollArea::showEvent(event);
}
