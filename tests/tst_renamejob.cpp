#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "jobs/jobfailurereporter.h"
#include "fileops/safefileops.h"
#include "rename/renamejob.h"
#include "fileops/uniquename.h"
#include "testutil_engine.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(RenameOutcome)

using namespace EngineTest;

namespace {

struct Calls
{
    QVector<int> rows;
    QVector<RowOutcome> outcomes;
    QVector<int> statuses;
};

RenameJob::RowCallback recorder(Calls &calls)
{
    return [&calls](int row, const FileEntry &entry, RowOutcome outcome) {
        calls.rows.append(row);
        calls.outcomes.append(outcome);
        calls.statuses.append(entry.status);
    };
}

FileEntry entryFor(const QString &path, const QString &newName = QString())
{
    FileEntry entry;
    entry.path = path;
    entry.currentName = QFileInfo(path).fileName();
    entry.newName = newName;
    entry.id = QUuid::createUuid().toString();
    return entry;
}

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

bool isFolder(const QString &path)
{
    return QFileInfo(path).isDir();
}

} // namespace

class TestRenameJob : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void uniqueNameFindsFreeVariant_data();
    void uniqueNameFindsFreeVariant();
    void uniqueNameDoesNotCountTheItemItself();
    void allocatorCountsOn_data();
    void allocatorCountsOn();
    void allocatorChecksTheDiskEveryTime();
    void noReplaceRename_data();
    void noReplaceRename();

    void sameProposalTwice_data();
    void sameProposalTwice();
    void manyRowsProposeOneName();
    void renameThenUndo();
    void twoBatchesThenTwoUndos();
    void undoWithEmptyHistoryDoesNothing();
    void missingItem_data();
    void missingItem();
    void proposalEqualToNameIsUntouched_data();
    void proposalEqualToNameIsUntouched();
    void existingTargetIsNeverReplaced_data();
    void existingTargetIsNeverReplaced();
    void readOnlyFolder();
    void nameRefusedByFileSystem();
    void renamedByAnotherProgram();
    void targetAppearsDuringJob_data();
    void targetAppearsDuringJob();
    void unsafeProposalTouchesNothing_data();
    void unsafeProposalTouchesNothing();
    void missingNamePart_data();
    void missingNamePart();
    void caseOnlyRename_data();
    void caseOnlyRename();
    void caseOnlyRenameOntoAnotherLink_data();
    void caseOnlyRenameOntoAnotherLink();
    void folderMode_data();
    void folderMode();

    void undoFollowsIdsAfterListChanged();
    void undoUnwindsChainWithinBatch();
    void undoLeavesItemNotWhereBatchLeftIt();
    void undoOfItemRenamedElsewhere();
    void undoLeavesAnotherItemAtThePathAlone_data();
    void undoLeavesAnotherItemAtThePathAlone();
    void undoLeavesNewItemInTheOldPlaceAlone_data();
    void undoLeavesNewItemInTheOldPlaceAlone();
    void nestedFoldersFollowTheirParent_data();
    void nestedFoldersFollowTheirParent();
    void nestedFolderFollowsAParentWithoutARow();
    void movesRecordEveryStepInOrder();

    void failureWarnings_data();
    void failureWarnings();

    void ringThatCannotTurnIsPutBack_data();
    void ringThatCannotTurnIsPutBack();
    void swapInsideARenamedFolder_data();
    void swapInsideARenamedFolder();
    void undoTellsTheNameItGave();
    void temporaryNameSaysWhoseItIs_data();
    void temporaryNameSaysWhoseItIs();
    void raceOnExfatReplacesNothing();
    void folderRenamedDuringTheJob_data();
    void folderRenamedDuringTheJob();

private:
    QString path(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name; }
    QString makeFile(const QString &name, const QByteArray &content = QByteArray());
    QString makeFolder(const QString &name);
    QStringList names() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    RenameHistory m_history;
    JobFailureReporter m_reporter;
};

void TestRenameJob::init()
{
    // QUORLIN_TEST_DIR runs the cases on another file system (an exFAT or ntfs-3g mount, say).
    const QString base = qEnvironmentVariable("QUORLIN_TEST_DIR");
    m_dir = base.isEmpty() ? std::make_unique<QTemporaryDir>()
                           : std::make_unique<QTemporaryDir>(base + QStringLiteral("/renamejob-XXXXXX"));
    QVERIFY(m_dir->isValid());
    m_history.clear();
}

void TestRenameJob::cleanup()
{
    m_dir.reset();
}

QString TestRenameJob::makeFile(const QString &name, const QByteArray &content)
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content.isNull() ? name.toUtf8() : content);
    return file.fileName();
}

QString TestRenameJob::makeFolder(const QString &name)
{
    QDir(m_dir->path()).mkpath(name);
    return path(name);
}

QStringList TestRenameJob::names() const
{
    return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                         QDir::Name);
}

void TestRenameJob::uniqueNameFindsFreeVariant_data()
{
    QTest::addColumn<QStringList>("existing"); // a trailing "/" makes a folder
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("counter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("free") << QStringList() << "a.txt" << 0 << "a.txt";
    QTest::newRow("taken") << QStringList{"a.txt"} << "a.txt" << 0 << "a(1).txt";
    QTest::newRow("two taken") << QStringList{"a.txt", "a(1).txt"} << "a.txt" << 0 << "a(2).txt";
    QTest::newRow("gap") << QStringList{"a.txt", "a(2).txt"} << "a.txt" << 0 << "a(1).txt";
    QTest::newRow("counter goes on") << QStringList{"a.txt"} << "a.txt" << 4 << "a(5).txt";
    QTest::newRow("no extension") << QStringList{"notes"} << "notes" << 0 << "notes(1)";
    QTest::newRow("two dots") << QStringList{"a.tar.gz"} << "a.tar.gz" << 0 << "a.tar(1).gz";
    QTest::newRow("folder with dot") << QStringList{"rel.2/"} << "rel.2" << 0 << "rel(1).2";
    QTest::newRow("dot name keeps its form") << QStringList{".gitignore"} << ".gitignore" << 0 << ".gitignore(1)";
    QTest::newRow("taken by a folder") << QStringList{"b.txt/"} << "b.txt" << 0 << "b(1).txt";
}

void TestRenameJob::uniqueNameFindsFreeVariant()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, target);
    QFETCH(int, counter);
    QFETCH(QString, expected);
    for (const QString &name : existing)
        name.endsWith('/') ? makeFolder(name.chopped(1)) : makeFile(name);
    QCOMPARE(uniqueName(path(target), counter), path(expected));
}

void TestRenameJob::uniqueNameDoesNotCountTheItemItself()
{
    const QString a = makeFile("a.txt");
    const QString b = makeFile("b.txt");
    QCOMPARE(uniqueName(path("b.txt"), 0, a), path("b(1).txt"));
    QCOMPARE(uniqueName(b, 0, b), b);
    if (QFileInfo::exists(path("A.TXT"))) {
        // A file system that ignores case: A.TXT is a.txt itself.
        QCOMPARE(uniqueName(path("A.TXT"), 0, a), path("A.TXT"));
        QCOMPARE(uniqueName(path("A.TXT")), path("A(1).TXT"));
    } else {
        QCOMPARE(uniqueName(path("A.TXT"), 0, a), path("A.TXT"));
        makeFile("A.TXT");
        QCOMPARE(uniqueName(path("A.TXT"), 0, a), path("A(1).TXT"));
    }
}

void TestRenameJob::allocatorCountsOn_data()
{
    QTest::addColumn<QStringList>("existing"); // a trailing "/" makes a folder
    QTest::addColumn<QStringList>("targets");  // each resolved, then marked taken
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing on disk")
        << QStringList{} << QStringList{"a.txt", "a.txt", "a.txt"} << QStringList{"a.txt", "a(1).txt", "a(2).txt"};
    QTest::newRow("name on disk")
        << QStringList{"旅行.txt"} << QStringList{"旅行.txt", "旅行.txt"} << QStringList{"旅行(1).txt", "旅行(2).txt"};
    QTest::newRow("variants on disk are skipped")
        << QStringList{"a.txt", "a(2).txt", "a(3).txt"} << QStringList{"a.txt", "a.txt", "a.txt"}
        << QStringList{"a(1).txt", "a(4).txt", "a(5).txt"};
    QTest::newRow("each name its own counter")
        << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt", "b.txt", "a.txt", "b.txt"}
        << QStringList{"a(1).txt", "b(1).txt", "a(2).txt", "b(2).txt"};
    QTest::newRow("same base, other extension")
        << QStringList{"a.txt", "a.md"} << QStringList{"a.txt", "a.md", "a.txt"}
        << QStringList{"a(1).txt", "a(1).md", "a(2).txt"};
    QTest::newRow("a variant proposed itself")
        << QStringList{"a.txt"} << QStringList{"a(1).txt", "a.txt", "a(1).txt"}
        << QStringList{"a(1).txt", "a(2).txt", "a(1)(1).txt"};
    QTest::newRow("folder and dot name")
        << QStringList{"rel.2/", ".gitignore"} << QStringList{"rel.2", ".gitignore", "rel.2"}
        << QStringList{"rel(1).2", ".gitignore(1)", "rel(2).2"};
}

void TestRenameJob::allocatorCountsOn()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, targets);
    QFETCH(QStringList, expected);
    for (const QString &name : existing)
        name.endsWith('/') ? makeFolder(name.chopped(1)) : makeFile(name);
    UniqueNameAllocator allocator;
    QStringList given;
    for (const QString &target : targets) {
        const QString name = allocator.resolve(path(target));
        // Asking again before the name is taken gives the same answer.
        QCOMPARE(allocator.resolve(path(target)), name);
        allocator.markTaken(name);
        given.append(nameOf(name));
    }
    QCOMPARE(given, expected);
    // Nothing was made on disk.
    QCOMPARE(names().size(), existing.size());
}

void TestRenameJob::allocatorChecksTheDiskEveryTime()
{
    const QString self = makeFile("b.txt");
    makeFile("a.txt");
    UniqueNameAllocator allocator;
    QCOMPARE(allocator.resolve(path("b.txt"), self), path("b.txt"));
    QCOMPARE(allocator.resolve(path("a.txt")), path("a(1).txt"));
    // Another program takes the name the batch would have given next.
    makeFile("a(1).txt");
    QCOMPARE(allocator.resolve(path("a.txt")), path("a(2).txt"));
    allocator.markTaken(path("a(2).txt"));
    makeFile("a(3).txt");
    QCOMPARE(allocator.resolve(path("a.txt")), path("a(4).txt"));
    // The free name itself is still given while it is free.
    QCOMPARE(allocator.resolve(path("c.txt")), path("c.txt"));
    allocator.clear();
    QCOMPARE(allocator.resolve(path("a.txt")), path("a(2).txt"));
}

void TestRenameJob::noReplaceRename_data()
{
    QTest::addColumn<int>("way");        // 0 atomic, 1 without the flag, 2 without the flag and hard links
    QTest::addColumn<QString>("source"); // "" for none, a trailing "/" makes a folder
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("existingTarget");
    QTest::addColumn<RenameOutcome>("expected");
    for (const int withoutFlag : {0, 1, 2}) {
        const QByteArray way =
            QList<QByteArray>{"atomic: ", "without flag: ", "over a reservation: "}.at(withoutFlag);
        QTest::newRow(way + "file to free name")
            << withoutFlag << "a.txt" << "b.txt" << "" << RenameOutcome::Renamed;
        QTest::newRow(way + "folder to free name")
            << withoutFlag << "d/" << "e" << "" << RenameOutcome::Renamed;
        QTest::newRow(way + "file onto file")
            << withoutFlag << "a.txt" << "b.txt" << "b.txt" << RenameOutcome::TargetExists;
        QTest::newRow(way + "file onto empty folder")
            << withoutFlag << "a.txt" << "b" << "b/" << RenameOutcome::TargetExists;
        QTest::newRow(way + "folder onto empty folder")
            << withoutFlag << "d/" << "e" << "e/" << RenameOutcome::TargetExists;
        QTest::newRow(way + "folder onto file")
            << withoutFlag << "d/" << "e" << "e" << RenameOutcome::TargetExists;
        QTest::newRow(way + "missing source")
            << withoutFlag << "" << "b.txt" << "" << RenameOutcome::SourceMissing;
        QTest::newRow(way + "name too long")
            << withoutFlag << "a.txt" << QString(300, 'n') << "" << RenameOutcome::Failed;
    }
}

void TestRenameJob::noReplaceRename()
{
    QFETCH(int, way);
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, existingTarget);
    QFETCH(RenameOutcome, expected);
#ifdef Q_OS_WIN
    if (way > 0)
        QSKIP("Windows refuses replacing by itself");
#endif
    const bool sourceIsFolder = source.endsWith('/');
    const QString from = source.isEmpty() ? path("gone.txt")
                       : sourceIsFolder   ? makeFolder(source.chopped(1))
                                          : makeFile(source, "source");
    if (sourceIsFolder)
        makeFile(source + "inside.txt", "inside");
    if (existingTarget.endsWith('/'))
        makeFolder(existingTarget.chopped(1));
    else if (!existingTarget.isEmpty())
        makeFile(existingTarget, "target");

    QString detail;
    const RenameOutcome outcome =
#ifndef Q_OS_WIN
        way == 2   ? renameNoReplaceOverReservation(from, path(target), &detail)
        : way == 1 ? renameNoReplaceWithoutFlag(from, path(target), &detail)
                   :
#endif
                   renameNoReplace(from, path(target), &detail);
    QCOMPARE(outcome, expected);
    QCOMPARE(detail.isEmpty(), expected != RenameOutcome::Failed);

    if (expected == RenameOutcome::Renamed) {
        QVERIFY(!pathOccupied(from));
        QCOMPARE(isFolder(path(target)), sourceIsFolder);
        QCOMPARE(contentOf(path(target) + (sourceIsFolder ? "/inside.txt" : "")),
                 QByteArray(sourceIsFolder ? "inside" : "source"));
        return;
    }
    if (!source.isEmpty())
        QVERIFY(pathOccupied(from));
    if (existingTarget.endsWith('/'))
        QVERIFY(isFolder(path(target)) && QDir(path(target)).isEmpty());
    else if (!existingTarget.isEmpty())
        QCOMPARE(contentOf(path(target)), QByteArray("target"));
}

void TestRenameJob::sameProposalTwice_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::newRow("resolution on") << true;
    QTest::newRow("resolution off") << false;
}

void TestRenameJob::sameProposalTwice()
{
    QFETCH(bool, resolve);
    FileEntryList entries{entryFor(makeFile("a.txt"), "b.txt"), entryFor(makeFile("c.txt"), "b.txt")};
    Calls calls;
    WarningListener listener(&calls.rows);

    const RenameJobResult result =
        RenameJob::run(entries, m_history, resolve, recorder(calls), RunReporter(m_reporter));

    QCOMPARE(calls.rows, (QVector<int>{0, 1}));
    QCOMPARE(entries[0].status, int(StatusSuccess));
    QCOMPARE(contentOf(path("b.txt")), QByteArray("a.txt"));
    if (resolve) {
        QCOMPARE(result.renamed, 2);
        QCOMPARE(entries[1].status, int(StatusSuccess));
        QCOMPARE(entries[1].path, path("b(1).txt"));
        QCOMPARE(entries[1].currentName, QString("b(1).txt"));
        QCOMPARE(entries[1].newName, QString("b(1).txt"));
        QCOMPARE(contentOf(path("b(1).txt")), QByteArray("c.txt"));
        QVERIFY(listener.messages.isEmpty());
    } else {
        QCOMPARE(result.renamed, 1);
        QCOMPARE(result.failed, 1);
        QCOMPARE(entries[1].status, int(StatusFailed));
        QCOMPARE(entries[1].path, path("c.txt"));
        QCOMPARE(entries[1].newName, QString("b.txt"));
        QCOMPARE(contentOf(path("c.txt")), QByteArray("c.txt"));
        QCOMPARE(listener.messages, QStringList{"命名文件“" + path("b.txt") + "”已经存在或者路径错误"});
        // The row already shows its failure when the warning opens.
        QCOMPARE(listener.rowsReportedAtMessage, QVector<int>{2});
        QCOMPARE(calls.statuses[1], int(StatusFailed));
    }
    QCOMPARE(m_history.size(), 1);
}

// Every row proposes one name: each takes the next free variant, past those on disk and those the batch gave.
void TestRenameJob::manyRowsProposeOneName()
{
    constexpr int rows = 60;
    makeFile("旅行.txt", "before");
    makeFile("旅行(3).txt", "before");
    FileEntryList entries;
    for (int i = 0; i < rows; ++i)
        entries.append(entryFor(makeFile(QString("f%1.txt").arg(i), QByteArray::number(i)), "旅行.txt"));
    WarningListener listener;

    const RenameJobResult result = RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(result.renamed, rows);
    QVERIFY(listener.messages.isEmpty());
    QStringList expected{"旅行.txt", "旅行(3).txt"};
    for (int i = 0, counter = 0; i < rows; ++i) {
        if (++counter == 3)
            ++counter;
        const QString name = QString("旅行(%1).txt").arg(counter);
        QCOMPARE(entries[i].path, path(name));
        QCOMPARE(contentOf(path(name)), QByteArray::number(i));
        expected.append(name);
    }
    expected.sort();
    QStringList actual = names();
    actual.sort();
    QCOMPARE(actual, expected);

    RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));

    for (int i = 0; i < rows; ++i)
        QCOMPARE(contentOf(path(QString("f%1.txt").arg(i))), QByteArray::number(i));
    QCOMPARE(contentOf(path("旅行.txt")), QByteArray("before"));
}

void TestRenameJob::renameThenUndo()
{
    FileEntryList entries{entryFor(makeFile("a.txt"), "x.txt"), entryFor(makeFile("b.txt"), "b.txt"),
                          entryFor(makeFile("c.txt"), "y.txt")};
    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));
    QCOMPARE(names(), (QStringList{"b.txt", "x.txt", "y.txt"}));
    QVERIFY(m_history.canUndo());

    Calls calls;
    const RenameJobResult result =
        RenameJob::undo(entries, m_history, true, recorder(calls), RunReporter(m_reporter));

    QCOMPARE(result.renamed, 2);
    QCOMPARE(calls.rows, (QVector<int>{2, 0}));
    QCOMPARE(names(), (QStringList{"a.txt", "b.txt", "c.txt"}));
    QCOMPARE(contentOf(path("a.txt")), QByteArray("a.txt"));
    QCOMPARE(entries[0].path, path("a.txt"));
    QCOMPARE(entries[0].currentName, QString("a.txt"));
    QCOMPARE(entries[0].newName, QString("x.txt"));
    QCOMPARE(entries[0].status, int(StatusPending));
    QCOMPARE(entries[2].newName, QString("y.txt"));
    QCOMPARE(entries[2].status, int(StatusPending));
    QCOMPARE(entries[1].status, int(StatusPending));
    QVERIFY(!m_history.canUndo());
}

void TestRenameJob::twoBatchesThenTwoUndos()
{
    FileEntryList entries{entryFor(makeFile("a.txt"), "b.txt")};
    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));
    entries[0].newName = "c.txt";
    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));
    QCOMPARE(names(), QStringList{"c.txt"});
    QCOMPARE(m_history.size(), 2);

    RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));
    QCOMPARE(names(), QStringList{"b.txt"});
    QCOMPARE(entries[0].newName, QString("c.txt"));
    QVERIFY(m_history.canUndo());

    RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));
    QCOMPARE(names(), QStringList{"a.txt"});
    QCOMPARE(entries[0].path, path("a.txt"));
    QCOMPARE(entries[0].newName, QString("b.txt"));
    QVERIFY(!m_history.canUndo());
}

void TestRenameJob::undoWithEmptyHistoryDoesNothing()
{
    FileEntryList entries{entryFor(makeFile("a.txt"), "b.txt")};
    Calls calls;
    const RenameJobResult result =
        RenameJob::undo(entries, m_history, true, recorder(calls), RunReporter(m_reporter));
    QCOMPARE(result.renamed + result.failed + result.missing, 0);
    QVERIFY(calls.rows.isEmpty());
    QCOMPARE(names(), QStringList{"a.txt"});
}

void TestRenameJob::missingItem_data()
{
    QTest::addColumn<QString>("proposal");
    QTest::newRow("with a proposal") << "b.txt";
    QTest::newRow("proposal equal to name") << "a.txt";
    QTest::newRow("no proposal") << "";
}

void TestRenameJob::missingItem()
{
    QFETCH(QString, proposal);
    FileEntryList entries{entryFor(makeFile("a.txt"), proposal), entryFor(makeFile("c.txt"), "d.txt")};
    QVERIFY(QFile::remove(path("a.txt")));
    WarningListener listener;
    Calls calls;

    const RenameJobResult result =
        RenameJob::run(entries, m_history, true, recorder(calls), RunReporter(m_reporter));

    QCOMPARE(result.missing, 1);
    QCOMPARE(entries[0].status, int(StatusMissing));
    QCOMPARE(calls.outcomes[0], RowOutcome::Missing);
    QCOMPARE(entries[1].status, int(StatusSuccess));
    QCOMPARE(names(), QStringList{"d.txt"});
    QVERIFY(listener.messages.isEmpty());
}

void TestRenameJob::proposalEqualToNameIsUntouched_data()
{
    QTest::addColumn<QString>("proposal");
    QTest::newRow("equal") << "a.txt";
    QTest::newRow("empty") << "";
}

void TestRenameJob::proposalEqualToNameIsUntouched()
{
    QFETCH(QString, proposal);
    FileEntryList entries{entryFor(makeFile("a.txt"), proposal)};
    entries[0].status = StatusFailed;
    WarningListener listener;
    Calls calls;

    RenameJob::run(entries, m_history, true, recorder(calls), RunReporter(m_reporter));

    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(entries[0].newName, proposal);
    QCOMPARE(calls.outcomes, QVector<RowOutcome>{RowOutcome::Untouched});
    QVERIFY(listener.messages.isEmpty());
    QVERIFY(!m_history.canUndo());
}

void TestRenameJob::existingTargetIsNeverReplaced_data()
{
    QTest::addColumn<bool>("sourceIsFolder");
    QTest::addColumn<QString>("occupant"); // "file", "empty folder", "folder"
    QTest::addColumn<bool>("resolve");
    for (const bool sourceIsFolder : {false, true}) {
        for (const char *occupant : {"file", "empty folder", "folder"}) {
            for (const bool resolve : {false, true}) {
                QTest::addRow("%s onto %s, resolution %s", sourceIsFolder ? "folder" : "file", occupant,
                              resolve ? "on" : "off")
                    << sourceIsFolder << QString(occupant) << resolve;
            }
        }
    }
}

void TestRenameJob::existingTargetIsNeverReplaced()
{
    QFETCH(bool, sourceIsFolder);
    QFETCH(QString, occupant);
    QFETCH(bool, resolve);
    const QString source = sourceIsFolder ? makeFolder("src.d") : makeFile("src.d", "source");
    if (occupant == "file") {
        makeFile("dst.d", "occupant");
    } else {
        makeFolder("dst.d");
        if (occupant == "folder")
            makeFile("dst.d/keep.txt", "kept");
    }
    FileEntryList entries{entryFor(source, "dst.d")};
    WarningListener listener;

    RenameJob::run(entries, m_history, resolve, {}, RunReporter(m_reporter));

    if (occupant == "file")
        QCOMPARE(contentOf(path("dst.d")), QByteArray("occupant"));
    else
        QVERIFY(isFolder(path("dst.d")));
    if (occupant == "folder")
        QCOMPARE(contentOf(path("dst.d/keep.txt")), QByteArray("kept"));
    if (occupant == "empty folder")
        QVERIFY(QDir(path("dst.d")).isEmpty());

    if (resolve) {
        QCOMPARE(entries[0].status, int(StatusSuccess));
        QCOMPARE(entries[0].path, path("dst(1).d"));
        QCOMPARE(isFolder(path("dst(1).d")), sourceIsFolder);
        QVERIFY(listener.messages.isEmpty());
    } else {
        QCOMPARE(entries[0].status, int(StatusFailed));
        QVERIFY(pathOccupied(source));
        QCOMPARE(listener.messages, QStringList{RenameJob::failureMessage(path("dst.d"))});
    }
}

void TestRenameJob::readOnlyFolder()
{
#ifdef Q_OS_WIN
    QSKIP("the read-only attribute of a folder does not protect its items on Windows");
#endif
    const QString folder = makeFolder("locked");
    makeFile("locked/a.txt", "a");
    makeFile("locked/b.txt", "b");
    const LockedFolder lock(folder);
    if (!lock.isLocked())
        QSKIP("running as root on a file system without the immutable flag: nothing can refuse a rename");
    FileEntryList entries{entryFor(folder + "/a.txt", "x.txt"), entryFor(folder + "/b.txt", "y.txt")};
    WarningListener listener;

    const RenameJobResult result = RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(result.failed, 2);
    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(entries[1].status, int(StatusFailed));
    QCOMPARE(listener.messages,
             (QStringList{"命名文件“" + folder + "/x.txt”失败，请确认权限！",
                          "命名文件“" + folder + "/y.txt”失败，请确认权限！"}));
    QCOMPARE(contentOf(folder + "/a.txt"), QByteArray("a"));
    QVERIFY(!m_history.canUndo());
}

void TestRenameJob::nameRefusedByFileSystem()
{
    const QString tooLong = QString(300, QChar(0x540d)) + ".txt";
    FileEntryList entries{entryFor(makeFile("a.txt"), tooLong), entryFor(makeFile("b.txt"), "c.txt")};
    WarningListener listener;

    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(listener.messages, QStringList{RenameJob::failureMessage(path(tooLong))});
    QCOMPARE(entries[1].status, int(StatusSuccess));
    QCOMPARE(names(), (QStringList{"a.txt", "c.txt"}));
}

void TestRenameJob::renamedByAnotherProgram()
{
    FileEntryList entries{entryFor(makeFile("a.txt"), "b.txt")};
    QVERIFY(QFile::rename(path("a.txt"), path("moved.txt")));

    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(entries[0].status, int(StatusMissing));
    QCOMPARE(names(), QStringList{"moved.txt"});
}

void TestRenameJob::targetAppearsDuringJob_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::newRow("resolution on") << true;
    QTest::newRow("resolution off") << false;
}

void TestRenameJob::targetAppearsDuringJob()
{
    QFETCH(bool, resolve);
    FileEntryList entries{entryFor(makeFile("a.txt"), "a2.txt"), entryFor(makeFile("c.txt"), "d.txt")};
    WarningListener listener;
    const auto createTarget = [this](int row, const FileEntry &, RowOutcome) {
        if (row == 0)
            makeFile("d.txt", "newcomer");
    };

    RenameJob::run(entries, m_history, resolve, createTarget, RunReporter(m_reporter));

    QCOMPARE(contentOf(path("d.txt")), QByteArray("newcomer"));
    if (resolve) {
        QCOMPARE(entries[1].status, int(StatusSuccess));
        QCOMPARE(contentOf(path("d(1).txt")), QByteArray("c.txt"));
    } else {
        QCOMPARE(entries[1].status, int(StatusFailed));
        QCOMPARE(contentOf(path("c.txt")), QByteArray("c.txt"));
        QCOMPARE(listener.messages, QStringList{RenameJob::failureMessage(path("d.txt"))});
    }
}

void TestRenameJob::unsafeProposalTouchesNothing_data()
{
    QTest::addColumn<QString>("proposal");
    QTest::newRow("into a subfolder") << "sub/x.txt";
    QTest::newRow("into the parent") << "../x.txt";
    QTest::newRow("absolute") << "/x.txt";
    QTest::newRow("dot") << ".";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("NUL") << QString("x") + QChar(0) + ".txt";
#ifdef Q_OS_WIN
    QTest::newRow("backslash") << "sub\\x.txt";
#endif
}

void TestRenameJob::unsafeProposalTouchesNothing()
{
    QFETCH(QString, proposal);
    makeFolder("sub");
    const QString file = makeFile("a.txt", "a");
    const QString folder = makeFolder("f");
    FileEntryList entries{entryFor(file, proposal), entryFor(folder, proposal)};
    const QStringList before = names();
    WarningListener listener;

    const RenameJobResult result = RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(result.failed, 2);
    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(entries[1].status, int(StatusFailed));
    QCOMPARE(names(), before);
    QVERIFY(QDir(path("sub")).isEmpty());
    QVERIFY(!QFileInfo::exists(QFileInfo(m_dir->path()).absolutePath() + "/x.txt"));
    QCOMPARE(listener.messages, (QStringList{RenameJob::failureMessage(m_dir->path() + '/' + proposal),
                                             RenameJob::failureMessage(m_dir->path() + '/' + proposal)}));
}

void TestRenameJob::missingNamePart_data()
{
    QTest::addColumn<QString>("name"); // a trailing "/" makes a folder
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<bool>("refused");
    QTest::newRow("empty imported name") << "a.txt" << ".txt" << true;
    QTest::newRow("only dots before extension") << "a.txt" << "..txt" << true;
    QTest::newRow("file without extension to dot name") << "v1" << ".v1" << true;
    QTest::newRow("dot name keeps its form") << ".gitignore" << ".GITIGNORE" << false;
    QTest::newRow("trailing dot") << "a.txt" << "b." << false;
    QTest::newRow("dot inside") << "a.txt" << "b.c.txt" << false;
    // A folder has no extension: a leading dot is part of its name.
    QTest::newRow("folder to dot name") << "config/" << ".config" << false;
    QTest::newRow("folder with dot to dot name") << "rel.2/" << ".rel.2" << false;
    QTest::newRow("folder to two dots and a name") << "d/" << "..d" << false;
}

void TestRenameJob::missingNamePart()
{
    QFETCH(QString, name);
    QFETCH(QString, proposal);
    QFETCH(bool, refused);
    const bool folder = name.endsWith('/');
    if (folder)
        name.chop(1);
    FileEntryList entries{entryFor(folder ? makeFolder(name) : makeFile(name), proposal)};
    WarningListener listener;

    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));

    if (refused) {
        QCOMPARE(entries[0].status, int(StatusFailed));
        QCOMPARE(names(), QStringList{name});
        QCOMPARE(listener.messages, QStringList{"新文件名“" + proposal + "”缺少名称部分，未重命名"});
    } else {
        QCOMPARE(listener.messages, QStringList());
        QCOMPARE(entries[0].status, int(StatusSuccess));
        // Where case is ignored, a case-only change is listed under its new spelling too.
        QVERIFY(names().contains(proposal));
        QCOMPARE(isFolder(path(proposal)), folder);
    }
}

void TestRenameJob::caseOnlyRename_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::newRow("resolution on") << true;
    QTest::newRow("resolution off") << false;
}

void TestRenameJob::caseOnlyRename()
{
    QFETCH(bool, resolve);
    FileEntryList entries{entryFor(makeFile("a.txt", "a"), "A.txt"), entryFor(makeFolder("dir"), "DIR")};
    makeFile("dir/inside.txt", "inside");
    WarningListener listener;

    RenameJob::run(entries, m_history, resolve, {}, RunReporter(m_reporter));

    QVERIFY(listener.messages.isEmpty());
    QCOMPARE(entries[0].status, int(StatusSuccess));
    QCOMPARE(entries[0].path, path("A.txt"));
    QCOMPARE(entries[1].path, path("DIR"));
    QCOMPARE(names(), (QStringList{"A.txt", "DIR"}));
    QCOMPARE(contentOf(path("A.txt")), QByteArray("a"));
    QCOMPARE(contentOf(path("DIR/inside.txt")), QByteArray("inside"));

    RenameJob::undo(entries, m_history, resolve, {}, RunReporter(m_reporter));
    QCOMPARE(names(), (QStringList{"a.txt", "dir"}));
    QCOMPARE(entries[0].status, int(StatusPending));
}

void TestRenameJob::caseOnlyRenameOntoAnotherLink_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::newRow("resolution on") << true;
    QTest::newRow("resolution off") << false;
}

// Where case matters, a.txt and A.txt may be two hard links of one file: A.txt is then a real conflict.
void TestRenameJob::caseOnlyRenameOntoAnotherLink()
{
    QFETCH(bool, resolve);
    const QString a = makeFile("a.txt", "shared");
    if (QFileInfo::exists(path("A.txt")))
        QSKIP("this file system ignores case");
#ifdef Q_OS_LINUX
    if (::link(QFile::encodeName(a).constData(), QFile::encodeName(path("A.txt")).constData()) != 0)
        QSKIP("no hard links of different case here");
#else
    QSKIP("hard links are made through the Linux call");
#endif
    FileEntryList entries{entryFor(a, "A.txt")};

    RenameJob::run(entries, m_history, resolve, {}, RunReporter(m_reporter));

    if (resolve) {
        QCOMPARE(entries[0].status, int(StatusSuccess));
        QCOMPARE(names(), (QStringList{"A(1).txt", "A.txt"}));
    } else {
        QCOMPARE(entries[0].status, int(StatusFailed));
        QCOMPARE(names(), (QStringList{"A.txt", "a.txt"}));
    }
    QCOMPARE(contentOf(path("A.txt")), QByteArray("shared"));
}

void TestRenameJob::folderMode_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<QStringList>("occupied");
    QTest::addColumn<QString>("expected");
    QTest::newRow("version") << "v1.5" << "v1.6" << QStringList() << "v1.6";
    QTest::newRow("resolved with dot") << "a" << "rel.2" << QStringList{"rel.2"} << "rel(1).2";
    QTest::newRow("resolved without dot") << "a" << "b" << QStringList{"b", "b(1)"} << "b(2)";
}

void TestRenameJob::folderMode()
{
    QFETCH(QString, folder);
    QFETCH(QString, proposal);
    QFETCH(QStringList, occupied);
    QFETCH(QString, expected);
    const QString source = makeFolder(folder);
    makeFile(folder + "/inside.txt", "inside");
    for (const QString &name : occupied)
        makeFolder(name);
    FileEntryList entries{entryFor(source, proposal)};

    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(entries[0].status, int(StatusSuccess));
    QCOMPARE(entries[0].path, path(expected));
    QCOMPARE(entries[0].currentName, expected);
    QCOMPARE(contentOf(path(expected) + "/inside.txt"), QByteArray("inside"));
    for (const QString &name : occupied)
        QVERIFY(QDir(path(name)).isEmpty());

    RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));
    QCOMPARE(contentOf(path(folder) + "/inside.txt"), QByteArray("inside"));
    QCOMPARE(entries[0].newName, expected);
}

void TestRenameJob::undoFollowsIdsAfterListChanged()
{
    FileEntryList entries{entryFor(makeFile("a.txt"), "a2.txt"), entryFor(makeFile("b.txt"), "b2.txt"),
                          entryFor(makeFile("c.txt"), "c2.txt")};
    RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(names(), (QStringList{"a2.txt", "b2.txt", "c2.txt"}));

    // Since the batch: b's row removed, c's row moved to the top, a new row added at the end.
    const FileEntry a = entries[0];
    const FileEntry c = entries[2];
    FileEntry added = entryFor(makeFile("n.txt"), "n2.txt");
    added.status = StatusFailed;
    entries = FileEntryList{c, a, added};
    Calls calls;

    const RenameJobResult result =
        RenameJob::undo(entries, m_history, false, recorder(calls), RunReporter(m_reporter));

    QCOMPARE(result.renamed, 3);
    QCOMPARE(names(), (QStringList{"a.txt", "b.txt", "c.txt", "n.txt"}));
    QCOMPARE(calls.rows, (QVector<int>{0, 1}));
    QCOMPARE(entries[0].path, path("c.txt"));
    QCOMPARE(entries[0].newName, QString("c2.txt"));
    QCOMPARE(entries[1].path, path("a.txt"));
    QCOMPARE(entries[2].path, path("n.txt"));
    QCOMPARE(entries[2].newName, QString("n2.txt"));
    QCOMPARE(entries[2].status, int(StatusFailed));
}

void TestRenameJob::undoUnwindsChainWithinBatch()
{
    FileEntryList entries{entryFor(makeFile("b.txt", "B"), "c.txt"), entryFor(makeFile("a.txt", "A"), "b.txt")};
    RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(contentOf(path("c.txt")), QByteArray("B"));
    QCOMPARE(contentOf(path("b.txt")), QByteArray("A"));

    const RenameJobResult result = RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));

    QCOMPARE(result.renamed, 2);
    QCOMPARE(names(), (QStringList{"a.txt", "b.txt"}));
    QCOMPARE(contentOf(path("a.txt")), QByteArray("A"));
    QCOMPARE(contentOf(path("b.txt")), QByteArray("B"));
}

void TestRenameJob::undoLeavesItemNotWhereBatchLeftIt()
{
    FileEntryList entries{entryFor(makeFile("a.txt", "mine"), "b.txt")};
    RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
    entries[0].newName = "c.txt";
    RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
    // Another program takes the name b.txt, so the newest batch cannot be undone for this row.
    makeFile("b.txt", "foreign");
    WarningListener listener;
    RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(entries[0].path, path("c.txt"));

    // The older batch must not take the foreign b.txt for the row's item.
    RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));

    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(contentOf(path("b.txt")), QByteArray("foreign"));
    QCOMPARE(contentOf(path("c.txt")), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(path("a.txt")));
    QCOMPARE(listener.messages,
             (QStringList{RenameJob::failureMessage(path("b.txt")),
                          "文件“" + path("b.txt") + "”已被替换，未恢复其原名！"}));
}

void TestRenameJob::undoOfItemRenamedElsewhere()
{
    FileEntryList entries{entryFor(makeFile("a.txt"), "b.txt"), entryFor(makeFile("c.txt"), "d.txt")};
    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));
    QVERIFY(QFile::rename(path("b.txt"), path("elsewhere.txt")));

    const RenameJobResult result = RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(result.missing, 1);
    QCOMPARE(entries[0].status, int(StatusMissing));
    QCOMPARE(entries[1].status, int(StatusPending));
    QCOMPARE(names(), (QStringList{"c.txt", "elsewhere.txt"}));
}

void TestRenameJob::undoLeavesAnotherItemAtThePathAlone_data()
{
    QTest::addColumn<bool>("rowDeleted");
    QTest::newRow("row still listed") << false;
    QTest::newRow("row deleted since") << true;
}

void TestRenameJob::undoLeavesAnotherItemAtThePathAlone()
{
    QFETCH(bool, rowDeleted);
    FileEntryList entries{entryFor(makeFile("a.txt", "mine"), "b.txt")};
    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));
    // Another program moves the renamed file away and puts an unrelated one under its name.
    QVERIFY(QFile::rename(path("b.txt"), path("moved.txt")));
    makeFile("b.txt", "someone else's");
    if (rowDeleted)
        entries.clear();
    WarningListener listener;

    const RenameJobResult result = RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(result.renamed, 0);
    QCOMPARE(result.failed, 1);
    QCOMPARE(names(), (QStringList{"b.txt", "moved.txt"}));
    QFile other(path("b.txt"));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("someone else's"));
    QCOMPARE(listener.messages.size(), 1);
}

void TestRenameJob::undoLeavesNewItemInTheOldPlaceAlone_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("file") << false;
    QTest::newRow("folder") << true;
}

// The renamed item is deleted and a new one made under its name at once: the file system may hand the new
// item the freed inode number, so device and inode number alone would take it for the renamed one.
void TestRenameJob::undoLeavesNewItemInTheOldPlaceAlone()
{
    QFETCH(bool, folder);
    const QString before = folder ? makeFolder("A") : makeFile("a.txt", "old");
    if (folder)
        makeFile("A/inside.txt", "old");
    const QString after = path(folder ? "B" : "b.txt");
    FileEntryList entries{entryFor(before, nameOf(after))};
    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));
    QCOMPARE(entries[0].path, after);

    const QDateTime oldBirth = QFileInfo(after).birthTime();
    const auto replace = [&] {
        if (folder) {
            QDir(after).removeRecursively();
            QDir().mkdir(after);
            makeFile("B/new.txt", "new");
        } else {
            QFile::remove(after);
            makeFile("b.txt", "new");
        }
        // A person replaces an item long after it was made; birth times are kept at clock-tick resolution,
        // so an item made within the old one's tick is made again.
        return !oldBirth.isValid() || QFileInfo(after).birthTime() != oldBirth;
    };
    QTRY_VERIFY(replace());
    QCOMPARE(contentOf(folder ? after + "/new.txt" : after), QByteArray("new"));
    WarningListener listener;

    const RenameJobResult result = RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(result.renamed, 0);
    QCOMPARE(result.failed, 1);
    QCOMPARE(entries[0].status, int(StatusFailed));
    QCOMPARE(names(), QStringList{nameOf(after)});
    QCOMPARE(contentOf(folder ? after + "/new.txt" : after), QByteArray("new"));
    QCOMPARE(listener.messages, QStringList{"文件“" + after + "”已被替换，未恢复其原名！"});
}

void TestRenameJob::nestedFoldersFollowTheirParent_data()
{
    QTest::addColumn<bool>("parentFirst");
    QTest::newRow("parent row first") << true;
    QTest::newRow("child row first") << false;
}

void TestRenameJob::nestedFoldersFollowTheirParent()
{
    QFETCH(bool, parentFirst);
    const QString parent = makeFolder("p");
    const QString child = makeFolder("p/c");
    makeFile("p/c/keep.txt", "x");
    FileEntry parentEntry = entryFor(parent, "X_p");
    FileEntry childEntry = entryFor(child, "X_c");
    FileEntryList entries = parentFirst ? FileEntryList{parentEntry, childEntry} : FileEntryList{childEntry, parentEntry};
    const int childRow = parentFirst ? 1 : 0;
    QVector<int> moved;
    const RenameJob::RowCallback onRow = [&moved](int row, const FileEntry &, RowOutcome outcome) {
        if (outcome == RowOutcome::Moved)
            moved.append(row);
    };

    const RenameJobResult result = RenameJob::run(entries, m_history, false, onRow, RunReporter(m_reporter));

    QCOMPARE(result.renamed, 2);
    QCOMPARE(result.missing, 0);
    QVERIFY(QFileInfo::exists(path("X_p/X_c/keep.txt")));
    QCOMPARE(entries[childRow].path, path("X_p/X_c"));
    QCOMPARE(entries[childRow].status, int(StatusSuccess));
    QCOMPARE(moved.size(), 1);

    const RenameJobResult undone = RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));

    QCOMPARE(undone.renamed, 2);
    QCOMPARE(undone.failed, 0);
    QVERIFY(QFileInfo::exists(path("p/c/keep.txt")));
    QCOMPARE(entries[childRow].path, path("p/c"));
    QCOMPARE(entries[1 - childRow].path, path("p"));
}

void TestRenameJob::nestedFolderFollowsAParentWithoutARow()
{
    // w/A and w/A/B listed; B renamed, then A; A's row removed; two undos put both back.
    const QString a = makeFolder("A");
    makeFolder("A/B");
    makeFile("A/B/keep.txt", "x");
    FileEntryList entries{entryFor(a), entryFor(path("A/B"), "BX")};
    RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(entries[1].path, path("A/BX"));
    entries[0].newName = QStringLiteral("AX");
    entries[1].newName = entries[1].currentName;
    RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(entries[1].path, path("AX/BX"));
    entries.removeFirst();

    const RenameJobResult first = RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(first.renamed, 1);
    QCOMPARE(entries[0].path, path("A/BX"));
    const RenameJobResult second = RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(second.renamed, 1);
    QCOMPARE(second.failed, 0);
    QVERIFY(QFileInfo::exists(path("A/B/keep.txt")));
    QCOMPARE(entries[0].path, path("A/B"));
}

void TestRenameJob::movesRecordEveryStepInOrder()
{
    // A swap goes through a step aside; replaying the moves in order takes each old path to its new one.
    const QString a = makeFile("a.txt", "A");
    const QString b = makeFile("b.txt", "B");
    FileEntryList entries{entryFor(a, "b.txt"), entryFor(b, "a.txt")};
    const RenameJobResult result = RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
    QCOMPARE(result.renamed, 2);
    QCOMPARE(contentOf(a), QByteArray("B"));
    const auto follow = [&result](QString p) {
        for (const auto &move : result.moves) {
            if (p == move.first)
                p = move.second;
        }
        return p;
    };
    QCOMPARE(follow(a), b);
    QCOMPARE(follow(b), a);
    QVERIFY(result.moves.size() >= 3);
}

void TestRenameJob::failureWarnings_data()
{
    QTest::addColumn<int>("failures");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
    QTest::newRow("four") << 4;
    QTest::newRow("ten") << 10;
}

void TestRenameJob::failureWarnings()
{
    QFETCH(int, failures);
    FileEntryList entries;
    QStringList expected;
    for (int i = 0; i < failures; ++i) {
        const QString taken = QString("taken%1.txt").arg(i);
        makeFile(taken);
        entries.append(entryFor(makeFile(QString("f%1.txt").arg(i)), taken));
        if (i < JobFailureReporter::DialogLimit)
            expected.append(RenameJob::failureMessage(path(taken)));
    }
    entries.append(entryFor(makeFile("ok.txt"), "fine.txt"));
    if (failures > JobFailureReporter::DialogLimit)
        expected.append(QString("另有%1个项目操作失败，请查看列表中的状态").arg(failures - JobFailureReporter::DialogLimit));
    WarningListener listener;

    const RenameJobResult result = RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));

    QCOMPARE(listener.messages, expected);
    QCOMPARE(result.failed, failures);
    for (int i = 0; i < failures; ++i)
        QCOMPARE(entries[i].status, int(StatusFailed));
    QCOMPARE(entries.last().status, int(StatusSuccess));

    // The next job starts counting afresh.
    listener.messages.clear();
    if (failures > 0) {
        RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
        QCOMPARE(listener.messages.size(), qMin(failures, JobFailureReporter::DialogLimit) + (failures > 3));
    }
}

QTEST_GUILESS_MAIN(TestRenameJob)
#include "tst_renamejob.moc"

void TestRenameJob::ringThatCannotTurnIsPutBack_data()
{
    QTest::addColumn<QString>("lock"); // "b.txt": the item stays immutable; "folder": the folder is, after one step
    QTest::addColumn<QStringList>("expectedNames");
    QTest::addColumn<int>("renamed");
    QTest::newRow("a member cannot move") << "b.txt" << QStringList{"a.txt", "b.txt", "c.txt"} << 0;
    // Nothing can move back: c keeps the name it took, and the row of a says where a waits, under a name that
    // says whose it is.
    QTest::newRow("folder locked mid-ring") << "folder" << QStringList{"a.txt", "b.txt"} << 1;
}

void TestRenameJob::ringThatCannotTurnIsPutBack()
{
    QFETCH(QString, lock);
    QFETCH(QStringList, expectedNames);
    QFETCH(int, renamed);
#ifdef Q_OS_LINUX
    if (::geteuid() != 0 || !setImmutable(makeFile("probe"), true))
        QSKIP("needs root and a file system with the immutable flag");
    setImmutable(path("probe"), false);
    QFile::remove(path("probe"));
    // a to b, b to c, c to a: a steps aside, c takes a's name, b cannot take c's.
    FileEntryList entries{entryFor(makeFile("a.txt"), "b.txt"), entryFor(makeFile("b.txt"), "c.txt"),
                          entryFor(makeFile("c.txt"), "a.txt")};
    QString locked = lock == "folder" ? m_dir->path() : path(lock);
    if (lock != "folder")
        QVERIFY(setImmutable(locked, true));
    auto unlock = qScopeGuard([&] { setImmutable(locked, false); });
    const RenameJob::RowCallback lockFolder = [&](int, const FileEntry &, RowOutcome) {
        if (lock == "folder")
            setImmutable(locked, true);
    };
    WarningListener listener;

    const RenameJobResult result = RenameJob::run(entries, m_history, false, lockFolder, RunReporter(m_reporter));
    setImmutable(locked, false);

    QCOMPARE(result.renamed, renamed);
    QCOMPARE(m_history.canUndo(), renamed > 0);
    QStringList visible;
    QString temporary;
    for (const QString &name : names()) {
        if (isTemporaryName(name))
            temporary = name;
        else
            visible.append(name);
    }
    QCOMPARE(visible, expectedNames);
    for (int row = 0; row < entries.size(); ++row) {
        QCOMPARE(entries[row].status, int(row < 3 - renamed ? StatusFailed : StatusSuccess));
        QVERIFY2(QFileInfo::exists(entries[row].path), qPrintable(entries[row].path));
    }
    if (lock == "folder") {
        // c.txt took a's name and could not go back; a waits under its temporary name, and says so.
        QVERIFY(temporary.startsWith(".quorlin-a.txt-"));
        QCOMPARE(contentOf(path(temporary)), QByteArray("a.txt"));
        QCOMPARE(entries[0].path, path(temporary));
        QVERIFY(listener.messages.contains(RenameJob::leftElsewhereMessage(path("a.txt"), path(temporary))));
        return;
    }
    QVERIFY(temporary.isEmpty());
    for (const QString &name : expectedNames)
        QCOMPARE(contentOf(path(name)), name.toUtf8());
    QCOMPARE(listener.messages.first(), QString("命名文件“" + path("c.txt") + "”失败，请确认权限！"));
#else
    QSKIP("the immutable flag is a Linux test device");
#endif
}

void TestRenameJob::swapInsideARenamedFolder_data()
{
    QTest::addColumn<bool>("folderRowFirst");
    QTest::newRow("folder row first") << true;
    QTest::newRow("folder row last") << false;
}

void TestRenameJob::swapInsideARenamedFolder()
{
    QFETCH(bool, folderRowFirst);
    makeFolder("D");
    FileEntryList entries{entryFor(makeFile("D/x.txt"), "y.txt"), entryFor(makeFile("D/y.txt"), "x.txt")};
    const FileEntry folder = entryFor(path("D"), "E");
    if (folderRowFirst)
        entries.prepend(folder);
    else
        entries.append(folder);
    WarningListener listener;

    const RenameJobResult result = RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));

    QCOMPARE(listener.messages, QStringList());
    QCOMPARE(result.renamed, 3);
    QCOMPARE(contentOf(path("E/y.txt")), QByteArray("D/x.txt"));
    QCOMPARE(contentOf(path("E/x.txt")), QByteArray("D/y.txt"));
    for (const FileEntry &entry : entries)
        QVERIFY2(QFileInfo::exists(entry.path), qPrintable(entry.path));

    RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));

    QCOMPARE(listener.messages, QStringList());
    QCOMPARE(contentOf(path("D/x.txt")), QByteArray("D/x.txt"));
    QCOMPARE(contentOf(path("D/y.txt")), QByteArray("D/y.txt"));
    QCOMPARE(QDir(path("D")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
}

void TestRenameJob::undoTellsTheNameItGave()
{
    FileEntryList entries{entryFor(makeFile("a.txt", "mine"), "b.txt")};
    RenameJob::run(entries, m_history, true, {}, RunReporter(m_reporter));
    makeFile("a.txt", "newcomer");
    WarningListener listener;

    RenameJob::undo(entries, m_history, true, {}, RunReporter(m_reporter));

    QCOMPARE(contentOf(path("a(1).txt")), QByteArray("mine"));
    QCOMPARE(contentOf(path("a.txt")), QByteArray("newcomer"));
    QCOMPARE(listener.messages,
             QStringList{"原名“" + path("a.txt") + "”已被占用，文件已恢复为“" + path("a(1).txt") + "”"});
}

void TestRenameJob::temporaryNameSaysWhoseItIs_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("short") << "photo.jpg";
    QTest::newRow("84 Chinese characters") << QString(84, QChar(0x7167)) + ".jpg";
    QTest::newRow("astral characters") << QString::fromUcs4(U"\U0001F600").repeated(63);
}

void TestRenameJob::temporaryNameSaysWhoseItIs()
{
    QFETCH(QString, name);
    const QString temporary = temporaryPathFor(path(name));
    const QString temporaryName = nameOf(temporary);
    QCOMPARE(QFileInfo(temporary).absolutePath(), m_dir->path());
    QVERIFY(isTemporaryName(temporaryName));
    QVERIFY(QFile::encodeName(temporaryName).size() <= 255);
    QVERIFY(temporaryName.startsWith(".quorlin-" + name.left(20)));
    // Cut between characters, never within one: the name survives bytes to text to bytes.
    QCOMPARE(QFile::decodeName(QFile::encodeName(temporaryName)), temporaryName);
    QVERIFY(QFile(temporary).open(QIODevice::WriteOnly));
}

// exFAT through FUSE has neither the no-replace flag nor hard links. Another program creating the targets while
// the job renames onto them must never lose a file.
void TestRenameJob::raceOnExfatReplacesNothing()
{
#ifdef Q_OS_LINUX
    EngineTest::ScratchMount mount(EngineTest::ScratchMount::ExFat);
    if (!mount.isMounted())
        QSKIP(qPrintable(mount.skipReason()));
    const QString folder = mount.path();
    constexpr int Count = 400;
    FileEntryList entries;
    for (int i = 0; i < Count; ++i) {
        const QString source = folder + QStringLiteral("/item%1.txt").arg(i);
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("item" + QByteArray::number(i));
        file.close();
        entries.append(entryFor(source, QStringLiteral("target%1.txt").arg(i)));
    }
    std::atomic<bool> stop{false};
    std::atomic<int> done{-1};
    QVector<int> foreign;
    // Each time the job finishes a row, the other program waits a random few microseconds and creates the next
    // row's target: over hundreds of rows it lands at every point of the job's rename.
    std::thread other([&] {
        int seen = -1;
        while (!stop.load()) {
            const int now = done.load();
            if (now == seen || now + 1 >= Count) {
                std::this_thread::yield();
                continue;
            }
            seen = now;
            std::this_thread::sleep_for(std::chrono::microseconds(QRandomGenerator::global()->bounded(300)));
            const int i = now + 1;
            const QByteArray target = QFile::encodeName(folder + QStringLiteral("/target%1.txt").arg(i));
            const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd < 0)
                continue;
            const QByteArray content = "foreign" + QByteArray::number(i);
            const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
            ::close(fd);
            if (written)
                foreign.append(i);
        }
    });
    const RenameJob::RowCallback progress = [&](int row, const FileEntry &, RowOutcome) { done = row; };
    const RenameJobResult result = RenameJob::run(entries, m_history, false, progress, RunReporter(m_reporter));
    stop = true;
    other.join();

    for (const int i : qAsConst(foreign))
        QCOMPARE(contentOf(folder + QStringLiteral("/target%1.txt").arg(i)), "foreign" + QByteArray::number(i));
    for (int i = 0; i < Count; ++i)
        QCOMPARE(contentOf(entries.at(i).path), "item" + QByteArray::number(i));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), Count + foreign.size());
    QCOMPARE(result.renamed + result.failed, Count);
    qInfo("%d renamed, %d targets taken by the other program first", result.renamed, int(foreign.size()));
#else
    QSKIP("FUSE and loop devices are Linux test devices");
#endif
}

void TestRenameJob::folderRenamedDuringTheJob_data()
{
    QTest::addColumn<QStringList>("targets"); // of a.txt, b.txt, c.txt
    QTest::addColumn<bool>("duringUndo");     // the folder moves while the batch is undone, not while it runs
    QTest::newRow("plain renames") << QStringList{"x.txt", "y.txt", "z.txt"} << false;
    QTest::newRow("a chain") << QStringList{"b.txt", "c.txt", "d.txt"} << false;
    QTest::newRow("a swap") << QStringList{"b.txt", "a.txt", "z.txt"} << false;
    QTest::newRow("a ring") << QStringList{"b.txt", "c.txt", "a.txt"} << false;
    QTest::newRow("undo of plain renames") << QStringList{"x.txt", "y.txt", "z.txt"} << true;
    QTest::newRow("undo of a ring") << QStringList{"b.txt", "c.txt", "a.txt"} << true;
}

// Someone renames the folder after the job's first row and makes a new folder under its old name: every item
// still takes its planned name, inside the folder where it is now; nothing lands in the new folder, nothing is
// left under a temporary name, every row says where its item is, and undo finds the items there.
void TestRenameJob::folderRenamedDuringTheJob()
{
    QFETCH(QStringList, targets);
    QFETCH(bool, duringUndo);
    makeFolder("F");
    const QStringList names{"a.txt", "b.txt", "c.txt"};
    FileEntryList entries;
    for (int i = 0; i < names.size(); ++i)
        entries.append(entryFor(makeFile("F/" + names.at(i)), targets.at(i)));
    bool moved = false;
    QHash<int, QString> reported;
    const RenameJob::RowCallback moveFolder = [&](int row, const FileEntry &entry, RowOutcome) {
        reported.insert(row, entry.path);
        if (!moved)
            moved = QDir().rename(path("F"), path("G")) && QDir().mkdir(path("F"));
    };
    WarningListener listener;

    if (duringUndo) {
        RenameJob::run(entries, m_history, false, {}, RunReporter(m_reporter));
        RenameJob::undo(entries, m_history, false, moveFolder, RunReporter(m_reporter));
    } else {
        RenameJob::run(entries, m_history, false, moveFolder, RunReporter(m_reporter));
    }

    QVERIFY(moved);
    QCOMPARE(listener.messages, QStringList());
    QCOMPARE(QDir(path("F")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    const QStringList &planned = duringUndo ? names : targets;
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(contentOf(path("G/" + planned.at(i))), ("F/" + names.at(i)).toUtf8());
        QCOMPARE(entries.at(i).path, path("G/" + planned.at(i)));
        QCOMPARE(reported.value(i), entries.at(i).path);
    }
    QCOMPARE(QDir(path("G")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 3);
    if (duringUndo)
        return;
    // The batch's history followed the folder: undo puts every item back, there.
    RenameJob::undo(entries, m_history, false, {}, RunReporter(m_reporter));
    for (const QString &name : names)
        QCOMPARE(contentOf(path("G/" + name)), ("F/" + name).toUtf8());
}
