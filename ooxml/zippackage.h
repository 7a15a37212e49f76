#pragma once

#include <QByteArray>
#include <QString>

typedef struct zip zip_t;

// A zip archive opened for reading that hands out its entries inflated, but never more than partCap bytes
// for one entry nor totalCap bytes for all reads together: the sizes an archive declares are never trusted.
class ZipPackage
{
public:
    enum ReadResult { Read, Missing, Broken };

    ZipPackage(qint64 partCap, qint64 totalCap);
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    bool openFile(const QString &path);
    bool openData(const QByteArray &data);

    // Entry names are matched exactly first, then ignoring case, as package part names are case-insensitive.
    bool contains(const QString &name) const;
    // Broken: unreadable, encrypted, or past a cap; out is then empty.
    ReadResult read(const QString &name, QByteArray *out);

private:
    qint64 indexOf(const QString &name) const;

    zip_t *m_zip = nullptr;
    QByteArray m_data;
    const qint64 m_partCap;
    const qint64 m_totalCap;
    qint64 m_total = 0;
};
