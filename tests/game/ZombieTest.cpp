// Zombies: where they appear, how fast they walk and charge, and what a hit brings. The
// rolls are arranged by picking seeds whose rand() sequence gives them.
#include "GameTest.h"

#include "bullet.h"
#include "player.h"
#include "reticle.h"
#include "zombie.h"

namespace ks::test {
namespace {

using ZombieRules = GameTest;

bool noCharge()
{
    return rand() % 500 > 5;
}

// Two hits in a row: each replacement draws three placing rolls, then a drop roll of 41 or
// more adds nothing.
bool twoEmptyDrops()
{
    rand(), rand(), rand();
    const int first = rand() % 99;
    rand(), rand(), rand();
    return first > 40 && rand() % 99 > 40;
}

bool inWorld(int id)
{
    ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
        if (all[i]->getId() == id)
            return true;
    return false;
}

TEST_F(ZombieRules, SpawnsBeyondTheEdgeThatTheRollsPick)
{
    new player;
    const struct { int side, offset, along; float x, y; } rows[] = {
        {0, 0, 5, 5, 34},  {0, 9, 79, 79, 43},  {1, 0, 0, 0, -10}, {1, 4, 79, 79, -14},
        {2, 9, 0, -19, 0}, {2, 0, 23, -10, 23}, {3, 0, 0, 90, 0},  {3, 9, 23, 99, 23}};
    for (const auto& row : rows) {
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
    const struct { int score; float speed; } rows[] = {
        {0, 0.23f}, {1499, 0.23f}, {1500, 1.23f}, {2999, 1.23f}, {3000, 2.23f}};
    for (const auto& row : rows) {
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
    WorldManager& world = WorldManager::getInstance();
    Object* hunter = new player;
    for (int roll : {0, 3, 5}) {
        SCOPED_TRACE(roll);
        hunter->setPosition(Vector(40, 12));
        Object* walker = new zombie;
        walker->setPosition(Vector(10, 12));
        const int attacks = soundsPlayed("zombieattack");
        seedWhere([&] { return rand() % 500 == roll && noCharge(); });
        step(walker);
        EXPECT_EQ(soundsPlayed("zombieattack"), attacks + 1);
        hunter->setPosition(Vector(40, 2)); // stepping aside changes nothing during the charge
        const int moves = 10 * roll + 1;
        for (int move = 1; move <= moves; move++) {
            world.update();
            if (move < moves)
                step(walker);
            EXPECT_FLOAT_EQ(walker->getSpeed(), 0.46f);
        }
        EXPECT_NEAR(walker->getPosition().getX(), 10 + moves * 0.46f, 1e-3);
        EXPECT_EQ(walker->getPosition().getY(), 12);
        // Then it walks after the player again.
        step(walker);
        EXPECT_FLOAT_EQ(walker->getSpeed(), 0.23f);
        EXPECT_LT(walker->getDirection().getY(), 0);
        world.removeObject(walker);
        world.markForDelete(walker);
    }
}

TEST_F(ZombieRules, ShotZombieScoresOnceAndDropsByItsRoll)
{
    player* hunter = new player;
    Object* shot = thing("bullet", Vector(0, 0));
    const struct { int roll, zombies, healthpacks, bulletpacks, voices; } rows[] = {
        {0, 2, 0, 0, 1},  {14, 2, 0, 0, 1}, {15, 1, 1, 0, 0}, {25, 1, 1, 0, 0},
        {26, 1, 0, 1, 0}, {40, 1, 0, 1, 0}, {41, 1, 0, 0, 0}, {98, 1, 0, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.roll);
        const int before[] = {hunter->getScore(), soundsPlayed("explode"), soundsPlayed("newzombie"),
                              countOf("zombie")};
        Object* walker = new zombie;
        walker->setPosition(Vector(30, 5));
        // Three rolls place the replacement, the fourth picks the drop.
        seedWhere([&] { rand(), rand(), rand(); return rand() % 99 == row.roll; });
        collide(walker, shot, walker);
        WorldManager::getInstance().update();

        EXPECT_EQ(hunter->getScore(), before[0] + 1);
        EXPECT_EQ(soundsPlayed("explode"), before[1] + 1);
        EXPECT_EQ(soundsPlayed("newzombie"), before[2] + row.voices);
        EXPECT_EQ(countOf("zombie"), before[3] + row.zombies);
        EXPECT_EQ(countOf("healthpack"), row.healthpacks);
        EXPECT_EQ(countOf("bulletpack"), row.bulletpacks);
        if (Object* drop = firstOf(row.healthpacks ? "healthpack" : "bulletpack")) {
            EXPECT_EQ(drop->getPosition().getX(), 30);
            EXPECT_EQ(drop->getPosition().getY(), 5);
            WorldManager::getInstance().markForDelete(drop);
            WorldManager::getInstance().update();
        }
    }
}

TEST_F(ZombieRules, ReachingThePlayerOnlyReplacesItAndOtherContactsChangeNothing)
{
    player* hunter = new player;
    Object* walker = new zombie;
    const unsigned seed = seedWhere([] { return true; });
    collide(walker, hunter, walker);
    collide(walker, walker, thing("zombie", Vector(0, 0)));
    collide(walker, walker, thing("healthpack", Vector(0, 0)));
    const int next = rand();
    WorldManager::getInstance().update();

    EXPECT_EQ(countOf("zombie"), 2); // the replacement and the stand-in
    EXPECT_EQ(hunter->getScore(), 0);
    EXPECT_EQ(soundsPlayed("explode"), 0);
    // Only the replacement's three placing rolls were drawn: no drop roll.
    srand(seed);
    rand(), rand(), rand();
    EXPECT_EQ(next, rand());
}

TEST_F(ZombieRules, OneMoveOntoTwoBulletsHandlesBothAndOneShotThroughTwoZombiesKillsBoth)
{
    WorldManager& world = WorldManager::getInstance();
    player* hunter = new player;
    Object* aim = new reticle;
    aim->setPosition(hunter->getPosition()); // bullets fired now stay where they are put
    Object* walker = new zombie;
    walker->setPosition(Vector(20, 12));
    seedWhere(noCharge);
    step(walker); // its next move, towards the player, ends at (20.23, 12)
    for (int i = 0; i < 2; i++)
        (new bullet)->setPosition(Vector(20.5, 12));
    seedWhere(twoEmptyDrops);
    world.update();
    EXPECT_EQ(hunter->getScore(), 2);
    EXPECT_EQ(soundsPlayed("explode"), 2);
    EXPECT_EQ(countOf("zombie"), 2);
    EXPECT_EQ(countOf("bullet"), 0);

    // A shot to the right whose first move ends on both replacements.
    aim->setPosition(Vector(60, 12));
    ObjectList targets = world.objectsOfType("zombie");
    const int ids[] = {targets[0]->getId(), targets[1]->getId()};
    targets[0]->setPosition(Vector(41.5, 12));
    targets[1]->setPosition(Vector(41.5, 12));
    new bullet;
    seedWhere(twoEmptyDrops);
    world.update();
    EXPECT_EQ(hunter->getScore(), 4);
    EXPECT_EQ(countOf("bullet"), 0);
    EXPECT_FALSE(inWorld(ids[0]));
    EXPECT_FALSE(inWorld(ids[1]));
}

TEST_F(ZombieRules, WithoutItsPlayerItStandsStillAndHarmless)
{
    WorldManager& world = WorldManager::getInstance();
    Object* orphan = new zombie; // no player yet
    step(orphan);
    EXPECT_EQ(orphan->getSpeed(), 0);

    player* first = new player;
    Object* walker = new zombie;
    seedWhere(noCharge);
    step(walker);
    EXPECT_GT(walker->getSpeed(), 0);
    world.markForDelete(first);
    world.update();
    player* second = new player; // the next game's player is not the one it chased
    step(walker);
    EXPECT_EQ(walker->getSpeed(), 0);
    const int id = walker->getId();
    collide(walker, thing("bullet", Vector(0, 0)), walker);
    world.update();
    EXPECT_EQ(second->getScore(), 0);
    EXPECT_FALSE(inWorld(id));
}

} // namespace
} // namespace ks::test
