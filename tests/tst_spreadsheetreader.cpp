#include "hub/mycustomevent.h"
#include "hub/mydialogmessageevent.h"
#include "ooxml/spreadsheetreader.h"
#include "ooxml/xlsxworkbook.h"
#include "ooxml/xmlpullscanner.h"

#include <QSemaphore>
#include <QtConcurrent>
#include <QtTest>

#include <cstring>
#include <ctime>
#include <functional>

#include <xlsxwriter.h>
#include <zip.h>

using Rows = QList<QStringList>;
using Parts = QMap<QString, QByteArray>;
using Fill = void (*)(lxw_workbook *);
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Parts)
Q_DECLARE_METATYPE(Fill)

namespace {

const QString FormatMessage = QStringLiteral("请确保文件是正确的xlsx格式！");
const QString NoSheetMessage = QStringLiteral("请确保第一个sheet表有数据！");

class Receiver : public QObject
{
public:
    QList<Rows> results;
    QStringList messages;
    QList<int> eventTypes;

protected:
    void customEvent(QEvent *event) override
    {
        eventTypes.append(event->type());
        if (event->type() == MyCustomEvent::EventType) {
            Rows rows;
            for (const QVariant &row : static_cast<MyCustomEvent *>(event)->rows())
                rows.append(row.toStringList());
            results.append(rows);
        } else if (event->type() == MyDialogMessageEvent::EventType) {
            messages.append(static_cast<MyDialogMessageEvent *>(event)->message());
        }
    }
};

Rows toRows(const QVariantList &list)
{
    Rows rows;
    for (const QVariant &row : list)
        rows.append(row.toStringList());
    return rows;
}

// Reads synchronously; the messages the read posted are collected too.
Rows readNow(const QString &path, QStringList *messages)
{
    Receiver receiver;
    const QVariantList rows = readSpreadsheet(path, &receiver);
    QCoreApplication::sendPostedEvents(&receiver);
    *messages = receiver.messages;
    return toRows(rows);
}

bool writeWorkbook(const QString &path, Fill fill)
{
    lxw_workbook *workbook = workbook_new(QFile::encodeName(path).constData());
    if (!workbook)
        return false;
    fill(workbook);
    return workbook_close(workbook) == LXW_NO_ERROR;
}

// Big sheets: libxlsxwriter writes each row out as it goes instead of holding the sheet.
bool writeLargeWorkbook(const QString &path, const std::function<void(lxw_worksheet *)> &fill)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!workbook)
        return false;
    fill(workbook_add_worksheet(workbook, nullptr));
    return workbook_close(workbook) == LXW_NO_ERROR;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool zipParts(const QString &path, const Parts &parts)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        zip_source_t *source = zip_source_buffer(archive, it->constData(), zip_uint64_t(it->size()), 0);
        if (!source || zip_file_add(archive, it.key().toUtf8().constData(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

// Hand-written packages, for what no writer produces.
const QByteArray MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray PackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

QByteArray relationships(const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"" + PackageRelNs + "\">" + items
        + "</Relationships>";
}

QByteArray relationship(const QByteArray &id, const QByteArray &type, const QByteArray &target,
                        const QByteArray &ns = RelNs)
{
    return "<Relationship Id=\"" + id + "\" Type=\"" + ns + "/" + type + "\" Target=\"" + target + "\"/>";
}

QByteArray workbookXml(const QByteArray &sheets, int activeTab = 0, const QByteArray &workbookPr = "<workbookPr/>")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + MainNs + "\" xmlns:r=\"" + RelNs + "\">"
        + workbookPr + "<bookViews><workbookView activeTab=\"" + QByteArray::number(activeTab)
        + "\"/></bookViews><sheets>" + sheets + "</sheets></workbook>";
}

QByteArray sheetXml(const QByteArray &sheetData, const QByteArray &dimension = QByteArray())
{
    const QByteArray dimensionElement = dimension.isEmpty() ? QByteArray() : "<dimension ref=\"" + dimension + "\"/>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"" + MainNs + "\">" + dimensionElement
        + "<sheetData>" + sheetData + "</sheetData></worksheet>";
}

QByteArray inlineCell(const QByteArray &ref, const QByteArray &text)
{
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

QByteArray numberCell(const QByteArray &ref, const QByteArray &value, int style = -1)
{
    const QByteArray s = style < 0 ? QByteArray() : " s=\"" + QByteArray::number(style) + "\"";
    return "<c r=\"" + ref + "\"" + s + "><v>" + value + "</v></c>";
}

QByteArray row(int number, const QByteArray &cells)
{
    return "<row r=\"" + QByteArray::number(number) + "\">" + cells + "</row>";
}

Parts package(const QByteArray &sheetData, const QByteArray &dimension = QByteArray(),
              const QByteArray &sharedStrings = QByteArray(), const QByteArray &styles = QByteArray(),
              const QByteArray &workbookPr = "<workbookPr/>")
{
    Parts parts;
    parts["[Content_Types].xml"] = "<?xml version=\"1.0\"?><Types "
                                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
    parts["_rels/.rels"] = relationships(relationship("rId1", "officeDocument", "xl/workbook.xml"));
    parts["xl/workbook.xml"] = workbookXml("<sheet name=\"S1\" sheetId=\"1\" r:id=\"rId1\"/>", 0, workbookPr);
    QByteArray items = relationship("rId1", "worksheet", "worksheets/sheet1.xml");
    if (!sharedStrings.isEmpty()) {
        items += relationship("rId2", "sharedStrings", "sharedStrings.xml");
        parts["xl/sharedStrings.xml"] = "<sst xmlns=\"" + MainNs + "\">" + sharedStrings + "</sst>";
    }
    if (!styles.isEmpty()) {
        items += relationship("rId3", "styles", "styles.xml");
        parts["xl/styles.xml"] = "<styleSheet xmlns=\"" + MainNs + "\">" + styles + "</styleSheet>";
    }
    parts["xl/_rels/workbook.xml.rels"] = relationships(items);
    parts["xl/worksheets/sheet1.xml"] = sheetXml(sheetData, dimension);
    return parts;
}

// Three sheets: a worksheet, a chart sheet and another worksheet.
Parts threeSheetPackage(int activeTab)
{
    Parts parts = package(row(1, inlineCell("A1", "first")));
    parts["xl/workbook.xml"] = workbookXml("<sheet name=\"A\" sheetId=\"1\" r:id=\"rId1\"/>"
                                           "<sheet name=\"Chart\" sheetId=\"2\" r:id=\"rId2\"/>"
                                           "<sheet name=\"B\" sheetId=\"3\" r:id=\"rId3\"/>",
                                           activeTab);
    parts["xl/_rels/workbook.xml.rels"] =
        relationships(relationship("rId1", "worksheet", "worksheets/sheet1.xml")
                      + relationship("rId2", "chartsheet", "chartsheets/sheet1.xml")
                      + relationship("rId3", "worksheet", "worksheets/sheet2.xml"));
    parts["xl/chartsheets/sheet1.xml"] = "<chartsheet xmlns=\"" + MainNs + "\"/>";
    parts["xl/worksheets/sheet2.xml"] = sheetXml(row(2, inlineCell("B2", "third")));
    return parts;
}

// The strict flavour with prefixed element names, the workbook in another folder and absolute targets.
Parts strictPackage()
{
    const QByteArray strictMain = "http://purl.oclc.org/ooxml/spreadsheetml/main";
    const QByteArray strictRel = "http://purl.oclc.org/ooxml/officeDocument/relationships";
    Parts parts;
    parts["_rels/.rels"] = relationships(relationship("rId1", "officeDocument", "/book/main.xml", strictRel));
    parts["book/main.xml"] = "<x:workbook xmlns:x=\"" + strictMain + "\" xmlns:rel=\"" + strictRel
        + "\"><x:sheets><x:sheet name=\"S\" sheetId=\"1\" rel:id=\"s1\"/></x:sheets></x:workbook>";
    parts["book/_rels/main.xml.rels"] = relationships(relationship("s1", "worksheet", "/cells/one.xml", strictRel)
                                                      + relationship("s2", "sharedStrings", "../text.xml", strictRel));
    parts["text.xml"] = "<x:sst xmlns:x=\"" + strictMain + "\"><x:si><x:t>共享</x:t></x:si></x:sst>";
    parts["cells/one.xml"] = "<x:worksheet xmlns:x=\"" + strictMain + "\"><x:sheetData><x:row r=\"1\">"
                             "<x:c r=\"A1\" t=\"s\"><x:v>0</x:v></x:c><x:c r=\"B1\"><x:v>4</x:v></x:c>"
                             "</x:row></x:sheetData></x:worksheet>";
    return parts;
}

const QByteArray DateStyles =
    "<numFmts count=\"3\"><numFmt numFmtId=\"164\" formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"0.00%\"/><numFmt numFmtId=\"166\" formatCode=\"[h]:mm\"/>"
    "<numFmt numFmtId=\"167\" formatCode=\"#,##0 &quot;day&quot;\"/></numFmts>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
    "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"22\"/><xf numFmtId=\"164\"/>"
    "<xf numFmtId=\"165\"/><xf numFmtId=\"31\"/><xf numFmtId=\"166\"/><xf numFmtId=\"20\"/>"
    "<xf numFmtId=\"167\"/></cellXfs>";

} // namespace

class TestSpreadsheetReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void writerWorkbooks_data();
    void writerWorkbooks();
    void handWrittenPackages_data();
    void handWrittenPackages();
    void badInput_data();
    void badInput();
    void missingFileAndFolder();
    void truncatedWorkbook();
    void encryptedEntry();
    void partCapStopsZipBomb();
    void sheetPastThePartCapIsRead();
    void totalCapAcrossParts();
    void millionEmptyRows();
    void hugeDeclaredRangeCostsNothing();
    void millionRowsOfThreeCells();
    void readStopsAfterTheRowsListsCanUse_data();
    void readStopsAfterTheRowsListsCanUse();
    void cellsPerRowAreBounded();
    void datesIgnoreTheTimeZone_data();
    void datesIgnoreTheTimeZone();

    void twoReadsEachDeliverOnce();
    void failureDeliversMessageThenEmptyRows();
    void destroyedReceiverGetsNothing();
    void cancelledReadStops();
    void scannerReadsTheSameInAnyPieces_data();
    void scannerReadsTheSameInAnyPieces();
    void supersededReadIsCancelled();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    Rows readParts(const Parts &parts, QStringList *messages);

    QTemporaryDir m_dir;
};

void TestSpreadsheetReader::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

Rows TestSpreadsheetReader::readParts(const Parts &parts, QStringList *messages)
{
    const QString file = path(QStringLiteral("package.xlsx"));
    if (!zipParts(file, parts))
        qFatal("cannot write %s", qPrintable(file));
    return readNow(file, messages);
}

void TestSpreadsheetReader::writerWorkbooks_data()
{
    QTest::addColumn<Fill>("fill");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("message");

    QTest::newRow("strings and numbers") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 0, 0, "名称", nullptr);
        worksheet_write_number(ws, 0, 1, 1, nullptr);
        worksheet_write_number(ws, 1, 0, 2.5, nullptr);
        worksheet_write_string(ws, 1, 1, "x", nullptr);
        worksheet_write_number(ws, 2, 0, -3, nullptr);
        worksheet_write_number(ws, 2, 1, 1000000, nullptr);
        worksheet_write_number(ws, 2, 2, 13800138000.0, nullptr);
        worksheet_write_number(ws, 2, 3, 0.1, nullptr);
    }) << Rows{{"名称", "1"}, {"2.5", "x"}, {"-3", "1000000", "13800138000", "0.1"}} << QString();

    QTest::newRow("booleans") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_boolean(ws, 0, 0, 1, nullptr);
        worksheet_write_boolean(ws, 0, 1, 0, nullptr);
    }) << Rows{{"true", "false"}} << QString();

    QTest::newRow("dates") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        lxw_format *day = workbook_add_format(wb);
        format_set_num_format(day, "yyyy-mm-dd");
        lxw_format *stamp = workbook_add_format(wb);
        format_set_num_format(stamp, "yyyy-mm-dd hh:mm:ss");
        lxw_format *builtIn = workbook_add_format(wb);
        format_set_num_format_index(builtIn, 14);
        lxw_format *chinese = workbook_add_format(wb);
        format_set_num_format(chinese, "yyyy\"年\"m\"月\"d\"日\"");
        lxw_datetime date = {2024, 3, 1, 0, 0, 0};
        lxw_datetime time = {2024, 3, 1, 13, 45, 30};
        worksheet_write_datetime(ws, 0, 0, &date, day);
        worksheet_write_datetime(ws, 0, 1, &time, stamp);
        worksheet_write_datetime(ws, 0, 2, &date, builtIn);
        worksheet_write_datetime(ws, 0, 3, &date, chinese);
        worksheet_write_datetime(ws, 0, 4, &date, nullptr);
    }) << Rows{{"2024-03-01", "2024-03-01 13:45:30", "2024-03-01", "2024-03-01", "45352"}} << QString();

    QTest::newRow("formulas give their results") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_formula_num(ws, 0, 0, "=1+2", nullptr, 3);
        worksheet_write_formula_str(ws, 0, 1, "=\"a\"&\"b\"", nullptr, "ab");
        worksheet_write_formula_num(ws, 0, 2, "=5/2", nullptr, 2.5);
    }) << Rows{{"3", "ab", "2.5"}} << QString();

    QTest::newRow("rich string") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        lxw_format *bold = workbook_add_format(wb);
        format_set_bold(bold);
        lxw_rich_string_tuple first = {nullptr, const_cast<char *>("年度")};
        lxw_rich_string_tuple second = {bold, const_cast<char *>("报告")};
        lxw_rich_string_tuple *fragments[] = {&first, &second, nullptr};
        worksheet_write_rich_string(ws, 0, 0, fragments, nullptr);
    }) << Rows{{"年度报告"}} << QString();

    QTest::newRow("active sheet not the first") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *one = workbook_add_worksheet(wb, nullptr);
        lxw_worksheet *two = workbook_add_worksheet(wb, nullptr);
        lxw_worksheet *three = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(one, 0, 0, "one", nullptr);
        worksheet_write_string(two, 0, 0, "two", nullptr);
        worksheet_write_string(three, 0, 0, "three", nullptr);
        worksheet_activate(two);
    }) << Rows{{"two"}} << QString();

    QTest::newRow("empty rows between") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 0, 0, "a", nullptr);
        worksheet_write_string(ws, 3, 0, "d", nullptr);
    }) << Rows{{"a"}, {}, {}, {"d"}} << QString();

    QTest::newRow("used range from row 3") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 2, 0, "x", nullptr);
        worksheet_write_string(ws, 3, 1, "y", nullptr);
    }) << Rows{{}, {}, {"x"}, {"y"}} << QString();

    QTest::newRow("row with only column B") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 0, 0, "a", nullptr);
        worksheet_write_string(ws, 1, 1, "报告", nullptr);
        worksheet_write_string(ws, 2, 0, "c", nullptr);
        worksheet_write_string(ws, 2, 2, "e", nullptr);
    }) << Rows{{"a"}, {"报告"}, {"c", "e"}} << QString();

    QTest::newRow("formatted but empty cells") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        lxw_format *border = workbook_add_format(wb);
        format_set_border(border, LXW_BORDER_THIN);
        worksheet_write_blank(ws, 0, 0, border);
        worksheet_write_string(ws, 0, 1, "b", nullptr);
    }) << Rows{{"b"}} << QString();

    QTest::newRow("empty worksheet") << Fill([](lxw_workbook *wb) { workbook_add_worksheet(wb, nullptr); })
                                     << Rows() << QString();

    QTest::newRow("chart sheet active") << Fill([](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_number(ws, 0, 0, 1, nullptr);
        worksheet_write_number(ws, 1, 0, 2, nullptr);
        lxw_chartsheet *chartsheet = workbook_add_chartsheet(wb, nullptr);
        lxw_chart *chart = workbook_add_chart(wb, LXW_CHART_COLUMN);
        chart_add_series(chart, nullptr, "=Sheet1!$A$1:$A$2");
        chartsheet_set_chart(chartsheet, chart);
        chartsheet_activate(chartsheet);
    }) << Rows() << NoSheetMessage;

    QTest::newRow("chart sheet first, worksheet active") << Fill([](lxw_workbook *wb) {
        lxw_chartsheet *chartsheet = workbook_add_chartsheet(wb, nullptr);
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_number(ws, 0, 0, 7, nullptr);
        lxw_chart *chart = workbook_add_chart(wb, LXW_CHART_COLUMN);
        chart_add_series(chart, nullptr, "=Sheet1!$A$1:$A$1");
        chartsheet_set_chart(chartsheet, chart);
        worksheet_activate(ws);
    }) << Rows{{"7"}} << QString();
}

void TestSpreadsheetReader::writerWorkbooks()
{
    QFETCH(Fill, fill);
    QFETCH(Rows, rows);
    QFETCH(QString, message);
    const QString file = path(QStringLiteral("written.xlsx"));
    QVERIFY(writeWorkbook(file, fill));
    QStringList messages;
    QCOMPARE(readNow(file, &messages), rows);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestSpreadsheetReader::handWrittenPackages_data()
{
    QTest::addColumn<Parts>("parts");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("message");

    QTest::newRow("no dimension element")
        << package(row(1, inlineCell("A1", "a")) + row(2, numberCell("B2", "7"))) << Rows{{"a"}, {"7"}} << QString();
    QTest::newRow("dimension leaving out cells")
        << package(row(1, inlineCell("A1", "a")) + row(5, inlineCell("C5", "c")), "A1:A1")
        << Rows{{"a"}, {}, {}, {}, {"c"}} << QString();
    QTest::newRow("unreadable dimension")
        << package(row(2, inlineCell("A2", "a")), "bogus") << Rows{{}, {"a"}} << QString();
    QTest::newRow("dimension below the last cell")
        << package(row(1, inlineCell("A1", "a")), "A1:B4") << Rows{{"a"}, {}, {}, {}} << QString();
    QTest::newRow("used range from row 3")
        << package(row(3, inlineCell("A3", "x")) + row(4, inlineCell("B4", "y")), "A3:B4")
        << Rows{{}, {}, {"x"}, {"y"}} << QString();
    QTest::newRow("row with only column B")
        << package(row(1, inlineCell("A1", "a")) + row(2, inlineCell("B2", "b")) + row(3, inlineCell("A3", "c")),
                   "A1:B3")
        << Rows{{"a"}, {"b"}, {"c"}} << QString();
    QTest::newRow("rich-text shared strings")
        << package(row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"), "A1:B1",
                   "<si><r><t>报</t></r><r><rPr><b/></rPr><t>告</t></r><rPh sb=\"0\" eb=\"1\"><t>ホウ</t></rPh>"
                   "<phoneticPr fontId=\"1\"/></si><si><t xml:space=\"preserve\"> x </t></si>")
        << Rows{{"报告", " x "}} << QString();
    QTest::newRow("inline strings")
        << package(row(1, "<c r=\"A1\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"))
        << Rows{{"inline"}} << QString();
    QTest::newRow("escaped characters")
        << package(row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c>"), QByteArray(), "<si><t>a_x0009_b_x005F_x</t></si>")
        << Rows{{"a\tb_x"}} << QString();
    QTest::newRow("cells without references")
        << package("<row><c t=\"inlineStr\"><is><t>a</t></is></c><c><v>2</v></c></row><row><c><v>3</v></c></row>")
        << Rows{{"a", "2"}, {"3"}} << QString();
    QTest::newRow("cells out of order, a later one wins")
        << package(row(2, numberCell("B2", "4") + numberCell("A2", "3")) + row(1, numberCell("A1", "1"))
                   + row(2, numberCell("A2", "5")))
        << Rows{{"1"}, {"5", "4"}} << QString();
    QTest::newRow("formula without a stored result")
        << package(row(1, "<c r=\"A1\"><f>1+1</f></c>" + numberCell("B1", "2"))) << Rows{{"", "2"}} << QString();
    QTest::newRow("errors, strings and dates as values")
        << package(row(1, "<c r=\"A1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"B1\" t=\"str\"><f>\"a\"</f><v>abc</v></c>"
                          "<c r=\"C1\" t=\"d\"><v>2024-03-01T08:30:00</v></c><c r=\"D1\" t=\"d\"><v>2024-03-02</v></c>"
                          "<c r=\"E1\" t=\"b\"><v>0</v></c>"))
        << Rows{{"#DIV/0!", "abc", "2024-03-01 08:30:00", "2024-03-02", "false"}} << QString();
    QTest::newRow("numbers in their shortest form")
        << package(row(1, numberCell("A1", "1.0") + numberCell("B1", "2.50") + numberCell("C1", "1E+21")
                          + numberCell("D1", "1.5e-8") + numberCell("E1", "0.000001") + numberCell("F1", "-0")
                          + numberCell("G1", "0.30000000000000004") + numberCell("H1", "NaN")))
        << Rows{{"1", "2.5", "1e+21", "1.5e-08", "0.000001", "0", "0.30000000000000004", "NaN"}} << QString();
    QTest::newRow("date formats")
        << package(row(1, numberCell("A1", "45352", 1) + numberCell("B1", "45352.5", 2) + numberCell("C1", "45352", 3)
                          + numberCell("D1", "0.25", 4) + numberCell("E1", "45352", 5) + numberCell("F1", "1.5", 6)
                          + numberCell("G1", "0.5", 7) + numberCell("H1", "45352", 8) + numberCell("I1", "45352", 0)
                          + numberCell("J1", "45352", 99))
                       + row(2, numberCell("A2", "60", 1) + numberCell("B2", "59", 1) + numberCell("C2", "61", 1)
                                + numberCell("D2", "1", 1) + numberCell("E2", "-1", 1) + numberCell("F2", "1e9", 1)),
                   QByteArray(), QByteArray(), DateStyles)
        << Rows{{"2024-03-01", "2024-03-01 12:00:00", "2024-03-01", "0.25", "2024-03-01", "1.5", "12:00:00", "45352",
                 "45352", "45352"},
                {"1900-02-29", "1900-02-28", "1900-03-01", "1900-01-01", "-1", "1000000000"}}
        << QString();
    QTest::newRow("1904 date system")
        << package(row(1, numberCell("A1", "0", 1) + numberCell("B1", "43890", 1)), QByteArray(), QByteArray(),
                   DateStyles, "<workbookPr date1904=\"1\"/>")
        << Rows{{"1904-01-01", "2024-03-01"}} << QString();

    Parts counted = package(row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c>"), QByteArray(), "<si><t>one</t></si>");
    counted["xl/sharedStrings.xml"] = "<sst xmlns=\"" + MainNs + "\" count=\"2147483647\" uniqueCount=\"4000000000\">"
                                      "<si><t>one</t></si></sst>";
    QTest::newRow("huge declared shared string count") << counted << Rows{{"one"}} << QString();

    // Unknown elements are passed over, however they nest, as long as the nesting stays sane.
    const QByteArray nested = row(1, inlineCell("A1", "a")) + QByteArray("<x>").repeated(200) + "<row r=\"5\"/>"
        + QByteArray("</x>").repeated(200)
        + row(2, "<c r=\"A2\" t=\"inlineStr\"><is><r><rPr>" + QByteArray("<y>").repeated(100) + "<t>no</t>"
                     + QByteArray("</y>").repeated(100) + "</rPr><t>b</t></r></is></c>");
    QTest::newRow("nested unknown elements") << package(nested) << Rows{{"a"}, {"b"}} << QString();

    QTest::newRow("active tab not the first sheet") << threeSheetPackage(2) << Rows{{}, {"third"}} << QString();
    QTest::newRow("active tab out of range") << threeSheetPackage(7) << Rows{{"first"}} << QString();
    QTest::newRow("active tab on a chart sheet") << threeSheetPackage(1) << Rows() << NoSheetMessage;
    QTest::newRow("strict namespaces, moved parts") << strictPackage() << Rows{{"共享", "4"}} << QString();

    Parts noSheets = package(QByteArray());
    noSheets["xl/workbook.xml"] = workbookXml(QByteArray());
    QTest::newRow("no sheets") << noSheets << Rows() << NoSheetMessage;

    Parts noRootRelationships = package(row(1, inlineCell("A1", "a")));
    noRootRelationships.remove("_rels/.rels");
    QTest::newRow("no package relationships") << noRootRelationships << Rows{{"a"}} << QString();

    Parts unlinkedStrings = package(row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c>"));
    unlinkedStrings["xl/sharedStrings.xml"] = "<sst xmlns=\"" + MainNs + "\"><si><t>s</t></si></sst>";
    QTest::newRow("shared strings without a relationship") << unlinkedStrings << Rows{{"s"}} << QString();

    const QString utf16Strings = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><sst xmlns=\"%1\">"
                                                "<si><t>宽字符</t></si></sst>").arg(QString::fromLatin1(MainNs));
    Parts utf16 = package(row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c>"), QByteArray(), "<si/>");
    utf16["xl/sharedStrings.xml"] = QByteArray("\xFF\xFE") + QTextCodec::codecForName("UTF-16LE")->fromUnicode(utf16Strings);
    QTest::newRow("UTF-16 shared strings") << utf16 << Rows{{"宽字符"}} << QString();

    Parts gbk = package(QByteArray());
    gbk["xl/worksheets/sheet1.xml"] = "<?xml version=\"1.0\" encoding=\"GBK\"?>"
        + QTextCodec::codecForName("GBK")->fromUnicode(QString::fromUtf8(sheetXml(row(1, inlineCell("A1", "国标码")))));
    QTest::newRow("GBK worksheet") << gbk << Rows{{"国标码"}} << QString();

    QTest::newRow("comments, CDATA, references")
        << package("<!-- c --><?pi x?>" + row(1, "<c r=\"A1\" t=\"inlineStr\"><is><t>a&amp;b&#x4E2D;&#25991;"
                                               "<![CDATA[<raw>&amp;]]></t></is></c>"))
        << Rows{{"a&b中文<raw>&amp;"}} << QString();

    QTest::newRow("empty sheet declaring A1") << package(QByteArray(), "A1") << Rows() << QString();
}

void TestSpreadsheetReader::handWrittenPackages()
{
    QFETCH(Parts, parts);
    QFETCH(Rows, rows);
    QFETCH(QString, message);
    QStringList messages;
    QCOMPARE(readParts(parts, &messages), rows);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
}

// Each broken package gives the format message and no rows.
void TestSpreadsheetReader::badInput_data()
{
    QTest::addColumn<Parts>("parts");
    QTest::addColumn<QByteArray>("raw");

    QTest::newRow("text file") << Parts() << QByteArray("name\nother name\n");
    QTest::newRow("empty file") << Parts() << QByteArray();
    QTest::newRow("encrypted workbook (OLE container)")
        << Parts() << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(4096, '\0');
    QTest::newRow("zip signature only") << Parts() << QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');

    // Its cell shows the shared string, so the shared strings are read too.
    const Parts good = package(row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c>"), "A1", "<si><t>s</t></si>", DateStyles);
    auto without = [&](const QString &name) {
        Parts parts = good;
        parts.remove(name);
        return parts;
    };
    auto with = [&](const QString &name, const QByteArray &content) {
        Parts parts = good;
        parts[name] = content;
        return parts;
    };
    QTest::newRow("no workbook") << without("xl/workbook.xml") << QByteArray();
    QTest::newRow("no workbook relationships") << without("xl/_rels/workbook.xml.rels") << QByteArray();
    QTest::newRow("no worksheet") << without("xl/worksheets/sheet1.xml") << QByteArray();
    QTest::newRow("no shared strings behind their relationship") << without("xl/sharedStrings.xml") << QByteArray();
    QTest::newRow("sheet without a relationship")
        << with("xl/workbook.xml", workbookXml("<sheet name=\"S\" sheetId=\"1\" r:id=\"rId9\"/>")) << QByteArray();
    QTest::newRow("target outside the package")
        << with("xl/_rels/workbook.xml.rels", relationships(relationship("rId1", "worksheet", "../../../etc/passwd")))
        << QByteArray();
    QTest::newRow("malformed sheet") << with("xl/worksheets/sheet1.xml", sheetXml("<row r=\"1\"><c r=\"A1\">"))
                                     << QByteArray();
    QTest::newRow("malformed workbook") << with("xl/workbook.xml", "<workbook><sheets>") << QByteArray();
    QTest::newRow("malformed shared strings") << with("xl/sharedStrings.xml", "<sst><si><t>a</si></sst>")
                                              << QByteArray();
    QTest::newRow("malformed styles") << with("xl/styles.xml", "<styleSheet><cellXfs>") << QByteArray();
    QTest::newRow("malformed relationships") << with("_rels/.rels", "<Relationships") << QByteArray();
    QTest::newRow("sheet that is not a worksheet") << with("xl/worksheets/sheet1.xml", "<chartsheet/>")
                                                   << QByteArray();
    QTest::newRow("entity expansion")
        << with("xl/worksheets/sheet1.xml",
                "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;"
                "&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><worksheet xmlns=\""
                    + MainNs + "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&c;</t></is></c></row>"
                               "</sheetData></worksheet>")
        << QByteArray();

    QTest::newRow("elements nested too deeply")
        << with("xl/worksheets/sheet1.xml",
                sheetXml(row(1, inlineCell("A1", "a")) + QByteArray("<x>").repeated(1000000)
                         + QByteArray("</x>").repeated(1000000)))
        << QByteArray();
    QTest::newRow("unclosed nesting in shared strings")
        << with("xl/sharedStrings.xml", "<sst><si>" + QByteArray("<r>").repeated(1000000)) << QByteArray();
    QTest::newRow("undeclared entity") << with("xl/sharedStrings.xml", "<sst><si><t>&nbsp;</t></si></sst>")
                                       << QByteArray();
    QTest::newRow("invalid character reference")
        << with("xl/sharedStrings.xml", "<sst><si><t>&#0;</t></si></sst>") << QByteArray();
    QTest::newRow("unsupported encoding")
        << with("xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"no-such-codec\"?><workbook/>") << QByteArray();
    QTest::newRow("mismatched end tag") << with("xl/styles.xml", "<styleSheet><cellXfs></numFmts></styleSheet>")
                                        << QByteArray();
    QTest::newRow("two root elements") << with("xl/workbook.xml", workbookXml("") + "<workbook/>") << QByteArray();
    QTest::newRow("no root element") << with("xl/workbook.xml", "<?xml version=\"1.0\"?><!-- nothing -->")
                                     << QByteArray();

    const QList<QByteArray> badReferences = {"A99999999999", "ZZZZ1", "XFE1", "A1048577", "1A", "A0", "A", "A1B",
                                             "$", "Ä1"};
    for (const QByteArray &reference : badReferences) {
        QTest::newRow(("cell reference " + reference).constData())
            << with("xl/worksheets/sheet1.xml", sheetXml(row(1, numberCell(reference, "1")))) << QByteArray();
    }
    for (const QByteArray &number : {QByteArray("0"), QByteArray("1048577"), QByteArray("x"), QByteArray("-1")}) {
        QTest::newRow(("row number " + number).constData())
            << with("xl/worksheets/sheet1.xml", sheetXml("<row r=\"" + number + "\"><c><v>1</v></c></row>"))
            << QByteArray();
    }
    QTest::newRow("row too wide") << with("xl/worksheets/sheet1.xml",
                                          sheetXml(row(1, QByteArray("<c><v>1</v></c>").repeated(16385))))
                                  << QByteArray();
    for (const QByteArray &index : {QByteArray("1"), QByteArray("-1"), QByteArray("x"), QByteArray("99999999999")}) {
        QTest::newRow(("shared string index " + index).constData())
            << with("xl/worksheets/sheet1.xml", sheetXml(row(1, "<c r=\"A1\" t=\"s\"><v>" + index + "</v></c>")))
            << QByteArray();
    }
}

void TestSpreadsheetReader::badInput()
{
    QFETCH(Parts, parts);
    QFETCH(QByteArray, raw);
    const QString file = path(QStringLiteral("bad.xlsx"));
    QVERIFY(parts.isEmpty() ? writeFile(file, raw) : zipParts(file, parts));
    QStringList messages;
    QCOMPARE(readNow(file, &messages), Rows());
    QCOMPARE(messages, QStringList{FormatMessage});
}

void TestSpreadsheetReader::missingFileAndFolder()
{
    QStringList messages;
    QCOMPARE(readNow(path(QStringLiteral("nowhere.xlsx")), &messages), Rows());
    QCOMPARE(messages, QStringList{FormatMessage});
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.xlsx")));
    QCOMPARE(readNow(path(QStringLiteral("folder.xlsx")), &messages), Rows());
    QCOMPARE(messages, QStringList{FormatMessage});
}

// Every cut of a real workbook is refused or read correctly; none crashes.
void TestSpreadsheetReader::truncatedWorkbook()
{
    const QString whole = path(QStringLiteral("whole.xlsx"));
    QVERIFY(writeWorkbook(whole, [](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        for (int r = 0; r < 50; ++r)
            worksheet_write_string(ws, lxw_row_t(r), 0, "name", nullptr);
    }));
    QFile file(whole);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QString cut = path(QStringLiteral("cut.xlsx"));
    for (int length = 0; length < bytes.size(); length += 97) {
        QVERIFY(writeFile(cut, bytes.left(length)));
        QStringList messages;
        QCOMPARE(readNow(cut, &messages), Rows());
        QCOMPARE(messages, QStringList{FormatMessage});
    }
    // Damage inside the archive, its directory intact: refused, or read whole when the damage hits a part the
    // reader does not need.
    QStringList wholeMessages;
    const Rows all = readNow(whole, &wholeMessages);
    QCOMPARE(all.size(), 50);
    for (int at = 0; at + 64 < bytes.size(); at += 61) {
        QByteArray damaged = bytes;
        damaged.replace(at, 64, QByteArray(64, '\x5a'));
        QVERIFY(writeFile(cut, damaged));
        QStringList messages;
        const Rows rows = readNow(cut, &messages);
        if (messages.isEmpty())
            QCOMPARE(rows, all);
        else
            QCOMPARE(messages, QStringList{FormatMessage});
    }
}

void TestSpreadsheetReader::encryptedEntry()
{
    const QString file = path(QStringLiteral("encrypted.xlsx"));
    const Parts parts = package(row(1, inlineCell("A1", "secret")));
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(archive);
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        zip_source_t *source = zip_source_buffer(archive, it->constData(), zip_uint64_t(it->size()), 0);
        const zip_int64_t index = zip_file_add(archive, it.key().toUtf8().constData(), source, 0);
        QVERIFY(index >= 0);
        if (it.key().endsWith(QLatin1String("sheet1.xml"))
            && zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256, "password") < 0) {
            zip_discard(archive);
            QSKIP("libzip was built without encryption");
        }
    }
    QCOMPARE(zip_close(archive), 0);
    QStringList messages;
    QCOMPARE(readNow(file, &messages), Rows());
    QCOMPARE(messages, QStringList{FormatMessage});
}

// Spaces before the closing tag of the root element: valid XML of any size.
QByteArray padded(const QByteArray &xml, qint64 size)
{
    QByteArray result = xml;
    result.insert(result.lastIndexOf("</"), QByteArray(int(size - xml.size()), ' '));
    return result;
}

// A part read whole (the styles) that inflates past its cap is refused; the few kilobytes of the archive decide
// nothing.
void TestSpreadsheetReader::partCapStopsZipBomb()
{
    Parts parts = package(row(1, inlineCell("A1", "a")), QByteArray(), QByteArray(), DateStyles);
    parts["xl/styles.xml"] = padded(parts["xl/styles.xml"], XlsxWorkbook::MaxPartSize + 1024);
    QStringList messages;
    QCOMPARE(readParts(parts, &messages), Rows());
    QCOMPARE(messages, QStringList{FormatMessage});
}

// The sheet is read as a stream: one larger than a part read whole may be is read all the same.
void TestSpreadsheetReader::sheetPastThePartCapIsRead()
{
    Parts parts = package(row(1, inlineCell("A1", "a")));
    parts["xl/worksheets/sheet1.xml"] = padded(parts["xl/worksheets/sheet1.xml"], XlsxWorkbook::MaxPartSize + 1024);
    QStringList messages;
    QCOMPARE(readParts(parts, &messages), Rows{{"a"}});
    QVERIFY(messages.isEmpty());
}

// Parts each within their cap, together past the total, the sheet's padding before its rows: the read stops
// at the total instead of inflating on.
void TestSpreadsheetReader::totalCapAcrossParts()
{
    Parts parts = package(row(1, "<c r=\"A1\" t=\"s\"><v>0</v></c>"), QByteArray(), "<si><t>s</t></si>", DateStyles);
    const qint64 size = XlsxWorkbook::MaxTotalSize / 5 + 1024;
    QVERIFY(size < XlsxWorkbook::MaxPartSize);
    for (const char *name : {"_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/styles.xml"})
        parts[name] = padded(parts[name], size);
    QByteArray &sheet = parts["xl/worksheets/sheet1.xml"];
    sheet.insert(sheet.indexOf("<sheetData>"), QByteArray(int(size), ' '));
    QStringList messages;
    QCOMPARE(readParts(parts, &messages), Rows());
    QCOMPARE(messages, QStringList{FormatMessage});
}

// Rows up to the 3000th come one by one (list row i takes sheet row i); past it a run of empty rows is one.
void TestSpreadsheetReader::millionEmptyRows()
{
    QByteArray sheetData = row(1, inlineCell("A1", "a"));
    sheetData.reserve(20 << 20);
    for (int r = 2; r < 1000000; ++r)
        sheetData += "<row r=\"" + QByteArray::number(r) + "\" s=\"1\"><c r=\"A" + QByteArray::number(r)
            + "\" s=\"1\"/></row>";
    sheetData += row(1000000, inlineCell("B1000000", "z"));
    QStringList messages;
    const Rows rows = readParts(package(sheetData), &messages);
    QVERIFY(messages.isEmpty());
    QCOMPARE(rows.size(), 3002);
    QCOMPARE(rows.first(), QStringList{"a"});
    for (int i = 1; i < 3001; ++i)
        QVERIFY(rows.at(i).isEmpty());
    QCOMPARE(rows.last(), QStringList{"z"});
}

void TestSpreadsheetReader::hugeDeclaredRangeCostsNothing()
{
    QStringList messages;
    Rows rows = readParts(package(row(1, inlineCell("A1", "a")) + row(2, inlineCell("B2", "b"))
                                      + row(3, inlineCell("C3", "c")),
                                  "A1:XFD1048576"),
                          &messages);
    QVERIFY(messages.isEmpty());
    QCOMPARE(rows.size(), 3001);
    QCOMPARE(rows.mid(0, 3), (Rows{{"a"}, {"b"}, {"c"}}));

    // 3000 names and a declared row after them: that row is still there to be seen.
    QByteArray names;
    for (int r = 1; r <= 3000; ++r)
        names += row(r, numberCell("A" + QByteArray::number(r), QByteArray::number(r)));
    rows = readParts(package(names, "A1:A3001"), &messages);
    QCOMPARE(rows.size(), 3001);
    QCOMPARE(rows.at(2999), QStringList{"3000"});
    QVERIFY(rows.last().isEmpty());
}

// 1,048,576 rows of three short cells: about 115 MB of sheet XML in a 5 MB file. Only the rows a list can use
// are read; the rest of the sheet is never inflated.
void TestSpreadsheetReader::millionRowsOfThreeCells()
{
    const QString file = path(QStringLiteral("million.xlsx"));
    QVERIFY(writeLargeWorkbook(file, [](lxw_worksheet *ws) {
        for (lxw_row_t r = 0; r < 1048576; ++r) {
            worksheet_write_string(ws, r, 0, QByteArray("n" + QByteArray::number(r + 1)).constData(), nullptr);
            worksheet_write_number(ws, r, 1, r + 1, nullptr);
            worksheet_write_string(ws, r, 2, "x", nullptr);
        }
    }));
    QStringList messages;
    const Rows rows = readNow(file, &messages);
    QCOMPARE(messages, QStringList());
    // Row 3001 tells that there are more rows than a list takes; one more stands for the rest of the sheet.
    QCOMPARE(rows.size(), 3002);
    for (int i = 0; i < 3001; ++i)
        QCOMPARE(rows.at(i), (QStringList{"n" + QString::number(i + 1), QString::number(i + 1), "x"}));
    QCOMPARE(rows.last(), QStringList());
}

void TestSpreadsheetReader::readStopsAfterTheRowsListsCanUse_data()
{
    QTest::addColumn<int>("step"); // sheet rows from one row with a value to the next
    QTest::newRow("every row") << 1;
    QTest::newRow("every other row") << 2;
}

// The sheet breaks off after 3001 rows with values: the read has what it needs before it gets there. Rows
// between them that hold nothing still come one by one up to the 3001st sheet row, as a list takes them.
void TestSpreadsheetReader::readStopsAfterTheRowsListsCanUse()
{
    QFETCH(int, step);
    QByteArray sheetData;
    for (int i = 0; i < 3001; ++i) {
        const QByteArray r = QByteArray::number(1 + i * step);
        sheetData += row(1 + i * step, inlineCell("A" + r, "v" + r));
    }
    sheetData += "<row r=\"90000\"><c r=\"A90000\" t=\"inlineStr\"><is><t>cut off here";
    Parts parts = package(sheetData);
    QByteArray &sheet = parts["xl/worksheets/sheet1.xml"];
    sheet.truncate(sheet.indexOf("</sheetData>"));

    QStringList messages;
    const Rows rows = readParts(parts, &messages);

    QCOMPARE(messages, QStringList());
    Rows withValues;
    for (int i = 0; i < rows.size(); ++i) {
        if (i < 3001)
            QCOMPARE(rows.at(i).isEmpty(), i % step != 0);
        if (!rows.at(i).isEmpty())
            withValues.append(rows.at(i));
    }
    QCOMPARE(withValues.size(), 3001);
    QCOMPARE(withValues.first(), QStringList{"v1"});
    QCOMPARE(withValues.last(), QStringList{"v" + QString::number(1 + 3000 * step)});
}

// 275 rows of 16,000 cells: each row keeps the texts a list could ever show, not all of them.
void TestSpreadsheetReader::cellsPerRowAreBounded()
{
    const QString file = path(QStringLiteral("wide.xlsx"));
    QVERIFY(writeLargeWorkbook(file, [](lxw_worksheet *ws) {
        for (lxw_row_t r = 0; r < 275; ++r) {
            for (lxw_col_t c = 0; c < 16000; ++c)
                worksheet_write_number(ws, r, c, c + 1, nullptr);
        }
    }));
    QStringList messages;
    const Rows rows = readNow(file, &messages);
    QCOMPARE(messages, QStringList());
    QCOMPARE(rows.size(), 275);
    QStringList expected;
    for (int c = 1; c <= XlsxWorkbook::MaxCellsPerRow; ++c)
        expected.append(QString::number(c));
    for (const QStringList &texts : rows)
        QCOMPARE(texts, expected);
}

void TestSpreadsheetReader::datesIgnoreTheTimeZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    for (const char *zone : {"UTC", "Asia/Shanghai", "America/New_York", "Europe/Berlin"})
        QTest::newRow(zone) << QByteArray(zone);
}

// A cell holds the time a clock showed, in no zone: 02:30 on 31 March 2024 does not exist in Berlin, and the
// cell still reads 02:30.
void TestSpreadsheetReader::datesIgnoreTheTimeZone()
{
    QFETCH(QByteArray, zone);
    const QByteArray before = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", zone);
    ::tzset();
    const auto restore = qScopeGuard([&] {
        if (hadZone)
            qputenv("TZ", before);
        else
            qunsetenv("TZ");
        ::tzset();
    });
    const Parts parts = package(row(1, "<c r=\"A1\" t=\"d\"><v>2024-03-31T02:30:00</v></c>"
                                       "<c r=\"B1\" t=\"d\"><v>2024-03-10T02:30:00.000</v></c>"
                                       "<c r=\"C1\" t=\"d\"><v>2024-10-27T02:30:00Z</v></c>"
                                       + numberCell("D1", "45382.104166666664", 2)),
                                QByteArray(), QByteArray(), DateStyles);
    QStringList messages;
    QCOMPARE(readParts(parts, &messages),
             (Rows{{"2024-03-31 02:30:00", "2024-03-10 02:30:00", "2024-10-27 02:30:00", "2024-03-31 02:30:00"}}));
    QCOMPARE(messages, QStringList());
}

void TestSpreadsheetReader::twoReadsEachDeliverOnce()
{
    const QString first = path(QStringLiteral("first.xlsx"));
    const QString second = path(QStringLiteral("second.xlsx"));
    QVERIFY(zipParts(first, package(row(1, inlineCell("A1", "one")))));
    QVERIFY(zipParts(second, package(row(1, inlineCell("A1", "two")) + row(2, inlineCell("A2", "three")))));

    Receiver receiver;
    startSpreadsheetRead(first, &receiver);
    startSpreadsheetRead(second, &receiver);
    QTRY_COMPARE(receiver.results.size(), 2);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(receiver.results.size(), 2);
    QVERIFY(receiver.results.contains(Rows{{"one"}}));
    QVERIFY(receiver.results.contains(Rows{{"two"}, {"three"}}));
    QVERIFY(receiver.messages.isEmpty());
}

void TestSpreadsheetReader::failureDeliversMessageThenEmptyRows()
{
    const QString file = path(QStringLiteral("names.xlsx"));
    QVERIFY(writeFile(file, "just text"));
    Receiver receiver;
    startSpreadsheetRead(file, &receiver);
    QTRY_COMPARE(receiver.eventTypes, (QList<int>{MyDialogMessageEvent::EventType, MyCustomEvent::EventType}));
    QCOMPARE(receiver.messages, QStringList{FormatMessage});
    QCOMPARE(receiver.results, QList<Rows>{Rows()});
}

void TestSpreadsheetReader::destroyedReceiverGetsNothing()
{
    const QString bad = path(QStringLiteral("bad-for-gone.xlsx"));
    const QString good = path(QStringLiteral("good-for-gone.xlsx"));
    QVERIFY(writeFile(bad, "not a workbook"));
    QVERIFY(zipParts(good, package(row(1, inlineCell("A1", "a")))));

    auto *gone = new Receiver;
    startSpreadsheetRead(bad, gone);
    startSpreadsheetRead(good, gone);
    delete gone;

    Receiver survivor;
    startSpreadsheetRead(good, &survivor);
    QTRY_COMPARE(survivor.results.size(), 1);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(survivor.results, QList<Rows>{Rows{{"a"}}});
}

// A read told to stop reads no further and posts nothing, not even the format message of a broken file.
void TestSpreadsheetReader::cancelledReadStops()
{
    const QString good = path(QStringLiteral("good-cancelled.xlsx"));
    const QString bad = path(QStringLiteral("bad-cancelled.xlsx"));
    QVERIFY(zipParts(good, package(row(1, inlineCell("A1", "a")))));
    QVERIFY(writeFile(bad, "not a workbook"));
    for (const QString &file : {good, bad}) {
        Receiver receiver;
        int asked = 0;
        const QVariantList rows = readSpreadsheet(file, &receiver, [&asked] { return ++asked > 0; });
        QCoreApplication::sendPostedEvents(&receiver);
        QVERIFY(rows.isEmpty());
        QVERIFY(asked > 0);
        QCOMPARE(receiver.eventTypes, QList<int>());
    }
}

// A read whose receiver is gone (the page chose another workbook) is cancelled: it stops instead of reading on
// for nobody. The pool is kept busy until the receiver is gone, so the read starts only afterwards.
void TestSpreadsheetReader::supersededReadIsCancelled()
{
    const QString file = path(QStringLiteral("superseded.xlsx"));
    QVERIFY(zipParts(file, package(row(1, inlineCell("A1", "a")))));
    QThreadPool *pool = QThreadPool::globalInstance();
    QSemaphore gate;
    for (int i = 0; i < pool->maxThreadCount(); ++i)
        QtConcurrent::run(pool, [&gate] { gate.acquire(); });

    auto *receiver = new Receiver;
    startSpreadsheetRead(file, receiver);
    delete receiver;
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Workbook read of .*superseded.xlsx cancelled$"));
    gate.release(pool->maxThreadCount());
    pool->waitForDone();
    QCoreApplication::processEvents();
}

// What a reader of the scanner sees: elements, attributes, texts of t and v elements, and the error.
void traceElement(XmlPullScanner &xml, QStringList *trace)
{
    while (xml.readNextStartElement()) {
        const QString name = QString::fromUtf8(xml.name().data(), xml.name().size());
        trace->append("<" + name + " r=" + xml.attributeText(QLatin1String("r")) + " x="
                      + xml.attributeText(QLatin1String("x")));
        if (name == QLatin1String("t") || name == QLatin1String("v"))
            trace->append("text " + xml.readElementText());
        else if (name == QLatin1String("skip"))
            xml.skipCurrentElement();
        else
            traceElement(xml, trace);
    }
}

QStringList trace(XmlPullScanner &xml)
{
    QStringList events;
    traceElement(xml, &events);
    events.append(xml.hasError() ? xml.errorString() : QStringLiteral("end"));
    return events;
}

void TestSpreadsheetReader::scannerReadsTheSameInAnyPieces_data()
{
    QTest::addColumn<QByteArray>("document");
    const QByteArray longText = QByteArray("x&amp;y&#x4E2D;\n").repeated(3000);
    QTest::newRow("cells") << QByteArray(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet xmlns=\"m\"><!-- a > comment -->\n<sheetData>"
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>a &amp; b &#x4E2D; &lt;</t></is></c>"
        "<c r=\"B1\" x='q>\"'><v><![CDATA[1<2]]>3</v></c></row>\n<row r=\"2\"/>"
        "<skip><x><![CDATA[</skip>]]></x><?pi ?></skip></sheetData></worksheet>");
    QTest::newRow("byte order mark, long text")
        << "\xEF\xBB\xBF<sst><si><t>" + longText + "</t></si><si><t xml:space=\"preserve\"> 中文 </t></si></sst>";
    QTest::newRow("spaces between rows") << "<a>" + QByteArray(300000, ' ') + "<b r=\"1\"/>\n\n<v>1</v></a>";
    QTest::newRow("utf-16") << QByteArray("\xFF\xFE<\0a\0>\0<\0v\0>\0-N<\0/\0v\0>\0<\0/\0a\0>\0", 32);
    QTest::newRow("unterminated comment") << QByteArray("<a>\n<v>1</v>\n<!-- no end");
    QTest::newRow("mismatched end tag") << QByteArray("<a>\n\n<b></c></a>");
    QTest::newRow("reference cut short") << QByteArray("<a><v>1&amp;2&amp</v></a>");
    QTest::newRow("premature end in text") << "<a><v>" + QByteArray(5000, 'x');
}

// A part streamed in pieces of any size reads as it reads whole, errors and their lines included.
void TestSpreadsheetReader::scannerReadsTheSameInAnyPieces()
{
    QFETCH(QByteArray, document);
    XmlPullScanner whole(document);
    const QStringList expected = trace(whole);
    for (const qint64 piece : {1, 2, 3, 5, 8, 13, 64, 4096, 1 << 20}) {
        qint64 at = 0;
        XmlPullScanner streamed([&](char *buffer, qint64 size) {
            const qint64 n = qMin(qMin(size, piece), qint64(document.size()) - at);
            std::memcpy(buffer, document.constData() + at, size_t(n));
            at += n;
            return n;
        });
        QCOMPARE(trace(streamed), expected);
    }
}

QTEST_GUILESS_MAIN(TestSpreadsheetReader)
#include "tst_spreadsheetreader.moc"
