#pragma once

#include <QString>
#include <QVariantList>

class QObject;
class XlsxWorkbook;

// Reads the rows of the current worksheet of the workbook at path: one QVariant per sheet row, holding the
// texts of the row's cells left to right as a QStringList (empty for a row without cells). Failures are posted
// to receiver (when given) as MyDialogMessageEvent and give an empty list. Runs on any thread.
QVariantList readSpreadsheet(const QString &path, QObject *receiver);

// Starts readSpreadsheet on the global thread pool and returns at once. Error messages reach receiver during
// the read, then the rows arrive as one MyCustomEvent; every read delivers exactly once, whatever else is
// started meanwhile. Nothing is delivered to a receiver destroyed in the meantime. Call on the GUI thread.
void startSpreadsheetRead(const QString &path, QObject *receiver);

// The rows of a loaded workbook's current worksheet, from row 1 to the bottom of its used range. Past the
// 3000th row, where no list reaches, a run of empty rows comes back as one empty row: it still tells that a
// row follows, but a huge declared range or a million empty rows cost nothing.
QVariantList worksheetRows(const XlsxWorkbook &book);
