#include "pictures/filters/pixelrules.h"

#include <cmath>
#include <cstdint>

// Each rule exists twice on x86-64: once for any x86-64 (SSE2) and once for
// machines with AVX2, picked when the program starts; the build itself stays
// runnable everywhere. The plain copies of the simple rules are loops that
// GCC vectorises at -O3; Grey and Emboss are written with intrinsics, since
// the compiler's own vector code for them is about twice as slow.
//
// Grey must give the double-precision sum in the stated order, rounded half
// to even, for every colour. That rules out fused multiply-adds (this file is
// built with -ffp-contract=off, and the AVX2 copies do not enable FMA) and
// any reassociation; the vector code does the same three products and two
// additions per pixel as the plain formula.
#if defined(__x86_64__) && defined(__GNUC__)
#define VEIL_X86 1
#include <immintrin.h>
#define VEIL_AVX2 __attribute__((target("avx2")))
#define VEIL_INLINE inline __attribute__((always_inline))
#else
#define VEIL_X86 0
#define VEIL_INLINE inline
#endif

namespace veil::filters {

namespace {

constexpr Pixel kOpaque = 0xff000000u;
constexpr double kR = 0.33, kG = 0.56, kB = 0.11;

bool g_wide =
#if VEIL_X86
    __builtin_cpu_supports("avx2");
#else
    false;
#endif

VEIL_INLINE void invertBody(const Pixel* __restrict src, Pixel* __restrict dst, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = ~src[i] | kOpaque;
}

VEIL_INLINE void solarizeBody(const Pixel* __restrict src, Pixel* __restrict dst, int n) {
    for (int i = 0; i < n; ++i) {
        const Pixel p = src[i];
        // 0x01 in each channel whose top bit is clear (c < 128), times 0xff:
        // flipping all eight bits of such a channel gives 255 - c.
        const Pixel low = ((~p & 0x00808080u) >> 7) * 0xffu;
        dst[i] = (p ^ low) | kOpaque;
    }
}

template <Pixel Mask>
VEIL_INLINE void channelBody(const Pixel* __restrict src, Pixel* __restrict dst, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = (src[i] & Mask) | kOpaque;
}

Pixel greyPixel(Pixel p) {
    const double v = double(int((p >> 16) & 0xff)) * kR + double(int((p >> 8) & 0xff)) * kG +
                     double(int(p & 0xff)) * kB;
    return (Pixel(std::nearbyint(v)) * 0x010101u) | kOpaque;
}

Pixel embossPixel(Pixel a, Pixel b) {
    Pixel out = kOpaque;
    for (int shift = 0; shift < 24; shift += 8) {
        int d = int((a >> shift) & 0xff) - int((b >> shift) & 0xff) + 128;
        d = d < 0 ? -d : d;
        out |= Pixel(d > 255 ? 255 : d) << shift;
    }
    return out;
}

#if VEIL_X86

// The AVX2 copies write with streaming stores: an output row is not read
// again before it has long left the caches, so writing it past them saves
// fetching every destination line first. Those stores need 32-byte aligned
// addresses; the pixels before the first such address go one by one.
int alignedHead(const Pixel* dst, int n) {
    const int head = int(((32 - (reinterpret_cast<std::uintptr_t>(dst) & 31)) & 31) / sizeof(Pixel));
    return head < n ? head : n;
}

void greyBase(const Pixel* src, Pixel* dst, int n) {
    const __m128d r = _mm_set1_pd(kR), g = _mm_set1_pd(kG), b = _mm_set1_pd(kB);
    const __m128i byte = _mm_set1_epi32(0xff);
    // Adding and taking away 1.5 * 2^52 rounds to a whole number in the
    // current rounding mode (to nearest, halves to even) without SSE4.1.
    const __m128d magic = _mm_set1_pd(6755399441055744.0);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i ri = _mm_and_si128(_mm_srli_epi32(p, 16), byte);
        const __m128i gi = _mm_and_si128(_mm_srli_epi32(p, 8), byte);
        const __m128i bi = _mm_and_si128(p, byte);
        __m128i v[2];
        for (int half = 0; half < 2; ++half) {
            const int sh = half ? 8 : 0;
            const __m128d rd = _mm_cvtepi32_pd(_mm_srli_si128(ri, sh));
            const __m128d gd = _mm_cvtepi32_pd(_mm_srli_si128(gi, sh));
            const __m128d bd = _mm_cvtepi32_pd(_mm_srli_si128(bi, sh));
            __m128d s = _mm_add_pd(_mm_add_pd(_mm_mul_pd(rd, r), _mm_mul_pd(gd, g)), _mm_mul_pd(bd, b));
            s = _mm_sub_pd(_mm_add_pd(s, magic), magic);
            v[half] = _mm_cvttpd_epi32(s);
        }
        const __m128i grey = _mm_unpacklo_epi64(v[0], v[1]);
        const __m128i out = _mm_or_si128(
            _mm_or_si128(grey, _mm_slli_epi32(grey, 8)),
            _mm_or_si128(_mm_slli_epi32(grey, 16), _mm_set1_epi32(int(kOpaque))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
    for (; i < n; ++i)
        dst[i] = greyPixel(src[i]);
}

VEIL_AVX2 void greyWide(const Pixel* src, Pixel* dst, int n) {
    const __m256d r = _mm256_set1_pd(kR), g = _mm256_set1_pd(kG), b = _mm256_set1_pd(kB);
    const __m256i byte = _mm256_set1_epi32(0xff);
    int i = 0;
    for (const int head = alignedHead(dst, n); i < head; ++i)
        dst[i] = greyPixel(src[i]);
    for (; i + 8 <= n; i += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i ri = _mm256_and_si256(_mm256_srli_epi32(p, 16), byte);
        const __m256i gi = _mm256_and_si256(_mm256_srli_epi32(p, 8), byte);
        const __m256i bi = _mm256_and_si256(p, byte);
        __m128i v[2];
        for (int half = 0; half < 2; ++half) {
            const __m256d rd = _mm256_cvtepi32_pd(half ? _mm256_extracti128_si256(ri, 1) : _mm256_castsi256_si128(ri));
            const __m256d gd = _mm256_cvtepi32_pd(half ? _mm256_extracti128_si256(gi, 1) : _mm256_castsi256_si128(gi));
            const __m256d bd = _mm256_cvtepi32_pd(half ? _mm256_extracti128_si256(bi, 1) : _mm256_castsi256_si128(bi));
            __m256d s = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(rd, r), _mm256_mul_pd(gd, g)),
                                      _mm256_mul_pd(bd, b));
            s = _mm256_round_pd(s, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
            v[half] = _mm256_cvttpd_epi32(s);
        }
        const __m256i grey = _mm256_set_m128i(v[1], v[0]);
        const __m256i out = _mm256_or_si256(
            _mm256_or_si256(grey, _mm256_slli_epi32(grey, 8)),
            _mm256_or_si256(_mm256_slli_epi32(grey, 16), _mm256_set1_epi32(int(kOpaque))));
        _mm256_stream_si256(reinterpret_cast<__m256i*>(dst + i), out);
    }
    for (; i < n; ++i)
        dst[i] = greyPixel(src[i]);
    _mm_sfence();
}

// |a - b + 128| clamped to 255, per byte, in 16-bit lanes: the packing
// with unsigned saturation does the clamp.
void embossBase(const Pixel* src, const Pixel* other, Pixel* dst, int n) {
    const __m128i zero = _mm_setzero_si128(), bias = _mm_set1_epi16(128);
    const __m128i opaque = _mm_set1_epi32(int(kOpaque));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(other + i));
        __m128i lo = _mm_add_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)), bias);
        __m128i hi = _mm_add_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)), bias);
        lo = _mm_max_epi16(lo, _mm_sub_epi16(zero, lo));
        hi = _mm_max_epi16(hi, _mm_sub_epi16(zero, hi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
    }
    for (; i < n; ++i)
        dst[i] = embossPixel(src[i], other[i]);
}

VEIL_AVX2 void embossWide(const Pixel* src, const Pixel* other, Pixel* dst, int n) {
    const __m256i zero = _mm256_setzero_si256(), bias = _mm256_set1_epi16(128);
    const __m256i opaque = _mm256_set1_epi32(int(kOpaque));
    int i = 0;
    for (const int head = alignedHead(dst, n); i < head; ++i)
        dst[i] = embossPixel(src[i], other[i]);
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(other + i));
        // Unpacking and packing both work within 128-bit halves, so the
        // pixel order comes out as it went in.
        __m256i lo = _mm256_add_epi16(_mm256_sub_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero)), bias);
        __m256i hi = _mm256_add_epi16(_mm256_sub_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero)), bias);
        lo = _mm256_abs_epi16(lo);
        hi = _mm256_abs_epi16(hi);
        _mm256_stream_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_or_si256(_mm256_packus_epi16(lo, hi), opaque));
    }
    for (; i < n; ++i)
        dst[i] = embossPixel(src[i], other[i]);
    _mm_sfence();
}

#define VEIL_BASE(name, body) \
    void name##Base(const Pixel* __restrict s, Pixel* __restrict d, int n) { body(s, d, n); }
VEIL_BASE(invert, invertBody)
VEIL_BASE(solarize, solarizeBody)
VEIL_BASE(red, channelBody<0x00ff0000u>)
VEIL_BASE(green, channelBody<0x0000ff00u>)
VEIL_BASE(blue, channelBody<0x000000ffu>)
#undef VEIL_BASE

// The simple rules as one vector expression each, `p` being 8 source pixels.
#define VEIL_WIDE(name, body, expression)                                                         \
    VEIL_AVX2 void name##Wide(const Pixel* __restrict s, Pixel* __restrict d, int n) {            \
        const __m256i opaque = _mm256_set1_epi32(int(kOpaque));                                   \
        const int head = alignedHead(d, n);                                                       \
        body(s, d, head);                                                                         \
        int i = head;                                                                             \
        for (; i + 8 <= n; i += 8) {                                                              \
            const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));        \
            _mm256_stream_si256(reinterpret_cast<__m256i*>(d + i), _mm256_or_si256(expression, opaque)); \
        }                                                                                         \
        body(s + i, d + i, n - i);                                                                \
        _mm_sfence();                                                                             \
    }
VEIL_WIDE(invert, invertBody, _mm256_xor_si256(p, _mm256_set1_epi32(0x00ffffff)))
// A channel below 128 is a non-negative signed byte: flip all its bits.
VEIL_WIDE(solarize, solarizeBody, _mm256_xor_si256(p, _mm256_cmpgt_epi8(p, _mm256_set1_epi8(-1))))
VEIL_WIDE(red, channelBody<0x00ff0000u>, _mm256_and_si256(p, _mm256_set1_epi32(0x00ff0000)))
VEIL_WIDE(green, channelBody<0x0000ff00u>, _mm256_and_si256(p, _mm256_set1_epi32(0x0000ff00)))
VEIL_WIDE(blue, channelBody<0x000000ffu>, _mm256_and_si256(p, _mm256_set1_epi32(0x000000ff)))
#undef VEIL_WIDE

#define VEIL_PICK(name, ...) (g_wide ? name##Wide(__VA_ARGS__) : name##Base(__VA_ARGS__))

#else // not x86-64: the plain loops only

void greyAny(const Pixel* src, Pixel* dst, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = greyPixel(src[i]);
}
void embossAny(const Pixel* src, const Pixel* other, Pixel* dst, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = embossPixel(src[i], other[i]);
}
void invertAny(const Pixel* s, Pixel* d, int n) { invertBody(s, d, n); }
void solarizeAny(const Pixel* s, Pixel* d, int n) { solarizeBody(s, d, n); }
void redAny(const Pixel* s, Pixel* d, int n) { channelBody<0x00ff0000u>(s, d, n); }
void greenAny(const Pixel* s, Pixel* d, int n) { channelBody<0x0000ff00u>(s, d, n); }
void blueAny(const Pixel* s, Pixel* d, int n) { channelBody<0x000000ffu>(s, d, n); }
#define VEIL_PICK(name, ...) name##Any(__VA_ARGS__)

#endif

} // namespace

void invertRow(const Pixel* src, Pixel* dst, int n) { VEIL_PICK(invert, src, dst, n); }
void solarizeRow(const Pixel* src, Pixel* dst, int n) { VEIL_PICK(solarize, src, dst, n); }
void greyRow(const Pixel* src, Pixel* dst, int n) { VEIL_PICK(grey, src, dst, n); }
void redRow(const Pixel* src, Pixel* dst, int n) { VEIL_PICK(red, src, dst, n); }
void greenRow(const Pixel* src, Pixel* dst, int n) { VEIL_PICK(green, src, dst, n); }
void blueRow(const Pixel* src, Pixel* dst, int n) { VEIL_PICK(blue, src, dst, n); }
void embossRow(const Pixel* src, const Pixel* other, Pixel* dst, int n) {
    VEIL_PICK(emboss, src, other, dst, n);
}

RowRule rowRule(Kind kind) {
    switch (kind) {
    case Kind::Invert: return invertRow;
    case Kind::Solarize: return solarizeRow;
    case Kind::Grey: return greyRow;
    case Kind::Red: return redRow;
    case Kind::Green: return greenRow;
    case Kind::Blue: return blueRow;
    case Kind::Emboss: break;
    }
    return nullptr;
}

int greyValue(int r, int g, int b) {
    const Pixel p = Pixel(r & 0xff) << 16 | Pixel(g & 0xff) << 8 | Pixel(b & 0xff);
    Pixel out = 0;
    greyRow(&p, &out, 1);
    return int(out & 0xff);
}

bool wideInstructions() { return g_wide; }

bool setWideInstructions(bool on) {
#if VEIL_X86
    g_wide = on && __builtin_cpu_supports("avx2");
#else
    (void)on;
#endif
    return g_wide;
}

} // namespace veil::filters
