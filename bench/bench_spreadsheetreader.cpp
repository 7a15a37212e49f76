// Reading a 3000-row × 4-column workbook (strings and numbers), synchronously and through the background read.
// Target: 30 ms for the whole read.
#include "common/mycustomevent.h"
#include "filelist/spreadsheetreader.h"
#include "ooxml/xlsxworkbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>

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

class Receiver : public QObject
{
public:
    QEventLoop loop;
    int rows = -1;

protected:
    void customEvent(QEvent *event) override
    {
        if (event->type() != MyCustomEvent::EventType)
            return;
        rows = static_cast<MyCustomEvent *>(event)->rows().size();
        loop.quit();
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
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.xlsx"));
    if (!dir.isValid() || !writeSheet(path)) {
        std::fprintf(stderr, "cannot write the workbook\n");
        return 1;
    }

    int rowsRead = 0;
    const Figures sync = measure([&] { rowsRead = readSpreadsheet(path, nullptr).size(); });
    XlsxWorkbook book;
    const Figures load = measure([&] { book.load(path); });
    const Figures rows = measure([&] { worksheetRows(book); });
    Receiver receiver;
    const Figures async = measure([&] {
        startSpreadsheetRead(path, &receiver);
        receiver.loop.exec();
    });
    if (rowsRead != Rows || receiver.rows != Rows) {
        std::fprintf(stderr, "read %d and %d rows instead of %d\n", rowsRead, receiver.rows, Rows);
        return 1;
    }

    std::printf("Workbook: %d rows x 4 columns (strings and numbers), %lld bytes; %d runs, ms\n\n", Rows,
                static_cast<long long>(QFile(path).size()), Runs);
    std::printf("| %-44s | %8s | %8s | %8s | %-7s |\n", "step", "min", "median", "max", "target");
    std::printf("|%s|%s|%s|%s|%s|\n", QByteArray(46, '-').constData(), QByteArray(10, '-').constData(),
                QByteArray(10, '-').constData(), QByteArray(10, '-').constData(), QByteArray(9, '-').constData());
    printRow("readSpreadsheet (whole read)", sync, "<= 30");
    printRow("  XlsxWorkbook::load (unzip, parse)", load, "");
    printRow("  worksheetRows (row list)", rows, "");
    printRow("startSpreadsheetRead until MyCustomEvent", async, "");
    return sync.median <= 30 ? 0 : 2;
}
