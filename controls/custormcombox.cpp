#include "custormcombox.h"

#include <QListView>
#include <QWheelEvent>

CustormCombox::CustormCombox(QWidget *parent) : QComboBox(parent) {}

void CustormCombox::showPopup()
{
    if (!m_listViewSet) {
        m_listViewSet = true;
        setView(new QListView(this));
        // A popup is a window of its own and does not inherit the box's font: QComboBox hands it over.
        QEvent fontChange(QEvent::FontChange);
        QComboBox::changeEvent(&fontChange);
    }
    QComboBox::showPopup();
}

QSize CustormCombox::sizeHint() const
{
    m_measured = true;
    return QComboBox::sizeHint();
}

QSize CustormCombox::minimumSizeHint() const
{
    m_measured = true;
    return QComboBox::minimumSizeHint();
}

// Before its popup exists and before it was measured, a style or font change leaves QComboBox nothing to
// clear but builds the popup: the box takes it as any widget does.
void CustormCombox::changeEvent(QEvent *event)
{
    const bool restyle = event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange;
    if (restyle && !m_listViewSet && !m_measured && !isEditable()) {
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}

void CustormCombox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
