#include "docxwriter.h"

#include "ooxml/officepackage.h"
#include "ooxml/xmltext.h"

namespace {

const char DocumentPart[] = "word/document.xml";
const char StylesPart[] = "word/styles.xml";
const char DocumentContentType[] =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
const char StylesContentType[] = "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
const char WordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// A4 with the margins Word uses for a new Chinese document, in twentieths of a point.
const char SectionProperties[] =
    "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:right=\"1800\" w:bottom=\"1440\" "
    "w:left=\"1800\" w:header=\"851\" w:footer=\"992\" w:gutter=\"0\"/></w:sectPr>";

// Document defaults, so a reader that lacks them shows the text in the usual fonts and size (10.5 pt).
QByteArray stylesXml()
{
    return QByteArray(OfficePackage::XmlDeclaration) + "<w:styles xmlns:w=\"" + WordNamespace
        + "\"><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Calibri\" w:hAnsi=\"Calibri\" "
          "w:eastAsia=\"\xE5\xAE\x8B\xE4\xBD\x93\" w:cs=\"Times New Roman\"/><w:sz w:val=\"21\"/>"
          "<w:szCs w:val=\"21\"/><w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\" w:bidi=\"ar-SA\"/></w:rPr>"
          "</w:rPrDefault><w:pPrDefault/></w:docDefaults><w:style w:type=\"paragraph\" w:default=\"1\" "
          "w:styleId=\"Normal\"><w:name w:val=\"Normal\"/><w:qFormat/></w:style></w:styles>";
}

void appendText(QString *xml, QStringView text)
{
    if (text.isEmpty())
        return;
    *xml += QLatin1String("<w:t xml:space=\"preserve\">");
    XmlText::appendEscaped(xml, text);
    *xml += QLatin1String("</w:t>");
}

// One run: tabs and line breaks become their own elements, since Word takes them as plain spaces in text.
void appendParagraph(QString *xml, const QString &line)
{
    if (line.isEmpty()) {
        *xml += QLatin1String("<w:p/>");
        return;
    }
    *xml += QLatin1String("<w:p><w:r>");
    int start = 0;
    const int n = line.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = line.at(i);
        if (c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        appendText(xml, QStringView(line).mid(start, i - start));
        if (c == QLatin1Char('\t')) {
            *xml += QLatin1String("<w:tab/>");
        } else {
            *xml += QLatin1String("<w:br/>");
            if (c == QLatin1Char('\r') && i + 1 < n && line.at(i + 1) == QLatin1Char('\n'))
                ++i;
        }
        start = i + 1;
    }
    appendText(xml, QStringView(line).mid(start));
    *xml += QLatin1String("</w:r></w:p>");
}

OfficePackage documentPackage(const QStringList &paragraphs, const QDateTime &created = QDateTime())
{
    OfficePackage package{QLatin1String(DocumentPart), created};
    package.addPart(QLatin1String(DocumentPart), QLatin1String(DocumentContentType),
                    DocxWriter::documentXml(paragraphs));
    package.addPart(QLatin1String(StylesPart), QLatin1String(StylesContentType), stylesXml());
    package.addRelationships(QLatin1String(DocumentPart),
                             {{QStringLiteral("rId1"),
                               QLatin1String(OfficePackage::OfficeRelationshipsBase) + QLatin1String("styles"),
                               QStringLiteral("styles.xml")}});
    return package;
}

} // namespace

QByteArray DocxWriter::documentXml(const QStringList &paragraphs)
{
    QString xml;
    int size = 512;
    for (const QString &line : paragraphs)
        size += line.size() + 64;
    xml.reserve(size);
    xml += QLatin1String(OfficePackage::XmlDeclaration);
    xml += QLatin1String("<w:document xmlns:w=\"") + QLatin1String(WordNamespace) + QLatin1String("\"><w:body>");
    for (const QString &line : paragraphs)
        appendParagraph(&xml, line);
    if (paragraphs.isEmpty())
        xml += QLatin1String("<w:p/>");
    xml += QLatin1String(SectionProperties);
    xml += QLatin1String("</w:body></w:document>");
    return xml.toUtf8();
}

QByteArray DocxWriter::toByteArray(const QStringList &paragraphs, QString *error)
{
    return documentPackage(paragraphs).toByteArray(error);
}

bool DocxWriter::write(const QString &path, const QStringList &paragraphs, QString *error, const QDateTime &created)
{
    return documentPackage(paragraphs, created).write(path, error);
}
