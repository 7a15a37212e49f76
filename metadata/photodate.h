#pragma once

#include "metadata/wallclocktime.h"

#include <QString>

// The date a photo was taken, as its metadata tells it.
struct PhotoDate
{
    enum Status {
        Found,     // taken holds the date
        NoDate,    // an image without a usable date taken (none, "0000:00:00 00:00:00", letters, ...)
        NotImage,  // not an image format the reader knows
        Damaged,   // an image whose metadata cannot be read (corrupt, truncated)
        Unreadable // the file cannot be opened
    };
    Status status = NoDate;
    // Local time when the photo carries no offset; with OffsetTimeOriginal, that exact instant.
    WallClockTime taken;

    bool found() const { return status == Found; }
};

// Reads the date taken of the image at path: EXIF DateTimeOriginal, else DateTimeDigitized, each with its
// offset tag when present. Reads the headers only (never the image data) and never throws. Safe to call from
// several threads at once.
PhotoDate readPhotoDate(const QString &path);

// An EXIF date-time "YYYY:MM:DD HH:MM:SS" (trailing spaces and NULs allowed), with an optional offset
// "+HH:MM"; invalid for anything else, a zero date included.
WallClockTime parseExifDateTime(const QString &text, const QString &offset = QString());
