// Frame drawing in a real window (needs a display): which cells a frame covers.
#include <string>

#include "DisplayManager.h"
#include "Frame.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"

using namespace ks;

namespace {

class FrameWindowTest : public ks::test::InTempDir
{
protected:
    void SetUp() override { LogManager::getInstance().startUp(); }
    void TearDown() override { LogManager::getInstance().shutDown(); }
};

} // namespace

// In a real window: a frame covers the cells from position - size/2 (integer half) onwards.
TEST_F(FrameWindowTest, FrameIsPaintedCentredOnItsPosition)
{
    ks::test::installFont();
    DisplayManager& display = DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0);
    ASSERT_NE(display.getWindow(), nullptr);
    display.getWindow()->clear(sf::Color::Black);

    // 5 wide at column 20 covers 18..22; 4 wide at column 50 covers 48..51; 1x1 at (70, 20) only itself.
    Frame(5, 3, std::string(15, '#')).draw(Vector(20, 5), WHITE);
    Frame(4, 2, std::string(8, '#')).draw(Vector(50, 12), WHITE);
    Frame(1, 1, "#").draw(Vector(70, 20), WHITE);
    ASSERT_EQ(display.flush(), 0);
    const sf::Image image = ks::compat::captureWindow(*display.getWindow());

    // Ink in the middle of a cell, away from where a neighbour's glyph may spill over.
    auto lit = [&](int column, int row) {
        for (unsigned y = row * 32 + 12; y < static_cast<unsigned>(row * 32 + 26); y++)
            for (unsigned x = column * 12 + 4; x < static_cast<unsigned>(column * 12 + 9); x++)
                if (ks::compat::getPixel(image, x, y).r > 128)
                    return true;
        return false;
    };
    for (int y = 3; y <= 7; y++)
        for (int x = 17; x <= 23; x++)
            EXPECT_EQ(lit(x, y), x >= 18 && x <= 22 && y >= 4 && y <= 6) << x << "," << y;
    for (int y = 10; y <= 13; y++)
        for (int x = 47; x <= 52; x++)
            EXPECT_EQ(lit(x, y), x >= 48 && x <= 51 && y >= 11 && y <= 12) << x << "," << y;
    for (int y = 19; y <= 21; y++)
        for (int x = 69; x <= 71; x++)
            EXPECT_EQ(lit(x, y), x == 70 && y == 20) << x << "," << y;
    display.shutDown();
}
