#pragma once

#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

class JobFailureReporter;
class JobPacer;
class QWidget;

// Runs the jobs of one list on the GUI thread, one at a time: while a job works through its rows, user
// input is dropped and the list repaints about every 30 ms (JobPacer); its failures are shown by the rule
// of JobFailureReporter (the first three, then one summary); settings changes that arrive meanwhile are
// kept and handed back, in order, once it is over.
class JobRunner
{
public:
    using Job = std::function<void(JobPacer &pacer, JobFailureReporter &reporter)>;
    using Replay = std::function<void(const QString &key, const QVariant &value)>;

    explicit JobRunner(Replay replay);

    bool isRunning() const { return m_running; }

    // Keeps a settings change for later while a job runs; false (and nothing kept) otherwise.
    bool defer(const QString &key, const QVariant &value);

    // Runs job with view as the painted list; false, and nothing run, while another job runs.
    bool run(QWidget *view, const Job &job);

private:
    Replay m_replay;
    bool m_running = false;
    QVector<QPair<QString, QVariant>> m_deferred;
};
