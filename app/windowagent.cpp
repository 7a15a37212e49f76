#include "windowagent.h"

#include <QApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (edges & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

bool canResize(const QWidget *window)
{
    const Qt::WindowStates fixed = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
    return !(window->windowState() & fixed) && window->minimumSize() != window->maximumSize();
}

} // namespace

WindowAgent::WindowAgent(QObject *parent) : QObject(parent) {}

WindowAgent::~WindowAgent() = default;

bool WindowAgent::setup(QWidget *window)
{
    if (!window || m_window)
        return false;
    m_window = window;
    window->setWindowFlag(Qt::FramelessWindowHint, true);
    window->installEventFilter(this);
    attachWindowHandle();
    return true;
}

void WindowAgent::setTitleBar(QWidget *titleBar)
{
    m_titleBar = titleBar;
}

void WindowAgent::setSystemButton(SystemButton role, QWidget *button)
{
    m_buttons.insert(role, button);
}

Qt::Edges WindowAgent::edgesAt(const QPoint &pos) const
{
    if (!m_window || !canResize(m_window))
        return {};
    const int w = m_window->width();
    const int h = m_window->height();
    if (!QRect(0, 0, w, h).contains(pos))
        return {};

    Qt::Edges edges;
    if (pos.x() < BorderWidth)
        edges |= Qt::LeftEdge;
    else if (pos.x() >= w - BorderWidth)
        edges |= Qt::RightEdge;
    if (pos.y() < BorderWidth)
        edges |= Qt::TopEdge;
    else if (pos.y() >= h - BorderWidth)
        edges |= Qt::BottomEdge;
    if (!edges)
        return edges;

    // Corners reach a little along both edges, so they are easy to hit with a thin band.
    if (edges & (Qt::LeftEdge | Qt::RightEdge)) {
        if (pos.y() < CornerLength)
            edges |= Qt::TopEdge;
        else if (pos.y() >= h - CornerLength)
            edges |= Qt::BottomEdge;
    }
    if (edges & (Qt::TopEdge | Qt::BottomEdge)) {
        if (pos.x() < CornerLength)
            edges |= Qt::LeftEdge;
        else if (pos.x() >= w - CornerLength)
            edges |= Qt::RightEdge;
    }
    return edges;
}

bool WindowAgent::isCaptionAt(const QPoint &pos) const
{
    if (!m_window || !m_titleBar || !m_titleBar->isVisible())
        return false;
    if (!m_titleBar->rect().contains(m_titleBar->mapFrom(m_window, pos)))
        return false;
    for (const QPointer<QWidget> &button : m_buttons) {
        if (button && button->isVisible() && button->rect().contains(button->mapFrom(m_window, pos)))
            return false;
    }
    return true;
}

bool WindowAgent::eventFilter(QObject *watched, QEvent *event)
{
    if (m_window && watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WinIdChange:
            attachWindowHandle();
            break;
        case QEvent::WindowStateChange:
            m_gesture = Gesture::None;
            updateCursor({});
            break;
        default:
            break;
        }
        return false;
    }
    if (m_handle && watched == m_handle)
        return handleWindowEvent(event);
    return false;
}

// The native window is created late and is replaced when the window flags change after showing, so the
// agent follows it rather than taking it once.
void WindowAgent::attachWindowHandle()
{
    QWindow *handle = m_window ? m_window->windowHandle() : nullptr;
    if (handle == m_handle)
        return;
    if (m_handle)
        m_handle->removeEventFilter(this);
    m_handle = handle;
    if (m_handle)
        m_handle->installEventFilter(this);
}

// Mouse events reach the native window before any child widget, so the edges and the caption work whatever
// widget lies under the pointer.
bool WindowAgent::handleWindowEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return handlePress(static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
        return handleMove(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        return handleRelease(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonDblClick:
        return handleDoubleClick(static_cast<QMouseEvent *>(event));
    case QEvent::Leave:
        if (m_gesture == Gesture::None)
            updateCursor({});
        return false;
    default:
        return false;
    }
}

bool WindowAgent::handlePress(QMouseEvent *event)
{
    // An open pop-up menu takes the click that closes it.
    if (event->button() != Qt::LeftButton || QApplication::activePopupWidget())
        return false;

    m_gesture = Gesture::None;
    m_pressGlobal = event->globalPos();
    m_pressGeometry = m_window->geometry();

    const Qt::Edges edges = edgesAt(event->pos());
    if (edges) {
        if (!m_handle->startSystemResize(edges)) {
            m_gesture = Gesture::ManualResize;
            m_resizeEdges = edges;
        }
        return true;
    }
    if (isCaptionAt(event->pos())) {
        // The move starts only once the pointer travels, so that a click or double click stays one.
        m_gesture = Gesture::CaptionPressed;
        return true;
    }
    return false;
}

bool WindowAgent::handleMove(QMouseEvent *event)
{
    if (m_gesture != Gesture::None && !(event->buttons() & Qt::LeftButton))
        m_gesture = Gesture::None; // the release went elsewhere, e.g. to the window manager

    switch (m_gesture) {
    case Gesture::None:
        if (event->buttons() == Qt::NoButton && !QApplication::activePopupWidget())
            updateCursor(edgesAt(event->pos()));
        return false;
    case Gesture::CaptionPressed:
        if ((event->globalPos() - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
            return true;
        if (m_handle->startSystemMove()) {
            m_gesture = Gesture::None;
            return true;
        }
        m_gesture = Gesture::ManualMove;
        Q_FALLTHROUGH();
    case Gesture::ManualMove:
        if (!m_window->isMaximized() && !m_window->isFullScreen())
            m_window->move(m_pressGeometry.topLeft() + event->globalPos() - m_pressGlobal);
        return true;
    case Gesture::ManualResize:
        resizeManually(event->globalPos());
        return true;
    case Gesture::DoubleClicked:
        return true;
    }
    return false;
}

bool WindowAgent::handleRelease(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_gesture == Gesture::None)
        return false;
    m_gesture = Gesture::None;
    updateCursor(edgesAt(event->pos()));
    return true;
}

bool WindowAgent::handleDoubleClick(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || QApplication::activePopupWidget())
        return false;
    if (edgesAt(event->pos()) || !isCaptionAt(event->pos()))
        return false;
    m_gesture = Gesture::DoubleClicked;
    toggleMaximized();
    return true;
}

void WindowAgent::toggleMaximized()
{
    if (m_window->isMaximized())
        m_window->showNormal();
    else
        m_window->showMaximized();
}

void WindowAgent::updateCursor(Qt::Edges edges)
{
    if (edges == m_cursorEdges || !m_window)
        return;
    m_cursorEdges = edges;
    if (edges)
        m_window->setCursor(cursorFor(edges));
    else
        m_window->unsetCursor();
}

// Used where the platform has no system resize: the dragged edges follow the pointer, the opposite edges
// stay put, and the window's minimum and maximum sizes hold.
void WindowAgent::resizeManually(const QPoint &globalPos)
{
    const QPoint delta = globalPos - m_pressGlobal;
    QRect target = m_pressGeometry;
    if (m_resizeEdges & Qt::LeftEdge)
        target.setLeft(target.left() + delta.x());
    if (m_resizeEdges & Qt::RightEdge)
        target.setRight(target.right() + delta.x());
    if (m_resizeEdges & Qt::TopEdge)
        target.setTop(target.top() + delta.y());
    if (m_resizeEdges & Qt::BottomEdge)
        target.setBottom(target.bottom() + delta.y());

    const QSize size = QLayout::closestAcceptableSize(m_window, target.size());
    if (m_resizeEdges & Qt::LeftEdge)
        target.setLeft(m_pressGeometry.right() - size.width() + 1);
    else
        target.setWidth(size.width());
    if (m_resizeEdges & Qt::TopEdge)
        target.setTop(m_pressGeometry.bottom() - size.height() + 1);
    else
        target.setHeight(size.height());
    m_window->setGeometry(target);
}
