// The engine's start-up and shut-down order, the game loop's numbering, stop and pacing,
// and a scripted world run through the real loop. These open the window.
#include "DisplayManager.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Probe.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WorldManager.h"

#include <algorithm>
#include <chrono>
#include <map>

using namespace ks;
using ks::test::Journal;
using ks::test::only;
using ks::test::Probe;

namespace {

class Engine : public ks::test::InTempDir
{
};

using SteadyClock = std::chrono::steady_clock;

void busyWait(double milliseconds)
{
    const auto until = SteadyClock::now() + std::chrono::duration<double, std::milli>(milliseconds);
    while (SteadyClock::now() < until) {
    }
}

} // namespace

TEST(GameManagerPacing, WorkIsTruncatedToWholeMillisecondsBeforeTheSleep)
{
    struct Case {
        int64_t workMicroseconds;
        int sleepMs;
    };
    const Case cases[] = {
        {0, 33}, {999, 33}, {10900, 23}, {32999, 1}, {33000, 0}, {33999, 0}, {34000, -1}, {40000, -7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GameManager::getInstance().sleepTimeFor(c.workMicroseconds), c.sleepMs) << c.workMicroseconds;
}

TEST_F(Engine, ManagersStartInOrderAndResourcesOutliveShutDown)
{
    // No font here: the display's complaint reaches the file only if the log opened first.
    GameManager& game = GameManager::getInstance();
    Journal journal;
    Probe* early = new Probe(journal, "before start-up");

    ASSERT_EQ(game.startUp(), 0);
    EXPECT_TRUE(game.isStarted());
    EXPECT_FALSE(game.getGameOver());
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>{"failed to open font file"});
    EXPECT_TRUE(DisplayManager::getInstance().isStarted());
    EXPECT_NE(DisplayManager::getInstance().getWindow(), nullptr);
    // The input manager refuses to start unless the display started before it.
    EXPECT_TRUE(InputManager::getInstance().isStarted());
    EXPECT_TRUE(WorldManager::getInstance().isStarted());
    EXPECT_TRUE(ResourceManager::getInstance().isStarted());
    // The world's start-up forgot the object made before it.
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 0);

    // An object deleted by the world's shut-down: by then the log is closed and the window
    // is still there.
    bool windowDuringWorldShutDown = false;
    int logResult = 0;
    Probe* last = new Probe(journal, "last");
    last->onDestroy = [&] {
        windowDuringWorldShutDown = DisplayManager::getInstance().getWindow() != nullptr;
        logResult = LogManager::getInstance().writeLog("too late for the log");
    };

    game.shutDown();
    EXPECT_EQ(journal, Journal{"~last"});
    EXPECT_TRUE(windowDuringWorldShutDown);
    EXPECT_EQ(logResult, -1);
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>{"failed to open font file"});
    EXPECT_TRUE(game.getGameOver());
    EXPECT_FALSE(game.isStarted());
    EXPECT_FALSE(LogManager::getInstance().isStarted());
    EXPECT_FALSE(WorldManager::getInstance().isStarted());
    EXPECT_FALSE(DisplayManager::getInstance().isStarted());
    EXPECT_EQ(DisplayManager::getInstance().getWindow(), nullptr);
    EXPECT_FALSE(InputManager::getInstance().isStarted());
    EXPECT_TRUE(ResourceManager::getInstance().isStarted());
    delete early;
}

TEST_F(Engine, StepsCountFromZeroAndTheLoopStopsAtTheTopAfterGameOver)
{
    for (int stopAt : {0, 4}) {
        SCOPED_TRACE(stopAt);
        ks::test::installFont();
        GameManager& game = GameManager::getInstance();
        ASSERT_EQ(game.startUp(), 0);
        Journal journal;
        Probe* p = new Probe(journal, "P", Vector(10, 10));
        p->setVelocity(Vector(1, 0));
        p->onEvent = [&](const Event* e) {
            if (e->getType() == STEP_EVENT && static_cast<const EventStep*>(e)->getStepCount() == stopAt)
                game.setGameOver(true);
        };

        game.run();

        Journal steps;
        for (int i = 0; i <= stopAt; i++)
            steps.push_back("step P " + std::to_string(i));
        EXPECT_EQ(only(journal, "step"), steps);
        // The stopping iteration still moved and drew its objects.
        ASSERT_GE(journal.size(), 3u);
        EXPECT_EQ(journal[journal.size() - 3], "step P " + std::to_string(stopAt));
        EXPECT_EQ(journal[journal.size() - 2], "place P @" + std::to_string(11 + stopAt) + ",10");
        EXPECT_EQ(journal.back(), "draw P");
        game.shutDown();
    }
}

TEST_F(Engine, IterationsLastTheFrameTimeUnlessTheWorkIsLonger)
{
    struct Case {
        double workMs;
        double low;
        double high;
    };
    // No iteration can be shorter than the frame time or its work. A busy machine only
    // makes iterations longer, so the upper bound is checked on the quickest one.
    const Case cases[] = {{0, 32.5, 40}, {10.9, 32.5, 41}, {40, 39.5, 46}};
    ks::test::installFont();
    GameManager& game = GameManager::getInstance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workMs);
        ASSERT_EQ(game.startUp(), 0);
        std::vector<SteadyClock::time_point> stepTimes;
        Journal journal;
        Probe* worker = new Probe(journal, "worker");
        worker->onEvent = [&](const Event* e) {
            if (e->getType() != STEP_EVENT)
                return;
            stepTimes.push_back(SteadyClock::now());
            busyWait(c.workMs);
            if (stepTimes.size() == 13)
                game.setGameOver(true);
        };
        game.run();
        game.shutDown();

        std::vector<double> intervals;
        for (size_t i = 1; i < stepTimes.size(); i++)
            intervals.push_back(std::chrono::duration<double, std::milli>(stepTimes[i] - stepTimes[i - 1]).count());
        ASSERT_EQ(intervals.size(), 12u);
        const double quickest = *std::min_element(intervals.begin(), intervals.end());
        EXPECT_GE(quickest, c.low);
        EXPECT_LE(quickest, c.high);
    }
}

namespace {

// A small shooting range: a gun fires a bullet to the right every third step, alternately
// at a target and past it into the edge; bullets delete themselves on either; two blocking
// walkers shuttle between two posts and into each other. The gun ends the game.
struct Range {
    Journal journal;
    std::map<int, int> hits;      // bullet id -> collisions seen by the bullet
    std::map<int, int> outs;      // bullet id -> out events
    std::map<int, int> destroyed; // bullet id -> destructor runs
    std::vector<int> fired;       // bullet ids
    int lastStep = -1;
    int targetHits = 0;
    bool walkersOverlapped = false;
};

} // namespace

TEST_F(Engine, ScriptedWorldRunsCleanThroughTheRealLoop)
{
    ks::test::installFont();
    GameManager& game = GameManager::getInstance();
    WorldManager& world = WorldManager::getInstance();
    ASSERT_EQ(game.startUp(), 0);
    Range range;
    const int finalStep = 180;

    Probe* target = new Probe(range.journal, "target", Vector(40, 5), PASSABLE);
    target->setBox(Box(Vector(0, -1), 1, 2));
    target->onEvent = [&](const Event* e) {
        if (e->getType() == COLLISION_EVENT)
            range.targetHits++;
    };

    new Probe(range.journal, "post", Vector(5, 15), BLOCKING);
    new Probe(range.journal, "post", Vector(25, 15), BLOCKING);
    Probe* left = new Probe(range.journal, "left", Vector(10, 15), BLOCKING);
    Probe* right = new Probe(range.journal, "right", Vector(20, 15), BLOCKING);
    left->setVelocity(Vector(0.5f, 0));
    right->setVelocity(Vector(-0.5f, 0));
    for (Probe* walker : {left, right}) {
        walker->onEvent = [&, walker](const Event* e) {
            if (e->getType() == COLLISION_EVENT) {
                walker->setVelocity(Vector(-walker->getVelocity().getX(), 0));
            }
        };
    }

    Probe* gun = new Probe(range.journal, "gun", Vector(0, 0));
    gun->onEvent = [&](const Event* e) {
        if (e->getType() != STEP_EVENT)
            return;
        const int step = static_cast<const EventStep*>(e)->getStepCount();
        EXPECT_EQ(step, range.lastStep + 1);
        range.lastStep = step;
        if (left->getPosition().getX() == right->getPosition().getX())
            range.walkersOverlapped = true;
        if (step == finalStep) {
            game.setGameOver(true);
            return;
        }
        if (step % 3 != 0)
            return;
        const float row = (step / 3) % 2 == 0 ? 5 : 8;
        Probe* bullet = new Probe(range.journal, "bullet", Vector(1, row), PASSABLE);
        bullet->setVelocity(Vector(2, 0));
        const int id = bullet->getId();
        range.fired.push_back(id);
        bullet->onEvent = [&, bullet, id](const Event* ev) {
            if (ev->getType() == COLLISION_EVENT)
                range.hits[id]++;
            else if (ev->getType() == OUT_EVENT)
                range.outs[id]++;
            else
                return;
            world.markForDelete(bullet);
            world.markForDelete(bullet);
        };
        bullet->onDestroy = [&, id] { range.destroyed[id]++; };
    };

    game.run();
    const int fixtures = 6; // target, posts, walkers, gun
    const int inFlight = world.getAllObjects().getCount() - fixtures;
    game.shutDown();

    EXPECT_EQ(range.lastStep, finalStep);
    EXPECT_FALSE(range.walkersOverlapped);
    EXPECT_EQ(world.getAllObjects().getCount(), 0);
    ASSERT_EQ(range.fired.size(), static_cast<size_t>(finalStep / 3));
    int hitBullets = 0;
    int outBullets = 0;
    for (int id : range.fired) {
        EXPECT_EQ(range.destroyed[id], 1) << "bullet " << id;
        EXPECT_LE(range.hits[id] + range.outs[id], 1) << "bullet " << id;
        hitBullets += range.hits[id];
        outBullets += range.outs[id];
    }
    // Every bullet ended by the target, by the edge, or by the shut-down while in flight.
    EXPECT_EQ(hitBullets + outBullets + inFlight, finalStep / 3);
    EXPECT_EQ(range.targetHits, hitBullets);
    EXPECT_GT(hitBullets, 15);
    EXPECT_GT(outBullets, 15);
    EXPECT_GT(only(range.journal, "hit left").size(), 2u);
    EXPECT_TRUE(ks::test::logMessages().empty());
}
