#pragma once

#include <QSet>
#include <QStackedWidget>

// A stacked widget whose pages a form builds inside it, and which can leave its pages unstyled until they are
// first shown.
//
// Qt's form compiler builds the pages of a QStackedWidget without a parent and moves each in when it is
// complete, which styles every widget of the page once more (and again inside a page of a page). A form
// declares this class as a plain container (extends QWidget), so that its pages are created in place; the
// form's owner calls adoptPages() right after setupUi.
//
// Styling a widget with the program's stylesheet costs far more than making it, and most pages of the main
// window are never looked at in a session: with StyleWhenShown the pages that are not current when adopted
// stay unstyled (their widgets' polish waits) until they are first made current, whatever asked for it
// meanwhile (a size hint, the window being shown). Every widget of every page exists from the start. Only
// for stacks whose size does not follow their pages: an unstyled page has other size hints.
class PageStack : public QStackedWidget
{
    Q_OBJECT
public:
    enum Styling { StyleNow, StyleWhenShown };

    explicit PageStack(QWidget *parent = nullptr);

    // Stacks the child widgets that are not stacked yet, in the order they were created. The first page is
    // the current one.
    void adoptPages(Styling styling = StyleNow);

    // Whether the page still waits to be styled.
    bool isDormant(const QWidget *page) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sendToSleep(QWidget *page);
    void wake(int index);

    QSet<QWidget *> m_dormantPages;
    // Widgets of dormant pages whose polish was held back.
    QSet<QObject *> m_heldBack;
    // Widgets of dormant pages told of a style change before their polish.
    QSet<QObject *> m_restyled;
};
