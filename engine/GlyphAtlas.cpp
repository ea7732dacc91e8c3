#include "GlyphAtlas.h"

#include <algorithm>
#include <cmath>

#include <SFML/OpenGL.hpp>

#include "SfmlCompat.h"

namespace ks {

namespace {

// Pixels left free around each glyph on the atlas, and around each where it is drawn to be read.
const int ATLAS_MARGIN = 2;

// Code points below this have slots of their own number; learned ones follow.
const std::uint32_t ASCII_SLOTS = 128;

// Glyphs beyond ASCII the atlas learns at most; more are drawn from the font's page.
const std::size_t MAX_LEARNED_GLYPHS = 2048;

// Rows of texels the atlas texture starts with; it doubles when the looks fill it.
const int FIRST_ATLAS_HEIGHT = 256;

// The red of the target's pixels [x, x + w) x [y, y + h), top row first, as drawn so far.
// Straight from the renderer: going through a texture and an image takes several times as
// long, and a frame of new cells reads back several times.
bool readRed(sf::RenderTarget& target, int x, int y, int w, int h, std::vector<std::uint8_t>& red)
{
    const int targetHeight = static_cast<int>(target.getSize().y);
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > static_cast<int>(target.getSize().x) || y + h > targetHeight ||
        !target.setActive(true))
        return false;
    red.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    while (glGetError() != GL_NO_ERROR)
    {
        // Left by an earlier call: only this read's own error counts.
    }
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, targetHeight - y - h, w, h, GL_RED, GL_UNSIGNED_BYTE, red.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    // GL counts rows up from the bottom.
    const auto row = static_cast<std::ptrdiff_t>(w);
    for (std::ptrdiff_t top = 0, bottom = h - 1; top < bottom; top++, bottom--)
        std::swap_ranges(red.begin() + top * row, red.begin() + (top + 1) * row, red.begin() + bottom * row);
    return glGetError() == GL_NO_ERROR;
}

} // namespace

GlyphAtlas::GlyphAtlas(int width, int height, float cellWidth, float cellHeight)
    : width(width),
      height(height),
      cellWidth(cellWidth),
      cellHeight(cellHeight),
      columns(static_cast<int>(std::ceil(static_cast<float>(width) / cellWidth))),
      rows(static_cast<int>(std::ceil(static_cast<float>(height) / cellHeight)))
{}

void GlyphAtlas::setCellBoxes(int left, int top)
{
    cellLeft = left;
    cellTop = top;
}

void GlyphAtlas::setFont(const sf::Font* newFont, unsigned newCharacterSize, int newOriginX, int newOriginY)
{
    font = newFont;
    characterSize = newCharacterSize;
    originX = newOriginX;
    originY = newOriginY;
    quads.assign(ASCII_SLOTS, GlyphQuad{});
    asciiLoaded.fill(false);
    learnedSlot.clear();
    pending.clear();
    cellLooks.assign(quads.size(), {});
    wanted.clear();
    drawn.clear();
    alike.clear();
    looks.clear();
    ink.clear();
    inkTop = inkBottom = 0;
    shelfX = shelfY = shelfHeight = 0;
    if (font == nullptr)
        return;
    // Every printable ASCII glyph goes on the font's page now, so that the page seldom grows
    // while a frame is recorded.
    for (char32_t c = U' '; c <= U'~'; c++)
    {
        quads[c] = pageQuad(c);
        asciiLoaded[c] = true;
    }
}

bool GlyphAtlas::learnGlyphs()
{
    if (pending.empty() || font == nullptr)
    {
        pending.clear();
        return false;
    }
    for (char32_t codePoint : pending)
    {
        learnedSlot.emplace(codePoint, static_cast<std::uint32_t>(quads.size()));
        quads.push_back(pageQuad(codePoint));
    }
    pending.clear();
    cellLooks.resize(quads.size());
    return true;
}

std::uint32_t GlyphAtlas::slotOf(char32_t codePoint)
{
    if (codePoint < ASCII_SLOTS)
        return asciiLoaded[codePoint] ? static_cast<std::uint32_t>(codePoint) : NO_SLOT;
    if (const auto learned = learnedSlot.find(codePoint); learned != learnedSlot.end())
        return learned->second;
    if (learnedSlot.size() + pending.size() < MAX_LEARNED_GLYPHS &&
        std::find(pending.begin(), pending.end(), codePoint) == pending.end())
        pending.push_back(codePoint);
    return NO_SLOT;
}

bool GlyphAtlas::hasFont() const
{
    return font != nullptr;
}

std::size_t GlyphAtlas::lookCount() const
{
    return looks.size();
}

bool GlyphAtlas::rowsApart() const
{
    return static_cast<float>(inkBottom - inkTop) <= cellHeight;
}

unsigned GlyphAtlas::getCharacterSize() const
{
    return characterSize;
}

const sf::Texture& GlyphAtlas::texture() const
{
    return atlas;
}

const sf::Texture* GlyphAtlas::pageTexture() const
{
    return font != nullptr ? &font->getTexture(characterSize) : nullptr;
}

// sf::Text's quad for one glyph: its ink bounds and texture rectangle, each grown by a pixel
// so that smoothing has transparent texels to fade into.
GlyphAtlas::GlyphQuad GlyphAtlas::pageQuad(char32_t codePoint) const
{
    const compat::GlyphRects g = compat::glyphRects(font->getGlyph(codePoint, characterSize, true));
    const float padding = 1;
    return GlyphQuad{
        g.left - padding,    g.top - padding,    g.left + g.width + padding,       g.top + g.height + padding,
        g.texLeft - padding, g.texTop - padding, g.texLeft + g.texWidth + padding, g.texTop + g.texHeight + padding};
}

// Where a glyph lies with its pen in a cell, as sf::Text puts it: its baseline characterSize
// below the cell's corner.
PixelRect GlyphAtlas::quadAt(std::uint32_t slot, int column, int row) const
{
    const GlyphQuad& q = quads[slot];
    const float x = static_cast<float>(column) * cellWidth;
    const float y = static_cast<float>(row) * cellHeight + static_cast<float>(characterSize);
    return PixelRect{x + q.left, y + q.top, x + q.right, y + q.bottom};
}

// Whether the target's view shows the atlas's pixels one for one where setFont said: only then
// is a glyph read in a cell what the glyph painted there gives.
bool GlyphAtlas::showsAtlasPixels(const sf::RenderTarget& target) const
{
    const sf::View& view = target.getView();
    const std::array<int, 4> viewport = compat::viewportPixels(target);
    const sf::Vector2f size(static_cast<float>(width), static_cast<float>(height));
    return view.getSize() == size && view.getCenter() == size / 2.f &&
           viewport == std::array<int, 4>{originX, originY, width, height};
}

bool GlyphAtlas::learnCells(sf::RenderWindow& window, bool windowIsBlack)
{
    if (wanted.empty())
        return false;
    std::vector<Shot> shots;
    shots.swap(wanted);
    bool read = font != nullptr && showsAtlasPixels(window);
    // What the window holds is kept aside and put back, pixel for pixel, once the glyphs are read.
    if (read && !windowIsBlack)
    {
        read =
            saved.getSize() == window.getSize() || compat::makeTexture(saved, window.getSize().x, window.getSize().y);
        if (read)
            saved.update(window);
    }
    if (read)
    {
        read = drawShots(window, shots);
        if (windowIsBlack)
        {
            window.clear(sf::Color::Black);
        }
        else
        {
            const sf::View view = window.getView();
            compat::showArea(window, static_cast<int>(window.getSize().x), static_cast<int>(window.getSize().y), 0, 0);
            window.draw(sf::Sprite(saved), sf::RenderStates(sf::BlendNone));
            window.setView(view);
        }
    }
    // Cells that could not be read now are asked for again when next drawn.
    const std::size_t first = looks.size();
    for (const Shot& shot : shots)
        cellLooks[shot.slot][static_cast<std::size_t>(shot.row) * static_cast<std::size_t>(columns) +
                             static_cast<std::size_t>(shot.column)] = read ? shot.look : UNREAD;
    if (drawn.size() > first)
        place(first);
    return looks.size() > first;
}

// Draws each shot's glyph into the window the way sf::Text draws it in its cell, white over
// black, as many times as it takes for no two to share a pixel, and reads back what the
// renderer made of each: the red of each pixel is the coverage it blended with. It must be the
// window: the renderer rounds a little differently in a texture, whose rows run the other way.
// Each shot gets its look (NONE for a glyph too wide for one). False when the window cannot be
// read.
bool GlyphAtlas::drawShots(sf::RenderWindow& target, std::vector<Shot>& shots)
{
    // The shots in turns: the first turn that has room for a shot takes it.
    auto footprint = [this](const Shot& shot) {
        const PixelSpan s = touchedPixels(quadAt(shot.slot, shot.column, shot.row), width, height);
        return PixelSpan{std::max(s.x0 - ATLAS_MARGIN, 0), std::max(s.y0 - ATLAS_MARGIN, 0),
                         std::min(s.x1 + ATLAS_MARGIN, width), std::min(s.y1 + ATLAS_MARGIN, height)};
    };
    // Each turn's pixels that its shots take, a bit each.
    const int words = (width + PIXEL_WORD_BITS - 1) / PIXEL_WORD_BITS;
    std::vector<std::vector<std::uint64_t>> taken;
    std::vector<std::vector<std::size_t>> turns;
    std::vector<PixelSpan> reach; // of each turn
    for (std::size_t i = 0; i < shots.size(); i++)
    {
        const PixelSpan f = footprint(shots[i]);
        std::size_t turn = 0;
        while (turn < taken.size() && bitsSet(taken[turn], words, f.x0, f.y0, f.x1, f.y1, false))
            turn++;
        if (turn == taken.size())
        {
            taken.emplace_back(static_cast<std::size_t>(words) * static_cast<std::size_t>(height), 0);
            turns.emplace_back();
            reach.push_back(PixelSpan{width, height, 0, 0});
        }
        setBits(taken[turn], words, f.x0, f.y0, f.x1, f.y1);
        turns[turn].push_back(i);
        PixelSpan& r = reach[turn];
        r = PixelSpan{std::min(r.x0, f.x0), std::min(r.y0, f.y0), std::max(r.x1, f.x1), std::max(r.y1, f.y1)};
    }

    sf::RenderStates states = sf::RenderStates::Default;
    states.texture = &font->getTexture(characterSize);
    const float baseline = static_cast<float>(characterSize);
    std::vector<std::uint8_t> red;
    for (std::size_t turn = 0; turn < turns.size(); turn++)
    {
        target.clear(sf::Color::Black);
        for (std::size_t i : turns[turn])
        {
            const Shot& shot = shots[i];
            const GlyphQuad& q = quads[shot.slot];
            // As sf::Text draws it: two triangles about the pen, moved to the cell by the
            // draw's transform (which rounds unlike positions added up before drawing).
            const float top = baseline + q.top, bottom = baseline + q.bottom;
            const sf::Vertex topLeft{{q.left, top}, sf::Color::White, {q.u1, q.v1}};
            const sf::Vertex topRight{{q.right, top}, sf::Color::White, {q.u2, q.v1}};
            const sf::Vertex bottomLeft{{q.left, bottom}, sf::Color::White, {q.u1, q.v2}};
            const sf::Vertex bottomRight{{q.right, bottom}, sf::Color::White, {q.u2, q.v2}};
            const sf::Vertex quad[] = {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight};
            sf::RenderStates inCell = states;
            inCell.transform.translate(
                {static_cast<float>(shot.column) * cellWidth, static_cast<float>(shot.row) * cellHeight});
            target.draw(quad, 6, sf::PrimitiveType::Triangles, inCell);
        }
        const PixelSpan r = reach[turn];
        if (!readRed(target, originX + r.x0, originY + r.y0, r.x1 - r.x0, r.y1 - r.y0, red))
            return false;
        const int readWidth = r.x1 - r.x0;
        auto coverageAt = [&](int x, int y) {
            return red[static_cast<std::size_t>(y - r.y0) * static_cast<std::size_t>(readWidth) +
                       static_cast<std::size_t>(x - r.x0)];
        };
        for (std::size_t i : turns[turn])
        {
            Shot& shot = shots[i];
            const PixelSpan f = touchedPixels(quadAt(shot.slot, shot.column, shot.row), width, height);
            PixelSpan ink{f.x1, f.y1, f.x0, f.y0};
            for (int y = f.y0; y < f.y1; y++)
                for (int x = f.x0; x < f.x1; x++)
                    if (coverageAt(x, y) != 0)
                        ink = PixelSpan{std::min(ink.x0, x), std::min(ink.y0, y), std::max(ink.x1, x + 1),
                                        std::max(ink.y1, y + 1)};
            if (ink.x0 >= ink.x1)
                ink = PixelSpan{f.x0, f.y0, f.x0, f.y0};
            if (ink.x1 - ink.x0 > INK_ROW_BITS)
            {
                shot.look = NONE;
                continue;
            }
            const int penX = static_cast<int>(static_cast<float>(shot.column) * cellWidth);
            const int penY =
                static_cast<int>(static_cast<float>(shot.row) * cellHeight) + static_cast<int>(characterSize);
            Drawn look{shot.slot, PixelSpan{ink.x0 - penX, ink.y0 - penY, ink.x1 - penX, ink.y1 - penY}, {}};
            for (int y = ink.y0; y < ink.y1; y++)
                for (int x = ink.x0; x < ink.x1; x++)
                    look.coverage.push_back(coverageAt(x, y));
            shot.look = keep(std::move(look));
        }
    }
    return true;
}

// The index of a look read: one like it read before, or this one, kept.
std::int32_t GlyphAtlas::keep(Drawn&& look)
{
    std::vector<std::int32_t>& candidates = alike[hashOf(look)];
    for (std::int32_t d : candidates)
    {
        const Drawn& l = drawn[static_cast<std::size_t>(d)];
        if (l.slot == look.slot && l.ink.x0 == look.ink.x0 && l.ink.y0 == look.ink.y0 && l.ink.x1 == look.ink.x1 &&
            l.ink.y1 == look.ink.y1 && l.coverage == look.coverage)
            return d;
    }
    candidates.push_back(static_cast<std::int32_t>(drawn.size()));
    drawn.push_back(std::move(look));
    return candidates.back();
}

std::uint64_t GlyphAtlas::hashOf(const Drawn& look)
{
    // FNV-1a over the slot, the ink's place and its coverage.
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&h](std::uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    mix(look.slot);
    for (int v : {look.ink.x0, look.ink.y0, look.ink.x1, look.ink.y1})
        mix(static_cast<std::uint32_t>(v));
    for (std::uint8_t c : look.coverage)
        mix(c);
    return h;
}

// Puts the looks drawn[first, ...) on the atlas's shelves, a margin apart, and notes where
// each lies and where its ink is. The texture grows (and is filled again) when they do not fit.
void GlyphAtlas::place(std::size_t first)
{
    const int atlasHeight = static_cast<int>(atlas.getSize().y);
    int needed = std::max(atlasHeight, FIRST_ATLAS_HEIGHT);
    const int w = static_cast<int>(cellWidth), h = static_cast<int>(cellHeight);
    const int penY = static_cast<int>(characterSize);
    for (std::size_t i = first; i < drawn.size(); i++)
    {
        const Drawn& d = drawn[i];
        const int inkWidth = d.ink.x1 - d.ink.x0, inkHeight = d.ink.y1 - d.ink.y0;
        if (shelfX + inkWidth > width)
        {
            shelfX = 0;
            shelfY += shelfHeight + ATLAS_MARGIN;
            shelfHeight = 0;
        }
        const int atlasX = shelfX, atlasY = shelfY;
        shelfX += inkWidth + ATLAS_MARGIN;
        shelfHeight = std::max(shelfHeight, inkHeight);
        while (needed < shelfY + shelfHeight + ATLAS_MARGIN)
            needed *= 2;
        const std::size_t inkRows = ink.size();
        for (int ty = 0; ty < inkHeight; ty++)
        {
            std::uint64_t row = 0;
            for (int tx = 0; tx < inkWidth; tx++)
                if (d.coverage[static_cast<std::size_t>(ty * inkWidth + tx)] != 0)
                    row |= std::uint64_t(1) << tx;
            ink.push_back(row);
        }
        inkTop = std::min(inkTop, d.ink.y0);
        inkBottom = std::max(inkBottom, d.ink.y1);
        // A cell's corner is (column * cellWidth, row * cellHeight), its pen characterSize below.
        looks.push_back(Look{atlasX - d.ink.x0, atlasY - d.ink.y0, d.ink.x0, d.ink.y0, d.ink.x1, d.ink.y1,
                             floorDiv(d.ink.x0 - cellLeft, w), floorDiv(penY + d.ink.y0 - cellTop, h),
                             floorDiv(d.ink.x1 - 1 - cellLeft, w), floorDiv(penY + d.ink.y1 - 1 - cellTop, h), inkRows,
                             static_cast<int>(i)});
    }
    // A larger texture starts empty: every look goes on it again.
    std::size_t from = first;
    if (needed != atlasHeight)
    {
        if (!compat::makeTexture(atlas, static_cast<unsigned>(width), static_cast<unsigned>(needed)))
            return;
        // A new texture's texels are whatever the renderer left there.
        const std::vector<std::uint8_t> clear(static_cast<std::size_t>(width) * static_cast<std::size_t>(needed) * 4,
                                              0);
        compat::updateTexture(atlas, clear.data(), static_cast<unsigned>(width), static_cast<unsigned>(needed), 0, 0);
        from = 0;
    }
    std::vector<std::uint8_t> texels;
    for (std::size_t i = from; i < drawn.size(); i++)
    {
        const Drawn& d = drawn[i];
        const Look& look = looks[i];
        const int inkWidth = d.ink.x1 - d.ink.x0, inkHeight = d.ink.y1 - d.ink.y0;
        if (inkWidth == 0 || inkHeight == 0)
            continue;
        texels.assign(static_cast<std::size_t>(inkWidth * inkHeight) * 4, 255);
        for (std::size_t t = 0; t < d.coverage.size(); t++)
            texels[t * 4 + 3] = d.coverage[t];
        compat::updateTexture(atlas, texels.data(), static_cast<unsigned>(inkWidth), static_cast<unsigned>(inkHeight),
                              static_cast<unsigned>(look.penX + look.inkLeft),
                              static_cast<unsigned>(look.penY + look.inkTop));
    }
}

} // namespace ks
