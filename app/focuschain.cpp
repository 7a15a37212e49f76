#include "focuschain.h"

#include <QAbstractItemView>
#include <QScrollArea>
#include <QWidget>

#include <algorithm>

namespace FocusChain {

namespace {

bool takesTab(const QWidget *widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

// Inside a control that is a stop of its own (the field of a spin box, a table's cell editor).
bool insideStop(const QWidget *widget, const QWidget *page)
{
    for (const QWidget *up = widget->parentWidget(); up && up != page; up = up->parentWidget()) {
        if (takesTab(up))
            return true;
    }
    return false;
}

// 0 the toolbar, 1 the list, 2 the settings, 3 the bottom buttons.
int part(const QWidget *widget)
{
    const QString name = widget->objectName();
    if (name == QLatin1String("resetBtn") || name == QLatin1String("setBtn"))
        return 3;
    for (const QWidget *up = widget; up; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractItemView *>(up))
            return 1;
        if (up->objectName() == QLatin1String("editWidgget"))
            return 0;
        if (up->objectName() == QLatin1String("propertyWidget"))
            return 2;
    }
    return 2;
}

// The page's stops in the order the forms created them, which is their reading order within each part.
QList<QWidget *> stopsOf(QWidget *page)
{
    QList<QWidget *> stops;
    for (QWidget *widget = page->nextInFocusChain(); widget && widget != page; widget = widget->nextInFocusChain()) {
        if (!page->isAncestorOf(widget) || !takesTab(widget))
            continue;
        // A panel's scroll area only holds controls; it scrolls to each as the focus reaches it.
        if (qobject_cast<QScrollArea *>(widget)) {
            widget->setFocusPolicy(Qt::NoFocus);
            continue;
        }
        if (!insideStop(widget, page))
            stops.append(widget);
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const QWidget *a, const QWidget *b) { return part(a) < part(b); });
    return stops;
}

} // namespace

void order(const QList<QWidget *> &before, QWidget *page, const QList<QWidget *> &after)
{
    QList<QWidget *> chain = before;
    if (page)
        chain += stopsOf(page);
    chain += after;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

} // namespace FocusChain
