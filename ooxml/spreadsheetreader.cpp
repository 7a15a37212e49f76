#include "spreadsheetreader.h"

#include "hub/mycustomevent.h"
#include "hub/mydialogmessageevent.h"
#include "ooxml/xlsxworkbook.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>
#include <QtConcurrent>

#include <atomic>
#include <memory>
#include <new>

namespace {

// Every list holds at most this many rows, so only rows up to here are needed one by one.
constexpr int RowsKeptOneByOne = 3000;
// Rows with a value that a read keeps: one past a full list tells that the sheet holds more.
constexpr int RowsWithValuesRead = RowsKeptOneByOne + 1;

void postMessage(QObject *receiver, const QString &message)
{
    if (receiver)
        QCoreApplication::postEvent(receiver, new MyDialogMessageEvent(message));
}

// Watches one read. It lives on the GUI thread until its result is delivered, so the worker posts its
// messages here, never to a receiver that might be destroyed meanwhile; they are passed on, in order, ahead
// of the result.
// When the receiver goes, the read is told to stop: nobody waits for its rows any more.
class SpreadsheetReadWatcher : public QFutureWatcher<QVariantList>
{
public:
    explicit SpreadsheetReadWatcher(QObject *receiver)
        : m_receiver(receiver), m_cancelled(std::make_shared<std::atomic_bool>(false))
    {
        connect(this, &QFutureWatcherBase::finished, this, &SpreadsheetReadWatcher::deliver);
        if (receiver) {
            const std::shared_ptr<std::atomic_bool> cancelled = m_cancelled;
            connect(receiver, &QObject::destroyed, this, [cancelled] { *cancelled = true; });
        }
    }

    std::function<bool()> cancelCheck() const
    {
        const std::shared_ptr<std::atomic_bool> cancelled = m_cancelled;
        return [cancelled] { return cancelled->load(); };
    }

protected:
    void customEvent(QEvent *event) override
    {
        if (event->type() == MyDialogMessageEvent::EventType)
            postMessage(m_receiver, static_cast<MyDialogMessageEvent *>(event)->message());
    }

private:
    void deliver()
    {
        if (m_receiver)
            QCoreApplication::postEvent(m_receiver, new MyCustomEvent(result()));
        deleteLater();
    }

    QPointer<QObject> m_receiver;
    std::shared_ptr<std::atomic_bool> m_cancelled;
};

void appendEmptyRows(QVariantList *rows, int *nextRow, int endRow)
{
    const int oneByOneEnd = qMin(endRow, RowsKeptOneByOne + 1);
    for (; *nextRow < oneByOneEnd; ++*nextRow)
        rows->append(QVariant(QStringList()));
    if (*nextRow < endRow) {
        rows->append(QVariant(QStringList()));
        *nextRow = endRow;
    }
}

} // namespace

QVariantList worksheetRows(const XlsxWorkbook &book)
{
    QVariantList rows;
    const QVector<XlsxCell> &cells = book.cells();
    int nextRow = 1;
    for (int i = 0; i < cells.size();) {
        const int row = cells.at(i).row;
        appendEmptyRows(&rows, &nextRow, row);
        QStringList texts;
        for (; i < cells.size() && cells.at(i).row == row; ++i)
            texts.append(cells.at(i).text);
        rows.append(texts);
        nextRow = row + 1;
    }
    appendEmptyRows(&rows, &nextRow, book.lastRow() + 1);
    return rows;
}

QVariantList readSpreadsheet(const QString &path, QObject *receiver)
{
    return readSpreadsheet(path, receiver, {});
}

QVariantList readSpreadsheet(const QString &path, QObject *receiver, const std::function<bool()> &cancelled)
{
    try {
        XlsxWorkbook book;
        book.setRowLimit(RowsWithValuesRead);
        book.setCancelCheck(cancelled);
        if ((cancelled && cancelled()) || (!book.load(path) && book.wasCancelled())) {
            qInfo("Workbook read of %s cancelled", qUtf8Printable(path));
            return QVariantList();
        }
        if (!book.isLoaded()) {
            qWarning("Workbook %s cannot be read: %s", qUtf8Printable(path), qUtf8Printable(book.errorString()));
            postMessage(receiver, QStringLiteral("请确保文件是正确的xlsx格式！"));
            return QVariantList();
        }
        if (!book.hasCurrentWorksheet()) {
            qWarning("Workbook %s has no current worksheet", qUtf8Printable(path));
            postMessage(receiver, QStringLiteral("请确保第一个sheet表有数据！"));
            return QVariantList();
        }
        return worksheetRows(book);
    } catch (const std::bad_alloc &) {
        // The caps keep a read far below what a machine has; this is a last guard for the worker thread.
        qWarning("Workbook %s does not fit in memory", qUtf8Printable(path));
        postMessage(receiver, QStringLiteral("请确保文件是正确的xlsx格式！"));
        return QVariantList();
    }
}

void startSpreadsheetRead(const QString &path, QObject *receiver)
{
    auto *watcher = new SpreadsheetReadWatcher(receiver);
    const std::function<bool()> cancelled = watcher->cancelCheck();
    QObject *messages = watcher;
    watcher->setFuture(QtConcurrent::run(QThreadPool::globalInstance(), [path, messages, cancelled] {
        return readSpreadsheet(path, messages, cancelled);
    }));
}
