// Writes the empty documents the create page copies: quorlin-maketemplates <folder>
// Every time inside them is SOURCE_DATE_EPOCH (seconds since 1970, UTC), never the clock, so that two builds
// of the same sources give the same bytes.
#include "ooxml/docxwriter.h"
#include "ooxml/pptxwriter.h"
#include "ooxml/workbookwriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>
#include <ctime>

namespace {

// When nothing says otherwise: 2024-01-01 00:00 UTC.
const qint64 FallbackEpoch = 1704067200;

QDateTime sourceDate()
{
    bool ok = false;
    const qint64 seconds = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    return QDateTime::fromSecsSinceEpoch(ok && seconds >= 0 ? seconds : FallbackEpoch, Qt::UTC);
}

bool report(const QString &path, const QString &error)
{
    std::fprintf(stderr, "cannot write %s: %s\n", qUtf8Printable(path), qUtf8Printable(error));
    return false;
}

bool writeWord(const QString &path, const QDateTime &created)
{
    QString error;
    return DocxWriter::write(path, {}, &error, created) || report(path, error);
}

bool writePowerPoint(const QString &path, const QDateTime &created)
{
    QString error;
    return PptxWriter::write(path, &error, created) || report(path, error);
}

bool writeWorkbook(const QString &path, const QDateTime &created)
{
    WorkbookWriter workbook;
    return (workbook.open(path) && workbook.setCreated(created) && workbook.close())
        || report(path, workbook.errorString());
}

// The PDF writer stamps the clock as the creation date; the stamp is replaced by one of the same length, so
// the offsets the file lists stay true. In UTC the stamp reads "(D:yyyyMMddHHmmssZ)".
bool stampCreation(QByteArray *pdf, const QDateTime &created)
{
    const QByteArray key = "/CreationDate (D:";
    const int at = pdf->indexOf(key);
    const QByteArray stamp = created.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (at < 0 || pdf->mid(at + key.size() + stamp.size(), 2) != "Z)")
        return false;
    pdf->replace(at + key.size(), stamp.size(), stamp);
    return true;
}

// One blank A4 page: beginning and ending a painter makes the first page.
bool writePdf(const QString &path, const QDateTime &created)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setCreator(QStringLiteral("Quorlin"));
        QPainter painter;
        if (!painter.begin(&pdf))
            return report(path, QStringLiteral("the PDF writer does not start"));
        if (!painter.end())
            return report(path, QStringLiteral("the PDF writer does not finish"));
    }
    QByteArray bytes = buffer.data();
    if (!stampCreation(&bytes, created))
        return report(path, QStringLiteral("the PDF has no creation date to set"));
    QFile file(path);
    return (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        || report(path, file.errorString());
}

bool writeText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) || report(path, file.errorString());
}

} // namespace

int main(int argc, char **argv)
{
    // A build machine need not have a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Zip entry times and the PDF date are written in local time: UTC makes them the same on every machine.
    qputenv("TZ", "UTC");
    tzset();
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: quorlin-maketemplates <folder>\n");
        return 2;
    }
    const QString folder = arguments.at(1);
    if (!QDir().mkpath(folder)) {
        report(folder, QStringLiteral("the folder cannot be made"));
        return 1;
    }
    const QDir dir(folder);
    const QDateTime created = sourceDate();
    const bool ok = writeWord(dir.filePath(QStringLiteral("Word.docx")), created)
        & writeWorkbook(dir.filePath(QStringLiteral("Excel.xlsx")), created)
        & writePowerPoint(dir.filePath(QStringLiteral("PPT.pptx")), created)
        & writePdf(dir.filePath(QStringLiteral("PDF.pdf")), created)
        & writeText(dir.filePath(QStringLiteral("Txt.txt")));
    return ok ? 0 : 1;
}
