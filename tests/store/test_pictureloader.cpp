#include "store/pictureloader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <future>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace veil;

namespace {

// A GIF written by hand (Qt reads GIF but does not write it): 128 colours,
// codes of eight bits, the table cleared every 64 pixels so it never grows.
QByteArray gif(int w, int h) {
    QByteArray out("GIF89a");
    auto u16 = [&](int v) { out += char(v & 0xff); out += char(v >> 8); };
    u16(w);
    u16(h);
    out += char(0xe6); // a global table of 2^7 colours
    out += '\0';
    out += '\0';
    for (int i = 0; i < 128; ++i)
        for (int c : {i * 2, 255 - i * 2, i}) out += char(c);
    out += ',';
    u16(0);
    u16(0);
    u16(w);
    u16(h);
    out += '\0';
    out += char(7); // smallest code size: clear is 128, end 129
    QByteArray codes;
    for (int i = 0; i < w * h; ++i) {
        if (i % 64 == 0) codes += char(128);
        codes += char((i % w + i / w) % 128);
    }
    codes += char(129);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        out += char(block.size());
        out += block;
    }
    out += '\0';
    out += ';';
    return out;
}

QByteArray written(const QByteArray& format) {
    if (format == "gif") return gif(64, 48);
    if (format == "svg")
        return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"48\">"
               "<rect width=\"64\" height=\"48\" fill=\"navy\"/><circle cx=\"20\" cy=\"20\" r=\"9\" "
               "fill=\"yellow\"/><rect x=\"40\" y=\"10\" width=\"9\" height=\"30\" fill=\"red\"/></svg>";
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

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

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

    // Every format the loader reads, cut short anywhere in its picture data, is
    // no picture: never one with rows the file did not hold.
    void cutPicturesAreNoPictures_data() {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("percent");
        QList<QByteArray> formats{"gif", "svg"};
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
        QVERIFY(writeFile(path, whole));
        const PictureLoad good = loadPicture(path);
        QVERIFY2(good.ok(), qPrintable(good.error));
        QVERIFY(writeFile(path, whole.left(whole.size() * percent / 100)));
        const PictureLoad cut = loadPicture(path);
        QVERIFY(!cut.ok() && cut.invalidPicture);
    }

    // Pipes, devices and sockets are no pictures, and are refused at once:
    // nothing waits for a writer that never comes.
    void specialFilesAreRefusedAtOnce_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("device") << "/dev/zero";
        QTest::newRow("socket") << "socket";
    }
    void specialFilesAreRefusedAtOnce() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path = kind;
        const QByteArray name = QFile::encodeName(dir.filePath(kind));
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
            path = dir.filePath(kind);
        } else if (kind == QLatin1String("socket")) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::strncpy(addr.sun_path, name.constData(), sizeof addr.sun_path - 1);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            path = dir.filePath(kind);
        }
        auto load = std::async(std::launch::async, [&] { return loadPicture(path); });
        const bool answered = QTest::qWaitFor([&] { return load.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000);
        if (!answered) // let a loader stuck in open() go: a writer comes and leaves
            ::close(::open(name.constData(), O_WRONLY | O_NONBLOCK));
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
