#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct lxw_workbook;
struct lxw_worksheet;

// Writes rows of texts into the first worksheet of a new .xlsx workbook, one row after the other from A1 on.
// Rows go to the file's worksheet data as they come (libxlsxwriter's constant-memory mode), so a long export
// holds no more than one row in memory.
class WorkbookWriter
{
public:
    WorkbookWriter();
    // A workbook that was never closed is dropped without writing anything.
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter &) = delete;
    WorkbookWriter &operator=(const WorkbookWriter &) = delete;

    // Starts a workbook to be written to path when it is closed.
    bool open(const QString &path);
    // The next row, its cells from column A on; an empty text leaves its cell empty.
    bool addRow(const QStringList &cells);
    // The same for cells of any type, each written as its text.
    bool addRow(const QVariantList &cells);
    // The creation time the open workbook carries; without it, the time it is closed.
    bool setCreated(const QDateTime &when);
    // Writes the workbook to the path given to open. Nothing is written there before; a failure can leave a
    // partial file, so callers that must not have one write to a file of their own and move it.
    bool close();

    // Why the last call failed.
    QString errorString() const { return m_error; }

    // text as a cell stores it so that Excel and the project's reader give text back: a literal "_xHHHH_" would
    // otherwise read as an escaped character, and characters no XML can hold become U+FFFD. Control characters
    // stay; the library writes them in the _xHHHH_ form.
    static QString cellText(const QString &text);

private:
    bool fail(int code);
    bool noWorkbook();
    bool writeCell(int column, const QString &text);

    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    int m_row = 0;
    QString m_error;
};
