// The player's hits, health, death and game-over sequence: rules that need no keyboard.
#include "GameTest.h"

#include "GameManager.h"
#include "Sprite.h"
#include "bulletpack.h"
#include "healthpack.h"
#include "player.h"
#include "reticle.h"
#include "zombie.h"

namespace ks::test {
namespace {

using PlayerRules = GameTest;

std::string spriteOf(const Object* object)
{
    Sprite* sprite = object->getAnimation().getSprite();
    return sprite == nullptr ? "" : sprite->getLabel();
}

TEST_F(PlayerRules, HealthHasNoCapAndTheLastHitStartsTheGameOver)
{
    new reticle;
    Object* biter = thing("zombie", Vector(0, 0));
    const struct { int healthPacks; int hitsToDie; } rows[] = {{0, 3}, {1, 4}, {3, 6}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.healthPacks);
        const int hurtBefore = soundsPlayed("hurt");
        const int overBefore = soundsPlayed("gameoversound");
        Object* hunter = new player;
        for (int i = 0; i < row.healthPacks; i++)
            collide(hunter, hunter, new healthpack(Vector(0, 0)));
        for (int hit = 1; hit < row.hitsToDie; hit++)
            collide(hunter, biter, hunter);
        EXPECT_EQ(hunter->getSolidness(), BLOCKING);
        EXPECT_EQ(soundsPlayed("gameoversound"), overBefore);

        collide(hunter, biter, hunter);
        EXPECT_EQ(soundsPlayed("hurt") - hurtBefore, row.hitsToDie);
        EXPECT_EQ(soundsPlayed("gameoversound") - overBefore, 1);
        EXPECT_EQ(hunter->getSolidness(), NONSOLID);
        EXPECT_EQ(spriteOf(hunter), "gameoversprite");

        // Dead: hits, pick-ups, clicks and ESCAPE pass it by.
        collide(hunter, biter, hunter);
        collide(hunter, hunter, new bulletpack(Vector(0, 0)));
        click(hunter, Mouse::LEFT);
        press(hunter, Keyboard::ESCAPE);
        EXPECT_EQ(soundsPlayed("hurt") - hurtBefore, row.hitsToDie);
        EXPECT_EQ(soundsPlayed("bulletpacksound"), 0);
        EXPECT_EQ(countOf("bullet"), 0);
        EXPECT_FALSE(GameManager::getInstance().getGameOver());
        WorldManager::getInstance().markForDelete(hunter);
        WorldManager::getInstance().update();
    }
    EXPECT_EQ(soundsPlayed("heal"), 4);
}

TEST_F(PlayerRules, EscapeDuringPlayEndsTheGame)
{
    Object* hunter = new player;
    press(hunter, Keyboard::ESCAPE, KEY_RELEASED);
    EXPECT_FALSE(GameManager::getInstance().getGameOver());
    press(hunter, Keyboard::ESCAPE);
    EXPECT_TRUE(GameManager::getInstance().getGameOver());
}

TEST_F(PlayerRules, GameOverSequenceClearsTheWorldOnItsLastStepAndBringsBackTheTitle)
{
    WorldManager& world = WorldManager::getInstance();
    player* hunter = new player;
    new reticle;
    new zombie;
    new healthpack(Vector(60, 3));
    new bulletpack(Vector(20, 3));
    Object* biter = thing("zombie", Vector(0, 0));
    // Dying while walking right: the sequence keeps that velocity.
    hunter->setDirection(Vector(1, 0));
    hunter->setSpeed(1);
    for (int hit = 0; hit < 3; hit++)
        collide(hunter, biter, hunter);
    hunter->addScore();

    const int total = world.getAllObjects().getCount();
    for (int i = 1; i < 270; i++) {
        hunter->setPosition(Vector(7, 7));
        step(hunter);
        world.update();
        ASSERT_EQ(world.getAllObjects().getCount(), total) << "step " << i;
    }
    // Put back at the centre, then moved by the velocity it died with.
    EXPECT_EQ(hunter->getPosition().getX(), 41);
    EXPECT_EQ(hunter->getPosition().getY(), 12);
    EXPECT_EQ(countOf("start"), 0);

    // Even a full world takes the title.
    while (!world.getAllObjects().isFull())
        thing("filler", Vector(0, 0));
    step(hunter);
    world.update();
    ASSERT_EQ(world.getAllObjects().getCount(), 1);
    EXPECT_EQ(world.getAllObjects()[0]->getType(), "start");
}

} // namespace
} // namespace ks::test
