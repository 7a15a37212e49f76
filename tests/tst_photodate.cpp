// The date a photo was taken: read from images made in the test, from damaged and foreign files, and from
// a 4 GB file whose header alone may be read; then the time job writing it and skipping what has none.
#include "testutil_disktimes.h"
#include "testutil_photos.h"

#include "jobs/jobfailurereporter.h"
#include "metadata/photodatecache.h"
#include "timeprop/timejob.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

using PhotoTest::Tags;

Q_DECLARE_METATYPE(Tags)

namespace {

QString text(const WallClockTime &date)
{
    if (!date.isValid())
        return QString();
    const QString offset =
        date.utcOffset ? QStringLiteral("UTC%1").arg(*date.utcOffset / 60, 0, 10) : QStringLiteral("local");
    return QDateTime(date.date, date.time, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")) + offset;
}

long peakKilobytes()
{
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestPhotoDate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void readsDateTaken_data();
    void readsDateTaken();
    void exifText_data();
    void exifText();
    void filesWithoutDate_data();
    void filesWithoutDate();
    void hugeFileReadsHeaderOnly_data();
    void hugeFileReadsHeaderOnly();
    void damagedPhotosNeverCrash();
    void cacheFollowsModificationTime();
    void runWritesDateTakenAndSkipsTheRest();

private:
    QString path(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name; }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPhotoDate::initTestCase()
{
    qputenv("TZ", "CST-8");
    tzset();
}

void TestPhotoDate::readsDateTaken_data()
{
    QTest::addColumn<Tags>("tags");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("original") << Tags{"2024:01:31 23:59:59", "", ""} << QByteArray("JPEG")
                              << "2024-01-31 23:59:59 local";
    QTest::newRow("with its offset") << Tags{"2024:01:31 23:59:59", "+09:00", ""} << QByteArray("JPEG")
                                     << "2024-01-31 23:59:59 UTC540";
    QTest::newRow("digitized when no original")
        << Tags{"", "", "2020:02:29 12:00:00"} << QByteArray("JPEG") << "2020-02-29 12:00:00 local";
    QTest::newRow("original before digitized") << Tags{"2019:05:01 10:00:00", "", "2020:01:01 00:00:00"}
                                               << QByteArray("JPEG") << "2019-05-01 10:00:00 local";
    QTest::newRow("png") << Tags{"2018:08:08 08:08:08", "", ""} << QByteArray("PNG") << "2018-08-08 08:08:08 local";
    QTest::newRow("zero date") << Tags{"0000:00:00 00:00:00", "", ""} << QByteArray("JPEG") << "";
    QTest::newRow("letters") << Tags{"2024:0A:31 10:00:00", "", ""} << QByteArray("JPEG") << "";
    QTest::newRow("no exif") << Tags{} << QByteArray("JPEG") << "";
}

void TestPhotoDate::readsDateTaken()
{
    QFETCH(Tags, tags);
    QFETCH(QByteArray, format);
    QFETCH(QString, expected);
    const QString file = path(QStringLiteral("photo.") + QString::fromLatin1(format).toLower());
    QVERIFY(PhotoTest::makePhoto(file, tags, format.constData()));
    const PhotoDate date = readPhotoDate(file);
    QCOMPARE(text(date.taken), expected);
    QCOMPARE(date.status, expected.isEmpty() ? PhotoDate::NoDate : PhotoDate::Found);
}

void TestPhotoDate::exifText_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "2024:01:31 23:59:59"
                           << ""
                           << "2024-01-31 23:59:59 local";
    QTest::newRow("trailing nul") << QStringLiteral("2024:01:31 23:59:59") + QChar(0) << ""
                                  << "2024-01-31 23:59:59 local";
    QTest::newRow("west") << "2024:01:31 23:59:59"
                          << "-05:30"
                          << "2024-01-31 23:59:59 UTC-330";
    QTest::newRow("offset with letters") << "2024:01:31 23:59:59"
                                         << "+0A:00"
                                         << "2024-01-31 23:59:59 local";
    QTest::newRow("zero") << "0000:00:00 00:00:00"
                          << ""
                          << "";
    QTest::newRow("blank") << "    :  :     :  :  "
                           << ""
                           << "";
    QTest::newRow("hour 24") << "2024:01:31 24:00:00"
                             << ""
                             << "";
    QTest::newRow("dashes") << "2024-01-31 23:59:59"
                            << ""
                            << "";
}

void TestPhotoDate::exifText()
{
    QFETCH(QString, date);
    QFETCH(QString, offset);
    QFETCH(QString, expected);
    QCOMPARE(text(parseExifDateTime(date, offset)), expected);
}

void TestPhotoDate::filesWithoutDate_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::newRow("text") << "text" << int(PhotoDate::NotImage);
    QTest::newRow("empty") << "empty" << int(PhotoDate::NotImage);
    QTest::newRow("truncated jpeg") << "truncated" << int(PhotoDate::Damaged);
    QTest::newRow("folder") << "folder" << int(PhotoDate::NotImage);
    QTest::newRow("pipe") << "pipe" << int(PhotoDate::NotImage);
    QTest::newRow("missing") << "missing" << int(PhotoDate::Unreadable);
}

void TestPhotoDate::filesWithoutDate()
{
    QFETCH(QString, kind);
    QFETCH(int, status);
    const QString file = path(kind);
    if (kind == QLatin1String("text") || kind == QLatin1String("empty")) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(kind == QLatin1String("text") ? QByteArray(5000, 'x') : QByteArray());
    } else if (kind == QLatin1String("truncated")) {
        QVERIFY(PhotoTest::makePhoto(file, {"2024:01:31 23:59:59", "", ""}));
        QVERIFY(QFile::resize(file, 60));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(file));
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    }
    QCOMPARE(int(readPhotoDate(file).status), status);
}

void TestPhotoDate::hugeFileReadsHeaderOnly_data()
{
    QTest::addColumn<bool>("photo");
    QTest::newRow("photo header") << true;
    QTest::newRow("no image") << false;
}

// A sparse file: reading all of it would take seconds and, slurped, 4 GB of memory.
void TestPhotoDate::hugeFileReadsHeaderOnly()
{
    QFETCH(bool, photo);
    const QString file = path(QStringLiteral("huge.jpg"));
    if (photo)
        QVERIFY(PhotoTest::makePhoto(file, {"2024:01:31 23:59:59", "", ""}));
    else
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    if (!QFile::resize(file, qint64(4) << 30))
        QSKIP("no sparse 4 GB file here");
    const long before = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    const PhotoDate date = readPhotoDate(file);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(peakKilobytes() - before < 64 * 1024);
    QCOMPARE(date.status, photo ? PhotoDate::Found : PhotoDate::NotImage);
}

// Fuzz seeds: a tagged photo with bytes overwritten and cut short, read with no crash and no hang.
void TestPhotoDate::damagedPhotosNeverCrash()
{
    const QString original = path(QStringLiteral("seed.jpg"));
    QVERIFY(PhotoTest::makePhoto(original, {"2024:01:31 23:59:59", "+08:00", ""}));
    QFile in(original);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    QRandomGenerator random(22);
    const QString damaged = path(QStringLiteral("damaged.jpg"));
    for (int round = 0; round < 300; ++round) {
        QByteArray variant = bytes.left(round % 3 == 0 ? random.bounded(bytes.size()) : bytes.size());
        for (int i = 0; i < 4 && !variant.isEmpty(); ++i)
            variant[random.bounded(variant.size())] = char(random.bounded(256));
        QFile out(damaged);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(variant);
        out.close();
        const PhotoDate date = readPhotoDate(damaged);
        QVERIFY(date.found() == date.taken.isValid());
    }
}

void TestPhotoDate::cacheFollowsModificationTime()
{
    const QString file = path(QStringLiteral("a.jpg"));
    QVERIFY(PhotoTest::makePhoto(file, {"2024:01:31 23:59:59", "", ""}));
    const FileInstant written = readFileTimes(file).lastWrite;
    PhotoDateCache cache;
    QVERIFY(!cache.find(file, written));
    QVERIFY(cache.fill({file}, std::atomic_bool(false)));
    QVERIFY(cache.find(file, written)->found());
    // Retagged and so rewritten: the old date is no longer the item's.
    QVERIFY(PhotoTest::makePhoto(file, {"2001:01:01 00:00:00", "", ""}));
    setDiskTimes(file, written, {written.seconds + 10, 0});
    QVERIFY(!cache.find(file, {written.seconds + 10, 0}));
    QCOMPARE(text(cache.get(file, {written.seconds + 10, 0}).taken), QStringLiteral("2001-01-01 00:00:00 local"));
}

void TestPhotoDate::runWritesDateTakenAndSkipsTheRest()
{
    const QStringList files = {path("tagged.jpg"), path("untagged.jpg"), path("notes.txt")};
    QVERIFY(PhotoTest::makePhoto(files[0], {"2023:07:14 09:30:00", "+02:00", ""}));
    QVERIFY(PhotoTest::makePhoto(files[1]));
    QFile(files[2]).open(QIODevice::WriteOnly);
    const FileInstant own{1104537600, 500};
    FileTimeEntryList entries;
    for (const QString &file : files) {
        setDiskTimes(file, own, own);
        entries.append(makeFileTimeEntry(file));
    }
    TimeSettings settings;
    settings.setModification = true;
    settings.source = TimeSource::PhotoTaken;
    PhotoDateCache photos;
    // The preview reads nothing itself: it waits for the cache.
    QVERIFY(!applyTimeSettings(entries, settings, &photos));
    QCOMPARE(entries[0].timeNote, QStringLiteral("正在读取拍摄时间…"));
    QVERIFY(photos.fill(files, std::atomic_bool(false)));
    QVERIFY(applyTimeSettings(entries, settings, &photos));
    QCOMPARE(entries[1].timeNote, QStringLiteral("无拍摄时间"));
    QCOMPARE(entries[2].timeNote, QStringLiteral("无拍摄时间（不是图片）"));

    TimeHistory history;
    JobFailureReporter reporter;
    const TimeJobResult result = TimeJob::run(entries, settings, history, {}, reporter, &photos);
    QCOMPARE(result.done, 1);
    QCOMPARE(result.skipped, 2);
    QCOMPARE(entries[1].status, int(StatusSkipped));
    QCOMPARE(diskTimes(files[0]).write,
             (FileInstant{QDateTime(QDate(2023, 7, 14), QTime(7, 30), Qt::UTC).toSecsSinceEpoch(), 0}));
    QCOMPARE(diskTimes(files[1]).write, own);
    QCOMPARE(diskTimes(files[2]).write, own);
    QCOMPARE(TimeJob::undo(entries, history, {}, reporter).done, 1);
    QCOMPARE(diskTimes(files[0]).write, own);
}

QTEST_MAIN(TestPhotoDate)
#include "tst_photodate.moc"
