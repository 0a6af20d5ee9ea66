#pragma once

#include <cstdint>

// The enhancement filters' pixel rules, one scan line at a time, on 32-bit
// pixels laid out as QImage::Format_RGB32 (0xffRRGGBB). Every rule writes
// opaque pixels (alpha 0xff) whatever the alpha of its input.
//
// The rules are free of widgets and of QImage so that they can be measured
// and checked on their own; the callers hand them rows.
namespace veil::filters {

using Pixel = std::uint32_t;

enum class Kind { Invert, Solarize, Emboss, Grey, Red, Green, Blue };

// Every channel c becomes 255 - c.
void invertRow(const Pixel* src, Pixel* dst, int n);
// Channels below 128 are turned over (255 - c), the others kept.
void solarizeRow(const Pixel* src, Pixel* dst, int n);
// v = R * 0.33 + G * 0.56 + B * 0.11 in double precision, summed in that
// order and rounded to the nearest integer, halves to even; output (v, v, v).
void greyRow(const Pixel* src, Pixel* dst, int n);
// One channel kept, the other two zero.
void redRow(const Pixel* src, Pixel* dst, int n);
void greenRow(const Pixel* src, Pixel* dst, int n);
void blueRow(const Pixel* src, Pixel* dst, int n);
// dst[i] from src[i] and its partner other[i] (the caller passes the pixel one
// right and one down): each channel min(255, |c - c2 + 128|).
void embossRow(const Pixel* src, const Pixel* other, Pixel* dst, int n);

// The rule of a one-source filter (every kind but Emboss).
using RowRule = void (*)(const Pixel* src, Pixel* dst, int n);
RowRule rowRule(Kind kind);

// One pixel of the Grey rule, exactly as greyRow computes it.
int greyValue(int r, int g, int b);

// Whether the rules use the AVX2 copies (chosen by the processor at start).
// Tests and benchmarks switch them off to exercise the plain x86-64 code;
// switching on again succeeds only where the processor has AVX2.
bool wideInstructions();
bool setWideInstructions(bool on);

} // namespace veil::filters
