#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "jobs/jobfailurereporter.h"
#include "create/creationjob.h"
#include "fileops/createitem.h"
#include "testutil_engine.h"

#include <QDir>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace EngineTest;

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QString statusText(const CreationPlan &plan)
{
    QStringList statuses;
    for (const PlannedItem &item : plan.items)
        statuses.append(QString::number(item.status));
    return statuses.join(' ');
}

QStringList withFolder(QStringList messages, const QString &folder)
{
    for (QString &message : messages)
        message.replace("%dir", folder);
    return messages;
}

} // namespace

class TestCreationJob : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void emptyPlanDoesNothing();
    void createsFolders();
    void createsFileOfEachType_data();
    void createsFileOfEachType();
    void conflicts_data();
    void conflicts();
    void secondStartMakesSecondSet();
    void danglingLinkIsNeverWrittenThrough();
    void unsafeNames_data();
    void unsafeNames();
    void backslashOnlySeparatesOnWindows();
    void longNames_data();
    void longNames();
    void missingOrUnreadableTemplate_data();
    void missingOrUnreadableTemplate();
    void unusableTargetFolder_data();
    void unusableTargetFolder();
    void readOnlyTargetFolder_data();
    void readOnlyTargetFolder();
    void targetFolderRenamedDuringTheJob_data();
    void targetFolderRenamedDuringTheJob();
    void targetHoldsEveryItemAlready_data();
    void targetHoldsEveryItemAlready();
    void rowIsReportedBeforeItsWarning();
    void templatesFromTheDataFolderForFolders();

    void exclusiveCreationNeverTakesOver();
    void failedCopyLeavesNoFile();

private:
    QString makeTemplate(int type, const QByteArray &content);
    CreationPlan planOf(int type, const QStringList &names, bool autoResolve = true) const;
    CreationJobResult run(CreationPlan &plan, const QString &templateFile);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    QString m_out;
    QString m_templates;
    QHash<int, QByteArray> m_templateContent;
    JobFailureReporter m_reporter;
};

void TestCreationJob::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path();
    m_out = m_root + "/out";
    m_templates = m_root + "/templates";
    QVERIFY(QDir().mkpath(m_out));
    QVERIFY(QDir().mkpath(m_templates));
    m_templateContent = {
        {CreateWord, QByteArray("PK\x03\x04 word") + randomBytes(2000)},
        {CreateExcel, QByteArray("PK\x03\x04 excel") + randomBytes(3000)},
        {CreatePpt, QByteArray("PK\x03\x04 slides") + randomBytes(4000)},
        // Larger than one copy buffer.
        {CreatePdf, QByteArray("%PDF-1.4\n") + randomBytes(300 * 1024)},
        {CreateTxt, QByteArray()},
    };
}

QString TestCreationJob::makeTemplate(int type, const QByteArray &content)
{
    const QString path = m_templates + '/' + QFileInfo(creationTemplate(type)).fileName();
    if (!writeFile(path, content))
        return QString();
    return path;
}

CreationPlan TestCreationJob::planOf(int type, const QStringList &names, bool autoResolve) const
{
    CreationPlan plan;
    plan.creationType = type;
    plan.targetFolder = m_out;
    plan.items = plannedItems(names);
    plan.autoResolve = autoResolve;
    return plan;
}

CreationJobResult TestCreationJob::run(CreationPlan &plan, const QString &templateFile)
{
    return runCreationJob(plan, templateFile, {}, RunReporter(m_reporter));
}

void TestCreationJob::emptyPlanDoesNothing()
{
    WarningListener listener;
    CreationPlan plan = planOf(CreateWord, {});
    const CreationJobResult result = run(plan, QString());
    QCOMPARE(result.created + result.failed + result.skipped, 0);
    QVERIFY(listener.messages.isEmpty());
    QVERIFY(onDisk(m_out).isEmpty());
}

void TestCreationJob::createsFolders()
{
    WarningListener listener;
    CreationPlan plan = planOf(CreateFolder, {"报告", "b", "notes.old"});
    QStringList paths;
    const CreationJobResult result = runCreationJob(
        plan, QString(),
        [&paths](int, const PlannedItem &, CreationOutcome, const QString &path) { paths.append(path); },
        RunReporter(m_reporter));
    QCOMPARE(result.created, 3);
    QCOMPARE(statusText(plan), QString("1 1 1"));
    QCOMPARE(onDisk(m_out), QStringList({"b", "notes.old", "报告"}));
    for (const QString &name : onDisk(m_out))
        QVERIFY(QFileInfo(m_out + '/' + name).isDir());
    QCOMPARE(paths, QStringList({m_out + "/报告", m_out + "/b", m_out + "/notes.old"}));
    QVERIFY(listener.messages.isEmpty());
}

void TestCreationJob::createsFileOfEachType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("Word") << int(CreateWord) << "报告.docx";
    QTest::newRow("Excel") << int(CreateExcel) << "报告.xlsx";
    QTest::newRow("PPT") << int(CreatePpt) << "报告.pptx";
    QTest::newRow("PDF") << int(CreatePdf) << "报告.pdf";
    QTest::newRow("TXT, an empty template") << int(CreateTxt) << "报告.txt";
}

void TestCreationJob::createsFileOfEachType()
{
    QFETCH(int, type);
    QFETCH(QString, fileName);
    const QString templateFile = makeTemplate(type, m_templateContent.value(type));
    QVERIFY(!templateFile.isEmpty());
    WarningListener listener;
    CreationPlan plan = planOf(type, {"报告"});
    const CreationJobResult result = run(plan, templateFile);
    QCOMPARE(result.created, 1);
    QCOMPARE(plan.items.at(0).status, 1);
    QCOMPARE(onDisk(m_out), QStringList({fileName}));
    QCOMPARE(contentOf(m_out + '/' + fileName), m_templateContent.value(type));
    QVERIFY(listener.messages.isEmpty());
}

void TestCreationJob::conflicts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("existing"); // a trailing "/" makes a folder
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("autoResolve");
    QTest::addColumn<QString>("statuses");
    QTest::addColumn<QStringList>("created");
    QTest::addColumn<QStringList>("messages");

    const int word = CreateWord;
    const int txt = CreateTxt;
    const int folder = CreateFolder;
    QTest::newRow("Word, a.docx exists, resolved")
        << word << QStringList({"a.docx"}) << QStringList({"a", "b"}) << true << "1 1"
        << QStringList({"a(1).docx", "b.docx"}) << QStringList();
    QTest::newRow("Word, a.docx and a(1).docx exist: the next free one")
        << word << QStringList({"a.docx", "a(1).docx"}) << QStringList({"a", "b"}) << true << "1 1"
        << QStringList({"a(2).docx", "b.docx"}) << QStringList();
    QTest::newRow("Word, a.docx exists, not resolved")
        << word << QStringList({"a.docx"}) << QStringList({"a", "b"}) << false << "2 1" << QStringList({"b.docx"})
        << QStringList({"请确认文件“%dir/a.docx”路径拥有权限"});
    QTest::newRow("Word, a folder named a.docx exists, resolved")
        << word << QStringList({"a.docx/"}) << QStringList({"a"}) << true << "1" << QStringList({"a(1).docx"})
        << QStringList();
    QTest::newRow("folder a exists, not resolved: skipped without a word")
        << folder << QStringList({"a/"}) << QStringList({"a", "b"}) << false << "0 1" << QStringList({"b"})
        << QStringList();
    QTest::newRow("folder a exists, resolved") << folder << QStringList({"a/"}) << QStringList({"a"}) << true << "1"
                                               << QStringList({"a(1)"}) << QStringList();
    QTest::newRow("a file named like the folder, not resolved")
        << folder << QStringList({"a"}) << QStringList({"a"}) << false << "2" << QStringList()
        << QStringList({"创建文件“%dir/a”失败，请确认权限"});
    QTest::newRow("folder with a dot resolves like a file name")
        << folder << QStringList({"notes.old/"}) << QStringList({"notes.old"}) << true << "1"
        << QStringList({"notes(1).old"}) << QStringList();
    QTest::newRow("TXT report.final") << txt << QStringList() << QStringList({"report.final"}) << true << "1"
                                      << QStringList({"report.final.txt"}) << QStringList();
    QTest::newRow("TXT report.final exists") << txt << QStringList({"report.final.txt"})
                                             << QStringList({"report.final"}) << true << "1"
                                             << QStringList({"report.final(1).txt"}) << QStringList();
    QTest::newRow("one name twice in a plan, resolved")
        << txt << QStringList() << QStringList({"a", "a"}) << true << "1 1" << QStringList({"a(1).txt", "a.txt"})
        << QStringList();
    QTest::newRow("one name twice in a plan, not resolved")
        << txt << QStringList() << QStringList({"a", "a"}) << false << "1 2" << QStringList({"a.txt"})
        << QStringList({"请确认文件“%dir/a.txt”路径拥有权限"});
    QTest::newRow("name(1) already taken: resolution skips it")
        << txt << QStringList({"name.txt", "name(1).txt"}) << QStringList({"name"}) << true << "1"
        << QStringList({"name(2).txt"}) << QStringList();
    QTest::newRow("folder name(1) taken by a file")
        << folder << QStringList({"name/", "name(1)"}) << QStringList({"name"}) << true << "1"
        << QStringList({"name(2)"}) << QStringList();
}

void TestCreationJob::conflicts()
{
    QFETCH(int, type);
    QFETCH(QStringList, existing);
    QFETCH(QStringList, names);
    QFETCH(bool, autoResolve);
    QFETCH(QString, statuses);
    QFETCH(QStringList, created);
    QFETCH(QStringList, messages);

    for (const QString &name : existing) {
        if (name.endsWith('/'))
            QVERIFY(QDir(m_out).mkdir(name.chopped(1)));
        else
            QVERIFY(writeFile(m_out + '/' + name, "old " + name.toUtf8()));
    }
    const QString templateFile = makeTemplate(type, "template bytes");
    WarningListener listener;
    CreationPlan plan = planOf(type, names, autoResolve);
    const CreationJobResult result = run(plan, templateFile);

    QCOMPARE(statusText(plan), statuses);
    QCOMPARE(listener.messages, withFolder(messages, m_out));
    QCOMPARE(result.created, created.size());
    QStringList expected = created;
    for (const QString &name : existing)
        expected.append(name.endsWith('/') ? name.chopped(1) : name);
    expected.sort();
    QCOMPARE(onDisk(m_out), expected);
    for (const QString &name : existing) {
        if (!name.endsWith('/'))
            QCOMPARE(contentOf(m_out + '/' + name), "old " + name.toUtf8());
        else
            QVERIFY(onDisk(m_out + '/' + name).isEmpty());
    }
    for (const QString &name : created) {
        if (type == CreateFolder)
            QVERIFY(QFileInfo(m_out + '/' + name).isDir());
        else
            QCOMPARE(contentOf(m_out + '/' + name), QByteArray("template bytes"));
    }
}

void TestCreationJob::secondStartMakesSecondSet()
{
    const QString templateFile = makeTemplate(CreateExcel, m_templateContent.value(CreateExcel));
    CreationPlan plan = planOf(CreateExcel, {"a", "b"});
    QCOMPARE(run(plan, templateFile).created, 2);
    QCOMPARE(run(plan, templateFile).created, 2);
    QCOMPARE(statusText(plan), QString("1 1"));
    QCOMPARE(onDisk(m_out), QStringList({"a(1).xlsx", "a.xlsx", "b(1).xlsx", "b.xlsx"}));

    CreationPlan folders = planOf(CreateFolder, {"a", "b"}, false);
    QCOMPARE(run(folders, QString()).created, 2);
    const CreationJobResult again = run(folders, QString());
    QCOMPARE(again.skipped, 2);
    QCOMPARE(statusText(folders), QString("1 1"));
}

void TestCreationJob::danglingLinkIsNeverWrittenThrough()
{
#ifdef Q_OS_WIN
    QSKIP("symbolic links need privileges on Windows");
#endif
    const QString templateFile = makeTemplate(CreateTxt, "template bytes");
    QVERIFY(QFile::link(m_root + "/elsewhere.txt", m_out + "/a.txt"));
    QVERIFY(QFile::link(m_root + "/elsewhere(1).txt", m_out + "/a(1).txt"));
    WarningListener listener;

    CreationPlan unresolved = planOf(CreateTxt, {"a"}, false);
    run(unresolved, templateFile);
    QCOMPARE(statusText(unresolved), QString("2"));
    QCOMPARE(listener.messages, QStringList({"请确认文件“" + m_out + "/a.txt”路径拥有权限"}));

    CreationPlan resolved = planOf(CreateTxt, {"a"});
    run(resolved, templateFile);
    QCOMPARE(statusText(resolved), QString("1"));
    QCOMPARE(contentOf(m_out + "/a(2).txt"), QByteArray("template bytes"));
    QVERIFY(!QFileInfo::exists(m_root + "/elsewhere.txt"));
    QVERIFY(!QFileInfo::exists(m_root + "/elsewhere(1).txt"));
}

void TestCreationJob::unsafeNames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    const QString nul = QString("x") + QChar(0) + "y";
    const struct
    {
        const char *label;
        QString name;
    } names[] = {{"empty", ""},          {"dot", "."},   {"dot dot", ".."},      {"parent", "../x"},
                 {"into a folder", "a/b"}, {"rooted", "/x"}, {"deep parent", "../../x"}, {"NUL", nul}};
    for (const auto &n : names) {
        QTest::newRow(qPrintable(QString("Word: ") + n.label))
            << int(CreateWord) << n.name << "请确认文件“%dir/" + n.name + ".docx”路径拥有权限";
        QTest::newRow(qPrintable(QString("folder: ") + n.label))
            << int(CreateFolder) << n.name << "创建文件“%dir/" + n.name + "”失败，请确认权限";
    }
}

void TestCreationJob::unsafeNames()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(QString, message);
    // A folder a inside the target, so that "a/b" would have somewhere to go.
    QVERIFY(QDir(m_out).mkdir("a"));
    const QString templateFile = makeTemplate(type, "template bytes");
    for (const bool autoResolve : {true, false}) {
        WarningListener listener;
        CreationPlan plan = planOf(type, {name, "ok"}, autoResolve);
        const CreationJobResult result = run(plan, templateFile);
        QCOMPARE(result.failed, 1);
        QCOMPARE(statusText(plan), QString("2 1"));
        QCOMPARE(listener.messages, QStringList({message.replace("%dir", m_out)}));
        QCOMPARE(onDisk(m_root), QStringList({"out", "templates"}));
        QVERIFY(onDisk(m_out + "/a").isEmpty());
        QCOMPARE(onDisk(m_out), QStringList({"a", type == CreateFolder ? "ok" : "ok.docx"}));
        QVERIFY(QDir(m_out).removeRecursively() && QDir(m_root).mkpath("out/a"));
    }
}

void TestCreationJob::backslashOnlySeparatesOnWindows()
{
    WarningListener listener;
    CreationPlan plan = planOf(CreateFolder, {"a\\b"});
    run(plan, QString());
#ifdef Q_OS_WIN
    QCOMPARE(statusText(plan), QString("2"));
    QCOMPARE(listener.messages, QStringList({"创建文件“" + m_out + "/a\\b”失败，请确认权限"}));
    QVERIFY(onDisk(m_out).isEmpty());
#else
    QCOMPARE(statusText(plan), QString("1"));
    QVERIFY(listener.messages.isEmpty());
    QCOMPARE(onDisk(m_out), QStringList({"a\\b"}));
#endif
}

void TestCreationJob::longNames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fits");
    QTest::newRow("folder, 255 bytes") << int(CreateFolder) << QString(255, 'f') << true;
    QTest::newRow("folder, 256 bytes") << int(CreateFolder) << QString(256, 'f') << false;
    QTest::newRow("folder, 85 Chinese characters (255 bytes)") << int(CreateFolder) << QString(85, QChar(0x6587)) << true;
    QTest::newRow("folder, 86 Chinese characters (258 bytes)") << int(CreateFolder) << QString(86, QChar(0x6587)) << false;
    QTest::newRow("Word, 250 + 5 bytes") << int(CreateWord) << QString(250, 'w') << true;
    QTest::newRow("Word, 251 + 5 bytes") << int(CreateWord) << QString(251, 'w') << false;
    QTest::newRow("Word, 3000 bytes") << int(CreateWord) << QString(3000, 'w') << false;
}

void TestCreationJob::longNames()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(bool, fits);
    const QString templateFile = makeTemplate(type, "template bytes");
    const QString path = m_out + '/' + name + creationExtension(type);
    const QString message = type == CreateFolder ? "创建文件“" + path + "”失败，请确认权限"
                                                 : "请确认文件“" + path + "”路径拥有权限";
    WarningListener listener;
    CreationPlan plan = planOf(type, {name});
    run(plan, templateFile);
    QCOMPARE(statusText(plan), QString(fits ? "1" : "2"));
    QCOMPARE(listener.messages, fits ? QStringList() : QStringList({message}));
    QCOMPARE(onDisk(m_out), fits ? QStringList({name + creationExtension(type)}) : QStringList());
    if (!fits)
        return;
    // The name is taken and its first free variant no longer fits.
    const QString variant = m_out + '/' + name + "(1)" + creationExtension(type);
    run(plan, templateFile);
    QCOMPARE(statusText(plan), QString("2"));
    QCOMPARE(listener.messages.last(), type == CreateFolder ? "创建文件“" + variant + "”失败，请确认权限"
                                                            : "请确认文件“" + variant + "”路径拥有权限");
    QCOMPARE(onDisk(m_out).size(), 1);
}

void TestCreationJob::missingOrUnreadableTemplate_data()
{
    QTest::addColumn<QString>("templateFile"); // relative to the templates folder; "-" for none found
    QTest::newRow("not found") << "-";
    QTest::newRow("no such file") << "gone.docx";
    QTest::newRow("a folder") << "folder.docx";
#ifdef Q_OS_LINUX
    // Opening either to read would wait for a writer, or never end.
    QTest::newRow("a FIFO") << "fifo.docx";
    QTest::newRow("a device") << "/dev/zero";
#endif
}

void TestCreationJob::missingOrUnreadableTemplate()
{
    QFETCH(QString, templateFile);
    QVERIFY(QDir(m_templates).mkdir("folder.docx"));
#ifdef Q_OS_LINUX
    QCOMPARE(::mkfifo(QFile::encodeName(m_templates + "/fifo.docx").constData(), 0600), 0);
#endif
    const QString path = templateFile == "-" ? QString()
        : templateFile.startsWith('/')       ? templateFile
                                             : m_templates + '/' + templateFile;
    WarningListener listener;
    CreationPlan plan = planOf(CreateWord, {"a", "b", "c", "d", "e"});
    const CreationJobResult result = run(plan, path);
    QCOMPARE(result.failed, 5);
    QCOMPARE(statusText(plan), QString("2 2 2 2 2"));
    QCOMPARE(listener.messages,
             withFolder({"文件模板缺失或不是普通文件，未能创建文件“%dir/a.docx”！",
                         "文件模板缺失或不是普通文件，未能创建文件“%dir/b.docx”！",
                         "文件模板缺失或不是普通文件，未能创建文件“%dir/c.docx”！",
                         "另有2个项目操作失败，请查看列表中的状态"},
                        m_out));
    QVERIFY(onDisk(m_out).isEmpty());

    // Folders need no template.
    CreationPlan folders = planOf(CreateFolder, {"a"});
    QCOMPARE(run(folders, path).created, 1);
}

void TestCreationJob::unusableTargetFolder_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("target"); // relative to the test folder
    QTest::newRow("Word, missing folder") << int(CreateWord) << "gone";
    QTest::newRow("folder, missing folder") << int(CreateFolder) << "gone";
    QTest::newRow("Word, a file") << int(CreateWord) << "file.txt";
    QTest::newRow("folder, a file") << int(CreateFolder) << "file.txt";
}

void TestCreationJob::unusableTargetFolder()
{
    QFETCH(int, type);
    QFETCH(QString, target);
    QVERIFY(writeFile(m_root + "/file.txt", "keep"));
    const QString templateFile = makeTemplate(type, "template bytes");
    const QString folder = m_root + '/' + target;
    WarningListener listener;
    CreationPlan plan = planOf(type, {"a", "b"});
    plan.targetFolder = folder;
    QCOMPARE(run(plan, templateFile).failed, 2);
    QCOMPARE(statusText(plan), QString("2 2"));
    const QString message = type == CreateFolder ? "创建文件“%dir/a”失败，请确认权限" : "请确认文件“%dir/a.docx”路径拥有权限";
    QCOMPARE(listener.messages.first(), QString(message).replace("%dir", folder));
    QCOMPARE(onDisk(m_root), QStringList({"file.txt", "out", "templates"}));
    QCOMPARE(contentOf(m_root + "/file.txt"), QByteArray("keep"));
}

void TestCreationJob::readOnlyTargetFolder_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("folders") << int(CreateFolder);
    QTest::newRow("PDF files") << int(CreatePdf);
}

void TestCreationJob::readOnlyTargetFolder()
{
#ifdef Q_OS_WIN
    QSKIP("the read-only attribute of a folder does not stop creation in it on Windows");
#endif
    QFETCH(int, type);
    const QString templateFile = makeTemplate(type, m_templateContent.value(type));
    const LockedFolder lock(m_out);
    if (!lock.isLocked())
        QSKIP("running as root on a file system without the immutable flag: nothing refuses a creation");

    WarningListener listener;
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names.append(QString("n%1").arg(i));
    CreationPlan plan = planOf(type, names);
    QCOMPARE(run(plan, templateFile).failed, 40);
    const QString ext = creationExtension(type);
    const QString format = type == CreateFolder ? "创建文件“%dir/%1”失败，请确认权限" : "请确认文件“%dir/%1”路径拥有权限";
    QCOMPARE(listener.messages,
             withFolder({format.arg("n0" + ext), format.arg("n1" + ext), format.arg("n2" + ext),
                         "另有37个项目操作失败，请查看列表中的状态"},
                        m_out));
    QVERIFY(onDisk(m_out).isEmpty());
}

void TestCreationJob::targetFolderRenamedDuringTheJob_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("folders") << int(CreateFolder);
    QTest::newRow("PDF files") << int(CreatePdf);
}

// Someone renames the target folder after the first item and makes a new one under its old name: the rest go
// into the folder where it is now, each row names where its item is, and nothing lands in the new folder.
void TestCreationJob::targetFolderRenamedDuringTheJob()
{
    QFETCH(int, type);
    const QString templateFile = makeTemplate(type, m_templateContent.value(type));
    const QString moved = m_root + "/moved";
    QStringList paths;
    const CreationRowCallback moveFolder = [&](int, const PlannedItem &, CreationOutcome, const QString &path) {
        paths.append(path);
        if (paths.size() == 1)
            QVERIFY(QDir().rename(m_out, moved) && QDir().mkdir(m_out));
    };
    WarningListener listener;
    CreationPlan plan = planOf(type, {"a", "b", "c"});

    QCOMPARE(runCreationJob(plan, templateFile, moveFolder, RunReporter(m_reporter)).created, 3);

    QVERIFY(listener.messages.isEmpty());
    QCOMPARE(onDisk(m_out), QStringList());
    const QString ext = creationExtension(type);
    QCOMPARE(onDisk(moved), QStringList({"a" + ext, "b" + ext, "c" + ext}));
    QCOMPARE(paths, QStringList({m_out + "/a" + ext, moved + "/b" + ext, moved + "/c" + ext}));
    if (type != CreateFolder)
        QCOMPARE(contentOf(moved + "/c" + ext), m_templateContent.value(type));
}

void TestCreationJob::targetHoldsEveryItemAlready_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("autoResolve");
    QTest::addColumn<int>("created");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("failed");
    QTest::addColumn<int>("messages");
    QTest::newRow("files, resolved") << int(CreateTxt) << true << 3000 << 0 << 0 << 0;
    QTest::newRow("files, not resolved") << int(CreateTxt) << false << 0 << 0 << 3000 << 4;
    QTest::newRow("folders, not resolved") << int(CreateFolder) << false << 0 << 3000 << 0 << 0;
}

void TestCreationJob::targetHoldsEveryItemAlready()
{
    QFETCH(int, type);
    QFETCH(bool, autoResolve);
    QFETCH(int, created);
    QFETCH(int, skipped);
    QFETCH(int, failed);
    QFETCH(int, messages);
    const QString templateFile = makeTemplate(type, "template bytes");
    QStringList names;
    for (int i = 0; i < 3000; ++i)
        names.append(QString("item%1").arg(i, 4, 10, QChar('0')));
    CreationPlan first = planOf(type, names);
    QCOMPARE(run(first, templateFile).created, 3000);

    WarningListener listener;
    CreationPlan plan = planOf(type, names, autoResolve);
    const CreationJobResult result = run(plan, templateFile);
    QCOMPARE(result.created, created);
    QCOMPARE(result.skipped, skipped);
    QCOMPARE(result.failed, failed);
    QCOMPARE(listener.messages.size(), messages);
    if (messages)
        QCOMPARE(listener.messages.last(), QString("另有2997个项目操作失败，请查看列表中的状态"));
    QCOMPARE(onDisk(m_out).size(), 3000 + created);
    if (created)
        QCOMPARE(contentOf(m_out + "/item2999(1).txt"), QByteArray("template bytes"));
}

void TestCreationJob::rowIsReportedBeforeItsWarning()
{
    QVERIFY(writeFile(m_out + "/b.txt", "old"));
    QVERIFY(writeFile(m_out + "/d.txt", "old"));
    const QString templateFile = makeTemplate(CreateTxt, "t");
    QVector<int> rows;
    QVector<int> statuses;
    QVector<CreationOutcome> outcomes;
    WarningListener listener(&rows);
    CreationPlan plan = planOf(CreateTxt, {"a", "b", "c", "d"}, false);
    runCreationJob(
        plan, templateFile,
        [&](int row, const PlannedItem &item, CreationOutcome outcome, const QString &) {
            rows.append(row);
            statuses.append(item.status);
            outcomes.append(outcome);
        },
        RunReporter(m_reporter));
    QCOMPARE(rows, QVector<int>({0, 1, 2, 3}));
    QCOMPARE(statuses, QVector<int>({1, 2, 1, 2}));
    QCOMPARE(outcomes, QVector<CreationOutcome>({CreationOutcome::Created, CreationOutcome::Failed,
                                                 CreationOutcome::Created, CreationOutcome::Failed}));
    QCOMPARE(listener.rowsReportedAtMessage, QVector<int>({2, 4}));
}

void TestCreationJob::templatesFromTheDataFolderForFolders()
{
    WarningListener listener;
    CreationPlan plan = planOf(CreateFolder, {"a"});
    const CreationJobResult result = runCreationJob(plan, {}, RunReporter(m_reporter));
    QCOMPARE(result.created, 1);
    QVERIFY(listener.messages.isEmpty());
}

void TestCreationJob::exclusiveCreationNeverTakesOver()
{
    const QString templateFile = makeTemplate(CreateTxt, "template bytes");
    QVERIFY(writeFile(m_out + "/taken.txt", "old"));
    QVERIFY(QDir(m_out).mkdir("folder"));
    QString detail;
    QCOMPARE(createFileFromTemplate(m_out + "/taken.txt", templateFile, &detail), CreateOutcome::Exists);
    QCOMPARE(contentOf(m_out + "/taken.txt"), QByteArray("old"));
    QCOMPARE(createFileFromTemplate(m_out + "/folder", templateFile, &detail), CreateOutcome::Exists);
    QCOMPARE(createFolderExclusive(m_out + "/folder", &detail), CreateOutcome::Exists);
    QCOMPARE(createFolderExclusive(m_out + "/taken.txt", &detail), CreateOutcome::Exists);
    QCOMPARE(createFolderExclusive(m_out + "/gone/x", &detail), CreateOutcome::Failed);
    QVERIFY(!detail.isEmpty());
    detail.clear();
    QCOMPARE(createFileFromTemplate(m_out + "/new.txt", m_templates, &detail), CreateOutcome::Failed);
    QVERIFY(!detail.isEmpty());
    QVERIFY(!QFileInfo::exists(m_out + "/new.txt"));
    QCOMPARE(createFileFromTemplate(m_out + "/new.txt", templateFile), CreateOutcome::Created);
    QCOMPARE(contentOf(m_out + "/new.txt"), QByteArray("template bytes"));
    // No reservation, no temporary copy is left behind.
    QCOMPARE(onDisk(m_out), QStringList({"folder", "new.txt", "taken.txt"}));
}

void TestCreationJob::failedCopyLeavesNoFile()
{
#ifndef Q_OS_LINUX
    QSKIP("the file size limit is a Linux means of making a copy fail part-way");
#else
    const QString templateFile = makeTemplate(CreatePdf, m_templateContent.value(CreatePdf));
    // Writes beyond the limit fail with EFBIG, for root too; the signal that would come with them is ignored.
    struct rlimit before;
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 64 * 1024;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    auto restore = qScopeGuard([&] {
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
    });
    WarningListener listener;
    CreationPlan plan = planOf(CreatePdf, {"a"});
    run(plan, templateFile);
    restore.dismiss();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(statusText(plan), QString("2"));
    QCOMPARE(listener.messages, QStringList({"请确认文件“" + m_out + "/a.pdf”路径拥有权限"}));
    QVERIFY(onDisk(m_out).isEmpty());
#endif
}

QTEST_GUILESS_MAIN(TestCreationJob)
#include "tst_creationjob.moc"
