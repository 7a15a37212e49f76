#include "logmessagehandler.h"

#include "logfile.h"

#include <cstdlib>

QString logPlainText(QtMsgType type, const QString &message)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug: %1").arg(message);
    case QtInfoMsg:
        return QStringLiteral("Info: %1").arg(message);
    case QtWarningMsg:
        return QStringLiteral("Warning: %1").arg(message);
    case QtCriticalMsg:
        return QStringLiteral("Critical: %1").arg(message);
    case QtFatalMsg:
        return QStringLiteral("Fatal: %1").arg(message);
    }
    return message;
}

void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(context)
    if (LogFile::isAvailable())
        LogFile::instance().writeLine(logPlainText(type, message));
    if (type == QtFatalMsg)
        std::abort();
}
