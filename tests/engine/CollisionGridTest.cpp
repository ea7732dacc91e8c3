// The world's collision index against the plain scan of every object: on random worlds (the
// grid's, and worlds many screens large with most objects far outside the view), whole runs
// of updates (with handlers that add, take out, delete, move, resize and change
// objects) must tell the same events in the same order, and after every update every
// collision list must be the same list in the same order.
#include "LogManager.h"
#include "Probe.h"
#include "ResourceManager.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace ks;
using ks::test::at;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();

// What a run saw: its journal, and any list on which the index and the scan disagreed.
struct Trial
{
    explicit Trial(unsigned seed, float width = 80, float height = 24)
        : random(seed),
          checks(seed + 1000),
          sx(width / 80),
          sy(height / 24)
    {}

    std::mt19937 random;
    std::mt19937 checks; // places to check at, kept apart so checking changes nothing else
    std::vector<std::string> journal;
    std::vector<std::string> disagreements;
    int made = 0;
    bool acting = true; // handlers change the world
    float sx, sy;       // the world's size in screens along each axis

    float uniform(float low, float high)
    {
        return std::uniform_real_distribution<float>(low, high)(random);
    }
    int below(int n)
    {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    }
};

std::string names(const ObjectList& list);

// Compares the index's list with the scan's for p at where, noting any difference.
void crossCheck(Trial& run, const Object* p, Vector where)
{
    const WorldManager& world = WorldManager::getInstance();
    const ObjectList indexed = world.getCollisions(p, where);
    const ObjectList scanned = world.getCollisionsByScan(p, where);
    bool same = indexed.getCount() == scanned.getCount();
    for (int i = 0; same && i < indexed.getCount(); i++)
        same = indexed[i] == scanned[i];
    if (!same)
        run.disagreements.push_back("at " + at(where) + ": index [" + names(indexed) + "] scan [" + names(scanned) +
                                    "]");
}

// A position somewhere in and around the world; now and then on whole cells (so that edges
// touch), far away, or not a number at all.
Vector somewhere(Trial& run)
{
    const int kind = run.below(100);
    if (kind < 15)
        return Vector(static_cast<float>(run.below(static_cast<int>(100 * run.sx)) - 10),
                      static_cast<float>(run.below(static_cast<int>(44 * run.sy)) - 10));
    if (kind < 17)
        return Vector(run.uniform(-1e4f, 1e4f) * run.sx, run.uniform(-1e4f, 1e4f) * run.sy);
    if (kind < 18)
        return Vector(run.below(2) ? NaN : 5.f, run.below(2) ? NaN : 5.f);
    if (kind < 19)
        return Vector(run.below(2) ? -INF : INF, 5.f);
    return Vector(run.uniform(-30, 110 * run.sx), run.uniform(-30, 54 * run.sy));
}

// Mostly sprite-sized boxes; some empty, a few inside out, huge or not a number.
Box someBox(Trial& run)
{
    const float sizes[] = {0, 0.5f, 1, 2, 3, 5, 7.5f};
    float w = sizes[run.below(7)];
    float h = sizes[run.below(7)];
    const int kind = run.below(100);
    if (kind < 4)
        w = -w - 1;
    else if (kind < 6)
        h = 60;
    else if (kind < 8)
        w = 150;
    else if (kind < 9)
        w = NaN;
    return Box(Vector(-std::floor(w / 2), -std::floor(h / 2)), w, h);
}

class Mote : public Object
{
public:
    explicit Mote(Trial& run) : run(run), name("m" + std::to_string(run.made++))
    {
        setType("mote");
        const Solidness kinds[] = {BLOCKING, PASSABLE, PASSABLE, NONSOLID};
        setSolidness(kinds[run.below(4)]);
        setBox(someBox(run));
        setPosition(somewhere(run));
        if (run.below(5) != 0)
            setVelocity(Vector(run.uniform(-1.5f, 1.5f), run.uniform(-1.5f, 1.5f)));
        run.journal.push_back("new " + name);
    }

    ~Mote() override
    {
        run.journal.push_back("~" + name);
    }

    int eventHandler(const Event* e) override
    {
        if (e->getType() == COLLISION_EVENT)
        {
            const auto* c = static_cast<const EventCollision*>(e);
            Mote* first = static_cast<Mote*>(c->getObject1());
            Mote* second = static_cast<Mote*>(c->getObject2());
            run.journal.push_back("hit " + name + " " + first->name + ">" + second->name + " @" + at(c->getPosition()));
            crossCheck(run, first, c->getPosition());
            crossCheck(run, second, second->getPosition());
            if (run.acting)
                act(this == first ? second : first);
        }
        else if (e->getType() == OUT_EVENT)
        {
            run.journal.push_back("out " + name + " @" + at(getPosition()));
            // Far out, come back in somewhere: the world stays crowded.
            const Vector p = getPosition();
            if (run.acting && (std::fabs(p.getX()) > 200 * run.sx || std::fabs(p.getY()) > 200 * run.sy))
                setPosition(somewhere(run));
        }
        return 0;
    }

    Trial& run;
    std::string name;

private:
    // Now and then a handler changes the world under the movement pass.
    void act(Mote* other)
    {
        WorldManager& world = WorldManager::getInstance();
        switch (run.below(24))
        {
        case 0: new Mote(run); break;
        case 1:
            world.removeObject(this);
            world.markForDelete(this);
            break;
        case 2:
            world.removeObject(other);
            world.markForDelete(other);
            break;
        case 3: world.markForDelete(other); break;
        case 4: setSolidness(NONSOLID); break;
        case 5: other->setSolidness(BLOCKING); break;
        case 6: setPosition(somewhere(run)); break;
        case 7: other->setBox(someBox(run)); break;
        case 8: setVelocity(Vector(run.uniform(-2, 2), run.uniform(-2, 2))); break;
        default: break;
        }
    }
};

std::string names(const ObjectList& list)
{
    std::string out;
    for (int i = 0; i < list.getCount(); i++)
        out += (i > 0 ? " " : "") + static_cast<Mote*>(list[i])->name;
    return out;
}

// Every object in the world, at its place and at a random place, through both searches.
void crossCheckWorld(Trial& run)
{
    Trial places(run.checks());
    const ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
    {
        crossCheck(run, all[i], all[i]->getPosition());
        crossCheck(run, all[i], somewhere(places));
    }
}

class CollisionGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        world.startUp();
    }
    void TearDown() override
    {
        world.setCollisionScan(false);
        world.shutDown();
    }

    // A fresh world of n motes made from seed, then updates; the journal of it all. A world
    // larger than the grid holds up to capacity objects.
    Trial play(unsigned seed, int n, int updates, bool byScan, float width = 80, float height = 24,
               int capacity = MAX_OBJECTS)
    {
        world.shutDown();
        world.setCapacity(capacity);
        world.startUp();
        if (width != 80 || height != 24)
            world.setBounds(Box(Vector(0, 0), width, height));
        world.setCollisionScan(byScan);
        Trial run(seed, width, height);
        for (int i = 0; i < n; i++)
            new Mote(run);
        for (int u = 0; u < updates; u++)
        {
            run.journal.push_back("update " + std::to_string(u));
            world.update();
            if (!byScan)
                crossCheckWorld(run);
        }
        // The objects still there, in world order, end the journal; none outlives the run.
        run.journal.push_back("world " + names(world.getAllObjects()));
        world.shutDown();
        world.setCapacity(MAX_OBJECTS);
        world.startUp();
        return run;
    }

    WorldManager& world = WorldManager::getInstance();
};

TEST_F(CollisionGridTest, UpdatesTellTheSameEventsAsTheScan)
{
    // Seed, objects, updates, the world's size and capacity. From seed 9 on the world is ten
    // screens wide and tall, then so large that its squares must grow, then raised past
    // MAX_OBJECTS (lists and index on the heap).
    struct Run
    {
        unsigned seed;
        int objects, updates;
        float width, height;
        int capacity;
    };
    std::vector<Run> runs;
    for (unsigned seed = 1; seed <= 8; seed++)
        runs.push_back({seed, 150 + static_cast<int>(seed) * 40, 40, 80, 24, MAX_OBJECTS});
    runs.push_back({9, 900, 12, 800, 240, MAX_OBJECTS});
    runs.push_back({10, 600, 10, 40000, 12000, MAX_OBJECTS});
    runs.push_back({11, 2100, 3, 400, 120, 3000});
    for (const Run& r : runs)
    {
        SCOPED_TRACE(testing::Message() << "seed " << r.seed);
        const Trial scanned = play(r.seed, r.objects, r.updates, true, r.width, r.height, r.capacity);
        const Trial indexed = play(r.seed, r.objects, r.updates, false, r.width, r.height, r.capacity);
        ASSERT_GT(scanned.journal.size(), 1000u);
        const auto [scan, index] = std::mismatch(scanned.journal.begin(), scanned.journal.end(),
                                                 indexed.journal.begin(), indexed.journal.end());
        EXPECT_TRUE(scan == scanned.journal.end() && index == indexed.journal.end())
            << "entry " << scan - scanned.journal.begin()
            << " differs: " << (scan != scanned.journal.end() ? *scan : "end");
        EXPECT_TRUE(indexed.disagreements.empty())
            << indexed.disagreements.size() << " lists differ, first " << indexed.disagreements.front();
    }
}

// An object given its sprite after its position and then standing still (as the hunter
// does) is found by its sprite's box, by the index as by the scan; a label nobody loaded
// changes nothing.
TEST_F(CollisionGridTest, SpriteGivenAfterThePositionRefilesTheBox)
{
    ks::test::TempDir temp;
    LogManager::getInstance().startUp();
    ResourceManager::getInstance().startUp();
    ks::test::writeFile("wide.txt", "1\n9\n1\n0\nred\n#########.\n");
    ASSERT_EQ(ResourceManager::getInstance().loadSprite("wide.txt", "wide"), 0);
    Trial run(3);
    run.acting = false;
    Mote* still = new Mote(run);
    Mote* mover = new Mote(run);
    for (Mote* m : {still, mover})
    {
        m->setSolidness(PASSABLE);
        m->setBox(Box(Vector(-0.5f, -0.5f), 1, 1));
    }
    still->setPosition(Vector(40, 12));
    ASSERT_EQ(still->setSprite("wide"), 0);
    ASSERT_EQ(still->setSprite("unknown"), -1); // keeps the sprite it has
    for (float x = 30; x <= 50; x += 0.5f)
        crossCheck(run, mover, Vector(x, 12));
    EXPECT_TRUE(run.disagreements.empty()) << run.disagreements.front();
    EXPECT_EQ(names(world.getCollisions(mover, Vector(35, 12))), still->name);
    world.shutDown(); // the motes report to the run while it lives
    world.startUp();
}

} // namespace
