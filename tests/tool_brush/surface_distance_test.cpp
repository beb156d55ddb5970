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

// A flat surface unfolds onto itself: a point reached along a near-straight
// path (at most 1.2 times the straight distance) is at its straight distance.
// Triangles split every cell alike, so some paths bend and measure longer.
class FlatGrid : public ::testing::TestWithParam<bool> {};

TEST_P(FlatGrid, DistancesAreStraightDistancesFromTheHit) {
    Brush b(gridShape(6, 6, GetParam()), 4.5);
    PointData* hit = b.p[3 + 7 * 2];
    b.run(hit);
    int nearStraight = 0;
    for (PointData* p : b.p) {
        const double straight = norm(sub(world(p), world(hit)));
        if (straight > 4.4 || (!p->inRange && !GetParam())) continue;
        EXPECT_NEAR(p->brushWeight, 1.0 - p->searchDistance / 4.5, 1e-12) << p->index;
        if (p->pathLength > 1.2 * straight) continue;
        ++nearStraight;
        EXPECT_NEAR(p->searchDistance, straight, 1e-9) << p->index;
    }
    EXPECT_GT(nearStraight, GetParam() ? 40 : 25);
    // (4, 1) lies against the split: two unit steps for a straight sqrt 2, a
    // ratio (sqrt 2 - 1.2) / 0.6 into the blend toward the path length.
    const double r2 = std::sqrt(2.0), t = (r2 - 1.2) / 0.6;
    if (!GetParam()) {
        EXPECT_NEAR(b.p[4 + 7]->searchDistance, r2 + (2.0 - r2) * t, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(QuadsAndTriangles, FlatGrid, ::testing::Bool());

TEST(SurfaceDistance, ThinBoxFarSideIsMeasuredAroundTheRim) {
    for (double radius : {3.0, 1.5}) {
        Brush b(thinBoxShape(0.1), radius);
        ASSERT_NEAR(norm(sub(world(b.p[4]), world(b.p[13]))), 0.1, 1e-12);
        b.run(b.p[4]);
        EXPECT_EQ(b.p[13]->inRange, radius > 2.1);
        EXPECT_NEAR(b.p[13]->searchDistance, radius > 2.1 ? 1.0 + 0.1 + 1.0 : 1e20, 0.05);
        EXPECT_NEAR(b.p[5]->brushWeight, 1.0 - 1.0 / radius, 1e-9); // the rim beside the hit
    }
}

// A 2 x 2 quad hit at a corner, falloff (1 - x)^2: the hit weighs 1, the
// corners beside it 0 at radius 2 and 1/4 at radius 4, the centre nothing.
TEST(SurfaceDistance, WeightsFollowTheFalloffOfDistanceOverRadius) {
    for (double radius : {2.0, 4.0}) {
        Brush b({{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{0, 1, 2, 3}}, {}}, radius);
        b.state->falloffExponents[0] = b.state->falloffExponents[1] = 2.0;
        b.run(b.p[0]);
        EXPECT_EQ(b.p[0]->brushWeight, 1.0);
        for (int k : {1, 3})
            EXPECT_TRUE(b.p[k]->inRange && b.p[k]->brushWeight == (radius == 2.0 ? 0.0 : 0.25));
        const PointData* centre = &b.cage->polygonList->center;
        EXPECT_TRUE(centre->inRange && centre->brushWeight == 0.0 &&
                    !reached(b.state.get(), centre));
    }
}

// The selected diagonal of a quad grid joins only through polygon centres.
TEST(SurfaceDistance, SelectionIsReachedThroughPolygonCentres) {
    Brush b(gridShape(3, 3, true), 10.0);
    for (int k = 0; k < 4; ++k)
        b.p[5 * k]->selected = 1;
    b.state->selectedPointCount = 4;
    b.run(b.p[0]);
    for (PointData* p : b.p) {
        EXPECT_EQ(reached(b.state.get(), p), p->inRange && p->selected) << p->index;
        EXPECT_NEAR(p->searchDistance, p->selected ? p->index / 5 * std::sqrt(2.0) : 1e20, 1e-9);
    }
    for (PolygonData* poly = b.cage->polygonList; poly; poly = poly->next)
        EXPECT_TRUE((poly->center.inRange || !poly->pnt[0]->selected) && !poly->center.brushWeight);
}

// A hit on an element starts from the hit position: its points are the first
// ring at their straight distances, behind the virtual source. No hit resets.
TEST(SurfaceDistance, ElementHitMakesItsPointsTheFirstRing) {
    Shape s = gridShape(2, 2, false);
    s.lines.push_back({0, 8});
    Brush b(s, 10.0);
    const V3 hit = {1.3, 1.6, 0.0}; // inside the newest trigon
    std::copy(hit.begin(), hit.end(), b.state->hitPos);
    for (int kind : {0, 1}) {
        b.run(nullptr, kind ? b.cage->linegonList : nullptr, kind ? nullptr : b.cage->trigonList);
        PointData** ring = kind ? b.cage->linegonList->pnt : b.cage->trigonList->pnt;
        for (PointData* p : {ring[0], ring[1], ring[2 - kind]}) {
            EXPECT_NEAR(p->searchDistance, norm(sub(world(p), hit)), 1e-12);
            EXPECT_TRUE(p->searchLevel == 1 && p->searchPrev == &b.state->virtualSource);
        }
        EXPECT_FALSE(reached(b.state.get(), &b.state->virtualSource));
    }
    b.run(nullptr);
    EXPECT_TRUE(!b.state->reachedList && !b.state->maxLevel && !b.state->searchChunks);
    for (PointData* p : b.p)
        EXPECT_TRUE(p->searchOpen && !p->inRange && p->brushWeight == 0.0);
}
