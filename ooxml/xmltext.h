#pragma once

#include <QString>
#include <QStringView>

// Text for the XML parts the writers make.
namespace XmlText {

// Whether XML 1.0 can hold the character: tab, line feed, carriage return, and everything from U+0020 on
// except unpaired surrogates and U+FFFE, U+FFFF.
bool isAllowed(uint codePoint);

// text with every character XML 1.0 cannot hold replaced by U+FFFD, so a name with a control character still
// shows where it had one.
QString allowedOnly(const QString &text);

// text escaped for element content and attribute values, characters XML cannot hold replaced as above.
QString escaped(const QString &text);
// The same, appended to out.
void appendEscaped(QString *out, QStringView text);

} // namespace XmlText
