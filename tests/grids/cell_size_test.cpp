// Cubic cell size by bisection, each case stepped through by hand (the
// fractions tried are listed). Exact binary fractions compare at 1e-15; the
// cases where no fraction gives the target stop within 1e-7 of the jump.
#include "geometry/element_grids.h"
#include "../support/named_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <ostream>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

using Box = std::array<double, 3>;

// A box too small to size cells becomes the unit cube; any other is left as
// given (NaN stays NaN).
void expectExtents(const Box& got, const Box& given, bool unitCube) {
    for (int a = 0; a < 3; ++a) {
        const double want = unitCube ? 1.0 : given[a];
        if (std::isnan(want))
            EXPECT_TRUE(std::isnan(got[a])) << "axis " << a;
        else
            EXPECT_EQ(got[a], want) << "axis " << a;
    }
}

// The bisection meets the target (or stops where both ends give it) at a
// size worked out by hand.
struct Exact {
    const char* name;
    Box box;
    int target;
    double size, tol;
    unsigned dims[3];
    bool unitCube;
};
void PrintTo(const Exact& c, std::ostream* os) {
    *os << c.name;
}

const Exact kExact[] = {
    // f = (1/8 + 1)/2 = 0.5625 -> floor(1/0.5625) + 1 = 2 per axis, 8 cells.
    {"UnitCubeTargetEightStopsAtFirstTry", {1, 1, 1}, 8, 0.5625, 1e-15, {2, 2, 2}, false},
    // f: 0.5625 (2 cells), 0.34375 (3), 0.234375 (5), 0.1796875 (6),
    // 0.15234375 (7), 0.138671875 (floor(7.21) + 1 = 8).
    {"SegmentBisectsDownToEightCells", {1, 0, 0}, 8, 0.138671875, 1e-15, {8, 1, 1}, false},
    // M = 3: f = 7/12 -> s = 1.75 gives 2x2x1 = 4 < 6; f = 0.375 -> s = 1.125
    // gives 3x2x1 = 6.
    {"ThreeByTwoByOneTargetSix", {3, 2, 1}, 6, 1.125, 1e-12, {3, 2, 1}, false},
    {"TinyBoxBecomesUnitCube", {1e-6, 0, 3.9e-6}, 8, 0.5625, 1e-15, {2, 2, 2}, true},
    // M = 4e-6 is not below the limit: one axis of 8 cells.
    {"BoxJustAboveTinyIsKept", {4e-6, 0, 0}, 8, 4e-6 * 0.138671875, 1e-18, {8, 1, 1}, false},
    // Non-finite and negative extents count as zero.
    {"NonFiniteAndNegativeAxes", {kNaN, kInf, -5}, 8, 0.5625, 1e-15, {2, 2, 2}, true},
    {"OnlyTheSaneAxisSizesTheCells", {1, kInf, kNaN}, 8, 0.138671875, 1e-15, {8, 1, 1}, false},
    // A target below one acts as one: lo = hi = 1, s = M, 2 cells per
    // non-zero axis, then the interval is empty.
    {"TargetZeroActsAsOne", {1, 1, 1}, 0, 1.0, 1e-15, {2, 2, 2}, false},
    {"NegativeTargetActsAsOne", {1, 1, 1}, -7, 1.0, 1e-15, {2, 2, 2}, false},
};

class CellSizeExact : public testing::TestWithParam<Exact> {};

TEST_P(CellSizeExact, SizeAndCellsByHand) {
    const Exact& c = GetParam();
    Box box = c.box;
    unsigned d[3] = {0, 0, 0};
    EXPECT_NEAR(calcdLenOfMat(box.data(), c.target, d), c.size, c.tol);
    for (int a = 0; a < 3; ++a)
        EXPECT_EQ(d[a], c.dims[a]) << "axis " << a;
    expectExtents(box, c.box, c.unitCube);
}

INSTANTIATE_TEST_SUITE_P(CellSize, CellSizeExact, testing::ValuesIn(kExact),
                         testrows::rowName<Exact>);

// No size gives the target: the bisection narrows onto the size where the
// cell count jumps past it, and the cells are those of whichever side it
// stopped on.
struct Jump {
    const char* name;
    Box box;
    double at;
    unsigned above[3], atOrBelow[3];
};
void PrintTo(const Jump& c, std::ostream* os) {
    *os << c.name;
}

const Jump kJumps[] = {
    // 2x1x1 box: s just above 1 gives 2 cells, 1 and below gives 3x2x2 = 12.
    {"UnreachableTargetStopsAtTheJump", {2, 1, 1}, 1.0, {2, 1, 1}, {3, 2, 2}},
    // 1x1x0: 4 cells above s = 0.5, 9 below; one cell across the flat axis.
    {"FlatExtentGetsOneCellAcross", {1, 1, 0}, 0.5, {2, 2, 1}, {3, 3, 1}},
};

class CellSizeJump : public testing::TestWithParam<Jump> {};

TEST_P(CellSizeJump, TargetEightStopsAtTheJump) {
    const Jump& c = GetParam();
    Box box = c.box;
    unsigned d[3];
    const double s = calcdLenOfMat(box.data(), 8, d);
    EXPECT_NEAR(s, c.at, 1e-6);
    const unsigned* want = s > c.at ? c.above : c.atOrBelow;
    for (int a = 0; a < 3; ++a)
        EXPECT_EQ(d[a], want[a]) << "axis " << a << ", size " << s;
    expectExtents(box, c.box, false); // a real box is left as given
}

INSTANTIATE_TEST_SUITE_P(CellSize, CellSizeJump, testing::ValuesIn(kJumps),
                         testrows::rowName<Jump>);

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
