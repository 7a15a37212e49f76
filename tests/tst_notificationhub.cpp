#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QtTest>

namespace {
class Receiver : public QObject
{
    Q_OBJECT
public:
    Receiver(QStringList *log, const QString &tag) : m_log(log), m_tag(tag) {}
    QList<QVariant> values;

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value)
    {
        m_log->append(m_tag + ':' + valueName + '/' + valueObj);
        values.append(value);
    }

private:
    QStringList *m_log;
    QString m_tag;
};
} // namespace

class TestNotificationHub : public QObject
{
    Q_OBJECT
private slots:
    void singletonIsShared();
    void delivery_data();
    void delivery();
    void order();
    void resubscribeKeepsOneEntry();
    void unsubscribeStopsDelivery();
};

void TestNotificationHub::singletonIsShared()
{
    CNvGlobalObserver *a = nullptr;
    CNvGlobalObserver *b = nullptr;
    QThread *t = QThread::create([&] { a = CNvGlobalObserver::instance(); });
    t->start();
    b = CNvGlobalObserver::instance();
    t->wait();
    delete t;
    QCOMPARE(a, b);
}

void TestNotificationHub::delivery_data()
{
    QTest::addColumn<QString>("nameSpace");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("delivered");
    QTest::newRow("exact pair") << Channel::FileCustomRename << Channel::RenameValueUpdate << true;
    QTest::newRow("name differs in case") << Channel::FileCustomRename << "rename value update" << false;
    QTest::newRow("nameSpace differs in case") << "file custom rename" << Channel::RenameValueUpdate << false;
    QTest::newRow("empty name is not a wildcard") << Channel::FileCustomRename << QString() << false;
    QTest::newRow("nobody subscribed") << "NO SUCH CHANNEL" << Channel::RenameValueUpdate << false;
}

void TestNotificationHub::delivery()
{
    QFETCH(QString, nameSpace);
    QFETCH(QString, name);
    QFETCH(bool, delivered);
    QStringList log;
    Receiver r(&log, "r");
    auto *hub = CNvGlobalObserver::instance();
    hub->addObserver(Channel::FileCustomRename, Channel::RenameValueUpdate, &r, OBSERVER_SLOT);
    hub->notifyObservers(nameSpace, name, 7);
    QCOMPARE(log.size(), delivered ? 1 : 0);
    if (delivered)
        QCOMPARE(r.values.first().toInt(), 7);
    hub->removeObserver(Channel::FileCustomRename, Channel::RenameValueUpdate, &r);
}

void TestNotificationHub::order()
{
    QStringList log;
    Receiver first(&log, "1");
    Receiver second(&log, "2");
    auto *hub = CNvGlobalObserver::instance();
    hub->addObserver(Channel::EndAddFile, Channel::NoName, &first, OBSERVER_SLOT);
    hub->addObserver(Channel::EndAddFile, Channel::NoName, &second, OBSERVER_SLOT);
    hub->notifyObservers(Channel::EndAddFile, QString(""), 2);
    QCOMPARE(log, QStringList({"1:END ADD FILE/", "2:END ADD FILE/"}));
    // Re-subscribing moves the receiver to the end.
    hub->addObserver(Channel::EndAddFile, Channel::NoName, &first, OBSERVER_SLOT);
    log.clear();
    hub->notifyObservers(Channel::EndAddFile, Channel::NoName);
    QCOMPARE(log, QStringList({"2:END ADD FILE/", "1:END ADD FILE/"}));
    hub->removeObserver(Channel::EndAddFile, Channel::NoName, &first);
    hub->removeObserver(Channel::EndAddFile, Channel::NoName, &second);
}

void TestNotificationHub::resubscribeKeepsOneEntry()
{
    QStringList log;
    Receiver r(&log, "r");
    auto *hub = CNvGlobalObserver::instance();
    const int before = hub->entryCount();
    hub->addObserver(Channel::StartChangeName, Channel::RenameValueUpdate, &r, OBSERVER_SLOT);
    hub->addObserver(Channel::StartChangeName, Channel::RenameValueUpdate, &r, OBSERVER_SLOT);
    QCOMPARE(hub->entryCount(), before + 1);
    hub->notifyObservers(Channel::StartChangeName, Channel::RenameValueUpdate, true);
    QCOMPARE(log.size(), 1);
    hub->removeObserver(Channel::StartChangeName, Channel::RenameValueUpdate, &r);
    QCOMPARE(hub->entryCount(), before);
}

void TestNotificationHub::unsubscribeStopsDelivery()
{
    QStringList log;
    auto *hub = CNvGlobalObserver::instance();
    {
        Receiver r(&log, "r");
        hub->addObserver(Channel::MessageErrorTip, Channel::NoName, &r, OBSERVER_SLOT);
        hub->removeObserver(Channel::MessageErrorTip, Channel::NoName, &r);
    }
    hub->notifyObservers(Channel::MessageErrorTip, Channel::NoName, QStringLiteral("x"));
    QVERIFY(log.isEmpty());
}

QTEST_MAIN(TestNotificationHub)
#include "tst_notificationhub.moc"
