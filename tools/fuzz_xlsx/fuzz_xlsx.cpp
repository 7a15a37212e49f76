// Feeds arbitrary bytes to the workbook reader and builds the rows, as a read does.
#include "naming/listcapacity.h"
#include "ooxml/spreadsheetreader.h"
#include "ooxml/xlsxworkbook.h"
#include "fuzzinput.h"

#include <QByteArray>
#include <QList>
#include <QVariantList>

#include <zip.h>

#include <cstdint>
#include <cstring>

namespace {

const char *const DefaultParts[] = {
    "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>",
    "<sst><si><t>a</t></si></sst>",
    "<styleSheet><cellXfs><xf numFmtId=\"14\"/></cellXfs></styleSheet>",
    "<workbook xmlns:r=\"r\"><sheets><sheet r:id=\"rId1\"/></sheets></workbook>",
    ("<Relationships><Relationship Id=\"rId1\" Type=\"/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
     "<Relationship Id=\"rId2\" Type=\"/sharedStrings\" Target=\"sharedStrings.xml\"/>"
     "<Relationship Id=\"rId3\" Type=\"/styles\" Target=\"styles.xml\"/></Relationships>"),
    ("<Relationships><Relationship Id=\"rId1\" Type=\"/officeDocument\" Target=\"xl/workbook.xml\"/>"
     "</Relationships>"),
};

// Zips the parts in memory, stored.
QByteArray zipParts(const QList<QByteArray> &parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return QByteArray();
    zip_source_keep(buffer);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    if (!archive) {
        zip_source_free(buffer);
        return QByteArray();
    }
    for (int i = 0; i < PartCount; ++i) {
        const QByteArray &part = parts.at(i);
        zip_source_t *source = zip_source_buffer(archive, part.constData(), zip_uint64_t(part.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, PartNames[i], source, 0) : -1;
        if (index < 0)
            zip_source_free(source);
        else
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    QByteArray bytes;
    if (zip_close(archive) == 0 && zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(buffer);
        zip_source_seek(buffer, 0, SEEK_SET);
        if (size > 0) {
            bytes.resize(int(size));
            if (zip_source_read(buffer, bytes.data(), zip_uint64_t(size)) != size)
                bytes.clear();
        }
        zip_source_close(buffer);
    } else {
        zip_discard(archive);
    }
    zip_source_free(buffer);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QByteArray package = input;
    if (!input.startsWith("PK")) {
        QList<QByteArray> parts;
        int from = 0;
        for (int i = 0; i < PartCount; ++i) {
            if (from < 0) {
                parts.append(DefaultParts[i]);
                continue;
            }
            const int separator = input.indexOf(PartSeparator, from);
            parts.append(input.mid(from, separator < 0 ? -1 : separator - from));
            from = separator < 0 ? -1 : separator + int(std::strlen(PartSeparator));
        }
        package = zipParts(parts);
    }
    XlsxWorkbook book;
    if (book.loadFromData(package) && book.hasCurrentWorksheet()) {
        const QVariantList rows = worksheetRows(book, kListCapacity);
        if (rows.size() > kListCapacity + 2 * book.cells().size() + 1)
            __builtin_trap(); // rows must stay bounded by the cells
    }
    return 0;
}
