#include "enhancer.h"
#include "pixelrules.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <vector>

using namespace veil::filters;

namespace {

constexpr QRgb kBg = Enhancer::kBackground;

QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

QImage solid(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

QImage randomImage(int w, int h, quint32 seed) {
    QRandomGenerator gen(seed);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, 0xff000000u | (gen.generate() & 0xffffff));
    return img;
}

// Plain per-pixel versions of the rules, written from their descriptions.
int clampChannel(int v) { return v > 255 ? 255 : v; }

QRgb referencePixel(Kind kind, QRgb p) {
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    auto solar = [](int c) { return c < 128 ? 255 - c : c; };
    switch (kind) {
    case Kind::Invert: return rgb(255 - r, 255 - g, 255 - b);
    case Kind::Solarize: return rgb(solar(r), solar(g), solar(b));
    case Kind::Red: return rgb(r, 0, 0);
    case Kind::Green: return rgb(0, g, 0);
    case Kind::Blue: return rgb(0, 0, b);
    case Kind::Grey: {
        const double v = r * 0.33 + g * 0.56 + b * 0.11;
        const int grey = int(std::nearbyint(v));
        return rgb(grey, grey, grey);
    }
    case Kind::Emboss: break;
    }
    return 0;
}

QImage reference(Kind kind, const QImage& src) {
    QImage out = solid(src.width(), src.height(), kBg);
    if (kind != Kind::Emboss) {
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x)
                out.setPixel(x, y, referencePixel(kind, src.pixel(x, y)));
        return out;
    }
    for (int y = 1; y <= src.height() - 2; ++y)
        for (int x = 1; x <= src.width() - 2; ++x) {
            const QRgb a = src.pixel(x, y), b = src.pixel(x + 1, y + 1);
            out.setPixel(x, y, rgb(clampChannel(std::abs(qRed(a) - qRed(b) + 128)),
                                   clampChannel(std::abs(qGreen(a) - qGreen(b) + 128)),
                                   clampChannel(std::abs(qBlue(a) - qBlue(b) + 128))));
        }
    return out;
}

// Runs a filter the way the viewer does and returns the full-size result.
QImage run(Enhancer& e, Kind kind, int width = -1, int height = -1) {
    if (kind == Kind::Invert)
        return e.invert(e.size()); // at the photograph's own size the hand-over is exact
    if (!e.begin(kind, width < 0 ? e.size().width() : width, height < 0 ? e.size().height() : height))
        return {};
    for (int y = e.firstRow(); y < e.endRow(); ++y)
        e.runRow(y);
    QImage result = e.workPicture().copy();
    e.finish(QSize(4, 4));
    return result;
}

QString firstDifference(const QImage& got, const QImage& want) {
    if (got.size() != want.size())
        return QStringLiteral("size %1x%2, want %3x%4")
            .arg(got.width()).arg(got.height()).arg(want.width()).arg(want.height());
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if ((got.pixel(x, y) | 0xff000000u) != (want.pixel(x, y) | 0xff000000u))
                return QStringLiteral("(%1,%2): %3, want %4")
                    .arg(x).arg(y)
                    .arg(got.pixel(x, y), 8, 16, QLatin1Char('0'))
                    .arg(want.pixel(x, y), 8, 16, QLatin1Char('0'));
    return {};
}

const Kind kAll[] = {Kind::Invert, Kind::Solarize, Kind::Emboss, Kind::Grey,
                     Kind::Red,    Kind::Green,    Kind::Blue};

} // namespace

class FiltersTest : public QObject {
    Q_OBJECT
private slots:
    void knownValues() {
        // Solarize turns dark channels over and keeps light ones.
        const int in[] = {0, 100, 127, 128, 200, 255};
        const int want[] = {255, 155, 128, 128, 200, 255};
        for (int i = 0; i < 6; ++i) {
            const Pixel p = rgb(in[i], in[5 - i], in[i]);
            Pixel out = 0;
            solarizeRow(&p, &out, 1);
            QCOMPARE(qRed(out), want[i]);
            QCOMPARE(qGreen(out), want[5 - i]);
            QCOMPARE(qBlue(out), want[i]);
        }
        QCOMPARE(greyValue(255, 0, 0), 84);
        QCOMPARE(greyValue(0, 255, 0), 143);
        QCOMPARE(greyValue(0, 0, 255), 28);
        QCOMPARE(greyValue(12, 34, 56), 29);
        QCOMPARE(greyValue(255, 255, 255), 255);
        const Pixel p = rgb(12, 34, 56);
        Pixel out = 0;
        redRow(&p, &out, 1);
        QCOMPARE(out, rgb(12, 0, 0));
        greenRow(&p, &out, 1);
        QCOMPARE(out, rgb(0, 34, 0));
        blueRow(&p, &out, 1);
        QCOMPARE(out, rgb(0, 0, 56));
        invertRow(&p, &out, 1);
        QCOMPARE(out, rgb(243, 221, 199));
        // Emboss saturates above and folds back below.
        const Pixel a = rgb(200, 0, 0), b = rgb(0, 255, 200);
        embossRow(&a, &b, &out, 1);
        QCOMPARE(out, rgb(255, 127, 72));
        // Input alpha does not leak into the output.
        const Pixel clear = 0x00102030u;
        for (Kind k : {Kind::Invert, Kind::Solarize, Kind::Grey, Kind::Red, Kind::Green, Kind::Blue}) {
            rowRule(k)(&clear, &out, 1);
            QCOMPARE(out >> 24, 0xffu);
        }
    }

    void embossShapes() {
        Enhancer e;
        e.setPhoto(solid(6, 5, rgb(10, 200, 77)));
        const QImage uniform = run(e, Kind::Emboss);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool border = x == 0 || y == 0 || x == 5 || y == 4;
                QCOMPARE(uniform.pixel(x, y), border ? kBg : rgb(128, 128, 128));
            }
        // Two pixels wide or high: no pixel is written at all.
        for (QSize s : {QSize(2, 9), QSize(9, 2), QSize(2, 2), QSize(1, 1)}) {
            e.setPhoto(randomImage(s.width(), s.height(), 7));
            QCOMPARE(firstDifference(run(e, Kind::Emboss), solid(s.width(), s.height(), kBg)), QString());
        }
    }

    void cleanup() { setWideInstructions(true); }

    void matchesPlainReferenceOnOddSizes_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<bool>("wide");
        const QSize sizes[] = {{1, 1}, {2, 17}, {17, 2}, {3, 3}, {5, 3}, {11, 9}, {641, 479}};
        for (bool wide : {true, false})
            for (QSize s : sizes)
                QTest::addRow("%dx%d%s", s.width(), s.height(), wide ? "" : " plain x86-64")
                    << s.width() << s.height() << wide;
    }
    void matchesPlainReferenceOnOddSizes() {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(bool, wide);
        setWideInstructions(wide);
        const QImage photo = randomImage(w, h, quint32(w * 1000 + h));
        Enhancer e;
        e.setPhoto(photo);
        for (Kind k : kAll) {
            QCOMPARE(firstDifference(run(e, k), reference(k, photo)), QString());
            // Filters never build on one another: the work picture is the photograph again.
            QCOMPARE(firstDifference(e.workPicture(), photo), QString());
            QVERIFY(!e.running());
        }
    }

    void greyIsExactForEveryColour_data() {
        QTest::addColumn<bool>("wide");
        QTest::newRow("as chosen") << true;
        QTest::newRow("plain x86-64") << false;
    }
    void greyIsExactForEveryColour() {
        QFETCH(bool, wide);
        setWideInstructions(wide);
        // All 2^24 colours, one row of 4096 at a time, against the plain double sum.
        std::vector<Pixel> src(4096), dst(4096);
        int wrong = 0;
        QString first;
        for (int hi = 0; hi < 4096; ++hi) {
            for (int lo = 0; lo < 4096; ++lo)
                src[size_t(lo)] = 0xff000000u | Pixel(hi) << 12 | Pixel(lo);
            greyRow(src.data(), dst.data(), 4096);
            for (int lo = 0; lo < 4096; ++lo) {
                const Pixel p = src[size_t(lo)];
                const int r = int(p >> 16 & 0xff), g = int(p >> 8 & 0xff), b = int(p & 0xff);
                const double v = r * 0.33 + g * 0.56 + b * 0.11;
                const Pixel want = 0xff000000u | Pixel(std::nearbyint(v)) * 0x010101u;
                if (dst[size_t(lo)] != want && wrong++ == 0)
                    first = QStringLiteral("(%1,%2,%3)").arg(r).arg(g).arg(b);
            }
        }
        QVERIFY2(wrong == 0, qPrintable(QStringLiteral("%1 colours differ, first %2").arg(wrong).arg(first)));
        // Equal channels keep their value.
        for (int c = 0; c < 256; ++c)
            QCOMPARE(greyValue(c, c, c), c);
    }

    void rangesFollowThePictureSize() {
        const QImage photo = randomImage(9, 7, 3);
        Enhancer e;
        e.setPhoto(photo);
        // A picture size larger than the work picture (left from an earlier
        // photograph) reads and writes nothing outside it.
        QCOMPARE(firstDifference(run(e, Kind::Blue, 30000, 30000), reference(Kind::Blue, photo)), QString());
        // A smaller one leaves the rest cleared.
        const QImage part = run(e, Kind::Red, 4, 3);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x)
                QCOMPARE(part.pixel(x, y), x < 4 && y < 3 ? referencePixel(Kind::Red, photo.pixel(x, y)) : kBg);

        // Progress: y / height * 100, just below 100 after the last row;
        // Emboss counts by the work picture's own height.
        QVERIFY(e.begin(Kind::Grey, 9, 7));
        QCOMPARE(e.firstRow(), 0);
        QCOMPARE(e.endRow(), 7);
        QCOMPARE(e.progressAfter(0), 0.0);
        QCOMPARE(e.progressAfter(6), 6.0 / 7.0 * 100.0);
        e.finish(QSize(2, 2));
        QVERIFY(e.begin(Kind::Emboss, 100, 100));
        QCOMPARE(e.firstRow(), 1);
        QCOMPARE(e.endRow(), 6);
        QCOMPARE(e.progressAfter(5), 5.0 / 7.0 * 100.0);
        e.finish(QSize(2, 2));

        // No photograph: nothing starts.
        Enhancer empty;
        QVERIFY(!empty.begin(Kind::Grey, 640, 480));
        QVERIFY(empty.invert(QSize(640, 480)).isNull());
    }

    void buffersAreReused() {
        Enhancer e;
        e.setPhoto(randomImage(64, 48, 5));
        QVERIFY(e.begin(Kind::Solarize, 64, 48));
        const uchar* first = e.workPicture().constBits();
        e.finish(QSize(8, 8));
        QVERIFY(e.begin(Kind::Emboss, 64, 48));
        QCOMPARE(e.workPicture().constBits(), first);
        e.finish(QSize(8, 8));
        // The work picture is the source copy again, not a third buffer.
        QCOMPARE(e.workPicture().constBits(), e.sourceCopy().constBits());
    }

    void transparentPartsLieOnTheBackground() {
        QImage photo(3, 1, QImage::Format_ARGB32);
        photo.setPixel(0, 0, 0x00000000u);
        photo.setPixel(1, 0, 0xff123456u);
        photo.setPixel(2, 0, 0x00ff0000u);
        Enhancer e;
        e.setPhoto(photo);
        QCOMPARE(e.workPicture().pixel(0, 0), kBg);
        QCOMPARE(e.workPicture().pixel(1, 0), 0xff123456u);
        QCOMPARE(e.workPicture().pixel(2, 0), kBg);
    }

    void displayScaling() {
        // Larger pictures are squeezed into the area, colours kept by region.
        QImage big(1920, 1000, QImage::Format_RGB32);
        big.fill(rgb(200, 10, 10));
        for (int y = 0; y < 1000; ++y)
            for (int x = 960; x < 1920; ++x)
                big.setPixel(x, y, rgb(10, 10, 200));
        const QImage shown = scaleForDisplay(big, QSize(640, 480));
        QCOMPARE(shown.size(), QSize(640, 480));
        QCOMPARE(shown.pixel(0, 0), rgb(200, 10, 10));
        QCOMPARE(shown.pixel(319, 479), rgb(200, 10, 10));
        QCOMPARE(shown.pixel(320, 0), rgb(10, 10, 200));
        QCOMPARE(shown.pixel(639, 479), rgb(10, 10, 200));
        // A box average: a fine checkerboard becomes its mean.
        QImage checks(1280, 960, QImage::Format_RGB32);
        for (int y = 0; y < 960; ++y)
            for (int x = 0; x < 1280; ++x)
                checks.setPixel(x, y, (x + y) % 2 ? rgb(0, 0, 0) : rgb(200, 100, 50));
        QCOMPARE(scaleForDisplay(checks, QSize(640, 480)).pixel(100, 100), rgb(100, 50, 25));
        // Boxes too large for the packed 16-bit sums, and for 16-bit sums at all.
        for (QSize s : {QSize(600, 40), QSize(40, 600)}) {
            QImage halves = solid(s.width(), s.height(), rgb(255, 254, 3));
            for (int y = 0; y < s.height(); ++y)
                for (int x = 0; x < s.width(); ++x)
                    if (s.width() > s.height() ? x >= s.width() / 2 : y >= s.height() / 2)
                        halves.setPixel(x, y, rgb(9, 128, 250));
            const QImage two = scaleForDisplay(halves, QSize(2, 2));
            QCOMPARE(two.pixel(0, 0), rgb(255, 254, 3));
            QCOMPARE(two.pixel(1, 1), rgb(9, 128, 250));
        }
        // Smaller and oddly shaped pictures are stretched.
        for (QSize s : {QSize(10, 10), QSize(3000, 20), QSize(20, 3000), QSize(640, 480)}) {
            QImage img = solid(s.width(), s.height(), rgb(1, 2, 3));
            const QImage out = scaleForDisplay(img, QSize(640, 480));
            QCOMPARE(out.size(), QSize(640, 480));
            QCOMPARE(out.pixel(639, 479), rgb(1, 2, 3));
        }
    }
};

QTEST_GUILESS_MAIN(FiltersTest)
#include "test_filters.moc"
