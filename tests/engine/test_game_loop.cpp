// The engine's start-up and shut-down order, the game loop's numbering, stop and pacing,
// and a scripted world run through the real loop. These open the window.
#include "DisplayManager.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Probe.h"
#include "ResourceManager.h"

#include <algorithm>
#include <chrono>
#include <tuple>

using namespace ks;
using namespace ks::test;
using Engine = WorldTest;

namespace {
GameManager& game = GameManager::getInstance();
} // namespace

TEST_F(Engine, ManagersStartInOrderAndResourcesOutliveShutDown)
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

TEST_F(Engine, StepsCountFromZeroTheLoopStopsAtTheTopAfterGameOverAndKeepsTheFrameTime)
{
    using Clock = std::chrono::steady_clock;
    const std::pair<int64_t, int> sleeps[] = {{0, 33},    {10900, 23}, {32999, 1}, {33000, 0},
                                              {33999, 0}, {34000, -1}, {40000, -7}};
    for (const auto& [workMicroseconds, sleepMs] : sleeps)
        EXPECT_EQ(game.sleepTimeFor(workMicroseconds), sleepMs) << workMicroseconds;

    // No iteration can be shorter than the frame or its work. A busy machine only makes
    // iterations longer, so the upper bound is checked on the quickest one, and a run
    // that met none is measured again, up to three times.
    const std::tuple<double, double, double> cases[] = {{0, 32.5, 40}, {10.9, 32.5, 41}, {40, 39.5, 46}};
    installFont();
    for (const auto& [workMs, low, high] : cases)
    {
        double quickest = 1e9;
        for (int attempt = 0; attempt < 3 && !(quickest <= high); attempt++)
        {
            journal.clear();
            ASSERT_EQ(game.startUp(), 0);
            std::vector<Clock::time_point> steps;
            Probe* p = new Probe(journal, "P", Vector(0, 10));
            p->setVelocity(Vector(1, 0));
            p->onEvent = [&, workMs = workMs](const Event* e) {
                if (stepOf(e) < 0)
                    return;
                steps.push_back(Clock::now());
                while (Clock::now() < steps.back() + std::chrono::duration<double, std::milli>(workMs))
                {}
                if (stepOf(e) == 9)
                    game.setGameOver();
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
                EXPECT_GE(ms, low) << workMs << " ms of work";
                quickest = std::min(quickest, ms);
            }
        }
        EXPECT_LE(quickest, high) << workMs << " ms of work";
    }
}

TEST_F(Engine, ScriptedWorldRunsCleanThroughTheRealLoop)
{
    // A gun fires a bullet to the right every third step, alternately at a target and past
    // it into the edge of the grid; a bullet deletes itself on either. The gun ends the game.
    installFont();
    ASSERT_EQ(game.startUp(), 0);
    const int lastStep = 240;
    int fired = 0, hits = 0, outs = 0, destroyed = 0;
    (new Probe(journal, "target", Vector(40, 5), PASSABLE))->setBox(Box(Vector(0, -1), 1, 2));
    (new Probe(journal, "gun"))->onEvent = [&](const Event* e) {
        const int step = stepOf(e);
        if (step < 0)
            return;
        game.setGameOver(step == lastStep);
        if (step % 3 != 0)
            return;
        Probe* bullet = new Probe(journal, "bullet", Vector(1, step % 2 == 0 ? 5 : 8), PASSABLE);
        bullet->setVelocity(Vector(2, 0));
        fired++;
        bullet->onEvent = [&, bullet](const Event* ev) {
            if (ev->getType() != COLLISION_EVENT && ev->getType() != OUT_EVENT)
                return;
            (ev->getType() == OUT_EVENT ? outs : hits)++;
            world.markForDelete(bullet);
            world.markForDelete(bullet);
        };
        bullet->onDestroy = [&] {
            destroyed++;
        };
    };
    game.run();
    // Every bullet that ended was freed once; the rest are still flying.
    EXPECT_EQ(destroyed, hits + outs);
    EXPECT_EQ(hits + outs + world.getAllObjects().getCount() - 2, fired);
    game.shutDown();
    EXPECT_EQ(fired, lastStep / 3 + 1);
    EXPECT_EQ(destroyed, fired);
    EXPECT_GT(hits, 20);
    EXPECT_GT(outs, 20);
    EXPECT_TRUE(logMessages().empty());
}
