#pragma once

#include <QToolButton>

// A page button of the main window; the stylesheet keys on the "Type" property and fills the checked one.
class IconBlueToolBtn : public QToolButton
{
    Q_OBJECT
public:
    explicit IconBlueToolBtn(QWidget *parent = nullptr);
};
