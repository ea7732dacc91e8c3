/// @file DisplayManager.h
/// The engine's window and its grid of character cells.
///
/// How a frame is painted: drawCh records each character (an opaque black box over its cell,
/// then its bold glyph) in a CharacterBatch. Whatever is recorded reaches the window, in call
/// order, as soon as anything gets the window through getWindow() and at the latest in
/// swapBuffers(), which then shows the frame and clears the window for the next one. Recorded
/// characters are painted in a few draw calls of quads, leaving out what later boxes hide and
/// cutting glyphs on the grid to the ink that shows (from a sheet of glyphs the renderer drew
/// once at startUp), with the pixels that one rectangle and one sf::Text per character drawn at
/// once would give.
///
///     DisplayManager &dm = DisplayManager::getInstance();
///     dm.startUp();
///     dm.drawString(Vector(40, 12), "hello", CENTER_JUSTIFIED, GREEN);
///     dm.swapBuffers();
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <SFML/Graphics.hpp>

#include "Color.h"
#include "Manager.h"
#include "Vector.h"

/// Where drawString puts a string relative to the position it is given.
enum Justification : int
{
    LEFT_JUSTIFIED,   ///< first character at x
    CENTER_JUSTIFIED, ///< starts length/2 cells left of x
    RIGHT_JUSTIFIED,  ///< ends one cell left of x
};

namespace ks {

const int WINDOW_HORIZONTAL_PIXELS_DEFAULT = 1024;             ///< window width in pixels
const int WINDOW_VERTICAL_PIXELS_DEFAULT = 768;                ///< window height in pixels
const int WINDOW_HORIZONTAL_CHARS_DEFAULT = 80;                ///< columns of character cells
const int WINDOW_VERTICAL_CHARS_DEFAULT = 24;                  ///< rows of character cells
const int WINDOW_STYLE_DEFAULT = sf::Style::Titlebar;          ///< title bar only
const sf::Color WINDOW_BACKGROUND_COLOR_DEFAULT(0, 0, 0, 255); ///< clear colour and cell background
const std::string WINDOW_TITLE_DEFAULT = "Kestrane";           ///< window title
const std::string FONT_FILE_DEFAULT = "ks-font.ttf";           ///< font file, relative to the working directory

class CharacterBatch;

/// Owns the one window and draws single characters into a grid of cells laid over it.
/// Positions are in spaces (column, row as floats); a cell is charWidth() x charHeight() pixels.
class DisplayManager : public Manager
{
public:
    /// The one instance, made on first use.
    static DisplayManager& getInstance();

    /// Closing the window is shutDown's work, not the destructor's.
    ~DisplayManager() override;

    /// Opens the window and loads the font. 0, or -1 (with a log line) when the font cannot be
    /// opened or the window is not open; the manager counts as started either way.
    int startUp() override;

    /// Closes and releases the window; harmless without one.
    void shutDown() override;

    /// Paints a black box over the cell at position (spaces), then ch in color (colours outside
    /// BLACK..WHITE are painted white, with a log line). 0, or -1 without a window.
    int drawCh(Vector position, char ch, Color color) const;

    /// Paints str on one row through drawCh, placed by just; always 0.
    int drawString(Vector position, std::string str, Justification just, Color color) const;

    /// Shows the frame drawn so far, then clears the window for the next one. 0, or -1
    /// without a window.
    int swapBuffers();

    int getHorizontal() const;       ///< columns of the grid
    int getVertical() const;         ///< rows of the grid
    int getHorizontalPixels() const; ///< window width
    int getVerticalPixels() const;   ///< window height

    /// The window, null when there is none. Every character drawn so far is in it, so that
    /// whatever is drawn through it next lies over them.
    sf::RenderWindow* getWindow() const;

    float charWidth() const;  ///< pixels per column (integer division of the window's width)
    float charHeight() const; ///< pixels per row (integer division of the window's height)

    /// Spaces to pixels, without rounding.
    Vector spacesToPixels(Vector spaces) const;
    /// Pixels to spaces, without rounding.
    Vector pixelsToSpaces(Vector pixels) const;

    /// Characters drawn since the frame was last shown (drawCh calls with a window).
    int getCharacterCount() const;

    /// Called by swapBuffers with the finished frame in the window, just before it is shown;
    /// none after construction, an empty function removes it. Screen capture reads frames here.
    void setFrameListener(std::function<void(const sf::RenderWindow&)> listener);

    DisplayManager(const DisplayManager&) = delete;            ///< one instance only
    DisplayManager& operator=(const DisplayManager&) = delete; ///< one instance only

private:
    DisplayManager();

    unsigned glyphSize() const;

    sf::Font font;
    sf::RenderWindow* window = nullptr;
    // Fixed, so that converting a position costs no division at run time.
    static constexpr int horizontalPixels = WINDOW_HORIZONTAL_PIXELS_DEFAULT;
    static constexpr int verticalPixels = WINDOW_VERTICAL_PIXELS_DEFAULT;
    static constexpr int horizontalChars = WINDOW_HORIZONTAL_CHARS_DEFAULT;
    static constexpr int verticalChars = WINDOW_VERTICAL_CHARS_DEFAULT;
    // What drawCh has recorded and not yet painted (drawCh is const: recording changes
    // nothing anyone can see before the window is handed out or shown).
    std::unique_ptr<CharacterBatch> batch;
    mutable int characterCount = 0; ///< drawCh calls since the last swap
    std::function<void(const sf::RenderWindow&)> frameListener;
};

} // namespace ks
