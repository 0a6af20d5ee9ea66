#include "store/photometadata.h"

#include "store/fileroutines.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include <cmath>
#include <mutex>

#include <sys/stat.h>

// Exiv2 0.27 still declares std::auto_ptr in its headers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace veil {

namespace {

std::unique_ptr<Exiv2::Image> openImage(const QString& path) {
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); // damaged files are ours to judge, not stderr's
        Exiv2::XmpParser::initialize();
    });
    // Only regular files: opening a pipe would wait for a writer that never comes.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
    if (!image.get())
        return nullptr;
    image->readMetadata();
    return std::unique_ptr<Exiv2::Image>(image.release());
}

QString clean(const std::string& s) {
    QString v = QString::fromUtf8(s.c_str()); // stops at an embedded NUL, as padded EXIF text has
    return v.trimmed();
}

// The printed value of an EXIF item, empty when it is absent.
QString printed(const Exiv2::ExifData& exif, Exiv2::ExifData::const_iterator it) {
    return it == exif.end() ? QString() : clean(it->print(&exif));
}

// The text of one item, empty when it is absent or the key is one this Exiv2 does not know.
template <class Key, class Data> QString textOf(const Data& data, const char* key) {
    try {
        const auto it = data.findKey(Key(key));
        return it == data.end() ? QString() : clean(it->toString());
    } catch (...) {
        return {};
    }
}
QString exifText(const Exiv2::ExifData& exif, const char* key) { return textOf<Exiv2::ExifKey>(exif, key); }
QString xmpText(const Exiv2::XmpData& xmp, const char* key) { return textOf<Exiv2::XmpKey>(xmp, key); }
QString iptcText(const Exiv2::IptcData& iptc, const char* key) { return textOf<Exiv2::IptcKey>(iptc, key); }

// "+02:00" or "Z" into an offset in seconds.
std::optional<int> parseOffset(const QString& text) {
    if (text == QLatin1String("Z"))
        return 0;
    if (text.size() != 6 || (text[0] != QLatin1Char('+') && text[0] != QLatin1Char('-')) || text[3] != QLatin1Char(':'))
        return std::nullopt;
    bool okH = false, okM = false;
    const int h = text.mid(1, 2).toInt(&okH), m = text.mid(4, 2).toInt(&okM);
    if (!okH || !okM || h > 14 || m > 59)
        return std::nullopt;
    return (text[0] == QLatin1Char('-') ? -1 : 1) * (h * 3600 + m * 60);
}

QDateTime withOffset(QDateTime t, const QString& offset) {
    if (!t.isValid())
        return {};
    if (const auto seconds = parseOffset(offset))
        t.setOffsetFromUtc(*seconds);
    return t;
}

// EXIF writes "2026:12:07 21:14:05"; XMP and IPTC write ISO 8601.
QDateTime parseTaken(const QString& text) {
    QDateTime t = QDateTime::fromString(text.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (t.isValid())
        return t;
    const QString iso = text.left(19);
    t = QDateTime::fromString(iso, Qt::ISODate);
    if (!t.isValid())
        return {};
    return withOffset(t, text.mid(19));
}

QDateTime dateTaken(Exiv2::Image& image) {
    const Exiv2::ExifData& exif = image.exifData();
    for (const auto& [date, offset] : {std::pair{"Exif.Photo.DateTimeOriginal", "Exif.Photo.OffsetTimeOriginal"},
                                       std::pair{"Exif.Photo.DateTimeDigitized", "Exif.Photo.OffsetTimeDigitized"}}) {
        const QDateTime t = parseTaken(exifText(exif, date));
        if (t.isValid())
            return withOffset(t, exifText(exif, offset));
    }
    for (const char* key : {"Xmp.exif.DateTimeOriginal", "Xmp.photoshop.DateCreated"}) {
        const QDateTime t = parseTaken(xmpText(image.xmpData(), key));
        if (t.isValid())
            return t;
    }
    const QString day = iptcText(image.iptcData(), "Iptc.Application2.DateCreated");
    const QString time = iptcText(image.iptcData(), "Iptc.Application2.TimeCreated");
    if (!day.isEmpty())
        return parseTaken(day + QLatin1Char('T') + (time.isEmpty() ? QStringLiteral("00:00:00") : time));
    return {};
}

std::optional<double> degrees(const Exiv2::ExifData& exif, const char* key, const char* refKey, char negative) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->count() != 3)
        return std::nullopt;
    double value = 0, scale = 1;
    for (long i = 0; i < 3; ++i, scale *= 60) {
        const Exiv2::Rational r = it->toRational(i);
        if (r.second == 0)
            return std::nullopt;
        value += double(r.first) / r.second / scale;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    const QString ref = exifText(exif, refKey).toUpper();
    return ref.startsWith(QLatin1Char(negative)) ? -value : value;
}

std::optional<GpsPosition> gpsPosition(const Exiv2::ExifData& exif) {
    const auto lat = degrees(exif, "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef", 'S');
    const auto lon = degrees(exif, "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef", 'W');
    if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180)
        return std::nullopt;
    GpsPosition p{*lat, *lon, std::nullopt};
    const auto alt = exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSAltitude"));
    if (alt != exif.end() && alt->count() == 1 && alt->toRational(0).second != 0) {
        const double metres = double(alt->toRational(0).first) / alt->toRational(0).second;
        p.altitude = exifText(exif, "Exif.GPSInfo.GPSAltitudeRef") == QLatin1String("1") ? -metres : metres;
    }
    return p;
}

QSize pixelSize(const Exiv2::ExifData& exif, const Exiv2::XmpData& xmp) {
    const std::pair<const char*, const char*> exifKeys[] = {{"Exif.Photo.PixelXDimension", "Exif.Photo.PixelYDimension"},
                                                            {"Exif.Image.ImageWidth", "Exif.Image.ImageLength"}};
    for (const auto& [w, h] : exifKeys) {
        const QSize s(exifText(exif, w).toInt(), exifText(exif, h).toInt());
        if (s.width() > 0 && s.height() > 0)
            return s;
    }
    const QSize s(xmpText(xmp, "Xmp.exif.PixelXDimension").toInt(), xmpText(xmp, "Xmp.exif.PixelYDimension").toInt());
    return s.width() > 0 && s.height() > 0 ? s : QSize();
}

int exifOrientation(const Exiv2::ExifData& exif) {
    const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    const int o = it != exif.end() && it->count() == 1 ? int(it->toLong(0)) : 0;
    return o >= 1 && o <= 8 ? o : 0;
}

PhotoMetadata readFrom(Exiv2::Image& image) {
    PhotoMetadata m;
    const Exiv2::ExifData& exif = image.exifData();
    const Exiv2::XmpData& xmp = image.xmpData();
    m.taken = dateTaken(image);
    m.make = printed(exif, Exiv2::make(exif));
    m.model = printed(exif, Exiv2::model(exif));
    if (m.make.isEmpty())
        m.make = xmpText(xmp, "Xmp.tiff.Make");
    if (m.model.isEmpty())
        m.model = xmpText(xmp, "Xmp.tiff.Model");
    m.lens = printed(exif, Exiv2::lensName(exif));
    if (m.lens.isEmpty())
        m.lens = xmpText(xmp, "Xmp.aux.Lens");
    m.exposure = printed(exif, Exiv2::exposureTime(exif));
    m.aperture = printed(exif, Exiv2::fNumber(exif));
    m.iso = printed(exif, Exiv2::isoSpeed(exif));
    m.flash = printed(exif, Exiv2::flash(exif));
    m.focalLength = printed(exif, Exiv2::focalLength(exif));
    m.gps = gpsPosition(exif);
    m.pixelSize = pixelSize(exif, xmp);
    const auto orientation = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    int o = exifOrientation(exif);
    if (o == 0)
        o = xmpText(xmp, "Xmp.tiff.Orientation").toInt();
    if (o >= 1 && o <= 8) {
        m.orientation = o;
        m.orientationText = orientation != exif.end() ? printed(exif, orientation) : QString::number(o);
    }
    return m;
}

// Runs `read` on the file's metadata; what it gives, or an empty value when
// the file cannot be read or its metadata is damaged or hostile (no failure of the picture).
template <class Read> auto withMetadata(const QString& path, Read read) -> decltype(read(std::declval<Exiv2::Image&>())) {
    try {
        if (auto image = openImage(path))
            return read(*image);
    } catch (...) {
    }
    return {};
}

} // namespace

bool PhotoMetadata::isEmpty() const { return rows().isEmpty(); }

QList<QPair<QString, QString>> PhotoMetadata::rows() const {
    QList<QPair<QString, QString>> out;
    auto add = [&out](const char* label, const QString& value) {
        if (!value.isEmpty())
            out.append({QLatin1String(label), value});
    };
    add("Date taken", dateTakenText(taken));
    add("Camera make", make);
    add("Camera model", model);
    add("Lens", lens);
    add("Exposure", exposure);
    add("Aperture", aperture);
    add("ISO", iso);
    add("Flash", flash);
    add("Focal length", focalLength);
    if (gps) {
        QString where = QStringLiteral("%1, %2").arg(gps->latitude, 0, 'f', 6).arg(gps->longitude, 0, 'f', 6);
        if (gps->altitude)
            where += QStringLiteral(" (%1 m)").arg(*gps->altitude, 0, 'f', 1);
        add("GPS position", where);
    }
    if (pixelSize.isValid())
        add("Pixel size", QStringLiteral("%1 × %2").arg(pixelSize.width()).arg(pixelSize.height()));
    add("Orientation", orientationText);
    return out;
}

PhotoMetadata readPhotoMetadata(const QString& path) { return withMetadata(path, readFrom); }

QDateTime photoDateTaken(const QString& path) { return withMetadata(path, dateTaken); }

QString dateTakenText(const QDateTime& taken) {
    if (!taken.isValid())
        return {};
    QString text = taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (taken.timeSpec() == Qt::OffsetFromUTC || taken.timeSpec() == Qt::UTC) {
        const int offset = taken.offsetFromUtc();
        text += QStringLiteral(" %1%2:%3")
                    .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                    .arg(std::abs(offset) / 3600, 2, 10, QLatin1Char('0'))
                    .arg(std::abs(offset) % 3600 / 60, 2, 10, QLatin1Char('0'));
    }
    return text;
}

QUrl geoUrl(const GpsPosition& p) {
    return QUrl(QStringLiteral("geo:%1,%2").arg(p.latitude, 0, 'f', 6).arg(p.longitude, 0, 'f', 6));
}

int photoOrientation(const QString& path) {
    return withMetadata(path, [](Exiv2::Image& image) { return exifOrientation(image.exifData()); });
}

QImage embeddedPreview(const QString& path, const QSize& atLeast) {
    return withMetadata(path, [&](Exiv2::Image& image) {
        Exiv2::PreviewManager previews(image);
        for (const Exiv2::PreviewProperties& p : previews.getPreviewProperties()) { // smallest first
            if (int(p.width_) < atLeast.width() && int(p.height_) < atLeast.height())
                continue;
            const Exiv2::PreviewImage preview = previews.getPreviewImage(p);
            QImage img;
            if (img.loadFromData(preview.pData(), int(preview.size())))
                return uprightImage(img, exifOrientation(image.exifData()));
        }
        return QImage();
    });
}

QImage uprightImage(const QImage& image, int orientation) {
    QTransform t;
    bool mirror = false;
    switch (orientation) {
    case 2: mirror = true; break;
    case 3: t.rotate(180); break;
    case 4: t.rotate(180); mirror = true; break;
    case 5: t.rotate(90); mirror = true; break;
    case 6: t.rotate(90); break;
    case 7: t.rotate(270); mirror = true; break;
    case 8: t.rotate(270); break;
    default: return image;
    }
    QImage out = t.isIdentity() ? image : image.transformed(t);
    return mirror ? out.mirrored(true, false) : out;
}

bool writeEnhancedCopy(const QImage& image, const QString& target, const QString& original, const QString& note,
                       QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo to(target), from(original);
    if (to.absoluteFilePath() == from.absoluteFilePath() ||
        (to.exists() && to.canonicalFilePath() == from.canonicalFilePath()))
        return fail(QStringLiteral("the copy cannot be written over the original photograph."));
    const QString suffix = to.suffix().toLower();
    const char* format = suffix == QLatin1String("png")                               ? "PNG"
                         : suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ? "JPEG"
                                                                                       : nullptr;
    if (!format)
        return fail(QStringLiteral("the name must end in .png, .jpg or .jpeg."));
    QByteArray encoded;
    {
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        if (qstrcmp(format, "JPEG") == 0)
            writer.setQuality(95);
        if (!writer.write(image))
            return fail(writer.errorString());
    }
    try {
        auto copy = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(encoded.constData()),
                                              long(encoded.size()));
        Exiv2::ExifData exif;
        Exiv2::IptcData iptc;
        Exiv2::XmpData xmp;
        try {
            if (auto source = openImage(original)) {
                exif = source->exifData();
                iptc = source->iptcData();
                xmp = source->xmpData();
            }
        } catch (...) {
            // An original with damaged metadata still gets its note.
        }
        Exiv2::ExifThumb(exif).erase(); // the thumbnail shows the unfiltered photograph
        exif["Exif.Image.Orientation"] = uint16_t(1);
        exif["Exif.Photo.PixelXDimension"] = uint32_t(image.width());
        exif["Exif.Photo.PixelYDimension"] = uint32_t(image.height());
        const QString history = exifText(exif, "Exif.Image.ImageHistory");
        exif["Exif.Image.ImageHistory"] = (history.isEmpty() ? note : history + QStringLiteral("; ") + note).toStdString();
        if (xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation")) != xmp.end())
            xmp["Xmp.tiff.Orientation"] = "1";
        copy->setExifData(exif);
        copy->setIptcData(iptc);
        copy->setXmpData(xmp);
        copy->writeMetadata();
        Exiv2::BasicIo& io = copy->io();
        io.open();
        io.seek(0, Exiv2::BasicIo::beg);
        const Exiv2::DataBuf buf = io.read(long(io.size()));
        encoded = QByteArray(reinterpret_cast<const char*>(buf.pData_), int(buf.size_));
        io.close();
    } catch (const std::exception& e) {
        return fail(QStringLiteral("its metadata could not be written (%1).").arg(QString::fromLocal8Bit(e.what())));
    }
    return writeFileAtomically(
        to.absoluteFilePath(), [&encoded](QIODevice& out) { return out.write(encoded) == encoded.size(); }, error);
}

} // namespace veil
