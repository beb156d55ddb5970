// The linegon test: distance, overshoot and free-end flag by hand and
// against point-segment distance, the acceptance rule's window and margin,
// collapsed linegons, and the frame-0 variant.
#include "search_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using namespace searchtest;

constexpr double kTol = 1e-12;

// An L-shaped chain P0 - P1 - P2: P0 and P2 are free ends, P1 a joint.
struct Chain : ::testing::Test {
    TestCage cage;
    std::vector<PointData*> p;
    LinegonData* first = nullptr;  // P0 -> P1, length 2 along x
    LinegonData* second = nullptr; // P1 -> P2, length 3 along y
    void SetUp() override {
        Shape s;
        s.points = {{0, 0, 0}, {2, 0, 0}, {2, 3, 0}};
        s.lines = {{0, 1}, {1, 2}};
        p = buildCage(cage.cage, s);
        for (LinegonData* l : allLinegons(cage.cage))
            (l->pnt[0] == p[0] ? first : second) = l;
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
    }
};

TEST_F(Chain, BesideTheMiddleIsThePerpendicularDistanceWithoutOvershoot) {
    const Measure m = measure(testNearLine, first, {1.0, 0.5, 0.2});
    EXPECT_TRUE(m.accepted);
    EXPECT_NEAR(m.dist, std::sqrt(0.25 + 0.04), kTol);
    EXPECT_EQ(m.over, 0.0);
    EXPECT_EQ(m.flag, 0);
}

TEST_F(Chain, BeyondAFreeEndIsFlaggedWithTheDistancePastTheEnd) {
    const Measure m = measure(testNearLine, first, {-0.5, 0.3, 0.0});
    EXPECT_NEAR(m.dist, std::sqrt(0.09 + 0.25), kTol);
    EXPECT_NEAR(m.over, 0.5, kTol);
    EXPECT_EQ(m.flag, 1);
    EXPECT_EQ(m.stored, 1);

    const Measure far = measure(testNearLine, second, {2.0, 3.7, 0.1});
    EXPECT_NEAR(far.dist, std::sqrt(0.49 + 0.01), kTol);
    EXPECT_NEAR(far.over, 0.7, kTol);
    EXPECT_EQ(far.flag, 1);
}

TEST_F(Chain, BeyondAnInnerJointIsNotFlagged) {
    const Measure m = measure(testNearLine, first, {2.5, -0.4, 0.0});
    EXPECT_NEAR(m.dist, std::sqrt(0.16 + 0.25), kTol);
    EXPECT_NEAR(m.over, 0.5, kTol);
    EXPECT_EQ(m.flag, 0);

    const Measure back = measure(testNearLine, second, {2.3, -0.6, 0.0});
    EXPECT_NEAR(back.dist, std::sqrt(0.09 + 0.36), kTol);
    EXPECT_NEAR(back.over, 0.6, kTol);
    EXPECT_EQ(back.flag, 0);
}

TEST_F(Chain, OnTheEndPlaneIsMeasuredToTheEndPointWithNoOvershoot) {
    const Measure m = measure(testNearLine, first, {0.0, 0.6, -0.8});
    EXPECT_NEAR(m.dist, 1.0, kTol);
    EXPECT_EQ(m.over, 0.0);
    EXPECT_EQ(m.flag, 1); // still the free end's side
}

TEST_F(Chain, FlagIsReturnedEvenWhenRejected) {
    NearestElement near;
    near.linegon = second;
    near.dist = 0.1;
    near.over = 0.0;
    const double q[3] = {-3.0, 0.0, 0.0};
    EXPECT_EQ(testNearLine(first, q, &near), 1);
    EXPECT_EQ(near.linegon, second);
    EXPECT_EQ(near.dist, 0.1);
    EXPECT_EQ(near.over, 0.0);
    EXPECT_EQ(near.border, 0);
}

TEST_F(Chain, NonFiniteQueryIsNeverAccepted) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const V3 bad[] = {{nan, 0, 0}, {0, nan, 0}, {inf, 0, 0}, {0, 0, -inf}};
    for (const V3& q : bad) {
        const Measure m = measure(testNearLine, first, q);
        EXPECT_FALSE(m.accepted);
        EXPECT_EQ(m.dist, 1e20 - kNearDistanceMargin);
    }
}

TEST(NearLine, MatchesPointSegmentDistanceOnRandomSegments) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-5.0, 5.0);
    Shape s;
    for (int i = 0; i < 60; ++i) {
        s.points.push_back({u(rng), u(rng), u(rng)});
        s.points.push_back({u(rng), u(rng), u(rng)});
        s.lines.push_back({2 * i, 2 * i + 1});
    }
    TestCage cage;
    buildCage(cage.cage, s);
    for (LinegonData* l : allLinegons(cage.cage)) {
        const V3 a = rest(l->pnt[0]), b = rest(l->pnt[1]);
        const V3 dir = mul(sub(b, a), 1.0 / norm(sub(b, a)));
        const double len = norm(sub(b, a));
        for (int k = 0; k < 40; ++k) {
            const V3 q = {u(rng), u(rng), u(rng)};
            const Measure m = measure(testNearLine, l, q);
            ASSERT_TRUE(m.accepted);
            EXPECT_NEAR(m.dist, pointSegmentDistance(q, a, b), 1e-10);
            const double along = dot(sub(q, a), dir);
            const double past = along < 0 ? -along : (along > len ? along - len : 0.0);
            EXPECT_NEAR(m.over, past, 1e-10);
            EXPECT_EQ(m.flag, past > 0 ? 1 : 0); // every end is free here
        }
    }
}

TEST(NearLine, CollapsedLinegonIsMeasuredToItsPoint) {
    Shape s;
    s.points = {{1, 1, 1}, {1, 1, 1}};
    s.lines = {{0, 1}};
    TestCage cage;
    buildCage(cage.cage, s);
    LinegonData* l = cage->linegonList;
    ASSERT_EQ(l->restLength, 2e-6);
    const Measure side = measure(testNearLine, l, {1.3, 1.4, 1.0});
    EXPECT_NEAR(side.dist, 0.5, kTol);
    EXPECT_EQ(side.over, 0.0);

    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    for (int k = 0; k < 500; ++k) {
        const V3 q = {u(rng), u(rng), u(rng)};
        const Measure m = measure(testNearLine, l, q);
        ASSERT_TRUE(std::isfinite(m.dist));
        ASSERT_TRUE(std::isfinite(m.over));
        EXPECT_NEAR(m.dist, norm(sub(q, {1, 1, 1})), 2e-6 + 1e-12);
    }
}

TEST(NearLine, FrameZeroVariantMeasuresTheBaseShape) {
    Shape s;
    s.points = {{0, 0, 0}, {0, 4, 0}};
    s.lines = {{0, 1}};
    TestCage cage;
    buildCage(cage.cage, s, true, {0, 0, 5}); // base shape sits 5 higher
    LinegonData* l = cage->linegonList;
    const V3 q = {0.0, 2.0, 5.0};
    const Measure atBase = measure(testNearLine, l, q, kBaseShape);
    const Measure atRest = measure(testNearLine, l, q);
    EXPECT_NEAR(atBase.dist, 0.0, kTol);
    EXPECT_NEAR(atRest.dist, 5.0, kTol);

    const Measure past = measure(testNearLine, l, {3.0, 8.0, 5.0}, kBaseShape);
    EXPECT_NEAR(past.dist, 5.0, kTol);
    EXPECT_NEAR(past.over, 4.0, kTol);
}

// --- acceptance rule --------------------------------------------------------------

// Straight linegon along x: a point (5, y, 0) is at distance |y|, overshoot 0;
// (10 + o, y, 0) at sqrt(o^2 + y^2) with overshoot o.
struct Acceptance : ::testing::Test {
    TestCage cage;
    LinegonData* lin = nullptr;
    LinegonData other{};
    void SetUp() override {
        Shape s;
        s.points = {{0, 0, 0}, {10, 0, 0}};
        s.lines = {{0, 1}};
        buildCage(cage.cage, s);
        lin = cage->linegonList;
    }
    // Runs the test from the state (other, bestDist, bestOver, 7).
    bool accepts(const V3& q, double bestDist, double bestOver, double* outDist = nullptr,
                 double* outOver = nullptr) {
        NearestElement near;
        near.linegon = &other;
        near.dist = bestDist;
        near.over = bestOver;
        near.border = 7;
        testNearLine(lin, q.data(), &near);
        if (outDist) *outDist = near.dist;
        if (outOver) *outOver = near.over;
        if (near.linegon == &other) {
            EXPECT_EQ(near.dist, bestDist);
            EXPECT_EQ(near.over, bestOver);
            EXPECT_EQ(near.border, 7);
        }
        return near.linegon == lin;
    }
};

TEST_F(Acceptance, StoresTheDistancePlusTheMarginAndTheOvershoot) {
    double d = 0, o = 0;
    ASSERT_TRUE(accepts({10.3, 0.4, 0.0}, 1e20, 1e20, &d, &o));
    EXPECT_NEAR(d, 0.5 + 2e-6, kTol);
    EXPECT_NEAR(o, 0.3, kTol);
}

TEST_F(Acceptance, NotNearerThanTheBestIsRejected) {
    const V3 q = {5.0, 1.0, 0.0};
    const double d = 1.0; // exact: the frame of a linegon along x is exact
    ASSERT_NEAR(measure(testNearLine, lin, q).dist, d, kTol);
    EXPECT_FALSE(accepts(q, d, 1e20)); // equal distance
    EXPECT_FALSE(accepts(q, 0.5, 1e20));
    EXPECT_TRUE(accepts(q, std::nextafter(d, 2.0), 1e20));
}

TEST_F(Acceptance, WithinTheWindowTheLargerOvershootLoses) {
    // Distance 1, overshoot 0.6: beyond the end by 0.6, 0.8 to the side.
    const V3 q = {10.6, 0.8, 0.0};
    EXPECT_FALSE(accepts(q, 1.0 + 3.9e-6, 0.5)); // window, larger overshoot
    EXPECT_TRUE(accepts(q, 1.0 + 3.9e-6, 0.6));  // equal overshoot passes
    EXPECT_TRUE(accepts(q, 1.0 + 3.9e-6, 0.7));  // smaller overshoot wins
    EXPECT_TRUE(accepts(q, 1.0 + 4.1e-6, 0.5));  // outside the window
    EXPECT_FALSE(accepts(q, 1.0 + 1e-7, 0.0));
}

TEST(NearLineOrder, SmallerOvershootWinsWhateverTheOrder) {
    // From q, `low` is 1.5 away over its span; `high` is 1e-6 nearer but
    // past its end by 0.9.
    const V3 q = {5.0, 0.0, 1.5};
    const double r = 1.5 - 1e-6, past = 0.9;
    const double side = std::sqrt(r * r - past * past);
    const double bx = q[0] - past, bz = q[2] + side;
    Shape s;
    s.points = {{0, 0, 0}, {10, 0, 0}, {bx - 4.0, 0, bz}, {bx, 0, bz}};
    s.lines = {{0, 1}, {2, 3}};
    TestCage two;
    buildCage(two.cage, s);
    LinegonData* low = nullptr;
    LinegonData* high = nullptr;
    for (LinegonData* l : allLinegons(two.cage))
        (l->pnt[0]->restPos[2] == 0.0 ? low : high) = l;
    ASSERT_TRUE(low && high);

    const Measure ml = measure(testNearLine, low, q);
    ASSERT_NEAR(ml.dist, 1.5, kTol);
    ASSERT_EQ(ml.over, 0.0);
    const Measure mh = measure(testNearLine, high, q);
    ASSERT_NEAR(mh.dist, r, 1e-12);
    ASSERT_NEAR(mh.over, past, 1e-12);

    for (int order = 0; order < 2; ++order) {
        NearestElement near;
        LinegonData* seq[2] = {order ? high : low, order ? low : high};
        for (LinegonData* l : seq)
            testNearLine(l, q.data(), &near);
        EXPECT_EQ(near.linegon, low) << "order " << order;
        EXPECT_NEAR(near.dist, 1.5 + 2e-6, kTol);
        EXPECT_EQ(near.over, 0.0);
    }
}

} // namespace
