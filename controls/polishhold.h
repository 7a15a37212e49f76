#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVector>

class QWidget;

// Holds back the styling (polish) of every widget while a window builds itself, and gives it to them in one
// pass, parents before children, when the hold ends. Built under a stylesheet, a widget is
// otherwise styled as soon as anything asks for its size and again each time its page is moved into place;
// and the pages a PageStack keeps dormant are not styled at all until they are first shown.
class PolishHold : public QObject
{
    Q_OBJECT
public:
    explicit PolishHold(QWidget *window);
    ~PolishHold() override;

    // Ends the hold early; the destructor calls it too.
    void release();

    // Gives a widget what was held back from it: its polish, when held, and then one style change.
    static void deliverHeld(QWidget *widget, bool polish, bool restyle);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void deliver(QWidget *widget);

    QWidget *m_window;
    QSet<QObject *> m_held;
    // Widgets told of a style change before their polish.
    QSet<QObject *> m_restyled;
    QVector<QPointer<QWidget>> m_order;
    bool m_holding = true;
};
