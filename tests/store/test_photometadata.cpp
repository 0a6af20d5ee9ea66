#include "exiftesting.h"
#include "filebytes.h"

#include "store/photometadata.h"
#include "store/pictureloader.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace veil;
using namespace veil::test;

namespace {

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

class PhotoMetadataTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
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
        QTest::newRow("named pipe") << Tags{} << QByteArray("fifo") << Expect{};
    }
    void reads() {
        QFETCH(Tags, tags);
        QFETCH(QByteArray, bytes);
        QFETCH(Expect, expect);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".jpg");
        QVERIFY(bytes == "fifo" ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 // must not block
                                : writeTaggedPhoto(path, tags));
        if (bytes == "corrupt")
            QVERIFY(writeFileBytes(path, withCorruptExif(fileBytes(path))));
        else if (!bytes.isNull() && bytes != "fifo")
            QVERIFY(writeFileBytes(path, bytes));
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

QTEST_GUILESS_MAIN(PhotoMetadataTest)
#include "test_photometadata.moc"
