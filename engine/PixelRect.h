/// @file PixelRect.h
/// Rectangles on the display's render target, in fractional pixels and in whole pixels, which
/// pixels the rasteriser may fill for a rectangle, and rows of pixels as bits: shared by the
/// character batch and its parts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "SfmlCompat.h"

namespace ks {

/// A rectangle in pixels: left and top inside, right and bottom just outside.
struct PixelRect
{
    float left, top, right, bottom;

    /// True when the rectangle holds no point.
    bool isEmpty() const
    {
        return !(left < right && top < bottom);
    }
};

/// Pixels [x0, x1) x [y0, y1).
struct PixelSpan
{
    int x0, y0, x1, y1;
};

/// How far (in pixels) an edge may move between where it is computed here and where the
/// rasteriser puts it; a pixel centre closer than this to an edge counts on both sides.
inline constexpr float EDGE_SLACK = 1.f / 64;

/// Every pixel of a width x height target whose centre r may reach.
inline PixelSpan touchedPixels(const PixelRect& r, int width, int height)
{
    if (r.isEmpty())
        return PixelSpan{0, 0, 0, 0};
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    auto low = [](float v, float limit) {
        return static_cast<int>(std::ceil(std::clamp(v - 0.5f - EDGE_SLACK, -1.f, limit)));
    };
    auto high = [](float v, float limit) {
        return static_cast<int>(std::ceil(std::clamp(v - 0.5f + EDGE_SLACK, -1.f, limit)));
    };
    return PixelSpan{std::max(low(r.left, w), 0), std::max(low(r.top, h), 0), std::min(high(r.right, w), width),
                     std::min(high(r.bottom, h), height)};
}

/// Only the pixels of a width x height target whose centres r surely holds.
inline PixelSpan insidePixels(const PixelRect& r, int width, int height)
{
    if (r.isEmpty())
        return PixelSpan{0, 0, 0, 0};
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    auto at = [](float v, float slack, float limit) {
        return static_cast<int>(std::ceil(std::clamp(v - 0.5f + slack, -1.f, limit)));
    };
    return PixelSpan{std::max(at(r.left, EDGE_SLACK, w), 0), std::max(at(r.top, EDGE_SLACK, h), 0),
                     std::min(at(r.right, -EDGE_SLACK, w), width), std::min(at(r.bottom, -EDGE_SLACK, h), height)};
}

/// How far beyond its quad a glyph drawn off whole pixels may put ink: where the draw's
/// transform rounds a row's position differently from the sum done here, by up to a pixel.
inline constexpr float INK_MARGIN = 1;

/// r grown by d on every side.
inline PixelRect grown(const PixelRect& r, float d)
{
    return PixelRect{r.left - d, r.top - d, r.right + d, r.bottom + d};
}

/// r moved down by dy.
inline PixelRect moved(const PixelRect& r, float dy)
{
    return PixelRect{r.left, r.top + dy, r.right, r.bottom + dy};
}

/// The part of a cell's y that a draw's transform must carry (see compat::BATCH_ROW_IN_TRANSFORM).
inline float rowOf(float y)
{
    return compat::BATCH_ROW_IN_TRANSFORM ? y : 0;
}

/// Floor of a / b for b > 0.
inline int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

/// Positions beyond this many pixels from the target's corner never count as whole pixels
/// (a float is then too coarse for fractions of a pixel to mean anything).
inline constexpr float WHOLE_PIXEL_LIMIT = 1e6f;

/// Whether v is a whole number of pixels (and small enough to be one exactly). A cast, not
/// std::floor, which is a library call on the baseline x86-64 this builds for.
inline bool isWholePixel(float v)
{
    return v > -WHOLE_PIXEL_LIMIT && v < WHOLE_PIXEL_LIMIT && static_cast<float>(static_cast<int>(v)) == v;
}

/// Bits in a word of a pixel bit map (a row of PIXEL_WORD_BITS pixels, bit i the i-th).
inline constexpr int PIXEL_WORD_BITS = 64;

/// Bits [from, to) of a word.
inline std::uint64_t bitRange(int from, int to)
{
    from = std::max(from, 0);
    if (from >= std::min(to, PIXEL_WORD_BITS))
        return 0;
    const std::uint64_t upTo = to >= PIXEL_WORD_BITS ? ~std::uint64_t(0) : (std::uint64_t(1) << to) - 1;
    return upTo & ~((std::uint64_t(1) << from) - 1);
}

/// Sets the bits of pixels [x0, x1) x [y0, y1) in a bit map whose rows have words words.
inline void setBits(std::vector<std::uint64_t>& bits, int words, int x0, int y0, int x1, int y1)
{
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int w = x0 / PIXEL_WORD_BITS; w <= (x1 - 1) / PIXEL_WORD_BITS; w++)
    {
        const std::uint64_t mask = bitRange(x0 - w * PIXEL_WORD_BITS, x1 - w * PIXEL_WORD_BITS);
        for (int y = y0; y < y1; y++)
            bits[static_cast<std::size_t>(y * words + w)] |= mask;
    }
}

/// Whether all (or, with all false, any) of those bits are set; an empty span has all set
/// and none.
inline bool bitsSet(const std::vector<std::uint64_t>& bits, int words, int x0, int y0, int x1, int y1, bool all)
{
    if (x0 >= x1 || y0 >= y1)
        return all;
    for (int w = x0 / PIXEL_WORD_BITS; w <= (x1 - 1) / PIXEL_WORD_BITS; w++)
    {
        const std::uint64_t mask = bitRange(x0 - w * PIXEL_WORD_BITS, x1 - w * PIXEL_WORD_BITS);
        for (int y = y0; y < y1; y++)
        {
            const std::uint64_t set = bits[static_cast<std::size_t>(y * words + w)] & mask;
            if (all ? set != mask : set != 0)
                return !all;
        }
    }
    return all;
}

/// Bits from the lowest to the highest set bit of a non-zero word.
inline std::uint64_t hull(std::uint64_t bits)
{
    return bitRange(__builtin_ctzll(bits), PIXEL_WORD_BITS - __builtin_clzll(bits));
}

} // namespace ks
