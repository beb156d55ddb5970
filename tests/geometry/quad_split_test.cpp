#include <gtest/gtest.h>

#include <random>

#include "geometry/quad_split.h"

namespace {

TEST(QuadSplit, FlatSquareTiesAndPrefersAC) {
    // Both splits give two unit-area triangles with normal +z: 1 > 1 is false.
    const double a[3] = {0.0, 0.0, 0.0};
    const double b[3] = {1.0, 0.0, 0.0};
    const double c[3] = {1.0, 1.0, 0.0};
    const double d[3] = {0.0, 1.0, 0.0};
    EXPECT_FALSE(boolSpinTrigon(a, b, c, d));
    EXPECT_FALSE(boolSpinTrigon(b, c, d, a));
}

TEST(QuadSplit, ConcaveAtCKeepsACSplit) {
    // Split b-d: normals (0,0,4) and (0,0,-2), dot -8 (one triangle flips).
    // Split a-c: normals (0,0,1) and (0,0,1), dot 1.
    const double a[3] = {0.0, 0.0, 0.0};
    const double b[3] = {2.0, 0.0, 0.0};
    const double c[3] = {0.5, 0.5, 0.0};
    const double d[3] = {0.0, 2.0, 0.0};
    EXPECT_FALSE(boolSpinTrigon(a, b, c, d));
}

TEST(QuadSplit, ConcaveAtBChoosesBDSplit) {
    // Split b-d: normals (0,0,1) and (0,0,1), dot 1.
    // Split a-c: normals (0,0,-2) and (0,0,4), dot -8.
    const double a[3] = {2.0, 0.0, 0.0};
    const double b[3] = {0.5, 0.5, 0.0};
    const double c[3] = {0.0, 2.0, 0.0};
    const double d[3] = {0.0, 0.0, 0.0};
    EXPECT_TRUE(boolSpinTrigon(a, b, c, d));
}

TEST(QuadSplit, NonPlanarByHand) {
    // u = (0,0,4), v = (-2,-2,4): 16.  p = (0,-2,2), q = (-2,0,6): 12.
    const double a[3] = {0.0, 0.0, 0.0};
    const double b[3] = {2.0, 0.0, 0.0};
    const double c[3] = {3.0, 1.0, 1.0};
    const double d[3] = {0.0, 2.0, 0.0};
    EXPECT_TRUE(boolSpinTrigon(a, b, c, d));
    // Starting the loop one point later swaps the two diagonals.
    EXPECT_FALSE(boolSpinTrigon(b, c, d, a));
}

TEST(QuadSplit, ShiftingStartPointSwapsTheDiagonals) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    int trueCount = 0;
    for (int n = 0; n < 1000; ++n) {
        double p[4][3];
        for (auto& pt : p)
            for (double& x : pt)
                x = u(rng);
        const bool first = boolSpinTrigon(p[0], p[1], p[2], p[3]);
        const bool shifted = boolSpinTrigon(p[1], p[2], p[3], p[0]);
        EXPECT_NE(first, shifted);
        // Shifting by two keeps the same diagonals.
        EXPECT_EQ(first, boolSpinTrigon(p[2], p[3], p[0], p[1]));
        // Reversing the loop's direction keeps the same diagonals.
        EXPECT_EQ(first, boolSpinTrigon(p[0], p[3], p[2], p[1]));
        trueCount += first;
    }
    EXPECT_GT(trueCount, 100);
    EXPECT_LT(trueCount, 900);
}

} // namespace
