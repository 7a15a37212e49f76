#include "keyboardshortcuts.h"

#include "helppages.h"

#include "filelist/customtabelwidget.h"
#include "filelist/itemlistwidget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QShortcut>
#include <QStackedWidget>

namespace {

struct PageButtonKey
{
    const char *button;
    int keys;
};

// Every page names its buttons alike; a page without one of them ignores the key.
const PageButtonKey kPageButtonKeys[] = {
    {"addFile", Qt::CTRL + Qt::Key_O},
    {"addFolder", Qt::CTRL + Qt::SHIFT + Qt::Key_O},
    {"undo", Qt::CTRL + Qt::Key_Z},
    {"setBtn", Qt::CTRL + Qt::Key_Return},
};

QAbstractButton *usableButton(QWidget *page, const char *objectName)
{
    auto *button = page ? page->findChild<QAbstractButton *>(QLatin1String(objectName)) : nullptr;
    return button && button->isVisible() && button->isEnabled() ? button : nullptr;
}

// Ctrl+Return is shown as Ctrl+Enter, the name on the key.
QString keyText(const QKeySequence &keys)
{
    if (keys == QKeySequence(Qt::CTRL + Qt::Key_Return))
        return QKeySequence(Qt::CTRL + Qt::Key_Enter).toString(QKeySequence::NativeText);
    return keys.toString(QKeySequence::NativeText);
}

} // namespace

KeyboardShortcuts::KeyboardShortcuts(QWidget *window, QStackedWidget *pages, QButtonGroup *pageButtons)
    : QObject(window), m_window(window), m_pages(pages)
{
    for (const PageButtonKey &entry : kPageButtonKeys)
        addPageButton(entry.button, QKeySequence(entry.keys));
    // The keypad's Enter starts too.
    addPageButton("setBtn", QKeySequence(Qt::CTRL + Qt::Key_Enter));
    add(QKeySequence(Qt::Key_Delete), &KeyboardShortcuts::removeSelectedRows);
    add(QKeySequence(Qt::CTRL + Qt::Key_A), &KeyboardShortcuts::selectAllRows);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), window), &QShortcut::activated, &HelpPages::openHelpCentre);

    const QList<QAbstractButton *> buttons = pageButtons->buttons();
    for (int i = 0; i < buttons.size() && i < 9; ++i) {
        QAbstractButton *button = buttons.at(i);
        const QKeySequence keys(Qt::CTRL + Qt::Key_1 + i);
        // The focus goes with the page, so Tab carries on from its button into it.
        connect(new QShortcut(keys, window), &QShortcut::activated, button, [button] {
            button->click();
            button->setFocus(Qt::ShortcutFocusReason);
        });
        // The button's text is elided in a narrow window; the tooltip keeps it whole.
        button->setToolTip(toolTip(button->text(), keys));
    }

    for (int i = 0; i < pages->count(); ++i)
        describePageButtons(pages->widget(i));
    // A page built only when first shown gets its tooltips then.
    connect(pages, &QStackedWidget::currentChanged, this,
            [this](int index) { describePageButtons(m_pages->widget(index)); });
}

QString KeyboardShortcuts::toolTip(const QString &text, const QKeySequence &keys)
{
    return QStringLiteral("%1 (%2)").arg(text, keyText(keys));
}

void KeyboardShortcuts::add(const QKeySequence &keys, void (KeyboardShortcuts::*action)())
{
    connect(new QShortcut(keys, m_window), &QShortcut::activated, this, action);
}

void KeyboardShortcuts::addPageButton(const char *objectName, const QKeySequence &keys)
{
    connect(new QShortcut(keys, m_window), &QShortcut::activated, this,
            [this, objectName] { pressOnPage(objectName); });
}

void KeyboardShortcuts::describePageButtons(QWidget *page)
{
    if (!page)
        return;
    for (const PageButtonKey &entry : kPageButtonKeys) {
        const auto buttons = page->findChildren<QAbstractButton *>(QLatin1String(entry.button));
        for (QAbstractButton *button : buttons)
            button->setToolTip(toolTip(button->text(), QKeySequence(entry.keys)));
    }
}

void KeyboardShortcuts::pressOnPage(const char *objectName)
{
    if (QAbstractButton *button = usableButton(m_pages->currentWidget(), objectName))
        button->click();
}

void KeyboardShortcuts::removeSelectedRows()
{
    if (auto *list = m_pages->currentWidget()->findChild<ItemListWidget *>())
        list->removeSelectedRows();
}

void KeyboardShortcuts::selectAllRows()
{
    auto *list = m_pages->currentWidget()->findChild<ItemListWidget *>();
    if (list && list->table()->isVisible())
        list->table()->selectAll();
}
