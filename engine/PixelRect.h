/// @file PixelRect.h
/// Rectangles on the display's render target, in fractional pixels and in whole pixels, and
/// which pixels the rasteriser may fill for a rectangle: shared by the character batch and its
/// glyph atlas.
#pragma once

#include <algorithm>
#include <cmath>

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

} // namespace ks
