// Drawing into a real window, read back before it is shown (after flush, which draws what
// drawCh recorded). Glyph shapes differ between
// SFML versions, so these tests look at where the ink lands and in what colour, never
// at exact glyph pixels.
#include "TestSupport.h"

#include "DisplayManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

using ks::DisplayManager;
using ks::Vector;

const std::string UNKNOWN_COLOR = "Unknown color, defaulting to white";

// Where the non-black pixels of a rectangle of the image are, and how many.
struct Ink
{
    int count = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
};

bool isBlack(sf::Color c)
{
    return c.r == 0 && c.g == 0 && c.b == 0;
}

// Pixels in [x0, x1) x [y0, y1) accepted by keep; the rectangle is clipped to the image.
template <typename Keep>
Ink inkIn(const sf::Image& image, int x0, int y0, int x1, int y1, Keep keep)
{
    Ink ink;
    const int w = static_cast<int>(image.getSize().x);
    const int h = static_cast<int>(image.getSize().y);
    for (int y = std::max(y0, 0); y < std::min(y1, h); y++)
    {
        for (int x = std::max(x0, 0); x < std::min(x1, w); x++)
        {
            if (!keep(ks::compat::getPixel(image, static_cast<unsigned>(x), static_cast<unsigned>(y))))
                continue;
            ink.count++;
            ink.minX = std::min(ink.minX, x);
            ink.minY = std::min(ink.minY, y);
            ink.maxX = std::max(ink.maxX, x);
            ink.maxY = std::max(ink.maxY, y);
        }
    }
    return ink;
}

Ink anyInk(const sf::Image& image, int x0, int y0, int x1, int y1)
{
    return inkIn(image, x0, y0, x1, y1, [](sf::Color c) {
        return !isBlack(c);
    });
}

Ink allInk(const sf::Image& image)
{
    return anyInk(image, 0, 0, INT_MAX, INT_MAX);
}

// Anti-aliased glyph edges are the text colour scaled towards black, so a pixel "of"
// colour want has nothing in the channels that want lacks.
bool shadeOf(sf::Color c, sf::Color want)
{
    if (isBlack(c))
        return false;
    return (want.r != 0 || c.r == 0) && (want.g != 0 || c.g == 0) && (want.b != 0 || c.b == 0);
}

class DisplayWindow : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
        ks::test::installFont();
        ASSERT_EQ(dm.startUp(), 0);
        ASSERT_NE(dm.getWindow(), nullptr);
    }

    void TearDown() override
    {
        dm.shutDown();
    }

    sf::Image capture()
    {
        dm.flush();
        return ks::compat::captureWindow(*dm.getWindow());
    }

    int linesSaying(const std::string& message) const
    {
        const std::vector<std::string> messages = ks::test::logMessages();
        return static_cast<int>(std::count(messages.begin(), messages.end(), message));
    }

    // Ink in the middle of a cell, away from the strips a wide neighbour can reach.
    Ink cellCore(const sf::Image& image, int column, int row) const
    {
        return anyInk(image, 12 * column + 3, 32 * row + 4, 12 * column + 9, 32 * row + 30);
    }

    DisplayManager& dm = DisplayManager::getInstance();
};

TEST_F(DisplayWindow, StartUpOpensOneWindowOfTheGridSizeAndShutDownReleasesIt)
{
    sf::RenderWindow* window = dm.getWindow();
    EXPECT_TRUE(window->isOpen());
    EXPECT_EQ(window->getSize(), sf::Vector2u(1024, 768));
    EXPECT_TRUE(dm.isStarted());

    // A second start-up keeps the window it has.
    EXPECT_EQ(dm.startUp(), 0);
    EXPECT_EQ(dm.getWindow(), window);
    EXPECT_TRUE(ks::test::logMessages().empty());

    dm.shutDown();
    EXPECT_EQ(dm.getWindow(), nullptr);
    EXPECT_FALSE(dm.isStarted());
    EXPECT_EQ(dm.drawCh(Vector(1, 1), 'x', ks::WHITE), -1);
    EXPECT_EQ(dm.swapBuffers(), -1);
    EXPECT_EQ(ks::test::logMessages(),
              (std::vector<std::string>{"Can not drawChar because displaymanager window is not open",
                                        "Can not swap buffer because displaymanager window is not open"}));
}

// The same glyph drawn in different cells gives the same ink, moved by whole cells.
TEST_F(DisplayWindow, CharacterInkStaysInItsCell)
{
    struct Case
    {
        float column, row;
        int px, py; // the cell's top-left pixel
    };
    const Case cases[] = {{0, 0, 0, 0}, {10, 3, 120, 96}, {10.5f, 3, 126, 96}, {40, 12, 480, 384}, {79, 23, 948, 736}};

    Ink reference;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "cell (" << c.column << ", " << c.row << ")");
        ASSERT_EQ(dm.drawCh(Vector(c.column, c.row), '#', ks::WHITE), 0);
        const Ink ink = allInk(capture());
        ASSERT_GT(ink.count, 20);
        // Bold glyphs are a little wider than a 12-pixel cell and start a pixel early at most.
        EXPECT_GE(ink.minX, c.px - 1);
        EXPECT_LE(ink.maxX, c.px + 15);
        EXPECT_GE(ink.minY, c.py);
        EXPECT_LT(ink.maxY, c.py + 32);
        if (reference.count == 0)
        {
            reference = ink;
        }
        else
        {
            EXPECT_EQ(ink.count, reference.count);
            EXPECT_EQ(ink.minX - c.px, reference.minX);
            EXPECT_EQ(ink.minY - c.py, reference.minY);
            EXPECT_EQ(ink.maxX - c.px, reference.maxX);
            EXPECT_EQ(ink.maxY - c.py, reference.maxY);
        }
        ASSERT_EQ(dm.swapBuffers(), 0);
    }
}

TEST_F(DisplayWindow, EachColourPaintsItsOwnShade)
{
    struct Case
    {
        ks::Color color;
        sf::Color rgb;
    };
    const Case cases[] = {
        {ks::RED, sf::Color(255, 0, 0)},       {ks::GREEN, sf::Color(0, 255, 0)},
        {ks::YELLOW, sf::Color(255, 255, 0)},  {ks::BLUE, sf::Color(0, 0, 255)},
        {ks::MAGENTA, sf::Color(255, 0, 255)}, {ks::CYAN, sf::Color(0, 255, 255)},
        {ks::WHITE, sf::Color(255, 255, 255)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "colour " << static_cast<int>(c.color));
        ASSERT_EQ(dm.drawCh(Vector(20, 10), 'M', c.color), 0);
        const sf::Image image = capture();
        const Ink ink = allInk(image);
        ASSERT_GT(ink.count, 20);
        EXPECT_EQ(inkIn(image, 0, 0, INT_MAX, INT_MAX,
                        [&](sf::Color p) {
                            return shadeOf(p, c.rgb);
                        })
                      .count,
                  ink.count);
        EXPECT_GT(inkIn(image, 0, 0, INT_MAX, INT_MAX,
                        [&](sf::Color p) {
                            return p == c.rgb;
                        })
                      .count,
                  0);
        ASSERT_EQ(dm.swapBuffers(), 0);
    }

    // Black glyphs on black boxes leave nothing to see.
    ASSERT_EQ(dm.drawCh(Vector(20, 10), 'M', ks::BLACK), 0);
    EXPECT_EQ(allInk(capture()).count, 0);
    EXPECT_EQ(linesSaying(UNKNOWN_COLOR), 0);
}

TEST_F(DisplayWindow, UnknownColoursDrawWhiteAndLogOnEveryCall)
{
    const ks::Color unknown[] = {ks::CUSTOM, ks::UNDEFINED_COLOR, static_cast<ks::Color>(42)};
    int expectedLines = 0;
    for (ks::Color color : unknown)
    {
        SCOPED_TRACE(testing::Message() << "colour " << static_cast<int>(color));
        EXPECT_EQ(dm.drawCh(Vector(5, 5), 'M', color), 0);
        EXPECT_EQ(dm.drawCh(Vector(6, 5), 'M', color), 0);
        expectedLines += 2;
        EXPECT_EQ(linesSaying(UNKNOWN_COLOR), expectedLines);

        const sf::Image image = capture();
        const Ink ink = allInk(image);
        ASSERT_GT(ink.count, 20);
        const sf::Color white(255, 255, 255);
        EXPECT_EQ(inkIn(image, 0, 0, INT_MAX, INT_MAX,
                        [](sf::Color p) {
                            return !isBlack(p) && p.r == p.g && p.g == p.b;
                        })
                      .count,
                  ink.count);
        EXPECT_GT(inkIn(image, 0, 0, INT_MAX, INT_MAX,
                        [&](sf::Color p) {
                            return p == white;
                        })
                      .count,
                  0);
        ASSERT_EQ(dm.swapBuffers(), 0);
    }
    EXPECT_EQ(static_cast<int>(ks::test::logMessages().size()), expectedLines);
}

// Every character paints its black box first, so the later of two overlapping
// characters wins where their boxes meet.
TEST_F(DisplayWindow, LaterCharacterBoxHidesEarlierInk)
{
    const sf::Color red(255, 0, 0), green(0, 255, 0);
    auto reds = [&](sf::Color p) {
        return shadeOf(p, red);
    };
    auto greens = [&](sf::Color p) {
        return shadeOf(p, green);
    };
    // Cell (6, 5) starts at pixel (72, 160); its box covers x 70.8..82.8, y 166.4..198.4.
    const int bx0 = 71, by0 = 166, bx1 = 83, by1 = 198;

    // A bold W in cell (5, 5) reaches into its right neighbour's box...
    ASSERT_EQ(dm.drawCh(Vector(5, 5), 'W', ks::RED), 0);
    const int reachingIn = inkIn(capture(), bx0, by0, bx1, by1, reds).count;
    ASSERT_GT(reachingIn, 0);
    ASSERT_EQ(dm.swapBuffers(), 0);

    // ... which hides that part when it is drawn later,
    ASSERT_EQ(dm.drawCh(Vector(5, 5), 'W', ks::RED), 0);
    ASSERT_EQ(dm.drawCh(Vector(6, 5), ' ', ks::WHITE), 0);
    sf::Image image = capture();
    EXPECT_EQ(inkIn(image, bx0, by0, bx1, by1, reds).count, 0);
    EXPECT_GT(inkIn(image, 0, 0, INT_MAX, INT_MAX, reds).count, 20);
    ASSERT_EQ(dm.swapBuffers(), 0);

    // ... and not when it was drawn first.
    ASSERT_EQ(dm.drawCh(Vector(6, 5), ' ', ks::WHITE), 0);
    ASSERT_EQ(dm.drawCh(Vector(5, 5), 'W', ks::RED), 0);
    EXPECT_EQ(inkIn(capture(), bx0, by0, bx1, by1, reds).count, reachingIn);
    ASSERT_EQ(dm.swapBuffers(), 0);

    // A character drawn into the same cell replaces the earlier one inside the box.
    ASSERT_EQ(dm.drawCh(Vector(5, 5), '#', ks::GREEN), 0);
    ASSERT_EQ(dm.drawCh(Vector(5, 5), 'o', ks::RED), 0);
    image = capture();
    EXPECT_EQ(inkIn(image, 59, 166, 71, 198, greens).count, 0);
    EXPECT_GT(inkIn(image, 59, 166, 71, 198, reds).count, 0);
}

TEST_F(DisplayWindow, StringsLandInTheColumnsTheirJustificationGives)
{
    struct Case
    {
        const char* text;
        Justification just;
        float x;
        std::vector<int> inked; // columns with a glyph; others in 28..52 stay empty
    };
    // The gap in each text pins which end of the string went where.
    const Case cases[] = {
        {"H HHH", LEFT_JUSTIFIED, 40, {40, 42, 43, 44}},
        {"H HHH", CENTER_JUSTIFIED, 40, {38, 40, 41, 42}},
        {"H HHH", RIGHT_JUSTIFIED, 40, {35, 37, 38, 39}},
        {"H HH", CENTER_JUSTIFIED, 40, {38, 40, 41}},
        {"H HH", RIGHT_JUSTIFIED, 40, {36, 38, 39}},
        {"", CENTER_JUSTIFIED, 40, {}},
        {"H HHH", static_cast<Justification>(7), 40, {40, 42, 43, 44}},
    };
    const int row = 7;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" justification " << static_cast<int>(c.just));
        EXPECT_EQ(dm.drawString(Vector(c.x, row), c.text, c.just, ks::YELLOW), 0);
        const sf::Image image = capture();
        for (int column = 28; column <= 52; column++)
        {
            const bool expected = std::find(c.inked.begin(), c.inked.end(), column) != c.inked.end();
            EXPECT_EQ(cellCore(image, column, row).count > 0, expected) << "column " << column;
        }
        if (c.inked.empty())
        {
            EXPECT_EQ(allInk(image).count, 0);
        }
        ASSERT_EQ(dm.swapBuffers(), 0);
    }
    EXPECT_TRUE(ks::test::logMessages().empty());
}

// No font is no reason to stop: the window opens, the manager counts as started and the
// input manager, which needs only that, still starts.
TEST(DisplayWithoutFont, StartUpReportsTheFontButKeepsTheWindow)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    DisplayManager& dm = DisplayManager::getInstance();

    EXPECT_EQ(dm.startUp(), -1);
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>{"failed to open font file"});
    ASSERT_NE(dm.getWindow(), nullptr);
    EXPECT_TRUE(dm.getWindow()->isOpen());
    EXPECT_TRUE(dm.isStarted());
    EXPECT_EQ(ks::InputManager::getInstance().startUp(), 0);
    EXPECT_TRUE(ks::InputManager::getInstance().isStarted());

    // Drawing goes on without a font: boxes, no glyphs (and no crash inside SFML).
    EXPECT_EQ(dm.drawString(Vector(1, 1), "no font", LEFT_JUSTIFIED, ks::WHITE), 0);
    EXPECT_EQ(dm.flush(), 0);
    EXPECT_EQ(allInk(ks::compat::captureWindow(*dm.getWindow())).count, 0);
    EXPECT_EQ(dm.swapBuffers(), 0);
    EXPECT_EQ(ks::test::logMessages().size(), 1u);
    dm.shutDown();
}

} // namespace
