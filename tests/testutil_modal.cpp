#include "testutil_modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

// The answerers alive, oldest first: the newest that still answers takes a dialog.
QList<ModalAnswerer *> &liveAnswerers()
{
    static QList<ModalAnswerer *> answerers;
    return answerers;
}

} // namespace

ModalAnswerer::ModalAnswerer(Answer answer) : ModalAnswerer(QString(), std::move(answer), 0) {}

ModalAnswerer::ModalAnswerer(const QString &expected, Answer answer, int timeoutMs)
    : m_expected(expected), m_answer(std::move(answer)), m_timeoutMs(timeoutMs)
{
    liveAnswerers().append(this);
    qApp->installEventFilter(this);
}

ModalAnswerer::~ModalAnswerer()
{
    verifyOpened();
    liveAnswerers().removeOne(this);
}

bool ModalAnswerer::verifyOpened()
{
    if (m_expected.isEmpty() || m_answered || QTest::currentTestFailed())
        return true;
    if (QTest::qWaitFor([this] { return m_answered; }, m_timeoutMs))
        return true;
    const QString message =
        QStringLiteral("The expected dialog (%1) did not open within %2 ms").arg(m_expected).arg(m_timeoutMs);
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    return false;
}

ModalAnswerer::Answer ModalAnswerer::clickButton(const QString &objectName)
{
    return [objectName](QDialog *dialog) {
        if (auto *button = dialog->findChild<QAbstractButton *>(objectName))
            button->click();
    };
}

ModalAnswerer::Answer ModalAnswerer::pressEscape()
{
    return [](QDialog *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
}

ModalAnswerer::Answer ModalAnswerer::reject()
{
    return [](QDialog *dialog) { dialog->reject(); };
}

ModalAnswerer::Answer ModalAnswerer::pickInFileDialog(const QString &folder, const QString &typed)
{
    return [folder, typed](QDialog *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        QVERIFY2(files, "not a file dialog");
        if (!folder.isEmpty())
            files->setDirectory(folder);
        if (!typed.isEmpty())
            files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
        dialog->accept(); // the file dialog's own accept: it checks what was typed
    };
}

QStringList ModalAnswerer::textsOf(const char *className) const
{
    QStringList found;
    for (int i = 0; i < texts.size(); ++i) {
        if (classNames.at(i) == QLatin1String(className))
            found.append(texts.at(i));
    }
    return found;
}

bool ModalAnswerer::answers() const
{
    return m_expected.isEmpty() || !m_claimed;
}

bool ModalAnswerer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || event->spontaneous())
        return false;
    auto *dialog = qobject_cast<QDialog *>(watched);
    if (!dialog || !dialog->isModal())
        return false;
    const QList<ModalAnswerer *> &live = liveAnswerers();
    auto taker = std::find_if(live.crbegin(), live.crend(), [](const ModalAnswerer *a) { return a->answers(); });
    if (taker == live.crend() || *taker != this)
        return false;
    m_claimed = true;
    // Answered once its own event loop runs.
    QTimer::singleShot(0, this, [this, target = QPointer<QDialog>(dialog)] {
        if (target)
            answer(target);
    });
    return false;
}

void ModalAnswerer::answer(QDialog *dialog)
{
    auto *label = dialog->findChild<QLabel *>(QStringLiteral("tipLabel"));
    if (!label)
        label = dialog->findChild<QLabel *>(QStringLiteral("label_2"));
    texts.append(label ? label->text() : QString());
    classNames.append(QLatin1String(dialog->metaObject()->className()));
    m_answer(dialog);
    m_answered = true;
}
