#pragma once

#include <QComboBox>

// A combo box whose popup is a plain list view (so the stylesheet's item rules apply) and which ignores
// the mouse wheel, so scrolling a panel never changes a setting by accident. The list view is made when the
// popup first opens: a window holds dozens of combo boxes whose popups are mostly never opened, and QComboBox
// would build its popup on the first style or font change.
class CustormCombox : public QComboBox
{
    Q_OBJECT
public:
    explicit CustormCombox(QWidget *parent = nullptr);

    void showPopup() override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_listViewSet = false;
    // Once measured, the box keeps its sizes until a style or font change, which only QComboBox can clear.
    mutable bool m_measured = false;
};
