// Bad input that needs a window: a font file that is missing, not a font, or cut short; and
// the whole engine started where the log file cannot be made. The display reports the font
// and keeps drawing, and the game loop runs its steps and ends as asked.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DisplayManager.h"
#include "EventStep.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Object.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WorldManager.h"

using namespace ks;
using ks::test::logMessages;
using ks::test::writeFile;

namespace {

std::string realFontBytes()
{
    std::ifstream in(KS_TEST_FONT, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BadFont : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(LogManager::getInstance().startUp(), 0);
    }
    void TearDown() override
    {
        InputManager::getInstance().shutDown();
        DisplayManager::getInstance().shutDown();
        LogManager::getInstance().shutDown();
    }

    // Without a usable font the display still has its window, is started, lets the input
    // manager start, and draws and shows frames without failing.
    static void expectDisplayGoesOn()
    {
        DisplayManager& display = DisplayManager::getInstance();
        EXPECT_EQ(logMessages(), std::vector<std::string>{"failed to open font file"});
        EXPECT_TRUE(display.isStarted());
        ASSERT_NE(display.getWindow(), nullptr);
        EXPECT_TRUE(display.getWindow()->isOpen());
        EXPECT_EQ(InputManager::getInstance().startUp(), 0);
        for (int frame = 0; frame < 3; frame++)
        {
            EXPECT_EQ(display.drawCh(Vector(3, 4), '@', RED), 0);
            EXPECT_EQ(display.drawString(Vector(40, 12), "no font", CENTER_JUSTIFIED, GREEN), 0);
            InputManager::getInstance().getInput();
            EXPECT_EQ(display.swapBuffers(), 0);
        }
        EXPECT_EQ(logMessages().size(), 1u);
    }
};

} // namespace

TEST_F(BadFont, FontMissing)
{
    EXPECT_EQ(DisplayManager::getInstance().startUp(), -1);
    expectDisplayGoesOn();
}

TEST_F(BadFont, FontNotAFont)
{
    writeFile(FONT_FILE_DEFAULT, "this is a text file, not a font\n");
    EXPECT_EQ(DisplayManager::getInstance().startUp(), -1);
    expectDisplayGoesOn();
}

// The first half of the real font: a valid start whose tables point past the end.
TEST_F(BadFont, FontTruncated)
{
    const std::string font = realFontBytes();
    ASSERT_GT(font.size(), 10000u);
    writeFile(FONT_FILE_DEFAULT, font.substr(0, font.size() / 2));
    EXPECT_EQ(DisplayManager::getInstance().startUp(), -1);
    expectDisplayGoesOn();
}

namespace {

// Ends the game after a few steps, counting the ones it saw.
class StopAfter : public Object
{
public:
    explicit StopAfter(int steps, int& seen) : last(steps), count(seen)
    {
        setType("stopper");
    }
    int eventHandler(const Event* event) override
    {
        if (event->getType() == STEP_EVENT)
        {
            count++;
            if (static_cast<const EventStep*>(event)->getStepCount() >= last)
                GameManager::getInstance().setGameOver(true);
        }
        return 0;
    }

private:
    int last;
    int& count;
};

} // namespace

// The whole engine started in a directory with no data and no way to make the log file:
// every failure is swallowed, nothing is written, and the loop runs until told to stop.
TEST(BadStart, GameRunsWithoutLogFileFontOrData)
{
    ks::test::TempDir dir;
    std::filesystem::create_directory(LOGFILE_NAME);
    GameManager& game = GameManager::getInstance();
    ASSERT_EQ(game.startUp(), 0);
    ResourceManager& rm = ResourceManager::getInstance();
    EXPECT_EQ(rm.loadSprite("zombie-spr.txt", "zombie"), -1);
    EXPECT_EQ(rm.loadSound("gun-shot.wav", "fire"), -1);
    EXPECT_EQ(rm.loadMusic("background-music.wav", "music"), -1);
    int seen = 0;
    Object* stopper = new StopAfter(5, seen);
    EXPECT_EQ(stopper->setSprite("zombie"), -1);
    EXPECT_EQ(LogManager::getInstance().writeLog("Game start"), -1);
    game.run();
    EXPECT_EQ(seen, 6);
    game.shutDown();
    EXPECT_TRUE(std::filesystem::is_empty(LOGFILE_NAME));
}
