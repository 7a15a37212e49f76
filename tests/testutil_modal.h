#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QDialog;

// Answers modal dialogs so that a test never waits for a person. A dialog is answered as soon as it shows, by
// the newest answerer alive that still answers. Each notes the text of the dialog's "tipLabel" (or "label_2")
// and its class.
// - ModalAnswerer(answer) answers every dialog while it lives (by default with its "okBtn"); the test checks the
//   texts it noted.
// - ModalAnswerer(expected, answer) answers the next dialog only, and fails the test, naming `expected`, when
//   none has opened by the time it ends (it waits up to timeoutMs for one still to come).
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QDialog *dialog)>;

    explicit ModalAnswerer(Answer answer = clickButton(QStringLiteral("okBtn")));
    ModalAnswerer(const QString &expected, Answer answer, int timeoutMs = 5000);
    ~ModalAnswerer() override;

    // Answers: click the child button of that object name, press Escape, reject, or pick in a file or folder
    // dialog: go to folder (unless empty), type `typed` as the name(s) (unless empty) and accept.
    static Answer clickButton(const QString &objectName);
    static Answer pressEscape();
    static Answer reject();
    static Answer pickInFileDialog(const QString &folder, const QString &typed = QString());

    // For an answerer that expects a dialog: waits for it; when none comes, fails the test naming it and returns
    // false. The destructor checks the same.
    bool verifyOpened();

    // The texts of the dialogs of that class, in order.
    QStringList textsOf(const char *className) const;

    QStringList texts;
    QStringList classNames;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool answers() const;
    void answer(QDialog *dialog);

    QString m_expected;
    Answer m_answer;
    int m_timeoutMs = 0;
    bool m_claimed = false;
    bool m_answered = false;
};
