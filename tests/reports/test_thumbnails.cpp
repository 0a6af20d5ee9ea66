#include "exifpreview.h"
#include "filebytes.h"
#include "reports/thumbnails.h"

#include <QTemporaryDir>
#include <QTest>

using namespace veil;
using namespace veil::test;

class ThumbnailsTest : public QObject {
    Q_OBJECT
private slots:
    // A camera's preview stands in for a whole photograph only: a cut-off
    // file, or a preview smaller than the thumbnail, is not used.
    void previewStandsInForAWholePhotoOnly_data() {
        QTest::addColumn<QSize>("preview");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QRgb>("shown");
        QTest::newRow("preview") << QSize(640, 480) << false << qRgb(0, 200, 0);
        QTest::newRow("too small a preview") << QSize(160, 120) << false << qRgb(200, 0, 0);
        QTest::newRow("cut-off photo") << QSize(640, 480) << true << qRgb(238, 238, 238);
    }
    void previewStandsInForAWholePhotoOnly() {
        QFETCH(QSize, preview);
        QFETCH(bool, cut);
        QFETCH(QRgb, shown);
        QTemporaryDir dir;
        const QString file = dir.filePath("photo.jpg");
        QImage photo(1600, 1200, QImage::Format_RGB32), small(preview, QImage::Format_RGB32);
        photo.fill(qRgb(200, 0, 0));
        small.fill(qRgb(0, 200, 0));
        QVERIFY(photo.save(file, "JPG") && embedPreview(file, small));
        if (cut)
            QVERIFY(writeFileBytes(file, fileBytes(file).chopped(2000)));
        const reports::Thumbnail t = reports::thumbnail(file);
        QCOMPARE(t.missing, cut);
        const QImage got = QImage::fromData(t.bytes, "JPG");
        const QRgb centre = got.pixel(got.width() / 4, got.height() / 2); // off a stand-in's cross
        QVERIFY2(qAbs(qRed(centre) - qRed(shown)) < 12 && qAbs(qGreen(centre) - qGreen(shown)) < 12,
                 qPrintable(QString::number(centre, 16)));
    }
};

QTEST_GUILESS_MAIN(ThumbnailsTest)
#include "test_thumbnails.moc"
