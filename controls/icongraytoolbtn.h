#pragma once

#include <QToolButton>

// The stylesheet keys on the "Type" property to draw this button.
class IconGrayToolBtn : public QToolButton
{
    Q_OBJECT
public:
    explicit IconGrayToolBtn(QWidget *parent = nullptr);
};
