// Location over a triangle and over a fan triangle: every region code with
// hand-computed values, corner slides along the vertex normals, world
// placement, barycentric agreement inside, and zero-area triangles.
#include "geometry/element_location.h"
#include "search_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using namespace searchtest;

constexpr double kTol = 1e-12;

void expectOut(const double* got, std::initializer_list<double> want, int n) {
    int i = 0;
    for (double w : want) {
        EXPECT_NEAR(got[i], w, kTol) << "out[" << i << "]";
        ++i;
    }
    EXPECT_EQ(i, n);
}

// The foot of q (its z ignored) on the solid triangle abc in z = 0 with its
// barycentric weights and the region it lies in; `clear` is false when q is
// within 1e-9 of a region boundary.
struct Foot {
    V3 p;
    double w[3];
    int code;
    bool clear;
};

Foot footOn(const V3& a, const V3& b, const V3& c, const V3& q3) {
    const V3 q = {q3[0], q3[1], 0.0};
    const V3 v[3] = {a, b, c};
    Foot f;
    f.clear = true;
    auto cross2 = [](const V3& u, const V3& w) { return u[0] * w[1] - u[1] * w[0]; };
    const double area = cross2(sub(b, a), sub(c, a));
    double s[3];
    for (int k = 0; k < 3; ++k)
        s[k] = cross2(sub(v[(k + 1) % 3], v[k]), sub(q, v[k])) / area;
    if (s[0] >= 0 && s[1] >= 0 && s[2] >= 0) {
        // s[k] is twice the sub-area opposite corner k+2, over the area.
        f.p = q;
        f.w[2] = s[0];
        f.w[0] = s[1];
        f.w[1] = s[2];
        f.code = kLocInside;
        f.clear = std::fmin(s[0], std::fmin(s[1], s[2])) > 1e-9;
        return f;
    }
    double bestD = 1e300;
    int side = 0;
    double bestT = 0;
    for (int k = 0; k < 3; ++k) {
        const V3 e = sub(v[(k + 1) % 3], v[k]);
        double t = dot(sub(q, v[k]), e) / dot(e, e);
        t = std::fmin(1.0, std::fmax(0.0, t));
        const double d = norm(sub(q, add(v[k], mul(e, t))));
        if (d < bestD - 1e-12) {
            bestD = d;
            side = k;
            bestT = t;
        }
    }
    f.w[0] = f.w[1] = f.w[2] = 0.0;
    f.w[side] = 1.0 - bestT;
    f.w[(side + 1) % 3] = bestT;
    f.p = add(v[side], mul(sub(v[(side + 1) % 3], v[side]), bestT));
    const int corner[3] = {kLocCornerA, kLocCornerB, kLocCornerC};
    const int edge[3] = {kLocEdgeAB, kLocEdgeBC, kLocEdgeCA};
    if (bestT == 0.0)
        f.code = corner[side];
    else if (bestT == 1.0)
        f.code = corner[(side + 1) % 3];
    else
        f.code = edge[side];
    // Near a corner's region boundary the raw position is near 0 or 1.
    const V3 e = sub(v[(side + 1) % 3], v[side]);
    const double raw = dot(sub(q, v[side]), e) / dot(e, e);
    const V3 ePrev = sub(v[side], v[(side + 2) % 3]);
    const double rawPrev = dot(sub(q, v[(side + 2) % 3]), ePrev) / dot(ePrev, ePrev);
    f.clear = std::fabs(raw) > 1e-9 && std::fabs(raw - 1.0) > 1e-9 &&
              std::fabs(rawPrev - 1.0) > 1e-9 && std::fabs(bestD) > 1e-9;
    return f;
}

// Trigon A (0,0), B (1,2), C (4,0) in z = 0, placed at the world origin
// without rotation, so world = 2D frame = (x, y) and h = z. A single flat
// trigon's corner normals are its own normal: no slide.
struct TrigonLocation : ::testing::Test {
    TestCage cage;
    TrigonData* tri = nullptr;
    void SetUp() override {
        Shape s;
        s.points = {{0, 0, 0}, {1, 2, 0}, {4, 0, 0}};
        s.faces = {{0, 1, 2}};
        buildCage(cage.cage, s);
        placeCageIdentity(cage.cage);
        tri = cage->trigonList;
        ASSERT_NEAR(tri->N[2], 1.0, kTol);
        for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(tri->vertNorm[k][2], 1.0, kTol);
    }
    int at(const V3& p, double out[3]) const { return getLocationPerAtTrigon(tri, p.data(), out); }
};

TEST_F(TrigonLocation, CornersGiveTheirCodesAndExactValues) {
    double out[3];
    EXPECT_EQ(at({-1.0, -1.0, 0.0}, out), kLocCornerA);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[1], 0.0);
    EXPECT_EQ(out[2], 1.0);
    EXPECT_EQ(at({1.0, 3.0, 0.5}, out), kLocCornerB);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[1], 1.0);
    EXPECT_EQ(out[2], 0.0);
    EXPECT_EQ(at({5.0, -1.0, -2.0}, out), kLocCornerC);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[1], 1.0);
    EXPECT_EQ(out[2], 1.0);
}

TEST_F(TrigonLocation, EdgesGiveThePositionAlongThem) {
    double out[3];
    // Left of AB; projects 4/5 of the way from A to B.
    EXPECT_EQ(at({0.0, 2.0, 0.0}, out), kLocEdgeAB);
    expectOut(out, {1.0, 0.8, 0.2}, 3);
    // Right of BC, 6/13 from B.
    EXPECT_EQ(at({3.0, 2.0, 1.0}, out), kLocEdgeBC);
    expectOut(out, {7.0 / 13.0, 1.0, 6.0 / 13.0}, 3);
    // Below CA, half way.
    EXPECT_EQ(at({2.0, -1.0, 0.0}, out), kLocEdgeCA);
    expectOut(out, {0.5, 0.5, 1.0}, 3);
}

TEST_F(TrigonLocation, MiddleOfAnEdgeIsOneForThatEdge) {
    double out[3];
    at({0.5, 1.0, 0.0}, out);
    EXPECT_NEAR(out[0], 1.0, kTol);
    at({2.5, 1.0, 0.3}, out);
    EXPECT_NEAR(out[1], 1.0, kTol);
    at({2.0, 0.0, -0.3}, out);
    EXPECT_NEAR(out[2], 1.0, kTol);
}

TEST_F(TrigonLocation, InsideGivesClosenessToEachEdge) {
    double out[3];
    EXPECT_EQ(at({2.0, 0.5, 0.7}, out), kLocInside);
    expectOut(out, {4.5 / 8.0, 5.5 / 8.0, 0.75}, 3);
}

TEST_F(TrigonLocation, InsideAgreesWithBarycentricWeights) {
    // out[0] = 1 - weight of C, out[1] = 1 - weight of A, out[2] = 1 - weight of B.
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < 1000; ++i) {
        double wa = u(rng), wb = u(rng);
        if (wa + wb > 1.0) {
            wa = 1.0 - wa;
            wb = 1.0 - wb;
        }
        const double wc = 1.0 - wa - wb;
        const V3 p = {wb * 1.0 + wc * 4.0, wb * 2.0, u(rng) - 0.5};
        double out[3];
        const int code = at(p, out);
        if (code != kLocInside) {
            // Only on an edge line can rounding push it out.
            EXPECT_LT(std::fmin(wa, std::fmin(wb, wc)), 1e-9);
            continue;
        }
        EXPECT_NEAR(out[0], 1.0 - wc, 1e-9);
        EXPECT_NEAR(out[1], 1.0 - wa, 1e-9);
        EXPECT_NEAR(out[2], 1.0 - wb, 1e-9);
    }
}

TEST_F(TrigonLocation, OutsideTakesTheValuesOfTheNearestPointOfTheTriangle) {
    // All three angles are acute, so the regions are those of the nearest
    // point: a corner's values past a corner, the foot's values past an edge.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> ux(-3.0, 7.0), uy(-3.0, 5.0), uz(-2.0, 2.0);
    int outside = 0;
    for (int i = 0; i < 20000; ++i) {
        const V3 p = {ux(rng), uy(rng), uz(rng)};
        const Foot f = footOn({0, 0, 0}, {1, 2, 0}, {4, 0, 0}, p);
        if (!f.clear) continue;
        double out[3];
        const int code = at(p, out);
        ASSERT_EQ(code, f.code) << p[0] << " " << p[1];
        EXPECT_NEAR(out[0], 1.0 - f.w[2], 1e-9);
        EXPECT_NEAR(out[1], 1.0 - f.w[0], 1e-9);
        EXPECT_NEAR(out[2], 1.0 - f.w[1], 1e-9);
        outside += code != kLocInside;
    }
    EXPECT_GT(outside, 15000);
}

TEST_F(TrigonLocation, CornersSlideAlongTheirNormalsWithHeight) {
    // C leans +x by half its height: at h = 2 it sits at (5, 0).
    tri->vertNorm[2][0] = 1.0;
    tri->vertNorm[2][1] = 0.0;
    tri->vertNorm[2][2] = 2.0;
    double out[3];
    // Past C at h = 0, inside the slid triangle at h = 2.
    EXPECT_EQ(at({4.5, 0.2, 0.0}, out), kLocCornerC);
    EXPECT_EQ(at({4.5, 0.2, 2.0}, out), kLocInside);
    expectOut(out, {0.12, 0.98, 0.9}, 3);
    // Past C at h = 0, beside the slid C's edge CA at h = 2.
    EXPECT_EQ(at({5.0, -1.0, 0.0}, out), kLocCornerC);
    EXPECT_EQ(at({5.0, -1.0, 2.0}, out), kLocEdgeCA);
    expectOut(out, {0.0, 1.0, 1.0}, 3);
}

// The location over a triangle lying flat at the given 2D corners, with no
// slide: what the slid triangle must give.
struct Unslid {
    TestCage cage;
    explicit Unslid(const V3& a, const V3& b, const V3& c) {
        Shape s;
        s.points = {a, b, c};
        s.faces = {{0, 1, 2}};
        buildCage(cage.cage, s);
        placeCageIdentity(cage.cage);
    }
    int at(double x, double y, double out[3]) const {
        const double p[3] = {x, y, 0.0};
        return getLocationPerAtTrigon(cage->trigonList, p, out);
    }
};

TEST_F(TrigonLocation, CornersStopSlidingBeforeTheTriangleFolds) {
    // B slides down onto the line through A and C (at h = 1) and beyond it;
    // the area falls as 1 - h, so 1% of it is left at h = 0.99.
    tri->vertNorm[1][0] = 0.0;
    tri->vertNorm[1][1] = -2.0;
    tri->vertNorm[1][2] = 1.0;
    const double probes[][2] = {{2.0, 0.5}, {1.0, 0.01}, {-1.0, 0.3}, {6.0, -0.3}, {2.5, -1.0}};
    for (double h : {0.25, 0.5, 0.9, 0.99, 1.0, 1.5, 10.0, -3.0}) {
        // Sound slides keep h; the others stop at 0.99. Upwards B moves away
        // from AC and never stops.
        const double slid = h > 0.99 ? 0.99 : h;
        const Unslid flat({0, 0, 0}, {1.0, 2.0 - 2.0 * slid, 0}, {4, 0, 0});
        for (const auto& q : probes) {
            double got[3], want[3];
            const int code = at({q[0], q[1], h}, got);
            EXPECT_EQ(code, flat.at(q[0], q[1], want)) << "h " << h;
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(got[k], want[k], 1e-9) << "h " << h << " out[" << k << "]";
        }
    }
}

TEST_F(TrigonLocation, ValuesChangeContinuouslyThroughTheSlideLimit) {
    // B and C both slide towards A; the triangle would collapse at h = 1.
    tri->vertNorm[1][0] = -1.0;
    tri->vertNorm[1][1] = -2.0;
    tri->vertNorm[1][2] = 1.0;
    tri->vertNorm[2][0] = -4.0;
    tri->vertNorm[2][1] = 0.0;
    tri->vertNorm[2][2] = 1.0;
    for (const V3& q : {V3{0.3, 0.2, 0}, V3{1.5, 0.4, 0}, V3{-0.5, 0.1, 0}, V3{2.0, -1.0, 0}}) {
        double prev[3];
        at({q[0], q[1], 0.0}, prev);
        for (int i = 1; i <= 30000; ++i) {
            double out[3];
            at({q[0], q[1], i * 1e-4}, out);
            for (int k = 0; k < 3; ++k) {
                ASSERT_TRUE(std::isfinite(out[k]));
                ASSERT_LT(std::fabs(out[k] - prev[k]), 0.05)
                    << "h " << i * 1e-4 << " q " << q[0] << "," << q[1] << " out[" << k << "]";
                prev[k] = out[k];
            }
        }
    }
}

TEST_F(TrigonLocation, ValuesStayFiniteAndClampedEverywhere) {
    // Steep corner normals make huge slides; nothing may come out NaN.
    tri->vertNorm[0][0] = 3.0;
    tri->vertNorm[0][2] = 1e-7;
    tri->vertNorm[2][1] = -5.0;
    tri->vertNorm[2][2] = 0.0; // below the floor: treated as 1e-7
    std::mt19937 rng(6);
    std::uniform_real_distribution<double> u(-50.0, 50.0);
    for (int i = 0; i < 3000; ++i) {
        const V3 p = {u(rng), u(rng), i % 3 == 0 ? 0.0 : u(rng) * 1e-3};
        double out[3];
        const int code = at(p, out);
        EXPECT_GE(code, 0);
        EXPECT_LE(code, 6);
        for (double v : out) {
            ASSERT_TRUE(v >= 0.0 && v <= 1.0) << v;
        }
    }
}

TEST_F(TrigonLocation, NonFinitePointsGiveZeros) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double out[3] = {5, 5, 5};
    EXPECT_EQ(at({nan, 0, 0}, out), kLocInside);
    expectOut(out, {0.0, 0.0, 0.0}, 3);
    double out4[4] = {5, 5, 5, 5};
    const double inf[3] = {std::numeric_limits<double>::infinity(), 0, 0};
    EXPECT_EQ(getLocationPerAtPolygon(tri, inf, out4), kLocInside);
    expectOut(out4, {0.0, 0.0, 0.0, 0.0}, 4);
    EXPECT_EQ(getLocationPerAtTrigon(nullptr, inf, out), kLocInside);
}

TEST(TrigonLocationWorld, FollowsTheCagePlacement) {
    Shape s;
    s.points = {{0, 0, 0}, {1, 2, 0.5}, {4, 0, -0.3}, {2, 3, 2}};
    s.faces = {{0, 1, 2}, {1, 3, 2}};
    TestCage plain, moved;
    buildCage(plain.cage, s);
    buildCage(moved.cage, s);
    placeCageIdentity(plain.cage);
    // Turn 30 degrees about z, then 50 about x; move to (10, -4, 7).
    const double a = 0.5235987755982988, b = 0.8726646259971648;
    const V3 axes[3] = {{std::cos(a), std::sin(a) * std::cos(b), std::sin(a) * std::sin(b)},
                        {-std::sin(a), std::cos(a) * std::cos(b), std::cos(a) * std::sin(b)},
                        {0.0, -std::sin(b), std::cos(b)}};
    const V3 w = {10.0, -4.0, 7.0};
    placeCage(moved.cage, axes, w);
    const std::vector<TrigonData*> t0 = allTriangles(plain.cage);
    const std::vector<TrigonData*> t1 = allTriangles(moved.cage);
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> u(-2.0, 5.0);
    int sameCode = 0, codes[7] = {0};
    for (int i = 0; i < 500; ++i) {
        const V3 p = {u(rng), u(rng), u(rng) * 0.5};
        const V3 pw = add(w, add(mul(axes[0], p[0]), add(mul(axes[1], p[1]), mul(axes[2], p[2]))));
        for (std::size_t k = 0; k < t0.size(); ++k) {
            double o0[3], o1[3];
            const int c0 = getLocationPerAtTrigon(t0[k], p.data(), o0);
            const int c1 = getLocationPerAtTrigon(t1[k], pw.data(), o1);
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(o0[j], o1[j], 1e-9);
            // Rounding may tip a point lying on a region boundary.
            sameCode += c0 == c1;
            ++codes[c0];
        }
    }
    EXPECT_GE(sameCode, 995);
    for (int c = 0; c < 7; ++c)
        EXPECT_GT(codes[c], 0) << "code " << c;
}

// --- zero-area triangles --------------------------------------------------------------------

TEST(TrigonLocationFlat, CollinearTriangleUsesItsSides) {
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {3, 0, 0}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}};
    s.faces = {{0, 1, 2}, {3, 4, 5}};
    TestCage cage;
    buildCage(cage.cage, s);
    placeCageIdentity(cage.cage);
    TrigonData* line = nullptr;
    TrigonData* dot = nullptr;
    for (TrigonData* t : allTriangles(cage.cage))
        (t->pnt[0]->restPos[0] == 0.0 ? line : dot) = t;
    double out[3];
    EXPECT_EQ(getLocationPerAtTrigon(line, V3{-1.0, 2.0, 0.0}.data(), out), kLocCornerA);
    expectOut(out, {1.0, 0.0, 1.0}, 3);
    EXPECT_EQ(getLocationPerAtTrigon(line, V3{4.0, 0.0, 1.0}.data(), out), kLocCornerC);
    expectOut(out, {0.0, 1.0, 1.0}, 3);
    // Over A-B, a quarter of the way: AB is the first side at that distance.
    EXPECT_EQ(getLocationPerAtTrigon(line, V3{0.25, 0.0, 3.0}.data(), out), kLocEdgeAB);
    expectOut(out, {1.0, 0.25, 0.75}, 3);
    // Over B-C, half way.
    EXPECT_EQ(getLocationPerAtTrigon(line, V3{2.0, -1.0, 0.0}.data(), out), kLocEdgeBC);
    expectOut(out, {0.5, 1.0, 0.5}, 3);

    // Collapsed to a point.
    EXPECT_EQ(getLocationPerAtTrigon(dot, V3{1.0, 2.0, 3.0}.data(), out), kLocEdgeAB);
    expectOut(out, {1.0, 1.0, 1.0}, 3);
    double out4[4];
    EXPECT_EQ(getLocationPerAtPolygon(dot, V3{1.0, 2.0, 3.0}.data(), out4), kLocEdgeAB);
    expectOut(out4, {1.0, 1.0, 1.0, 0.5}, 4);

    std::mt19937 rng(10);
    std::uniform_real_distribution<double> u(-6.0, 6.0);
    for (int i = 0; i < 2000; ++i) {
        const V3 p = {u(rng), u(rng), u(rng)};
        for (TrigonData* t : {line, dot}) {
            double o[4];
            const int code = getLocationPerAtPolygon(t, p.data(), o);
            EXPECT_NE(code, kLocInside);
            for (double v : o)
                ASSERT_TRUE(v >= 0.0 && v <= 1.0);
        }
    }
}

TEST(TrigonLocationFlat, TriangleWithoutAFrameUsesItsSidesIn3D) {
    // P2 on P0: no frame at all, only the side P0-P1 along y.
    Shape s;
    s.points = {{0, 0, 0}, {0, 2, 0}, {0, 0, 0}};
    s.faces = {{0, 1, 2}};
    TestCage cage;
    buildCage(cage.cage, s);
    placeCageIdentity(cage.cage);
    TrigonData* t = cage->trigonList;
    ASSERT_EQ(t->N[0] * t->N[0] + t->N[1] * t->N[1] + t->N[2] * t->N[2], 0.0);
    double out[3];
    EXPECT_EQ(getLocationPerAtTrigon(t, V3{1.0, 0.5, 1.0}.data(), out), kLocEdgeAB);
    expectOut(out, {1.0, 0.25, 0.75}, 3);
    EXPECT_EQ(getLocationPerAtTrigon(t, V3{0.0, 3.0, 1.0}.data(), out), kLocCornerB);
    expectOut(out, {1.0, 1.0, 0.0}, 3);
}

// --- fan triangles ----------------------------------------------------------------------------

// Square polygon C0 (-1,-1), C1 (1,-1), C2 (1,1), C3 (-1,1) in z = 0; its fan
// triangle 0 is (centre, C0, C1): A = centre, side B -> C runs along y = -1.
struct PolygonLocation : ::testing::Test {
    TestCage cage;
    TrigonData* fan = nullptr;
    void SetUp() override {
        Shape s;
        s.points = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
        s.faces = {{0, 1, 2, 3}};
        buildCage(cage.cage, s);
        placeCageIdentity(cage.cage);
        fan = &cage->polygonList->tri[0];
        ASSERT_EQ(fan->pnt[1]->restPos[0], -1.0);
        ASSERT_EQ(fan->pnt[2]->restPos[0], 1.0);
    }
    int at(const V3& p, double out[4]) const { return getLocationPerAtPolygon(fan, p.data(), out); }
};

TEST_F(PolygonLocation, CornersGiveTheirPositionAcrossTheSide) {
    double out[4];
    EXPECT_EQ(at({0.0, 0.5, 0.0}, out), kLocCornerA); // beyond the centre
    expectOut(out, {1.0, 0.0, 1.0, 0.5}, 4);
    EXPECT_EQ(at({-2.0, -1.5, 0.0}, out), kLocCornerB);
    expectOut(out, {1.0, 1.0, 0.0, 0.0}, 4);
    EXPECT_EQ(at({2.0, -1.5, 0.2}, out), kLocCornerC);
    expectOut(out, {0.0, 1.0, 1.0, 1.0}, 4);
}

TEST_F(PolygonLocation, EdgesGiveTheirPositionAcrossTheSide) {
    double out[4];
    // Outside the spoke to C0, 0.4 of the way out.
    EXPECT_EQ(at({-0.6, -0.2, 0.0}, out), kLocEdgeAB);
    expectOut(out, {1.0, 0.4, 0.6, 0.3}, 4);
    // Below the outer side, 3/4 of the way from C0 to C1.
    EXPECT_EQ(at({0.5, -1.5, 0.0}, out), kLocEdgeBC);
    expectOut(out, {0.25, 1.0, 0.75, 0.75}, 4);
    // Outside the spoke to C1, 0.6 of the way in from C1.
    EXPECT_EQ(at({0.6, -0.2, 0.0}, out), kLocEdgeCA);
    expectOut(out, {0.6, 0.4, 1.0, 0.7}, 4);
}

TEST_F(PolygonLocation, InsideGivesThePositionAcrossTheSide) {
    double out[4];
    EXPECT_EQ(at({-0.25, -0.75, 0.0}, out), kLocInside);
    expectOut(out, {0.75, 0.75, 0.5, 0.375}, 4);
    EXPECT_EQ(at({0.5, -0.9, 0.3}, out), kLocInside);
    EXPECT_NEAR(out[3], 0.75, kTol);
    EXPECT_NEAR(out[1], 0.9, kTol);
    // On the median: the middle of the side.
    at({0.0, -0.6, 0.0}, out);
    EXPECT_NEAR(out[3], 0.5, kTol);
}

TEST_F(PolygonLocation, AcrossTheSideIsTheXOfTheFootOnIt) {
    // For this square the lines parallel to the median are x = const, and
    // outside the fan triangle its nearest point decides.
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> u(-2.5, 2.5);
    int inside = 0, outside = 0;
    for (int i = 0; i < 20000; ++i) {
        const V3 p = {u(rng), u(rng) - 0.5, u(rng)};
        const Foot f = footOn({0, 0, 0}, {-1, -1, 0}, {1, -1, 0}, p);
        if (!f.clear) continue;
        double out[4];
        const int code = at(p, out);
        ASSERT_EQ(code, f.code) << p[0] << " " << p[1];
        EXPECT_NEAR(out[0], 1.0 - f.w[2], 1e-9);
        EXPECT_NEAR(out[1], 1.0 - f.w[0], 1e-9);
        EXPECT_NEAR(out[2], 1.0 - f.w[1], 1e-9);
        EXPECT_NEAR(out[3], 0.5 * (f.p[0] + 1.0), 1e-9);
        (code == kLocInside ? inside : outside)++;
    }
    EXPECT_GT(inside, 600);
    EXPECT_GT(outside, 10000);
}

// How deep a point lies in the regions of corners B and C: the distance to
// the nearer of the two lines bounding the region (positive inside), held
// at +-within, and crossing 0 exactly where the code turns to 2 or 3.
TEST_F(PolygonLocation, CornerDepthsAreTheDistancesToTheRegionsBorders) {
    std::mt19937 rng(13);
    std::uniform_real_distribution<double> u(-2.5, 2.5);
    const V3 A = {0, 0, 0}, B = {-1, -1, 0}, C = {1, -1, 0};
    const double within = 0.3;
    auto clampTo = [&](double v) { return std::max(-within, std::min(within, v)); };
    int near = 0, inB = 0, inC = 0;
    for (int i = 0; i < 20000; ++i) {
        const V3 p = {u(rng), u(rng) - 0.5, u(rng)};
        double out[4], depth[2];
        const int code = getLocationPerAtPolygon(fan, p.data(), out, depth, within);
        const V3 q = {p[0], p[1], 0.0};
        auto along = [](const V3& v, const V3& side) { return dot(v, side) / norm(side); };
        const double b = std::min(along(sub(q, B), sub(B, A)), -along(sub(q, B), sub(C, B)));
        const double c = std::min(along(sub(q, C), sub(C, B)), -along(sub(q, C), sub(A, C)));
        EXPECT_NEAR(depth[0], clampTo(b), 1e-12);
        EXPECT_NEAR(depth[1], clampTo(c), 1e-12);
        EXPECT_EQ(depth[0] > 0.0, code == kLocCornerB) << p[0] << " " << p[1];
        EXPECT_EQ(depth[1] > 0.0, code == kLocCornerC) << p[0] << " " << p[1];
        near += std::fabs(b) < within || std::fabs(c) < within;
        inB += code == kLocCornerB;
        inC += code == kLocCornerC;
        if (HasFailure()) return;
    }
    EXPECT_GT(near, 1000);
    EXPECT_GT(inB, 1000);
    EXPECT_GT(inC, 1000);
}

} // namespace
