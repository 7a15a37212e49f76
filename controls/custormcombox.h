#pragma once

#include <QComboBox>

// A combo box whose popup is a plain list view (so the stylesheet's item rules apply) and which ignores
// the mouse wheel, so scrolling a panel never changes a setting by accident.
class CustormCombox : public QComboBox
{
    Q_OBJECT
public:
    explicit CustormCombox(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
};
