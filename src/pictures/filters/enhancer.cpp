#include "pictures/filters/enhancer.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <vector>

namespace veil::filters {

// The channel sums take a pixel's bytes as blue, green, red, alpha.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);

namespace {

Pixel* row(QImage& image, int y) { return reinterpret_cast<Pixel*>(image.scanLine(y)); }
const Pixel* row(const QImage& image, int y) {
    return reinterpret_cast<const Pixel*>(image.constScanLine(y));
}

// Adds one or two rows' channel bytes to the column sums (4 sums a pixel).
template <class Sum>
inline __attribute__((always_inline)) void addRowsBody(Sum* __restrict sums, const unsigned char* __restrict a,
                                                       const unsigned char* __restrict b, int count) {
    if (b) {
        for (int i = 0; i < count; ++i)
            sums[i] += Sum(a[i] + b[i]);
    } else {
        for (int i = 0; i < count; ++i)
            sums[i] += a[i];
    }
}

template <class Sum>
void addRowsBase(Sum* sums, const unsigned char* a, const unsigned char* b, int count) {
    addRowsBody(sums, a, b, count);
}

#if defined(__x86_64__) && defined(__GNUC__)
template <class Sum>
__attribute__((target("avx2"))) void addRowsWide(Sum* sums, const unsigned char* a,
                                                 const unsigned char* b, int count) {
    addRowsBody(sums, a, b, count);
}
#endif

template <class Sum>
void addRows(Sum* sums, const unsigned char* a, const unsigned char* b, int count) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (wideInstructions())
        return addRowsWide(sums, a, b, count);
#endif
    addRowsBase(sums, a, b, count);
}

// Box average: every display pixel is the mean of the picture pixels whose
// top-left corners fall into its area. With 16-bit sums and boxes of at most
// 257 pixels the four sums of a column fit one 64-bit word without carries
// between them, so a box is summed with one addition per column.
template <class Sum>
QImage averageDown(const QImage& picture, QSize size, bool packed) {
    const int W = picture.width(), H = picture.height();
    const int w = size.width(), h = size.height();
    QImage out(size, QImage::Format_RGB32);
    std::vector<Sum> sums(size_t(W) * 4);
    std::vector<int> left(size_t(w) + 1);
    for (int i = 0; i <= w; ++i)
        left[size_t(i)] = int(qint64(i) * W / w);
    for (int oy = 0; oy < h; ++oy) {
        const int top = int(qint64(oy) * H / h), bottom = int(qint64(oy + 1) * H / h);
        std::fill(sums.begin(), sums.end(), Sum(0));
        int y = top;
        for (; y + 2 <= bottom; y += 2)
            addRows(sums.data(), picture.constScanLine(y), picture.constScanLine(y + 1), W * 4);
        if (y < bottom)
            addRows(sums.data(), picture.constScanLine(y), static_cast<const uchar*>(nullptr), W * 4);
        Pixel* dst = row(out, oy);
        const double perRow = 1.0 / (bottom - top);
        for (int ox = 0; ox < w; ++ox) {
            const int x0 = left[size_t(ox)], x1 = left[size_t(ox) + 1];
            std::uint32_t b = 0, g = 0, r = 0;
            if (packed) {
                std::uint64_t all = 0;
                for (int x = x0; x < x1; ++x) {
                    std::uint64_t word;
                    std::memcpy(&word, &sums[size_t(x) * 4], sizeof word);
                    all += word;
                }
                b = std::uint32_t(all & 0xffff);
                g = std::uint32_t(all >> 16 & 0xffff);
                r = std::uint32_t(all >> 32 & 0xffff);
            } else {
                for (int x = x0; x < x1; ++x) {
                    b += sums[size_t(x) * 4];
                    g += sums[size_t(x) * 4 + 1];
                    r += sums[size_t(x) * 4 + 2];
                }
            }
            const double scale = perRow / (x1 - x0);
            dst[ox] = 0xff000000u | Pixel(r * scale + 0.5) << 16 | Pixel(g * scale + 0.5) << 8 |
                      Pixel(b * scale + 0.5);
        }
    }
    return out;
}

} // namespace

QImage scaleForDisplay(const QImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty())
        return {};
    if (picture.size() == size)
        return picture.copy();
    const bool thirtyTwoBit = picture.format() == QImage::Format_RGB32;
    if (!thirtyTwoBit || picture.width() < size.width() || picture.height() < size.height())
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    const qint64 rows = (picture.height() + size.height() - 1) / size.height();
    const qint64 columns = (picture.width() + size.width() - 1) / size.width();
    if (rows <= 257)
        return averageDown<std::uint16_t>(picture, size, rows * columns <= 257);
    return averageDown<std::uint32_t>(picture, size, false);
}

void Enhancer::setPhoto(const QImage& photo) {
    m_running = false;
    m_haveResult = false;
    if (photo.isNull()) {
        m_photo = QImage();
        m_out = QImage();
        return;
    }
    if (photo.hasAlphaChannel()) {
        QImage flat(photo.size(), QImage::Format_RGB32);
        flat.fill(kBackground);
        QPainter p(&flat);
        p.drawImage(0, 0, photo);
        p.end();
        m_photo = std::move(flat);
    } else {
        m_photo = photo.convertToFormat(QImage::Format_RGB32);
    }
    if (m_out.size() != m_photo.size())
        m_out = QImage();
}

void Enhancer::prepareOutput() {
    if (m_out.size() != m_photo.size() || m_out.format() != QImage::Format_RGB32)
        m_out = QImage(m_photo.size(), QImage::Format_RGB32);
}

bool Enhancer::begin(Kind kind, int pictureWidth, int pictureHeight) {
    if (!hasPhoto() || kind == Kind::Invert)
        return false;
    m_kind = kind;
    m_haveResult = false;
    prepareOutput();
    const int W = m_photo.width(), H = m_photo.height();
    if (kind == Kind::Emboss) {
        // Each pixel needs its partner one right and one down; the outermost
        // rows and columns are left as cleared.
        m_rowBegin = 1;
        m_rowEnd = std::max(1, H - 1);
        m_colBegin = 1;
        m_colEnd = std::max(1, W - 1);
        m_progressHeight = H;
    } else {
        m_rowBegin = 0;
        m_rowEnd = std::clamp(pictureHeight, 0, H);
        m_colBegin = 0;
        m_colEnd = std::clamp(pictureWidth, 0, W);
        m_progressHeight = pictureHeight;
    }
    clearOutside();
    m_running = true;
    return true;
}

void Enhancer::clearOutside() {
    // Only what the rows will not write needs clearing: the rest is
    // overwritten before anyone can see it.
    const int W = m_out.width(), H = m_out.height();
    const bool noColumns = m_colEnd <= m_colBegin;
    for (int y = 0; y < H; ++y) {
        Pixel* line = row(m_out, y);
        if (y < m_rowBegin || y >= m_rowEnd || noColumns) {
            std::fill_n(line, W, kBackground);
            continue;
        }
        std::fill_n(line, m_colBegin, kBackground);
        std::fill_n(line + m_colEnd, W - m_colEnd, kBackground);
    }
}

void Enhancer::runRow(int y) {
    if (!m_running || y < m_rowBegin || y >= m_rowEnd || m_colEnd <= m_colBegin)
        return;
    const int n = m_colEnd - m_colBegin;
    const Pixel* src = row(std::as_const(m_photo), y) + m_colBegin;
    Pixel* dst = row(m_out, y) + m_colBegin;
    if (m_kind == Kind::Emboss)
        embossRow(src, row(std::as_const(m_photo), y + 1) + m_colBegin + 1, dst, n);
    else
        rowRule(m_kind)(src, dst, n);
}

double Enhancer::progressAfter(int y) const {
    if (m_progressHeight <= 0)
        return 0.0;
    return double(y) / double(m_progressHeight) * 100.0;
}

QImage Enhancer::finish(QSize display) {
    if (!m_running)
        return {};
    QImage shown = scaleForDisplay(m_out, display);
    m_running = false;
    m_haveResult = true;
    return shown;
}

QImage Enhancer::invert(QSize display) {
    if (!hasPhoto())
        return {};
    prepareOutput();
    const int W = m_photo.width();
    for (int y = 0; y < m_photo.height(); ++y)
        invertRow(row(std::as_const(m_photo), y), row(m_out, y), W);
    m_kind = Kind::Invert;
    m_haveResult = true;
    return scaleForDisplay(m_out, display);
}

} // namespace veil::filters
