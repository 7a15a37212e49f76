#pragma once

#include "ooxml/zipwriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// An Office Open XML package under construction: its parts with their content types, from which it makes the
// content-type item, the package relationships and the core and application properties.
class OfficePackage
{
public:
    struct Relationship
    {
        QString id;
        QString type;   // full relationship type URI
        QString target; // relative to the source part's folder
    };

    // mainPart: the document's main part ("word/document.xml"); the package relationships point to it.
    // created: the time the package says it was made and its entries carry; without it, the time it is built.
    explicit OfficePackage(const QString &mainPart, const QDateTime &created = QDateTime());

    // A part with an explicit content type; name without a leading slash.
    void addPart(const QString &name, const QString &contentType, const QByteArray &data);
    // The relationships item of sourcePart ("word/document.xml" gets "word/_rels/document.xml.rels").
    void addRelationships(const QString &sourcePart, const QVector<Relationship> &relationships);

    // The finished package, or an empty array when it cannot be built (error then tells why).
    QByteArray toByteArray(QString *error = nullptr) const;
    // Writes the finished package; nothing is written at path unless the package is complete.
    bool write(const QString &path, QString *error = nullptr) const;

    static QByteArray relationshipsXml(const QVector<Relationship> &relationships);

    static const char XmlDeclaration[];
    static const char RelationshipsNamespace[];
    static const char OfficeRelationshipsBase[];

private:
    ZipWriter package() const;

    struct Part
    {
        QString name;
        QString contentType;
        QByteArray data;
    };

    QString m_mainPart;
    QDateTime m_created;
    QVector<Part> m_parts;
};
