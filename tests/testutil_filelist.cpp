#include "testutil_filelist.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace FileListTest {

QString makeFile(const QString &root, const QString &relativePath, const QByteArray &content)
{
    const QString path = QDir(root).filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return QDir::fromNativeSeparators(path);
}

QString makeDir(const QString &root, const QString &relativePath)
{
    const QString path = QDir(root).filePath(relativePath);
    QDir().mkpath(path);
    return QDir::fromNativeSeparators(path);
}

void answerNextDialog(std::function<void(QDialog *)> answer, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto *clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, answer, timeoutMs] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        const bool expired = clock->elapsed() > timeoutMs;
        if (!dialog && !expired)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (dialog)
            answer(dialog);
    });
    timer->start();
}

AdditionRecorder::AdditionRecorder()
{
    auto *hub = CNvGlobalObserver::instance();
    hub->addObserver(Channel::StartAddFile, Channel::NoName, this, OBSERVER_SLOT);
    hub->addObserver(Channel::EndAddFile, Channel::NoName, this, OBSERVER_SLOT);
    hub->addObserver(Channel::AppCapacityLimit, Channel::NoName, this, OBSERVER_SLOT);
    hub->addObserver(Channel::MessageErrorTip, Channel::NoName, this, OBSERVER_SLOT);
}

AdditionRecorder::~AdditionRecorder()
{
    auto *hub = CNvGlobalObserver::instance();
    hub->removeObserver(Channel::StartAddFile, Channel::NoName, this);
    hub->removeObserver(Channel::EndAddFile, Channel::NoName, this);
    hub->removeObserver(Channel::AppCapacityLimit, Channel::NoName, this);
    hub->removeObserver(Channel::MessageErrorTip, Channel::NoName, this);
}

void AdditionRecorder::onPropertyValueChanged(const QString &valueName, const QString &, const QVariant &value)
{
    if (valueName == Channel::StartAddFile)
        log.append(QStringLiteral("START"));
    else if (valueName == Channel::EndAddFile)
        log.append(QStringLiteral("END:%1").arg(value.toInt()));
    else if (valueName == Channel::AppCapacityLimit)
        log.append(QStringLiteral("LIMIT"));
    else if (valueName == Channel::MessageErrorTip)
        log.append(QStringLiteral("MESSAGE:") + value.toString());
}

} // namespace FileListTest
