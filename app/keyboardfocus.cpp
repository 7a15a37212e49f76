#include "keyboardfocus.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRadioButton>

namespace {

const QColor kAccent(0x40, 0x5D, 0xFF);

// Lies over the outlined control as its topmost child, so the control's own children cannot hide it, and
// lets every click through.
class FocusRing : public QWidget
{
public:
    explicit FocusRing(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kAccent, 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
        // A light inner line keeps the outline visible on controls filled with the accent colour itself.
        painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5), 5, 5);
    }
};

} // namespace

KeyboardFocus::KeyboardFocus(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

KeyboardFocus::~KeyboardFocus()
{
    delete m_ring;
}

QWidget *KeyboardFocus::outlined() const
{
    return m_ring && m_ring->isVisible() ? m_target.data() : nullptr;
}

bool KeyboardFocus::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched->isWidgetType())
            onFocusIn(static_cast<QWidget *>(watched), static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::Resize:
        if (watched == m_target && m_ring)
            m_ring->setGeometry(m_target->rect());
        break;
    case QEvent::KeyPress:
        if (watched->isWidgetType()
            && pressesButton(static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event))) {
            static_cast<QAbstractButton *>(watched)->click();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void KeyboardFocus::onFocusIn(QWidget *widget, Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        m_visible = true;
        break;
    case Qt::MouseFocusReason:
        m_visible = false;
        break;
    default:
        // A window coming back, a popup closing, a focus set by the program: as the user left it.
        break;
    }
    outline(m_visible ? widget : nullptr);
}

void KeyboardFocus::outline(QWidget *widget)
{
    QWidget *target = widget;
    if (target && (target->isWindow() || qobject_cast<QAbstractItemView *>(target)))
        target = nullptr;
    if (!target) {
        if (m_ring)
            m_ring->hide();
        m_target = nullptr;
        return;
    }
    m_target = target;
    if (!m_ring)
        m_ring = new FocusRing(target);
    else if (m_ring->parentWidget() != target)
        m_ring->setParent(target);
    m_ring->setGeometry(target->rect());
    m_ring->raise();
    m_ring->show();
}

// Enter on a focused push or tool button clicks it, in dialogs as in the window; check boxes and radio
// buttons keep Space alone, as everywhere.
bool KeyboardFocus::pressesButton(QWidget *focused, const QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto *button = qobject_cast<QAbstractButton *>(focused);
    if (!button || !button->isEnabled() || !button->isVisible())
        return false;
    return !qobject_cast<QCheckBox *>(button) && !qobject_cast<QRadioButton *>(button);
}
