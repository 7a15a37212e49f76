#include "collect/collectexport.h"
#include "hub/mydialogmessageevent.h"
#include "ooxml/docxwriter.h"
#include "ooxml/pptxwriter.h"
#include "ooxml/workbookwriter.h"
#include "ooxml/xlsxworkbook.h"
#include "ooxml/zipwriter.h"
#include "testutil_engine.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QXmlStreamReader>
#include <QtTest>

#include <zip.h>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#endif

using Parts = QMap<QString, QByteArray>;
using Grid = QList<QStringList>;
Q_DECLARE_METATYPE(Grid)

using namespace EngineTest;

namespace {

const QString SaveFailed = QStringLiteral("保存文件失败！");

// The entries of a zip archive, read with libzip itself; an empty map when it is no archive.
Parts unzip(const QByteArray &data)
{
    Parts parts;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(data.constData(), zip_uint64_t(data.size()), 0, &error);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return parts;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_file_t *file = zip_stat_index(archive, zip_uint64_t(i), 0, &stat) == 0
            ? zip_fopen_index(archive, zip_uint64_t(i), 0)
            : nullptr;
        if (!file)
            qFatal("unreadable entry %lld", static_cast<long long>(i));
        QByteArray bytes(int(stat.size), '\0');
        const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        if (read != zip_int64_t(stat.size))
            qFatal("short entry %s", stat.name);
        parts.insert(QString::fromUtf8(stat.name), bytes);
    }
    zip_close(archive);
    return parts;
}

Parts unzipFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? unzip(file.readAll()) : Parts();
}

QString xmlError(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return reader.hasError() ? reader.errorString() : QString();
}

QString rootName(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    return reader.readNextStartElement() ? reader.name().toString() : QString();
}

int countElements(const QByteArray &xml, const QString &name)
{
    QXmlStreamReader reader(xml);
    int count = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
            ++count;
    }
    return count;
}

// The paragraphs of word/document.xml as a reader shows them: w:t text, w:tab a tab, w:br a line feed.
QStringList paragraphsOf(const QByteArray &documentXml)
{
    QStringList paragraphs;
    QXmlStreamReader reader(documentXml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("p"))
            paragraphs.append(QString());
        else if (reader.name() == QLatin1String("t"))
            paragraphs.last() += reader.readElementText();
        else if (reader.name() == QLatin1String("tab"))
            paragraphs.last() += QLatin1Char('\t');
        else if (reader.name() == QLatin1String("br"))
            paragraphs.last() += QLatin1Char('\n');
    }
    return paragraphs;
}

QString partFolder(const QString &part)
{
    return part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
}

// The package rules a reader relies on: every XML part well-formed, every part with a content type, every
// internal relationship pointing at a part that is there.
void verifyPackage(const Parts &parts, const QString &mainPart)
{
    QVERIFY(parts.contains("[Content_Types].xml"));
    QVERIFY(parts.contains("_rels/.rels"));
    QVERIFY(parts.contains("docProps/core.xml"));
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        QVERIFY2(xmlError(it.value()).isEmpty(), qPrintable(it.key() + ": " + xmlError(it.value())));

    QSet<QString> overrides;
    QSet<QString> defaults;
    QXmlStreamReader types(parts.value("[Content_Types].xml"));
    while (!types.atEnd()) {
        if (types.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (types.name() == QLatin1String("Override"))
            overrides.insert(types.attributes().value("PartName").toString());
        else if (types.name() == QLatin1String("Default"))
            defaults.insert(types.attributes().value("Extension").toString());
    }
    for (const QString &name : parts.keys()) {
        if (name == "[Content_Types].xml")
            continue;
        const QString extension = name.mid(name.lastIndexOf('.') + 1);
        QVERIFY2(overrides.contains('/' + name) || defaults.contains(extension), qPrintable(name));
    }
    for (const QString &name : overrides)
        QVERIFY2(parts.contains(name.mid(1)), qPrintable(name));

    bool mainFound = false;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        if (!it.key().endsWith(".rels"))
            continue;
        const QString relsFolder = partFolder(it.key());
        const QString source = relsFolder.left(relsFolder.size() - QStringLiteral("_rels/").size());
        QXmlStreamReader rels(it.value());
        while (!rels.atEnd()) {
            if (rels.readNext() != QXmlStreamReader::StartElement || rels.name() != QLatin1String("Relationship"))
                continue;
            const QString target = QDir::cleanPath(source + rels.attributes().value("Target").toString());
            QVERIFY2(parts.contains(target), qPrintable(it.key() + " -> " + target));
            mainFound = mainFound || (it.key() == "_rels/.rels" && target == mainPart);
        }
    }
    QVERIFY(mainFound);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

Grid gridOf(const ExportRows &rows)
{
    Grid grid;
    for (const QVariantList &row : rows) {
        QStringList texts;
        for (const QVariant &cell : row)
            texts.append(cell.toString());
        grid.append(texts);
    }
    return grid;
}

ExportRows rowsOf(const Grid &grid)
{
    ExportRows rows;
    for (const QStringList &texts : grid) {
        QVariantList row;
        for (const QString &text : texts)
            row.append(text);
        rows.append(row);
    }
    return rows;
}

FileTimeEntry entryFor(const QString &path)
{
    FileTimeEntry entry;
    entry.path = path;
    entry.name = path.mid(path.lastIndexOf('/') + 1);
    return entry;
}

void setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(time, QFileDevice::FileModificationTime))
        qFatal("cannot set the time of %s", qPrintable(path));
}

// Messages posted by a writer, or the deliveries of a background export, in order.
class Receiver : public QObject
{
public:
    enum Delivery { Message, Result };

    QStringList messages;
    QList<int> results;
    QList<QVariantList> resultRows;
    QList<int> order; // deliveries as they came

    void startExport(const FileTimeEntryList &entries, const CollectSettings &settings, bool folders)
    {
        runCollectExport(
            entries, settings, folders, this,
            [this](const ExportOutcome &outcome) {
                order.append(Result);
                results.append(outcome.saved ? 1 : 0);
                resultRows.append(outcome.saved ? QVariantList{outcome.path} : QVariantList());
            },
            [this](const QString &message) {
                order.append(Message);
                messages.append(message);
            });
    }

protected:
    void customEvent(QEvent *event) override
    {
        order.append(Message);
        if (event->type() == MyDialogMessageEvent::EventType)
            messages.append(static_cast<MyDialogMessageEvent *>(event)->message());
    }
};

#ifdef Q_OS_LINUX
// Another program that renames a folder to moved as soon as a file appears in it (an export's temporary file)
// and makes a new, empty folder under the old name, while the export goes on writing.
class FolderMover
{
public:
    FolderMover(const QString &folder, const QString &moved)
        : m_watch(::inotify_init1(IN_CLOEXEC)),
          m_folder(QFile::encodeName(folder)),
          m_moved(QFile::encodeName(moved))
    {
        ::inotify_add_watch(m_watch, m_folder.constData(), IN_CREATE);
        m_thread = std::thread([this] {
            pollfd event{m_watch, POLLIN, 0};
            if (::poll(&event, 1, 10000) != 1)
                return;
            m_done =
                ::rename(m_folder.constData(), m_moved.constData()) == 0 && ::mkdir(m_folder.constData(), 0755) == 0;
        });
    }
    ~FolderMover()
    {
        done();
        ::close(m_watch);
    }
    bool done()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_done;
    }

private:
    int m_watch;
    QByteArray m_folder;
    QByteArray m_moved;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};
#endif

// Hostile texts: XML's own characters, control characters, surrogate pairs, bidirectional marks.
const QString XmlSpecials = QStringLiteral("<a & \"b\"> 'c' ]]> &amp;");
const QString Controls = QStringLiteral("a\x01" "b\x1f" "c\x7f" "d");
const QString Emoji = QStringLiteral("报告😀👨‍👩‍👧\u202e.txt");

} // namespace

class TestExportWriters : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void zipRoundTrip();
    void zipFailures();
    void docxParagraphs_data();
    void docxParagraphs();
    void docxPackage();
    void docxEmpty();
    void pptxPackage();
    void workbookCells_data();
    void workbookCells();
    void workbookLarge();
    void workbookDroppedUnlessClosed();

    void exportColumns_data();
    void exportColumns();
    void exportNames_data();
    void exportNames();
    void exportTimes();
    void exportGoneItem();
    void exportPathRules_data();
    void exportPathRules();

    void xlsxExportReadBack();
    void docxExportReadBack();
    void txtExportBytes();
    void hostileFileNames();
    void existingFileKept_data();
    void existingFileKept();
    void failedExportLeavesNothing_data();
    void failedExportLeavesNothing();
    void readOnlyFolder();
    void longNameWithoutRoomForCounter();
    void folderRenamedWhileWriting_data();
    void folderRenamedWhileWriting();

    void runDeliversToReceiver();
    void runTwiceWritesTwoFiles();
    void runFailureReported();
    void runReceiverGone();

    void stagedTemplates();

private:
    QString path(const QString &name) const { return m_dir->path() + '/' + name; }
    CollectSettings settingsFor(int type, const QString &name = QStringLiteral("out")) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestExportWriters::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

CollectSettings TestExportWriters::settingsFor(int type, const QString &name) const
{
    CollectSettings settings;
    settings.exportType = type;
    settings.exportName = name;
    settings.outputFolder = m_dir->path();
    return settings;
}

void TestExportWriters::zipRoundTrip()
{
    QByteArray binary(70000, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 7 % 251);
    ZipWriter zip;
    zip.addPart("a.txt", "alpha");
    zip.addPart("文件夹/数据.bin", binary);
    zip.addPart("empty", QByteArray());

    QString error;
    const QByteArray archive = zip.toByteArray(&error);
    QVERIFY2(!archive.isEmpty(), qPrintable(error));
    const Parts parts = unzip(archive);
    QCOMPARE(parts.keys(), (QStringList{"a.txt", "empty", "文件夹/数据.bin"}));
    QCOMPARE(parts.value("a.txt"), QByteArray("alpha"));
    QCOMPARE(parts.value("文件夹/数据.bin"), binary);
    QCOMPARE(parts.value("empty"), QByteArray());

    QVERIFY(zip.write(path("z.zip"), &error));
    QCOMPARE(unzipFile(path("z.zip")), parts);
}

void TestExportWriters::zipFailures()
{
    ZipWriter twice;
    twice.addPart("same.xml", "<a/>");
    twice.addPart("same.xml", "<b/>");
    QString error;
    QVERIFY(twice.toByteArray(&error).isEmpty());
    QVERIFY(!error.isEmpty());
    writeFile(path("kept.zip"), "old");
    QVERIFY(!twice.write(path("kept.zip")));
    QCOMPARE(contentOf(path("kept.zip")), QByteArray("old"));

    ZipWriter fine;
    fine.addPart("a", "b");
    error.clear();
    QVERIFY(!fine.write(path("missing/z.zip"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(onDisk(m_dir->path()), QStringList{"kept.zip"});
}

void TestExportWriters::docxParagraphs_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("shown");

    const QString longName = QString(85, QChar(0x540d)); // 255 bytes in UTF-8
    QTest::newRow("plain and Chinese") << QStringList{"a.txt", "报告 2024.docx"}
                                       << QStringList{"a.txt", "报告 2024.docx"};
    QTest::newRow("XML specials") << QStringList{XmlSpecials} << QStringList{XmlSpecials};
    QTest::newRow("outer spaces") << QStringList{"  lead", "trail  ", " "} << QStringList{"  lead", "trail  ", " "};
    QTest::newRow("control characters") << QStringList{Controls}
                                        << QStringList{QStringLiteral("a\uFFFDb\uFFFDc\x7f" "d")};
    QTest::newRow("non-characters and a lone surrogate")
        << QStringList{QString("x") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0xD800) + "y"}
        << QStringList{QStringLiteral("x\uFFFD\uFFFD\uFFFDy")};
    QTest::newRow("emoji and marks") << QStringList{Emoji} << QStringList{Emoji};
    QTest::newRow("tabs and breaks stay in their paragraph")
        << QStringList{"a\tb", "c\nd", "e\r\nf", "g\rh"} << QStringList{"a\tb", "c\nd", "e\nf", "g\nh"};
    QTest::newRow("empty lines keep their place") << QStringList{"", "x", ""} << QStringList{"", "x", ""};
    QTest::newRow("255-byte name") << QStringList{longName} << QStringList{longName};
}

void TestExportWriters::docxParagraphs()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, shown);

    QVERIFY(DocxWriter::write(path("d.docx"), lines));
    const Parts parts = unzipFile(path("d.docx"));
    verifyPackage(parts, "word/document.xml");
    QCOMPARE(paragraphsOf(parts.value("word/document.xml")), shown);
}

void TestExportWriters::docxPackage()
{
    const Parts parts = unzip(DocxWriter::toByteArray({"x"}));
    verifyPackage(parts, "word/document.xml");
    QCOMPARE(rootName(parts.value("word/document.xml")), QString("document"));
    QVERIFY(parts.value("[Content_Types].xml")
                .contains("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"));
    QCOMPARE(rootName(parts.value("docProps/core.xml")), QString("coreProperties"));
    // The section properties close the body, after the last paragraph.
    QVERIFY(parts.value("word/document.xml").contains("</w:p><w:sectPr>"));
}

void TestExportWriters::docxEmpty()
{
    const Parts parts = unzip(DocxWriter::toByteArray({}));
    verifyPackage(parts, "word/document.xml");
    QCOMPARE(paragraphsOf(parts.value("word/document.xml")), QStringList{QString()});
}

void TestExportWriters::pptxPackage()
{
    QVERIFY(PptxWriter::write(path("p.pptx")));
    const Parts parts = unzipFile(path("p.pptx"));
    verifyPackage(parts, "ppt/presentation.xml");
    const QByteArray presentation = parts.value("ppt/presentation.xml");
    QCOMPARE(rootName(presentation), QString("presentation"));
    QCOMPARE(countElements(presentation, "sldMasterId"), 1);
    QCOMPARE(countElements(presentation, "sldId"), 1);
    QCOMPARE(countElements(presentation, "sldSz"), 1);
    QCOMPARE(countElements(presentation, "notesSz"), 1);
    QCOMPARE(rootName(parts.value("ppt/slideMasters/slideMaster1.xml")), QString("sldMaster"));
    QCOMPARE(rootName(parts.value("ppt/slideLayouts/slideLayout1.xml")), QString("sldLayout"));
    QCOMPARE(rootName(parts.value("ppt/slides/slide1.xml")), QString("sld"));
    const QByteArray theme = parts.value("ppt/theme/theme1.xml");
    QCOMPARE(rootName(theme), QString("theme"));
    // PowerPoint refuses a theme with fewer than three styles in a list of its format scheme.
    QCOMPARE(countElements(theme, "effectStyle"), 3);
    QCOMPARE(countElements(theme, "ln"), 3);
    QVERIFY(parts.value("[Content_Types].xml")
                .contains("application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml"));
}

void TestExportWriters::workbookCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("Chinese") << "提取文件名" << "提取文件名";
    QTest::newRow("XML specials") << XmlSpecials << XmlSpecials;
    QTest::newRow("outer spaces") << "  a  " << "  a  ";
    QTest::newRow("control characters kept") << Controls << Controls;
    QTest::newRow("tab, line feed, carriage return") << "a\tb\nc\rd" << "a\tb\nc\rd";
    QTest::newRow("literal escape form") << "x_x0041_y_x005F_" << "x_x0041_y_x005F_";
    QTest::newRow("non-characters") << QString("a") + QChar(0xFFFE) + QChar(0xDC00) << QStringLiteral("a\uFFFD\uFFFD");
    QTest::newRow("emoji") << Emoji << Emoji;
}

void TestExportWriters::workbookCells()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);

    WorkbookWriter writer;
    QVERIFY(writer.open(path("w.xlsx")));
    QVERIFY(writer.addRow(QStringList{"head", text}));
    QVERIFY(writer.addRow(QStringList{text}));
    QVERIFY2(writer.close(), qPrintable(writer.errorString()));
    QCOMPARE(readWorkbook(path("w.xlsx")), (Grid{{"head", readBack}, {readBack}}));
}

void TestExportWriters::workbookLarge()
{
    Grid grid{{"文件名称", "文件路径", "创建时间", "修改时间"}};
    for (int i = 0; i < 3000; ++i)
        grid.append({QString("文件%1.txt").arg(i), QString("/data/文件%1.txt").arg(i), "2024/01/02 03:04:05",
                     i % 2 ? QString() : "2024/05/06 07:08:09"});
    WorkbookWriter writer;
    QVERIFY(writer.open(path("big.xlsx")));
    for (const QStringList &row : grid)
        QVERIFY(writer.addRow(row));
    QVERIFY(writer.close());
    Grid expected = grid;
    for (QStringList &row : expected) {
        // The reader gives back the cells that hold a value; a trailing empty one is not there.
        if (row.last().isEmpty())
            row.removeLast();
    }
    QCOMPARE(readWorkbook(path("big.xlsx")), expected);
}

void TestExportWriters::workbookDroppedUnlessClosed()
{
    {
        WorkbookWriter writer;
        QVERIFY(writer.open(path("never.xlsx")));
        QVERIFY(writer.addRow(QStringList{"a"}));
    }
    QVERIFY(onDisk(m_dir->path()).isEmpty());

    WorkbookWriter missing;
    QVERIFY(missing.open(path("no/such/folder.xlsx")));
    QVERIFY(missing.addRow(QStringList{"a"}));
    QVERIFY(!missing.close());
    QVERIFY(!missing.errorString().isEmpty());
}

void TestExportWriters::exportColumns_data()
{
    QTest::addColumn<bool>("hasPath");
    QTest::addColumn<bool>("hasBirth");
    QTest::addColumn<bool>("hasModified");
    QTest::addColumn<QStringList>("header");

    QTest::newRow("all") << true << true << true << QStringList{"文件名称", "文件路径", "创建时间", "修改时间"};
    QTest::newRow("name only") << false << false << false << QStringList{"文件名称"};
    QTest::newRow("path") << true << false << false << QStringList{"文件名称", "文件路径"};
    QTest::newRow("creation") << false << true << false << QStringList{"文件名称", "创建时间"};
    QTest::newRow("modification") << false << false << true << QStringList{"文件名称", "修改时间"};
    QTest::newRow("times") << false << true << true << QStringList{"文件名称", "创建时间", "修改时间"};
}

void TestExportWriters::exportColumns()
{
    QFETCH(bool, hasPath);
    QFETCH(bool, hasBirth);
    QFETCH(bool, hasModified);
    QFETCH(QStringList, header);

    const QString file = path("报告 v1.2.txt");
    writeFile(file, "x");
    setModified(file, QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9)));
    CollectSettings settings;
    settings.hasPath = hasPath;
    settings.hasBirth = hasBirth;
    settings.hasModified = hasModified;

    QCOMPARE(gridOf({exportHeader(settings)}), Grid{header});
    const Grid rows = gridOf(exportRows({entryFor(file)}, settings, false));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].size(), header.size());
    QCOMPARE(rows[0][0], QString("报告 v1.2.txt"));
    if (hasPath)
        QCOMPARE(rows[0][1], file);
    if (hasModified)
        QCOMPARE(rows[0].last(), QString("2020/05/06 07:08:09"));
    if (hasBirth) {
        const QString birth = rows[0][hasPath ? 2 : 1];
        // Empty where the file system keeps no creation time.
        QVERIFY2(birth.isEmpty() || QRegularExpression("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(birth).hasMatch(),
                 qPrintable(birth));
    }
}

void TestExportWriters::exportNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("hasSuffix");
    QTest::addColumn<QString>("exported");

    QTest::newRow("file with extension") << "a.tar.gz" << false << true << "a.tar.gz";
    QTest::newRow("file without last extension") << "a.tar.gz" << false << false << "a.tar";
    QTest::newRow("file without extension") << "说明" << false << false << "说明";
    QTest::newRow("dot file keeps its name") << ".bashrc" << false << false << ".bashrc";
    QTest::newRow("folder keeps its full name") << "dir.v2" << true << false << "dir.v2";
    QTest::newRow("folder with suffix flag") << "dir.v2" << true << true << "dir.v2";
}

void TestExportWriters::exportNames()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(bool, hasSuffix);
    QFETCH(QString, exported);

    const QString item = path(name);
    if (folder)
        QVERIFY(QDir().mkdir(item));
    else
        writeFile(item, "x");
    CollectSettings settings;
    settings.hasSuffix = hasSuffix;
    settings.hasPath = false;
    settings.hasBirth = false;
    settings.hasModified = false;
    QCOMPARE(gridOf(exportRows({entryFor(item)}, settings, folder)), Grid{{exported}});
}

void TestExportWriters::exportTimes()
{
    const QString folder = path("目录");
    QVERIFY(QDir().mkdir(folder));
    const QString file = path("f.txt");
    writeFile(file, "x");
    setModified(file, QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)));
    CollectSettings settings;
    settings.hasPath = false;
    settings.hasBirth = false;
    const Grid rows = gridOf(exportRows({entryFor(file), entryFor(folder)}, settings, false));
    QCOMPARE(rows[0], (QStringList{"f.txt", "1999/12/31 23:59:58"}));
    QCOMPARE(rows[1][0], QString("目录"));
    QVERIFY(!rows[1][1].isEmpty());
}

void TestExportWriters::exportGoneItem()
{
    const QString file = path("gone.txt");
    writeFile(file, "x");
    const FileTimeEntry entry = entryFor(file);
    QVERIFY(QFile::remove(file));
    QCOMPARE(gridOf(exportRows({entry}, CollectSettings(), false)), (Grid{{"gone.txt", file, "", ""}}));
}

void TestExportWriters::exportPathRules_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("folders");
    QTest::addColumn<QString>("expected");

    QTest::newRow("xlsx") << "/data" << "名单" << 0 << false << "/data/名单.xlsx";
    QTest::newRow("docx") << "/data" << "名单" << 1 << false << "/data/名单.docx";
    QTest::newRow("txt") << "/data" << "名单" << 2 << false << "/data/名单.txt";
    QTest::newRow("empty name, file page") << "/data" << "" << 0 << false << "/data/提取文件名.xlsx";
    QTest::newRow("empty name, folder page") << "/data" << "" << 2 << true << "/data/提取文件夹名.txt";
    QTest::newRow("blank name") << "/data" << "  " << 1 << false << "/data/提取文件名.docx";
    QTest::newRow("root folder") << "/" << "a" << 1 << false << "/a.docx";
    QTest::newRow("trailing slash") << "/data/" << "a" << 0 << false << "/data/a.xlsx";
    QTest::newRow("dots are a name") << "/data" << ".." << 0 << false << "/data/...xlsx";
    QTest::newRow("outer spaces kept") << "/data" << " a " << 2 << false << "/data/ a .txt";
    QTest::newRow("separator in name") << "/data" << "../etc/x" << 0 << false << "";
    QTest::newRow("NUL in name") << "/data" << QString("a") + QChar(0) + "b" << 0 << false << "";
    QTest::newRow("no folder") << "" << "a" << 0 << false << "";
    QTest::newRow("unknown type") << "/data" << "a" << 3 << false << "";
    QTest::newRow("no type chosen") << "/data" << "a" << -1 << false << "";
}

void TestExportWriters::exportPathRules()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(int, type);
    QFETCH(bool, folders);
    QFETCH(QString, expected);

    CollectSettings settings;
    settings.outputFolder = folder;
    settings.exportName = name;
    settings.exportType = type;
    QCOMPARE(exportPath(settings, folders), expected);
}

void TestExportWriters::xlsxExportReadBack()
{
    QVERIFY(QDir().mkdir(path("items")));
    FileTimeEntryList entries;
    for (int i = 0; i < 3000; ++i) {
        const QString file = path(QString("items/文件%1.dat").arg(i, 4, 10, QChar('0')));
        writeFile(file, "x");
        setModified(file, QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)));
        entries.append(entryFor(file));
    }
    CollectSettings settings = settingsFor(ExportXlsx, "名单");
    settings.hasSuffix = false;
    settings.hasBirth = false;
    Receiver receiver;

    const ExportOutcome outcome = writeCollectExport(entries, settings, false, &receiver);

    QVERIFY(outcome.saved);
    QCOMPARE(outcome.path, path("名单.xlsx"));
    const Grid grid = readWorkbook(outcome.path);
    QCOMPARE(grid.size(), 3001);
    QCOMPARE(grid[0], (QStringList{"文件名称", "文件路径", "修改时间"}));
    QCOMPARE(grid[1], (QStringList{"文件0000", path("items/文件0000.dat"), "2021/03/04 05:06:07"}));
    QCOMPARE(grid[3000], (QStringList{"文件2999", path("items/文件2999.dat"), "2021/03/04 05:06:07"}));
    QCoreApplication::sendPostedEvents(&receiver);
    QVERIFY(receiver.messages.isEmpty());
    QCOMPARE(onDisk(m_dir->path()), (QStringList{"items", "名单.xlsx"}));
}

void TestExportWriters::docxExportReadBack()
{
    const Grid grid{{"a.txt", "/p/a.txt", "2024/01/02 03:04:05", "2024/01/02 03:04:06"},
                    {" 空格 ", "", "", "x"},
                    {XmlSpecials}};
    const ExportOutcome outcome = writeDocx(path("d.docx"), rowsOf(grid), nullptr);
    QVERIFY(outcome.saved);
    const Parts parts = unzipFile(outcome.path);
    verifyPackage(parts, "word/document.xml");
    QCOMPARE(paragraphsOf(parts.value("word/document.xml")),
             (QStringList{"a.txt /p/a.txt 2024/01/02 03:04:05 2024/01/02 03:04:06", " 空格    x", XmlSpecials}));
}

void TestExportWriters::txtExportBytes()
{
    const Grid grid{{"a.txt", "/p/a.txt", "2024/01/02 03:04:05"}, {"报告\n第二行", "x\r"}, {"😀"}, {""}};
    const ExportOutcome outcome = writeTxt(path("t.txt"), rowsOf(grid), nullptr);
    QVERIFY(outcome.saved);
    QCOMPARE(contentOf(outcome.path),
             QByteArray("a.txt /p/a.txt 2024/01/02 03:04:05\n"
                        "\xE6\x8A\xA5\xE5\x91\x8A \xE7\xAC\xAC\xE4\xBA\x8C\xE8\xA1\x8C x \n"
                        "\xF0\x9F\x98\x80\n"
                        "\n"));

    const ExportOutcome empty = writeTxt(path("e.txt"), {}, nullptr);
    QVERIFY(empty.saved);
    QCOMPARE(contentOf(empty.path), QByteArray());
}

void TestExportWriters::hostileFileNames()
{
    QVERIFY(QDir().mkdir(path("items")));
    const QStringList names{XmlSpecials, Controls, Emoji, QString(85, QChar(0x540d)), "tab\there", " 空 "};
    FileTimeEntryList entries;
    for (const QString &name : names) {
        writeFile(path("items/" + name), "x");
        entries.append(entryFor(path("items/" + name)));
    }
    CollectSettings settings = settingsFor(ExportXlsx);
    settings.hasPath = false;
    settings.hasBirth = false;
    settings.hasModified = false;

    QVERIFY(writeCollectExport(entries, settings, false, nullptr).saved);
    Grid expected{{"文件名称"}};
    for (const QString &name : names)
        expected.append({name});
    QCOMPARE(readWorkbook(path("out.xlsx")), expected);

    settings.exportType = ExportDocx;
    QVERIFY(writeCollectExport(entries, settings, false, nullptr).saved);
    const QStringList paragraphs = paragraphsOf(unzipFile(path("out.docx")).value("word/document.xml"));
    QStringList shown = names;
    shown[1] = QStringLiteral("a\uFFFDb\uFFFDc\x7f" "d");
    QCOMPARE(paragraphs, shown);
}

void TestExportWriters::existingFileKept_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("extension");

    QTest::newRow("xlsx") << int(ExportXlsx) << ".xlsx";
    QTest::newRow("docx") << int(ExportDocx) << ".docx";
    QTest::newRow("txt") << int(ExportTxt) << ".txt";
}

void TestExportWriters::existingFileKept()
{
    QFETCH(int, type);
    QFETCH(QString, extension);

    writeFile(path("名单" + extension), "old");
    writeFile(path("名单(2)" + extension), "older");
    writeFile(path("items.txt"), "x");
    const CollectSettings settings = settingsFor(type, "名单");
    Receiver receiver;

    const ExportOutcome first = writeCollectExport({entryFor(path("items.txt"))}, settings, false, &receiver);
    const ExportOutcome second = writeCollectExport({entryFor(path("items.txt"))}, settings, false, &receiver);

    QVERIFY(first.saved);
    QCOMPARE(first.path, path("名单(1)" + extension));
    QVERIFY(second.saved);
    QCOMPARE(second.path, path("名单(3)" + extension));
    QCOMPARE(contentOf(path("名单" + extension)), QByteArray("old"));
    QCOMPARE(contentOf(path("名单(2)" + extension)), QByteArray("older"));
    QVERIFY(contentOf(first.path).size() > 0);
    QCoreApplication::sendPostedEvents(&receiver);
    const QString folder = m_dir->path();
    QCOMPARE(receiver.messages,
             (QStringList{"文件“" + folder + "/名单" + extension + "”已存在，已保存为“" + folder + "/名单(1)" + extension + "”",
                          "文件“" + folder + "/名单" + extension + "”已存在，已保存为“" + folder + "/名单(3)" + extension + "”"}));
    QCOMPARE(onDisk(folder).size(), 5);
}

void TestExportWriters::failedExportLeavesNothing_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");

    for (int type : {int(ExportXlsx), int(ExportDocx), int(ExportTxt)}) {
        const QByteArray suffix = exportExtension(type).toLatin1();
        QTest::newRow("missing folder " + suffix) << type << "missing" << "a";
        QTest::newRow("file as folder " + suffix) << type << "plain.file" << "a";
        QTest::newRow("separator in name " + suffix) << type << "" << "sub/a";
        QTest::newRow("name too long " + suffix) << type << "" << QString(300, 'n');
    }
    QTest::newRow("unknown type") << 7 << "" << "a";
}

void TestExportWriters::failedExportLeavesNothing()
{
    QFETCH(int, type);
    QFETCH(QString, folder);
    QFETCH(QString, name);

    writeFile(path("plain.file"), "x");
    QVERIFY(QDir().mkdir(path("sub")));
    CollectSettings settings = settingsFor(type, name);
    settings.outputFolder = folder.isEmpty() ? m_dir->path() : path(folder);
    Receiver receiver;

    const ExportOutcome outcome = writeCollectExport({entryFor(path("plain.file"))}, settings, false, &receiver);

    QVERIFY(!outcome.saved);
    QVERIFY(outcome.path.isEmpty());
    QCoreApplication::sendPostedEvents(&receiver);
    QCOMPARE(receiver.messages, QStringList{SaveFailed});
    QCOMPARE(onDisk(m_dir->path()), (QStringList{"plain.file", "sub"}));
    QVERIFY(onDisk(path("sub")).isEmpty());
}

void TestExportWriters::readOnlyFolder()
{
#ifdef Q_OS_WIN
    QSKIP("the read-only attribute of a folder does not keep files out on Windows");
#endif
    const QString folder = path("locked");
    QVERIFY(QDir().mkdir(folder));
    writeFile(folder + "/名单.xlsx", "old");
    const LockedFolder lock(folder);
    if (!lock.isLocked())
        QSKIP("running as root on a file system without the immutable flag: nothing keeps files out");

    for (int type : {int(ExportXlsx), int(ExportDocx), int(ExportTxt)}) {
        CollectSettings settings = settingsFor(type, "名单");
        settings.outputFolder = folder;
        Receiver receiver;
        QVERIFY(!writeCollectExport({entryFor(folder + "/名单.xlsx")}, settings, false, &receiver).saved);
        QCoreApplication::sendPostedEvents(&receiver);
        QCOMPARE(receiver.messages, QStringList{SaveFailed});
    }
    QCOMPARE(onDisk(folder), QStringList{"名单.xlsx"});
    QCOMPARE(contentOf(folder + "/名单.xlsx"), QByteArray("old"));
}

void TestExportWriters::longNameWithoutRoomForCounter()
{
    // 250 bytes and ".xlsx" fill a name to the limit; the "(1)" variant no longer fits.
    const QString base(250, 'n');
    writeFile(path(base + ".xlsx"), "old");
    Receiver receiver;

    const ExportOutcome outcome = writeXlsx(path(base + ".xlsx"), rowsOf({{"a"}}), &receiver);

    QVERIFY(!outcome.saved);
    QCoreApplication::sendPostedEvents(&receiver);
    QCOMPARE(receiver.messages, QStringList{SaveFailed});
    QCOMPARE(onDisk(m_dir->path()), QStringList{base + ".xlsx"});
    QCOMPARE(contentOf(path(base + ".xlsx")), QByteArray("old"));
}

void TestExportWriters::runDeliversToReceiver()
{
    writeFile(path("a.txt"), "x");
    Receiver receiver;

    receiver.startExport({entryFor(path("a.txt"))}, settingsFor(ExportTxt), false);

    QTRY_COMPARE(receiver.results, QList<int>{1});
    QCOMPARE(receiver.resultRows, QList<QVariantList>{QVariantList{path("out.txt")}});
    QVERIFY(receiver.messages.isEmpty());
    QVERIFY(contentOf(path("out.txt")).startsWith("a.txt " + path("a.txt").toUtf8() + ' '));
}

void TestExportWriters::runTwiceWritesTwoFiles()
{
    writeFile(path("a.txt"), "x");
    Receiver first;
    Receiver second;
    const FileTimeEntryList entries{entryFor(path("a.txt"))};

    first.startExport(entries, settingsFor(ExportXlsx), false);
    second.startExport(entries, settingsFor(ExportXlsx), true);

    QTRY_COMPARE(first.results, QList<int>{1});
    QTRY_COMPARE(second.results, QList<int>{1});
    const QString firstPath = first.resultRows[0][0].toString();
    const QString secondPath = second.resultRows[0][0].toString();
    QCOMPARE(QSet<QString>({firstPath, secondPath}), QSet<QString>({path("out.xlsx"), path("out(1).xlsx")}));
    QCOMPARE(readWorkbook(firstPath).size(), 2);
    QCOMPARE(readWorkbook(secondPath).size(), 2);
    // Exactly the one that had to move on was told so.
    QCOMPARE(first.messages.size() + second.messages.size(), 1);
}

void TestExportWriters::runFailureReported()
{
    Receiver receiver;
    CollectSettings settings = settingsFor(ExportDocx);
    settings.outputFolder = path("missing");

    receiver.startExport({entryFor(path("a.txt"))}, settings, false);

    QTRY_COMPARE(receiver.results, QList<int>{0});
    QCOMPARE(receiver.resultRows, QList<QVariantList>{QVariantList()});
    QCOMPARE(receiver.messages, QStringList{SaveFailed});
    QCOMPARE(receiver.order, (QList<int>{Receiver::Message, Receiver::Result}));
}

void TestExportWriters::runReceiverGone()
{
    writeFile(path("a.txt"), "x");
    writeFile(path("out.txt"), "old");
    auto *receiver = new Receiver;
    receiver->startExport({entryFor(path("a.txt"))}, settingsFor(ExportTxt), false);
    delete receiver;

    QThreadPool::globalInstance()->waitForDone();
    QTRY_VERIFY(QFile::exists(path("out(1).txt")));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(contentOf(path("out.txt")), QByteArray("old"));
}

void TestExportWriters::folderRenamedWhileWriting_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("xlsx") << int(ExportXlsx);
    QTest::newRow("docx") << int(ExportDocx);
    QTest::newRow("txt") << int(ExportTxt);
}

// The folder is renamed, and a new one made under its old name, while the export writes: the file is finished
// and named in the folder where it is now, says so, and leaves no temporary file anywhere.
void TestExportWriters::folderRenamedWhileWriting()
{
#ifdef Q_OS_LINUX
    QFETCH(int, type);
    const QString folder = path("F");
    QVERIFY(QDir().mkdir(folder));
    Grid grid;
    for (int i = 0; i < 30000; ++i)
        grid.append({QStringLiteral("item%1.jpg").arg(i), QStringLiteral("/photos/item%1.jpg").arg(i)});
    const ExportRows rows = rowsOf(grid);
    const QString asked = folder + "/out" + exportExtension(type);
    const QString written = path("G/out") + exportExtension(type);
    Receiver receiver;
    FolderMover mover(folder, path("G"));

    const ExportOutcome outcome = type == ExportXlsx ? writeXlsx(asked, rows, &receiver)
        : type == ExportDocx                         ? writeDocx(asked, rows, &receiver)
                                                     : writeTxt(asked, rows, &receiver);

    QVERIFY(mover.done());
    QVERIFY(outcome.saved);
    QCOMPARE(outcome.path, written);
    QCOMPARE(onDisk(path("G")), QStringList{"out" + exportExtension(type)});
    QCOMPARE(onDisk(folder), QStringList());
    if (type == ExportTxt)
        QCOMPARE(contentOf(written).count('\n'), 30000);
    else if (type == ExportDocx)
        QCOMPARE(paragraphsOf(unzipFile(written).value("word/document.xml")).size(), 30000);
    else
        QVERIFY(XlsxWorkbook().load(written));
    QCoreApplication::sendPostedEvents(&receiver);
    QCOMPARE(receiver.messages,
             QStringList{"保存文件“" + asked + "”时其文件夹已被移动或重命名，已保存为“" + written + "”"});
#else
    QSKIP("the other program watches the folder with inotify");
#endif
}

// The build makes the create page's templates into the program's folder, the tests' working folder.
void TestExportWriters::stagedTemplates()
{
    const Parts word = unzipFile("template/Word.docx");
    verifyPackage(word, "word/document.xml");
    QCOMPARE(paragraphsOf(word.value("word/document.xml")), QStringList{QString()});

    verifyPackage(unzipFile("template/PPT.pptx"), "ppt/presentation.xml");

    XlsxWorkbook book;
    QVERIFY(book.load("template/Excel.xlsx"));
    QVERIFY(book.hasCurrentWorksheet());
    QVERIFY(book.cells().isEmpty());

    const QByteArray pdf = contentOf("template/PDF.pdf");
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    QCOMPARE(pdf.count("/Type /Page\n"), 1);
    QVERIFY(pdf.contains("/Count 1"));

    QCOMPARE(contentOf("template/Txt.txt"), QByteArray());
}

QTEST_GUILESS_MAIN(TestExportWriters)

#include "tst_exportwriters.moc"
