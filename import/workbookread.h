#pragma once

#include "jobs/taskwatcher.h"

#include <QString>
#include <QVariantList>

#include <functional>

// The rows of the workbook at path as a list takes them: at most the list capacity, and one more when the sheet
// goes on (see readSpreadsheet). A failure gives no rows and posts the message the user sees to messages (a
// MyDialogMessageEvent), when given; a cancelled read posts nothing. Runs on any thread.
QVariantList readWorkbookRows(const QString &path, QObject *messages, const std::function<bool()> &cancelled = {});

// Starts readWorkbookRows on a worker thread and returns at once: its message reaches onMessage (by default a
// warning to the user), then the rows reach onRows, each read delivering exactly once, while receiver lives and
// the read is not cancelled. A page that chooses another workbook cancels the read it no longer wants.
TaskWatcher<QVariantList> *startWorkbookRead(const QString &path, QObject *receiver,
                                             const std::function<void(const QVariantList &rows)> &onRows,
                                             const TaskWatcherBase::MessageHandler &onMessage = nullptr);
