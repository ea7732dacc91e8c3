// Frame drawing in a real window (needs a display): which cells a frame covers.

#include "Frame.h"
#include "DisplayManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"

#include <functional>

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

// A frame of code points paints the pixels of drawGlyph in the same cells; one of ASCII code
// points paints the pixels of the same frame of characters.
TEST(FrameTest, CodePointFramesPaintLikeTheirGlyphsAndAsciiLikeCharacters)
{
    ks::test::TempDir temp;
    ks::test::installFont();
    LogManager::getInstance().startUp();
    DisplayManager& display = DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0);
    auto painted = [&](const std::function<void()>& draw) {
        display.getWindow()->clear(sf::Color::Black);
        draw();
        return ks::compat::captureWindow(*display.getWindow());
    };
    const std::u32string box = U"╔═╗║▒║╚═╝";
    const sf::Image glyphs = painted([&] {
        for (int i = 0; i < 9; i++)
            display.drawGlyph(Vector(19 + i % 3, 4 + i / 3), box[static_cast<size_t>(i)], GREEN);
    });
    const sf::Image frame = painted([&] {
        Frame(3, 3, box).draw(Vector(20, 5), GREEN);
    });
    EXPECT_GT(ks::test::inkedPixels(frame), 0);
    EXPECT_EQ(ks::test::compareImages(frame, glyphs).count, 0) << ks::test::compareImages(frame, glyphs).first;

    const sf::Image characters = painted([&] {
        Frame(4, 2, std::string("/--\\\\__/")).draw(Vector(20, 5), RED);
    });
    const sf::Image codePoints = painted([&] {
        Frame(4, 2, std::u32string(U"/--\\\\__/")).draw(Vector(20, 5), RED);
    });
    EXPECT_GT(ks::test::inkedPixels(characters), 0);
    EXPECT_EQ(ks::test::compareImages(characters, codePoints).count, 0);
    display.shutDown();
    LogManager::getInstance().shutDown();
}
