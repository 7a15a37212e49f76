#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// A Word document (.docx) holding one paragraph of plain text per line, in order. Texts are kept as they are:
// Chinese and other scripts, leading and trailing spaces; a tab or line break inside a line stays a tab or a
// line break within its paragraph; characters XML cannot hold become U+FFFD. No lines: one empty paragraph.
class DocxWriter
{
public:
    // The package's main part, word/document.xml.
    static QByteArray documentXml(const QStringList &paragraphs);

    // The whole package, or an empty array when it cannot be built (error then tells why).
    static QByteArray toByteArray(const QStringList &paragraphs, QString *error = nullptr);
    // Writes the package to path; nothing is written there unless it is complete. created: the time the
    // package carries; without it, now.
    static bool write(const QString &path, const QStringList &paragraphs, QString *error = nullptr,
                      const QDateTime &created = QDateTime());
};
