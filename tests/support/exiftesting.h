#pragma once
// Photographs with known metadata, written through Exiv2, and sha256sum's
// own answer for a file.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QPair>
#include <QProcess>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace veil::test {

using Tags = QList<QPair<const char*, const char*>>; // Exiv2 key, value as Exiv2 parses it

// A w x h picture (left half red, right half blue, so a turn shows) in the
// format of the name's extension, then the tags written into it.
inline bool writeTaggedPhoto(const QString& path, const Tags& tags, int w = 40, int h = 20) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xff0000ffu);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            img.setPixel(x, y, 0xffff0000u);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !img.save(path))
        return false;
    if (tags.isEmpty())
        return true;
    try {
        auto image = Exiv2::ImageFactory::open(path.toStdString());
        Exiv2::ExifData exif;
        Exiv2::XmpData xmp;
        for (const auto& [key, value] : tags) {
            if (QByteArray(key).startsWith("Xmp."))
                xmp[key] = value;
            else
                exif[key] = value;
        }
        image->setExifData(exif);
        image->setXmpData(xmp);
        image->writeMetadata();
    } catch (...) {
        return false;
    }
    return true;
}

// A JPEG with an EXIF block that holds nonsense put in front of its data.
inline QByteArray withCorruptExif(const QByteArray& jpeg) {
    const QByteArray app1 = QByteArray("Exif\0\0II*\0\xff\xff\xff\x7f", 14) + QByteArray(60, '\xee');
    const int len = int(app1.size()) + 2;
    return jpeg.left(2) + "\xff\xe1" + char(len >> 8) + char(len & 0xff) + app1 + jpeg.mid(2);
}

// The note a saved copy carries about how it was made.
inline QString imageHistory(const QString& path) {
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    image->readMetadata();
    return QString::fromStdString(image->exifData()["Exif.Image.ImageHistory"].toString());
}

// The hash coreutils' sha256sum gives the file.
inline QString sha256sum(const QString& path) {
    QProcess p;
    p.setStandardInputFile(path); // on standard input, so no name of ours is escaped in the answer
    p.start(QStringLiteral("sha256sum"), {});
    p.waitForFinished(30000);
    return QString::fromLatin1(p.readAllStandardOutput()).section(QLatin1Char(' '), 0, 0);
}

} // namespace veil::test
