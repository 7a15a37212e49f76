#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// Builds a zip archive from parts held in memory, for the packages of office documents.
class ZipWriter
{
public:
    // name: the entry's path inside the archive, "/"-separated, without a leading slash. Parts are stored in
    // the order they were added; a name given twice makes the archive fail to build.
    void addPart(const QString &name, const QByteArray &data);
    // The time every entry carries; without it, the time the archive is built.
    void setModified(const QDateTime &when) { m_modified = when; }

    // The whole archive, or an empty array when it cannot be built (error then tells why).
    QByteArray toByteArray(QString *error = nullptr) const;

    // Writes the archive to path. Until it is complete nothing is written at path; an existing file there is
    // replaced only by a complete archive.
    bool write(const QString &path, QString *error = nullptr) const;

private:
    struct Part
    {
        QString name;
        QByteArray data;
    };

    QVector<Part> m_parts;
    QDateTime m_modified;
};
