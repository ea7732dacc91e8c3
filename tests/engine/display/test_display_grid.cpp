// The character grid's arithmetic and the display manager's behaviour before it has a window.
// Nothing here opens a window or rasterises a glyph.
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
    EXPECT_FLOAT_EQ(dm.charWidth(), 12.0f);
    EXPECT_FLOAT_EQ(dm.charHeight(), 32.0f);
    // {spaces x, y, pixels x, y}
    const float cases[][4] = {
        {0, 0, 0, 0}, {80, 24, 960, 768}, {10.5f, 3, 126, 96}, {50, 9.375f, 600, 300},
        {85.25f, 23.96875f, 1023, 767}, {-1, -0.5f, -12, -16},
    };
    for (const auto& c : cases) {
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

} // namespace
