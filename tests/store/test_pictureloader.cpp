#include "store/pictureloader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace veil;

class PictureLoaderTest : public QObject {
    Q_OBJECT
private slots:
    void photographCutOffInItsDataIsNoPicture() {
        QTemporaryDir dir;
        QImage img(400, 300, QImage::Format_RGB32);
        QPainter p(&img);
        QLinearGradient g(0, 0, 400, 300);
        g.setColorAt(0, Qt::darkBlue);
        g.setColorAt(1, Qt::yellow);
        p.fillRect(img.rect(), g);
        p.end();
        QByteArray jpeg;
        QBuffer buf(&jpeg);
        buf.open(QIODevice::WriteOnly);
        QVERIFY(img.save(&buf, "JPG", 90));

        const QString whole = dir.filePath(QStringLiteral("whole.jpg"));
        const QString cut = dir.filePath(QStringLiteral("cut.jpg"));
        {
            QFile f(whole);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(jpeg);
        }
        {
            QFile f(cut);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(jpeg.left(jpeg.size() * 2 / 3)); // past the header, inside the picture data
        }
        const PictureLoad good = loadPicture(whole);
        QVERIFY(good.ok());
        QCOMPARE(good.image.size(), QSize(400, 300));
        const PictureLoad bad = loadPicture(cut);
        QVERIFY(!bad.ok());
        QVERIFY(bad.invalidPicture);
        // The next good file is not taken for a cut one.
        QVERIFY(loadPicture(whole).ok());
    }

    void largeCameraPhotographLoads() {
        // 8200 x 8200 at 32 bits is above Qt's own default limit of 256 MB.
        QTemporaryDir dir;
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
};

QTEST_GUILESS_MAIN(PictureLoaderTest)
#include "test_pictureloader.moc"
