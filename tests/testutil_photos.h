#pragma once

// Photos made in the test: QImage writes the image, exiv2 adds the date tags a camera writes.

#include <QFile>
#include <QImage>
#include <QString>
#include <QtTest>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace PhotoTest {

struct Tags
{
    QString original;  // DateTimeOriginal, as the camera writes it ("2024:01:31 23:59:59"); empty: none
    QString offset;    // OffsetTimeOriginal ("+09:00")
    QString digitized; // DateTimeDigitized
};

// An image of the given format ("JPEG", "PNG", "TIFF") at path with the given tags; no EXIF when none is set.
inline bool makePhoto(const QString &path, const Tags &tags = {}, const char *format = "JPEG")
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    if (!image.save(path, format))
        return false;
    if (tags.original.isEmpty() && tags.digitized.isEmpty())
        return true;
    try {
        auto photo = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
        photo->readMetadata();
        Exiv2::ExifData &exif = photo->exifData();
        if (!tags.original.isEmpty())
            exif["Exif.Photo.DateTimeOriginal"] = tags.original.toStdString();
        if (!tags.offset.isEmpty())
            exif["Exif.Photo.OffsetTimeOriginal"] = tags.offset.toStdString();
        if (!tags.digitized.isEmpty())
            exif["Exif.Photo.DateTimeDigitized"] = tags.digitized.toStdString();
        photo->writeMetadata();
    } catch (const std::exception &error) {
        qWarning("cannot tag %s: %s", qPrintable(path), error.what());
        return false;
    }
    return true;
}

} // namespace PhotoTest

#pragma GCC diagnostic pop
