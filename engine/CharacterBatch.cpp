#include "CharacterBatch.h"

#include "SfmlCompat.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace ks {

namespace {

using Rect = CharacterBatch::Rect;

// A texel inside the 2 x 2 opaque white block that every glyph page keeps at its top-left
// corner (where sf::Text samples its underline): smooth filtering there still gives white.
const float PAGE_WHITE_TEXEL = 1.f;

// A glyph's cut is kept for each pattern of later boxes over the cells its ink reaches when it
// reaches at most this many.
const int MAX_PATTERN_CELLS = 6;

// Pixels per side of the squares in which paint() notes which batch drew there last.
const int ORDER_TILE = 8;

const sf::Color BOX_COLOR(0, 0, 0, 255);

// Bits in a word of the pixel maps (a row of WORD_BITS pixels); a row of a look's ink is one.
const int WORD_BITS = 64;
static_assert(GlyphAtlas::INK_ROW_BITS == WORD_BITS);

// A character's box lies a tenth of a cell left of its cell and a fifth of a cell below it
// (divided, not multiplied by a fraction, to round as the plain way does).
const float BOX_LEFT_DIVISOR = 10, BOX_DOWN_DIVISOR = 5;

// The cuts kept for a look count their pieces in a byte.
const int MAX_KEPT_PIECES = 255;

void appendQuad(std::vector<sf::Vertex>& out, const Rect& r, sf::Color color, float u1, float v1, float u2, float v2)
{
    // Corners copied from one vertex and changed: SFML 2's sf::Vertex constructors are calls
    // into the library, which would cost four a quad.
    static const sf::Vertex blank;
    sf::Vertex topLeft = blank;
    topLeft.color = color;
    sf::Vertex topRight = topLeft, bottomLeft = topLeft, bottomRight = topLeft;
    topLeft.position = {r.left, r.top};
    topLeft.texCoords = {u1, v1};
    topRight.position = {r.right, r.top};
    topRight.texCoords = {u2, v1};
    bottomLeft.position = {r.left, r.bottom};
    bottomLeft.texCoords = {u1, v2};
    bottomRight.position = {r.right, r.bottom};
    bottomRight.texCoords = {u2, v2};
    compat::appendQuad(out, topLeft, topRight, bottomLeft, bottomRight);
}

// Field by field: SFML 2's operator== is a call into the library, and this is asked of every
// character that shows.
bool isBoxColor(sf::Color c)
{
    return c.r == BOX_COLOR.r && c.g == BOX_COLOR.g && c.b == BOX_COLOR.b && c.a == BOX_COLOR.a;
}

// Whether v is a whole number of pixels (and small enough to be one exactly). A cast, not
// std::floor, which is a library call on the baseline x86-64 this builds for.
bool isWhole(float v)
{
    return v > -1e6f && v < 1e6f && static_cast<float>(static_cast<int>(v)) == v;
}

} // namespace

CharacterBatch::CharacterBatch(int width, int height, float cellWidth, float cellHeight)
    : width(width),
      height(height),
      cellWidth(cellWidth),
      cellHeight(cellHeight),
      atlas(width, height, cellWidth, cellHeight),
      coverWords((width + WORD_BITS - 1) / WORD_BITS),
      coverage(static_cast<std::size_t>(coverWords * height), 0),
      inkPixels(coverage.size(), 0),
      orderColumns((width + ORDER_TILE - 1) / ORDER_TILE),
      lastBatchAt(static_cast<std::size_t>(orderColumns * ((height + ORDER_TILE - 1) / ORDER_TILE)), -1)
{
    // Where an inner cell's box lies: if boxes of whole cells tile the target, whole cells can
    // stand for their pixels.
    Item inner;
    inner.x = cellWidth;
    inner.y = cellHeight;
    inner.rowY = rowOf(cellHeight);
    const Span box = inside(moved(boxOf(inner), inner.rowY));
    if (isWhole(cellWidth) && isWhole(cellHeight) && static_cast<float>(box.x1 - box.x0) == cellWidth &&
        static_cast<float>(box.y1 - box.y0) == cellHeight)
    {
        cellsTile = true;
        cellLeft = box.x0 - static_cast<int>(cellWidth);
        cellTop = box.y0 - static_cast<int>(cellHeight);
        cellColumns = (width - cellLeft + static_cast<int>(cellWidth) - 1) / static_cast<int>(cellWidth);
        cellRows = (height - cellTop + static_cast<int>(cellHeight) - 1) / static_cast<int>(cellHeight);
        cellCovered.assign(static_cast<std::size_t>(cellColumns * cellRows), 0);
        firstRow = floorDiv(-cellTop, static_cast<int>(cellHeight));
        lastColumn = floorDiv(width - 1 - cellLeft, static_cast<int>(cellWidth));
        lastRow = floorDiv(height - 1 - cellTop, static_cast<int>(cellHeight));
        atlas.setCellBoxes(cellLeft, cellTop);
    }
    // Room for a full grid of cells, so that a frame records without allocating.
    const std::size_t cells = static_cast<std::size_t>(width / cellWidth * height / cellHeight) + 1;
    items.reserve(cells);
    boxVertices.reserve(cells * compat::QUAD_VERTICES);
}

void CharacterBatch::setFont(const sf::Font* font, unsigned newCharacterSize, int originX, int originY)
{
    discard();
    characterSize = newCharacterSize;
    atlas.setFont(font, characterSize, originX, originY);
    cutFirst.clear();
    cutCount.clear();
    cachedPieces.clear();
}

void CharacterBatch::learnGlyphs()
{
    atlas.learnGlyphs();
}

// Reads the looks of glyphs recorded in cells the atlas has not seen them in, in the window
// (which is given back as it was), and gives them to the characters that lacked one.
void CharacterBatch::learnCells(sf::RenderWindow& window)
{
    if (!atlas.learnCells(window, targetIsBlack))
        return;
    cutFirst.resize(atlas.lookCount() * (std::size_t(1) << MAX_PATTERN_CELLS), -1);
    cutCount.resize(cutFirst.size(), 0);
    for (Item& item : items)
        if (item.atlasLook == nullptr && item.slot != GlyphAtlas::NO_SLOT && item.inCell)
        {
            item.atlasLook = atlas.lookAt(item.slot, static_cast<int>(item.x / cellWidth),
                                          static_cast<int>(item.y / cellHeight));
            if (item.atlasLook != nullptr && item.cell >= 0)
                offCells--;
        }
}

void CharacterBatch::add(float x, float y, char32_t codePoint, sf::Color color)
{
    Item item;
    item.x = x;
    item.y = y;
    item.rowY = rowOf(y);
    item.color = color;
    // A cell of the grid: whole pixels, a whole column and row from the target's corner.
    const float column = x / cellWidth, row = y / cellHeight;
    const bool onGrid = isWhole(x) && isWhole(y) && isWhole(column) && isWhole(row) && column >= 0 && row >= 0;
    const int c = onGrid ? static_cast<int>(column) : -1, r = onGrid ? static_cast<int>(row) : -1;
    if (cellsTile && onGrid && c < cellColumns && r < cellRows)
    {
        item.cell = r * cellColumns + c;
        item.column = static_cast<std::int16_t>(c);
        item.row = static_cast<std::int16_t>(r);
    }
    // A space (or a character sf::Text would leave out) shows only its box.
    if (atlas.hasFont() && compat::textDrawsGlyph(codePoint))
    {
        // From the atlas if it holds the glyph; else from the font's page, until it is learned.
        const std::uint32_t slot = atlas.slotOf(codePoint);
        if (slot != GlyphAtlas::NO_SLOT)
        {
            item.glyph = &atlas.quad(slot);
            item.slot = slot;
            item.inCell = onGrid;
        }
        else
        {
            otherQuads.push_back(atlas.pageQuad(codePoint));
            item.glyph = &otherQuads.back();
        }
        if (onGrid)
            item.atlasLook = atlas.lookAt(slot, c, r);
    }
    if (item.cell < 0 || (item.glyph != nullptr && item.atlasLook == nullptr))
        offCells++;
    items.push_back(item);
}

// Both relative to the item's row: the transform adds rowY.
CharacterBatch::Rect CharacterBatch::boxOf(const Item& item) const
{
    const float left = item.x - cellWidth / BOX_LEFT_DIVISOR;
    const float top = item.y - item.rowY + cellHeight / BOX_DOWN_DIVISOR;
    return Rect{left, top, left + cellWidth, top + cellHeight};
}

CharacterBatch::Rect CharacterBatch::glyphOf(const Item& item) const
{
    const float penY = item.y - item.rowY + static_cast<float>(characterSize);
    const GlyphQuad& q = *item.glyph;
    return Rect{item.x + q.left, penY + q.top, item.x + q.right, penY + q.bottom};
}

// Every pixel whose centre r may reach.
CharacterBatch::Span CharacterBatch::touched(const Rect& r) const
{
    return touchedPixels(r, width, height);
}

// Only the pixels whose centres r surely holds.
CharacterBatch::Span CharacterBatch::inside(const Rect& r) const
{
    return insidePixels(r, width, height);
}

namespace {

// Bits [from, to) of a word.
std::uint64_t bitRange(int from, int to)
{
    from = std::max(from, 0);
    if (from >= std::min(to, WORD_BITS))
        return 0;
    const std::uint64_t upTo = to >= WORD_BITS ? ~std::uint64_t(0) : (std::uint64_t(1) << to) - 1;
    return upTo & ~((std::uint64_t(1) << from) - 1);
}

// Bits from the lowest to the highest set bit of a non-zero word.
std::uint64_t hull(std::uint64_t bits)
{
    return bitRange(__builtin_ctzll(bits), WORD_BITS - __builtin_clzll(bits));
}

} // namespace

namespace {

// Sets the bits of pixels [x0, x1) x [y0, y1) in a bit map whose rows have words words.
void setBits(std::vector<std::uint64_t>& bits, int words, int x0, int y0, int x1, int y1)
{
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int w = x0 / WORD_BITS; w <= (x1 - 1) / WORD_BITS; w++)
    {
        const std::uint64_t mask = bitRange(x0 - w * WORD_BITS, x1 - w * WORD_BITS);
        for (int y = y0; y < y1; y++)
            bits[static_cast<std::size_t>(y * words + w)] |= mask;
    }
}

// Whether all (or, with all false, any) of those bits are set; an empty span has all set
// and none.
bool bitsSet(const std::vector<std::uint64_t>& bits, int words, int x0, int y0, int x1, int y1, bool all)
{
    if (x0 >= x1 || y0 >= y1)
        return all;
    for (int w = x0 / WORD_BITS; w <= (x1 - 1) / WORD_BITS; w++)
    {
        const std::uint64_t mask = bitRange(x0 - w * WORD_BITS, x1 - w * WORD_BITS);
        for (int y = y0; y < y1; y++)
        {
            const std::uint64_t set = bits[static_cast<std::size_t>(y * words + w)] & mask;
            if (all ? set != mask : set != 0)
                return !all;
        }
    }
    return all;
}

} // namespace

void CharacterBatch::cover(const Span& s)
{
    setBits(coverage, coverWords, s.x0, s.y0, s.x1, s.y1);
}

// Nothing outside the target shows, so an empty span counts as covered.
bool CharacterBatch::isCovered(const Span& s) const
{
    return bitsSet(coverage, coverWords, s.x0, s.y0, s.x1, s.y1, true);
}

bool CharacterBatch::isInkless(const Span& s) const
{
    return !bitsSet(inkPixels, coverWords, s.x0, s.y0, s.x1, s.y1, false);
}

// The columns [left, left + columns) that later boxes of whole cells cover in their row, a bit
// each.
std::uint64_t CharacterBatch::cellsCovering(int left, int columns, int row) const
{
    if (row < 0 || row >= cellRows)
        return 0;
    const int w = static_cast<int>(cellWidth);
    const int first = std::max(floorDiv(left - cellLeft, w), 0);
    const int last = std::min(floorDiv(left + columns - 1 - cellLeft, w), cellColumns - 1);
    std::uint64_t covered = 0;
    for (int column = first; column <= last; column++)
        if (cellCovered[static_cast<std::size_t>(row * cellColumns + column)] != 0)
            covered |= bitRange(column * w + cellLeft - left, column * w + cellLeft + w - left);
    return covered;
}

// Whether later boxes of whole cells hide every pixel of the glyph's ink on the target. False
// when the cells cannot tell.
bool CharacterBatch::hiddenByCells(const Item& item) const
{
    if (item.cell < 0)
        return false;
    const GlyphAtlas::Look& g = *item.atlasLook;
    const int c0 = std::max(item.column + g.cellsLeft, 0), c1 = std::min(item.column + g.cellsRight, lastColumn);
    const int r0 = std::max(item.row + g.cellsUp, firstRow), r1 = std::min(item.row + g.cellsDown, lastRow);
    if (r0 < 0 || c1 >= cellColumns || r1 >= cellRows)
        return false;
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++)
            if (cellCovered[static_cast<std::size_t>(r * cellColumns + c)] == 0)
                return false;
    return true;
}

namespace {

// A word of a bit map row from column x on: bit i is column x + i.
std::uint64_t bitsFrom(const std::uint64_t* row, int words, int x)
{
    const int w = x / WORD_BITS, shift = x % WORD_BITS;
    std::uint64_t bits = row[w] >> shift;
    if (shift != 0 && w + 1 < words)
        bits |= row[w + 1] << (WORD_BITS - shift);
    return bits;
}

} // namespace

// Which of the cells the glyph's ink reaches later boxes cover, a bit each, row by row; -1 when
// the pieces may depend on more than that (off the grid, at the target's edges, or too many
// cells).
int CharacterBatch::coverPattern(const Item& item) const
{
    const GlyphAtlas::Look& g = *item.atlasLook;
    const int c0 = item.column + g.cellsLeft, c1 = item.column + g.cellsRight;
    const int r0 = item.row + g.cellsUp, r1 = item.row + g.cellsDown;
    const int x = static_cast<int>(item.x), penY = static_cast<int>(item.y) + static_cast<int>(characterSize);
    if (!onlyCells || item.cell < 0 || c0 < 0 || r0 < 0 || c1 > lastColumn || r1 > lastRow ||
        (c1 - c0 + 1) * (r1 - r0 + 1) > MAX_PATTERN_CELLS || x + g.inkLeft < 0 || x + g.inkRight > width ||
        penY + g.inkTop < 0 || penY + g.inkBottom > height)
        return -1;
    int pattern = 0, bit = 0;
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++, bit++)
            if (cellCovered[static_cast<std::size_t>(r * cellColumns + c)] != 0)
                pattern |= 1 << bit;
    return pattern;
}

// The glyph's pieces: on the grid, a look's cut for a pattern of later boxes is the same
// wherever it lies, so it is cut once and then moved.
void CharacterBatch::findShownPieces(Item& item)
{
    const int pattern = coverPattern(item);
    if (pattern < 0)
    {
        if (!hiddenByCells(item))
            cutIntoPieces(item);
        return;
    }
    const GlyphAtlas::Look& g = *item.atlasLook;
    if (pattern == (1 << ((g.cellsRight - g.cellsLeft + 1) * (g.cellsDown - g.cellsUp + 1))) - 1)
        return; // every cell its ink reaches hidden
    const std::size_t at =
        static_cast<std::size_t>(g.index) * (std::size_t(1) << MAX_PATTERN_CELLS) + static_cast<std::size_t>(pattern);
    const int x = static_cast<int>(item.x), penY = static_cast<int>(item.y) + static_cast<int>(characterSize);
    if (cutFirst[at] < 0)
    {
        cutIntoPieces(item);
        if (item.pieceCount > MAX_KEPT_PIECES)
            return; // too many to keep: cut each time
        cutFirst[at] = static_cast<int>(cachedPieces.size());
        cutCount[at] = static_cast<std::uint8_t>(item.pieceCount);
        for (std::size_t i = item.firstPiece; i < item.firstPiece + item.pieceCount; i++)
            cachedPieces.push_back(Span{pieces[i].x0 - x, pieces[i].y0 - penY, pieces[i].x1 - x, pieces[i].y1 - penY});
        return;
    }
    item.firstPiece = static_cast<std::uint32_t>(pieces.size());
    for (int i = cutFirst[at]; i < cutFirst[at] + cutCount[at]; i++)
    {
        const Span& p = cachedPieces[static_cast<std::size_t>(i)];
        pieces.push_back(Span{p.x0 + x, p.y0 + penY, p.x1 + x, p.y1 + penY});
    }
    item.pieceCount = cutCount[at];
}

// The glyph's ink that later boxes leave showing, in few pieces of whole pixels. A piece may
// take in pixels without ink, which it leaves as they are, but none with ink that a later box
// hides: a band of rows is one piece while the columns from its first to its last pixel to
// show hold no such ink.
void CharacterBatch::cutIntoPieces(Item& item)
{
    const GlyphAtlas::Look& g = *item.atlasLook;
    const int left = static_cast<int>(item.x) + g.inkLeft;
    const int top = static_cast<int>(item.y) + static_cast<int>(characterSize) + g.inkTop;
    const std::uint64_t onTarget = bitRange(std::max(-left, 0), std::min(g.inkRight - g.inkLeft, width - left));
    item.firstPiece = pieces.size();
    std::uint64_t band = 0, bandHidden = 0; // the band's columns, and the hidden ink in its rows
    int bandTop = 0, bandBottom = 0;
    auto closeBand = [&] {
        if (band != 0)
            pieces.push_back(
                Span{left + __builtin_ctzll(band), bandTop, left + WORD_BITS - __builtin_clzll(band), bandBottom});
        band = 0;
    };
    const int from = std::max(left, 0);
    // What later boxes cover changes only from one row of cells to the next: the row below
    // starts at nextBoxRow.
    int boxRow = 0, nextBoxRow = INT_MIN;
    std::uint64_t coveredByCells = 0;
    for (int y = std::max(top, 0); y < std::min(top + g.inkBottom - g.inkTop, height) && onTarget != 0; y++)
    {
        const std::uint64_t ink = atlas.inkRow(g.inkRows + static_cast<std::size_t>(y - top));
        if (ink == 0)
            continue; // changes no band
        std::uint64_t covered;
        if (onlyCells)
        {
            if (y >= nextBoxRow)
            {
                const int h = static_cast<int>(cellHeight);
                boxRow = floorDiv(y - cellTop, h);
                nextBoxRow = (boxRow + 1) * h + cellTop;
                coveredByCells = cellsCovering(left, g.inkRight - g.inkLeft, boxRow) & onTarget;
            }
            covered = coveredByCells;
        }
        else
        {
            covered =
                (bitsFrom(&coverage[static_cast<std::size_t>(y * coverWords)], coverWords, from) << (from - left)) &
                onTarget;
        }
        const std::uint64_t shows = ink & ~covered & onTarget, hidden = ink & covered;
        if (band != 0)
        {
            const std::uint64_t grown = shows != 0 ? hull(band | shows) : band;
            if ((grown & (bandHidden | hidden)) == 0)
            {
                band = grown;
                bandHidden |= hidden;
                if (shows != 0)
                    bandBottom = y + 1;
                continue;
            }
            closeBand();
        }
        if (shows == 0)
            continue;
        if ((hull(shows) & hidden) == 0)
        {
            band = hull(shows);
            bandHidden = hidden;
            bandTop = y;
            bandBottom = y + 1;
            continue;
        }
        // Hidden ink between the parts that show: each run of them on its own.
        for (std::uint64_t rest = shows; rest != 0;)
        {
            const int start = __builtin_ctzll(rest);
            const std::uint64_t fromStart = rest >> start;
            const int length = ~fromStart == 0 ? WORD_BITS - start : __builtin_ctzll(~fromStart);
            pieces.push_back(Span{left + start, y, left + start + length, y + 1});
            rest &= ~bitRange(start, start + length);
        }
    }
    closeBand();
    item.pieceCount = static_cast<std::uint16_t>(pieces.size() - item.firstPiece);
}

// Notes the pixels of a piece where the atlas's look has ink (a piece may hold pixels without).
void CharacterBatch::markInk(const Item& item, const Span& piece)
{
    const GlyphAtlas::Look& g = *item.atlasLook;
    const int left = static_cast<int>(item.x) + g.inkLeft;
    const int top = static_cast<int>(item.y) + static_cast<int>(characterSize) + g.inkTop;
    for (int y = piece.y0; y < piece.y1; y++)
    {
        // Bit i of ink is column left + i; the piece lies inside the target, so no bit left
        // of column 0 is set.
        const std::uint64_t ink =
            atlas.inkRow(g.inkRows + static_cast<std::size_t>(y - top)) & bitRange(piece.x0 - left, piece.x1 - left);
        std::uint64_t* row = &inkPixels[static_cast<std::size_t>(y * coverWords)];
        if (left < 0)
        {
            row[0] |= ink >> -left;
            continue;
        }
        const int w = left / WORD_BITS, shift = left % WORD_BITS;
        row[w] |= ink << shift;
        if (shift != 0 && w + 1 < coverWords)
            row[w + 1] |= ink >> (WORD_BITS - shift);
    }
}

// The part of box that may lie over ink left by glyphs before it: the box, less its edge
// rows and columns of pixels without such ink. Empty when there is none.
CharacterBatch::Rect CharacterBatch::inkUnder(const Rect& box) const
{
    if (isInkless(touched(box)))
        return Rect{0, 0, 0, 0};
    return trimmed(box, &CharacterBatch::isInkless);
}

CharacterBatch::Rect CharacterBatch::rectOf(const Span& s)
{
    return Rect{static_cast<float>(s.x0), static_cast<float>(s.y0), static_cast<float>(s.x1), static_cast<float>(s.y1)};
}

// Where a glyph drawn whole may put ink on the target.
CharacterBatch::Rect CharacterBatch::inkOf(const Item& item) const
{
    const Rect quad = moved(glyphOf(item), item.rowY);
    if (isWhole(quad.left) && isWhole(quad.top) && isWhole(quad.right) && isWhole(quad.bottom))
        return quad;
    // Grown by a pixel: where the draw's transform rounds a row's position differently from
    // this sum, the ink still lies inside.
    return Rect{quad.left - 1, quad.top - 1, quad.right + 1, quad.bottom + 1};
}

// r less the whole pixel rows and columns at its edges that need no painting (for which
// drop is true); an edge moved lies between pixel centres, so the pixels left keep their
// values. Empty if none is left.
CharacterBatch::Rect CharacterBatch::trimmed(const Rect& r, bool (CharacterBatch::*drop)(const Span&) const) const
{
    const Span all = touched(r);
    Span s = all;
    while (s.y0 < s.y1 && (this->*drop)(Span{s.x0, s.y0, s.x1, s.y0 + 1}))
        s.y0++;
    while (s.y0 < s.y1 && (this->*drop)(Span{s.x0, s.y1 - 1, s.x1, s.y1}))
        s.y1--;
    while (s.x0 < s.x1 && (this->*drop)(Span{s.x0, s.y0, s.x0 + 1, s.y1}))
        s.x0++;
    while (s.x0 < s.x1 && (this->*drop)(Span{s.x1 - 1, s.y0, s.x1, s.y1}))
        s.x1--;
    if (s.x0 >= s.x1 || s.y0 >= s.y1)
        return Rect{0, 0, 0, 0};
    auto edge = [](int moved, int was, float keep) {
        return moved == was ? keep : static_cast<float>(moved);
    };
    return Rect{edge(s.x0, all.x0, r.left), edge(s.y0, all.y0, r.top), edge(s.x1, all.x1, r.right),
                edge(s.y1, all.y1, r.bottom)};
}

void CharacterBatch::record(std::vector<sf::Vertex>& out, std::vector<Batch>& outBatches, const Rect& r, float rowY,
                            sf::Color color, float u1, float v1, float u2, float v2)
{
    if (outBatches.empty() || outBatches.back().rowY != rowY)
        outBatches.push_back(Batch{out.size(), 0, rowY});
    appendQuad(out, r, color, u1, v1, u2, v2);
    outBatches.back().count += compat::QUAD_VERTICES;
}

// A quad of the ordered part joins the last batch of its row unless a later batch
// already drew where it lies: then it must come after that one, in a new batch. Quads apart
// from each other may so be drawn out of call order, which changes no pixel, in few draw calls.
void CharacterBatch::place(Source source, float rowY, const Rect& r, sf::Color color, float u1, float v1, float u2,
                           float v2)
{
    if (rowsApart)
    {
        // Quads of different rows never meet: each row's quads in call order are enough.
        int& open = latestBatch(source, rowY);
        if (open < 0)
        {
            open = static_cast<int>(ordered.size());
            if (pool.size() <= ordered.size())
                pool.emplace_back();
            ordered.push_back(Ordered{rowY, source});
        }
        appendQuad(pool[static_cast<std::size_t>(open)], r, color, u1, v1, u2, v2);
        return;
    }
    // Grown by a pixel, as the ink is (see paint).
    const Span s = touched({r.left - 1, r.top + rowY - 1, r.right + 1, r.bottom + rowY + 1});
    const int c0 = s.x0 / ORDER_TILE, r0 = s.y0 / ORDER_TILE;
    const int c1 = (s.x1 + ORDER_TILE - 1) / ORDER_TILE, r1 = (s.y1 + ORDER_TILE - 1) / ORDER_TILE;
    int after = -1;
    for (int row = r0; row < r1; row++)
        for (int column = c0; column < c1; column++)
            after = std::max(after, lastBatchAt[static_cast<std::size_t>(row * orderColumns + column)]);
    int& open = latestBatch(source, rowY);
    if (open < after || open < 0)
    {
        open = static_cast<int>(ordered.size());
        if (pool.size() <= ordered.size())
            pool.emplace_back();
        ordered.push_back(Ordered{rowY, source});
    }
    const int batch = open;
    appendQuad(pool[static_cast<std::size_t>(batch)], r, color, u1, v1, u2, v2);
    for (int row = r0; row < r1; row++)
        for (int column = c0; column < c1; column++)
            lastBatchAt[static_cast<std::size_t>(row * orderColumns + column)] = batch;
}

// The last batch of the ordered part with that texture and row (-1 before the first): quads
// come row after row, so the last answer is asked for again most often.
int& CharacterBatch::latestBatch(Source source, float rowY)
{
    if (latestHit < latest.size() && latest[latestHit].source == source && latest[latestHit].rowY == rowY)
        return latest[latestHit].batch;
    for (latestHit = 0; latestHit < latest.size(); latestHit++)
        if (latest[latestHit].source == source && latest[latestHit].rowY == rowY)
            return latest[latestHit].batch;
    latest.push_back(Latest{source, rowY, -1});
    return latest.back().batch;
}

// Boxes along a row meet edge to edge: the box that starts exactly where the last one ends
// widens it instead of adding a quad, which covers the same pixels with fewer triangles.
bool CharacterBatch::extendLastBox(const Rect& r, float rowY)
{
    if (boxBatches.empty() || boxBatches.back().rowY != rowY || boxBatches.back().count == 0)
        return false;
    sf::Vertex* quad = &boxVertices[boxVertices.size() - compat::QUAD_VERTICES];
    // The first vertex is the top-left corner, the third on the bottom edge in either order.
    if (quad[compat::RIGHT_EDGE[0]].position.x != r.left || quad[0].position.y != r.top ||
        quad[2].position.y != r.bottom)
        return false;
    for (std::size_t i : compat::RIGHT_EDGE)
        quad[i].position.x = r.right;
    return true;
}

// Records a character's quads for the passes below: its box for the first (unless the target
// is black already), then the part of it painted again over ink and its glyph's quads for the
// ordered part.
void CharacterBatch::recordItem(const Item& item, const Rect& repaint)
{
    if (item.boxShows && !targetIsBlack && !onlyCells && !extendLastBox(boxOf(item), item.rowY))
        record(boxVertices, boxBatches, boxOf(item), item.rowY, BOX_COLOR, 0, 0, 0, 0);
    if (!repaint.isEmpty())
    {
        // Drawn among the glyphs, after those whose ink it lies over.
        place(PAGE, item.rowY, moved(repaint, -item.rowY), BOX_COLOR, PAGE_WHITE_TEXEL, PAGE_WHITE_TEXEL,
              PAGE_WHITE_TEXEL, PAGE_WHITE_TEXEL);
    }
    if (item.glyphShows && item.atlasLook != nullptr)
    {
        // Only the parts that show, from the atlas, texel for pixel: whole pixels need no row in
        // the transform, so the whole frame's pieces can share a batch.
        const GlyphAtlas::Look& g = *item.atlasLook;
        const float du = static_cast<float>(g.penX) - item.x;
        const float dv = static_cast<float>(g.penY) - item.y - static_cast<float>(characterSize);
        for (std::size_t i = item.firstPiece; i < item.firstPiece + item.pieceCount; i++)
        {
            if (pieces[i].x0 >= pieces[i].x1)
                continue; // left out above
            const Rect r = rectOf(pieces[i]);
            place(ATLAS, 0, r, item.color, r.left + du, r.top + dv, r.right + du, r.bottom + dv);
        }
    }
    else if (item.glyphShows)
    {
        // Drawn whole even where later boxes hide part of it: off whole pixels, a cut quad would
        // sample the glyph page a rounding step apart.
        const GlyphQuad& q = *item.glyph;
        place(PAGE, item.rowY, glyphOf(item), item.color, q.u1, q.v1, q.u2, q.v2);
    }
}

// On the grid every box is a whole cell's and all are the same black, drawn before any glyph:
// the order they were recorded in changes no pixel. So they are recorded cell by cell, row by
// row, and each run of cells that some character took is one quad; in call order a busy
// frame's boxes come in random cells and would be as many quads as cells.
void CharacterBatch::recordCellBoxes()
{
    for (int row = 0; row < cellRows; row++)
        for (int column = 0; column < cellColumns; column++)
        {
            if (cellCovered[static_cast<std::size_t>(row * cellColumns + column)] == 0)
                continue;
            Item cell;
            cell.x = static_cast<float>(column) * cellWidth;
            cell.y = static_cast<float>(row) * cellHeight;
            cell.rowY = rowOf(cell.y);
            const Rect box = boxOf(cell);
            if (!extendLastBox(box, cell.rowY))
                record(boxVertices, boxBatches, box, cell.rowY, BOX_COLOR, 0, 0, 0, 0);
        }
}

// A frame's steps: what shows, the ink under boxes, the quads in batches, the draw calls.
void CharacterBatch::paint(sf::RenderWindow& target)
{
    learnCells(target);
    clearMaps();
    const std::size_t showing = findWhatShows();
    const std::size_t firstRepaint = recordInCallOrder(showing);
    if (!onlyCells)
        recordWithRepaints(firstRepaint);
    else if (!targetIsBlack)
        recordCellBoxes();
    drawBatches(target);
    discard();
    targetIsBlack = false;
}

// Which maps the frame needs, cleared. When every box is a whole cell's and every glyph is in
// the atlas, the cells alone tell what later boxes cover.
void CharacterBatch::clearMaps()
{
    onlyCells = cellsTile && offCells == 0;
    rowsApart = onlyCells && atlas.rowsApart();
    if (!onlyCells)
        std::fill(coverage.begin(), coverage.end(), 0);
    std::fill(cellCovered.begin(), cellCovered.end(), 0);
    if (!rowsApart)
        std::fill(lastBatchAt.begin(), lastBatchAt.end(), -1);
}

// From the last character back: a box or glyph whose every pixel a later box paints over
// would not show, so it is left out. Returns how many characters on the grid have a glyph to
// paint (shown[0, that), last first).
std::size_t CharacterBatch::findWhatShows()
{
    pieces.clear();
    // On the grid, the characters with something to paint, from the last back: most of a busy
    // frame's are hidden, and the pass in call order then skips them without a guess at each.
    shown.resize(items.size());
    std::size_t shownCount = 0;
    for (std::size_t i = items.size(); i-- > 0;)
    {
        Item& item = items[i];
        const Rect box = moved(boxOf(item), item.rowY);
        if (item.atlasLook != nullptr)
        {
            item.pieceCount = 0;
            findShownPieces(item);
            item.glyphShows = item.pieceCount > 0;
        }
        else
        {
            item.glyphShows = item.glyph != nullptr && !isCovered(touched(moved(glyphOf(item), item.rowY)));
        }
        if (item.cell >= 0)
        {
            // A later box of the same cell hides all of it; the first from the back covers
            // the cell's pixels for everything before it.
            std::uint8_t& covered = cellCovered[static_cast<std::size_t>(item.cell)];
            item.boxShows = covered == 0;
            if (item.boxShows && !onlyCells)
                cover(inside(box));
            covered = 1;
            shown[shownCount] = static_cast<std::uint32_t>(i);
            shownCount += item.glyphShows; // boxes on the grid are recorded cell by cell
            continue;
        }
        item.boxShows = !isCovered(touched(box));
        cover(inside(box));
    }
    return shownCount;
}

// In call order: which part of each box lies over ink that glyphs before it may have left.
// Pieces from the atlas leave none where a later box surely lies, but off the grid a box edge
// may cut a pixel they keep; glyphs drawn whole from the page may leave ink anywhere. On a
// target cleared to black, a black glyph over no ink leaves every pixel as it is, and is left
// out. A frame with only cells has no repaints to trim, so each character is recorded right
// away. Returns the first character whose box is painted again (the count of characters when
// none is).
std::size_t CharacterBatch::recordInCallOrder(std::size_t shownCount)
{
    if (targetIsBlack || !onlyCells)
        std::fill(inkPixels.begin(), inkPixels.end(), 0);
    std::size_t firstRepaint = items.size();
    bool inkBefore = false; // some glyph so far may have left ink under a later box
    const Rect noRepaint{0, 0, 0, 0};
    if (!onlyCells)
        repaints.assign(items.size(), noRepaint);
    for (std::size_t k = 0; k < (onlyCells ? shownCount : items.size()); k++)
    {
        const std::size_t i = onlyCells ? shown[shownCount - 1 - k] : k;
        Item& item = items[i];
        if (item.boxShows && inkBefore)
        {
            repaints[i] = inkUnder(moved(boxOf(item), item.rowY));
            if (!repaints[i].isEmpty())
                firstRepaint = std::min(firstRepaint, i);
        }
        const bool blackOverBlack = targetIsBlack && isBoxColor(item.color);
        if (item.glyphShows && item.atlasLook == nullptr)
        {
            const Span s = touched(inkOf(item));
            if (blackOverBlack && isInkless(s))
                item.glyphShows = false;
            else
                setBits(inkPixels, coverWords, s.x0, s.y0, s.x1, s.y1);
            inkBefore = inkBefore || item.glyphShows;
        }
        else if (item.glyphShows && (targetIsBlack || !onlyCells))
        {
            for (std::size_t p = item.firstPiece; p < item.firstPiece + item.pieceCount; p++)
            {
                if (blackOverBlack && isInkless(pieces[p]))
                    pieces[p] = Span{0, 0, 0, 0};
                else
                    markInk(item, pieces[p]);
            }
            // A later box whose edge lies inside one of the pixels it kept may or may not
            // cover that pixel: only the box itself, painted again, gives the rasteriser's answer.
            inkBefore = inkBefore || !onlyCells;
        }
        if (onlyCells)
            recordItem(item, noRepaint);
    }
    return firstRepaint;
}

// Off the grid, from the back again down to the first box painted again: what later boxes
// cover need not be painted again, as those boxes paint over the same ink themselves. Then
// every character is recorded in call order.
void CharacterBatch::recordWithRepaints(std::size_t firstRepaint)
{
    if (firstRepaint < items.size())
        std::fill(coverage.begin(), coverage.end(), 0);
    for (std::size_t i = items.size(); i-- > firstRepaint;)
    {
        if (!repaints[i].isEmpty())
            repaints[i] = trimmed(repaints[i], &CharacterBatch::isCovered);
        // A box that does not show lies wholly under later ones, which are covered already.
        if (items[i].boxShows)
            cover(inside(moved(boxOf(items[i]), items[i].rowY)));
    }
    for (std::size_t i = 0; i < items.size(); i++)
        recordItem(items[i], repaints[i]);
}

// Boxes first, in one untextured pass without blending; then the glyphs and box repaints in
// their batches, in order.
void CharacterBatch::drawBatches(sf::RenderTarget& target)
{
    sf::RenderStates boxStates = sf::RenderStates::Default;
    boxStates.blendMode = sf::BlendNone;
    for (const Batch& batch : boxBatches)
    {
        sf::RenderStates row = boxStates;
        row.transform.translate({0.f, batch.rowY});
        compat::drawQuads(target, &boxVertices[batch.first], batch.count, row);
    }
    const sf::Texture* textures[SOURCES] = {&atlas.texture(), atlas.pageTexture()};
    for (std::size_t i = 0; i < ordered.size(); i++)
    {
        sf::RenderStates row = sf::RenderStates::Default;
        row.texture = textures[ordered[i].source];
        row.transform.translate({0.f, ordered[i].rowY});
        compat::drawQuads(target, pool[i].data(), pool[i].size(), row);
    }
}

void CharacterBatch::discard()
{
    items.clear();
    offCells = 0;
    otherQuads.clear();
    for (std::size_t i = 0; i < ordered.size(); i++)
        pool[i].clear();
    ordered.clear();
    latest.clear();
    boxVertices.clear();
    boxBatches.clear();
}

void CharacterBatch::targetCleared()
{
    targetIsBlack = true;
}

} // namespace ks
