#pragma once

#include <QString>
#include <QVariantList>

#include <functional>

class XlsxWorkbook;

// What a read of a workbook gave: the rows, or why there are none.
struct SpreadsheetRead
{
    enum Failure { None, Cancelled, Unreadable, NoWorksheet };

    QVariantList rows;
    Failure failure = None;
};

// Reads the rows of the current worksheet of the workbook at path: one QVariant per sheet row, holding the
// texts of the row's cells left to right as a QStringList (empty for a row without cells). Runs on any thread.
// A reader wants at most capacity rows, so the read stops after the first capacity + 1 rows that hold a value
// (one more tells that the sheet goes on), and a row keeps the texts of its first XlsxWorkbook::MaxCellsPerRow
// cells. cancelled, when given, is asked as the read goes: once it answers true the read stops and gives no rows.
SpreadsheetRead readSpreadsheet(const QString &path, int capacity, const std::function<bool()> &cancelled = {});

// The rows of a loaded workbook's current worksheet, from row 1 to the bottom of its used range. Past row
// capacity, where no reader looks, a run of empty rows comes back as one empty row: it still tells that a
// row follows, but a huge declared range or a million empty rows cost nothing.
QVariantList worksheetRows(const XlsxWorkbook &book, int capacity);
