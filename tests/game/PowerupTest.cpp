// Power-ups: picked up once by the player, left alone by everything else.
#include "GameTest.h"

#include "bulletpack.h"
#include "healthpack.h"
#include "player.h"
#include "reticle.h"

namespace ks::test {
namespace {

using PowerUps = GameTest;

TEST_F(PowerUps, WithoutAPositionTheyLogItAndCanStillBePickedUp)
{
    Object* packs[] = {new bulletpack, new healthpack};
    int logged = 0;
    for (const std::string& message : logMessages())
        logged += message == "powerup spawned without pos specified";
    EXPECT_EQ(logged, 2);
    for (Object* pack : packs) {
        EXPECT_EQ(pack->getPosition().getX(), 0);
        EXPECT_EQ(pack->getPosition().getY(), 0);
        EXPECT_EQ(pack->getSolidness(), PASSABLE);
    }
}

TEST_F(PowerUps, OnlyThePlayerTakesThem)
{
    WorldManager& world = WorldManager::getInstance();
    for (const char* other : {"zombie", "bullet", "healthpack", "bulletpack", "reticle"}) {
        Object* thingThere = thing(other, Vector(0, 0));
        collide(new healthpack(Vector(1, 1)), thingThere, thingThere);
        collide(new bulletpack(Vector(1, 1)), thingThere, thingThere);
    }
    world.update();
    EXPECT_EQ(countOf("healthpack"), 6);
    EXPECT_EQ(countOf("bulletpack"), 6);

    Object* hunter = new player;
    collide(firstOf("healthpack"), hunter, firstOf("healthpack"));
    collide(firstOf("bulletpack"), firstOf("bulletpack"), hunter);
    world.update();
    EXPECT_EQ(countOf("healthpack"), 5);
    EXPECT_EQ(countOf("bulletpack"), 5);
}

TEST_F(PowerUps, WalkingIntoOneGivesOneEffectAndItIsGoneBeforeTheNextFrame)
{
    WorldManager& world = WorldManager::getInstance();
    Object* hunter = new player;
    new reticle;
    new healthpack(Vector(41, 12));
    new bulletpack(Vector(42, 12));
    // Walk right by one cell per update, the way held D keys move it.
    hunter->setDirection(Vector(1, 0));
    hunter->setSpeed(1);
    for (int move = 0; move < 4; move++)
        world.update();
    EXPECT_EQ(hunter->getPosition().getX(), 44);
    EXPECT_EQ(soundsPlayed("heal"), 1);
    EXPECT_EQ(soundsPlayed("bulletpacksound"), 1);
    EXPECT_EQ(countOf("healthpack") + countOf("bulletpack"), 0);

    // A full magazine grown to six shots.
    for (int i = 0; i < 7; i++)
        click(hunter, Mouse::LEFT);
    EXPECT_EQ(countOf("bullet"), 6);
}

} // namespace
} // namespace ks::test
