#include "workbookwriter.h"

#include "ooxml/xmltext.h"

#include <QFile>

#include <xlsxwriter.h>

namespace {

bool isHex(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// "_x" + four hex digits + "_" at i: the form spreadsheet XML uses for an escaped character.
bool escapeAt(const QString &text, int i)
{
    if (i + 6 >= text.size() || text.at(i) != QLatin1Char('_') || text.at(i + 1) != QLatin1Char('x')
        || text.at(i + 6) != QLatin1Char('_'))
        return false;
    for (int k = i + 2; k < i + 6; ++k) {
        if (!isHex(text.at(k)))
            return false;
    }
    return true;
}

} // namespace

WorkbookWriter::WorkbookWriter() = default;

WorkbookWriter::~WorkbookWriter()
{
    if (m_workbook)
        lxw_workbook_free(m_workbook);
}

QString WorkbookWriter::cellText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(text.at(++i));
        } else if (c.unicode() < 0x20) {
            out.append(c);
        } else if (!XmlText::isAllowed(c.unicode())) {
            out.append(QChar(0xFFFD));
        } else if (escapeAt(text, i)) {
            out.append(QLatin1String("_x005F"));
            out.append(c);
        } else {
            out.append(c);
        }
    }
    return out;
}

bool WorkbookWriter::open(const QString &path)
{
    if (m_workbook) {
        lxw_workbook_free(m_workbook);
        m_workbook = nullptr;
    }
    m_row = 0;
    m_error.clear();
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    m_workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!m_workbook) {
        m_error = QStringLiteral("cannot start a workbook");
        return false;
    }
    m_sheet = workbook_add_worksheet(m_workbook, nullptr);
    if (!m_sheet) {
        m_error = QStringLiteral("cannot add a worksheet");
        lxw_workbook_free(m_workbook);
        m_workbook = nullptr;
        return false;
    }
    return true;
}

bool WorkbookWriter::noWorkbook()
{
    m_error = QStringLiteral("no workbook is open");
    return false;
}

bool WorkbookWriter::fail(int code)
{
    m_error = QString::fromUtf8(lxw_strerror(lxw_error(code)));
    return false;
}

bool WorkbookWriter::writeCell(int column, const QString &text)
{
    if (text.isEmpty())
        return true;
    const QByteArray utf8 = cellText(text).toUtf8();
    const lxw_error result = worksheet_write_string(m_sheet, lxw_row_t(m_row), lxw_col_t(column),
                                                    utf8.constData(), nullptr);
    return result == LXW_NO_ERROR || fail(result);
}

bool WorkbookWriter::addRow(const QStringList &cells)
{
    if (!m_workbook)
        return noWorkbook();
    for (int column = 0; column < cells.size(); ++column) {
        if (!writeCell(column, cells.at(column)))
            return false;
    }
    ++m_row;
    return true;
}

bool WorkbookWriter::addRow(const QVariantList &cells)
{
    QStringList texts;
    texts.reserve(cells.size());
    for (const QVariant &cell : cells)
        texts.append(cell.toString());
    return addRow(texts);
}

bool WorkbookWriter::setCreated(const QDateTime &when)
{
    if (!m_workbook)
        return noWorkbook();
    lxw_doc_properties properties = {};
    properties.created = time_t(when.toSecsSinceEpoch());
    const lxw_error result = workbook_set_properties(m_workbook, &properties);
    return result == LXW_NO_ERROR || fail(result);
}

bool WorkbookWriter::close()
{
    if (!m_workbook)
        return noWorkbook();
    // The library frees the workbook whatever the outcome.
    const lxw_error result = workbook_close(m_workbook);
    m_workbook = nullptr;
    m_sheet = nullptr;
    return result == LXW_NO_ERROR || fail(result);
}
