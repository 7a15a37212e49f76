#include "xmlpullscanner.h"

#include <QTextCodec>

#include <algorithm>
#include <cstring>

namespace {

constexpr int ChunkSize = 256 * 1024;

bool isNameByte(char c)
{
    const uchar u = uchar(c);
    return u > 0x20 && c != '/' && c != '>' && c != '=' && c != '<' && c != '"' && c != '\'' && c != '&';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

const char *findSequence(const char *from, const char *end, const char *needle)
{
    const size_t length = std::strlen(needle);
    while (from < end && size_t(end - from) >= length) {
        const char *hit = static_cast<const char *>(std::memchr(from, needle[0], size_t(end - from)));
        if (!hit || size_t(end - hit) < length)
            return nullptr;
        if (std::memcmp(hit, needle, length) == 0)
            return hit;
        from = hit + 1;
    }
    return nullptr;
}

bool startsWith(const char *from, const char *end, const char *prefix)
{
    const size_t length = std::strlen(prefix);
    return size_t(end - from) >= length && std::memcmp(from, prefix, length) == 0;
}

bool isXmlCharacter(uint code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
        || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

void appendUtf8(uint code, std::string *out)
{
    if (code < 0x80) {
        out->push_back(char(code));
    } else if (code < 0x800) {
        out->push_back(char(0xC0 | (code >> 6)));
        out->push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(char(0xE0 | (code >> 12)));
        out->push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(char(0x80 | (code & 0x3F)));
    } else {
        out->push_back(char(0xF0 | (code >> 18)));
        out->push_back(char(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(char(0x80 | (code & 0x3F)));
    }
}

// The encoding named by the XML declaration, empty when none is named.
QByteArray declaredEncoding(const QByteArray &data)
{
    if (!data.startsWith("<?xml"))
        return QByteArray();
    const int close = data.indexOf("?>");
    const QByteArray declaration = data.left(close < 0 ? 0 : close);
    const int at = declaration.indexOf("encoding");
    if (at < 0)
        return QByteArray();
    int i = declaration.indexOf('=', at);
    if (i < 0)
        return QByteArray();
    ++i;
    while (i < declaration.size() && isSpace(declaration.at(i)))
        ++i;
    if (i >= declaration.size() || (declaration.at(i) != '"' && declaration.at(i) != '\''))
        return QByteArray();
    const int end = declaration.indexOf(declaration.at(i), i + 1);
    return end < 0 ? QByteArray() : declaration.mid(i + 1, end - i - 1);
}

// The codec a part needs to become UTF-8; none for UTF-8 itself, or when the named encoding is unknown (error
// then says so).
QTextCodec *codecFor(const QByteArray &data, QString *error)
{
    if (data.size() < 2)
        return nullptr;
    const uchar first = uchar(data.at(0));
    const uchar second = uchar(data.at(1));
    if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF))
        return QTextCodec::codecForUtfText(data);
    if (first == '<' && second == 0)
        return QTextCodec::codecForName("UTF-16LE");
    if (first == 0 && second == '<')
        return QTextCodec::codecForName("UTF-16BE");
    const QByteArray encoding = declaredEncoding(data).toLower();
    if (encoding.isEmpty() || encoding == "utf-8" || encoding == "utf8")
        return nullptr;
    QTextCodec *codec = QTextCodec::codecForName(encoding);
    if (!codec)
        *error = QStringLiteral("unsupported encoding ") + QString::fromLatin1(encoding.left(40));
    return codec;
}

} // namespace

XmlPullScanner::XmlPullScanner(const QByteArray &data) : m_data(data)
{
    convertToUtf8();
    start();
}

XmlPullScanner::XmlPullScanner(Source source) : m_source(std::move(source)), m_sourceEnded(false)
{
    m_data.resize(ChunkSize);
    m_begin = m_pos = m_end = m_data.constData();
    // The first piece holds the byte order mark or the declaration; a part in another encoding than UTF-8 is
    // read whole and converted.
    while (m_end - m_begin < 2 * 1024 && refill()) {
    }
    if (hasError())
        return;
    QString error;
    const bool convert = codecFor(QByteArray::fromRawData(m_begin, int(m_end - m_begin)), &error) || !error.isEmpty();
    if (convert)
        readWholeSource();
    if (m_sourceEnded) {
        m_data.resize(int(m_end - m_begin)); // nothing was dropped yet: the window starts at the part's start
        if (convert)
            convertToUtf8();
        start();
        return;
    }
    if (startsWith(m_pos, m_end, "\xEF\xBB\xBF"))
        m_pos += 3;
}

void XmlPullScanner::start()
{
    m_begin = m_data.constData();
    m_pos = m_begin;
    m_end = m_begin + m_data.size();
    if (startsWith(m_pos, m_end, "\xEF\xBB\xBF"))
        m_pos += 3;
}

// Reads the rest of a streamed part into the window, as much as MaxMarkupSize.
void XmlPullScanner::readWholeSource()
{
    while (!m_sourceEnded && !hasError()) {
        if (m_end - m_begin > MaxMarkupSize) {
            fail("part in another encoding too large");
            return;
        }
        if (m_data.size() - (m_end - m_begin) < ChunkSize) {
            const qint64 used = m_end - m_begin;
            m_data.resize(m_data.size() * 2);
            m_begin = m_pos = m_data.constData();
            m_end = m_begin + used;
        }
        const qint64 n = m_source(m_data.data() + (m_end - m_begin), m_data.size() - (m_end - m_begin));
        if (n < 0) {
            fail("part unreadable or larger than allowed");
            return;
        }
        if (n == 0)
            m_sourceEnded = true;
        m_end += n;
    }
}

void XmlPullScanner::convertToUtf8()
{
    QString error;
    QTextCodec *codec = codecFor(m_data, &error);
    if (!error.isEmpty())
        m_error = error;
    if (codec)
        m_data = codec->toUnicode(m_data).toUtf8();
}

// Moves the unread rest of the window to its front and reads the next piece of the part behind it; the
// window grows when one piece of markup does not fit. False at the end of the part or on an error.
bool XmlPullScanner::refill()
{
    if (m_sourceEnded || hasError())
        return false;
    const qint64 keep = m_end - m_pos;
    if (keep > MaxMarkupSize)
        return fail("markup too large");
    m_linesDropped += std::count(m_begin, m_pos, '\n');
    m_dropped += m_pos - m_begin;
    if (keep + ChunkSize > m_data.size()) {
        QByteArray larger(int(qMax<qint64>(2 * qint64(m_data.size()), keep + ChunkSize)), Qt::Uninitialized);
        std::memcpy(larger.data(), m_pos, size_t(keep));
        m_data = larger;
    } else {
        std::memmove(m_data.data(), m_pos, size_t(keep));
    }
    char *window = m_data.data();
    m_begin = m_pos = window;
    m_end = window + keep;
    const qint64 n = m_source(window + keep, m_data.size() - keep);
    if (n < 0)
        return fail("part unreadable or larger than allowed");
    if (n == 0) {
        m_sourceEnded = true;
        return false;
    }
    m_end += n;
    return true;
}

// Makes the window hold the whole piece of markup that starts at m_pos ("<" and at least one byte), as far as
// the part has it, so that the readers below never meet the window's end inside it.
bool XmlPullScanner::ensureMarkup()
{
    while (!m_sourceEnded && m_end - m_pos < 9) {
        if (!refill())
            break;
    }
    if (hasError())
        return false;
    if (m_sourceEnded)
        return true;
    if (startsWith(m_pos, m_end, "<!--"))
        return findInWindow("-->", 4);
    if (startsWith(m_pos, m_end, "<![CDATA["))
        return findInWindow("]]>", 9);
    if (startsWith(m_pos, m_end, "<?"))
        return findInWindow("?>", 2);
    if (startsWith(m_pos, m_end, "<!"))
        return true; // refused by the reader whatever follows
    return findTagEnd();
}

bool XmlPullScanner::findInWindow(const char *needle, qint64 from)
{
    const qint64 length = qint64(std::strlen(needle));
    for (;;) {
        if (findSequence(m_pos + from, m_end, needle))
            return true;
        from = qMax(from, m_end - m_pos - length + 1);
        if (!refill())
            return !hasError();
    }
}

// A tag ends at the first ">" outside quoted attribute values.
bool XmlPullScanner::findTagEnd()
{
    qint64 scanned = 1;
    char quote = 0;
    for (;;) {
        for (const char *p = m_pos + scanned; p < m_end; ++p) {
            const char c = *p;
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return true;
            }
        }
        scanned = m_end - m_pos;
        if (!refill())
            return !hasError();
    }
}

bool XmlPullScanner::readNextStartElement()
{
    return next() == StartElement;
}

void XmlPullScanner::skipCurrentElement()
{
    int depth = 1;
    while (depth > 0) {
        switch (next()) {
        case StartElement:
            ++depth;
            break;
        case EndElement:
            --depth;
            break;
        case EndOfDocument:
        case Failed:
            return;
        }
    }
}

QString XmlPullScanner::readElementText()
{
    if (hasError())
        return QString();
    if (m_pendingEnd) {
        m_pendingEnd = false;
        closeElement();
        return QString();
    }
    m_text.clear();
    for (;;) {
        const char *lt = static_cast<const char *>(std::memchr(m_pos, '<', size_t(m_end - m_pos)));
        if (!lt || m_end - lt < 2) {
            // The text goes on past the window: keep what is complete of it and read on.
            const char *end = decodableEnd(lt ? lt : m_end);
            if (!decode(m_pos, end, &m_text))
                return QString();
            m_pos = end;
            if (!refill()) {
                if (!hasError())
                    fail("premature end of document");
                return QString();
            }
            continue;
        }
        if (!decode(m_pos, lt, &m_text))
            return QString();
        m_pos = lt;
        if (!ensureMarkup())
            return QString();
        if (startsWith(m_pos, m_end, "<![CDATA[")) {
            const char *close = findSequence(m_pos + 9, m_end, "]]>");
            if (!close) {
                fail("unterminated character data");
                return QString();
            }
            m_text.append(m_pos + 9, size_t(close - m_pos - 9));
            m_pos = close + 3;
        } else if (m_pos[1] == '/') {
            // Children are skipped whole, so this is the element's own end.
            if (!readEndTag())
                return QString();
            break;
        } else if (m_pos[1] == '?' || m_pos[1] == '!') {
            if (!skipMarkup())
                return QString();
        } else {
            if (!readStartTag())
                return QString();
            skipCurrentElement();
            if (hasError())
                return QString();
        }
    }
    return QString::fromUtf8(m_text.data(), int(m_text.size()));
}

QLatin1String XmlPullScanner::attribute(QLatin1String name) const
{
    for (const Attribute &attribute : m_attributes) {
        if (attribute.qualifiedName == name)
            return value(attribute);
    }
    return QLatin1String();
}

QString XmlPullScanner::attributeText(QLatin1String name) const
{
    const QLatin1String bytes = attribute(name);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

QLatin1String XmlPullScanner::prefixedAttribute(QLatin1String localName) const
{
    for (const Attribute &attribute : m_attributes) {
        if (attribute.localName == localName && attribute.qualifiedName.size() > localName.size()
            && !attribute.qualifiedName.startsWith(QLatin1String("xmlns:")))
            return value(attribute);
    }
    return QLatin1String();
}

QString XmlPullScanner::errorString() const
{
    const qint64 inWindow = qBound<qint64>(0, m_errorOffset - m_dropped, m_end - m_begin);
    const qint64 line = 1 + m_linesDropped + std::count(m_begin, m_begin + inWindow, '\n');
    return QStringLiteral("%1 (line %2)").arg(m_error).arg(line);
}

void XmlPullScanner::raiseError(const QString &message)
{
    if (!m_error.isEmpty())
        return;
    m_error = message;
    m_errorOffset = m_dropped + (m_pos ? m_pos - m_begin : 0);
}

XmlPullScanner::Token XmlPullScanner::next()
{
    if (hasError())
        return Failed;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        closeElement();
        return EndElement;
    }
    for (;;) {
        // Text outside the elements that are read is passed over unexamined.
        const char *lt = static_cast<const char *>(std::memchr(m_pos, '<', size_t(m_end - m_pos)));
        if (!lt) {
            m_pos = m_end;
            if (refill())
                continue;
            if (hasError())
                return Failed;
            if (!m_openStarts.isEmpty() || !m_rootSeen) {
                fail("premature end of document");
                return Failed;
            }
            return EndOfDocument;
        }
        m_pos = lt;
        if (!ensureMarkup())
            return Failed;
        if (m_end - m_pos < 2) {
            fail("premature end of document");
            return Failed;
        }
        const char c = m_pos[1];
        if (c == '/')
            return readEndTag() ? EndElement : Failed;
        if (c == '?' || c == '!') {
            if (!skipMarkup())
                return Failed;
            continue;
        }
        return readStartTag() ? StartElement : Failed;
    }
}

bool XmlPullScanner::skipMarkup()
{
    if (startsWith(m_pos, m_end, "<?")) {
        const char *close = findSequence(m_pos + 2, m_end, "?>");
        if (!close)
            return fail("unterminated processing instruction");
        m_pos = close + 2;
        return true;
    }
    if (startsWith(m_pos, m_end, "<!--")) {
        const char *close = findSequence(m_pos + 4, m_end, "-->");
        if (!close)
            return fail("unterminated comment");
        m_pos = close + 3;
        return true;
    }
    if (startsWith(m_pos, m_end, "<![CDATA[")) {
        if (m_openStarts.isEmpty())
            return fail("character data outside the root element");
        const char *close = findSequence(m_pos + 9, m_end, "]]>");
        if (!close)
            return fail("unterminated character data");
        m_pos = close + 3;
        return true;
    }
    if (startsWith(m_pos, m_end, "<!DOCTYPE"))
        return fail("document type declarations are not accepted");
    return fail("unexpected markup");
}

bool XmlPullScanner::readStartTag()
{
    if (m_rootSeen && m_openStarts.isEmpty())
        return fail("content after the root element");
    ++m_pos;
    QLatin1String qualifiedName;
    QLatin1String localName;
    if (!readName(&qualifiedName, &localName))
        return false;
    m_attributes.clear();
    m_decoded.clear();
    bool closesItself = false;
    for (;;) {
        const char *before = m_pos;
        skipSpace();
        if (m_pos >= m_end)
            return fail("premature end of document");
        if (*m_pos == '>') {
            ++m_pos;
            break;
        }
        if (*m_pos == '/') {
            if (m_end - m_pos < 2 || m_pos[1] != '>')
                return fail("malformed tag");
            m_pos += 2;
            closesItself = true;
            break;
        }
        if (m_pos == before)
            return fail("attributes must be separated by white space");
        Attribute attribute;
        if (!readName(&attribute.qualifiedName, &attribute.localName))
            return false;
        skipSpace();
        if (m_pos >= m_end || *m_pos != '=')
            return fail("attribute without a value");
        ++m_pos;
        skipSpace();
        if (m_pos >= m_end || (*m_pos != '"' && *m_pos != '\''))
            return fail("attribute value without quotes");
        const char quote = *m_pos++;
        const char *close = static_cast<const char *>(std::memchr(m_pos, quote, size_t(m_end - m_pos)));
        if (!close)
            return fail("premature end of document");
        const size_t length = size_t(close - m_pos);
        if (std::memchr(m_pos, '<', length))
            return fail("'<' in an attribute value");
        attribute.decoded = std::memchr(m_pos, '&', length) != nullptr;
        if (attribute.decoded) {
            attribute.offset = int(m_decoded.size());
            if (!decode(m_pos, close, &m_decoded))
                return false;
            attribute.size = int(m_decoded.size()) - attribute.offset;
        } else {
            attribute.offset = int(m_pos - m_begin);
            attribute.size = int(length);
        }
        m_attributes.append(attribute);
        m_pos = close + 1;
    }
    if (m_openStarts.size() >= MaxDepth)
        return fail("elements nested too deeply");
    m_openStarts.append(int(m_openNames.size()));
    m_openNames.append(qualifiedName.data(), size_t(qualifiedName.size()));
    m_rootSeen = true;
    m_pendingEnd = closesItself;
    m_name = localName;
    return true;
}

bool XmlPullScanner::readEndTag()
{
    m_pos += 2;
    QLatin1String qualifiedName;
    QLatin1String localName;
    if (!readName(&qualifiedName, &localName))
        return false;
    skipSpace();
    if (m_pos >= m_end || *m_pos != '>')
        return fail("malformed end tag");
    ++m_pos;
    if (m_openStarts.isEmpty())
        return fail("end tag does not match its start tag");
    const int start = m_openStarts.constLast();
    if (QLatin1String(m_openNames.data() + start, int(m_openNames.size()) - start) != qualifiedName)
        return fail("end tag does not match its start tag");
    closeElement();
    return true;
}

void XmlPullScanner::closeElement()
{
    m_openNames.resize(size_t(m_openStarts.takeLast()));
}

bool XmlPullScanner::readName(QLatin1String *qualifiedName, QLatin1String *localName)
{
    const char *start = m_pos;
    const char *colon = nullptr;
    while (m_pos < m_end && isNameByte(*m_pos)) {
        if (*m_pos == ':')
            colon = m_pos;
        ++m_pos;
    }
    if (m_pos == start)
        return fail("name expected");
    *qualifiedName = QLatin1String(start, int(m_pos - start));
    *localName = colon ? QLatin1String(colon + 1, int(m_pos - colon - 1)) : *qualifiedName;
    return true;
}

// Appends text with its entity and character references resolved; only the five predefined entities exist.
bool XmlPullScanner::decode(const char *begin, const char *end, std::string *out)
{
    while (begin < end) {
        const char *amp = static_cast<const char *>(std::memchr(begin, '&', size_t(end - begin)));
        if (!amp) {
            out->append(begin, size_t(end - begin));
            return true;
        }
        out->append(begin, size_t(amp - begin));
        const char *semicolon = static_cast<const char *>(std::memchr(amp, ';', size_t(qMin<qint64>(end - amp, 12))));
        if (!semicolon)
            return fail("malformed reference");
        const QLatin1String entity(amp + 1, int(semicolon - amp - 1));
        if (entity == QLatin1String("lt")) {
            out->push_back('<');
        } else if (entity == QLatin1String("gt")) {
            out->push_back('>');
        } else if (entity == QLatin1String("amp")) {
            out->push_back('&');
        } else if (entity == QLatin1String("quot")) {
            out->push_back('"');
        } else if (entity == QLatin1String("apos")) {
            out->push_back('\'');
        } else if (entity.startsWith(QLatin1Char('#'))) {
            const bool hex = entity.size() > 1 && (entity.at(1) == QLatin1Char('x'));
            bool ok = false;
            const uint code = QByteArray::fromRawData(entity.data() + (hex ? 2 : 1), entity.size() - (hex ? 2 : 1))
                                  .toUInt(&ok, hex ? 16 : 10);
            if (!ok || !isXmlCharacter(code))
                return fail("invalid character reference");
            appendUtf8(code, out);
        } else {
            return fail("undeclared entity");
        }
        begin = semicolon + 1;
    }
    return true;
}

// Where text that the window cuts off at end may be decoded up to: not into a reference whose ";" may lie
// beyond the window.
const char *XmlPullScanner::decodableEnd(const char *end) const
{
    const char *from = end - qMin<qint64>(end - m_pos, 12);
    for (const char *p = end; p > from;) {
        --p;
        if (*p == ';')
            return end;
        if (*p == '&')
            return p;
    }
    return end;
}

QLatin1String XmlPullScanner::value(const Attribute &attribute) const
{
    const char *base = attribute.decoded ? m_decoded.data() : m_begin;
    return QLatin1String(base + attribute.offset, attribute.size);
}

void XmlPullScanner::skipSpace()
{
    while (m_pos < m_end && isSpace(*m_pos))
        ++m_pos;
}

bool XmlPullScanner::fail(const char *message)
{
    raiseError(QString::fromLatin1(message));
    return false;
}
