// The world's walks while handlers change it (event delivery, movement, deletion, drawing,
// shutting down) and moving with collisions and out events. Probes journal every visit.
#include "Probe.h"
#include "WorldManager.h"

#include <gtest/gtest.h>

using namespace ks;
using ks::test::at;
using ks::test::Journal;
using ks::test::only;
using ks::test::Probe;

namespace {

class World : public ::testing::Test
{
protected:
    void SetUp() override
    {
        world.startUp();
    }
    void TearDown() override
    {
        world.shutDown();
        // Objects a test took out of the world are its own to free.
        for (Object* o : outside)
            delete o;
    }

    // Restarts the world for the next case of a table.
    void fresh()
    {
        world.shutDown();
        world.startUp();
        journal.clear();
    }

    WorldManager& world = WorldManager::getInstance();
    Journal journal;
    std::vector<Object*> outside;
};

std::string namesInWorld()
{
    std::string names;
    const ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
        names += static_cast<Probe*>(all[i])->name;
    return names;
}

} // namespace

TEST_F(World, EventDeliveryWalksACopyOfTheWorld)
{
    Probe* a = new Probe(journal, "A");
    Probe* b = new Probe(journal, "B");
    Probe* c = new Probe(journal, "C");
    // A makes a newcomer, B takes C out and marks it: the newcomer waits for the next event,
    // C still gets this one.
    a->onEvent = [&](const Event*) {
        new Probe(journal, "D");
    };
    b->onEvent = [&](const Event*) {
        world.removeObject(c);
        world.markForDelete(c);
    };
    const EventStep step(7);
    EXPECT_EQ(world.onEvent(&step), 3);
    EXPECT_EQ(journal, (Journal{"step A 7", "step B 7", "step C 7"}));
    EXPECT_EQ(namesInWorld(), "ABD");
    world.update();
    EXPECT_EQ(journal.back(), "~C");
}

TEST_F(World, MovementPassWalksTheLiveList)
{
    const struct
    {
        const char* what;
        int actor;                // whose out event handler acts, once
        std::vector<int> victims; // whom it takes out of the world
        bool creates;             // whether it makes a moving newcomer
        const char* moved;
    } cases[] = {
        {"removing itself skips the next", 0, {0}, false, "ACDE"},
        {"removing one above skips none", 0, {3}, false, "ABCE"},
        {"removing one below skips the next", 2, {0}, false, "ABCE"},
        {"each removal below skips one", 2, {0, 1}, false, "ABC"},
        {"a newcomer moves in the same pass", 1, {}, true, "ABCDEN"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        fresh();
        // Left of the grid and moving further left, so every move ends in an out event.
        std::vector<Probe*> p;
        for (const char* name : {"A", "B", "C", "D", "E"})
        {
            p.push_back(new Probe(journal, name, Vector(-1, 5)));
            p.back()->setVelocity(Vector(-1, 0));
        }
        bool acted = false;
        p[c.actor]->onEvent = [&](const Event*) {
            if (acted)
                return;
            acted = true;
            for (int v : c.victims)
            {
                world.removeObject(p[v]);
                outside.push_back(p[v]);
            }
            if (c.creates)
                (new Probe(journal, "N", Vector(-1, 5)))->setVelocity(Vector(0, 1));
        };
        world.update();
        std::string moved;
        for (const std::string& entry : only(journal, "out"))
            moved += entry[4];
        EXPECT_EQ(moved, c.moved);
    }
}

TEST_F(World, DeletionPassDeletesEachMarkedObjectOnceInMarkingOrder)
{
    Probe* a = new Probe(journal, "A");
    Probe* b = new Probe(journal, "B");
    Probe* c = new Probe(journal, "C");
    Probe* d = new Probe(journal, "D");
    Probe* e = new Probe(journal, "E");
    new Probe(journal, "F");
    // B's destructor runs after A is freed and marks one new object and one already marked.
    b->onDestroy = [&] {
        world.markForDelete(d);
        world.markForDelete(e);
    };
    for (Probe* p : {a, b, b, c, e})
        world.markForDelete(p);
    world.removeObject(c);
    world.update();
    EXPECT_EQ(journal, (Journal{"~A", "~B", "~C", "~E", "~D"}));
    EXPECT_EQ(namesInWorld(), "F");
    journal.clear();
    world.update();
    EXPECT_TRUE(journal.empty());
}

TEST_F(World, MarkedObjectStillCollidesUntilTheDeletionPass)
{
    Probe* first = new Probe(journal, "1", Vector(4, 5), PASSABLE);
    Probe* wall = new Probe(journal, "W", Vector(5, 5), PASSABLE);
    Probe* second = new Probe(journal, "2", Vector(5, 6), PASSABLE);
    first->setVelocity(Vector(1, 0));
    second->setVelocity(Vector(0, -1));
    first->onEvent = [&](const Event*) {
        world.markForDelete(wall);
    };
    world.update();
    EXPECT_EQ(journal, (Journal{"hit 1 1>W @5,5", "hit W 1>W @5,5", "place 1 @5,5", "hit 2 2>1 @5,5", "hit 1 2>1 @5,5",
                                "hit 2 2>W @5,5", "hit W 2>W @5,5", "place 2 @5,5", "~W"}));
    EXPECT_EQ(namesInWorld(), "12");
}

TEST_F(World, DrawPaintsLayersZeroToThreeAndShutDownDeletesFromACopy)
{
    const std::pair<const char*, int> layers[] = {{"a", 2}, {"b", 0},  {"c", 3}, {"d", 4},
                                                  {"e", 1}, {"f", -1}, {"g", 0}};
    for (const auto& [name, altitude] : layers)
        (new Probe(journal, name))->setAltitude(altitude);
    world.draw();
    EXPECT_EQ(journal, (Journal{"draw b", "draw g", "draw e", "draw a", "draw c"}));

    // Taking an object out or making one while shutting down does not change the walk.
    journal.clear();
    auto* first = static_cast<Probe*>(world.getAllObjects()[0]);
    Object* second = world.getAllObjects()[1];
    first->onDestroy = [&] {
        world.removeObject(second);
        outside.push_back(new Probe(journal, "late"));
    };
    world.shutDown();
    EXPECT_EQ(journal, (Journal{"~a", "~b", "~c", "~d", "~e", "~f", "~g"}));
    EXPECT_EQ(world.getAllObjects().getCount(), 0);
}

TEST_F(World, ObjectsOfTypeMatchesWholeNamesInWorldOrder)
{
    for (const char* type : {"zombie", "Zombie", "zombies", "zomb", "zombie"})
        (new Probe(journal, type))->setType(type);
    const ObjectList zombies = world.objectsOfType("zombie");
    ASSERT_EQ(zombies.getCount(), 2);
    EXPECT_EQ(zombies[1], world.getAllObjects()[4]);
    EXPECT_TRUE(world.objectsOfType("bullet").isEmpty());
}

TEST_F(World, SolidnessOfMoverAndOtherDecidesEventsAndMove)
{
    const struct
    {
        Solidness mover, other;
        bool events, moves;
    } cases[] = {
        {BLOCKING, BLOCKING, true, false}, {BLOCKING, PASSABLE, true, true},  {BLOCKING, NONSOLID, false, true},
        {PASSABLE, BLOCKING, true, true},  {PASSABLE, PASSABLE, true, true},  {PASSABLE, NONSOLID, false, true},
        {NONSOLID, BLOCKING, false, true}, {NONSOLID, PASSABLE, false, true}, {NONSOLID, NONSOLID, false, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.mover) + " onto " + std::to_string(c.other));
        fresh();
        Probe* mover = new Probe(journal, "M", Vector(10, 10), c.mover);
        new Probe(journal, "O", Vector(12, 10), c.other);
        mover->setVelocity(Vector(2, 0));
        world.update();
        Journal expected;
        if (c.events)
            expected = {"hit M M>O @12,10", "hit O M>O @12,10"};
        expected.push_back("place M @12,10");
        if (!c.moves)
            expected.pop_back();
        EXPECT_EQ(journal, expected);
        EXPECT_EQ(at(mover->getVelocity()), "2,0");
    }
}

TEST_F(World, ContactsAreToldInWorldOrderAndTouchingBoxesCollide)
{
    Probe* mover = new Probe(journal, "M", Vector(0, 0), BLOCKING);
    Probe* wall = new Probe(journal, "B", Vector(5, 5), BLOCKING);
    new Probe(journal, "P", Vector(5, 5), PASSABLE);
    new Probe(journal, "N", Vector(5, 5), NONSOLID);
    // Put the wall last: the order follows the world, not creation.
    world.removeObject(wall);
    world.insertObject(wall);
    EXPECT_EQ(world.moveObject(mover, Vector(5, 5)), -1);
    EXPECT_EQ(journal, (Journal{"hit M M>P @5,5", "hit P M>P @5,5", "hit M M>B @5,5", "hit B M>B @5,5"}));

    // A 3 x 2 box centred at (20, 10) covers x 18.5..21.5, y 9..11; the mover's box is 1 x 1.
    fresh();
    (new Probe(journal, "O", Vector(20, 10), PASSABLE))->setBox(Box(Vector(-1.5f, -1), 3, 2));
    mover = new Probe(journal, "M", Vector(0, 0), PASSABLE);
    mover->setBox(Box(Vector(0, 0), 1, 1));
    const std::pair<Vector, bool> moves[] = {
        {Vector(17.5f, 9.5f), true}, {Vector(17.49f, 9.5f), false}, {Vector(21.5f, 10), true},   {Vector(19, 8), true},
        {Vector(19, 7.99f), false},  {Vector(21.5f, 11), true},     {Vector(21.51f, 11), false},
    };
    for (const auto& [where, hit] : moves)
    {
        journal.clear();
        world.moveObject(mover, where);
        EXPECT_EQ(only(journal, "hit").size(), hit ? 2u : 0u) << at(where);
    }
}

TEST_F(World, SolidnessIsReadAfterTheHandlersRan)
{
    const struct
    {
        const char* what;
        bool moverYields, firstYields, secondYields, moves;
    } cases[] = {
        {"nobody yields", false, false, false, false},
        {"the mover yields", true, false, false, true},
        {"both walls yield", false, true, true, true},
        {"only the second wall yields", false, false, true, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        fresh();
        Probe* mover = new Probe(journal, "M", Vector(0, 0), BLOCKING);
        Probe* first = new Probe(journal, "1", Vector(1, 0), BLOCKING);
        Probe* second = new Probe(journal, "2", Vector(1, 0), BLOCKING);
        mover->onEvent = [&](const Event*) {
            mover->setSolidness(c.moverYields ? NONSOLID : BLOCKING);
        };
        second->onEvent = [&](const Event*) {
            second->setSolidness(c.secondYields ? PASSABLE : BLOCKING);
        };
        // The first wall takes the second out of the world: the second is still told, from
        // the list taken before any handler ran.
        first->onEvent = [&](const Event*) {
            world.removeObject(second);
            first->setSolidness(c.firstYields ? PASSABLE : BLOCKING);
        };
        EXPECT_EQ(world.moveObject(mover, Vector(1, 0)), c.moves ? 0 : -1);
        EXPECT_EQ(only(journal, "hit"),
                  (Journal{"hit M M>1 @1,0", "hit 1 M>1 @1,0", "hit M M>2 @1,0", "hit 2 M>2 @1,0"}));
        world.insertObject(second);
    }
}

TEST_F(World, OutEventGoesToTheMoverAfterPlacementBeyondTheGrid)
{
    Probe* mover = new Probe(journal, "M", Vector(40, 12), PASSABLE);
    new Probe(journal, "still outside", Vector(-50, -50), PASSABLE);
    const std::pair<Vector, bool> moves[] = {
        {Vector(80, 24), false},   {Vector(0, 0), false},     {Vector(80.5f, 10), true}, {Vector(10, 24.5f), true},
        {Vector(-0.1f, 10), true}, {Vector(10, -0.1f), true}, {Vector(81, 10), true},    {Vector(82, 10), true},
    };
    for (const auto& [where, out] : moves)
    {
        journal.clear();
        world.moveObject(mover, where);
        Journal expected{"place M @" + at(where)};
        if (out)
            expected.push_back("out M @" + at(where));
        EXPECT_EQ(journal, expected);
    }
    // Standing outside without moving brings nothing, nor does a refused move.
    journal.clear();
    mover->setSolidness(BLOCKING);
    mover->setVelocity(Vector(0, 1));
    new Probe(journal, "W", Vector(82, 11), BLOCKING);
    world.update();
    EXPECT_EQ(journal, (Journal{"hit M M>W @82,11", "hit W M>W @82,11"}));
}
