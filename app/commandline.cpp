#include "commandline.h"

#include "filelist/namesafety.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QUrl>

#ifndef QUORLIN_VERSION
#define QUORLIN_VERSION "0"
#endif

namespace {

constexpr int kUsageError = 2;

void printTo(FILE *stream, const QString &text)
{
    QTextStream(stream) << text;
}

} // namespace

const QStringList &CommandLine::pageNames()
{
    static const QStringList names = {QStringLiteral("rename"),  QStringLiteral("folder-rename"),
                                      QStringLiteral("time"),    QStringLiteral("folder-time"),
                                      QStringLiteral("collect"), QStringLiteral("folder-collect"),
                                      QStringLiteral("create")};
    return names;
}

int CommandLine::read(int argc, char *argv[], LaunchRequest *request)
{
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORLIN_VERSION));
    const QCoreApplication application(argc, argv);
    return read(QCoreApplication::arguments(), QDir::currentPath(), request);
}

int CommandLine::read(const QStringList &arguments, const QString &workingFolder, LaunchRequest *request)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Korvel批量改名软件：批量重命名、修改时间、提取名称、批量生成。\n"
        "给出的文件和文件夹加入所选页面的列表；未指定页面时，文件加入“文件重命名”，文件夹加入“文件夹重命名”。\n"
        "程序已在运行时，交给已打开的窗口。"));
    // Our own help and version options: Qt's would describe themselves in English and offer --help-all,
    // whose Qt options this parser, running before the GUI's application object, does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("显示本帮助"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("显示版本"));
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption page(QStringLiteral("page"),
                                  QStringLiteral("打开的页面：%1").arg(pageNames().join(QStringLiteral(", "))),
                                  QStringLiteral("page"));
    parser.addOption(page);
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("要加入列表的文件或文件夹（路径或 file:// 网址）"),
                                 QStringLiteral("[PATH…]"));

    QString error;
    if (!parser.parse(arguments))
        error = parser.errorText();
    else if (parser.isSet(page) && !pageNames().contains(parser.value(page)))
        error =
            QStringLiteral("未知页面“%1”，可用：%2").arg(parser.value(page), pageNames().join(QStringLiteral(", ")));
    if (!error.isEmpty()) {
        printTo(stderr, QStringLiteral("quorlin: %1\n\n%2").arg(error, parser.helpText()));
        return kUsageError;
    }
    if (parser.isSet(help)) {
        printTo(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        printTo(stdout,
                QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                              QCoreApplication::applicationVersion()));
        return 0;
    }

    request->page = parser.value(page);
    request->paths.clear();
    for (const QString &argument : parser.positionalArguments()) {
        QString problem;
        const QString path = resolvedPath(argument, workingFolder, &problem);
        if (problem.isEmpty())
            request->paths.append(path);
        else
            printTo(stderr, QStringLiteral("quorlin: %1\n").arg(problem));
    }
    return -1;
}

QString CommandLine::resolvedPath(const QString &argument, const QString &workingFolder, QString *problem)
{
    QString path = argument;
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        path = url.toLocalFile();
        if (!url.isValid() || path.isEmpty()) {
            *problem = QStringLiteral("“%1”不是本地文件的网址，未添加").arg(argument);
            return {};
        }
        // The URL carries the name's bytes; text that lost some of them must not name another item.
        if (!urlRoundTrips(url)) {
            *problem = QStringLiteral("“%1”的名称无法识别，未添加").arg(argument);
            return {};
        }
    }
    path = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
    if (!pathRoundTrips(path)) {
        *problem = QStringLiteral("“%1”的名称无法识别，未添加").arg(argument);
        return {};
    }
    if (!QFileInfo::exists(path)) {
        *problem = QStringLiteral("找不到“%1”，未添加").arg(argument);
        return {};
    }
    return path;
}
