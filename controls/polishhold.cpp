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
    for (QWidget *widget : qAsConst(widgets))
        deliver(widget);
    for (const QPointer<QWidget> &widget : qAsConst(m_order)) {
        if (widget)
            deliver(widget);
    }
    m_held.clear();
    m_restyled.clear();
    m_order.clear();
}

void PolishHold::deliver(QWidget *widget)
{
    const bool held = m_held.remove(widget);
    const bool restyled = m_restyled.remove(widget);
    deliverHeld(widget, held, restyled);
}

// Size hints asked for before the polish were measured unstyled and some widgets keep them: a style change
// makes them measure again, as when a style is set. Every widget gets it once, after its polish.
void PolishHold::deliverHeld(QWidget *widget, bool polish, bool restyle)
{
    if (polish) {
        QEvent event(QEvent::Polish);
        QCoreApplication::sendEvent(widget, &event);
    }
    if (polish || restyle) {
        QEvent event(QEvent::StyleChange);
        QCoreApplication::sendEvent(widget, &event);
    }
}

// A widget moved into its parent is told its style changed, and so is each widget inside it: before its
// polish that only makes it measure itself with a style it does not have yet, so it waits for the polish.
bool PolishHold::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::Polish && type != QEvent::StyleChange) || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (type == QEvent::StyleChange && widget->testAttribute(Qt::WA_WState_Polished))
        return false;
    QSet<QObject *> &waiting = type == QEvent::Polish ? m_held : m_restyled;
    if (!m_held.contains(widget) && !m_restyled.contains(widget))
        m_order.append(widget);
    waiting.insert(widget);
    return true;
}
