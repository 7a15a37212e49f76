#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QMouseEvent;
class QWidget;
class QWindow;

// Gives a frameless top-level widget the behaviour of a native frame: its title bar moves the window and a
// double click on it toggles maximise, a thin band along every edge and corner resizes it, and the buttons
// registered as system buttons inside the title bar keep their own clicks. Moving and resizing are handed to
// the window manager (QWindow::startSystemMove/startSystemResize); where the platform cannot do that, the
// agent moves and resizes the window itself.
class WindowAgent : public QObject
{
    Q_OBJECT
public:
    enum SystemButton {
        Unknown = 0,
        CustomerService = 5,
        Help = 6,
        Minimize = 7,
        Maximize = 8,
        Close = 9,
    };
    Q_ENUM(SystemButton)

    // Width of the resize band along each edge, and how far a corner reaches along its two edges.
    static constexpr int BorderWidth = 6;
    static constexpr int CornerLength = 16;

    explicit WindowAgent(QObject *parent = nullptr);
    ~WindowAgent() override;

    bool setup(QWidget *window);
    void setTitleBar(QWidget *titleBar);
    void setSystemButton(SystemButton role, QWidget *button);

    QWidget *titleBar() const { return m_titleBar; }
    QWidget *systemButton(SystemButton role) const { return m_buttons.value(role); }

    // The edges a press at pos (window coordinates) would resize; none while maximised or full screen.
    Qt::Edges edgesAt(const QPoint &pos) const;
    // Whether pos (window coordinates) lies on the title bar but on none of the system buttons.
    bool isCaptionAt(const QPoint &pos) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Gesture { None, CaptionPressed, ManualMove, ManualResize, DoubleClicked };

    void attachWindowHandle();
    bool handleWindowEvent(QEvent *event);
    bool handlePress(QMouseEvent *event);
    bool handleMove(QMouseEvent *event);
    bool handleRelease(QMouseEvent *event);
    bool handleDoubleClick(QMouseEvent *event);
    void toggleMaximized();
    void updateCursor(Qt::Edges edges);
    void resizeManually(const QPoint &globalPos);

    QPointer<QWidget> m_window;
    QPointer<QWindow> m_handle;
    QPointer<QWidget> m_titleBar;
    QHash<int, QPointer<QWidget>> m_buttons;

    Gesture m_gesture = Gesture::None;
    Qt::Edges m_resizeEdges;
    Qt::Edges m_cursorEdges;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};
