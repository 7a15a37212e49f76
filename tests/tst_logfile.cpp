#include "app/applicationstartup.h"
#include "app/logcipher.h"
#include "app/logfile.h"
#include "app/logmessagehandler.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {
const QDateTime startTime(QDate(2024, 3, 5), QTime(9, 7, 2));

struct DecodedLog
{
    QStringList lines;
    int badLines = 0;
};

DecodedLog readLog(const QString &path)
{
    DecodedLog log;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return log;
    const QByteArray content = file.readAll();
    if (content.isEmpty())
        return log;
    if (!content.endsWith('\n'))
        ++log.badLines;
    for (const QByteArray &raw : content.split('\n')) {
        if (raw.isEmpty())
            continue;
        bool ok = false;
        const QString text = decryptLogText(QString::fromLatin1(raw), &ok);
        if (ok)
            log.lines << text;
        else
            ++log.badLines;
    }
    return log;
}

// Routes messages to the log handler for the lifetime of the object.
class HandlerScope
{
public:
    HandlerScope() : m_previous(qInstallMessageHandler(logMessageHandler)) {}
    ~HandlerScope() { qInstallMessageHandler(m_previous); }

private:
    QtMessageHandler m_previous;
};

const char fatalChildVariable[] = "QUORLIN_TEST_FATAL_LOG_DIR";
} // namespace

class TestLogFile : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void fileName_data();
    void fileName();
    void createsFolderWithParents();
    void secondStartInSameSecondAppends();
    void folderIsRelativeToWorkingDirectory();
    void levels_data();
    void levels();
    void messageWithoutOpenFileIsDropped();
    void concurrentMessagesStayWhole();
    void fatalIsWrittenThenAborts();
    void decodeTool();
};

void TestLogFile::cleanup()
{
    LogFile::instance().close();
}

void TestLogFile::fileName_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QString>("name");
    QTest::newRow("morning") << startTime << "2024-03-05-09-07-02-log.txt";
    QTest::newRow("afternoon") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999))
                               << "1999-12-31-23-59-59-log.txt";
}

void TestLogFile::fileName()
{
    QFETCH(QDateTime, start);
    QFETCH(QString, name);
    QCOMPARE(LogFile::fileNameFor(start), name);
}

void TestLogFile::createsFolderWithParents()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/a/b/log/";
    QVERIFY(LogFile::instance().open(folder, startTime));
    const QString expected = QDir(folder).absolutePath() + "/2024-03-05-09-07-02-log.txt";
    QCOMPARE(LogFile::instance().filePath(), expected);
    QVERIFY(QFileInfo(expected).isFile());
}

void TestLogFile::secondStartInSameSecondAppends()
{
    QTemporaryDir dir;
    LogFile &log = LogFile::instance();
    QVERIFY(log.open(dir.path(), startTime));
    log.writeLine(QStringLiteral("Debug: first start"));
    log.close();

    QVERIFY(log.open(dir.path(), startTime.addMSecs(500)));
    log.writeLine(QStringLiteral("Debug: second start"));
    log.close();

    const DecodedLog decoded = readLog(dir.filePath(LogFile::fileNameFor(startTime)));
    QCOMPARE(decoded.badLines, 0);
    QCOMPARE(decoded.lines, (QStringList{"Debug: first start", "Debug: second start"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestLogFile::folderIsRelativeToWorkingDirectory()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const bool opened = ApplicationStartup::openLogFile(startTime);
    QDir::setCurrent(previous);
    QVERIFY(opened);
    QVERIFY(QFileInfo(dir.filePath("log/2024-03-05-09-07-02-log.txt")).isFile());
}

void TestLogFile::levels_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("line");
    QTest::newRow("debug") << int(QtDebugMsg) << "ready" << "Debug: ready";
    QTest::newRow("info") << int(QtInfoMsg) << "ready" << "Info: ready";
    QTest::newRow("warning") << int(QtWarningMsg) << "disk full" << "Warning: disk full";
    QTest::newRow("critical") << int(QtCriticalMsg) << "broken" << "Critical: broken";
    QTest::newRow("empty message") << int(QtDebugMsg) << "" << "Debug: ";
    QTest::newRow("percent signs kept") << int(QtWarningMsg) << "%1 of %2" << "Warning: %1 of %2";
    QTest::newRow("chinese") << int(QtWarningMsg) << QStringLiteral("\u91cd\u547d\u540d\u5931\u8d25")
                             << QStringLiteral("Warning: \u91cd\u547d\u540d\u5931\u8d25");
}

void TestLogFile::levels()
{
    QFETCH(int, type);
    QFETCH(QString, message);
    QFETCH(QString, line);
    QTemporaryDir dir;
    QVERIFY(LogFile::instance().open(dir.path(), startTime));
    {
        HandlerScope handler;
        const QByteArray text = message.toUtf8();
        switch (QtMsgType(type)) {
        case QtDebugMsg:
            qDebug("%s", text.constData());
            break;
        case QtInfoMsg:
            qInfo("%s", text.constData());
            break;
        case QtWarningMsg:
            qWarning("%s", text.constData());
            break;
        default:
            qCritical("%s", text.constData());
            break;
        }
    }
    const DecodedLog decoded = readLog(LogFile::instance().filePath());
    QCOMPARE(decoded.badLines, 0);
    QCOMPARE(decoded.lines, QStringList{line});
}

void TestLogFile::messageWithoutOpenFileIsDropped()
{
    QTemporaryDir dir;
    QVERIFY(LogFile::instance().open(dir.path(), startTime));
    const QString path = LogFile::instance().filePath();
    LogFile::instance().close();
    {
        HandlerScope handler;
        qWarning("lost");
    }
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestLogFile::concurrentMessagesStayWhole()
{
    QTemporaryDir dir;
    QVERIFY(LogFile::instance().open(dir.path(), startTime));
    const int threadCount = 8;
    const int perThread = 400;
    QStringList expected;
    {
        HandlerScope handler;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int t = 0; t < threadCount; ++t) {
            // Lengths vary so that torn or interleaved writes cannot line up on block boundaries by chance.
            threads.emplace_back(QThread::create([t] {
                for (int i = 0; i < perThread; ++i)
                    qWarning("thread %d message %d %s", t, i,
                             QString(i % 37, QChar(0x6587 + t)).toUtf8().constData());
            }));
            for (int i = 0; i < perThread; ++i)
                expected << QStringLiteral("Warning: thread %1 message %2 %3").arg(t).arg(i).arg(QString(i % 37, QChar(0x6587 + t)));
        }
        for (auto &thread : threads)
            thread->start();
        for (auto &thread : threads)
            QVERIFY(thread->wait(60000));
    }
    DecodedLog decoded = readLog(LogFile::instance().filePath());
    QCOMPARE(decoded.badLines, 0);
    QCOMPARE(decoded.lines.size(), threadCount * perThread);
    decoded.lines.sort();
    expected.sort();
    QCOMPARE(decoded.lines, expected);
}

void TestLogFile::fatalIsWrittenThenAborts()
{
    const QByteArray childDir = qgetenv(fatalChildVariable);
    if (!childDir.isEmpty()) {
        // Child run: log one line, then a fatal message, which must not return.
#ifdef Q_OS_UNIX
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
#endif
        LogFile::instance().open(QString::fromLocal8Bit(childDir), startTime);
        qInstallMessageHandler(logMessageHandler);
        qWarning("before");
        qFatal("fatal %s", "end");
        return;
    }

    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(fatalChildVariable, dir.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("fatalIsWrittenThenAborts")});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const DecodedLog decoded = readLog(dir.filePath(LogFile::fileNameFor(startTime)));
    QCOMPARE(decoded.badLines, 0);
    QCOMPARE(decoded.lines, (QStringList{"Warning: before", "Fatal: fatal end"}));
}

void TestLogFile::decodeTool()
{
    const QString tool = QCoreApplication::applicationDirPath() + "/../bin/quorlin-logdecode";
    if (!QFileInfo(tool).isExecutable())
        QSKIP("quorlin-logdecode not built");
    QTemporaryDir dir;
    LogFile &log = LogFile::instance();
    QVERIFY(log.open(dir.path(), startTime));
    log.writeLine(QStringLiteral("Debug: one"));
    log.writeLine(QStringLiteral("Warning: \u4e8c"));
    const QString path = log.filePath();
    log.close();
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("garbage\n");
        file.write(encryptLogText(QStringLiteral("Critical: three")).toLatin1() + '\n');
    }

    QProcess process;
    process.start(tool, {path});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
             QStringLiteral("Debug: one\nWarning: \u4e8c\nCritical: three\n"));
    QVERIFY(process.readAllStandardError().contains("line 3"));

    process.start(tool, {dir.filePath("missing.txt")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 1);
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
