#include "testutil_filelist.h"

#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QTest>
#include <QWidget>

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

void typeText(QWidget *widget, const QString &text)
{
    widget->setFocus();
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(ch));
            continue;
        }
        QInputMethodEvent commit;
        commit.setCommitString(QString(ch));
        QCoreApplication::sendEvent(widget, &commit);
    }
}

bool showAt(QWidget *window, int width, int height)
{
    window->resize(width, height);
    window->show();
    return QTest::qWaitForWindowExposed(window);
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

UrlCatcher::UrlCatcher()
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
}

UrlCatcher::~UrlCatcher()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

} // namespace FileListTest
