// The inside test over the 2D triangle grid, checked against a ray-crossing
// parity count on closed cages whose normals point inward, and by hand.
#include "geometry/element_grids.h"
#include "geometry/inside_test.h"
#include "grid_test_support.h"
#include "../support/named_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <random>
#include <vector>

namespace {

using namespace gridtest;

const double kInf = std::numeric_limits<double>::infinity();

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

// A "C" opening to +x, two voxels deep: vertical lines through the mouth
// cross the surface four times.
Surface cWithOverhang() {
    std::vector<std::array<int, 3>> vox;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            vox.push_back({x, y, 0});
            vox.push_back({x, y, 2});
        }
        vox.push_back({0, y, 1});
    }
    return voxelSurface(vox, {-0.7, 0.3, -1.1}, 0.9);
}

struct Probe {
    V3 at;
    bool inside;
};

// A closed cage: its normals point inward, random points agree with the ray
// parity count, and the probes were placed by hand.
struct ClosedCage {
    const char* name;
    Surface surface;
    unsigned seed;
    int count;
    std::vector<Probe> probes;
};
void PrintTo(const ClosedCage& c, std::ostream* os) {
    *os << c.name;
}

const ClosedCage kClosedCages[] = {
    // The centre is inside, just past a face is not.
    {"BoxCageAgreesWithRayCrossings",
     boxSurface({-1, 0.5, 2}, {2, 1.5, 3.5}),
     1,
     4000,
     {{{0.5, 1.0, 2.75}, true}, {{0.5, 1.0, 3.5001}, false}, {{0.5, 1.0, 1.9999}, false}}},
    {"TiltedBoxAgreesWithRayCrossings",
     tiltedBoxSurface({0, 0, 0}, {3, 2, 1}, 0.3, -0.5, 0.7),
     2,
     4000,
     {}},
    {"OctahedronAgreesWithRayCrossings",
     octahedronSurface({1, -2, 0.5}, 2.0),
     3,
     4000,
     {{{1, -2, 0.5}, true}, {{3.01, -2, 0.5}, false}}},
    // In the mouth, between the arms: outside; in the arms: inside.
    {"NonConvexCageWithOverhangAgreesWithRayCrossings",
     cWithOverhang(),
     4,
     3000,
     {{{-0.7 + 0.9 * 2.5, 0.3 + 0.9, -1.1 + 0.9 * 1.5}, false},
      {{-0.7 + 0.9 * 2.5, 0.3 + 0.9, -1.1 + 0.9 * 2.5}, true},
      {{-0.7 + 0.9 * 2.5, 0.3 + 0.9, -1.1 + 0.9 * 0.5}, true}}},
    // Under the top face's centre four fan triangles meet; under a spoke two.
    {"PointsBelowSharedEdgesAndCentres",
     boxSurface({0, 0, 0}, {2, 2, 2}),
     5,
     2000,
     {{{1, 1, 1}, true},
      {{1.5, 1.5, 0.25}, true},
      {{1.5, 1.5, 2.25}, false},
      {{1.5, 1.5, -0.25}, false}}},
    // Past the x-y range by a hair or by far; far in z but within x-y, with
    // no overflow on the way.
    {"OutsideTheXYRangeIsOutside",
     boxSurface({0, 0, 0}, {2, 3, 1}),
     6,
     2000,
     {{{-1e-6, 1, 0.5}, false},
      {{2 + 1e-6, 1, 0.5}, false},
      {{1, -1e-6, 0.5}, false},
      {{1, 3 + 1e-6, 0.5}, false},
      {{1e30, 1, 0.5}, false},
      {{1, -1e30, 0.5}, false},
      {{1, 1, 1e300}, false}}},
};

class InsideClosedCage : public testing::TestWithParam<ClosedCage> {};

TEST_P(InsideClosedCage, AgreesWithRayCrossingsAndByHand) {
    const ClosedCage& w = GetParam();
    TestCage c;
    buildCage(c.cage, w.surface);
    expectNormalsInward(c.cage);
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
    expectAgreesWithRayCrossings(c.cage, w.seed, w.count);
    for (const Probe& q : w.probes)
        EXPECT_EQ(isWithinTheCage(c.cage, q.at.data()), q.inside)
            << q.at[0] << ' ' << q.at[1] << ' ' << q.at[2];
}

INSTANTIATE_TEST_SUITE_P(InsideTest, InsideClosedCage, testing::ValuesIn(kClosedCages),
                         testrows::rowName<ClosedCage>);

TEST(InsideTest, OctahedronIsTheBallOfL1RadiusTwoByHand) {
    TestCage c;
    const V3 centre = {1, -2, 0.5};
    buildCage(c.cage, octahedronSurface(centre, 2.0));
    ASSERT_EQ(makeTrisMat2D(c.cage), 1);
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
    oneLinegon(c.cage, {0, 0, 0}, {1, 1, 1});
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
    oneQuad(c.cage, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0});
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

} // namespace
