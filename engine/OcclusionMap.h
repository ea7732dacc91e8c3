/// @file OcclusionMap.h
/// The character batch's occlusion maps: which pixels the boxes drawn later in a frame hide, and
/// where glyphs drawn so far may have left ink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "GlyphAtlas.h"
#include "PixelRect.h"

namespace ks {

/// Occlusion and ink for one frame of characters on a width x height target. Every character
/// paints an opaque box, so a frame walked from its last character back learns, box by box,
/// which pixels nothing before can show through (the occlusion). Two maps answer that:
/// - a byte per cell, when the boxes of whole cells tile the target (cell (c, r)'s box holds
///   exactly the pixels [c * cellWidth + cellLeft, +cellWidth) x [r * cellHeight + cellTop,
///   +cellHeight)): most questions on the grid are answered without looking at pixels;
/// - a bit per pixel, for boxes off the grid.
/// A third map, walked in call order, notes the pixels where glyphs so far may have left ink, so
/// that a box over ink is painted again among the glyphs.
///
///     OcclusionMap map(1024, 768, 12, 32, boxOfCellOneOne);
///     map.clearCells();
///     const bool boxShows = map.coverCell(map.cellIndex(3, 2)); // false if a later box hid it
class OcclusionMap
{
public:
    /// Maps for a target of width x height pixels with cells of cellWidth x cellHeight, whose
    /// cell (1, 1) has its box at innerBox (in target pixels): the cells tile the target when that
    /// box holds exactly one cell's worth of whole pixels.
    OcclusionMap(int width, int height, float cellWidth, float cellHeight, const PixelRect& innerBox);

    // ---- boxes of whole cells ----

    /// True when boxes of whole cells tile the target and the byte per cell can stand for them.
    bool cellsTile() const;
    /// Where cell (0, 0)'s box begins, in pixels from the target's corner; 0 unless cellsTile.
    int cellLeft() const;
    int cellTop() const;
    /// Cells of the byte map across and down; 0 unless cellsTile.
    int columns() const;
    int rows() const;
    /// The index of cell (column, row) in the byte map, or -1 when it has none.
    int cellIndex(int column, int row) const;
    /// Forgets every covered cell.
    void clearCells();
    /// Marks a cell's box as drawn later than everything still to come; true when it was not yet.
    bool coverCell(int cell);
    /// Whether a box drawn later covers cell (column, row); the cell must be in the map.
    bool isCellCovered(int column, int row) const;
    /// Whether later boxes cover every cell of columns [c0, c1] x rows [r0, r1] that lies on the
    /// target. False when some of those cells lie beyond the map, which cannot tell.
    bool coversCells(int c0, int r0, int c1, int r1) const;
    /// Cells [c0, c1] x [r0, r1] that later boxes cover, a bit each, row by row from bit 0; -1
    /// when some lie beyond the target's edge cells.
    int coverPattern(int c0, int r0, int c1, int r1) const;
    /// Pixel columns [left, left + count) (count at most PIXEL_WORD_BITS) that later boxes of
    /// whole cells cover in the row of cells row, a bit each.
    std::uint64_t cellsCovering(int left, int count, int row) const;
    /// The row of cells whose boxes hold pixel row y, and the first pixel row of a row of cells.
    int cellRowAt(int y) const;
    int cellRowTop(int row) const;

    // ---- pixels under later boxes ----

    /// Forgets every covered pixel.
    void clearPixels();
    /// Marks pixels as hidden by a box drawn later.
    void cover(const PixelSpan& s);
    /// Whether later boxes hide every pixel of s; nothing outside the target shows, so an
    /// empty span counts as covered.
    bool isCovered(const PixelSpan& s) const;
    /// Pixels x to x + PIXEL_WORD_BITS - 1 of row y that later boxes hide, a bit each (none left
    /// of the target); x > -PIXEL_WORD_BITS.
    std::uint64_t coveredFrom(int x, int y) const;
    /// r less its edge rows and columns of pixels that later boxes hide; empty if none is left.
    PixelRect uncovered(const PixelRect& r) const;

    // ---- ink left by glyphs ----

    /// Forgets all ink.
    void clearInk();
    /// Notes that glyphs may have left ink anywhere in s.
    void markInk(const PixelSpan& s);
    /// Notes the ink of a look from the atlas, drawn with its ink's top-left pixel at (left, top),
    /// inside the rectangle s (which lies on the target).
    void markInk(const GlyphAtlas& atlas, const GlyphAtlas::Look& look, int left, int top, const PixelSpan& s);
    /// Whether no glyph so far may have left ink in s.
    bool isInkless(const PixelSpan& s) const;
    /// The part of box that may lie over ink: the box less its edge rows and columns of pixels
    /// without ink; empty when there is none.
    PixelRect inkUnder(const PixelRect& box) const;

private:
    PixelRect trimmed(const PixelRect& r, bool (OcclusionMap::*drop)(const PixelSpan&) const) const;

    int width, height;
    int cellWidth = 0, cellHeight = 0; // whole pixels, when the cells tile
    int words;                         // PIXEL_WORD_BITS-pixel words per row of the bit maps
    bool tiles = false;
    int left = 0, top = 0, cellColumns = 0, cellRows = 0;
    int firstRow = 0, lastColumn = 0, lastRow = 0; // the cells of the target's edges (column 0 first)
    std::vector<std::uint8_t> cellCovered;         // a byte per cell: a later box covers it
    std::vector<std::uint64_t> coverage;           // a bit per pixel: a later box hides it
    std::vector<std::uint64_t> ink;                // a bit per pixel: a glyph may have left ink
};

inline bool OcclusionMap::coverCell(int cell)
{
    std::uint8_t& covered = cellCovered[static_cast<std::size_t>(cell)];
    const bool was = covered != 0;
    covered = 1;
    return !was;
}

inline bool OcclusionMap::isCellCovered(int column, int row) const
{
    return cellCovered[static_cast<std::size_t>(row * cellColumns + column)] != 0;
}

} // namespace ks
