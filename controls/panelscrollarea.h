#pragma once

#include <QPointer>
#include <QScrollArea>

// A scroll area whose contents are measured once, styled, when the area is first shown.
//
// Qt's form compiler builds a scroll area's contents without a parent and then calls setWidget, which
// measures every widget inside before any of them is styled: a measure thrown away at the first polish, and
// paid again for every panel the window builds but does not show. Forms declare this class instead of
// QScrollArea; uic's setWidget then reaches this one, which only puts the contents in place, inside the
// viewport, and hands them to QScrollArea when the area is first shown.
class PanelScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit PanelScrollArea(QWidget *parent = nullptr);

    void setWidget(QWidget *widget);
    // The contents, handed over or still waiting.
    QWidget *widget() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPointer<QWidget> m_waiting;
};
