#include "jobpacer.h"

#include <QApplication>
#include <QWidget>

JobPacer::JobPacer(QWidget *view, int intervalMs) : m_view(view), m_intervalNs(qint64(qMax(0, intervalMs)) * 1000000)
{
    qApp->installEventFilter(this);
    m_clock.start();
}

JobPacer::~JobPacer()
{
    qApp->removeEventFilter(this);
    if (m_view)
        m_view->update();
}

void JobPacer::step()
{
    if (m_clock.nsecsElapsed() - m_lastFlushNs >= m_intervalNs)
        flush();
}

void JobPacer::flush()
{
    if (m_view)
        m_view->update();
    // Input is not excluded here but dropped by the filter: excluded input would only wait, and act on
    // the list once the job is over.
    QCoreApplication::processEvents();
    m_lastFlushNs = m_clock.nsecsElapsed();
}

bool JobPacer::isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
        return true;
    default:
        return false;
    }
}

// Closing the window mid-job would end the event loop under the job and swallow its remaining warnings;
// only a dialog opened by the job (a warning) may close.
bool JobPacer::refuseClose(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !widget->isWindow())
        return false;
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && (widget == modal || modal->isAncestorOf(widget)))
        return false;
    event->ignore();
    return true;
}

bool JobPacer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close)
        return refuseClose(watched, event);
    if (!isUserInput(event->type()))
        return false;
    // Input reaches the widgets through their windows; the windows themselves are left alone.
    if (watched->isWindowType())
        return false;
    // A dialog opened during the job (a warning) is answered as usual; Qt keeps the rest blocked meanwhile.
    QWidget *modal = QApplication::activeModalWidget();
    auto *widget = qobject_cast<QWidget *>(watched);
    if (modal && widget && (widget == modal || modal->isAncestorOf(widget)))
        return false;
    event->accept();
    return true;
}
