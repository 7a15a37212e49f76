// The time pages as a user drives them: items added to the list, boxes ticked and times chosen on the panel,
// the start, undo, reset and clear buttons clicked, and the times checked on disk in a temporary folder.
#include "testutil_engine.h"
#include "testutil_filelist.h"
#include "testutil_modal.h"
#include "testutil_photos.h"

#include "app/mainwindow.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "controls/custormcheckbox.h"
#include "filelist/actiondelegate.h"
#include "filelist/customtabelwidget.h"
#include "filelist/tableroles.h"
#include "fileops/filetimes.h"
#include "timeprop/timelistwidget.h"
#include "timeprop/timepage.h"
#include "timeprop/timepagewidget.h"
#include "timeprop/timepreviewdelegate.h"
#include "timeprop/timepropertywidget.h"
#include "timeprop/timesettings.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <functional>
#include <memory>

using EngineTest::repeated;
using namespace FileListTest;

namespace {

// 2005-01-01 00:00:00 and 2003-03-03 03:03:03 in the test's time zone (UTC+8, set in initTestCase).
constexpr qint64 Jan2005 = 1104508800;
constexpr qint64 Mar2003 = 1046631783;

struct DiskTimes
{
    qint64 access = 0;
    long accessNs = 0;
    qint64 write = 0;
    long writeNs = 0;
    bool hasBirth = false;
    qint64 birth = 0;

    bool sameWrite(const DiskTimes &other) const { return write == other.write && writeNs == other.writeNs; }
};

DiskTimes onDisk(const QString &path)
{
    struct statx info = {};
    DiskTimes times;
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
                &info)
        != 0) {
        return times;
    }
    times.access = info.stx_atime.tv_sec;
    times.accessNs = info.stx_atime.tv_nsec;
    times.write = info.stx_mtime.tv_sec;
    times.writeNs = info.stx_mtime.tv_nsec;
    times.hasBirth = info.stx_mask & STATX_BTIME;
    times.birth = info.stx_btime.tv_sec;
    return times;
}

// Gives an item a known modification time (with a fraction a panel time never has).
void setWriteTime(const QString &path, qint64 seconds)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(seconds), 123456789}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0);
}

// An instant as the list shows it, in the test's time zone.
QString shown(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

// Every warning the main window would show.
class WarningRecorder : public QObject
{
    Q_OBJECT
public:
    WarningRecorder()
    {
        CNvGlobalObserver::instance()->addObserver(Channel::MessageErrorTip, Channel::NoName, this, OBSERVER_SLOT);
    }
    ~WarningRecorder() override
    {
        CNvGlobalObserver::instance()->removeObserver(Channel::MessageErrorTip, Channel::NoName, this);
    }

    QStringList messages;

public slots:
    void onPropertyValueChanged(const QString &, const QString &, const QVariant &value)
    {
        messages.append(value.toString());
    }
};

// Runs an action whenever the hub carries a channel.
class HubAction : public QObject
{
    Q_OBJECT
public:
    HubAction(const QString &channel, const QString &name, std::function<void()> action)
        : m_channel(channel), m_name(name), m_action(std::move(action))
    {
        CNvGlobalObserver::instance()->addObserver(m_channel, m_name, this, OBSERVER_SLOT);
    }
    ~HubAction() override { CNvGlobalObserver::instance()->removeObserver(m_channel, m_name, this); }

public slots:
    void onPropertyValueChanged(const QString &, const QString &, const QVariant &) { m_action(); }

private:
    QString m_channel;
    QString m_name;
    std::function<void()> m_action;
};

// One time page and the controls a user touches.
struct Page
{
    TimePage *page = nullptr;

    TimeListWidget *list() const { return page->editWidget()->fileList(); }
    TimePropertyWidget *panel() const { return page->propertyWidget(); }
    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return FileListTest::control<T>(page, name);
    }
    QToolButton *button(const char *name) const { return control<QToolButton>(name); }

    void add(const QStringList &paths) const { list()->addFiles(paths); }

    // Clicks the switch of a box; returns its state afterwards.
    bool clickBox(const char *name) const
    {
        auto *box = control<CustormCheckBox>(name);
        auto *check = box->findChild<QCheckBox *>(QStringLiteral("checkBox"));
        QStyleOptionButton option;
        option.initFrom(check);
        const QRect indicator = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check);
        QTest::mouseClick(check, Qt::LeftButton, {}, indicator.center());
        return box->isChecked();
    }
    void tick(const char *name) const
    {
        if (!control<CustormCheckBox>(name)->isChecked())
            clickBox(name);
    }
    void setDate(const char *name, const QDateTime &dateTime) const
    {
        control<QDateTimeEdit>(name)->setDateTime(dateTime);
    }
    void typeSpin(const char *name, int value) const
    {
        auto *spin = control<QSpinBox>(name);
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QString::number(value));
        QTest::keyClick(spin, Qt::Key_Enter);
    }
    void start() const { QTest::mouseClick(button("setBtn"), Qt::LeftButton); }

    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < list()->table()->rowCount(); ++row)
            texts.append(list()->table()->item(row, column)->text());
        return texts;
    }
    QStringList statuses() const { return column(TimeListWidget::StatusColumn); }
    // What the time cells of a column show beneath their first line: the new time, or why there is none.
    QStringList beneath(int column) const
    {
        QStringList texts;
        for (int row = 0; row < list()->table()->rowCount(); ++row) {
            const QTableWidgetItem *item = list()->table()->item(row, column);
            const QString note = item->data(TimePreviewDelegate::NoteRole).toString();
            const bool changes = !item->data(TimePreviewDelegate::OnDiskRole).toString().isEmpty();
            texts.append(!note.isEmpty() ? note : changes ? item->text() : QString());
        }
        return texts;
    }
    void chooseSource(const char *button) const { QTest::mouseClick(this->button(button), Qt::LeftButton); }
    QStringList names() const { return column(TimeListWidget::NameColumn); }
};

bool showsIcon(const QToolButton *button, const QString &path)
{
    return button->icon().pixmap(32, 32).toImage() == QIcon(path).pixmap(32, 32).toImage();
}

QString missingMessage(const QString &path)
{
    return QStringLiteral("文件“%1”不存在").arg(path);
}

QString creationRefusedMessage(const QString &path)
{
    return QStringLiteral("设置文件“%1”创建时间失败，所在文件系统不支持修改创建时间，未作任何修改！").arg(path);
}

} // namespace

class TestTimePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void modificationRunAndUndo_data();
    void modificationRunAndUndo();
    void boxesUnticked_data();
    void boxesUnticked();
    void creationRefused_data();
    void creationRefused();
    void previewFollowsPanel();
    void spinBoxesAndDateEdit();
    void localTimeToDisk();
    void calendarPopups();
    void startButtonFollowsList();
    void startRunsOnlyItsOwnPage();
    void missingFile();
    void settingsChangeDuringRun();
    void undoDepth();
    void failedRowsNotTouchedByUndo();
    void replacedItemNotUndone();
    void resetRestoresDefaults();
    void sortByHeader();
    void clearListForgetsHistory();
    void pageButtons();
    void addFolderOnFilePage();
    void dropFolderOnFolderPage();
    void warningsInMainWindow();
    void sourceButtons_data();
    void sourceButtons();
    void offsetPreviewRunAndUndo_data();
    void offsetPreviewRunAndUndo();
    void nameDateSkipsRowsWithoutDate_data();
    void nameDateSkipsRowsWithoutDate();
    void photoDatesReadOffTheWindow();

private:
    Page page(bool folderPage) const { return {folderPage ? m_folderPage.get() : m_filePage.get()}; }
    QString file(const QString &name, qint64 writeTime = Jan2005);
    QString folder(const QString &name, qint64 writeTime = Jan2005);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    std::unique_ptr<TimePage> m_filePage;
    std::unique_ptr<TimePage> m_folderPage;
};

void TestTimePage::initTestCase()
{
    QFile qss(QStringLiteral(":/qss/main.qss"));
    QVERIFY(qss.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromLatin1(qss.readAll()));
    // A zone away from UTC, so a time taken as UTC instead of local time shows.
    qputenv("TZ", "CST-8");
    tzset();
    QCOMPARE(QDateTime(QDate(2005, 1, 1), QTime(0, 0)).toSecsSinceEpoch(), Jan2005);
}

void TestTimePage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path();
    m_filePage = std::make_unique<TimePage>();
    m_filePage->setFolderMode(false);
    m_folderPage = std::make_unique<TimePage>();
    m_folderPage->setFolderMode(true);
    for (TimePage *p : {m_filePage.get(), m_folderPage.get()}) {
        p->resize(1300, 700);
        p->show();
        QVERIFY(QTest::qWaitForWindowExposed(p));
    }
}

void TestTimePage::cleanup()
{
    m_filePage.reset();
    m_folderPage.reset();
    m_dir.reset();
}

QString TestTimePage::file(const QString &name, qint64 writeTime)
{
    const QString path = makeFile(m_root, name);
    setWriteTime(path, writeTime);
    return path;
}

QString TestTimePage::folder(const QString &name, qint64 writeTime)
{
    const QString path = makeDir(m_root, name);
    setWriteTime(path, writeTime);
    return path;
}

void TestTimePage::modificationRunAndUndo_data()
{
    QTest::addColumn<bool>("folderPage");
    QTest::addColumn<bool>("secondGone"); // the second item goes between the preview and the run
    QTest::newRow("files") << false << false;
    QTest::newRow("folders") << true << false;
    QTest::newRow("files, the second gone") << false << true;
}

void TestTimePage::modificationRunAndUndo()
{
    QFETCH(bool, folderPage);
    QFETCH(bool, secondGone);
    const Page p = page(folderPage);
    const QStringList items =
        folderPage ? QStringList{folder("d1"), folder("d2")} : QStringList{file("a.txt"), file("b.txt")};
    QVERIFY(!p.button("undo")->isEnabled());
    QVERIFY(showsIcon(p.button("undo"), ":/image/disableUndo.svg"));
    p.add(items);
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), repeated("2005/01/01 00:00:00", 2));
    // Taken once listing has read the items (reading may move their access times).
    const QVector<DiskTimes> before = {onDisk(items.at(0)), onDisk(items.at(1))};

    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), repeated("2001/02/03 04:05:06", 2));
    if (secondGone)
        QVERIFY(QFile::remove(items.at(1)));
    // The rows a warning is about are on screen when it appears.
    QStringList statusesAtWarning;
    HubAction warned(Channel::MessageErrorTip, Channel::NoName, [&] { statusesAtWarning = p.statuses(); });
    const QStringList done = {"成功", secondGone ? "失败" : "成功"};

    p.start();
    QCOMPARE(p.statuses(), done);
    QCOMPARE(statusesAtWarning, secondGone ? done : QStringList());
    // A failed row shows what is on disk (nothing here), not the time it did not get.
    const QStringList set = {"2001/02/03 04:05:06", secondGone ? QString() : QStringLiteral("2001/02/03 04:05:06")};
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), set);
    QCOMPARE(p.beneath(TimeListWidget::ModificationColumn), QStringList({QString(), QString()}));
    for (int i = 0; i < items.size() - int(secondGone); ++i) {
        const DiskTimes after = onDisk(items.at(i));
        QCOMPARE(after.write, qint64(981144306)); // 2001-02-03 04:05:06 at UTC+8
        QCOMPARE(after.writeNs, 0L);
        // Nothing else is touched.
        QCOMPARE(after.access, before.at(i).access);
        QCOMPARE(after.accessNs, before.at(i).accessNs);
        QCOMPARE(after.birth, before.at(i).birth);
    }
    QVERIFY(p.button("undo")->isEnabled());
    QVERIFY(showsIcon(p.button("undo"), ":/image/undo.svg"));

    QTest::mouseClick(p.button("undo"), Qt::LeftButton);
    QVERIFY(showsIcon(p.button("undo"), ":/image/disableUndo.svg"));
    for (int i = 0; i < items.size() - int(secondGone); ++i)
        QVERIFY(onDisk(items.at(i)).sameWrite(before.at(i)));
    QCOMPARE(p.statuses(), QStringList({"待操作", secondGone ? "失败" : "待操作"}));
    QCOMPARE(p.column(TimeListWidget::ModificationColumn),
             QStringList({"2005/01/01 00:00:00", secondGone ? QString() : QStringLiteral("2005/01/01 00:00:00")}));
    QVERIFY(!p.button("undo")->isEnabled());
}

void TestTimePage::boxesUnticked_data()
{
    QTest::addColumn<bool>("folderPage");
    QTest::newRow("files") << false;
    QTest::newRow("folders") << true;
}

void TestTimePage::boxesUnticked()
{
    QFETCH(bool, folderPage);
    const Page p = page(folderPage);
    const QString item = folderPage ? folder("d") : file("a.txt");
    const DiskTimes before = onDisk(item);
    p.add({item});
    p.start();
    QCOMPARE(p.statuses(), QStringList{"成功"});
    const DiskTimes after = onDisk(item);
    QVERIFY(after.sameWrite(before));
    QCOMPARE(after.birth, before.birth);
    // Nothing was changed, so there is nothing to undo.
    QVERIFY(!p.button("undo")->isEnabled());
}

void TestTimePage::creationRefused_data()
{
    QTest::addColumn<bool>("folderPage");
    QTest::addColumn<bool>("alsoModification");
    QTest::addColumn<bool>("editedMeanwhile"); // the item is saved between the preview and the run
    QTest::newRow("file, creation only") << false << false << false;
    QTest::newRow("file, both boxes") << false << true << false;
    QTest::newRow("folder, both boxes") << true << true << false;
    QTest::newRow("file, creation only, edited meanwhile") << false << false << true;
}

void TestTimePage::creationRefused()
{
    QFETCH(bool, folderPage);
    QFETCH(bool, alsoModification);
    QFETCH(bool, editedMeanwhile);
    const Page p = page(folderPage);
    const QString item = folderPage ? folder("d") : file("a.txt");
    if (creationTimeSettable(item))
        QSKIP("this file system takes creation times");
    // The panel tells the user beforehand.
    QVERIFY(p.control<QLabel>("birthTimeTipLabel")->isVisible());
    QCOMPARE(p.control<QLabel>("birthTimeTipLabel")->text(), QStringLiteral("此系统多数文件系统不支持修改创建时间"));
    const DiskTimes before = onDisk(item);
    p.add({item});
    WarningRecorder warnings;
    p.tick("birthTimeSetCheck");
    p.setDate("birthDate", QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
    if (alsoModification)
        p.tick("modifiedTimeSetCheck");
    constexpr qint64 Jan2010 = 1262304000;
    if (editedMeanwhile)
        setWriteTime(item, Jan2010);

    p.start();
    QCOMPARE(p.statuses(), QStringList{"失败"});
    QCOMPARE(warnings.messages, QStringList{creationRefusedMessage(item)});
    const DiskTimes after = onDisk(item);
    QVERIFY(editedMeanwhile || after.sameWrite(before));
    QCOMPARE(after.birth, before.birth);
    QVERIFY(!p.button("undo")->isEnabled());
    // The row shows the times the item kept, not the ones it was refused.
    const FileTimes kept = readFileTimes(item);
    QCOMPARE(p.column(TimeListWidget::CreationColumn), QStringList{fileTimeText(kept.creationTime())});
    QCOMPARE(p.column(TimeListWidget::ModificationColumn),
             QStringList{editedMeanwhile ? shown(Jan2010) : QStringLiteral("2005/01/01 00:00:00")});
}

void TestTimePage::previewFollowsPanel()
{
    const Page p = page(false);
    const QString a = file("a.txt");
    p.add({a});
    const DiskTimes own = onDisk(a);
    QVERIFY(own.hasBirth);
    QCOMPARE(p.column(TimeListWidget::CreationColumn), QStringList{shown(own.birth)});

    const QDateTime chosen(QDate(2010, 10, 10), QTime(10, 10, 10));
    p.setDate("birthDate", chosen);
    // Unticked: the date changes nothing in the list.
    QCOMPARE(p.column(TimeListWidget::CreationColumn), QStringList{shown(own.birth)});
    QVERIFY(p.clickBox("birthTimeSetCheck"));
    QVERIFY(p.control("createTimeWidget")->isEnabled());
    QCOMPARE(p.column(TimeListWidget::CreationColumn), QStringList{"2010/10/10 10:10:10"});
    p.setDate("birthDate", chosen.addDays(1));
    QCOMPARE(p.column(TimeListWidget::CreationColumn), QStringList{"2010/10/11 10:10:10"});
    // A row added while the box is ticked shows the chosen time at once.
    p.add({file("b.txt")});
    QCOMPARE(p.column(TimeListWidget::CreationColumn), repeated("2010/10/11 10:10:10", 2));

    QVERIFY(!p.clickBox("birthTimeSetCheck"));
    QVERIFY(!p.control("createTimeWidget")->isEnabled());
    QCOMPARE(p.column(TimeListWidget::CreationColumn).at(0), shown(own.birth));
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), repeated("2005/01/01 00:00:00", 2));
}

void TestTimePage::spinBoxesAndDateEdit()
{
    const Page p = page(false);
    auto *birth = p.control<QDateTimeEdit>("birthDate");
    QCOMPARE(birth->displayFormat(), QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    QVERIFY(birth->calendarPopup());
    p.setDate("birthDate", QDateTime(QDate(2012, 5, 6), QTime(8, 30, 15)));
    QCOMPARE(p.control<QSpinBox>("createTimeH")->value(), 8);
    QCOMPARE(p.control<QSpinBox>("createTimeM")->value(), 30);
    QCOMPARE(p.control<QSpinBox>("createTimeS")->value(), 15);

    p.tick("birthTimeSetCheck");
    p.typeSpin("createTimeH", 7);
    QCOMPARE(birth->dateTime(), QDateTime(QDate(2012, 5, 6), QTime(7, 30, 15)));
    p.typeSpin("createTimeS", 59);
    QCOMPARE(birth->dateTime(), QDateTime(QDate(2012, 5, 6), QTime(7, 30, 59)));
    QCOMPARE(fileTimeSettings().creation, QDateTime(QDate(2012, 5, 6), QTime(7, 30, 59)));
    // The spin boxes keep to their ranges.
    QCOMPARE(p.control<QSpinBox>("createTimeH")->maximum(), 23);
    QCOMPARE(p.control<QSpinBox>("createTimeM")->maximum(), 59);

    // The modification row is its own.
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2013, 1, 2), QTime(23, 0, 1)));
    p.typeSpin("updateTimeM", 45);
    QCOMPARE(p.control<QDateTimeEdit>("modifiedDate")->dateTime(), QDateTime(QDate(2013, 1, 2), QTime(23, 45, 1)));
    QCOMPARE(fileTimeSettings().modification, QDateTime(QDate(2013, 1, 2), QTime(23, 45, 1)));
    QCOMPARE(birth->dateTime(), QDateTime(QDate(2012, 5, 6), QTime(7, 30, 59)));
    // The folder page's record is untouched.
    QVERIFY(folderTimeSettings().creation != fileTimeSettings().creation);
    QVERIFY(!folderTimeSettings().setCreation);
}

void TestTimePage::localTimeToDisk()
{
    const Page p = page(false);
    const QString a = file("a.txt");
    p.add({a});
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2020, 6, 30), QTime(23, 59, 59)));
    p.start();
    // 23:59:59 at UTC+8 is 15:59:59 UTC.
    QCOMPARE(onDisk(a).write, qint64(1593532799));
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), QStringList{"2020/06/30 23:59:59"});
}

void TestTimePage::calendarPopups()
{
    const Page p = page(false);
    for (const char *name : {"birthDate", "modifiedDate"}) {
        auto *edit = p.control<QDateTimeEdit>(name);
        QCalendarWidget *calendar = edit->calendarWidget();
        QVERIFY(calendar);
        // About a second after the panel is shown the popup takes its edit's width, or what a week needs.
        QTRY_VERIFY_WITH_TIMEOUT(calendar->minimumWidth() == calendar->maximumWidth(), 5000);
        QCOMPARE(calendar->maximumWidth(), qMax(edit->width(), calendar->minimumSizeHint().width()));
    }
}

void TestTimePage::startButtonFollowsList()
{
    const Page p = page(false);
    QToolButton *start = p.button("setBtn");
    QCOMPARE(start->text(), QStringLiteral("开始命名"));
    QVERIFY(!start->isEnabled());
    p.add({file("a.txt"), file("b.txt")});
    QVERIFY(start->isEnabled());
    // Deleting the rows one by one through their drawn delete buttons.
    CustomTabelWidget *t = p.list()->table();
    for (int left = 2; left > 0; --left) {
        const QRect cell = t->visualRect(t->model()->index(0, TimeListWidget::OperateColumn));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                          t->actionDelegate()->buttonRect(cell, QStringLiteral("deleteBtn")).center());
        QCOMPARE(t->rowCount(), left - 1);
    }
    QVERIFY(!start->isEnabled());
    QVERIFY(p.control("emptyList")->isVisible());
    p.add({file("c.txt")});
    QVERIFY(start->isEnabled());
    QTest::mouseClick(p.button("clearList"), Qt::LeftButton);
    QVERIFY(!start->isEnabled());
}

void TestTimePage::startRunsOnlyItsOwnPage()
{
    const Page files = page(false);
    const Page folders = page(true);
    const QString a = file("a.txt");
    const QString d = folder("d");
    files.add({a});
    folders.add({d});
    folders.tick("modifiedTimeSetCheck");
    folders.setDate("modifiedDate", QDateTime(QDate(2002, 2, 2), QTime(2, 2, 2)));
    files.tick("modifiedTimeSetCheck");
    files.setDate("modifiedDate", QDateTime(QDate(2001, 1, 1), QTime(1, 1, 1)));
    // Each page's settings reach only its own list.
    QCOMPARE(files.column(TimeListWidget::ModificationColumn), QStringList{"2001/01/01 01:01:01"});
    QCOMPARE(folders.column(TimeListWidget::ModificationColumn), QStringList{"2002/02/02 02:02:02"});

    files.start();
    QCOMPARE(files.statuses(), QStringList{"成功"});
    QCOMPARE(folders.statuses(), QStringList{"待操作"});
    QCOMPARE(onDisk(d).write, Jan2005);
    QCOMPARE(onDisk(a).write, QDateTime(QDate(2001, 1, 1), QTime(1, 1, 1)).toSecsSinceEpoch());
    QVERIFY(!folders.button("undo")->isEnabled());

    folders.start();
    QCOMPARE(onDisk(d).write, QDateTime(QDate(2002, 2, 2), QTime(2, 2, 2)).toSecsSinceEpoch());
    QCOMPARE(onDisk(a).write, QDateTime(QDate(2001, 1, 1), QTime(1, 1, 1)).toSecsSinceEpoch());
}

void TestTimePage::missingFile()
{
    const Page p = page(false);
    const QStringList items = {file("a.txt"), file("b.txt"), file("c.txt")};
    p.add(items);
    QVERIFY(QFile::remove(items.at(1)));
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
    WarningRecorder warnings;

    p.start();
    QCOMPARE(p.statuses(), QStringList({"成功", "失败", "成功"}));
    QCOMPARE(warnings.messages, QStringList{missingMessage(m_root + "/b.txt")});
    QCOMPARE(onDisk(items.at(0)).write, qint64(981144306));
    QCOMPARE(onDisk(items.at(2)).write, qint64(981144306));
    QVERIFY(p.button("undo")->isEnabled());
}

// A notice that arrives while a run works (here from the first warning) waits until the run is over.
void TestTimePage::settingsChangeDuringRun()
{
    const Page p = page(false);
    const QString missing = m_root + "/gone.txt";
    const QStringList items = {file("gone.txt"), file("a.txt"), file("b.txt")};
    p.add(items);
    QVERIFY(QFile::remove(missing));
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
    HubAction change(Channel::MessageErrorTip, Channel::NoName, [] {
        fileTimeSettings().modification = QDateTime(QDate(2011, 1, 1), QTime(0, 0));
        CNvGlobalObserver::instance()->notifyObservers(Channel::FileTimeProperty, Channel::RenameValueUpdate);
    });

    p.start();
    QCOMPARE(p.statuses(), QStringList({"失败", "成功", "成功"}));
    QCOMPARE(onDisk(items.at(1)).write, qint64(981144306));
    QCOMPARE(onDisk(items.at(2)).write, qint64(981144306));
    // Once the run is over the list shows what the next run would write.
    QCOMPARE(p.column(TimeListWidget::ModificationColumn).mid(1), repeated("2011/01/01 00:00:00", 2));
}

void TestTimePage::undoDepth()
{
    const Page p = page(false);
    const QString a = file("a.txt");
    const DiskTimes original = onDisk(a);
    p.add({a});
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    p.start();
    p.setDate("modifiedDate", QDateTime(QDate(2002, 1, 1), QTime(0, 0)));
    p.start();
    QCOMPARE(p.list()->undoDepth(), 2);
    QCOMPARE(onDisk(a).write, QDateTime(QDate(2002, 1, 1), QTime(0, 0)).toSecsSinceEpoch());

    QTest::mouseClick(p.button("undo"), Qt::LeftButton);
    QCOMPARE(onDisk(a).write, QDateTime(QDate(2001, 1, 1), QTime(0, 0)).toSecsSinceEpoch());
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), QStringList{"2001/01/01 00:00:00"});
    QVERIFY(p.button("undo")->isEnabled());
    QTest::mouseClick(p.button("undo"), Qt::LeftButton);
    QVERIFY(onDisk(a).sameWrite(original));
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), QStringList{"2005/01/01 00:00:00"});
    QVERIFY(!p.button("undo")->isEnabled());
    // Nothing left: an undo does nothing.
    p.list()->undoTimeJob();
    QVERIFY(onDisk(a).sameWrite(original));
}

void TestTimePage::failedRowsNotTouchedByUndo()
{
    const Page p = page(false);
    const QString a = file("a.txt");
    const QString b = file("b.txt");
    p.add({a, b});
    QVERIFY(QFile::remove(b));
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    WarningRecorder warnings;
    p.start();
    QCOMPARE(p.statuses(), QStringList({"成功", "失败"}));

    // b comes back before the undo: the run never changed it, so the undo leaves it alone.
    const QString again = file("b.txt", Mar2003);
    QCOMPARE(again, b);
    QTest::mouseClick(p.button("undo"), Qt::LeftButton);
    QCOMPARE(onDisk(a).write, Jan2005);
    QCOMPARE(onDisk(b).write, Mar2003);
    QCOMPARE(p.statuses(), QStringList({"待操作", "失败"}));
    QCOMPARE(warnings.messages, QStringList{missingMessage(b)});
}

void TestTimePage::replacedItemNotUndone()
{
    const Page p = page(false);
    const QString a = file("a.txt");
    p.add({a});
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    p.start();
    // Another item takes the path after the run.
    QVERIFY(QFile::remove(a));
    file("a.txt", Mar2003);
    WarningRecorder warnings;
    QTest::mouseClick(p.button("undo"), Qt::LeftButton);
    QCOMPARE(onDisk(a).write, Mar2003);
    QCOMPARE(p.statuses(), QStringList{"失败"});
    QCOMPARE(warnings.messages, QStringList{QStringLiteral("文件“%1”已被替换，未恢复其原时间！").arg(a)});
}

void TestTimePage::resetRestoresDefaults()
{
    const Page p = page(false);
    const QString a = file("a.txt");
    p.add({a});
    const QStringList spins = {"createTimeH", "createTimeM", "createTimeS",
                               "updateTimeH", "updateTimeM", "updateTimeS"};
    QVector<int> start;
    for (const QString &name : spins)
        start.append(p.control<QSpinBox>(qPrintable(name))->value());
    QTRY_VERIFY_WITH_TIMEOUT(p.panel()->defaultsRecorded(), 5000);

    p.tick("birthTimeSetCheck");
    p.tick("modifiedTimeSetCheck");
    p.setDate("birthDate", QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    p.setDate("modifiedDate", QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    for (const QString &name : spins)
        p.typeSpin(qPrintable(name), 3);
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), QStringList{"2001/01/01 03:03:03"});

    QTest::mouseClick(p.button("resetBtn"), Qt::LeftButton);
    QVERIFY(!p.control<CustormCheckBox>("birthTimeSetCheck")->isChecked());
    QVERIFY(!p.control<CustormCheckBox>("modifiedTimeSetCheck")->isChecked());
    QVERIFY(!p.control("createTimeWidget")->isEnabled());
    QVERIFY(!p.control("updateTimeWidget")->isEnabled());
    QVERIFY(!fileTimeSettings().setCreation);
    QVERIFY(!fileTimeSettings().setModification);
    for (int i = 0; i < spins.size(); ++i)
        QCOMPARE(p.control<QSpinBox>(qPrintable(spins.at(i)))->value(), start.at(i));
    // The date edits show today again, at the time the spin boxes show.
    const QDateTime birth = p.control<QDateTimeEdit>("birthDate")->dateTime();
    QVERIFY(qAbs(birth.date().daysTo(QDate::currentDate())) <= 1);
    QCOMPARE(birth.time().hour(), start.at(0));
    QCOMPARE(birth.time().second(), start.at(2));
    // The list shows the item's own times again.
    QCOMPARE(p.column(TimeListWidget::ModificationColumn), QStringList{"2005/01/01 00:00:00"});
    QCOMPARE(p.column(TimeListWidget::CreationColumn), QStringList{shown(onDisk(a).birth)});
    // A run now changes nothing.
    p.start();
    QCOMPARE(onDisk(a).write, Jan2005);
    // The date edit was set to now, milliseconds and all; a run writes the whole seconds it shows.
    p.tick("modifiedTimeSetCheck");
    p.start();
    const QDateTime written = p.control<QDateTimeEdit>("modifiedDate")->dateTime();
    QCOMPARE(onDisk(a).write, written.toSecsSinceEpoch());
    QCOMPARE(onDisk(a).writeNs, 0L);
}

void TestTimePage::sortByHeader()
{
    const Page p = page(false);
    auto newYear = [](int year) { return QDateTime(QDate(year, 1, 1), QTime(0, 0)).toSecsSinceEpoch(); };
    p.add({file("a10.txt", newYear(2001)), file("b.txt", newYear(2002)), file("a2.txt", newYear(2003))});
    QHeaderView *header = p.list()->table()->horizontalHeader();
    auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 20, header->height() / 2));
    };
    clickHeader(TimeListWidget::NameColumn);
    QCOMPARE(p.names(), QStringList({"a2.txt", "a10.txt", "b.txt"}));
    clickHeader(TimeListWidget::ModificationColumn);
    QCOMPARE(p.names(), QStringList({"a2.txt", "b.txt", "a10.txt"}));
    clickHeader(TimeListWidget::ModificationColumn);
    QCOMPARE(p.names(), QStringList({"a10.txt", "b.txt", "a2.txt"}));
    QCOMPARE(p.column(TimeListWidget::ModificationColumn),
             QStringList({"2001/01/01 00:00:00", "2002/01/01 00:00:00", "2003/01/01 00:00:00"}));
    clickHeader(TimeListWidget::StatusColumn);
    clickHeader(TimeListWidget::OperateColumn);
    QCOMPARE(p.names(), QStringList({"a10.txt", "b.txt", "a2.txt"}));

    // Rows keep their items after a sort: a run sets each row's own item.
    p.tick("modifiedTimeSetCheck");
    p.setDate("modifiedDate", QDateTime(QDate(2009, 9, 9), QTime(9, 9, 9)));
    p.start();
    QCOMPARE(onDisk(m_root + "/a2.txt").write, QDateTime(QDate(2009, 9, 9), QTime(9, 9, 9)).toSecsSinceEpoch());
    QCOMPARE(p.statuses(), repeated("成功", 3));
    // Rows cannot be dragged in a time list.
    QCOMPARE(p.list()->table()->dragDropMode(), QAbstractItemView::NoDragDrop);
}

void TestTimePage::clearListForgetsHistory()
{
    const Page p = page(false);
    p.add({file("a.txt")});
    p.tick("modifiedTimeSetCheck");
    p.start();
    QVERIFY(p.button("undo")->isEnabled());
    QTest::mouseClick(p.button("clearList"), Qt::LeftButton);
    QVERIFY(!p.button("undo")->isEnabled());
    QCOMPARE(p.list()->table()->rowCount(), 0);
    QCOMPARE(p.list()->undoDepth(), 0);
    QVERIFY(p.control("emptyList")->isVisible());
}

void TestTimePage::pageButtons()
{
    const Page files = page(false);
    const Page folders = page(true);
    QVERIFY(files.button("addFile")->isVisible());
    QVERIFY(!folders.button("addFile")->isVisible());
    QCOMPARE(files.button("addFile")->text(), QStringLiteral("添加文件"));
    QCOMPARE(files.button("addFolder")->text(), QStringLiteral("添加文件夹"));
    QCOMPARE(files.button("undo")->text(), QStringLiteral("撤销修改"));
    QCOMPARE(files.button("clearList")->text(), QStringLiteral("清空列表"));
    QCOMPARE(files.button("resetBtn")->text(), QStringLiteral("重置设置"));
    QCOMPARE(files.button("toolButton_2")->text(), QStringLiteral("文件时间属性"));
    QCOMPARE(folders.button("toolButton_2")->text(), QStringLiteral("文件时间属性"));
    QCOMPARE(files.control<QLabel>("label")->text(), QStringLiteral("创建时间"));
    QCOMPARE(files.control<QLabel>("label_2")->text(), QStringLiteral("修改时间"));
    QCOMPARE(files.panel()->key(), Channel::FileTimeProperty);
    QCOMPARE(folders.panel()->key(), Channel::FolderTimeProperty);
    QStringList titles;
    CustomTabelWidget *t = files.list()->table();
    for (int column = 0; column < t->columnCount(); ++column)
        titles.append(t->horizontalHeaderItem(column)->text());
    QCOMPARE(titles, QStringList({"文件名称", "创建时间", "修改时间", "状态", "操作"}));
    QCOMPARE(t->columnWidth(TimeListWidget::CreationColumn), 240);
}

void TestTimePage::addFolderOnFilePage()
{
    const Page p = page(false);
    makeFile(m_root, "one/a.txt");
    makeFile(m_root, "one/deep/b.txt");
    makeFile(m_root, "two/c.txt");
    AdditionRecorder additions;
    QString title;
    ModalAnswerer picker("folder picker", [&](QDialog *dialog) {
        title = dialog->windowTitle();
        ModalAnswerer::pickInFileDialog(m_root, "\"one\" \"two\"")(dialog);
    });
    QTest::mouseClick(p.button("addFolder"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("选择目录"));
    QStringList names = p.names();
    names.sort();
    QCOMPARE(names, QStringList({"a.txt", "b.txt", "c.txt"}));
    // Both folders were one addition.
    QCOMPARE(additions.log, QStringList({"START", "END:0"}));
}

void TestTimePage::dropFolderOnFolderPage()
{
    const Page p = page(true);
    const QString d = folder("d");
    const QString f = file("f.txt");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(d), QUrl::fromLocalFile(f)});
    TimeListWidget *list = p.list();
    const QPoint pos = list->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &drop);
    // Only the folder is taken on the folder page.
    QTRY_COMPARE(p.names(), QStringList{"d"});
    QVERIFY(p.button("setBtn")->isEnabled());
}

void TestTimePage::warningsInMainWindow()
{
    m_filePage.reset();
    m_folderPage.reset();
    ModalAnswerer answerer;
    MainWindow window;
    QVERIFY(showAt(&window, 1400, 800));
    QTest::mouseClick(window.findChild<QToolButton *>("fileTimePropertyBtn"), Qt::LeftButton);
    const Page p{window.findChild<TimePage *>("fileTimePropertyPage")};
    QVERIFY(p.page && p.page->isVisible());
    const QStringList items = {file("a.txt"), file("b.txt")};
    p.add(items);
    QVERIFY(QFile::remove(items.at(0)));
    p.tick("modifiedTimeSetCheck");
    p.start();
    QCOMPARE(answerer.texts, QStringList{missingMessage(items.at(0))});
    QCOMPARE(p.statuses(), QStringList({"失败", "成功"}));
    // The folder page's list took no part.
    const Page folders{window.findChild<TimePage *>("folderTimePropertyPage")};
    QCOMPARE(folders.list()->table()->rowCount(), 0);
    QVERIFY(!folders.button("undo")->isEnabled());
}

void TestTimePage::sourceButtons_data()
{
    QTest::addColumn<bool>("folderPage");
    QTest::newRow("files") << false;
    QTest::newRow("folders") << true;
}

void TestTimePage::sourceButtons()
{
    QFETCH(bool, folderPage);
    const Page p = page(folderPage);
    QVERIFY(p.button("fixedSourceBtn")->isChecked());
    QCOMPARE(p.button("photoSourceBtn")->isVisible(), !folderPage);
    QVERIFY(p.control("updateTimeWidget")->isVisible());
    QVERIFY(!p.control("offsetWidget")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(p.panel()->defaultsRecorded(), 5000);

    p.chooseSource("offsetSourceBtn");
    QVERIFY(p.control("offsetWidget")->isVisible());
    QVERIFY(!p.control("updateTimeWidget")->isVisible());
    p.control<QComboBox>("offsetSignCombo")->setCurrentIndex(1);
    p.typeSpin("offsetDaysSpin", 2);
    p.typeSpin("offsetSecondsSpin", 5);
    QCOMPARE(timeSettings(folderPage).source, TimeSource::Offset);
    QCOMPARE(timeSettings(folderPage).offsetSeconds, -(2 * 86400 + 5));

    QTest::mouseClick(p.button("resetBtn"), Qt::LeftButton);
    QVERIFY(p.button("fixedSourceBtn")->isChecked());
    QVERIFY(!p.control("offsetWidget")->isVisible());
    QVERIFY(p.control("updateTimeWidget")->isVisible());
    QCOMPARE(p.button("photoSourceBtn")->isVisible(), !folderPage);
    QCOMPARE(p.control<QSpinBox>("offsetDaysSpin")->value(), 0);
    QCOMPARE(timeSettings(folderPage).source, TimeSource::Fixed);
    QCOMPARE(timeSettings(folderPage).offsetSeconds, 0);
}

void TestTimePage::offsetPreviewRunAndUndo_data()
{
    QTest::addColumn<bool>("folderPage");
    QTest::newRow("files") << false;
    QTest::newRow("folders") << true;
}

void TestTimePage::offsetPreviewRunAndUndo()
{
    QFETCH(bool, folderPage);
    const Page p = page(folderPage);
    const QStringList items = folderPage ? QStringList{folder("d1", Jan2005), folder("d2", Mar2003)}
                                         : QStringList{file("a.txt", Jan2005), file("b.txt", Mar2003)};
    p.add(items);
    p.tick("modifiedTimeSetCheck");
    p.chooseSource("offsetSourceBtn");
    p.typeSpin("offsetHoursSpin", 1);
    p.typeSpin("offsetMinutesSpin", 30);
    // Each row shows its own time and, beneath it, that time moved.
    QCOMPARE(p.beneath(TimeListWidget::ModificationColumn),
             QStringList({shown(Jan2005 + 5400), shown(Mar2003 + 5400)}));
    QCOMPARE(p.list()->table()->item(1, TimeListWidget::ModificationColumn)->data(TimePreviewDelegate::OnDiskRole),
             QVariant(shown(Mar2003)));
    QCOMPARE(p.beneath(TimeListWidget::CreationColumn), QStringList({"", ""}));

    p.start();
    QCOMPARE(p.statuses(), QStringList({"成功", "成功"}));
    QCOMPARE(onDisk(items[0]).write, Jan2005 + 5400);
    QCOMPARE(onDisk(items[1]).write, Mar2003 + 5400);
    // The nanoseconds the items had are kept: the offset moves the time, it does not replace it.
    QCOMPARE(onDisk(items[1]).writeNs, 123456789L);
    QCOMPARE(p.beneath(TimeListWidget::ModificationColumn), QStringList({"", ""}));
    QTest::mouseClick(p.button("undo"), Qt::LeftButton);
    QCOMPARE(onDisk(items[0]).write, Jan2005);
    QCOMPARE(onDisk(items[1]).write, Mar2003);
}

void TestTimePage::nameDateSkipsRowsWithoutDate_data()
{
    QTest::addColumn<bool>("folderPage");
    QTest::newRow("files") << false;
    QTest::newRow("folders") << true;
}

void TestTimePage::nameDateSkipsRowsWithoutDate()
{
    QFETCH(bool, folderPage);
    const Page p = page(folderPage);
    const auto make = [&](const QString &name) { return folderPage ? folder(name) : file(name); };
    const QStringList items = {make("2024-01-31 会议"), make("notes"), make("IMG_20230704_083000")};
    WarningRecorder warnings;
    p.add(items);
    p.tick("modifiedTimeSetCheck");
    p.chooseSource("nameSourceBtn");
    QCOMPARE(p.beneath(TimeListWidget::ModificationColumn),
             QStringList({"2024/01/31 00:00:00", "名称中没有日期", "2023/07/04 08:30:00"}));

    p.start();
    QCOMPARE(p.statuses(), QStringList({"成功", "跳过", "成功"}));
    QCOMPARE(p.list()->table()->item(1, TimeListWidget::StatusColumn)->toolTip(), QStringLiteral("名称中没有日期"));
    QVERIFY(warnings.messages.isEmpty());
    QCOMPARE(onDisk(items[0]).write, QDateTime(QDate(2024, 1, 31), QTime(0, 0)).toSecsSinceEpoch());
    QCOMPARE(onDisk(items[1]).write, Jan2005);
    QTest::mouseClick(p.button("undo"), Qt::LeftButton);
    QCOMPARE(p.statuses(), QStringList({"待操作", "跳过", "待操作"}));
    for (const QString &item : items)
        QCOMPARE(onDisk(item).write, Jan2005);
}

void TestTimePage::photoDatesReadOffTheWindow()
{
    const Page p = page(false);
    const QStringList items = {m_root + "/tagged.jpg", m_root + "/plain.jpg"};
    QVERIFY(PhotoTest::makePhoto(items[0], {"2023:07:14 09:30:00", "", ""}));
    QVERIFY(PhotoTest::makePhoto(items[1]));
    setWriteTime(items[0], Jan2005);
    setWriteTime(items[1], Jan2005);
    p.add(items);
    p.tick("modifiedTimeSetCheck");
    p.chooseSource("photoSourceBtn");
    // Start at once: the run waits for the dates the preview is still reading, then gives the rows those.
    p.start();
    QTRY_COMPARE(p.statuses(), QStringList({"成功", "跳过"}));
    QCOMPARE(p.beneath(TimeListWidget::ModificationColumn), QStringList({"", "无拍摄时间"}));
    QCOMPARE(onDisk(items[0]).write, QDateTime(QDate(2023, 7, 14), QTime(9, 30)).toSecsSinceEpoch());
    QCOMPARE(onDisk(items[1]).write, Jan2005);
}

QTEST_MAIN(TestTimePage)
#include "tst_timepage.moc"
