// Vector arithmetic: length, normalising (the zero vector stays zero), scaling and adding.
#include <gtest/gtest.h>

#include "Probe.h"

using ks::Vector;
using ks::test::at;

TEST(VectorTest, NormalizeScaleAndAdd)
{
    Vector v(3, 4), zero, s(1, -1.5f);
    EXPECT_FLOAT_EQ(v.getMagnitude(), 5);
    v.normalize();
    zero.normalize();
    s.scale(2);
    EXPECT_EQ(at(v) + " " + at(zero) + " " + at(s) + " " + at(s + Vector(0.5f, 5)), "0.6,0.8 0,0 2,-3 2.5,2");
}
