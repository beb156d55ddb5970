// The surface-distance brush weights on hand-measured cages.
#include "brush_test_support.h"

#include <gtest/gtest.h>

using namespace brushtest;

namespace {

bool reached(const EditCageState* state, const PointData* p) {
    for (const PointData* r = state->reachedList; r; r = r->reachedNext)
        if (r == p) return true;
    return false;
}

} // namespace

// A flat surface unfolds onto itself, so a point reached along a near-straight
// path (at most 1.2 times the straight distance) is at its straight distance.
// Triangles split every cell the same way, so some points are reached only
// along bent paths, and measure between the straight distance and the path.
class FlatGrid : public ::testing::TestWithParam<bool> {};

TEST_P(FlatGrid, DistancesAreStraightDistancesFromTheHit) {
    Posed grid(gridShape(6, 6, GetParam()));
    PointData* hit = grid.p[3 + 7 * 2];
    Brush brush(4.5);
    brush.run(grid.cage.cage, hit);
    int nearStraight = 0;
    for (PointData* p : grid.p) {
        const double straight = norm(sub(world(p), world(hit)));
        if (straight > 4.4) continue;
        EXPECT_TRUE(p->inRange || !GetParam()) << p->index; // triangles bend some paths out
        if (!p->inRange) continue;
        EXPECT_NEAR(p->brushWeight, 1.0 - p->searchDistance / 4.5, 1e-12) << p->index;
        if (p->pathLength > 1.2 * straight) {
            EXPECT_GT(p->searchDistance, straight) << p->index;
            continue;
        }
        ++nearStraight;
        EXPECT_NEAR(p->searchDistance, straight, 1e-9) << p->index;
    }
    EXPECT_GT(nearStraight, GetParam() ? 40 : 25);
    if (GetParam()) return;
    // (4, 1) lies against the split: two unit steps for a straight sqrt 2, a
    // ratio of sqrt 2, which is (sqrt 2 - 1.2) / 0.6 into the blend.
    const double r2 = std::sqrt(2.0), t = (r2 - 1.2) / 0.6;
    EXPECT_NEAR(grid.p[4 + 7 * 1]->searchDistance, r2 + (2.0 - r2) * t, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(QuadsAndTriangles, FlatGrid, ::testing::Bool());

TEST(SurfaceDistance, ThinBoxFarSideIsMeasuredAroundTheRim) {
    Posed box(thinBoxShape(0.1));
    PointData *top = box.p[4], *bottom = box.p[13];
    ASSERT_NEAR(norm(sub(world(top), world(bottom))), 0.1, 1e-12);
    Brush wide(3.0);
    wide.run(box.cage.cage, top);
    EXPECT_TRUE(bottom->inRange);
    EXPECT_NEAR(bottom->searchDistance, 1.0 + 0.1 + 1.0, 0.05);
    Brush narrow(1.5);
    narrow.run(box.cage.cage, top);
    EXPECT_FALSE(bottom->inRange);
    EXPECT_EQ(bottom->brushWeight, 0.0);
    EXPECT_NEAR(box.p[5]->brushWeight, 1.0 - 1.0 / 1.5, 1e-9); // the rim beside the hit
}

// One 2 x 2 quad, hit at corner 0, falloff (1 - x)^2: the source weighs 1, a
// corner 2 away 0 at radius 2 and 1/4 at radius 4, the centre nothing.
class QuadWeights : public ::testing::TestWithParam<std::array<double, 2>> {};

TEST_P(QuadWeights, FollowTheFalloffOfDistanceOverRadius) {
    const auto [radius, sideWeight] = GetParam();
    Posed quad({{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{0, 1, 2, 3}}, {}});
    Brush brush(radius);
    brush.state->falloffExponents[0] = brush.state->falloffExponents[1] = 2.0;
    brush.run(quad.cage.cage, quad.p[0]);
    EXPECT_EQ(quad.p[0]->brushWeight, 1.0);
    for (int k : {1, 3}) {
        EXPECT_TRUE(quad.p[k]->inRange);
        EXPECT_EQ(quad.p[k]->searchDistance, 2.0);
        EXPECT_NEAR(quad.p[k]->brushWeight, sideWeight, 1e-12);
    }
    const PointData& centre = quad.cage->polygonList->center;
    EXPECT_TRUE(centre.inRange);
    EXPECT_EQ(centre.brushWeight, 0.0);
    EXPECT_FALSE(reached(brush.state.get(), &centre));
}

INSTANTIATE_TEST_SUITE_P(AtAndBeyondTheSide, QuadWeights,
                         ::testing::Values(std::array<double, 2>{2.0, 0.0},
                                           std::array<double, 2>{4.0, 0.25}));

// The selected diagonal of a quad grid joins only through polygon centres.
TEST(SurfaceDistance, SelectionIsReachedThroughPolygonCentres) {
    Posed grid(gridShape(3, 3, true));
    for (int k = 0; k < 4; ++k)
        grid.p[5 * k]->selected = 1;
    Brush brush(10.0);
    brush.state->selectedPointCount = 4;
    brush.run(grid.cage.cage, grid.p[0]);
    for (PointData* p : grid.p) {
        EXPECT_EQ(p->inRange, p->selected) << p->index;
        EXPECT_EQ(reached(brush.state.get(), p), bool(p->selected)) << p->index;
        if (p->selected) {
            EXPECT_NEAR(p->searchDistance, p->index / 5 * std::sqrt(2.0), 1e-9);
        }
    }
    for (PolygonData* poly = grid.cage->polygonList; poly; poly = poly->next) {
        EXPECT_TRUE(poly->center.inRange || !poly->pnt[0]->selected);
        EXPECT_EQ(poly->center.brushWeight, 0.0);
    }
}

// A hit on an element starts from the hit position: the element's points are
// the first ring at their straight distances, behind the virtual source.
TEST(SurfaceDistance, ElementHitMakesItsPointsTheFirstRing) {
    Shape s = gridShape(2, 2, false);
    s.lines.push_back({0, 8});
    Posed grid(s);
    Brush brush(10.0);
    const V3 hit = {1.3, 1.6, 0.0}; // inside the newest trigon
    for (int k = 0; k < 3; ++k)
        brush.state->hitPos[k] = hit[k];
    TrigonData* tri = grid.cage->trigonList;
    brush.run(grid.cage.cage, nullptr, nullptr, tri);
    for (PointData* p : tri->pnt) {
        EXPECT_NEAR(p->searchDistance, norm(sub(world(p), hit)), 1e-12);
        EXPECT_EQ(p->searchLevel, 1u);
        EXPECT_EQ(p->searchPrev, &brush.state->virtualSource);
    }
    brush.run(grid.cage.cage, nullptr, grid.cage->linegonList, nullptr);
    for (PointData* p : grid.cage->linegonList->pnt)
        EXPECT_NEAR(p->searchDistance, norm(sub(world(p), hit)), 1e-12);
    EXPECT_FALSE(reached(brush.state.get(), &brush.state->virtualSource));

    brush.run(grid.cage.cage, nullptr);
    EXPECT_EQ(brush.state->reachedList, nullptr);
    EXPECT_EQ(brush.state->maxLevel, 0u);
    for (PointData* p : grid.p)
        EXPECT_TRUE(p->searchOpen && !p->inRange && p->brushWeight == 0.0);
}
