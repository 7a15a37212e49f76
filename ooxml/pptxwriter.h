#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// An empty PowerPoint presentation (.pptx): one blank 16:9 slide on one slide master with one blank layout and
// an Office-like theme, the parts PowerPoint, WPS and LibreOffice Impress need to open it.
class PptxWriter
{
public:
    // The whole package, or an empty array when it cannot be built (error then tells why).
    static QByteArray toByteArray(QString *error = nullptr);
    // Writes the package to path; nothing is written there unless it is complete. created: the time the
    // package carries; without it, now.
    static bool write(const QString &path, QString *error = nullptr, const QDateTime &created = QDateTime());
};
