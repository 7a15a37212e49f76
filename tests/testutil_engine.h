#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// Helpers shared by the tests of the engines.
namespace EngineTest {

// The names in a folder, hidden and special ones included, sorted.
QStringList onDisk(const QString &folder);
// A file's bytes, or "<missing>".
QByteArray contentOf(const QString &path);
QStringList repeated(const QString &text, int times);

// A workbook whose first sheet holds the given texts, one list per row from column A, made with libxlsxwriter;
// an empty text leaves its cell out. writeNames: one text per row.
bool writeWorkbook(const QString &path, const QList<QStringList> &rows);
bool writeNames(const QString &path, const QStringList &names);
// The first worksheet as rows of texts, read with the project's own reader; empty cells are empty texts.
QList<QStringList> readWorkbook(const QString &path);

// Collects every warning sent to the main window ("MESSAGE ERROR TIP"), and how many rows the job had
// reported by then.
class WarningListener : public QObject
{
    Q_OBJECT
public:
    explicit WarningListener(const QVector<int> *reportedRows = nullptr);
    ~WarningListener() override;

    QStringList messages;
    QVector<int> rowsReportedAtMessage;

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value);

private:
    const QVector<int> *m_reportedRows;
};

#ifdef Q_OS_LINUX
// Root passes permission checks; the immutable flag holds even for root. False where it cannot be set here.
bool setImmutable(const QString &path, bool on);

// A small file system of its own for one test, made in an image file and mounted through a loop device while
// the object lives: exFAT through FUSE (no atomic no-replace rename, no hard links), or ext4 with 128-byte
// inodes (whole seconds, 1901 to 2038). Needs root, the tools and, for exFAT, /dev/fuse; skipReason() says
// what is missing.
class ScratchMount
{
public:
    enum Kind { ExFat, SmallInodeExt4 };

    explicit ScratchMount(Kind kind);
    ~ScratchMount();
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder + QStringLiteral("/mnt"); }
    QString skipReason() const { return m_skipReason; }

private:
    bool step(const QString &program, const QStringList &arguments, QString *output = nullptr);

    QString m_folder;
    QString m_device;
    bool m_mounted = false;
    QString m_skipReason;
};
#endif

// While it lives, a folder refuses new and renamed entries: read-only, and immutable for root, whom
// permissions do not stop. isLocked() is false only for root where the flag cannot be set.
class LockedFolder
{
public:
    explicit LockedFolder(const QString &path);
    ~LockedFolder();
    LockedFolder(const LockedFolder &) = delete;
    LockedFolder &operator=(const LockedFolder &) = delete;

    bool isLocked() const { return m_readOnly || m_immutable; }

private:
    QString m_path;
    bool m_readOnly = false;
    bool m_immutable = false;
};

} // namespace EngineTest
