#include "pagestack.h"

PageStack::PageStack(QWidget *parent) : QStackedWidget(parent) {}

void PageStack::adoptPages()
{
    const QObjectList kids = children();
    for (QObject *child : kids) {
        auto *page = qobject_cast<QWidget *>(child);
        if (page && !page->isWindow() && indexOf(page) < 0)
            addWidget(page);
    }
}
