#include "testutil_filelist.h"
#include "testutil_modal.h"

#include "hub/entrystatus.h"
#include "filelist/actiondelegate.h"
#include "filelist/customtabelwidget.h"
#include "rename/filelistwidget.h"
#include "filelist/tableroles.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace FileListTest;

namespace {

using List = std::unique_ptr<FileListWidget>;

List makeList(bool folderMode = false)
{
    List list(new FileListWidget);
    list->setFolderMode(folderMode);
    list->resize(1000, 600);
    list->show();
    return list;
}

QList<QUrl> urlsOf(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return urls;
}

// Sends the events a drag from a file manager (or from the table itself) produces over target, then
// delivers the queued work of the drop. Returns whether the drop was accepted.
bool dragAndDrop(QWidget *target, const QPoint &pos, QMimeData *mime,
                 Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction, Qt::DropAction *answered = nullptr)
{
    std::unique_ptr<QMimeData> owner(mime);
    QDragEnterEvent enter(pos, offered, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, offered, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(pos, offered, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::sendPostedEvents();
    if (answered)
        *answered = drop.dropAction();
    return drop.isAccepted();
}

bool dropFiles(QWidget *target, const QStringList &paths)
{
    auto *mime = new QMimeData;
    mime->setUrls(urlsOf(paths));
    return dragAndDrop(target, target->rect().center(), mime);
}

QStringList column(const FileListWidget &list, int col)
{
    QStringList texts;
    for (int row = 0; row < list.table()->rowCount(); ++row)
        texts.append(list.table()->item(row, col)->text());
    return texts;
}

QStringList newNames(const FileListWidget &list)
{
    QStringList names;
    for (const FileEntry &entry : list.entries())
        names.append(entry.newName);
    return names;
}

QRect cellRect(const FileListWidget &list, int row, int col)
{
    return list.table()->visualRect(list.table()->model()->index(row, col));
}

QPoint drawnButton(const FileListWidget &list, int row, const QString &name)
{
    const QRect cell = cellRect(list, row, FileListWidget::OperateColumn);
    return list.table()->actionDelegate()->buttonRect(cell, name).center();
}

void clickHeader(const FileListWidget &list, int section)
{
    QHeaderView *header = list.table()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
}

// A double click as the platform delivers it: the first click, then the double-click event.
void doubleClick(QWidget *widget, const QPoint &pos)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
}

QStringList makeFiles(const QString &root, const QStringList &names)
{
    QStringList paths;
    for (const QString &name : names)
        paths.append(makeFile(root, name));
    return paths;
}

int countPixels(const QImage &image, const std::function<bool(QColor)> &match)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += match(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

} // namespace

class TestFileList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startsEmpty();
    void addBuildsRows();
    void duplicates_data();
    void duplicates();
    void capacityBoundary();
    void dropInFileMode();
    void dropInFolderMode();
    void oneDropIsOneAddition();
    void dropTenThousand();
    void dropNothingUsable();
    void dropOntoFilledTable();
    void dropIsNeverAMove_data();
    void dropIsNeverAMove();
    void dropHardNames();
    void rawNameIsNeverTakenForALookAlike_data();
    void rawNameIsNeverTakenForALookAlike();
    void sortAlternatesAcrossColumns();
    void sortByFolder();
    void sortIgnoresStatusAndActionColumns();
    void moveRowByDrag();
    void dragOfAnotherTableIgnored();
    void editKeepsOwnSuffix_data();
    void editKeepsOwnSuffix();
    void editCancelledKeepsName();
    void typedNameSurvivesReordering_data();
    void typedNameSurvivesReordering();
    void deleteLastRow();
    void deleteMiddleRow();
    void pressAndReleaseOnDifferentButtons();
    void openButtonReveals();
    void clearList();
    void clickEmptyArea_data();
    void clickEmptyArea();
    void clickEmptyAreaCancelled();
    void statusCellFollowsStylesheet();
    void narrowListKeepsActionsInView();
};

void TestFileList::initTestCase()
{
    // No file manager on a bus here: revealing falls back to opening the folder, which the tests catch.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorlin-test-bus");
}

void TestFileList::startsEmpty()
{
    List list = makeList();
    QVERIFY(list->findChild<QWidget *>("emptyList")->isVisible());
    QVERIFY(!list->table()->isVisible());
    QCOMPARE(list->findChild<QLabel *>("addFileTipLabel")->text(), QStringLiteral("点击添加/拖拽文件到此区域"));
    QStringList titles;
    for (int col = 0; col < list->table()->columnCount(); ++col)
        titles.append(list->table()->horizontalHeaderItem(col)->text());
    QCOMPARE(titles, QStringList({"原文件名", "新文件名", "文件位置", "状态", "操作"}));
}

void TestFileList::addBuildsRows()
{
    QTemporaryDir dir;
    const QString path = makeFile(dir.path(), "sub/报告.docx");
    List list = makeList();
    AdditionRecorder hub;
    QSignalSpy empty(list.get(), &FileListWidget::tabelEmpty);

    list->addFiles({path});

    QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.at(0).at(0).toBool(), false);
    QVERIFY(list->table()->isVisible());
    QVERIFY(!list->findChild<QWidget *>("emptyList")->isVisible());

    QCOMPARE(list->entries().size(), 1);
    const FileEntry &entry = list->entries().first();
    QCOMPARE(entry.currentName, QStringLiteral("报告.docx"));
    QCOMPARE(entry.newName, QStringLiteral("报告.docx"));
    QCOMPARE(entry.path, path);
    QCOMPARE(entry.status, int(StatusPending));
    QVERIFY(!QUuid::fromString(entry.id).isNull());
    QVERIFY(entry.id.startsWith('{'));

    CustomTabelWidget *t = list->table();
    // Set up while hidden, the table places its header when it is first shown.
    QTRY_VERIFY(t->horizontalHeader()->height() > 0);
    QVERIFY(t->viewport()->geometry().top() >= t->horizontalHeader()->geometry().bottom());
    QCOMPARE(t->item(0, 0)->text(), entry.currentName);
    QCOMPARE(t->item(0, 0)->data(TableRole::Id).toString(), entry.id);
    QVERIFY(!t->item(0, 0)->icon().isNull());
    QVERIFY(!(t->item(0, 0)->flags() & Qt::ItemIsEditable));
    QCOMPARE(t->item(0, 1)->text(), entry.newName);
    QVERIFY(t->item(0, 1)->flags() & Qt::ItemIsEditable);
    QCOMPARE(t->item(0, 1)->data(TableRole::Suffix).toString(), QStringLiteral("docx"));
    QCOMPARE(t->item(0, 2)->text(), dir.path() + "/sub");
    QCOMPARE(t->item(0, 3)->text(), QStringLiteral("待操作"));
    QCOMPARE(t->statusAt(0, 3), int(StatusPending));
    QCOMPARE(t->item(0, 4)->data(TableRole::Id).toString(), entry.id);
    QCOMPARE(t->rowHeight(0), 80);
}

void TestFileList::duplicates_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("twice in one batch") << QStringList{"a.txt", "a.txt", "b.txt"} << QStringList()
                                        << QStringList{"START", "END:1"} << QStringList{"a.txt", "b.txt"};
    QTest::newRow("across batches") << QStringList{"a.txt"} << QStringList{"a.txt", "b.txt", "b.txt"}
                                    << QStringList{"START", "END:0", "START", "END:2"}
                                    << QStringList{"a.txt", "b.txt"};
    QTest::newRow("case differs") << QStringList{"a.txt"} << QStringList{"A.txt"}
                                  << QStringList{"START", "END:0", "START", "END:0"}
                                  << QStringList{"a.txt", "A.txt"};
    QTest::newRow("trailing slash names the same item") << QStringList{"a.txt/"} << QStringList{"a.txt"}
                                                       << QStringList{"START", "END:0", "START", "END:1"}
                                                       << QStringList{"a.txt"};
}

void TestFileList::duplicates()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QTemporaryDir dir;
    makeFiles(dir.path(), {"a.txt", "b.txt", "A.txt"});
    auto inDir = [&](const QStringList &names) {
        QStringList paths;
        for (const QString &name : names)
            paths.append(dir.path() + '/' + name);
        return paths;
    };
    List list = makeList();
    AdditionRecorder hub;
    list->addFiles(inDir(first));
    if (!second.isEmpty())
        list->addFiles(inDir(second));
    QTEST(hub.log, "log");
    QTEST(column(*list, 0), "rows");
    QCOMPARE(list->entries().size(), list->table()->rowCount());
}

void TestFileList::capacityBoundary()
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 3003; ++i)
        paths.append(makeFile(dir.path(), QStringLiteral("f%1.txt").arg(i)));
    List list = makeList();
    list->addFiles(paths.mid(0, 2999));

    AdditionRecorder hub;
    QSignalSpy empty(list.get(), &FileListWidget::tabelEmpty);
    list->addFiles({paths.at(0), paths.at(2999), paths.at(3000), paths.at(3001)});
    QCOMPARE(list->table()->rowCount(), 3000);
    QCOMPARE(list->entries().size(), 3000);
    QCOMPARE(list->entries().last().path, paths.at(2999));
    QCOMPARE(hub.log, QStringList({"START", "END:1", "LIMIT"}));
    QCOMPARE(empty.count(), 1);

    hub.log.clear();
    list->addFiles({paths.at(3002)});
    QCOMPARE(hub.log, QStringList({"START", "END:0", "LIMIT"}));
    QCOMPARE(list->table()->rowCount(), 3000);

    hub.log.clear();
    list->addFiles({paths.at(5)});
    QCOMPARE(hub.log, QStringList({"START", "END:1"}));
}

void TestFileList::dropInFileMode()
{
    QTemporaryDir dir;
    const QString a = makeFile(dir.path(), "a.txt");
    makeFile(dir.path(), "d/b.txt");
    makeFile(dir.path(), "d/sub/c.txt");
    makeFile(dir.path(), "d/.hidden.txt");
    makeFile(dir.path(), "d/.hdir/x.txt");
    makeDir(dir.path(), "d/emptySub");
    List list = makeList();
    AdditionRecorder hub;

    // Dropped on the empty area: the list takes it.
    QVERIFY(dropFiles(list->findChild<QWidget *>("addFileAreaWidget"), {a, dir.path() + "/d"}));

    QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    QStringList paths;
    for (const FileEntry &entry : list->entries())
        paths.append(entry.path);
    QCOMPARE(paths, QStringList({a, dir.path() + "/d/b.txt", dir.path() + "/d/sub/c.txt"}));
}

void TestFileList::dropInFolderMode()
{
    QTemporaryDir dir;
    const QString a = makeFile(dir.path(), "a.txt");
    const QString one = makeDir(dir.path(), "one");
    const QString two = makeDir(dir.path(), "two");
    makeFile(dir.path(), "two/inner.txt");
    List list = makeList(true);
    AdditionRecorder hub;

    QVERIFY(dropFiles(list.get(), {a, two, one}));

    QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    QCOMPARE(column(*list, 0), QStringList({"two", "one"}));
    QCOMPARE(list->entries().at(0).path, two);
    // A folder has no extension to keep.
    QCOMPARE(list->table()->item(0, 1)->data(TableRole::Suffix).toString(), QString());

    hub.log.clear();
    QVERIFY(dropFiles(list.get(), {a}));
    QVERIFY(hub.log.isEmpty());
    QCOMPARE(list->entries().size(), 2);
}

void TestFileList::oneDropIsOneAddition()
{
    QTemporaryDir dir;
    const QStringList paths = makeFiles(dir.path(), {"a.txt", "b.txt", "c.txt", "d/c.txt"});
    List list = makeList();
    list->addFiles(paths.mid(0, 2));
    AdditionRecorder hub;

    QVERIFY(dropFiles(list.get(), {paths.at(0), paths.at(1), paths.at(2), dir.path() + "/d", dir.path() + "/d"}));

    QCOMPARE(hub.log, QStringList({"START", "END:3"}));
    QCOMPARE(list->entries().size(), 4);
}

void TestFileList::dropTenThousand()
{
    QTemporaryDir dir;
    const QString many = makeDir(dir.path(), "many");
    for (int i = 0; i < 10000; ++i)
        QFile(many + QStringLiteral("/%1.txt").arg(i)).open(QIODevice::WriteOnly);
    List list = makeList();
    AdditionRecorder hub;

    QVERIFY(dropFiles(list.get(), {many}));

    QCOMPARE(hub.log, QStringList({"START", "END:0", "LIMIT"}));
    QCOMPARE(list->table()->rowCount(), 3000);
    QCOMPARE(list->entries().size(), 3000);
}

void TestFileList::dropNothingUsable()
{
    QTemporaryDir dir;
    const QString real = makeFile(dir.path(), "real.txt");
    List list = makeList();
    AdditionRecorder hub;

    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(dir.path() + "/vanished.txt"), QUrl("https://example.invalid/x.txt")});
    QVERIFY(dragAndDrop(list.get(), QPoint(10, 10), mime));
    QVERIFY(hub.log.isEmpty());
    QVERIFY(list->entries().isEmpty());

    auto *text = new QMimeData;
    text->setText("not a file");
    QVERIFY(!dragAndDrop(list.get(), QPoint(10, 10), text));

    QVERIFY(dropFiles(list.get(), {dir.path() + "/vanished.txt", real}));
    QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    QCOMPARE(column(*list, 0), QStringList({"real.txt"}));
}

void TestFileList::dropOntoFilledTable()
{
    QTemporaryDir dir;
    const QStringList paths = makeFiles(dir.path(), {"a.txt", "b.txt"});
    List list = makeList();
    list->addFiles({paths.at(0)});
    AdditionRecorder hub;

    // Files dragged over the rows pass through the table to the list.
    QVERIFY(dropFiles(list->table()->viewport(), {paths.at(1)}));

    QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    QCOMPARE(column(*list, 0), QStringList({"a.txt", "b.txt"}));
}

void TestFileList::dropIsNeverAMove_data()
{
    QTest::addColumn<int>("offered");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("answered");
    QTest::newRow("copy or move offered") << int(Qt::CopyAction | Qt::MoveAction) << true << int(Qt::CopyAction);
    QTest::newRow("link or move offered") << int(Qt::LinkAction | Qt::MoveAction) << true << int(Qt::LinkAction);
    QTest::newRow("only move offered") << int(Qt::MoveAction) << false << int(Qt::IgnoreAction);
}

void TestFileList::dropIsNeverAMove()
{
    QFETCH(int, offered);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString a = makeFile(dir.path(), "a.txt");
    List list = makeList();
    auto *mime = new QMimeData;
    mime->setUrls(urlsOf({a}));
    Qt::DropAction answered = Qt::IgnoreAction;

    QCOMPARE(dragAndDrop(list.get(), QPoint(10, 10), mime, Qt::DropActions(offered), &answered), accepted);

    if (accepted)
        QTEST(int(answered), "answered");
    QCOMPARE(list->entries().size(), accepted ? 1 : 0);
    QVERIFY(QFile::exists(a));
}

void TestFileList::dropHardNames()
{
    QTemporaryDir dir;
    const QString folder = makeDir(dir.path(), "names");
    const QStringList names{"emoji 😀.txt", "עברית.txt", "zero\u200Bwidth.txt", "line\nbreak.txt", "tab\tname.txt",
                            QString(80, QChar(0x6587)) + ".txt"};
    for (const QString &name : names)
        makeFile(folder, name);
#ifndef Q_OS_WIN
    // A name that is not valid UTF-8 cannot be spelled as a QString path: it is left out, and counted.
    const QByteArray raw = QFile::encodeName(folder) + "/bad\xff\xfe.txt";
    FILE *f = std::fopen(raw.constData(), "w");
    QVERIFY(f);
    std::fclose(f);
    auto removeRaw = qScopeGuard([&raw] { std::remove(raw.constData()); });
#endif
    List list = makeList();
    AdditionRecorder hub;
    QVERIFY(dropFiles(list.get(), {folder}));
#ifndef Q_OS_WIN
    QTRY_COMPARE(hub.log, QStringList({"START", "END:0", "MESSAGE:已经为您过滤1个名称无法识别的文件！"}));
#else
    QTRY_COMPARE(hub.log, QStringList({"START", "END:0"}));
#endif
    QStringList listed;
    for (const FileEntry &entry : list->entries())
        listed.append(entry.currentName);
    listed.sort();
    QStringList expected = names;
    expected.sort();
    QCOMPARE(listed, expected);
    list->grab();
}

void TestFileList::rawNameIsNeverTakenForALookAlike_data()
{
    QTest::addColumn<bool>("folderMode");
    QTest::newRow("file page") << false;
    QTest::newRow("folder page") << true;
}

void TestFileList::rawNameIsNeverTakenForALookAlike()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names are text");
#else
    QFETCH(bool, folderMode);
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    // "a\xff" and its look-alike, the valid name "a\xef\xbf\xbd" that Qt shows with the same text.
    const QByteArray raw = root + "/a\xff.txt";
    const QByteArray lookAlike = root + "/a\xef\xbf\xbd.txt";
    for (const QByteArray &path : {raw, lookAlike}) {
        if (folderMode) {
            QCOMPARE(::mkdir(path.constData(), 0755), 0);
        } else {
            const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
    }
    List list = makeList(folderMode);
    AdditionRecorder hub;
    // A file manager sends the name's bytes, percent-encoded.
    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromEncoded("file://" + raw.toPercentEncoding("/"))});
    QVERIFY(dragAndDrop(list.get(), list->rect().center(), mime));
    QTRY_COMPARE(hub.log, QStringList({"START", "END:0", "MESSAGE:已经为您过滤1个名称无法识别的文件！"}));
    QVERIFY(list->entries().isEmpty());
    // Given as text (a dialog's answer), the path is just as ambiguous.
    list->addFiles({QFile::decodeName(raw)});
    QVERIFY(list->entries().isEmpty());
    QCOMPARE(hub.log.last(), QStringLiteral("MESSAGE:已经为您过滤1个名称无法识别的文件！"));
#endif
}

void TestFileList::sortAlternatesAcrossColumns()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"a10.txt", "b1.txt", "a2.txt"}));
    list->entries()[0].status = StatusSuccess;
    list->table()->setStatusCell(0, FileListWidget::StatusColumn, StatusSuccess);
    const QString idOfA10 = list->entries().at(0).id;

    clickHeader(*list, FileListWidget::NewNameColumn);
    QCOMPARE(newNames(*list), QStringList({"a2.txt", "a10.txt", "b1.txt"}));
    QCOMPARE(column(*list, 1), newNames(*list));
    clickHeader(*list, FileListWidget::NewNameColumn);
    QCOMPARE(newNames(*list), QStringList({"b1.txt", "a10.txt", "a2.txt"}));
    clickHeader(*list, FileListWidget::NewNameColumn);
    QCOMPARE(newNames(*list), QStringList({"a2.txt", "a10.txt", "b1.txt"}));
    clickHeader(*list, FileListWidget::NameColumn);
    QCOMPARE(column(*list, 0), QStringList({"b1.txt", "a10.txt", "a2.txt"}));

    // Every cell of a row moved with its record.
    CustomTabelWidget *t = list->table();
    QCOMPARE(t->item(1, 0)->data(TableRole::Id).toString(), idOfA10);
    QCOMPARE(t->item(1, 4)->data(TableRole::Id).toString(), idOfA10);
    QCOMPARE(t->statusAt(1, FileListWidget::StatusColumn), int(StatusSuccess));
    QCOMPARE(t->item(1, FileListWidget::StatusColumn)->text(), QStringLiteral("成功"));
    QCOMPARE(t->statusAt(0, FileListWidget::StatusColumn), int(StatusPending));
    QCOMPARE(t->horizontalHeader()->sortIndicatorSection(), int(FileListWidget::NameColumn));
    QCOMPARE(t->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
}

void TestFileList::sortByFolder()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"10/x.txt", "2/y.txt", "1/z.txt"}));
    clickHeader(*list, FileListWidget::FolderColumn);
    QCOMPARE(column(*list, 0), QStringList({"z.txt", "y.txt", "x.txt"}));
}

void TestFileList::sortIgnoresStatusAndActionColumns()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"b.txt", "a.txt"}));
    QHeaderView *header = list->table()->horizontalHeader();
    clickHeader(*list, FileListWidget::StatusColumn);
    clickHeader(*list, FileListWidget::OperateColumn);
    QCOMPARE(column(*list, 0), QStringList({"b.txt", "a.txt"}));
    QVERIFY(!header->property("comper").toBool());
    clickHeader(*list, FileListWidget::NameColumn);
    QCOMPARE(column(*list, 0), QStringList({"a.txt", "b.txt"}));
}

void TestFileList::moveRowByDrag()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"a.txt", "b.txt", "c.txt", "d.txt"}));
    CustomTabelWidget *t = list->table();
    QSignalSpy moved(t, &CustomTabelWidget::SortChanged);

    const QPoint onC = cellRect(*list, 2, 1).center();
    QVERIFY(dragAndDrop(t->viewport(), onC, t->rowMimeData(0)));

    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 2);
    QCOMPARE(moved.at(0).at(1).toInt(), 0);
    QCOMPARE(column(*list, 0), QStringList({"b.txt", "c.txt", "a.txt", "d.txt"}));
    QCOMPARE(newNames(*list), column(*list, 1));
    QCOMPARE(t->item(2, 0)->data(TableRole::Id).toString(), list->entries().at(2).id);
    QCOMPARE(t->currentRow(), 2);

    // Dropping a row onto itself moves nothing.
    QVERIFY(!dragAndDrop(t->viewport(), cellRect(*list, 1, 0).center(), t->rowMimeData(1)));
    QCOMPARE(column(*list, 0), QStringList({"b.txt", "c.txt", "a.txt", "d.txt"}));
}

void TestFileList::dragOfAnotherTableIgnored()
{
    QTemporaryDir dir;
    const QStringList paths = makeFiles(dir.path(), {"a.txt", "b.txt"});
    List list = makeList();
    List other = makeList();
    list->addFiles(paths);
    other->addFiles(paths);
    CustomTabelWidget *t = list->table();

    QVERIFY(!dragAndDrop(t->viewport(), cellRect(*list, 1, 0).center(), other->table()->rowMimeData(0)));
    QCOMPARE(column(*list, 0), QStringList({"a.txt", "b.txt"}));
}

void TestFileList::editKeepsOwnSuffix_data()
{
    QTest::addColumn<bool>("folderMode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("own extension kept") << false << "报告.docx" << "总结.txt" << "总结.docx";
    QTest::newRow("typed without extension") << false << "a.txt" << "b" << "b.txt";
    QTest::newRow("only the last extension") << false << "a.tar.gz" << "x.zip" << "x.gz";
    QTest::newRow("item without extension") << false << "Makefile" << "b.doc" << "b";
    QTest::newRow("nothing left: proposal kept") << false << "a.txt" << "" << "a.txt";
    QTest::newRow("folder: whole name") << true << "rel.2" << "x.y" << "x.y";
}

void TestFileList::editKeepsOwnSuffix()
{
    QFETCH(bool, folderMode);
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QTemporaryDir dir;
    const QString path = folderMode ? makeDir(dir.path(), name) : makeFile(dir.path(), name);
    List list = makeList(folderMode);
    list->addFiles({path});
    CustomTabelWidget *t = list->table();

    doubleClick(t->viewport(), cellRect(*list, 0, 1).center());
    auto *editor = t->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(t->editedItem(), t->item(0, 1));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    typeText(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);

    QTRY_VERIFY(!t->viewport()->findChild<QLineEdit *>());
    QTEST(t->item(0, 1)->text(), "expected");
    QTEST(list->entries().first().newName, "expected");
    QCOMPARE(list->entries().first().currentName, name);
    QVERIFY(!t->editedItem());
}

void TestFileList::editCancelledKeepsName()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles({makeFile(dir.path(), "a.txt")});
    CustomTabelWidget *t = list->table();
    doubleClick(t->viewport(), cellRect(*list, 0, 1).center());
    auto *editor = t->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QTest::keyClicks(editor, "zzz");
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!t->viewport()->findChild<QLineEdit *>());
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("a.txt"));
    QCOMPARE(list->entries().first().newName, QStringLiteral("a.txt"));
}

void TestFileList::typedNameSurvivesReordering_data()
{
    QTest::addColumn<bool>("byDrag");
    QTest::newRow("header click") << false;
    QTest::newRow("row moved") << true;
}

void TestFileList::typedNameSurvivesReordering()
{
    QFETCH(bool, byDrag);
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles({makeFile(dir.path(), "b.txt"), makeFile(dir.path(), "a.txt")});
    CustomTabelWidget *t = list->table();
    doubleClick(t->viewport(), cellRect(*list, 0, 1).center());
    auto *editor = t->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    typeText(editor, QStringLiteral("MINE.txt"));

    if (byDrag)
        list->onSortChanged(1, 0);
    else
        clickHeader(*list, FileListWidget::NameColumn);
    if (QLineEdit *open = t->viewport()->findChild<QLineEdit *>())
        QTest::keyClick(open, Qt::Key_Return);

    QTRY_VERIFY(!t->viewport()->findChild<QLineEdit *>());
    QCOMPARE(list->entries().at(0).currentName, QStringLiteral("a.txt"));
    QCOMPARE(list->entries().at(0).newName, QStringLiteral("a.txt"));
    QCOMPARE(list->entries().at(1).currentName, QStringLiteral("b.txt"));
    QCOMPARE(list->entries().at(1).newName, QStringLiteral("MINE.txt"));
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("a.txt"));
    QCOMPARE(t->item(1, 1)->text(), QStringLiteral("MINE.txt"));
}

void TestFileList::deleteLastRow()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles({makeFile(dir.path(), "a.txt")});
    QSignalSpy empty(list.get(), &FileListWidget::tabelEmpty);

    QTest::mouseClick(list->table()->viewport(), Qt::LeftButton, {}, drawnButton(*list, 0, "deleteBtn"));

    QCOMPARE(list->table()->rowCount(), 0);
    QVERIFY(list->entries().isEmpty());
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.at(0).at(0).toBool(), true);
    QVERIFY(list->findChild<QWidget *>("emptyList")->isVisible());
    QVERIFY(!list->table()->isVisible());
}

void TestFileList::deleteMiddleRow()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"a.txt", "b.txt", "c.txt"}));
    QSignalSpy empty(list.get(), &FileListWidget::tabelEmpty);

    QTest::mouseClick(list->table()->viewport(), Qt::LeftButton, {}, drawnButton(*list, 1, "deleteBtn"));

    QCOMPARE(column(*list, 0), QStringList({"a.txt", "c.txt"}));
    QCOMPARE(list->entries().size(), 2);
    QCOMPARE(list->entries().at(1).currentName, QStringLiteral("c.txt"));
    QCOMPARE(list->table()->item(1, 4)->data(TableRole::Id).toString(), list->entries().at(1).id);
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.at(0).at(0).toBool(), false);
    QVERIFY(list->table()->isVisible());
}

void TestFileList::pressAndReleaseOnDifferentButtons()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"a.txt", "b.txt"}));
    UrlCatcher catcher;
    QWidget *viewport = list->table()->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, drawnButton(*list, 0, "deleteBtn"));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, drawnButton(*list, 0, "openBtn"));
    QTest::mousePress(viewport, Qt::LeftButton, {}, drawnButton(*list, 0, "deleteBtn"));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, drawnButton(*list, 1, "deleteBtn"));

    QCOMPARE(list->entries().size(), 2);
    QVERIFY(catcher.opened.isEmpty());
}

void TestFileList::openButtonReveals()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"a.txt", "sub/b.txt"}));
    UrlCatcher catcher;

    QTest::mouseClick(list->table()->viewport(), Qt::LeftButton, {}, drawnButton(*list, 1, "openBtn"));

    QCOMPARE(catcher.opened, QList<QUrl>({QUrl::fromLocalFile(dir.path() + "/sub")}));
    QCOMPARE(list->entries().size(), 2);
}

void TestFileList::clearList()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles(makeFiles(dir.path(), {"a.txt", "b.txt"}));
    QSignalSpy undo(list.get(), &FileListWidget::canUndo);
    QSignalSpy empty(list.get(), &FileListWidget::tabelEmpty);

    list->clearList();

    QCOMPARE(list->table()->rowCount(), 0);
    QVERIFY(list->entries().isEmpty());
    QCOMPARE(undo.count(), 1);
    QCOMPARE(undo.at(0).at(0).toBool(), false);
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.at(0).at(0).toBool(), true);
    QVERIFY(list->findChild<QWidget *>("emptyList")->isVisible());
    QVERIFY(!list->table()->isVisible());
}

void TestFileList::clickEmptyArea_data()
{
    QTest::addColumn<bool>("folderMode");
    QTest::addColumn<QString>("title");
    QTest::newRow("file mode") << false << "打开";
    QTest::newRow("folder mode") << true << "选择目录";
}

void TestFileList::clickEmptyArea()
{
    QFETCH(bool, folderMode);
    QTemporaryDir dir;
    const QStringList paths = folderMode ? QStringList{makeDir(dir.path(), "one"), makeDir(dir.path(), "two")}
                                         : makeFiles(dir.path(), {"one", "two"});
    List list = makeList(folderMode);
    AdditionRecorder hub;
    QString title;
    ModalAnswerer picker("file or folder dialog", [&](QDialog *dialog) {
        title = dialog->windowTitle();
        ModalAnswerer::pickInFileDialog(dir.path(), "\"one\" \"two\"")(dialog);
    });

    QTest::mouseClick(list->findChild<QWidget *>("addFileAreaWidget"), Qt::LeftButton);

    QTEST(title, "title");
    QCOMPARE(hub.log, QStringList({"START", "END:0"}));
    QStringList added;
    for (const FileEntry &entry : list->entries())
        added.append(entry.path);
    QCOMPARE(added, paths);
    QVERIFY(list->table()->isVisible());
}

void TestFileList::clickEmptyAreaCancelled()
{
    List list = makeList();
    AdditionRecorder hub;
    ModalAnswerer cancel("file dialog", ModalAnswerer::reject());
    QTest::mouseClick(list->findChild<QWidget *>("addFileAreaWidget"), Qt::LeftButton);
    QVERIFY(hub.log.isEmpty());
    QVERIFY(list->findChild<QWidget *>("emptyList")->isVisible());
}

void TestFileList::statusCellFollowsStylesheet()
{
    const QString saved = qApp->styleSheet();
    qApp->setStyleSheet("QLabel#OperateStateLable[Success=\"2\"] { color: red; font-size: 16px; font-weight: bold; }"
                        "QLabel#OperateStateLable[Success=\"1\"] { color: #405DFF; font-size: 16px; font-weight: bold; }");
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles({makeFile(dir.path(), "a.txt")});
    CustomTabelWidget *t = list->table();
    auto isRed = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto isAccent = [](QColor c) { return c.blue() > 200 && c.red() < 110 && c.green() < 130; };
    const QRect cell = cellRect(*list, 0, FileListWidget::StatusColumn);

    t->setStatusCell(0, FileListWidget::StatusColumn, StatusFailed);
    QCOMPARE(t->item(0, FileListWidget::StatusColumn)->text(), QStringLiteral("失败"));
    QImage failed = t->viewport()->grab(cell).toImage();
    t->setStatusCell(0, FileListWidget::StatusColumn, StatusSuccess);
    QImage succeeded = t->viewport()->grab(cell).toImage();
    qApp->setStyleSheet(saved);

    QVERIFY(countPixels(failed, isRed) > 10);
    QCOMPARE(countPixels(failed, isAccent), 0);
    QVERIFY(countPixels(succeeded, isAccent) > 10);
    QCOMPARE(countPixels(succeeded, isRed), 0);
}

void TestFileList::narrowListKeepsActionsInView()
{
    QTemporaryDir dir;
    List list = makeList();
    list->addFiles({makeFile(dir.path(), "a.txt")});
    CustomTabelWidget *table = list->table();
    auto columnsWidth = [table] {
        int sum = 0;
        for (int column = 0; column < FileListWidget::OperateColumn; ++column)
            sum += table->columnWidth(column);
        return sum + 150;
    };

    list->resize(870, 600);
    QTRY_VERIFY(columnsWidth() <= table->viewport()->width());
    QVERIFY(table->columnWidth(FileListWidget::FolderColumn) < 300);
    QCOMPARE(table->columnWidth(FileListWidget::NameColumn), 200);

    list->resize(1400, 600);
    QTRY_COMPARE(table->columnWidth(FileListWidget::FolderColumn), 300);
}

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
