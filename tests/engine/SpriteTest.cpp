// Sprites: their frame capacity, lookups out of range, and drawing frames numbered from 1.
#include "Sprite.h"
#include "LogManager.h"
#include "TestSupport.h"

using namespace ks;
using ks::test::logMessages;

class SpriteTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        LogManager::getInstance().startUp();
    }
};

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

TEST_F(SpriteTest, DrawsFramesOneToTheCountOnly)
{
    Sprite sprite(2);
    sprite.addFrame(Frame(2, 2, "abcd"));
    sprite.addFrame(Frame(1, 1, "e"));
    for (int bad : {0, 3, -1})
    {
        EXPECT_EQ(sprite.draw(bad, Vector(5, 5)), -1) << bad;
        EXPECT_EQ(logMessages().back(), "Failed to draw sprite") << bad;
    }
    for (int good : {1, 2})
        EXPECT_EQ(sprite.draw(good, Vector(5, 5)), 0) << good;
}
