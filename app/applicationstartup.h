#pragma once

#include <QDateTime>
#include <QPoint>
#include <QSize>
#include <QString>

class QApplication;
class QWidget;

// The steps of the program's start that are worth calling on their own: the log file, the stylesheet and
// the placement of the main window.
class ApplicationStartup
{
public:
    static QString logFolder() { return QStringLiteral("./log/"); }
    static QString styleSheetResource() { return QStringLiteral(":/qss/main.qss"); }

    // Opens this start's log file under the log folder, relative to the working directory.
    static bool openLogFile(const QDateTime &start);

    // The stylesheet text: the bytes up to the first NUL read as Latin-1; empty when the file cannot be read.
    static QString loadStyleSheet(const QString &path);
    static void applyStyleSheet(QApplication &app, const QString &path);

    // Top-left corner that centres a window in an area of the given size; may be negative for a window larger
    // than the area.
    static QPoint centredPosition(const QSize &available, const QSize &window);
    // Centres the window on the primary screen's available area (the area's size only, not its origin).
    static void centreOnPrimaryScreen(QWidget *window);
};
