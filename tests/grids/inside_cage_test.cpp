// The 2D triangle grid (cell size with the shaping of thin areas, listing by
// x-y box, edge-on triangles left out) and the inside test, checked against
// a ray-crossing parity count on closed cages whose normals point inward.
#include "geometry/element_grids.h"
#include "geometry/inside_test.h"
#include "grid_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using namespace gridtest;

const double kInf = std::numeric_limits<double>::infinity();

// 1 listed, 0 not, -1 too close to a cell boundary to call (ends clamped).
int axisCovers(double bmin, double bmax, double origin, double s, int i, int n) {
    const double cellLo = origin + i * s, cellHi = origin + (i + 1) * s;
    const double eps = 1e-9 * s;
    const bool first = i == 0, last = i == n - 1;
    if ((last || bmin < cellHi - eps) && (first || bmax >= cellLo + eps)) return 1;
    if ((!last && bmin >= cellHi + eps) || (!first && bmax < cellLo - eps)) return 0;
    return -1;
}

void expectListedByXYBox(const CageInstance* cage) {
    const TrisMat2D* g = cage->trisMat2D;
    ASSERT_NE(g, nullptr);
    ASSERT_NE(g->cellLists, nullptr);
    // The cells reach past the cage's real x-y extent.
    EXPECT_GE(g->gridOrigin[0] + g->gridDims[0] * g->cellSize, g->gridMax[0]);
    EXPECT_GE(g->gridOrigin[1] + g->gridDims[1] * g->cellSize, g->gridMax[1]);
    int undecided = 0;
    for (const TrigonData* t : allTriangles(cage)) {
        const bool edgeOn = std::fabs(t->rest.N[2]) < 1e-7;
        for (int y = 0; y < g->gridDims[1]; ++y)
            for (int x = 0; x < g->gridDims[0]; ++x) {
                int have = 0;
                for (const TrisNode* n = cellList(g, x, y); n; n = n->next)
                    have += n->tri == t;
                EXPECT_LE(have, 1);
                if (edgeOn) {
                    EXPECT_EQ(have, 0) << "edge-on triangle listed";
                    continue;
                }
                const int cx = axisCovers(t->restBoxMin[0], t->restBoxMax[0], g->gridOrigin[0],
                                          g->cellSize, x, g->gridDims[0]);
                const int cy = axisCovers(t->restBoxMin[1], t->restBoxMax[1], g->gridOrigin[1],
                                          g->cellSize, y, g->gridDims[1]);
                if (cx == 0 || cy == 0)
                    EXPECT_EQ(have, 0) << "stray in cell " << x << ' ' << y;
                else if (cx == 1 && cy == 1)
                    EXPECT_EQ(have, 1) << "missing from cell " << x << ' ' << y;
                else
                    ++undecided;
            }
    }
    EXPECT_LE(undecided, 4);
}

// Every triangle's N points into the cage: a step along N from its centroid
// is inside by ray parity.
void expectNormalsInward(const CageInstance* cage) {
    for (const TrigonData* t : allTriangles(cage)) {
        const V3 centroid =
            mul(add(add(pos(t->pnt[0]), pos(t->pnt[1])), pos(t->pnt[2])), 1.0 / 3.0);
        const V3 n = {t->rest.N[0], t->rest.N[1], t->rest.N[2]};
        ASSERT_NEAR(dot(n, n), 1.0, 1e-12);
        EXPECT_TRUE(insideByRayCrossings(cage, add(centroid, mul(n, 1e-3))));
        EXPECT_FALSE(insideByRayCrossings(cage, add(centroid, mul(n, -1e-3))));
    }
}

// Random points in the cage box grown by 15%; points within 1e-9 of the
// surface are skipped. Returns the number of inside points checked.
int expectAgreesWithRayCrossings(const CageInstance* cage, unsigned seed, int count) {
    std::mt19937 rng(seed);
    double lo[3], hi[3];
    for (int i = 0; i < 3; ++i) {
        const double m = 0.15 * (cage->restBoxMax[i] - cage->restBoxMin[i]);
        lo[i] = cage->restBoxMin[i] - m;
        hi[i] = cage->restBoxMax[i] + m;
    }
    std::uniform_real_distribution<double> ux(lo[0], hi[0]), uy(lo[1], hi[1]), uz(lo[2], hi[2]);
    int inside = 0, checked = 0, wrong = 0;
    for (int k = 0; k < count; ++k) {
        const V3 q = {ux(rng), uy(rng), uz(rng)};
        if (distanceToSurface(cage, q) < 1e-9) continue;
        const bool want = insideByRayCrossings(cage, q);
        const bool got = isWithinTheCage(const_cast<CageInstance*>(cage), q.data());
        if (got != want && ++wrong <= 5)
            ADD_FAILURE() << "point " << q[0] << ' ' << q[1] << ' ' << q[2] << " ray says " << want;
        inside += want;
        ++checked;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(checked, count * 9 / 10);
    // Both answers are well represented (an octahedron fills 1/6 of its box).
    EXPECT_GT(inside, checked / 20);
    EXPECT_LT(inside, checked * 9 / 10);
    return inside;
}

TEST(TrisGrid2D, ThinAreaIsShapedButCellsCoverTheRealWidth) {
    // W = 100, H = 0.01, n = 1, m = 25: floor(W/H) > m so H becomes W/26;
    // s = sqrt(100 x 100/26 / 25) = 3.9223227..., 26 x 1 cells.
    TestCage c;
    allocCageBlocks(c.cage, 3, 0, 1, 0);
    std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 0}, {100, 0, 0}, {0, 0.01, 0}});
    TrigonData* t = add1TrigonData(c.cage, p[0], p[1], p[2]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const TrisMat2D* g = c->trisMat2D;
    EXPECT_NEAR(g->cellSize, 3.922322702763681, 1e-12);
    EXPECT_EQ(g->gridDims[0], 26);
    EXPECT_EQ(g->gridDims[1], 1);
    EXPECT_EQ(g->strideY, 26u);
    EXPECT_EQ(g->chunkCapacity, 2u);
    for (int x = 0; x < 26; ++x) {
        ASSERT_NE(cellList(g, x, 0), nullptr);
        EXPECT_EQ(cellList(g, x, 0)->tri, t);
    }
    expectListedByXYBox(c.cage);
}

TEST(TrisGrid2D, TallThinAreaWidensX) {
    TestCage c;
    allocCageBlocks(c.cage, 3, 0, 1, 0);
    std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 0}, {0.01, 0, 0}, {0, 100, 0}});
    add1TrigonData(c.cage, p[0], p[1], p[2]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const TrisMat2D* g = c->trisMat2D;
    EXPECT_NEAR(g->cellSize, 3.922322702763681, 1e-12);
    EXPECT_EQ(g->gridDims[0], 1);
    EXPECT_EQ(g->gridDims[1], 26);
    expectListedByXYBox(c.cage);
}

TEST(TrisGrid2D, BoxCellSizeFromTwentyFiveCells) {
    // 3 x 1 x 1 box, 24 fan triangles, m = 25: s = sqrt(3/25), 9 x 3 cells.
    TestCage c;
    buildCage(c.cage, boxSurface({0, 0, 0}, {3, 1, 1}));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const TrisMat2D* g = c->trisMat2D;
    EXPECT_NEAR(g->cellSize, 0.34641016151377546, 1e-15);
    EXPECT_EQ(g->gridDims[0], 9);
    EXPECT_EQ(g->gridDims[1], 3);
    EXPECT_EQ(g->chunkCapacity, 48u);
    expectListedByXYBox(c.cage);
    // The 16 side triangles are vertical: none is listed.
    int listedSide = 0;
    for (const auto& cell : snapshot2D(g))
        for (const void* e : cell)
            listedSide += std::fabs(static_cast<const TrigonData*>(e)->rest.N[2]) < 1e-7;
    EXPECT_EQ(listedSide, 0);
}

TEST(TrisGrid2D, VerticalCageHasCellsButNothingListed) {
    // In the plane x = 2: W = 0 -> 1/26 stands in; cells 1 x 26; all edge-on.
    TestCage c;
    allocCageBlocks(c.cage, 4, 0, 0, 1);
    std::vector<PointData*> p = addPoints(c.cage, {{2, 0, 0}, {2, 1, 0}, {2, 1, 1}, {2, 0, 1}});
    add1PolygonData(c.cage, p[0], p[1], p[2], p[3]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const TrisMat2D* g = c->trisMat2D;
    EXPECT_NEAR(g->cellSize, 0.03922322702763681, 1e-15);
    EXPECT_EQ(g->gridDims[0], 1);
    EXPECT_EQ(g->gridDims[1], 26);
    for (const auto& cell : snapshot2D(g))
        EXPECT_TRUE(cell.empty());
    const double q[3] = {2, 0.5, 0.5};
    EXPECT_FALSE(isWithinTheCage(c.cage, q));
}

TEST(TrisGrid2D, PointCageUsesUnitStandIn) {
    // All three corners at one spot: W = H = 1 stand in, s = 0.2, 1 x 1 cells.
    TestCage c;
    allocCageBlocks(c.cage, 3, 0, 1, 0);
    std::vector<PointData*> p = addPoints(c.cage, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
    add1TrigonData(c.cage, p[0], p[1], p[2]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    EXPECT_NEAR(c->trisMat2D->cellSize, 0.2, 1e-15);
    EXPECT_EQ(c->trisMat2D->gridDims[0], 1);
    EXPECT_EQ(c->trisMat2D->gridDims[1], 1);
    const double q[3] = {1, 1, 0};
    EXPECT_FALSE(isWithinTheCage(c.cage, q));
}

TEST(TrisGrid2D, RandomSoupListedByXYBox) {
    for (unsigned seed = 11; seed <= 13; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(-4.0, 4.0), d(-0.8, 0.8);
        TestCage c;
        const int count = 70;
        allocCageBlocks(c.cage, 3 * count, 0, count, 0);
        std::vector<V3> pts;
        for (int i = 0; i < count; ++i) {
            const V3 centre = {u(rng), 0.3 * u(rng), u(rng)};
            for (int j = 0; j < 3; ++j)
                pts.push_back(add(centre, {d(rng), d(rng), d(rng)}));
            if (i % 6 == 0)
                pts[3 * i + 2] = {pts[3 * i][0], pts[3 * i][1], pts[3 * i][2] + 0.5}; // vertical
        }
        std::vector<PointData*> p = addPoints(c.cage, pts);
        for (int i = 0; i < count; ++i)
            add1TrigonData(c.cage, p[3 * i], p[3 * i + 1], p[3 * i + 2]);
        rebuildCageRestData(c.cage);
        ASSERT_EQ(makeTrisMat2D(c.cage), 1);
        EXPECT_EQ(c->trisMat2D->chunkCapacity, unsigned(2 * count));
        expectListedByXYBox(c.cage);
    }
}

TEST(InsideTest, BoxCageAgreesWithRayCrossings) {
    TestCage c;
    buildCage(c.cage, boxSurface({-1, 0.5, 2}, {2, 1.5, 3.5}));
    expectNormalsInward(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    expectAgreesWithRayCrossings(c.cage, 1, 4000);
    // By hand: the centre is inside, just past a face is not.
    const double centre[3] = {0.5, 1.0, 2.75};
    EXPECT_TRUE(isWithinTheCage(c.cage, centre));
    const double overTop[3] = {0.5, 1.0, 3.5001};
    EXPECT_FALSE(isWithinTheCage(c.cage, overTop));
    const double underBottom[3] = {0.5, 1.0, 1.9999};
    EXPECT_FALSE(isWithinTheCage(c.cage, underBottom));
}

TEST(InsideTest, TiltedBoxAgreesWithRayCrossings) {
    TestCage c;
    buildCage(c.cage, tiltedBoxSurface({0, 0, 0}, {3, 2, 1}, 0.3, -0.5, 0.7));
    expectNormalsInward(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    expectAgreesWithRayCrossings(c.cage, 2, 4000);
}

TEST(InsideTest, OctahedronAgreesWithRayCrossingsAndByHand) {
    TestCage c;
    const V3 centre = {1, -2, 0.5};
    buildCage(c.cage, octahedronSurface(centre, 2.0));
    expectNormalsInward(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    expectAgreesWithRayCrossings(c.cage, 3, 4000);
    // |dx| + |dy| + |dz| < 2 by hand.
    std::mt19937 rng(33);
    std::uniform_real_distribution<double> u(-2.2, 2.2);
    for (int k = 0; k < 2000; ++k) {
        const V3 d = {u(rng), u(rng), u(rng)};
        const double l1 = std::fabs(d[0]) + std::fabs(d[1]) + std::fabs(d[2]);
        if (std::fabs(l1 - 2.0) < 1e-9) continue;
        const V3 q = add(centre, d);
        EXPECT_EQ(isWithinTheCage(c.cage, q.data()), l1 < 2.0)
            << d[0] << ' ' << d[1] << ' ' << d[2];
    }
}

TEST(InsideTest, NonConvexCageWithOverhangAgreesWithRayCrossings) {
    // A "C" opening to +x, two voxels deep: vertical lines through the mouth
    // cross the surface four times.
    std::vector<std::array<int, 3>> vox;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            vox.push_back({x, y, 0});
            vox.push_back({x, y, 2});
        }
        vox.push_back({0, y, 1});
    }
    TestCage c;
    buildCage(c.cage, voxelSurface(vox, {-0.7, 0.3, -1.1}, 0.9));
    expectNormalsInward(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    expectAgreesWithRayCrossings(c.cage, 4, 3000);
    // In the mouth, between the arms: outside; in the arms: inside.
    const double mouth[3] = {-0.7 + 0.9 * 2.5, 0.3 + 0.9, -1.1 + 0.9 * 1.5};
    EXPECT_FALSE(isWithinTheCage(c.cage, mouth));
    const double upperArm[3] = {-0.7 + 0.9 * 2.5, 0.3 + 0.9, -1.1 + 0.9 * 2.5};
    EXPECT_TRUE(isWithinTheCage(c.cage, upperArm));
    const double lowerArm[3] = {-0.7 + 0.9 * 2.5, 0.3 + 0.9, -1.1 + 0.9 * 0.5};
    EXPECT_TRUE(isWithinTheCage(c.cage, lowerArm));
}

TEST(InsideTest, PointsBelowSharedEdgesAndCentres) {
    // Under the top face's centre four fan triangles meet; under a spoke two.
    TestCage c;
    buildCage(c.cage, boxSurface({0, 0, 0}, {2, 2, 2}));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const double underCentre[3] = {1, 1, 1};
    EXPECT_TRUE(isWithinTheCage(c.cage, underCentre));
    const double underSpoke[3] = {1.5, 1.5, 0.25};
    EXPECT_TRUE(isWithinTheCage(c.cage, underSpoke));
    const double overSpoke[3] = {1.5, 1.5, 2.25};
    EXPECT_FALSE(isWithinTheCage(c.cage, overSpoke));
    const double belowAll[3] = {1.5, 1.5, -0.25};
    EXPECT_FALSE(isWithinTheCage(c.cage, belowAll));
}

TEST(InsideTest, OutsideTheXYRangeIsOutside) {
    TestCage c;
    buildCage(c.cage, boxSurface({0, 0, 0}, {2, 3, 1}));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const double cases[][3] = {{-1e-6, 1, 0.5},    {2 + 1e-6, 1, 0.5}, {1, -1e-6, 0.5},
                               {1, 3 + 1e-6, 0.5}, {1e30, 1, 0.5},     {1, -1e30, 0.5}};
    for (const auto& q : cases)
        EXPECT_FALSE(isWithinTheCage(c.cage, q)) << q[0] << ' ' << q[1];
    // Far in z but within x-y: outside, and no overflow on the way.
    const double high[3] = {1, 1, 1e300};
    EXPECT_FALSE(isWithinTheCage(c.cage, high));
}

TEST(InsideTest, NonFinitePointsAndMissingGridsGiveFalse) {
    TestCage c;
    buildCage(c.cage, boxSurface({0, 0, 0}, {1, 1, 1}));
    const double centre[3] = {0.5, 0.5, 0.5};
    // No grid built yet.
    EXPECT_EQ(c->trisMat2D, nullptr);
    EXPECT_FALSE(isWithinTheCage(c.cage, centre));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    ASSERT_TRUE(isWithinTheCage(c.cage, centre));
    const double nan = std::nan("");
    const double bad[][3] = {{nan, 0.5, 0.5},  {0.5, nan, 0.5},   {0.5, 0.5, nan},
                             {kInf, 0.5, 0.5}, {0.5, -kInf, 0.5}, {0.5, 0.5, kInf}};
    for (const auto& q : bad)
        EXPECT_FALSE(isWithinTheCage(c.cage, q));
    EXPECT_FALSE(isWithinTheCage(nullptr, centre));
    EXPECT_FALSE(isWithinTheCage(c.cage, nullptr));
    // Emptied grid.
    destroyMat2D(c->trisMat2D);
    EXPECT_EQ(c->trisMat2D->cellLists, nullptr);
    EXPECT_EQ(c->trisMat2D->chunks, nullptr);
    EXPECT_EQ(c->trisMat2D->chunkCapacity, 0u);
    EXPECT_FALSE(isWithinTheCage(c.cage, centre));
}

TEST(InsideTest, CageWithoutTrianglesIsNeverInside) {
    TestCage c;
    allocCageBlocks(c.cage, 2, 1, 0, 0);
    std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 0}, {1, 1, 1}});
    add1LinegonData(c.cage, p[0], p[1]);
    rebuildCageRestData(c.cage);
    EXPECT_EQ(makeTrisMat2D(c.cage), 0);
    ASSERT_NE(c->trisMat2D, nullptr);
    EXPECT_EQ(c->trisMat2D->cellLists, nullptr);
    const double q[3] = {0.5, 0.5, 0.5};
    EXPECT_FALSE(isWithinTheCage(c.cage, q));

    TestCage empty;
    EXPECT_EQ(makeTrisMat2D(empty.cage), 0);
    EXPECT_FALSE(isWithinTheCage(empty.cage, q));
}

TEST(InsideTest, OpenCageWithNothingAboveIsOutside) {
    // A lone level floor: something below, nothing above.
    TestCage c;
    allocCageBlocks(c.cage, 4, 0, 0, 1);
    std::vector<PointData*> p = addPoints(c.cage, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    add1PolygonData(c.cage, p[0], p[1], p[2], p[3]);
    rebuildCageRestData(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const double above[3] = {0.3, 0.6, 0.5};
    EXPECT_FALSE(isWithinTheCage(c.cage, above));
    const double below[3] = {0.3, 0.6, -0.5};
    EXPECT_FALSE(isWithinTheCage(c.cage, below));
}

TEST(InsideTest, RebuildingAllGridsTwiceIsClean) {
    TestCage c;
    buildCage(c.cage, octahedronSurface({0, 0, 0}, 1.0));
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(makeTrisMat2D(c.cage), 1);
        ASSERT_EQ(makeTrisMat3D(c.cage), 1);
        EXPECT_EQ(makeLineMat3D(c.cage), 0);
        const double q[3] = {0.1, 0.2, 0.3};
        EXPECT_TRUE(isWithinTheCage(c.cage, q));
    }
    const auto first = snapshot2D(c->trisMat2D);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    EXPECT_EQ(snapshot2D(c->trisMat2D), first);
    freeCageGrids(c.cage);
    EXPECT_EQ(c->trisMat2D, nullptr);
    EXPECT_EQ(c->trisMat3D, nullptr);
    EXPECT_EQ(c->lineMat3D, nullptr);
    const double q[3] = {0.1, 0.2, 0.3};
    EXPECT_FALSE(isWithinTheCage(c.cage, q));
}

TEST(InsideTest, AllocationFailureLeavesEmptyGrid) {
    // Octahedron: 8 triangles, chunks of 16 nodes; enough cell spans to need
    // more than one chunk.
    TestCage c;
    buildCage(c.cage, octahedronSurface({0, 0, 0}, 1.0));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    const auto reference = snapshot2D(c->trisMat2D);
    const int chunks = chunkCount(c->trisMat2D->chunks);
    ASSERT_GE(chunks, 2);
    const double q[3] = {0.1, 0.2, 0.3};
    int firstSuccess = 0;
    for (int n = 1; n <= 40 && !firstSuccess; ++n) {
        failGridAllocationAt(n);
        const int built = makeTrisMat2D(c.cage);
        failGridAllocationAt(0);
        if (built) {
            firstSuccess = n;
            EXPECT_EQ(snapshot2D(c->trisMat2D), reference);
            EXPECT_TRUE(isWithinTheCage(c.cage, q));
        } else {
            EXPECT_EQ(c->trisMat2D->cellLists, nullptr);
            EXPECT_EQ(c->trisMat2D->chunks, nullptr);
            EXPECT_EQ(c->trisMat2D->gridDims[0], 0);
            EXPECT_FALSE(isWithinTheCage(c.cage, q));
        }
    }
    EXPECT_EQ(firstSuccess, 1 + 2 * chunks + 1);

    // The record itself failing leaves no grid at all.
    freeCageGrids(c.cage);
    failGridAllocationAt(1);
    EXPECT_EQ(makeTrisMat2D(c.cage), 0);
    failGridAllocationAt(0);
    EXPECT_EQ(c->trisMat2D, nullptr);
    EXPECT_FALSE(isWithinTheCage(c.cage, q));
}

} // namespace
