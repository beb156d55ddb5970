// The triangle test: regions by hand, border flags of edges and corners,
// distances against an independent point-triangle distance, zero-area
// triangles, the frame-0 variant, and near ties between two triangles.
#include "search_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using namespace searchtest;

constexpr double kTol = 1e-12;

// One standalone trigon in z = 0: P0 (0,0), P1 (1,2), P2 (4,0). Every edge
// is an open border and every point is on the border.
struct OneTrigon : ::testing::Test {
    TestCage cage;
    TrigonData* tri = nullptr;
    void SetUp() override {
        Shape s;
        s.points = {{0, 0, 0}, {1, 2, 0}, {4, 0, 0}};
        s.faces = {{0, 1, 2}};
        buildCage(cage.cage, s);
        tri = cage->trigonList;
    }
};

TEST_F(OneTrigon, OverTheInsideIsTheHeightWithNoOvershoot) {
    const Measure above = measure(testNearTrigon, tri, {2.0, 0.5, 3.0});
    EXPECT_TRUE(above.accepted);
    EXPECT_NEAR(above.dist, 3.0, kTol);
    EXPECT_EQ(above.over, 0.0);
    EXPECT_EQ(above.flag, 0);
    const Measure below = measure(testNearTrigon, tri, {1.0, 1.0, -0.25});
    EXPECT_NEAR(below.dist, 0.25, kTol);
    EXPECT_EQ(below.over, 0.0);
}

TEST_F(OneTrigon, OverAnOpenEdgeIsFlaggedWithThePlanarDistance) {
    // Left of P0P1: 2/sqrt(5) from its line, 1 above the plane.
    const Measure m = measure(testNearTrigon, tri, {0.0, 2.0, 1.0});
    EXPECT_NEAR(m.over, 2.0 / std::sqrt(5.0), kTol);
    EXPECT_NEAR(m.dist, std::sqrt(0.8 + 1.0), kTol);
    EXPECT_EQ(m.flag, 1);
    // Below P2P0.
    const Measure under = measure(testNearTrigon, tri, {2.0, -0.5, 0.0});
    EXPECT_NEAR(under.over, 0.5, kTol);
    EXPECT_NEAR(under.dist, 0.5, kTol);
}

TEST_F(OneTrigon, PastACornerIsMeasuredToTheCorner) {
    const Measure c2 = measure(testNearTrigon, tri, {5.0, -1.0, 0.0});
    EXPECT_NEAR(c2.dist, std::sqrt(2.0), kTol);
    EXPECT_NEAR(c2.over, std::sqrt(2.0), kTol);
    EXPECT_EQ(c2.flag, 1);
    const Measure c1 = measure(testNearTrigon, tri, {1.0, 3.0, 2.0});
    EXPECT_NEAR(c1.dist, std::sqrt(1.0 + 4.0), kTol);
    EXPECT_NEAR(c1.over, 1.0, kTol);
    const Measure c0 = measure(testNearTrigon, tri, {-1.0, -1.0, 0.0});
    EXPECT_NEAR(c0.dist, std::sqrt(2.0), kTol);
}

// A square of two trigons sharing the diagonal a-c.
TEST(NearTrigonFlags, SharedEdgeIsNotABorderOpenEdgeIs) {
    Shape s;
    s.points = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    s.faces = {{0, 1, 2}, {0, 2, 3}};
    TestCage cage;
    buildCage(cage.cage, s);
    TrigonData* abc = nullptr;
    for (TrigonData* t : allTriangles(cage.cage))
        if (t->pnt[1]->restPos[1] == 0.0) abc = t;
    ASSERT_NE(abc, nullptr);
    ASSERT_NE(abc->edge[2], nullptr);
    ASSERT_NE(abc->edge[2]->trigonB, nullptr);

    // Across the diagonal (over the other trigon): shared, no flag.
    const Measure across = measure(testNearTrigon, abc, {0.5, 1.5, 0.3});
    EXPECT_NEAR(across.over, std::sqrt(0.5), kTol);
    EXPECT_EQ(across.flag, 0);
    EXPECT_EQ(across.stored, 0);
    // Below a-b: open border.
    const Measure below = measure(testNearTrigon, abc, {1.0, -0.5, 0.0});
    EXPECT_NEAR(below.over, 0.5, kTol);
    EXPECT_EQ(below.flag, 1);
    EXPECT_EQ(below.stored, 1);
}

// Four trigons around an apex with no base: the apex is inner, the base
// corners are on the border.
TEST(NearTrigonFlags, CornerFlagIsThePointsBorderState) {
    Shape s;
    s.points = {{0, 0, 1}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}};
    s.faces = {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 1}};
    TestCage cage;
    std::vector<PointData*> p = buildCage(cage.cage, s);
    ASSERT_EQ(p[0]->onBorder, 0);
    ASSERT_EQ(p[1]->onBorder, 1);

    const V3 overApex = {0.0, 0.0, 3.0};
    const V3 pastBase = {2.0, -2.0, -0.5};
    for (TrigonData* t : allTriangles(cage.cage)) {
        const Measure m = measure(testNearTrigon, t, overApex);
        EXPECT_NEAR(m.dist, 2.0, kTol); // the apex is nearest on every face
        EXPECT_EQ(m.flag, 0);
    }
    int atBaseCorner = 0;
    for (TrigonData* t : allTriangles(cage.cage)) {
        const Measure m = measure(testNearTrigon, t, pastBase);
        if (std::fabs(m.dist - norm(sub(pastBase, rest(p[1])))) < 1e-12) {
            ++atBaseCorner;
            EXPECT_EQ(m.flag, 1);
        }
    }
    EXPECT_EQ(atBaseCorner, 2); // both faces at that corner
}

TEST(NearTrigon, MatchesPointTriangleDistanceOnRandomTriangles) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> u(-4.0, 4.0);
    Shape s;
    for (int i = 0; i < 150; ++i) {
        for (int k = 0; k < 3; ++k)
            s.points.push_back({u(rng), u(rng), u(rng)});
        s.faces.push_back({3 * i, 3 * i + 1, 3 * i + 2});
    }
    // Thin and obtuse ones too.
    s.points.push_back({0, 0, 0});
    s.points.push_back({5, 0.01, 0});
    s.points.push_back({10, 0, 0.02});
    s.faces.push_back({450, 451, 452});
    TestCage cage;
    buildCage(cage.cage, s);
    int inside = 0;
    for (TrigonData* t : allTriangles(cage.cage)) {
        const V3 a = rest(t->pnt[0]), b = rest(t->pnt[1]), c = rest(t->pnt[2]);
        const V3 n = cross(sub(b, a), sub(c, a));
        const V3 un = mul(n, 1.0 / norm(n));
        for (int k = 0; k < 40; ++k) {
            const V3 q = {u(rng) * 1.5, u(rng) * 1.5, u(rng) * 1.5};
            const Measure m = measure(testNearTrigon, t, q);
            ASSERT_TRUE(m.accepted);
            const double want = pointTriangleDistance(q, a, b, c);
            EXPECT_NEAR(m.dist, want, 1e-9 * (1.0 + want));
            // Overshoot is the in-plane part of the distance.
            const double h = dot(sub(q, a), un);
            EXPECT_NEAR(m.over, std::sqrt(std::fmax(0.0, want * want - h * h)), 1e-6);
            if (m.over == 0.0) {
                ++inside;
                EXPECT_EQ(m.flag, 0);
            } else {
                EXPECT_EQ(m.flag, 1); // all open here
            }
        }
    }
    EXPECT_GT(inside, 100);
}

// --- zero-area triangles ------------------------------------------------------------

struct FlatTrigons : ::testing::Test {
    TestCage cage;
    TrigonData* line = nullptr;  // collinear: (0,0,0) (1,0,0) (3,0,0)
    TrigonData* spoke = nullptr; // P2 on P0: (0,5,0) (2,5,0) (0,5,0)
    TrigonData* dot = nullptr;   // one point three times: (7,7,7)
    void SetUp() override {
        Shape s;
        s.points = {{0, 0, 0}, {1, 0, 0}, {3, 0, 0}, {0, 5, 0}, {2, 5, 0},
                    {0, 5, 0}, {7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
        s.faces = {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}};
        buildCage(cage.cage, s);
        for (TrigonData* t : allTriangles(cage.cage)) {
            if (t->pnt[0]->restPos[1] == 0.0) line = t;
            if (t->pnt[0]->restPos[1] == 5.0) spoke = t;
            if (t->pnt[0]->restPos[1] == 7.0) dot = t;
        }
        ASSERT_TRUE(line && spoke && dot);
    }
};

TEST_F(FlatTrigons, AreMeasuredToTheirSidesNotAsDistanceZero) {
    const Measure m = measure(testNearTrigon, line, {2.0, 3.0, 4.0});
    EXPECT_NEAR(m.dist, 5.0, kTol);
    EXPECT_NEAR(m.over, 5.0, kTol);
    EXPECT_EQ(m.flag, 1); // open edge of a standalone trigon

    const Measure past = measure(testNearTrigon, line, {-3.0, 0.0, 4.0});
    EXPECT_NEAR(past.dist, 5.0, kTol);

    const Measure s = measure(testNearTrigon, spoke, {1.0, 5.0, 2.0});
    EXPECT_NEAR(s.dist, 2.0, kTol);
    const Measure d = measure(testNearTrigon, dot, {7.0, 10.0, 11.0});
    EXPECT_NEAR(d.dist, 5.0, kTol);
}

TEST_F(FlatTrigons, RandomPointsGiveTheSideDistance) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (TrigonData* t : {line, spoke, dot}) {
        const V3 a = rest(t->pnt[0]), b = rest(t->pnt[1]), c = rest(t->pnt[2]);
        for (int k = 0; k < 300; ++k) {
            const V3 q = {u(rng), u(rng), u(rng)};
            const Measure m = measure(testNearTrigon, t, q);
            ASSERT_TRUE(std::isfinite(m.dist) && std::isfinite(m.over));
            EXPECT_NEAR(m.dist, pointTriangleDistance(q, a, b, c), 1e-9);
        }
    }
}

TEST_F(FlatTrigons, LoseATieToAProperNeighbour) {
    // A proper triangle sharing the collinear one's span: from a point over
    // the span, both are equally near but the flat one overshoots.
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {3, 0, 0}, {0, 0, 0}, {1.5, -2, 0}, {3, 0, 0}};
    s.faces = {{0, 1, 2}, {3, 4, 5}};
    TestCage two;
    buildCage(two.cage, s);
    const V3 q = {1.5, 0.0, 1.0};
    for (int order = 0; order < 2; ++order) {
        std::vector<TrigonData*> tris = allTriangles(two.cage);
        if (order) std::swap(tris[0], tris[1]);
        NearestElement near;
        for (TrigonData* t : tris)
            testNearTrigon(t, q.data(), &near);
        ASSERT_NE(near.trigon, nullptr);
        EXPECT_NEAR(near.trigon->pnt[1]->restPos[1], -2.0, 0.0) << "order " << order;
        EXPECT_NEAR(near.dist, 1.0 + 2e-6, kTol);
    }
}

// --- frame 0 ---------------------------------------------------------------------------

TEST(NearTrigonFrameZero, MeasuresTheBaseShape) {
    Shape s;
    s.points = {{0, 0, 0}, {1, 2, 0}, {4, 0, 0}};
    s.faces = {{0, 1, 2}};
    TestCage cage;
    buildCage(cage.cage, s, true, {10, 0, 0});
    TrigonData* t = cage->trigonList;
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> u(-3.0, 15.0);
    for (int k = 0; k < 400; ++k) {
        const V3 q = {u(rng), u(rng) * 0.5, u(rng) * 0.3};
        const Measure atBase = measure(testNearTrigon, t, q, kBaseShape);
        const Measure atRest = measure(testNearTrigon, t, q);
        EXPECT_NEAR(atBase.dist,
                    pointTriangleDistance(q, base(t->pnt[0]), base(t->pnt[1]), base(t->pnt[2])),
                    1e-9);
        EXPECT_NEAR(atRest.dist,
                    pointTriangleDistance(q, rest(t->pnt[0]), rest(t->pnt[1]), rest(t->pnt[2])),
                    1e-9);
    }
}

// --- near ties ----------------------------------------------------------------------------

// `level` lies flat under q at distance 1 (overshoot 0); `wall` is in q's
// plane, its edge at 1 + gap from q (overshoot 1 + gap).
struct NearTie {
    TestCage cage;
    TrigonData* level = nullptr;
    TrigonData* wall = nullptr;
    V3 q = {0.0, 0.0, 1.0};
    explicit NearTie(double gap) {
        const double x = 1.0 + gap;
        Shape s;
        s.points = {{-1, -1, 0}, {-1, 1, 0}, {1, 0, 0}, {x, -1, 1}, {x, 1, 1}, {x + 2, 0, 1}};
        s.faces = {{0, 1, 2}, {3, 4, 5}};
        buildCage(cage.cage, s);
        for (TrigonData* t : allTriangles(cage.cage))
            (t->pnt[0]->restPos[2] == 0.0 ? level : wall) = t;
    }
    TrigonData* winner(bool wallFirst, double* dist) {
        NearestElement near;
        TrigonData* seq[2] = {wallFirst ? wall : level, wallFirst ? level : wall};
        for (TrigonData* t : seq)
            testNearTrigon(t, q.data(), &near);
        *dist = near.dist;
        return near.trigon;
    }
};

TEST(NearTrigonTies, WithinTheWindowTheSmallerOvershootWins) {
    for (double gap : {1e-6, -1e-6, 1.9e-6, -1.9e-6}) {
        NearTie tie(gap);
        const Measure mw = measure(testNearTrigon, tie.wall, tie.q);
        ASSERT_NEAR(mw.dist, 1.0 + gap, 1e-12);
        ASSERT_NEAR(mw.over, 1.0 + gap, 1e-12);
        for (bool wallFirst : {false, true}) {
            double d = 0;
            EXPECT_EQ(tie.winner(wallFirst, &d), tie.level) << gap << " " << wallFirst;
            EXPECT_NEAR(d, 1.0 + 2e-6, kTol);
        }
    }
}

TEST(NearTrigonTies, OutsideTheWindowTheNearerWins) {
    for (bool wallFirst : {false, true}) {
        NearTie nearer(-5e-6);
        double d = 0;
        EXPECT_EQ(nearer.winner(wallFirst, &d), nearer.wall);
        EXPECT_NEAR(d, 1.0 - 5e-6 + 2e-6, kTol);
        NearTie farther(5e-6);
        EXPECT_EQ(farther.winner(wallFirst, &d), farther.level);
    }
}

TEST(NearTrigon, NullArgumentsChangeNothing) {
    NearestElement near;
    const double q[3] = {0, 0, 0};
    EXPECT_EQ(testNearTrigon(nullptr, q, &near), 0);
    EXPECT_EQ(testNearTrigon(nullptr, q, &near, kBaseShape), 0);
    EXPECT_EQ(testNearLine(nullptr, q, &near), 0);
    EXPECT_EQ(testNearLine(nullptr, q, nullptr), 0);
    EXPECT_EQ(near.trigon, nullptr);
    EXPECT_EQ(near.linegon, nullptr);
    EXPECT_EQ(near.dist, 1e20);
}

} // namespace
