#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

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
// guessing.
class XlsxWorkbook
{
public:
    // No single part may inflate past MaxPartSize, and all parts of one load together not past MaxTotalSize.
    static constexpr qint64 MaxPartSize = qint64(64) << 20;
    static constexpr qint64 MaxTotalSize = qint64(256) << 20;
    // The grid of a worksheet.
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;

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

private:
    friend class XlsxLoader;

    void reset();

    bool m_loaded = false;
    bool m_hasWorksheet = false;
    QString m_error;
    int m_lastRow = 0;
    int m_lastColumn = 0;
    QVector<XlsxCell> m_cells;
};
