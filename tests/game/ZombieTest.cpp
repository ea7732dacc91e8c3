// Zombies: where they appear, how fast they walk and charge, what a hit brings, and what one
// does when its player is gone.
#include <map>

#include "GameTest.h"

namespace ks::test {
namespace {

using ZombieTest = GameTest;

bool noCharge()
{
    return rand() % 500 > 5;
}

TEST_F(ZombieTest, SpawnsOffTheScreenWithinTwentyCellsOfEachEdge)
{
    new player;
    srand(11);
    std::map<char, int> sides;
    for (int i = 0; i < 200; i++)
    {
        const Vector at = (new zombie)->getPosition();
        const float x = at.getX(), y = at.getY();
        ASSERT_TRUE(x >= -19 && x <= 99 && y >= -19 && y <= 43) << x << "," << y;
        ASSERT_FALSE(x >= 0 && x <= 79 && y >= 0 && y <= 23) << x << "," << y;
        sides[x < 0 ? 'l' : x > 79 ? 'r' : y < 0 ? 't' : 'b']++;
    }
    EXPECT_EQ(sides.size(), 4u);
}

TEST_F(ZombieTest, WalkingSpeedIsFixedByTheScoreAtCreation)
{
    player* hunter = new player;
    // Each zombie is made at its score, which then rises by one before its first step.
    const std::pair<int, float> rows[] = {{1499, 0.23f}, {1500, 1.23f}, {3000, 2.23f}};
    for (const auto& [score, speed] : rows)
    {
        while (hunter->getScore() < score)
            hunter->addScore();
        Object* walker = new zombie;
        hunter->addScore();
        seedWhere(noCharge);
        step(walker);
        EXPECT_FLOAT_EQ(walker->getSpeed(), speed) << score;
    }
}

TEST_F(ZombieTest, ChargeHoldsItsCourseAtDoubleSpeedForTenTimesTheRollPlusOneMoves)
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

// Of 99 zombies shot, in the long run 15 bring a second zombie, 11 a health pack and 15 a
// bullet pack where they fell; every one is replaced, scores and explodes. One that reaches
// the player is only replaced; anything else passes it by.
TEST_F(ZombieTest, ShotOnesScoreAndDropByTheirRollOthersAreOnlyReplaced)
{
    WorldManager& world = WorldManager::getInstance();
    player* hunter = new player;
    srand(5);
    std::map<std::string, int> made;
    for (const char* by : {"player", "healthpack", "bullet"})
    {
        Object* other = thing(by);
        const int kills = std::string(by) == "bullet" ? 99 * 200 : 1;
        for (int i = 0; i < kills; i++)
        {
            Object* walker = new zombie;
            walker->setPosition(Vector(30, 5));
            collide(walker, other, walker);
            const ObjectList all = world.getAllObjects();
            for (int k = 0; k < all.getCount(); k++)
                if (all[k] != hunter && all[k] != other)
                {
                    if (all[k] != walker)
                        made[std::string(by) + " " + all[k]->getType()]++;
                    EXPECT_TRUE(all[k]->getType() == "zombie" || all[k]->getPosition().getX() == 30);
                    world.markForDelete(all[k]);
                }
            world.update();
        }
        world.markForDelete(other);
        world.update();
    }
    EXPECT_EQ(made["player zombie"], 1);
    EXPECT_EQ(made["healthpack zombie"], 0);
    EXPECT_EQ(hunter->getScore(), 99 * 200);
    EXPECT_EQ(soundsPlayed("explode"), 99 * 200);
    EXPECT_EQ(soundsPlayed("newzombie"), made["bullet zombie"] - 99 * 200);
    EXPECT_NEAR(made["bullet zombie"] - 99 * 200, 15 * 200, 120);
    EXPECT_NEAR(made["bullet healthpack"], 11 * 200, 120);
    EXPECT_NEAR(made["bullet bulletpack"], 15 * 200, 120);
}

TEST_F(ZombieTest, OneWhosePlayerIsGoneStandsStillAndScoresForNobody)
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

} // namespace
} // namespace ks::test
