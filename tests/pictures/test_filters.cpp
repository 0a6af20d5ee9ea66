#include "pictures/filters/enhancer.h"
#include "pictures/filters/pixelrules.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace veil::filters;

namespace {

constexpr QRgb kBg = Enhancer::kBackground;

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

// The rules written out plainly, pixel by pixel, from their descriptions.
QRgb referencePixel(Kind kind, QRgb p) {
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    auto solar = [](int c) { return c < 128 ? 255 - c : c; };
    switch (kind) {
    case Kind::Invert: return qRgb(255 - r, 255 - g, 255 - b);
    case Kind::Solarize: return qRgb(solar(r), solar(g), solar(b));
    case Kind::Red: return qRgb(r, 0, 0);
    case Kind::Green: return qRgb(0, g, 0);
    case Kind::Blue: return qRgb(0, 0, b);
    case Kind::Grey: {
        const int v = int(std::nearbyint(r * 0.33 + g * 0.56 + b * 0.11));
        return qRgb(v, v, v);
    }
    case Kind::Emboss: break;
    }
    return 0;
}

QImage reference(Kind kind, const QImage& src) {
    QImage out = solid(src.width(), src.height(), kBg);
    auto emboss = [](int c, int c2) { return std::min(255, std::abs(c - c2 + 128)); };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            if (kind != Kind::Emboss) {
                out.setPixel(x, y, referencePixel(kind, src.pixel(x, y)));
            } else if (x >= 1 && y >= 1 && x <= src.width() - 2 && y <= src.height() - 2) {
                const QRgb a = src.pixel(x, y), b = src.pixel(x + 1, y + 1);
                out.setPixel(x, y, qRgb(emboss(qRed(a), qRed(b)), emboss(qGreen(a), qGreen(b)),
                                        emboss(qBlue(a), qBlue(b))));
            }
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

} // namespace

class FiltersTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setWideInstructions(true); }

    void matchesPlainReference_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("wide");
        for (bool wide : {true, false})
            for (QSize s : {QSize(1, 1), QSize(2, 17), QSize(17, 2), QSize(3, 3), QSize(11, 9), QSize(641, 479)})
                QTest::addRow("%dx%d%s", s.width(), s.height(), wide ? "" : " plain x86-64") << s << wide;
    }
    void matchesPlainReference() {
        QFETCH(QSize, size);
        QFETCH(bool, wide);
        setWideInstructions(wide);
        const QImage photo = randomImage(size.width(), size.height(), quint32(size.width() * 1000 + size.height()));
        Enhancer e;
        e.setPhoto(photo);
        // One after another on the same photograph: a filter building on the last one would show.
        for (Kind k : {Kind::Invert, Kind::Solarize, Kind::Emboss, Kind::Grey, Kind::Red, Kind::Green, Kind::Blue})
            QCOMPARE(run(e, k), reference(k, photo));
    }

    void greyIsExactForEveryColour() {
        // All 2^24 colours, 4096 at a time, against the plain double sum, by the chosen and the plain rule.
        std::vector<Pixel> src(4096), dst(4096);
        for (bool wide : {true, false}) {
            setWideInstructions(wide);
            int wrong = 0;
            for (Pixel hi = 0; hi < 4096; ++hi) {
                for (Pixel lo = 0; lo < 4096; ++lo)
                    src[lo] = hi << 12 | lo; // alpha 0: it must not matter
                greyRow(src.data(), dst.data(), 4096);
                for (Pixel lo = 0; lo < 4096; ++lo)
                    wrong += dst[lo] != referencePixel(Kind::Grey, src[lo]);
            }
            QVERIFY2(wrong == 0, wide ? "as chosen" : "plain x86-64");
        }
    }

    void rangesAndProgress() {
        const QImage photo = randomImage(9, 7, 3);
        Enhancer e;
        e.setPhoto(photo);
        // A picture size left from a larger photograph reads and writes nothing outside this one;
        // a smaller one leaves the rest cleared.
        QCOMPARE(run(e, Kind::Blue, 30000, 30000), reference(Kind::Blue, photo));
        QImage part = solid(9, 7, kBg);
        QPainter(&part).drawImage(0, 0, reference(Kind::Red, photo).copy(0, 0, 4, 3));
        QCOMPARE(run(e, Kind::Red, 4, 3), part);

        // Emboss counts its own rows 1..h-2 of h, whatever the picture size (the viewer test sees the bar).
        QVERIFY(e.begin(Kind::Grey, 9, 7));
        const uchar* buffer = e.workPicture().constBits();
        e.finish(QSize(2, 2));
        QVERIFY(e.begin(Kind::Emboss, 100, 100));
        QCOMPARE(e.firstRow(), 1);
        QCOMPARE(e.endRow(), 6);
        QCOMPARE(e.progressAfter(5), 5.0 / 7.0 * 100.0);
        // The output buffer is reused from run to run.
        QCOMPARE(e.workPicture().constBits(), buffer);
        e.finish(QSize(2, 2));
        QCOMPARE(e.workPicture().constBits(), e.sourceCopy().constBits());

        Enhancer empty;
        QVERIFY(!empty.begin(Kind::Grey, 640, 480));
        QVERIFY(empty.invert(QSize(640, 480)).isNull());
    }

    void displayScaling() {
        // Pictures larger than the area are box-averaged: halves stay apart,
        // fine detail becomes its mean, whichever sums the box sizes need.
        const std::pair<QSize, QSize> larger[] = {{{1920, 1000}, {640, 480}}, {{600, 40}, {2, 2}}, {{40, 600}, {2, 2}}};
        for (const auto& [picture, display] : larger) {
            QImage halves = solid(picture.width(), picture.height(), qRgb(255, 254, 3));
            QPainter(&halves).fillRect(QRect(QPoint(picture.width() / 2, 0), picture), QColor(9, 128, 250));
            const QImage out = scaleForDisplay(halves, display);
            QCOMPARE(out.pixel(0, 0), qRgb(255, 254, 3));
            QCOMPARE(out.pixel(display.width() - 1, display.height() - 1), qRgb(9, 128, 250));
        }
        QImage checks(1280, 960, QImage::Format_RGB32);
        for (int y = 0; y < 960; ++y)
            for (int x = 0; x < 1280; ++x)
                checks.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(200, 100, 50));
        QCOMPARE(scaleForDisplay(checks, QSize(640, 480)).pixel(100, 100), qRgb(100, 50, 25));
        // Smaller and oddly shaped pictures are stretched to fill it.
        const QImage filled = solid(640, 480, qRgb(1, 2, 3));
        for (QSize s : {QSize(10, 10), QSize(3000, 20), QSize(640, 480)})
            QCOMPARE(scaleForDisplay(solid(s.width(), s.height(), qRgb(1, 2, 3)), filled.size()), filled);
    }
};

QTEST_GUILESS_MAIN(FiltersTest)
#include "test_filters.moc"
