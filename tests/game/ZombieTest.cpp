// Zombies and bullets: where zombies appear, walk, charge and what a hit brings (rolls arranged
// by picking seeds whose rand() sequence gives them), and how a bullet is aimed and flies.
#include "GameTest.h"

#include <cmath>

namespace ks::test {
namespace {

using ZombieRules = GameTest;

bool noCharge()
{
    return rand() % 500 > 5;
}

TEST_F(ZombieRules, SpawnsBeyondTheEdgeThatTheRollsPick)
{
    new player;
    const struct
    {
        int side, offset, along;
        float x, y;
    } rows[] = {{0, 0, 5, 5, 34},  {0, 9, 79, 79, 43},  {1, 0, 0, 0, -10}, {1, 4, 79, 79, -14},
                {2, 9, 0, -19, 0}, {2, 0, 23, -10, 23}, {3, 0, 0, 90, 0},  {3, 9, 23, 99, 23}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.side << " " << row.offset << " " << row.along);
        seedWhere([&] {
            return rand() % 4 == row.side && rand() % 10 == row.offset &&
                   rand() % (row.side < 2 ? 80 : 24) == row.along;
        });
        Object* walker = new zombie;
        EXPECT_EQ(walker->getPosition().getX(), row.x);
        EXPECT_EQ(walker->getPosition().getY(), row.y);
    }
}

TEST_F(ZombieRules, WalkingSpeedIsFixedByTheScoreAtCreation)
{
    player* hunter = new player;
    // Each zombie is made at its score, which then rises by one before its first step.
    const struct
    {
        int score;
        float speed;
    } rows[] = {{1499, 0.23f}, {1500, 1.23f}, {3000, 2.23f}};
    for (const auto& row : rows)
    {
        while (hunter->getScore() < row.score)
            hunter->addScore();
        Object* walker = new zombie;
        hunter->addScore();
        seedWhere(noCharge);
        step(walker);
        EXPECT_FLOAT_EQ(walker->getSpeed(), row.speed) << row.score;
    }
}

TEST_F(ZombieRules, ChargeHoldsItsCourseAtDoubleSpeedForTenTimesTheRollPlusOneMoves)
{
    Object* hunter = new player;
    Object* walker = new zombie;
    walker->setPosition(Vector(10, 12));
    seedWhere([] {
        return rand() % 500 == 5 && noCharge();
    });
    step(walker);
    EXPECT_EQ(soundsPlayed("zombieattack"), 1);
    hunter->setPosition(Vector(40, 2)); // stepping aside changes nothing during the charge
    for (int move = 1; move <= 51; move++)
    {
        WorldManager::getInstance().update();
        ASSERT_FLOAT_EQ(walker->getSpeed(), 0.46f) << move;
        step(walker);
    }
    EXPECT_NEAR(walker->getPosition().getX(), 10 + 51 * 0.46f, 1e-3);
    EXPECT_EQ(walker->getPosition().getY(), 12);
    // Then it walks after the player again.
    EXPECT_FLOAT_EQ(walker->getSpeed(), 0.23f);
    EXPECT_LT(walker->getDirection().getY(), 0);
}

TEST_F(ZombieRules, ShotOneScoresAndDropsByItsRollOneThatReachesThePlayerIsOnlyReplaced)
{
    player* hunter = new player;
    // zombies: how many more there are afterwards; the zombie hit is counted among them
    const struct
    {
        const char* by;
        int roll, zombies, healthpacks, bulletpacks;
    } rows[] = {{"bullet", 0, 2, 0, 0},  {"bullet", 14, 2, 0, 0},   {"bullet", 15, 1, 1, 0}, {"bullet", 25, 1, 1, 0},
                {"bullet", 26, 1, 0, 1}, {"bullet", 40, 1, 0, 1},   {"bullet", 41, 1, 0, 0}, {"bullet", 98, 1, 0, 0},
                {"player", 0, 1, 0, 0},  {"healthpack", 0, 1, 0, 0}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.by << " " << row.roll);
        const int shot = std::string(row.by) == "bullet";
        const int before[] = {hunter->getScore(), soundsPlayed("explode"), soundsPlayed("newzombie"),
                              countOf("zombie")};
        Object* walker = new zombie;
        walker->setPosition(Vector(30, 5));
        Object* other = thing(row.by);
        // Three rolls place the replacement, the fourth picks the drop.
        seedWhere([&] {
            rand(), rand(), rand();
            return rand() % 99 == row.roll;
        });
        collide(walker, other, walker);
        WorldManager::getInstance().markForDelete(other);
        WorldManager::getInstance().update();
        EXPECT_EQ(hunter->getScore(), before[0] + shot);
        EXPECT_EQ(soundsPlayed("explode"), before[1] + shot);
        EXPECT_EQ(soundsPlayed("newzombie"), before[2] + (shot && row.zombies == 2));
        EXPECT_EQ(countOf("zombie"), before[3] + row.zombies);
        EXPECT_EQ(countOf("healthpack"), row.healthpacks);
        EXPECT_EQ(countOf("bulletpack"), row.bulletpacks);
        if (Object* drop = firstOf(row.healthpacks ? "healthpack" : "bulletpack"))
        {
            EXPECT_EQ(drop->getPosition().getX(), 30);
            EXPECT_EQ(drop->getPosition().getY(), 5);
            WorldManager::getInstance().markForDelete(drop);
            WorldManager::getInstance().update();
        }
    }
}

TEST_F(ZombieRules, OneMoveOntoTwoBulletsHandlesBoth)
{
    player* hunter = new player;
    Object* aim = new reticle;
    aim->setPosition(hunter->getPosition()); // bullets fired now stay where they are put
    Object* walker = new zombie;
    walker->setPosition(Vector(20, 12));
    seedWhere(noCharge);
    step(walker); // its next move, towards the player, ends at (20.23, 12)
    for (int i = 0; i < 2; i++)
        (new bullet)->setPosition(Vector(20.5, 12));
    seedWhere([] { // each replacement draws three placing rolls, then a drop roll that adds nothing
        rand(), rand(), rand();
        const bool first = rand() % 99 > 40;
        rand(), rand(), rand();
        return first && rand() % 99 > 40;
    });
    WorldManager::getInstance().update();
    EXPECT_EQ(hunter->getScore(), 2);
    EXPECT_EQ(soundsPlayed("explode"), 2);
    EXPECT_EQ(countOf("zombie"), 2);
    EXPECT_EQ(countOf("bullet"), 0);
}

TEST_F(ZombieRules, OneWhosePlayerIsGoneStandsStillAndScoresForNobody)
{
    WorldManager& world = WorldManager::getInstance();
    step(new zombie); // no player yet
    player* first = new player;
    Object* walker = new zombie;
    world.markForDelete(first);
    world.update();
    player* second = new player; // the next game's player is not the one it chased
    step(walker);
    EXPECT_EQ(walker->getSpeed(), 0);
    collide(walker, thing("bullet"), walker);
    world.update();
    EXPECT_EQ(second->getScore(), 0);
}

TEST_F(ZombieRules, BulletFliesFromTheFirstPlayerTowardsTheFirstReticleAtOneAndAHalf)
{
    Object* hunter = new player;
    Object* aim = new reticle;
    new reticle; // only the first one counts
    const struct
    {
        float fromX, fromY, toX, toY, dirX, dirY;
    } rows[] = {
        {40, 12, 50, 12, 1, 0},
        {40, 12, 40, 2, 0, -1},
        {10, 10, 13, 14, 0.6f, 0.8f},
        {40, 12, 40, 12, 0, 0}, // on the player: it stays where it was fired
    };
    for (const auto& row : rows)
    {
        hunter->setPosition(Vector(row.fromX, row.fromY));
        aim->setPosition(Vector(row.toX, row.toY));
        Object* shot = new bullet;
        EXPECT_EQ(shot->getPosition().getX(), row.fromX);
        EXPECT_EQ(shot->getPosition().getY(), row.fromY);
        EXPECT_FLOAT_EQ(shot->getDirection().getX(), row.dirX);
        EXPECT_FLOAT_EQ(shot->getDirection().getY(), row.dirY);
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

TEST_F(ZombieRules, BulletPassesOverPowerUpsAndLeavesTheWorldOnItsTwentySeventhMove)
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
}

} // namespace
} // namespace ks::test
