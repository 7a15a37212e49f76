#pragma once

// What the time benchmarks share: their floor, their clock and their table of figures against targets.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QVector>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

namespace TimeBench {

inline double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

inline double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// The floor of a run: one utimensat call per file setting the modification time only, paths prepared.
inline double bareUtimensat(const QVector<QByteArray> &paths, time_t seconds)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &path : paths)
        ::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW);
    return elapsedMs(timer);
}

struct Row
{
    const char *what;
    QVector<double> runs;
    double target; // ms, or a multiple of the floor when floorOf is set; 0: no target
    const QVector<double> *floorOf = nullptr;
};

inline void printRows(const QVector<Row> &rows)
{
    std::printf("%-32s %10s %10s %12s %5s\n", "operation", "median ms", "max ms", "target", "met");
    for (const Row &r : rows) {
        const double med = median(r.runs);
        const double worst = r.runs.isEmpty() ? 0 : *std::max_element(r.runs.begin(), r.runs.end());
        if (r.target <= 0) {
            std::printf("%-32s %10.2f %10.2f %12s %5s\n", r.what, med, worst, "-", "-");
            continue;
        }
        const double limit = r.floorOf ? r.target * median(*r.floorOf) : r.target;
        const QString target =
            r.floorOf ? QStringLiteral("%1x = %2").arg(r.target).arg(limit, 0, 'f', 1) : QString::number(limit);
        std::printf("%-32s %10.2f %10.2f %12s %5s\n", r.what, med, worst, qPrintable(target),
                    med <= limit ? "yes" : "NO");
    }
}

} // namespace TimeBench
