// Reading a 3000-row × 4-column workbook (strings and numbers), synchronously and through the background read.
// Target: 30 ms for the whole read.
// Then a workbook of 1,048,576 rows × 3 short cells against one of its first 3001 rows: the read of the big one
// may take at most 2 × the small one, and its peak memory at most 50 MB above the idle program (measured in a
// child process that reads once).
#include "import/workbookread.h"
#include "naming/listcapacity.h"
#include "ooxml/spreadsheetreader.h"
#include "ooxml/xlsxworkbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int Rows = 3000;
constexpr int Runs = 30;

bool writeSheet(const QString &path)
{
    lxw_workbook *workbook = workbook_new(QFile::encodeName(path).constData());
    if (!workbook)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    for (int r = 0; r < Rows; ++r) {
        const lxw_row_t row = lxw_row_t(r);
        worksheet_write_string(sheet, row, 0, QStringLiteral("项目报告_%1").arg(r + 1).toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, row, 1, r + 1, nullptr);
        worksheet_write_string(sheet, row, 2, QStringLiteral("第%1组").arg(r % 37).toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, row, 3, r * 1.25, nullptr);
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}

constexpr int BigRows = 1048576;
constexpr int SmallRows = 3001;
constexpr double BigTimeRatio = 2.0;
constexpr double BigPeakMb = 50.0;

// Rows of three short cells, as the big case has them; written a row at a time.
bool writeThreeCellSheet(const QString &path, int rows)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!workbook)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    for (lxw_row_t r = 0; r < lxw_row_t(rows); ++r) {
        worksheet_write_string(sheet, r, 0, QByteArray("n" + QByteArray::number(r + 1)).constData(), nullptr);
        worksheet_write_number(sheet, r, 1, r + 1, nullptr);
        worksheet_write_string(sheet, r, 2, "x", nullptr);
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMb()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The child: reads the workbook once and prints its idle size, its peak and the rows it got.
int readOnce(const QString &path)
{
    const double idle = residentMb();
    const int rows = readWorkbookRows(path, nullptr).size();
    std::printf("%.1f %.1f %d\n", idle, peakMb(), rows);
    return 0;
}

// Waits for one background read and keeps the number of rows it delivered.
class Receiver : public QObject
{
public:
    QEventLoop loop;
    int rows = -1;

    void read(const QString &path)
    {
        startWorkbookRead(path, this, [this](const QVariantList &delivered) {
            rows = delivered.size();
            loop.quit();
        });
        loop.exec();
    }
};

struct Figures
{
    double min = 0;
    double median = 0;
    double max = 0;
};

Figures measure(const std::function<void()> &run)
{
    run(); // warm caches
    QVector<double> ms;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        ms.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.first(), ms.at(ms.size() / 2), ms.last()};
}

void printRow(const char *what, const Figures &f, const char *target)
{
    std::printf("| %-44s | %8.2f | %8.2f | %8.2f | %-7s |\n", what, f.min, f.median, f.max, target);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--read-once")
        return readOnce(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.xlsx"));
    if (!dir.isValid() || !writeSheet(path)) {
        std::fprintf(stderr, "cannot write the workbook\n");
        return 1;
    }

    int rowsRead = 0;
    const Figures sync = measure([&] { rowsRead = readWorkbookRows(path, nullptr).size(); });
    XlsxWorkbook book;
    const Figures load = measure([&] { book.load(path); });
    const Figures rows = measure([&] { worksheetRows(book, kListCapacity); });
    Receiver receiver;
    const Figures async = measure([&] { receiver.read(path); });
    if (rowsRead != Rows || receiver.rows != Rows) {
        std::fprintf(stderr, "read %d and %d rows instead of %d\n", rowsRead, receiver.rows, Rows);
        return 1;
    }

    std::printf("Workbook: %d rows x 4 columns (strings and numbers), %lld bytes; %d runs, ms\n\n", Rows,
                static_cast<long long>(QFile(path).size()), Runs);
    std::printf("| %-44s | %8s | %8s | %8s | %-7s |\n", "step", "min", "median", "max", "target");
    std::printf("|%s|%s|%s|%s|%s|\n", QByteArray(46, '-').constData(), QByteArray(10, '-').constData(),
                QByteArray(10, '-').constData(), QByteArray(10, '-').constData(), QByteArray(9, '-').constData());
    printRow("readWorkbookRows (whole read)", sync, "<= 30");
    printRow("  XlsxWorkbook::load (unzip, parse)", load, "");
    printRow("  worksheetRows (row list)", rows, "");
    printRow("startWorkbookRead until the rows arrive", async, "");

    const QString big = dir.filePath(QStringLiteral("big.xlsx"));
    const QString small = dir.filePath(QStringLiteral("small.xlsx"));
    if (!writeThreeCellSheet(big, BigRows) || !writeThreeCellSheet(small, SmallRows)) {
        std::fprintf(stderr, "cannot write the three-cell workbooks\n");
        return 1;
    }
    int bigRowsRead = 0;
    int smallRowsRead = 0;
    const Figures bigRead = measure([&] { bigRowsRead = readWorkbookRows(big, nullptr).size(); });
    const Figures smallRead = measure([&] { smallRowsRead = readWorkbookRows(small, nullptr).size(); });
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read-once"), big});
    child.waitForFinished(-1);
    const QList<QByteArray> childFigures = child.readAllStandardOutput().trimmed().split(' ');
    const double idle = childFigures.value(0).toDouble();
    const double peak = childFigures.value(1).toDouble();
    const double ratio = smallRead.median > 0 ? bigRead.median / smallRead.median : 0;
    const bool timeMet = ratio <= BigTimeRatio;
    const bool memoryMet = childFigures.size() == 3 && peak - idle <= BigPeakMb;

    std::printf("\nWorkbooks of 3 short cells per row: %d rows (%lld bytes) and %d rows (%lld bytes); %d runs, ms\n\n",
                BigRows, static_cast<long long>(QFile(big).size()), SmallRows,
                static_cast<long long>(QFile(small).size()), Runs);
    std::printf("| %-44s | %8s | %8s | %8s | %-7s |\n", "step", "min", "median", "max", "target");
    std::printf("|%s|%s|%s|%s|%s|\n", QByteArray(46, '-').constData(), QByteArray(10, '-').constData(),
                QByteArray(10, '-').constData(), QByteArray(10, '-').constData(), QByteArray(9, '-').constData());
    printRow("readWorkbookRows, 3001 rows", smallRead, "");
    printRow("readWorkbookRows, 1048576 rows", bigRead, "<= 2x");
    std::printf("\nrows delivered: %d of 3001 rows, %d of 1048576 rows\n", smallRowsRead, bigRowsRead);
    std::printf("1048576 rows: %.2f x the 3001-row read (target <= %.0f x): %s\n", ratio, BigTimeRatio,
                timeMet ? "met" : "NOT met");
    std::printf("1048576 rows, one read in a child: idle %.1f MB, peak %.1f MB, %.1f MB above idle (target <= %.0f MB): "
                "%s\n",
                idle, peak, peak - idle, BigPeakMb, memoryMet ? "met" : "NOT met");
    return sync.median <= 30 && timeMet && memoryMet ? 0 : 2;
}
