// Runs one job of the recovery test on the files the test made, and kills itself (SIGKILL: no clean-up of
// any kind) once the job has reported a given number of rows. Usage:
//   quorlin-journal-victim <ring|chain|swap|many|create|time> <folder> <rows before the kill, -1 for none>
// It prints the journal folder, then "start" just before the job begins.

#include "jobs/jobfailurereporter.h"
#include "create/creationjob.h"
#include "filelist/filetimeentry.h"
#include "fileops/jobjournal.h"
#include "rename/renamejob.h"
#include "testutil_journaljobs.h"
#include "timeprop/timejob.h"

#include <QCoreApplication>
#include <QUuid>

#include <csignal>
#include <cstdio>

namespace {

int g_killAfter = -1;
int g_rows = 0;

void countRow()
{
    if (++g_rows == g_killAfter)
        std::raise(SIGKILL);
}

void runRename(const QString &job, const QString &folder)
{
    FileEntryList entries;
    const QMap<QString, QString> plan = JournalJobs::renamePlan(job);
    for (auto it = plan.cbegin(); it != plan.cend(); ++it) {
        FileEntry entry;
        entry.path = folder + QLatin1Char('/') + it.key();
        entry.currentName = it.key();
        entry.newName = it.value();
        entry.id = QUuid::createUuid().toString();
        entries.append(entry);
    }
    RenameHistory history;
    JobFailureReporter reporter;
    RenameJob::run(
        entries, history, false, [](int, const FileEntry &, RowOutcome) { countRow(); }, reporter);
}

void runCreate(const QString &folder)
{
    CreationPlan plan;
    plan.creationType = CreateTxt;
    plan.targetFolder = folder + QStringLiteral("/out");
    plan.items = plannedItems(JournalJobs::createNames());
    JobFailureReporter reporter;
    runCreationJob(
        plan, folder + QStringLiteral("/template.bin"),
        [](int, const PlannedItem &, CreationOutcome, const QString &) { countRow(); }, reporter);
}

void runTime(const QString &folder)
{
    FileTimeEntryList entries;
    for (const QString &name : JournalJobs::timeNames())
        entries.append(makeFileTimeEntry(folder + QLatin1Char('/') + name));
    TimeSettings settings;
    settings.setModification = true;
    settings.modification = QDateTime(QDate(2001, 1, 1), QTime(12, 0));
    TimeHistory history;
    JobFailureReporter reporter;
    TimeJob::run(
        entries, settings, history, [](int, const FileTimeEntry &, TimeRowOutcome) { countRow(); }, reporter);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Korvel"));
    QCoreApplication::setApplicationName(QStringLiteral("QuorlinRecoveryTest"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return 2;
    const QString job = arguments.at(1);
    const QString folder = arguments.at(2);
    g_killAfter = arguments.at(3).toInt();
    std::printf("%s\nstart\n", qPrintable(JobJournal::folder()));
    std::fflush(stdout);
    if (JournalJobs::isRenameJob(job))
        runRename(job, folder);
    else if (job == QLatin1String("create"))
        runCreate(folder);
    else if (job == QLatin1String("time"))
        runTime(folder);
    else
        return 2;
    return 0;
}
