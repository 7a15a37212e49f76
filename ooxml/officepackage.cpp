#include "officepackage.h"

#include "ooxml/xmltext.h"

#include <QDateTime>

const char OfficePackage::XmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char OfficePackage::RelationshipsNamespace[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const char OfficePackage::OfficeRelationshipsBase[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

namespace {

const char CorePropertiesType[] =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
const char CoreContentType[] = "application/vnd.openxmlformats-package.core-properties+xml";
const char AppContentType[] = "application/vnd.openxmlformats-officedocument.extended-properties+xml";
const char RelationshipsContentType[] = "application/vnd.openxmlformats-package.relationships+xml";

QString attribute(const QString &text)
{
    return XmlText::escaped(text);
}

QByteArray contentTypesXml(const QVector<QPair<QString, QString>> &overrides)
{
    QString xml = QLatin1String(OfficePackage::XmlDeclaration);
    xml += QLatin1String("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                         "<Default Extension=\"rels\" ContentType=\"");
    xml += QLatin1String(RelationshipsContentType);
    xml += QLatin1String("\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>");
    for (const auto &entry : overrides) {
        xml += QLatin1String("<Override PartName=\"/") + attribute(entry.first) + QLatin1String("\" ContentType=\"")
            + attribute(entry.second) + QLatin1String("\"/>");
    }
    xml += QLatin1String("</Types>");
    return xml.toUtf8();
}

QByteArray corePropertiesXml(const QDateTime &created)
{
    const QDateTime when = created.isValid() ? created : QDateTime::currentDateTimeUtc();
    const QString now = when.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
    QString xml = QLatin1String(OfficePackage::XmlDeclaration);
    xml += QLatin1String(
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
        "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
        "<dcterms:created xsi:type=\"dcterms:W3CDTF\">");
    xml += now;
    xml += QLatin1String("</dcterms:created><dcterms:modified xsi:type=\"dcterms:W3CDTF\">");
    xml += now;
    xml += QLatin1String("</dcterms:modified></cp:coreProperties>");
    return xml.toUtf8();
}

QByteArray appPropertiesXml()
{
    return QByteArray(OfficePackage::XmlDeclaration)
        + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
          "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
          "<Application>Quorlin</Application></Properties>";
}

QString relationshipsPartOf(const QString &sourcePart)
{
    const int slash = sourcePart.lastIndexOf(QLatin1Char('/'));
    return sourcePart.left(slash + 1) + QLatin1String("_rels/") + sourcePart.mid(slash + 1)
        + QLatin1String(".rels");
}

} // namespace

OfficePackage::OfficePackage(const QString &mainPart, const QDateTime &created)
    : m_mainPart(mainPart), m_created(created)
{
}

void OfficePackage::addPart(const QString &name, const QString &contentType, const QByteArray &data)
{
    m_parts.append({name, contentType, data});
}

void OfficePackage::addRelationships(const QString &sourcePart, const QVector<Relationship> &relationships)
{
    // Covered by the "rels" default of the content-type item.
    m_parts.append({relationshipsPartOf(sourcePart), QString(), relationshipsXml(relationships)});
}

QByteArray OfficePackage::relationshipsXml(const QVector<Relationship> &relationships)
{
    QString xml = QLatin1String(XmlDeclaration);
    xml += QLatin1String("<Relationships xmlns=\"") + QLatin1String(RelationshipsNamespace) + QLatin1String("\">");
    for (const Relationship &r : relationships) {
        xml += QLatin1String("<Relationship Id=\"") + attribute(r.id) + QLatin1String("\" Type=\"")
            + attribute(r.type) + QLatin1String("\" Target=\"") + attribute(r.target) + QLatin1String("\"/>");
    }
    xml += QLatin1String("</Relationships>");
    return xml.toUtf8();
}

ZipWriter OfficePackage::package() const
{
    QVector<QPair<QString, QString>> overrides;
    for (const Part &part : m_parts) {
        if (!part.contentType.isEmpty())
            overrides.append({part.name, part.contentType});
    }
    overrides.append({QStringLiteral("docProps/core.xml"), QLatin1String(CoreContentType)});
    overrides.append({QStringLiteral("docProps/app.xml"), QLatin1String(AppContentType)});

    const QString base = QLatin1String(OfficeRelationshipsBase);
    const QVector<Relationship> packageRelationships = {
        {QStringLiteral("rId1"), base + QLatin1String("officeDocument"), m_mainPart},
        {QStringLiteral("rId2"), QLatin1String(CorePropertiesType), QStringLiteral("docProps/core.xml")},
        {QStringLiteral("rId3"), base + QLatin1String("extended-properties"), QStringLiteral("docProps/app.xml")},
    };

    ZipWriter zip;
    zip.setModified(m_created);
    // Readers that sniff a package look at the first entry, so the content-type item leads.
    zip.addPart(QStringLiteral("[Content_Types].xml"), contentTypesXml(overrides));
    zip.addPart(QStringLiteral("_rels/.rels"), relationshipsXml(packageRelationships));
    zip.addPart(QStringLiteral("docProps/core.xml"), corePropertiesXml(m_created));
    zip.addPart(QStringLiteral("docProps/app.xml"), appPropertiesXml());
    for (const Part &part : m_parts)
        zip.addPart(part.name, part.data);
    return zip;
}

QByteArray OfficePackage::toByteArray(QString *error) const
{
    return package().toByteArray(error);
}

bool OfficePackage::write(const QString &path, QString *error) const
{
    return package().write(path, error);
}
