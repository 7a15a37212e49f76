#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QPointer>

class QWidget;

// Keeps the window alive while a job works through its rows on the GUI thread, and keeps the user out of
// the job. While a pacer lives, user input (mouse, keys, wheel, touch, drops, shortcuts) is dropped, except
// in a modal dialog opened meanwhile (the job's warnings), so nothing can start, change or re-enter the job
// and nothing clicked during it acts afterwards. step() repaints the view and lets pending events through
// about once per interval, so the rows show their new statuses as the job goes.
class JobPacer : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultIntervalMs = 30;

    explicit JobPacer(QWidget *view, int intervalMs = DefaultIntervalMs);
    ~JobPacer() override;

    // Call after each row; cheap until the interval has passed.
    void step();
    // Repaints the view and lets pending events through now.
    void flush();

    static bool isUserInput(QEvent::Type type);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool refuseClose(QObject *watched, QEvent *event);
    QPointer<QWidget> m_view;
    QElapsedTimer m_clock;
    qint64 m_intervalNs;
    qint64 m_lastFlushNs = 0;
};
