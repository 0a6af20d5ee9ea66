#include "reports/thumbnails.h"

#include "store/photometadata.h"

#include "store/pictureloader.h"

#include <QBuffer>
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
} // namespace

Thumbnail thumbnail(const QString& path, const QSize& box) {
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
