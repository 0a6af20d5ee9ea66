#pragma once
// Gives a JPEG file the small preview cameras embed in their EXIF block.

#include <QBuffer>
#include <QImage>
#include <QString>

// Exiv2 0.27 still declares std::auto_ptr in its headers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace veil::test {

inline bool embedPreview(const QString& jpeg, const QImage& preview) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!preview.save(&buffer, "JPG", 75))
        return false;
    try {
        auto image = Exiv2::ImageFactory::open(jpeg.toStdString());
        image->readMetadata();
        Exiv2::ExifData exif = image->exifData();
        Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(bytes.constData()),
                                                long(bytes.size()));
        image->setExifData(exif);
        image->writeMetadata();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace veil::test
