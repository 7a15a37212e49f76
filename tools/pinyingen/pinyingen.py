#!/usr/bin/env python3
"""Writes the pinyin table resources/zhtopy.txt from Unicode's Unihan readings.

The table is one line of 20902 syllables separated by single spaces: entry k is the reading of the
character U+4E00 + k (U+4E00..U+9FA5). Each reading is the first value of the character's kMandarin
field with the tone marks removed and ü written v, so it is plain lower-case ASCII.

Usage: pinyingen.py [Unihan_Readings.txt(.bz2) | Unihan.zip] [output]
Defaults: /usr/share/unicode/Unihan_Readings.txt.bz2 (Debian's unicode-data) and resources/zhtopy.txt.
Only the standard library is used.
"""

import bz2
import io
import os
import re
import sys
import unicodedata
import zipfile

FIRST = 0x4E00
LAST = 0x9FA5

# Characters of the range that Unihan gives no Mandarin reading in any field (kMandarin, kHanyuPinyin,
# kXHC1983, kTGHZ2013, kHanyuPinlu). Most are measure-unit characters; Unihan reads their siblings by
# the first syllable of the unit's name (兛 kilogram: qian, 兞 milligram: mao, 瓸 hectogram: bai), and
# these follow that rule. The others take the reading of their sound component.
NO_MANDARIN = {
    0x5159: "shi",    # 兙 decagram, 十克
    0x5161: "bai",    # 兡 hectogram, 百克
    0x55E7: "jia",    # 嗧 gallon, 加仑
    0x685B: "shang",  # 桛 Japanese-made (kasei); read as its component 上
    0x70EA: "guan",   # 烪 sound component 官 (Cantonese gwaan1)
    0x74E7: "shi",    # 瓧 decagram, 十克
    0x74F0: "fen",    # 瓰 decigram, 分克
    0x74F1: "mao",    # 瓱 milligram, 毫克 (as 兞)
    0x74FC: "li",     # 瓼 sound component 里 (Cantonese lei5)
    0x7505: "li",     # 甅 centigram, 厘克
}

# Fields tried, in order, when kMandarin is missing; each value is "[location:]reading[,reading]".
FALLBACK_FIELDS = ("kHanyuPinyin", "kXHC1983", "kTGHZ2013", "kHanyuPinlu")

SYLLABLE = re.compile(r"^[a-z]+$")


def open_readings(path):
    if path.endswith(".zip"):
        archive = zipfile.ZipFile(path)
        return io.TextIOWrapper(archive.open("Unihan_Readings.txt"), encoding="utf-8")
    if path.endswith(".bz2"):
        return bz2.open(path, "rt", encoding="utf-8")
    return open(path, encoding="utf-8")


def load_fields(path):
    fields = {}
    with open_readings(path) as stream:
        for line in stream:
            if line.startswith("#") or not line.strip():
                continue
            code, field, value = line.rstrip("\n").split("\t", 2)
            point = int(code[2:], 16)
            if FIRST <= point <= LAST:
                fields.setdefault(point, {})[field] = value
    return fields


def plain(reading):
    # Decomposed, ü (with or without a tone) is u + U+0308: make it v before the tone marks go.
    decomposed = unicodedata.normalize("NFD", reading.lower()).replace("u\u0308", "v")
    return "".join(c for c in decomposed if not unicodedata.combining(c))


def first_reading(value):
    # kMandarin: "reading [reading]"; the others: "location:reading,reading location:..."
    first = value.split()[0]
    if ":" in first:
        first = first.split(":", 1)[1]
    first = first.split(",")[0]
    # kHanyuPinlu carries a frequency in brackets
    return first.split("(")[0]


def reading_of(point, fields):
    entry = fields.get(point, {})
    if "kMandarin" in entry:
        return plain(first_reading(entry["kMandarin"]))
    for name in FALLBACK_FIELDS:
        if name in entry:
            return plain(first_reading(entry[name]))
    if point in NO_MANDARIN:
        return NO_MANDARIN[point]
    raise SystemExit("no reading for U+%04X" % point)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    source = argv[1] if len(argv) > 1 else "/usr/share/unicode/Unihan_Readings.txt.bz2"
    target = argv[2] if len(argv) > 2 else os.path.join(here, "..", "..", "resources", "zhtopy.txt")
    fields = load_fields(source)
    table = [reading_of(point, fields) for point in range(FIRST, LAST + 1)]
    for point, syllable in zip(range(FIRST, LAST + 1), table):
        if not SYLLABLE.match(syllable):
            raise SystemExit("U+%04X: %r is not plain lower-case ASCII" % (point, syllable))
    with open(target, "w", encoding="utf-8", newline="") as out:
        out.write(" ".join(table))
    print("%d syllables written to %s" % (len(table), os.path.normpath(target)))


if __name__ == "__main__":
    main(sys.argv)
