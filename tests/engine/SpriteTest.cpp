// Frames, sprites and animations: capacity, lookups out of range, drawing counts, the frame
// sequence an animation plays for each slowdown, the box it is centred in and the box an
// object takes from it.
#include <algorithm>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "Animation.h"
#include "LogManager.h"
#include "Object.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "TestSupport.h"
#include "WorldManager.h"

using namespace ks;
using ks::test::logMessages;

namespace {

class SpriteTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        LogManager::getInstance().startUp();
    }
    void TearDown() override
    {
        LogManager::getInstance().shutDown();
    }
};

// Without a window every drawCh call logs one line, so the lines count the calls.
long drawChCalls()
{
    const std::vector<std::string> log = logMessages();
    return std::count(log.begin(), log.end(), "Can not drawChar because displaymanager window is not open");
}

} // namespace

TEST_F(SpriteTest, AddFrameStopsAtCapacityAndGetFrameCopiesOnlyStoredFrames)
{
    Sprite sprite(2);
    for (const char* text : {"ab", "cd"})
        EXPECT_EQ(sprite.addFrame(Frame(2, 1, text)), 0);
    EXPECT_EQ(sprite.addFrame(Frame(2, 1, "ef")), -1);
    EXPECT_EQ(sprite.getFrameCount(), 2);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"Failed to add frame, already at max frames"});
    for (int position : {-1, 2})
        EXPECT_EQ(sprite.getFrame(position).getString(), "") << position;
    // A negative capacity holds nothing instead of failing to allocate.
    Sprite broken(-4);
    EXPECT_EQ(broken.addFrame(Frame(1, 1, "x")), -1);
    EXPECT_EQ(broken.getFrameCount(), 0);
}

TEST_F(SpriteTest, DrawingPaintsEveryCharacterOfTheChosenFrameButNeverPastTheText)
{
    // Frame text, draw result, drawCh calls: spaces are painted, a short text stops at its end,
    // an empty one draws nothing and logs nothing.
    const std::vector<std::tuple<std::string, int, long>> cases = {{"a c d ", 0, 6}, {"abcd", 0, 4}, {"", -1, 0}};
    long before = 0;
    for (const auto& [text, result, calls] : cases)
    {
        EXPECT_EQ(Frame(3, 2, text).draw(Vector(10, 10), WHITE), result) << text;
        EXPECT_EQ(drawChCalls() - before, calls) << text;
        before = drawChCalls();
    }
    // Sprites number their frames from 1 to the count.
    Sprite sprite(2);
    sprite.addFrame(Frame(2, 2, "abcd"));
    sprite.addFrame(Frame(1, 1, "e"));
    for (int bad : {0, 3, -1})
    {
        EXPECT_EQ(sprite.draw(bad, Vector(5, 5)), -1) << bad;
        EXPECT_EQ(logMessages().back(), "Failed to draw sprite") << bad;
    }
    EXPECT_EQ(sprite.draw(1, Vector(5, 5)), 0);
    EXPECT_EQ(drawChCalls(), before + 4);
}

TEST_F(SpriteTest, AnimationPlaysFramesAtTheSpritesSlowdown)
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

TEST_F(SpriteTest, BoxIsCentredOnThePositionInRealNumbers)
{
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
    EXPECT_EQ(logMessages(), std::vector<std::string>{"No box found, returning box centered newat 0,0"});
}

// An object's box is its animation's; a label nobody loaded changes nothing about the object.
TEST_F(SpriteTest, ObjectTakesTheSpritesBoxAndKeepsItForAnUnknownLabel)
{
    ks::test::writeFile("wide.txt", "1\n4\n2\n0\nred\n####.\n####.\n");
    ResourceManager& resources = ResourceManager::getInstance();
    WorldManager& world = WorldManager::getInstance();
    ASSERT_EQ(resources.startUp(), 0);
    ASSERT_EQ(world.startUp(), 0);
    ASSERT_EQ(resources.loadSprite("wide.txt", "wide"), 0);

    Object* object = new Object; // the world owns it
    EXPECT_EQ(object->setSprite("nothing"), -1);
    EXPECT_EQ(object->getAnimation().getSprite(), nullptr);
    EXPECT_EQ(object->getBox().getHorizontal(), 0);

    ASSERT_EQ(object->setSprite("wide"), 0);
    const Sprite* wide = resources.getSprite("wide");
    EXPECT_EQ(object->getAnimation().getSprite(), wide);
    EXPECT_EQ(object->getBox().getHorizontal(), 4);
    EXPECT_EQ(object->getBox().getCorner().getY(), -1);

    EXPECT_EQ(object->setSprite("wider"), -1);
    EXPECT_EQ(object->getAnimation().getSprite(), wide);
    EXPECT_EQ(object->getBox().getHorizontal(), 4);
    EXPECT_EQ(object->getBox().getVertical(), 2);
    world.shutDown();
    resources.shutDown();
}
