#pragma once

#include "create/creationplan.h"

#include <functional>

class JobFailureReporter;

// What the creation job did with one planned item.
enum class CreationOutcome {
    Created,
    Skipped, // a folder of that name was already there and conflicts are not resolved: status unchanged
    Failed,
};

struct CreationJobResult
{
    int created = 0;
    int skipped = 0;
    int failed = 0;
};

// Called for each item in order, once its status is set and before its warning (if any) is shown. path is
// where the item was made, or the path that failed or was skipped.
using CreationRowCallback =
    std::function<void(int row, const PlannedItem &item, CreationOutcome outcome, const QString &path)>;

// Makes every item of plan in its target folder, in order: a folder for the folder type, otherwise a copy of
// the type's template found in the data folder ("template/Word.docx", ...), named after the item with the
// template's extension. Nothing is ever replaced: with autoResolve an existing name moves on to the first
// free name(N), also when the name is taken between the check and the creation; without it an existing file
// fails its row and an existing folder is skipped. A name that is not a plain name (empty, ".", "..", a path
// separator, NUL) fails its row and creates nothing. Created items get status 1, failed ones 2; failures are
// warned about through the reporter, which is finished at the end.
CreationJobResult runCreationJob(CreationPlan &plan, const CreationRowCallback &onRow, JobFailureReporter &reporter);

// The same with the template file given; an empty templateFile is a missing template, and a folder, FIFO or
// device is no template (every file item fails, the job never waits on it).
// Folders do not use it.
CreationJobResult runCreationJob(CreationPlan &plan, const QString &templateFile, const CreationRowCallback &onRow,
                                 JobFailureReporter &reporter);

// The warning of a file item that could not be made at path.
QString fileCreationFailureMessage(const QString &path);
// The warning of a file item that could not be made at path because the template is missing or is not a
// regular file.
QString templateFailureMessage(const QString &path);
// The warning of a folder item that could not be made at path.
QString folderCreationFailureMessage(const QString &path);
