#include "journalformat.h"

#include "fileops/safefileops.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <array>
#include <charconv>

namespace {

const QByteArray Magic = "quorlin-journal 1";
const QByteArray Absent = "-";

const char *const KindKeys[] = {"rename", "rename-undo", "time", "time-undo", "create-folders", "create-files"};

// Only what would break a line or a field is escaped: the text stays short and readable, and
// fromPercentEncoding reads it back.
// Appended in place, a run of plain bytes at a time: a plan of thousands of items is built without a
// temporary per field, and names with spaces cost no more than others.
void appendEscaped(QByteArray &text, const QByteArray &bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    // Looked up rather than worked out: a plan runs every byte of thousands of paths through it.
    static const std::array<bool, 256> plainBytes = [] {
        std::array<bool, 256> table{};
        for (int u = 0; u < 256; ++u)
            table[u] = u > ' ' && u != '%' && u != 0x7f;
        return table;
    }();
    const auto plain = [](char c) { return plainBytes[uchar(c)]; };
    const char *end = bytes.cend();
    for (const char *from = bytes.cbegin(); from != end;) {
        const char *stop = std::find_if_not(from, end, plain);
        text.append(from, int(stop - from));
        if (stop == end)
            break;
        const uchar u = uchar(*stop);
        const char escaped[3] = {'%', hex[u >> 4], hex[u & 0xf]};
        text.append(escaped, 3);
        from = stop + 1;
    }
}

void appendPath(QByteArray &text, const QString &path)
{
    if (path.isEmpty())
        text += Absent;
    else
        appendEscaped(text, encodedFileName(path));
}

void appendBytes(QByteArray &text, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        text += Absent;
    else
        appendEscaped(text, bytes);
}

void appendNumber(QByteArray &text, qint64 number)
{
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
    text.append(digits, int(end.ptr - digits));
}

void appendInstant(QByteArray &text, const std::optional<FileInstant> &instant)
{
    if (!instant) {
        text += Absent;
        return;
    }
    char digits[48];
    char *end = std::to_chars(digits, digits + 24, instant->seconds).ptr;
    *end++ = '.';
    end = std::to_chars(end, digits + sizeof digits, instant->nanoseconds).ptr;
    text.append(digits, int(end - digits));
}

QByteArray encodedPath(const QString &path)
{
    QByteArray text;
    appendPath(text, path);
    return text;
}

QString decodedPath(const QByteArray &field)
{
    return field == Absent ? QString() : QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

QByteArray encodedBytes(const QByteArray &bytes)
{
    QByteArray text;
    appendBytes(text, bytes);
    return text;
}

QByteArray decodedBytes(const QByteArray &field)
{
    return field == Absent ? QByteArray() : QByteArray::fromPercentEncoding(field);
}

bool decodeInstant(const QByteArray &field, std::optional<FileInstant> *instant)
{
    if (field == Absent) {
        instant->reset();
        return true;
    }
    const int dot = field.indexOf('.');
    bool secondsOk = false;
    bool nanosOk = false;
    const qint64 seconds = field.left(dot).toLongLong(&secondsOk);
    const int nanoseconds = field.mid(dot + 1).toInt(&nanosOk);
    if (dot < 0 || !secondsOk || !nanosOk || nanoseconds < 0 || nanoseconds > 999999999)
        return false;
    *instant = FileInstant{seconds, nanoseconds};
    return true;
}

bool parseItem(const QList<QByteArray> &fields, JobJournal::Item *item)
{
    if (fields.size() != 8)
        return false;
    item->identity = decodedBytes(fields.at(1));
    item->from = decodedPath(fields.at(2));
    item->to = decodedPath(fields.at(3));
    return decodeInstant(fields.at(4), &item->oldCreation) && decodeInstant(fields.at(5), &item->oldWrite)
        && decodeInstant(fields.at(6), &item->newCreation) && decodeInstant(fields.at(7), &item->newWrite);
}

// A progress line; false for one that names no item of the plan.
bool parseProgress(const QList<QByteArray> &fields, JournalFormat::Contents &contents)
{
    bool ok = false;
    const int index = fields.size() >= 3 ? fields.at(1).toInt(&ok) : -1;
    if (!ok || index < 0 || index >= contents.items.size())
        return false;
    if (fields.at(0) == "aside" && fields.size() == 4) {
        contents.asides[index].append({decodedPath(fields.at(2)), decodedBytes(fields.at(3))});
        return true;
    }
    if (fields.at(0) == "done" && fields.size() == 3) {
        if (contents.done.at(index).isEmpty())
            ++contents.doneCount;
        contents.done[index] = decodedPath(fields.at(2));
        return true;
    }
    return false;
}

} // namespace

namespace JournalFormat {

QString suffix()
{
    return QStringLiteral(".journal");
}

QString kindName(JobJournal::Kind kind)
{
    return QString::fromLatin1(KindKeys[kind]);
}

QByteArray plan(JobJournal::Kind kind, const QString &page, const QDateTime &started, const QString &source,
                const QVector<JobJournal::Item> &items, QVector<QPair<int, int>> *places)
{
    QByteArray text;
    text.reserve(200 + items.size() * 160);
    text += Magic + '\n';
    text += "kind " + QByteArray(KindKeys[kind]) + '\n';
    text += "page " + encodedBytes(page.toUtf8()) + '\n';
    text += "started " + started.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    text += "source " + encodedPath(source) + '\n';
    for (const JobJournal::Item &item : items) {
        text += "item ";
        appendBytes(text, item.identity);
        text += ' ';
        const int from = text.size();
        appendPath(text, item.from);
        text += ' ';
        const int to = text.size();
        appendPath(text, item.to);
        if (places)
            places->append(item.to.isEmpty() ? qMakePair(from, to - 1 - from) : qMakePair(to, text.size() - to));
        for (const std::optional<FileInstant> *instant :
             {&item.oldCreation, &item.oldWrite, &item.newCreation, &item.newWrite}) {
            text += ' ';
            appendInstant(text, *instant);
        }
        text += '\n';
    }
    text += "planned " + QByteArray::number(items.size()) + '\n';
    return text;
}

QByteArray asideLine(int index, const QString &temporary, const QByteArray &identity)
{
    return "aside " + QByteArray::number(index) + ' ' + encodedPath(temporary) + ' ' + encodedBytes(identity) + '\n';
}

void appendDoneLine(QByteArray &text, int index, const QString &where)
{
    text += "done ";
    appendNumber(text, index);
    text += ' ';
    appendPath(text, where);
    text += '\n';
}

void appendDoneLine(QByteArray &text, int index, const QByteArray &plan, const QPair<int, int> &place)
{
    text += "done ";
    appendNumber(text, index);
    text += ' ';
    text.append(plan.constData() + place.first, place.second);
    text += '\n';
}

Contents parse(const QByteArray &text)
{
    Contents contents;
    QList<QByteArray> lines = text.split('\n');
    // The last piece follows the last line break: empty, or a line cut short by a kill.
    lines.removeLast();
    if (lines.size() < 6 || lines.at(0) != Magic)
        return contents;
    int kind = -1;
    for (int k = 0; k <= JobJournal::CreateFiles; ++k) {
        if (lines.at(1) == "kind " + QByteArray(KindKeys[k]))
            kind = k;
    }
    if (kind < 0 || !lines.at(2).startsWith("page ") || !lines.at(3).startsWith("started ")
        || !lines.at(4).startsWith("source "))
        return contents;
    contents.kind = JobJournal::Kind(kind);
    contents.page = QString::fromUtf8(decodedBytes(lines.at(2).mid(5)));
    contents.started = QDateTime::fromString(QString::fromLatin1(lines.at(3).mid(8)), Qt::ISODateWithMs);
    contents.source = decodedPath(lines.at(4).mid(7));
    int line = 5;
    for (; line < lines.size() && lines.at(line).startsWith("item "); ++line) {
        JobJournal::Item item;
        if (!parseItem(lines.at(line).split(' '), &item))
            return contents;
        contents.items.append(item);
    }
    if (line >= lines.size() || lines.at(line) != "planned " + QByteArray::number(contents.items.size()))
        return contents;
    contents.done.resize(contents.items.size());
    contents.asides.resize(contents.items.size());
    for (++line; line < lines.size(); ++line) {
        if (!parseProgress(lines.at(line).split(' '), contents))
            return contents;
    }
    contents.readable = contents.started.isValid();
    return contents;
}

} // namespace JournalFormat
