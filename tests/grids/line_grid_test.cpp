// The 3D linegon grid: the walk through a cell corner (z, then y, then x),
// and for random segments the listed cells checked against an independent
// slab test of the segment against every cell.
#include "geometry/element_grids.h"
#include "grid_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace {

using namespace gridtest;

using Cell = std::array<int, 3>;

std::set<Cell> cellsOf(const LineMat3D* g, const LinegonData* lin, int* duplicates) {
    std::set<Cell> out;
    *duplicates = 0;
    for (int z = 0; z < g->gridDims[2]; ++z)
        for (int y = 0; y < g->gridDims[1]; ++y)
            for (int x = 0; x < g->gridDims[0]; ++x) {
                int here = 0;
                for (const LineNode* n = cellList(g, x, y, z); n; n = n->next)
                    here += n->lin == lin;
                if (here > 1) ++*duplicates;
                if (here) out.insert({x, y, z});
            }
    return out;
}

// Length of the parameter interval of a->b inside the box [lo, hi]
// (slab method); negative when it misses.
double segmentInBox(const double* a, const double* b, const V3& lo, const V3& hi) {
    double t0 = 0.0, t1 = 1.0;
    for (int i = 0; i < 3; ++i) {
        const double d = b[i] - a[i];
        if (d == 0.0) {
            if (a[i] < lo[i] || a[i] > hi[i]) return -1.0;
            continue;
        }
        double ta = (lo[i] - a[i]) / d, tb = (hi[i] - a[i]) / d;
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
    }
    return t1 - t0;
}

// Two free points fix the box at [0, 2]^3; one linegon a->b. With one
// linegon the target is 8: s = 2 x 0.5625 = 1.125, 2x2x2 cells.
struct OneLinegon {
    TestCage c;
    LinegonData* lin = nullptr;
    OneLinegon(const V3& a, const V3& b) {
        allocCageBlocks(c.cage, 4, 1, 0, 0);
        std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 0}, {2, 2, 2}, a, b});
        lin = add1LinegonData(c.cage, p[2], p[3]);
        rebuildCageRestData(c.cage);
    }
};

TEST(LineGrid3D, ThroughACornerStepsZThenYThenX) {
    // Along the diagonal the three boundaries at 1.125 are met at the same t.
    OneLinegon one({0.5, 0.5, 0.5}, {1.75, 1.75, 1.75});
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    const LineMat3D* g = one.c->lineMat3D;
    EXPECT_NEAR(g->cellSize, 1.125, 1e-15);
    ASSERT_EQ(g->gridDims[0], 2);
    ASSERT_EQ(g->gridDims[1], 2);
    ASSERT_EQ(g->gridDims[2], 2);
    int dup = 0;
    const std::set<Cell> got = cellsOf(g, one.lin, &dup);
    EXPECT_EQ(dup, 0);
    const std::set<Cell> want = {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    EXPECT_EQ(got, want);
}

TEST(LineGrid3D, BackwardsThroughACornerStillStepsZFirst) {
    OneLinegon one({1.75, 1.75, 1.75}, {0.5, 0.5, 0.5});
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    int dup = 0;
    const std::set<Cell> got = cellsOf(one.c->lineMat3D, one.lin, &dup);
    EXPECT_EQ(dup, 0);
    const std::set<Cell> want = {{1, 1, 1}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}};
    EXPECT_EQ(got, want);
}

TEST(LineGrid3D, LevelCornerStepsYBeforeX) {
    OneLinegon one({0.5, 0.5, 0.2}, {1.75, 1.75, 0.2});
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    int dup = 0;
    const std::set<Cell> got = cellsOf(one.c->lineMat3D, one.lin, &dup);
    const std::set<Cell> want = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    EXPECT_EQ(got, want);
}

TEST(LineGrid3D, OffCornerFollowsTheSegment) {
    // Crosses x = 1.125 at t = 0.5 before y = 1.125 at t ~ 0.59: x first.
    OneLinegon one({0.5, 0.45, 0.2}, {1.75, 1.6, 0.2});
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    int dup = 0;
    const std::set<Cell> got = cellsOf(one.c->lineMat3D, one.lin, &dup);
    const std::set<Cell> want = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    EXPECT_EQ(got, want);
}

TEST(LineGrid3D, CollapsedLinegonIsInOneCell) {
    OneLinegon one({1.5, 0.3, 1.9}, {1.5, 0.3, 1.9});
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    int dup = 0;
    const std::set<Cell> got = cellsOf(one.c->lineMat3D, one.lin, &dup);
    const std::set<Cell> want = {{1, 0, 1}};
    EXPECT_EQ(got, want);
}

TEST(LineGrid3D, RandomSegmentsListedExactlyAlongTheirPath) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(-2.0, 6.0);
    const int count = 60;
    TestCage c;
    allocCageBlocks(c.cage, 2 * count, count, 0, 0);
    std::vector<V3> pts;
    for (int i = 0; i < 2 * count; ++i)
        pts.push_back({u(rng), u(rng), 0.5 * u(rng)});
    std::vector<PointData*> p = addPoints(c.cage, pts);
    std::vector<LinegonData*> lins;
    for (int i = 0; i < count; ++i)
        lins.push_back(add1LinegonData(c.cage, p[2 * i], p[2 * i + 1]));
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeLineMat3D(c.cage), 1);
    const LineMat3D* g = c->lineMat3D;
    EXPECT_EQ(g->chunkCapacity, unsigned(4 * count));
    const int cells = g->gridDims[0] * g->gridDims[1] * g->gridDims[2];
    EXPECT_GE(cells, 2 * count / 3);
    EXPECT_LE(cells, 3 * 2 * count);

    expectCellBoxesCoverTheirElements(g);
    const double s = g->cellSize, eps = 1e-9 * s;
    for (const LinegonData* lin : lins) {
        int dup = 0;
        const std::set<Cell> got = cellsOf(g, lin, &dup);
        EXPECT_EQ(dup, 0);
        const double* a = lin->pos[0];
        const double* b = lin->pos[1];
        Cell ca, cb;
        for (int i = 0; i < 3; ++i) {
            ca[i] = std::min(int(std::floor((a[i] - g->gridOrigin[i]) / s)), g->gridDims[i] - 1);
            cb[i] = std::min(int(std::floor((b[i] - g->gridOrigin[i]) / s)), g->gridDims[i] - 1);
        }
        EXPECT_TRUE(got.count(ca));
        EXPECT_TRUE(got.count(cb));
        // A six-connected walk from A's cell to B's: one cell per step.
        const int manhattan =
            std::abs(ca[0] - cb[0]) + std::abs(ca[1] - cb[1]) + std::abs(ca[2] - cb[2]);
        EXPECT_EQ(int(got.size()), manhattan + 1);
        for (int z = 0; z < g->gridDims[2]; ++z)
            for (int y = 0; y < g->gridDims[1]; ++y)
                for (int x = 0; x < g->gridDims[0]; ++x) {
                    const V3 lo = {g->gridOrigin[0] + x * s, g->gridOrigin[1] + y * s,
                                   g->gridOrigin[2] + z * s};
                    const V3 hi = {lo[0] + s, lo[1] + s, lo[2] + s};
                    const double inside = segmentInBox(a, b, lo, hi);
                    const V3 loWide = {lo[0] - eps, lo[1] - eps, lo[2] - eps};
                    const V3 hiWide = {hi[0] + eps, hi[1] + eps, hi[2] + eps};
                    const bool near = segmentInBox(a, b, loWide, hiWide) >= 0.0;
                    const bool listed = got.count({x, y, z}) != 0;
                    if (inside > 1e-9) {
                        EXPECT_TRUE(listed) << "missing cell " << x << ' ' << y << ' ' << z;
                    }
                    if (!near) {
                        EXPECT_FALSE(listed) << "stray cell " << x << ' ' << y << ' ' << z;
                    }
                }
    }
}

TEST(LineGrid3D, NoLinegonGivesEmptyGridAndRebuildsAreClean) {
    TestCage c;
    oneTrigon(c.cage, {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(makeLineMat3D(c.cage), 0);
    ASSERT_NE(c->lineMat3D, nullptr);
    EXPECT_EQ(c->lineMat3D->cellLists, nullptr);
    EXPECT_EQ(c->lineMat3D->chunks, nullptr);
    EXPECT_EQ(cellList(c->lineMat3D, 0, 0, 0), nullptr);

    OneLinegon one({0.5, 0.5, 0.5}, {1.75, 1.75, 1.75});
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    const auto first = snapshot3D(one.c->lineMat3D);
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    EXPECT_EQ(snapshot3D(one.c->lineMat3D), first);
    destroyMat3D(one.c->lineMat3D);
    EXPECT_EQ(one.c->lineMat3D->cellLists, nullptr);
    EXPECT_EQ(one.c->lineMat3D->chunks, nullptr);
    EXPECT_EQ(one.c->lineMat3D->chunkCapacity, 0u);
    EXPECT_EQ(one.c->lineMat3D->gridDims[0], 0);
}

TEST(LineGrid3D, NonFiniteEndStaysInRange) {
    OneLinegon one({0.5, 0.5, 0.5}, {1.75, 1.75, 1.75});
    one.lin->pnt[1]->restPos[0] = std::nan("");
    one.lin->pnt[1]->restPos[1] = 1e300;
    one.lin->pnt[1]->restPos[2] = -HUGE_VAL;
    ASSERT_EQ(makeLineMat3D(one.c.cage), 1);
    int dup = 0;
    const std::set<Cell> got = cellsOf(one.c->lineMat3D, one.lin, &dup);
    EXPECT_EQ(dup, 0);
    EXPECT_TRUE(got.count({0, 0, 0}));
    for (const Cell& cell : got)
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(cell[i], 0);
            EXPECT_LT(cell[i], 2);
        }
}

TEST(LineGrid3D, AllocationFailureLeavesEmptyGrid) {
    // 40 linegons across the whole box, each through about 11 of the ~80
    // cells: 160-node chunks overflow.
    TestCage c;
    const int count = 40;
    allocCageBlocks(c.cage, 2 * count, count, 0, 0);
    std::vector<V3> pts;
    for (int i = 0; i < count; ++i) {
        pts.push_back({0.01 * i, 0.02 * i, 0.0});
        pts.push_back({8.0 - 0.03 * i, 8.0 - 0.01 * i, 8.0});
    }
    std::vector<PointData*> p = addPoints(c.cage, pts);
    for (int i = 0; i < count; ++i)
        add1LinegonData(c.cage, p[2 * i], p[2 * i + 1]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeLineMat3D(c.cage), 1);
    const auto reference = snapshot3D(c->lineMat3D);
    const int chunks = chunkCount(c->lineMat3D->chunks);
    ASSERT_GE(chunks, 2);
    const int firstSuccess = firstBuildPastFailures(
        [&] { return makeLineMat3D(c.cage); }, [&](int) { expectNoCells(c->lineMat3D); },
        [&] { EXPECT_EQ(snapshot3D(c->lineMat3D), reference); });
    // Cell array, cell boxes, node array + record per chunk.
    EXPECT_EQ(firstSuccess, 1 + 1 + 2 * chunks + 1);
}

} // namespace
