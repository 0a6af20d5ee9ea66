#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace veil {

// Loads a picture file as the picture areas do: BMP, GIF, JPEG, PNG and the
// other formats Qt reads, with EXIF orientation applied. Refuses, without
// decoding, files whose header declares an absurd size, so a hostile file
// cannot exhaust memory; a real photograph of up to kMaxPicturePixels loads.
inline constexpr qint64 kMaxPicturePixels = 120'000'000; // a 100 MP camera with room to spare

struct PictureLoad {
    QImage image;
    bool invalidPicture = false; // the file exists but is not a picture we can show (error 481)
    QString error;               // why it failed, empty on success
    bool ok() const { return !image.isNull(); }
};

// With a valid `bound` the picture is decoded straight to at most that size,
// keeping its shape (a JPEG is then never held at full size), for thumbnails.
PictureLoad loadPicture(const QString& path, const QSize& bound = QSize());

// Sets Qt's own allocation limit to match kMaxPicturePixels; called once at start.
void configurePictureLimits();

} // namespace veil
