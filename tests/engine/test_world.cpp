// The world's walks while handlers change it: event delivery, the movement pass, the
// deletion pass, drawing by layer and shutting down. Probes journal every visit.
#include "Probe.h"
#include "WorldManager.h"

#include <gtest/gtest.h>

#include <limits>

using namespace ks;
using ks::test::Journal;
using ks::test::only;
using ks::test::Probe;

namespace {

class Walks : public ::testing::Test
{
protected:
    void SetUp() override { world.startUp(); }
    void TearDown() override
    {
        world.shutDown();
        // Objects a test took out of the world are its own to free.
        for (Object* o : outside)
            delete o;
    }

    // Probes far left of the grid, each moving one cell further left per step, so that
    // every move ends in an out event whose handler a test can use.
    std::vector<Probe*> leftMovers(std::initializer_list<const char*> names)
    {
        std::vector<Probe*> made;
        float x = -10;
        for (const char* name : names) {
            Probe* p = new Probe(journal, name, Vector(x, 5));
            p->setVelocity(Vector(-1, 0));
            made.push_back(p);
            x -= 1;
        }
        return made;
    }

    WorldManager& world = WorldManager::getInstance();
    Journal journal;
    std::vector<Object*> outside;
};

std::vector<std::string> namesInWorld()
{
    std::vector<std::string> names;
    const ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
        names.push_back(static_cast<Probe*>(all[i])->name);
    return names;
}

} // namespace

TEST_F(Walks, EventDeliveryWalksACopyOfTheWorld)
{
    const Event nothing;
    EXPECT_EQ(world.onEvent(&nothing), 0);

    Probe* a = new Probe(journal, "A");
    Probe* b = new Probe(journal, "B");
    Probe* c = new Probe(journal, "C");
    // A makes a newcomer, B takes C out of the world and marks it: the newcomer waits for
    // the next event, C still gets this one.
    bool fired = false;
    a->onEvent = [&](const Event*) {
        if (!fired)
            new Probe(journal, "D");
    };
    b->onEvent = [&](const Event*) {
        if (!fired) {
            world.removeObject(c);
            world.markForDelete(c);
        }
        fired = true;
    };

    const EventStep step(7);
    EXPECT_EQ(world.onEvent(&step), 3);
    EXPECT_EQ(only(journal, "step"), (Journal{"step A 7", "step B 7", "step C 7"}));
    EXPECT_EQ(namesInWorld(), (std::vector<std::string>{"A", "B", "D"}));

    journal.clear();
    world.update();
    EXPECT_EQ(only(journal, "~"), Journal{"~C"});
    EXPECT_EQ(world.onEvent(&step), 3);
}

TEST_F(Walks, RemovalDuringMovementSkipsTheObjectThatMovesDown)
{
    struct Case {
        const char* what;
        int actor;                 // whose out handler removes
        std::vector<int> victims;  // whom it removes from the world
        Journal placed;            // the moves of this pass, in order
    };
    const Case cases[] = {
        {"itself", 0, {0}, {"place A @-11,5", "place C @-13,5", "place D @-14,5", "place E @-15,5"}},
        {"one above", 0, {3}, {"place A @-11,5", "place B @-12,5", "place C @-13,5", "place E @-15,5"}},
        {"one below", 2, {0}, {"place A @-11,5", "place B @-12,5", "place C @-13,5", "place E @-15,5"}},
        {"two below", 2, {0, 1}, {"place A @-11,5", "place B @-12,5", "place C @-13,5"}},
        {"the last one", 3, {4}, {"place A @-11,5", "place B @-12,5", "place C @-13,5", "place D @-14,5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.shutDown();
        world.startUp();
        journal.clear();
        std::vector<Probe*> p = leftMovers({"A", "B", "C", "D", "E"});
        bool fired = false;
        p[c.actor]->onEvent = [&](const Event*) {
            for (int v : c.victims) {
                if (!fired) {
                    world.removeObject(p[v]);
                    outside.push_back(p[v]);
                }
            }
            fired = true;
        };
        world.update();
        EXPECT_EQ(only(journal, "place"), c.placed);
        // A skipped object simply moves in the next pass.
        journal.clear();
        world.update();
        EXPECT_EQ(only(journal, "place").size(), 5 - c.victims.size());
    }
}

TEST_F(Walks, ObjectMadeDuringMovementMovesInTheSamePass)
{
    std::vector<Probe*> p = leftMovers({"A", "B"});
    bool fired = false;
    p[0]->onEvent = [&](const Event*) {
        if (fired)
            return;
        Probe* n = new Probe(journal, "N", Vector(-30, 5));
        n->setVelocity(Vector(0, -2));
        fired = true;
    };
    world.update();
    EXPECT_EQ(only(journal, "place"), (Journal{"place A @-11,5", "place B @-12,5", "place N @-30,3"}));
    EXPECT_EQ(only(journal, "out"), (Journal{"out A @-11,5", "out B @-12,5", "out N @-30,3"}));
}

TEST_F(Walks, MarkedObjectCollidesUntilTheDeletionPass)
{
    Probe* first = new Probe(journal, "M1", Vector(4, 5), PASSABLE);
    Probe* wall = new Probe(journal, "W", Vector(5, 5), PASSABLE);
    Probe* second = new Probe(journal, "M2", Vector(5, 4), PASSABLE);
    first->setVelocity(Vector(1, 0));
    second->setVelocity(Vector(0, 1));
    first->onEvent = [&](const Event*) { world.markForDelete(wall); };

    world.update();
    EXPECT_EQ(journal, (Journal{"hit M1 M1>W @5,5", "hit W M1>W @5,5", "place M1 @5,5", "hit M2 M2>M1 @5,5",
                                "hit M1 M2>M1 @5,5", "hit M2 M2>W @5,5", "hit W M2>W @5,5", "place M2 @5,5",
                                "~W"}));
    EXPECT_EQ(namesInWorld(), (std::vector<std::string>{"M1", "M2"}));
}

TEST_F(Walks, DeletionPassDeletesEachMarkedObjectOnceInMarkingOrder)
{
    Probe* a = new Probe(journal, "A");
    Probe* b = new Probe(journal, "B");
    Probe* c = new Probe(journal, "C");
    Probe* d = new Probe(journal, "D");
    Probe* e = new Probe(journal, "E");
    new Probe(journal, "F");
    // B's destructor runs after A is freed: it marks one new object (D) and one already
    // marked (E) while the pass is under way.
    b->onDestroy = [&] {
        world.markForDelete(d);
        world.markForDelete(e);
    };
    world.markForDelete(a);
    world.markForDelete(b);
    world.markForDelete(b);
    world.removeObject(c);
    world.markForDelete(c);
    world.markForDelete(e);

    world.update();
    EXPECT_EQ(only(journal, "~"), (Journal{"~A", "~B", "~C", "~E", "~D"}));
    EXPECT_EQ(namesInWorld(), std::vector<std::string>{"F"});

    // The list of marks starts empty for the next pass.
    journal.clear();
    world.update();
    EXPECT_TRUE(only(journal, "~").empty());
}

TEST_F(Walks, OnlyObjectsThatWouldChangePlaceAreMoved)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        Vector direction;
        float speed;
        bool moves;
    };
    // All stand outside the grid, so a move would bring an out event too.
    const Case cases[] = {
        {"still", Vector(1, 0), 0, false},
        {"no direction", Vector(0, 0), 3, false},
        {"tiny step", Vector(0, 1), 1e-3f, true},
        {"NaN direction", Vector(nan, 0), 1, true},
    };
    for (const Case& c : cases) {
        Probe* p = new Probe(journal, c.name, Vector(-5, -5));
        p->setDirection(c.direction);
        p->setSpeed(c.speed);
    }
    world.update();
    EXPECT_EQ(only(journal, "out"), (Journal{"out tiny step @-5,-4.999", "out NaN direction @nan,-5"}));
}

TEST_F(Walks, DrawPaintsLayersZeroToThreeInListOrder)
{
    const int altitudes[] = {2, 0, 3, 4, 1, -1, 0, 3};
    const char* names[] = {"a2", "b0", "c3", "d4", "e1", "f-1", "g0", "h3"};
    for (int i = 0; i < 8; i++)
        (new Probe(journal, names[i]))->setAltitude(altitudes[i]);
    world.draw();
    EXPECT_EQ(journal, (Journal{"draw b0", "draw g0", "draw e1", "draw a2", "draw c3", "draw h3"}));
}

TEST_F(Walks, ShutDownDeletesEveryObjectOnceFromACopy)
{
    Probe* a = new Probe(journal, "A");
    Probe* b = new Probe(journal, "B");
    new Probe(journal, "C");
    Probe* late = nullptr;
    // Taking B out or making a newcomer during shutDown changes nothing about the walk.
    a->onDestroy = [&] {
        world.removeObject(b);
        late = new Probe(journal, "late");
    };
    world.shutDown();
    EXPECT_EQ(journal, (Journal{"~A", "~B", "~C"}));
    EXPECT_EQ(world.getAllObjects().getCount(), 0);
    EXPECT_FALSE(world.isStarted());
    ASSERT_NE(late, nullptr);
    outside.push_back(late);
}

TEST_F(Walks, StartUpForgetsObjectsMadeBeforeIt)
{
    Probe* early = new Probe(journal, "early");
    early->setVelocity(Vector(-1, 0));
    world.markForDelete(early);
    world.startUp();
    EXPECT_EQ(world.getAllObjects().getCount(), 0);
    world.update();
    world.draw();
    EXPECT_TRUE(journal.empty());
    outside.push_back(early);
}

TEST_F(Walks, ObjectsOfTypeMatchesWholeNamesInWorldOrder)
{
    const char* types[] = {"zombie", "Zombie", "zombies", "player", "zombie", "zomb"};
    std::vector<Object*> made;
    for (const char* type : types) {
        made.push_back(new Object);
        made.back()->setType(type);
    }
    const ObjectList zombies = world.objectsOfType("zombie");
    ASSERT_EQ(zombies.getCount(), 2);
    EXPECT_EQ(zombies[0], made[0]);
    EXPECT_EQ(zombies[1], made[4]);
    EXPECT_TRUE(world.objectsOfType("bullet").isEmpty());
    EXPECT_TRUE(world.objectsOfType("").isEmpty());
}
