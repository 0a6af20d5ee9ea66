#include "reports/thumbnails.h"

#include "store/photometadata.h"

#include "store/pictureloader.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

namespace veil::reports {

QByteArray encodedImage(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

namespace {
QByteArray jpegOf(const QImage& image) { return encodedImage(image, "JPG", 82); }

// A plain grey frame with a cross, so a report shows where a picture is missing
// without pretending to show it; the caption says so in words.
Thumbnail standIn(const QSize& box) {
    QImage img(box.width(), box.height() * 3 / 4, QImage::Format_RGB32);
    img.fill(QColor(238, 238, 238));
    QPainter p(&img);
    p.setPen(QPen(QColor(170, 170, 170), 2));
    p.drawRect(img.rect().adjusted(1, 1, -2, -2));
    p.drawLine(img.rect().topLeft(), img.rect().bottomRight());
    p.drawLine(img.rect().topRight(), img.rect().bottomLeft());
    p.end();
    return Thumbnail{jpegOf(img), img.size(), true};
}

// JPEG has no transparency: see-through parts go white, as on paper.
QImage onWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter p(&flat);
    p.drawImage(0, 0, image);
    return flat;
}
// Whether a JPEG file runs to its end marker: a preview must not stand in for
// a photograph that was cut off.
bool endsWhole(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 4 || !f.seek(f.size() - 2))
        return false;
    return f.read(2) == QByteArrayLiteral("\xff\xd9");
}
} // namespace

Thumbnail thumbnail(const QString& path, const QSize& box) {
    // A camera's own preview spares decoding the whole photograph, which is
    // most of a report's time.
    if (QImage preview = embeddedPreview(path, box); !preview.isNull() && endsWhole(path)) {
        if (preview.width() > box.width() || preview.height() > box.height())
            preview = preview.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return Thumbnail{jpegOf(onWhite(preview)), preview.size(), false};
    }
    const PictureLoad load = loadPicture(path, box);
    if (!load.ok())
        return standIn(box);
    QImage image = load.image;
    // Formats that cannot decode small are decoded whole and reduced here.
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return Thumbnail{jpegOf(onWhite(image)), image.size(), false};
}

QString dateTaken(const QString& path) { return dateTakenText(photoDateTaken(path)); }

} // namespace veil::reports
