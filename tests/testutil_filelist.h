#pragma once

#include <QObject>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWidget;

namespace FileListTest {

// Creates the file (and its folders) under root and returns its path with forward slashes.
QString makeFile(const QString &root, const QString &relativePath, const QByteArray &content = "x");
QString makeDir(const QString &root, const QString &relativePath);

// The child of root with that object name, with a warning naming it when there is none.
template<typename T = QWidget>
T *control(const QObject *root, const char *name)
{
    T *widget = root->findChild<T *>(QLatin1String(name));
    if (!widget)
        qWarning("no control %s", name);
    return widget;
}

// Types text into widget as a user does: plain keys for ASCII, other characters committed by an input method.
void typeText(QWidget *widget, const QString &text);

// Shows a window at that size and waits until it is on screen; false when it never is.
bool showAt(QWidget *window, int width, int height);

// Records the addition notifications of the hub in order: "START", "END:<skipped>", "LIMIT", and warnings
// as "MESSAGE:<text>".
class AdditionRecorder : public QObject
{
    Q_OBJECT
public:
    AdditionRecorder();
    ~AdditionRecorder() override;

    QStringList log;

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value);
};

// Takes the place of the file manager and the browser while it lives: QDesktopServices hands it every file
// URL.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;

    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace FileListTest
