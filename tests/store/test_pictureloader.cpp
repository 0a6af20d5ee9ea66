#include "filebytes.h"
#include "store/pictureloader.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

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


} // namespace

class PictureLoaderTest : public QObject {
    Q_OBJECT
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
        QTemporaryDir dir;
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

    // A named pipe is no picture and is refused at once: nothing waits for a
    // writer that never comes.
    void namedPipeIsRefusedAtOnce() {
        QTemporaryDir dir;
        const QByteArray pipe = QFile::encodeName(dir.filePath("pipe.jpg"));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        auto load = std::async(std::launch::async, [&] { return loadPicture(dir.filePath("pipe.jpg")); });
        const bool answered = QTest::qWaitFor([&] { return load.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000);
        if (!answered) // let a loader stuck in open() go: a writer comes and leaves
            ::close(::open(pipe.constData(), O_WRONLY | O_NONBLOCK));
        QVERIFY(answered);
        const PictureLoad r = load.get();
        QVERIFY(!r.ok() && r.invalidPicture);
        QCOMPARE(r.error, QStringLiteral("Invalid picture"));
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
