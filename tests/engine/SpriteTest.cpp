// Frames, sprites and animations: capacity, lookups out of range, drawing counts and the
// frame sequence an animation plays for each slowdown.
#include <climits>
#include <string>
#include <vector>

#include "Animation.h"
#include "LogManager.h"
#include "Sprite.h"
#include "TestSupport.h"

using namespace ks;
using ks::test::logMessages;

namespace {

const std::string NO_WINDOW = "Can not drawChar because displaymanager window is not open";

class SpriteTest : public ks::test::InTempDir
{
protected:
    void SetUp() override { LogManager::getInstance().startUp(); }
    void TearDown() override { LogManager::getInstance().shutDown(); }

    // Without a window every drawCh call leaves one line: the count of calls made.
    static int drawChCalls()
    {
        int calls = 0;
        for (const std::string& message : logMessages())
            calls += message == NO_WINDOW ? 1 : 0;
        return calls;
    }
};

} // namespace

TEST_F(SpriteTest, AddFrameStopsAtCapacityAndGetFrameCopiesOnlyStoredFrames)
{
    Sprite sprite(2);
    EXPECT_EQ(sprite.addFrame(Frame(2, 1, "ab")), 0);
    EXPECT_EQ(sprite.addFrame(Frame(2, 1, "cd")), 0);
    EXPECT_EQ(sprite.addFrame(Frame(2, 1, "ef")), -1);
    EXPECT_EQ(sprite.getFrameCount(), 2);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"Failed to add frame, already at max frames"});

    EXPECT_EQ(sprite.getFrame(0).getString(), "ab");
    EXPECT_EQ(sprite.getFrame(1).getString(), "cd");
    for (int position : {-1, 2, 3}) {
        const Frame none = sprite.getFrame(position);
        EXPECT_EQ(none.getWidth(), 0) << position;
        EXPECT_EQ(none.getHeight(), 0) << position;
        EXPECT_EQ(none.getString(), "") << position;
    }

    // A negative capacity holds nothing instead of failing to allocate.
    Sprite broken(-4);
    EXPECT_EQ(broken.addFrame(Frame(1, 1, "x")), -1);
    EXPECT_EQ(broken.getFrameCount(), 0);
}

TEST_F(SpriteTest, DrawingPaintsEveryCharacterButNeverPastTheText)
{
    struct Case
    {
        Frame frame;
        int result;
        int calls;
    };
    const std::vector<Case> cases = {
        {Frame(3, 2, "a c d "), 0, 6}, // spaces are painted too
        {Frame(3, 2, "abcd"), 0, 4},   // short text: stop at its end
        {Frame(3, 2, ""), -1, 0},      // empty: nothing, no log line
        {Frame(1, 1, "x"), 0, 1},
    };
    int before = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.frame.draw(Vector(10, 10), WHITE), c.result) << c.frame.getString();
        EXPECT_EQ(drawChCalls() - before, c.calls) << c.frame.getString();
        before = drawChCalls();
    }
}

TEST_F(SpriteTest, SpriteDrawAcceptsFrameNumbersFromOneToCount)
{
    Sprite sprite(2);
    sprite.addFrame(Frame(2, 2, "abcd"));
    sprite.addFrame(Frame(2, 2, "efgh"));
    for (int bad : {0, 3, -1}) {
        EXPECT_EQ(sprite.draw(bad, Vector(5, 5)), -1) << bad;
        EXPECT_EQ(logMessages().back(), "Failed to draw sprite") << bad;
    }
    EXPECT_EQ(drawChCalls(), 0);
    EXPECT_EQ(sprite.draw(2, Vector(5, 5)), 0);
    EXPECT_EQ(drawChCalls(), 4);
}

TEST_F(SpriteTest, AnimationPlaysFramesAtTheSpritesSlowdown)
{
    struct Case
    {
        int slowdown;
        std::vector<int> frames; // frame drawn by each consecutive draw
    };
    const std::vector<Case> cases = {
        {2, {1, 2, 2, 3, 3, 1, 1, 2}},
        {1, {1, 2, 3, 1, 2}},
        {0, {1, 2, 3, 1, 2}},
        {-1, {1, 1, 1, 1, 1}},
        {INT_MAX, {1, 2, 2, 2}}, // the count must not overflow at the int limit
    };
    for (const Case& c : cases) {
        Sprite sprite(3);
        for (const char* text : {"a", "b", "c"})
            sprite.addFrame(Frame(1, 1, text));
        sprite.setSlowdown(c.slowdown);

        // What an object does when it is given the sprite.
        Animation animation;
        animation.setSprite(&sprite);
        animation.setSlowdownCount(sprite.getSlowdown());

        std::vector<int> drawn;
        for (size_t i = 0; i < c.frames.size(); i++) {
            drawn.push_back(animation.getIndex());
            EXPECT_EQ(animation.draw(Vector(1, 1)), 0);
        }
        EXPECT_EQ(drawn, c.frames) << "slowdown " << c.slowdown;
    }

    Animation empty;
    EXPECT_EQ(empty.draw(Vector(0, 0)), -1);
    EXPECT_EQ(empty.getIndex(), 1);
}

TEST_F(SpriteTest, BoxIsCentredOnThePositionInRealNumbers)
{
    struct Case
    {
        int width, height;
        float x, y;
    };
    for (const Case& c : std::vector<Case>{{4, 2, -2.0f, -1.0f}, {3, 3, -1.5f, -1.5f}, {1, 5, -0.5f, -2.5f}}) {
        Sprite sprite(1);
        sprite.setWidth(c.width);
        sprite.setHeight(c.height);
        Animation animation;
        animation.setSprite(&sprite);
        const Box box = animation.getBox();
        EXPECT_FLOAT_EQ(box.getCorner().getX(), c.x);
        EXPECT_FLOAT_EQ(box.getCorner().getY(), c.y);
        EXPECT_FLOAT_EQ(box.getHorizontal(), static_cast<float>(c.width));
        EXPECT_FLOAT_EQ(box.getVertical(), static_cast<float>(c.height));
    }
    EXPECT_TRUE(logMessages().empty());

    const Box none = Animation().getBox();
    EXPECT_FLOAT_EQ(none.getCorner().getX(), -0.5f);
    EXPECT_FLOAT_EQ(none.getCorner().getY(), -0.5f);
    EXPECT_FLOAT_EQ(none.getHorizontal(), 0.99f);
    EXPECT_FLOAT_EQ(none.getVertical(), 0.99f);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"No box found, returning box centered newat 0,0"});
}
