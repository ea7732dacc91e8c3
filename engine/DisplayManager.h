// DisplayManager: owns the window and paints single characters into the 80 x 24 grid
// of cells laid over it. Positions are in spaces (column, row as floats); a cell is
// charWidth() x charHeight() pixels.
//
// drawCh does not draw at once: it records the character's black box and its glyph as
// quads, and swapBuffers draws the whole frame in a few draw calls. All boxes go first, in
// one untextured pass; glyphs follow in call order, each box painted again among them only
// where an earlier glyph may have left ink under it (those parts sample the opaque white
// block at the corner of the font's glyph page). The pixels are the same as those of one
// rectangle and one sf::Text per character, drawn in call order.
//
//   DisplayManager &dm = DisplayManager::getInstance();
//   dm.startUp();
//   dm.drawString(Vector(40, 12), "hello", CENTER_JUSTIFIED, GREEN);
//   dm.swapBuffers();
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include <SFML/Graphics.hpp>

#include "Color.h"
#include "InkMap.h"
#include "Manager.h"
#include "Vector.h"

enum Justification : int
{
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

    // Draws what drawCh has recorded since the last flush into the window, in call order,
    // without showing it (tests read the window back after this). 0, or -1 without a window.
    int flush();

    // Draws what is recorded, shows the frame, then clears for the next one. 0, or -1
    // without a window.
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

    // Where a glyph's quad lies relative to the pen (the baseline is the character size
    // below the text's position) and which texels it samples.
    struct GlyphQuad
    {
        float left, top, right, bottom; // pixels
        float u1, v1, u2, v2;           // texels
    };

    // Vertices [first, first + count) drawn in one call, moved down by rowY pixels.
    struct Batch
    {
        std::size_t first;
        std::size_t count;
        float rowY;
    };

    unsigned glyphSize() const;
    GlyphQuad glyphQuad(char32_t codePoint) const;
    void loadGlyphs();
    void dropRecorded() const;
    bool extendLastBox(float left, float top, float right, float bottom, float rowY) const;

    // Quads for the printable ASCII characters, filled at start-up once the glyphs are on the
    // font's page (so the page never grows under recorded quads during play).
    std::array<GlyphQuad, 128> asciiQuads{};
    std::array<bool, 128> asciiLoaded{};

    // Recorded by drawCh (a const operation: recording is not a change anyone can see
    // before the frame is drawn), drawn and emptied by flush.
    mutable std::vector<sf::Vertex> vertices; // glyphs and box parts over ink, in call order
    mutable std::vector<Batch> batches;
    mutable std::vector<sf::Vertex> boxVertices; // every box, drawn before the rest
    mutable std::vector<Batch> boxBatches;
    mutable InkMap ink{WINDOW_HORIZONTAL_PIXELS_DEFAULT, WINDOW_VERTICAL_PIXELS_DEFAULT};

    int horizontalPixels = WINDOW_HORIZONTAL_PIXELS_DEFAULT;
    int verticalPixels = WINDOW_VERTICAL_PIXELS_DEFAULT;
    int horizontalChars = WINDOW_HORIZONTAL_CHARS_DEFAULT;
    int verticalChars = WINDOW_VERTICAL_CHARS_DEFAULT;
};

} // namespace ks
