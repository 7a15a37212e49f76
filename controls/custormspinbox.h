#pragma once

#include <QSpinBox>

// A spin box that ignores the mouse wheel, so scrolling a panel never changes a setting by accident.
class CustormSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit CustormSpinBox(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
};
