// Installs the build twice, with cmake --install into a staging root and as the Debian package unpacked into
// a temporary root, and checks each installation: its layout, the desktop entry and AppStream metainfo
// (with the freedesktop validators), its data found from the executable, and the program started from
// another working folder with a fresh home.
#include "log/logcipher.h"
#include "fileops/datapaths.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#ifndef QUORLIN_INSTALL_RULES
#define QUORLIN_INSTALL_RULES 0
#define QUORLIN_BINARY_DIR ""
#define QUORLIN_CMAKE "cmake"
#define QUORLIN_CPACK "cpack"
#define QUORLIN_APP_ID ""
#endif

namespace {

const QString appId = QStringLiteral(QUORLIN_APP_ID);
const QStringList openccFiles = {"s2t.json", "t2s.json", "STPhrases.ocd2", "STCharacters.ocd2", "TSPhrases.ocd2",
                                 "TSCharacters.ocd2"};

struct Run
{
    bool finished = false;
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run result;
    result.finished = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QString describe(const QString &program, const Run &result)
{
    return QStringLiteral("%1 exited with %2:\n%3").arg(program).arg(result.exitCode).arg(result.output);
}

QSize pngSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return {};
    return QSize(int(qFromBigEndian<quint32>(head.constData() + 16)), int(qFromBigEndian<quint32>(head.constData() + 20)));
}

QStringList decodedLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        if (!raw.isEmpty())
            lines << decryptLogText(QString::fromLatin1(raw));
    }
    return lines;
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The groups of a desktop-entry style key file (a desktop entry, a service menu, a Nemo action), by name.
QMap<QString, QMap<QString, QString>> keyFileGroups(const QString &path)
{
    QMap<QString, QMap<QString, QString>> groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return groups;
    QString group;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && !line.startsWith(QLatin1Char('#')))
            groups[group].insert(line.left(equals), line.mid(equals + 1));
    }
    return groups;
}

// The actions a file manager offers on a selection: their names and command lines.
using Actions = QMap<QString, QString>;

Actions desktopActions(const QMap<QString, QMap<QString, QString>> &groups)
{
    Actions actions;
    for (const QString &id : groups.value("Desktop Entry").value("Actions").split(';', Qt::SkipEmptyParts)) {
        const QMap<QString, QString> action = groups.value("Desktop Action " + id);
        actions.insert(action.value("Name"), action.value("Exec"));
    }
    return actions;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void desktopEntry_data();
    void desktopEntry();
    void fileManagerActions_data();
    void fileManagerActions();
    void metainfo_data();
    void metainfo();
    void packageDependencies();
    void dataFoundBesideTheProgram_data();
    void dataFoundBesideTheProgram();
    void startsFromAnotherFolder_data();
    void startsFromAnotherFolder();

private:
    void addInstallations();

    QTemporaryDir m_work;
    QString m_installed; // <root>/usr of cmake --install with DESTDIR
    QString m_unpacked;  // <root>/usr of the unpacked package
    QString m_package;
};

void TestInstall::initTestCase()
{
    if (!QUORLIN_INSTALL_RULES)
        QSKIP("built without install rules (a sub-project)");
    QVERIFY(m_work.isValid());
    const QString build = QStringLiteral(QUORLIN_BINARY_DIR);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_work.filePath(QStringLiteral("installed")));
    const Run install = run(QStringLiteral(QUORLIN_CMAKE), {"--install", build, "--prefix", "/usr"}, environment);
    QVERIFY2(install.finished && install.exitCode == 0, qPrintable(describe("cmake --install", install)));
    m_installed = m_work.filePath(QStringLiteral("installed/usr"));

    const QString packages = m_work.filePath(QStringLiteral("package"));
    const Run cpack = run(QStringLiteral(QUORLIN_CPACK),
                          {"-G", "DEB", "-B", packages, "--config", build + QStringLiteral("/CPackConfig.cmake")});
    QVERIFY2(cpack.finished && cpack.exitCode == 0, qPrintable(describe("cpack", cpack)));
    const QStringList debs = QDir(packages).entryList({QStringLiteral("quorlin_*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_package = QDir(packages).filePath(debs.first());
    const Run unpack = run(QStringLiteral("dpkg-deb"), {"-x", m_package, m_work.filePath(QStringLiteral("unpacked"))});
    QVERIFY2(unpack.finished && unpack.exitCode == 0, qPrintable(describe("dpkg-deb -x", unpack)));
    m_unpacked = m_work.filePath(QStringLiteral("unpacked/usr"));
}

void TestInstall::addInstallations()
{
    QTest::addColumn<QString>("usr");
    QTest::newRow("cmake --install") << m_installed;
    QTest::newRow("Debian package") << m_unpacked;
}

void TestInstall::layout_data()
{
    addInstallations();
}

void TestInstall::layout()
{
    QFETCH(QString, usr);
    QStringList expected = {"bin/quorlin",
                            "bin/quorlin-logdecode",
                            "share/applications/" + appId + ".desktop",
                            "share/kio/servicemenus/quorlin.desktop",
                            "share/nemo/actions/quorlin-rename.nemo_action",
                            "share/nemo/actions/quorlin-time.nemo_action",
                            "share/nemo/actions/quorlin-collect.nemo_action",
                            "share/metainfo/" + appId + ".metainfo.xml",
                            "share/icons/hicolor/scalable/apps/" + appId + ".svg",
                            "share/quorlin/help/index.html"};
    for (const QString &file : openccFiles)
        expected << "share/quorlin/" + file;
    const QString staged = QStringLiteral(QUORLIN_BINARY_DIR "/bin/template");
    for (const QString &file : QDir(staged).entryList(QDir::Files))
        expected << "share/quorlin/template/" + file;
    for (int size : {48, 128, 256}) {
        const QString png = QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(appId);
        expected << png;
        QCOMPARE(pngSize(usr + '/' + png), QSize(size, size));
    }
    expected.sort();
    QCOMPARE(filesUnder(usr), expected);
    QVERIFY(QFileInfo(usr + QStringLiteral("/bin/quorlin")).isExecutable());
    QVERIFY(QFileInfo(usr + QStringLiteral("/bin/quorlin-logdecode")).isExecutable());
}

void TestInstall::desktopEntry_data()
{
    addInstallations();
}

void TestInstall::desktopEntry()
{
    QFETCH(QString, usr);
    const QString path = usr + "/share/applications/" + appId + ".desktop";
    const Run validation = run(QStringLiteral("desktop-file-validate"), {path});
    QVERIFY2(validation.finished, "desktop-file-validate (Debian package desktop-file-utils) did not run");
    QVERIFY2(validation.exitCode == 0 && validation.output.trimmed().isEmpty(),
             qPrintable(describe("desktop-file-validate", validation)));

    const QMap<QString, QString> keys = keyFileGroups(path).value("Desktop Entry");
    QCOMPARE(keys.value("Name"), QStringLiteral("Korvel批量改名软件"));
    QVERIFY(!keys.value("Comment").isEmpty());
    QCOMPARE(keys.value("Categories").split(';', Qt::SkipEmptyParts), (QStringList{"Utility", "FileTools"}));
    // The menu starts what is installed, with the icon that is installed, and hands it the files.
    QCOMPARE(keys.value("Exec"), QStringLiteral("quorlin %F"));
    QVERIFY(QFileInfo(usr + "/bin/" + keys.value("TryExec")).isExecutable());
    QCOMPARE(keys.value("Icon"), appId);
}

void TestInstall::fileManagerActions_data()
{
    QTest::addColumn<QString>("usr");
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"menu entry", "Dolphin", "Nemo"}) {
        QTest::addRow("cmake --install, %s", kind) << m_installed << kind;
        QTest::addRow("Debian package, %s", kind) << m_unpacked << kind;
    }
}

// Each desktop offers the same three actions on a selection, each starting the installed program on its
// page with the selected paths; the installed program takes each command line.
void TestInstall::fileManagerActions()
{
    QFETCH(QString, usr);
    QFETCH(QString, kind);
    Actions actions;
    if (kind == "menu entry") {
        actions = desktopActions(keyFileGroups(usr + "/share/applications/" + appId + ".desktop"));
    } else if (kind == "Dolphin") {
        // desktop-file-validate refuses Type=Service, so the service menu is checked against KDE's format here.
        const auto groups = keyFileGroups(usr + "/share/kio/servicemenus/quorlin.desktop");
        const QMap<QString, QString> entry = groups.value("Desktop Entry");
        QCOMPARE(entry.value("Type"), QStringLiteral("Service"));
        QCOMPARE(entry.value("MimeType"), QStringLiteral("all/all;"));
        QCOMPARE(entry.value("X-KDE-ServiceTypes"), QStringLiteral("KonqPopupMenu/Plugin"));
        actions = desktopActions(groups);
    } else {
        const QString folder = usr + "/share/nemo/actions/";
        for (const QString &name : QDir(folder).entryList({"*.nemo_action"}, QDir::Files)) {
            const QMap<QString, QString> action = keyFileGroups(folder + name).value("Nemo Action");
            QCOMPARE(action.value("Selection"), QStringLiteral("notnone"));
            QCOMPARE(action.value("Extensions"), QStringLiteral("any;"));
            actions.insert(action.value("Name"), action.value("Exec"));
        }
    }
    const QMap<QString, QString> pages = {
        {"批量重命名文件", "rename"}, {"批量修改时间", "time"}, {"提取文件名", "collect"}};
    QCOMPARE(actions.keys(), pages.keys());
    for (auto action = actions.cbegin(); action != actions.cend(); ++action) {
        QStringList words = QProcess::splitCommand(action.value());
        QCOMPARE(words, (QStringList{"quorlin", "--page", pages.value(action.key()), "%F"}));
        // The page exists: the installed program takes the command line (without the files) and says so.
        words = words.mid(1, 2);
        words << QStringLiteral("--version");
        const Run taken = run(usr + "/bin/quorlin", words);
        QVERIFY2(taken.finished && taken.exitCode == 0, qPrintable(describe(action.value(), taken)));
    }
}

void TestInstall::metainfo_data()
{
    addInstallations();
}

void TestInstall::metainfo()
{
    QFETCH(QString, usr);
    const QString path = usr + "/share/metainfo/" + appId + ".metainfo.xml";
    const Run validation = run(QStringLiteral("appstreamcli"), {"validate", "--no-net", path});
    QVERIFY2(validation.finished, "appstreamcli (Debian package appstream) did not run");
    QVERIFY2(validation.exitCode == 0, qPrintable(describe("appstreamcli validate", validation)));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(file.readAll());
    QVERIFY(xml.contains("<id>" + appId + "</id>"));
    QVERIFY(xml.contains("<launchable type=\"desktop-id\">" + appId + ".desktop</launchable>"));
    QVERIFY(xml.contains(QStringLiteral("<binary>quorlin</binary>")));
}

void TestInstall::packageDependencies()
{
    const QString name = QFileInfo(m_package).fileName();
    QVERIFY2(QRegularExpression(QStringLiteral("^quorlin_[0-9][^_]*_[a-z0-9]+\\.deb$")).match(name).hasMatch(),
             qPrintable(name));
    const Run fields = run(QStringLiteral("dpkg-deb"), {"-f", m_package, "Package", "Depends"});
    QVERIFY2(fields.finished && fields.exitCode == 0, qPrintable(describe("dpkg-deb -f", fields)));
    QVERIFY2(fields.output.contains(QStringLiteral("Package: quorlin\n")), qPrintable(fields.output));
    // Computed from the binaries, plus the SVG plugins Qt loads at run time.
    for (const char *dependency :
         {"libqt5widgets5", "libqt5core5a", "libopencc1.1", "libzip4", "libqt5svg5", "qttranslations5-l10n"})
        QVERIFY2(fields.output.contains(QLatin1String(dependency)), qPrintable(dependency + (": " + fields.output)));
}

void TestInstall::dataFoundBesideTheProgram_data()
{
    addInstallations();
}

void TestInstall::dataFoundBesideTheProgram()
{
    QFETCH(QString, usr);
    const QStringList folders = DataPaths::searchFolders(usr + QStringLiteral("/bin"));
    QStringList wanted = openccFiles;
    wanted << QStringLiteral("help/index.html");
    for (const QString &file : QDir(QStringLiteral(QUORLIN_BINARY_DIR "/bin/template")).entryList(QDir::Files))
        wanted << "template/" + file;
    for (const QString &file : wanted)
        QCOMPARE(DataPaths::find(file, folders), usr + "/share/quorlin/" + file);
    QVERIFY(!DataPaths::holdsData(usr + QStringLiteral("/bin")));
}

void TestInstall::startsFromAnotherFolder_data()
{
    addInstallations();
}

// Started from a folder of its own with a fresh home, as a menu entry starts it: script conversion loads
// from the installed data, and the log goes to the per-user data folder, not the working folder or bin/.
void TestInstall::startsFromAnotherFolder()
{
    QFETCH(QString, usr);
    QTemporaryDir home;
    QTemporaryDir working;
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_DIRS"})
        environment.remove(QLatin1String(variable));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(working.path());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(usr + QStringLiteral("/bin/quorlin"), QStringList());
    QVERIFY(program.waitForStarted());

    const QString logs = home.filePath(QStringLiteral(".local/share/Korvel/Quorlin/log"));
    const QString loaded = QStringLiteral("Info: OpenCC %1 loaded from ") + usr + QStringLiteral("/share/quorlin");
    auto logLines = [&logs] {
        const QStringList files = QDir(logs).entryList({QStringLiteral("*-log.txt")}, QDir::Files);
        return files.size() == 1 ? decodedLines(QDir(logs).filePath(files.first())) : QStringList();
    };
    QTRY_VERIFY_WITH_TIMEOUT(logLines().contains(loaded.arg("s2t.json")) && logLines().contains(loaded.arg("t2s.json")),
                             60000);
    const bool running = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished();
    QVERIFY2(running, "the program ended on its own");

    const QStringList lines = logLines();
    for (const QString &line : lines) {
        QVERIFY2(!line.contains(QLatin1String("not found")) && !line.contains(QLatin1String("unavailable")),
                 qPrintable(line));
    }
    QVERIFY(filesUnder(working.path()).isEmpty());
    QVERIFY(!QFileInfo::exists(usr + QStringLiteral("/bin/log")));

    // The installed decoder reads the log back.
    const QString logFile = QDir(logs).filePath(QDir(logs).entryList(QDir::Files).value(0));
    const Run decoded = run(usr + QStringLiteral("/bin/quorlin-logdecode"), {logFile});
    QVERIFY2(decoded.finished && decoded.exitCode == 0, qPrintable(describe("quorlin-logdecode", decoded)));
    QVERIFY(decoded.output.contains(loaded.arg("s2t.json") + '\n'));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
