#pragma once

#include <QToolButton>

// The stylesheet keys on the "Type" property to draw this button.
class BluePushBtn : public QToolButton
{
    Q_OBJECT
public:
    explicit BluePushBtn(QWidget *parent = nullptr);
};
