// The world's walks while handlers change it (event delivery, deletion, drawing, shutting
// down) and moving with collisions and out events. Probes journal every visit.
#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Probe.h"
#include "ResourceManager.h"

#include <tuple>
#include <type_traits>
#include <utility>

using namespace ks;
using namespace ks::test;
using WorldManagerTest = WorldTest;

// What a game may copy. Values copy; an object is its place in the world (a copy or an
// assignment would put the collision index out of step), a manager is a singleton, and a
// loaded sprite or music belongs to the resource manager.
template <typename... T>
constexpr bool copyable = (... && (std::is_copy_constructible_v<T> && std::is_copy_assignable_v<T>));
template <typename... T>
constexpr bool fixedInPlace = (... && !(std::is_copy_constructible_v<T> || std::is_copy_assignable_v<T> ||
                                        std::is_move_constructible_v<T> || std::is_move_assignable_v<T>));
struct rock : Object
{};
static_assert(copyable<Vector, Box, ObjectList, Frame, Animation, EventStep, EventCollision, EventOut, EventKeyboard,
                       EventMouse>);
static_assert(fixedInPlace<Object, rock, Manager, WorldManager, GameManager, LogManager, DisplayManager, InputManager,
                           ResourceManager, Sprite, Music>);

TEST_F(WorldManagerTest, EventDeliveryWalksACopyAndDeletionFreesEachMarkedObjectOnceInOrder)
{
    Probe* a = new Probe(journal, "A");
    Probe* b = new Probe(journal, "B");
    Probe* c = new Probe(journal, "C");
    Probe* d = new Probe(journal, "D");
    Probe* e = new Probe(journal, "E");
    // A makes a newcomer, told from the next event on; B takes C out and marks it, told this time.
    a->onEvent = [&](const Event*) {
        new Probe(journal, "N");
    };
    b->onEvent = [&](const Event*) {
        world.removeObject(c);
        world.markForDelete(c);
    };
    const EventStep step(7);
    EXPECT_EQ(world.onEvent(&step), 5);
    a->onEvent = b->onEvent = nullptr;
    EXPECT_EQ(world.onEvent(&step), 5);
    EXPECT_EQ(journal, (Journal{"step A 7", "step B 7", "step C 7", "step D 7", "step E 7", "step A 7", "step B 7",
                                "step D 7", "step E 7", "step N 7"}));

    // B's destructor runs after A is freed and marks one new object and one already marked.
    b->onDestroy = [&] {
        world.markForDelete(d);
        world.markForDelete(e);
    };
    for (Probe* p : {a, b, b, e})
        world.markForDelete(p);
    journal.clear();
    world.update();
    EXPECT_EQ(journal, (Journal{"~C", "~A", "~B", "~E", "~D"}));
}

TEST_F(WorldManagerTest, DrawPaintsLayersZeroToThreeAndShutDownDeletesFromACopy)
{
    const std::pair<const char*, int> layers[] = {{"a", 2}, {"b", 0},  {"c", 3}, {"d", 4},
                                                  {"e", 1}, {"f", -1}, {"g", 0}};
    for (const auto& [name, altitude] : layers)
        (new Probe(journal, name))->setAltitude(altitude);
    world.draw();
    EXPECT_EQ(journal, (Journal{"draw b", "draw g", "draw e", "draw a", "draw c"}));

    // Taking an object out or making one while shutting down does not change the walk.
    journal.clear();
    Object* second = world.getAllObjects()[1];
    static_cast<Probe*>(world.getAllObjects()[0])->onDestroy = [&] {
        world.removeObject(second);
        outside.emplace_back(new Probe(journal, "late"));
    };
    world.shutDown();
    EXPECT_EQ(journal, (Journal{"~a", "~b", "~c", "~d", "~e", "~f", "~g"}));
}

TEST_F(WorldManagerTest, SolidnessReadAfterTheHandlersRanDecidesTheMoveAndContactsFollowWorldOrder)
{
    // Solidness of the mover and of both walls, who turns passable when told, told?, gets through?
    const Solidness B = BLOCKING, P = PASSABLE, N = NONSOLID;
    const std::tuple<Solidness, Solidness, std::string, bool, bool> cases[] = {
        {B, B, "", true, false}, {B, B, "M", true, true}, {B, B, "12", true, true}, {B, B, "2", true, false},
        {B, P, "", true, true},  {B, N, "", false, true}, {P, B, "", true, true},   {P, P, "", true, true},
        {P, N, "", false, true}, {N, B, "", false, true}, {N, P, "", false, true},  {N, N, "", false, true}};
    for (const auto& [moverKind, wallKind, yielding, told, moves] : cases)
    {
        fresh();
        Probe* mover = new Probe(journal, "M", Vector(0, 0), moverKind);
        Probe* second = new Probe(journal, "2", Vector(1, 0), wallKind);
        Probe* first = new Probe(journal, "1", Vector(1, 0), wallKind);
        // The second wall was made first, but the world's order decides who is told first.
        world.removeObject(second);
        world.insertObject(second);
        for (Probe* p : {mover, first, second})
            p->onEvent = [&, p, yields = yielding.find(p->name) != std::string::npos](const Event*) {
                if (yields)
                    p->setSolidness(PASSABLE);
                // The first wall takes the second out of the world: the second is still told, from
                // the list taken before any handler ran.
                if (p == first)
                    world.removeObject(outside.emplace_back(second).get());
            };
        EXPECT_EQ(world.moveObject(mover, Vector(1, 0)), moves ? 0 : -1);
        Journal expected;
        if (told)
            expected = {"hit M M>1 @1,0", "hit 1 M>1 @1,0", "hit M M>2 @1,0", "hit 2 M>2 @1,0"};
        if (moves)
            expected.push_back("place M @1,0");
        EXPECT_EQ(journal, expected) << moverKind << " onto " << wallKind << ", yielding " << yielding;
    }
}

TEST_F(WorldManagerTest, TouchingBoxesCollideAndOutEventsGoToTheMoverAfterPlacementBeyondTheGrid)
{
    // A 3 x 2 box centred at (20, 10) covers x 18.5..21.5, y 9..11; the mover's box is 1 x 1.
    (new Probe(journal, "O", Vector(20, 10), PASSABLE))->setBox(Box(Vector(-1.5f, -1), 3, 2));
    new Probe(journal, "still outside", Vector(-50, -50), PASSABLE);
    Probe* mover = new Probe(journal, "M", Vector(40, 12), PASSABLE);
    mover->setBox(Box(Vector(0, 0), 1, 1));
    // Where to, then 'h' for a collision, 'o' for an out event, '-' for neither.
    const std::pair<Vector, char> moves[] = {
        {Vector(17.5f, 9.5f), 'h'}, {Vector(17.49f, 9.5f), '-'}, {Vector(19, 8), 'h'},     {Vector(19, 7.99f), '-'},
        {Vector(21.5f, 11), 'h'},   {Vector(21.51f, 11), '-'},   {Vector(80, 24), '-'},    {Vector(0, 0), '-'},
        {Vector(80.5f, 10), 'o'},   {Vector(10, 24.5f), 'o'},    {Vector(-0.1f, 10), 'o'}, {Vector(10, -0.1f), 'o'},
        {Vector(82, 10), 'o'},
    };
    for (const auto& [where, what] : moves)
    {
        journal.clear();
        world.moveObject(mover, where);
        Journal expected{"place M @" + at(where)};
        if (what == 'h')
            expected.insert(expected.begin(), {"hit M M>O @" + at(where), "hit O M>O @" + at(where)});
        if (what == 'o')
            expected.push_back("out M @" + at(where));
        EXPECT_EQ(journal, expected);
    }
}
