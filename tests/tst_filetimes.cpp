#include "fileops/filetimes.h"
#include "fileops/safefileops.h"
#include "testutil_disktimes.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

Q_DECLARE_METATYPE(FileTimesFailure)

namespace {

const FileInstant KnownAccess{981173106, 123456700}; // 2001-02-03 04:05:06.1234567 UTC
const FileInstant KnownWrite{1104537600, 987654300}; // 2005-01-01 00:00:00.9876543 UTC
const FileInstant TargetAccess{1262304000, 111111100}; // 2010-01-01
const FileInstant TargetWrite{1293840000, 222222200}; // 2011-01-01

QString makeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("content") != 7)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

qint64 localSeconds(const QDate &date, const QTime &time)
{
    return QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch();
}

// Runs with TZ set to zone and puts the previous zone back at the end.
class ZoneGuard
{
public:
    explicit ZoneGuard(const QByteArray &zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~ZoneGuard()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        ::tzset();
    }

private:
    bool m_had;
    QByteArray m_old;
};

} // namespace

class TestFileTimes : public QObject
{
    Q_OBJECT

private slots:
    void setsModificationOfItemItself_data();
    void setsModificationOfItemItself();
    void keepsNanoseconds();
    void nothingAskedChangesNothing();
    void setsCreationWhereSettable();
    void creationNotSettableChangesNothing_data();
    void creationNotSettableChangesNothing();
    void unusablePaths_data();
    void unusablePaths();
    void refusedOnImmutableFile();
    void timeOutsideFileSystemRange_data();
    void timeOutsideFileSystemRange();
    void localWallClockToUtc_data();
    void identityFromTheSameLook_data();
    void identityFromTheSameLook();
    void writesFromTimesReadBefore_data();
    void writesFromTimesReadBefore();
    void localWallClockToUtc();

private:
    // QUORLIN_TEST_DIR runs the cases on another file system (an ntfs-3g or exFAT mount, say).
    QTemporaryDir m_dir{qEnvironmentVariableIsEmpty("QUORLIN_TEST_DIR")
                            ? QDir::tempPath() + QStringLiteral("/filetimes-XXXXXX")
                            : qEnvironmentVariable("QUORLIN_TEST_DIR") + QStringLiteral("/filetimes-XXXXXX")};
};

void TestFileTimes::setsModificationOfItemItself_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << "file";
    QTest::newRow("folder") << "folder";
    QTest::newRow("link to a file") << "file link";
    QTest::newRow("link to a folder") << "folder link";
    QTest::newRow("dangling link") << "dangling link";
}

// Only the modification time changes; the access time stays; a link changes itself, never its target.
void TestFileTimes::setsModificationOfItemItself()
{
    QFETCH(QString, kind);
    QTemporaryDir dir(m_dir.path() + QStringLiteral("/case-XXXXXX"));
    QString path = dir.filePath(QStringLiteral("项目 %1").arg(kind));
    QString target;
    if (kind == QLatin1String("file")) {
        makeFile(path);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else {
        target = dir.filePath(QStringLiteral("target"));
        if (kind == QLatin1String("file link"))
            makeFile(target);
        else if (kind == QLatin1String("folder link"))
            QVERIFY(QDir().mkdir(target));
        QVERIFY(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0);
        if (kind != QLatin1String("dangling link"))
            setDiskTimes(target, TargetAccess, TargetWrite);
    }
    setDiskTimes(path, KnownAccess, KnownWrite);

    const QDate date(2020, 5, 6);
    const QTime time(7, 8, 9, 450);
    QCOMPARE(setFileTimes(path, QDateTime(), QDateTime(), QDateTime(date, time)), int(FileTimesSet));

    const DiskTimes after = diskTimes(path);
    QCOMPARE(after.write, (FileInstant{localSeconds(date, time), 450000000}));
    QCOMPARE(after.access, KnownAccess);
    if (kind == QLatin1String("file link") || kind == QLatin1String("folder link")) {
        const DiskTimes targetAfter = diskTimes(target, true);
        QCOMPARE(targetAfter.write, TargetWrite);
        QCOMPARE(targetAfter.access, TargetAccess);
    }
    const FileTimes read = readFileTimes(path);
    QVERIFY(read.exists && read.readable);
    QCOMPARE(read.lastWrite, after.write);
    QCOMPARE(read.modificationTime(), QDateTime(date, time));
}

void TestFileTimes::keepsNanoseconds()
{
    const QString path = makeFile(m_dir.filePath(QStringLiteral("exact.txt")));
    setDiskTimes(path, KnownAccess, KnownWrite);
    const FileInstant write{1500000000, 123456700};
    QCOMPARE(setFileInstants(path, std::nullopt, std::nullopt, write), int(FileTimesSet));
    QCOMPARE(diskTimes(path).write, write);
    QCOMPARE(diskTimes(path).access, KnownAccess);

    const FileInstant access{1400000000, 987654300};
    QCOMPARE(setFileInstants(path, std::nullopt, access, std::nullopt), int(FileTimesSet));
    QCOMPARE(diskTimes(path).access, access);
    QCOMPARE(diskTimes(path).write, write);
}

void TestFileTimes::nothingAskedChangesNothing()
{
    const QString path = makeFile(m_dir.filePath(QStringLiteral("untouched.txt")));
    setDiskTimes(path, KnownAccess, KnownWrite);
    const DiskTimes before = diskTimes(path);
    FileTimesFailure failure = FileTimesFailure::Refused;
    QCOMPARE(setFileTimes(path, QDateTime(), QDateTime(), QDateTime(), &failure), int(FileTimesSet));
    QCOMPARE(failure, FileTimesFailure::None);
    QCOMPARE(diskTimes(path).change, before.change);
}

// ntfs-3g (and Windows) keep a creation time that can be set; it changes alone.
void TestFileTimes::setsCreationWhereSettable()
{
    const QString path = makeFile(m_dir.filePath(QStringLiteral("creation.txt")));
    if (!creationTimeSettable(path))
        QSKIP("this file system keeps no settable creation time (run with QUORLIN_TEST_DIR on an ntfs-3g mount)");
    setDiskTimes(path, KnownAccess, KnownWrite);
    const QDate date(2019, 1, 2);
    const QTime time(3, 4, 5, 600);
    FileTimesFailure failure = FileTimesFailure::Refused;
    QCOMPARE(setFileTimes(path, QDateTime(date, time), QDateTime(), QDateTime(), &failure), int(FileTimesSet));
    QCOMPARE(failure, FileTimesFailure::None);
    const DiskTimes after = diskTimes(path);
    QCOMPARE(after.birth, (FileInstant{localSeconds(date, time), 600000000}));
    QCOMPARE(after.write, KnownWrite);
    QCOMPARE(after.access, KnownAccess);
    QCOMPARE(readFileTimes(path).creationTime(), QDateTime(date, time));
}

void TestFileTimes::creationNotSettableChangesNothing_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("withModification");
    QTest::newRow("file, creation only") << false << false;
    QTest::newRow("file, creation and modification") << false << true;
    QTest::newRow("folder, creation and modification") << true << true;
}

// Where the file system keeps no settable creation time, the whole request is refused before anything is
// written: not even the modification time asked for with it changes.
void TestFileTimes::creationNotSettableChangesNothing()
{
    QFETCH(bool, folder);
    QFETCH(bool, withModification);
    const QString path =
        m_dir.filePath(folder ? QStringLiteral("no-creation-folder") : QStringLiteral("no-creation.txt"));
    if (folder)
        QVERIFY(QDir().mkpath(path));
    else
        makeFile(path);
    if (creationTimeSettable(path))
        QSKIP("this file system lets the creation time be set");
    QVERIFY(!systemSetsCreationTimes());
    setDiskTimes(path, KnownAccess, KnownWrite);
    const DiskTimes before = diskTimes(path);
    const FileTimes timesBefore = readFileTimes(path);

    const QDateTime chosen(QDate(2019, 1, 2), QTime(3, 4, 5));
    FileTimesFailure failure = FileTimesFailure::None;
    QCOMPARE(setFileTimes(path, chosen, QDateTime(), withModification ? chosen : QDateTime(), &failure),
             int(FileTimesUnwritable));
    QCOMPARE(failure, FileTimesFailure::CreationNotSettable);
    const DiskTimes after = diskTimes(path);
    QCOMPARE(after.write, before.write);
    QCOMPARE(after.access, before.access);
    QCOMPARE(after.change, before.change); // no change of any kind reached the item
    QCOMPARE(readFileTimes(path).creation, timesBefore.creation);
}

void TestFileTimes::unusablePaths_data()
{
    QTest::addColumn<QString>("relative"); // below the test folder; "" for the empty path
    QTest::addColumn<int>("code");
    QTest::addColumn<FileTimesFailure>("failure");
    QTest::addColumn<bool>("exists");
    QTest::newRow("empty path") << QString() << int(FileTimesEmptyPath) << FileTimesFailure::None << false;
    QTest::newRow("missing item") << "gone.txt" << int(FileTimesUnreadable) << FileTimesFailure::Missing << false;
    QTest::newRow("below a file") << "plain.txt/child" << int(FileTimesUnreadable) << FileTimesFailure::Missing
                                  << false;
    // The folder on the way cannot be passed (a link to itself): the item may be there, its times are unknown.
    QTest::newRow("unreachable folder") << "loop/child.txt" << int(FileTimesUnreadable)
                                        << FileTimesFailure::Unreadable << true;
}

void TestFileTimes::unusablePaths()
{
    QFETCH(QString, relative);
    QFETCH(int, code);
    QFETCH(FileTimesFailure, failure);
    QFETCH(bool, exists);
    makeFile(m_dir.filePath(QStringLiteral("plain.txt")));
    const QString loop = m_dir.filePath(QStringLiteral("loop"));
    if (!QFileInfo(loop).isSymLink())
        QVERIFY(::symlink("loop", QFile::encodeName(loop).constData()) == 0);
    const QString path = relative.isEmpty() ? QString() : m_dir.filePath(relative);

    FileTimesFailure reported = FileTimesFailure::Refused;
    QCOMPARE(setFileTimes(path, QDateTime(), QDateTime(), QDateTime::currentDateTime(), &reported), code);
    QCOMPARE(reported, failure);
    const FileTimes read = readFileTimes(path);
    QCOMPARE(read.exists, exists);
    QVERIFY(!read.readable);
    QVERIFY(!read.modificationTime().isValid());
    QVERIFY(!read.creationTime().isValid());
}

void TestFileTimes::refusedOnImmutableFile()
{
    const QString path = makeFile(m_dir.filePath(QStringLiteral("immutable.txt")));
    setDiskTimes(path, KnownAccess, KnownWrite);
    if (!setImmutable(path, true))
        QSKIP("files cannot be made immutable here (needs root and a file system that has the flag)");
    const auto restore = qScopeGuard([&] { setImmutable(path, false); });

    FileTimesFailure failure = FileTimesFailure::None;
    QCOMPARE(setFileTimes(path, QDateTime(), QDateTime(), QDateTime::currentDateTime(), &failure),
             int(FileTimesUnwritable));
    QCOMPARE(failure, FileTimesFailure::Refused);
    QCOMPARE(diskTimes(path).write, KnownWrite);
}

void TestFileTimes::timeOutsideFileSystemRange_data()
{
    QTest::addColumn<QDate>("date");
    QTest::newRow("1960") << QDate(1960, 6, 1);
    QTest::newRow("1800") << QDate(1800, 6, 1);
    QTest::newRow("2600") << QDate(2600, 6, 1);
    QTest::newRow("9999") << QDate(9999, 12, 31);
}

// The kernel clamps a time the file system cannot hold instead of refusing it. Either the time is on disk
// as asked, or the call fails and the item keeps its time: never a success with another time on disk.
void TestFileTimes::timeOutsideFileSystemRange()
{
    QFETCH(QDate, date);
    const QString path = makeFile(m_dir.filePath(QStringLiteral("range.txt")));
    setDiskTimes(path, KnownAccess, KnownWrite);
    const QTime time(12, 0, 0);
    FileTimesFailure failure = FileTimesFailure::None;
    const int code = setFileTimes(path, QDateTime(), QDateTime(), QDateTime(date, time), &failure);
    if (code == FileTimesSet) {
        QCOMPARE(diskTimes(path).write.seconds, localSeconds(date, time));
    } else {
        QCOMPARE(code, int(FileTimesUnwritable));
        QCOMPARE(failure, FileTimesFailure::OutOfRange);
        QCOMPARE(diskTimes(path).write, KnownWrite);
    }
    QCOMPARE(diskTimes(path).access, KnownAccess);
}

void TestFileTimes::localWallClockToUtc_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("chosen");
    QTest::addColumn<QDateTime>("utc");
    const QDate day(2024, 3, 1);
    const QTime last(23, 59, 59);
    QTest::newRow("Shanghai 23:59:59") << QByteArray("Asia/Shanghai") << QDateTime(day, last, Qt::LocalTime)
                                       << QDateTime(day, QTime(15, 59, 59), Qt::UTC);
    QTest::newRow("fields read as local whatever the time zone setting")
        << QByteArray("Asia/Shanghai") << QDateTime(day, last, Qt::UTC) << QDateTime(day, QTime(15, 59, 59), Qt::UTC);
    QTest::newRow("milliseconds kept") << QByteArray("Asia/Shanghai")
                                       << QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59, 500))
                                       << QDateTime(QDate(2023, 12, 31), QTime(15, 59, 59, 500), Qt::UTC);
    QTest::newRow("New York winter") << QByteArray("America/New_York") << QDateTime(QDate(2024, 1, 15), last)
                                     << QDateTime(QDate(2024, 1, 16), QTime(4, 59, 59), Qt::UTC);
    QTest::newRow("New York summer") << QByteArray("America/New_York") << QDateTime(QDate(2024, 7, 4), last)
                                     << QDateTime(QDate(2024, 7, 5), QTime(3, 59, 59), Qt::UTC);
    QTest::newRow("before 1970") << QByteArray("Asia/Shanghai") << QDateTime(QDate(1969, 12, 31), last)
                                 << QDateTime(QDate(1969, 12, 31), QTime(15, 59, 59), Qt::UTC);
}

// A time chosen as local wall-clock time reaches the disk as the UTC instant it names in the zone of the
// machine, and reads back as the same wall-clock time.
void TestFileTimes::localWallClockToUtc()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, chosen);
    QFETCH(QDateTime, utc);
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/") + QString::fromLatin1(zone)))
        QSKIP("the time zone database is not installed");
    const ZoneGuard guard(zone);
    const FileInstant expected{utc.toSecsSinceEpoch(), utc.time().msec() * 1000000};

    const std::optional<FileInstant> converted = toUtcFileTime(chosen);
    QVERIFY(converted.has_value());
    QCOMPARE(*converted, expected);

    const QString path = makeFile(m_dir.filePath(QStringLiteral("zone.txt")));
    QCOMPARE(setFileTimes(path, QDateTime(), QDateTime(), chosen), int(FileTimesSet));
    QCOMPARE(diskTimes(path).write, expected);
    const QDateTime shown = readFileTimes(path).modificationTime();
    QCOMPARE(shown.date(), chosen.date());
    QCOMPARE(shown.time(), chosen.time());
}

void TestFileTimes::identityFromTheSameLook_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << "file";
    QTest::newRow("folder") << "folder";
    QTest::newRow("dangling link") << "dangling link";
    QTest::newRow("missing") << "missing";
}

// The identity read with the times is the one itemIdentity tells, so that undo can compare the two.
void TestFileTimes::identityFromTheSameLook()
{
    QFETCH(QString, kind);
    const QString path = m_dir.filePath(QStringLiteral("身份 %1").arg(kind));
    if (kind == QLatin1String("file"))
        makeFile(path);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("dangling link"))
        QVERIFY(QFile::exists(path) || ::symlink("nowhere", QFile::encodeName(path).constData()) == 0);
    QByteArray identity = "stale";
    const FileTimes times = readFileTimes(path, &identity);
    QCOMPARE(identity, itemIdentity(path));
    QCOMPARE(identity.isEmpty(), kind == QLatin1String("missing"));
    QCOMPARE(times.exists, kind != QLatin1String("missing"));
}

void TestFileTimes::writesFromTimesReadBefore_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<bool>("held");
    QTest::newRow("within every file system's range") << qint64(1500000000) << true;
    QTest::newRow("clamped by the file system") << qint64(-20000000000) << false;
}

// The times given as read before are not read again: a time the file system clamped puts back exactly those,
// and the times after come from the one read that checks what was kept.
void TestFileTimes::writesFromTimesReadBefore()
{
    QFETCH(qint64, seconds);
    QFETCH(bool, held);
    const QString path = makeFile(m_dir.filePath(QStringLiteral("read-before.txt")));
    setDiskTimes(path, KnownAccess, KnownWrite);
    FileTimes before = readFileTimes(path);
    const FileInstant write{seconds, 0};
    FileTimes after;
    FileTimesFailure failure = FileTimesFailure::Refused;
    const int code = setReadFileInstants(path, before, std::nullopt, std::nullopt, write, &failure, &after);
    if (held) {
        QCOMPARE(code, int(FileTimesSet));
        QCOMPARE(failure, FileTimesFailure::None);
        QVERIFY(after.readable);
        QCOMPARE(after.lastWrite, write);
        QCOMPARE(diskTimes(path).write, write);
        return;
    }
    // ext4 with large inodes holds times far back; the kernel clamps where the file system cannot.
    if (code == FileTimesSet)
        QSKIP("this file system holds the time asked for");
    QCOMPARE(failure, FileTimesFailure::OutOfRange);
    QCOMPARE(diskTimes(path).write, KnownWrite);
}

QTEST_GUILESS_MAIN(TestFileTimes)

#include "tst_filetimes.moc"
