// DisplayManager: owns the window and paints single characters into the 80 x 24 grid
// of cells laid over it. Positions are in spaces (column, row as floats); a cell is
// charWidth() x charHeight() pixels.
//
//   DisplayManager &dm = DisplayManager::getInstance();
//   dm.startUp();
//   dm.drawString(Vector(40, 12), "hello", CENTER_JUSTIFIED, GREEN);
//   dm.swapBuffers();
#pragma once

#include <string>

#include <SFML/Graphics.hpp>

#include "Color.h"
#include "Manager.h"
#include "Vector.h"

enum Justification : int {
    LEFT_JUSTIFIED,   // first character at x
    CENTER_JUSTIFIED, // starts length/2 cells left of x
    RIGHT_JUSTIFIED,  // ends one cell left of x
};

namespace ks {

const int WINDOW_HORIZONTAL_PIXELS_DEFAULT = 1024;
const int WINDOW_VERTICAL_PIXELS_DEFAULT = 768;
const int WINDOW_HORIZONTAL_CHARS_DEFAULT = 80;
const int WINDOW_VERTICAL_CHARS_DEFAULT = 24;
const int WINDOW_STYLE_DEFAULT = sf::Style::Titlebar;
const sf::Color WINDOW_BACKGROUND_COLOR_DEFAULT(0, 0, 0, 255);
const std::string WINDOW_TITLE_DEFAULT = "Kestrane";
const std::string FONT_FILE_DEFAULT = "ks-font.ttf";

class DisplayManager : public Manager
{
public:
    static DisplayManager& getInstance();

    // Opens the window and loads the font. 0, or -1 (with a log line) when the font
    // cannot be opened or the window is not open; the manager counts as started either way.
    int startUp() override;

    // Closes and releases the window; harmless without one.
    void shutDown() override;

    // Paints a black cell box, then the glyph. 0, or -1 without a window.
    int drawCh(Vector position, char ch, Color color) const;

    // Paints str on one row through drawCh; always 0.
    int drawString(Vector position, std::string str, Justification just, Color color) const;

    // Shows the frame, then clears for the next one. 0, or -1 without a window.
    int swapBuffers();

    int getHorizontal() const;       // columns
    int getVertical() const;         // rows
    int getHorizontalPixels() const; // window width
    int getVerticalPixels() const;   // window height

    // Null when there is no window.
    sf::RenderWindow* getWindow() const;

    float charWidth() const;  // pixels per column (integer division)
    float charHeight() const; // pixels per row (integer division)

    Vector spacesToPixels(Vector spaces) const;
    Vector pixelsToSpaces(Vector pixels) const;

    DisplayManager(const DisplayManager&) = delete;
    DisplayManager& operator=(const DisplayManager&) = delete;

private:
    DisplayManager();

    sf::Font font;
    // SFML cannot lay out text with an empty font (SFML 3 aborts), so glyphs are skipped
    // until startUp has loaded one.
    bool fontLoaded = false;
    sf::RenderWindow* window = nullptr;
    int horizontalPixels = WINDOW_HORIZONTAL_PIXELS_DEFAULT;
    int verticalPixels = WINDOW_VERTICAL_PIXELS_DEFAULT;
    int horizontalChars = WINDOW_HORIZONTAL_CHARS_DEFAULT;
    int verticalChars = WINDOW_VERTICAL_CHARS_DEFAULT;
};

} // namespace ks
