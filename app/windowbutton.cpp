#include "windowbutton.h"

#include "windowbuttonprivate.h"

#include <QEvent>
#include <QMouseEvent>

WindowButton::WindowButton(QWidget *parent)
    : QPushButton(parent), m_d(std::make_unique<WindowButtonPrivate>(this))
{
}

WindowButton::~WindowButton() = default;

QIcon WindowButton::iconNormal() const
{
    return m_d->iconNormal;
}

void WindowButton::setIconNormal(const QIcon &icon)
{
    m_d->iconNormal = icon;
    m_d->reloadIcon();
}

QIcon WindowButton::iconChecked() const
{
    return m_d->iconChecked;
}

void WindowButton::setIconChecked(const QIcon &icon)
{
    m_d->iconChecked = icon;
    m_d->reloadIcon();
}

QIcon WindowButton::iconDisabled() const
{
    return m_d->iconDisabled;
}

void WindowButton::setIconDisabled(const QIcon &icon)
{
    m_d->iconDisabled = icon;
    m_d->reloadIcon();
}

void WindowButton::checkStateSet()
{
    QPushButton::checkStateSet();
    m_d->reloadIcon();
}

// A click changes the checked state without passing through checkStateSet().
void WindowButton::nextCheckState()
{
    QPushButton::nextCheckState();
    m_d->reloadIcon();
}

void WindowButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        m_d->reloadIcon();
}

// Only a left double click counts; the base class would treat the second click as another press.
void WindowButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
