#include "GlyphAtlas.h"

#include <algorithm>

namespace ks {

namespace {

// Pixels left free around each glyph on the atlas, and around each where it is drawn to be read.
const int ATLAS_MARGIN = 2;

// Code points below this have slots of their own number; learned ones follow.
const std::uint32_t ASCII_SLOTS = 128;

// Glyphs beyond ASCII the atlas learns at most; more are drawn from the font's page.
const std::size_t MAX_LEARNED_GLYPHS = 2048;

} // namespace

GlyphAtlas::GlyphAtlas(int width, int height, float cellWidth, float cellHeight)
    : width(width),
      height(height),
      cellWidth(cellWidth),
      cellHeight(cellHeight),
      rows(static_cast<int>(static_cast<float>(height) / cellHeight))
{}

void GlyphAtlas::setCellBoxes(int left, int top)
{
    cellLeft = left;
    cellTop = top;
}

void GlyphAtlas::setFont(const sf::Font* newFont, unsigned newCharacterSize, sf::RenderWindow* window, int newOriginX,
                         int newOriginY)
{
    font = newFont;
    characterSize = newCharacterSize;
    originX = newOriginX;
    originY = newOriginY;
    quads.assign(ASCII_SLOTS, GlyphQuad{});
    asciiLoaded.fill(false);
    learnedSlot.clear();
    pending.clear();
    drawn.clear();
    looks.clear();
    lookAtRow.clear();
    ready = false;
    if (font == nullptr)
        return;
    // Every printable ASCII glyph goes on the font's page now, so that the page seldom grows
    // while a frame is recorded.
    std::vector<std::uint32_t> ascii;
    for (char32_t c = U' '; c <= U'~'; c++)
    {
        quads[c] = pageQuad(c);
        asciiLoaded[c] = true;
        if (compat::textDrawsGlyph(c))
            ascii.push_back(static_cast<std::uint32_t>(c));
    }
    lookAtRow.assign(quads.size() * static_cast<std::size_t>(rows), -1);
    if (window != nullptr && drawLooks(*window, ascii))
        pack();
}

bool GlyphAtlas::learnGlyphs(sf::RenderWindow& window)
{
    if (pending.empty() || font == nullptr || !ready)
    {
        pending.clear();
        return false;
    }
    std::vector<std::uint32_t> slots;
    for (char32_t codePoint : pending)
    {
        const auto slot = static_cast<std::uint32_t>(quads.size());
        learnedSlot.emplace(codePoint, slot);
        quads.push_back(pageQuad(codePoint));
        slots.push_back(slot);
    }
    pending.clear();
    lookAtRow.resize(quads.size() * static_cast<std::size_t>(rows), -1);
    if (drawLooks(window, slots))
        pack();
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

bool GlyphAtlas::isReady() const
{
    return ready;
}

std::size_t GlyphAtlas::lookCount() const
{
    return looks.size();
}

bool GlyphAtlas::rowsApart() const
{
    return inkRowsApart;
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

// Draws the glyphs of slots the way sf::Text would, white over black, with the pen on each row
// of cells, and keeps what the renderer made of each: the red of each pixel is the coverage
// it blended with. Painted from the atlas texel for pixel, unfiltered, in the same row at any
// whole-pixel column, a glyph gives what its own quad gives there, whatever the quad does to
// the page's texels (the bold glyphs of SFML 2 are stretched by a texel), and only its pieces
// with ink need drawing. Rows are kept apart because the renderer rounds a quad's texture
// coordinates a little differently from one row to the next. The window is left cleared to
// black; false (and no looks at all) when it cannot be read as drawn.
bool GlyphAtlas::drawLooks(sf::RenderWindow& window, const std::vector<std::uint32_t>& slotsToDraw)
{
    // Places across the window for drawing, as many windows wide as the glyphs need.
    struct Place
    {
        std::uint32_t slot;
        int pass, penX;
    };
    std::vector<Place> places;
    int passes = 1, placeX = 0;
    for (std::uint32_t slot : slotsToDraw)
    {
        const GlyphQuad& q = quads[slot];
        const int placeWidth = static_cast<int>(std::ceil(q.right - q.left)) + 2 * ATLAS_MARGIN;
        if (placeWidth > width)
            continue;
        if (placeX + placeWidth > width)
        {
            passes++;
            placeX = 0;
        }
        places.push_back(Place{slot, passes - 1, placeX + ATLAS_MARGIN - static_cast<int>(std::floor(q.left))});
        placeX += placeWidth;
    }

    // What each glyph looks like with its pen on each row: its ink relative to the pen, and the
    // coverage there. Most rows look alike and share one place on the atlas.
    const std::size_t firstNew = drawn.size();
    sf::RenderStates states = sf::RenderStates::Default;
    states.texture = &font->getTexture(characterSize);
    // Every other row at a time, so that no glyph reaches into another's pixels.
    for (int pass = 0; pass < passes; pass++)
        for (int parity = 0; parity < 2; parity++)
        {
            window.clear(sf::Color::Black);
            struct Placed
            {
                int row;
                std::uint32_t slot;
                int penX, penY;
                PixelSpan footprint;
            };
            std::vector<Placed> placed;
            for (int row = parity; row < rows; row += 2)
                for (const Place& place : places)
                {
                    if (place.pass != pass)
                        continue;
                    const GlyphQuad& q = quads[place.slot];
                    const float y = static_cast<float>(row) * cellHeight, rowY = rowOf(y);
                    const float penX = static_cast<float>(place.penX);
                    const float penY = y - rowY + static_cast<float>(characterSize);
                    const PixelRect at{penX + q.left, penY + q.top, penX + q.right, penY + q.bottom};
                    const PixelRect r = moved(at, rowY);
                    // Above the first row or below the last, the target's edge cuts a tall
                    // glyph (box drawing, blocks) as it cuts it wherever it is drawn there: the
                    // look is the part inside.
                    if (r.left < 0 || r.right > static_cast<float>(width))
                        continue;
                    // As sf::Text draws it: two triangles, which do not always round like a quad.
                    const sf::Vertex topLeft{{at.left, at.top}, sf::Color::White, {q.u1, q.v1}};
                    const sf::Vertex topRight{{at.right, at.top}, sf::Color::White, {q.u2, q.v1}};
                    const sf::Vertex bottomLeft{{at.left, at.bottom}, sf::Color::White, {q.u1, q.v2}};
                    const sf::Vertex bottomRight{{at.right, at.bottom}, sf::Color::White, {q.u2, q.v2}};
                    const sf::Vertex quad[] = {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight};
                    sf::RenderStates moveDown = states;
                    moveDown.transform.translate({0.f, rowY});
                    window.draw(quad, 6, sf::PrimitiveType::Triangles, moveDown);
                    placed.push_back(Placed{row, place.slot, place.penX,
                                            static_cast<int>(y) + static_cast<int>(characterSize),
                                            touchedPixels(r, width, height)});
                }
            const sf::Image image = compat::captureWindow(window);
            const int imageWidth = static_cast<int>(image.getSize().x);
            if (originX < 0 || originY < 0 || imageWidth < originX + width ||
                static_cast<int>(image.getSize().y) < originY + height)
            {
                // A window smaller than the target (a window manager's doing) cannot be read as
                // drawn: every glyph is drawn from the page instead.
                window.clear(sf::Color::Black);
                lookAtRow.clear();
                drawn.clear();
                looks.clear();
                ready = false;
                return false;
            }
            auto coverageAt = [&](int x, int y) {
                return image
                    .getPixelsPtr()[(static_cast<std::size_t>(y + originY) * static_cast<std::size_t>(imageWidth) +
                                     static_cast<std::size_t>(x + originX)) *
                                    4];
            };
            for (const Placed& d : placed)
            {
                const PixelSpan& f = d.footprint;
                PixelSpan ink{f.x1, f.y1, f.x0, f.y0};
                for (int y = f.y0; y < f.y1; y++)
                    for (int x = f.x0; x < f.x1; x++)
                        if (coverageAt(x, y) != 0)
                            ink = PixelSpan{std::min(ink.x0, x), std::min(ink.y0, y), std::max(ink.x1, x + 1),
                                            std::max(ink.y1, y + 1)};
                if (ink.x0 >= ink.x1)
                    ink = PixelSpan{f.x0, f.y0, f.x0, f.y0};
                if (ink.x1 - ink.x0 > INK_ROW_BITS)
                    continue; // drawn from the page
                Drawn look{d.slot, PixelSpan{ink.x0 - d.penX, ink.y0 - d.penY, ink.x1 - d.penX, ink.y1 - d.penY}, {}};
                for (int y = ink.y0; y < ink.y1; y++)
                    for (int x = ink.x0; x < ink.x1; x++)
                        look.coverage.push_back(coverageAt(x, y));
                auto same = std::find_if(
                    drawn.begin() + static_cast<std::ptrdiff_t>(firstNew), drawn.end(), [&](const Drawn& l) {
                        return l.slot == look.slot && l.ink.x0 == look.ink.x0 && l.ink.y0 == look.ink.y0 &&
                               l.ink.x1 == look.ink.x1 && l.ink.y1 == look.ink.y1 && l.coverage == look.coverage;
                    });
                if (same == drawn.end())
                    same = drawn.insert(drawn.end(), std::move(look));
                lookAtRow[static_cast<std::size_t>(d.slot) * static_cast<std::size_t>(rows) +
                          static_cast<std::size_t>(d.row)] = static_cast<std::int32_t>(same - drawn.begin());
            }
        }
    window.clear(sf::Color::Black);
    return true;
}

// Packs every look onto the texture and notes where each lies and where its ink is.
void GlyphAtlas::pack()
{
    looks.clear();
    ink.clear();

    // Whether the ink of glyphs in one row of cells can reach another row's.
    int inkTop = 0, inkBottom = 0;
    for (const Drawn& look : drawn)
    {
        inkTop = std::min(inkTop, look.ink.y0);
        inkBottom = std::max(inkBottom, look.ink.y1);
    }
    inkRowsApart = static_cast<float>(inkBottom - inkTop) <= cellHeight;

    // The looks side by side on shelves, a margin apart.
    int x = 0, y = 0, shelf = 0;
    for (Drawn& look : drawn)
    {
        const int w = look.ink.x1 - look.ink.x0, h = look.ink.y1 - look.ink.y0;
        if (x + w > width)
        {
            x = 0;
            y += shelf + ATLAS_MARGIN;
            shelf = 0;
        }
        look.atlasX = x;
        look.atlasY = y;
        x += w + ATLAS_MARGIN;
        shelf = std::max(shelf, h);
    }
    const int atlasHeight = y + shelf + ATLAS_MARGIN;
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * static_cast<std::size_t>(atlasHeight) * 4, 0);
    auto texel = [&](int tx, int ty) {
        return &texels[(static_cast<std::size_t>(ty) * static_cast<std::size_t>(width) + static_cast<std::size_t>(tx)) *
                       4];
    };
    for (Drawn& look : drawn)
    {
        const int w = look.ink.x1 - look.ink.x0, h = look.ink.y1 - look.ink.y0;
        look.inkRows = ink.size();
        for (int ty = 0; ty < h; ty++)
        {
            std::uint64_t row = 0;
            for (int tx = 0; tx < w; tx++)
            {
                const std::uint8_t coverage = look.coverage[static_cast<std::size_t>(ty * w + tx)];
                std::uint8_t* t = texel(look.atlasX + tx, look.atlasY + ty);
                t[0] = t[1] = t[2] = 255;
                t[3] = coverage;
                if (coverage != 0)
                    row |= std::uint64_t(1) << tx;
            }
            ink.push_back(row);
        }
    }

    // A cell's corner is (column * cellWidth, row * cellHeight), its pen characterSize below.
    const int w = static_cast<int>(cellWidth), h = static_cast<int>(cellHeight);
    const int penY = static_cast<int>(characterSize);
    for (const Drawn& look : drawn)
        looks.push_back(Look{look.atlasX - look.ink.x0, look.atlasY - look.ink.y0, look.ink.x0, look.ink.y0,
                             look.ink.x1, look.ink.y1, floorDiv(look.ink.x0 - cellLeft, w),
                             floorDiv(penY + look.ink.y0 - cellTop, h), floorDiv(look.ink.x1 - 1 - cellLeft, w),
                             floorDiv(penY + look.ink.y1 - 1 - cellTop, h), look.inkRows,
                             static_cast<int>(looks.size())});
    ready = atlas.loadFromImage(
        compat::makeImage(static_cast<unsigned>(width), static_cast<unsigned>(atlasHeight), texels.data()));
}

} // namespace ks
