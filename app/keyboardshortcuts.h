#pragma once

#include <QKeySequence>
#include <QObject>

class QAbstractButton;
class QButtonGroup;
class QStackedWidget;
class QWidget;

// The main window's shortcuts. Each acts on the page shown: Ctrl+O 添加文件, Ctrl+Shift+O 添加文件夹,
// Ctrl+Z 撤销修改, Ctrl+Enter the start button (a button that is hidden or disabled is not pressed),
// Delete removes the list's selected rows, Ctrl+A selects them all; F1 opens the help centre and
// Ctrl+1 to Ctrl+7 show the seven pages. Text fields keep their own Ctrl+A, Ctrl+Z and Delete. Each
// button's tooltip names its key, and the page buttons' tooltips carry their full text.
class KeyboardShortcuts : public QObject
{
    Q_OBJECT
public:
    KeyboardShortcuts(QWidget *window, QStackedWidget *pages, QButtonGroup *pageButtons);

    // The tooltip of a button with a shortcut: its text, then the key ("添加文件 (Ctrl+O)").
    static QString toolTip(const QString &text, const QKeySequence &keys);

private:
    void add(const QKeySequence &keys, void (KeyboardShortcuts::*action)());
    void addPageButton(const char *objectName, const QKeySequence &keys);
    void describePageButtons(QWidget *page);
    void pressOnPage(const char *objectName);
    void removeSelectedRows();
    void selectAllRows();

    QWidget *m_window;
    QStackedWidget *m_pages;
};
