#pragma once

#include <QComboBox>

// A combo box whose popup is a plain list view (so the stylesheet's item rules apply) and which ignores
// the mouse wheel, so scrolling a panel never changes a setting by accident. The list view is made when the
// popup first opens: a window holds dozens of combo boxes whose popups are mostly never opened.
class CustormCombox : public QComboBox
{
    Q_OBJECT
public:
    explicit CustormCombox(QWidget *parent = nullptr);

    void showPopup() override;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_listViewSet = false;
};
