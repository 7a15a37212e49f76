#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

// Keyboard help for every window of the program while it lives: an outline in the accent colour around the
// control that has the focus, whatever its type or stylesheet (shown once the keyboard moved the focus and
// hidden again by a mouse click, as browsers do), and Enter pressing the focused button as Space does.
// Item views are left alone: a table outlines its own current row.
class KeyboardFocus : public QObject
{
    Q_OBJECT
public:
    explicit KeyboardFocus(QObject *parent = nullptr);
    ~KeyboardFocus() override;

    // The control outlined now, or null.
    QWidget *outlined() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onFocusIn(QWidget *widget, Qt::FocusReason reason);
    void outline(QWidget *widget);
    static bool pressesButton(QWidget *focused, const QKeyEvent *event);

    QPointer<QWidget> m_ring;
    QPointer<QWidget> m_target;
    bool m_visible = false;
};
