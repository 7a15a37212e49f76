// Creating 3000 folders and 3000 files from a template with the creation job, against bare loops of mkdir and
// of exclusive-create-and-copy in the same run on the same disk; and planning 3000 names from the custom rules.
// Usage: bench_creationjob [folder to work in] [rounds]

#include "jobs/jobfailurereporter.h"
#include "create/createrules.h"
#include "create/creationjob.h"

#include <QCoreApplication>
#include <QDir>
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
#include <unistd.h>
#endif

namespace {

constexpr int ItemCount = 3000;
constexpr int TemplateSize = 10 * 1024;

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values.at(values.size() / 2);
}

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

QStringList itemNames()
{
    QStringList names;
    for (int i = 0; i < ItemCount; ++i)
        names.append(QStringLiteral("项目_%1").arg(i, 4, 10, QLatin1Char('0')));
    return names;
}

QVector<QByteArray> encodedPaths(const QString &folder, const QStringList &names, const QString &extension)
{
    QVector<QByteArray> paths;
    for (const QString &name : names)
        paths.append(QFile::encodeName(folder + QLatin1Char('/') + name + extension));
    return paths;
}

void die(const char *what)
{
    std::perror(what);
    std::exit(1);
}

#ifndef Q_OS_WIN
// The floors: one call per folder; per file, open the template, create exclusively, copy, close.
double bareFolders(const QVector<QByteArray> &paths)
{
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &path : paths) {
        if (::mkdir(path.constData(), 0777) != 0)
            die("mkdir");
    }
    return elapsedMs(timer);
}

double bareFiles(const QVector<QByteArray> &paths, const QByteArray &templatePath)
{
    char buffer[64 * 1024];
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &path : paths) {
        const int from = ::open(templatePath.constData(), O_RDONLY | O_CLOEXEC);
        const int to = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (from < 0 || to < 0)
            die("open");
        for (ssize_t n; (n = ::read(from, buffer, sizeof buffer)) > 0;) {
            if (::write(to, buffer, size_t(n)) != n)
                die("write");
        }
        ::close(from);
        if (::close(to) != 0)
            die("close");
    }
    return elapsedMs(timer);
}
#endif

// A fresh, empty folder for one measurement.
QString freshFolder(const QString &base, const QString &label)
{
    const QString folder = base + QLatin1Char('/') + label;
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        die("mkpath");
    return folder;
}

double timeJob(CreationPlan &plan, const QString &templateFile)
{
    JobFailureReporter reporter;
    QVector<int> shownStatus(plan.items.size());
    const CreationRowCallback onRow = [&shownStatus](int row, const PlannedItem &item, CreationOutcome,
                                                     const QString &) { shownStatus[row] = item.status; };
    QElapsedTimer timer;
    timer.start();
    const CreationJobResult result = runCreationJob(plan, templateFile, onRow, reporter);
    const double ms = elapsedMs(timer);
    if (result.created != plan.items.size()) {
        std::fprintf(stderr, "created %d of %d\n", result.created, int(plan.items.size()));
        std::exit(1);
    }
    return ms;
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
    const QString root = dir->path();
    const QString templateFile = root + QStringLiteral("/Word.docx");
    {
        QFile file(templateFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(TemplateSize, 'w')) != TemplateSize)
            return 1;
    }
    const QStringList names = itemNames();

    std::map<QString, QVector<double>> times;
    for (int round = 0; round < rounds; ++round) {
#ifndef Q_OS_WIN
        times["bare mkdir loop"].append(bareFolders(encodedPaths(freshFolder(root, "bare"), names, QString())));
        times["bare create-and-copy loop"].append(
            bareFiles(encodedPaths(freshFolder(root, "bare"), names, QStringLiteral(".docx")),
                      QFile::encodeName(templateFile)));
#endif
        for (const bool resolve : {true, false}) {
            const QString suffix = resolve ? QStringLiteral(", resolution on") : QStringLiteral(", resolution off");
            for (const int type : {int(CreateFolder), int(CreateWord)}) {
                CreationPlan plan;
                plan.creationType = type;
                plan.targetFolder = freshFolder(root, QStringLiteral("job"));
                plan.items = plannedItems(names);
                plan.autoResolve = resolve;
                const QString label = (type == CreateFolder ? QStringLiteral("job, folders") : QStringLiteral("job, files"));
                times[label + suffix].append(timeJob(plan, templateFile));
            }
        }
        // The engine's share of a keystroke in the base name: the names and the items with their ids.
        CreateRules rules;
        rules.numberPosition = 1;
        rules.numberIncrement = 1;
        rules.numberDigits = 4;
        QElapsedTimer timer;
        timer.start();
        const PlannedItemList items = plannedItems(regeneratePlan(rules, ItemCount, QStringLiteral("新建文件")));
        times["plan 3000 names (numbers)"].append(elapsedMs(timer));
        rules.numberType = 3;
        rules.timeStyle = 5;
        timer.restart();
        const PlannedItemList timed = plannedItems(regeneratePlan(rules, ItemCount, QStringLiteral("新建文件")));
        times["plan 3000 names (time)"].append(elapsedMs(timer));
        if (items.size() != ItemCount || timed.size() != ItemCount)
            return 1;
    }

    QTextStream out(stdout);
    const double bareMkdir = median(times["bare mkdir loop"]);
    const double bareCopy = median(times["bare create-and-copy loop"]);
    out << ItemCount << " items (files from a " << TemplateSize / 1024 << " KB template) in " << root
        << ", median of " << rounds << " rounds\n";
    out << QStringLiteral("%1 %2 %3 %4\n").arg("measure", -34).arg("ms", 9).arg("x bare", 8).arg("target", 8);
    const auto line = [&](const QString &label, double floor, const QString &target) {
        const double ms = median(times[label]);
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(label, -34)
                   .arg(ms, 9, 'f', 2)
                   .arg(floor > 0 ? QString::number(ms / floor, 'f', 2) : QStringLiteral("-"), 8)
                   .arg(target, 8);
    };
    line("bare mkdir loop", bareMkdir, QString());
    line("job, folders, resolution on", bareMkdir, QStringLiteral("<= 3x"));
    line("job, folders, resolution off", bareMkdir, QStringLiteral("<= 3x"));
    line("bare create-and-copy loop", bareCopy, QString());
    line("job, files, resolution on", bareCopy, QStringLiteral("<= 3x"));
    line("job, files, resolution off", bareCopy, QStringLiteral("<= 3x"));
    line("plan 3000 names (numbers)", 0, QStringLiteral("<= 50"));
    line("plan 3000 names (time)", 0, QStringLiteral("<= 50"));
    return 0;
}
