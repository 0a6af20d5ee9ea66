#pragma once
// veil_reports: the pictures a report embeds, decoded small.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace veil::reports {

// The box every thumbnail fits in, in pixels.
inline constexpr QSize kThumbnailBox{320, 240};

// A picture file decoded to fit `box`, upright, as JPEG bytes; the stand-in
// picture when the file is missing or is not a picture we can read.
struct Thumbnail {
    QByteArray bytes; // JPEG
    QSize size;
    bool missing = false;
};
Thumbnail thumbnail(const QString& path, const QSize& box = kThumbnailBox);

// An image as the bytes of a file of that format ("JPG", "PNG").
QByteArray encodedImage(const QImage& image, const char* format, int quality = -1);

// When the picture was taken, from the file's own metadata, as the report
// shows it; empty when the file does not say.
QString dateTaken(const QString& path);

} // namespace veil::reports
