#include "collectexport.h"

#include "hub/mydialogmessageevent.h"
#include "fileops/createitem.h"
#include "fileops/filetimes.h"
#include "fileops/renamepaths.h"
#include "fileops/safefileops.h"
#include "fileops/uniquename.h"
#include "ooxml/docxwriter.h"
#include "ooxml/workbookwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextCodec>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// Each attempt at a free name can lose a race against another writer; past this many the folder is busier than
// any user's and the export gives up.
constexpr int MaxPublishAttempts = 100;
constexpr int MaxTemporaryAttempts = 16;

using Fill = std::function<bool(const QString &temporaryPath, QString *error)>;

void post(QObject *receiver, const QString &message)
{
    if (receiver)
        QCoreApplication::postEvent(receiver, new MyDialogMessageEvent(message));
}

bool nameUsable(const QString &name)
{
#ifdef Q_OS_WIN
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
#else
    static const QString forbidden = QStringLiteral("/");
#endif
    for (const QChar c : name) {
        if (c.unicode() == 0 || forbidden.contains(c))
            return false;
    }
    return true;
}

// "yyyy/MM/dd hh:mm:ss" in local time. Straight from the C library: a local QDateTime asks for the time zone
// again on every conversion, which costs more than reading the item.
QString timeText(const FileInstant &instant)
{
    const time_t seconds = time_t(instant.seconds);
    struct tm parts = {};
#ifdef Q_OS_WIN
    if (::localtime_s(&parts, &seconds) != 0)
        return QString();
#else
    if (!::localtime_r(&seconds, &parts))
        return QString();
#endif
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", parts.tm_year + 1900,
                                     parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return length > 0 ? QString::fromLatin1(text, length) : QString();
}

QString exportedName(const FileTimeEntry &entry, const CollectSettings &settings, bool folders)
{
    QString name = entry.path.mid(entry.path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty())
        name = entry.name;
    if (settings.hasSuffix || folders)
        return name;
    // A name that is all extension (".bashrc") keeps its form rather than turning empty.
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString lineOf(const QVariantList &row)
{
    QString line;
    for (int i = 0; i < row.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(' ');
        line += row.at(i).toString();
    }
    return line;
}

// A new, empty file under a temporary name in folder, made exclusively so that it is ours alone; its name.
QString createTemporary(const FolderHandle &folder, QString *error)
{
    for (int attempt = 0; attempt < MaxTemporaryAttempts; ++attempt) {
        const QString candidate = QStringLiteral(".quorlin-export-")
            + QString::number(QRandomGenerator::global()->generate64(), 16) + QStringLiteral(".tmp");
        switch (createEmptyFile(folder, candidate, error)) {
        case CreateOutcome::Created:
            return candidate;
        case CreateOutcome::Exists:
            continue;
        case CreateOutcome::Failed:
            return QString();
        }
    }
    return QString();
}

// Gives the finished file (temporary, in folder) the name of path, or the first free one from it on, the move
// itself refusing a name taken since the check; the name it took.
QString publish(const FolderHandle &folder, const QString &temporary, const QString &path, QString *error)
{
    UniqueNameAllocator names([&folder](const QString &candidate, const QString &) {
        return folder.holds(QFileInfo(candidate).fileName());
    });
    for (int attempt = 0; attempt < MaxPublishAttempts; ++attempt) {
        const QString name = QFileInfo(names.resolve(path)).fileName();
        switch (folder.rename(temporary, name, error)) {
        case RenameOutcome::Renamed:
            return name;
        case RenameOutcome::TargetExists:
            continue;
        case RenameOutcome::SourceMissing:
            *error = QStringLiteral("the temporary file disappeared");
            return QString();
        case RenameOutcome::Denied:
        case RenameOutcome::Failed:
            return QString();
        }
    }
    *error = QStringLiteral("no free name");
    return QString();
}

ExportOutcome writeNewFile(const QString &path, QObject *receiver, const Fill &fill)
{
    QString error = QStringLiteral("no file name can be made of the export name");
    ExportOutcome outcome;
    // The folder is held from the start and every step goes through it: should it be renamed meanwhile, the
    // file is written and named in it where it is now, and a failed export still removes its temporary file.
    const QString folderPath = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    const FolderHandle folder(folderPath);
    const QString temporary = path.isEmpty() ? QString() : createTemporary(folder, &error);
    QString where = folderPath;
    if (!temporary.isEmpty()) {
        QString name;
        if (fill(folder.pathThrough(temporary), &error))
            name = publish(folder, temporary, path, &error);
        where = folder.currentPath();
        if (name.isEmpty())
            folder.remove(temporary);
        else
            outcome = {true, RenamePaths::join(where, name)};
    }
    if (!outcome.saved) {
        qWarning("Export to \"%s\" failed: %s", qUtf8Printable(path), qUtf8Printable(error));
        post(receiver, exportFailedMessage());
        return outcome;
    }
    if (where != folderPath)
        post(receiver, exportMovedMessage(path, outcome.path));
    else if (outcome.path != path)
        post(receiver, exportRenamedMessage(path, outcome.path));
    return outcome;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | mode) || file.write(bytes) != bytes.size()
        || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString exportFailedMessage()
{
    return QStringLiteral("保存文件失败！");
}

QString exportRenamedMessage(const QString &requestedPath, const QString &writtenPath)
{
    return QStringLiteral("文件“%1”已存在，已保存为“%2”")
        .arg(QDir::toNativeSeparators(requestedPath), QDir::toNativeSeparators(writtenPath));
}

QString exportMovedMessage(const QString &requestedPath, const QString &writtenPath)
{
    return QStringLiteral("保存文件“%1”时其文件夹已被移动或重命名，已保存为“%2”")
        .arg(QDir::toNativeSeparators(requestedPath), QDir::toNativeSeparators(writtenPath));
}

QString collectPageTitle(bool folders)
{
    return folders ? QStringLiteral("提取文件夹名") : QStringLiteral("提取文件名");
}

QString exportExtension(int exportType)
{
    switch (exportType) {
    case ExportXlsx: return QStringLiteral(".xlsx");
    case ExportDocx: return QStringLiteral(".docx");
    case ExportTxt: return QStringLiteral(".txt");
    default: return QString();
    }
}

QString exportPath(const CollectSettings &settings, bool folders)
{
    const QString extension = exportExtension(settings.exportType);
    if (settings.outputFolder.isEmpty() || extension.isEmpty())
        return QString();
    // A blank name would make a hidden file that is all extension.
    const QString base = settings.exportName.trimmed().isEmpty() ? collectPageTitle(folders) : settings.exportName;
    if (!nameUsable(base))
        return QString();
    return QDir::cleanPath(settings.outputFolder + QLatin1Char('/') + base + extension);
}

QVariantList exportHeader(const CollectSettings &settings)
{
    QVariantList header{QStringLiteral("文件名称")};
    if (settings.hasPath)
        header.append(QStringLiteral("文件路径"));
    if (settings.hasBirth)
        header.append(QStringLiteral("创建时间"));
    if (settings.hasModified)
        header.append(QStringLiteral("修改时间"));
    return header;
}

ExportRows exportRows(const FileTimeEntryList &entries, const CollectSettings &settings, bool folders)
{
    ExportRows rows;
    rows.reserve(entries.size());
    const bool needTimes = settings.hasBirth || settings.hasModified;
    for (const FileTimeEntry &entry : entries) {
        QVariantList row{exportedName(entry, settings, folders)};
        if (settings.hasPath)
            row.append(entry.path);
        if (needTimes) {
            const FileTimes times = readFileTimes(entry.path);
            if (settings.hasBirth)
                row.append(times.readable && times.hasCreation ? timeText(times.creation) : QString());
            if (settings.hasModified)
                row.append(times.readable ? timeText(times.lastWrite) : QString());
        }
        rows.append(row);
    }
    return rows;
}

ExportOutcome writeXlsx(const QString &path, const ExportRows &rows, QObject *receiver)
{
    return writeNewFile(path, receiver, [&rows](const QString &temporary, QString *error) {
        WorkbookWriter workbook;
        bool ok = workbook.open(temporary);
        for (int i = 0; ok && i < rows.size(); ++i)
            ok = workbook.addRow(rows.at(i));
        ok = ok && workbook.close();
        if (!ok)
            *error = workbook.errorString();
        return ok;
    });
}

ExportOutcome writeDocx(const QString &path, const ExportRows &rows, QObject *receiver)
{
    return writeNewFile(path, receiver, [&rows](const QString &temporary, QString *error) {
        QStringList lines;
        lines.reserve(rows.size());
        for (const QVariantList &row : rows)
            lines.append(lineOf(row));
        const QByteArray package = DocxWriter::toByteArray(lines, error);
        return !package.isEmpty() && writeBytes(temporary, package, QIODevice::NotOpen, error);
    });
}

ExportOutcome writeTxt(const QString &path, const ExportRows &rows, QObject *receiver)
{
    return writeNewFile(path, receiver, [&rows](const QString &temporary, QString *error) {
        QString text;
        for (const QVariantList &row : rows) {
            QString line = lineOf(row);
            line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            text += line;
            text += QLatin1Char('\n');
        }
        const QByteArray bytes = QTextCodec::codecForLocale()->fromUnicode(text);
        // Text mode: the platform's line ends, CR LF on Windows.
        return writeBytes(temporary, bytes, QIODevice::Text, error);
    });
}

ExportOutcome writeCollectExport(const FileTimeEntryList &entries, const CollectSettings &settings, bool folders,
                                 QObject *receiver)
{
    const QString path = exportPath(settings, folders);
    ExportRows rows = exportRows(entries, settings, folders);
    switch (settings.exportType) {
    case ExportDocx:
        return writeDocx(path, rows, receiver);
    case ExportTxt:
        return writeTxt(path, rows, receiver);
    default:
        // Only the spreadsheet has a header; an unknown type has no path and fails there.
        rows.prepend(exportHeader(settings));
        return writeXlsx(path, rows, receiver);
    }
}

void runCollectExport(const FileTimeEntryList &entries, const CollectSettings &settings, bool folders,
                      QObject *receiver, const std::function<void(const ExportOutcome &outcome)> &onDone,
                      const TaskWatcherBase::MessageHandler &onMessage)
{
    TaskWatcher<ExportOutcome>::start(
        receiver,
        [entries, settings, folders](QObject *messages, const std::function<bool()> &) {
            return writeCollectExport(entries, settings, folders, messages);
        },
        onDone, onMessage);
}
