// The manager base and the event base: names, started flags and event defaults.
#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "EventStep.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WorldManager.h"

using namespace ks;

TEST(Manager, FreshManagersCarryTheirClassNames)
{
    struct Case {
        Manager& manager;
        const char* type;
        bool started;
    };
    const Case cases[] = {
        {LogManager::getInstance(), "LogManager", true},
        {GameManager::getInstance(), "GameManager", false},
        {WorldManager::getInstance(), "WorldManager", false},
        {DisplayManager::getInstance(), "DisplayManager", false},
        {InputManager::getInstance(), "InputManager", false},
        {ResourceManager::getInstance(), "ResourceManager", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.manager.getType(), c.type);
        EXPECT_EQ(c.manager.isStarted(), c.started) << c.type;
    }
    EXPECT_FALSE(GameManager::getInstance().getGameOver());
    EXPECT_EQ(GameManager::getInstance().getFrameTime(), 33);
}

TEST(Manager, StartUpAndShutDownAreRepeatable)
{
    WorldManager& world = WorldManager::getInstance();
    EXPECT_EQ(world.startUp(), 0);
    EXPECT_EQ(world.startUp(), 0);
    EXPECT_TRUE(world.isStarted());
    world.shutDown();
    world.shutDown();
    EXPECT_FALSE(world.isStarted());
}

TEST(Event, ConstructorsSetTheirTypeNames)
{
    EXPECT_EQ(Event().getType(), "ks::undefined");
    EXPECT_EQ(EventStep().getType(), "ks::step");
    EXPECT_EQ(EventStep().getStepCount(), 0);
    EXPECT_EQ(EventStep(41).getStepCount(), 41);
    EXPECT_EQ(EventOut().getType(), "ks::out");

    const EventCollision empty;
    EXPECT_EQ(empty.getType(), "ks::collision");
    EXPECT_EQ(empty.getObject1(), nullptr);
    EXPECT_EQ(empty.getObject2(), nullptr);
    EXPECT_EQ(empty.getPosition().getX(), 0);
}
