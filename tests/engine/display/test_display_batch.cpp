// The batched renderer against the way characters used to be drawn: one black rectangle and
// one bold sf::Text per character, two draw calls each. Both paint the same screens into the
// same window, and the pixels read back must be the same.
#include "TestSupport.h"

#include "DisplayManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "TwoDrawPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ks::DisplayManager;
using ks::Vector;

using ks::test::Cell;
using ks::test::TwoDrawPainter;
using Screen = std::vector<Cell>;

struct Difference
{
    int count = 0;
    int largest = 0; // the largest difference in any channel
    std::string first;
};

Difference compare(const sf::Image& a, const sf::Image& b)
{
    Difference d;
    for (unsigned y = 0; y < a.getSize().y; y++)
    {
        for (unsigned x = 0; x < a.getSize().x; x++)
        {
            const sf::Color pa = ks::compat::getPixel(a, x, y);
            const sf::Color pb = ks::compat::getPixel(b, x, y);
            if (pa == pb)
                continue;
            d.largest = std::max({d.largest, std::abs(pa.r - pb.r), std::abs(pa.g - pb.g), std::abs(pa.b - pb.b)});
            if (d.count++ == 0)
            {
                std::ostringstream out;
                out << "(" << x << ", " << y << ") engine " << int(pa.r) << "," << int(pa.g) << "," << int(pa.b)
                    << " reference " << int(pb.r) << "," << int(pb.g) << "," << int(pb.b);
                d.first = out.str();
            }
        }
    }
    return d;
}

int inked(const sf::Image& image)
{
    int count = 0;
    for (unsigned y = 0; y < image.getSize().y; y++)
        for (unsigned x = 0; x < image.getSize().x; x++)
            if (ks::compat::getPixel(image, x, y) != sf::Color(0, 0, 0))
                count++;
    return count;
}

const ks::Color ALL_COLORS[] = {ks::BLACK, ks::RED, ks::GREEN, ks::YELLOW, ks::BLUE, ks::MAGENTA, ks::CYAN, ks::WHITE};

// Every cell of the grid, printable characters and colours cycling at different rates.
Screen fullGrid()
{
    Screen s;
    for (int row = 0; row < 24; row++)
        for (int column = 0; column < 80; column++)
            s.push_back({Vector(float(column), float(row)), char(' ' + (row * 80 + column) % 95),
                         ALL_COLORS[(row + column) % 8]});
    return s;
}

// Each of the 256 byte values, control characters and bytes above 127 included.
Screen everyByte()
{
    Screen s;
    for (int b = 0; b < 256; b++)
        s.push_back({Vector(float(b % 64), float(b / 64)), static_cast<char>(b), ks::Color(1 + b % 7)});
    return s;
}

// Characters stacked in one cell, boxes half a cell apart, spaces over glyphs, and cells at
// the window's edges and beyond.
Screen overlaps()
{
    Screen s;
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
    // Rows out of order: paint order, not row order, decides what shows.
    s.push_back({Vector(50, 20), 'X', ks::RED});
    s.push_back({Vector(50, 19.5f), 'O', ks::BLUE});
    s.push_back({Vector(50, 20), 'x', ks::CYAN});
    return s;
}

// Characters anywhere, at random fractional positions (quarter and tenth cells included).
Screen scattered(unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> printable(' ', '~');
    std::uniform_real_distribution<float> column(-1.f, 86.f), row(-1.f, 24.f);
    Screen s;
    for (int i = 0; i < 600; i++)
    {
        float x = column(random), y = row(random);
        if (i % 3 == 0)
        {
            x = std::round(x * 4) / 4;
            y = std::round(y * 4) / 4;
        }
        s.push_back({Vector(x, y), char(printable(random)), ALL_COLORS[i % 8]});
    }
    return s;
}

// Every character lies on a whole cell.
bool onGrid(const Screen& s)
{
    return std::all_of(s.begin(), s.end(), [](const Cell& c) {
        return c.position.getX() == std::floor(c.position.getX()) && c.position.getY() == std::floor(c.position.getY());
    });
}

class BatchedDisplay : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
        ks::test::installFont();
        ASSERT_TRUE(ks::compat::openFont(referenceFont, ks::FONT_FILE_DEFAULT));
        ASSERT_EQ(dm.startUp(), 0);
        window = dm.getWindow();
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override
    {
        dm.shutDown();
    }

    // With a flush after every flushEvery characters (0: one at the end).
    sf::Image drawnByEngine(const Screen& s, size_t flushEvery = 0)
    {
        window->clear(sf::Color::Black);
        for (size_t i = 0; i < s.size(); i++)
        {
            EXPECT_EQ(dm.drawCh(s[i].position, s[i].ch, s[i].color), 0);
            if (flushEvery > 0 && (i + 1) % flushEvery == 0)
            {
                EXPECT_EQ(dm.flush(), 0);
            }
        }
        EXPECT_EQ(dm.flush(), 0);
        return ks::compat::captureWindow(*window);
    }

    sf::Image drawnByReference(const Screen& s, const sf::Font* font)
    {
        window->clear(sf::Color::Black);
        TwoDrawPainter painter(font);
        for (const Cell& c : s)
            painter.draw(*window, c);
        return ks::compat::captureWindow(*window);
    }

    DisplayManager& dm = DisplayManager::getInstance();
    sf::RenderWindow* window = nullptr;
    sf::Font referenceFont;
};

TEST_F(BatchedDisplay, PaintsTheSamePixelsAsTwoDrawsPerCharacter)
{
    struct Case
    {
        const char* name;
        Screen screen;
        size_t flushEvery;
    };
    Screen backwards = fullGrid();
    std::reverse(backwards.begin(), backwards.end());
    const Case cases[] = {
        {"full grid", fullGrid(), 0},
        {"full grid, backwards", backwards, 0},
        // What an earlier flush drew is under the next one's boxes as well.
        {"full grid, a flush every 37 characters", fullGrid(), 37},
        {"every byte", everyByte(), 0},
        {"overlaps", overlaps(), 0},
        {"overlaps, a flush after each", overlaps(), 1},
        {"scattered 1", scattered(1), 0},
        {"scattered 2", scattered(2), 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const sf::Image engine = drawnByEngine(c.screen, c.flushEvery);
        const sf::Image reference = drawnByReference(c.screen, &referenceFont);
        ASSERT_GT(inked(reference), 1000);
        const Difference d = compare(engine, reference);
        if (onGrid(c.screen))
        {
            EXPECT_EQ(d.count, 0) << "first at " << d.first;
        }
        else
        {
            // Off the grid, a glyph's edge may land a rounding step apart: one level in a
            // few anti-aliased pixels, never a different shape.
            EXPECT_LE(d.largest, 1) << "first at " << d.first;
            EXPECT_LE(d.count, inked(reference) / 200) << "first at " << d.first;
        }
    }
}

// Recorded characters reach the window at the next flush (or swap), once.
TEST_F(BatchedDisplay, RecordedCharactersAreDrawnOnceAtTheNextFlush)
{
    const Screen word = {{Vector(3, 3), 'K', ks::GREEN}, {Vector(4, 3), 'S', ks::GREEN}};
    const sf::Image expected = drawnByReference(word, &referenceFont);

    window->clear(sf::Color::Black);
    for (const Cell& c : word)
        ASSERT_EQ(dm.drawCh(c.position, c.ch, c.color), 0);
    EXPECT_EQ(inked(ks::compat::captureWindow(*window)), 0);
    ASSERT_EQ(dm.flush(), 0);
    EXPECT_EQ(compare(ks::compat::captureWindow(*window), expected).count, 0);

    // Nothing is left to draw a second time.
    window->clear(sf::Color::Black);
    ASSERT_EQ(dm.flush(), 0);
    EXPECT_EQ(inked(ks::compat::captureWindow(*window)), 0);

    // Showing a frame draws it first and leaves nothing behind for the next one.
    ASSERT_EQ(dm.drawString(Vector(3, 3), "KS", LEFT_JUSTIFIED, ks::GREEN), 0);
    ASSERT_EQ(dm.swapBuffers(), 0);
    ASSERT_EQ(dm.flush(), 0);
    EXPECT_EQ(inked(ks::compat::captureWindow(*window)), 0);

    // Nor does a shut-down: a new window starts empty.
    ASSERT_EQ(dm.drawCh(Vector(3, 3), 'K', ks::GREEN), 0);
    dm.shutDown();
    EXPECT_EQ(dm.flush(), -1);
    ASSERT_EQ(dm.startUp(), 0);
    window = dm.getWindow();
    window->clear(sf::Color::Black);
    ASSERT_EQ(dm.flush(), 0);
    EXPECT_EQ(inked(ks::compat::captureWindow(*window)), 0);
    EXPECT_TRUE(ks::test::logMessages().empty());
}

// With no font there are no glyphs, but every character still paints its black box over
// what was there.
TEST(BatchedDisplayWithoutFont, BoxesStillHideWhatWasUnderThem)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    DisplayManager& dm = DisplayManager::getInstance();
    ASSERT_EQ(dm.startUp(), -1);
    sf::RenderWindow* window = dm.getWindow();
    ASSERT_NE(window, nullptr);

    sf::RectangleShape white({1024.f, 768.f});
    white.setFillColor(sf::Color::White);
    window->draw(white);
    const Screen screen = {{Vector(2, 2), 'A', ks::RED}, {Vector(10.5f, 7), ' ', ks::WHITE}};
    for (const Cell& c : screen)
        ASSERT_EQ(dm.drawCh(c.position, c.ch, c.color), 0);
    ASSERT_EQ(dm.flush(), 0);
    const sf::Image engine = ks::compat::captureWindow(*window);

    window->draw(white);
    TwoDrawPainter boxesOnly(nullptr);
    for (const Cell& c : screen)
        boxesOnly.draw(*window, c);
    const sf::Image reference = ks::compat::captureWindow(*window);

    EXPECT_EQ(compare(engine, reference).count, 0);
    // Two boxes of 12 x 32 pixels.
    EXPECT_EQ(1024 * 768 - inked(engine), 2 * 12 * 32);
    dm.shutDown();
}
} // namespace
