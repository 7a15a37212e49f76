// Prints the plain text of a Quorlin log file, one message per line. Lines that cannot be deciphered are
// reported on standard error with their line number and skipped.
#include "log/logcipher.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || args.at(1) == QLatin1String("-h") || args.at(1) == QLatin1String("--help")) {
        err << "usage: quorlin-logdecode <log file>\n"
               "Prints the messages of an enciphered log file (from the log folder) as plain text.\n";
        return args.size() == 2 ? 0 : 1;
    }

    QFile file(args.at(1));
    if (!file.open(QIODevice::ReadOnly)) {
        err << "quorlin-logdecode: cannot open " << args.at(1) << ": " << file.errorString() << '\n';
        return 1;
    }

    int lineNumber = 0;
    int badLines = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        ++lineNumber;
        bool ok = false;
        const QString text = decryptLogText(QString::fromLatin1(line), &ok);
        if (!ok) {
            ++badLines;
            out.flush();
            err << "quorlin-logdecode: line " << lineNumber << ": not a valid log line\n";
            err.flush();
            continue;
        }
        out << text << '\n';
    }
    out.flush();
    if (badLines > 0) {
        err << "quorlin-logdecode: " << badLines << " of " << lineNumber << " lines could not be read\n";
        return 2;
    }
    return 0;
}
