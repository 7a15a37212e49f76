#include "testutil_engine.h"
#include "testutil_filelist.h"

#include "filelist/revealinfilemanager.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Stands in for the desktop's file manager on a private session bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        Q_UNUSED(startupId)
        shown.append(uris);
    }
};

class TestReveal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void showsItemSelected_data();
    void showsItemSelected();
    void emptyPathDoesNothing();
    void opensFolderWithoutFileManager();
    void warnsWithPathWhenNothingOpens();

private:
    QProcess m_bus;
    QDBusConnection m_fileManagerBus{QString()};
    FakeFileManager m_fileManager;
    std::unique_ptr<FileListTest::UrlCatcher> m_catcher;
    QTemporaryDir m_dir;
};

void TestReveal::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed");
    m_bus.start(daemon, {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    QVERIFY(m_bus.waitForStarted());
    QTRY_VERIFY(m_bus.canReadLine());
    const QByteArray address = m_bus.readLine().trimmed();
    QVERIFY(!address.isEmpty());
    // Before the program's first use of the session bus, so that it connects to this one.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    m_fileManagerBus = QDBusConnection::connectToBus(QString::fromUtf8(address), "filemanager");
    QVERIFY(m_fileManagerBus.isConnected());
    QVERIFY(m_fileManagerBus.registerObject("/org/freedesktop/FileManager1", &m_fileManager,
                                            QDBusConnection::ExportAllSlots));
}

void TestReveal::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus("filemanager");
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.terminate();
        m_bus.waitForFinished();
    }
}

void TestReveal::init()
{
    m_fileManager.shown.clear();
    m_catcher = std::make_unique<FileListTest::UrlCatcher>();
    QVERIFY(m_fileManagerBus.registerService("org.freedesktop.FileManager1"));
}

void TestReveal::cleanup()
{
    m_catcher.reset();
    m_fileManagerBus.unregisterService("org.freedesktop.FileManager1");
}

void TestReveal::showsItemSelected_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "a.txt";
    QTest::newRow("space and Chinese") << "报告 1.docx";
    QTest::newRow("folder") << "sub";
}

void TestReveal::showsItemSelected()
{
    QFETCH(QString, name);
    const QString path = m_dir.path() + '/' + name;
    revealInFileManager(path);
    QTRY_COMPARE(m_fileManager.shown.size(), 1);
    QCOMPARE(QUrl(m_fileManager.shown.first()), QUrl::fromLocalFile(path));
    QVERIFY(m_fileManager.shown.first().startsWith("file:///"));
    QVERIFY(m_catcher->opened.isEmpty());
}

void TestReveal::emptyPathDoesNothing()
{
    revealInFileManager(QString());
    revealInFileManager(m_dir.path() + "/after.txt");
    QTRY_COMPARE(m_fileManager.shown.size(), 1);
    QCOMPARE(QUrl(m_fileManager.shown.first()), QUrl::fromLocalFile(m_dir.path() + "/after.txt"));
    QVERIFY(m_catcher->opened.isEmpty());
}

void TestReveal::opensFolderWithoutFileManager()
{
    m_fileManagerBus.unregisterService("org.freedesktop.FileManager1");
    revealInFileManager(m_dir.path() + "/sub/b.txt");
    QTRY_COMPARE(m_catcher->opened.size(), 1);
    QCOMPARE(m_catcher->opened.first(), QUrl::fromLocalFile(m_dir.path() + "/sub"));
    QVERIFY(m_fileManager.shown.isEmpty());
}

void TestReveal::warnsWithPathWhenNothingOpens()
{
    // No file manager on the bus and no program to open a folder (offscreen has none).
    m_fileManagerBus.unregisterService("org.freedesktop.FileManager1");
    m_catcher.reset();
    EngineTest::WarningListener warnings;
    const QString path = m_dir.path() + "/sub/b.txt";
    revealInFileManager(path);
    QTRY_COMPARE(warnings.messages,
                 QStringList{"无法打开文件管理器，请手动打开：" + QDir::toNativeSeparators(path)});
}

QTEST_MAIN(TestReveal)
#include "tst_reveal.moc"
