/// @file CharacterBatch.h
/// Records characters for the display manager and paints them in a few draw calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include <SFML/Graphics.hpp>

namespace ks {

/// Characters recorded in call order (each an opaque black cell box, then a bold glyph) and
/// painted into a render target with the pixels that one sf::RectangleShape and one sf::Text
/// per character, drawn in call order, would give.
///
/// When the font is set, every printable ASCII glyph is drawn once by the renderer itself,
/// white over black with its pen on each row of cells, and read back into a small glyph sheet:
/// texel for pixel, the coverage that glyph gives in that row at any whole-pixel column. Other
/// glyphs join the sheet the same way at the first learnGlyphs after they were recorded. A
/// glyph in a cell of the grid is painted from the sheet without filtering, in pieces that take
/// in its ink that later boxes leave showing and no ink they hide; other glyphs (off the grid,
/// not learned yet) are drawn whole from the font's own page.
///
/// paint() first finds, from the last character back, which boxes and glyphs later boxes hide
/// and leaves those out: the cost of a frame is bounded by what the screen shows, not by how
/// often cells were overwritten. Boxes of whole cells tile the target, so a byte per cell
/// answers most of that, and a bit per pixel the rest. Boxes are all the same black, so they go
/// first in one untextured pass (skipped when the target is known to be black already), and
/// glyphs follow in call order; a box is painted again among them only over pixels where a
/// glyph drawn whole before it may have left ink and later boxes do not cover. Such repaints
/// sample the opaque white block of the font's page, in the batches of those glyphs.
/// Everything is drawn as quads, in a few draw calls.
///
///     CharacterBatch batch(1024, 768, 12, 32);
///     batch.setFont(&font, 24, &window);
///     batch.add(120, 96, 'K', sf::Color::Green);
///     batch.paint(window);
class CharacterBatch
{
public:
    /// A rectangle in pixels: left and top inside, right and bottom just outside.
    struct Rect
    {
        float left, top, right, bottom;

        /// True when the rectangle holds no point.
        bool isEmpty() const;
    };

    /// A batch for a target of width x height pixels with cells of cellWidth x cellHeight.
    CharacterBatch(int width, int height, float cellWidth, float cellHeight);

    /// Glyphs come from font (which must outlive the batch) at characterSize, bold; the
    /// printable ASCII glyphs are loaded now and drawn once into window, which is left cleared
    /// to black, for the glyph sheet. The window's view must show the target's pixels with
    /// their (0, 0) at window pixel (originX, originY). Without a font only the boxes are painted.
    void setFont(const sf::Font* font, unsigned characterSize, sf::RenderWindow* window, int originX = 0,
                 int originY = 0);

    /// Records a code point in colour: its box and glyph for the cell whose top-left corner is
    /// pixel (x, y).
    void add(float x, float y, char32_t codePoint, sf::Color color);

    /// Paints what is recorded into target and forgets it. Afterwards the target counts as
    /// holding unknown pixels.
    void paint(sf::RenderTarget& target);

    /// Draws the glyphs recorded since the last call that the glyph sheet does not hold yet
    /// into window, as setFont does, and adds them to the sheet; the window (whose frame has
    /// just been shown) is left cleared to black. Each glyph is learned once.
    void learnGlyphs(sf::RenderWindow& window);

    /// Forgets what is recorded without painting it.
    void discard();

    /// The target has just been cleared to opaque black and nothing else has drawn into it:
    /// boxes over no recorded ink then paint nothing new and are left out.
    void targetCleared();

private:
    /// Where a glyph's quad lies relative to the pen and which texels it samples.
    struct GlyphQuad
    {
        float left, top, right, bottom; // pixels, relative to the pen
        float u1, v1, u2, v2;           // texels
    };

    /// One look of an ASCII glyph on the sheet (most glyphs look alike in every row of cells):
    /// where its pen lies on the sheet and where its ink lies, in whole pixels relative to the pen.
    struct SheetGlyph
    {
        int penX, penY;
        int inkLeft, inkTop, inkRight, inkBottom;      // at most 64 columns
        int cellsLeft, cellsUp, cellsRight, cellsDown; // the cells its ink reaches, relative to its own
        std::size_t inkRows; // sheetInk[inkRows + i]: row inkTop + i's pixels with ink, a bit each
        int look;            // its index in sheetGlyphs
    };

    /// Pixels [x0, x1) x [y0, y1) inside the target.
    struct Span
    {
        int x0, y0, x1, y1;
    };

    /// A character as recorded; kept small, as a busy frame holds thousands.
    struct Item
    {
        float x = 0, y = 0; // the cell's top-left pixel
        float rowY = 0;     // the part of y the draw's transform carries
        sf::Color color;
        const GlyphQuad* glyph = nullptr;       // in slotQuads or otherQuads; none for a space
        const SheetGlyph* sheetGlyph = nullptr; // set when the glyph is painted from the sheet
        int cell = -1;                          // the index of its cell in cellCovered, or -1 off the grid
        std::int16_t column = -1, row = -1;     // that cell's
        // Set by paint for a glyph on whole pixels: the pieces of its ink that show, as
        // pieces[firstPiece, firstPiece + pieceCount).
        std::uint32_t firstPiece = 0;
        std::uint16_t pieceCount = 0;
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

    /// The textures of the ordered part: the glyph sheet and the font's page.
    enum Source
    {
        SHEET,
        PAGE,
        SOURCES
    };

    /// A batch of the ordered part.
    struct Ordered
    {
        float rowY;
        Source source;
    };

    GlyphQuad glyphQuad(char32_t codePoint) const;
    bool drawLooks(sf::RenderWindow& window, const std::vector<std::uint32_t>& slots);
    void buildSheet();
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
    void place(Source source, float rowY, const Rect& r, sf::Color color, float u1, float v1, float u2, float v2);

    int width, height;
    float cellWidth, cellHeight;
    const sf::Font* font = nullptr;
    unsigned characterSize = 0;
    /// How a glyph looks drawn with its pen on one row of cells, as read back.
    struct Look
    {
        std::uint32_t slot;
        Span ink; // relative to the pen
        std::vector<std::uint8_t> coverage;
        int sheetX = 0, sheetY = 0;
        std::size_t inkRows = 0;
    };

    // Glyphs by slot: ASCII code points are their own slots, learned glyphs follow.
    std::vector<GlyphQuad> slotQuads;
    std::array<bool, 128> asciiLoaded{};
    std::unordered_map<char32_t, std::uint32_t> learnedSlot;
    std::vector<char32_t> pendingGlyphs; // recorded without a slot, to learn at the next learnGlyphs
    int sheetRows = 0;
    int sheetOriginX = 0, sheetOriginY = 0;
    std::vector<Look> looks;
    std::deque<GlyphQuad> otherQuads; // of the characters recorded beyond ASCII
    bool targetIsBlack = false;
    sf::Texture sheet;
    bool hasSheet = false;
    std::vector<SheetGlyph> sheetGlyphs;   // the sheet's looks
    std::vector<std::int32_t> sheetLookAt; // slot by slot, a row of cells each: a look, or -1
    std::vector<std::uint64_t> sheetInk;
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
    std::size_t offCells = 0;             // characters recorded off the grid or with glyphs not on the sheet
    bool onlyCells = false;               // set by paint: no such character in this frame
    bool sheetRowsApart = false;          // the sheet's glyphs in one row of cells never reach another's ink
    bool rowsApart = false;               // set by paint: onlyCells, and the sheet's rows apart
    std::vector<std::uint64_t> inkPixels; // pixels where glyphs painted so far may have left ink
    int orderColumns;
    std::vector<int> lastBatchAt; // per ORDER_TILE square: the last batch that drew there
};

} // namespace ks
