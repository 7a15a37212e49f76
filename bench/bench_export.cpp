// Exporting 3000 listed files with all four columns, against a bare libxlsxwriter loop writing the same
// 3001 × 4 strings in the same run and folder. Targets: .xlsx ≤ 1.5 × the bare loop; .docx and .txt ≤ 50 ms.
#include "collect/collectexport.h"
#include "hub/mycustomevent.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Items = 3000;
constexpr int Runs = 15;

struct Figures
{
    double min = 0;
    double median = 0;
    double max = 0;
};

struct Case
{
    const char *what;
    std::function<void(const QString &folder)> run;
    QVector<double> ms;
};

// The cases take turns, run after run, so a machine busy with other work slows them alike. Each run writes
// into a fresh folder so no run meets the files of the one before.
void measure(const QString &root, QVector<Case> *cases)
{
    int serial = 0;
    auto nextFolder = [&root, &serial] {
        const QString folder = root + QStringLiteral("/run%1").arg(++serial);
        QDir().mkpath(folder);
        return folder;
    };
    for (Case &c : *cases)
        c.run(nextFolder()); // warm caches
    for (int i = 0; i < Runs; ++i) {
        for (Case &c : *cases) {
            const QString folder = nextFolder();
            QElapsedTimer timer;
            timer.start();
            c.run(folder);
            c.ms.append(timer.nsecsElapsed() / 1e6);
        }
    }
}

Figures figuresOf(QVector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms.first(), ms.at(ms.size() / 2), ms.last()};
}

void printRow(const char *what, const Figures &f, const QString &target)
{
    std::printf("| %-46s | %8.2f | %8.2f | %8.2f | %-18s |\n", what, f.min, f.median, f.max, qPrintable(target));
}

bool bareWorkbook(const QString &path, const ExportRows &rows, bool constantMemory)
{
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    for (int r = 0; r < rows.size(); ++r) {
        const QVariantList &row = rows.at(r);
        for (int c = 0; c < row.size(); ++c)
            worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), row.at(c).toString().toUtf8().constData(),
                                   nullptr);
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}

class Receiver : public QObject
{
public:
    QEventLoop loop;
    int result = -1;

protected:
    void customEvent(QEvent *event) override
    {
        if (event->type() != MyCustomEvent::EventType)
            return;
        result = static_cast<MyCustomEvent *>(event)->result();
        loop.quit();
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString items = dir.path() + QStringLiteral("/清单/项目资料");
    QDir().mkpath(items);
    FileTimeEntryList entries;
    for (int i = 0; i < Items; ++i) {
        FileTimeEntry entry;
        entry.name = QStringLiteral("项目报告_第%1稿 final.docx").arg(i + 1, 4, 10, QLatin1Char('0'));
        entry.path = items + QLatin1Char('/') + entry.name;
        QFile file(entry.path);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(entry.path));
            return 1;
        }
        entries.append(entry);
    }
    const QString out = dir.path() + QStringLiteral("/out");
    CollectSettings settings;
    ExportRows rows = exportRows(entries, settings, false);
    ExportRows table = rows;
    table.prepend(exportHeader(settings));

    std::printf("%d items, all four columns; times in ms over %d runs\n\n", Items, Runs);
    std::printf("| %-46s | %8s | %8s | %8s | %-18s |\n", "what", "min", "median", "max", "target");
    std::printf("|%s|%s|%s|%s|%s|\n", QByteArray(48, '-').constData(), QByteArray(10, '-').constData(),
                QByteArray(10, '-').constData(), QByteArray(10, '-').constData(), QByteArray(20, '-').constData());

    QVector<Case> cases{
        {"bare libxlsxwriter, 3001 x 4 strings",
         [&](const QString &folder) { bareWorkbook(folder + "/bare.xlsx", table, false); }, {}},
        {"bare libxlsxwriter, constant memory",
         [&](const QString &folder) { bareWorkbook(folder + "/bare.xlsx", table, true); }, {}},
        {"exportRows (read names, paths, times)", [&](const QString &) { exportRows(entries, settings, false); }, {}},
        {"writeXlsx", [&](const QString &folder) { writeXlsx(folder + "/a.xlsx", table, nullptr); }, {}},
        {"writeDocx", [&](const QString &folder) { writeDocx(folder + "/a.docx", rows, nullptr); }, {}},
        {"writeTxt", [&](const QString &folder) { writeTxt(folder + "/a.txt", rows, nullptr); }, {}},
    };
    const char *const wholeNames[] = {"runCollectExport .xlsx (read, write, event)",
                                      "runCollectExport .docx (read, write, event)",
                                      "runCollectExport .txt (read, write, event)"};
    for (int type : {int(ExportXlsx), int(ExportDocx), int(ExportTxt)}) {
        cases.append({wholeNames[type], [&, type](const QString &folder) {
                          CollectSettings chosen = settings;
                          chosen.exportType = type;
                          chosen.outputFolder = folder;
                          Receiver receiver;
                          runCollectExport(entries, chosen, false, &receiver);
                          receiver.loop.exec();
                      }, {}});
    }
    measure(out, &cases);

    const double baseline = std::min(figuresOf(cases[0].ms).median, figuresOf(cases[1].ms).median);
    const QString targets[] = {"baseline", "baseline", "", QStringLiteral("<= %1 (1.5 x)").arg(1.5 * baseline, 0, 'f', 2),
                               "<= 50", "<= 50", "", "", ""};
    for (int i = 0; i < cases.size(); ++i)
        printRow(cases[i].what, figuresOf(cases[i].ms), targets[i]);
    const double xlsx = figuresOf(cases[3].ms).median;
    std::printf("\nwriteXlsx / bare (medians): %.2f\n", xlsx / baseline);
    return 0;
}
