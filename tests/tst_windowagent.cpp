#include "testutil_modal.h"

#include "app/mainwindow.h"
#include "app/windowagent.h"
#include "app/windowbutton.h"

#include <QToolButton>
#include <QWindow>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QMargins)

// The offscreen platform has no window manager, so these tests exercise the agent's own moving and resizing,
// which takes over wherever the platform cannot start a system move or resize.
class TestWindowAgent : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void cursorAtEdges_data();
    void cursorAtEdges();
    void noResizeBandWhileMaximised();
    void dragTitleBarMovesWindow_data();
    void dragTitleBarMovesWindow();
    void clickOnTitleBarDoesNotMove();
    void doubleClickTitleBarTogglesMaximise();
    void doubleClickOnSystemButtonIsNotCaption();
    void resizeByEdges_data();
    void resizeByEdges();
    void resizeKeepsMinimumWidth();
    void systemButtonsTakeTheirClicks();
    void followsRecreatedNativeWindow();

private:
    QWindow *handle() const { return m_window->windowHandle(); }
    QPoint posOf(const char *objectName) const;
    void drag(const QPoint &press, const QPoint &delta);

    std::unique_ptr<MainWindow> m_window;
};

void TestWindowAgent::init()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->move(10, 20);
}

void TestWindowAgent::cleanup()
{
    m_window.reset();
}

QPoint TestWindowAgent::posOf(const char *objectName) const
{
    auto *widget = m_window->findChild<QWidget *>(QLatin1String(objectName));
    return widget->mapTo(m_window.get(), widget->rect().center());
}

// Press, move by delta and release where the pointer then is on the screen. QTest takes positions in window
// coordinates, and the window may have moved under the pointer in between.
void TestWindowAgent::drag(const QPoint &press, const QPoint &delta)
{
    const QPoint globalEnd = handle()->mapToGlobal(press) + delta;
    QTest::mousePress(handle(), Qt::LeftButton, {}, press);
    QTest::mouseMove(handle(), press + delta);
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, handle()->mapFromGlobal(globalEnd));
}

void TestWindowAgent::cursorAtEdges_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("shape");
    const int w = 1340;
    const int h = 835;
    QTest::newRow("left") << QPoint(1, 400) << int(Qt::SizeHorCursor);
    QTest::newRow("right") << QPoint(w - 2, 400) << int(Qt::SizeHorCursor);
    QTest::newRow("top") << QPoint(600, 0) << int(Qt::SizeVerCursor);
    QTest::newRow("bottom") << QPoint(600, h - 3) << int(Qt::SizeVerCursor);
    QTest::newRow("top left") << QPoint(2, 2) << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom right") << QPoint(w - 1, h - 10) << int(Qt::SizeFDiagCursor);
    QTest::newRow("top right") << QPoint(w - 10, 1) << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom left") << QPoint(1, h - 1) << int(Qt::SizeBDiagCursor);
    QTest::newRow("inside") << QPoint(600, 400) << int(Qt::ArrowCursor);
    QTest::newRow("just inside the band") << QPoint(WindowAgent::BorderWidth, 400) << int(Qt::ArrowCursor);
}

void TestWindowAgent::cursorAtEdges()
{
    QFETCH(QPoint, pos);
    QFETCH(int, shape);
    QCOMPARE(m_window->size(), QSize(1340, 835));
    QTest::mouseMove(handle(), pos);
    QCOMPARE(int(m_window->cursor().shape()), shape);
    // Leaving the band gives the window its normal cursor back.
    QTest::mouseMove(handle(), QPoint(600, 400));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
}

void TestWindowAgent::noResizeBandWhileMaximised()
{
    m_window->showMaximized();
    QTest::mouseMove(handle(), QPoint(1, 300));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    const QRect before = m_window->geometry();
    drag(QPoint(1, 300), QPoint(59, 0));
    QCOMPARE(m_window->geometry(), before);
}

void TestWindowAgent::dragTitleBarMovesWindow_data()
{
    QTest::addColumn<QString>("grip");
    QTest::newRow("logo") << "logo";
    QTest::newRow("empty title bar") << "horizontalSpacer";
    QTest::newRow("around the help buttons") << "widget_2";
}

void TestWindowAgent::dragTitleBarMovesWindow()
{
    QFETCH(QString, grip);
    QPoint start;
    if (grip == QLatin1String("horizontalSpacer"))
        start = QPoint(m_window->width() / 2, 30);
    else if (grip == QLatin1String("widget_2"))
        start = m_window->findChild<QWidget *>(grip)->mapTo(m_window.get(), QPoint(20, 18));
    else
        start = posOf("logo");
    const QPoint before = m_window->pos();
    drag(start, QPoint(30, 20));
    QCOMPARE(m_window->pos(), before + QPoint(30, 20));
    QCOMPARE(m_window->size(), QSize(1340, 835));
}

void TestWindowAgent::clickOnTitleBarDoesNotMove()
{
    const QPoint before = m_window->pos();
    const QPoint start = posOf("logo");
    drag(start, QPoint(2, 1)); // a jitter, not a drag
    QCOMPARE(m_window->pos(), before);
    QVERIFY(!m_window->isMaximized());
}

void TestWindowAgent::doubleClickTitleBarTogglesMaximise()
{
    auto *maxButton = m_window->findChild<WindowButton *>(QStringLiteral("max-button"));
    const QPoint caption(m_window->width() / 2, 30);
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, caption);
    QVERIFY(m_window->isMaximized());
    QVERIFY(maxButton->isChecked());
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, posOf("logo"));
    QVERIFY(!m_window->isMaximized());
    QVERIFY(!maxButton->isChecked());
}

void TestWindowAgent::doubleClickOnSystemButtonIsNotCaption()
{
    // A double click on the close button is two clicks on it, not a maximise; each click asks to close.
    ModalAnswerer answerer(ModalAnswerer::clickButton(QStringLiteral("cancelBtn")));
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, posOf("close-button"));
    QVERIFY(!m_window->isMaximized());
    QVERIFY(m_window->isVisible());
    QVERIFY(!answerer.classNames.isEmpty());
}

void TestWindowAgent::resizeByEdges_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QMargins>("change"); // how far each edge moves outwards
    const int w = 1340;
    const int h = 835;
    QTest::newRow("left outwards") << QPoint(2, 400) << QPoint(-40, 7) << QMargins(40, 0, 0, 0);
    QTest::newRow("right inwards") << QPoint(w - 2, 400) << QPoint(-100, 0) << QMargins(0, 0, -100, 0);
    QTest::newRow("top inwards") << QPoint(600, 1) << QPoint(5, 40) << QMargins(0, -40, 0, 0);
    QTest::newRow("bottom inwards") << QPoint(600, h - 2) << QPoint(0, -60) << QMargins(0, 0, 0, -60);
    QTest::newRow("bottom right corner") << QPoint(w - 2, h - 2) << QPoint(-50, -30) << QMargins(0, 0, -50, -30);
    QTest::newRow("top left corner") << QPoint(3, 3) << QPoint(-20, -10) << QMargins(20, 10, 0, 0);
}

void TestWindowAgent::resizeByEdges()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, delta);
    QFETCH(QMargins, change);
    const QRect before = m_window->geometry();
    drag(press, delta);
    QCOMPARE(m_window->geometry(), before.marginsAdded(change));
}

void TestWindowAgent::resizeKeepsMinimumWidth()
{
    const QRect before = m_window->geometry();
    drag(QPoint(1, 400), QPoint(700, 0));
    QCOMPARE(m_window->width(), 960);
    QCOMPARE(m_window->geometry().right(), before.right());
}

void TestWindowAgent::systemButtonsTakeTheirClicks()
{
    auto *maxButton = m_window->findChild<WindowButton *>(QStringLiteral("max-button"));
    const QPoint before = m_window->pos();
    QTest::mouseClick(handle(), Qt::LeftButton, {}, posOf("max-button"));
    QVERIFY(m_window->isMaximized());
    QVERIFY(maxButton->isChecked());
    QTest::mouseClick(handle(), Qt::LeftButton, {}, posOf("max-button"));
    QVERIFY(!m_window->isMaximized());
    QVERIFY(!maxButton->isChecked());
    QCOMPARE(m_window->pos(), before);

    QTest::mouseClick(handle(), Qt::LeftButton, {}, posOf("min-button"));
    QVERIFY(m_window->isMinimized());
}

void TestWindowAgent::followsRecreatedNativeWindow()
{
    // Changing the flags of a shown window replaces its native window.
    m_window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
    const QPoint before = m_window->pos();
    const QPoint start = posOf("logo");
    drag(start, QPoint(25, 0));
    QCOMPARE(m_window->pos(), before + QPoint(25, 0));
}

QTEST_MAIN(TestWindowAgent)
#include "tst_windowagent.moc"
