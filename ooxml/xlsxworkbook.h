#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

// One cell that holds a value; row and column are 1-based.
struct XlsxCell
{
    int row = 0;
    int column = 0;
    QString text;
};

// Reads the current worksheet of an .xlsx package: the sheet that was active when the file was saved. Files
// come from anywhere, so nothing in them is trusted: every part is inflated in chunks up to a cap, declared
// sizes, counts and ranges never decide an allocation, and any inconsistency makes the load fail instead of
// guessing. The worksheet and its shared strings are read as a stream, as far as the rows kept need them.
class XlsxWorkbook
{
public:
    // No part read whole may inflate past MaxPartSize, and all parts of one load together not past
    // MaxTotalSize (the worksheet and the shared strings count only as far as they are read).
    static constexpr qint64 MaxPartSize = qint64(64) << 20;
    static constexpr qint64 MaxTotalSize = qint64(256) << 20;
    // The grid of a worksheet.
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    // A row keeps the texts of its first cells only, left to right, as many as this.
    static constexpr int MaxCellsPerRow = 256;

    // Keep only the first rows that hold a value, this many (all when negative): the load stops reading the
    // sheet after them. Set before loading.
    void setRowLimit(int rowsWithValues) { m_rowLimit = rowsWithValues; }
    // Asked as the sheet is read: once it answers true, the load stops and fails. Set before loading.
    void setCancelCheck(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }

    // Both return isLoaded(): false when the data is not a readable workbook, including a current worksheet
    // whose parts are missing or broken.
    bool load(const QString &path);
    bool loadFromData(const QByteArray &data);

    bool isLoaded() const { return m_loaded; }
    // False for a workbook without sheets or whose active tab is not a worksheet (a chart sheet, say).
    bool hasCurrentWorksheet() const { return m_hasWorksheet; }
    // Why the last load failed, for the log.
    QString errorString() const { return m_error; }

    // Bottom row and right column of the used range, 1-based; 0 when the sheet holds no value. The sheet's
    // dimension element gives them unless it is missing, unreadable or leaves out a cell.
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }

    // The cells that hold a value, ordered by row, then column; one per position.
    const QVector<XlsxCell> &cells() const { return m_cells; }
    // Whether the row limit stopped the read before the end of the sheet.
    bool truncated() const { return m_truncated; }
    // Whether the last load failed because it was cancelled.
    bool wasCancelled() const { return m_wasCancelled; }

private:
    friend class XlsxLoader;

    void reset();

    int m_rowLimit = -1;
    std::function<bool()> m_cancelled;

    bool m_loaded = false;
    bool m_truncated = false;
    bool m_wasCancelled = false;
    bool m_hasWorksheet = false;
    QString m_error;
    int m_lastRow = 0;
    int m_lastColumn = 0;
    QVector<XlsxCell> m_cells;
};
