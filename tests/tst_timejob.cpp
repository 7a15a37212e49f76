#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "jobs/jobfailurereporter.h"
#include "testutil_disktimes.h"
#include "timeprop/namedate.h"
#include "timeprop/timejob.h"
#include "testutil_engine.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(TimeRowOutcome)

using namespace EngineTest;

namespace {

const FileInstant KnownAccess{981173106, 123456700}; // 2001-02-03
const FileInstant KnownWrite{1104537600, 987654300}; // 2005-01-01, with nanoseconds a QDateTime cannot hold

struct Calls
{
    QVector<int> rows;
    QVector<TimeRowOutcome> outcomes;
    QVector<int> statuses;
};

TimeJob::RowCallback recorder(Calls &calls)
{
    return [&calls](int row, const FileTimeEntry &entry, TimeRowOutcome outcome) {
        calls.rows.append(row);
        calls.outcomes.append(outcome);
        calls.statuses.append(entry.status);
    };
}

FileInstant instantOf(const QDateTime &local)
{
    return {local.toSecsSinceEpoch(), local.time().msec() * 1000000};
}

TimeSettings settingsOf(bool creation, bool modification, const QDateTime &chosen)
{
    TimeSettings settings;
    settings.setCreation = creation;
    settings.setModification = modification;
    settings.creation = chosen.addDays(-1);
    settings.modification = chosen;
    return settings;
}

TimeSettings modificationOnly(const QDateTime &chosen)
{
    return settingsOf(false, true, chosen);
}

} // namespace

class TestTimeJob : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void applyShowsTargets_data();
    void applyShowsTargets();
    void newEntryShowsItemsOwnTimes();

    void runWritesOnlyTickedTimes_data();
    void runWritesOnlyTickedTimes();
    void linkRowChangesLinkOnly();
    void runsThenUndoesNewestFirst();
    void undoWithEmptyHistoryDoesNothing();
    void undoLeavesFailedRowsAlone();
    void undoLeavesReplacedItemAlone();
    void undoFindsRowsById();
    void undoFollowsRowToItsNewPath();
    void allFailedPushesNothing();
    void failureMessages_data();
    void failureMessages();
    void timeTheFileSystemCannotHold();
    void timeReadBackAtTheFileSystemsPrecision_data();
    void timeReadBackAtTheFileSystemsPrecision();
    void undoLeavesEditedItemAlone();
    void warningsThenSummary();

    void dateInName_data();
    void dateInName();
    void offsetAcrossMonthEndAndSummerTime_data();
    void offsetAcrossMonthEndAndSummerTime();
    void nameDateRunSkipsRowsWithoutDate_data();
    void nameDateRunSkipsRowsWithoutDate();
    void nameDateTheFileSystemCannotHold();

private:
    QString path(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name; }
    QString makeFile(const QString &name);
    QString makeFolder(const QString &name);
    FileTimeEntryList entriesOf(const QStringList &paths) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    TimeHistory m_history;
    JobFailureReporter m_reporter;
    const QDateTime m_first{QDate(2020, 2, 29), QTime(23, 59, 59, 250)};
    const QDateTime m_second{QDate(2022, 10, 1), QTime(8, 30, 15)};
};

void TestTimeJob::init()
{
    // QUORLIN_TEST_DIR runs the cases on another file system (an ntfs-3g or exFAT mount, say).
    const QString base = qEnvironmentVariable("QUORLIN_TEST_DIR");
    m_dir = base.isEmpty() ? std::make_unique<QTemporaryDir>()
                           : std::make_unique<QTemporaryDir>(base + QStringLiteral("/timejob-XXXXXX"));
    QVERIFY(m_dir->isValid());
    m_history.clear();
}

void TestTimeJob::cleanup()
{
    m_dir.reset();
}

QString TestTimeJob::makeFile(const QString &name)
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write("content") != 7)
        qFatal("cannot write %s", qPrintable(file.fileName()));
    file.close();
    setDiskTimes(file.fileName(), KnownAccess, KnownWrite);
    return file.fileName();
}

QString TestTimeJob::makeFolder(const QString &name)
{
    if (!QDir().mkpath(path(name)))
        qFatal("cannot make %s", qPrintable(path(name)));
    setDiskTimes(path(name), KnownAccess, KnownWrite);
    return path(name);
}

FileTimeEntryList TestTimeJob::entriesOf(const QStringList &paths) const
{
    FileTimeEntryList entries;
    for (const QString &item : paths)
        entries.append(makeFileTimeEntry(item));
    return entries;
}

void TestTimeJob::applyShowsTargets_data()
{
    QTest::addColumn<bool>("creation");
    QTest::addColumn<bool>("modification");
    QTest::newRow("no box") << false << false;
    QTest::newRow("creation") << true << false;
    QTest::newRow("modification") << false << true;
    QTest::newRow("both") << true << true;
}

// A ticked time shows as chosen, the other as the item has it now (read afresh); nothing is written.
void TestTimeJob::applyShowsTargets()
{
    QFETCH(bool, creation);
    QFETCH(bool, modification);
    const QString file = makeFile(QStringLiteral("a.txt"));
    const QString folder = makeFolder(QStringLiteral("文件夹"));
    FileTimeEntryList entries = entriesOf({file, folder});
    // Changed on disk after listing: the row must show the new time, not the one read when it was added.
    const FileInstant laterWrite{1600000000, 0};
    setDiskTimes(file, KnownAccess, laterWrite);
    const DiskTimes before = diskTimes(file);

    const TimeSettings settings = settingsOf(creation, modification, m_first);
    applyTimeSettings(entries, settings);

    QCOMPARE(entries.at(0).modification, modification ? m_first : toLocalDateTime(laterWrite));
    QCOMPARE(entries.at(1).modification, modification ? m_first : toLocalDateTime(KnownWrite));
    QCOMPARE(entries.at(0).creation, creation ? settings.creation : toLocalDateTime(before.birth));
    QCOMPARE(entries.at(0).status, int(StatusPending));
    QCOMPARE(diskTimes(file).change, before.change);
    QCOMPARE(diskTimes(file).write, laterWrite);
}

void TestTimeJob::newEntryShowsItemsOwnTimes()
{
    const QString file = makeFile(QStringLiteral("b.txt"));
    const FileTimeEntry entry = makeFileTimeEntry(m_dir->path() + QStringLiteral("/./b.txt"));
    QCOMPARE(entry.path, file);
    QCOMPARE(entry.name, QStringLiteral("b.txt"));
    QCOMPARE(entry.modification, toLocalDateTime(KnownWrite));
    QCOMPARE(entry.creation, toLocalDateTime(diskTimes(file).birth));
    QCOMPARE(entry.status, int(StatusPending));
    QVERIFY(!entry.id.isEmpty());
    QVERIFY(makeFileTimeEntry(file).id != entry.id);
}

void TestTimeJob::runWritesOnlyTickedTimes_data()
{
    QTest::addColumn<bool>("folders");
    QTest::addColumn<bool>("creation");
    QTest::addColumn<bool>("modification");
    QTest::addColumn<bool>("folderRenamed"); // the items' folder is renamed once the first row is done
    for (const bool folders : {false, true}) {
        const char *kind = folders ? "folders" : "files";
        QTest::addRow("%s, no box", kind) << folders << false << false << false;
        QTest::addRow("%s, modification", kind) << folders << false << true << false;
        QTest::addRow("%s, creation", kind) << folders << true << false << false;
        QTest::addRow("%s, both", kind) << folders << true << true << false;
        QTest::addRow("%s, modification, folder renamed meanwhile", kind) << folders << false << true << true;
    }
}

// Only ticked times are written, and undo gives back exactly those. Where the creation time cannot be set
// (most Linux file systems) a run with its box ticked fails every row and changes nothing on any item, not
// even the modification time ticked with it.
void TestTimeJob::runWritesOnlyTickedTimes()
{
    QFETCH(bool, folders);
    QFETCH(bool, creation);
    QFETCH(bool, modification);
    QFETCH(bool, folderRenamed);
    makeFolder(QStringLiteral("批次"));
    QStringList items;
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("批次/项目%1").arg(i);
        items.append(folders ? makeFolder(name) : makeFile(name + QStringLiteral(".txt")));
    }
    const bool refused = creation && !creationTimeSettable(items.first());
    const bool writes = !refused && (creation || modification);
    QVector<DiskTimes> before;
    for (const QString &item : items)
        before.append(diskTimes(item));
    FileTimeEntryList entries = entriesOf(items);
    const TimeSettings settings = settingsOf(creation, modification, m_first);
    applyTimeSettings(entries, settings);

    WarningListener warnings;
    Calls calls;
    const TimeJob::RowCallback record = recorder(calls);
    const TimeJob::RowCallback onRow = [&](int row, const FileTimeEntry &entry, TimeRowOutcome outcome) {
        record(row, entry, outcome);
        if (folderRenamed && row == 0)
            QVERIFY(QDir(m_dir->path()).rename(QStringLiteral("批次"), QStringLiteral("批次（已改名）")));
    };
    const TimeJobResult result = TimeJob::run(entries, settings, m_history, onRow, RunReporter(m_reporter));
    // The rows follow their folder, and so does the undo.
    if (folderRenamed)
        items.replaceInStrings(QStringLiteral("/批次/"), QStringLiteral("/批次（已改名）/"));
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(entries.at(i).path, items.at(i));

    QCOMPARE(calls.rows, (QVector<int>{0, 1, 2}));
    QCOMPARE(result.done, refused ? 0 : 3);
    QCOMPARE(result.failed, refused ? 3 : 0);
    QCOMPARE(m_history.size(), writes ? 1 : 0);
    for (int i = 0; i < items.size(); ++i) {
        const DiskTimes after = diskTimes(items.at(i));
        QCOMPARE(after.access, before.at(i).access);
        QCOMPARE(after.birth, creation && !refused ? instantOf(settings.creation) : before.at(i).birth);
        QCOMPARE(after.write, modification && !refused ? instantOf(m_first) : before.at(i).write);
        if (!writes)
            QCOMPARE(after.change, before.at(i).change);
        QCOMPARE(entries.at(i).status, int(refused ? StatusFailed : StatusSuccess));
        QCOMPARE(calls.outcomes.at(i), refused ? TimeRowOutcome::Failed : TimeRowOutcome::Done);
    }
    if (refused) {
        QCOMPARE(warnings.messages.first(),
                 QStringLiteral("设置文件“%1”创建时间失败，所在文件系统不支持修改创建时间，未作任何修改！")
                     .arg(items.first()));
        return;
    }
    QVERIFY(warnings.messages.isEmpty());
    QCOMPARE(entries.first().modification, modification ? m_first : toLocalDateTime(before.first().write));
    QCOMPARE(entries.first().creation, creation ? settings.creation : toLocalDateTime(before.first().birth));
    if (!writes)
        return;

    QCOMPARE(TimeJob::undo(entries, m_history, nullptr, RunReporter(m_reporter)).done, 3);
    for (int i = 0; i < items.size(); ++i) {
        const DiskTimes undone = diskTimes(items.at(i));
        QCOMPARE(undone.write, before.at(i).write);
        QCOMPARE(undone.birth, before.at(i).birth);
        QCOMPARE(undone.access, before.at(i).access);
        QCOMPARE(entries.at(i).status, int(StatusPending));
    }
}

void TestTimeJob::linkRowChangesLinkOnly()
{
    const QString target = makeFile(QStringLiteral("target.txt"));
    const QString link = path(QStringLiteral("link.txt"));
    QVERIFY(::symlink("target.txt", QFile::encodeName(link).constData()) == 0);
    setDiskTimes(link, KnownAccess, FileInstant{1200000000, 500});
    const DiskTimes targetBefore = diskTimes(target);
    FileTimeEntryList entries = entriesOf({link});
    QCOMPARE(entries.first().modification, toLocalDateTime(FileInstant{1200000000, 500}));

    QCOMPARE(TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter)).done, 1);
    QCOMPARE(diskTimes(link).write, instantOf(m_first));
    QCOMPARE(diskTimes(target).write, targetBefore.write);
    QCOMPARE(diskTimes(target).change, targetBefore.change);

    QCOMPARE(TimeJob::undo(entries, m_history, nullptr, RunReporter(m_reporter)).done, 1);
    QCOMPARE(diskTimes(link).write, (FileInstant{1200000000, 500}));
    QCOMPARE(diskTimes(target).change, targetBefore.change);
}

// Each run is one undo level; an undo gives back exactly what its run wrote over.
void TestTimeJob::runsThenUndoesNewestFirst()
{
    const QStringList items = {makeFile(QStringLiteral("a.txt")), makeFolder(QStringLiteral("b")),
                               makeFile(QStringLiteral("c.txt"))};
    FileTimeEntryList entries = entriesOf(items);

    QCOMPARE(TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter)).done, 3);
    QCOMPARE(TimeJob::run(entries, modificationOnly(m_second), m_history, nullptr, RunReporter(m_reporter)).done, 3);
    QCOMPARE(m_history.size(), 2);
    for (const QString &item : items)
        QCOMPARE(diskTimes(item).write, instantOf(m_second));

    Calls calls;
    QCOMPARE(TimeJob::undo(entries, m_history, recorder(calls), RunReporter(m_reporter)).done, 3);
    QCOMPARE(calls.rows, (QVector<int>{0, 1, 2}));
    QCOMPARE(calls.statuses, (QVector<int>{StatusPending, StatusPending, StatusPending}));
    QCOMPARE(m_history.size(), 1);
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(diskTimes(items.at(i)).write, instantOf(m_first));
        QCOMPARE(diskTimes(items.at(i)).access, KnownAccess);
        QCOMPARE(entries.at(i).modification, m_first);
    }

    QCOMPARE(TimeJob::undo(entries, m_history, nullptr, RunReporter(m_reporter)).done, 3);
    QVERIFY(!m_history.canUndo());
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(diskTimes(items.at(i)).write, KnownWrite);
        QCOMPARE(entries.at(i).modification, toLocalDateTime(KnownWrite));
        QCOMPARE(entries.at(i).status, int(StatusPending));
    }
}

void TestTimeJob::undoWithEmptyHistoryDoesNothing()
{
    FileTimeEntryList entries = entriesOf({makeFile(QStringLiteral("a.txt"))});
    WarningListener warnings;
    Calls calls;
    const TimeJobResult result = TimeJob::undo(entries, m_history, recorder(calls), RunReporter(m_reporter));
    QCOMPARE(result.done + result.failed, 0);
    QVERIFY(calls.rows.isEmpty());
    QVERIFY(warnings.messages.isEmpty());
}

// A row that failed in the run is not in its undo: the item it names is never written by that undo, even
// when it has come into being since.
void TestTimeJob::undoLeavesFailedRowsAlone()
{
    const QString a = makeFile(QStringLiteral("a.txt"));
    const QString late = path(QStringLiteral("late.txt"));
    const QString c = makeFile(QStringLiteral("c.txt"));
    FileTimeEntryList entries = entriesOf({a, late, c});
    WarningListener warnings;
    const TimeJobResult result =
        TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter));
    QCOMPARE(result.done, 2);
    QCOMPARE(result.failed, 1);
    QCOMPARE(entries.at(1).status, int(StatusFailed));
    QCOMPARE(warnings.messages, QStringList{QStringLiteral("文件“%1”不存在").arg(late)});

    makeFile(QStringLiteral("late.txt"));
    const DiskTimes lateBefore = diskTimes(late);
    Calls calls;
    QCOMPARE(TimeJob::undo(entries, m_history, recorder(calls), RunReporter(m_reporter)).done, 2);
    QCOMPARE(calls.rows, (QVector<int>{0, 2}));
    QCOMPARE(diskTimes(late).write, lateBefore.write);
    QCOMPARE(diskTimes(late).change, lateBefore.change);
    QCOMPARE(entries.at(1).status, int(StatusFailed));
    QCOMPARE(diskTimes(a).write, KnownWrite);
    QCOMPARE(diskTimes(c).write, KnownWrite);
}

// An item deleted and made anew under the same name (ext4 hands out the freed inode number at once) is not
// the item the run changed: undo leaves it alone and fails its row.
void TestTimeJob::undoLeavesReplacedItemAlone()
{
    const QString a = makeFile(QStringLiteral("a.txt"));
    const QString b = makeFile(QStringLiteral("b.txt"));
    FileTimeEntryList entries = entriesOf({a, b});
    QCOMPARE(TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter)).done, 2);

    QVERIFY(QFile::remove(b));
    makeFile(QStringLiteral("b.txt"));
    const FileInstant newWrite{1300000000, 4200};
    setDiskTimes(b, KnownAccess, newWrite);

    WarningListener warnings;
    Calls calls;
    const TimeJobResult result = TimeJob::undo(entries, m_history, recorder(calls), RunReporter(m_reporter));
    QCOMPARE(result.done, 1);
    QCOMPARE(result.failed, 1);
    QCOMPARE(calls.outcomes, (QVector<TimeRowOutcome>{TimeRowOutcome::Done, TimeRowOutcome::Failed}));
    QCOMPARE(entries.at(1).status, int(StatusFailed));
    QCOMPARE(diskTimes(b).write, newWrite);
    QCOMPARE(diskTimes(a).write, KnownWrite);
    QCOMPARE(warnings.messages, QStringList{QStringLiteral("文件“%1”已被替换，未恢复其原时间！").arg(b)});
}

// Rows moved, removed or added since the run: undo finds the changed rows by id, puts back the item of a
// removed row too, and leaves a new row alone.
void TestTimeJob::undoFindsRowsById()
{
    const QString a = makeFile(QStringLiteral("a.txt"));
    const QString b = makeFile(QStringLiteral("b.txt"));
    const QString c = makeFile(QStringLiteral("c.txt"));
    FileTimeEntryList entries = entriesOf({a, b, c});
    QCOMPARE(TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter)).done, 3);

    const QString d = makeFile(QStringLiteral("d.txt"));
    setDiskTimes(d, KnownAccess, instantOf(m_first));
    const FileTimeEntry added = makeFileTimeEntry(d);
    entries = {entries.at(2), added, entries.at(0)}; // c, d, a; b removed

    Calls calls;
    QCOMPARE(TimeJob::undo(entries, m_history, recorder(calls), RunReporter(m_reporter)).done, 3);
    QCOMPARE(calls.rows, (QVector<int>{2, 0})); // a, then c, in the run's order; b has no row
    QCOMPARE(entries.at(0).path, c);
    QCOMPARE(entries.at(0).status, int(StatusPending));
    QCOMPARE(entries.at(2).path, a);
    QCOMPARE(entries.at(2).modification, toLocalDateTime(KnownWrite));
    QCOMPARE(entries.at(1).status, int(StatusPending));
    QCOMPARE(entries.at(1).modification, m_first);
    for (const QString &item : {a, b, c})
        QCOMPARE(diskTimes(item).write, KnownWrite);
    QCOMPARE(diskTimes(d).write, instantOf(m_first));
}

// Another page renamed the item and its row followed it: undo works on the row's path.
void TestTimeJob::undoFollowsRowToItsNewPath()
{
    const QString a = makeFile(QStringLiteral("a.txt"));
    FileTimeEntryList entries = entriesOf({a});
    QCOMPARE(TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter)).done, 1);
    const QString renamed = path(QStringLiteral("renamed.txt"));
    QVERIFY(QFile::rename(a, renamed));
    entries[0].path = renamed;

    QCOMPARE(TimeJob::undo(entries, m_history, nullptr, RunReporter(m_reporter)).done, 1);
    QCOMPARE(diskTimes(renamed).write, KnownWrite);
}

void TestTimeJob::allFailedPushesNothing()
{
    FileTimeEntryList entries = entriesOf({path(QStringLiteral("x.txt")), path(QStringLiteral("y.txt"))});
    WarningListener warnings;
    const TimeJobResult result =
        TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter));
    QCOMPARE(result.failed, 2);
    QVERIFY(!m_history.canUndo());
    QCOMPARE(entries.at(0).status, int(StatusFailed));
    QCOMPARE(entries.at(1).status, int(StatusFailed));
    QCOMPARE(warnings.messages.size(), 2);
}

void TestTimeJob::failureMessages_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message"); // %1 is the row's path
    QTest::newRow("missing") << "missing" << QStringLiteral("文件“%1”不存在");
    QTest::newRow("times cannot be read") << "unreachable" << QStringLiteral("获取文件“%1”原时间失败，请确认权限！");
    QTest::newRow("times cannot be written") << "immutable" << QStringLiteral("设置文件“%1”时间失败，请确认权限！");
}

// A failing row in the middle: its own status and warning; the rows around it still run.
void TestTimeJob::failureMessages()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString first = makeFile(QStringLiteral("first.txt"));
    const QString last = makeFile(QStringLiteral("last.txt"));
    QString bad = path(QStringLiteral("bad.txt"));
    FileTimeEntry badEntry = makeFileTimeEntry(makeFile(QStringLiteral("bad.txt")));
    bool immutable = false;
    const auto release = qScopeGuard([&] {
        if (immutable)
            setImmutable(bad, false);
    });
    if (kind == QLatin1String("missing")) {
        QVERIFY(QFile::remove(bad));
    } else if (kind == QLatin1String("unreachable")) {
        // A folder on the way that cannot be passed: a link to itself.
        QVERIFY(::symlink("loop", QFile::encodeName(path(QStringLiteral("loop"))).constData()) == 0);
        bad = path(QStringLiteral("loop/bad.txt"));
        badEntry.path = bad;
    } else {
        immutable = setImmutable(bad, true);
        if (!immutable)
            QSKIP("files cannot be made immutable here (needs root and a file system that has the flag)");
    }
    FileTimeEntryList entries = entriesOf({first});
    entries.append(badEntry);
    entries.append(makeFileTimeEntry(last));

    QVector<int> reported;
    WarningListener warnings(&reported);
    const TimeJob::RowCallback onRow = [&reported](int row, const FileTimeEntry &, TimeRowOutcome) {
        reported.append(row);
    };
    const TimeJobResult result =
        TimeJob::run(entries, modificationOnly(m_first), m_history, onRow, RunReporter(m_reporter));
    QCOMPARE(result.done, 2);
    QCOMPARE(result.failed, 1);
    QCOMPARE(warnings.messages, QStringList{message.arg(bad)});
    QCOMPARE(warnings.rowsReportedAtMessage, QVector<int>{2}); // after its own row was shown
    QCOMPARE(entries.at(1).status, int(StatusFailed));
    QCOMPARE(entries.at(2).status, int(StatusSuccess));
    QCOMPARE(diskTimes(last).write, instantOf(m_first));
    if (kind == QLatin1String("immutable"))
        QCOMPARE(diskTimes(bad).write, KnownWrite);
    QCOMPARE(m_history.size(), 1);
    QCOMPARE(m_history.takeNewest().size(), 2);
}

// A time the file system cannot hold (ext4 keeps 1901 to 2446) fails its row with that reason instead of
// landing clamped on disk and showing success.
void TestTimeJob::timeTheFileSystemCannotHold()
{
    const QString a = makeFile(QStringLiteral("a.txt"));
    const QString b = makeFile(QStringLiteral("b.txt"));
    FileTimeEntryList entries = entriesOf({a, b});
    const QDateTime far(QDate(9999, 12, 31), QTime(23, 59, 59));
    WarningListener warnings;
    const TimeJobResult result =
        TimeJob::run(entries, modificationOnly(far), m_history, nullptr, RunReporter(m_reporter));
    if (result.done == 2) {
        QCOMPARE(diskTimes(a).write, instantOf(far));
        return;
    }
    QCOMPARE(result.failed, 2);
    QCOMPARE(warnings.messages.first(),
             QStringLiteral("设置文件“%1”时间失败，所在文件系统不支持所选时间，未作任何修改！").arg(a));
    QCOMPARE(diskTimes(a).write, KnownWrite);
    QCOMPARE(diskTimes(b).write, KnownWrite);
    QVERIFY(!m_history.canUndo());
}

void TestTimeJob::timeReadBackAtTheFileSystemsPrecision_data()
{
    QTest::addColumn<qint64>("seconds"); // UTC
    QTest::addColumn<bool>("kept");
    QTest::newRow("2038-01-19 03:14:07, the last second it holds") << qint64(2147483647) << true;
    QTest::newRow("2038-01-19 03:14:08, clamped by a second") << qint64(2147483648) << false;
    QTest::newRow("1901-12-13 20:45:52, the first second it holds") << qint64(-2147483648LL) << true;
    QTest::newRow("1901-12-13 20:45:51, clamped by a second") << qint64(-2147483649LL) << false;
}

// ext4 with 128-byte inodes holds whole seconds from 1901 to 2038 and clamps what lies beyond by as little as a
// second: the run reads every time back and fails the row, putting the old time back.
void TestTimeJob::timeReadBackAtTheFileSystemsPrecision()
{
    QFETCH(qint64, seconds);
    QFETCH(bool, kept);
#ifdef Q_OS_LINUX
    static EngineTest::ScratchMount mount(EngineTest::ScratchMount::SmallInodeExt4);
    if (!mount.isMounted())
        QSKIP(qPrintable(mount.skipReason()));
    const QString a = mount.path() + QStringLiteral("/a-") + QString::number(seconds);
    QFile file(a);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    setDiskTimes(a, KnownAccess, FileInstant{1104537600, 0});
    FileTimeEntryList entries = entriesOf({a});
    const QDateTime asked = QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime).addMSecs(250);
    WarningListener warnings;

    const TimeJobResult result =
        TimeJob::run(entries, modificationOnly(asked), m_history, nullptr, RunReporter(m_reporter));

    QCOMPARE(result.done, kept ? 1 : 0);
    const FileInstant expected = kept ? FileInstant{seconds, 0} : FileInstant{1104537600, 0};
    QCOMPARE(diskTimes(a).write, expected);
    QCOMPARE(warnings.messages,
             kept ? QStringList()
                  : QStringList{
                      QStringLiteral("设置文件“%1”时间失败，所在文件系统不支持所选时间，未作任何修改！").arg(a)});
#else
    Q_UNUSED(seconds)
    Q_UNUSED(kept)
    QSKIP("a loop-mounted ext4 is a Linux test device");
#endif
}

void TestTimeJob::undoLeavesEditedItemAlone()
{
    const QString a = makeFile(QStringLiteral("a.txt"));
    const QString b = makeFile(QStringLiteral("b.txt"));
    FileTimeEntryList entries = entriesOf({a, b});
    QCOMPARE(TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, m_reporter).done, 2);
    // Someone saves b after the run: its own, newer modification time must stay.
    QFile file(b);
    QVERIFY(file.open(QIODevice::Append));
    file.write("edited");
    file.close();
    const FileInstant edited = diskTimes(b).write;
    QVERIFY(edited != instantOf(m_first));
    WarningListener warnings;

    const TimeJobResult result = TimeJob::undo(entries, m_history, nullptr, RunReporter(m_reporter));

    QCOMPARE(result.done, 1);
    QCOMPARE(diskTimes(a).write, KnownWrite);
    QCOMPARE(diskTimes(b).write, edited);
    QCOMPARE(entries.at(1).status, int(StatusFailed));
    QCOMPARE(warnings.messages, QStringList{QStringLiteral("文件“%1”在修改后已被更改，未恢复其原时间！").arg(b)});
}

// The first three failures are shown one by one, the rest in one summary at the end; the undo follows the
// same rule.
void TestTimeJob::warningsThenSummary()
{
    QStringList items;
    for (int i = 0; i < 5; ++i)
        items.append(makeFile(QStringLiteral("f%1.txt").arg(i)));
    FileTimeEntryList entries = entriesOf(items);
    QCOMPARE(TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter)).done, 5);
    for (const QString &item : items)
        QVERIFY(QFile::remove(item));

    WarningListener warnings;
    const TimeJobResult result = TimeJob::undo(entries, m_history, nullptr, RunReporter(m_reporter));
    QCOMPARE(result.failed, 5);
    QCOMPARE(warnings.messages,
             (QStringList{QStringLiteral("文件“%1”不存在").arg(items.at(0)),
                          QStringLiteral("文件“%1”不存在").arg(items.at(1)),
                          QStringLiteral("文件“%1”不存在").arg(items.at(2)),
                          QStringLiteral("另有2个项目操作失败，请查看列表中的状态")}));

    warnings.messages.clear();
    TimeJob::run(entries, modificationOnly(m_first), m_history, nullptr, RunReporter(m_reporter));
    QCOMPARE(warnings.messages.size(), 4);
    QCOMPARE(warnings.messages.last(), QStringLiteral("另有2个项目操作失败，请查看列表中的状态"));
}

void TestTimeJob::dateInName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // empty: no date
    QTest::newRow("underscore") << "IMG_20240131_235959.jpg"
                                << "2024-01-31 23:59:59";
    QTest::newRow("dash") << "VID20240131-235959.mp4"
                          << "2024-01-31 23:59:59";
    QTest::newRow("dotted time") << "2024-01-31 23.59.59 会议.pdf"
                                 << "2024-01-31 23:59:59";
    QTest::newRow("iso date") << "2024-01-31 会议.pdf"
                              << "2024-01-31 00:00:00";
    QTest::newRow("chinese") << "报告2024年1月31日终稿.docx"
                             << "2024-01-31 00:00:00";
    QTest::newRow("digits") << "scan20240131.png"
                            << "2024-01-31 00:00:00";
    QTest::newRow("first from the left") << "2023-12-24 then 20240131.txt"
                                         << "2023-12-24 00:00:00";
    QTest::newRow("bad time keeps the date") << "20240131_256000.jpg"
                                             << "2024-01-31 00:00:00";
    QTest::newRow("invalid date skipped") << "20241340 then 2024-02-29.txt"
                                          << "2024-02-29 00:00:00";
    QTest::newRow("no leap day") << "2023-02-29.txt"
                                 << "";
    QTest::newRow("longer digit run") << "1202401319.txt"
                                      << "";
    QTest::newRow("no date") << "notes.txt"
                             << "";
}

void TestTimeJob::dateInName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const WallClockTime date = ::dateInName(name);
    QVERIFY(!date.utcOffset);
    QCOMPARE(date.isValid()
                 ? QDateTime(date.date, date.time, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                 : QString(),
             expected);
}

void TestTimeJob::offsetAcrossMonthEndAndSummerTime_data()
{
    QTest::addColumn<QDateTime>("own");
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QString>("shown");
    QTest::newRow("month end") << QDateTime(QDate(2024, 1, 31), QTime(23, 30)) << qint64(3600)
                               << "2024-02-01 00:30:00";
    QTest::newRow("into summer time") << QDateTime(QDate(2024, 3, 31), QTime(1, 30)) << qint64(3600)
                                      << "2024-03-31 03:30:00";
    QTest::newRow("a day back across autumn")
        << QDateTime(QDate(2024, 10, 27), QTime(12, 0)) << qint64(-86400) << "2024-10-26 13:00:00";
}

// An offset moves the instant: a summer-time change shows in the wall-clock time, never in the distance.
void TestTimeJob::offsetAcrossMonthEndAndSummerTime()
{
    QFETCH(QDateTime, own);
    QFETCH(qint64, offset);
    QFETCH(QString, shown);
    const QByteArray zone = qgetenv("TZ");
    const auto restore = qScopeGuard([zone] {
        qputenv("TZ", zone);
        tzset();
    });
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    const QString file = makeFile(QStringLiteral("a.txt"));
    const FileInstant before{*toUtcFileTime(own)};
    setDiskTimes(file, KnownAccess, {before.seconds, 400});
    FileTimeEntryList entries = entriesOf({file});
    TimeSettings settings = modificationOnly(m_first);
    settings.source = TimeSource::Offset;
    settings.offsetSeconds = offset;

    QVERIFY(applyTimeSettings(entries, settings));
    QCOMPARE(entries[0].modification.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), shown);
    QCOMPARE(entries[0].modificationOnDisk.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
             own.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    const TimeJobResult result = TimeJob::run(entries, settings, m_history, {}, m_reporter);
    QCOMPARE(result.done, 1);
    QCOMPARE(diskTimes(file).write, (FileInstant{before.seconds + offset, 400}));
    TimeJob::undo(entries, m_history, {}, m_reporter);
    QCOMPARE(diskTimes(file).write, (FileInstant{before.seconds, 400}));
}

void TestTimeJob::nameDateRunSkipsRowsWithoutDate_data()
{
    QTest::addColumn<bool>("folders");
    QTest::newRow("files") << false;
    QTest::newRow("folders") << true;
}

void TestTimeJob::nameDateRunSkipsRowsWithoutDate()
{
    QFETCH(bool, folders);
    const auto make = [&](const QString &name) { return folders ? makeFolder(name) : makeFile(name); };
    const QStringList paths = {make(QStringLiteral("2024年1月31日 会议")), make(QStringLiteral("notes")),
                               make(QStringLiteral("IMG_20230704_083000"))};
    FileTimeEntryList entries = entriesOf(paths);
    TimeSettings settings = modificationOnly(m_first);
    settings.source = TimeSource::NameDate;
    QVERIFY(applyTimeSettings(entries, settings));
    QCOMPARE(entries[1].timeNote, QStringLiteral("名称中没有日期"));
    QCOMPARE(instantOf(entries[1].modification).seconds, KnownWrite.seconds);

    WarningListener warnings;
    Calls calls;
    const TimeJobResult result = TimeJob::run(entries, settings, m_history, recorder(calls), m_reporter);
    QCOMPARE(result.done, 2);
    QCOMPARE(result.skipped, 1);
    QCOMPARE(result.failed, 0);
    QVERIFY(warnings.messages.isEmpty());
    QCOMPARE(calls.outcomes,
             (QVector<TimeRowOutcome>{TimeRowOutcome::Done, TimeRowOutcome::Skipped, TimeRowOutcome::Done}));
    QCOMPARE(calls.statuses, (QVector<int>{StatusSuccess, StatusSkipped, StatusSuccess}));
    QCOMPARE(entries[1].timeNote, QStringLiteral("名称中没有日期"));
    QCOMPARE(diskTimes(paths[0]).write, *toUtcFileTime(QDateTime(QDate(2024, 1, 31), QTime(0, 0))));
    QCOMPARE(diskTimes(paths[1]).write, KnownWrite);
    QCOMPARE(diskTimes(paths[2]).write, *toUtcFileTime(QDateTime(QDate(2023, 7, 4), QTime(8, 30))));

    // The skipped row is not in the batch: undo gives back the two it changed and looks at nothing else.
    Calls undone;
    QCOMPARE(TimeJob::undo(entries, m_history, recorder(undone), m_reporter).done, 2);
    QCOMPARE(undone.rows, (QVector<int>{0, 2}));
    for (const QString &item : paths)
        QCOMPARE(diskTimes(item).write, KnownWrite);
}

// Year 1 is a real date but no time ext4 (or any other) can hold: the row fails and its item keeps its time.
void TestTimeJob::nameDateTheFileSystemCannotHold()
{
    const QString file = makeFile(QStringLiteral("00010101.txt"));
    FileTimeEntryList entries = entriesOf({file});
    TimeSettings settings = modificationOnly(m_first);
    settings.source = TimeSource::NameDate;
    WarningListener warnings;
    const TimeJobResult result = TimeJob::run(entries, settings, m_history, {}, m_reporter);
    QCOMPARE(result.failed, 1);
    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(warnings.messages, QStringList{TimeJob::outOfRangeMessage(file)});
    QCOMPARE(diskTimes(file).write, KnownWrite);
    QVERIFY(!m_history.canUndo());
}

QTEST_GUILESS_MAIN(TestTimeJob)
#include "tst_timejob.moc"
