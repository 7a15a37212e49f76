#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QVector>

#include <functional>
#include <string>

// A strict, non-validating pull scanner over the XML of one package part, with the reading calls of
// QXmlStreamReader that the workbook reader needs. It works on the UTF-8 bytes in place (other encodings are
// converted first), which makes a large worksheet several times cheaper to read. Names are compared by their
// local part (the namespace prefix dropped). Documents with a type declaration are refused, so no entity is
// ever expanded, and so is nesting deeper than MaxDepth: a part of millions of open tags costs nothing beyond
// its own bytes.
//
// A part can be handed over whole or as a source that is read piece by piece: then only a window of it is
// held (a little more than the largest tag), so reading the start of a huge part costs no more than that.
class XmlPullScanner
{
public:
    static constexpr int MaxDepth = 256;
    // The most one piece of markup (a tag, comment or character data section) may take in a streamed part.
    static constexpr int MaxMarkupSize = 16 << 20;

    // Puts up to size bytes into buffer: how many, 0 at the end of the part, -1 when it cannot be read.
    using Source = std::function<qint64(char *buffer, qint64 size)>;

    explicit XmlPullScanner(const QByteArray &data);
    explicit XmlPullScanner(Source source);

    // Reads up to the next start element inside the current element: true there; false at the current
    // element's end, at the end of the document, or on an error.
    bool readNextStartElement();
    // From a start element: reads past its end.
    void skipCurrentElement();
    // From a start element: its text and character data up to its end; child elements are skipped.
    QString readElementText();

    // The current start element's local name and attributes. Attribute values are entity-decoded UTF-8 bytes
    // (views valid until the next read); an absent attribute reads as empty.
    QLatin1String name() const { return m_name; }
    QLatin1String attribute(QLatin1String localName) const;
    QString attributeText(QLatin1String localName) const;
    // The value of the first attribute with this local name and a namespace prefix (r:id, say).
    QLatin1String prefixedAttribute(QLatin1String localName) const;

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const;
    void raiseError(const QString &message);

private:
    enum Token { StartElement, EndElement, EndOfDocument, Failed };

    struct Attribute
    {
        QLatin1String qualifiedName;
        QLatin1String localName;
        int offset;  // into the window, or into m_decoded when decoded
        int size;
        bool decoded;
    };

    void start();
    void convertToUtf8();
    void readWholeSource();
    bool refill();
    bool ensureMarkup();
    bool findInWindow(const char *needle, qint64 from);
    bool findTagEnd();
    Token next();
    bool skipMarkup(); // at "<?" or "<!": a processing instruction, comment or CDATA section outside text
    bool readStartTag();
    bool readEndTag();
    void closeElement();
    bool readName(QLatin1String *qualifiedName, QLatin1String *localName);
    bool decode(const char *begin, const char *end, std::string *out);
    const char *decodableEnd(const char *end) const;
    QLatin1String value(const Attribute &attribute) const;
    void skipSpace();
    bool fail(const char *message);

    QByteArray m_data; // the whole part, or the window of a streamed one
    const char *m_begin = nullptr;
    const char *m_pos = nullptr;
    const char *m_end = nullptr;

    Source m_source;
    bool m_sourceEnded = true;
    qint64 m_dropped = 0;      // bytes of a streamed part before the window
    qint64 m_linesDropped = 0; // line breaks among them

    std::string m_openNames;    // qualified names of the open elements, one after the other
    QVector<int> m_openStarts;  // where each begins in m_openNames
    bool m_rootSeen = false;
    bool m_pendingEnd = false; // the current start element closed itself
    QLatin1String m_name;
    QVector<Attribute> m_attributes;
    std::string m_decoded;
    std::string m_text;
    QString m_error;
    qint64 m_errorOffset = 0; // from the start of the part
};
