// Moving with collisions: who is told, in what order, whether the move happens, and
// the out event at the edges of the 80 x 24 grid.
#include "DisplayManager.h"
#include "Probe.h"
#include "WorldManager.h"

#include <gtest/gtest.h>

using namespace ks;
using ks::test::Journal;
using ks::test::only;
using ks::test::Probe;

namespace {

class Collision : public ::testing::Test
{
protected:
    void SetUp() override { world.startUp(); }
    void TearDown() override { world.shutDown(); }

    WorldManager& world = WorldManager::getInstance();
    Journal journal;
};

const char* nameOf(Solidness s)
{
    return s == BLOCKING ? "BLOCKING" : s == PASSABLE ? "PASSABLE" : "NONSOLID";
}

} // namespace

TEST_F(Collision, SolidnessTableDecidesEventsAndMoves)
{
    struct Case {
        Solidness mover;
        Solidness other;
        bool events;
        bool moves;
    };
    const Case cases[] = {
        {BLOCKING, BLOCKING, true, false}, {BLOCKING, PASSABLE, true, true},  {BLOCKING, NONSOLID, false, true},
        {PASSABLE, BLOCKING, true, true},  {PASSABLE, PASSABLE, true, true},  {PASSABLE, NONSOLID, false, true},
        {NONSOLID, BLOCKING, false, true}, {NONSOLID, PASSABLE, false, true}, {NONSOLID, NONSOLID, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(nameOf(c.mover)) + " onto " + nameOf(c.other));
        world.shutDown();
        world.startUp();
        journal.clear();
        Probe* mover = new Probe(journal, "M", Vector(10, 10), c.mover);
        new Probe(journal, "O", Vector(12, 10), c.other);
        mover->setVelocity(Vector(2, 0));

        EXPECT_EQ(world.moveObject(mover, Vector(12, 10)), c.moves ? 0 : -1);
        const Journal hits = c.events ? Journal{"hit M M>O @12,10", "hit O M>O @12,10"} : Journal{};
        EXPECT_EQ(only(journal, "hit"), hits);
        EXPECT_EQ(mover->getPosition().getX(), c.moves ? 12 : 10);
        // A refused mover keeps its velocity and tries again.
        EXPECT_EQ(mover->getSpeed(), 2);
    }
}

TEST_F(Collision, SeveralContactsAreToldInWorldOrderMoverFirst)
{
    Probe* mover = new Probe(journal, "M", Vector(0, 0), BLOCKING);
    Probe* wall = new Probe(journal, "B", Vector(5, 5), BLOCKING);
    new Probe(journal, "P", Vector(5, 5), PASSABLE);
    new Probe(journal, "N", Vector(5, 5), NONSOLID);
    new Probe(journal, "far", Vector(7, 5), PASSABLE);
    // Put the wall last in the world: the order follows the world, not creation.
    world.removeObject(wall);
    world.insertObject(wall);

    EXPECT_EQ(world.moveObject(mover, Vector(5, 5)), -1);
    EXPECT_EQ(journal, (Journal{"hit M M>P @5,5", "hit P M>P @5,5", "hit M M>B @5,5", "hit B M>B @5,5"}));

    const ObjectList hit = world.getCollisions(mover, Vector(5, 5));
    ASSERT_EQ(hit.getCount(), 2);
    EXPECT_EQ(static_cast<Probe*>(hit[0])->name, "P");
    EXPECT_EQ(static_cast<Probe*>(hit[1])->name, "B");
    // The mover's own solidness does not matter to the question, only to moveObject.
    mover->setSolidness(NONSOLID);
    EXPECT_EQ(world.getCollisions(mover, Vector(5, 5)).getCount(), 2);
}

TEST_F(Collision, BoxesThatTouchCollide)
{
    struct Case {
        const char* what;
        Vector where;
        bool hit;
    };
    // The other stands at (20, 10) with a 3 x 2 box centred on it: x 18.5..21.5, y 9..11.
    // The mover has a 1 x 1 box whose corner is its position.
    const Case cases[] = {
        {"overlapping", Vector(18, 9), true},
        {"touching left edge", Vector(17.5f, 9.5f), true},
        {"just short of left edge", Vector(17.49f, 9.5f), false},
        {"touching right edge", Vector(21.5f, 10), true},
        {"touching top edge", Vector(19, 8), true},
        {"just above", Vector(19, 7.99f), false},
        {"touching bottom-right corner", Vector(21.5f, 11), true},
        {"just past the corner", Vector(21.51f, 11), false},
    };
    Probe* other = new Probe(journal, "O", Vector(20, 10), PASSABLE);
    other->setBox(Box(Vector(-1.5f, -1), 3, 2));
    Probe* mover = new Probe(journal, "M", Vector(0, 0), PASSABLE);
    mover->setBox(Box(Vector(0, 0), 1, 1));
    for (const Case& c : cases) {
        mover->Object::setPosition(Vector(0, 0));
        journal.clear();
        world.moveObject(mover, c.where);
        EXPECT_EQ(only(journal, "hit").size(), c.hit ? 2u : 0u) << c.what;
    }
}

TEST_F(Collision, PointObjectsCollideOnlyWhereTheyStand)
{
    Probe* mover = new Probe(journal, "M", Vector(0, 0), PASSABLE);
    Probe* other = new Probe(journal, "O", Vector(3, 3), PASSABLE);
    world.moveObject(mover, Vector(3.01f, 3));
    EXPECT_TRUE(only(journal, "hit").empty());
    world.moveObject(mover, Vector(3, 3));
    EXPECT_EQ(only(journal, "hit").size(), 2u);
    // The stationary object looks for nothing itself.
    journal.clear();
    world.update();
    EXPECT_TRUE(journal.empty());
    (void)other;
}

TEST_F(Collision, SolidnessIsReadAfterTheHandlersRan)
{
    struct Case {
        const char* what;
        bool moverGivesWay;  // the mover becomes NONSOLID on its first contact
        bool firstGivesWay;  // the first wall becomes PASSABLE when hit
        bool secondGivesWay; // the second wall becomes PASSABLE when hit
        bool moves;
    };
    const Case cases[] = {
        {"nobody gives way", false, false, false, false},
        {"the mover gives way", true, false, false, true},
        {"both walls give way", false, true, true, true},
        {"only the first wall gives way", false, true, false, false},
        {"only the second wall gives way", false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.shutDown();
        world.startUp();
        journal.clear();
        Probe* mover = new Probe(journal, "M", Vector(0, 0), BLOCKING);
        Probe* first = new Probe(journal, "W1", Vector(1, 0), BLOCKING);
        Probe* second = new Probe(journal, "W2", Vector(1, 0), BLOCKING);
        if (c.moverGivesWay)
            mover->onEvent = [mover](const Event*) { mover->setSolidness(NONSOLID); };
        if (c.secondGivesWay)
            second->onEvent = [second](const Event*) { second->setSolidness(PASSABLE); };
        // The first wall takes the second out of the world: the second is still told, from
        // the list taken before any handler ran.
        first->onEvent = [&, first](const Event*) {
            world.removeObject(second);
            if (c.firstGivesWay)
                first->setSolidness(PASSABLE);
        };

        EXPECT_EQ(world.moveObject(mover, Vector(1, 0)), c.moves ? 0 : -1);
        EXPECT_EQ(only(journal, "hit"),
                  (Journal{"hit M M>W1 @1,0", "hit W1 M>W1 @1,0", "hit M M>W2 @1,0", "hit W2 M>W2 @1,0"}));
        EXPECT_EQ(mover->getPosition().getX(), c.moves ? 1 : 0);
        world.insertObject(second);
    }
}

TEST_F(Collision, OutEventFollowsPlacementBeyondTheGrid)
{
    ASSERT_EQ(DisplayManager::getInstance().getHorizontal(), 80);
    ASSERT_EQ(DisplayManager::getInstance().getVertical(), 24);
    struct Case {
        Vector where;
        bool out;
    };
    const Case cases[] = {
        {Vector(80, 24), false},    {Vector(0, 0), false},     {Vector(79.9f, 23.9f), false},
        {Vector(80.5f, 10), true},  {Vector(10, 24.5f), true}, {Vector(-0.1f, 10), true},
        {Vector(10, -0.1f), true},  {Vector(81, 10), true},    {Vector(82, 10), true},
        {Vector(80.001f, 24), true},
    };
    Probe* mover = new Probe(journal, "M", Vector(40, 12), PASSABLE);
    Probe* bystander = new Probe(journal, "by", Vector(-50, -50), PASSABLE);
    for (const Case& c : cases) {
        journal.clear();
        EXPECT_EQ(world.moveObject(mover, c.where), 0);
        const std::string at = Probe::at(c.where);
        // The handler already sees the object where it was moved.
        Journal expected{"place M @" + at};
        if (c.out)
            expected.push_back("out M @" + at);
        EXPECT_EQ(journal, expected) << at;
    }
    // Standing outside without moving brings no event.
    journal.clear();
    world.update();
    EXPECT_TRUE(journal.empty());
    (void)bystander;
}

TEST_F(Collision, RefusedMoveMakesNoOutTest)
{
    Probe* mover = new Probe(journal, "M", Vector(79, 5), BLOCKING);
    new Probe(journal, "W", Vector(81, 5), BLOCKING);
    mover->setVelocity(Vector(2, 0));
    world.update();
    world.update();
    EXPECT_EQ(journal, (Journal{"hit M M>W @81,5", "hit W M>W @81,5", "hit M M>W @81,5", "hit W M>W @81,5"}));
    EXPECT_EQ(mover->getPosition().getX(), 79);
}
