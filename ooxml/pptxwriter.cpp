#include "pptxwriter.h"

#include "ooxml/officepackage.h"

namespace {

using Relationship = OfficePackage::Relationship;

const char PresentationPart[] = "ppt/presentation.xml";
const char MasterPart[] = "ppt/slideMasters/slideMaster1.xml";
const char LayoutPart[] = "ppt/slideLayouts/slideLayout1.xml";
const char SlidePart[] = "ppt/slides/slide1.xml";
const char ThemePart[] = "ppt/theme/theme1.xml";
const char PresPropsPart[] = "ppt/presProps.xml";
const char ViewPropsPart[] = "ppt/viewProps.xml";
const char TableStylesPart[] = "ppt/tableStyles.xml";

const char Namespaces[] = " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
                          " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
                          " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"";

// The shape tree every slide-like part holds, here without shapes.
const char EmptyShapeTree[] =
    "<p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr>"
    "<a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"0\" "
    "cy=\"0\"/></a:xfrm></p:grpSpPr></p:spTree>";

QString presentationMl(const char *type)
{
    return QLatin1String("application/vnd.openxmlformats-officedocument.presentationml.") + QLatin1String(type);
}

QString relationshipType(const char *name)
{
    return QLatin1String(OfficePackage::OfficeRelationshipsBase) + QLatin1String(name);
}

QByteArray part(const QByteArray &body)
{
    return QByteArray(OfficePackage::XmlDeclaration) + body;
}

QByteArray presentationXml()
{
    // Master and layout ids start at 2^31 and slide ids at 256, as the format requires.
    return part(QByteArray("<p:presentation") + Namespaces
                + " saveSubsetFonts=\"1\"><p:sldMasterIdLst><p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/>"
                  "</p:sldMasterIdLst><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId2\"/></p:sldIdLst>"
                  "<p:sldSz cx=\"12192000\" cy=\"6858000\"/><p:notesSz cx=\"6858000\" cy=\"9144000\"/>"
                  "</p:presentation>");
}

QByteArray textLevel(const char *element, int size, const char *font)
{
    return QByteArray("<p:") + element + "><a:lvl1pPr><a:defRPr sz=\"" + QByteArray::number(size)
        + "\"><a:solidFill><a:schemeClr val=\"tx1\"/></a:solidFill><a:latin typeface=\"+" + font
        + "-lt\"/><a:ea typeface=\"+" + font + "-ea\"/><a:cs typeface=\"+" + font + "-cs\"/></a:defRPr>"
        + "</a:lvl1pPr></p:" + element + ">";
}

QByteArray masterXml()
{
    return part(QByteArray("<p:sldMaster") + Namespaces
                + "><p:cSld><p:bg><p:bgRef idx=\"1001\"><a:schemeClr val=\"bg1\"/></p:bgRef></p:bg>"
                + EmptyShapeTree
                + "</p:cSld><p:clrMap bg1=\"lt1\" tx1=\"dk1\" bg2=\"lt2\" tx2=\"dk2\" accent1=\"accent1\" "
                  "accent2=\"accent2\" accent3=\"accent3\" accent4=\"accent4\" accent5=\"accent5\" "
                  "accent6=\"accent6\" hlink=\"hlink\" folHlink=\"folHlink\"/><p:sldLayoutIdLst>"
                  "<p:sldLayoutId id=\"2147483649\" r:id=\"rId1\"/></p:sldLayoutIdLst><p:txStyles>"
                + textLevel("titleStyle", 4400, "mj") + textLevel("bodyStyle", 2800, "mn")
                + textLevel("otherStyle", 1800, "mn") + "</p:txStyles></p:sldMaster>");
}

QByteArray layoutXml()
{
    return part(QByteArray("<p:sldLayout") + Namespaces + " type=\"blank\" preserve=\"1\"><p:cSld name=\"Blank\">"
                + EmptyShapeTree + "</p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sldLayout>");
}

QByteArray slideXml()
{
    return part(QByteArray("<p:sld") + Namespaces + "><p:cSld>" + EmptyShapeTree
                + "</p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sld>");
}

QByteArray colour(const char *slot, const char *value)
{
    return QByteArray("<a:") + slot + "><a:srgbClr val=\"" + value + "\"/></a:" + slot + ">";
}

QByteArray repeated(const QByteArray &item, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += item;
    return out;
}

// The format asks for at least three styles in each list of the format scheme.
QByteArray themeXml()
{
    const QByteArray placeholderFill = "<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>";
    QByteArray lines;
    for (const char *width : {"6350", "12700", "19050"})
        lines += QByteArray("<a:ln w=\"") + width + "\">" + placeholderFill + "</a:ln>";
    return part(
        QByteArray("<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"Office\">"
                   "<a:themeElements><a:clrScheme name=\"Office\">"
                   "<a:dk1><a:sysClr val=\"windowText\" lastClr=\"000000\"/></a:dk1>"
                   "<a:lt1><a:sysClr val=\"window\" lastClr=\"FFFFFF\"/></a:lt1>")
        + colour("dk2", "44546A") + colour("lt2", "E7E6E6") + colour("accent1", "4472C4")
        + colour("accent2", "ED7D31") + colour("accent3", "A5A5A5") + colour("accent4", "FFC000")
        + colour("accent5", "5B9BD5") + colour("accent6", "70AD47") + colour("hlink", "0563C1")
        + colour("folHlink", "954F72")
        + "</a:clrScheme><a:fontScheme name=\"Office\"><a:majorFont><a:latin typeface=\"Calibri Light\"/>"
          "<a:ea typeface=\"\"/><a:cs typeface=\"\"/></a:majorFont><a:minorFont><a:latin typeface=\"Calibri\"/>"
          "<a:ea typeface=\"\"/><a:cs typeface=\"\"/></a:minorFont></a:fontScheme><a:fmtScheme name=\"Office\">"
          "<a:fillStyleLst>"
        + repeated(placeholderFill, 3) + "</a:fillStyleLst><a:lnStyleLst>" + lines
        + "</a:lnStyleLst><a:effectStyleLst>" + repeated("<a:effectStyle><a:effectLst/></a:effectStyle>", 3)
        + "</a:effectStyleLst><a:bgFillStyleLst>" + repeated(placeholderFill, 3)
        + "</a:bgFillStyleLst></a:fmtScheme></a:themeElements><a:objectDefaults/><a:extraClrSchemeLst/>"
          "</a:theme>");
}

OfficePackage presentationPackage(const QDateTime &created = QDateTime())
{
    OfficePackage package{QLatin1String(PresentationPart), created};
    package.addPart(QLatin1String(PresentationPart), presentationMl("presentation.main+xml"), presentationXml());
    package.addRelationships(QLatin1String(PresentationPart),
                             {{QStringLiteral("rId1"), relationshipType("slideMaster"),
                               QStringLiteral("slideMasters/slideMaster1.xml")},
                              {QStringLiteral("rId2"), relationshipType("slide"), QStringLiteral("slides/slide1.xml")},
                              {QStringLiteral("rId3"), relationshipType("theme"), QStringLiteral("theme/theme1.xml")},
                              {QStringLiteral("rId4"), relationshipType("presProps"), QStringLiteral("presProps.xml")},
                              {QStringLiteral("rId5"), relationshipType("viewProps"), QStringLiteral("viewProps.xml")},
                              {QStringLiteral("rId6"), relationshipType("tableStyles"),
                               QStringLiteral("tableStyles.xml")}});

    package.addPart(QLatin1String(MasterPart), presentationMl("slideMaster+xml"), masterXml());
    package.addRelationships(QLatin1String(MasterPart),
                             {{QStringLiteral("rId1"), relationshipType("slideLayout"),
                               QStringLiteral("../slideLayouts/slideLayout1.xml")},
                              {QStringLiteral("rId2"), relationshipType("theme"),
                               QStringLiteral("../theme/theme1.xml")}});

    package.addPart(QLatin1String(LayoutPart), presentationMl("slideLayout+xml"), layoutXml());
    package.addRelationships(QLatin1String(LayoutPart),
                             {{QStringLiteral("rId1"), relationshipType("slideMaster"),
                               QStringLiteral("../slideMasters/slideMaster1.xml")}});

    package.addPart(QLatin1String(SlidePart), presentationMl("slide+xml"), slideXml());
    package.addRelationships(QLatin1String(SlidePart),
                             {{QStringLiteral("rId1"), relationshipType("slideLayout"),
                               QStringLiteral("../slideLayouts/slideLayout1.xml")}});

    package.addPart(QLatin1String(ThemePart), QStringLiteral("application/vnd.openxmlformats-officedocument.theme+xml"),
                    themeXml());
    package.addPart(QLatin1String(PresPropsPart), presentationMl("presProps+xml"),
                    part(QByteArray("<p:presentationPr") + Namespaces + "/>"));
    package.addPart(QLatin1String(ViewPropsPart), presentationMl("viewProps+xml"),
                    part(QByteArray("<p:viewPr") + Namespaces + "/>"));
    package.addPart(QLatin1String(TableStylesPart), presentationMl("tableStyles+xml"),
                    part("<a:tblStyleLst xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                         "def=\"{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}\"/>"));
    return package;
}

} // namespace

QByteArray PptxWriter::toByteArray(QString *error)
{
    return presentationPackage().toByteArray(error);
}

bool PptxWriter::write(const QString &path, QString *error, const QDateTime &created)
{
    return presentationPackage(created).write(path, error);
}
