#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>

class QDialog;
class QDir;

namespace FileListTest {

// Creates the file (and its folders) under root and returns its path with forward slashes.
QString makeFile(const QString &root, const QString &relativePath, const QByteArray &content = "x");
QString makeDir(const QString &root, const QString &relativePath);

// Answers the next modal dialog that opens: waits for it (up to timeoutMs), then runs answer on it.
void answerNextDialog(std::function<void(QDialog *)> answer, int timeoutMs = 5000);

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

} // namespace FileListTest
