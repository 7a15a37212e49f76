#include "polishhold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PolishHold::PolishHold(QWidget *window) : m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

PolishHold::~PolishHold()
{
    release();
}

// The window's widgets get their polish parents first; anything held outside it (a widget that was still
// being built on its own, a pop-up) after them, in the order it asked.
void PolishHold::release()
{
    if (!m_holding)
        return;
    m_holding = false;
    QCoreApplication::instance()->removeEventFilter(this);
    QList<QWidget *> widgets = m_window->findChildren<QWidget *>();
    widgets.prepend(m_window);
    for (QWidget *widget : qAsConst(widgets)) {
        if (m_held.remove(widget))
            polish(widget);
    }
    for (const QPointer<QWidget> &widget : qAsConst(m_order)) {
        if (widget && m_held.remove(widget))
            polish(widget);
    }
    m_held.clear();
    m_order.clear();
}

// Size hints asked for during the hold were measured unstyled and some widgets keep them: a style change
// makes them measure again, as when a style is set.
void PolishHold::polish(QWidget *widget)
{
    QEvent polish(QEvent::Polish);
    QCoreApplication::sendEvent(widget, &polish);
    QEvent styleChange(QEvent::StyleChange);
    QCoreApplication::sendEvent(widget, &styleChange);
}

bool PolishHold::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Polish || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (!m_held.contains(widget)) {
        m_held.insert(widget);
        m_order.append(widget);
    }
    return true;
}
