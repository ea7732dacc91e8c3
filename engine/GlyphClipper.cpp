#include "GlyphClipper.h"

#include <algorithm>
#include <climits>

namespace ks {

namespace {

// A look's clip is kept for each pattern of later boxes over the cells its ink reaches when it
// reaches at most this many.
const int MAX_PATTERN_CELLS = 6;

// Kept clips count their rectangles in a byte.
const int MAX_KEPT_RECTS = 255;

static_assert(GlyphAtlas::INK_ROW_BITS == PIXEL_WORD_BITS, "a row of a look's ink is one word of a pixel bit map");

} // namespace

GlyphClipper::GlyphClipper(const GlyphAtlas& atlas, const OcclusionMap& occlusion, int width, int height)
    : atlas(atlas),
      occlusion(occlusion),
      width(width),
      height(height)
{}

void GlyphClipper::reset()
{
    keptFirst.assign(atlas.lookCount() * (std::size_t(1) << MAX_PATTERN_CELLS), -1);
    keptCount.assign(keptFirst.size(), 0);
    keptRects.clear();
}

void GlyphClipper::beginFrame()
{
    rects.clear();
}

GlyphClipper::Clip GlyphClipper::clip(const GlyphAtlas::Look& look, int x, int penY, int column, int row,
                                      bool cellsOnly)
{
    const int pattern = coverPattern(look, x, penY, column, row, cellsOnly);
    if (pattern < 0)
    {
        if (column >= 0 && occlusion.coversCells(column + look.cellsLeft, row + look.cellsUp, column + look.cellsRight,
                                                 row + look.cellsDown))
            return Clip{};
        return clipNow(look, x, penY, cellsOnly);
    }
    if (pattern == (1 << ((look.cellsRight - look.cellsLeft + 1) * (look.cellsDown - look.cellsUp + 1))) - 1)
        return Clip{}; // every cell its ink reaches hidden
    const std::size_t at = static_cast<std::size_t>(look.index) * (std::size_t(1) << MAX_PATTERN_CELLS) +
                           static_cast<std::size_t>(pattern);
    if (keptFirst[at] < 0)
    {
        const Clip c = clipNow(look, x, penY, cellsOnly);
        if (c.count > MAX_KEPT_RECTS)
            return c; // too many to keep: clipped each time
        keptFirst[at] = static_cast<int>(keptRects.size());
        keptCount[at] = static_cast<std::uint8_t>(c.count);
        for (std::size_t i = c.first; i < c.first + c.count; i++)
            keptRects.push_back(PixelSpan{rects[i].x0 - x, rects[i].y0 - penY, rects[i].x1 - x, rects[i].y1 - penY});
        return c;
    }
    Clip c;
    c.first = static_cast<std::uint32_t>(rects.size());
    for (int i = keptFirst[at]; i < keptFirst[at] + keptCount[at]; i++)
    {
        const PixelSpan& p = keptRects[static_cast<std::size_t>(i)];
        rects.push_back(PixelSpan{p.x0 + x, p.y0 + penY, p.x1 + x, p.y1 + penY});
    }
    c.count = keptCount[at];
    return c;
}

// Which of the cells the glyph's ink reaches later boxes cover, a bit each, row by row; -1 when
// the clip may depend on more than that (off the grid, at the target's edges, or too many cells).
int GlyphClipper::coverPattern(const GlyphAtlas::Look& look, int x, int penY, int column, int row, bool cellsOnly) const
{
    const int c0 = column + look.cellsLeft, c1 = column + look.cellsRight;
    const int r0 = row + look.cellsUp, r1 = row + look.cellsDown;
    if (!cellsOnly || column < 0 || (c1 - c0 + 1) * (r1 - r0 + 1) > MAX_PATTERN_CELLS || x + look.inkLeft < 0 ||
        x + look.inkRight > width || penY + look.inkTop < 0 || penY + look.inkBottom > height)
        return -1;
    return occlusion.coverPattern(c0, r0, c1, r1);
}

// A strip of rows is one rectangle while the columns from its first to its last pixel to show
// hold no ink that a later box hides.
GlyphClipper::Clip GlyphClipper::clipNow(const GlyphAtlas::Look& look, int x, int penY, bool cellsOnly)
{
    const int left = x + look.inkLeft;
    const int top = penY + look.inkTop;
    const std::uint64_t onTarget = bitRange(std::max(-left, 0), std::min(look.inkRight - look.inkLeft, width - left));
    Clip c;
    c.first = static_cast<std::uint32_t>(rects.size());
    std::uint64_t strip = 0, stripHidden = 0; // the strip's columns, and the hidden ink in its rows
    int stripTop = 0, stripBottom = 0;
    auto closeStrip = [&] {
        if (strip != 0)
            rects.push_back(PixelSpan{left + __builtin_ctzll(strip), stripTop,
                                      left + PIXEL_WORD_BITS - __builtin_clzll(strip), stripBottom});
        strip = 0;
    };
    // What later boxes cover changes only from one row of cells to the next: the row below
    // starts at nextBoxRow.
    int nextBoxRow = INT_MIN;
    std::uint64_t coveredByCells = 0;
    for (int y = std::max(top, 0); y < std::min(top + look.inkBottom - look.inkTop, height) && onTarget != 0; y++)
    {
        const std::uint64_t ink = atlas.inkRow(look.inkRows + static_cast<std::size_t>(y - top));
        if (ink == 0)
            continue; // changes no strip
        std::uint64_t covered;
        if (cellsOnly)
        {
            if (y >= nextBoxRow)
            {
                const int boxRow = occlusion.cellRowAt(y);
                nextBoxRow = occlusion.cellRowTop(boxRow + 1);
                coveredByCells = occlusion.cellsCovering(left, look.inkRight - look.inkLeft, boxRow) & onTarget;
            }
            covered = coveredByCells;
        }
        else
        {
            covered = occlusion.coveredFrom(left, y) & onTarget;
        }
        const std::uint64_t shows = ink & ~covered & onTarget, hidden = ink & covered;
        if (strip != 0)
        {
            const std::uint64_t grown = shows != 0 ? hull(strip | shows) : strip;
            if ((grown & (stripHidden | hidden)) == 0)
            {
                strip = grown;
                stripHidden |= hidden;
                if (shows != 0)
                    stripBottom = y + 1;
                continue;
            }
            closeStrip();
        }
        if (shows == 0)
            continue;
        if ((hull(shows) & hidden) == 0)
        {
            strip = hull(shows);
            stripHidden = hidden;
            stripTop = y;
            stripBottom = y + 1;
            continue;
        }
        // Hidden ink between the parts that show: each run of them on its own.
        for (std::uint64_t rest = shows; rest != 0;)
        {
            const int start = __builtin_ctzll(rest);
            const std::uint64_t fromStart = rest >> start;
            const int length = ~fromStart == 0 ? PIXEL_WORD_BITS - start : __builtin_ctzll(~fromStart);
            rects.push_back(PixelSpan{left + start, y, left + start + length, y + 1});
            rest &= ~bitRange(start, start + length);
        }
    }
    closeStrip();
    c.count = static_cast<std::uint16_t>(rects.size() - c.first);
    return c;
}

} // namespace ks
