// Times the time sources on 3000 real JPEGs: reading the dates taken (the reader alone, and filling the
// list's cache as its worker does) against a bare loop of exiv2 reads of the same files; the preview of the
// file time list for a chosen time, an offset and a date in the name; and the run of each source against a
// bare loop of utimensat calls; and the file rename page numbering by the date taken (the first computation,
// until every proposal is in, against the bare exiv2 loop; then a keystroke), all in the same round. Prints
// a table.
// Usage: bench_timesources [folder to work in] [rounds]
#include "timebench.h"
#include "hub/channels.h"
#include "hub/cnvglobalobserver.h"
#include "jobs/jobfailurereporter.h"
#include "metadata/photodatecache.h"
#include "rename/filelistwidget.h"
#include "rename/renamepage.h"
#include "rename/renamepagewidget.h"
#include "rename/renamesettings.h"
#include "timeprop/timejob.h"
#include "timeprop/timelistwidget.h"
#include "timeprop/timepage.h"
#include "timeprop/timepagewidget.h"
#include "timeprop/timesettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

using namespace TimeBench;

namespace {

constexpr int kFiles = 3000;

// One photo as a camera leaves it, copied under names that carry dates.
QByteArray taggedJpeg(const QString &scratch)
{
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor(90, 120, 60));
    image.save(scratch, "JPEG");
    auto photo = Exiv2::ImageFactory::open(QFile::encodeName(scratch).toStdString());
    photo->readMetadata();
    photo->exifData()["Exif.Image.Make"] = "Quorlin";
    photo->exifData()["Exif.Photo.DateTimeOriginal"] = "2023:07:14 09:30:00";
    photo->exifData()["Exif.Photo.DateTimeDigitized"] = "2023:07:14 09:30:00";
    photo->writeMetadata();
    QFile file(scratch);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The floor of reading: open each file with exiv2, read its metadata, find the date tag.
double bareExiv2(const QStringList &paths)
{
    QElapsedTimer timer;
    timer.start();
    int found = 0;
    for (const QString &path : paths) {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
        image->readMetadata();
        const auto it = image->exifData().findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
        found += it != image->exifData().end();
    }
    if (found != paths.size())
        std::fprintf(stderr, "bare loop found %d dates\n", found);
    return elapsedMs(timer);
}

TimeSettings sourceSettings(TimeSource source)
{
    TimeSettings settings;
    settings.setModification = true;
    settings.modification = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    settings.source = source;
    settings.offsetSeconds = 3600;
    return settings;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto dir = args.value(1).isEmpty()
        ? std::make_unique<QTemporaryDir>()
        : std::make_unique<QTemporaryDir>(args.at(1) + QStringLiteral("/bench-XXXXXX"));
    const int rounds = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 5;
    if (!dir->isValid())
        return 1;

    const QByteArray photo = taggedJpeg(dir->path() + QStringLiteral("/scratch.jpg"));
    QStringList paths;
    QVector<QByteArray> encoded;
    for (int i = 0; i < kFiles; ++i) {
        QFile f(dir->path()
                + QStringLiteral("/IMG_2024%1%2_120000.jpg")
                      .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                      .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                      .replace(QLatin1String(".jpg"), QStringLiteral("_%1.jpg").arg(i)));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(photo);
        paths.append(f.fileName());
        encoded.append(QFile::encodeName(f.fileName()));
    }

    TimePage page;
    page.setFolderMode(false);
    page.resize(1340, 760);
    page.show();
    TimeListWidget *list = page.editWidget()->fileList();
    list->addFiles(paths);
    QCoreApplication::processEvents();

    RenamePage renamePage;
    renamePage.setFolderMode(false);
    renamePage.resize(1340, 760);
    renamePage.show();
    FileListWidget *renameList = renamePage.editWidget()->fileList();
    CustomSettings &numbering = *customSettings(Channel::FileCustomRename);
    numbering.numberingEnabled = true;
    numbering.numberType = 3;
    numbering.timeSource = 3;
    const auto announce = [] {
        CNvGlobalObserver::instance()->notifyObservers(Channel::FileCustomRename, Channel::RenameValueUpdate,
                                                       QVariant());
    };

    QVector<double> renameFirst, renameKey, renameModifiedKey, bareRead, reader, fill, bare, fixedPreview,
        offsetPreview, namePreview, fixedRun, offsetRun, nameRun, photoRun;
    QElapsedTimer timer;
    const std::atomic_bool notCancelled(false);
    for (int round = 0; round < rounds; ++round) {
        // Before the cache is filled: it keeps each date with the modification time the file then had.
        bare.append(bareUtimensat(encoded, 1600000000 + round));
        bareRead.append(bareExiv2(paths));
        timer.start();
        for (const QString &path : qAsConst(paths))
            readPhotoDate(path);
        reader.append(elapsedMs(timer));
        PhotoDateCache cache;
        timer.start();
        cache.fill(paths, notCancelled);
        fill.append(elapsedMs(timer));

        // Rows added anew come with an empty cache.
        renameList->clearList();
        renameList->addFiles(paths);
        numbering.text.clear();
        QCoreApplication::processEvents();
        timer.start();
        announce();
        while (renameList->isReadingPhotoDates())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        renameFirst.append(elapsedMs(timer));
        if (!renameList->entries().first().newName.startsWith(QLatin1String("2023-07-14")))
            std::fprintf(stderr, "proposal %s\n", qPrintable(renameList->entries().first().newName));
        numbering.text = QStringLiteral("a");
        timer.start();
        announce();
        renameKey.append(elapsedMs(timer));
        // The same keystroke numbering by the modification time, which reads no metadata.
        numbering.timeSource = 2;
        announce();
        numbering.text = QStringLiteral("b");
        timer.start();
        announce();
        renameModifiedKey.append(elapsedMs(timer));
        numbering.timeSource = 3;

        const struct
        {
            TimeSource source;
            QVector<double> *preview;
            QVector<double> *run;
        } sources[] = {// First, while the cache holds every file at its modification time: a run changes it.
                       {TimeSource::PhotoTaken, nullptr, &photoRun},
                       {TimeSource::Fixed, &fixedPreview, &fixedRun},
                       {TimeSource::Offset, &offsetPreview, &offsetRun},
                       {TimeSource::NameDate, &namePreview, &nameRun}};
        for (const auto &s : sources) {
            const TimeSettings settings = sourceSettings(s.source);
            if (s.preview) {
                timer.start();
                list->applyTimeSettings(settings);
                s.preview->append(elapsedMs(timer));
            }
            FileTimeEntryList entries = list->entries();
            TimeHistory history;
            JobFailureReporter reporter;
            timer.start();
            const TimeJobResult result = TimeJob::run(entries, settings, history, {}, reporter, &cache);
            s.run->append(elapsedMs(timer));
            if (result.done != kFiles)
                std::fprintf(stderr, "run set %d of %d\n", result.done, kFiles);
        }
    }

    const QVector<Row> rows = {
        {"bare exiv2 loop (floor)", bareRead, 0},
        {"reader, 3000 dates taken", reader, 2, &bareRead},
        {"cache fill (the worker)", fill, 2, &bareRead},
        {"preview: chosen time", fixedPreview, 30},
        {"preview: offset", offsetPreview, 30},
        {"preview: date in name", namePreview, 30},
        {"bare utimensat (floor)", bare, 0},
        {"run: chosen time", fixedRun, 3, &bare},
        {"run: offset", offsetRun, 3, &bare},
        {"run: date in name", nameRun, 3, &bare},
        {"run: date taken, cached", photoRun, 3, &bare},
        {"rename: first, dates taken", renameFirst, 2, &bareRead},
        {"rename: keystroke after", renameKey, 30},
        {"rename: keystroke, modified", renameModifiedKey, 0},
    };
    double load[1] = {0};
    getloadavg(load, 1);
    // The floors show how busy the machine was; the fixed targets assume it was not.
    std::printf("time sources, %d JPEGs in %s, median of %d rounds, load average %.1f\n", kFiles,
                qPrintable(dir->path()), rounds, load[0]);
    printRows(rows);
    return 0;
}

#pragma GCC diagnostic pop
