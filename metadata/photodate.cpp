#include "photodate.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <exception>
#include <mutex>

// The library's pointers are still std::auto_ptr; its headers are not ours to mend.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace {

void setUpLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Warnings about damaged files would flood the log; a damaged file becomes a row's reason instead.
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        // The XMP toolkit must be set up once before threads read metadata at the same time.
        Exiv2::XmpParser::initialize();
    });
}

QString tagText(const Exiv2::ExifData &exif, const char *key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return QString();
    return QString::fromStdString(it->toString());
}

WallClockTime dateOf(const Exiv2::ExifData &exif, const char *dateKey, const char *offsetKey)
{
    const QString date = tagText(exif, dateKey);
    if (date.isEmpty())
        return {};
    return parseExifDateTime(date, tagText(exif, offsetKey));
}

// Opens the image; null when the first bytes name no format the library knows (a file too short to tell
// included), which is no image rather than a damaged one. A file that cannot be opened throws.
Exiv2::Image::AutoPtr openImage(const std::string &name)
{
    try {
        return Exiv2::ImageFactory::open(name, false);
    } catch (const Exiv2::Error &error) {
        if (error.code() == Exiv2::kerDataSourceOpenFailed || error.code() == Exiv2::kerFileOpenFailed)
            throw;
        return Exiv2::Image::AutoPtr();
    }
}

PhotoDate readWithLibrary(const QByteArray &path)
{
    PhotoDate result;
    Exiv2::Image::AutoPtr image = openImage(std::string(path.constData(), size_t(path.size())));
    if (!image.get()) {
        result.status = PhotoDate::NotImage;
        return result;
    }
    // Reads the metadata segments only: the image data is skipped by seeking. A failure here is damage.
    image->readMetadata();
    const Exiv2::ExifData &exif = image->exifData();
    result.taken = dateOf(exif, "Exif.Photo.DateTimeOriginal", "Exif.Photo.OffsetTimeOriginal");
    if (!result.taken.isValid())
        result.taken = dateOf(exif, "Exif.Photo.DateTimeDigitized", "Exif.Photo.OffsetTimeDigitized");
    result.status = result.taken.isValid() ? PhotoDate::Found : PhotoDate::NoDate;
    return result;
}

PhotoDate failed(PhotoDate::Status status)
{
    PhotoDate result;
    result.status = status;
    return result;
}

} // namespace

WallClockTime parseExifDateTime(const QString &text, const QString &offset)
{
    static const QRegularExpression dateForm(
        QStringLiteral("^([0-9]{4}):([0-9]{2}):([0-9]{2}) ([0-9]{2}):([0-9]{2}):([0-9]{2})[ \\x{0}]*$"));
    static const QRegularExpression offsetForm(QStringLiteral("^([+-])([0-9]{2}):([0-9]{2})[ \\x{0}]*$"));
    const QRegularExpressionMatch m = dateForm.match(text);
    if (!m.hasMatch())
        return {};
    WallClockTime result;
    result.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    result.time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    // Year 0 exists for QDate only as an invalid date, so "0000:00:00" ends here too.
    if (!result.isValid() || result.date.year() < 1)
        return {};
    const QRegularExpressionMatch o = offsetForm.match(offset);
    const int hours = o.captured(2).toInt();
    const int minutes = o.captured(3).toInt();
    // A malformed offset says nothing: the date is taken as local time.
    if (o.hasMatch() && hours <= 14 && minutes <= 59)
        result.utcOffset = (hours * 3600 + minutes * 60) * (o.captured(1) == QLatin1String("-") ? -1 : 1);
    return result;
}

PhotoDate readPhotoDate(const QString &path)
{
    setUpLibrary();
    const QFileInfo info(path);
    if (!info.exists())
        return failed(PhotoDate::Unreadable);
    // A pipe or a device would block the reader or feed it without end.
    if (!info.isFile())
        return failed(PhotoDate::NotImage);
    const QByteArray encoded = QFile::encodeName(path);
    try {
        return readWithLibrary(encoded);
    } catch (const Exiv2::Error &error) {
        const int code = error.code();
        if (code == Exiv2::kerFileContainsUnknownImageType || code == Exiv2::kerNotAnImage)
            return failed(PhotoDate::NotImage);
        if (code == Exiv2::kerDataSourceOpenFailed || code == Exiv2::kerFileOpenFailed)
            return failed(PhotoDate::Unreadable);
        return failed(PhotoDate::Damaged);
    } catch (const std::exception &) {
        return failed(PhotoDate::Damaged);
    } catch (...) {
        return failed(PhotoDate::Damaged);
    }
}

#pragma GCC diagnostic pop
