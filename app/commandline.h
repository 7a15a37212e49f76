#pragma once

#include <QString>
#include <QStringList>

// What a start asks of the window: the page to show ("rename", "time", ...; empty lets the paths choose)
// and the absolute paths of the items to add to it.
struct LaunchRequest
{
    QString page;
    QStringList paths;
};

// The program's command line: quorlin [--page PAGE] [PATH...]. Paths may be relative to the working folder
// or file:// URLs; they are made absolute here, because a running window may take them over.
class CommandLine
{
public:
    // The page names --page takes, in the order of the window's page buttons.
    static const QStringList &pageNames();

    // Reads the arguments (argv[0] first). Returns -1 when the program should go on with request filled in;
    // otherwise the exit status after --help or --version (0) or a wrong command line (2, with the usage on
    // stderr). A path that does not exist, or whose name may stand for an unreadable one, is reported on
    // stderr and left out. Needs a QCoreApplication for the help text.
    static int read(const QStringList &arguments, const QString &workingFolder, LaunchRequest *request);
    // The same, for main(): builds the application object it needs and drops it again before the GUI's.
    static int read(int argc, char *argv[], LaunchRequest *request);

private:
    static QString resolvedPath(const QString &argument, const QString &workingFolder, QString *problem);
};
