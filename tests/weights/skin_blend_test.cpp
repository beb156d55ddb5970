// The Skin blends of a standalone trigon, a fan triangle and a linegon.
#include "deform/binding_weights.h"
#include "deform/skin_blends.h"
#include "geometry/mark_lane.h"
#include "geometry/element_grids.h"
#include "geometry/element_search.h"
#include "weights_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace wt;

namespace {

void expectNear(const V3& got, const V3& want, double tol) {
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(got[a], want[a], tol) << "component " << a;
}

V3 refDisp(const TrigonData* t, const V3& P) {
    V3 r[3], c[3];
    for (int j = 0; j < 3; ++j) {
        r[j] = fromArr(t->pnt[j]->worldRestPos);
        c[j] = fromArr(t->pnt[j]->worldOtherPos);
    }
    return sub(refTriangleMap(r, c, P), P);
}

bool allMarksClear(const CageInstance* cage) {
    const LaneMarks m = laneMarksOf(cage, 0);
    for (const TrigonData* t = cage->trigonList; t; t = t->next)
        if (m.trigonBlend[t->place]) return false;
    for (const PolygonData* q = cage->polygonList; q; q = q->next) {
        if (m.polygonBlend[q->place]) return false;
        for (const TrigonData& t : q->tri)
            if (m.trigonBlend[t.place]) return false;
    }
    return true;
}

// T = (A, B, C) and U = (C, B, D) share the edge B-C.
struct TwoTrigons {
    TestCage c;
    std::vector<PointData*> p;
    TrigonData* T = nullptr;
    TrigonData* U = nullptr;
    TwoTrigons() {
        Shape s;
        s.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
        s.faces = {{0, 1, 2}, {2, 1, 3}};
        p = buildCage(c.cage, s);
        for (TrigonData* t = c->trigonList; t; t = t->next)
            (t->pnt[0] == p[0] ? T : U) = t;
    }
    // D folds up to (1, 1, 1); A, B, C stay.
    void fold(const Rot& R = identityRot(), const V3& W = {0, 0, 0}) {
        pose(c.cage, p, R, W, [&](int i) {
            return i == 3 ? V3{1, 1, 1} : fromArr(p[std::size_t(i)]->restPos);
        });
    }
};

} // namespace

TEST(SkinTrigon, PointOnTheSharedEdgeWeighsTheNeighbourFully) {
    TwoTrigons m;
    m.fold();
    // Over the edge B-C at height 0.2: T does not move it; U carries it out
    // along its tilted normal (-1, -1, 1) / sqrt 3.
    const V3 P = {0.5, 0.5, 0.2};
    const double k = 0.2 / std::sqrt(3.0);
    const V3 dU = {-k, -k, k - 0.2};
    expectNear(refDisp(m.U, P), dU, 1e-12);
    for (int f : {0, 6}) {
        m.c->falloffType = f;
        double d[3];
        ASSERT_TRUE(skinBlendStandaloneTrigon(m.c.cage, m.T, P.data(), P.data(), d));
        expectNear(fromArr(d), mul(dU, 0.5), 1e-12);
        EXPECT_TRUE(allMarksClear(m.c.cage));
    }
}

TEST(SkinTrigon, InsideFarFromEdgesNeighboursFadeWithTheFalloff) {
    TwoTrigons m;
    m.fold();
    // T's centroid: closeness 2/3 to every edge. U's affine map takes it to
    // (1/3, 1/3, -1/3), so U alone would move it by (0, 0, -1/3).
    const V3 P = {1.0 / 3.0, 1.0 / 3.0, 0.0};
    expectNear(refDisp(m.U, P), {0, 0, -1.0 / 3.0}, 1e-12);
    double d[3];
    m.c->falloffType = 0;
    ASSERT_TRUE(skinBlendStandaloneTrigon(m.c.cage, m.T, P.data(), P.data(), d));
    expectNear(fromArr(d), {0, 0, -2.0 / 15.0}, 1e-12);
    m.c->falloffType = 6;
    ASSERT_TRUE(skinBlendStandaloneTrigon(m.c.cage, m.T, P.data(), P.data(), d));
    const double w = std::pow(2.0 / 3.0, 64);
    expectNear(fromArr(d), {0, 0, -(1.0 / 3.0) * w / (1 + w)}, 1e-15);
    EXPECT_LT(std::fabs(d[2]), 1e-11);
}

namespace {

// Square Q = C0..C3 with a polygon Q2 across C1-C2, a standalone trigon S
// across C3-C0 and a trigon Z touching Q only at C1 (it shares C1-X1 with Q2).
// A trigon T across C0-C1 is built too (it binds in its own test).
struct Patch {
    TestCage c;
    std::vector<PointData*> p;
    PolygonData *Q = nullptr, *Q2 = nullptr;
    TrigonData *S = nullptr, *Z = nullptr, *T = nullptr;
    Patch() {
        Shape s;
        s.points = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, // C0..C3
                    {3, -1, 0},  {3, 1, 0},                         // X1, X2
                    {-3, 0, 0},  {2, -3, 0}, {0, -3, 0}};           // Y, Z1, T's tip
        s.faces = {{0, 1, 2, 3}, {1, 4, 5, 2}, {0, 3, 6}, {4, 1, 7}, {1, 0, 8}};
        p = buildCage(c.cage, s);
        for (PolygonData* q = c->polygonList; q; q = q->next)
            (q->pnt[0] == p[0] ? Q : Q2) = q;
        for (TrigonData* t = c->trigonList; t; t = t->next) {
            if (t->pnt[2] == p[6]) S = t;
            if (t->pnt[2] == p[7]) Z = t;
            if (t->pnt[2] == p[8]) T = t;
        }
    }
    V3 bent(int i) const {
        V3 r = fromArr(p[std::size_t(i)]->restPos);
        const double lift[9] = {0, 0, 4, 0, 0.5, -1, 1, -2, 0.7};
        r[2] += lift[i];
        r[0] += 0.1 * r[1];
        return r;
    }
};

V3 polygonDisp(const CageInstance* cage, PolygonData* q, const V3& P, const V3& L) {
    double D[3] = {0, 0, 0}, W = 0;
    calcWeightWithPolygon_W(cage, q, P.data(), L.data(), D, &W, 1.0);
    EXPECT_EQ(W, 1.0);
    return fromArr(D);
}

} // namespace

TEST(SkinFan, NeighboursAcrossEdgesAndAroundCornersByHand) {
    Patch m;
    pose(m.c.cage, m.p, identityRot(), {0, 0, 0}, [&](int i) { return m.bent(i); });
    m.c->falloffType = 0;
    // Over tri[0] = (centre, C0, C1) with barycentrics (0.5, 0.35, 0.15):
    // o = (0.85, 0.5, 0.65); across the side C0 -> C1, o3 = (x + 1) / 2 = 0.4.
    const V3 P = {-0.2, -0.5, 0.0};
    PolygonData* Q = m.Q;
    // The polygon's own part: tri[0] 1, tri[3] 0.85 * 0.5, tri[1] 0.65 * 0.5,
    // tri[2] 0.5, normalised.
    const V3 own =
        mul(add(add(refDisp(&Q->tri[0], P), mul(refDisp(&Q->tri[3], P), 0.425)),
                add(mul(refDisp(&Q->tri[1], P), 0.325), mul(refDisp(&Q->tri[2], P), 0.5))),
            1.0 / 2.25);
    // Edges: C1-C2 -> Q2 with o3 = 0.4, C3-C0 -> S with 1 - o3 = 0.6, and
    // C0-C1 -> T with 0.5 + 0.5 o1 = 0.75. Corners: C1 (1 - o0 = 0.15)
    // brings Z only, Q2 being in already; C0 (1 - o2 = 0.35) brings nothing new.
    const V3 sum = add(add(own, mul(polygonDisp(m.c.cage, m.Q2, P, P), 0.4)),
                       add(add(mul(refDisp(m.S, P), 0.6), mul(refDisp(m.T, P), 0.75)),
                           mul(refDisp(m.Z, P), 0.15)));
    double d[3];
    ASSERT_TRUE(skinBlendFanTriangle(m.c.cage, &Q->tri[0], P.data(), P.data(), d));
    expectNear(fromArr(d), mul(sum, 1.0 / (1.0 + 0.4 + 0.6 + 0.75 + 0.15)), 1e-12);
    const LaneMarks marks = laneMarksOf(m.c.cage, 0);
    EXPECT_EQ(marks.polygonBlend[Q->place], 0);
    for (const TrigonData& t : Q->tri)
        EXPECT_EQ(marks.trigonBlend[t.place], 0);
    EXPECT_EQ(marks.polygonBlend[m.Q2->place], 0);
}

TEST(SkinTrigon, PolygonReachedByEdgeAndCornersJoinsOnce) {
    Patch m;
    pose(m.c.cage, m.p, identityRot(), {0, 0, 0}, [&](int i) { return m.bent(i); });
    m.c->falloffType = 0;
    // On T's edge C1-C0 (shared with Q), both in plane: ew = 1 for Q, and Q
    // touches T's corners C0 and C1 too. T's other edges are open; around
    // C0 S joins, around C1 Q2 and Z join, with T's corner weights.
    const V3 P = {0.25, -1.0, 0.0};
    // T = (C1, C0, tip): P on edge 0 at 3/8 from C1: o = (1, 3/8, 5/8).
    const double cw0 = 1 - 0.375, cw1 = 1 - 0.625; // at C1, at C0
    const V3 sum =
        add(add(refDisp(m.T, P), polygonDisp(m.c.cage, m.Q, P, P)),
            add(add(mul(polygonDisp(m.c.cage, m.Q2, P, P), cw0), mul(refDisp(m.Z, P), cw0)),
                mul(refDisp(m.S, P), cw1)));
    double d[3];
    ASSERT_TRUE(skinBlendStandaloneTrigon(m.c.cage, m.T, P.data(), P.data(), d));
    expectNear(fromArr(d), mul(sum, 1.0 / (2.0 + 2.0 * cw0 + cw1)), 1e-12);
    EXPECT_TRUE(allMarksClear(m.c.cage));
}

TEST(SkinBlends, RestShapeAndUniformTranslation) {
    Patch m;
    const Rot R = axisRot({1, -1, 2}, 0.6);
    const V3 probes[] = {{-0.2, -0.5, 0.1}, {0.5, 0.5, -0.3}, {-0.9, 0.9, 0.0}, {0.0, 0.0, 0.0}};
    const V3 tprobes[] = {{0.25, -1.0, 0.0}, {0.1, -1.8, 0.4}, {0.0, -2.9, -0.1}};
    poseRest(m.c.cage, m.p, R, {3, 2, 1});
    for (int f : {0, 3, 6}) {
        m.c->falloffType = f;
        for (const V3& L : probes) {
            for (int k = 0; k < 4; ++k) {
                double d[3];
                const V3 P = toWorld(m.c.cage, L);
                ASSERT_TRUE(skinBlendFanTriangle(m.c.cage, &m.Q->tri[k], P.data(), L.data(), d));
                expectNear(fromArr(d), {0, 0, 0}, 1e-12);
            }
        }
        for (const V3& L : tprobes) {
            double d[3];
            const V3 P = toWorld(m.c.cage, L);
            ASSERT_TRUE(skinBlendStandaloneTrigon(m.c.cage, m.T, P.data(), L.data(), d));
            expectNear(fromArr(d), {0, 0, 0}, 1e-12);
        }
    }
    const V3 v = {0.5, -0.25, 2.0};
    pose(m.c.cage, m.p, R, {3, 2, 1},
         [&](int i) { return add(fromArr(m.p[std::size_t(i)]->restPos), v); });
    const V3 vw = R(v);
    for (int f : {0, 3, 6}) {
        m.c->falloffType = f;
        for (const V3& L : probes) {
            double d[3];
            const V3 P = toWorld(m.c.cage, L);
            ASSERT_TRUE(skinBlendFanTriangle(m.c.cage, &m.Q->tri[0], P.data(), L.data(), d));
            expectNear(fromArr(d), vw, 1e-12);
        }
        for (const V3& L : tprobes) {
            double d[3];
            const V3 P = toWorld(m.c.cage, L);
            ASSERT_TRUE(skinBlendStandaloneTrigon(m.c.cage, m.T, P.data(), L.data(), d));
            expectNear(fromArr(d), vw, 1e-12);
        }
    }
}

TEST(SkinBlends, CageItemTurnedWithItsMeshGivesTheTurnedResult) {
    Patch m;
    const V3 probes[] = {{-0.2, -0.5, 0.1}, {0.9, -0.95, 0.3}, {-0.99, -0.9, -0.2}};
    const V3 tprobes[] = {{0.25, -1.0, 0.0}, {0.1, -1.8, 0.4}};
    auto run = [&](std::vector<V3>* out) {
        for (const V3& L : probes) {
            double d[3];
            const V3 P = toWorld(m.c.cage, L);
            EXPECT_TRUE(skinBlendFanTriangle(m.c.cage, &m.Q->tri[0], P.data(), L.data(), d));
            out->push_back(fromArr(d));
        }
        for (const V3& L : tprobes) {
            double d[3];
            const V3 P = toWorld(m.c.cage, L);
            EXPECT_TRUE(skinBlendStandaloneTrigon(m.c.cage, m.T, P.data(), L.data(), d));
            out->push_back(fromArr(d));
        }
    };
    m.c->falloffType = 2;
    std::vector<V3> base, turned;
    pose(m.c.cage, m.p, identityRot(), {0, 0, 0}, [&](int i) { return m.bent(i); });
    run(&base);
    const Rot R = axisRot({-0.4, 0.7, 0.2}, 2.4);
    pose(m.c.cage, m.p, R, {-6, 1, 9}, [&](int i) { return m.bent(i); });
    run(&turned);
    ASSERT_EQ(base.size(), turned.size());
    for (std::size_t k = 0; k < base.size(); ++k) {
        EXPECT_TRUE(finite(turned[k]));
        expectNear(turned[k], R(base[k]), 1e-11);
    }
}

namespace {

// Chain A - B - C bent at B by a quarter turn; L = A-B.
struct Chain {
    TestCage c;
    std::vector<PointData*> p;
    const LinegonData* L = nullptr;
    const LinegonData* LB = nullptr;
    Chain() {
        Shape s;
        s.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
        s.lines = {{0, 1}, {1, 2}};
        p = buildCage(c.cage, s);
        for (const LinegonData* l = c->linegonList; l; l = l->next)
            (l->pnt[0] == p[0] ? L : LB) = l;
    }
    // C swings up to (1, 0, 1); A and B stay.
    void swing(const Rot& R = identityRot(), const V3& W = {0, 0, 0}) {
        pose(c.cage, p, R, W, [&](int i) {
            return i == 2 ? V3{1, 0, 1} : fromArr(p[std::size_t(i)]->restPos);
        });
    }
};

} // namespace

TEST(SkinLinegon, MitredFractionAndBlendByHand) {
    Chain m;
    m.swing();
    // B's mitre plane x + y = 1 meets the line y = 0.2 at x = 0.8.
    const V3 P = {0.5, 0.2, 0.0};
    EXPECT_NEAR(linegonChainPosition(m.c.cage, m.L, P.data()), 0.625, 1e-12);
    // B-C turns a quarter about x: its map takes P to (0.5, 0, 0.2).
    const V3 dBC = {0, -0.2, 0.2};
    for (int f : {0, 1}) {
        m.c->falloffType = f;
        const double wB = poweredWeight(0.625, f);
        double d[3];
        ASSERT_TRUE(skinBlendLinegon(m.c.cage, m.L, P.data(), d));
        expectNear(fromArr(d), mul(dBC, wB / (1 + wB)), 1e-12);
    }
    // On the axis the square ends decide.
    const V3 onAxis = {0.3, 0, 0};
    EXPECT_NEAR(linegonChainPosition(m.c.cage, m.L, onAxis.data()), 0.3, 1e-12);
}

TEST(SkinLinegon, CageItemTurnedWithItsMeshGivesTheTurnedResult) {
    Chain m;
    m.c->falloffType = 1;
    const V3 probes[] = {{0.5, 0.2, 0.0}, {0.7, -0.3, 0.4}, {0.2, 0.1, -0.6}, {1.2, 0.3, 0.1}};
    std::vector<V3> base;
    std::vector<double> t;
    m.swing();
    for (const V3& L : probes) {
        double d[3];
        ASSERT_TRUE(skinBlendLinegon(m.c.cage, m.L, L.data(), d));
        base.push_back(fromArr(d));
        t.push_back(linegonChainPosition(m.c.cage, m.L, L.data()));
    }
    // A quarter turn about z is enough to make a cage-frame mitre direction
    // disagree with the world line.
    for (const Rot& R : {axisRot({0, 0, 1}, M_PI / 2), axisRot({1, 2, -1}, 1.9)}) {
        m.swing(R, {2, -7, 3});
        for (std::size_t k = 0; k < base.size(); ++k) {
            const V3 P = toWorld(m.c.cage, probes[k]);
            EXPECT_NEAR(linegonChainPosition(m.c.cage, m.L, P.data()), t[k], 1e-12);
            double d[3];
            ASSERT_TRUE(skinBlendLinegon(m.c.cage, m.L, P.data(), d));
            expectNear(fromArr(d), R(base[k]), 1e-12);
        }
    }
}

TEST(SkinLinegon, RestShapeAndTranslation) {
    Chain m;
    const Rot R = axisRot({0, 1, 0}, 0.5);
    poseRest(m.c.cage, m.p, R, {1, 1, 1});
    const V3 P = toWorld(m.c.cage, {0.4, 0.3, -0.2});
    double d[3];
    ASSERT_TRUE(skinBlendLinegon(m.c.cage, m.L, P.data(), d));
    expectNear(fromArr(d), {0, 0, 0}, 1e-12);
    const V3 v = {1, -2, 0.5};
    pose(m.c.cage, m.p, R, {1, 1, 1},
         [&](int i) { return add(fromArr(m.p[std::size_t(i)]->restPos), v); });
    ASSERT_TRUE(skinBlendLinegon(m.c.cage, m.L, P.data(), d));
    expectNear(fromArr(d), R(v), 1e-12);
}

TEST(SkinLinegon, DegenerateEndPlanesStayFiniteAndBounded) {
    Chain m;
    m.swing();
    // A mitre plane that contains the line: its slope is held, the planes
    // cross short of the point and the fraction takes its limit.
    double keep[3];
    for (int a = 0; a < 3; ++a)
        keep[a] = m.p[1]->linegonDir[a];
    m.p[1]->linegonDir[0] = 0;
    m.p[1]->linegonDir[1] = 1;
    m.p[1]->linegonDir[2] = 0;
    for (const V3& P : {V3{0.5, 0.2, 0}, V3{0.5, -0.2, 0}, V3{0.99, 1e-9, 0}, V3{0.5, 0, 0.3}}) {
        const double t = linegonChainPosition(m.c.cage, m.L, P.data());
        EXPECT_TRUE(std::isfinite(t));
        double d[3];
        ASSERT_TRUE(skinBlendLinegon(m.c.cage, m.L, P.data(), d));
        EXPECT_TRUE(finite(fromArr(d)));
        // L itself does not move: the blend is B-C's displacement times
        // wB / (1 + wB), within [0, 1/2] for any clamped fraction.
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithLinegon_W(m.LB, P.data(), D, &W, 1.0);
        const V3 dBC = fromArr(D);
        const double k = dot(fromArr(d), dBC) / dot(dBC, dBC);
        EXPECT_GE(k, -1e-12);
        EXPECT_LE(k, 0.5 + 1e-12);
        expectNear(fromArr(d), mul(dBC, k), 1e-12);
    }
    // B's plane (held at slope 1e4) meets the line y = 1e-4 at A's end; the
    // clamped fraction runs up to 1 there and stays 1 past the crossing.
    for (double y : {0.5e-4, 0.99e-4, 1.01e-4, 0.2}) {
        const V3 P = {0.5, y, 0};
        const double t = linegonChainPosition(m.c.cage, m.L, P.data());
        if (y < 1e-4) {
            EXPECT_NEAR(t, 0.5 / (1.0 - 1e4 * y), 1e-6 * std::fabs(t));
        }
        EXPECT_GE(t, y < 0.6e-4 ? 0.5 : 1.0) << y;
    }
    // A zero mitre direction: square end.
    m.p[1]->linegonDir[0] = m.p[1]->linegonDir[1] = m.p[1]->linegonDir[2] = 0;
    const V3 P = {0.5, 0.2, 0};
    EXPECT_NEAR(linegonChainPosition(m.c.cage, m.L, P.data()), 0.5, 1e-12);
    for (int a = 0; a < 3; ++a)
        m.p[1]->linegonDir[a] = keep[a];

    // Ends near-reversed: B's mitre direction nearly across the line.
    TestCage c2;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {0, 0.001, 0}};
    s.lines = {{0, 1}, {1, 2}};
    auto p2 = buildCage(c2.cage, s);
    pose(c2.cage, p2, identityRot(), {0, 0, 0}, [&](int i) {
        return i == 2 ? V3{0, 0.001, 1} : fromArr(p2[std::size_t(i)]->restPos);
    });
    const LinegonData* L2 = nullptr;
    for (const LinegonData* l = c2->linegonList; l; l = l->next)
        if (l->pnt[0] == p2[0]) L2 = l;
    for (double y : {-0.5, -1e-6, 0.0, 1e-6, 0.2, 5.0}) {
        for (double z : {0.0, 0.1}) {
            const V3 Q = {0.5, y, z};
            EXPECT_TRUE(std::isfinite(linegonChainPosition(c2.cage, L2, Q.data())));
            double d[3];
            ASSERT_TRUE(skinBlendLinegon(c2.cage, L2, Q.data(), d));
            EXPECT_TRUE(finite(fromArr(d)));
        }
    }
}

TEST(SkinLinegon, ZeroLengthLinegonStaysFinite) {
    TestCage c;
    Shape s;
    s.points = {{1, 1, 1}, {1, 1, 1}};
    s.lines = {{0, 1}};
    auto p = buildCage(c.cage, s);
    EXPECT_NEAR(c->linegonList->restLength, 2e-6, 1e-18);
    pose(c.cage, p, identityRot(), {0, 0, 0}, [](int i) { return V3{1, 1, 1.0 + i}; });
    for (const V3& P : {V3{1, 1, 1}, V3{1, 1, 1.5}, V3{4, -2, 0}}) {
        double d[3];
        ASSERT_TRUE(skinBlendLinegon(c.cage, c->linegonList, P.data(), d));
        EXPECT_TRUE(finite(fromArr(d)));
    }
}

TEST(SkinBlends, NonFinitePointGivesNothing) {
    TwoTrigons m;
    m.fold();
    Chain ch;
    ch.swing();
    const double nan3[3] = {std::nan(""), 0, 0};
    const double inf3[3] = {0, std::numeric_limits<double>::infinity(), 0};
    double d[3] = {7, 7, 7};
    EXPECT_FALSE(skinBlendStandaloneTrigon(m.c.cage, m.T, nan3, nan3, d));
    expectNear(fromArr(d), {0, 0, 0}, 0.0);
    EXPECT_FALSE(skinBlendStandaloneTrigon(m.c.cage, m.T, inf3, inf3, d));
    EXPECT_FALSE(skinBlendLinegon(ch.c.cage, ch.L, nan3, d));
    expectNear(fromArr(d), {0, 0, 0}, 0.0);
    Patch pt;
    pose(pt.c.cage, pt.p, identityRot(), {0, 0, 0}, [&](int i) { return pt.bent(i); });
    EXPECT_FALSE(skinBlendFanTriangle(pt.c.cage, &pt.Q->tri[0], inf3, inf3, d));
    // A standalone trigon is no fan triangle.
    const double P[3] = {0.2, 0.2, 0};
    EXPECT_FALSE(skinBlendFanTriangle(m.c.cage, m.T, P, P, d));
}

// Inside a closed box the corner normals meet at the centre: a face's slid
// fan triangles shrink to a point at half the box's depth, which is where
// the points of the box's mid-planes see the faces they blend across.
TEST(SkinBlends, MidPlanesOfAClosedBoxStayFiniteAndContinuous) {
    TestCage c;
    Shape s;
    s.points = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    s.faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    const std::vector<PointData*> p = buildCage(c.cage, s);
    ASSERT_EQ(makeTrisMat3D(c.cage), 1);
    pose(c.cage, p, identityRot(), {0, 0, 0}, [&](int i) {
        const V3 r = fromArr(p[std::size_t(i)]->restPos);
        return add(r, {0.3 * r[2], 0.1 * r[0] * r[1], 0.2 * r[0]});
    });
    auto skin = [&](const V3& P) {
        NearestElement near;
        searchNearTrigon(c.cage, P.data(), &near);
        TrigonData* best = near.trigon;
        double d[3] = {0, 0, 0};
        EXPECT_NE(best, nullptr);
        if (best) {
            EXPECT_TRUE(skinBlendFanTriangle(c.cage, best, P.data(), P.data(), d));
        }
        return fromArr(d);
    };
    for (int f : {0, 2, 6}) {
        c->falloffType = f;
        for (int i = -4; i <= 4; ++i)
            for (int j = -4; j <= 4; ++j) {
                const double u = 0.2 * i + 0.013, v = 0.2 * j - 0.007;
                // The point stays bound to one side face all the way (the
                // binding itself jumps where the nearest face changes).
                const double au = std::fabs(u), av = std::fabs(v);
                if (std::fmax(au, av) < 0.35 || std::fabs(au - av) < 0.05) continue;
                // Through the z = 0 mid-plane in small steps: no jumps.
                V3 prev = skin({u, v, -0.25});
                for (int k = -249; k <= 250; ++k) {
                    const V3 cur = skin({u, v, k * 1e-3});
                    ASSERT_TRUE(finite(cur)) << u << " " << v << " " << k;
                    for (int a = 0; a < 3; ++a)
                        ASSERT_NEAR(cur[a], prev[a], 0.01) << u << " " << v << " z " << k * 1e-3;
                    prev = cur;
                }
            }
    }
}
