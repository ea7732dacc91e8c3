// The engine's keys in a running game, pressed on its window with xdotool: they act only in a
// game that turned them on. There F12 saves the frame, F3 shows the frame overlay and hides it
// again leaving the frame exactly as it was, and F9 saves a clip while the loop keeps its pace;
// in a game that did not, the same keys reach the objects and change nothing else.
#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "GameManager.h"
#include "LogManager.h"
#include "Probe.h"
#include "ResourceManager.h"
#include "SfmlCompat.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace ks;
using namespace ks::test;
using CaptureKeysTest = WorldTest;

namespace {

using Clock = std::chrono::steady_clock;

int linesStarting(const std::string& start)
{
    const std::vector<std::string> log = logMessages();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
        return line.rfind(start, 0) == 0;
    }));
}

std::vector<std::string> filesWith(const std::string& extension)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().extension() == extension)
            files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST_F(CaptureKeysTest, KeysActOnlyInAGameThatTurnedThemOn)
{
    GameManager& game = GameManager::getInstance();
    installFont();
    writeFile("s.txt", "1\r\n3\r\n1\r\n0\r\ncyan\r\n<#>\r\n");
    // Each batch of keys; the key presses the objects have seen once it has arrived, and the
    // files saved by then in a game with the keys on.
    struct Batch
    {
        const char* keys;
        int presses;
        int saved;
    };
    const Batch batches[] = {{"F12", 1, 1}, {"F3 F12", 3, 2}, {"F3 F12 F9", 6, 4}};
    for (const bool on : {false, true})
    {
        SCOPED_TRACE(on ? "turned on" : "left off");
        fresh();
        ASSERT_EQ(game.startUp(), 0);
        ResourceManager::getInstance().loadSprite("s.txt", "s");
        game.setCaptureKeys(on);
        game.setOverlayKey(on);
        DisplayManager& display = DisplayManager::getInstance();
        const std::string window = std::to_string(compat::nativeHandle(*display.getWindow()));
        std::vector<sf::Image> frames; // without capture, the test reads the frames itself
        if (!on)
            display.setFrameListener([&](const sf::RenderWindow& w) {
                frames.push_back(compat::captureWindow(w));
            });

        Probe* p = new Probe(journal, "P", Vector(40, 12));
        p->setSprite("s");
        int presses = 0, batch = 0, waited = 0;
        bool clipping = false;
        double driving = 0; // milliseconds xdotool took in the step before
        Clock::time_point last;
        double worstWhileClipping = 0;
        p->onEvent = [&](const Event* e) {
            if (e->getType() == KEYBOARD_EVENT)
                presses += static_cast<const EventKeyboard*>(e)->getKeyboardAction() == KEY_PRESSED;
            if (stepOf(e) < 0)
                return;
            const Clock::time_point now = Clock::now();
            if (clipping)
                worstWhileClipping = std::max(worstWhileClipping,
                                              std::chrono::duration<double, std::milli>(now - last).count() - driving);
            last = now;
            driving = 0;
            clipping = clipping && linesStarting("Clip saved") == 0;
            const int saved = linesStarting("Screenshot saved") + linesStarting("Clip saved");
            const bool arrived =
                batch == 0 || (presses == batches[batch - 1].presses && (!on || saved == batches[batch - 1].saved));
            if (++waited > 300 || (arrived && batch == static_cast<int>(std::size(batches))))
            {
                game.setGameOver(true);
                return;
            }
            // F9 comes after a hundred steps: a clip of 34 frames, whose writing on the loop's
            // own thread would make a step late by far more than the bound below.
            if (!arrived || stepOf(e) < (batch == 2 ? 100 : 3))
                return;
            const std::string keys = batches[batch++].keys;
            const Clock::time_point driveStart = Clock::now();
            ASSERT_EQ(std::system(("timeout 10 xdotool windowraise " + window + " windowfocus --sync " + window +
                                   " key " + keys + " >/dev/null 2>&1")
                                      .c_str()),
                      0);
            driving = std::chrono::duration<double, std::milli>(Clock::now() - driveStart).count();
            clipping = on && keys.find("F9") != std::string::npos;
            waited = 0;
        };
        game.run();
        game.shutDown();
        EXPECT_EQ(presses, 6);

        const std::vector<std::string> shots = filesWith(".png"), clips = filesWith(".gif");
        if (!on)
        {
            EXPECT_TRUE(shots.empty() && clips.empty());
            EXPECT_EQ(linesStarting("Screenshot") + linesStarting("Clip"), 0);
            ASSERT_GE(frames.size(), 2u);
            EXPECT_EQ(compareImages(frames.front(), frames.back()).count, 0);
            continue;
        }
        ASSERT_EQ(shots.size(), 3u);
        ASSERT_EQ(clips.size(), 1u);
        // In the order they were taken, as the log names them.
        std::vector<std::string> taken;
        for (const std::string& line : logMessages())
            if (line.rfind("Screenshot saved: ", 0) == 0)
                taken.push_back(line.substr(18));
        ASSERT_EQ(taken.size(), 3u);
        sf::Image shot[3];
        for (int i = 0; i < 3; i++)
            ASSERT_TRUE(shot[i].loadFromFile(taken[static_cast<std::size_t>(i)]));
        // Shown: the overlay's row and nothing else changes. Hidden again: the frame as it was.
        const ImageDifference overlaid = compareImages(shot[0], shot[1]);
        EXPECT_GT(overlaid.count, 100);
        for (unsigned y = 0; y < 23 * 32; y++)
            for (unsigned x = 0; x < 1024; x++)
                ASSERT_EQ(compat::getPixel(shot[0], x, y), compat::getPixel(shot[1], x, y)) << x << "," << y;
        EXPECT_EQ(compareImages(shot[0], shot[2]).count, 0);
        EXPECT_EQ(linesStarting("Clip saved: " + clips[0] + " ("), 1);
        // Writing the clip must not stall the loop: on a busy machine a step may come up to a
        // frame late, never more (written on the loop's thread, 34 frames take over 100 ms).
        std::printf("worst step gap while the clip was written: %.1f ms\n", worstWhileClipping);
        EXPECT_LT(worstWhileClipping, 2.0 * FRAME_TIME_DEFAULT);
        game.setCaptureKeys(false);
        game.setOverlayKey(false);
    }
}
