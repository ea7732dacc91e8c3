/// @file CharacterBatch.h
/// Records characters for the display manager and paints them in a few draw calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include <SFML/Graphics.hpp>

#include "GlyphAtlas.h"
#include "PixelRect.h"

namespace ks {

/// Characters recorded in call order (each an opaque black cell box, then a bold glyph) and
/// painted into a render target with the pixels that one sf::RectangleShape and one sf::Text
/// per character, drawn in call order, would give.
///
/// The first time a glyph is painted in a cell, the renderer itself draws it there off screen,
/// white over black, and it is read back into a glyph atlas (GlyphAtlas): texel for pixel, the
/// coverage that glyph gives in that cell. Glyphs beyond printable ASCII get their place in the
/// atlas at the first learnGlyphs after they were recorded. A glyph in a cell of the grid is
/// painted from the atlas without filtering, in pieces that take in its ink that later boxes
/// leave showing and no ink they hide; other glyphs (off the grid, not learned yet) are drawn
/// whole from the font's own page.
///
/// A frame is painted in these steps (paint()):
/// 0. learnCells: the looks of glyphs in cells the atlas has not seen them in.
/// 1. findWhatShows: from the last character back, which boxes and glyphs later boxes hide
///    (the occlusion maps: a byte per cell, as boxes of whole cells tile the target, and a bit
///    per pixel for the rest); hidden ones are left out, and a glyph from the atlas is cut into
///    pieces of its ink that shows. The cost of a frame is bounded by what the screen shows,
///    not by how often cells were overwritten.
/// 2. recordInCallOrder: which part of each box lies over ink that glyphs before it may have
///    left (painted again among the glyphs), and the quads of each character in batches.
/// 3. recordWithRepaints (off the grid) or recordCellBoxes (on it): the boxes' quads; boxes
///    are all the same black, so they go first in one untextured pass (left out when the
///    target is known to be black already).
/// 4. drawBatches: the box pass, then glyphs and repaints in batches in an order that keeps
///    every pixel, all as quads, in a few draw calls.
///
///     CharacterBatch batch(1024, 768, 12, 32);
///     batch.setFont(&font, 24);
///     batch.add(120, 96, 'K', sf::Color::Green);
///     batch.paint(window);
class CharacterBatch
{
public:
    using Rect = PixelRect;

    /// A batch for a target of width x height pixels with cells of cellWidth x cellHeight.
    CharacterBatch(int width, int height, float cellWidth, float cellHeight);

    /// Glyphs come from font (which must outlive the batch) at characterSize, bold; the
    /// printable ASCII glyphs are loaded now. The view of the targets painted into shows the
    /// batch's pixels with their (0, 0) at target pixel (originX, originY): the glyph atlas
    /// reads glyphs in their cells only from such targets. Without a font only the boxes are
    /// painted.
    void setFont(const sf::Font* font, unsigned characterSize, int originX = 0, int originY = 0);

    /// Records a code point in colour: its box and glyph for the cell whose top-left corner is
    /// pixel (x, y).
    void add(float x, float y, char32_t codePoint, sf::Color color);

    /// Paints what is recorded into target and forgets it. Afterwards the target counts as
    /// holding unknown pixels. Glyphs in cells the atlas has not seen them in are read first,
    /// in the target itself, which is then given back as it was.
    void paint(sf::RenderWindow& target);

    /// Gives the glyphs recorded since the last call that the glyph atlas does not hold yet
    /// their place in it (the frame they were first recorded in draws them from the font's
    /// page). Each glyph is learned once.
    void learnGlyphs();

    /// Forgets what is recorded without painting it.
    void discard();

    /// The target has just been cleared to opaque black and nothing else has drawn into it:
    /// boxes over no recorded ink then paint nothing new and are left out.
    void targetCleared();

private:
    using Span = PixelSpan;
    using GlyphQuad = GlyphAtlas::GlyphQuad;

    /// A character as recorded; kept small, as a busy frame holds thousands.
    struct Item
    {
        float x = 0, y = 0; // the cell's top-left pixel
        float rowY = 0;     // the part of y the draw's transform carries
        sf::Color color;
        const GlyphQuad* glyph = nullptr;            // in the atlas or otherQuads; none for a space
        const GlyphAtlas::Look* atlasLook = nullptr; // set when the glyph is painted from the atlas
        std::uint32_t slot = GlyphAtlas::NO_SLOT;    // its glyph's in the atlas
        int cell = -1;                               // the index of its cell in cellCovered, or -1 off the grid
        std::int16_t column = -1, row = -1;          // that cell's
        // Set by paint for a glyph on whole pixels: the pieces of its ink that show, as
        // pieces[firstPiece, firstPiece + pieceCount).
        std::uint32_t firstPiece = 0;
        std::uint16_t pieceCount = 0;
        bool inCell = false;     // its pen in a cell's corner: whole pixels, a whole column and row
        bool glyphShows = false; // set by paint: not hidden by later boxes
        bool boxShows = false;
    };

    /// Vertices [first, first + count) drawn in one call, moved down by rowY pixels.
    struct Batch
    {
        std::size_t first;
        std::size_t count;
        float rowY;
    };

    /// The textures of the ordered part: the glyph atlas and the font's page.
    enum Source
    {
        ATLAS,
        PAGE,
        SOURCES
    };

    /// A batch of the ordered part.
    struct Ordered
    {
        float rowY;
        Source source;
    };

    void learnCells(sf::RenderWindow& window);
    bool hiddenByCells(const Item& item) const;
    std::uint64_t cellsCovering(int left, int columns, int row) const;
    void findShownPieces(Item& item);
    void cutIntoPieces(Item& item);
    int coverPattern(const Item& item) const;
    void markInk(const Item& item, const Span& piece);
    Rect inkOf(const Item& item) const;
    Rect inkUnder(const Rect& box) const;
    static Rect rectOf(const Span& s);
    Rect trimmed(const Rect& r, bool (CharacterBatch::*drop)(const Span&) const) const;
    Rect boxOf(const Item& item) const;
    Rect glyphOf(const Item& item) const;
    Span touched(const Rect& r) const;
    Span inside(const Rect& r) const;
    void cover(const Span& s);
    bool isCovered(const Span& s) const;
    bool isInkless(const Span& s) const;
    void record(std::vector<sf::Vertex>& out, std::vector<Batch>& outBatches, const Rect& r, float rowY,
                sf::Color color, float u1, float v1, float u2, float v2);
    bool extendLastBox(const Rect& r, float rowY);
    int& latestBatch(Source source, float rowY);
    void recordItem(const Item& item, const Rect& repaint);
    void recordCellBoxes();
    void clearMaps();
    std::size_t findWhatShows();
    std::size_t recordInCallOrder(std::size_t shownCount);
    void recordWithRepaints(std::size_t firstRepaint);
    void drawBatches(sf::RenderTarget& target);
    void place(Source source, float rowY, const Rect& r, sf::Color color, float u1, float v1, float u2, float v2);

    int width, height;
    float cellWidth, cellHeight;
    unsigned characterSize = 0;
    GlyphAtlas atlas;
    std::deque<GlyphQuad> otherQuads; // of the characters recorded without a glyph in the atlas
    bool targetIsBlack = false;
    // The pieces a look of a glyph on the grid is cut into, for each pattern of later boxes in
    // the cells its ink reaches (a bit a cell): first piece in cachedPieces, relative to the pen,
    // or -1 until it is first cut; and how many.
    std::vector<int> cutFirst;
    std::vector<std::uint8_t> cutCount;
    std::vector<Span> cachedPieces;

    std::vector<Item> items;
    std::vector<std::uint32_t> shown; // set by paint: on the grid, the items with something to paint, last first
    std::vector<Rect> repaints;       // set by paint off the grid: the part of each item's box painted again over ink
    std::vector<Span> pieces;
    std::vector<sf::Vertex> boxVertices; // the untextured box pass
    std::vector<Batch> boxBatches;
    // Glyphs and box repaints in batches drawn in an order that keeps every pixel: each batch's
    // row (see compat::BATCH_ROW_IN_TRANSFORM) and texture, and its vertices (kept from frame
    // to frame).
    std::vector<Ordered> ordered;
    std::vector<std::vector<sf::Vertex>> pool;
    struct Latest
    {
        Source source;
        float rowY;
        int batch;
    };
    std::vector<Latest> latest; // the last batch of each texture and row
    std::size_t latestHit = 0;
    int coverWords;                      // 64-pixel words per row
    std::vector<std::uint64_t> coverage; // pixels hidden by boxes recorded later
    // Boxes of cells on the grid tile the target: cell (c, r)'s box holds exactly the pixels
    // [c * cellWidth + cellLeft, +cellWidth) x [r * cellHeight + cellTop, +cellHeight). Then a
    // byte per cell tells whether a later box hides that cell's box (cellCovered), which
    // answers most questions without looking at pixels.
    bool cellsTile = false;
    int cellLeft = 0, cellTop = 0, cellColumns = 0, cellRows = 0;
    int firstRow = 0, lastColumn = 0, lastRow = 0; // the cells of the target's edges (column 0 first)
    std::vector<std::uint8_t> cellCovered;
    std::size_t offCells = 0;             // characters recorded off the grid or with glyphs not in the atlas
    bool onlyCells = false;               // set by paint: no such character in this frame
    bool rowsApart = false;               // set by paint: onlyCells, and the atlas's rows apart
    std::vector<std::uint64_t> inkPixels; // pixels where glyphs painted so far may have left ink
    int orderColumns;
    std::vector<int> lastBatchAt; // per ORDER_TILE square: the last batch that drew there
};

} // namespace ks
