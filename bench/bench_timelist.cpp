// Times the file time page with 3000 real files, as a user works it: one addition until the table is on
// screen, a box ticked and a date changed on the panel until the list shows it, the start button and the
// undo button until the run has set every row's status (and until that is on screen), and a sort by a
// header click. The run and undo are set against a bare loop of utimensat calls over the same files in the
// same round, and against the engine's run alone. Prints a table.
// Usage: bench_timelist [folder to work in] [rounds]
#include "timebench.h"
#include "controls/custormcheckbox.h"
#include "jobs/jobfailurereporter.h"
#include "filelist/customtabelwidget.h"
#include "timeprop/timejob.h"
#include "timeprop/timelistwidget.h"
#include "timeprop/timepage.h"
#include "timeprop/timepagewidget.h"
#include "timeprop/timepropertywidget.h"
#include "timeprop/timesettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace TimeBench;

namespace {

constexpr int kFiles = 3000;

// Lets pending layout run, then paints the whole window as the screen would get it.
void settle(QWidget *window)
{
    QCoreApplication::sendPostedEvents();
    window->grab();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFile qss(QStringLiteral(":/qss/main.qss"));
    if (qss.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromLatin1(qss.readAll()));
    const QStringList args = app.arguments();
    const auto dir = args.value(1).isEmpty() ? std::make_unique<QTemporaryDir>()
                                             : std::make_unique<QTemporaryDir>(args.at(1) + QStringLiteral("/bench-XXXXXX"));
    const int rounds = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 5;
    if (!dir->isValid())
        return 1;

    const char *suffixes[] = {"txt", "docx", "xlsx", "pdf", "png", "jpg", "mp3", "zip", "cpp", "md"};
    QStringList paths;
    QVector<QByteArray> encoded;
    for (int i = 0; i < kFiles; ++i) {
        QFile f(dir->path() + QStringLiteral("/照片 %1.%2").arg(i).arg(QLatin1String(suffixes[i % 10])));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write("x");
        paths.append(f.fileName());
        encoded.append(QFile::encodeName(f.fileName()));
    }

    TimePage page;
    page.setFolderMode(false);
    page.resize(1340, 760);
    page.show();
    TimeListWidget *list = page.editWidget()->fileList();
    auto *tickBox = page.findChild<CustormCheckBox *>(QStringLiteral("modifiedTimeSetCheck"))->findChild<QCheckBox *>();
    auto *date = page.findChild<QDateTimeEdit *>(QStringLiteral("modifiedDate"));
    auto *start = page.findChild<QToolButton *>(QStringLiteral("setBtn"));
    auto *undo = page.findChild<QToolButton *>(QStringLiteral("undo"));
    QHeaderView *header = list->table()->horizontalHeader();
    settle(&page);

    QVector<double> bare, engine, paint, apply, add, tick, untick, dateChange, run, runShown, undone, undoneShown, sort;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        bare.append(bareUtimensat(encoded, 1600000000 + round));

        list->clearList();
        settle(&page);
        timer.start();
        list->addFiles(paths);
        settle(&page);
        add.append(elapsedMs(timer));

        timer.start();
        settle(&page);
        paint.append(elapsedMs(timer));

        TimeSettings settings;
        settings.setModification = true;
        settings.modification = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
        timer.start();
        list->applyTimeSettings(settings);
        apply.append(elapsedMs(timer));

        timer.start();
        QTest::mouseClick(tickBox, Qt::LeftButton);
        settle(&page);
        tick.append(elapsedMs(timer));

        timer.start();
        date->setDateTime(QDateTime(QDate(2001 + round, 2, 3), QTime(4, 5, 6)));
        settle(&page);
        dateChange.append(elapsedMs(timer));

        {
            // The same run without the list: what the widgets add is the difference.
            FileTimeEntryList copy = list->entries();
            TimeHistory history;
            JobFailureReporter reporter;
            timer.start();
            TimeJob::run(copy, settings, history, {}, reporter);
            engine.append(elapsedMs(timer));
        }

        timer.start();
        QTest::mouseClick(start, Qt::LeftButton);
        run.append(elapsedMs(timer));
        settle(&page);
        runShown.append(elapsedMs(timer));

        timer.start();
        QTest::mouseClick(undo, Qt::LeftButton);
        undone.append(elapsedMs(timer));
        settle(&page);
        undoneShown.append(elapsedMs(timer));

        const QPoint click(header->sectionViewportPosition(TimeListWidget::ModificationColumn) + 20, header->height() / 2);
        timer.start();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, click);
        settle(&page);
        sort.append(elapsedMs(timer));

        timer.start();
        QTest::mouseClick(tickBox, Qt::LeftButton);
        settle(&page);
        untick.append(elapsedMs(timer));
    }

    const QVector<Row> rows = {
        {"bare utimensat (floor)", bare, 0},
        {"engine run alone, no list", engine, 0},
        {"repaint the page only", paint, 0},
        {"list apply, no repaint", apply, 0},
        {"add 3000 files until shown", add, 250},
        {"tick modification box", tick, 30},
        {"change the date", dateChange, 30},
        {"clear the box (items re-read)", untick, 30},
        {"run with its status updates", run, 3, &bare},
        {"run until its statuses are shown", runShown, 0},
        {"undo with its status updates", undone, 3, &bare},
        {"undo until its statuses are shown", undoneShown, 0},
        {"sort by the time header", sort, 50},
    };
    std::printf("file time list, %d real files in %s, median of %d rounds\n", kFiles, qPrintable(dir->path()), rounds);
    printRows(rows);
    std::printf("rows: %d, undo depth left: %d\n", list->table()->rowCount(), list->undoDepth());
    return 0;
}
