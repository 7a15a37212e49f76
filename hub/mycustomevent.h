#pragma once

#include <QEvent>
#include <QVariantList>

// Completion of a background task, posted to the widget that started it: the rows of a workbook read
// (one QStringList per row) or an export's result (0 or 1, no rows).
class MyCustomEvent : public QEvent
{
public:
    static constexpr QEvent::Type EventType = static_cast<QEvent::Type>(QEvent::User + 16);

    explicit MyCustomEvent(const QVariantList &rows, int result = 0)
        : QEvent(EventType), m_rows(rows), m_result(result) {}

    const QVariantList &rows() const { return m_rows; }
    int result() const { return m_result; }

private:
    QVariantList m_rows;
    int m_result;
};
