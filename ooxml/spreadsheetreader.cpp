#include "spreadsheetreader.h"

#include "ooxml/xlsxworkbook.h"

#include <QStringList>

#include <new>

namespace {

void appendEmptyRows(QVariantList *rows, int *nextRow, int endRow, int capacity)
{
    const int oneByOneEnd = qMin(endRow, capacity + 1);
    for (; *nextRow < oneByOneEnd; ++*nextRow)
        rows->append(QVariant(QStringList()));
    if (*nextRow < endRow) {
        rows->append(QVariant(QStringList()));
        *nextRow = endRow;
    }
}

SpreadsheetRead failed(SpreadsheetRead::Failure failure)
{
    SpreadsheetRead read;
    read.failure = failure;
    return read;
}

} // namespace

QVariantList worksheetRows(const XlsxWorkbook &book, int capacity)
{
    QVariantList rows;
    const QVector<XlsxCell> &cells = book.cells();
    int nextRow = 1;
    for (int i = 0; i < cells.size();) {
        const int row = cells.at(i).row;
        appendEmptyRows(&rows, &nextRow, row, capacity);
        QStringList texts;
        for (; i < cells.size() && cells.at(i).row == row; ++i)
            texts.append(cells.at(i).text);
        rows.append(texts);
        nextRow = row + 1;
    }
    appendEmptyRows(&rows, &nextRow, book.lastRow() + 1, capacity);
    return rows;
}

SpreadsheetRead readSpreadsheet(const QString &path, int capacity, const std::function<bool()> &cancelled)
{
    try {
        XlsxWorkbook book;
        book.setRowLimit(capacity + 1);
        book.setCancelCheck(cancelled);
        if ((cancelled && cancelled()) || (!book.load(path) && book.wasCancelled())) {
            qInfo("Workbook read of %s cancelled", qUtf8Printable(path));
            return failed(SpreadsheetRead::Cancelled);
        }
        if (!book.isLoaded()) {
            qWarning("Workbook %s cannot be read: %s", qUtf8Printable(path), qUtf8Printable(book.errorString()));
            return failed(SpreadsheetRead::Unreadable);
        }
        if (!book.hasCurrentWorksheet()) {
            qWarning("Workbook %s has no current worksheet", qUtf8Printable(path));
            return failed(SpreadsheetRead::NoWorksheet);
        }
        return {worksheetRows(book, capacity), SpreadsheetRead::None};
    } catch (const std::bad_alloc &) {
        // The caps keep a read far below what a machine has; this is a last guard for the worker thread.
        qWarning("Workbook %s does not fit in memory", qUtf8Printable(path));
        return failed(SpreadsheetRead::Unreadable);
    }
}
