// Bullets and the reticle they aim at.
#include "GameTest.h"

#include <cmath>

#include "bullet.h"
#include "bulletpack.h"
#include "healthpack.h"
#include "player.h"
#include "reticle.h"

namespace ks::test {
namespace {

using BulletRules = GameTest;

void moveMouse(Object* object, float x, float y)
{
    EventMouse event;
    event.setMouseAction(MOVED);
    event.setMousePosition(Vector(x, y));
    object->eventHandler(&event);
}

TEST_F(BulletRules, ReticleFollowsThePointerInCellsKeepingTheFraction)
{
    Object* aim = new reticle;
    click(aim, Mouse::LEFT);
    EXPECT_EQ(aim->getPosition().getX(), 10);
    EXPECT_EQ(aim->getPosition().getY(), 20);
    moveMouse(aim, 600, 300);
    EXPECT_EQ(aim->getPosition().getX(), 50);
    EXPECT_EQ(aim->getPosition().getY(), 9.375f);
    moveMouse(aim, 0, 0);
    EXPECT_EQ(aim->getPosition().getX(), 0);
    EXPECT_EQ(aim->getPosition().getY(), 0);
}

TEST_F(BulletRules, FliesFromTheFirstPlayerTowardsTheFirstReticleAtOneAndAHalf)
{
    Object* hunter = new player;
    Object* aim = new reticle;
    new reticle; // only the first one counts
    const struct { float fromX, fromY, toX, toY, dirX, dirY; } rows[] = {
        {40, 12, 50, 12, 1, 0},        {40, 12, 40, 2, 0, -1},  {10, 10, 13, 14, 0.6f, 0.8f},
        {40, 12, 40, 12, 0, 0}, // on the player: it stays where it was fired
    };
    for (const auto& row : rows) {
        hunter->setPosition(Vector(row.fromX, row.fromY));
        aim->setPosition(Vector(row.toX, row.toY));
        Object* shot = new bullet;
        EXPECT_EQ(shot->getPosition().getX(), row.fromX);
        EXPECT_EQ(shot->getPosition().getY(), row.fromY);
        EXPECT_FLOAT_EQ(shot->getDirection().getX(), row.dirX);
        EXPECT_FLOAT_EQ(shot->getDirection().getY(), row.dirY);
        EXPECT_EQ(shot->getSpeed(), 1.5f);
    }
    // Aimed at the exact fractional point under the pointer.
    hunter->setPosition(Vector(0, 0));
    moveMouse(aim, 606, 316);
    Object* shot = new bullet;
    EXPECT_FLOAT_EQ(std::atan2(shot->getDirection().getY(), shot->getDirection().getX()),
                    std::atan2(316 / 32.0f, 606 / 12.0f));
}

TEST_F(BulletRules, PassesOverPowerUpsAndLeavesTheWorldOnItsTwentySeventhMove)
{
    new player;
    (new reticle)->setPosition(Vector(50, 12));
    Object* health = new healthpack(Vector(41.5, 12));
    Object* ammo = new bulletpack(Vector(43, 12));
    Object* shot = new bullet;
    WorldManager& world = WorldManager::getInstance();
    world.update();
    EXPECT_EQ(shot->getPosition().getX(), 41.5f);
    for (int move = 2; move <= 26; move++)
        world.update();
    EXPECT_EQ(shot->getPosition().getX(), 79);
    EXPECT_EQ(countOf("bullet"), 1);
    world.update();
    EXPECT_EQ(countOf("bullet"), 0);
    EXPECT_EQ(firstOf("healthpack"), health);
    EXPECT_EQ(firstOf("bulletpack"), ammo);
    EXPECT_EQ(health->getPosition().getX(), 41.5f);
}

TEST_F(BulletRules, WithNothingToFireFromOrAtItNeverFlies)
{
    new bullet;
    new player;
    new bullet;
    EXPECT_EQ(countOf("bullet"), 0);
    WorldManager::getInstance().update();
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 1);
}

} // namespace
} // namespace ks::test
