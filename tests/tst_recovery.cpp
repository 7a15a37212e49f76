#include "fileops/filetimes.h"
#include "fileops/journalrecovery.h"
#include "fileops/safefileops.h"
#include "testutil_journaljobs.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

using JournalJobs::snapshot;

namespace {

using Tree = QMap<QString, QByteArray>;

// What a job's folder holds before the job, and after it.
struct Expected
{
    QString folder; // the folder the job changes
    Tree before;
    Tree planned;
};

QByteArray checksum(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The modification times of the time job's files, in seconds, as its tree.
Tree timesOf(const QString &folder)
{
    Tree tree;
    for (const QString &name : JournalJobs::timeNames())
        tree.insert(name, QByteArray::number(readFileTimes(folder + '/' + name).lastWrite.seconds));
    return tree;
}

Tree treeOf(const QString &job, const QString &folder)
{
    return job == "time" ? timesOf(folder) : snapshot(folder);
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void killedJobIsRecovered_data();
    void killedJobIsRecovered();
    void killAtRandomPoints();
    void unreadableJournalIsSetAside();

private:
    Expected prepare(const QString &job);
    // Runs the job in the victim program; it kills itself after killAfter rows, or is killed after delay µs.
    // Returns how long the job ran, in µs, from its start to the end of the program.
    qint64 runVictim(const QString &job, const QString &folder, int killAfter, qint64 delay = -1);
    // Recovers every journal left, with choice; false when there was none.
    bool recoverAll(JournalRecovery::Choice choice, QVector<JournalRecovery::Row> *rows);

    QTemporaryDir m_data;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_journals;
};

void TestRecovery::initTestCase()
{
    QVERIFY(m_data.isValid());
    // The victim and this test share a per-user data folder of their own.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
}

Expected TestRecovery::prepare(const QString &job)
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString root = m_dir->path();
    Expected expected;
    expected.folder = root;
    if (JournalJobs::isRenameJob(job)) {
        const QMap<QString, QString> plan = JournalJobs::renamePlan(job);
        for (auto it = plan.cbegin(); it != plan.cend(); ++it)
            writeFile(root + '/' + it.key(), "content of " + it.key().toUtf8());
        expected.before = snapshot(root);
        expected.planned = expected.before;
        for (auto it = plan.cbegin(); it != plan.cend(); ++it)
            expected.planned.remove(it.key());
        for (auto it = plan.cbegin(); it != plan.cend(); ++it)
            expected.planned.insert(it.value(), expected.before.value(it.key()));
    } else if (job == "create") {
        // Big enough that a kill lands in the middle of a copy now and then.
        QByteArray bytes(200 * 1024, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(QRandomGenerator::global()->generate());
        writeFile(root + "/template.bin", bytes);
        QDir(root).mkdir("out");
        expected.folder = root + "/out";
        for (const QString &name : JournalJobs::createNames())
            expected.planned.insert(name + ".txt", checksum(bytes));
    } else {
        for (const QString &name : JournalJobs::timeNames()) {
            writeFile(root + '/' + name, name.toUtf8());
            setFileInstants(root + '/' + name, std::nullopt, std::nullopt, FileInstant{1262347200, 0});
        }
        expected.before = timesOf(root);
        const qint64 target = QDateTime(QDate(2001, 1, 1), QTime(12, 0)).toSecsSinceEpoch();
        for (const QString &name : JournalJobs::timeNames())
            expected.planned.insert(name, QByteArray::number(target));
    }
    return expected;
}

qint64 TestRecovery::runVictim(const QString &job, const QString &folder, int killAfter, qint64 delay)
{
    QProcess victim;
    victim.setProgram(QCoreApplication::applicationDirPath() + "/quorlin-journal-victim");
    victim.setArguments({job, folder, QString::number(killAfter)});
    victim.start();
    m_journals = m_data.path() + "/Korvel/QuorlinRecoveryTest/journal";
    if (!victim.waitForStarted())
        return 0;
    QByteArray output;
    while (!output.contains("start\n") && victim.waitForReadyRead(10000))
        output += victim.readAll();
    QElapsedTimer timer;
    timer.start();
    if (delay >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        victim.kill();
    }
    victim.waitForFinished(60000);
    return timer.nsecsElapsed() / 1000;
}

bool TestRecovery::recoverAll(JournalRecovery::Choice choice, QVector<JournalRecovery::Row> *rows)
{
    QStringList setAside;
    const QVector<JournalRecovery::Found> found = JournalRecovery::pending(&setAside, m_journals);
    for (const QString &path : qAsConst(setAside))
        QFile::remove(path); // a plan cut short while being written: its job had not begun
    for (const JournalRecovery::Found &journal : found)
        *rows += JournalRecovery::recover(journal.path, choice);
    return !found.isEmpty();
}

void TestRecovery::killedJobIsRecovered_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<int>("killAfter"); // rows
    QTest::addColumn<bool>("restore");
    const QList<QPair<QString, QList<int>>> kills{{"ring", {1, 3}}, {"chain", {2}},   {"swap", {1, 4}},
                                                  {"many", {1500}}, {"create", {17}}, {"time", {90}}};
    for (const auto &kill : kills) {
        for (const int after : kill.second) {
            for (const bool restore : {true, false}) {
                const QByteArray name = kill.first.toLatin1() + ", killed after " + QByteArray::number(after)
                    + (restore ? " rows, put back" : " rows, finished");
                QTest::newRow(name.constData()) << kill.first << after << restore;
            }
        }
    }
}

void TestRecovery::killedJobIsRecovered()
{
    QFETCH(QString, job);
    QFETCH(int, killAfter);
    QFETCH(bool, restore);
    const Expected expected = prepare(job);
    runVictim(job, m_dir->path(), killAfter);
    QVERIFY2(treeOf(job, expected.folder) != expected.before && treeOf(job, expected.folder) != expected.planned,
             "the kill came in the middle of the job");

    QVector<JournalRecovery::Row> rows;
    QVERIFY(recoverAll(restore ? JournalRecovery::Restore : JournalRecovery::Complete, &rows));

    QCOMPARE(treeOf(job, expected.folder), restore ? expected.before : expected.planned);
    for (const JournalRecovery::Row &row : qAsConst(rows))
        QVERIFY2(row.ok, qPrintable(row.message));
    QVERIFY(JournalRecovery::pending(nullptr, m_journals).isEmpty());
}

// Kills during 3000-item renames at random moments, each put back or finished in turn; QUORLIN_RANDOM_KILLS
// sets how many (a handful by default).
void TestRecovery::killAtRandomPoints()
{
    const int kills =
        qEnvironmentVariableIsSet("QUORLIN_RANDOM_KILLS") ? qEnvironmentVariableIntValue("QUORLIN_RANDOM_KILLS") : 4;
    // How long the whole job takes here, the span the kills are spread over.
    prepare("many");
    const qint64 span = runVictim("many", m_dir->path(), -1);
    int midway = 0;
    int failures = 0;
    for (int k = 0; k < kills; ++k) {
        const Expected expected = prepare("many");
        runVictim("many", m_dir->path(), -1, qint64(QRandomGenerator::global()->bounded(double(span))));
        const Tree killed = snapshot(expected.folder);
        const bool restore = k % 2 == 0;
        QVector<JournalRecovery::Row> rows;
        const bool journal = recoverAll(restore ? JournalRecovery::Restore : JournalRecovery::Complete, &rows);
        const Tree after = snapshot(expected.folder);
        // Without a journal the job had either not begun or ended: the tree is one or the other.
        const bool whole = journal ? after == (restore ? expected.before : expected.planned)
                                   : (after == expected.before || after == expected.planned);
        midway += journal && killed != expected.before;
        failures += !whole;
        for (const JournalRecovery::Row &row : qAsConst(rows))
            failures += !row.ok;
    }
    qInfo("%d kills over %lld us; %d mid-job with a journal; %d trees not whole", kills, span, midway, failures);
    QCOMPARE(failures, 0);
}

void TestRecovery::unreadableJournalIsSetAside()
{
    QTemporaryDir folder;
    const QString broken = folder.path() + "/job-1.journal";
    writeFile(broken, "quorlin-journal 1\nkind rename\npage -\n");
    QStringList setAside;
    QVERIFY(JournalRecovery::pending(&setAside, folder.path()).isEmpty());
    QCOMPARE(setAside, QStringList{broken + ".unreadable"});
    QVERIFY(!QFile::exists(broken));
    QVERIFY(QFile::exists(broken + ".unreadable"));
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
