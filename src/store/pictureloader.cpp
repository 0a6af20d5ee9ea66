#include "store/pictureloader.h"

#include "store/photometadata.h"

#include <QFile>
#include <QtEndian>
#include <QImageReader>
#include <QtGlobal>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The bytes of the open file `fd` at `offset`, without moving its position
// (the image reader reads from it too).
QByteArray readAt(int fd, qint64 offset, qint64 length) {
    QByteArray out(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, out.data() + done, size_t(length - done), off_t(offset + done));
        if (n <= 0)
            break;
        done += n;
    }
    out.truncate(done);
    return out;
}

quint32 le32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 le16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

// Qt's BMP reader shows a file that ends early with the rows it could not
// read left as they were in memory: the file must hold every row its header
// declares.
bool bmpWhole(int fd, qint64 size) {
    const QByteArray h = readAt(fd, 0, 54);
    if (h.size() < 26)
        return false;
    const qint64 dataAt = le32(h, 10);
    const quint32 header = le32(h, 14);
    qint64 width = 0, height = 0, bits = 0, need = 0;
    quint32 compression = 0;
    if (header == 12) { // the old OS/2 header
        width = le16(h, 18);
        height = le16(h, 20);
        bits = le16(h, 24);
    } else {
        if (h.size() < 38)
            return false;
        width = qint32(le32(h, 18));
        height = qint32(le32(h, 22));
        bits = le16(h, 28);
        compression = le32(h, 30);
    }
    if (qAbs(width) > 1'000'000 || qAbs(height) > 1'000'000 || bits > 64)
        return false; // no picture we would show, and the sums below stay small
    switch (compression) {
    case 0: // plain rows, four-byte aligned
    case 3: // the same with colour masks
    case 6:
        need = dataAt + (qAbs(width) * bits + 31) / 32 * 4 * qAbs(height);
        break;
    case 1: // run-length coded: the header gives the coded size
    case 2:
        need = le32(h, 34) ? dataAt + le32(h, 34) : size + 1;
        break;
    default:
        return true; // what Qt does not read it refuses itself
    }
    return size >= need;
}

// Qt's GIF reader shows the part of a picture it has: the file must hold the
// whole first picture, every block of its data to the closing empty one.
bool gifWhole(int fd, qint64 size) {
    const QByteArray b = readAt(fd, 0, size);
    qsizetype at = 13;
    if (b.size() < at)
        return false;
    auto table = [&](quint8 flags) {
        if (flags & 0x80)
            at += 3 * (qsizetype(2) << (flags & 7));
    };
    auto skipBlocks = [&] {
        while (at < b.size()) {
            const quint8 n = quint8(b[at++]);
            if (n == 0)
                return true;
            at += n;
        }
        return false;
    };
    table(quint8(b[10]));
    while (at < b.size()) {
        const char kind = b[at++];
        if (kind == '!') { // an extension: its label, then its blocks
            ++at;
            if (!skipBlocks())
                return false;
        } else if (kind == ',') { // a picture: descriptor, colours, code size, blocks
            if (at + 9 > b.size())
                return false;
            table(quint8(b[at + 8]));
            at += 10;
            return skipBlocks();
        } else {
            return false;
        }
    }
    return false;
}

// An XBM file whose list of bits ends early is read as far as it goes.
bool xbmWhole(int fd, qint64 size) {
    const QByteArray b = readAt(fd, 0, size);
    const qsizetype open = b.indexOf('{');
    return open >= 0 && b.indexOf('}', open) > open;
}

void configurePictureLimits() {
    // Qt refuses images above 256 MB by default (about 32 MP at 32 bits);
    // allow real camera pictures, in megabytes at four bytes a pixel.
    QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
}

PictureLoad loadPicture(const QString& path, const QSize& bound) {
    static const bool limitsSet = (configurePictureLimits(), true);
    (void)limitsSet;
    PictureLoad out;
    auto invalid = [&out](const QString& why) {
        out.image = QImage();
        out.invalidPicture = true;
        out.error = why;
        return out;
    };
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0 || S_ISDIR(st.st_mode)) {
        out.error = QStringLiteral("File not found: %1").arg(path);
        return out;
    }
    // Pictures are read from regular files only: opening a pipe waits for a
    // writer, and a device may never end. Checked again on what was opened.
    if (!S_ISREG(st.st_mode))
        return invalid(QStringLiteral("Invalid picture"));
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        out.error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return out;
    }
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return invalid(QStringLiteral("Invalid picture"));
    }

    QImageReader reader(&file);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return invalid(QStringLiteral("Invalid picture"));
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > kMaxPicturePixels)
        return invalid(QStringLiteral("Invalid picture (%1 x %2 pixels is too large)")
                           .arg(declared.width())
                           .arg(declared.height()));
    const QByteArray format = reader.format();
    const bool whole = format == "bmp"   ? bmpWhole(fd, st.st_size)
                       : format == "gif" ? gifWhole(fd, st.st_size)
                       : format == "xbm" ? xbmWhole(fd, st.st_size)
                                         : true;
    if (!whole)
        return invalid(QStringLiteral("Invalid picture (the file ends early)"));
    if (bound.isValid() && declared.isValid()) {
        // The reduced size applies before the turn upright.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize box = turned ? bound.transposed() : bound;
        if (declared.width() > box.width() || declared.height() > box.height())
            reader.setScaledSize(declared.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    bool truncated = false;
    out.image = readWatched(reader, &truncated);
    if (truncated)
        return invalid(QStringLiteral("Invalid picture (the file ends early)"));
    if (out.image.isNull())
        return invalid(QStringLiteral("Invalid picture (%1)").arg(reader.errorString()));
    if (!reader.supportsOption(QImageIOHandler::ImageTransformation)) {
        // Qt turns JPEG and TIFF upright itself; a PNG's EXIF orientation is Exiv2's to read.
        out.image = uprightImage(out.image, photoOrientation(path));
    }
    return out;
}

} // namespace veil
