// Times a collect page with 3000 real files as a person uses it: one addition until the table is on screen,
// then for each format one press of "开始提取" until every row shows "成功". While the worker writes, a 1 ms
// timer on the GUI thread measures the longest time the window could not answer. A bare libxlsxwriter loop
// writing the same 3001 x 4 strings in the same run is the spreadsheet's baseline. Prints a table.
#include "collect/collectexport.h"
#include "collect/collectinfopage.h"
#include "collect/collectinfopagepropertwidget.h"
#include "collect/collectinfopagewidget.h"
#include "collect/collectlistwidget.h"
#include "collect/collectsettings.h"
#include "filelist/customtabelwidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kFiles = 3000;
constexpr int kRuns = 9;

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

double maximum(const QVector<double> &v)
{
    return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end());
}

// Lets pending layout run, then paints the whole window as the screen would get it.
void settle(QWidget *window)
{
    QCoreApplication::sendPostedEvents();
    window->grab();
}

bool allDone(const CollectListWidget *list)
{
    const CustomTabelWidget *t = list->table();
    for (int row = 0; row < t->rowCount(); ++row) {
        if (t->item(row, CollectListWidget::StatusColumn)->text() != QStringLiteral("成功"))
            return false;
    }
    return !list->isExporting();
}

struct Export
{
    double ms = 0;
    double longestStall = 0;
};

// One press of the start button until every row shows its outcome, with the longest stretch in which the
// GUI thread ran no timer.
Export exportOnce(QWidget *window, QToolButton *start, CollectListWidget *list)
{
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    clock.start();
    ticker.start();
    start->click();
    while (!allDone(list))
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    settle(window);
    const double ms = clock.nsecsElapsed() / 1e6;
    ticker.stop();
    return {ms, longest / 1e6};
}

// The spreadsheet as a program that does nothing but write it: 3001 rows of 4 strings, constant memory.
double bareWorkbook(const QString &path, const QStringList &paths)
{
    QElapsedTimer timer;
    timer.start();
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    const char *header[] = {"文件名称", "文件路径", "创建时间", "修改时间"};
    for (int c = 0; c < 4; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), header[c], nullptr);
    for (int r = 0; r < paths.size(); ++r) {
        const QFileInfo info(paths.at(r));
        const QString cells[] = {info.fileName(), paths.at(r), QStringLiteral("2024/01/02 03:04:05"),
                                 QStringLiteral("2024/01/02 03:04:05")};
        for (int c = 0; c < 4; ++c)
            worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c), cells[c].toUtf8().constData(), nullptr);
    }
    workbook_close(workbook);
    return timer.nsecsElapsed() / 1e6;
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

    QTemporaryDir dir;
    const QString items = dir.path() + QStringLiteral("/items");
    QDir().mkpath(items);
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = items + QStringLiteral("/文件 %1.txt").arg(i);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("x");
        paths.append(path);
    }

    QVector<double> adds;
    for (int run = 0; run < kRuns; ++run) {
        CollectInfoPage page;
        page.setFolderMode(false);
        page.resize(1300, 800);
        page.show();
        (void)QTest::qWaitForWindowExposed(&page);
        CollectListWidget *list = page.editWidget()->fileList();
        QElapsedTimer timer;
        timer.start();
        list->addFiles(paths);
        settle(&page);
        adds.append(timer.nsecsElapsed() / 1e6);
    }

    CollectInfoPage page;
    page.setFolderMode(false);
    page.resize(1300, 800);
    page.show();
    (void)QTest::qWaitForWindowExposed(&page);
    CollectListWidget *list = page.editWidget()->fileList();
    list->addFiles(paths);
    settle(&page);
    auto *start = page.findChild<QToolButton *>(QStringLiteral("setBtn"));
    auto *format = page.findChild<QComboBox *>(QStringLiteral("exportTypeCombox"));

    std::printf("Collect page, %d files, all four columns; median of %d runs (ms)\n\n", kFiles, kRuns);
    std::printf("| %-44s | %9s | %9s | %-10s |\n", "step", "median", "max", "target");
    std::printf("|%s|%s|%s|%s|\n", QByteArray(46, '-').constData(), QByteArray(11, '-').constData(),
                QByteArray(11, '-').constData(), QByteArray(12, '-').constData());
    std::printf("| %-44s | %9.1f | %9.1f | %-10s |\n", "add 3000 files until painted", median(adds), maximum(adds),
                "<= 250");

    QVector<double> bare;
    for (int run = 0; run < kRuns; ++run)
        bare.append(bareWorkbook(dir.path() + QStringLiteral("/bare%1.xlsx").arg(run), paths));
    std::printf("| %-44s | %9.1f | %9.1f | %-10s |\n", "baseline: bare libxlsxwriter, 3001 x 4", median(bare),
                maximum(bare), "-");

    const char *names[] = {"xlsx", "docx", "txt"};
    for (int type = 0; type < 3; ++type) {
        format->setCurrentIndex(type);
        QVector<double> totals;
        QVector<double> stalls;
        for (int run = 0; run < kRuns; ++run) {
            // A fresh folder per run, so every run writes under the name it asked for.
            const QString out = dir.path() + QStringLiteral("/out%1-%2").arg(type).arg(run);
            QDir().mkpath(out);
            collectSettings(false).outputFolder = out;
            const Export e = exportOnce(&page, start, list);
            totals.append(e.ms);
            stalls.append(e.longestStall);
        }
        // The same export without the page: what the worker alone costs.
        QVector<double> bareExport;
        for (int run = 0; run < kRuns; ++run) {
            CollectSettings settings = collectSettings(false);
            settings.outputFolder = dir.path() + QStringLiteral("/engine%1-%2").arg(type).arg(run);
            QDir().mkpath(settings.outputFolder);
            QElapsedTimer timer;
            timer.start();
            writeCollectExport(list->entries(), settings, false, nullptr);
            bareExport.append(timer.nsecsElapsed() / 1e6);
        }
        std::printf("| %-44s | %9.1f | %9.1f | %-10s |\n",
                    qPrintable(QStringLiteral("writer alone (read times + write), %1").arg(QLatin1String(names[type]))),
                    median(bareExport), maximum(bareExport), type == 0 ? "1.5 x base" : "<= 50");
        std::printf("| %-44s | %9.1f | %9.1f | %-10s |\n",
                    qPrintable(QStringLiteral("press start until every row done, %1").arg(QLatin1String(names[type]))),
                    median(totals), maximum(totals), "-");
        std::printf("| %-44s | %9.1f | %9.1f | %-10s |\n",
                    qPrintable(QStringLiteral("  longest GUI stall meanwhile, %1").arg(QLatin1String(names[type]))),
                    median(stalls), maximum(stalls), "responsive");
    }
    return 0;
}
