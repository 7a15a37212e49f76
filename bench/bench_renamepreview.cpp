// The conflict preview of the rename list, 3000 real files in a shown window, driven through the hub as the
// panel drives it. One keystroke = the record changed and its key notified: every proposal recomputed, column 1
// written, the conflict check (one reading of the folder, the job's order and allocator) and the marks updated.
// Each timed keystroke changes every mark (it follows a keystroke that left the opposite marks).
// Run from build/bin: ../bench/bench_renamepreview [rounds] [folder to work in]
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "filelist/customtabelwidget.h"
#include "rename/conflictpreview.h"
#include "rename/filelistwidget.h"
#include "rename/renamepage.h"
#include "rename/renamepagewidget.h"
#include "rename/renamesettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kFiles = 3000;
constexpr double kTargetMs = 30;

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

double worst(const QVector<double> &v)
{
    return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end());
}

double ms(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void send(const QString &key)
{
    CNvGlobalObserver::instance()->notifyObservers(key, Channel::RenameValueUpdate, QVariant());
}

void setCustom(const std::function<void(CustomSettings &)> &edit)
{
    CustomSettings settings;
    edit(settings);
    *customSettings(Channel::FileCustomRename) = settings;
}

// "0report_.txt" for every row: numbering on, increment 0 (the panel's defaults).
void sameName(bool resolve)
{
    setCustom([resolve](CustomSettings &s) {
        s.text = QStringLiteral("report_");
        s.numberingEnabled = true;
        s.autoResolve = resolve;
    });
}

// "0report_.txt", "1report_.txt", ...: nothing conflicts.
void distinctNames()
{
    setCustom([](CustomSettings &s) {
        s.text = QStringLiteral("report_");
        s.numberingEnabled = true;
        s.numberIncrement = 1;
    });
}

// Numbers alone from 2: every row takes the next row's name, one chain through the whole batch.
void chainedNames()
{
    setCustom([](CustomSettings &s) {
        s.numberingEnabled = true;
        s.numberOnly = true;
        s.startNumber = 2;
        s.numberIncrement = 1;
        s.autoResolve = false;
    });
}

struct Case
{
    const char *label;
    std::function<void()> configure;
    std::function<void()> opposite; // leaves the other marks before each timed keystroke
};

QStringList makeFiles(const QString &folder, const std::function<QString(int)> &nameOf)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        QFile file(folder + QLatin1Char('/') + nameOf(i));
        if (!file.open(QIODevice::WriteOnly))
            std::exit(1);
        file.write("x");
        paths.append(file.fileName());
    }
    return paths;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, QString(argv[1]).toInt()) : 15;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QFile qss(QStringLiteral(":/qss/main.qss"));
    if (qss.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromLatin1(qss.readAll()));

    const auto dir = base.isEmpty() ? std::make_unique<QTemporaryDir>()
                                    : std::make_unique<QTemporaryDir>(base + QStringLiteral("/bench-XXXXXX"));
    if (!dir->isValid())
        return 1;
    const QStringList reports = makeFiles(dir->path() + QStringLiteral("/reports"), [](int i) {
        return QStringLiteral("报告_2021_終稿_Report-%1.v2.txt").arg(i, 4, 10, QLatin1Char('0'));
    });
    const QStringList numbered =
        makeFiles(dir->path() + QStringLiteral("/numbered"), [](int i) { return QStringLiteral("%1.txt").arg(i + 1); });

    RenamePage page;
    page.setFolderMode(false);
    page.resize(1340, 760);
    page.show();
    FileListWidget *list = page.editWidget()->fileList();
    QWidget *viewport = list->table()->viewport();

    const QVector<Case> cases{
        {"all conflicting, resolution on", [] { sameName(true); }, distinctNames},
        {"all conflicting, resolution off", [] { sameName(false); }, distinctNames},
        {"none conflicting", distinctNames, [] { sameName(true); }},
        {"one chain through all rows", chainedNames, [] { sameName(false); }},
    };

    std::printf("\nconflict preview of 3000 proposals, ms (median / max of %d)\n", rounds);
    std::printf("%-34s %9s %15s %15s %15s %7s %4s\n", "proposals", "marked", "check alone", "keystroke",
                "repaint", "target", "met");
    bool allMet = true;
    for (const Case &c : cases) {
        const bool chain = QByteArray(c.label).startsWith("one chain");
        list->clearList();
        list->addFiles(chain ? numbered : reports);
        QCoreApplication::processEvents();
        c.configure();
        send(Channel::FileCustomRename); // warm-up
        QVector<double> check, keystroke, paint;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer timer;
            timer.start();
            const ConflictReport report = ConflictPreview::check(list->entries(), list->autoResolve(), false);
            check.append(ms(timer));

            c.opposite();
            send(Channel::FileCustomRename);
            QCoreApplication::processEvents();
            c.configure();
            timer.start();
            send(Channel::FileCustomRename);
            keystroke.append(ms(timer));
            timer.start();
            viewport->repaint();
            paint.append(ms(timer));
        }
        const int marked = ConflictPreview::check(list->entries(), list->autoResolve(), false).conflicts;
        const bool met = median(keystroke) <= kTargetMs;
        allMet = allMet && met;
        std::printf("%-34s %9d %7.2f /%6.2f %7.2f /%6.2f %7.2f /%6.2f %7.0f %4s\n", c.label, marked, median(check),
                    worst(check), median(keystroke), worst(keystroke), median(paint), worst(paint), kTargetMs,
                    met ? "yes" : "NO");
    }
    std::printf("\n%s\n", allMet ? "all targets met" : "SOME TARGETS MISSED");
    return allMet ? 0 : 2;
}
