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

#include <cmath>
#include <functional>
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

// A world of its own, 300 x 100 cells from (-10, 5): out events at its edges, as strict as the
// grid's; the grid's edges no longer count.
TEST_F(WorldManagerTest, OutEventsComeAtTheBoundsEdges)
{
    ASSERT_EQ(world.setBounds(Box(Vector(-10, 5), 300, 100)), 0);
    Probe* mover = new Probe(journal, "M", Vector(0, 10));
    const std::pair<Vector, bool> moves[] = {
        {Vector(-10, 5), false},     {Vector(290, 105), false},   {Vector(81, 25), false},
        {Vector(-10.01f, 50), true}, {Vector(290.01f, 50), true}, {Vector(50, 4.99f), true},
        {Vector(50, 105.01f), true}, {Vector(0, 0), true},
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
}

// The view keeps inside the bounds at every edge and corner; a view larger than the world
// shows it from its corner.
TEST_F(WorldManagerTest, ViewStaysInsideTheBounds)
{
    ASSERT_EQ(world.setBounds(Box(Vector(0, 0), 400, 120)), 0);
    // Asked corner, then the corner kept.
    const std::pair<Vector, Vector> corners[] = {
        {Vector(100, 50), Vector(100, 50)}, {Vector(-5, 50), Vector(0, 50)},    {Vector(500, 50), Vector(320, 50)},
        {Vector(100, -1), Vector(100, 0)},  {Vector(100, 97), Vector(100, 96)}, {Vector(-9, -9), Vector(0, 0)},
        {Vector(999, -9), Vector(320, 0)},  {Vector(-9, 999), Vector(0, 96)},   {Vector(999, 999), Vector(320, 96)},
    };
    for (const auto& [asked, kept] : corners)
    {
        ASSERT_EQ(world.setView(Box(asked, 80, 24)), 0);
        EXPECT_EQ(at(world.getView().getCorner()), at(kept)) << "asked " << at(asked);
        EXPECT_EQ(world.getView().getHorizontal(), 80);
    }
    // A smaller world: the view is cut to it and starts at its corner.
    ASSERT_EQ(world.setBounds(Box(Vector(3, 4), 40, 10)), 0);
    const Box small = world.getView();
    EXPECT_EQ(at(small.getCorner()) + " " + at(Vector(small.getHorizontal(), small.getVertical())), "3,4 40,10");
}

// The view follows only when the object leaves the slack region around its centre, by whole
// cells, after the movement pass, and never past the bounds.
TEST_F(WorldManagerTest, FollowingMovesTheViewOutOfTheSlackAfterTheMovementPass)
{
    ASSERT_EQ(world.setBounds(Box(Vector(0, 0), 400, 120)), 0);
    ASSERT_EQ(world.setView(Box(Vector(100, 50), 80, 24)), 0);
    Probe* hero = new Probe(journal, "H", Vector(140, 62));
    ASSERT_EQ(world.setViewFollowing(hero), 0);
    EXPECT_EQ(at(world.getViewSlack()), "40,12"); // half the view: x 120..160, y 56..68
    // Position after the move, velocity, view corner after the update.
    const std::tuple<Vector, Vector, Vector> steps[] = {
        {Vector(159, 67), Vector(0, 0), Vector(100, 50)},     {Vector(160, 68), Vector(1, 1), Vector(101, 51)},
        {Vector(130, 60), Vector(-9.4f, 0), Vector(101, 51)}, {Vector(110.6f, 60), Vector(0, 0), Vector(91, 51)},
        {Vector(5, 3), Vector(0, 0), Vector(0, 0)},           {Vector(399, 119), Vector(0, 0), Vector(320, 96)},
    };
    for (const auto& [place, velocity, corner] : steps)
    {
        hero->setPosition(place);
        hero->setVelocity(velocity);
        world.update();
        EXPECT_EQ(at(world.getView().getCorner()), at(corner)) << "at " << at(hero->getPosition());
    }
    ASSERT_EQ(world.setViewSlack(0, 0), 0);
    hero->setPosition(Vector(200, 60));
    world.update();
    EXPECT_EQ(at(world.getView().getCorner()), "160,48");
    // An object that leaves the world is no longer followed.
    world.removeObject(outside.emplace_back(hero).get());
    EXPECT_EQ(world.getViewFollowing(), nullptr);
}

// Window pixels to world cells through the view, and back.
TEST_F(WorldManagerTest, PointerPixelsConvertThroughTheView)
{
    ASSERT_EQ(world.setBounds(Box(Vector(-50, 0), 400, 120)), 0);
    // View corner, pixels, world cells.
    const std::tuple<Vector, Vector, Vector> cases[] = {
        {Vector(-50, 0), Vector(0, 0), Vector(-50, 0)},
        {Vector(100, 50), Vector(126, 96), Vector(110.5f, 53)},
        {Vector(100, 50), Vector(1023, 767), Vector(185.25f, 73.96875f)},
        {Vector(270, 96), Vector(-12, -16), Vector(269, 95.5f)},
    };
    for (const auto& [corner, pixels, cells] : cases)
    {
        ASSERT_EQ(world.setView(Box(corner, 80, 24)), 0);
        EXPECT_EQ(at(world.pixelsToWorld(pixels)), at(cells));
        EXPECT_EQ(at(world.worldToPixels(cells)), at(pixels));
    }
    // At another scale the display's own conversion carries the view's corner along.
    DisplayManager& display = DisplayManager::getInstance();
    ASSERT_EQ(display.setScale(2), 0);
    ASSERT_EQ(world.setView(Box(Vector(100, 50), 80, 24)), 0);
    const Vector cell = display.pixelsToSpaces(Vector(252, 192));
    EXPECT_EQ(at(cell), "10.5,3");
    EXPECT_EQ(at(world.pixelsToWorld(Vector(252, 192))), "110.5,53");
    EXPECT_EQ(at(world.worldToPixels(Vector(110.5f, 53))), "252,192");
    display.setScale(1);
}

// Each bad value: a log line naming it, -1, and the default in its place; nothing breaks.
TEST_F(WorldManagerTest, BadWorldSettingsAreLoggedAndGiveTheDefault)
{
    LogManager::getInstance().startUp();
    const float NaN = std::nanf("");
    Probe* stray = new Probe(journal, "S");
    world.removeObject(outside.emplace_back(stray).get());
    struct Case
    {
        std::function<int()> set;
        std::string logged, bounds, view, slack;
    };
    const Case cases[] = {
        {[&] {
             return world.setBounds(Box(Vector(0, 0), -400, 120));
         },
         "WorldManager::setBounds: bounds at (0, 0) of -400 x 120", "0,0 80,24", "0,0 80,24", ""},
        {[&] {
             return world.setBounds(Box(Vector(NaN, 0), 400, 120));
         },
         "WorldManager::setBounds: bounds at (nan, 0)", "0,0 80,24", "0,0 80,24", ""},
        {[&] {
             return world.setView(Box(Vector(0, 0), 80, -24));
         },
         "WorldManager::setView: a view of 80 x -24", "0,0 400,120", "0,0 80,24", ""},
        {[&] {
             return world.setView(Box(Vector(0, 0), 500, 24));
         },
         "WorldManager::setView: a view of 500 x 24 is larger", "0,0 400,120", "0,0 400,24", ""},
        {[&] {
             return world.setView(Box(Vector(NaN, 9), 80, 24));
         },
         "WorldManager::setView: the corner (nan, 9)", "0,0 400,120", "0,0 80,24", ""},
        {[&] {
             return world.setViewSlack(-1, 5);
         },
         "WorldManager::setViewSlack: -1 x 5", "0,0 400,120", "0,0 80,24", "40,12"},
        {[&] {
             return world.setViewSlack(81, 5);
         },
         "WorldManager::setViewSlack: 81 x 5", "0,0 400,120", "0,0 80,24", "40,12"},
        {[&] {
             return world.setViewFollowing(stray);
         },
         "WorldManager::setViewFollowing: object", "0,0 400,120", "0,0 80,24", ""},
    };
    for (const Case& c : cases)
    {
        fresh();
        world.setViewSlack(10, 10);
        if (c.bounds != "0,0 80,24")
            world.setBounds(Box(Vector(0, 0), 400, 120));
        world.setView(Box(Vector(0, 0), 80, 24));
        const size_t before = logMessages().size();
        EXPECT_EQ(c.set(), -1) << c.logged;
        const std::vector<std::string> log = logMessages();
        ASSERT_EQ(log.size(), before + 1) << c.logged;
        EXPECT_EQ(log.back().rfind(c.logged, 0), 0u) << log.back();
        const Box b = world.getBounds(), v = world.getView();
        EXPECT_EQ(at(b.getCorner()) + " " + at(Vector(b.getHorizontal(), b.getVertical())), c.bounds) << c.logged;
        EXPECT_EQ(at(v.getCorner()) + " " + at(Vector(v.getHorizontal(), v.getVertical())), c.view) << c.logged;
        if (!c.slack.empty())
        {
            EXPECT_EQ(at(world.getViewSlack()), c.slack);
        }
        EXPECT_EQ(world.getViewFollowing(), nullptr);
    }
}

// A game may raise the world's capacity before it starts; a bad one is logged and the world
// holds MAX_OBJECTS.
TEST_F(WorldManagerTest, RaisedCapacityHoldsMoreObjectsAndBadOnesGiveTheDefault)
{
    LogManager::getInstance().startUp();
    // Asked, then held, and whether a line is logged.
    const std::tuple<int, int, bool> capacities[] = {
        {MAX_OBJECTS, MAX_OBJECTS, false},
        {2500, 2500, false},
        {-3, MAX_OBJECTS, true},
        {MAX_OBJECTS - 1, MAX_OBJECTS, true},
        {MAX_WORLD_CAPACITY + 1, MAX_OBJECTS, true},
    };
    for (const auto& [asked, held, logged] : capacities)
    {
        world.shutDown();
        world.setCapacity(asked);
        const size_t before = logMessages().size();
        world.startUp();
        EXPECT_EQ(world.getCapacity(), held);
        EXPECT_EQ(logMessages().size(), before + (logged ? 1 : 0)) << asked;
        for (int i = 0; i < held; i++)
            new Probe(journal, "p", Vector(static_cast<float>(i % 80), 3), PASSABLE);
        // One more is lost, as in a full world of the usual size.
        outside.emplace_back(new Probe(journal, "lost"));
        EXPECT_EQ(world.getAllObjects().getCount(), held);
        EXPECT_EQ(world.objectsOfType("").getCount(), held);
        // Every 80th stands on the first one's cell.
        EXPECT_EQ(world.getCollisions(world.getAllObjects()[0], Vector(0, 3)).getCount(), (held + 79) / 80 - 1);
    }
    world.shutDown();
    world.setCapacity(MAX_OBJECTS);
    world.startUp();
}
