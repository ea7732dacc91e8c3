// Frame drawing in a real window (needs a display): which cells a frame covers.

#include "Frame.h"
#include "DisplayManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"

using namespace ks;

// A frame covers the cells from its position - size/2 (integer half) onwards, and no others.
TEST(FrameTest, FrameIsPaintedCentredOnItsPosition)
{
    ks::test::TempDir temp;
    ks::test::installFont();
    LogManager::getInstance().startUp();
    DisplayManager& display = DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0);
    display.getWindow()->clear(sf::Color::Black);
    const int cases[][4] = {{5, 3, 20, 5}, {4, 2, 50, 12}, {1, 1, 70, 20}}; // width, height, x, y
    for (const auto& [width, height, x, y] : cases)
        Frame(width, height, std::string(static_cast<size_t>(width * height), '#')).draw(Vector(x, y), WHITE);
    display.getWindow();
    const sf::Image image = ks::compat::captureWindow(*display.getWindow());

    // Ink in the middle of a cell, away from where a neighbour's glyph may spill over.
    auto lit = [&](int column, int row) {
        for (unsigned y = row * 32 + 12; y < static_cast<unsigned>(row * 32 + 26); y++)
            for (unsigned x = column * 12 + 4; x < static_cast<unsigned>(column * 12 + 9); x++)
                if (ks::compat::getPixel(image, x, y).r > 128)
                    return true;
        return false;
    };
    for (const auto& [width, height, x, y] : cases)
    {
        const int left = x - width / 2, right = left + width, top = y - height / 2, bottom = top + height;
        for (int row = top - 1; row <= bottom; row++)
            for (int column = left - 1; column <= right; column++)
                EXPECT_EQ(lit(column, row), column >= left && column < right && row >= top && row < bottom)
                    << column << "," << row;
    }
    display.shutDown();
    LogManager::getInstance().shutDown();
}
