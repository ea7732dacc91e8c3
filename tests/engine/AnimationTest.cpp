// Animations: the frame sequence played for each slowdown, and the box centred on the
// position that an object takes from its sprite.
#include <climits>

#include "Animation.h"
#include "LogManager.h"
#include "Sprite.h"
#include "TestSupport.h"

using namespace ks;

using AnimationTest = ks::test::InTempDir;

TEST_F(AnimationTest, PlaysFramesAtTheSpritesSlowdown)
{
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {2, {1, 2, 2, 3, 3, 1, 1, 2}}, {1, {1, 2, 3, 1, 2}},    {0, {1, 2, 3, 1, 2}},
        {-1, {1, 1, 1, 1, 1}},         {INT_MAX, {1, 2, 2, 2}}, // the count must not overflow at the int limit
    };
    for (const auto& [slowdown, expected] : cases)
    {
        Sprite sprite(3);
        for (const char* text : {"a", "b", "c"})
            sprite.addFrame(Frame(1, 1, text));
        sprite.setSlowdown(slowdown);
        // What an object does when it is given the sprite.
        Animation animation;
        animation.setSprite(&sprite);
        animation.setSlowdownCount(sprite.getSlowdown());
        std::vector<int> drawn; // the frame each draw shows
        for (size_t i = 0; i < expected.size(); i++, animation.draw(Vector(1, 1)))
            drawn.push_back(animation.getIndex());
        EXPECT_EQ(drawn, expected) << "slowdown " << slowdown;
    }
    EXPECT_EQ(Animation().draw(Vector(0, 0)), -1);
}

TEST_F(AnimationTest, BoxIsCentredOnThePositionInRealNumbers)
{
    LogManager::getInstance().startUp();
    auto measures = [](const Box& box) {
        return std::vector<float>(
            {box.getHorizontal(), box.getVertical(), box.getCorner().getX(), box.getCorner().getY()});
    };
    // Width, height, then the corner: -width/2, -height/2 without rounding.
    for (const std::vector<float>& c : std::vector<std::vector<float>>{{4, 2, -2, -1}, {3, 5, -1.5f, -2.5f}})
    {
        Sprite sprite(1);
        sprite.setWidth(static_cast<int>(c[0]));
        sprite.setHeight(static_cast<int>(c[1]));
        Animation animation;
        animation.setSprite(&sprite);
        EXPECT_EQ(measures(animation.getBox()), c);
    }
    // Only the box without a sprite is logged.
    EXPECT_EQ(measures(Animation().getBox()), std::vector<float>({0.99f, 0.99f, -0.5f, -0.5f}));
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>{"No box found, returning box centered newat 0,0"});
    LogManager::getInstance().shutDown();
}
