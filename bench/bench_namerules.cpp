// Time of one recomputation of every proposed name of a full list (3000 rows), per rule, without the table
// update. Run: build/bench/bench_namerules [rounds]
#include "hub/channels.h"
#include "rename/namerules.h"
#include "rename/renamesettings.h"
#include "renamebenchcases.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

using namespace RenameBenchCases;

constexpr int rowCount = 3000;

FileEntryList makeEntries(const QString &dir)
{
    FileEntryList entries;
    entries.reserve(rowCount);
    for (int i = 0; i < rowCount; ++i) {
        FileEntry entry;
        entry.currentName = QString("报告_2021_終稿_Report-%1.v2.txt").arg(i);
        entry.path = dir + '/' + entry.currentName;
        entry.newName = entry.currentName;
        entries.append(entry);
        QFile(entry.path).open(QIODevice::WriteOnly);
    }
    return entries;
}

double medianOf(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, QString(argv[1]).toInt()) : 15;

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    FileEntryList entries = makeEntries(dir.path());
    QTextStream out(stdout);
    out << QString("%1 rows, %2 rounds, pure computation (no table update)\n").arg(rowCount).arg(rounds);
    out << QString("%1 %2 %3 %4 %5\n")
               .arg("rule", -28)
               .arg("median ms", 10)
               .arg("max ms", 9)
               .arg("target", 7)
               .arg("ok", 3);

    bool allOk = true;
    for (const Case &c : cases()) {
        c.configure();
        bool flag = true;
        NameRules::recompute(c.key, entries, flag); // warm-up: loads tables and caches
        QVector<double> times;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer timer;
            timer.start();
            NameRules::recompute(c.key, entries, flag);
            times.append(timer.nsecsElapsed() / 1e6);
        }
        const double median = medianOf(times);
        const double worst = *std::max_element(times.begin(), times.end());
        const bool ok = median <= c.targetMs;
        allOk = allOk && ok;
        out << QString("%1 %2 %3 %4 %5\n")
                   .arg(QString::fromUtf8(c.label), -28)
                   .arg(median, 10, 'f', 2)
                   .arg(worst, 9, 'f', 2)
                   .arg(c.targetMs, 7, 'f', 0)
                   .arg(ok ? "yes" : "NO", 3);
    }

    QElapsedTimer timer;
    QStringList names;
    for (int i = 0; i < rowCount; ++i)
        names.append(QString("导入名称%1").arg(i));
    QVector<double> times;
    for (int r = 0; r < rounds; ++r) {
        bool flag = true;
        timer.start();
        NameRules::applyImportedNames(names, entries, false, flag);
        times.append(timer.nsecsElapsed() / 1e6);
    }
    out << QString("%1 %2 %3 %4 %5\n")
               .arg("import names", -28)
               .arg(medianOf(times), 10, 'f', 2)
               .arg(*std::max_element(times.begin(), times.end()), 9, 'f', 2)
               .arg(30.0, 7, 'f', 0)
               .arg(medianOf(times) <= 30 ? "yes" : "NO", 3);
    return allOk ? 0 : 2;
}
