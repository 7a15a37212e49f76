#pragma once

#include <QEvent>
#include <QString>

// Failure of a background task, posted from the worker thread to the widget that started it.
class MyDialogMessageEvent : public QEvent
{
public:
    static constexpr QEvent::Type EventType = static_cast<QEvent::Type>(QEvent::User + 32);

    explicit MyDialogMessageEvent(const QString &message) : QEvent(EventType), m_message(message) {}

    const QString &message() const { return m_message; }

private:
    QString m_message;
};
