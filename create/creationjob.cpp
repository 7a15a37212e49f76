#include "creationjob.h"

#include "fileops/datapaths.h"
#include "jobs/jobfailurereporter.h"
#include "fileops/createitem.h"
#include "fileops/jobjournal.h"
#include "fileops/renamepaths.h"
#include "fileops/safefileops.h"
#include "fileops/uniquename.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

// How often a resolved name may be taken by someone else between choosing it and creating it.
constexpr int ResolveAttempts = 16;

struct JobContext
{
    QString folder;       // absolute target folder, without a trailing separator (but "/" for the root)
    QString extension;
    QString templateFile; // empty for folders, or when the template is missing
    bool templateUsable = false; // a regular file: a folder, FIFO or device fails every file row, never blocks
    bool folders = false;
    bool autoResolve = true;
};

struct RowStep
{
    CreationOutcome outcome = CreationOutcome::Failed;
    QString path;
    QString message; // the warning of a failed row
};

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString absoluteFolder(const QString &folder)
{
    if (folder.isEmpty())
        return QString();
    return QDir::cleanPath(QDir::current().absoluteFilePath(QDir::fromNativeSeparators(folder)));
}

// A name that stays a name in the target folder: a separator would put the item elsewhere, "." and ".." are
// folders that exist already, an empty name would leave a file that is all extension, and a NUL would cut
// the name short on its way to the system.
bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    // A colon would name a stream of another file rather than a file of its own.
    if (name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char(':')))
        return false;
#endif
    return true;
}

QString failureMessage(const JobContext &context, const QString &path)
{
    return context.folders ? folderCreationFailureMessage(path) : fileCreationFailureMessage(path);
}

RowStep failRow(const JobContext &context, const QString &path, const QString &reason)
{
    qWarning().noquote() << (context.folders ? "creating folder" : "creating file") << path << "failed:" << reason;
    return {CreationOutcome::Failed, path, failureMessage(context, path)};
}

// The items are made in the target folder by name, through its handle: should the folder be renamed during the
// job, the rest still go into it.
CreateOutcome createIn(const JobContext &context, const FolderHandle &folder, const QString &name, QString *detail,
                       const TemporaryFileMade &made)
{
    return context.folders ? createFolderExclusive(folder, name, detail)
                           : createFileFromTemplate(folder, name, context.templateFile, detail, made);
}

QString plannedPath(const JobContext &context, const QString &name)
{
    return joinPath(context.folder, name + context.extension);
}

// names resolves conflicts, asking the folder's handle.
RowStep createItem(const JobContext &context, const FolderHandle &folder, UniqueNameAllocator &names,
                   const QString &name, const TemporaryFileMade &made)
{
    const QString planned = plannedPath(context, name);
    if (context.folder.isEmpty())
        return failRow(context, planned, QStringLiteral("no target folder"));
    if (!isPlainName(name))
        return failRow(context, planned, QStringLiteral("not a plain name"));
    if (!context.folders && !context.templateUsable) {
        qWarning().noquote() << "creating file" << planned << "failed: the template is missing or not a file";
        return {CreationOutcome::Failed, planned, templateFailureMessage(planned)};
    }

    QString path = context.autoResolve ? names.resolve(planned) : planned;
    for (int attempt = 1;; ++attempt) {
        QString detail;
        const QString itemName = RenamePaths::nameOf(path);
        const CreateOutcome outcome = createIn(context, folder, itemName, &detail, made);
        // Rows name the item where the folder is now.
        const QString where = RenamePaths::join(folder.currentPath(), itemName);
        if (outcome == CreateOutcome::Created)
            return {CreationOutcome::Created, where, {}};
        if (outcome == CreateOutcome::Failed)
            return failRow(context, where, detail);
        if (!context.autoResolve) {
            if (context.folders && QFileInfo(where).isDir())
                return {CreationOutcome::Skipped, where, {}};
            return failRow(context, where, QStringLiteral("name exists"));
        }
        if (attempt == ResolveAttempts)
            return failRow(context, where, QStringLiteral("every chosen name was taken"));
        // Someone else took the name after it was chosen: the next free one.
        path = names.resolve(planned);
    }
}

JobContext contextOf(const CreationPlan &plan, const QString &templateFile)
{
    JobContext context;
    context.folder = absoluteFolder(plan.targetFolder);
    context.folders = plan.creationType == CreateFolder;
    context.extension = creationExtension(plan.creationType);
    context.templateFile = context.folders ? QString() : templateFile;
    context.templateUsable = !context.templateFile.isEmpty() && isTemplateFile(context.templateFile);
    context.autoResolve = plan.autoResolve;
    return context;
}

void tally(CreationJobResult &result, CreationOutcome outcome)
{
    switch (outcome) {
    case CreationOutcome::Created:
        ++result.created;
        break;
    case CreationOutcome::Skipped:
        ++result.skipped;
        break;
    case CreationOutcome::Failed:
        ++result.failed;
        break;
    }
}

} // namespace

CreationJobResult runCreationJob(CreationPlan &plan, const CreationRowCallback &onRow, JobFailureReporter &reporter)
{
    QString templateFile;
    if (plan.creationType != CreateFolder && !plan.items.isEmpty()) {
        const QString relative = creationTemplate(plan.creationType);
        templateFile = relative.isEmpty() ? QString() : DataPaths::find(relative);
        if (templateFile.isEmpty())
            qWarning().noquote() << "The template of creation type" << plan.creationType << "is missing:"
                                 << relative;
    }
    return runCreationJob(plan, templateFile, onRow, reporter);
}

CreationJobResult runCreationJob(CreationPlan &plan, const QString &templateFile, const CreationRowCallback &onRow,
                                 JobFailureReporter &reporter)
{
    CreationJobResult result;
    const JobContext context = contextOf(plan, templateFile);
    JobJournal journal;
    if (!context.folder.isEmpty() && (context.folders || context.templateUsable)) {
        QVector<JobJournal::Item> items;
        items.reserve(plan.items.size());
        for (const PlannedItem &item : qAsConst(plan.items)) {
            JobJournal::Item planned;
            planned.to = plannedPath(context, item.name);
            items.append(planned);
        }
        journal.begin(context.folders ? JobJournal::CreateFolders : JobJournal::CreateFiles, QString(), items,
                      context.templateFile);
    }
    const FolderHandle folder(context.folder);
    UniqueNameAllocator names(
        [&folder](const QString &path, const QString &) { return folder.holds(RenamePaths::nameOf(path)); });
    for (int row = 0; row < plan.items.size(); ++row) {
        PlannedItem &item = plan.items[row];
        const TemporaryFileMade made = [&journal, row](const QString &temporary, const QByteArray &identity) {
            journal.aside(row, temporary, identity);
        };
        const RowStep step = createItem(context, folder, names, item.name, made);
        if (step.outcome == CreationOutcome::Created)
            journal.done(row, step.path);
        if (step.outcome == CreationOutcome::Created)
            item.status = StatusSuccess;
        else if (step.outcome == CreationOutcome::Failed)
            item.status = StatusFailed;
        tally(result, step.outcome);
        if (onRow)
            onRow(row, item, step.outcome, step.path);
        if (!step.message.isEmpty())
            reporter.report(step.message);
    }
    journal.finish();
    return result;
}

QString fileCreationFailureMessage(const QString &path)
{
    return QStringLiteral("请确认文件“%1”路径拥有权限").arg(path);
}

QString templateFailureMessage(const QString &path)
{
    return QStringLiteral("文件模板缺失或不是普通文件，未能创建文件“%1”！").arg(path);
}

QString folderCreationFailureMessage(const QString &path)
{
    return QStringLiteral("创建文件“%1”失败，请确认权限").arg(path);
}
