// The display manager: its grid arithmetic, its life without a window or a font, and what it
// paints into a real window, read back before the frame is shown: where ink lands and in what
// colour (glyph shapes differ between SFML versions; CharacterBatchTest compares pixels).
#include "TestSupport.h"

#include "DisplayManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "TwoDrawPainter.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib's macros (None, Status, Bool) would clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace {

using ks::DisplayManager;
using ks::Vector;

bool lit(sf::Color c)
{
    return c != sf::Color::Black;
}

// Pixels of [x0, x1) x [y0, y1) (clipped to the image) that keep accepts.
template <typename Keep = bool (*)(sf::Color)>
int countIn(const sf::Image& image, int x0, int y0, int x1, int y1, Keep keep = lit)
{
    int count = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, int(image.getSize().y)); y++)
        for (int x = std::max(x0, 0); x < std::min(x1, int(image.getSize().x)); x++)
            count += keep(ks::compat::getPixel(image, unsigned(x), unsigned(y)));
    return count;
}

template <typename Keep = bool (*)(sf::Color)>
int countAll(const sf::Image& image, Keep keep = lit)
{
    return countIn(image, 0, 0, INT_MAX, INT_MAX, keep);
}

bool greenUnderShade(sf::Color c)
{
    return c.g > 0 && c.b > 0 && c.r == 0;
}

bool redOnBlack(sf::Color c)
{
    return c.r > 0 && c.b == 0;
}

// Ink in the middle of a cell, away from the strips a wide neighbour can reach.
int cellCore(const sf::Image& image, int column, int row)
{
    return countIn(image, 12 * column + 3, 32 * row + 4, 12 * column + 9, 32 * row + 30);
}

class DisplayManagerTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
        ks::test::installFont();
        ASSERT_EQ(dm.startUp(), 0);
        ASSERT_NE(dm.getWindow(), nullptr);
        dm.getWindow()->clear(sf::Color::Black);
    }

    void TearDown() override
    {
        dm.shutDown();
    }

    // What the window shows right now; the next frame starts on a cleared window.
    sf::Image captureAndSwap()
    {
        const sf::Image image = ks::compat::captureWindow(*dm.getWindow());
        EXPECT_EQ(dm.swapBuffers(), 0);
        return image;
    }

    DisplayManager& dm = DisplayManager::getInstance();
};

// Cells are whole pixels: 1024 / 80 truncates to 12, so column 80 starts at 960, not 1024.
// Neither the instance nor the conversions need a display: the renderer comes with the window.
TEST(DisplayManagerGrid, CellsAreWholePixelsAndConversionsDoNotRound)
{
    unsetenv("DISPLAY");
    const DisplayManager& dm = DisplayManager::getInstance();
    EXPECT_FLOAT_EQ(dm.charWidth(), 12.0f);
    EXPECT_FLOAT_EQ(dm.charHeight(), 32.0f);
    // {spaces x, y, pixels x, y}
    const float cases[][4] = {
        {0, 0, 0, 0}, {80, 24, 960, 768}, {10.5f, 3, 126, 96}, {85.25f, 23.96875f, 1023, 767}, {-1, -0.5f, -12, -16}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "spaces (" << c[0] << ", " << c[1] << ")");
        const Vector pixels = dm.spacesToPixels(Vector(c[0], c[1])), spaces = dm.pixelsToSpaces(Vector(c[2], c[3]));
        EXPECT_FLOAT_EQ(pixels.getX(), c[2]);
        EXPECT_FLOAT_EQ(pixels.getY(), c[3]);
        EXPECT_FLOAT_EQ(spaces.getX(), c[0]);
        EXPECT_FLOAT_EQ(spaces.getY(), c[1]);
    }
}

// Each setting's bad values: a log line naming the setting and the value, and the default kept.
TEST(DisplayManagerSettings, BadValuesAreLoggedAndLeaveTheDefaults)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    DisplayManager& dm = DisplayManager::getInstance();
    const std::pair<std::function<int()>, std::string> cases[] = {
        {[&] {
             return dm.setGrid(0, 24);
         },
         "DisplayManager::setGrid: 0 x 24 cells cannot be drawn, using 80 x 24"},
        {[&] {
             return dm.setGrid(2000, 24);
         },
         "DisplayManager::setGrid: 2000 x 24 cells cannot be drawn, using 80 x 24"},
        {[&] {
             return dm.setCellSize(12, -3);
         },
         "DisplayManager::setCellSize: 12 x -3 pixels cannot be a cell, using the window divided by the grid"},
        {[&] {
             return dm.setFontSize(0);
         },
         "DisplayManager::setFontSize: 0 pixels cannot be drawn, using twice the cell's smaller side"},
        {[&] {
             return dm.setScale(0);
         },
         "DisplayManager::setScale: 0 is outside 0.25 to 8, using 1"},
        {[&] {
             return dm.setScale(-2.5f);
         },
         "DisplayManager::setScale: -2.5 is outside 0.25 to 8, using 1"},
        {[&] {
             return dm.setFontFile("");
         },
         "DisplayManager::setFontFile: an empty name, using \"ks-font.ttf\""},
    };
    for (const auto& [set, line] : cases)
    {
        SCOPED_TRACE(line);
        EXPECT_EQ(set(), -1);
        EXPECT_EQ(ks::test::logMessages().back(), line);
        EXPECT_EQ(dm.getHorizontal(), 80);
        EXPECT_EQ(dm.getVertical(), 24);
        EXPECT_FLOAT_EQ(dm.charWidth(), 12);
        EXPECT_FLOAT_EQ(dm.charHeight(), 32);
        EXPECT_FLOAT_EQ(dm.getScale(), 1);
        EXPECT_EQ(dm.getHorizontalPixels(), 1024);
    }
    // A font that does not open falls back to the game's; settings after startUp change nothing.
    ks::test::installFont();
    ASSERT_EQ(dm.setFontFile("no-such-font.ttf"), 0);
    ASSERT_EQ(dm.startUp(), 0);
    EXPECT_EQ(dm.setGrid(10, 10), -1);
    EXPECT_EQ(dm.getHorizontal(), 80);
    const std::vector<std::string> log = ks::test::logMessages();
    EXPECT_EQ(
        std::vector<std::string>(log.end() - 2, log.end()),
        (std::vector<std::string>{"DisplayManager: font file \"no-such-font.ttf\" does not open, using \"ks-font.ttf\"",
                                  "DisplayManager::setGrid: the window is open already, call it before startUp"}));
    EXPECT_EQ(dm.getWindow()->getSize(), sf::Vector2u(1024, 768));
    dm.shutDown();
}

// A chosen grid and cell: the window is the grid's size, and the conversions and the world's
// bounds (from the grid) follow.
TEST(DisplayManagerSettings, AChosenGridSetsTheWindowAndTheConversions)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    ks::test::installFont();
    DisplayManager& dm = DisplayManager::getInstance();
    ASSERT_EQ(dm.setGrid(100, 40), 0);
    ASSERT_EQ(dm.setCellSize(10, 20), 0);
    ASSERT_EQ(dm.setTitle("Grid"), 0);
    ASSERT_EQ(dm.startUp(), 0);
    EXPECT_EQ(dm.getWindow()->getSize(), sf::Vector2u(1000, 800));
    EXPECT_EQ(dm.getHorizontal(), 100);
    EXPECT_EQ(dm.getVertical(), 40);
    const Vector pixels = dm.spacesToPixels(Vector(99.5f, 39));
    EXPECT_FLOAT_EQ(pixels.getX(), 995);
    EXPECT_FLOAT_EQ(pixels.getY(), 780);
    EXPECT_TRUE(ks::test::logMessages().empty());
    dm.shutDown();
}

TEST(DisplayManagerWithoutWindow, NothingIsDrawnAndEachCallLogs)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    DisplayManager& dm = DisplayManager::getInstance();
    EXPECT_EQ(dm.drawCh(Vector(1, 1), 'x', ks::RED), -1);
    EXPECT_EQ(dm.swapBuffers(), -1);
    // drawString ignores drawCh's failures: one line per character, still 0.
    EXPECT_EQ(dm.drawString(Vector(1, 1), "abc", CENTER_JUSTIFIED, ks::GREEN), 0);
    // Shutting down twice and reading input with no window log nothing more.
    dm.shutDown();
    dm.shutDown();
    ks::InputManager::getInstance().getInput();
    const std::string draw = "Can not drawChar because displaymanager window is not open";
    const std::string swap = "Can not swap buffer because displaymanager window is not open";
    EXPECT_EQ(ks::test::logMessages(), (std::vector<std::string>{draw, swap, draw, draw, draw}));
}

// Characters drawn through drawUncounted (the frame overlay's) are neither counted nor part
// of the frame's digest: the digest and the count are those of the same frame without them.
TEST(DisplayManagerHeadless, UncountedCharactersStayOutOfTheDigestAndTheCount)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    DisplayManager& dm = DisplayManager::getInstance();
    dm.setHeadless(true);
    dm.startUp();
    std::vector<std::pair<std::uint32_t, int>> frames; // digest, count
    for (const bool overlay : {false, true, false})
    {
        dm.drawString(Vector(2, 3), "game", LEFT_JUSTIFIED, ks::RED);
        if (overlay)
            dm.drawUncounted([&] {
                dm.drawString(Vector(0, 23), "overlay", LEFT_JUSTIFIED, ks::YELLOW);
            });
        const int count = dm.getCharacterCount();
        dm.swapBuffers();
        frames.push_back({dm.getFrameDigest(), count});
    }
    EXPECT_EQ(frames[0], std::make_pair(frames[0].first, 4));
    EXPECT_EQ(frames[1], frames[0]);
    EXPECT_EQ(frames[2], frames[0]);
    // A character counted does change the digest.
    dm.drawString(Vector(2, 3), "game!", LEFT_JUSTIFIED, ks::RED);
    dm.swapBuffers();
    EXPECT_NE(dm.getFrameDigest(), frames[0].first);
    dm.shutDown();
    dm.setHeadless(false);
}

TEST_F(DisplayManagerTest, StartUpOpensOneWindowOfTheGridSizeAndShutDownReleasesIt)
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
}

// The window as the X server has it: the title "Kestrane", a title bar without a close button
// and a size that cannot change, no cursor over it; and what swapBuffers shows is on the
// screen, not only in the renderer.
TEST(DisplayManagerWindow, TitleBarOnlyFixedSizeNoCursorAndSwapShowsTheFrame)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    ks::test::installFont();
    DisplayManager& dm = DisplayManager::getInstance();
    ASSERT_EQ(dm.startUp(), 0);
    const Window window = ks::compat::nativeHandle(*dm.getWindow());
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);

    char* name = nullptr;
    ASSERT_NE(XFetchName(x, window, &name), 0);
    EXPECT_STREQ(name, "Kestrane");
    XFree(name);

    // Motif hints {flags, functions, decorations}: a title bar and moving, but neither
    // resizing, maximising nor closing (functions 2, 16, 32; decorations 4 and 64 for the
    // resize handles and maximise button, 8 the title).
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const Atom motif = XInternAtom(x, "_MOTIF_WM_HINTS", False);
    ASSERT_EQ(XGetWindowProperty(x, window, motif, 0, 5, False, AnyPropertyType, &type, &format, &count, &after, &data),
              Success);
    ASSERT_GE(count, 3u);
    const unsigned long functions = reinterpret_cast<unsigned long*>(data)[1];
    const unsigned long decorations = reinterpret_cast<unsigned long*>(data)[2];
    XFree(data);
    EXPECT_EQ(functions & (2 | 16 | 32), 0u) << functions;
    EXPECT_EQ(decorations & (4 | 8 | 64), 8u) << decorations;
    XSizeHints* size = XAllocSizeHints();
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(x, window, size, &supplied), 0);
    EXPECT_EQ(size->flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ(std::vector<int>({size->min_width, size->min_height, size->max_width, size->max_height}),
              std::vector<int>({1024, 768, 1024, 768}));
    XFree(size);

    // The pointer over the window shows a cursor with no opaque pixel.
    XWarpPointer(x, 0, window, 0, 0, 0, 0, 512, 384);
    XSync(x, False);
    XFixesCursorImage* cursor = XFixesGetCursorImage(x);
    ASSERT_NE(cursor, nullptr);
    int opaque = 0;
    for (int i = 0; i < cursor->width * cursor->height; i++)
        opaque += (cursor->pixels[i] >> 24) != 0;
    XFree(cursor);
    EXPECT_EQ(opaque, 0);
    XCloseDisplay(x);

    ASSERT_EQ(dm.drawCh(Vector(40, 12), 'K', ks::GREEN), 0);
    ASSERT_EQ(dm.swapBuffers(), 0);
    // The renderer's connection to the X server may not have sent the frame yet.
    sf::Image shown;
    for (int wait = 0; wait < 40 && (shown.getSize().x == 0 || cellCore(shown, 40, 12) == 0); wait++)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        shown = ks::test::shownOnScreen(window);
    }
    ASSERT_EQ(shown.getSize(), sf::Vector2u(1024, 768));
    EXPECT_GT(cellCore(shown, 40, 12), 20);
    // And nothing but the K: the screen shows this frame alone.
    EXPECT_EQ(countAll(shown), countIn(shown, 12 * 39, 32 * 12, 12 * 42, 32 * 13));
    dm.shutDown();
}

// The window handed out holds every character drawn so far, and what is drawn through it
// lies over the earlier characters and under the later ones, as with two draws per character.
TEST_F(DisplayManagerTest, TheWindowHandedOutHoldsEveryCharacterDrawnSoFar)
{
    ASSERT_EQ(dm.drawCh(Vector(5, 5), 'A', ks::GREEN), 0);
    EXPECT_GT(cellCore(ks::compat::captureWindow(*dm.getWindow()), 5, 5), 0);

    sf::RectangleShape shade({120.f, 64.f});
    shade.setPosition({48.f, 150.f});
    shade.setFillColor(sf::Color(0, 0, 255, 128));
    auto paint = [&](const std::function<void(const ks::reference::Cell&)>& drawCh) {
        dm.getWindow()->clear(sf::Color::Black);
        drawCh({Vector(5, 5), 'A', ks::GREEN});
        dm.getWindow()->draw(shade);
        drawCh({Vector(7, 5), 'B', ks::RED});
        return ks::compat::captureWindow(*dm.getWindow());
    };
    const sf::Image engine = paint([&](const ks::reference::Cell& c) {
        dm.drawCh(c.position, c.ch, c.color);
    });
    sf::Font font;
    ASSERT_TRUE(ks::compat::openFont(font, ks::FONT_FILE_DEFAULT));
    ks::reference::TwoDrawPainter painter(&font);
    const sf::Image reference = paint([&](const ks::reference::Cell& c) {
        painter.draw(*dm.getWindow(), c);
    });

    EXPECT_EQ(ks::test::compareImages(engine, reference).count, 0);
    // A's green glyph under the shade, B's red glyph on its black box over it.
    EXPECT_GT(countAll(engine, greenUnderShade), 20);
    EXPECT_GT(countIn(engine, 84, 166, 96, 198, redOnBlack), 20);
}

// Anti-aliased edges are the colour scaled towards black: every lit pixel has nothing in the
// channels the colour lacks, and some pixel has the colour itself. Unknown colours are white
// and log a line on every call.
TEST_F(DisplayManagerTest, EachColourPaintsItsOwnShade)
{
    const std::pair<ks::Color, sf::Color> cases[] = {
        {ks::RED, sf::Color(255, 0, 0)},         {ks::GREEN, sf::Color(0, 255, 0)},
        {ks::YELLOW, sf::Color(255, 255, 0)},    {ks::BLUE, sf::Color(0, 0, 255)},
        {ks::MAGENTA, sf::Color(255, 0, 255)},   {ks::CYAN, sf::Color(0, 255, 255)},
        {ks::WHITE, sf::Color(255, 255, 255)},   {ks::CUSTOM, sf::Color::White},
        {ks::UNDEFINED_COLOR, sf::Color::White}, {ks::Color(42), sf::Color::White},
    };
    int unknown = 0;
    for (const auto& [color, rgb] : cases)
    {
        SCOPED_TRACE(testing::Message() << "colour " << static_cast<int>(color));
        ASSERT_EQ(dm.drawCh(Vector(20, 10), 'M', color), 0);
        unknown += color < ks::BLACK || color > ks::WHITE;
        const std::vector<std::string> log = ks::test::logMessages();
        EXPECT_EQ(std::count(log.begin(), log.end(), "Unknown color, defaulting to white"), unknown);
        const sf::Image image = captureAndSwap();
        const int inked = countAll(image);
        ASSERT_GT(inked, 20);
        const sf::Color want = rgb;
        auto shade = [&](sf::Color p) {
            return (want.r || !p.r) && (want.g || !p.g) && (want.b || !p.b);
        };
        EXPECT_EQ(countAll(image, shade), 1024 * 768);
        EXPECT_GT(countAll(image,
                           [&](sf::Color p) {
                               return p == want;
                           }),
                  0);
    }
    // Black glyphs on black boxes leave nothing to see.
    ASSERT_EQ(dm.drawCh(Vector(20, 10), 'M', ks::BLACK), 0);
    EXPECT_EQ(countAll(captureAndSwap()), 0);
    EXPECT_EQ(static_cast<int>(ks::test::logMessages().size()), unknown);
}

TEST_F(DisplayManagerTest, StringsLandInTheColumnsTheirJustificationGives)
{
    struct Case
    {
        const char* text;
        Justification just;
        std::vector<int> inked; // columns with a glyph; others in 28..52 stay empty
    };
    // The gap in each text pins which end of the string went where; strings start at x = 40.
    const Case cases[] = {
        {"H HHH", LEFT_JUSTIFIED, {40, 42, 43, 44}},
        {"H HHH", CENTER_JUSTIFIED, {38, 40, 41, 42}},
        {"H HHH", RIGHT_JUSTIFIED, {35, 37, 38, 39}},
        {"H HH", CENTER_JUSTIFIED, {38, 40, 41}},
        {"H HH", RIGHT_JUSTIFIED, {36, 38, 39}},
        {"", CENTER_JUSTIFIED, {}},
        {"H HHH", static_cast<Justification>(7), {40, 42, 43, 44}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" justification " << static_cast<int>(c.just));
        EXPECT_EQ(dm.drawString(Vector(40, 7), c.text, c.just, ks::YELLOW), 0);
        const sf::Image image = captureAndSwap();
        for (int column = 28; column <= 52; column++)
            EXPECT_EQ(cellCore(image, column, 7) > 0,
                      std::find(c.inked.begin(), c.inked.end(), column) != c.inked.end())
                << "column " << column;
        EXPECT_EQ(countAll(image) > 0, !c.inked.empty());
    }
    EXPECT_TRUE(ks::test::logMessages().empty());
}

// UTF-8 text is drawn a code point a cell, as drawGlyph draws each; bytes that start no
// character are drawn as U+FFFD, each with a log line, and justification counts code points.
TEST_F(DisplayManagerTest, Utf8TextIsDrawnACodePointACell)
{
    struct Case
    {
        const char* text;
        std::u32string codePoints;
        std::vector<std::string> log;
    };
    const std::string bad = "DisplayManager::drawUtf8: byte 0x";
    const Case cases[] = {
        {"\xe2\x94\x8c\xe2\x94\x80\xe2\x94\x90 A\xe2\x96\x88", U"┌─┐ A█", {}},
        {"x\xffy\xc3",
         U"x\uFFFDy\uFFFD",
         {bad + "ff at 1 starts no UTF-8 character, drawn as U+FFFD",
          bad + "c3 at 3 starts no UTF-8 character, drawn as U+FFFD"}},
        // An overlong slash and a surrogate: each of their bytes on its own.
        {"\xc0\xaf\xed\xa0\x80\xf0\x9f\x98\x80",
         U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\U0001F600",
         {bad + "c0 at 0 starts no UTF-8 character, drawn as U+FFFD",
          bad + "af at 1 starts no UTF-8 character, drawn as U+FFFD",
          bad + "ed at 2 starts no UTF-8 character, drawn as U+FFFD",
          bad + "a0 at 3 starts no UTF-8 character, drawn as U+FFFD",
          bad + "80 at 4 starts no UTF-8 character, drawn as U+FFFD"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        ks::LogManager::getInstance().startUp();
        EXPECT_EQ(dm.drawUtf8(Vector(40, 5), c.text, CENTER_JUSTIFIED, ks::Rgb{200, 100, 0}), 0);
        const sf::Image text = captureAndSwap();
        const float start = 40.f - static_cast<float>(c.codePoints.size() / 2);
        for (std::size_t i = 0; i < c.codePoints.size(); i++)
            dm.drawGlyph(Vector(start + static_cast<float>(i), 5), c.codePoints[i], ks::Rgb{200, 100, 0});
        EXPECT_EQ(ks::test::compareImages(text, captureAndSwap()).count, 0);
        EXPECT_EQ(ks::test::logMessages(), c.log);
    }
}

// No font is no reason to stop: the window opens, the manager counts as started and the input
// manager, which needs only that, still starts. Characters paint their black boxes over what
// was there, and no glyphs, even when an earlier start-up had a font.
TEST(DisplayManagerWithoutFont, KeepsTheWindowAndPaintsBoxes)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    DisplayManager& dm = DisplayManager::getInstance();
    ks::test::installFont();
    ASSERT_EQ(dm.startUp(), 0);
    ASSERT_EQ(dm.drawCh(Vector(2, 2), 'n', ks::RED), 0);
    dm.shutDown();
    std::remove("ks-font.ttf");
    EXPECT_EQ(dm.startUp(), -1);
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>{"failed to open font file"});
    ASSERT_NE(dm.getWindow(), nullptr);
    EXPECT_TRUE(dm.getWindow()->isOpen());
    EXPECT_TRUE(dm.isStarted());
    EXPECT_EQ(ks::InputManager::getInstance().startUp(), 0);

    dm.getWindow()->clear(sf::Color::White);
    EXPECT_EQ(dm.drawString(Vector(2, 2), "no font", LEFT_JUSTIFIED, ks::RED), 0);
    EXPECT_EQ(dm.drawCh(Vector(10.5f, 7), ' ', ks::WHITE), 0);
    const sf::Image image = ks::compat::captureWindow(*dm.getWindow());
    // Eight boxes of 12 x 32 pixels, the last one on its own.
    EXPECT_EQ(countAll(image,
                       [](sf::Color c) {
                           return c != sf::Color::White;
                       }),
              8 * 12 * 32);
    EXPECT_EQ(countIn(image, 23, 70, 107, 102), 0);
    EXPECT_EQ(dm.swapBuffers(), 0);
    EXPECT_EQ(ks::test::logMessages().size(), 1u);
    dm.shutDown();
}

} // namespace
