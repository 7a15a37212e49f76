// The conflict preview of the rename lists, checked against the rename job itself: every case is previewed on
// real files and then renamed, and each row must end as its preview said.
#include "jobs/jobfailurereporter.h"
#include "rename/conflictpreview.h"
#include "rename/renamejob.h"
#include "rename/renameorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// A preview row as the cases write it: "" nothing to say, "=name" resolution gives name, "name@2" the name is
// taken by row 2 (0-based), "name@-" by an item not in the list, "?reason" refused.
QString describe(const NameConflict &conflict)
{
    switch (conflict.kind) {
    case NameConflict::None:
        return QString();
    case NameConflict::Resolved:
        return QLatin1Char('=') + conflict.name;
    case NameConflict::Taken:
        return conflict.name + QLatin1Char('@')
            + (conflict.holderRow < 0 ? QStringLiteral("-") : QString::number(conflict.holderRow));
    case NameConflict::Refused:
        break;
    }
    switch (conflict.refusal) {
    case NameRefusal::Separator:
        return QStringLiteral("?separator");
    case NameRefusal::DotName:
        return QStringLiteral("?dot");
    case NameRefusal::NulCharacter:
        return QStringLiteral("?nul");
    case NameRefusal::MissingNamePart:
        return QStringLiteral("?namepart");
    case NameRefusal::TooLong:
        return QStringLiteral("?long");
    case NameRefusal::None:
        break;
    }
    return QStringLiteral("?");
}

QStringList describe(const ConflictReport &report)
{
    QStringList rows;
    for (const NameConflict &conflict : report.rows)
        rows.append(describe(conflict));
    return rows;
}

QString longName(int bytes, const QString &extension)
{
    return QString(bytes - extension.size(), QLatin1Char('n')) + extension;
}

// Rows used by the cases: "a.txt>b.txt" lists a.txt with the proposal b.txt; a listed item that is not on
// disk is written "!a.txt>b.txt".
struct Row
{
    QString name;
    QString proposal;
    bool missing = false;
};

Row parseRow(const QString &text)
{
    Row row;
    const int arrow = text.indexOf(QLatin1Char('>'));
    row.name = text.left(arrow);
    row.proposal = text.mid(arrow + 1);
    if (row.name.startsWith(QLatin1Char('!'))) {
        row.missing = true;
        row.name.remove(0, 1);
    }
    return row;
}

} // namespace

class TestConflictPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void order_data();
    void order();

    void previewEqualsJob_data();
    void previewEqualsJob();
    void manyRowsProposeOneName_data();
    void manyRowsProposeOneName();
    void undoUnwindsRings_data();
    void undoUnwindsRings();
    void ringMemberThatCannotTakeItsName_data();
    void ringMemberThatCannotTakeItsName();
    void readsEachFolderOnce();
    void nothingTouchedOnDisk();

    void hints_data();
    void hints();
    void summary_data();
    void summary();

private:
    QString path(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name; }
    void make(const QString &name, const QByteArray &content = QByteArray()) const;
    QStringList names() const;
    FileEntryList listed(const QStringList &rows, bool folders) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestConflictPreview::init()
{
    // QUORLIN_TEST_DIR runs the cases on another file system (an exFAT mount ignores letter case).
    const QString base = qEnvironmentVariable("QUORLIN_TEST_DIR");
    m_dir = base.isEmpty() ? std::make_unique<QTemporaryDir>()
                           : std::make_unique<QTemporaryDir>(base + QStringLiteral("/conflictpreview-XXXXXX"));
    QVERIFY(m_dir->isValid());
}

void TestConflictPreview::cleanup()
{
    m_dir.reset();
}

void TestConflictPreview::make(const QString &name, const QByteArray &content) const
{
    if (name.endsWith(QLatin1Char('/'))) {
        QVERIFY(QDir().mkpath(path(name.chopped(1))));
        return;
    }
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content.isEmpty() ? name.toUtf8() : content);
}

QStringList TestConflictPreview::names() const
{
    QStringList list =
        QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    list.sort();
    return list;
}

FileEntryList TestConflictPreview::listed(const QStringList &rows, bool folders) const
{
    FileEntryList entries;
    for (const QString &text : rows) {
        const Row row = parseRow(text);
        if (!row.missing)
            make(folders ? row.name + QLatin1Char('/') : row.name);
        FileEntry entry;
        entry.currentName = QFileInfo(row.name).fileName();
        entry.newName = row.proposal;
        entry.path = path(row.name);
        entry.id = QUuid::createUuid().toString();
        entries.append(entry);
    }
    return entries;
}

void TestConflictPreview::order_data()
{
    QTest::addColumn<QVector<int>>("blockers");
    QTest::addColumn<QString>("steps"); // "~n": n steps aside
    QTest::newRow("none waits") << QVector<int>{-1, -1, -1} << "0 1 2";
    QTest::newRow("chain in the wrong order") << QVector<int>{1, 2, -1} << "2 1 0";
    QTest::newRow("chain in the right order") << QVector<int>{-1, 0, 1} << "0 1 2";
    QTest::newRow("swap") << QVector<int>{1, 0} << "~0 1 0";
    QTest::newRow("ring of three") << QVector<int>{1, 2, 0} << "~0 2 1 0";
    QTest::newRow("tail into a ring") << QVector<int>{1, 2, 1, -1} << "~1 2 1 0 3";
    QTest::newRow("two wait for one") << QVector<int>{2, 2, -1} << "2 0 1";
    QTest::newRow("others keep their places") << QVector<int>{-1, 3, -1, -1, 1} << "0 3 1 2 4";
}

void TestConflictPreview::order()
{
    QFETCH(QVector<int>, blockers);
    QStringList steps;
    for (const RenameStep &step : renameOrder(blockers))
        steps.append((step.aside ? QStringLiteral("~") : QString()) + QString::number(step.rename));
    QTEST(steps.join(QLatin1Char(' ')), "steps");
}

void TestConflictPreview::previewEqualsJob_data()
{
    QTest::addColumn<bool>("folders");
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<QStringList>("disk"); // items not in the list; a trailing "/" makes a folder
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("preview");

    const QStringList nothing;
    QTest::newRow("duplicates, resolution on") << false << true << nothing
                                               << QStringList{"a.txt>x.txt", "b.txt>x.txt", "c.txt>x.txt"}
                                               << QStringList{"", "=x(1).txt", "=x(2).txt"};
    QTest::newRow("duplicates, resolution off") << false << false << nothing
                                                << QStringList{"a.txt>x.txt", "b.txt>x.txt", "c.txt>x.txt"}
                                                << QStringList{"", "x.txt@0", "x.txt@0"};
    QTest::newRow("an item outside the list, on") << false << true << QStringList{"x.txt"}
                                                  << QStringList{"a.txt>x.txt"} << QStringList{"=x(1).txt"};
    QTest::newRow("an item outside the list, off") << false << false << QStringList{"x.txt"}
                                                   << QStringList{"a.txt>x.txt"} << QStringList{"x.txt@-"};
    QTest::newRow("variants on disk are skipped")
        << false << true << QStringList{"x.txt", "x(2).txt"}
        << QStringList{"a.txt>x.txt", "b.txt>x.txt", "c.txt>x.txt"}
        << QStringList{"=x(1).txt", "=x(3).txt", "=x(4).txt"};
    QTest::newRow("a listed item that keeps its name, off")
        << false << false << nothing << QStringList{"a.txt>a.txt", "b.txt>a.txt"} << QStringList{"", "a.txt@0"};
    QTest::newRow("a listed item that keeps its name, on")
        << false << true << nothing << QStringList{"a.txt>", "b.txt>a.txt"} << QStringList{"", "=a(1).txt"};
    QTest::newRow("swap, off") << false << false << nothing << QStringList{"a.txt>b.txt", "b.txt>a.txt"}
                               << QStringList{"", ""};
    QTest::newRow("swap, on") << false << true << nothing << QStringList{"a.txt>b.txt", "b.txt>a.txt"}
                              << QStringList{"", ""};
    QTest::newRow("ring of three") << false << false << nothing
                                   << QStringList{"a.txt>b.txt", "b.txt>c.txt", "c.txt>a.txt"}
                                   << QStringList{"", "", ""};
    QTest::newRow("chain in the wrong order") << false << false << nothing
                                              << QStringList{"1.txt>2.txt", "2.txt>3.txt", "3.txt>4.txt"}
                                              << QStringList{"", "", ""};
    QTest::newRow("chain that ends on an item outside, off")
        << false << false << QStringList{"c.txt"} << QStringList{"a.txt>b.txt", "b.txt>c.txt"}
        << QStringList{"b.txt@1", "c.txt@-"};
    QTest::newRow("chain that ends on an item outside, on")
        << false << true << QStringList{"c.txt"} << QStringList{"a.txt>b.txt", "b.txt>c.txt"}
        << QStringList{"", "=c(1).txt"};
    QTest::newRow("a third row wants a name of a swap, off")
        << false << false << nothing << QStringList{"a.txt>b.txt", "b.txt>a.txt", "c.txt>a.txt"}
        << QStringList{"", "", "a.txt@1"};
    QTest::newRow("a third row wants a name of a swap, on")
        << false << true << nothing << QStringList{"a.txt>b.txt", "b.txt>a.txt", "c.txt>a.txt"}
        << QStringList{"", "", "=a(1).txt"};
    QTest::newRow("a freed name is free again") << false << false << nothing
                                                << QStringList{"a.txt>z.txt", "b.txt>a.txt"} << QStringList{"", ""};
    QTest::newRow("case-only change") << false << false << nothing << QStringList{"a.txt>A.txt"} << QStringList{""};
    QTest::newRow("case-only changes crossing") << false << true << nothing
                                                << QStringList{"a.txt>B.txt", "b.txt>A.txt"} << QStringList{"", ""};
    QTest::newRow("proposal equal to the name") << false << false << nothing << QStringList{"a.txt>a.txt"}
                                                << QStringList{""};
    QTest::newRow("missing item") << false << false << QStringList{"x.txt"} << QStringList{"!a.txt>x.txt"}
                                  << QStringList{""};
    QTest::newRow("dot name keeps its form") << false << true << QStringList{".gitignore"}
                                             << QStringList{".old>.gitignore"} << QStringList{"=.gitignore(1)"};
    QTest::newRow("refused names")
        << false << true << nothing
        << QStringList{"a.txt>x/y.txt", "b.txt>.", "c.txt>..", "d.txt>.txt",
                       QStringLiteral("e.txt>") + longName(256, ".txt"), QStringLiteral("f.txt>") + longName(255, ".txt"),
                       QStringLiteral("g.txt>a") + QChar(0) + QStringLiteral("b.txt")}
        << QStringList{"?separator", "?dot", "?dot", "?namepart", "?long", "", "?nul"};
    QTest::newRow("a name that resolution makes too long")
        << false << true << nothing
        << QStringList{QStringLiteral("a.txt>") + longName(254, ".txt"),
                       QStringLiteral("b.txt>") + longName(254, ".txt")}
        << QStringList{"", "?long"};
    QTest::newRow("folders may start with a dot") << true << false << nothing << QStringList{"a>.config", "b>.."}
                                                  << QStringList{"", "?dot"};
    QTest::newRow("folders: duplicates and an outside folder")
        << true << true << QStringList{"rel.2/"} << QStringList{"a>rel.2", "b>rel.2"}
        << QStringList{"=rel(1).2", "=rel(2).2"};
    QTest::newRow("folders: swap") << true << false << nothing << QStringList{"a>b", "b>a"} << QStringList{"", ""};
    QTest::newRow("folders inside listed folders: a chain inside a renamed folder")
        << true << false << nothing << QStringList{"p>q", "p/c>d", "p/d>e"} << QStringList{"", "", ""};
    QTest::newRow("folders inside listed folders: a swap inside a renamed folder")
        << true << false << nothing << QStringList{"p>q", "p/c>d", "p/d>c"} << QStringList{"", "", ""};
}

void TestConflictPreview::previewEqualsJob()
{
    QFETCH(bool, folders);
    QFETCH(bool, resolve);
    QFETCH(QStringList, disk);
    QFETCH(QStringList, rows);
    for (const QString &name : disk)
        make(name);
    FileEntryList entries = listed(rows, folders);
    const QStringList before = names();

    const ConflictReport report = ConflictPreview::check(entries, resolve, folders);
    QTEST(describe(report), "preview");
    QCOMPARE(names(), before);

    RenameHistory history;
    JobFailureReporter reporter;
    const FileEntryList proposed = entries;
    QVector<bool> renaming;
    for (const FileEntry &entry : qAsConst(entries))
        renaming.append(entry.newName != entry.currentName && QFileInfo::exists(entry.path));
    RenameJob::run(entries, history, resolve, {}, reporter);
    for (int row = 0; row < entries.size(); ++row) {
        const NameConflict &conflict = report.rows.at(row);
        const FileEntry &was = proposed.at(row);
        const FileEntry &now = entries.at(row);
        const bool renames = renaming.at(row) && !was.newName.isEmpty();
        switch (conflict.kind) {
        case NameConflict::None:
            QCOMPARE(QFileInfo(now.path).fileName(), renames ? was.newName : was.currentName);
            break;
        case NameConflict::Resolved:
            QCOMPARE(now.status, int(StatusSuccess));
            QCOMPARE(QFileInfo(now.path).fileName(), conflict.name);
            break;
        case NameConflict::Taken:
        case NameConflict::Refused:
            QCOMPARE(now.status, int(StatusFailed));
            QCOMPARE(QFileInfo(now.path).fileName(), was.currentName);
            break;
        }
        QVERIFY2(QFileInfo::exists(now.path) || !renames, qPrintable(now.path));
    }
    // Nothing was lost, and no temporary name is left behind.
    QCOMPARE(names().size(), before.size());
    for (const QString &name : names())
        QVERIFY2(!name.startsWith(QLatin1String(".quorlin-")), qPrintable(name));
}

void TestConflictPreview::manyRowsProposeOneName_data()
{
    QTest::addColumn<bool>("onDisk");
    QTest::newRow("the name is free") << false;
    QTest::newRow("the name is on disk") << true;
}

// 3000 rows all proposing one name: the preview gives each the name the job then gives it.
void TestConflictPreview::manyRowsProposeOneName()
{
    QFETCH(bool, onDisk);
    constexpr int count = 3000;
    if (onDisk)
        make(QStringLiteral("0report_.txt"), "before");
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows.append(QStringLiteral("f%1.txt>0report_.txt").arg(i));
    FileEntryList entries = listed(rows, false);

    const ConflictReport report = ConflictPreview::check(entries, true, false);
    QCOMPARE(report.conflicts, onDisk ? count : count - 1);
    QCOMPARE(ConflictPreview::summary(report),
             onDisk ? QStringLiteral("3000个名称冲突，将自动添加序号") : QStringLiteral("2999个名称冲突，将自动添加序号"));
    QCOMPARE(ConflictPreview::hint(report.rows.at(2)),
             onDisk ? QStringLiteral("将命名为“0report_(3).txt”") : QStringLiteral("将命名为“0report_(2).txt”"));

    RenameHistory history;
    JobFailureReporter reporter;
    RenameJob::run(entries, history, true, {}, reporter);
    for (int row = 0; row < count; ++row) {
        const NameConflict &conflict = report.rows.at(row);
        const QString shown = conflict.kind == NameConflict::Resolved ? conflict.name : QStringLiteral("0report_.txt");
        QCOMPARE(entries.at(row).currentName, shown);
        QCOMPARE(entries.at(row).status, int(StatusSuccess));
    }
}

void TestConflictPreview::undoUnwindsRings_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("swap") << QStringList{"a.txt>b.txt", "b.txt>a.txt"};
    QTest::newRow("ring of three") << QStringList{"a.txt>b.txt", "b.txt>c.txt", "c.txt>a.txt"};
    QTest::newRow("chain") << QStringList{"1.txt>2.txt", "2.txt>3.txt", "3.txt>4.txt"};
    QTest::newRow("case-only swap") << QStringList{"a.txt>B.txt", "b.txt>A.txt"};
}

void TestConflictPreview::undoUnwindsRings()
{
    QFETCH(QStringList, rows);
    FileEntryList entries = listed(rows, false);
    const QStringList before = names();
    RenameHistory history;
    JobFailureReporter reporter;

    const RenameJobResult done = RenameJob::run(entries, history, false, {}, reporter);
    QCOMPARE(done.renamed, rows.size());
    QCOMPARE(done.failed, 0);
    for (int row = 0; row < rows.size(); ++row) {
        const Row listedRow = parseRow(rows.at(row));
        QCOMPARE(entries.at(row).currentName, listedRow.proposal);
        // Each item carries its own content to its new name.
        QFile file(entries.at(row).path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), listedRow.name);
    }

    const RenameJobResult undone = RenameJob::undo(entries, history, false, {}, reporter);
    QCOMPARE(undone.renamed, rows.size());
    QCOMPARE(undone.failed, 0);
    QCOMPARE(names(), before);
    for (const FileEntry &entry : qAsConst(entries)) {
        QFile file(entry.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), entry.currentName);
    }
}

// A swap whose second half cannot be done because another program took the name meanwhile: with resolution
// off the item that stepped aside comes back (to a free variant of its name, its own being taken by now);
// with resolution on it takes the next free variant of its target. Nothing stays under a temporary name.
void TestConflictPreview::ringMemberThatCannotTakeItsName_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("name");
    QTest::newRow("resolution off") << false << int(StatusFailed) << "a(1).txt";
    QTest::newRow("resolution on") << true << int(StatusSuccess) << "b(1).txt";
}

void TestConflictPreview::ringMemberThatCannotTakeItsName()
{
    QFETCH(bool, resolve);
    FileEntryList entries = listed({"a.txt>b.txt", "b.txt>a.txt"}, false);
    RenameHistory history;
    JobFailureReporter reporter;
    const RenameJob::RowCallback takeName = [this](int row, const FileEntry &, RowOutcome outcome) {
        if (row == 1 && outcome == RowOutcome::Renamed)
            make(QStringLiteral("b.txt"), "outside");
    };

    RenameJob::run(entries, history, resolve, takeName, reporter);

    QTEST(entries.at(0).status, "status");
    QTEST(entries.at(0).currentName, "name");
    QFETCH(QString, name);
    QCOMPARE(entries.at(0).path, path(name));
    QFile moved(path(name));
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), QByteArray("a.txt"));
    QStringList expected{"a.txt", name, "b.txt"};
    expected.sort();
    QCOMPARE(names(), expected);
}

// Many rows in one folder cost one reading of it: an item made outside after the reading is not seen by that
// check, only by the next.
void TestConflictPreview::readsEachFolderOnce()
{
    FileEntryList entries = listed({"a.txt>x.txt", "b.txt>y.txt"}, false);
    QCOMPARE(describe(ConflictPreview::check(entries, false, false)), QStringList({"", ""}));
    make(QStringLiteral("y.txt"));
    QCOMPARE(describe(ConflictPreview::check(entries, false, false)), QStringList({"", "y.txt@-"}));
}

void TestConflictPreview::nothingTouchedOnDisk()
{
    make(QStringLiteral("x.txt"));
    const FileEntryList entries = listed({"a.txt>b.txt", "b.txt>a.txt", "c.txt>x.txt"}, false);
    const QStringList before = names();
    ConflictPreview::check(entries, true, false);
    ConflictPreview::check(entries, false, false);
    QCOMPARE(names(), before);
}

void TestConflictPreview::hints_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("holder");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("hint");
    QTest::newRow("none") << int(NameConflict::None) << "" << -1 << 0 << "";
    QTest::newRow("resolved") << int(NameConflict::Resolved) << "0report_(3).txt" << -1 << 0
                              << "将命名为“0report_(3).txt”";
    QTest::newRow("taken by a row") << int(NameConflict::Taken) << "x.txt" << 4 << 0
                                    << "名称“x.txt”已被第5行占用，开始命名后将失败";
    QTest::newRow("taken outside") << int(NameConflict::Taken) << "x.txt" << -1 << 0
                                   << "文件夹中已经存在“x.txt”，开始命名后将失败";
    QTest::newRow("separator") << int(NameConflict::Refused) << "a/b.txt" << -1 << int(NameRefusal::Separator)
                               << "新文件名“a/b.txt”含有路径分隔符，开始命名后将失败";
    QTest::newRow("dot") << int(NameConflict::Refused) << ".." << -1 << int(NameRefusal::DotName)
                         << "新文件名不能是“.”或“..”，开始命名后将失败";
    QTest::newRow("nul") << int(NameConflict::Refused) << QString("a") + QChar(0) << -1
                         << int(NameRefusal::NulCharacter) << "新文件名含有空字符，开始命名后将失败";
    QTest::newRow("name part") << int(NameConflict::Refused) << ".txt" << -1 << int(NameRefusal::MissingNamePart)
                               << "新文件名“.txt”缺少名称部分，开始命名后将失败";
    QTest::newRow("too long") << int(NameConflict::Refused) << QString(100, QChar(0x6587)) << -1
                              << int(NameRefusal::TooLong) << "新文件名超过255字节（共300字节），开始命名后将失败";
}

void TestConflictPreview::hints()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(int, holder);
    QFETCH(int, refusal);
    NameConflict conflict;
    conflict.kind = NameConflict::Kind(kind);
    conflict.name = name;
    conflict.holderRow = holder;
    conflict.refusal = NameRefusal(refusal);
    QTEST(ConflictPreview::hint(conflict), "hint");
}

void TestConflictPreview::summary_data()
{
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<int>("conflicts");
    QTest::addColumn<int>("refused");
    QTest::addColumn<QString>("line");
    QTest::newRow("nothing to say") << true << 0 << 0 << "";
    QTest::newRow("resolution on") << true << 3000 << 0 << "3000个名称冲突，将自动添加序号";
    QTest::newRow("resolution off") << false << 12 << 0 << "12个名称冲突，开始命名后将失败";
    QTest::newRow("refused only") << true << 0 << 2 << "2个新文件名无效，开始命名后将失败";
    QTest::newRow("both") << false << 12 << 2 << "12个名称冲突，开始命名后将失败；2个新文件名无效，开始命名后将失败";
}

void TestConflictPreview::summary()
{
    QFETCH(bool, resolve);
    QFETCH(int, conflicts);
    QFETCH(int, refused);
    ConflictReport report;
    report.resolving = resolve;
    report.conflicts = conflicts;
    report.refused = refused;
    QTEST(ConflictPreview::summary(report), "line");
}

QTEST_GUILESS_MAIN(TestConflictPreview)
#include "tst_conflictpreview.moc"
