// Boxes overlap inclusively (touching counts); positions intersect within the same or a
// neighbouring cell.
#include <limits>

#include "Probe.h"
#include "utility.h"

using namespace ks;
using ks::test::at;

TEST(UtilityTest, BoxesOverlapInclusivelyBothWays)
{
    // Corner x, y, width and height of two boxes, then 1 if they overlap.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float boxes[][9] = {{0, 0, 1, 1, 1, 0, 1, 1, 1},   {0, 0, 1, 1, 1.01f, 0, 1, 1, 0},
                              {0, 0, 1, 1, 0, 1, 1, 1, 1},   {0, 0, 1, 1, 0, 1.01f, 1, 1, 0},
                              {0, 0, 1, 1, 1, 1, 2, 2, 1},   {0, 0, 10, 10, 4, 4, 1, 1, 1},
                              {0, 4, 10, 1, 4, 0, 1, 10, 1}, {5, 4, 0, 0, 3, 3, 2, 1, 1},
                              {nan, 0, 1, 1, 0, 0, 1, 1, 0}, {0, 0, 4, 1, 3, 0, 1, 1, 1}};
    for (const auto& c : boxes)
    {
        const Box a(Vector(c[0], c[1]), c[2], c[3]), b(Vector(c[4], c[5]), c[6], c[7]);
        EXPECT_EQ(boxIntersectsBox(a, b), c[8] == 1) << at(a.getCorner()) << " " << at(b.getCorner());
        EXPECT_EQ(boxIntersectsBox(b, a), c[8] == 1) << at(b.getCorner()) << " " << at(a.getCorner());
    }
}

TEST(UtilityTest, PositionsIntersectWithinOneCell)
{
    const float cases[][5] = {{5, 5, 5, 5, 1}, {5, 5, 6.9f, 5, 1}, {5, 5, 7, 5, 0}, {5, 5, 5, 3, 0}, {5, 5, 4, 6, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(positionsIntersect(Vector(c[0], c[1]), Vector(c[2], c[3])), c[4] == 1) << c[2] << "," << c[3];
}
