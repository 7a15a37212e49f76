// Writes the empty documents the create page copies: quorlin-maketemplates <folder>
#include "ooxml/docxwriter.h"
#include "ooxml/pptxwriter.h"
#include "ooxml/workbookwriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

namespace {

bool report(const QString &path, const QString &error)
{
    std::fprintf(stderr, "cannot write %s: %s\n", qUtf8Printable(path), qUtf8Printable(error));
    return false;
}

bool writeWord(const QString &path)
{
    QString error;
    return DocxWriter::write(path, {}, &error) || report(path, error);
}

bool writePowerPoint(const QString &path)
{
    QString error;
    return PptxWriter::write(path, &error) || report(path, error);
}

bool writeWorkbook(const QString &path)
{
    WorkbookWriter workbook;
    return (workbook.open(path) && workbook.close()) || report(path, workbook.errorString());
}

// One blank A4 page: beginning and ending a painter makes the first page.
bool writePdf(const QString &path)
{
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setCreator(QStringLiteral("Quorlin"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return report(path, QStringLiteral("the PDF writer does not start"));
    return painter.end() || report(path, QStringLiteral("the PDF writer does not finish"));
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
    const bool ok = writeWord(dir.filePath(QStringLiteral("Word.docx")))
        & writeWorkbook(dir.filePath(QStringLiteral("Excel.xlsx")))
        & writePowerPoint(dir.filePath(QStringLiteral("PPT.pptx")))
        & writePdf(dir.filePath(QStringLiteral("PDF.pdf")))
        & writeText(dir.filePath(QStringLiteral("Txt.txt")));
    return ok ? 0 : 1;
}
