#include "DisplayManager.h"

#include "CharacterBatch.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "Utf8.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <vector>

namespace ks {

namespace {

// Colours outside BLACK..WHITE have no picture of their own and are painted white. A table
// rather than a switch: a frame's colours come in any order, and a jump through a switch
// mispredicts on nearly every character.
bool toSfmlColor(Color color, sf::Color& out)
{
    static const sf::Color pictures[] = {
        sf::Color(0, 0, 0, 255),     sf::Color(255, 0, 0, 255),     sf::Color(0, 255, 0, 255),
        sf::Color(255, 255, 0, 255), sf::Color(0, 0, 255, 255),     sf::Color(255, 0, 255, 255),
        sf::Color(0, 255, 255, 255), sf::Color(255, 255, 255, 255),
    };
    const bool known = color >= BLACK && color <= WHITE;
    out = pictures[known ? color : WHITE];
    return known;
}

sf::Color toSfmlColor(Rgb color)
{
    return sf::Color(color.r, color.g, color.b, 255);
}

// The code point a one-character sf::String gives for a byte (ASCII stands for itself).
char32_t codePointOf(char ch)
{
    const auto byte = static_cast<unsigned char>(ch);
    return byte < 128 ? char32_t(byte) : sf::String(ch, std::locale())[0];
}

// Beyond these, windows and glyphs grow past what a texture holds or shrink below a pixel.
const float SCALE_MIN = WINDOW_SCALE_MIN, SCALE_MAX = WINDOW_SCALE_MAX;
const int GRID_MAX = 1000;
const int CELL_MAX = 256;

} // namespace

DisplayManager::DisplayManager() : layout(layoutAt(1))
{
    setType("DisplayManager");
}

DisplayManager::~DisplayManager() = default;

DisplayManager& DisplayManager::getInstance()
{
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp()
{
    // Started from here on, whatever fails below: the input manager only asks for the flag.
    Manager::startUp();

    if (window != nullptr || headless)
        return 0;

    const int opened = openWindow();

    sf::Font loaded;
    bool haveFont = compat::openFont(loaded, fontFile);
    if (!haveFont && fontFile != FONT_FILE_DEFAULT)
    {
        LogManager::getInstance().writeLog("DisplayManager: font file \"%s\" does not open, using \"%s\"",
                                           fontFile.c_str(), FONT_FILE_DEFAULT.c_str());
        haveFont = compat::openFont(loaded, FONT_FILE_DEFAULT);
    }
    if (!haveFont)
    {
        LogManager::getInstance().writeLog("failed to open font file");
        applyLayout(layout);
        return -1;
    }
    font = loaded;
    applyLayout(layout);

    if (opened != 0 || !window->isOpen())
    {
        LogManager::getInstance().writeLog("Failed to open displaymanager display");
        return -1;
    }
    return 0;
}

void DisplayManager::shutDown()
{
    batch.reset();
    // The next start-up reads the font again: one that fails then must not find this one.
    font = sf::Font();
    if (window != nullptr)
    {
        window->close();
        delete window;
        window = nullptr;
    }
    layout = layoutAt(scaleSetting);
    Manager::shutDown();
}

namespace {

// Settings are read when the window opens: later calls change nothing and say so.
bool refuseAfterStart(bool started, const char* setting)
{
    if (started)
        LogManager::getInstance().writeLog("DisplayManager::%s: the window is open already, call it before startUp",
                                           setting);
    return started;
}

} // namespace

int DisplayManager::setGrid(int columns, int rows)
{
    if (refuseAfterStart(window != nullptr, "setGrid"))
        return -1;
    const bool fits = columns >= 1 && rows >= 1 && columns <= GRID_MAX && rows <= GRID_MAX &&
                      (cellWidthSetting > 0 || columns <= WINDOW_HORIZONTAL_PIXELS_DEFAULT) &&
                      (cellHeightSetting > 0 || rows <= WINDOW_VERTICAL_PIXELS_DEFAULT);
    if (!fits)
        LogManager::getInstance().writeLog("DisplayManager::setGrid: %d x %d cells cannot be drawn, using %d x %d",
                                           columns, rows, WINDOW_HORIZONTAL_CHARS_DEFAULT,
                                           WINDOW_VERTICAL_CHARS_DEFAULT);
    horizontalChars = fits ? columns : WINDOW_HORIZONTAL_CHARS_DEFAULT;
    verticalChars = fits ? rows : WINDOW_VERTICAL_CHARS_DEFAULT;
    layout = layoutAt(scaleSetting);
    return fits ? 0 : -1;
}

int DisplayManager::setCellSize(int width, int height)
{
    if (refuseAfterStart(window != nullptr, "setCellSize"))
        return -1;
    const bool fits = width >= 1 && height >= 1 && width <= CELL_MAX && height <= CELL_MAX;
    if (!fits)
        LogManager::getInstance().writeLog(
            "DisplayManager::setCellSize: %d x %d pixels cannot be a cell, using the window divided by the grid", width,
            height);
    cellWidthSetting = fits ? width : 0;
    cellHeightSetting = fits ? height : 0;
    layout = layoutAt(scaleSetting);
    return fits ? 0 : -1;
}

int DisplayManager::setFontFile(const std::string& file)
{
    if (refuseAfterStart(window != nullptr, "setFontFile"))
        return -1;
    const bool fits = !file.empty();
    if (!fits)
        LogManager::getInstance().writeLog("DisplayManager::setFontFile: an empty name, using \"%s\"",
                                           FONT_FILE_DEFAULT.c_str());
    fontFile = fits ? file : FONT_FILE_DEFAULT;
    return fits ? 0 : -1;
}

int DisplayManager::setFontSize(int size)
{
    if (refuseAfterStart(window != nullptr, "setFontSize"))
        return -1;
    const bool fits = size >= 1 && size <= CELL_MAX;
    if (!fits)
        LogManager::getInstance().writeLog(
            "DisplayManager::setFontSize: %d pixels cannot be drawn, using twice the cell's smaller side", size);
    fontSizeSetting = fits ? size : 0;
    layout = layoutAt(scaleSetting);
    return fits ? 0 : -1;
}

int DisplayManager::setTitle(const std::string& newTitle)
{
    if (refuseAfterStart(window != nullptr, "setTitle"))
        return -1;
    title = newTitle;
    return 0;
}

int DisplayManager::setResizable(bool newResizable)
{
    if (refuseAfterStart(window != nullptr, "setResizable"))
        return -1;
    resizable = newResizable;
    return 0;
}

int DisplayManager::setScale(float scale)
{
    const bool fits = scale >= SCALE_MIN && scale <= SCALE_MAX;
    if (!fits)
        LogManager::getInstance().writeLog("DisplayManager::setScale: %g is outside %g to %g, using 1",
                                           static_cast<double>(scale), static_cast<double>(SCALE_MIN),
                                           static_cast<double>(SCALE_MAX));
    scaleSetting = fits ? scale : 1;
    if (window == nullptr)
        layout = layoutAt(scaleSetting);
    else if (!fullscreen)
        return openWindow() == 0 && fits ? 0 : -1;
    return fits ? 0 : -1;
}

int DisplayManager::setFullscreen(bool newFullscreen)
{
    if (window == nullptr)
    {
        fullscreen = newFullscreen;
        return 0;
    }
    if (newFullscreen == fullscreen)
        return 0;
    fullscreen = newFullscreen;
    return openWindow();
}

bool DisplayManager::isFullscreen() const
{
    return fullscreen;
}

float DisplayManager::getScale() const
{
    return layout.scale;
}

void DisplayManager::setFullscreenKeys(bool enabled)
{
    fullscreenKeys = enabled;
}

bool DisplayManager::fullscreenKey(int code, bool alt)
{
    const bool toggle = fullscreenKeys && window != nullptr &&
                        (code == static_cast<int>(sf::Keyboard::Key::F11) ||
                         (alt && code == static_cast<int>(sf::Keyboard::Key::Enter)));
    if (toggle)
        setFullscreen(!fullscreen);
    return toggle;
}

// The window's size at scale 1: the grid's when cells are set, else the default window's.
int DisplayManager::baseWidth() const
{
    return cellWidthSetting > 0 ? horizontalChars * cellWidthSetting : horizontalPixels;
}

int DisplayManager::baseHeight() const
{
    return cellHeightSetting > 0 ? verticalChars * cellHeightSetting : verticalPixels;
}

// Everything scaled from its size at scale 1 and cut to whole pixels, so that cells still
// tile and glyphs are drawn by the font at their own size, never stretched.
DisplayManager::Layout DisplayManager::layoutAt(float scale) const
{
    auto scaled = [scale](int pixels) {
        return std::max(1, static_cast<int>(std::floor(static_cast<double>(pixels) * static_cast<double>(scale))));
    };
    // Whole pixels per cell: 1024 / 80 gives 12, leaving a 64-pixel strip right of column 79.
    const int cellWidth = cellWidthSetting > 0 ? cellWidthSetting : horizontalPixels / horizontalChars;
    const int cellHeight = cellHeightSetting > 0 ? cellHeightSetting : verticalPixels / verticalChars;
    Layout l;
    l.scale = scale;
    l.cellWidth = scaled(cellWidth);
    l.cellHeight = scaled(cellHeight);
    l.areaWidth = scaled(baseWidth());
    l.areaHeight = scaled(baseHeight());
    l.glyphSize =
        static_cast<unsigned>(scaled(fontSizeSetting > 0 ? fontSizeSetting : 2 * std::min(cellWidth, cellHeight)));
    return l;
}

// The largest scale at which the drawing area fits width x height, centred there.
DisplayManager::Layout DisplayManager::fittedInto(int width, int height) const
{
    const float scale =
        std::max(SCALE_MIN / 4, std::min(static_cast<float>(width) / static_cast<float>(baseWidth()),
                                         static_cast<float>(height) / static_cast<float>(baseHeight())));
    Layout l = layoutAt(scale);
    l.offsetX = std::max(0, (width - l.areaWidth) / 2);
    l.offsetY = std::max(0, (height - l.areaHeight) / 2);
    return l;
}

// Makes the window for the current mode, or remakes it in place (so that a pointer a game
// keeps stays good), and lays the grid out in it. 0, or -1 when no window opened.
int DisplayManager::openWindow()
{
    Layout next = layoutAt(scaleSetting);
    unsigned width = static_cast<unsigned>(next.areaWidth), height = static_cast<unsigned>(next.areaHeight);
    if (fullscreen)
    {
        const sf::Vector2u screen = compat::desktopSize();
        width = screen.x;
        height = screen.y;
        next = fittedInto(static_cast<int>(width), static_cast<int>(height));
    }
    const std::uint32_t style = static_cast<std::uint32_t>(WINDOW_STYLE_DEFAULT) |
                                (resizable ? static_cast<std::uint32_t>(sf::Style::Resize) : 0u);
    const sf::String windowTitle(title, std::locale());
    if (window == nullptr)
    {
        window = compat::makeWindow(width, height, 32, windowTitle, style, fullscreen).release();
        windowHandedOut = false;
    }
    else
    {
        // A pointer handed out before still points at this window.
        compat::remakeWindow(*window, width, height, 32, windowTitle, style, fullscreen);
    }
    window->setMouseCursorVisible(false);
    window->setVerticalSyncEnabled(true);
    // One press event per key press, however long the key is held.
    window->setKeyRepeatEnabled(false);
    if (batch != nullptr)
        applyLayout(next);
    else
        layout = next;
    return window->isOpen() ? 0 : -1;
}

// Puts the grid where next says, with a renderer made for its size, in a window left cleared.
void DisplayManager::applyLayout(const Layout& next)
{
    layout = next;
    windowSize = window->getSize();
    compat::showArea(*window, layout.areaWidth, layout.areaHeight, layout.offsetX, layout.offsetY);
    window->clear(WINDOW_BACKGROUND_COLOR_DEFAULT);
    const bool haveFont = !font.getInfo().family.empty();
    batch = std::make_unique<CharacterBatch>(layout.areaWidth, layout.areaHeight, charWidth(), charHeight());
    batch->setFont(haveFont ? &font : nullptr, layout.glyphSize, layout.offsetX, layout.offsetY);
}

// A resizable window that a user or window manager resized shows the grid as large as fits.
void DisplayManager::followWindowSize()
{
    if (window->getSize() == windowSize)
        return;
    const sf::Vector2u size = window->getSize();
    applyLayout(resizable || fullscreen ? fittedInto(static_cast<int>(size.x), static_cast<int>(size.y)) : layout);
}

int DisplayManager::drawCh(Vector position, char ch, Color color) const
{
    sf::Color fill;
    if (drawing() && !toSfmlColor(color, fill))
        LogManager::getInstance().writeLog("Unknown color, defaulting to white");
    return record(position, codePointOf(ch), fill);
}

int DisplayManager::drawGlyph(Vector position, char32_t codePoint, Color color) const
{
    sf::Color fill;
    if (drawing() && !toSfmlColor(color, fill))
        LogManager::getInstance().writeLog("Unknown color, defaulting to white");
    return record(position, codePoint, fill);
}

int DisplayManager::drawGlyph(Vector position, char32_t codePoint, Rgb color) const
{
    return record(position, codePoint, toSfmlColor(color));
}

// Every character, whatever its kind, goes through here.
int DisplayManager::record(Vector position, char32_t codePoint, sf::Color color) const
{
    if (!drawing())
    {
        LogManager::getInstance().writeLog("Can not drawChar because displaymanager window is not open");
        return -1;
    }
    // Positions are world cells: the world's view says which cell shows in the grid's corner.
    const float x = position.getX() - origin.getX(), y = position.getY() - origin.getY();
    if (!uncounted)
    {
        digest.add(x, y, static_cast<uint32_t>(codePoint), color.toInteger());
        characterCount++;
    }
    if (window == nullptr)
        return 0;
    // Drawing-area pixels: the window's view puts them where the grid shows.
    batch->add(x * charWidth(), y * charHeight(), codePoint, color);
    return 0;
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

int DisplayManager::drawUtf8(Vector position, const std::string& text, Justification just, Rgb color) const
{
    std::vector<char32_t> codePoints;
    for (std::size_t at = 0; at < text.size();)
    {
        const std::size_t from = at;
        bool valid = true;
        codePoints.push_back(nextCodePoint(text, at, valid));
        if (!valid)
            LogManager::getInstance().writeLog(
                "DisplayManager::drawUtf8: byte 0x%02x at %zu starts no UTF-8 character, drawn as U+FFFD",
                static_cast<unsigned>(static_cast<unsigned char>(text[from])), from);
    }
    const int length = static_cast<int>(codePoints.size());
    float x = position.getX();
    if (just == CENTER_JUSTIFIED)
        x -= static_cast<float>(length / 2);
    else if (just == RIGHT_JUSTIFIED)
        x -= static_cast<float>(length);
    for (int i = 0; i < length; i++)
        drawGlyph(Vector(x + static_cast<float>(i), position.getY()), codePoints[static_cast<std::size_t>(i)], color);
    return 0;
}

int DisplayManager::swapBuffers()
{
    if (!drawing())
    {
        LogManager::getInstance().writeLog("Can not swap buffer because displaymanager window is not open");
        return -1;
    }
    frameDigest = digest.finish();
    characterCount = 0;
    if (window == nullptr)
        return 0;
    batch->paint(*window);
    if (frameListener)
        frameListener(*window);
    // No event is taken off the queue here: the input manager empties it once per frame,
    // and anything arriving later waits for the next frame instead of being lost.
    window->display();
    // After showing: by then the renderer has caught up with a window of a new size.
    followWindowSize();
    // Glyphs first met in the frame get their place in the sheet.
    batch->learnGlyphs();
    window->clear(WINDOW_BACKGROUND_COLOR_DEFAULT);
    // A window once handed out may be drawn into through a kept pointer at any time, so
    // the engine can no longer know that it is black when the next frame starts.
    if (!windowHandedOut)
        batch->targetCleared();
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
    return layout.areaWidth;
}

int DisplayManager::getVerticalPixels() const
{
    return layout.areaHeight;
}

// Whoever gets the window may draw into it: what is recorded goes in first, and from then on
// the engine cannot know what the window holds.
sf::RenderWindow* DisplayManager::getWindow() const
{
    if (window != nullptr)
    {
        batch->paint(*window);
        windowHandedOut = true;
    }
    return window;
}

void DisplayManager::setHeadless(bool newHeadless)
{
    headless = newHeadless;
}

bool DisplayManager::isHeadless() const
{
    return headless;
}

uint32_t DisplayManager::getFrameDigest() const
{
    return frameDigest;
}

// Drawing goes on without a window only once a headless display has started.
bool DisplayManager::drawing() const
{
    return window != nullptr || (headless && isStarted());
}

float DisplayManager::charWidth() const
{
    return static_cast<float>(layout.cellWidth);
}

float DisplayManager::charHeight() const
{
    return static_cast<float>(layout.cellHeight);
}

void DisplayManager::setOrigin(Vector newOrigin)
{
    origin = newOrigin;
}

Vector DisplayManager::getOrigin() const
{
    return origin;
}

Vector DisplayManager::spacesToPixels(Vector spaces) const
{
    return Vector(spaces.getX() * charWidth() + static_cast<float>(layout.offsetX),
                  spaces.getY() * charHeight() + static_cast<float>(layout.offsetY));
}

Vector DisplayManager::pixelsToSpaces(Vector pixels) const
{
    return Vector((pixels.getX() - static_cast<float>(layout.offsetX)) / charWidth(),
                  (pixels.getY() - static_cast<float>(layout.offsetY)) / charHeight());
}

int DisplayManager::getCharacterCount() const
{
    return characterCount;
}

void DisplayManager::drawUncounted(const std::function<void()>& draw) const
{
    uncounted = true;
    draw();
    uncounted = false;
}

void DisplayManager::setFrameListener(std::function<void(const sf::RenderWindow&)> listener)
{
    frameListener = std::move(listener);
}

} // namespace ks
