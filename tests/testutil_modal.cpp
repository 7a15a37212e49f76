#include "testutil_modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

ModalAnswerer::ModalAnswerer(Answer answer, QObject *parent) : QObject(parent), m_answer(std::move(answer))
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

ModalAnswerer::Answer ModalAnswerer::clickButton(const QString &objectName)
{
    return [objectName](QWidget *dialog) {
        if (auto *button = dialog->findChild<QAbstractButton *>(objectName))
            button->click();
    };
}

ModalAnswerer::Answer ModalAnswerer::pressEscape()
{
    return [](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
}

void ModalAnswerer::poll()
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == m_lastAnswered)
        return;
    m_lastAnswered = dialog;
    QLabel *label = dialog->findChild<QLabel *>(QStringLiteral("tipLabel"));
    if (!label)
        label = dialog->findChild<QLabel *>(QStringLiteral("label_2"));
    texts.append(label ? label->text() : QString());
    classNames.append(QLatin1String(dialog->metaObject()->className()));
    m_answer(dialog);
}
