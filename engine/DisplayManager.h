/// @file DisplayManager.h
/// The engine's window and its grid of character cells.
///
/// How a frame is painted: drawCh records each character (an opaque black box over its cell,
/// then its bold glyph) in a CharacterBatch. Whatever is recorded reaches the window, in call
/// order, as soon as anything gets the window through getWindow() and at the latest in
/// swapBuffers(), which then shows the frame and clears the window for the next one. Recorded
/// characters are painted in a few draw calls of quads, leaving out what later boxes hide and
/// cutting glyphs on the grid to the ink that shows (from a glyph atlas the renderer drew when
/// the window opened, and learns new glyphs into at the swap after they first appear), with the
/// pixels that one rectangle and one sf::Text per character drawn at once would give. The grid
/// is drawn in its own pixels (getHorizontalPixels() x getVerticalPixels()); the window's view
/// puts them where the grid shows, scaled or in a letterbox.
///
///     DisplayManager &dm = DisplayManager::getInstance();
///     dm.startUp();
///     dm.drawString(Vector(40, 12), "hello", CENTER_JUSTIFIED, GREEN);
///     dm.swapBuffers();
///
/// Without a window (setHeadless before startUp) nothing touches the X display or OpenGL:
/// drawCh and swapBuffers only keep each frame's digest, the same one a window's frame has.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <SFML/Graphics.hpp>

#include "Color.h"
#include "FrameDigest.h"
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
const float WINDOW_SCALE_MIN = 0.25f;                          ///< smallest scale setScale takes
const float WINDOW_SCALE_MAX = 8.f;                            ///< largest scale setScale takes

class CharacterBatch;

/// Owns the one window and draws single characters into a grid of cells laid over it.
/// Positions are in spaces (column, row as floats); a cell is charWidth() x charHeight() pixels.
///
/// Settings: the setters below are read by startUp, so call them before it (scale and
/// fullscreen may also change later). Each returns 0, or -1 with a log line naming the setting
/// and the value when the value cannot be used; the default is then kept. With none called the
/// window is the 80 x 24 grid of 12 x 32 cells in 1024 x 768 pixels, as always.
///
///     DisplayManager &dm = DisplayManager::getInstance();
///     dm.setGrid(100, 40);
///     dm.setCellSize(10, 20);   // a 1000 x 800 window
///     dm.setScale(1.5f);        // drawn at 1500 x 1200, glyphs 1.5 times the size
///     dm.startUp();
class DisplayManager : public Manager
{
public:
    /// The one instance, made on first use. Needs no display: the renderer is made by startUp.
    static DisplayManager& getInstance();

    /// Closing the window is shutDown's work, not the destructor's.
    ~DisplayManager() override;

    /// Opens the window and loads the font. 0, or -1 (with a log line) when the font cannot be
    /// opened or the window is not open; the manager counts as started either way.
    int startUp() override;

    /// Closes and releases the window; harmless without one.
    void shutDown() override;

    /// Columns and rows of the grid: each at least 1 (default 80 x 24). Without setCellSize,
    /// a cell is the 1024 x 768 window divided by them, in whole pixels.
    int setGrid(int columns, int rows);
    /// Cell size in pixels, each at least 1 (default: the window divided by the grid, 12 x 32);
    /// the window then is the grid's size exactly.
    int setCellSize(int width, int height);
    /// The font file (default "ks-font.ttf"); a file that does not open at startUp is logged
    /// and the default is opened instead.
    int setFontFile(const std::string& file);
    /// Character size in pixels at scale 1, at least 1 (default 0: twice the smaller side of
    /// the cell, 24).
    int setFontSize(int size);
    /// The window's title (default "Kestrane").
    int setTitle(const std::string& title);
    /// Whether the window may be resized (default no): the grid then keeps the largest scale
    /// that fits the window, centred on black.
    int setResizable(bool resizable);
    /// Scale factor of window, cells and glyphs, from 0.25 to 8 (default 1): scale 2 draws the
    /// default grid at 2048 x 1536, every glyph at twice the size. Before or after startUp.
    int setScale(float scale);
    /// Fullscreen (default no): the grid at the largest scale that fits the screen, centred,
    /// black borders around it. After startUp the window switches at once; switching back
    /// restores the window as it was. 0, or -1 when the window cannot be made.
    int setFullscreen(bool fullscreen);
    /// Whether the grid fills the screen now (or will, before startUp).
    bool isFullscreen() const;
    /// The scale the grid is drawn at now: the set scale in a window, the fitted one fullscreen
    /// or in a resized window.
    float getScale() const;
    /// F11 or Alt+Enter pressed (code is an sf::Keyboard::Key as an int): toggles fullscreen
    /// when keys are enabled by setFullscreenKeys; returns whether it did.
    bool fullscreenKey(int code, bool alt);
    /// Whether F11 and Alt+Enter toggle fullscreen (default no; the game turns it on).
    void setFullscreenKeys(bool enabled);

    /// Paints a black box over the cell at position (spaces), then ch in color (colours outside
    /// BLACK..WHITE are painted white, with a log line). 0, or -1 without a window.
    int drawCh(Vector position, char ch, Color color) const;
    /// The same for a Unicode code point (box drawing, blocks, arrows and the rest of the
    /// font) in one of the engine's colours or in any RGB colour.
    int drawGlyph(Vector position, char32_t codePoint, Color color) const;
    int drawGlyph(Vector position, char32_t codePoint, Rgb color) const;

    /// Paints str on one row through drawCh, placed by just; always 0.
    int drawString(Vector position, std::string str, Justification just, Color color) const;
    /// Paints UTF-8 text on one row, a code point a cell, placed by just as drawString places
    /// a string of that many characters. A byte that starts no valid sequence is drawn as
    /// U+FFFD, with a log line. Always 0.
    int drawUtf8(Vector position, const std::string& text, Justification just, Rgb color) const;

    /// Shows the frame drawn so far, then clears the window for the next one. 0, or -1
    /// without a window.
    int swapBuffers();

    int getHorizontal() const;       ///< columns of the grid
    int getVertical() const;         ///< rows of the grid
    int getHorizontalPixels() const; ///< width of the grid's drawing area (the window's, when not letterboxed)
    int getVerticalPixels() const;   ///< height of the grid's drawing area

    /// The window, null when there is none. Every character drawn so far is in it, so that
    /// whatever is drawn through it next lies over them. Its view maps the grid's drawing area
    /// (getHorizontalPixels() x getVerticalPixels(), from 0, 0) to where the grid shows.
    sf::RenderWindow* getWindow() const;

    float charWidth() const;  ///< pixels per column at the current scale (whole pixels)
    float charHeight() const; ///< pixels per row at the current scale (whole pixels)

    /// Before startUp: true runs without a window (nothing needs an X display or a GL
    /// context), false (the default) opens one. Frames still get their digests.
    void setHeadless(bool newHeadless);
    bool isHeadless() const;

    /// The digest of the last frame swapBuffers() finished (FrameDigest): every character it
    /// drew with its position and colour. 0 before the first frame.
    uint32_t getFrameDigest() const;

    /// The cell of the world that drawCh paints in the grid's top-left cell: drawCh subtracts it
    /// from every position it is given. (0, 0), so that positions are the grid's own cells,
    /// except while the world manager draws objects through a view it has moved.
    ///@{
    void setOrigin(Vector newOrigin);
    Vector getOrigin() const;
    ///@}

    /// Spaces to window pixels, without rounding (past the letterbox's border, if any).
    Vector spacesToPixels(Vector spaces) const;
    /// Window pixels (a pointer's position) to spaces, without rounding.
    Vector pixelsToSpaces(Vector pixels) const;

    /// Characters drawn since the frame was last shown, but for those of drawUncounted.
    int getCharacterCount() const;

    /// Runs draw: what it draws is shown but left out of the frame's digest and character
    /// count, as the engine's frame overlay is, whose figures differ from run to run.
    void drawUncounted(const std::function<void()>& draw) const;

    /// Called by swapBuffers with the finished frame in the window, just before it is shown;
    /// none after construction, an empty function removes it. Screen capture reads frames here.
    void setFrameListener(std::function<void(const sf::RenderWindow&)> listener);

    DisplayManager(const DisplayManager&) = delete;            ///< one instance only
    DisplayManager& operator=(const DisplayManager&) = delete; ///< one instance only

private:
    /// What the settings give at one scale: all in whole pixels.
    struct Layout
    {
        float scale = 1;
        int cellWidth = 0, cellHeight = 0; // one cell
        int areaWidth = 0, areaHeight = 0; // the grid's drawing area
        int offsetX = 0, offsetY = 0;      // where it lies in the window
        unsigned glyphSize = 0;            // character size
    };

    DisplayManager();

    Layout layoutAt(float scale) const;
    Layout fittedInto(int width, int height) const;
    int baseWidth() const;
    int baseHeight() const;
    int openWindow();
    void applyLayout(const Layout& next);
    void followWindowSize();
    int record(Vector position, char32_t codePoint, sf::Color color) const;

    sf::Font font;
    sf::RenderWindow* window = nullptr;
    Vector origin;                                           ///< (0, 0) after construction
    int horizontalPixels = WINDOW_HORIZONTAL_PIXELS_DEFAULT; // at scale 1
    int verticalPixels = WINDOW_VERTICAL_PIXELS_DEFAULT;
    int horizontalChars = WINDOW_HORIZONTAL_CHARS_DEFAULT;
    int verticalChars = WINDOW_VERTICAL_CHARS_DEFAULT;
    int cellWidthSetting = 0, cellHeightSetting = 0; // 0: the window divided by the grid
    std::string fontFile = FONT_FILE_DEFAULT;
    int fontSizeSetting = 0; // 0: twice the smaller side of the cell
    std::string title = WINDOW_TITLE_DEFAULT;
    bool resizable = false;
    float scaleSetting = 1;
    bool fullscreen = false;
    bool fullscreenKeys = false;
    Layout layout;
    sf::Vector2u windowSize; // as last laid out, to notice a window manager's resize
    // Set once the window has been handed out: from then on it may be drawn into at any time.
    mutable bool windowHandedOut = false;
    // What drawCh has recorded and not yet painted (drawCh is const: recording changes
    // nothing anyone can see before the window is handed out or shown). Made by startUp.
    std::unique_ptr<CharacterBatch> batch;
    /// True when characters are drawn: a window is open, or a headless display started.
    bool drawing() const;

    bool headless = false;
    mutable FrameDigest digest; ///< the frame being drawn
    uint32_t frameDigest = 0;   ///< the last frame shown

    mutable int characterCount = 0; ///< characters drawn since the last swap
    mutable bool uncounted = false; ///< inside drawUncounted
    std::function<void(const sf::RenderWindow&)> frameListener;
};

} // namespace ks
