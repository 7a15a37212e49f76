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
