// Starts the real program, offscreen, on the private session bus this test runs on (ctest wraps it in
// dbus-run-session), and reads its lists back over that bus.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusInterface>
#include <QDBusReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifndef QUORLIN_PROGRAM
#define QUORLIN_PROGRAM ""
#endif

namespace {

const QString service = QStringLiteral("com.korvel.Quorlin");
const QString objectPath = QStringLiteral("/com/korvel/Quorlin");

// A program start in the test's temporary folder; ended by the test, never left running.
class Start
{
public:
    Start(const QStringList &arguments, const QString &folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(folder);
        m_process.start(QStringLiteral(QUORLIN_PROGRAM), arguments);
    }
    ~Start()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished();
    }
    // Waits for the end of a start that should end on its own.
    bool ends(int ms = 20000)
    {
        return m_process.waitForFinished(ms) && m_process.exitStatus() == QProcess::NormalExit;
    }
    int exitCode() const { return m_process.exitCode(); }
    QString output() { return QString::fromUtf8(m_process.readAllStandardOutput()); }
    QString errors() { return QString::fromUtf8(m_process.readAllStandardError()); }
    bool running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
};

QDBusInterface lists()
{
    return QDBusInterface(service, objectPath, QStringLiteral("com.korvel.Quorlin.Lists"),
                          QDBusConnection::sessionBus());
}

QStringList listed(const QString &page)
{
    const QDBusReply<QStringList> reply = lists().call(QStringLiteral("ListedPaths"), page);
    return reply.value();
}

QString currentPage()
{
    const QDBusReply<QString> reply = lists().call(QStringLiteral("CurrentPage"));
    return reply.value();
}

bool serviceRegistered()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(service);
}

// Stands in for a running window that never answers: it takes the name and keeps every call waiting.
class SilentWindow : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.korvel.Quorlin")
public:
    int calls = 0;

public slots:
    void Open(const QString &, const QStringList &)
    {
        ++calls;
        setDelayedReply(true);
    }
};

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void endsWithoutWindow_data();
    void endsWithoutWindow();
    void pathsReachTheirPage_data();
    void pathsReachTheirPage();
    void secondStartAddsToTheFirstWindow();
    void ownWindowWhenTheRunningOneDoesNotAnswer();

private:
    QString makeFile(const QString &name);

    QTemporaryDir m_dir;
};

void TestCommandLine::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run inside dbus-run-session");
    QVERIFY(m_dir.isValid());
}

void TestCommandLine::init()
{
    // The previous start has ended, and with it its hold on the name.
    QTRY_VERIFY(!serviceRegistered());
}

QString TestCommandLine::makeFile(const QString &name)
{
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

void TestCommandLine::endsWithoutWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--page <page>"
                          << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "Quorlin 0."
                             << "";
    QTest::newRow("unknown option") << QStringList{"--frobnicate", "a.txt"} << 2 << ""
                                    << "quorlin: Unknown option 'frobnicate'.";
    QTest::newRow("unknown page") << QStringList{"--page", "photos"} << 2 << ""
                                  << "quorlin: 未知页面“photos”";
    QTest::newRow("page without its name") << QStringList{"--page"} << 2 << ""
                                           << "quorlin: Missing value after '--page'.";
}

void TestCommandLine::endsWithoutWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    Start start(arguments, m_dir.path());
    QVERIFY(start.ends());
    QCOMPARE(start.exitCode(), exitCode);
    const QString printed = start.output();
    const QString complaints = start.errors();
    QVERIFY2(printed.contains(output), qPrintable(printed));
    QVERIFY2(complaints.left(errors.size()) == errors, qPrintable(complaints));
    // A wrong command line is answered with the usage.
    QCOMPARE(complaints.contains(QLatin1String("Usage: ")), exitCode == 2);
}

void TestCommandLine::pathsReachTheirPage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    const QString a = makeFile("a.txt");
    const QString b = makeFile("photos/b.jpg");
    const QString c = makeFile("photos/sub/c.jpg");
    const QString photos = m_dir.filePath("photos");
    QTest::newRow("files and a folder") << QStringList{"a.txt", photos} << "rename" << QStringList{a}
                                        << QStringList{photos};
    QTest::newRow("a folder alone") << QStringList{photos + '/'} << "folder-rename" << QStringList()
                                    << QStringList{photos};
    QTest::newRow("file URL") << QStringList{QUrl::fromLocalFile(b).toString()} << "rename" << QStringList{b}
                              << QStringList();
    QTest::newRow("missing path left out")
        << QStringList{"gone.txt", "a.txt"} << "rename" << QStringList{a} << QStringList();
    QTest::newRow("time page takes the files below a folder")
        << QStringList{"--page", "time", "photos", "a.txt", "a.txt"} << "time" << QStringList{b, c, a}
        << QStringList();
    QTest::newRow("folder page") << QStringList{"--page", "folder-collect", photos} << "folder-collect"
                                 << QStringList() << QStringList{photos};
}

void TestCommandLine::pathsReachTheirPage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, page);
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    Start start(arguments, m_dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(serviceRegistered(), 30000);
    QTRY_COMPARE(currentPage(), page);
    const QString filePage = page.startsWith("folder-") ? page.mid(7) : page;
    const QString folderPage = page.startsWith("folder-") ? page : "folder-" + page;
    QTRY_COMPARE(listed(filePage), files);
    QTRY_COMPARE(listed(folderPage), folders);
    if (arguments.contains("gone.txt"))
        QVERIFY(start.errors().contains(QStringLiteral("quorlin: 找不到“gone.txt”，未添加")));
    QVERIFY(start.running());
}

// The second start hands its page and paths, relative to its own folder, to the first window and ends.
void TestCommandLine::secondStartAddsToTheFirstWindow()
{
    const QString a = makeFile("a.txt");
    const QString b = makeFile("other/b.txt");
    Start first({"a.txt"}, m_dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(serviceRegistered(), 30000);
    QTRY_COMPARE(listed("rename"), QStringList{a});

    Start second({"--page", "time", "b.txt", a}, m_dir.filePath("other"));
    QVERIFY(second.ends());
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(listed("time"), (QStringList{b, a}));
    QCOMPARE(currentPage(), QStringLiteral("time"));

    Start third({"b.txt", "a.txt"}, m_dir.path() + "/other");
    QVERIFY(third.ends());
    QCOMPARE(third.exitCode(), 0);
    QVERIFY(third.errors().contains(QStringLiteral("找不到“a.txt”")));
    QTRY_COMPARE(listed("rename"), (QStringList{a, b}));
    QCOMPARE(currentPage(), QStringLiteral("rename"));
    QVERIFY(first.running());
}

void TestCommandLine::ownWindowWhenTheRunningOneDoesNotAnswer()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    SilentWindow silent;
    QVERIFY(bus.registerObject(objectPath, &silent, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(service));
    const auto release = qScopeGuard([&bus] {
        bus.unregisterService(service);
        bus.unregisterObject(objectPath);
    });

    Start start({makeFile("a.txt")}, m_dir.path());
    QTRY_COMPARE_WITH_TIMEOUT(silent.calls, 1, 30000);
    // Past the second it waits for an answer, it goes on with a window of its own instead of ending.
    QVERIFY(!start.ends(3000));
    QVERIFY(start.running());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
