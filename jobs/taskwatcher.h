#pragma once

#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

// What every TaskWatcher shares, whatever its result. The watcher lives on the GUI thread from the start of its
// task until the result is delivered, so the task may post its messages (MyDialogMessageEvent) to it and never to
// a receiver that might be destroyed meanwhile; they are handed on, in order, ahead of the result.
class TaskWatcherBase : public QObject
{
public:
    using MessageHandler = std::function<void(const QString &message)>;

    // Nothing more is delivered and the task is told to stop (see cancelCheck). GUI thread only.
    void cancel();
    // Whether anyone still waits for the result; the task may ask it from any thread.
    std::function<bool()> cancelCheck() const;

protected:
    // A null onMessage shows messages to the user as warnings ("MESSAGE ERROR TIP").
    TaskWatcherBase(QObject *receiver, MessageHandler onMessage);
    // Whether a delivery reaches anyone: the receiver lives and the task was not cancelled.
    bool delivers() const;
    void customEvent(QEvent *event) override;

private:
    QPointer<QObject> m_receiver;
    MessageHandler m_onMessage;
    std::shared_ptr<std::atomic_bool> m_cancelled;
};

// Runs one background task on the global thread pool and hands its result to the GUI thread: one TaskWatcher per
// task, which deletes itself once the result is delivered. Everything is delivered to receiver's thread while
// receiver lives; a receiver destroyed before the end cancels the task, so a page drops a task it no longer
// wants by cancelling its watcher or by going away.
template<typename Result>
class TaskWatcher : public TaskWatcherBase
{
public:
    // task(messages, cancelled) runs on a worker thread: it posts its messages to messages as
    // MyDialogMessageEvent and may stop early once cancelled() answers true.
    using Task = std::function<Result(QObject *messages, const std::function<bool()> &cancelled)>;
    using ResultHandler = std::function<void(const Result &result)>;

    // Call on receiver's thread. The returned watcher may be cancelled until its result is delivered, after
    // which it is gone: keep it in a QPointer.
    static TaskWatcher *start(QObject *receiver, Task task, ResultHandler onResult,
                              MessageHandler onMessage = nullptr)
    {
        auto *watcher = new TaskWatcher(receiver, std::move(onResult), std::move(onMessage));
        const std::function<bool()> cancelled = watcher->cancelCheck();
        QThreadPool::globalInstance()->start([watcher, task = std::move(task), cancelled] {
            Result result = task(watcher, cancelled);
            // Queued behind the messages the task posted, so they arrive first.
            QMetaObject::invokeMethod(
                watcher, [watcher, result = std::move(result)] { watcher->deliver(result); }, Qt::QueuedConnection);
        });
        return watcher;
    }

private:
    TaskWatcher(QObject *receiver, ResultHandler onResult, MessageHandler onMessage)
        : TaskWatcherBase(receiver, std::move(onMessage)), m_onResult(std::move(onResult))
    {
    }

    void deliver(const Result &result)
    {
        if (delivers() && m_onResult)
            m_onResult(result);
        deleteLater();
    }

    ResultHandler m_onResult;
};
