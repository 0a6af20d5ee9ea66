#pragma once
// What a photograph says about itself: EXIF, IPTC and XMP read with Exiv2.
// Widget-free, for the picture windows and the investigation timeline.

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPair>
#include <QSize>
#include <QString>
#include <QUrl>

#include <optional>

namespace veil {

struct GpsPosition {
    double latitude = 0;  // degrees, north positive
    double longitude = 0; // degrees, east positive
    std::optional<double> altitude; // metres above sea level
};

struct PhotoMetadata {
    QDateTime taken; // the camera's clock; with its UTC offset when the file gives one, else local time
    QString make, model, lens;
    QString exposure, aperture, iso, flash, focalLength; // as Exiv2 prints them ("1/60 s", "F2.8", ...)
    std::optional<GpsPosition> gps;
    QSize pixelSize;     // as the metadata states it
    int orientation = 0; // EXIF 1..8; 0 when not given
    QString orientationText;

    bool isEmpty() const;
    // Label and value of every item present, in a fixed order, for showing.
    QList<QPair<QString, QString>> rows() const;
};

// Everything, or an empty result for a file without metadata, with damaged
// metadata, or that is not a picture at all; never throws.
PhotoMetadata readPhotoMetadata(const QString& path);

// Only the date and time taken (invalid when not known), for placing a
// picture in time.
QDateTime photoDateTaken(const QString& path);

// The date taken as the windows show it: "2026-12-07 21:14:05", with "+02:00"
// when the offset is known.
QString dateTakenText(const QDateTime& taken);

// A geo: link for the desktop's map handler.
QUrl geoUrl(const GpsPosition& position);

// The photograph's EXIF orientation (1..8), 0 when not given; for formats
// whose reader does not turn pictures upright itself.
int photoOrientation(const QString& path);
// The smallest preview the camera embedded in the photograph that is at least
// as wide or as high as `atLeast`, turned upright; a null image when there is
// none (most edited or generated files have none).
QImage embeddedPreview(const QString& path, const QSize& atLeast);
// The turn and mirror that make a picture of that orientation upright.
QImage uprightImage(const QImage& image, int orientation);

// Writes `image` as a new PNG or JPEG file (by the extension of `target`)
// with the metadata of `original` copied across, its orientation set upright
// (the picture already is), its size and thumbnail brought up to date, and
// `note` added to its image history. Refuses to write over `original`.
bool writeEnhancedCopy(const QImage& image, const QString& target, const QString& original, const QString& note,
                       QString* error = nullptr);

} // namespace veil
