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

// Pixels left free around each glyph on the sheet.
const int SHEET_MARGIN = 2;

// A row of a glyph's ink on the sheet is one 64-bit word: wider glyphs are drawn from the page.
const int INK_ROW_BITS = 64;

// Code points below this have slots of their own number; learned ones follow.
const std::uint32_t ASCII_SLOTS = 128;
const std::uint32_t NO_SLOT = ~std::uint32_t(0);

// Glyphs beyond ASCII the sheet learns at most; more are drawn from the font's page.
const std::size_t MAX_LEARNED_GLYPHS = 2048;

// Pixels per side of the squares in which paint() notes which batch drew there last.
const int ORDER_TILE = 8;

// How far (in pixels) an edge may move between where it is computed here and where the
// rasteriser puts it; a pixel centre closer than this to an edge counts on both sides.
const float EDGE_SLACK = 1.f / 64;

const sf::Color BOX_COLOR(0, 0, 0, 255);

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

// Floor of a / b for b > 0.
int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Whether v is a whole number of pixels (and small enough to be one exactly). A cast, not
// std::floor, which is a library call on the baseline x86-64 this builds for.
bool isWhole(float v)
{
    return v > -1e6f && v < 1e6f && static_cast<float>(static_cast<int>(v)) == v;
}

// The part of a cell's y that the draw's transform must carry (see compat::BATCH_ROW_IN_TRANSFORM).
float rowOf(float y)
{
    return compat::BATCH_ROW_IN_TRANSFORM ? y : 0;
}

Rect moved(const Rect& r, float dy)
{
    return Rect{r.left, r.top + dy, r.right, r.bottom + dy};
}

} // namespace

bool CharacterBatch::Rect::isEmpty() const
{
    return !(left < right && top < bottom);
}

CharacterBatch::CharacterBatch(int width, int height, float cellWidth, float cellHeight)
    : width(width),
      height(height),
      cellWidth(cellWidth),
      cellHeight(cellHeight),
      coverWords((width + 63) / 64),
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
    }
    // Room for a full grid of cells, so that a frame records without allocating.
    const std::size_t cells = static_cast<std::size_t>(width / cellWidth * height / cellHeight) + 1;
    items.reserve(cells);
    boxVertices.reserve(cells * compat::QUAD_VERTICES);
}

void CharacterBatch::setFont(const sf::Font* newFont, unsigned newCharacterSize, sf::RenderWindow* window, int originX,
                             int originY)
{
    discard();
    font = newFont;
    characterSize = newCharacterSize;
    sheetOriginX = originX;
    sheetOriginY = originY;
    slotQuads.assign(ASCII_SLOTS, GlyphQuad{});
    asciiLoaded.fill(false);
    learnedSlot.clear();
    pendingGlyphs.clear();
    looks.clear();
    sheetRows = static_cast<int>(static_cast<float>(height) / cellHeight);
    sheetLookAt.clear();
    hasSheet = false;
    if (font == nullptr)
        return;
    // Every printable ASCII glyph goes on the page now, so that the page seldom grows while a
    // frame is recorded.
    std::vector<std::uint32_t> ascii;
    for (char32_t c = U' '; c <= U'~'; c++)
    {
        slotQuads[c] = glyphQuad(c);
        asciiLoaded[c] = true;
        if (compat::textDrawsGlyph(c))
            ascii.push_back(static_cast<std::uint32_t>(c));
    }
    sheetLookAt.assign(slotQuads.size() * static_cast<std::size_t>(sheetRows), -1);
    if (window != nullptr && drawLooks(*window, ascii))
        buildSheet();
}

void CharacterBatch::learnGlyphs(sf::RenderWindow& window)
{
    if (pendingGlyphs.empty() || font == nullptr || !hasSheet)
    {
        pendingGlyphs.clear();
        return;
    }
    std::vector<std::uint32_t> slots;
    for (char32_t codePoint : pendingGlyphs)
    {
        const auto slot = static_cast<std::uint32_t>(slotQuads.size());
        learnedSlot.emplace(codePoint, slot);
        slotQuads.push_back(glyphQuad(codePoint));
        slots.push_back(slot);
    }
    pendingGlyphs.clear();
    sheetLookAt.resize(slotQuads.size() * static_cast<std::size_t>(sheetRows), -1);
    if (drawLooks(window, slots))
        buildSheet();
}

// Draws the glyphs of slots the way sf::Text would, white over black, with the pen on each row
// of cells, and keeps what the renderer made of each: the red of each pixel is the coverage
// it blended with. Painted from that sheet texel for pixel, unfiltered, in the same row at any
// whole-pixel column, a glyph gives what its own quad gives there, whatever the quad does to
// the page's texels (the bold glyphs of SFML 2 are stretched by a texel), and only its pieces
// with ink need drawing. Rows are kept apart because the renderer rounds a quad's texture
// coordinates a little differently from one row to the next. The window is left cleared to
// black; false (and no sheet at all) when it cannot be read as drawn.
bool CharacterBatch::drawLooks(sf::RenderWindow& window, const std::vector<std::uint32_t>& slotsToDraw)
{
    const int rows = sheetRows;
    const int originX = sheetOriginX, originY = sheetOriginY;

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
        const GlyphQuad& q = slotQuads[slot];
        const int placeWidth = static_cast<int>(std::ceil(q.right - q.left)) + 2 * SHEET_MARGIN;
        if (placeWidth > width)
            continue;
        if (placeX + placeWidth > width)
        {
            passes++;
            placeX = 0;
        }
        places.push_back(Place{slot, passes - 1, placeX + SHEET_MARGIN - static_cast<int>(std::floor(q.left))});
        placeX += placeWidth;
    }

    // What each glyph looks like with its pen on each row: its ink relative to the pen, and the
    // coverage there. Most rows look alike and share one place on the sheet.
    const std::size_t firstNew = looks.size();
    sf::RenderStates states = sf::RenderStates::Default;
    states.texture = &font->getTexture(characterSize);
    // Every other row at a time, so that no glyph reaches into another's pixels.
    for (int pass = 0; pass < passes; pass++)
        for (int parity = 0; parity < 2; parity++)
        {
            window.clear(sf::Color::Black);
            struct Drawn
            {
                int row;
                std::uint32_t slot;
                int penX, penY;
                Span footprint;
            };
            std::vector<Drawn> drawn;
            for (int row = parity; row < rows; row += 2)
                for (const Place& place : places)
                {
                    if (place.pass != pass)
                        continue;
                    const GlyphQuad& q = slotQuads[place.slot];
                    const float y = static_cast<float>(row) * cellHeight;
                    Item item;
                    item.x = static_cast<float>(place.penX);
                    item.y = y;
                    item.rowY = rowOf(y);
                    item.glyph = &q;
                    const Rect at = glyphOf(item);
                    const Rect r = moved(at, item.rowY);
                    if (r.left < 0 || r.top < 0 || r.right > static_cast<float>(width) ||
                        r.bottom > static_cast<float>(height))
                        continue;
                    // As sf::Text draws it: two triangles, which do not always round like a quad.
                    const sf::Vertex topLeft{{at.left, at.top}, sf::Color::White, {q.u1, q.v1}};
                    const sf::Vertex topRight{{at.right, at.top}, sf::Color::White, {q.u2, q.v1}};
                    const sf::Vertex bottomLeft{{at.left, at.bottom}, sf::Color::White, {q.u1, q.v2}};
                    const sf::Vertex bottomRight{{at.right, at.bottom}, sf::Color::White, {q.u2, q.v2}};
                    const sf::Vertex quad[] = {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight};
                    sf::RenderStates moveDown = states;
                    moveDown.transform.translate({0.f, item.rowY});
                    window.draw(quad, 6, sf::PrimitiveType::Triangles, moveDown);
                    drawn.push_back(Drawn{row, place.slot, place.penX,
                                          static_cast<int>(y) + static_cast<int>(characterSize), touched(r)});
                }
            const sf::Image image = compat::captureWindow(window);
            const int imageWidth = static_cast<int>(image.getSize().x);
            if (originX < 0 || originY < 0 || imageWidth < originX + width ||
                static_cast<int>(image.getSize().y) < originY + height)
            {
                // A window smaller than the target (a window manager's doing) cannot be read as
                // drawn: every glyph is drawn from the page instead.
                window.clear(sf::Color::Black);
                sheetLookAt.clear();
                looks.clear();
                hasSheet = false;
                return false;
            }
            auto coverageAt = [&](int x, int y) {
                return image
                    .getPixelsPtr()[(static_cast<std::size_t>(y + originY) * static_cast<std::size_t>(imageWidth) +
                                     static_cast<std::size_t>(x + originX)) *
                                    4];
            };
            for (const Drawn& d : drawn)
            {
                const Span& f = d.footprint;
                Span ink{f.x1, f.y1, f.x0, f.y0};
                for (int y = f.y0; y < f.y1; y++)
                    for (int x = f.x0; x < f.x1; x++)
                        if (coverageAt(x, y) != 0)
                            ink = Span{std::min(ink.x0, x), std::min(ink.y0, y), std::max(ink.x1, x + 1),
                                       std::max(ink.y1, y + 1)};
                if (ink.x0 >= ink.x1)
                    ink = Span{f.x0, f.y0, f.x0, f.y0};
                if (ink.x1 - ink.x0 > INK_ROW_BITS)
                    continue; // drawn from the page
                Look look{d.slot, Span{ink.x0 - d.penX, ink.y0 - d.penY, ink.x1 - d.penX, ink.y1 - d.penY}, {}};
                for (int y = ink.y0; y < ink.y1; y++)
                    for (int x = ink.x0; x < ink.x1; x++)
                        look.coverage.push_back(coverageAt(x, y));
                auto same = std::find_if(
                    looks.begin() + static_cast<std::ptrdiff_t>(firstNew), looks.end(), [&](const Look& l) {
                        return l.slot == look.slot && l.ink.x0 == look.ink.x0 && l.ink.y0 == look.ink.y0 &&
                               l.ink.x1 == look.ink.x1 && l.ink.y1 == look.ink.y1 && l.coverage == look.coverage;
                    });
                if (same == looks.end())
                    same = looks.insert(looks.end(), std::move(look));
                sheetLookAt[static_cast<std::size_t>(d.slot) * static_cast<std::size_t>(rows) +
                            static_cast<std::size_t>(d.row)] = static_cast<std::int32_t>(same - looks.begin());
            }
        }
    window.clear(sf::Color::Black);
    return true;
}

// Packs every look onto the sheet's texture and notes where each lies and where its ink is.
void CharacterBatch::buildSheet()
{
    sheetGlyphs.clear();
    sheetInk.clear();

    // Whether the ink of glyphs in one row of cells can reach another row's.
    int inkTop = 0, inkBottom = 0;
    for (const Look& look : looks)
    {
        inkTop = std::min(inkTop, look.ink.y0);
        inkBottom = std::max(inkBottom, look.ink.y1);
    }
    sheetRowsApart = static_cast<float>(inkBottom - inkTop) <= cellHeight;

    // The looks side by side on shelves, a margin apart.
    int x = 0, y = 0, shelf = 0;
    for (Look& look : looks)
    {
        const int w = look.ink.x1 - look.ink.x0, h = look.ink.y1 - look.ink.y0;
        if (x + w > width)
        {
            x = 0;
            y += shelf + SHEET_MARGIN;
            shelf = 0;
        }
        look.sheetX = x;
        look.sheetY = y;
        x += w + SHEET_MARGIN;
        shelf = std::max(shelf, h);
    }
    const int sheetHeight = y + shelf + SHEET_MARGIN;
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * static_cast<std::size_t>(sheetHeight) * 4, 0);
    auto texel = [&](int tx, int ty) {
        return &texels[(static_cast<std::size_t>(ty) * static_cast<std::size_t>(width) + static_cast<std::size_t>(tx)) *
                       4];
    };
    for (Look& look : looks)
    {
        const int w = look.ink.x1 - look.ink.x0, h = look.ink.y1 - look.ink.y0;
        look.inkRows = sheetInk.size();
        for (int ty = 0; ty < h; ty++)
        {
            std::uint64_t row = 0;
            for (int tx = 0; tx < w; tx++)
            {
                const std::uint8_t coverage = look.coverage[static_cast<std::size_t>(ty * w + tx)];
                std::uint8_t* t = texel(look.sheetX + tx, look.sheetY + ty);
                t[0] = t[1] = t[2] = 255;
                t[3] = coverage;
                if (coverage != 0)
                    row |= std::uint64_t(1) << tx;
            }
            sheetInk.push_back(row);
        }
    }

    // A cell's corner is (column * cellWidth, row * cellHeight), its pen characterSize below.
    const int w = static_cast<int>(cellWidth), h = static_cast<int>(cellHeight);
    const int penY = static_cast<int>(characterSize);
    for (const Look& look : looks)
        sheetGlyphs.push_back(
            SheetGlyph{look.sheetX - look.ink.x0, look.sheetY - look.ink.y0, look.ink.x0, look.ink.y0, look.ink.x1,
                       look.ink.y1, floorDiv(look.ink.x0 - cellLeft, w), floorDiv(penY + look.ink.y0 - cellTop, h),
                       floorDiv(look.ink.x1 - 1 - cellLeft, w), floorDiv(penY + look.ink.y1 - 1 - cellTop, h),
                       look.inkRows, static_cast<int>(sheetGlyphs.size())});
    cutFirst.assign(looks.size() * (std::size_t(1) << MAX_PATTERN_CELLS), -1);
    cutCount.assign(cutFirst.size(), 0);
    cachedPieces.clear();
    hasSheet = sheet.loadFromImage(
        compat::makeImage(static_cast<unsigned>(width), static_cast<unsigned>(sheetHeight), texels.data()));
}

// sf::Text's quad for one glyph: its ink bounds and texture rectangle, each grown by a pixel
// so that smoothing has transparent texels to fade into.
CharacterBatch::GlyphQuad CharacterBatch::glyphQuad(char32_t codePoint) const
{
    if (codePoint < asciiLoaded.size() && asciiLoaded[codePoint])
        return slotQuads[codePoint];
    const compat::GlyphRects g = compat::glyphRects(font->getGlyph(codePoint, characterSize, true));
    const float padding = 1;
    return GlyphQuad{
        g.left - padding,    g.top - padding,    g.left + g.width + padding,       g.top + g.height + padding,
        g.texLeft - padding, g.texTop - padding, g.texLeft + g.texWidth + padding, g.texTop + g.texHeight + padding};
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
    if (font != nullptr)
    {
        // A space (or a character sf::Text would leave out) shows only its box.
        if (compat::textDrawsGlyph(codePoint))
        {
            // Its slot on the sheet, if it has one yet; else it is learned at the next swap.
            std::uint32_t slot = NO_SLOT;
            if (codePoint < ASCII_SLOTS)
            {
                if (asciiLoaded[codePoint])
                    slot = static_cast<std::uint32_t>(codePoint);
            }
            else if (const auto learned = learnedSlot.find(codePoint); learned != learnedSlot.end())
            {
                slot = learned->second;
            }
            else if (learnedSlot.size() + pendingGlyphs.size() < MAX_LEARNED_GLYPHS &&
                     std::find(pendingGlyphs.begin(), pendingGlyphs.end(), codePoint) == pendingGlyphs.end())
            {
                pendingGlyphs.push_back(codePoint);
            }
            if (slot != NO_SLOT)
            {
                item.glyph = &slotQuads[slot];
            }
            else
            {
                otherQuads.push_back(glyphQuad(codePoint));
                item.glyph = &otherQuads.back();
            }
            if (hasSheet && onGrid && slot != NO_SLOT && r < sheetRows)
            {
                const std::int32_t look =
                    sheetLookAt[static_cast<std::size_t>(slot) * static_cast<std::size_t>(sheetRows) +
                                static_cast<std::size_t>(r)];
                if (look >= 0)
                    item.sheetGlyph = &sheetGlyphs[static_cast<std::size_t>(look)];
            }
        }
    }
    if (item.cell < 0 || (item.glyph != nullptr && item.sheetGlyph == nullptr))
        offCells++;
    items.push_back(item);
}

// Both relative to the item's row: the transform adds rowY.
CharacterBatch::Rect CharacterBatch::boxOf(const Item& item) const
{
    const float left = item.x - cellWidth / 10;
    const float top = item.y - item.rowY + cellHeight / 5;
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
    if (!(r.left < r.right && r.top < r.bottom))
        return Span{0, 0, 0, 0};
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    auto low = [](float v, float limit) {
        return static_cast<int>(std::ceil(std::clamp(v - 0.5f - EDGE_SLACK, -1.f, limit)));
    };
    auto high = [](float v, float limit) {
        return static_cast<int>(std::ceil(std::clamp(v - 0.5f + EDGE_SLACK, -1.f, limit)));
    };
    return Span{std::max(low(r.left, w), 0), std::max(low(r.top, h), 0), std::min(high(r.right, w), width),
                std::min(high(r.bottom, h), height)};
}

// Only the pixels whose centres r surely holds.
CharacterBatch::Span CharacterBatch::inside(const Rect& r) const
{
    if (!(r.left < r.right && r.top < r.bottom))
        return Span{0, 0, 0, 0};
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    auto at = [](float v, float slack, float limit) {
        return static_cast<int>(std::ceil(std::clamp(v - 0.5f + slack, -1.f, limit)));
    };
    return Span{std::max(at(r.left, EDGE_SLACK, w), 0), std::max(at(r.top, EDGE_SLACK, h), 0),
                std::min(at(r.right, -EDGE_SLACK, w), width), std::min(at(r.bottom, -EDGE_SLACK, h), height)};
}

namespace {

// Bits [from, to) of a word.
std::uint64_t bitRange(int from, int to)
{
    from = std::max(from, 0);
    if (from >= std::min(to, 64))
        return 0;
    const std::uint64_t upTo = to >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << to) - 1;
    return upTo & ~((std::uint64_t(1) << from) - 1);
}

// Bits from the lowest to the highest set bit of a non-zero word.
std::uint64_t hull(std::uint64_t bits)
{
    return bitRange(__builtin_ctzll(bits), 64 - __builtin_clzll(bits));
}

} // namespace

namespace {

// Sets the bits of pixels [x0, x1) x [y0, y1) in a bit map whose rows have words 64-bit words.
void setBits(std::vector<std::uint64_t>& bits, int words, int x0, int y0, int x1, int y1)
{
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int w = x0 / 64; w <= (x1 - 1) / 64; w++)
    {
        const std::uint64_t mask = bitRange(x0 - w * 64, x1 - w * 64);
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
    for (int w = x0 / 64; w <= (x1 - 1) / 64; w++)
    {
        const std::uint64_t mask = bitRange(x0 - w * 64, x1 - w * 64);
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
    const SheetGlyph& g = *item.sheetGlyph;
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

// Up to 64 bits of a bit map row, from column x on: bit i is column x + i.
std::uint64_t bitsFrom(const std::uint64_t* row, int words, int x)
{
    const int w = x / 64, shift = x % 64;
    std::uint64_t bits = row[w] >> shift;
    if (shift != 0 && w + 1 < words)
        bits |= row[w + 1] << (64 - shift);
    return bits;
}

} // namespace

// Which of the cells the glyph's ink reaches later boxes cover, a bit each, row by row; -1 when
// the pieces may depend on more than that (off the grid, at the target's edges, or too many
// cells).
int CharacterBatch::coverPattern(const Item& item) const
{
    const SheetGlyph& g = *item.sheetGlyph;
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
    const SheetGlyph& g = *item.sheetGlyph;
    if (pattern == (1 << ((g.cellsRight - g.cellsLeft + 1) * (g.cellsDown - g.cellsUp + 1))) - 1)
        return; // every cell its ink reaches hidden
    const std::size_t at =
        static_cast<std::size_t>(g.look) * (std::size_t(1) << MAX_PATTERN_CELLS) + static_cast<std::size_t>(pattern);
    const int x = static_cast<int>(item.x), penY = static_cast<int>(item.y) + static_cast<int>(characterSize);
    if (cutFirst[at] < 0)
    {
        cutIntoPieces(item);
        if (item.pieceCount > 255)
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
    const SheetGlyph& g = *item.sheetGlyph;
    const int left = static_cast<int>(item.x) + g.inkLeft;
    const int top = static_cast<int>(item.y) + static_cast<int>(characterSize) + g.inkTop;
    const std::uint64_t onTarget = bitRange(std::max(-left, 0), std::min(g.inkRight - g.inkLeft, width - left));
    item.firstPiece = pieces.size();
    std::uint64_t band = 0, bandHidden = 0; // the band's columns, and the hidden ink in its rows
    int bandTop = 0, bandBottom = 0;
    auto closeBand = [&] {
        if (band != 0)
            pieces.push_back(
                Span{left + __builtin_ctzll(band), bandTop, left + 64 - __builtin_clzll(band), bandBottom});
        band = 0;
    };
    const int from = std::max(left, 0);
    // What later boxes cover changes only from one row of cells to the next: the row below
    // starts at nextBoxRow.
    int boxRow = 0, nextBoxRow = INT_MIN;
    std::uint64_t coveredByCells = 0;
    for (int y = std::max(top, 0); y < std::min(top + g.inkBottom - g.inkTop, height) && onTarget != 0; y++)
    {
        const std::uint64_t ink = sheetInk[g.inkRows + static_cast<std::size_t>(y - top)];
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
            const int length = ~fromStart == 0 ? 64 - start : __builtin_ctzll(~fromStart);
            pieces.push_back(Span{left + start, y, left + start + length, y + 1});
            rest &= ~bitRange(start, start + length);
        }
    }
    closeBand();
    item.pieceCount = static_cast<std::uint16_t>(pieces.size() - item.firstPiece);
}

// Notes the pixels of a piece where the sheet's glyph has ink (a piece may hold pixels without).
void CharacterBatch::markInk(const Item& item, const Span& piece)
{
    const SheetGlyph& g = *item.sheetGlyph;
    const int left = static_cast<int>(item.x) + g.inkLeft;
    const int top = static_cast<int>(item.y) + static_cast<int>(characterSize) + g.inkTop;
    for (int y = piece.y0; y < piece.y1; y++)
    {
        // Bit i of ink is column left + i; the piece lies inside the target, so no bit left
        // of column 0 is set.
        const std::uint64_t ink =
            sheetInk[g.inkRows + static_cast<std::size_t>(y - top)] & bitRange(piece.x0 - left, piece.x1 - left);
        std::uint64_t* row = &inkPixels[static_cast<std::size_t>(y * coverWords)];
        if (left < 0)
        {
            row[0] |= ink >> -left;
            continue;
        }
        const int w = left / 64, shift = left % 64;
        row[w] |= ink << shift;
        if (shift != 0 && w + 1 < coverWords)
            row[w + 1] |= ink >> (64 - shift);
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
    if (item.glyphShows && item.sheetGlyph != nullptr)
    {
        // Only the parts that show, from the sheet, texel for pixel: whole pixels need no row in
        // the transform, so the whole frame's pieces can share a batch.
        const SheetGlyph& g = *item.sheetGlyph;
        const float du = static_cast<float>(g.penX) - item.x;
        const float dv = static_cast<float>(g.penY) - item.y - static_cast<float>(characterSize);
        for (std::size_t i = item.firstPiece; i < item.firstPiece + item.pieceCount; i++)
        {
            if (pieces[i].x0 >= pieces[i].x1)
                continue; // left out above
            const Rect r = rectOf(pieces[i]);
            place(SHEET, 0, r, item.color, r.left + du, r.top + dv, r.right + du, r.bottom + dv);
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

void CharacterBatch::paint(sf::RenderTarget& target)
{
    // From the last character back: a box or glyph whose every pixel a later box paints over
    // would not show, so it is left out.
    // When every box is a whole cell's and every glyph is on the sheet, the cells alone tell
    // what later boxes cover.
    onlyCells = cellsTile && offCells == 0;
    rowsApart = onlyCells && sheetRowsApart;
    if (!onlyCells)
        std::fill(coverage.begin(), coverage.end(), 0);
    std::fill(cellCovered.begin(), cellCovered.end(), 0);
    if (!rowsApart)
        std::fill(lastBatchAt.begin(), lastBatchAt.end(), -1);
    pieces.clear();
    // On the grid, the characters with something to paint, from the last back: most of a busy
    // frame's are hidden, and the pass in call order then skips them without a guess at each.
    shown.resize(items.size());
    std::size_t shownCount = 0;
    for (std::size_t i = items.size(); i-- > 0;)
    {
        Item& item = items[i];
        const Rect box = moved(boxOf(item), item.rowY);
        if (item.sheetGlyph != nullptr)
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

    // In call order: which part of each box lies over ink that glyphs before it may have left.
    // Pieces from the sheet leave none where a later box surely lies, but off the grid a box
    // edge may cut a pixel they keep; glyphs drawn whole from the page may leave ink anywhere. On a target cleared to
    // black, a black glyph over no ink leaves every pixel as it is, and is left out. A frame with only cells has no
    // repaints to trim, so each character is recorded right away.
    if (targetIsBlack || !onlyCells)
        std::fill(inkPixels.begin(), inkPixels.end(), 0);
    std::size_t firstRepaint = items.size();
    bool pageInk = false;
    const Rect noRepaint{0, 0, 0, 0};
    if (!onlyCells)
        repaints.assign(items.size(), noRepaint);
    for (std::size_t k = 0; k < (onlyCells ? shownCount : items.size()); k++)
    {
        const std::size_t i = onlyCells ? shown[shownCount - 1 - k] : k;
        Item& item = items[i];
        if (item.boxShows && pageInk)
        {
            repaints[i] = inkUnder(moved(boxOf(item), item.rowY));
            if (!repaints[i].isEmpty())
                firstRepaint = std::min(firstRepaint, i);
        }
        const bool blackOverBlack = targetIsBlack && isBoxColor(item.color);
        if (item.glyphShows && item.sheetGlyph == nullptr)
        {
            const Span s = touched(inkOf(item));
            if (blackOverBlack && isInkless(s))
                item.glyphShows = false;
            else
                setBits(inkPixels, coverWords, s.x0, s.y0, s.x1, s.y1);
            pageInk = pageInk || item.glyphShows;
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
            pageInk = pageInk || !onlyCells;
        }
        if (onlyCells)
            recordItem(item, noRepaint);
    }
    if (!onlyCells)
    {
        // From the back again, down to the first of those parts: what later boxes cover need
        // not be painted, as those boxes paint over the same ink themselves.
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

    if (onlyCells && !targetIsBlack)
        recordCellBoxes();

    sf::RenderStates boxStates = sf::RenderStates::Default;
    boxStates.blendMode = sf::BlendNone;
    for (const Batch& batch : boxBatches)
    {
        sf::RenderStates row = boxStates;
        row.transform.translate({0.f, batch.rowY});
        compat::drawQuads(target, &boxVertices[batch.first], batch.count, row);
    }
    const sf::Texture* textures[SOURCES] = {&sheet, font != nullptr ? &font->getTexture(characterSize) : nullptr};
    for (std::size_t i = 0; i < ordered.size(); i++)
    {
        sf::RenderStates row = sf::RenderStates::Default;
        row.texture = textures[ordered[i].source];
        row.transform.translate({0.f, ordered[i].rowY});
        compat::drawQuads(target, pool[i].data(), pool[i].size(), row);
    }
    discard();
    targetIsBlack = false;
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
