// Times the rename list with 3000 real files: one addition until the table is on screen, one sort by a
// header click, one row deletion by its drawn button, and one page of scrolling. Prints a table.
#include "filelist/actiondelegate.h"
#include "filelist/customtabelwidget.h"
#include "rename/filelistwidget.h"
#include "rename/renamepage.h"
#include "rename/renamepagewidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kFiles = 3000;

// Used only when the program's stylesheet is not compiled in: the rules that cost time in a table.
const char kTableRules[] = R"(
* { font-family: "Microsoft YaHei"; color: rgba(255,255,255,0.6); }
QTableWidget::item { border-top: 1px solid rgba(255,255,255,0.15); border-bottom: 1px solid rgba(255,255,255,0.15);
  background: #212223; padding-top: -2px; padding-bottom: -2px; font-size: 16px; height: 80px; }
QHeaderView { background: #000; padding: 12px; }
QHeaderView::section { height: 42px; padding: 6px; background: rgba(255,255,255,0); font-size: 16px;
  border: none; border-right: 1px solid rgba(255,255,255,0.15); }
QLabel#OperateStateLable[Success="1"] { color: #405DFF; font-size: 16px; font-weight: bold; }
QLabel#OperateStateLable[Success="2"] { color: red; font-size: 16px; font-weight: bold; }
QPushButton, QToolButton { background: transparent; border: none; }
QScrollBar:vertical { background: rgba(52,52,52,1); width: 13px; }
QScrollBar::handle:vertical { background: rgba(87,87,87,1); border-radius: 20px; min-height: 40px; }
)";

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

// Lets pending layout run, then paints the whole window as the screen would get it.
void settle(QWidget *window)
{
    QCoreApplication::sendPostedEvents();
    window->grab();
}

struct Row
{
    const char *what;
    QVector<double> runs;
    double target;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFile qss(QStringLiteral(":/qss/main.qss"));
    const bool realStyle = qss.open(QIODevice::ReadOnly);
    app.setStyleSheet(realStyle ? QString::fromLatin1(qss.readAll()) : QString::fromLatin1(kTableRules));

    QTemporaryDir dir;
    const char *suffixes[] = {"txt", "docx", "xlsx", "pdf", "png", "jpg", "mp3", "zip", "cpp", "md"};
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = dir.path() + QStringLiteral("/文件 %1.%2").arg(i).arg(QLatin1String(suffixes[i % 10]));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("x");
        paths.append(path);
    }

    RenamePage page;
    page.resize(1340, 760);
    page.show();
    FileListWidget *list = page.editWidget()->fileList();
    CustomTabelWidget *table = list->table();
    settle(&page);

    QVector<Row> rows;
    QElapsedTimer timer;

    QVector<double> add;
    for (int run = 0; run < 5; ++run) {
        list->clearList();
        settle(&page);
        timer.start();
        list->addFiles(paths);
        settle(&page);
        add.append(timer.nsecsElapsed() / 1e6);
    }
    rows.append({"add 3000 files until shown", add, 250});

    QVector<double> sort;
    QHeaderView *header = table->horizontalHeader();
    for (int run = 0; run < 9; ++run) {
        const int column = run % 3;
        const QPoint click(header->sectionViewportPosition(column) + 20, header->height() / 2);
        timer.start();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, click);
        settle(&page);
        sort.append(timer.nsecsElapsed() / 1e6);
    }
    rows.append({"sort by a header click", sort, 50});

    QVector<double> scroll;
    QScrollBar *bar = table->verticalScrollBar();
    for (int run = 0; run < 20; ++run) {
        timer.start();
        bar->setValue(bar->value() + bar->pageStep());
        settle(&page);
        scroll.append(timer.nsecsElapsed() / 1e6);
    }
    rows.append({"scroll one page", scroll, 16});

    QVector<double> remove;
    for (int run = 0; run < 20; ++run) {
        const int row = table->rowAt(table->viewport()->height() / 2);
        const QRect cell = table->visualRect(table->model()->index(row, FileListWidget::OperateColumn));
        const QRect button = table->actionDelegate()->buttonRect(cell, QStringLiteral("deleteBtn"));
        timer.start();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, button.center());
        settle(&page);
        remove.append(timer.nsecsElapsed() / 1e6);
    }
    rows.append({"delete one row (click)", remove, 5});

    std::printf("rename list, %d real files, stylesheet: %s\n", kFiles, realStyle ? "main.qss" : "table rules only");
    std::printf("%-30s %5s %10s %10s %10s %5s\n", "operation", "runs", "median ms", "max ms", "target ms", "met");
    for (const Row &r : qAsConst(rows)) {
        const double med = median(r.runs);
        const double worst = *std::max_element(r.runs.begin(), r.runs.end());
        std::printf("%-30s %5d %10.2f %10.2f %10.0f %5s\n", r.what, int(r.runs.size()), med, worst, r.target,
                    med <= r.target ? "yes" : "NO");
    }
    std::printf("rows left: %d\n", table->rowCount());
    return 0;
}
