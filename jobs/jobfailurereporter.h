#pragma once

#include <QString>

// The warnings of one job. Each warning opens the main window's modal dialog (through "MESSAGE ERROR TIP"),
// so only the first few failures are shown one by one; later ones are only counted (their rows show them)
// and finish() sends a single summary. One reporter serves one run of a job.
class JobFailureReporter
{
public:
    static constexpr int DialogLimit = 3;

    // Shows message while fewer than DialogLimit failures were shown, else only counts it.
    void report(const QString &message);
    // Sends the summary of the failures that were only counted, then starts over for the next job.
    void finish();

    int failureCount() const { return m_failures; }

    static QString summaryMessage(int unshown);

private:
    int m_failures = 0;
};
