// Characters recorded and painted in batches against the plain way: one black rectangle and
// one bold sf::Text per character, drawn at once. Both paint the same screens into the same
// window and the pixels read back must be the same.
#include "TestSupport.h"

#include "CharacterBatch.h"
#include "DisplayManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "TwoDrawPainter.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {

using ks::DisplayManager;
using ks::Vector;
using ks::reference::Cell;
using Screen = std::vector<Cell>;

const ks::Color ALL_COLORS[] = {ks::BLACK, ks::RED, ks::GREEN, ks::YELLOW, ks::BLUE, ks::MAGENTA, ks::CYAN, ks::WHITE};

// Every byte value (control characters and bytes above 127 included), characters stacked in
// one cell, boxes half a cell and a fifth of a pixel apart, spaces over glyphs, unknown colours, cells at the window's
// edges and beyond, rows out of order.
Screen overlaps()
{
    Screen s;
    for (int b = 0; b < 256; b++)
        s.push_back({Vector(float(b % 64), float(14 + b / 64)), static_cast<char>(b), ks::Color(1 + b % 7)});
    for (int i = 0; i < 8; i++)
        s.push_back({Vector(10, 5), char('A' + i), ALL_COLORS[i]});
    for (int i = 0; i < 12; i++)
        s.push_back({Vector(20 + i * 0.5f, 8), 'W', ALL_COLORS[(i + 3) % 8]});
    for (int i = 0; i < 6; i++)
    {
        s.push_back({Vector(float(30 + i), 12), '#', ks::GREEN});
        s.push_back({Vector(float(30 + i), 12), ' ', ks::WHITE});
    }
    s.push_back({Vector(40, 2), 'M', ks::CUSTOM});
    s.push_back({Vector(41, 2), 'M', ks::UNDEFINED_COLOR});
    for (Vector v :
         {Vector(-1, 0), Vector(79, 23), Vector(80, 10), Vector(85, 23), Vector(0, 24), Vector(-0.5f, -0.5f),
          Vector(-2, 5), Vector(86, 5), Vector(40, -2), Vector(40, 25), Vector(-1.1f, -1.25f), Vector(85.4f, 23.8f)})
        s.push_back({v, '@', ks::YELLOW});
    // A box whose top edge lies just above a pixel centre paints that row; a later box a
    // fifth of a pixel lower covers the rest of it, but not that row.
    s.push_back({Vector(60, 3 + 0.095f / 32), 'H', ks::GREEN});
    s.push_back({Vector(60, 3 + 0.295f / 32), 'I', ks::RED});
    s.push_back({Vector(50, 20), 'X', ks::RED});
    s.push_back({Vector(50, 19.5f), 'O', ks::BLUE});
    s.push_back({Vector(50, 20), 'x', ks::CYAN});
    return s;
}

// Every printable character in every row of cells, where each row has its own look of a glyph.
Screen everyRow()
{
    Screen s;
    for (int row = 0; row < 24; row++)
        for (int k = 0; k < 94; k++)
            s.push_back({Vector(float((k * 17 + row) % 80), float(row)), char('!' + k), ALL_COLORS[1 + k % 7]});
    return s;
}

// Characters anywhere, at random fractional positions.
Screen scattered(unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> printable(' ', '~');
    std::uniform_real_distribution<float> column(-1.f, 86.f), row(-1.f, 24.f);
    Screen s;
    for (int i = 0; i < 600; i++)
    {
        s.push_back({Vector(column(random), row(random)), char(printable(random)), ALL_COLORS[i % 8]});
    }
    return s;
}

// A glyph, then a space whose box starts just inside the glyph's last pixel column.
Screen boxEdgesInsidePixels()
{
    Screen s;
    for (int i = 0; i < 24; i++)
    {
        const float x = float(2 + 3 * i), y = float(i);
        s.push_back({Vector(x, y), 'M', ks::GREEN});
        s.push_back({Vector(x + 0.5575f, y), ' ', ks::WHITE});
    }
    return s;
}

class CharacterBatchTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
        ks::test::installFont();
        ASSERT_TRUE(ks::compat::openFont(font, ks::FONT_FILE_DEFAULT));
        ASSERT_EQ(dm.startUp(), 0);
    }

    void TearDown() override
    {
        dm.shutDown();
    }

    // Painted by the engine on a window just cleared by swapBuffers (which the engine knows
    // to be black) or by whoever got it (to black, or to a colour that shows what each box
    // covers), handing the window out after every handOutEvery characters (0: only at the end).
    sf::Image byEngine(const Screen& s, bool afterSwap, size_t handOutEvery, sf::Color under = sf::Color::Black)
    {
        if (afterSwap)
            dm.swapBuffers();
        else
            dm.getWindow()->clear(under);
        for (size_t i = 0; i < s.size(); i++)
        {
            EXPECT_EQ(dm.drawCh(s[i].position, s[i].ch, s[i].color), 0);
            if (handOutEvery > 0 && (i + 1) % handOutEvery == 0)
                dm.getWindow();
        }
        return ks::compat::captureWindow(*dm.getWindow());
    }

    sf::Image byReference(const Screen& s, sf::Color under = sf::Color::Black)
    {
        sf::RenderWindow* window = dm.getWindow();
        window->clear(under);
        ks::reference::TwoDrawPainter painter(&font);
        for (const Cell& c : s)
            painter.draw(*window, c);
        return ks::compat::captureWindow(*window);
    }

    DisplayManager& dm = DisplayManager::getInstance();
    sf::Font font;
};

TEST_F(CharacterBatchTest, PaintsTheSamePixelsAsTwoDrawsPerCharacter)
{
    struct Case
    {
        const char* name;
        Screen screen;
        bool afterSwap;
        size_t handOutEvery;
        bool wholeCells;
        sf::Color under = sf::Color::Black;
    };
    Screen backwards = ks::reference::gridCells(1920);
    std::reverse(backwards.begin(), backwards.end());
    const Case cases[] = {
        {"full grid", ks::reference::gridCells(1920), true, 0, true},
        {"full grid, handed out", ks::reference::gridCells(1920), false, 0, true},
        {"full grid, backwards", backwards, true, 0, true},
        // What was painted before the window was handed out lies under the next boxes too.
        {"full grid, handed out every 37 characters", ks::reference::gridCells(1920), true, 37, true},
        {"every character in every row", everyRow(), true, 0, true},
        {"8,000 characters", ks::reference::busyCells(8000, 1), true, 0, true},
        {"8,000 characters, handed out", ks::reference::busyCells(8000, 2), false, 0, true},
        {"overlaps", overlaps(), true, 0, false},
        {"overlaps, handed out after each", overlaps(), false, 1, false},
        {"scattered", scattered(1), true, 0, false},
        {"scattered, handed out", scattered(2), false, 0, false},
        {"box edges inside pixels", boxEdgesInsidePixels(), true, 0, false},
        // Drawn on before: black glyphs and the edges of boxes off the grid now show.
        {"overlaps over white", overlaps(), false, 0, false, sf::Color::White},
        {"scattered over white", scattered(3), false, 0, false, sf::Color::White},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const sf::Image engine = byEngine(c.screen, c.afterSwap, c.handOutEvery, c.under);
        const sf::Image reference = byReference(c.screen, c.under);
        ASSERT_GT(ks::test::inkedPixels(reference), 1000);
        const ks::test::ImageDifference exact = ks::test::compareImages(engine, reference);
        if (c.wholeCells)
        {
            EXPECT_EQ(exact.count, 0) << "first at " << exact.first;
            continue;
        }
        // Off the grid a glyph's edge may land a rounding step apart: one level in a few
        // anti-aliased pixels (at most 0.05% of the window), never a different shape.
        EXPECT_EQ(ks::test::compareImages(engine, reference, 1).count, 0) << "first at " << exact.first;
        EXPECT_LE(exact.count, 1024 * 768 / 2000) << "first at " << exact.first;
    }
}

// A game that keeps the window it got once and draws a background through it after each swap:
// the characters drawn next still paint their boxes over it.
TEST_F(CharacterBatchTest, AWindowKeptAcrossFramesGetsEveryBoxDrawnOverIt)
{
    sf::RenderWindow* kept = dm.getWindow();
    sf::RectangleShape background({1024.f, 768.f});
    background.setFillColor(sf::Color(40, 40, 160));
    const Screen s = ks::reference::busyCells(300, 3);
    for (int frame = 0; frame < 3; frame++)
    {
        ASSERT_EQ(dm.swapBuffers(), 0);
        // Made again in place, as a scale or fullscreen switch does: the kept pointer still draws.
        if (frame == 1)
        {
            ASSERT_EQ(dm.setScale(1), 0);
        }
        kept->draw(background);
        for (const Cell& c : s)
            dm.drawCh(c.position, c.ch, c.color);
    }
    const sf::Image engine = ks::compat::captureWindow(*dm.getWindow());
    kept->clear(sf::Color::Black);
    kept->draw(background);
    ks::reference::TwoDrawPainter painter(&font);
    for (const Cell& c : s)
        painter.draw(*kept, c);
    EXPECT_EQ(ks::test::compareImages(engine, ks::compat::captureWindow(*kept)).count, 0);
}

// Code page 437's shapes beyond ASCII (box drawing, blocks, arrows, card suits and the rest) in
// RGB colours, on whole cells and off them: painted from the font's page the first time, and
// from the glyph sheet once it has learned them at the swap; ASCII stays exact after them.
TEST_F(CharacterBatchTest, GlyphsByCodePointInRgbColoursPaintTheSamePixels)
{
    std::vector<char32_t> shapes;
    for (char32_t c = 0x2500; c <= 0x259F; c++)
        shapes.push_back(c);
    for (char32_t c : U"☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼⌂ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»αßΓπΣσµτΦΘΩδ∞φε"
                      U"∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■")
        if (c != 0)
            shapes.push_back(c);
    struct Glyph
    {
        Vector position;
        char32_t codePoint;
        sf::Color color;
    };
    std::vector<Glyph> glyphs;
    for (std::size_t i = 0; i < shapes.size(); i++)
        glyphs.push_back({Vector(float(i % 80), float(i / 80 * 2)), shapes[i],
                          sf::Color(std::uint8_t(i * 37), std::uint8_t(255 - i * 11), std::uint8_t(i * 101 + 50))});
    std::vector<Glyph> offGrid = glyphs;
    for (Glyph& g : offGrid)
        g.position = Vector(g.position.getX() + 0.3f, g.position.getY() + 1.4f);

    for (const bool wholeCells : {true, false})
    {
        SCOPED_TRACE(wholeCells ? "whole cells" : "off the grid");
        const std::vector<Glyph>& screen = wholeCells ? glyphs : offGrid;
        sf::RenderWindow* window = dm.getWindow();
        window->clear(sf::Color::Black);
        ks::reference::TwoDrawPainter painter(&font);
        for (const Glyph& g : screen)
            painter.draw(*window, g.position, sf::String(g.codePoint), g.color);
        const sf::Image reference = ks::compat::captureWindow(*window);
        ASSERT_GT(ks::test::inkedPixels(reference), 20000);
        for (int frame = 0; frame < 2; frame++)
        {
            SCOPED_TRACE(frame == 0 ? "first met" : "learned");
            dm.getWindow()->clear(sf::Color::Black);
            for (const Glyph& g : screen)
                dm.drawGlyph(g.position, g.codePoint, ks::Rgb{g.color.r, g.color.g, g.color.b});
            const sf::Image engine = ks::compat::captureWindow(*dm.getWindow());
            ASSERT_EQ(dm.swapBuffers(), 0);
            EXPECT_EQ(ks::test::compareImages(engine, reference, wholeCells ? 0 : 1).count, 0);
        }
    }
    // The sheet grew for them: what it held before is still there.
    const Screen grid = ks::reference::gridCells(1920);
    EXPECT_EQ(ks::test::compareImages(byEngine(grid, true, 0), byReference(grid)).count, 0);
    EXPECT_TRUE(ks::test::logMessages().empty());
}

// Other configurations against the plain method drawn at the same one: scaled (windows, cells
// and glyphs), another grid, fullscreen in a letterbox, a window resized. Whole cells are
// exact; off the grid the rule above holds. In windows this large the renderer rounds a
// stretched glyph's blends by where its pen lies, which the glyph sheet has to follow cell by cell.
TEST(CharacterBatchConfigurations, PaintTheSamePixelsAsTwoDrawsAtTheSameConfiguration)
{
    struct Config
    {
        const char* name;
        float scale;
        int columns, rows, cellWidth, cellHeight; // cells set when cellWidth > 0
        bool fullscreen;
        float drawnWidth, drawnHeight; // the cell as drawn
        unsigned glyphSize;
        bool resized = false; // resizable, and made 1280 x 900 after startUp
    };
    const Config configs[] = {
        {"scale 2", 2, 80, 24, 0, 0, false, 24, 64, 48},
        {"scale 1.5", 1.5f, 80, 24, 0, 0, false, 18, 48, 36},
        // The test display is 1280 x 1024: scale 1.25, 32 pixels of black above and below.
        {"fullscreen", 1, 80, 24, 0, 0, true, 15, 40, 30},
        // Scale 1.171875 fits, 40 black columns left and right.
        {"resizable, resized", 1, 80, 24, 0, 0, false, 14, 37, 28, true},
        // (Cells once set stay set.)
        {"100 x 40 cells of 10 x 20", 1, 100, 40, 10, 20, false, 10, 20, 20},
        {"100 x 40 cells of 10 x 20 at scale 1.5", 1.5f, 100, 40, 10, 20, false, 15, 30, 30},
    };
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    ks::test::installFont();
    sf::Font font;
    ASSERT_TRUE(ks::compat::openFont(font, ks::FONT_FILE_DEFAULT));
    DisplayManager& dm = DisplayManager::getInstance();
    for (const Config& config : configs)
    {
        SCOPED_TRACE(config.name);
        dm.setScale(config.scale);
        dm.setGrid(config.columns, config.rows);
        if (config.cellWidth > 0)
            dm.setCellSize(config.cellWidth, config.cellHeight);
        dm.setFullscreen(config.fullscreen);
        dm.setResizable(config.resized);
        ASSERT_EQ(dm.startUp(), 0);
        if (config.resized)
        {
            dm.getWindow()->setSize({1280, 900});
            ASSERT_EQ(dm.swapBuffers(), 0);
            EXPECT_FLOAT_EQ(dm.spacesToPixels(Vector(0, 0)).getX(), 40);
        }
        EXPECT_EQ(dm.charWidth(), config.drawnWidth);
        EXPECT_EQ(dm.charHeight(), config.drawnHeight);

        // Every cell of the grid, then characters at random cells over it, then off the grid.
        Screen cells;
        std::mt19937 random(7);
        for (int i = 0; i < config.columns * config.rows * 2; i++)
        {
            const int cell =
                i < config.columns * config.rows ? i : int(random() % unsigned(config.columns * config.rows));
            cells.push_back({Vector(float(cell % config.columns), float(cell / config.columns)), char(' ' + i % 95),
                             ALL_COLORS[i % 8]});
        }
        Screen off = cells;
        for (Cell& c : off)
            c.position = Vector(c.position.getX() + 0.37f, c.position.getY() - 0.6f);
        // Then every glyph in every column of a row (a glyph a row), where a glyph rounds
        // differently in a few columns of its own.
        std::vector<Screen> screens = {cells, off};
        for (int first = 0; first < 94; first += config.rows)
        {
            Screen across;
            for (int row = 0; row < config.rows; row++)
                for (int column = 0; column < config.columns; column++)
                    across.push_back({Vector(float(column), float(row)), char('!' + (first + row) % 94),
                                      ALL_COLORS[1 + (column + row) % 7]});
            screens.push_back(across);
        }
        for (std::size_t screen = 0; screen < screens.size(); screen++)
        {
            const Screen& s = screens[screen];
            const bool wholeCells = screen != 1;
            sf::RenderWindow* window = dm.getWindow();
            window->clear(sf::Color::Black);
            ks::reference::TwoDrawPainter painter(&font, config.drawnWidth, config.drawnHeight, config.glyphSize);
            for (const Cell& c : s)
                painter.draw(*window, c);
            const sf::Image reference = ks::compat::captureWindow(*window);
            dm.getWindow()->clear(sf::Color::Black);
            for (const Cell& c : s)
                dm.drawCh(c.position, c.ch, c.color);
            const sf::Image engine = ks::compat::captureWindow(*dm.getWindow());
            ASSERT_GT(ks::test::inkedPixels(reference), 1000);
            if (config.fullscreen)
            {
                // Black borders of 32 rows above and below the grid.
                int border = 0;
                for (unsigned y : {0u, 31u, 992u, 1023u})
                    for (unsigned x = 0; x < 1280; x++)
                        border += ks::compat::getPixel(engine, x, y) != sf::Color::Black;
                EXPECT_EQ(border, 0);
            }
            const ks::test::ImageDifference exact = ks::test::compareImages(engine, reference);
            const std::string where =
                std::string(wholeCells ? "whole cells" : "off the grid") + ", first at " + exact.first;
            if (wholeCells)
            {
                EXPECT_EQ(exact.count, 0) << where;
                continue;
            }
            EXPECT_EQ(ks::test::compareImages(engine, reference, 1).count, 0) << where;
            // A pixel one level apart for fewer than one character in four.
            EXPECT_LE(exact.count, int(s.size() / 4)) << where;
        }
        dm.shutDown();
    }
    EXPECT_TRUE(ks::test::logMessages().empty());
}

// Recorded characters reach the window once: when it is handed out or shown, and never again.
TEST_F(CharacterBatchTest, RecordedCharactersArePaintedOnce)
{
    // Kept from before anything is recorded: clearing through it paints nothing first.
    sf::RenderWindow* const window = dm.getWindow();
    const Screen word = {{Vector(3, 3), 'K', ks::GREEN}, {Vector(4, 3), 'S', ks::GREEN}};
    const sf::Image expected = byReference(word);
    EXPECT_EQ(ks::test::compareImages(byEngine(word, false, 0), expected).count, 0);

    window->clear(sf::Color::Black);
    EXPECT_EQ(ks::test::inkedPixels(ks::compat::captureWindow(*dm.getWindow())), 0);

    ASSERT_EQ(dm.drawString(Vector(3, 3), "KS", LEFT_JUSTIFIED, ks::GREEN), 0);
    ASSERT_EQ(dm.swapBuffers(), 0);
    EXPECT_EQ(ks::test::inkedPixels(ks::compat::captureWindow(*dm.getWindow())), 0);
    EXPECT_TRUE(ks::test::logMessages().empty());
}

// The glyph sheet is read back from the window it is drawn in: a window of another size (as a
// window manager may make it) leaves the glyphs to the font's page, painted as before.
TEST_F(CharacterBatchTest, AWindowOfAnotherSizeStillPaintsTheSamePixels)
{
    const std::unique_ptr<sf::RenderWindow> small =
        ks::compat::makeWindow(640, 480, 32, "small", static_cast<std::uint32_t>(sf::Style::Titlebar));
    ks::CharacterBatch batch(1024, 768, 12, 32);
    batch.setFont(&font, 24);
    const Screen s = ks::reference::gridCells(400);
    for (const Cell& c : s)
        batch.add(c.position.getX() * 12, c.position.getY() * 32, c.ch, sf::Color::Green);
    small->clear(sf::Color::Black);
    batch.paint(*small);
    const sf::Image engine = ks::compat::captureWindow(*small);
    small->clear(sf::Color::Black);
    ks::reference::TwoDrawPainter painter(&font);
    for (Cell c : s)
    {
        c.color = ks::GREEN;
        painter.draw(*small, c);
    }
    const sf::Image reference = ks::compat::captureWindow(*small);
    ASSERT_GT(ks::test::inkedPixels(reference), 1000);
    EXPECT_EQ(ks::test::compareImages(engine, reference, 1).count, 0);
}

} // namespace
