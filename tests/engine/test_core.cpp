// The log file, vector and box arithmetic, and object lists.
#include "LogManager.h"
#include "ObjectList.h"
#include "Probe.h"
#include "utility.h"

#include <filesystem>
#include <limits>
#include <stdexcept>

using namespace ks;
using Core = ks::test::WorldTest;
using ks::test::at;

namespace {

std::vector<Object*> entries(const ObjectList& list)
{
    std::vector<Object*> all;
    for (int i = 0; i < list.getCount(); i++)
        all.push_back(list[i]);
    return all;
}

} // namespace

TEST_F(Core, LogWritesOnePrefixedLinePerCallOrDropsItWithoutAFile)
{
    LogManager& log = LogManager::getInstance();
    // A directory in the file's place cannot be opened for writing, even by root.
    std::filesystem::create_directory(LOGFILE_NAME);
    EXPECT_EQ(log.startUp(), -1);
    EXPECT_EQ(log.writeLog("nowhere"), -1);
    std::filesystem::remove(LOGFILE_NAME);

    ks::test::writeFile(LOGFILE_NAME, "left by an earlier run\n");
    ASSERT_EQ(log.startUp(), 0);
    EXPECT_TRUE(ks::test::logLines().empty());
    EXPECT_EQ(log.writeLog("Game start"), 10);
    EXPECT_EQ(log.writeLog("%d zombies, %s", 12, "one hunter"), 22);
    EXPECT_EQ(log.writeLog("ends with a line feed\n"), 22);
    // Each line is on disk as soon as it is written.
    std::vector<std::string> lines{" Message : Game start", " Message : 12 zombies, one hunter",
                                   " Message : ends with a line feed", ""};
    EXPECT_EQ(ks::test::logLines(), lines);
    log.setFlush(false);
    log.writeLog("held");
    EXPECT_EQ(ks::test::logLines(), lines);
    log.shutDown();
    EXPECT_EQ(log.writeLog("after shutDown"), -1);
    lines.push_back(" Message : held");
    EXPECT_EQ(ks::test::logLines(), lines);
}

TEST_F(Core, VectorArithmeticInclusiveBoxOverlapAndUnfinishedHelpers)
{
    Vector v(3, 4), zero, s(1, -1.5f);
    EXPECT_FLOAT_EQ(v.getMagnitude(), 5);
    v.normalize();
    zero.normalize();
    s.scale(2);
    EXPECT_EQ(at(v) + " " + at(zero) + " " + at(s) + " " + at(s + Vector(0.5f, 5)), "0.6,0.8 0,0 2,-3 2.5,2");

    // Corner x, y, width and height of two boxes, then 1 if they overlap: touching counts.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float boxes[][9] = {
        {0, 0, 1, 1, 1, 0, 1, 1, 1},     {0, 0, 1, 1, 1.01f, 0, 1, 1, 0}, {0, 0, 1, 1, 0, 1, 1, 1, 1},
        {0, 0, 1, 1, 0, 1.01f, 1, 1, 0}, {0, 0, 1, 1, 1, 1, 2, 2, 1},     {0, 0, 10, 10, 4, 4, 1, 1, 1},
        {0, 4, 10, 1, 4, 0, 1, 10, 1},   {5, 4, 0, 0, 3, 3, 2, 1, 1},     {nan, 0, 1, 1, 0, 0, 1, 1, 0}};
    for (const auto& c : boxes)
    {
        const Box a(Vector(c[0], c[1]), c[2], c[3]), b(Vector(c[4], c[5]), c[6], c[7]);
        EXPECT_EQ(boxIntersectsBox(a, b), c[8] == 1) << at(a.getCorner()) << " " << at(b.getCorner());
        EXPECT_EQ(boxIntersectsBox(b, a), c[8] == 1) << at(b.getCorner()) << " " << at(a.getCorner());
    }

    LogManager::getInstance().startUp();
    EXPECT_EQ(toString(42), "");
    valueInRange(1, 0, 2);
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>(2, "Funtion not implemented"));
}

TEST_F(Core, ObjectListKeepsOrderRemovesByIdAndCopiesIndependently)
{
    Object* a = new Object;
    Object* b = new Object;
    Object* c = new Object;

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
    EXPECT_THROW((void)list[-1], std::out_of_range);
    std::string what;
    try
    {
        (void)list[1];
    }
    catch (const std::out_of_range& e)
    {
        what = e.what();
    }
    EXPECT_EQ(what, "invalid index");

    list.clear();
    for (int i = 0; i < MAX_OBJECTS; i++)
        ASSERT_EQ(list.insert(a), 0);
    EXPECT_TRUE(list.isFull());
    EXPECT_EQ(list.insert(b), -1);
    EXPECT_EQ(list[MAX_OBJECTS - 1], a);
}
