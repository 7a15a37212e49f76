#include "xlsxworkbook.h"

#include "xmlpullscanner.h"
#include "zippackage.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <QTime>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

struct Relationship
{
    QString id;
    QString type;
    QString target;
    bool external = false;
};

const QLatin1String OfficeDocumentType("/officeDocument");
const QLatin1String WorksheetType("/worksheet");
const QLatin1String SharedStringsType("/sharedStrings");
const QLatin1String StylesType("/styles");

bool isTrue(QLatin1String value)
{
    return value == QLatin1String("1") || value == QLatin1String("true");
}

// Attribute values are UTF-8 bytes; numbers in them are ASCII.
int toInt(QLatin1String value, bool *ok)
{
    return QByteArray::fromRawData(value.data(), value.size()).toInt(ok);
}

// The start of a value from a file, for a log line.
QString excerpt(QLatin1String bytes)
{
    return QString::fromUtf8(bytes.data(), qMin(bytes.size(), 32));
}

// "B12" or "$B$12"; false for anything outside the grid.
bool parseCellRef(QLatin1String ref, int *row, int *column)
{
    int i = 0;
    const int n = ref.size();
    const char *text = ref.data();
    if (i < n && text[i] == '$')
        ++i;
    int col = 0;
    int letters = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        const char upper = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
        if (upper < 'A' || upper > 'Z')
            break;
        if (++letters > 3)
            return false;
        col = col * 26 + (upper - 'A' + 1);
    }
    if (letters == 0 || col > XlsxWorkbook::MaxColumns)
        return false;
    if (i < n && text[i] == '$')
        ++i;
    int r = 0;
    int digits = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        if (++digits > 7)
            return false;
        r = r * 10 + (c - '0');
    }
    if (digits == 0 || r < 1 || r > XlsxWorkbook::MaxRows)
        return false;
    *row = r;
    *column = col;
    return true;
}

struct CellRange
{
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;
    bool valid = false;
};

CellRange parseRange(QLatin1String text)
{
    CellRange range;
    const int colon = text.indexOf(QLatin1Char(':'));
    const QLatin1String first = colon < 0 ? text : text.left(colon);
    const QLatin1String last = colon < 0 ? text : text.mid(colon + 1);
    if (!parseCellRef(first, &range.firstRow, &range.firstColumn)
        || !parseCellRef(last, &range.lastRow, &range.lastColumn))
        return range;
    range.valid = range.firstRow <= range.lastRow && range.firstColumn <= range.lastColumn;
    return range;
}

// Strings may carry characters XML cannot hold as _xHHHH_.
QString decodeEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    const int n = text.size();
    for (int i = 0; i < n;) {
        if (text[i] == QLatin1Char('_') && i + 6 < n && text[i + 1] == QLatin1Char('x')
            && text[i + 6] == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = text.midRef(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out.append(QChar(code));
                i += 7;
                continue;
            }
        }
        out.append(text[i++]);
    }
    return out;
}

// Number format codes that show a date or a time of day. Quoted text, escaped characters, fill and padding
// characters and bracketed colours or locales are no tokens; an elapsed time ([h]:mm) is a duration.
bool isDateFormatCode(const QString &code)
{
    const int n = code.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"')) {
            const int close = code.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0)
                return false;
            i = close;
            continue;
        }
        if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const int close = code.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                return false;
            const QChar first = close > i + 1 ? code[i + 1].toLower() : QChar();
            if (first == QLatin1Char('h') || first == QLatin1Char('m') || first == QLatin1Char('s'))
                return false;
            i = close;
            continue;
        }
        if (code.midRef(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            i += 4;
            continue;
        }
        if (code.midRef(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            i += 2;
            continue;
        }
        switch (c.toLower().unicode()) {
        case 'y': case 'm': case 'd': case 'h': case 's':
            return true;
        default:
            break;
        }
    }
    return false;
}

// The built-in formats that show dates or times: the international ones and those of the CJK locales.
bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

QString dateTimeText(const QDate &date, int secondsOfDay)
{
    QString text = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (secondsOfDay != 0)
        text += QLatin1Char(' ') + QTime(0, 0).addSecs(secondsOfDay).toString(QStringLiteral("HH:mm:ss"));
    return text;
}

// A serial day number as a date. Day 60 of the 1900 system is the 29 February 1900 that the system counts
// although it never was; a serial below 1 there is a time of day without a date. Empty when out of range.
QString serialDateText(double serial, bool date1904)
{
    if (!(serial >= 0) || serial >= 2958466) // up to 9999-12-31
        return QString();
    const qint64 seconds = qint64(std::llround(serial * 86400.0));
    const qint64 days = seconds / 86400;
    const int secondsOfDay = int(seconds % 86400);
    if (date1904)
        return dateTimeText(QDate(1904, 1, 1).addDays(days), secondsOfDay);
    if (days == 0)
        return QTime(0, 0).addSecs(secondsOfDay).toString(QStringLiteral("HH:mm:ss"));
    if (days == 60) {
        QString text = QStringLiteral("1900-02-29");
        if (secondsOfDay != 0)
            text += QLatin1Char(' ') + QTime(0, 0).addSecs(secondsOfDay).toString(QStringLiteral("HH:mm:ss"));
        return text;
    }
    const QDate epoch = days < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    return dateTimeText(epoch.addDays(days), secondsOfDay);
}

// The time of day of an ISO 8601 time, a zone designator ("Z", "+08:00") left aside: a cell holds what a clock
// showed.
QTime isoTimeOfDay(QString text)
{
    if (text.endsWith(QLatin1Char('Z')))
        text.chop(1);
    const int offset = qMax(text.lastIndexOf(QLatin1Char('+')), text.lastIndexOf(QLatin1Char('-')));
    if (offset > 0)
        text.truncate(offset);
    return QTime::fromString(text, Qt::ISODate);
}

// An ISO 8601 value of a cell of type "d", shown like a date-formatted number. Date and time are read apart,
// in no time zone: a wall-clock time that the local zone skips (a daylight-saving gap) is still that time.
QString isoDateText(const QString &value)
{
    const int t = value.indexOf(QLatin1Char('T'));
    if (t > 0) {
        const QDate date = QDate::fromString(value.left(t), Qt::ISODate);
        const QTime time = isoTimeOfDay(value.mid(t + 1));
        if (date.isValid() && time.isValid())
            return dateTimeText(date, time.msecsSinceStartOfDay() / 1000);
        return value;
    }
    const QDate date = QDate::fromString(value, Qt::ISODate);
    if (date.isValid())
        return dateTimeText(date, 0);
    const QTime time = isoTimeOfDay(value);
    if (time.isValid())
        return time.toString(QStringLiteral("HH:mm:ss"));
    return value;
}

// The shortest text that reads back as the same double, written out in full between 1e-7 and 1e21 so that
// 1000000 stays 1000000; beyond that with an exponent.
QString numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const QString scientific = QString::number(std::fabs(value), 'e', QLocale::FloatingPointShortest);
    const int e = scientific.indexOf(QLatin1Char('e'));
    const int exponent = scientific.midRef(e + 1).toInt();
    if (e < 0 || exponent < -7 || exponent >= 21)
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    QString digits = scientific.left(e);
    digits.remove(QLatin1Char('.'));
    const int pointAt = exponent + 1; // digits before the decimal point
    QString text;
    if (pointAt <= 0)
        text = QStringLiteral("0.") + QString(-pointAt, QLatin1Char('0')) + digits;
    else if (pointAt >= digits.size())
        text = digits + QString(pointAt - digits.size(), QLatin1Char('0'));
    else
        text = digits.left(pointAt) + QLatin1Char('.') + digits.mid(pointAt);
    return value < 0 ? QLatin1Char('-') + text : text;
}

// Whether a stored number is already in the form numberText gives: up to 15 significant digits (so no shorter
// text reads back as the same double), no exponent, no superfluous zeros. Saves the conversion for the usual
// integers and short decimals.
bool isShortestNumberText(const QString &text)
{
    const QChar *c = text.constData();
    const QChar *end = c + text.size();
    if (c < end && *c == QLatin1Char('-'))
        ++c;
    if (c == end)
        return false;
    int significant = 0;
    if (*c == QLatin1Char('0')) {
        ++c;
        if (c == end)
            return text.size() == 1; // "0", but not "-0"
    } else {
        for (; c < end && c->unicode() >= '0' && c->unicode() <= '9'; ++c)
            ++significant;
        if (significant == 0)
            return false;
        if (c == end)
            return significant <= 15;
    }
    if (*c != QLatin1Char('.') || ++c == end)
        return false;
    int leadingZeros = 0;
    if (significant == 0) {
        for (; c < end && *c == QLatin1Char('0'); ++c)
            ++leadingZeros;
    }
    if (leadingZeros > 6)
        return false; // numberText writes those with an exponent
    const QChar *digits = c;
    for (; c < end && c->unicode() >= '0' && c->unicode() <= '9'; ++c)
        ++significant;
    return c == end && c > digits && *(c - 1) != QLatin1Char('0') && significant <= 15;
}

QString directoryOf(const QString &partName)
{
    const int slash = partName.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : partName.left(slash);
}

// A relationship target relative to the folder of its source part, or absolute from the package root.
// Empty when it climbs out of the package.
QString resolveTarget(const QString &baseDirectory, const QString &target)
{
    QString path = QUrl::fromPercentEncoding(target.toUtf8());
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts;
    if (!path.startsWith(QLatin1Char('/')))
        parts = baseDirectory.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &segment : segments) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (parts.isEmpty())
                return QString();
            parts.removeLast();
            continue;
        }
        parts.append(segment);
    }
    return parts.join(QLatin1Char('/'));
}

QString relationshipsPartOf(const QString &partName)
{
    const QString directory = directoryOf(partName);
    const QString file = partName.mid(directory.isEmpty() ? 0 : directory.size() + 1);
    return (directory.isEmpty() ? QString() : directory + QLatin1Char('/')) + QStringLiteral("_rels/") + file
        + QStringLiteral(".rels");
}

} // namespace

// One load: reads the parts that lead to the current worksheet and fills the workbook.
class XlsxLoader
{
public:
    XlsxLoader(XlsxWorkbook &book, ZipPackage &package) : m_book(book), m_package(package) {}

    // A failed load leaves nothing but the reason.
    static bool load(XlsxWorkbook &book, ZipPackage &package, bool opened)
    {
        if (!opened) {
            book.m_error = QStringLiteral("not a zip archive");
            return false;
        }
        book.m_loaded = XlsxLoader(book, package).run();
        if (!book.m_loaded) {
            const QString error = book.m_error;
            const bool cancelled = book.m_wasCancelled;
            book.reset();
            book.m_error = error;
            book.m_wasCancelled = cancelled;
        }
        return book.m_loaded;
    }

    bool run()
    {
        QString workbookPart;
        if (!findWorkbookPart(&workbookPart) || !readWorkbook(workbookPart))
            return false;
        if (!readWorkbookRelationships(workbookPart))
            return false;
        QString sheetPart;
        if (!findCurrentWorksheet(workbookPart, &sheetPart))
            return false;
        if (sheetPart.isEmpty())
            return true; // a workbook, but its current sheet is not a worksheet
        m_book.m_hasWorksheet = true;
        // The sheet first: only the shared strings its kept cells use are then looked up.
        if (!readStyles(workbookPart) || !readWorksheet(sheetPart) || !readSharedStrings(workbookPart))
            return false;
        settleCells();
        setUsedRange(m_dimension);
        return true;
    }

private:
    bool fail(const QString &why)
    {
        if (m_book.m_error.isEmpty())
            m_book.m_error = why;
        return false;
    }

    enum class Part { Read, Missing, Failed };

    // Reads a part; Failed, with the reason, when it cannot be inflated within the caps.
    Part fetch(const QString &name, QByteArray *data)
    {
        switch (m_package.read(name, data)) {
        case ZipPackage::Read:
            return Part::Read;
        case ZipPackage::Missing:
            return Part::Missing;
        case ZipPackage::Broken:
            break;
        }
        fail(name + QStringLiteral(": unreadable or larger than allowed"));
        return Part::Failed;
    }

    // Reads a part the package cannot do without.
    bool readPart(const QString &name, QByteArray *data)
    {
        switch (fetch(name, data)) {
        case Part::Read:
            return true;
        case Part::Missing:
            return fail(name + QStringLiteral(": missing"));
        case Part::Failed:
            break;
        }
        return false;
    }

    // Opens a part to be read as a stream; the package reads only as far as the scanner asks.
    bool openStream(const QString &name)
    {
        switch (m_package.openEntry(name)) {
        case ZipPackage::Read:
            return true;
        case ZipPackage::Missing:
            return fail(name + QStringLiteral(": missing"));
        case ZipPackage::Broken:
            break;
        }
        return fail(name + QStringLiteral(": unreadable"));
    }

    XmlPullScanner::Source streamSource()
    {
        return [this](char *buffer, qint64 size) { return m_package.readEntry(buffer, size); };
    }

    bool cancelled()
    {
        if (!m_book.m_cancelled || !m_book.m_cancelled())
            return false;
        m_book.m_wasCancelled = true;
        return fail(QStringLiteral("cancelled"));
    }

    // Positions the scanner on the root element.
    bool openRoot(XmlPullScanner &xml, const QString &partName, QLatin1String rootName)
    {
        if (!xml.readNextStartElement())
            return xml.hasError() ? xmlFailed(xml, partName) : fail(partName + QStringLiteral(": no root element"));
        if (xml.name() != rootName)
            return fail(partName + QStringLiteral(": unexpected root element ") + xml.name());
        return true;
    }

    bool xmlFailed(const XmlPullScanner &xml, const QString &partName)
    {
        return fail(partName + QStringLiteral(": ") + xml.errorString());
    }

    // After the root element: only the end of the document may follow.
    bool finish(XmlPullScanner &xml, const QString &partName)
    {
        if (!xml.hasError() && xml.readNextStartElement())
            xml.raiseError(QStringLiteral("content after the root element"));
        return xml.hasError() ? xmlFailed(xml, partName) : true;
    }

    bool parseRelationships(const QByteArray &data, const QString &partName, QVector<Relationship> *out)
    {
        XmlPullScanner xml(data);
        if (!openRoot(xml, partName, QLatin1String("Relationships")))
            return false;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("Relationship")) {
                Relationship relationship;
                relationship.id = xml.attributeText(QLatin1String("Id"));
                relationship.type = xml.attributeText(QLatin1String("Type"));
                relationship.target = xml.attributeText(QLatin1String("Target"));
                relationship.external = xml.attribute(QLatin1String("TargetMode")) == QLatin1String("External");
                out->append(relationship);
            }
            xml.skipCurrentElement();
        }
        return finish(xml, partName);
    }

    const Relationship *firstOfType(const QVector<Relationship> &relationships, QLatin1String typeSuffix) const
    {
        for (const Relationship &relationship : relationships) {
            if (!relationship.external && relationship.type.endsWith(typeSuffix))
                return &relationship;
        }
        return nullptr;
    }

    bool findWorkbookPart(QString *workbookPart)
    {
        *workbookPart = QStringLiteral("xl/workbook.xml");
        const QString rootRelationships = QStringLiteral("_rels/.rels");
        QByteArray data;
        const Part state = fetch(rootRelationships, &data);
        if (state != Part::Read)
            return state == Part::Missing; // a package without them still has its workbook in the usual place
        QVector<Relationship> relationships;
        if (!parseRelationships(data, rootRelationships, &relationships))
            return false;
        if (const Relationship *document = firstOfType(relationships, OfficeDocumentType)) {
            *workbookPart = resolveTarget(QString(), document->target);
            if (workbookPart->isEmpty())
                return fail(QStringLiteral("workbook target outside the package"));
        }
        return true;
    }

    bool readWorkbook(const QString &partName)
    {
        QByteArray data;
        if (!readPart(partName, &data))
            return false;
        XmlPullScanner xml(data);
        if (!openRoot(xml, partName, QLatin1String("workbook")))
            return false;
        bool viewSeen = false;
        while (xml.readNextStartElement()) {
            const QLatin1String name = xml.name();
            if (name == QLatin1String("workbookPr")) {
                m_date1904 = isTrue(xml.attribute(QLatin1String("date1904")));
                xml.skipCurrentElement();
            } else if (name == QLatin1String("bookViews")) {
                while (xml.readNextStartElement()) {
                    if (!viewSeen && xml.name() == QLatin1String("workbookView")) {
                        viewSeen = true;
                        bool ok = false;
                        const int tab = toInt(xml.attribute(QLatin1String("activeTab")), &ok);
                        m_activeTab = ok ? tab : 0;
                    }
                    xml.skipCurrentElement();
                }
            } else if (name == QLatin1String("sheets")) {
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("sheet"))
                        m_sheetRelationshipIds.append(relationshipIdOf(xml));
                    xml.skipCurrentElement();
                }
            } else {
                xml.skipCurrentElement();
            }
        }
        return finish(xml, partName);
    }

    // The r:id of a sheet; the prefix and its namespace differ between transitional and strict files.
    static QString relationshipIdOf(const XmlPullScanner &xml)
    {
        const QLatin1String id = xml.prefixedAttribute(QLatin1String("id"));
        return QString::fromUtf8(id.data(), id.size());
    }

    bool readWorkbookRelationships(const QString &workbookPart)
    {
        const QString partName = relationshipsPartOf(workbookPart);
        QByteArray data;
        return readPart(partName, &data) && parseRelationships(data, partName, &m_workbookRelationships);
    }

    // Empty sheetPart when the workbook has no sheet or its active tab is not a worksheet.
    bool findCurrentWorksheet(const QString &workbookPart, QString *sheetPart)
    {
        sheetPart->clear();
        if (m_sheetRelationshipIds.isEmpty())
            return true;
        const int tab = (m_activeTab >= 0 && m_activeTab < m_sheetRelationshipIds.size()) ? m_activeTab : 0;
        const QString &id = m_sheetRelationshipIds.at(tab);
        for (const Relationship &relationship : qAsConst(m_workbookRelationships)) {
            if (relationship.id != id)
                continue;
            if (!relationship.type.endsWith(WorksheetType))
                return true;
            if (relationship.external)
                return fail(QStringLiteral("external worksheet"));
            *sheetPart = resolveTarget(directoryOf(workbookPart), relationship.target);
            return sheetPart->isEmpty() ? fail(QStringLiteral("worksheet target outside the package")) : true;
        }
        return fail(QStringLiteral("no relationship for sheet ") + id);
    }

    // The part a relationship of the workbook names, or the usual file beside the workbook when a writer
    // left the relationship out. Empty when there is none.
    QString workbookPartOfType(const QString &workbookPart, QLatin1String typeSuffix, const QString &usualName)
    {
        if (const Relationship *relationship = firstOfType(m_workbookRelationships, typeSuffix))
            return resolveTarget(directoryOf(workbookPart), relationship->target);
        const QString usual = resolveTarget(directoryOf(workbookPart), usualName);
        return m_package.contains(usual) ? usual : QString();
    }

    // Gives the cells that show a shared string their text, reading the strings only up to the last one used.
    bool readSharedStrings(const QString &workbookPart)
    {
        if (m_pendingStrings.isEmpty())
            return true;
        QHash<int, QString> used;
        int lastUsed = 0;
        for (const PendingString &pending : qAsConst(m_pendingStrings)) {
            used.insert(pending.index, QString());
            lastUsed = qMax(lastUsed, pending.index);
        }
        const QString partName =
            workbookPartOfType(workbookPart, SharedStringsType, QStringLiteral("sharedStrings.xml"));
        int count = 0;
        if (!partName.isEmpty()) {
            if (!openStream(partName))
                return false;
            XmlPullScanner xml(streamSource());
            if (!openRoot(xml, partName, QLatin1String("sst")))
                return false;
            // The declared count is never used: only items actually present count.
            while (count <= lastUsed && xml.readNextStartElement()) {
                if (xml.name() != QLatin1String("si")) {
                    xml.skipCurrentElement();
                    continue;
                }
                const auto slot = used.find(count++);
                if (slot != used.end())
                    *slot = readStringItem(xml);
                else
                    xml.skipCurrentElement();
                if ((count & 1023) == 0 && cancelled())
                    return false;
            }
            if (xml.hasError())
                return xmlFailed(xml, partName);
            m_package.closeEntry();
        }
        QVector<XlsxCell> &cells = m_book.m_cells;
        for (const PendingString &pending : qAsConst(m_pendingStrings)) {
            if (pending.index >= count)
                return fail(QStringLiteral("%1: shared string %2 does not exist").arg(partName).arg(pending.index));
            cells[pending.cell].text = used.value(pending.index);
        }
        return true;
    }

    // The text of a string item (<si> or <is>): its plain text or its rich-text runs joined; phonetic runs
    // are reading aids, not text. Reads up to the item's end.
    static QString readStringItem(XmlPullScanner &xml)
    {
        QString text;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("t")) {
                text += xml.readElementText();
            } else if (xml.name() == QLatin1String("r")) {
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("t"))
                        text += xml.readElementText();
                    else
                        xml.skipCurrentElement();
                }
            } else {
                xml.skipCurrentElement();
            }
        }
        return decodeEscapes(text);
    }

    bool readStyles(const QString &workbookPart)
    {
        const QString partName = workbookPartOfType(workbookPart, StylesType, QStringLiteral("styles.xml"));
        if (partName.isEmpty())
            return true;
        QByteArray data;
        if (!readPart(partName, &data))
            return false;
        XmlPullScanner xml(data);
        if (!openRoot(xml, partName, QLatin1String("styleSheet")))
            return false;
        QHash<int, QString> customFormats;
        QVector<int> cellFormats;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("numFmts")) {
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("numFmt")) {
                        bool ok = false;
                        const int id = toInt(xml.attribute(QLatin1String("numFmtId")), &ok);
                        if (ok)
                            customFormats.insert(id, xml.attributeText(QLatin1String("formatCode")));
                    }
                    xml.skipCurrentElement();
                }
            } else if (xml.name() == QLatin1String("cellXfs")) {
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("xf"))
                        cellFormats.append(toInt(xml.attribute(QLatin1String("numFmtId")), nullptr));
                    xml.skipCurrentElement();
                }
            } else {
                xml.skipCurrentElement();
            }
        }
        if (!finish(xml, partName))
            return false;
        m_dateStyles.resize(cellFormats.size());
        for (int i = 0; i < cellFormats.size(); ++i) {
            const int id = cellFormats.at(i);
            const auto custom = customFormats.constFind(id);
            m_dateStyles[i] = custom != customFormats.cend() ? isDateFormatCode(*custom) : isBuiltInDateFormat(id);
        }
        return true;
    }

    bool readWorksheet(const QString &partName)
    {
        if (!openStream(partName))
            return false;
        XmlPullScanner xml(streamSource());
        if (!openRoot(xml, partName, QLatin1String("worksheet")))
            return false;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("dimension")) {
                m_dimension = parseRange(xml.attribute(QLatin1String("ref")));
                xml.skipCurrentElement();
            } else if (xml.name() == QLatin1String("sheetData")) {
                switch (readSheetData(xml, partName)) {
                case SheetData::Failed:
                    return xml.hasError() ? xmlFailed(xml, partName) : false;
                case SheetData::Stopped:
                    // The rows kept are all that is wanted: the rest of the part is never inflated.
                    m_book.m_truncated = true;
                    m_package.closeEntry();
                    return true;
                case SheetData::Read:
                    break;
                }
            } else {
                xml.skipCurrentElement();
            }
        }
        if (!finish(xml, partName))
            return false;
        m_package.closeEntry();
        return true;
    }

    enum class SheetData { Read, Stopped, Failed };

    SheetData readSheetData(XmlPullScanner &xml, const QString &partName)
    {
        int row = 0;
        int rowsWithValues = 0;
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("row")) {
                xml.skipCurrentElement();
                continue;
            }
            if (m_book.m_rowLimit >= 0 && rowsWithValues >= m_book.m_rowLimit)
                return SheetData::Stopped;
            if (cancelled())
                return SheetData::Failed;
            const QLatin1String number = xml.attribute(QLatin1String("r"));
            if (number.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                row = toInt(number, &ok);
                if (!ok)
                    row = 0;
            }
            if (row < 1 || row > XlsxWorkbook::MaxRows) {
                fail(QStringLiteral("%1: row number %2 out of range").arg(partName, excerpt(number)));
                return SheetData::Failed;
            }
            const int cellsBefore = m_book.m_cells.size();
            int cellRow = row;
            int column = 0;
            while (xml.readNextStartElement()) {
                if (xml.name() != QLatin1String("c")) {
                    xml.skipCurrentElement();
                    continue;
                }
                // Past the texts a row keeps, only the cells' places are checked.
                if (m_book.m_cells.size() - cellsBefore >= XlsxWorkbook::MaxCellsPerRow) {
                    if (!readPosition(xml, partName, &cellRow, &column))
                        return SheetData::Failed;
                    xml.skipCurrentElement();
                    continue;
                }
                if (!readCell(xml, partName, &cellRow, &column))
                    return SheetData::Failed;
            }
            if (m_book.m_cells.size() > cellsBefore)
                ++rowsWithValues;
        }
        return xml.hasError() ? SheetData::Failed : SheetData::Read;
    }

    // A cell without a reference follows the one before it in its row.
    bool readPosition(const XmlPullScanner &xml, const QString &partName, int *row, int *column)
    {
        const QLatin1String reference = xml.attribute(QLatin1String("r"));
        if (reference.isEmpty()) {
            if (++*column > XlsxWorkbook::MaxColumns)
                return fail(partName + QStringLiteral(": too many cells in a row"));
        } else if (!parseCellRef(reference, row, column)) {
            return fail(partName + QStringLiteral(": bad cell reference ") + excerpt(reference));
        }
        return true;
    }

    bool readCell(XmlPullScanner &xml, const QString &partName, int *row, int *column)
    {
        if (!readPosition(xml, partName, row, column))
            return false;
        const CellType type = cellTypeOf(xml.attribute(QLatin1String("t")));
        bool styleOk = false;
        const int style = toInt(xml.attribute(QLatin1String("s")), &styleOk);
        const bool dateStyle = styleOk && style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style);

        QString value;
        QString inlineText;
        bool hasValue = false;
        bool hasInline = false;
        bool hasFormula = false;
        while (xml.readNextStartElement()) {
            const QLatin1String name = xml.name();
            if (name == QLatin1String("v")) {
                value = xml.readElementText();
                hasValue = true;
            } else if (name == QLatin1String("is")) {
                inlineText = readStringItem(xml);
                hasInline = true;
            } else {
                hasFormula = hasFormula || name == QLatin1String("f");
                xml.skipCurrentElement();
            }
        }
        if (xml.hasError())
            return true; // reported by the caller

        // A cell that only carries formatting holds nothing the user can see.
        if (!hasValue && !hasInline && !hasFormula)
            return true;
        if (type == CellType::SharedString && hasValue) {
            // Its text is looked up once the sheet is read.
            bool ok = false;
            const int index = value.toInt(&ok);
            if (!ok || index < 0)
                return fail(QStringLiteral("%1: shared string %2 does not exist").arg(partName, value.left(32)));
            appendCell(*row, *column, QString());
            m_pendingStrings.append({m_book.m_cells.size() - 1, index});
            return true;
        }
        appendCell(*row, *column, cellText(type, value, hasValue, inlineText, hasInline, dateStyle));
        return true;
    }

    // A formula whose result was never stored gives the empty text.
    enum class CellType { Number, SharedString, InlineString, FormulaString, Boolean, Error, Date, Unknown };

    static CellType cellTypeOf(QLatin1String type)
    {
        if (type.isEmpty() || type == QLatin1String("n"))
            return CellType::Number;
        if (type == QLatin1String("s"))
            return CellType::SharedString;
        if (type == QLatin1String("inlineStr"))
            return CellType::InlineString;
        if (type == QLatin1String("str"))
            return CellType::FormulaString;
        if (type == QLatin1String("b"))
            return CellType::Boolean;
        if (type == QLatin1String("e"))
            return CellType::Error;
        if (type == QLatin1String("d"))
            return CellType::Date;
        return CellType::Unknown;
    }

    // The text of any cell but one showing a shared string.
    QString cellText(CellType type, const QString &value, bool hasValue, const QString &inlineText, bool hasInline,
                     bool dateStyle) const
    {
        switch (type) {
        case CellType::SharedString:
            break;
        case CellType::InlineString:
            return hasInline ? inlineText : value;
        case CellType::Boolean:
            if (!hasValue)
                break;
            return (value == QLatin1String("1") || value == QLatin1String("true")) ? QStringLiteral("true")
                                                                                 : QStringLiteral("false");
        case CellType::FormulaString:
        case CellType::Error:
        case CellType::Unknown:
            return decodeEscapes(value);
        case CellType::Date:
            return isoDateText(value);
        case CellType::Number:
            if (hasValue)
                return numericText(value, dateStyle);
            break;
        }
        return QString();
    }

    QString numericText(const QString &value, bool dateStyle) const
    {
        if (!dateStyle && isShortestNumberText(value))
            return value;
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return value;
        if (dateStyle) {
            const QString date = serialDateText(number, m_date1904);
            if (!date.isEmpty())
                return date;
        }
        return numberText(number);
    }

    void appendCell(int row, int column, const QString &text)
    {
        QVector<XlsxCell> &cells = m_book.m_cells;
        if (!cells.isEmpty()) {
            const XlsxCell &last = cells.constLast();
            if (row < last.row || (row == last.row && column <= last.column))
                m_ordered = false;
        }
        cells.append(XlsxCell{row, column, text});
    }

    // Writers put cells in order, but nothing guarantees it: sort, and let a later cell at the same position
    // replace an earlier one.
    void settleCells()
    {
        QVector<XlsxCell> &cells = m_book.m_cells;
        if (m_ordered)
            return;
        std::stable_sort(cells.begin(), cells.end(), [](const XlsxCell &a, const XlsxCell &b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        });
        int kept = 0;
        for (int i = 0; i < cells.size(); ++i) {
            if (kept > 0 && cells[kept - 1].row == cells[i].row && cells[kept - 1].column == cells[i].column)
                cells[kept - 1] = cells[i];
            else
                cells[kept++] = cells[i];
        }
        cells.resize(kept);
    }

    void setUsedRange(const CellRange &dimension)
    {
        const QVector<XlsxCell> &cells = m_book.m_cells;
        if (cells.isEmpty())
            return;
        int firstRow = cells.constFirst().row;
        int lastRow = cells.constLast().row;
        int firstColumn = XlsxWorkbook::MaxColumns;
        int lastColumn = 0;
        for (const XlsxCell &cell : cells) {
            firstColumn = qMin(firstColumn, cell.column);
            lastColumn = qMax(lastColumn, cell.column);
        }
        const bool enclosesCells = dimension.valid && dimension.firstRow <= firstRow && dimension.lastRow >= lastRow
            && dimension.firstColumn <= firstColumn && dimension.lastColumn >= lastColumn;
        m_book.m_lastRow = enclosesCells ? dimension.lastRow : lastRow;
        m_book.m_lastColumn = enclosesCells ? dimension.lastColumn : lastColumn;
    }

    XlsxWorkbook &m_book;
    ZipPackage &m_package;
    bool m_date1904 = false;
    int m_activeTab = 0;
    QStringList m_sheetRelationshipIds;
    QVector<Relationship> m_workbookRelationships;
    QVector<bool> m_dateStyles;
    CellRange m_dimension;
    // A kept cell that shows a shared string, and which one.
    struct PendingString
    {
        int cell;
        int index;
    };
    QVector<PendingString> m_pendingStrings;
    bool m_ordered = true;
};

void XlsxWorkbook::reset()
{
    // What the caller set for the load stays.
    XlsxWorkbook fresh;
    fresh.m_rowLimit = m_rowLimit;
    fresh.m_cancelled = std::move(m_cancelled);
    *this = std::move(fresh);
}

bool XlsxWorkbook::load(const QString &path)
{
    reset();
    ZipPackage package(MaxPartSize, MaxTotalSize);
    return XlsxLoader::load(*this, package, package.openFile(path));
}

bool XlsxWorkbook::loadFromData(const QByteArray &data)
{
    reset();
    ZipPackage package(MaxPartSize, MaxTotalSize);
    return XlsxLoader::load(*this, package, package.openData(data));
}
