#include "pagestack.h"

#include "polishhold.h"

#include <QEvent>

PageStack::PageStack(QWidget *parent) : QStackedWidget(parent)
{
    connect(this, &QStackedWidget::currentChanged, this, &PageStack::wake);
}

void PageStack::adoptPages(Styling styling)
{
    const QObjectList kids = children();
    for (QObject *child : kids) {
        auto *page = qobject_cast<QWidget *>(child);
        if (!page || page->isWindow() || indexOf(page) >= 0)
            continue;
        addWidget(page);
        if (styling == StyleWhenShown && page != currentWidget())
            sendToSleep(page);
    }
}

bool PageStack::isDormant(const QWidget *page) const
{
    return m_dormantPages.contains(const_cast<QWidget *>(page));
}

void PageStack::sendToSleep(QWidget *page)
{
    m_dormantPages.insert(page);
    page->installEventFilter(this);
    const QList<QWidget *> widgets = page->findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        widget->installEventFilter(this);
}

// The page polishes itself first, then every widget whose polish was held back, parents before children, as
// Qt would have done; each polish still passes any other stack's hold on a page inside this one.
void PageStack::wake(int index)
{
    QWidget *page = widget(index);
    if (!page || !m_dormantPages.remove(page))
        return;
    QList<QWidget *> widgets = page->findChildren<QWidget *>();
    widgets.prepend(page);
    for (QWidget *widget : qAsConst(widgets))
        widget->removeEventFilter(this);
    for (QWidget *widget : qAsConst(widgets)) {
        const bool held = m_heldBack.remove(widget);
        const bool restyled = m_restyled.remove(widget);
        PolishHold::deliverHeld(widget, held, restyled);
    }
}

// A style change before the polish would have the widget measure itself unstyled: it waits for the polish.
bool PageStack::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Polish) {
        m_heldBack.insert(watched);
        return true;
    }
    if (event->type() != QEvent::StyleChange
        || static_cast<QWidget *>(watched)->testAttribute(Qt::WA_WState_Polished))
        return false;
    m_restyled.insert(watched);
    return true;
}
