#include "filelist/filecollector.h"
#include "filelist/namesafety.h"

#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The valid UTF-8 name that reads exactly as the text Qt gives "a\xff.txt".
const QByteArray kRaw("a\xff.txt");
const QByteArray kLookAlike("a\xef\xbf\xbd.txt");
const QString kText = QStringLiteral("a\uFFFD.txt");

#ifndef Q_OS_WIN
// QTemporaryDir removes by text, which cannot reach these names: remove by bytes.
void removeByBytes(const QByteArray &path)
{
    if (DIR *dir = ::opendir(path.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                removeByBytes(path + '/' + name);
        }
        ::closedir(dir);
        ::rmdir(path.constData());
        return;
    }
    ::unlink(path.constData());
}
#endif

} // namespace

class TestNameSafety : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void bytesRoundTrip_data();
    void bytesRoundTrip();
    void droppedUrl_data();
    void droppedUrl();
    void pathKnownAsText_data();
    void pathKnownAsText();
    void walkSkipsAndCounts_data();
    void walkSkipsAndCounts();
    void walkOfAFolderThatDoesNotRoundTrip();

private:
    QByteArray bytesOf(const QByteArray &relative) const { return QFile::encodeName(m_dir->path()) + '/' + relative; }
    QString path(const QString &relative) const { return m_dir->path() + QLatin1Char('/') + relative; }
    void makeRawFile(const QByteArray &relative, const QByteArray &content);
    void makeRawFolder(const QByteArray &relative);
    QByteArray contentOf(const QString &path) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestNameSafety::init()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names are text: every name survives");
#endif
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestNameSafety::cleanup()
{
#ifndef Q_OS_WIN
    if (m_dir)
        removeByBytes(QFile::encodeName(m_dir->path()));
#endif
    m_dir.reset();
}

void TestNameSafety::makeRawFile(const QByteArray &relative, const QByteArray &content)
{
    const int fd = ::open(bytesOf(relative).constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
}

void TestNameSafety::makeRawFolder(const QByteArray &relative)
{
    QCOMPARE(::mkdir(bytesOf(relative).constData(), 0755), 0);
}

QByteArray TestNameSafety::contentOf(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestNameSafety::bytesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("survives");
    QTest::newRow("ascii") << QByteArray("a.txt") << true;
    QTest::newRow("chinese") << QByteArray("旅行.txt") << true;
    QTest::newRow("valid replacement character") << kLookAlike << true;
    QTest::newRow("stray byte") << kRaw << false;
    QTest::newRow("latin-1 name") << QByteArray("caf\xe9") << false;
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false;
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80.txt") << false;
    QTest::newRow("cut sequence") << QByteArray("\xe6\x97") << false;
}

void TestNameSafety::bytesRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, survives);
    QCOMPARE(nameBytesRoundTrip(bytes), survives);
}

void TestNameSafety::droppedUrl_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("survives");
    QTest::newRow("plain") << QByteArray("file:///tmp/a.txt") << true;
    QTest::newRow("chinese, encoded") << QByteArray("file:///tmp/%E6%97%85%E8%A1%8C.txt") << true;
    QTest::newRow("stray byte") << QByteArray("file:///tmp/a%FF.txt") << false;
    QTest::newRow("look-alike itself") << QByteArray("file:///tmp/a%EF%BF%BD.txt") << true;
    QTest::newRow("stray byte in a folder") << QByteArray("file:///tmp/d%FF/a.txt") << false;
    QTest::newRow("not a local file") << QByteArray("https://example.org/a%FF.txt") << true;
}

void TestNameSafety::droppedUrl()
{
    QFETCH(QByteArray, url);
    QFETCH(bool, survives);
    QCOMPARE(urlRoundTrips(QUrl::fromEncoded(url)), survives);
}

void TestNameSafety::pathKnownAsText_data()
{
    QTest::addColumn<bool>("raw");
    QTest::addColumn<bool>("lookAlike");
    QTest::addColumn<bool>("survives");
    QTest::newRow("raw beside its look-alike") << true << true << false;
    QTest::newRow("raw alone") << true << false << false;
    QTest::newRow("look-alike alone") << false << true << true;
    QTest::newRow("neither") << false << false << true;
}

void TestNameSafety::pathKnownAsText()
{
    QFETCH(bool, raw);
    QFETCH(bool, lookAlike);
    QFETCH(bool, survives);
    if (raw)
        makeRawFile(kRaw, "raw");
    if (lookAlike)
        makeRawFile(kLookAlike, "look-alike");
    makeRawFile("b.txt", "b");

    QCOMPARE(pathRoundTrips(path(kText)), survives);
    QVERIFY(pathRoundTrips(path("b.txt")));
    QVERIFY(pathRoundTrips(path("missing.txt")));

    // The same name one folder further down, and as a folder on the way to a valid name.
    makeRawFolder("sub");
    if (raw) {
        makeRawFile("sub/" + kRaw, "raw");
        makeRawFolder("d\xff");
        makeRawFile("d\xff/x.txt", "x");
    }
    if (lookAlike)
        makeRawFile("sub/" + kLookAlike, "look-alike");
    QCOMPARE(pathRoundTrips(path("sub/" + kText)), survives);
    QCOMPARE(pathRoundTrips(path(QStringLiteral("d\uFFFD/x.txt"))), !raw);
    // A relative path is taken from the current folder.
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QCOMPARE(pathRoundTrips(kText), survives);
    QVERIFY(QDir::setCurrent(current));
}

void TestNameSafety::walkSkipsAndCounts_data()
{
    QTest::addColumn<bool>("lookAlike");
    QTest::newRow("with look-alikes") << true;
    QTest::newRow("without look-alikes") << false;
}

// A tree with names that are not UTF-8 (a file, a folder with a file in it, a file one level down, a hidden
// one) among valid ones: only valid names are listed, each item under the text that names it.
void TestNameSafety::walkSkipsAndCounts()
{
    QFETCH(bool, lookAlike);
    makeRawFolder("t");
    makeRawFile("t/" + kRaw, "raw");
    makeRawFile("t/b.txt", "b");
    makeRawFolder("t/d\xff");
    makeRawFile("t/d\xff/inside.txt", "inside");
    makeRawFile("t/.hidden\xff", "hidden");
    makeRawFolder("t/sub");
    makeRawFile("t/sub/e\xfe.txt", "raw too");
    makeRawFile("t/sub/f.txt", "f");
    if (lookAlike) {
        makeRawFile("t/" + kLookAlike, "look-alike");
        makeRawFolder("t/d\xef\xbf\xbd");
        makeRawFile("t/d\xef\xbf\xbd/other.txt", "other");
    }
    QStringList expected{path("t/b.txt"), path("t/sub/f.txt")};
    if (lookAlike)
        expected = QStringList{path("t/" + kText), path("t/b.txt"), path(QStringLiteral("t/d\uFFFD/other.txt")),
                               path("t/sub/f.txt")};

    int skipped = 5; // added to, not set
    const QStringList files = collectFilesRecursively(path("t"), -1, &skipped);

    QCOMPARE(files, expected);
    QCOMPARE(skipped, 5 + 3);
    if (lookAlike)
        QCOMPARE(contentOf(files.first()), QByteArray("look-alike"));
    // The two-argument form lists the same.
    QCOMPARE(collectFilesRecursively(path("t")), expected);
    // The skipped entries do not count towards the limit.
    QCOMPARE(collectFilesRecursively(path("t"), 1), expected.mid(0, 1));
}

void TestNameSafety::walkOfAFolderThatDoesNotRoundTrip()
{
    makeRawFolder("d\xff");
    makeRawFile("d\xff/x.txt", "x");
    makeRawFolder("d\xef\xbf\xbd");
    makeRawFile("d\xef\xbf\xbd/look-alike.txt", "look-alike");

    int skipped = 0;
    const QStringList files = collectFilesRecursively(path(QStringLiteral("d\uFFFD")), -1, &skipped);

    // The text may stand for either folder: neither is walked.
    QVERIFY(files.isEmpty());
    QCOMPARE(skipped, 1);
}

QTEST_GUILESS_MAIN(TestNameSafety)
#include "tst_namesafety.moc"
