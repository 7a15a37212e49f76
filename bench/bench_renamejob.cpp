// Renaming 3000 files with the rename job and undoing it, against a bare loop of no-replace renames of the
// same files in the same run: once with 3000 distinct targets, once with every row proposing 旅行.txt, which
// conflict resolution turns into 旅行(1).txt … 旅行(2999).txt (target: at most 3 x the bare loop).
// Usage: bench_renamejob [folder to work in] [rounds]

#include "jobs/jobfailurereporter.h"
#include "rename/namerules.h"
#include "rename/renamehistory.h"
#include "rename/renamejob.h"
#include "renamebenchcases.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>
#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif
#endif

namespace {

constexpr int FileCount = 3000;
constexpr double ConflictTarget = 3.0; // x the bare loop

QString nameBefore(int i)
{
    return QStringLiteral("photo_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
}

QString nameAfter(int i)
{
    return QStringLiteral("旅行_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
}

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
// The floor: one no-replace rename call per file, paths prepared beforehand.
double bareLoop(const QVector<QByteArray> &from, const QVector<QByteArray> &to)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < from.size(); ++i) {
        if (::syscall(SYS_renameat2, AT_FDCWD, from.at(i).constData(), AT_FDCWD, to.at(i).constData(),
                      RENAME_NOREPLACE) != 0) {
            std::perror("renameat2");
            std::exit(1);
        }
    }
    return elapsedMs(timer);
}
#endif

FileEntryList listOf(const QString &folder)
{
    FileEntryList entries;
    entries.reserve(FileCount);
    for (int i = 0; i < FileCount; ++i) {
        FileEntry entry;
        entry.currentName = nameBefore(i);
        entry.newName = nameAfter(i);
        entry.path = folder + QLatin1Char('/') + entry.currentName;
        entry.id = QUuid::createUuid().toString();
        entries.append(entry);
    }
    return entries;
}

QString conflictNameBefore(int i)
{
    return QStringLiteral("note_%1.txt").arg(i, 4, 10, QLatin1Char('0'));
}

// The conflicting case: its own folder of files, proposals from the one-name rule.
FileEntryList conflictingList(const QString &folder)
{
    FileEntryList entries;
    entries.reserve(FileCount);
    for (int i = 0; i < FileCount; ++i) {
        FileEntry entry;
        entry.currentName = conflictNameBefore(i);
        entry.path = folder + QLatin1Char('/') + entry.currentName;
        entry.id = QUuid::createUuid().toString();
        entries.append(entry);
    }
    const RenameBenchCases::Case rule = RenameBenchCases::oneNameForAll();
    rule.configure();
    bool autoResolve = true;
    NameRules::recompute(rule.key, entries, autoResolve);
    return entries;
}

bool resolvedAsExpected(const FileEntryList &entries)
{
    for (int i = 0; i < entries.size(); ++i) {
        const QString expected = i == 0 ? QStringLiteral("旅行.txt") : QStringLiteral("旅行(%1).txt").arg(i);
        if (entries.at(i).currentName != expected)
            return false;
    }
    return true;
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
    const QString folder = dir->path();

    QVector<QByteArray> before;
    QVector<QByteArray> after;
    for (int i = 0; i < FileCount; ++i) {
        QFile file(folder + QLatin1Char('/') + nameBefore(i));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("x");
        before.append(QFile::encodeName(file.fileName()));
        after.append(QFile::encodeName(folder + QLatin1Char('/') + nameAfter(i)));
    }

    const QString conflictFolder = folder + QStringLiteral("/one name");
    if (!QDir().mkpath(conflictFolder))
        return 1;
    for (int i = 0; i < FileCount; ++i) {
        QFile file(conflictFolder + QLatin1Char('/') + conflictNameBefore(i));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("x");
    }

    std::map<QString, QVector<double>> times;
    // What a list does per row: keep the row's status for the next repaint.
    QVector<int> shownStatus(FileCount);
    const RenameJob::RowCallback onRow = [&shownStatus](int row, const FileEntry &entry, RowOutcome) {
        shownStatus[row] = entry.status;
    };

    for (int round = 0; round < rounds; ++round) {
#ifndef Q_OS_WIN
        times["bare loop"].append(bareLoop(before, after));
        times["bare loop back"].append(bareLoop(after, before));
#endif
        for (const bool resolve : {true, false}) {
            const QString label = resolve ? QStringLiteral("job, resolution on") : QStringLiteral("job, resolution off");
            FileEntryList entries = listOf(folder);
            RenameHistory history;
            JobFailureReporter reporter;
            QElapsedTimer timer;
            timer.start();
            const RenameJobResult done = RenameJob::run(entries, history, resolve, onRow, reporter);
            times[label].append(elapsedMs(timer));
            timer.restart();
            const RenameJobResult undone = RenameJob::undo(entries, history, resolve, onRow, reporter);
            times[QStringLiteral("undo, ") + label.mid(5)].append(elapsedMs(timer));
            if (done.renamed != FileCount || undone.renamed != FileCount) {
                std::fprintf(stderr, "renamed %d, undone %d of %d\n", done.renamed, undone.renamed, FileCount);
                return 1;
            }
        }
        {
            FileEntryList entries = conflictingList(conflictFolder);
            RenameHistory history;
            JobFailureReporter reporter;
            QElapsedTimer timer;
            timer.start();
            const RenameJobResult done = RenameJob::run(entries, history, true, onRow, reporter);
            times["job, one name for all"].append(elapsedMs(timer));
            const bool resolved = resolvedAsExpected(entries);
            timer.restart();
            const RenameJobResult undone = RenameJob::undo(entries, history, true, onRow, reporter);
            times["undo, one name for all"].append(elapsedMs(timer));
            if (done.renamed != FileCount || undone.renamed != FileCount || !resolved) {
                std::fprintf(stderr, "one name: renamed %d, undone %d of %d, resolved as expected: %d\n",
                             done.renamed, undone.renamed, FileCount, int(resolved));
                return 1;
            }
        }
    }

    QTextStream out(stdout);
    const double bare = median(times["bare loop"]);
    const double bareBack = median(times["bare loop back"]);
    out << FileCount << " files in " << folder << ", median of " << rounds << " rounds\n";
    out << QStringLiteral("%1 %2 %3\n").arg("measure", -32).arg("ms", 9).arg("x bare", 8);
    const auto line = [&](const QString &label, double floor) {
        const double ms = median(times[label]);
        out << QStringLiteral("%1 %2 %3\n")
                   .arg(label, -32)
                   .arg(ms, 9, 'f', 2)
                   .arg(floor > 0 ? QString::number(ms / floor, 'f', 2) : QStringLiteral("-"), 8);
    };
    line("bare loop", bare);
    line("bare loop back", bareBack);
    line("job, resolution on", bare);
    line("undo, resolution on", bareBack);
    line("job, resolution off", bare);
    line("undo, resolution off", bareBack);
    line("job, one name for all", bare);
    line("undo, one name for all", bareBack);
    const double conflictRatio = bare > 0 ? median(times["job, one name for all"]) / bare : 0;
    out << QStringLiteral("one name for all: %1 x the bare loop, target %2 x: %3\n")
               .arg(conflictRatio, 0, 'f', 2)
               .arg(ConflictTarget, 0, 'f', 0)
               .arg(conflictRatio <= ConflictTarget ? QStringLiteral("met") : QStringLiteral("NOT met"));
    return 0;
}
