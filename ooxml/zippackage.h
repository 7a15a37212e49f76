#pragma once

#include <QByteArray>
#include <QString>

typedef struct zip zip_t;
typedef struct zip_file zip_file_t;

// A zip archive opened for reading that hands out its entries inflated, but never more than partCap bytes
// for one entry read whole nor totalCap bytes for all reads together: the sizes an archive declares are never
// trusted. An entry too large to hold is read piece by piece instead, within the total alone.
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

    // Opens an entry for reading piece by piece; one at a time (opening another closes it).
    ReadResult openEntry(const QString &name);
    // The next bytes of the open entry: how many were put into buffer, 0 at its end, -1 when it is broken or
    // the total cap is reached.
    qint64 readEntry(char *buffer, qint64 size);
    void closeEntry();

private:
    qint64 indexOf(const QString &name) const;

    zip_t *m_zip = nullptr;
    zip_file_t *m_entry = nullptr;
    QByteArray m_data;
    const qint64 m_partCap;
    const qint64 m_totalCap;
    qint64 m_total = 0;
};
