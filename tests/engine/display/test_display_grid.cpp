// The character grid's arithmetic, the map of where glyphs left ink, and the display manager's
// behaviour before it has a window. Nothing here opens a window or rasterises a glyph.
#include "TestSupport.h"

#include "DisplayManager.h"
#include "InkMap.h"
#include "InputManager.h"
#include "LogManager.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using ks::DisplayManager;
using ks::Vector;

class DisplayGrid : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    }
};

// Cells are whole pixels: 1024 / 80 truncates to 12, so column 80 starts at 960, not 1024.
TEST_F(DisplayGrid, CellsAreWholePixelsAndConversionsDoNotRound)
{
    const DisplayManager& dm = DisplayManager::getInstance();
    EXPECT_FLOAT_EQ(dm.charWidth(), 12.0f);
    EXPECT_FLOAT_EQ(dm.charHeight(), 32.0f);
    // {spaces x, y, pixels x, y}
    const float cases[][4] = {
        {0, 0, 0, 0},
        {80, 24, 960, 768},
        {10.5f, 3, 126, 96},
        {50, 9.375f, 600, 300},
        {85.25f, 23.96875f, 1023, 767},
        {-1, -0.5f, -12, -16},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "spaces (" << c[0] << ", " << c[1] << ")");
        const Vector pixels = dm.spacesToPixels(Vector(c[0], c[1]));
        EXPECT_FLOAT_EQ(pixels.getX(), c[2]);
        EXPECT_FLOAT_EQ(pixels.getY(), c[3]);
        const Vector spaces = dm.pixelsToSpaces(Vector(c[2], c[3]));
        EXPECT_FLOAT_EQ(spaces.getX(), c[0]);
        EXPECT_FLOAT_EQ(spaces.getY(), c[1]);
    }
}

TEST_F(DisplayGrid, WithoutWindowNothingIsDrawnAndEachCallLogs)
{
    DisplayManager& dm = DisplayManager::getInstance();
    ASSERT_EQ(dm.getWindow(), nullptr);
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

// A box repainted too small would let an earlier glyph show through it: every point of the
// box inside any ink must be inside the answer, and the answer never leaves the box.
TEST(InkMap, AnswersHoldAllInkInsideTheBoxAndNothingOutsideIt)
{
    using Rect = ks::InkMap::Rect;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-40.f, 1064.f), y(-40.f, 808.f), size(0.5f, 40.f);
    auto randomRect = [&] {
        const float left = x(random), top = y(random);
        return Rect{left, top, left + size(random), top + size(random)};
    };
    ks::InkMap map(1024, 768);
    const Rect window{0, 0, 1024, 768};
    auto meet = [](const Rect& a, const Rect& b) {
        return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
    };
    for (int round = 0; round < 20; round++)
    {
        map.clear();
        std::vector<Rect> ink(static_cast<size_t>(round * 10));
        for (Rect& r : ink)
        {
            r = randomRect();
            map.add(r);
        }
        for (int b = 0; b < 50; b++)
        {
            const Rect box = randomRect();
            const Rect over = map.inkWithin(box);
            if (!over.isEmpty())
            {
                EXPECT_TRUE(over.left >= box.left && over.top >= box.top && over.right <= box.right &&
                            over.bottom <= box.bottom);
            }
            // The ink inside the box (and the window) is a rectangle; the answer must hold it.
            for (const Rect& r : ink)
            {
                const Rect shared = meet(meet(r, box), window);
                const bool held = shared.isEmpty() || (shared.left >= over.left && shared.top >= over.top &&
                                                       shared.right <= over.right && shared.bottom <= over.bottom);
                EXPECT_TRUE(held) << "ink " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
            }
        }
    }
    // Nothing is left after a clear, and a box away from all ink gets nothing.
    map.add({100, 100, 120, 130});
    EXPECT_FALSE(map.inkWithin({110, 90, 122, 122}).isEmpty());
    EXPECT_TRUE(map.inkWithin({200, 100, 212, 132}).isEmpty());
    map.clear();
    EXPECT_TRUE(map.inkWithin({110, 90, 122, 122}).isEmpty());
}

} // namespace
