// The engine's start-up and shut-down order, and the game loop's numbering, stop and pacing.
// These open the window.
#include "GameManager.h"
#include "DisplayManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Probe.h"
#include "ResourceManager.h"

#include <algorithm>
#include <chrono>

using namespace ks;
using namespace ks::test;
using GameManagerTest = WorldTest;

namespace {
GameManager& game = GameManager::getInstance();
} // namespace

TEST_F(GameManagerTest, ManagersStartInOrderAndResourcesOutliveShutDown)
{
    // No font here: the display's complaint reaches the file only if the log opened first.
    ASSERT_EQ(game.startUp(), 0);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"failed to open font file"});
    // The input manager starts only after the display has a window.
    EXPECT_TRUE(InputManager::getInstance().isStarted());

    // Deleted by the world's shut-down: by then the log is closed, the window still open.
    std::string seen;
    (new Probe(journal, "last"))->onDestroy = [&] {
        seen = std::to_string(LogManager::getInstance().writeLog("too late")) + " " +
               std::to_string(DisplayManager::getInstance().getWindow() != nullptr);
    };
    game.shutDown();
    EXPECT_EQ(seen, "-1 1");
    for (Manager* m : std::initializer_list<Manager*>{&game, &LogManager::getInstance(), &world,
                                                      &DisplayManager::getInstance(), &InputManager::getInstance()})
        EXPECT_FALSE(m->isStarted()) << m->getType();
    EXPECT_TRUE(ResourceManager::getInstance().isStarted());
}

TEST_F(GameManagerTest, StepsCountFromZeroTheLoopStopsAtTheTopAfterGameOverAndKeepsTheFrameTime)
{
    using Clock = std::chrono::steady_clock;
    const std::pair<int64_t, int> sleeps[] = {{0, 33},    {10900, 23}, {32999, 1}, {33000, 0},
                                              {33999, 0}, {34000, -1}, {40000, -7}};
    for (const auto& [workMicroseconds, sleepMs] : sleeps)
        EXPECT_EQ(game.sleepTimeFor(workMicroseconds), sleepMs) << workMicroseconds;

    // With 10.9 ms of work no step comes sooner than a frame after the last; a busy machine only
    // makes steps later, so the upper bound holds for the quickest of up to three runs.
    installFont();
    double quickest = 1e9;
    for (int attempt = 0; attempt < 3 && quickest > 41; attempt++)
    {
        journal.clear();
        ASSERT_EQ(game.startUp(), 0);
        std::vector<Clock::time_point> steps;
        Probe* p = new Probe(journal, "P", Vector(0, 10));
        p->setVelocity(Vector(1, 0));
        p->onEvent = [&](const Event* e) {
            if (stepOf(e) < 0)
                return;
            steps.push_back(Clock::now());
            while (Clock::now() < steps.back() + std::chrono::microseconds(10900))
            {}
            game.setGameOver(stepOf(e) == 9);
        };
        game.run();
        game.shutDown();
        Journal expected;
        for (int i = 0; i < 10; i++)
            expected.insert(expected.end(),
                            {"step P " + std::to_string(i), "place P @" + std::to_string(i + 1) + ",10", "draw P"});
        expected.push_back("~P");
        ASSERT_EQ(journal, expected);
        for (size_t i = 1; i < steps.size(); i++)
        {
            const double ms = std::chrono::duration<double, std::milli>(steps[i] - steps[i - 1]).count();
            EXPECT_GE(ms, 32.5);
            quickest = std::min(quickest, ms);
        }
    }
    EXPECT_LE(quickest, 41);
}
