#include "store/pictureloader.h"

#include <QFileInfo>
#include <QImageReader>
#include <QtGlobal>

namespace veil {

namespace {
// The JPEG decoder fills a file that ends early with grey and only warns; a
// cut-off photograph must count as no picture, so its warnings are caught
// while one file is read.
bool g_truncated = false;
QtMessageHandler g_previous = nullptr;
void catchDecoderWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("Premature end of"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("Corrupt JPEG data"), Qt::CaseInsensitive))
        g_truncated = true;
    else if (g_previous)
        g_previous(type, context, text);
}

QImage readWatched(QImageReader& reader, bool* truncated) {
    g_truncated = false;
    g_previous = qInstallMessageHandler(catchDecoderWarnings);
    QImage image = reader.read();
    qInstallMessageHandler(g_previous);
    *truncated = g_truncated;
    return image;
}
} // namespace

void configurePictureLimits() {
    // Qt refuses images above 256 MB by default (about 32 MP at 32 bits);
    // allow real camera pictures, in megabytes at four bytes a pixel.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
}

PictureLoad loadPicture(const QString& path, const QSize& bound) {
    static const bool limitsSet = (configurePictureLimits(), true);
    (void)limitsSet;
    PictureLoad out;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) {
        out.error = QStringLiteral("File not found: %1").arg(path);
        return out;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        out.invalidPicture = true;
        out.error = QStringLiteral("Invalid picture");
        return out;
    }
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > kMaxPicturePixels) {
        out.invalidPicture = true;
        out.error = QStringLiteral("Invalid picture (%1 x %2 pixels is too large)")
                        .arg(declared.width())
                        .arg(declared.height());
        return out;
    }
    if (bound.isValid() && declared.isValid()) {
        // The reduced size applies before the turn upright.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize box = turned ? bound.transposed() : bound;
        if (declared.width() > box.width() || declared.height() > box.height())
            reader.setScaledSize(declared.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    bool truncated = false;
    out.image = readWatched(reader, &truncated);
    if (truncated) {
        out.image = QImage();
        out.invalidPicture = true;
        out.error = QStringLiteral("Invalid picture (the file ends early)");
        return out;
    }
    if (out.image.isNull()) {
        out.invalidPicture = true;
        out.error = QStringLiteral("Invalid picture (%1)").arg(reader.errorString());
    }
    return out;
}

} // namespace veil
