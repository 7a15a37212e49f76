// The engine of the time lists on 3000 files: making the rows' records, applying a settings change, the
// time-setting job and its undo, against bare loops of utimensat and statx over the same files in the same
// run. Usage: bench_timejob [folder to work in] [rounds]

#include "jobs/jobfailurereporter.h"
#include "fileops/filetimeentry.h"
#include "timeprop/timejob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

constexpr int FileCount = 3000;

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values.at(values.size() / 2);
}

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

#ifndef Q_OS_WIN
// The floor of the job: one utimensat call per file setting the modification time only, paths prepared.
double bareUtimensat(const QVector<QByteArray> &paths, time_t seconds)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &path : paths) {
        if (::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) != 0) {
            std::perror("utimensat");
            std::exit(1);
        }
    }
    return elapsedMs(timer);
}

// The floor of reading: one statx call per file.
double bareStatx(const QVector<QByteArray> &paths)
{
    QElapsedTimer timer;
    timer.start();
    struct statx info;
    for (const QByteArray &path : paths) {
        if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
            std::perror("statx");
            std::exit(1);
        }
    }
    return elapsedMs(timer);
}
#endif

TimeSettings ticked(bool creation, bool modification, const QDateTime &chosen)
{
    TimeSettings settings;
    settings.setCreation = creation;
    settings.setModification = modification;
    settings.creation = chosen;
    settings.modification = chosen;
    return settings;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString base = args.value(1);
    const auto dir = base.isEmpty() ? std::make_unique<QTemporaryDir>()
                                    : std::make_unique<QTemporaryDir>(base + QStringLiteral("/bench-XXXXXX"));
    const int rounds = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 7;
    if (!dir->isValid())
        return 1;

    QStringList paths;
    QVector<QByteArray> encoded;
    for (int i = 0; i < FileCount; ++i) {
        QFile file(dir->path() + QStringLiteral("/照片_%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("x");
        paths.append(file.fileName());
        encoded.append(QFile::encodeName(file.fileName()));
    }

    std::map<QString, QVector<double>> times;
    // What a list does per row: keep the row's status and times for the next repaint.
    QVector<int> shownStatus(FileCount);
    QVector<QDateTime> shownTime(FileCount);
    const TimeJob::RowCallback onRow = [&](int row, const FileTimeEntry &entry, TimeRowOutcome) {
        shownStatus[row] = entry.status;
        shownTime[row] = entry.modification;
    };
    const QDateTime first(QDate(2021, 3, 4), QTime(5, 6, 7));
    const QDateTime second(QDate(2022, 8, 9), QTime(10, 11, 12));

    for (int round = 0; round < rounds; ++round) {
#ifndef Q_OS_WIN
        times["bare utimensat"].append(bareUtimensat(encoded, 1600000000 + round));
        times["bare statx"].append(bareStatx(encoded));
#endif
        QElapsedTimer timer;
        timer.start();
        FileTimeEntryList entries;
        entries.reserve(FileCount);
        for (const QString &path : qAsConst(paths))
            entries.append(makeFileTimeEntry(path));
        times["records for 3000 new rows"].append(elapsedMs(timer));

        timer.restart();
        applyTimeSettings(entries, ticked(false, true, first));
        times["apply: modification ticked"].append(elapsedMs(timer));
        timer.restart();
        applyTimeSettings(entries, ticked(true, true, first));
        times["apply: both ticked"].append(elapsedMs(timer));
        timer.restart();
        applyTimeSettings(entries, ticked(false, false, first));
        times["apply: no box"].append(elapsedMs(timer));

        TimeHistory history;
        JobFailureReporter reporter;
        timer.restart();
        const TimeJobResult firstRun = TimeJob::run(entries, ticked(false, true, first), history, onRow, reporter);
        times["job"].append(elapsedMs(timer));
        TimeJob::run(entries, ticked(false, true, second), history, onRow, reporter);
        timer.restart();
        const TimeJobResult undone = TimeJob::undo(entries, history, onRow, reporter);
        times["undo"].append(elapsedMs(timer));
        if (firstRun.done != FileCount || undone.done != FileCount) {
            std::fprintf(stderr, "set %d, undone %d of %d\n", firstRun.done, undone.done, FileCount);
            return 1;
        }
    }

    QTextStream out(stdout);
    const double bare = median(times["bare utimensat"]);
    out << FileCount << " files in " << dir->path() << ", median of " << rounds << " rounds\n";
    out << QStringLiteral("%1 %2 %3\n").arg("measure", -32).arg("ms", 9).arg("x bare", 8);
    const auto line = [&](const QString &label, double floor) {
        const double ms = median(times[label]);
        out << QStringLiteral("%1 %2 %3\n")
                   .arg(label, -32)
                   .arg(ms, 9, 'f', 2)
                   .arg(floor > 0 ? QString::number(ms / floor, 'f', 2) : QStringLiteral("-"), 8);
    };
    line("bare utimensat", bare);
    line("bare statx", 0);
    line("records for 3000 new rows", 0);
    line("apply: modification ticked", 0);
    line("apply: both ticked", 0);
    line("apply: no box", 0);
    line("job", bare);
    line("undo", bare);
    return 0;
}
