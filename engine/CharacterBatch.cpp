#include "CharacterBatch.h"

#include "SfmlCompat.h"

#include <algorithm>

namespace ks {

namespace {

using Rect = CharacterBatch::Rect;

// A texel inside the 2 x 2 opaque white block that every glyph page keeps at its top-left
// corner (where sf::Text samples its underline): smooth filtering there still gives white.
const float PAGE_WHITE_TEXEL = 1.f;

const sf::Color BOX_COLOR(0, 0, 0, 255);

// A character's box lies a tenth of a cell left of its cell and a fifth of a cell below it
// (divided, not multiplied by a fraction, to round as the plain way does).
const float BOX_LEFT_DIVISOR = 10, BOX_DOWN_DIVISOR = 5;

// The box of the cell whose top-left pixel is (x, y), relative to its row: the transform adds rowY.
Rect cellBox(float x, float y, float rowY, float cellWidth, float cellHeight)
{
    const float left = x - cellWidth / BOX_LEFT_DIVISOR;
    const float top = y - rowY + cellHeight / BOX_DOWN_DIVISOR;
    return Rect{left, top, left + cellWidth, top + cellHeight};
}

// Field by field: SFML 2's operator== is a call into the library, and this is asked of every
// character that shows.
bool isBoxColor(sf::Color c)
{
    return c.r == BOX_COLOR.r && c.g == BOX_COLOR.g && c.b == BOX_COLOR.b && c.a == BOX_COLOR.a;
}

Rect rectOf(const PixelSpan& s)
{
    return Rect{static_cast<float>(s.x0), static_cast<float>(s.y0), static_cast<float>(s.x1), static_cast<float>(s.y1)};
}

} // namespace

CharacterBatch::CharacterBatch(int width, int height, float cellWidth, float cellHeight)
    : width(width),
      height(height),
      cellWidth(cellWidth),
      cellHeight(cellHeight),
      atlas(width, height, cellWidth, cellHeight),
      // Where an inner cell's box lies tells whether boxes of whole cells tile the target.
      occlusion(width, height, cellWidth, cellHeight,
                moved(cellBox(cellWidth, cellHeight, rowOf(cellHeight), cellWidth, cellHeight), rowOf(cellHeight))),
      clipper(atlas, occlusion, width, height),
      quads(width, height, BOX_COLOR)
{
    if (occlusion.cellsTile())
        atlas.setCellBoxes(occlusion.cellLeft(), occlusion.cellTop());
    // Room for a full grid of cells, so that a frame records without allocating.
    const std::size_t cells = static_cast<std::size_t>(width / cellWidth * height / cellHeight) + 1;
    items.reserve(cells);
    quads.reserveBoxes(cells);
}

void CharacterBatch::setFont(const sf::Font* font, unsigned newCharacterSize, int originX, int originY)
{
    discard();
    characterSize = newCharacterSize;
    atlas.setFont(font, characterSize, originX, originY);
    clipper.reset();
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
    clipper.addLooks();
    for (Item& item : items)
        if (item.atlasLook == nullptr && item.slot != GlyphAtlas::NO_SLOT && item.inCell)
        {
            item.atlasLook =
                atlas.lookAt(item.slot, static_cast<int>(item.x / cellWidth), static_cast<int>(item.y / cellHeight));
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
    const bool onGrid =
        isWholePixel(x) && isWholePixel(y) && isWholePixel(column) && isWholePixel(row) && column >= 0 && row >= 0;
    const int c = onGrid ? static_cast<int>(column) : -1, r = onGrid ? static_cast<int>(row) : -1;
    item.cell = onGrid ? occlusion.cellIndex(c, r) : -1;
    if (item.cell >= 0)
    {
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

// Relative to the item's row: the transform adds rowY.
CharacterBatch::Rect CharacterBatch::boxOf(const Item& item) const
{
    return cellBox(item.x, item.y, item.rowY, cellWidth, cellHeight);
}

CharacterBatch::Rect CharacterBatch::glyphOf(const Item& item) const
{
    const float pen = item.y - item.rowY + static_cast<float>(characterSize);
    const GlyphQuad& q = *item.glyph;
    return Rect{item.x + q.left, pen + q.top, item.x + q.right, pen + q.bottom};
}

// Where a glyph drawn whole may put ink on the target.
CharacterBatch::Rect CharacterBatch::inkOf(const Item& item) const
{
    const Rect quad = moved(glyphOf(item), item.rowY);
    if (isWholePixel(quad.left) && isWholePixel(quad.top) && isWholePixel(quad.right) && isWholePixel(quad.bottom))
        return quad;
    return grown(quad, INK_MARGIN);
}

// The pixel row of the pen of a glyph on whole pixels.
int CharacterBatch::penY(const Item& item) const
{
    return static_cast<int>(item.y) + static_cast<int>(characterSize);
}

// A frame's steps: the looks not read yet, what shows, the ink under boxes, the quads in
// batches, the draw calls.
void CharacterBatch::paint(sf::RenderWindow& target)
{
    learnCells(target);
    beginFrame();
    const std::size_t showing = findWhatShows();
    const std::size_t firstRepaint = recordInCallOrder(showing);
    if (!onlyCells)
        recordWithRepaints(firstRepaint);
    else if (!targetIsBlack)
        recordCellBoxes();
    drawQuads(target);
    discard();
    targetIsBlack = false;
}

// Which maps the frame needs, cleared. When every box is a whole cell's and every glyph is in
// the atlas, the cells alone tell what later boxes cover.
void CharacterBatch::beginFrame()
{
    onlyCells = occlusion.cellsTile() && offCells == 0;
    if (!onlyCells)
        occlusion.clearPixels();
    occlusion.clearCells();
    quads.beginFrame(onlyCells && atlas.rowsApart());
    clipper.beginFrame();
}

// From the last character back: a box or glyph whose every pixel a later box paints over
// would not show, so it is left out. Returns how many characters on the grid have a glyph to
// paint (shown[0, that), last first).
std::size_t CharacterBatch::findWhatShows()
{
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
            item.clip =
                clipper.clip(*item.atlasLook, static_cast<int>(item.x), penY(item), item.column, item.row, onlyCells);
            item.glyphShows = item.clip.count > 0;
        }
        else
        {
            item.glyphShows = item.glyph != nullptr &&
                              !occlusion.isCovered(touchedPixels(moved(glyphOf(item), item.rowY), width, height));
        }
        if (item.cell >= 0)
        {
            // A later box of the same cell hides all of it; the first from the back covers
            // the cell's pixels for everything before it.
            item.boxShows = occlusion.coverCell(item.cell);
            if (item.boxShows && !onlyCells)
                occlusion.cover(insidePixels(box, width, height));
            shown[shownCount] = static_cast<std::uint32_t>(i);
            shownCount += item.glyphShows; // boxes on the grid are recorded cell by cell
            continue;
        }
        item.boxShows = !occlusion.isCovered(touchedPixels(box, width, height));
        occlusion.cover(insidePixels(box, width, height));
    }
    return shownCount;
}

// In call order: which part of each box lies over ink that glyphs before it may have left.
// Rectangles from the atlas leave none where a later box surely lies, but off the grid a box
// edge may cut a pixel they keep; glyphs drawn whole from the page may leave ink anywhere. On
// a target cleared to black, a black glyph over no ink leaves every pixel as it is, and is
// left out. A frame with only cells has no repaints to trim, so each character is recorded
// right away. Returns the first character whose box is painted again (the count of characters
// when none is).
std::size_t CharacterBatch::recordInCallOrder(std::size_t shownCount)
{
    if (targetIsBlack || !onlyCells)
        occlusion.clearInk();
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
            repaints[i] = occlusion.inkUnder(moved(boxOf(item), item.rowY));
            if (!repaints[i].isEmpty())
                firstRepaint = std::min(firstRepaint, i);
        }
        const bool blackOverBlack = targetIsBlack && isBoxColor(item.color);
        if (item.glyphShows && item.atlasLook == nullptr)
        {
            const PixelSpan s = touchedPixels(inkOf(item), width, height);
            if (blackOverBlack && occlusion.isInkless(s))
                item.glyphShows = false;
            else
                occlusion.markInk(s);
            inkBefore = inkBefore || item.glyphShows;
        }
        else if (item.glyphShows && (targetIsBlack || !onlyCells))
        {
            const GlyphAtlas::Look& g = *item.atlasLook;
            for (std::size_t p = item.clip.first; p < item.clip.first + item.clip.count; p++)
            {
                PixelSpan& r = clipper.rect(p);
                if (blackOverBlack && occlusion.isInkless(r))
                    r = PixelSpan{0, 0, 0, 0};
                else
                    occlusion.markInk(atlas, g, static_cast<int>(item.x) + g.inkLeft, penY(item) + g.inkTop, r);
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
        occlusion.clearPixels();
    for (std::size_t i = items.size(); i-- > firstRepaint;)
    {
        if (!repaints[i].isEmpty())
            repaints[i] = occlusion.uncovered(repaints[i]);
        // A box that does not show lies wholly under later ones, which are covered already.
        if (items[i].boxShows)
            occlusion.cover(insidePixels(moved(boxOf(items[i]), items[i].rowY), width, height));
    }
    for (std::size_t i = 0; i < items.size(); i++)
        recordItem(items[i], repaints[i]);
}

// On the grid every box is a whole cell's and all are the same black, drawn before any glyph:
// the order they were recorded in changes no pixel. So they are recorded cell by cell, row by
// row, and each run of cells that some character took is one quad; in call order a busy
// frame's boxes come in random cells and would be as many quads as cells.
void CharacterBatch::recordCellBoxes()
{
    for (int row = 0; row < occlusion.rows(); row++)
        for (int column = 0; column < occlusion.columns(); column++)
        {
            if (!occlusion.isCellCovered(column, row))
                continue;
            const float x = static_cast<float>(column) * cellWidth, y = static_cast<float>(row) * cellHeight;
            const float rowY = rowOf(y);
            quads.addBox(cellBox(x, y, rowY, cellWidth, cellHeight), rowY);
        }
}

// Records a character's quads: its box for the box pass (unless the target is black already or
// the boxes go cell by cell), then the part of it painted again over ink and its glyph's quads
// for the textured pass.
void CharacterBatch::recordItem(const Item& item, const Rect& repaint)
{
    if (item.boxShows && !targetIsBlack && !onlyCells)
        quads.addBox(boxOf(item), item.rowY);
    if (!repaint.isEmpty())
    {
        // Drawn among the glyphs, after those whose ink it lies over.
        quads.addQuad(QuadBatches::PAGE, item.rowY, moved(repaint, -item.rowY), BOX_COLOR, PAGE_WHITE_TEXEL,
                      PAGE_WHITE_TEXEL, PAGE_WHITE_TEXEL, PAGE_WHITE_TEXEL);
    }
    if (item.glyphShows && item.atlasLook != nullptr)
    {
        // Only the rectangles that show, from the atlas, texel for pixel: whole pixels need no
        // row in the transform, so the whole frame's glyphs can share a batch.
        const GlyphAtlas::Look& g = *item.atlasLook;
        const float du = static_cast<float>(g.penX) - item.x;
        const float dv = static_cast<float>(g.penY) - item.y - static_cast<float>(characterSize);
        for (std::size_t i = item.clip.first; i < item.clip.first + item.clip.count; i++)
        {
            const PixelSpan& s = clipper.rect(i);
            if (s.x0 >= s.x1)
                continue; // left out above
            const Rect r = rectOf(s);
            quads.addQuad(QuadBatches::ATLAS, 0, r, item.color, r.left + du, r.top + dv, r.right + du, r.bottom + dv);
        }
    }
    else if (item.glyphShows)
    {
        // Drawn whole even where later boxes hide part of it: off whole pixels, a clipped quad
        // would sample the glyph page a rounding step apart.
        const GlyphQuad& q = *item.glyph;
        quads.addQuad(QuadBatches::PAGE, item.rowY, glyphOf(item), item.color, q.u1, q.v1, q.u2, q.v2);
    }
}

// Boxes first, in one untextured pass without blending; then the glyphs and box repaints in
// their batches, in order.
void CharacterBatch::drawQuads(sf::RenderTarget& target) const
{
    quads.draw(target, &atlas.texture(), atlas.pageTexture());
}

void CharacterBatch::discard()
{
    items.clear();
    offCells = 0;
    otherQuads.clear();
    quads.clear();
}

void CharacterBatch::targetCleared()
{
    targetIsBlack = true;
}

} // namespace ks
