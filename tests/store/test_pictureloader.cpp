#include "exiftesting.h"
#include "filebytes.h"

#include "store/photometadata.h"
#include "store/pictureloader.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veil;
using namespace veil::test;

namespace {

// A GIF written by hand (Qt reads GIF but does not write it): 128 grey
// levels, codes of eight bits, the table cleared every 64 pixels so that it
// never grows.
QByteArray gif(int w, int h) {
    QByteArray out("GIF89a");
    auto u16 = [&](int v) { out += char(v & 0xff); out += char(v >> 8); };
    u16(w), u16(h), out += QByteArray("\xe6\0\0", 3); // a global table of 2^7 colours
    for (int i = 0; i < 128 * 3; ++i) out += char(i / 3 * 2);
    out += ',', u16(0), u16(0), u16(w), u16(h), out += QByteArray("\0\x07", 2); // clear 128, end 129
    QByteArray codes;
    for (int i = 0; i < w * h; ++i) codes += (i % 64 ? "" : "\x80") + QByteArray(1, char((i % w + i / w) % 128));
    codes += char(129);
    for (qsizetype at = 0; at < codes.size(); at += 255) out += char(qMin<qsizetype>(255, codes.size() - at)) + codes.mid(at, 255);
    return out + QByteArray("\0;", 2);
}

QByteArray written(const QByteArray& format) {
    if (format == "gif") return gif(64, 48);
    QImage img(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) * 8));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format.constData());
    return bytes;
}

const Tags kCamera = {
    {"Exif.Image.Make", "Spectral"}, {"Exif.Image.Model", "Nightcam 3"},
    {"Exif.Photo.DateTimeOriginal", "2026:12:05 21:47:10"}, {"Exif.Photo.ExposureTime", "1/60"},
    {"Exif.Photo.FNumber", "28/10"}, {"Exif.Photo.ISOSpeedRatings", "1600"}, {"Exif.Photo.Flash", "1"},
    {"Exif.Photo.FocalLength", "42/10"}, {"Exif.Photo.LensModel", "Wide 4.2mm"},
    {"Exif.Photo.PixelXDimension", "40"}, {"Exif.Photo.PixelYDimension", "20"},
    {"Exif.Image.Orientation", "6"}, {"Exif.GPSInfo.GPSLatitudeRef", "N"},
    {"Exif.GPSInfo.GPSLatitude", "51/1 30/1 36/1"}, {"Exif.GPSInfo.GPSLongitudeRef", "W"},
    {"Exif.GPSInfo.GPSLongitude", "0/1 7/1 12/1"}};

using Expect = QMap<QString, QString>;

} // namespace

class PictureLoaderTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Every format the loader reads, cut short anywhere in its picture data, is
    // no picture: never one with rows the file did not hold.
    void cutPicturesAreNoPictures_data() {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("percent");
        QList<QByteArray> formats{"gif"};
        for (const QByteArray& f : QImageWriter::supportedImageFormats())
            if (QImageReader::supportedImageFormats().contains(f) && f != "jpeg" && f != "svgz") formats << f;
        for (const QByteArray& f : formats)
            for (int percent : {40, 60, 80, 95})
                QTest::addRow("%s cut at %d%%", f.constData(), percent) << f << percent;
    }
    void cutPicturesAreNoPictures() {
        QFETCH(QByteArray, format);
        QFETCH(int, percent);
        const QByteArray whole = written(format);
        const QString path = dir.filePath(QStringLiteral("picture.") + QString::fromLatin1(format));
        QVERIFY(writeFileBytes(path, whole));
        const PictureLoad good = loadPicture(path);
        QVERIFY2(good.ok(), qPrintable(good.error));
        QVERIFY(writeFileBytes(path, whole.left(whole.size() * percent / 100)));
        const PictureLoad cut = loadPicture(path);
        QVERIFY(!cut.ok() && cut.invalidPicture);
        // The next good file is not taken for a cut one.
        QVERIFY(writeFileBytes(path, whole) && loadPicture(path).ok());
    }

    // A named pipe is no picture and has no metadata, and is refused at once:
    // nothing waits for a writer that never comes.
    void namedPipeIsRefusedAtOnce() {
        const QString path = dir.filePath("pipe.jpg");
        const QByteArray pipe = QFile::encodeName(path);
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        auto load = std::async(std::launch::async, [&] {
            const bool noMetadata = readPhotoMetadata(path).isEmpty() && !photoDateTaken(path).isValid();
            return noMetadata ? loadPicture(path) : PictureLoad{};
        });
        const bool answered = QTest::qWaitFor([&] { return load.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000);
        // Let a reader stuck in open() go: writers come and leave until it is done.
        while (load.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            ::close(::open(pipe.constData(), O_WRONLY | O_NONBLOCK));
        QVERIFY(answered);
        const PictureLoad r = load.get();
        QVERIFY(!r.ok() && r.invalidPicture);
        QCOMPARE(r.error, QStringLiteral("Invalid picture"));
    }

    // A picture that says it is larger than any camera makes is refused from
    // its header, before memory is taken for it.
    void oversizedPictureIsRefusedFromItsHeader() {
        QByteArray jpeg = written("jpeg");
        const qsizetype frame = jpeg.indexOf("\xff\xc0"); // height and width follow the marker, length and depth
        qToBigEndian<quint16>(20000, jpeg.data() + frame + 5);
        qToBigEndian<quint16>(20000, jpeg.data() + frame + 7);
        const QString path = dir.filePath(QStringLiteral("huge.jpg"));
        QVERIFY(writeFileBytes(path, jpeg));
        const PictureLoad r = loadPicture(path);
        QVERIFY(!r.ok() && r.invalidPicture);
        QCOMPARE(r.error, QStringLiteral("Invalid picture (20000 x 20000 pixels is too large)"));
    }

    void largeCameraPhotographLoads() {
        // 8200 x 8200 at 32 bits is above Qt's own default limit of 256 MB.
        const QString path = dir.filePath(QStringLiteral("big.jpg"));
        {
            QImage img(8200, 8200, QImage::Format_RGB32);
            img.fill(QColor(90, 110, 140));
            QVERIFY(img.save(path, "JPG", 50));
        }
        const PictureLoad load = loadPicture(path);
        QVERIFY2(load.ok(), qPrintable(load.error));
        QCOMPARE(load.image.size(), QSize(8200, 8200));
    }

    void reads_data() {
        QTest::addColumn<Tags>("tags"); // written into a JPEG unless `bytes` replaces it
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Expect>("expect"); // panel rows; empty for an empty panel
        QTest::newRow("camera") << kCamera << QByteArray()
                                << Expect{{"Date taken", "2026-12-05 21:47:10"}, {"Camera make", "Spectral"},
                                          {"Camera model", "Nightcam 3"}, {"Lens", "Wide 4.2mm"},
                                          {"Exposure", "1/60 s"}, {"Aperture", "F2.8"}, {"ISO", "1600"},
                                          {"Flash", "Fired"}, {"Focal length", "4.2 mm"},
                                          {"GPS position", "51.510000, -0.120000"}, {"Pixel size", "40 × 20"},
                                          {"Orientation", "right, top"}};
        QTest::newRow("offset and XMP") << Tags{{"Exif.Photo.DateTimeOriginal", "2026:12:05 23:59:59"},
                                                {"Exif.Photo.OffsetTimeOriginal", "-05:00"},
                                                {"Xmp.tiff.Make", "Lantern"}}
                                        << QByteArray()
                                        << Expect{{"Date taken", "2026-12-05 23:59:59 -05:00"}, {"Camera make", "Lantern"}};
        QTest::newRow("XMP date only") << Tags{{"Xmp.exif.DateTimeOriginal", "2026-12-05T03:04:05"}} << QByteArray()
                                       << Expect{{"Date taken", "2026-12-05 03:04:05"}};
        QTest::newRow("blank date and bad GPS") << Tags{{"Exif.Photo.DateTimeOriginal", "    :  :     :  :  "},
                                                        {"Exif.GPSInfo.GPSLatitude", "1/0 0/1 0/1"},
                                                        {"Exif.GPSInfo.GPSLongitude", "1/1 0/1 0/1"}}
                                                << QByteArray() << Expect{};
        QTest::newRow("no metadata") << Tags{} << QByteArray() << Expect{};
        QTest::newRow("corrupt EXIF") << Tags{} << QByteArray("corrupt") << Expect{};
        QTest::newRow("not a picture") << Tags{} << QByteArray("Add New") << Expect{};
    }
    void reads() {
        QFETCH(Tags, tags);
        QFETCH(QByteArray, bytes);
        QFETCH(Expect, expect);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".jpg");
        QVERIFY(writeTaggedPhoto(path, tags));
        if (!bytes.isNull())
            QVERIFY(writeFileBytes(path, bytes == "corrupt" ? withCorruptExif(fileBytes(path)) : bytes));
        const PhotoMetadata m = readPhotoMetadata(path);
        Expect got;
        for (const auto& [label, value] : m.rows())
            got.insert(label, value);
        QCOMPARE(got, expect);
        QCOMPARE(m.isEmpty(), expect.isEmpty());
        QCOMPARE(dateTakenText(photoDateTaken(path)), expect.value("Date taken"));
        if (m.gps)
            QCOMPARE(geoUrl(*m.gps).toString(), QStringLiteral("geo:51.510000,-0.120000"));
    }

    void upright_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("red"); // a pixel of the picture's left (red) half once upright
        QTest::newRow("jpeg turned right") << "right.jpg" << QByteArray("6") << QSize(20, 40) << QPoint(10, 2);
        QTest::newRow("jpeg turned left") << "left.jpg" << QByteArray("8") << QSize(20, 40) << QPoint(10, 37);
        QTest::newRow("png turned right") << "right.png" << QByteArray("6") << QSize(20, 40) << QPoint(10, 2);
        QTest::newRow("png mirrored") << "mirrored.png" << QByteArray("2") << QSize(40, 20) << QPoint(37, 10);
    }
    void upright() {
        QFETCH(QString, name);
        QFETCH(QByteArray, orientation);
        QFETCH(QSize, size);
        QFETCH(QPoint, red);
        QVERIFY(writeTaggedPhoto(dir.filePath(name), {{"Exif.Image.Orientation", orientation.constData()}}));
        const QImage image = loadPicture(dir.filePath(name)).image;
        QCOMPARE(image.size(), size);
        QVERIFY(qRed(image.pixel(red)) > 200 && qBlue(image.pixel(red)) < 60);
    }

    void enhancedCopy_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << "copy.png";
        QTest::newRow("jpeg") << "copy.JPEG";
    }
    void enhancedCopy() {
        QFETCH(QString, name);
        const QString original = dir.filePath("original.jpg"), target = dir.filePath(name);
        QVERIFY(writeTaggedPhoto(original, kCamera));
        const QByteArray before = fileBytes(original);
        QImage filtered(20, 40, QImage::Format_RGB32);
        filtered.fill(Qt::darkGray);
        QString error;
        QVERIFY2(writeEnhancedCopy(filtered, target, original, "Grey filter applied", &error), qPrintable(error));
        QVERIFY(!writeEnhancedCopy(filtered, original, original, "again", &error));
        QCOMPARE(fileBytes(original), before);

        const PhotoMetadata m = readPhotoMetadata(target);
        QCOMPARE(m.make, QStringLiteral("Spectral"));
        QCOMPARE(dateTakenText(m.taken), QStringLiteral("2026-12-05 21:47:10"));
        QCOMPARE(m.orientation, 1); // it is upright already
        QCOMPARE(m.pixelSize, QSize(20, 40));
        QCOMPARE(imageHistory(target), QStringLiteral("Grey filter applied"));
    }
};

QTEST_GUILESS_MAIN(PictureLoaderTest)
#include "test_pictureloader.moc"
