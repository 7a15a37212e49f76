#pragma once

#include "create/planneditem.h"

#include <QString>
#include <QStringList>

// The kinds of item the create page makes; the value is the index of its type selectors.
enum CreationType {
    CreateFolder = 0,
    CreateWord = 1,
    CreateExcel = 2,
    CreatePpt = 3,
    CreatePdf = 4,
    CreateTxt = 5,
};

constexpr int creationTypeCount = 6;

// The items of the type selectors, in index order.
QStringList creationTypeNames();
// The template of a type relative to the data folder ("template/Word.docx"; "template/folder" for folders,
// which is never read); empty for an unknown type.
QString creationTemplate(int type);
// "." and the suffix of the type's template (".docx"), or nothing for folders and unknown types.
QString creationExtension(int type);

// Where items go unless the user picks a folder: the desktop, or the home folder where there is no desktop
// folder, so that the default is never a folder that does not exist.
QString defaultTargetFolder();

// What a creation page plans, and what the planned-item list runs the creation job on.
struct CreationPlan
{
    int creationType = CreateFolder;
    QString targetFolder;
    PlannedItemList items;
    bool autoResolve = true; // an existing name moves on to name(1), name(2), ...
};

// Pending items with the given names, in order, each with a new id.
PlannedItemList plannedItems(const QStringList &names);

// The process-wide plans of the import page and of the custom page.
CreationPlan &importPlan();
CreationPlan &customPlan();
