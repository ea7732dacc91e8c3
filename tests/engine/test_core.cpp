// The log file, geometry, object lists and an object's motion and sprite.
#include "LogManager.h"
#include "Object.h"
#include "ObjectList.h"
#include "Probe.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WorldManager.h"
#include "utility.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

using namespace ks;
using ks::test::at;

namespace {

std::string fileBytes(const char* name)
{
    std::ostringstream bytes;
    bytes << std::ifstream(name, std::ios::binary).rdbuf();
    return bytes.str();
}

class Core : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        WorldManager::getInstance().startUp();
    }
    void TearDown() override
    {
        WorldManager::getInstance().shutDown();
    }
};

std::vector<Object*> entries(const ObjectList& list)
{
    std::vector<Object*> all;
    for (int i = 0; i < list.getCount(); i++)
        all.push_back(list[i]);
    return all;
}

} // namespace

TEST_F(Core, LogWritesOnePrefixedLinePerCallAndCountsTheMessage)
{
    LogManager& log = LogManager::getInstance();
    EXPECT_EQ(log.writeLog("before the file is open"), -1);
    ks::test::writeFile(LOGFILE_NAME, "left by an earlier run\n");
    ASSERT_EQ(log.startUp(), 0);
    EXPECT_EQ(fileBytes(LOGFILE_NAME), "");

    EXPECT_EQ(log.writeLog("Game start"), 10);
    EXPECT_EQ(log.writeLog("%d zombies, %s", 12, "one hunter"), 22);
    EXPECT_EQ(log.writeLog("ends with a line feed\n"), 22);
    // Each line is on disk as soon as it is written.
    const std::string lines = " Message : Game start\n Message : 12 zombies, one hunter\n"
                              " Message : ends with a line feed\n\n";
    EXPECT_EQ(fileBytes(LOGFILE_NAME), lines);

    log.setFlush(false);
    log.writeLog("held");
    EXPECT_EQ(fileBytes(LOGFILE_NAME), lines);
    log.shutDown();
    log.shutDown();
    EXPECT_EQ(log.writeLog("after shutDown"), -1);
    EXPECT_EQ(fileBytes(LOGFILE_NAME), lines + " Message : held\n");
}

TEST_F(Core, LogThatCannotOpenDropsItsLines)
{
    // A directory in the file's place cannot be opened for writing, even by root.
    std::filesystem::create_directory(LOGFILE_NAME);
    EXPECT_EQ(LogManager::getInstance().startUp(), -1);
    EXPECT_EQ(LogManager::getInstance().writeLog("nowhere"), -1);
}

TEST_F(Core, VectorArithmeticAndUnfinishedHelpers)
{
    Vector v(3, 4);
    EXPECT_FLOAT_EQ(v.getMagnitude(), 5);
    v.normalize();
    EXPECT_FLOAT_EQ(v.getX(), 0.6f);
    EXPECT_FLOAT_EQ(v.getY(), 0.8f);
    Vector zero;
    zero.normalize();
    EXPECT_EQ(zero.getX(), 0);
    EXPECT_EQ(zero.getY(), 0);
    Vector s(1, -1.5f);
    s.scale(2);
    const Vector sum = s + Vector(0.5f, 5);
    EXPECT_EQ(at(s) + " " + at(sum), "2,-3 2.5,2");

    LogManager::getInstance().startUp();
    EXPECT_EQ(toString(42), "");
    valueInRange(1, 0, 2);
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>(2, "Funtion not implemented"));
}

TEST_F(Core, BoxesOverlapInclusivelyAndPositionsWithinTwoCells)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Box unit(Vector(0, 0), 1, 1);
    const struct
    {
        Box a, b;
        bool hit;
    } boxes[] = {
        {unit, Box(Vector(1, 0), 1, 1), true},
        {unit, Box(Vector(1.01f, 0), 1, 1), false},
        {unit, Box(Vector(0, 1), 1, 1), true},
        {unit, Box(Vector(0, 1.01f), 1, 1), false},
        {unit, Box(Vector(1, 1), 2, 2), true},
        {Box(Vector(0, 0), 10, 10), Box(Vector(4, 4), 1, 1), true},
        {Box(Vector(0, 4), 10, 1), Box(Vector(4, 0), 1, 10), true},
        {Box(Vector(0, 0), 4, 1), Box(Vector(2, 5), 4, 1), false},
        {Box(Vector(2, 3), 0, 0), Box(Vector(2, 3), 0, 0), true},
        {Box(Vector(2, 3), 0, 0), Box(Vector(2, 3.001f), 0, 0), false},
        {Box(Vector(5, 4), 0, 0), Box(Vector(3, 3), 2, 1), true},
        {Box(Vector(nan, 0), 1, 1), unit, false},
    };
    for (const auto& c : boxes)
    {
        EXPECT_EQ(boxIntersectsBox(c.a, c.b), c.hit) << at(c.a.getCorner()) << " " << at(c.b.getCorner());
        EXPECT_EQ(boxIntersectsBox(c.b, c.a), c.hit) << at(c.b.getCorner()) << " " << at(c.a.getCorner());
    }

    const struct
    {
        Vector p;
        bool near;
    } positions[] = {{Vector(1.9f, -1.9f), true},
                     {Vector(-1.99f, 0), true},
                     {Vector(2, 0), false},
                     {Vector(0, -2), false},
                     {Vector(1e20f, 0), false}};
    for (const auto& c : positions)
        EXPECT_EQ(positionsIntersect(Vector(0, 0), c.p), c.near) << at(c.p);

    Object* o = new Object;
    o->setPosition(Vector(10, 5));
    o->setBox(Box(Vector(-1.5f, -1), 3, 2));
    EXPECT_EQ(at(getWorldBox(o).getCorner()), "8.5,4");
    EXPECT_EQ(at(getWorldBox(o, Vector(0, 0)).getCorner()), "-1.5,-1");
    EXPECT_EQ(getWorldBox(o).getHorizontal(), 3);
}

TEST_F(Core, ObjectListKeepsOrderRemovesByIdAndCopiesIndependently)
{
    Object* a = new Object;
    Object* b = new Object;
    Object* c = new Object;
    EXPECT_EQ(b->getId(), a->getId() + 1);
    EXPECT_EQ(entries(WorldManager::getInstance().getAllObjects()), (std::vector<Object*>{a, b, c}));

    ObjectList list;
    for (Object* o : {a, b, c, a})
        list.insert(o);
    const ObjectList copy = list;
    EXPECT_EQ(list.remove(b), 0);
    EXPECT_EQ(list.remove(b), -1);
    // Only the first of two entries goes, and the rest keep their order.
    EXPECT_EQ(list.remove(a), 0);
    EXPECT_EQ(entries(list), (std::vector<Object*>{c, a}));
    EXPECT_EQ(entries(copy), (std::vector<Object*>{a, b, c, a}));

    // Ids, not pointers, decide what matches.
    Object* twin = new Object;
    twin->setId(c->getId());
    EXPECT_EQ(list.remove(twin), 0);
    EXPECT_EQ(entries(list), std::vector<Object*>{a});

    for (int bad : {-1, 1})
    {
        try
        {
            (void)list[bad];
            ADD_FAILURE() << "no exception for index " << bad;
        }
        catch (const std::out_of_range& e)
        {
            EXPECT_STREQ(e.what(), "invalid index");
        }
    }

    list.clear();
    for (int i = 0; i < MAX_OBJECTS; i++)
        ASSERT_EQ(list.insert(a), 0);
    EXPECT_TRUE(list.isFull());
    EXPECT_EQ(list.insert(b), -1);
    EXPECT_EQ(list[MAX_OBJECTS - 1], a);
}

TEST_F(Core, ObjectSplitsVelocityAndTakesItsBoxFromTheSprite)
{
    Object* o = new Object;
    o->setPosition(Vector(10, 10));
    o->setVelocity(Vector(0, -0.5f));
    EXPECT_FLOAT_EQ(o->getSpeed(), 0.5f);
    EXPECT_EQ(at(o->getDirection()) + " " + at(o->predictPosition()), "0,-1 10,9.5");
    // A direction is stored as given, not made unit length.
    o->setDirection(Vector(1, 1));
    o->setSpeed(2);
    EXPECT_EQ(at(o->getVelocity()), "2,2");

    // Two 3 x 2 frames; each row carries one extra character that the reader drops.
    ks::test::writeFile("rock.txt", "2\n3\n2\n4\nred\nabc|\ndef|\nghi|\njkl|\n");
    ResourceManager::getInstance().startUp();
    ASSERT_EQ(ResourceManager::getInstance().loadSprite("rock.txt", "rock"), 0);
    EXPECT_EQ(o->setSprite("boulder"), -1);
    EXPECT_EQ(o->getBox().getHorizontal(), 0);
    Animation playing;
    playing.setIndex(2);
    o->setAnimation(playing);
    ASSERT_EQ(o->setSprite("rock"), 0);
    EXPECT_EQ(o->getAnimation().getSprite(), ResourceManager::getInstance().getSprite("rock"));
    EXPECT_EQ(o->getAnimation().getSlowdownCount(), 4);
    EXPECT_EQ(o->getAnimation().getIndex(), 2);
    EXPECT_EQ(at(o->getBox().getCorner()), "-1.5,-1");
    EXPECT_EQ(o->getBox().getVertical(), 2);
    ResourceManager::getInstance().shutDown();
}
