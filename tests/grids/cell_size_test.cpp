// Cubic cell size by bisection, each case stepped through by hand (the
// fractions tried are listed). Exact binary fractions compare at 1e-15; the
// cases where no fraction gives the target stop within 1e-7 of the jump.
#include "geometry/element_grids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(CellSize, UnitCubeTargetEightStopsAtFirstTry) {
    // f = (1/8 + 1)/2 = 0.5625 -> floor(1/0.5625) + 1 = 2 per axis, 8 cells.
    double e[3] = {1, 1, 1};
    unsigned d[3] = {0, 0, 0};
    EXPECT_NEAR(calcdLenOfMat(e, 8, d), 0.5625, 1e-15);
    EXPECT_EQ(d[0], 2u);
    EXPECT_EQ(d[1], 2u);
    EXPECT_EQ(d[2], 2u);
}

TEST(CellSize, SegmentTargetEightBisectsDownToEightCells) {
    // f: 0.5625 (2 cells), 0.34375 (3), 0.234375 (5), 0.1796875 (6),
    // 0.15234375 (7), 0.138671875 (floor(7.21) + 1 = 8).
    double e[3] = {1, 0, 0};
    unsigned d[3];
    EXPECT_NEAR(calcdLenOfMat(e, 8, d), 0.138671875, 1e-15);
    EXPECT_EQ(d[0], 8u);
    EXPECT_EQ(d[1], 1u);
    EXPECT_EQ(d[2], 1u);
}

TEST(CellSize, ThreeByTwoByOneTargetSix) {
    // M = 3: f = 7/12 -> s = 1.75 gives 2x2x1 = 4 < 6; f = 0.375 -> s = 1.125
    // gives 3x2x1 = 6.
    double e[3] = {3, 2, 1};
    unsigned d[3];
    EXPECT_NEAR(calcdLenOfMat(e, 6, d), 1.125, 1e-12);
    EXPECT_EQ(d[0], 3u);
    EXPECT_EQ(d[1], 2u);
    EXPECT_EQ(d[2], 1u);
}

TEST(CellSize, UnreachableTargetStopsAtTheJump) {
    // 2x1x1 box: s just above 1 gives 2 cells, just below gives 3x2x2 = 12;
    // 8 is never met, so the bisection narrows onto s = 1.
    double e[3] = {2, 1, 1};
    unsigned d[3];
    const double s = calcdLenOfMat(e, 8, d);
    EXPECT_NEAR(s, 1.0, 1e-6);
    if (s > 1.0) {
        EXPECT_EQ(d[0] * d[1] * d[2], 2u);
    } else {
        EXPECT_EQ(d[0], 3u);
        EXPECT_EQ(d[1], 2u);
        EXPECT_EQ(d[2], 2u);
    }
}

TEST(CellSize, FlatExtentGetsOneCellAcross) {
    // 1x1x0: 4 cells above s = 0.5, 9 below.
    double e[3] = {1, 1, 0};
    unsigned d[3];
    const double s = calcdLenOfMat(e, 8, d);
    EXPECT_NEAR(s, 0.5, 1e-6);
    EXPECT_EQ(d[2], 1u);
    EXPECT_EQ(d[0], d[1]);
    EXPECT_TRUE(d[0] == 2u || d[0] == 3u);
    EXPECT_EQ(e[2], 0.0); // a real box is left as given
}

TEST(CellSize, TinyBoxBecomesUnitCube) {
    double e[3] = {1e-6, 0, 3.9e-6};
    unsigned d[3];
    EXPECT_NEAR(calcdLenOfMat(e, 8, d), 0.5625, 1e-15);
    EXPECT_EQ(e[0], 1.0);
    EXPECT_EQ(e[1], 1.0);
    EXPECT_EQ(e[2], 1.0);
    EXPECT_EQ(d[0] * d[1] * d[2], 8u);
}

TEST(CellSize, BoxJustAboveTinyIsKept) {
    // M = 4e-6 is not below the limit: one axis of 8 cells.
    double e[3] = {4e-6, 0, 0};
    unsigned d[3];
    EXPECT_NEAR(calcdLenOfMat(e, 8, d), 4e-6 * 0.138671875, 1e-18);
    EXPECT_EQ(e[0], 4e-6);
    EXPECT_EQ(d[0], 8u);
}

TEST(CellSize, NonFiniteAndNegativeExtentsCountAsZero) {
    const double inf = std::numeric_limits<double>::infinity();
    double e[3] = {std::nan(""), inf, -5};
    unsigned d[3];
    EXPECT_NEAR(calcdLenOfMat(e, 8, d), 0.5625, 1e-15);
    EXPECT_EQ(d[0], 2u);
    EXPECT_EQ(d[1], 2u);
    EXPECT_EQ(d[2], 2u);

    // Only the sane axis sizes the cells.
    double e2[3] = {1, inf, std::nan("")};
    EXPECT_NEAR(calcdLenOfMat(e2, 8, d), 0.138671875, 1e-15);
    EXPECT_EQ(d[0], 8u);
    EXPECT_EQ(d[1], 1u);
    EXPECT_EQ(d[2], 1u);
}

TEST(CellSize, TargetBelowOneActsAsOne) {
    // lo = hi = 1: s = M, 2 cells per non-zero axis, then the interval is empty.
    double e[3] = {1, 1, 1};
    unsigned d[3];
    EXPECT_NEAR(calcdLenOfMat(e, 0, d), 1.0, 1e-15);
    EXPECT_EQ(d[0], 2u);
    EXPECT_NEAR(calcdLenOfMat(e, -7, d), 1.0, 1e-15);
}

TEST(CellSize, HugeBoxStaysFiniteAndBounded) {
    double e[3] = {1e300, 1e-300, 1e150};
    unsigned d[3];
    const double s = calcdLenOfMat(e, 1000, d);
    EXPECT_TRUE(std::isfinite(s));
    EXPECT_GT(s, 0.0);
    EXPECT_GE(d[0], 1u);
    EXPECT_EQ(d[1], 1u);
    EXPECT_EQ(d[2], 1u);
    EXPECT_LE(double(d[0]) * d[1] * d[2], 2000.0);
}

} // namespace
