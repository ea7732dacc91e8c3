// The world's collision index against the plain scan of every object: on random worlds,
// every collision list must be the same list in the same order, and whole runs of updates
// (with handlers that add, take out, delete, move, resize and change objects) must tell
// the same events in the same order.
#include "EventCollision.h"
#include "EventOut.h"
#include "Object.h"
#include "WorldManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace ks;

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();

// What a run saw: its journal, and any list on which the index and the scan disagreed.
struct Trial
{
    explicit Trial(unsigned seed) : random(seed), checks(seed + 1000)
    {}

    std::mt19937 random;
    std::mt19937 checks; // places to check at, kept apart so checking changes nothing else
    std::vector<std::string> journal;
    std::vector<std::string> disagreements;
    int made = 0;
    bool acting = true; // handlers change the world

    float uniform(float low, float high)
    {
        return std::uniform_real_distribution<float>(low, high)(random);
    }
    int below(int n)
    {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    }
};

std::string at(Vector v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g,%g", v.getX(), v.getY());
    return text;
}

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

// A position somewhere in and around the screen; now and then on whole cells (so that edges
// touch), far away, or not a number at all.
Vector somewhere(Trial& run)
{
    const int kind = run.below(100);
    if (kind < 15)
        return Vector(static_cast<float>(run.below(100) - 10), static_cast<float>(run.below(44) - 10));
    if (kind < 17)
        return Vector(run.uniform(-1e4f, 1e4f), run.uniform(-1e4f, 1e4f));
    if (kind < 18)
        return Vector(run.below(2) ? NaN : 5.f, run.below(2) ? NaN : 5.f);
    if (kind < 19)
        return Vector(run.below(2) ? -INF : INF, 5.f);
    return Vector(run.uniform(-30, 110), run.uniform(-30, 54));
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
            if (run.acting && (std::fabs(p.getX()) > 200 || std::fabs(p.getY()) > 200))
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

// Where two journals part, with a little context.
std::string firstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        i++;
    if (i == a.size() && i == b.size())
        return "";
    auto line = [](const std::vector<std::string>& j, size_t k) {
        return k < j.size() ? j[k] : "(end)";
    };
    return "entry " + std::to_string(i) + ": scan \"" + line(a, i) + "\" index \"" + line(b, i) + "\"";
}

class CollisionIndex : public ::testing::Test
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

    // A fresh world of n motes made from seed, then updates; the journal of it all.
    Trial play(unsigned seed, int n, int updates, bool byScan)
    {
        world.shutDown();
        world.startUp();
        world.setCollisionScan(byScan);
        Trial run(seed);
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
        world.startUp();
        return run;
    }

    WorldManager& world = WorldManager::getInstance();
};

TEST_F(CollisionIndex, ListsMatchTheScanOnRandomWorlds)
{
    for (unsigned seed = 1; seed <= 12; seed++)
    {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        world.shutDown();
        world.startUp();
        Trial run(seed);
        run.acting = false;
        const int n = 50 + run.below(400);
        for (int i = 0; i < n; i++)
            new Mote(run);
        crossCheckWorld(run);
        // Objects moved, resized and taken out outside any update are refiled too.
        const ObjectList all = world.getAllObjects();
        for (int i = 0; i < all.getCount(); i += 3)
        {
            all[i]->setPosition(somewhere(run));
            if (i % 2 == 0)
                all[i]->setBox(someBox(run));
            if (i % 5 == 0)
                world.removeObject(all[i]);
        }
        crossCheckWorld(run);
        EXPECT_TRUE(run.disagreements.empty())
            << run.disagreements.size() << " lists differ, first " << run.disagreements.front();
        for (int i = 0; i < all.getCount(); i += 15)
            delete all[i];
        world.shutDown();
        world.startUp();
    }
}

TEST_F(CollisionIndex, UpdatesTellTheSameEventsAsTheScan)
{
    for (unsigned seed = 1; seed <= 8; seed++)
    {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const Trial scanned = play(seed, 150 + static_cast<int>(seed) * 40, 40, true);
        const Trial indexed = play(seed, 150 + static_cast<int>(seed) * 40, 40, false);
        ASSERT_GT(scanned.journal.size(), 1000u);
        EXPECT_EQ(firstDifference(scanned.journal, indexed.journal), "");
        EXPECT_TRUE(indexed.disagreements.empty())
            << indexed.disagreements.size() << " lists differ, first " << indexed.disagreements.front();
    }
}

// The same object twice in the world, and two objects sharing an id: every entry keeps its
// own box, and taking one out takes out the entry the list itself would.
TEST_F(CollisionIndex, DuplicateEntriesAndSharedIdsKeepTheirBoxes)
{
    Trial run(7);
    run.acting = false;
    std::vector<Mote*> motes;
    for (int i = 0; i < 6; i++)
    {
        motes.push_back(new Mote(run));
        motes.back()->setSolidness(PASSABLE);
        motes.back()->setBox(Box(Vector(0, 0), 2, 2));
        motes.back()->setPosition(Vector(static_cast<float>(10 * i), 5));
    }
    Mote* probe = motes[0];
    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        for (float x = -2; x <= 60; x += 1.5f)
            crossCheck(run, probe, Vector(x, 5));
        EXPECT_TRUE(run.disagreements.empty()) << run.disagreements.front();
        run.disagreements.clear();
    };

    world.insertObject(motes[2]); // now at index 2 and 6
    motes[2]->setPosition(Vector(31, 5));
    check("after the second insert and a move");
    motes[3]->setId(motes[4]->getId());
    world.removeObject(motes[4]); // takes out motes[3], the first with that id
    motes[3]->setPosition(Vector(12, 5));
    motes[4]->setPosition(Vector(41, 5));
    check("after a shared id took the wrong twin out");
    world.removeObject(motes[2]);
    motes[2]->setPosition(Vector(51, 5));
    check("after one entry of the duplicate went");
    EXPECT_EQ(names(world.getCollisions(probe, Vector(53, 5))), "m2");
    world.removeObject(motes[2]);
    check("after both went");
    EXPECT_EQ(names(world.getCollisions(probe, Vector(53, 5))), "");
    delete motes[2];
    delete motes[3];
    world.shutDown();
}

} // namespace
