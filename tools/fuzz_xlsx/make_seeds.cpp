// Writes the seed corpus of fuzz_xlsx into the folder given: small workbooks made by libxlsxwriter, each
// whole and as the part list the harness zips itself.
#include "fuzzinput.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <xlsxwriter.h>
#include <zip.h>

#include <cstdio>
#include <functional>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readEntry(zip_t *archive, const char *name)
{
    zip_file_t *file = zip_fopen(archive, name, 0);
    if (!file)
        return QByteArray();
    QByteArray bytes;
    char chunk[4096];
    zip_int64_t n;
    while ((n = zip_fread(file, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, int(n));
    zip_fclose(file);
    return bytes;
}

bool makeSeed(const QDir &dir, const QString &name, const std::function<void(lxw_workbook *)> &fill)
{
    const QString path = dir.filePath(name + QStringLiteral(".xlsx"));
    lxw_workbook *workbook = workbook_new(QFile::encodeName(path).constData());
    if (!workbook)
        return false;
    fill(workbook);
    if (workbook_close(workbook) != LXW_NO_ERROR)
        return false;
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return false;
    QByteArray parts;
    for (int i = 0; i < PartCount; ++i) {
        if (i > 0)
            parts += PartSeparator;
        parts += readEntry(archive, PartNames[i]);
    }
    zip_discard(archive);
    return writeFile(dir.filePath(name + QStringLiteral(".parts")), parts);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    bool ok = makeSeed(dir, QStringLiteral("mixed"), [](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 0, 0, "名称", nullptr);
        worksheet_write_number(ws, 0, 1, 2.5, nullptr);
        worksheet_write_boolean(ws, 1, 0, 1, nullptr);
        worksheet_write_formula_num(ws, 1, 1, "=1+2", nullptr, 3);
        worksheet_write_string(ws, 3, 2, "c", nullptr);
    });
    ok = ok && makeSeed(dir, QStringLiteral("dates"), [](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        lxw_format *day = workbook_add_format(wb);
        format_set_num_format(day, "yyyy\"年\"m\"月\"d\"日\" hh:mm");
        lxw_format *builtIn = workbook_add_format(wb);
        format_set_num_format_index(builtIn, 22);
        lxw_datetime stamp = {2024, 3, 1, 13, 45, 30};
        worksheet_write_datetime(ws, 0, 0, &stamp, day);
        worksheet_write_datetime(ws, 0, 1, &stamp, builtIn);
    });
    ok = ok && makeSeed(dir, QStringLiteral("rich"), [](lxw_workbook *wb) {
        lxw_worksheet *one = workbook_add_worksheet(wb, nullptr);
        lxw_worksheet *two = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(one, 0, 0, "one", nullptr);
        lxw_format *bold = workbook_add_format(wb);
        format_set_bold(bold);
        lxw_rich_string_tuple first = {nullptr, const_cast<char *>("年度")};
        lxw_rich_string_tuple second = {bold, const_cast<char *>("报告")};
        lxw_rich_string_tuple *fragments[] = {&first, &second, nullptr};
        worksheet_write_rich_string(two, 2, 1, fragments, nullptr);
        worksheet_activate(two);
    });
    ok = ok && makeSeed(dir, QStringLiteral("chart"), [](lxw_workbook *wb) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_number(ws, 0, 0, 1, nullptr);
        lxw_chartsheet *chartsheet = workbook_add_chartsheet(wb, nullptr);
        lxw_chart *chart = workbook_add_chart(wb, LXW_CHART_COLUMN);
        chart_add_series(chart, nullptr, "=Sheet1!$A$1:$A$1");
        chartsheet_set_chart(chartsheet, chart);
        chartsheet_activate(chartsheet);
    });
    return ok ? 0 : 1;
}
