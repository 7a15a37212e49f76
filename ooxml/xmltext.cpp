#include "xmltext.h"

namespace {

constexpr QChar Replacement(0xFFFD);

} // namespace

namespace XmlText {

bool isAllowed(uint codePoint)
{
    if (codePoint < 0x20)
        return codePoint == 0x9 || codePoint == 0xA || codePoint == 0xD;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        return false;
    return codePoint != 0xFFFE && codePoint != 0xFFFF && codePoint <= 0x10FFFF;
}

QString allowedOnly(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(text.at(++i));
            continue;
        }
        out.append(isAllowed(c.unicode()) ? c : Replacement);
    }
    return out;
}

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    appendEscaped(&out, text);
    return out;
}

void appendEscaped(QString *out, QStringView text)
{
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '&': out->append(QLatin1String("&amp;")); continue;
        case '<': out->append(QLatin1String("&lt;")); continue;
        case '>': out->append(QLatin1String("&gt;")); continue;
        case '"': out->append(QLatin1String("&quot;")); continue;
        // Kept as references so an attribute value does not turn them into spaces.
        case '\t': out->append(QLatin1String("&#9;")); continue;
        case '\n': out->append(QLatin1String("&#10;")); continue;
        case '\r': out->append(QLatin1String("&#13;")); continue;
        default: break;
        }
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out->append(c);
            out->append(text.at(++i));
        } else {
            out->append(isAllowed(c.unicode()) ? c : Replacement);
        }
    }
}

} // namespace XmlText
