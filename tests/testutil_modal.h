#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers modal dialogs so that a test never waits for a person: while it lives it watches for the active
// modal widget, notes the text of its "tipLabel" (or "label_2") and answers it once.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget *dialog)>;

    explicit ModalAnswerer(Answer answer, QObject *parent = nullptr);

    // Answers: click the child button of that object name, or press Escape.
    static Answer clickButton(const QString &objectName);
    static Answer pressEscape();

    QStringList texts;
    QStringList classNames;

private:
    void poll();

    Answer m_answer;
    QTimer m_timer;
    QPointer<QWidget> m_lastAnswered;
};
