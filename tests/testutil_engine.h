#pragma once

#include "jobs/jobfailurereporter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// Helpers shared by the tests of the engines.
namespace EngineTest {

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

// Hands a job its reporter and finishes that reporter at the end of the statement, as the job runner does once a
// job is over: RenameJob::run(..., RunReporter(m_reporter)).
class RunReporter
{
public:
    explicit RunReporter(JobFailureReporter &reporter) : m_reporter(reporter) {}
    ~RunReporter() { m_reporter.finish(); }
    RunReporter(const RunReporter &) = delete;
    RunReporter &operator=(const RunReporter &) = delete;
    operator JobFailureReporter &() const { return m_reporter; }

private:
    JobFailureReporter &m_reporter;
};

#ifdef Q_OS_LINUX
// Root passes permission checks; the immutable flag holds even for root. False where it cannot be set here.
bool setImmutable(const QString &path, bool on);
#endif

} // namespace EngineTest
