#include "OcclusionMap.h"

#include <algorithm>

namespace ks {

OcclusionMap::OcclusionMap(int width, int height, float cellWidth, float cellHeight, const PixelRect& innerBox)
    : width(width),
      height(height),
      words((width + PIXEL_WORD_BITS - 1) / PIXEL_WORD_BITS),
      coverage(static_cast<std::size_t>(words * height), 0),
      ink(coverage.size(), 0)
{
    const PixelSpan box = insidePixels(innerBox, width, height);
    if (!isWholePixel(cellWidth) || !isWholePixel(cellHeight) || static_cast<float>(box.x1 - box.x0) != cellWidth ||
        static_cast<float>(box.y1 - box.y0) != cellHeight)
        return;
    tiles = true;
    this->cellWidth = static_cast<int>(cellWidth);
    this->cellHeight = static_cast<int>(cellHeight);
    left = box.x0 - this->cellWidth;
    top = box.y0 - this->cellHeight;
    cellColumns = (width - left + this->cellWidth - 1) / this->cellWidth;
    cellRows = (height - top + this->cellHeight - 1) / this->cellHeight;
    cellCovered.assign(static_cast<std::size_t>(cellColumns * cellRows), 0);
    firstRow = floorDiv(-top, this->cellHeight);
    lastColumn = floorDiv(width - 1 - left, this->cellWidth);
    lastRow = floorDiv(height - 1 - top, this->cellHeight);
}

bool OcclusionMap::cellsTile() const
{
    return tiles;
}

int OcclusionMap::cellLeft() const
{
    return left;
}

int OcclusionMap::cellTop() const
{
    return top;
}

int OcclusionMap::columns() const
{
    return cellColumns;
}

int OcclusionMap::rows() const
{
    return cellRows;
}

int OcclusionMap::cellIndex(int column, int row) const
{
    if (!tiles || column < 0 || row < 0 || column >= cellColumns || row >= cellRows)
        return -1;
    return row * cellColumns + column;
}

void OcclusionMap::clearCells()
{
    std::fill(cellCovered.begin(), cellCovered.end(), 0);
}

bool OcclusionMap::coversCells(int c0, int r0, int c1, int r1) const
{
    c0 = std::max(c0, 0);
    c1 = std::min(c1, lastColumn);
    r0 = std::max(r0, firstRow);
    r1 = std::min(r1, lastRow);
    if (r0 < 0 || c1 >= cellColumns || r1 >= cellRows)
        return false;
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++)
            if (cellCovered[static_cast<std::size_t>(r * cellColumns + c)] == 0)
                return false;
    return true;
}

int OcclusionMap::coverPattern(int c0, int r0, int c1, int r1) const
{
    if (c0 < 0 || r0 < 0 || c1 > lastColumn || r1 > lastRow)
        return -1;
    int pattern = 0, bit = 0;
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++, bit++)
            if (cellCovered[static_cast<std::size_t>(r * cellColumns + c)] != 0)
                pattern |= 1 << bit;
    return pattern;
}

std::uint64_t OcclusionMap::cellsCovering(int x, int count, int row) const
{
    if (row < 0 || row >= cellRows)
        return 0;
    const int first = std::max(floorDiv(x - left, cellWidth), 0);
    const int last = std::min(floorDiv(x + count - 1 - left, cellWidth), cellColumns - 1);
    std::uint64_t covered = 0;
    for (int column = first; column <= last; column++)
        if (cellCovered[static_cast<std::size_t>(row * cellColumns + column)] != 0)
            covered |= bitRange(column * cellWidth + left - x, column * cellWidth + left + cellWidth - x);
    return covered;
}

int OcclusionMap::cellRowAt(int y) const
{
    return floorDiv(y - top, cellHeight);
}

int OcclusionMap::cellRowTop(int row) const
{
    return row * cellHeight + top;
}

void OcclusionMap::clearPixels()
{
    std::fill(coverage.begin(), coverage.end(), 0);
}

void OcclusionMap::cover(const PixelSpan& s)
{
    setBits(coverage, words, s.x0, s.y0, s.x1, s.y1);
}

bool OcclusionMap::isCovered(const PixelSpan& s) const
{
    return bitsSet(coverage, words, s.x0, s.y0, s.x1, s.y1, true);
}

std::uint64_t OcclusionMap::coveredFrom(int x, int y) const
{
    const int from = std::max(x, 0);
    const std::uint64_t* row = &coverage[static_cast<std::size_t>(y * words)];
    const int w = from / PIXEL_WORD_BITS, shift = from % PIXEL_WORD_BITS;
    std::uint64_t bits = row[w] >> shift;
    if (shift != 0 && w + 1 < words)
        bits |= row[w + 1] << (PIXEL_WORD_BITS - shift);
    return bits << (from - x);
}

PixelRect OcclusionMap::uncovered(const PixelRect& r) const
{
    return trimmed(r, &OcclusionMap::isCovered);
}

void OcclusionMap::clearInk()
{
    std::fill(ink.begin(), ink.end(), 0);
}

void OcclusionMap::markInk(const PixelSpan& s)
{
    setBits(ink, words, s.x0, s.y0, s.x1, s.y1);
}

void OcclusionMap::markInk(const GlyphAtlas& atlas, const GlyphAtlas::Look& look, int inkLeft, int inkTop,
                           const PixelSpan& s)
{
    for (int y = s.y0; y < s.y1; y++)
    {
        // Bit i of a look's ink row is column inkLeft + i; s lies inside the target, so no bit
        // left of column 0 is set.
        const std::uint64_t bits = atlas.inkRow(look.inkRows + static_cast<std::size_t>(y - inkTop)) &
                                   bitRange(s.x0 - inkLeft, s.x1 - inkLeft);
        std::uint64_t* row = &ink[static_cast<std::size_t>(y * words)];
        if (inkLeft < 0)
        {
            row[0] |= bits >> -inkLeft;
            continue;
        }
        const int w = inkLeft / PIXEL_WORD_BITS, shift = inkLeft % PIXEL_WORD_BITS;
        row[w] |= bits << shift;
        if (shift != 0 && w + 1 < words)
            row[w + 1] |= bits >> (PIXEL_WORD_BITS - shift);
    }
}

bool OcclusionMap::isInkless(const PixelSpan& s) const
{
    return !bitsSet(ink, words, s.x0, s.y0, s.x1, s.y1, false);
}

PixelRect OcclusionMap::inkUnder(const PixelRect& box) const
{
    if (isInkless(touchedPixels(box, width, height)))
        return PixelRect{0, 0, 0, 0};
    return trimmed(box, &OcclusionMap::isInkless);
}

// r less the whole pixel rows and columns at its edges for which drop is true; an edge moved
// lies between pixel centres, so the pixels left keep their values.
PixelRect OcclusionMap::trimmed(const PixelRect& r, bool (OcclusionMap::*drop)(const PixelSpan&) const) const
{
    const PixelSpan all = touchedPixels(r, width, height);
    PixelSpan s = all;
    while (s.y0 < s.y1 && (this->*drop)(PixelSpan{s.x0, s.y0, s.x1, s.y0 + 1}))
        s.y0++;
    while (s.y0 < s.y1 && (this->*drop)(PixelSpan{s.x0, s.y1 - 1, s.x1, s.y1}))
        s.y1--;
    while (s.x0 < s.x1 && (this->*drop)(PixelSpan{s.x0, s.y0, s.x0 + 1, s.y1}))
        s.x0++;
    while (s.x0 < s.x1 && (this->*drop)(PixelSpan{s.x1 - 1, s.y0, s.x1, s.y1}))
        s.x1--;
    if (s.x0 >= s.x1 || s.y0 >= s.y1)
        return PixelRect{0, 0, 0, 0};
    auto edge = [](int moved, int was, float keep) {
        return moved == was ? keep : static_cast<float>(moved);
    };
    return PixelRect{edge(s.x0, all.x0, r.left), edge(s.y0, all.y0, r.top), edge(s.x1, all.x1, r.right),
                     edge(s.y1, all.y1, r.bottom)};
}

} // namespace ks
