#include "app/applicationstartup.h"
#include "log/logcipher.h"
#include "log/logfile.h"
#include "log/logmessagehandler.h"

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

bool makeFile(const QString &path, const QByteArray &content = "x")
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The log name of a start `minutes` after startTime.
QString logNameAfter(int minutes)
{
    return LogFile::fileNameFor(startTime.addSecs(60 * minutes));
}

QStringList logNamesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// A program folder of a build tree or portable copy: the program beside its data.
bool makeProgramFolder(const QString &folder)
{
    return makeFile(folder + QStringLiteral("/quorlin")) && makeFile(folder + QStringLiteral("/s2t.json"))
           && makeFile(folder + QStringLiteral("/help/index.html"));
}
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
    void logFolders_data();
    void logFolders();
    void logGoesBesideTheProgram();
    void programFolderThatCannotTakeTheLog_data();
    void programFolderThatCannotTakeTheLog();
    void installedProgramLogsPerUser();
    void removeOldFiles_data();
    void removeOldFiles();
    void openingKeepsTheNewestFifty();
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

void TestLogFile::logFolders_data()
{
    QTest::addColumn<bool>("programHoldsData");
    QTest::addColumn<bool>("userFolderKnown");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("build tree or portable copy") << true << true << QStringList{"program/log", "user/log"};
    QTest::newRow("installed bin folder") << false << true << QStringList{"user/log"};
    QTest::newRow("no per-user folder") << true << false << QStringList{"program/log"};
    QTest::newRow("nowhere") << false << false << QStringList();
}

void TestLogFile::logFolders()
{
    QFETCH(bool, programHoldsData);
    QFETCH(bool, userFolderKnown);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    QVERIFY(programHoldsData ? makeProgramFolder(program) : makeFile(program + QStringLiteral("/quorlin")));
    const QString user = userFolderKnown ? dir.filePath(QStringLiteral("user")) : QString();
    QStringList folders = ApplicationStartup::logFolders(program, user);
    for (QString &folder : folders)
        folder = QDir(dir.path()).relativeFilePath(folder);
    QCOMPARE(folders, expected);
}

void TestLogFile::logGoesBesideTheProgram()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString user = dir.filePath(QStringLiteral("user"));
    QVERIFY(makeProgramFolder(program));
    QVERIFY(ApplicationStartup::openLogFile(ApplicationStartup::logFolders(program, user), startTime));
    QCOMPARE(LogFile::instance().filePath(), program + QStringLiteral("/log/2024-03-05-09-07-02-log.txt"));
    QVERIFY(QFileInfo(LogFile::instance().filePath()).isFile());
    QVERIFY(!QFileInfo::exists(user));
}

void TestLogFile::programFolderThatCannotTakeTheLog_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("a file named log") << "file";
    QTest::newRow("a log folder that cannot be written") << "read-only log";
    QTest::newRow("a program folder that cannot be written") << "read-only folder";
}

// The program folder holds the data but refuses the log: the log goes to the per-user folder instead.
void TestLogFile::programFolderThatCannotTakeTheLog()
{
    QFETCH(QString, obstacle);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString user = dir.filePath(QStringLiteral("user"));
    QVERIFY(makeProgramFolder(program));
    const QString blocked = obstacle == QLatin1String("read-only folder") ? program : program + QStringLiteral("/log");
    if (obstacle == QLatin1String("file")) {
        QVERIFY(makeFile(blocked));
    } else {
        QVERIFY(QDir().mkpath(blocked));
        QVERIFY(QFile::setPermissions(blocked, QFile::ReadOwner | QFile::ExeOwner));
        // An administrator writes through permissions; a file still cannot be made there then.
        if (makeFile(blocked + QStringLiteral("/probe"))) {
            QFile::setPermissions(blocked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("permissions do not stop this user from writing");
        }
    }

    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Cannot write a log file in %1; logging to %2")
                                                      .arg(program + QStringLiteral("/log"), user + QStringLiteral("/log"))));
    const bool opened = ApplicationStartup::openLogFile(ApplicationStartup::logFolders(program, user), startTime);
    QFile::setPermissions(blocked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(opened);
    QCOMPARE(LogFile::instance().filePath(), user + QStringLiteral("/log/2024-03-05-09-07-02-log.txt"));
    QVERIFY(QFileInfo(LogFile::instance().filePath()).isFile());
}

// An installed program's folder holds no data; even when it can be written (an administrator's start), the
// log goes to the per-user data folder, never into the system's bin folder.
void TestLogFile::installedProgramLogsPerUser()
{
    QTemporaryDir prefix;
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    QVERIFY(makeFile(bin + QStringLiteral("/quorlin")));
    QVERIFY(makeFile(prefix.filePath(QStringLiteral("share/quorlin/s2t.json"))));
    QTemporaryDir home;
    const QString user = home.filePath(QStringLiteral(".local/share/Korvel/Quorlin"));
    QVERIFY(ApplicationStartup::openLogFile(ApplicationStartup::logFolders(bin, user), startTime));
    QCOMPARE(LogFile::instance().filePath(), user + QStringLiteral("/log/2024-03-05-09-07-02-log.txt"));
    QVERIFY(!QFileInfo::exists(bin + QStringLiteral("/log")));
}

void TestLogFile::removeOldFiles_data()
{
    QTest::addColumn<int>("logCount");
    QTest::addColumn<int>("current"); // index of this start's log among them, oldest first; -1: none
    QTest::addColumn<int>("keep");
    QTest::addColumn<QList<int>>("kept");

    auto range = [](int from, int to) {
        QList<int> list;
        for (int i = from; i <= to; ++i)
            list << i;
        return list;
    };
    QTest::newRow("fewer than kept") << 10 << 9 << 50 << range(0, 9);
    QTest::newRow("exactly kept") << 50 << 49 << 50 << range(0, 49);
    QTest::newRow("one more") << 51 << 50 << 50 << range(1, 50);
    QTest::newRow("many more") << 120 << 119 << 50 << range(70, 119);
    QTest::newRow("this start is not the newest") << 60 << 3 << 50 << (QList<int>{3} + range(11, 59));
    QTest::newRow("no current file") << 55 << -1 << 50 << range(5, 54);
    QTest::newRow("keep one") << 5 << 4 << 1 << QList<int>{4};
}

void TestLogFile::removeOldFiles()
{
    QFETCH(int, logCount);
    QFETCH(int, current);
    QFETCH(int, keep);
    QFETCH(QList<int>, kept);
    QTemporaryDir dir;
    // Created newest first, so the files' own times run against their names: the names decide.
    for (int i = logCount - 1; i >= 0; --i)
        QVERIFY(makeFile(dir.filePath(logNameAfter(i))));
    const QStringList others = {"notes.txt", "x-log.txt", "2024-03-05-09-07-02-log.txt.bak",
                                "2024-3-5-9-7-2-log.txt", "1999-01-01-00-00-00-log.TXT"};
    for (const QString &other : others)
        QVERIFY(makeFile(dir.filePath(other)));
    QVERIFY(QDir(dir.path()).mkdir(LogFile::fileNameFor(QDateTime(QDate(1990, 1, 1), QTime(0, 0)))));

    const QString currentName = current < 0 ? QStringLiteral("2099-01-01-00-00-00-log.txt") : logNameAfter(current);
    QCOMPARE(LogFile::removeOldFiles(dir.path(), keep, currentName), logCount - kept.size());

    QStringList expected = others;
    for (int i : kept)
        expected << logNameAfter(i);
    expected.sort();
    QStringList remaining = logNamesIn(dir.path());
    QCOMPARE(remaining, expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}

void TestLogFile::openingKeepsTheNewestFifty()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    QVERIFY(makeProgramFolder(program));
    const QString logs = program + QStringLiteral("/log");
    for (int i = 1; i <= 60; ++i)
        QVERIFY(makeFile(logs + '/' + LogFile::fileNameFor(startTime.addDays(-i))));

    QVERIFY(ApplicationStartup::openLogFile(ApplicationStartup::logFolders(program, QString()), startTime));
    const QStringList remaining = logNamesIn(logs);
    QCOMPARE(remaining.size(), 50);
    QCOMPARE(remaining.last(), QStringLiteral("2024-03-05-09-07-02-log.txt"));
    QCOMPARE(remaining.first(), LogFile::fileNameFor(startTime.addDays(-49)));
    QCOMPARE(LogFile::keptFiles, 50);
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
