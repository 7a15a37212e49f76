#pragma once

#include <QDateTime>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

class QApplication;
class QWidget;

// The steps of the program's start that are worth calling on their own: the log file, the stylesheet and
// the placement of the main window.
class ApplicationStartup
{
public:
    static QString styleSheetResource() { return QStringLiteral(":/qss/main.qss"); }

    // Where this start's log may go, best first: "log" in the program's folder when the program runs from
    // a folder holding its own data (a build tree, a portable copy), then "log" in the per-user data folder.
    // An installation's bin folder is never written, even by an administrator.
    static QStringList logFolders(const QString &programFolder, const QString &userDataFolder);
    // Opens this start's log file in the first of the folders that takes it (so a program folder that cannot
    // be written passes to the next), then removes the oldest logs there beyond LogFile::keptFiles.
    static bool openLogFile(const QStringList &folders, const QDateTime &start);
    // The same with the folders of this program and user. Needs the organisation and application names,
    // which name the per-user data folder.
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
