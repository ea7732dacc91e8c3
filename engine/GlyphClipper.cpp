#include "GlyphClipper.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace ks {

namespace {

// A look's clip is kept for each pattern of later boxes over the cells its ink reaches when it
// reaches at most this many.
const int MAX_PATTERN_CELLS = 6;

// What a quad costs the software renderer to set up, in pixels it could shade instead, and the
// side of the square blocks of pixels it shades at once (a strip costs every block it touches):
// Mesa's llvmpipe, measured on full grids of glyphs (docs/rendering.md). Kept clips are cut into
// the strips that cost least by these.
const long long QUAD_COST_PIXELS = 48;
const int RASTER_BLOCK = 4;

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
    keptFirst.clear();
    keptCount.clear();
    keptRects.clear();
    addLooks();
}

void GlyphClipper::addLooks()
{
    keptFirst.resize(atlas.lookCount() * (std::size_t(1) << MAX_PATTERN_CELLS), -1);
    keptCount.resize(keptFirst.size(), 0);
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
        return clipNow(look, x, penY, cellsOnly, false);
    }
    if (pattern == (1 << ((look.cellsRight - look.cellsLeft + 1) * (look.cellsDown - look.cellsUp + 1))) - 1)
        return Clip{}; // every cell its ink reaches hidden
    const std::size_t at = static_cast<std::size_t>(look.index) * (std::size_t(1) << MAX_PATTERN_CELLS) +
                           static_cast<std::size_t>(pattern);
    if (keptFirst[at] < 0)
    {
        const Clip c = clipNow(look, x, penY, cellsOnly, true);
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

// The rows of the glyph's ink on the target, each with its ink that shows and its ink that
// later boxes hide.
void GlyphClipper::collectRows(const GlyphAtlas::Look& look, int x, int penY, bool cellsOnly)
{
    inkRows.clear();
    const int left = x + look.inkLeft;
    const int top = penY + look.inkTop;
    const std::uint64_t onTarget = bitRange(std::max(-left, 0), std::min(look.inkRight - look.inkLeft, width - left));
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
        inkRows.push_back(InkRow{y, ink & ~covered & onTarget, ink & covered});
    }
}

// A row whose ink that shows has hidden ink between its parts: each run of it on its own.
void GlyphClipper::addRuns(int left, const InkRow& row)
{
    for (std::uint64_t rest = row.shows; rest != 0;)
    {
        const int start = __builtin_ctzll(rest);
        const std::uint64_t fromStart = rest >> start;
        const int length = ~fromStart == 0 ? PIXEL_WORD_BITS - start : __builtin_ctzll(~fromStart);
        rects.push_back(PixelSpan{left + start, row.y, left + start + length, row.y + 1});
        rest &= ~bitRange(start, start + length);
    }
}

// A strip of rows is one rectangle while the columns from its first to its last pixel to show
// hold no ink that a later box hides. Strips are made as long as they can be: a clip made
// again every frame must cost little itself.
void GlyphClipper::addLongestStrips(int left)
{
    std::uint64_t strip = 0, stripHidden = 0; // the strip's columns, and the hidden ink in its rows
    int stripTop = 0, stripBottom = 0;
    auto closeStrip = [&] {
        if (strip != 0)
            rects.push_back(PixelSpan{left + __builtin_ctzll(strip), stripTop,
                                      left + PIXEL_WORD_BITS - __builtin_clzll(strip), stripBottom});
        strip = 0;
    };
    for (const InkRow& row : inkRows)
    {
        if (strip != 0)
        {
            const std::uint64_t grown = row.shows != 0 ? hull(strip | row.shows) : strip;
            if ((grown & (stripHidden | row.hidden)) == 0)
            {
                strip = grown;
                stripHidden |= row.hidden;
                if (row.shows != 0)
                    stripBottom = row.y + 1;
                continue;
            }
            closeStrip();
        }
        if (row.shows == 0)
            continue;
        if ((hull(row.shows) & row.hidden) == 0)
        {
            strip = hull(row.shows);
            stripHidden = row.hidden;
            stripTop = row.y;
            stripBottom = row.y + 1;
            continue;
        }
        addRuns(left, row);
    }
    closeStrip();
}

// The strips that cost the renderer least: between rows that must go run by run, the rows that
// show are split into strips so that the pixels of the blocks the strips touch plus
// QUAD_COST_PIXELS a strip is smallest (a glyph with slanted or crossing strokes then is a few
// quads that leave out most of its bounding box). The blocks are counted where the clip is
// first made; where a kept clip is moved to a pen at another offset from the blocks it may cost
// a little more than it could, never a pixel different. Worth it for a clip that is kept.
void GlyphClipper::addCheapestStrips(int left)
{
    const std::size_t n = inkRows.size();
    std::size_t segment = 0; // the first row after the last one that went run by run
    for (std::size_t end = 0; end <= n; end++)
    {
        const bool runByRun =
            end < n && inkRows[end].shows != 0 && (hull(inkRows[end].shows) & inkRows[end].hidden) != 0;
        if (end < n && !runByRun)
            continue;
        // Rows [segment, end) hold no such row: the rows among them that show, by least cost.
        shownRows.clear();
        for (std::size_t i = segment; i < end; i++)
            if (inkRows[i].shows != 0)
                shownRows.push_back(i);
        const std::size_t m = shownRows.size();
        cost.assign(m + 1, 0);
        cut.assign(m + 1, 0);
        for (std::size_t j = 0; j < m; j++)
        {
            // Strips of shown rows [i, j]: their columns and the hidden ink in all their rows
            // only grow as i goes back, so the first that is not allowed ends the search.
            std::uint64_t columns = 0, hidden = 0;
            cost[j + 1] = -1;
            for (std::size_t i = j + 1; i-- > 0;)
            {
                const std::size_t lastRow = i == j ? shownRows[j] : shownRows[i + 1] - 1;
                for (std::size_t r = shownRows[i]; r <= lastRow; r++)
                    hidden |= inkRows[r].hidden;
                columns = hull(columns | inkRows[shownRows[i]].shows);
                if ((columns & hidden) != 0)
                    break;
                // The blocks of pixels the strip touches on the target.
                const int x0 = left + __builtin_ctzll(columns),
                          x1 = left + PIXEL_WORD_BITS - 1 - __builtin_clzll(columns);
                const int y0 = inkRows[shownRows[i]].y, y1 = inkRows[shownRows[j]].y;
                const long long blocks =
                    static_cast<long long>(floorDiv(x1, RASTER_BLOCK) - floorDiv(x0, RASTER_BLOCK) + 1) *
                    (floorDiv(y1, RASTER_BLOCK) - floorDiv(y0, RASTER_BLOCK) + 1);
                const long long total = cost[i] + QUAD_COST_PIXELS + blocks * RASTER_BLOCK * RASTER_BLOCK;
                if (cost[j + 1] < 0 || total < cost[j + 1])
                {
                    cost[j + 1] = total;
                    cut[j + 1] = i;
                }
            }
        }
        // The strips, from the last back, then put in row order.
        const std::size_t first = rects.size();
        for (std::size_t j = m; j > 0; j = cut[j])
        {
            std::uint64_t columns = 0;
            for (std::size_t i = cut[j]; i < j; i++)
                columns |= inkRows[shownRows[i]].shows;
            columns = hull(columns);
            rects.push_back(PixelSpan{left + __builtin_ctzll(columns), inkRows[shownRows[cut[j]]].y,
                                      left + PIXEL_WORD_BITS - __builtin_clzll(columns),
                                      inkRows[shownRows[j - 1]].y + 1});
        }
        std::reverse(rects.begin() + static_cast<std::ptrdiff_t>(first), rects.end());
        if (end < n)
            addRuns(left, inkRows[end]);
        segment = end + 1;
    }
}

GlyphClipper::Clip GlyphClipper::clipNow(const GlyphAtlas::Look& look, int x, int penY, bool cellsOnly, bool kept)
{
    Clip c;
    c.first = static_cast<std::uint32_t>(rects.size());
    collectRows(look, x, penY, cellsOnly);
    if (kept)
        addCheapestStrips(x + look.inkLeft);
    else
        addLongestStrips(x + look.inkLeft);
    c.count = static_cast<std::uint16_t>(rects.size() - c.first);
    return c;
}

} // namespace ks
