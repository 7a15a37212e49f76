#pragma once

// The two shapes of a fuzz input. One starting with "PK" is a whole package. Any other is a list of part
// texts separated by PartSeparator, in the order of PartNames; the harness zips them (stored, so the mutations
// reach the XML instead of breaking checksums) and fills in the parts left out with a minimal workbook.
static const char PartSeparator[] = "\n====\n";
static const char *const PartNames[] = {
    "xl/worksheets/sheet1.xml",
    "xl/sharedStrings.xml",
    "xl/styles.xml",
    "xl/workbook.xml",
    "xl/_rels/workbook.xml.rels",
    "_rels/.rels",
};
static const int PartCount = 6;
