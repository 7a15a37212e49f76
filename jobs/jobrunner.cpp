#include "jobrunner.h"

#include "jobs/jobfailurereporter.h"
#include "jobs/jobpacer.h"

#include <utility>

JobRunner::JobRunner(Replay replay) : m_replay(std::move(replay)) {}

bool JobRunner::defer(const QString &key, const QVariant &value)
{
    if (!m_running)
        return false;
    m_deferred.append({key, value});
    return true;
}

bool JobRunner::run(QWidget *view, const Job &job)
{
    if (m_running)
        return false;
    m_running = true;
    {
        JobPacer pacer(view);
        JobFailureReporter reporter;
        job(pacer, reporter);
        reporter.finish();
    }
    m_running = false;
    const QVector<QPair<QString, QVariant>> deferred = std::exchange(m_deferred, {});
    for (const auto &notice : deferred)
        m_replay(notice.first, notice.second);
    return true;
}
