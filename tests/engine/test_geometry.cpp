// Vectors, boxes and the free helpers the collision detection rests on.
#include "LogManager.h"
#include "Object.h"
#include "TestSupport.h"
#include "Vector.h"
#include "WorldManager.h"
#include "utility.h"

#include <cmath>
#include <limits>

using namespace ks;

namespace {

void expectVector(Vector v, float x, float y)
{
    EXPECT_FLOAT_EQ(v.getX(), x);
    EXPECT_FLOAT_EQ(v.getY(), y);
}

} // namespace

TEST(Vector, ArithmeticKeepsOperandsAndScalesInPlace)
{
    expectVector(Vector(), 0, 0);
    EXPECT_FLOAT_EQ(Vector(3, 4).getMagnitude(), 5);
    EXPECT_FLOAT_EQ(Vector(-3, -4).getMagnitude(), 5);

    Vector v(3, 4);
    v.normalize();
    expectVector(v, 0.6f, 0.8f);
    Vector zero;
    zero.normalize();
    expectVector(zero, 0, 0);
    EXPECT_FALSE(std::isnan(zero.getX()));

    Vector s(1, -1.5f);
    s.scale(2);
    expectVector(s, 2, -3);

    const Vector a(1, 2);
    const Vector b(0.5f, -2);
    expectVector(a + b, 1.5f, 0);
    expectVector(a, 1, 2);
    expectVector(b, 0.5f, -2);

    Vector w;
    w.setXY(7, -8);
    expectVector(w, 7, -8);
    w.setX(1);
    w.setY(2);
    expectVector(w, 1, 2);
}

TEST(Box, DefaultIsAPointAtTheOrigin)
{
    const Box box;
    expectVector(box.getCorner(), 0, 0);
    EXPECT_EQ(box.getHorizontal(), 0);
    EXPECT_EQ(box.getVertical(), 0);
    const Box other(Vector(1, 2), 3, 4);
    expectVector(other.getCorner(), 1, 2);
    EXPECT_EQ(other.getHorizontal(), 3);
    EXPECT_EQ(other.getVertical(), 4);
}

TEST(Box, OverlapIsInclusiveAndSymmetric)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        Box a;
        Box b;
        bool expected;
    };
    const Case cases[] = {
        {"same box", Box(Vector(0, 0), 1, 1), Box(Vector(0, 0), 1, 1), true},
        {"touching right edge", Box(Vector(0, 0), 1, 1), Box(Vector(1, 0), 1, 1), true},
        {"gap on x", Box(Vector(0, 0), 1, 1), Box(Vector(1.01f, 0), 1, 1), false},
        {"touching bottom edge", Box(Vector(0, 0), 1, 1), Box(Vector(0, 1), 1, 1), true},
        {"gap on y", Box(Vector(0, 0), 1, 1), Box(Vector(0, 1.01f), 1, 1), false},
        {"touching corner", Box(Vector(0, 0), 1, 1), Box(Vector(1, 1), 2, 2), true},
        {"x overlap only", Box(Vector(0, 0), 4, 1), Box(Vector(2, 5), 4, 1), false},
        {"y overlap only", Box(Vector(0, 0), 1, 4), Box(Vector(5, 2), 1, 4), false},
        {"small inside large", Box(Vector(0, 0), 10, 10), Box(Vector(4, 4), 1, 1), true},
        {"crossing bars", Box(Vector(0, 4), 10, 1), Box(Vector(4, 0), 1, 10), true},
        {"equal points", Box(Vector(2, 3), 0, 0), Box(Vector(2, 3), 0, 0), true},
        {"different points", Box(Vector(2, 3), 0, 0), Box(Vector(2, 3.001f), 0, 0), false},
        {"point below", Box(Vector(5, 5), 0, 0), Box(Vector(3, 3), 2, 1), false},
        {"point on corner", Box(Vector(5, 4), 0, 0), Box(Vector(3, 3), 2, 1), true},
        {"point inside", Box(Vector(4, 3.5f), 0, 0), Box(Vector(3, 3), 2, 1), true},
        {"negative coordinates", Box(Vector(-3, -3), 2, 2), Box(Vector(-1, -1), 1, 1), true},
        {"NaN corner", Box(Vector(nan, 0), 1, 1), Box(Vector(0, 0), 1, 1), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(boxIntersectsBox(c.a, c.b), c.expected) << c.what;
        EXPECT_EQ(boxIntersectsBox(c.b, c.a), c.expected) << c.what << " (swapped)";
    }
}

TEST(Utility, PositionsIntersectWithinTwoCells)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        Vector p1;
        Vector p2;
        bool expected;
    };
    const Case cases[] = {
        {Vector(0, 0), Vector(0, 0), true},
        {Vector(0, 0), Vector(1.9f, -1.9f), true},
        {Vector(0, 0), Vector(-1.99f, 1.99f), true},
        {Vector(0, 0), Vector(2, 0), false},
        {Vector(0, 0), Vector(0, -2), false},
        {Vector(10.5f, 3), Vector(8.6f, 4.9f), true},
        {Vector(0, 0), Vector(1e20f, 0), false},
        {Vector(0, 0), Vector(0, inf), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(positionsIntersect(c.p1, c.p2), c.expected)
            << "(" << c.p1.getX() << "," << c.p1.getY() << ") (" << c.p2.getX() << "," << c.p2.getY() << ")";
        EXPECT_EQ(positionsIntersect(c.p2, c.p1), c.expected);
    }
}

TEST(Utility, WorldBoxMovesTheCornerOnly)
{
    WorldManager::getInstance().startUp();
    Object* o = new Object;
    o->setPosition(Vector(10, 5));
    o->setBox(Box(Vector(-1.5f, -1), 3, 2));

    const Box here = getWorldBox(o);
    expectVector(here.getCorner(), 8.5f, 4);
    EXPECT_EQ(here.getHorizontal(), 3);
    EXPECT_EQ(here.getVertical(), 2);

    const Box there = getWorldBox(o, Vector(0, 0));
    expectVector(there.getCorner(), -1.5f, -1);
    EXPECT_EQ(there.getHorizontal(), 3);

    // The object itself is untouched.
    expectVector(o->getBox().getCorner(), -1.5f, -1);
    expectVector(o->getPosition(), 10, 5);
    WorldManager::getInstance().shutDown();
}

class UtilityLog : public ks::test::InTempDir
{
};

TEST_F(UtilityLog, UnfinishedHelpersLogEveryCall)
{
    LogManager::getInstance().startUp();
    EXPECT_EQ(toString(42), "");
    EXPECT_FALSE(valueInRange(1, 0, 2));
    EXPECT_EQ(toString(-7), "");
    LogManager::getInstance().shutDown();
    const std::vector<std::string> expected(3, "Funtion not implemented");
    EXPECT_EQ(ks::test::logMessages(), expected);
}
