/// @file FrameDigest.h
/// A running hash of what a frame draws: every character's position, glyph and colour, in
/// the order drawn (later characters hide earlier ones, so the order is part of the picture).
/// Two frames with the same digest drew the same characters; recordings keep one digest per
/// frame, and a replay compares its own against them.
///
///     FrameDigest digest;
///     digest.add(10.5f, 3, 'A', 0xFF0000FF); // for every character drawn
///     uint32_t hash = digest.finish();        // the frame's digest; starts the next frame
#pragma once

#include <cstdint>

namespace ks {

class FrameDigest
{
public:
    /// Mixes one character into the frame: position in spaces (column, row), glyph as a
    /// Unicode code point, colour as 0xRRGGBBAA.
    void add(float x, float y, uint32_t codePoint, uint32_t rgba);

    /// The digest of the characters added since the last finish(); starts a new frame.
    uint32_t finish();

    /// Characters added since the last finish().
    int getCount() const;

private:
    uint64_t state = 0; ///< mixed so far in this frame
    int count = 0;      ///< characters in this frame
};

} // namespace ks
