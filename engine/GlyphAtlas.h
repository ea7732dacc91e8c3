/// @file GlyphAtlas.h
/// The character batch's glyph atlas: glyphs as the renderer itself draws them on the grid.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include <SFML/Graphics.hpp>

#include "PixelRect.h"

namespace ks {

/// The glyphs of one font at one character size (bold), each drawn once by the renderer the way
/// sf::Text draws it, white over black with its pen on each row of a grid of cells, and read
/// back into one texture: texel for pixel, the coverage that glyph gives in that row at any
/// whole-pixel column. Most rows look alike and share one look. Painted from the atlas
/// unfiltered, a glyph gives what its own quad gives there, whatever that quad does to the font
/// page's texels (the bold glyphs of SFML 2 are stretched by a texel), and it can be cut
/// anywhere. Printable ASCII is drawn when the font is set; other code points are noted when
/// first asked for and drawn at the next learnGlyphs.
///
///     GlyphAtlas atlas(1024, 768, 12, 32);
///     atlas.setFont(&font, 24, &window, 0, 0);
///     const std::uint32_t slot = atlas.slotOf(U'A');
///     const GlyphAtlas::Look* look = atlas.lookAt(slot, 3); // A with its pen in row 3
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
        int index;           // among the atlas's looks
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

    /// Glyphs come from font (which must outlive the atlas) at characterSize, bold; printable
    /// ASCII is drawn now into window, whose view shows the target's pixels with (0, 0) at window
    /// pixel (originX, originY); the window is left cleared to black. A null window or a window
    /// too small for the target leaves the atlas without looks.
    void setFont(const sf::Font* font, unsigned characterSize, sf::RenderWindow* window, int originX, int originY);

    /// Draws the glyphs asked for since the last call into window (its frame shown: it is left
    /// cleared to black) and adds their looks. False when there were none.
    bool learnGlyphs(sf::RenderWindow& window);

    /// The slot of a code point that sf::Text draws a glyph for, or NO_SLOT while the atlas has
    /// none (it is then learned at the next learnGlyphs, up to a limit).
    std::uint32_t slotOf(char32_t codePoint);
    /// The quad of a slot's glyph.
    const GlyphQuad& quad(std::uint32_t slot) const;
    /// The quad of any code point, from the font.
    GlyphQuad pageQuad(char32_t codePoint) const;
    /// The look of a slot's glyph with its pen in a row of cells, or null.
    const Look* lookAt(std::uint32_t slot, int row) const;
    /// A row of ink bits (see Look::inkRows).
    std::uint64_t inkRow(std::size_t i) const;

    bool hasFont() const;                   ///< a font is set
    bool isReady() const;                   ///< the looks are on the texture
    std::size_t lookCount() const;          ///< looks so far
    bool rowsApart() const;                 ///< no glyph's ink in one row of cells reaches another row's
    unsigned getCharacterSize() const;      ///< as set
    const sf::Texture& texture() const;     ///< the looks, white with the coverage as alpha
    const sf::Texture* pageTexture() const; ///< the font's page at the character size, or null

private:
    /// How a glyph looks drawn with its pen on one row of cells, as read back.
    struct Drawn
    {
        std::uint32_t slot;
        PixelSpan ink; // relative to the pen
        std::vector<std::uint8_t> coverage;
        int atlasX = 0, atlasY = 0;
        std::size_t inkRows = 0;
    };

    bool drawLooks(sf::RenderWindow& window, const std::vector<std::uint32_t>& slots);
    void pack();

    int width, height;
    float cellWidth, cellHeight;
    int cellLeft = 0, cellTop = 0;
    const sf::Font* font = nullptr;
    unsigned characterSize = 0;
    int rows = 0;
    int originX = 0, originY = 0;
    // Glyphs by slot: ASCII code points are their own slots, learned glyphs follow.
    std::vector<GlyphQuad> quads;
    std::array<bool, 128> asciiLoaded{};
    std::unordered_map<char32_t, std::uint32_t> learnedSlot;
    std::vector<char32_t> pending; // asked for without a slot, to learn at the next learnGlyphs
    std::vector<Drawn> drawn;
    std::vector<std::int32_t> lookAtRow; // slot by slot, a row of cells each: a look, or -1
    std::vector<Look> looks;
    std::vector<std::uint64_t> ink;
    sf::Texture atlas;
    bool ready = false;
    bool inkRowsApart = false;
};

inline const GlyphAtlas::GlyphQuad& GlyphAtlas::quad(std::uint32_t slot) const
{
    return quads[slot];
}

inline const GlyphAtlas::Look* GlyphAtlas::lookAt(std::uint32_t slot, int row) const
{
    if (!ready || slot == NO_SLOT || row < 0 || row >= rows)
        return nullptr;
    const std::int32_t look =
        lookAtRow[static_cast<std::size_t>(slot) * static_cast<std::size_t>(rows) + static_cast<std::size_t>(row)];
    return look >= 0 ? &looks[static_cast<std::size_t>(look)] : nullptr;
}

inline std::uint64_t GlyphAtlas::inkRow(std::size_t i) const
{
    return ink[i];
}

} // namespace ks
