#include "pictureloader.h"

#include <QFileInfo>
#include <QImageReader>

namespace veil {

void configurePictureLimits() {
    // Qt refuses images above 256 MB by default (about 32 MP at 32 bits);
    // allow real camera pictures, in megabytes at four bytes a pixel.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
}

PictureLoad loadPicture(const QString& path) {
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
    out.image = reader.read();
    if (out.image.isNull()) {
        out.invalidPicture = true;
        out.error = QStringLiteral("Invalid picture (%1)").arg(reader.errorString());
    }
    return out;
}

} // namespace veil
