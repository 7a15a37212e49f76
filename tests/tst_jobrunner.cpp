#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "hub/hubsubscription.h"
#include "jobs/jobfailurereporter.h"
#include "jobs/jobpacer.h"
#include "jobs/jobrunner.h"
#include "jobs/undostack.h"

#include <QWidget>
#include <QtTest>

namespace {

// Records what reaches it through the hub.
class Listener : public QObject
{
    Q_OBJECT
public:
    QStringList seen;

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value)
    {
        seen.append(valueName + '/' + valueObj + '=' + value.toString());
    }
};

// A receiver whose subscription ends with it.
class Owner : public QObject
{
    Q_OBJECT
public:
    explicit Owner(QStringList *log) : m_log(log), m_subscription(this, QStringList{Channel::FileTimeProperty}) {}

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &, const QVariant &)
    {
        m_log->append(valueName);
    }

private:
    QStringList *m_log;
    HubSubscription m_subscription;
};

struct Record
{
    QString id;
    int value = 0;
};

} // namespace

class TestJobRunner : public QObject
{
    Q_OBJECT
private slots:
    void deferredChangesReplayInOrderAfterTheJob();
    void nothingIsDeferredOutsideAJob();
    void aJobCannotStartInsideAnother();
    void failuresFollowTheDialogRule_data();
    void failuresFollowTheDialogRule();
    void subscriptionEndsWithItsOwner();
    void undoStackKeepsNonEmptyBatchesNewestFirst();
};

void TestJobRunner::deferredChangesReplayInOrderAfterTheJob()
{
    QWidget view;
    QStringList replayed;
    bool runningDuringReplay = true;
    JobRunner *runnerPtr = nullptr;
    JobRunner runner([&](const QString &key, const QVariant &value) {
        replayed.append(key + '=' + value.toString());
        runningDuringReplay = runnerPtr->isRunning();
    });
    runnerPtr = &runner;
    QVERIFY(runner.run(&view, [&](JobPacer &, JobFailureReporter &) {
        QVERIFY(runner.isRunning());
        QVERIFY(runner.defer(Channel::FileCustomRename, 1));
        QVERIFY(runner.defer(Channel::FileInsertRename, 2));
        QVERIFY(runner.defer(Channel::FileCustomRename, 3));
        QVERIFY(replayed.isEmpty());
    }));
    QCOMPARE(replayed, QStringList({"FILE CUSTOM RENAME=1", "FILE INSERT RENAME=2", "FILE CUSTOM RENAME=3"}));
    QVERIFY(!runningDuringReplay);
}

void TestJobRunner::nothingIsDeferredOutsideAJob()
{
    int replays = 0;
    JobRunner runner([&](const QString &, const QVariant &) { ++replays; });
    QVERIFY(!runner.defer(Channel::FileCustomRename, 1));
    QWidget view;
    runner.run(&view, [](JobPacer &, JobFailureReporter &) {});
    QCOMPARE(replays, 0);
}

void TestJobRunner::aJobCannotStartInsideAnother()
{
    QWidget view;
    JobRunner runner([](const QString &, const QVariant &) {});
    int inner = 0;
    runner.run(&view, [&](JobPacer &, JobFailureReporter &) {
        QVERIFY(!runner.run(&view, [&](JobPacer &, JobFailureReporter &) { ++inner; }));
    });
    QCOMPARE(inner, 0);
    QVERIFY(!runner.isRunning());
}

void TestJobRunner::failuresFollowTheDialogRule_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("none") << 0 << QStringList();
    QTest::newRow("three") << 3 << QStringList({"f1", "f2", "f3"});
    QTest::newRow("five") << 5
                          << QStringList({"f1", "f2", "f3", "另有2个项目操作失败，请查看列表中的状态"});
}

void TestJobRunner::failuresFollowTheDialogRule()
{
    QFETCH(int, failures);
    QFETCH(QStringList, shown);
    Listener listener;
    HubSubscription subscription(&listener, QVector<HubSubscription::Pair>{{Channel::MessageErrorTip, Channel::NoName}});
    QWidget view;
    JobRunner runner([](const QString &, const QVariant &) {});
    runner.run(&view, [&](JobPacer &, JobFailureReporter &reporter) {
        for (int i = 1; i <= failures; ++i)
            reporter.report(QStringLiteral("f%1").arg(i));
    });
    QStringList texts;
    for (const QString &line : qAsConst(listener.seen))
        texts.append(line.section('=', 1));
    QCOMPARE(texts, shown);
}

void TestJobRunner::subscriptionEndsWithItsOwner()
{
    CNvGlobalObserver *hub = CNvGlobalObserver::instance();
    const int before = hub->entryCount();
    QStringList log;
    {
        Owner owner(&log);
        QCOMPARE(hub->entryCount(), before + 1);
        hub->notifyObservers(Channel::FileTimeProperty, Channel::RenameValueUpdate);
        QCOMPARE(log, QStringList{Channel::FileTimeProperty});
    }
    QCOMPARE(hub->entryCount(), before);
    hub->notifyObservers(Channel::FileTimeProperty, Channel::RenameValueUpdate);
    QCOMPARE(log.size(), 1);
}

void TestJobRunner::undoStackKeepsNonEmptyBatchesNewestFirst()
{
    UndoStack<Record> stack;
    stack.push({});
    QVERIFY(!stack.canUndo());
    stack.push({{"{a}", 1}});
    stack.push({{"{b}", 2}, {"{c}", 3}});
    QCOMPARE(stack.size(), 2);
    const UndoStack<Record>::Batch newest = stack.takeNewest();
    QCOMPARE(newest.size(), 2);
    QCOMPARE(newest.first().id, QStringLiteral("{b}"));
    QCOMPARE(stack.takeNewest().first().value, 1);
    QVERIFY(stack.takeNewest().isEmpty());
    QVERIFY(!stack.canUndo());
}

QTEST_MAIN(TestJobRunner)
#include "tst_jobrunner.moc"
