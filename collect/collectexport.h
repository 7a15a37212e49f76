#pragma once

#include "collect/collectsettings.h"
#include "filelist/filetimeentry.h"
#include "jobs/taskwatcher.h"

#include <QString>
#include <QVariantList>
#include <QVector>

#include <functional>

class QObject;

// The table an export writes: rows of cells, each cell a QVariant holding a QString; every row has the same
// columns.
using ExportRows = QVector<QVariantList>;

enum CollectExportType {
    ExportXlsx = 0,
    ExportDocx = 1,
    ExportTxt = 2,
};

// What a writer achieved: saved, and where. The path can differ from the one asked for, since an existing
// file is never replaced.
struct ExportOutcome
{
    bool saved = false;
    QString path;
};

// Sent when a writer cannot finish its file.
QString exportFailedMessage();
// Sent when the file had to take another name than the one asked for.
QString exportRenamedMessage(const QString &requestedPath, const QString &writtenPath);
// Sent when the folder was renamed or moved while the file was written: the file is where the folder is now.
QString exportMovedMessage(const QString &requestedPath, const QString &writtenPath);

// The title of a collect page, the base name of an export whose name is left empty.
QString collectPageTitle(bool folders);
// ".xlsx", ".docx" or ".txt" by export type; empty for any other type.
QString exportExtension(int exportType);
// The path an export asks for: the output folder, then the export name (or the page title when it is blank)
// with the type's extension. Empty when no file can be made of it: no output folder, an unknown type, or a
// name holding a path separator or a character no file name may hold.
QString exportPath(const CollectSettings &settings, bool folders);

// The header row of the spreadsheet: "文件名称", then "文件路径", "创建时间", "修改时间" for the columns present.
QVariantList exportHeader(const CollectSettings &settings);
// One row per entry in list order, read afresh from the item: its name (without the last extension when the
// settings ask so; folders always by their full name), then its absolute path and its creation and
// modification times as "yyyy/MM/dd hh:mm:ss" where the settings include them. An item that is gone keeps
// its listed name and path; a time that cannot be read is an empty text.
ExportRows exportRows(const FileTimeEntryList &entries, const CollectSettings &settings, bool folders);

// The writers. Each makes a new file at path, or at the first free "name(1).ext", "name(2).ext", ... when
// something already has that name: nothing existing is ever replaced, and a failed write leaves nothing behind
// (the file is written under a temporary name in the same folder and then moved into place). They run on any
// thread. When receiver is given they post to it a MyDialogMessageEvent with exportFailedMessage() on failure
// and with exportRenamedMessage() when the file took another name.
// writeXlsx: one worksheet row per row, the first row first. writeDocx: one paragraph per row, the row's
// texts joined by one space. writeTxt: one line per row, the texts joined by one space, in the local 8-bit
// encoding (UTF-8 on Linux); a line break within a text becomes a space so every row stays one line.
ExportOutcome writeXlsx(const QString &path, const ExportRows &rows, QObject *receiver);
ExportOutcome writeDocx(const QString &path, const ExportRows &rows, QObject *receiver);
ExportOutcome writeTxt(const QString &path, const ExportRows &rows, QObject *receiver);

// The whole export of a list, in the calling thread: reads the rows (with the header for a spreadsheet) and
// writes the file the settings ask for.
ExportOutcome writeCollectExport(const FileTimeEntryList &entries, const CollectSettings &settings, bool folders,
                                 QObject *receiver);

// Starts writeCollectExport on a worker thread with copies of its arguments and returns at once. The writer's
// messages reach onMessage (by default warnings to the user), then its outcome reaches onDone. Every export
// reports to its own receiver, whatever else runs meanwhile; nothing is delivered to a receiver destroyed in
// the meantime. Call on the receiver's thread.
void runCollectExport(const FileTimeEntryList &entries, const CollectSettings &settings, bool folders,
                      QObject *receiver, const std::function<void(const ExportOutcome &outcome)> &onDone,
                      const TaskWatcherBase::MessageHandler &onMessage = nullptr);
