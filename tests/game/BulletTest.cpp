// Bullets and the reticle: a bullet flies from the player towards the reticle, which follows
// the pointer; it passes over power-ups and leaves the world at the edge.
#include <cmath>

#include "GameTest.h"
#include "Probe.h"

namespace ks::test {
namespace {

using BulletTest = GameTest;

TEST_F(BulletTest, FliesFromTheFirstPlayerTowardsTheFirstReticleAtOneAndAHalf)
{
    Object* hunter = new player;
    Object* aim = new reticle;
    new reticle; // only the first one counts
    // From, to, then the direction; on the player a bullet stays where it was fired.
    const float rows[][6] = {
        {40, 12, 50, 12, 1, 0}, {40, 12, 40, 2, 0, -1}, {10, 10, 13, 14, 0.6f, 0.8f}, {40, 12, 40, 12, 0, 0}};
    for (const auto& [fromX, fromY, toX, toY, dirX, dirY] : rows)
    {
        hunter->setPosition(Vector(fromX, fromY));
        aim->setPosition(Vector(toX, toY));
        Object* shot = new bullet;
        EXPECT_EQ(at(shot->getPosition()), at(Vector(fromX, fromY)));
        EXPECT_FLOAT_EQ(shot->getDirection().getX(), dirX);
        EXPECT_FLOAT_EQ(shot->getDirection().getY(), dirY);
        EXPECT_EQ(shot->getSpeed(), 1.5f);
    }
    // The reticle follows the pointer in cells, keeping the fraction; clicks leave it be.
    hunter->setPosition(Vector(0, 0));
    EventMouse moved;
    moved.setMouseAction(MOVED);
    moved.setMousePosition(Vector(606, 316));
    aim->eventHandler(&moved);
    click(aim, Mouse::LEFT);
    EXPECT_FLOAT_EQ(aim->getPosition().getX(), 50.5f);
    EXPECT_FLOAT_EQ(aim->getPosition().getY(), 9.875f);
    Object* shot = new bullet;
    EXPECT_FLOAT_EQ(std::atan2(shot->getDirection().getY(), shot->getDirection().getX()), std::atan2(9.875f, 50.5f));
}

TEST_F(BulletTest, PassesOverPowerUpsStopsAtZombiesAndLeavesTheWorldOnItsTwentySeventhMove)
{
    new player;
    (new reticle)->setPosition(Vector(50, 12));
    new healthpack(Vector(41.5, 12));
    new bulletpack(Vector(43, 12));
    Object* shot = new bullet;
    for (int move = 1; move <= 26; move++)
        WorldManager::getInstance().update();
    EXPECT_EQ(shot->getPosition().getX(), 79);
    EXPECT_EQ(countOf("bullet"), 1);
    WorldManager::getInstance().update();
    EXPECT_EQ(countOf("bullet") + countOf("healthpack") + countOf("bulletpack"), 2);
    (new zombie)->setPosition(Vector(44, 12)); // a zombie stops the next one
    new bullet;
    for (int move = 1; move <= 4; move++)
        WorldManager::getInstance().update();
    EXPECT_EQ(countOf("bullet"), 0);
}

} // namespace
} // namespace ks::test
