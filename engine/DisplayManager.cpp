#include "DisplayManager.h"

#include "LogManager.h"
#include "SfmlCompat.h"

#include <algorithm>
#include <locale>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace ks {

namespace {

// Colours outside BLACK..WHITE have no picture of their own and are painted white.
bool toSfmlColor(Color color, sf::Color& out)
{
    switch (color)
    {
    case BLACK: out = sf::Color(0, 0, 0, 255); return true;
    case RED: out = sf::Color(255, 0, 0, 255); return true;
    case GREEN: out = sf::Color(0, 255, 0, 255); return true;
    case YELLOW: out = sf::Color(255, 255, 0, 255); return true;
    case BLUE: out = sf::Color(0, 0, 255, 255); return true;
    case MAGENTA: out = sf::Color(255, 0, 255, 255); return true;
    case CYAN: out = sf::Color(0, 255, 255, 255); return true;
    case WHITE: out = sf::Color(255, 255, 255, 255); return true;
    default: out = sf::Color(255, 255, 255, 255); return false;
    }
}

// A texel inside the 2 x 2 opaque white block that every glyph page keeps at its top-left
// corner (where sf::Text samples its underline): smooth filtering there still gives white.
const float WHITE_TEXEL = 1.f;

// Two triangles, in the vertex order sf::Text uses for a glyph.
void appendQuad(std::vector<sf::Vertex>& out, float left, float top, float right, float bottom, sf::Color color,
                float u1, float v1, float u2, float v2)
{
    const sf::Vertex topLeft{{left, top}, color, {u1, v1}};
    const sf::Vertex topRight{{right, top}, color, {u2, v1}};
    const sf::Vertex bottomLeft{{left, bottom}, color, {u1, v2}};
    const sf::Vertex bottomRight{{right, bottom}, color, {u2, v2}};
    out.push_back(topLeft);
    out.push_back(topRight);
    out.push_back(bottomLeft);
    out.push_back(bottomLeft);
    out.push_back(topRight);
    out.push_back(bottomRight);
}

// Mesa's software renderer allocates its tile bins during a frame and frees them all when
// the frame is shown. glibc would hand the freed top of the heap back to the system each
// time and fault it in again on the next frame, which costs about a fifth of a full frame.
// The heap keeps up to this much free memory instead.
void keepRendererHeap()
{
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

} // namespace

DisplayManager::DisplayManager()
{
    setType("DisplayManager");
}

DisplayManager& DisplayManager::getInstance()
{
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp()
{
    // Started from here on, whatever fails below: the input manager only asks for the flag.
    Manager::startUp();

    if (window != nullptr)
        return 0;

    keepRendererHeap();
    window = compat::makeWindow(static_cast<unsigned>(horizontalPixels), static_cast<unsigned>(verticalPixels), 32,
                                sf::String(WINDOW_TITLE_DEFAULT, std::locale()),
                                static_cast<std::uint32_t>(WINDOW_STYLE_DEFAULT))
                 .release();
    // Room for a box and a glyph in every cell, so that a full frame records without allocating.
    vertices.reserve(static_cast<std::size_t>(horizontalChars * verticalChars) * 12);
    boxVertices.reserve(static_cast<std::size_t>(horizontalChars * verticalChars) * 6);
    window->setMouseCursorVisible(false);
    window->setVerticalSyncEnabled(true);
    // One press event per key press, however long the key is held.
    window->setKeyRepeatEnabled(false);

    sf::Font loaded;
    if (!compat::openFont(loaded, FONT_FILE_DEFAULT))
    {
        LogManager::getInstance().writeLog("failed to open font file");
        return -1;
    }
    font = loaded;
    fontLoaded = true;
    loadGlyphs();

    if (!window->isOpen())
    {
        LogManager::getInstance().writeLog("Failed to open displaymanager display");
        return -1;
    }
    return 0;
}

void DisplayManager::shutDown()
{
    dropRecorded();
    if (window != nullptr)
    {
        window->close();
        delete window;
        window = nullptr;
    }
    Manager::shutDown();
}

int DisplayManager::drawCh(Vector position, char ch, Color color) const
{
    if (window == nullptr)
    {
        LogManager::getInstance().writeLog("Can not drawChar because displaymanager window is not open");
        return -1;
    }

    const Vector pixel = spacesToPixels(position);
    const float cellWidth = charWidth();
    const float cellHeight = charHeight();

    sf::Color fill;
    if (!toSfmlColor(color, fill))
        LogManager::getInstance().writeLog("Unknown color, defaulting to white");

    // A batch holds one pixel row when the row has to travel in the draw's transform.
    float rowY = 0;
    if (compat::BATCH_ROW_IN_TRANSFORM)
        rowY = pixel.getY();
    const float y = pixel.getY() - rowY;
    const float windowWidth = static_cast<float>(horizontalPixels);
    const float windowHeight = static_cast<float>(verticalPixels);
    auto record = [&](std::vector<sf::Vertex>& out, std::vector<Batch>& outBatches, float left, float top, float right,
                      float bottom, sf::Color color, float u1, float v1, float u2, float v2) {
        // A quad wholly outside the window covers no pixel: nothing to draw.
        if (right <= 0 || left >= windowWidth || bottom + rowY <= 0 || top + rowY >= windowHeight)
            return;
        if (outBatches.empty() || outBatches.back().rowY != rowY)
            outBatches.push_back(Batch{out.size(), 0, rowY});
        appendQuad(out, left, top, right, bottom, color, u1, v1, u2, v2);
        outBatches.back().count += 6;
    };

    // The opaque box hides whatever was drawn in (or near) this cell before. Boxes are all
    // the same black, so the whole box can be painted before every glyph of the frame, in a
    // cheap untextured pass; only where glyphs recorded earlier may have left ink does the
    // box have to be painted again in call order, to hide them. That part samples the page's
    // white block, so black times white stays opaque black.
    const float boxLeft = pixel.getX() - cellWidth / 10;
    const float boxTop = y + cellHeight / 5;
    const float boxRight = boxLeft + cellWidth;
    const float boxBottom = boxTop + cellHeight;
    const sf::Color black(0, 0, 0, 255);
    if (!extendLastBox(boxLeft, boxTop, boxRight, boxBottom, rowY))
        record(boxVertices, boxBatches, boxLeft, boxTop, boxRight, boxBottom, black, 0, 0, 0, 0);
    const InkMap::Rect over = ink.inkWithin({boxLeft, boxTop + rowY, boxRight, boxBottom + rowY});
    if (!over.isEmpty())
    {
        // Edges on the box's own edges keep the box's values, so they cover the same pixels.
        const float overTop = over.top == boxTop + rowY ? boxTop : over.top - rowY;
        const float overBottom = over.bottom == boxBottom + rowY ? boxBottom : over.bottom - rowY;
        record(vertices, batches, over.left, overTop, over.right, overBottom, black, WHITE_TEXEL, WHITE_TEXEL,
               WHITE_TEXEL, WHITE_TEXEL);
    }

    // Without a font only the box is painted; the missing file was reported at start-up.
    if (!fontLoaded)
        return 0;
    // The same code point a one-character sf::String gives (bytes above 127 included).
    const char32_t codePoint = sf::String(ch, std::locale())[0];
    // A space (or a character sf::Text would leave out) shows only its box.
    if (!compat::textDrawsGlyph(codePoint))
        return 0;
    const GlyphQuad q = glyphQuad(codePoint);
    const float penY = y + static_cast<float>(glyphSize());
    const float left = pixel.getX() + q.left, top = penY + q.top, right = pixel.getX() + q.right,
                bottom = penY + q.bottom;
    record(vertices, batches, left, top, right, bottom, fill, q.u1, q.v1, q.u2, q.v2);
    // Grown by a pixel: where the draw's transform rounds a row's position differently from
    // this sum, the ink still lies inside.
    ink.add({left - 1, top + rowY - 1, right + 1, bottom + rowY + 1});
    return 0;
}

// Boxes along a row meet edge to edge: the box that starts exactly where the last one ends
// widens it instead of adding a quad, which covers the same pixels with fewer triangles.
bool DisplayManager::extendLastBox(float left, float top, float right, float bottom, float rowY) const
{
    if (boxBatches.empty() || boxBatches.back().rowY != rowY || boxBatches.back().count == 0)
        return false;
    sf::Vertex* quad = &boxVertices[boxVertices.size() - 6];
    // Vertex order of appendQuad: top-left, top-right, bottom-left, bottom-left, top-right,
    // bottom-right.
    if (quad[1].position.x != left || quad[0].position.y != top || quad[2].position.y != bottom)
        return false;
    quad[1].position.x = right;
    quad[4].position.x = right;
    quad[5].position.x = right;
    return true;
}

int DisplayManager::drawString(Vector position, std::string str, Justification just, Color color) const
{
    const int length = static_cast<int>(str.size());
    Vector start = position;
    switch (just)
    {
    case CENTER_JUSTIFIED: start.setX(position.getX() - static_cast<float>(length / 2)); break;
    case RIGHT_JUSTIFIED: start.setX(position.getX() - static_cast<float>(length)); break;
    default: break;
    }
    for (int i = 0; i < length; i++)
        drawCh(Vector(start.getX() + static_cast<float>(i), start.getY()), str[static_cast<size_t>(i)], color);
    return 0;
}

int DisplayManager::flush()
{
    if (window == nullptr)
    {
        dropRecorded();
        return -1;
    }
    // Every box first: opaque black, written without blending.
    sf::RenderStates boxStates = sf::RenderStates::Default;
    boxStates.blendMode = sf::BlendNone;
    for (const Batch& batch : boxBatches)
    {
        sf::RenderStates row = boxStates;
        row.transform.translate({0.f, batch.rowY});
        window->draw(&boxVertices[batch.first], batch.count, sf::PrimitiveType::Triangles, row);
    }
    // Then glyphs and the parts of boxes over earlier glyphs, in call order.
    sf::RenderStates states = sf::RenderStates::Default;
    if (fontLoaded)
        states.texture = &font.getTexture(glyphSize());
    for (const Batch& batch : batches)
    {
        sf::RenderStates row = states;
        row.transform.translate({0.f, batch.rowY});
        window->draw(&vertices[batch.first], batch.count, sf::PrimitiveType::Triangles, row);
    }
    dropRecorded();
    return 0;
}

int DisplayManager::swapBuffers()
{
    if (window == nullptr)
    {
        LogManager::getInstance().writeLog("Can not swap buffer because displaymanager window is not open");
        return -1;
    }
    flush();
    // No event is taken off the queue here: the input manager empties it once per frame,
    // and anything arriving later waits for the next frame instead of being lost.
    window->display();
    window->clear(WINDOW_BACKGROUND_COLOR_DEFAULT);
    return 0;
}

int DisplayManager::getHorizontal() const
{
    return horizontalChars;
}

int DisplayManager::getVertical() const
{
    return verticalChars;
}

int DisplayManager::getHorizontalPixels() const
{
    return horizontalPixels;
}

int DisplayManager::getVerticalPixels() const
{
    return verticalPixels;
}

sf::RenderWindow* DisplayManager::getWindow() const
{
    return window;
}

// Whole pixels per cell: 1024 / 80 gives 12, leaving a 64-pixel strip right of column 79.
float DisplayManager::charWidth() const
{
    return static_cast<float>(horizontalPixels / horizontalChars);
}

float DisplayManager::charHeight() const
{
    return static_cast<float>(verticalPixels / verticalChars);
}

Vector DisplayManager::spacesToPixels(Vector spaces) const
{
    return Vector(spaces.getX() * charWidth(), spaces.getY() * charHeight());
}

Vector DisplayManager::pixelsToSpaces(Vector pixels) const
{
    return Vector(pixels.getX() / charWidth(), pixels.getY() / charHeight());
}

unsigned DisplayManager::glyphSize() const
{
    return static_cast<unsigned>(2 * std::min(charWidth(), charHeight()));
}

// sf::Text's quad for one glyph: its ink bounds and texture rectangle, each grown by a
// pixel so that smoothing has transparent texels to fade into.
DisplayManager::GlyphQuad DisplayManager::glyphQuad(char32_t codePoint) const
{
    if (codePoint < asciiLoaded.size() && asciiLoaded[codePoint])
        return asciiQuads[codePoint];
    const compat::GlyphRects g = compat::glyphRects(font.getGlyph(codePoint, glyphSize(), true));
    const float padding = 1;
    return GlyphQuad{
        g.left - padding,    g.top - padding,    g.left + g.width + padding,       g.top + g.height + padding,
        g.texLeft - padding, g.texTop - padding, g.texLeft + g.texWidth + padding, g.texTop + g.texHeight + padding};
}

// Puts every printable ASCII glyph on the page now. Quads hold texel coordinates, and a page
// that grew while a frame was recorded would move them.
void DisplayManager::loadGlyphs()
{
    asciiLoaded.fill(false);
    for (char32_t c = U' '; c <= U'~'; c++)
    {
        asciiQuads[c] = glyphQuad(c);
        asciiLoaded[c] = true;
    }
}

void DisplayManager::dropRecorded() const
{
    vertices.clear();
    batches.clear();
    boxVertices.clear();
    boxBatches.clear();
    ink.clear();
}

} // namespace ks
