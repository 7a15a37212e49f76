#include "workbookread.h"

#include "hub/mydialogmessageevent.h"
#include "naming/listcapacity.h"
#include "ooxml/spreadsheetreader.h"

#include <QCoreApplication>

namespace {

QString failureMessage(SpreadsheetRead::Failure failure)
{
    switch (failure) {
    case SpreadsheetRead::Unreadable:
        return QStringLiteral("请确保文件是正确的xlsx格式！");
    case SpreadsheetRead::NoWorksheet:
        return QStringLiteral("请确保第一个sheet表有数据！");
    case SpreadsheetRead::None:
    case SpreadsheetRead::Cancelled:
        break;
    }
    return QString();
}

} // namespace

QVariantList readWorkbookRows(const QString &path, QObject *messages, const std::function<bool()> &cancelled)
{
    const SpreadsheetRead read = readSpreadsheet(path, kListCapacity, cancelled);
    const QString message = failureMessage(read.failure);
    if (messages && !message.isEmpty())
        QCoreApplication::postEvent(messages, new MyDialogMessageEvent(message));
    return read.rows;
}

TaskWatcher<QVariantList> *startWorkbookRead(const QString &path, QObject *receiver,
                                             const std::function<void(const QVariantList &rows)> &onRows,
                                             const TaskWatcherBase::MessageHandler &onMessage)
{
    return TaskWatcher<QVariantList>::start(
        receiver,
        [path](QObject *messages, const std::function<bool()> &cancelled) {
            return readWorkbookRows(path, messages, cancelled);
        },
        onRows, onMessage);
}
