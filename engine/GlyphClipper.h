/// @file GlyphClipper.h
/// Clips glyphs from the atlas against the occlusion map: the rectangles of a glyph's ink that
/// boxes drawn later leave showing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "GlyphAtlas.h"
#include "OcclusionMap.h"
#include "PixelRect.h"

namespace ks {

/// Clips a look of a glyph (GlyphAtlas) to what later boxes leave showing, in few rectangles of
/// whole pixels, one quad each. A rectangle may take in pixels without ink (the glyph's quad
/// leaves them as they are) but none with ink that a later box hides. On the grid a look's
/// clip depends only on which of the cells its ink reaches later boxes cover, so it is kept
/// for each such pattern and moved to where the glyph lies: a full grid clips each glyph once.
/// A kept clip is cut into the strips of rows that cost the software renderer least, weighing
/// each quad against the blocks of pixels without ink that a longer strip would take in; a clip made
/// again every frame (off the grid) is cut into the longest strips, which is quick.
///
///     GlyphClipper clipper(atlas, occlusion, 1024, 768);
///     clipper.addLooks();                                // after the atlas gained looks
///     const GlyphClipper::Clip c = clipper.clip(look, x, penY, column, row, true);
///     for (std::size_t i = c.first; i < c.first + c.count; i++) draw(clipper.rect(i));
class GlyphClipper
{
public:
    /// Where a clip's rectangles lie among rect(i).
    struct Clip
    {
        std::uint32_t first = 0;
        std::uint16_t count = 0;
    };

    /// A clipper of atlas's looks against occlusion on a width x height target; both must
    /// outlive it.
    GlyphClipper(const GlyphAtlas& atlas, const OcclusionMap& occlusion, int width, int height);

    /// Forgets the kept clips (after the atlas's font changed).
    void reset();
    /// Makes room for the looks the atlas gained, keeping the clips of the others.
    void addLooks();
    /// Forgets the frame's rectangles.
    void beginFrame();
    /// Clips look drawn with its pen at (x, penY), in cell (column, row) of the occlusion map's
    /// cells (-1, -1 when it has none); with cellsOnly every box of the frame is a whole cell's
    /// and the cells alone say what is covered. Appends the rectangles that show.
    Clip clip(const GlyphAtlas::Look& look, int x, int penY, int column, int row, bool cellsOnly);
    /// A rectangle of this frame's clips; an emptied one (x0 == x1) is left out.
    PixelSpan& rect(std::size_t i);

private:
    int coverPattern(const GlyphAtlas::Look& look, int x, int penY, int column, int row, bool cellsOnly) const;
    /// A row of a glyph's ink on the target: pixel row y, its ink that shows and its ink that
    /// later boxes hide, a bit a column from the ink's left.
    struct InkRow
    {
        int y;
        std::uint64_t shows, hidden;
    };

    Clip clipNow(const GlyphAtlas::Look& look, int x, int penY, bool cellsOnly, bool kept);
    void collectRows(const GlyphAtlas::Look& look, int x, int penY, bool cellsOnly);
    void addRuns(int left, const InkRow& row);
    void addLongestStrips(int left);
    void addCheapestStrips(int left);

    const GlyphAtlas& atlas;
    const OcclusionMap& occlusion;
    int width, height;
    std::vector<PixelSpan> rects; // this frame's, on the target
    // For each look and pattern of later boxes over the cells its ink reaches (a bit a cell):
    // the first of its rectangles in keptRects, relative to the pen, or -1 until it is first
    // clipped; and how many.
    std::vector<int> keptFirst;
    std::vector<std::uint8_t> keptCount;
    std::vector<PixelSpan> keptRects;
    // Scratch of one clip: its rows with ink, those of them that show, and the least cost of
    // strips over the first k of those with where the last strip starts.
    std::vector<InkRow> inkRows;
    std::vector<std::size_t> shownRows;
    std::vector<long long> cost;
    std::vector<std::size_t> cut;
};

inline PixelSpan& GlyphClipper::rect(std::size_t i)
{
    return rects[i];
}

} // namespace ks
