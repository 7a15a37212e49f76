#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class FolderHandle;

// What became of one exclusive creation.
enum class CreateOutcome {
    Created,
    Exists, // something (file, folder or link, even a dangling one) already has the path; nothing was touched
    Failed, // refused for another reason (no such folder, permissions, a name the file system rejects, ...)
};

// Makes the folder path (its parent must exist) and never takes over one that is already there: the check and
// the creation are one step of the system. errorDetail, when given, receives the system's reason for Failed.
CreateOutcome createFolderExclusive(const QString &path, QString *errorDetail = nullptr);

// Whether templatePath is a regular file (links followed) that can serve as a template: a folder, a FIFO or a
// device cannot.
bool isTemplateFile(const QString &templatePath);

// Makes the new file path holding a copy of the bytes of templatePath. The copy is made in a new exclusive
// temporary file beside path and moved to path only when complete, never replacing anything there (Exists);
// it is not flushed to disk one by one. A copy that fails part-way removes the file it created. A template
// that is not a regular file or cannot be read fails before anything is created, and never blocks.
// made, when given, hears of the temporary file (its path and identity) as soon as it exists, before the
// copy: a journal keeps it on record.
using TemporaryFileMade = std::function<void(const QString &temporary, const QByteArray &identity)>;
CreateOutcome createFileFromTemplate(const QString &path, const QString &templatePath,
                                     QString *errorDetail = nullptr, const TemporaryFileMade &made = {});

// The same in an open folder, by name: the item is made in that folder wherever it is now, and the temporary
// copy is told with the path the folder has now.
CreateOutcome createFolderExclusive(const FolderHandle &folder, const QString &name, QString *errorDetail = nullptr);
CreateOutcome createFileFromTemplate(const FolderHandle &folder, const QString &name, const QString &templatePath,
                                     QString *errorDetail = nullptr, const TemporaryFileMade &made = {});
// Makes a new empty file of that name in folder, never taking over anything already there.
CreateOutcome createEmptyFile(const FolderHandle &folder, const QString &name, QString *errorDetail = nullptr);
