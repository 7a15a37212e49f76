#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide Qt message handler: every message, from any thread, becomes one enciphered line of the
// log file. A fatal message is written, then the process aborts.
void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// The plain text of one message before enciphering, e.g. "Warning: disk full".
QString logPlainText(QtMsgType type, const QString &message);
