/// @file CharacterBatch.h
/// Records characters for the display manager and paints them in a few draw calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include <SFML/Graphics.hpp>

#include "GlyphAtlas.h"
#include "GlyphClipper.h"
#include "OcclusionMap.h"
#include "PixelRect.h"
#include "QuadBatches.h"

namespace ks {

/// Characters recorded in call order (each an opaque black cell box, then a bold glyph) and
/// painted into a render target with the pixels that one sf::RectangleShape and one sf::Text
/// per character, drawn in call order, would give, in a few draw calls.
///
/// Its parts, in the words of a batched renderer:
/// - GlyphAtlas: the glyphs as the renderer itself draws them in their cells, read back into one
///   texture the first time a glyph is painted in a cell and painted from it texel for pixel.
///   Glyphs beyond printable ASCII get their place in it at the first learnGlyphs after they were
///   recorded; until then, and off the grid, glyphs are drawn whole from the font's own page.
/// - OcclusionMap: which pixels the boxes drawn later hide (a byte per cell, a bit per pixel),
///   and where glyphs drawn so far may have left ink.
/// - GlyphClipper: a glyph from the atlas clipped to the rectangles of its ink that show.
/// - QuadBatches: the quads of a frame in vertex batches, a few draw calls.
///
/// A frame is painted in these steps (paint()), each a function:
/// 0. learnCells: the looks of glyphs in cells the atlas has not seen them in.
/// 1. beginFrame: which maps the frame needs, cleared.
/// 2. findWhatShows: from the last character back, which boxes and glyphs later boxes hide
///    (left out) and which rectangles of each glyph from the atlas show. The cost of a frame is
///    bounded by what the screen shows, not by how often cells were overwritten.
/// 3. recordInCallOrder: which part of each box lies over ink that glyphs before it may have
///    left (painted again among the glyphs), and, on the grid, each character's quads.
/// 4. recordWithRepaints (off the grid) or recordCellBoxes (on it): the boxes' quads; boxes
///    are all the same black, so they go first in one untextured pass (left out when the
///    target is known to be black already).
/// 5. drawQuads: the box pass, then glyphs and repaints in batches.
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
        int cell = -1;                               // its cell in the occlusion map, or -1 off the grid
        std::int16_t column = -1, row = -1;          // that cell's
        GlyphClipper::Clip clip;                     // set by paint for a glyph from the atlas: what shows
        bool inCell = false;                         // its pen in a cell's corner: whole pixels, a whole column and row
        bool glyphShows = false;                     // set by paint: not hidden by later boxes
        bool boxShows = false;
    };

    Rect boxOf(const Item& item) const;
    Rect glyphOf(const Item& item) const;
    Rect inkOf(const Item& item) const;
    int penY(const Item& item) const;
    void learnCells(sf::RenderWindow& window);
    void beginFrame();
    std::size_t findWhatShows();
    std::size_t recordInCallOrder(std::size_t shownCount);
    void recordWithRepaints(std::size_t firstRepaint);
    void recordCellBoxes();
    void recordItem(const Item& item, const Rect& repaint);
    void drawQuads(sf::RenderTarget& target) const;

    int width, height;
    float cellWidth, cellHeight;
    unsigned characterSize = 0;
    GlyphAtlas atlas;
    OcclusionMap occlusion;
    GlyphClipper clipper;
    QuadBatches quads;
    std::deque<GlyphQuad> otherQuads; // of the characters recorded without a glyph in the atlas
    bool targetIsBlack = false;

    std::vector<Item> items;
    std::size_t offCells = 0;         // characters recorded off the grid or with glyphs not in the atlas
    bool onlyCells = false;           // set by paint: no such character in this frame
    std::vector<std::uint32_t> shown; // set by paint: on the grid, the items with something to paint, last first
    std::vector<Rect> repaints;       // set by paint off the grid: the part of each item's box painted again over ink
};

} // namespace ks
