/// @file GlyphAtlas.h
/// The character batch's glyph atlas: glyphs as the renderer itself draws them on the grid.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include <SFML/Graphics.hpp>

#include "PixelRect.h"

namespace ks {

/// The glyphs of one font at one character size (bold), each drawn by the renderer the way
/// sf::Text draws it, white over black with its pen in a cell of the grid, and read back into
/// one texture: texel for pixel, the coverage that glyph gives in that cell. The renderer
/// rounds a stretched glyph's texture coordinates by where its pen lies, so a glyph is read
/// in each cell it is drawn in, the first time it is drawn there; most cells look alike and
/// share one look. Painted from the atlas unfiltered, a glyph gives what its own quad gives
/// there, whatever that quad does to the font page's texels (the bold glyphs of SFML 2 are
/// stretched by a texel), and it can be cut anywhere. Printable ASCII has slots when the font
/// is set; other code points get theirs at the next learnGlyphs after they were first asked for.
///
///     GlyphAtlas atlas(1024, 768, 12, 32);
///     atlas.setFont(&font, 24, 0, 0);
///     const std::uint32_t slot = atlas.slotOf(U'A');
///     atlas.lookAt(slot, 5, 3);  // null: A in column 5, row 3 is read at the next learnCells
///     atlas.learnCells(window, true); // a window cleared to black
///     const GlyphAtlas::Look* look = atlas.lookAt(slot, 5, 3);
class GlyphAtlas
{
public:
    /// Where a glyph's quad lies relative to the pen and which texels of the font's page it samples.
    struct GlyphQuad
    {
        float left, top, right, bottom; // pixels, relative to the pen
        float u1, v1, u2, v2;           // texels
    };

    /// One look of a glyph: where its pen lies on the atlas and where its ink lies, in whole
    /// pixels relative to the pen.
    struct Look
    {
        int penX, penY;
        int inkLeft, inkTop, inkRight, inkBottom;      // at most INK_ROW_BITS columns
        int cellsLeft, cellsUp, cellsRight, cellsDown; // the cells its ink reaches, relative to its own
        std::size_t inkRows; // inkRow(inkRows + i): row inkTop + i's pixels with ink, a bit each
        int index;           // among the atlas's looks: 0, 1, ... in the order they were read
    };

    /// A row of a glyph's ink is one word: wider glyphs have no look.
    static constexpr int INK_ROW_BITS = 64;
    /// What slotOf answers for a glyph the atlas does not hold (yet).
    static constexpr std::uint32_t NO_SLOT = ~std::uint32_t(0);

    /// An atlas for a target of width x height pixels with cells of cellWidth x cellHeight.
    GlyphAtlas(int width, int height, float cellWidth, float cellHeight);

    /// Where the boxes of whole cells begin relative to a cell's corner: the looks' reach in
    /// cells is counted from there. Before setFont.
    void setCellBoxes(int left, int top);

    /// Glyphs come from font (which must outlive the atlas) at characterSize, bold, drawn into
    /// targets whose view shows the atlas's width x height pixels with (0, 0) at target pixel
    /// (originX, originY). Forgets every look.
    void setFont(const sf::Font* font, unsigned characterSize, int originX, int originY);

    /// Gives slots to the code points asked for since the last call. False when there were none.
    bool learnGlyphs();

    /// Reads the looks of the cells asked for since the last call (see lookAt), drawing them
    /// into window, whose view must show the atlas's pixels as setFont says; what the window
    /// held is put back afterwards (or it is cleared to black if it was black). True when
    /// looks were added; Look pointers stay valid.
    bool learnCells(sf::RenderWindow& window, bool windowIsBlack);

    /// The slot of a code point that sf::Text draws a glyph for, or NO_SLOT while the atlas has
    /// none (it gets one at the next learnGlyphs, up to a limit).
    std::uint32_t slotOf(char32_t codePoint);
    /// The quad of a slot's glyph.
    const GlyphQuad& quad(std::uint32_t slot) const;
    /// The quad of any code point, from the font.
    GlyphQuad pageQuad(char32_t codePoint) const;
    /// The look of a slot's glyph with its pen in a cell (column and row from 0 at the target's
    /// corner), or null: a cell not read yet is read at the next learnCells.
    const Look* lookAt(std::uint32_t slot, int column, int row);
    /// A row of ink bits (see Look::inkRows).
    std::uint64_t inkRow(std::size_t i) const;

    bool hasFont() const;                   ///< a font is set
    std::size_t lookCount() const;          ///< looks so far
    bool rowsApart() const;                 ///< no glyph's ink in one row of cells reaches another row's
    unsigned getCharacterSize() const;      ///< as set
    const sf::Texture& texture() const;     ///< the looks, white with the coverage as alpha
    const sf::Texture* pageTexture() const; ///< the font's page at the character size, or null

private:
    /// How a glyph looks drawn with its pen in a cell, as read back.
    struct Drawn
    {
        std::uint32_t slot;
        PixelSpan ink; // relative to the pen
        std::vector<std::uint8_t> coverage;
    };

    /// A glyph to draw with its pen in a cell, and the look read there.
    struct Shot
    {
        std::uint32_t slot;
        int column, row;
        std::int32_t look = NONE;
    };

    // What cellLooks holds for a cell without a look.
    static constexpr std::int32_t UNREAD = -1; // not asked for
    static constexpr std::int32_t WANTED = -2; // to read at the next learnCells
    static constexpr std::int32_t NONE = -3;   // too wide for a look: drawn from the page

    bool showsAtlasPixels(const sf::RenderTarget& target) const;
    bool drawShots(sf::RenderWindow& target, std::vector<Shot>& shots);
    PixelRect quadAt(std::uint32_t slot, int column, int row) const;
    std::int32_t keep(Drawn&& look);
    static std::uint64_t hashOf(const Drawn& look);
    void place(std::size_t first);

    int width, height;
    float cellWidth, cellHeight;
    int columns, rows;
    int cellLeft = 0, cellTop = 0;
    const sf::Font* font = nullptr;
    unsigned characterSize = 0;
    int originX = 0, originY = 0;
    // Glyphs by slot: ASCII code points are their own slots, learned glyphs follow.
    std::vector<GlyphQuad> quads;
    std::array<bool, 128> asciiLoaded{};
    std::unordered_map<char32_t, std::uint32_t> learnedSlot;
    std::vector<char32_t> pending; // asked for without a slot, to give one at the next learnGlyphs
    // Slot by slot (empty until the slot is first asked for), a cell each, row by row: the
    // cell's look, or UNREAD, WANTED or NONE.
    std::vector<std::vector<std::int32_t>> cellLooks;
    std::vector<Shot> wanted;
    std::vector<Drawn> drawn;                                           // every look as read, by index
    std::unordered_map<std::uint64_t, std::vector<std::int32_t>> alike; // looks by a hash of them
    std::deque<Look> looks;                                             // by index; never moves
    std::vector<std::uint64_t> ink;
    int inkTop = 0, inkBottom = 0; // the ink's reach over all looks, relative to the pen
    sf::Texture saved;             // what the window held while glyphs are read in it
    sf::Texture atlas;
    int shelfX = 0, shelfY = 0, shelfHeight = 0; // where the next look goes on the atlas
};

inline const GlyphAtlas::GlyphQuad& GlyphAtlas::quad(std::uint32_t slot) const
{
    return quads[slot];
}

inline const GlyphAtlas::Look* GlyphAtlas::lookAt(std::uint32_t slot, int column, int row)
{
    if (slot == NO_SLOT || column < 0 || column >= columns || row < 0 || row >= rows)
        return nullptr;
    std::vector<std::int32_t>& cells = cellLooks[slot];
    if (cells.empty())
        cells.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), UNREAD);
    std::int32_t& look =
        cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column)];
    if (look >= 0)
        return &looks[static_cast<std::size_t>(look)];
    if (look == UNREAD)
    {
        look = WANTED;
        wanted.push_back(Shot{slot, column, row});
    }
    return nullptr;
}

inline std::uint64_t GlyphAtlas::inkRow(std::size_t i) const
{
    return ink[i];
}

} // namespace ks
