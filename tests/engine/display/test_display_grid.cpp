// The character grid's arithmetic and the display manager's behaviour before it has a
// window. Nothing here opens a window or rasterises a glyph.
#include "TestSupport.h"

#include "DisplayManager.h"
#include "InputManager.h"
#include "LogManager.h"

#include <string>
#include <vector>

namespace {

using ks::DisplayManager;
using ks::Vector;

class DisplayGrid : public ks::test::InTempDir
{
protected:
    void SetUp() override { ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0); }
};

// Cells are whole pixels: 1024 / 80 truncates to 12, so column 80 starts at 960, not 1024.
TEST_F(DisplayGrid, CellsAreWholePixelsAndConversionsDoNotRound)
{
    const DisplayManager& dm = DisplayManager::getInstance();
    EXPECT_EQ(dm.getHorizontal(), 80);
    EXPECT_EQ(dm.getVertical(), 24);
    EXPECT_EQ(dm.getHorizontalPixels(), 1024);
    EXPECT_EQ(dm.getVerticalPixels(), 768);
    EXPECT_FLOAT_EQ(dm.charWidth(), 12.0f);
    EXPECT_FLOAT_EQ(dm.charHeight(), 32.0f);

    struct Case {
        float sx, sy; // spaces
        float px, py; // pixels
    };
    const Case cases[] = {
        {0, 0, 0, 0},
        {80, 24, 960, 768},
        {10.5f, 3, 126, 96},
        {50, 9.375f, 600, 300},
        {85.25f, 23.96875f, 1023, 767},
        {-1, -0.5f, -12, -16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "spaces (" << c.sx << ", " << c.sy << ")");
        const Vector pixels = dm.spacesToPixels(Vector(c.sx, c.sy));
        EXPECT_FLOAT_EQ(pixels.getX(), c.px);
        EXPECT_FLOAT_EQ(pixels.getY(), c.py);
        const Vector spaces = dm.pixelsToSpaces(Vector(c.px, c.py));
        EXPECT_FLOAT_EQ(spaces.getX(), c.sx);
        EXPECT_FLOAT_EQ(spaces.getY(), c.sy);
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
    EXPECT_EQ(dm.drawString(Vector(1, 1), "", LEFT_JUSTIFIED, ks::GREEN), 0);

    const std::string draw = "Can not drawChar because displaymanager window is not open";
    const std::string swap = "Can not swap buffer because displaymanager window is not open";
    EXPECT_EQ(ks::test::logMessages(), (std::vector<std::string>{draw, swap, draw, draw, draw}));
}

TEST_F(DisplayGrid, ShutDownWithoutWindowIsHarmless)
{
    DisplayManager& dm = DisplayManager::getInstance();
    dm.shutDown();
    dm.shutDown();
    EXPECT_FALSE(dm.isStarted());
    EXPECT_EQ(dm.getWindow(), nullptr);
    // The input manager reads the display's window; with none it must simply return.
    ks::InputManager::getInstance().getInput();
    EXPECT_TRUE(ks::test::logMessages().empty());
}

} // namespace
