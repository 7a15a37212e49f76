#include "jobs/jobpacer.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

class PaintCounter : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

struct Window
{
    std::unique_ptr<QWidget> top{new QWidget};
    PaintCounter *view = new PaintCounter;
    QPushButton *button = new QPushButton(QStringLiteral("go"));
    QLineEdit *edit = new QLineEdit;
    int clicks = 0;

    Window()
    {
        auto *layout = new QVBoxLayout(top.get());
        layout->addWidget(view);
        layout->addWidget(button);
        layout->addWidget(edit);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        top->resize(300, 300);
        top->show();
    }
};

} // namespace

class TestJobPacer : public QObject
{
    Q_OBJECT
private slots:
    void repaintsOncePerInterval();
    void dropsInput();
    void modalDialogStillAnswers();
    void windowStaysOpenDuringJob();
};

void TestJobPacer::repaintsOncePerInterval()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.top.get()));
    QCoreApplication::processEvents();
    const int before = w.view->paints;
    {
        JobPacer slow(w.view, 60 * 60 * 1000);
        slow.step();
        QCOMPARE(w.view->paints, before);
        slow.flush();
        QCOMPARE(w.view->paints, before + 1);
    }
    {
        JobPacer everyRow(w.view, 0);
        everyRow.step();
        everyRow.step();
        QCOMPARE(w.view->paints, before + 3);
    }
}

void TestJobPacer::dropsInput()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.top.get()));
    {
        JobPacer pacer(w.view);
        QTest::mouseClick(w.button, Qt::LeftButton);
        QTest::keyClicks(w.edit, "abc");
        // Text from an input method (Chinese typing) is input too.
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("中文"));
        QCoreApplication::sendEvent(w.edit, &typed);
        pacer.flush();
        QCOMPARE(w.clicks, 0);
        QVERIFY(w.edit->text().isEmpty());
    }
    // Nothing of it acts later either; new input does.
    QCoreApplication::processEvents();
    QCOMPARE(w.clicks, 0);
    QTest::mouseClick(w.button, Qt::LeftButton);
    QTest::keyClicks(w.edit, "abc");
    QCOMPARE(w.clicks, 1);
    QCOMPARE(w.edit->text(), QStringLiteral("abc"));
}

void TestJobPacer::windowStaysOpenDuringJob()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.top.get()));
    {
        JobPacer pacer(w.view);
        QVERIFY(!w.top->close());
        QVERIFY(w.top->isVisible());
    }
    QVERIFY(w.top->close());
}

void TestJobPacer::modalDialogStillAnswers()
{
    Window w;
    JobPacer pacer(w.view);
    QDialog dialog(w.top.get());
    auto *ok = new QPushButton(QStringLiteral("ok"), &dialog);
    connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QTimer::singleShot(0, &dialog, [&] {
        QTest::mouseClick(w.button, Qt::LeftButton); // blocked: not in the dialog
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    // A safety net so that a fault ends the test instead of hanging it.
    QTimer::singleShot(3000, &dialog, &QDialog::reject);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(w.clicks, 0);
}

QTEST_MAIN(TestJobPacer)
#include "tst_jobpacer.moc"
