// Sprite files: what loads, what the stored frames hold, the exact log line of every
// refusal, the array limit and unloading.
#include <string>
#include <vector>

#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"

using namespace ks;
using ks::test::logMessages;
using ks::test::writeFile;

namespace {

class SpriteFileTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        LogManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
    }
    void TearDown() override
    {
        ResourceManager::getInstance().shutDown();
        LogManager::getInstance().shutDown();
    }
};

struct Loaded
{
    int width, height, slowdown;
    Color color;
    std::vector<std::string> frames;
};

struct Case
{
    const char* label;
    std::string bytes;
    int result;
    std::vector<std::string> log;
    Loaded sprite; // checked when the load succeeds
};

const std::string READ_PAST_END = "Failed reading from sprite file, tried to acces line that does not exist. "
                                  "height is likely set to high, or framcount is likely set to high";

} // namespace

TEST_F(SpriteFileTest, LoadsWhatTheFileHoldsAndRefusesBrokenFilesWithTheirLogLine)
{
    const std::vector<Case> cases = {
        {"crlf", "2\r\n3\r\n1\r\n4\r\ngreen\r\nabc\r\ndef\r\n", 0, {}, {3, 1, 4, GREEN, {"abc", "def"}}},
        {"lf",
         "2\n3\n1\n4\ngreen\nabc\ndef\n",
         -1,
         {"Error in loading in sprite on line 1 frame 1 it had length 3 expeted 3 sprite lf not loaded. error line: abc"},
         {}},
        {"capital", "1\n2\n1\n0\nRed\nab.\n", 0, {"Uknown color in sprite capital loaded, color is Red"},
         {2, 1, 0, UNDEFINED_COLOR, {"ab"}}},
        {"prefix", "1\n2\n2\n3\nyellowish\nab.\n c.", 0, {}, {2, 2, 3, YELLOW, {"ab c"}}}, // no final line feed
        {"fewrows", "2\n2\n2\n1\nred\nab.\ncd.\nef.\n", -1, {READ_PAST_END}, {}},
        {"morerows", "1\n2\n2\n1\nblue\nab.\ncd.\nnot a row at all\n", 0, {}, {2, 2, 1, BLUE, {"abcd"}}},
        {"noframes", "0\n5\n5\n1\nwhite\n", 0, {}, {5, 5, 1, WHITE, {}}},
        {"negative", "-3\n2\n1\n1\nred\nab.\n", -1, {"Sprite negative not loaded: negative frame count -3"}, {}},
        {"shortrow",
         "2\n2\n2\n1\ncyan\nab.\ncd.\nef.\ngh\n",
         -1,
         {"Error in loading in sprite on line 2 frame 2 it had length 2 expeted 2 sprite shortrow not loaded. error "
          "line: gh"},
         {}},
        // width + 1 must not overflow into a length some row could have.
        {"widest",
         "1\n2147483647\n1\n0\nmagenta\nabc\n",
         -1,
         {"Error in loading in sprite on line 1 frame 1 it had length 3 expeted 2147483647 sprite widest not loaded. "
          "error line: abc"},
         {}},
        // A header that promises a billion frames is refused when the rows run out, not after
        // making room for them.
        {"billion", "1000000000\n1\n1\n0\nred\na.\nb.\nc.\n", -1, {READ_PAST_END}, {}},
        {"rowless", "3\n2\n0\n1\ncustom\n", 0, {}, {2, 0, 1, CUSTOM, {"", "", ""}}},
        {"rowless-billion",
         "1000000000\n2\n0\n1\nblack\n",
         -1,
         {"Sprite rowless-billion not loaded: 1000000000 frames of height 0, at most 10000 frames without rows"},
         {}},
        {"noheader", "", -1, {"Failed reading from sprite file frames noheader"}, {}},
        {"nowidth", "1\n", -1, {"Failed reading from sprite file width nowidth"}, {}},
        {"noheight", "1\n2\n", -1, {"Failed reading from sprite file height noheight"}, {}},
        {"noslowdown", "1\n2\n3\n", -1, {"Failed reading from sprite file slowdown noslowdown"}, {}},
        {"nocolor", "1\n2\n3\n4\n", -1, {"Failed reading from sprite file color nocolor"}, {}},
    };

    ResourceManager& resources = ResourceManager::getInstance();
    size_t logged = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        writeFile("sprite.txt", c.bytes);
        EXPECT_EQ(resources.loadSprite("sprite.txt", c.label), c.result);

        const std::vector<std::string> all = logMessages();
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(logged), all.end()), c.log);
        logged = all.size();

        Sprite* sprite = resources.getSprite(c.label);
        if (c.result != 0) {
            EXPECT_EQ(sprite, nullptr);
            logged++; // the failed lookup's own line
            continue;
        }
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getLabel(), c.label);
        EXPECT_EQ(sprite->getWidth(), c.sprite.width);
        EXPECT_EQ(sprite->getHeight(), c.sprite.height);
        EXPECT_EQ(sprite->getSlowdown(), c.sprite.slowdown);
        EXPECT_EQ(sprite->getColor(), c.sprite.color);
        ASSERT_EQ(sprite->getFrameCount(), static_cast<int>(c.sprite.frames.size()));
        for (int f = 0; f < sprite->getFrameCount(); f++) {
            const Frame frame = sprite->getFrame(f);
            EXPECT_EQ(frame.getString(), c.sprite.frames[static_cast<size_t>(f)]) << "frame " << f;
            EXPECT_EQ(frame.getWidth(), c.sprite.width);
            EXPECT_EQ(frame.getHeight(), c.sprite.height);
        }
        // The frame array holds exactly the file's frames.
        EXPECT_EQ(sprite->addFrame(Frame(1, 1, "x")), -1);
        logged++;
    }
}

TEST_F(SpriteFileTest, MissingFileIsLoggedWithTheLabel)
{
    EXPECT_EQ(ResourceManager::getInstance().loadSprite("no-such-file.txt", "ghost"), -1);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"error opening sprite file for ghost"});
}

TEST_F(SpriteFileTest, FiveHundredSpritesFitAndTheNextIsRefusedSilently)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeFile("one.txt", "1\n1\n1\n0\nred\n#.\n");
    for (int i = 0; i < MAX_SPRITES; i++)
        ASSERT_EQ(resources.loadSprite("one.txt", "s" + std::to_string(i)), 0) << i;
    EXPECT_EQ(resources.loadSprite("one.txt", "extra"), -1);
    EXPECT_TRUE(logMessages().empty());

    // Unloading makes room again.
    EXPECT_EQ(resources.unloadSprite("s123"), 0);
    EXPECT_EQ(resources.loadSprite("one.txt", "extra"), 0);
    EXPECT_NE(resources.getSprite("s499"), nullptr);
}

TEST_F(SpriteFileTest, UnloadingRemovesOneSpriteAndKeepsTheOrderOfTheRest)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeFile("red.txt", "1\n1\n1\n0\nred\n#.\n");
    writeFile("blue.txt", "1\n1\n1\n0\nblue\n#.\n");
    ASSERT_EQ(resources.loadSprite("red.txt", "first"), 0);
    ASSERT_EQ(resources.loadSprite("red.txt", "twin"), 0);
    ASSERT_EQ(resources.loadSprite("blue.txt", "twin"), 0);
    ASSERT_EQ(resources.loadSprite("blue.txt", "last"), 0);

    // Lookups find the first of two equal labels: the red twin must still come first.
    EXPECT_EQ(resources.unloadSprite("first"), 0);
    EXPECT_EQ(resources.getSprite("first"), nullptr);
    ASSERT_NE(resources.getSprite("twin"), nullptr);
    EXPECT_EQ(resources.getSprite("twin")->getColor(), RED);
    EXPECT_EQ(resources.unloadSprite("twin"), 0);
    ASSERT_NE(resources.getSprite("twin"), nullptr);
    EXPECT_EQ(resources.getSprite("twin")->getColor(), BLUE);
    EXPECT_NE(resources.getSprite("last"), nullptr);

    EXPECT_EQ(resources.unloadSprite("never"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"Failed to find sprite first", "Sprite not found"}));

    // Shutting down forgets every sprite.
    resources.shutDown();
    EXPECT_EQ(resources.getSprite("last"), nullptr);
}
