// The player: hits, health and the game-over sequence, the magazine and its reloads
// counted in steps, bullet packs, and the walk under held keys. Step handlers read the live
// keyboard, so a window is open.
#include <cstdlib>
#include <tuple>

#include "DisplayManager.h"
#include "GameTest.h"
#include "Probe.h"

namespace ks::test {
namespace {

class PlayerTest : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        installFont();
        DisplayManager::getInstance().startUp();
        new reticle;
    }
    void TearDown() override
    {
        GameTest::TearDown();
        DisplayManager::getInstance().shutDown();
    }
};

TEST_F(PlayerTest, HealthHasNoCapAndTheLastHitStartsTheGameOver)
{
    Object* biter = thing("zombie");
    for (int healthPacks : {0, 3})
    {
        SCOPED_TRACE(healthPacks);
        const int hurt = soundsPlayed("hurt") + 3 + healthPacks;
        const int over = soundsPlayed("gameoversound");
        Object* hunter = new player;
        for (int i = 0; i < healthPacks; i++)
            collide(hunter, hunter, new healthpack(Vector(0, 0)));
        for (int hit = 1; hit < 3 + healthPacks; hit++)
            collide(hunter, biter, hunter);
        collide(hunter, biter, hunter);
        EXPECT_EQ(soundsPlayed("hurt"), hurt);
        EXPECT_EQ(soundsPlayed("gameoversound"), over + 1);
        EXPECT_EQ(hunter->getSolidness(), NONSOLID);
        EXPECT_EQ(hunter->getAnimation().getSprite()->getLabel(), "gameoversprite");
        // Dead: hits, pick-ups, clicks and ESCAPE pass it by.
        collide(hunter, biter, hunter);
        collide(hunter, hunter, new bulletpack(Vector(0, 0)));
        click(hunter, Mouse::LEFT);
        press(hunter, Keyboard::ESCAPE);
        EXPECT_EQ(soundsPlayed("hurt"), hurt);
        EXPECT_EQ(soundsPlayed("bulletpacksound") + countOf("bullet"), 0);
        EXPECT_FALSE(GameManager::getInstance().getGameOver());
        WorldManager::getInstance().markForDelete(hunter);
        WorldManager::getInstance().update();
    }
    EXPECT_EQ(soundsPlayed("heal"), 3);
}

TEST_F(PlayerTest, GameOverSequenceClearsTheWorldOnItsLastStepAndBringsBackTheTitle)
{
    WorldManager& world = WorldManager::getInstance();
    player* hunter = new player;
    new zombie;
    new healthpack(Vector(60, 3));
    Object* biter = thing("zombie");
    // Dying while walking right: the sequence keeps that velocity.
    hunter->setDirection(Vector(1, 0));
    hunter->setSpeed(1);
    for (int hit = 0; hit < 3; hit++)
        collide(hunter, biter, hunter);
    const int total = world.getAllObjects().getCount();
    for (int i = 1; i < 270; i++)
    {
        hunter->setPosition(Vector(7, 7));
        step(hunter);
        world.update();
        ASSERT_EQ(world.getAllObjects().getCount(), total) << "step " << i;
    }
    // Put back at the centre, then moved by the velocity it died with.
    EXPECT_EQ(hunter->getPosition().getX(), 41);
    EXPECT_EQ(hunter->getPosition().getY(), 12);
    // In a full world the title still gets a place.
    while (world.getAllObjects().getCount() < MAX_OBJECTS)
        thing("filler");
    step(hunter);
    world.update();
    EXPECT_EQ(worldTypes(), std::vector<std::string>{"start"});
}

// Left clicks until one makes no bullet; the number of shots that came out.
int emptyMagazine(Object* hunter)
{
    const int before = countOf("bullet");
    for (int i = 0; i < 20; i++)
        click(hunter, Mouse::LEFT);
    return countOf("bullet") - before;
}

TEST_F(PlayerTest, MagazineRefillsSixtyStepsAfterTheLastShotOrFortyFiveAfterARightClick)
{
    // Shots, then whether a right click follows, then the steps the reload takes.
    const std::tuple<int, bool, int> rows[] = {{5, false, 60}, {2, true, 45}};
    for (const auto& [shots, rightClick, steps] : rows)
    {
        Object* hunter = new player;
        const int reloads = soundsPlayed("reload");
        for (int i = 0; i < shots; i++)
            click(hunter, Mouse::LEFT);
        if (rightClick)
            click(hunter, Mouse::RIGHT);
        for (int i = 1; i < steps; i++)
        {
            step(hunter);
            if (i == 10) // clicks during the reload neither fire nor restart it
                click(hunter, Mouse::RIGHT);
        }
        EXPECT_EQ(emptyMagazine(hunter), 0);
        EXPECT_EQ(soundsPlayed("reload"), reloads);
        step(hunter);
        EXPECT_EQ(soundsPlayed("reload"), reloads + 1);
        EXPECT_EQ(emptyMagazine(hunter), 5);
        WorldManager::getInstance().markForDelete(hunter);
        WorldManager::getInstance().update();
    }
    EXPECT_EQ(soundsPlayed("fire"), 17);
}

// Held keys come from the keyboard itself (xdotool holds them). Each edge is tested, inclusive,
// on the position before the move: from the edge the hunter takes one more step, then stays.
TEST_F(PlayerTest, HeldKeysWalkTheHunterOneStepPastAnEdgeAndNoFurther)
{
    const std::tuple<std::string, Vector, Vector> rows[] = {{"d", Vector(80, 12), Vector(81, 12)},
                                                            {"a", Vector(0, 12), Vector(-1, 12)},
                                                            {"w", Vector(40, 0), Vector(40, -0.3f)},
                                                            {"s", Vector(40, 24), Vector(40, 24.3f)}};
    for (const auto& [key, start, end] : rows)
    {
        Object* hunter = new player;
        hunter->setPosition(start);
        ASSERT_EQ(std::system(("timeout 10 xdotool keydown " + key).c_str()), 0);
        for (int i = 0; i < 4; i++)
        {
            step(hunter);
            WorldManager::getInstance().update();
        }
        ASSERT_EQ(std::system(("timeout 10 xdotool keyup " + key).c_str()), 0);
        EXPECT_EQ(at(hunter->getPosition()), at(end)) << key;
        WorldManager::getInstance().markForDelete(hunter);
        WorldManager::getInstance().update();
    }
}

TEST_F(PlayerTest, BulletPackGrowsTheClipRefillsItAndCancelsAReload)
{
    Object* hunter = new player;
    Object* pack = thing("bulletpack");
    collide(hunter, hunter, pack); // with a full magazine: 6 of 6
    click(hunter, Mouse::RIGHT);
    for (int i = 0; i < 10; i++)
        step(hunter);
    collide(hunter, pack, hunter); // during the reload: 7 of 7 at once
    EXPECT_EQ(soundsPlayed("bulletpacksound"), 2);
    for (int i = 0; i < 40; i++) // past the end of the cancelled reload
        step(hunter);
    EXPECT_EQ(soundsPlayed("reload"), 0);
    EXPECT_EQ(emptyMagazine(hunter), 7);
    for (int i = 0; i < 60; i++)
        step(hunter);
    EXPECT_EQ(soundsPlayed("reload"), 1);
    EXPECT_EQ(emptyMagazine(hunter), 7);
}

} // namespace
} // namespace ks::test
