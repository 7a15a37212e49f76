#include "windowmemory.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QSettings>
#include <QWidget>

namespace WindowMemory {

namespace {

const QString kGeometry = QStringLiteral("window/geometry");
const QString kPage = QStringLiteral("window/page");

} // namespace

bool restore(QWidget *window, QButtonGroup *pageButtons)
{
    const QSettings settings;
    // By name, so a page button that is gone or renamed leaves the first page shown.
    const QString page = settings.value(kPage).toString();
    const auto buttons = pageButtons->buttons();
    for (QAbstractButton *button : buttons) {
        if (!page.isEmpty() && button->objectName() == page)
            button->setChecked(true);
    }
    // restoreGeometry keeps the window on a screen that exists now.
    return window->restoreGeometry(settings.value(kGeometry).toByteArray());
}

void save(const QWidget *window, const QButtonGroup *pageButtons)
{
    QSettings settings;
    settings.setValue(kGeometry, window->saveGeometry());
    if (const QAbstractButton *checked = pageButtons->checkedButton())
        settings.setValue(kPage, checked->objectName());
}

} // namespace WindowMemory
