#pragma once

#include <QString>
#include <QVariantList>

#include <functional>

class QObject;
class XlsxWorkbook;

// Reads the rows of the current worksheet of the workbook at path: one QVariant per sheet row, holding the
// texts of the row's cells left to right as a QStringList (empty for a row without cells). Failures are posted
// to receiver (when given) as MyDialogMessageEvent and give an empty list. Runs on any thread.
// A list takes at most 3000 rows, so the read stops after the first 3001 rows that hold a value (one more tells
// that the sheet goes on), and a row keeps the texts of its first XlsxWorkbook::MaxCellsPerRow cells.
QVariantList readSpreadsheet(const QString &path, QObject *receiver);
// The same, asking cancelled() as it goes: once it answers true the read stops, posts nothing and gives an
// empty list.
QVariantList readSpreadsheet(const QString &path, QObject *receiver, const std::function<bool()> &cancelled);

// Starts readSpreadsheet on the global thread pool and returns at once. Error messages reach receiver during
// the read, then the rows arrive as one MyCustomEvent; every read delivers exactly once, whatever else is
// started meanwhile. A read whose receiver is destroyed before it ends is cancelled and delivers nothing: a
// page drops its receiver to give up a read it no longer wants. Call on the GUI thread.
void startSpreadsheetRead(const QString &path, QObject *receiver);

// The rows of a loaded workbook's current worksheet, from row 1 to the bottom of its used range. Past the
// 3000th row, where no list reaches, a run of empty rows comes back as one empty row: it still tells that a
// row follows, but a huge declared range or a million empty rows cost nothing.
QVariantList worksheetRows(const XlsxWorkbook &book);
