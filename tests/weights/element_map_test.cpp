// Element maps, powered weights, the corner blend and a polygon taken whole.
#include "deform/binding_weights.h"
#include "weights_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace wt;

namespace {

constexpr double kTol = 1e-12;

void expectNear(const V3& got, const V3& want, double tol) {
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(got[a], want[a], tol) << "component " << a;
}

// Displacement one element gives P alone (weight 1 on an empty accumulator).
V3 trigonDisp(const TrigonData* t, const V3& P) {
    double D[3] = {0, 0, 0}, W = 0;
    calcWeightWithTrigon_W(t, P.data(), D, &W, 1.0);
    EXPECT_EQ(W, 1.0);
    return fromArr(D);
}
V3 linegonDisp(const LinegonData* l, const V3& P) {
    double D[3] = {0, 0, 0}, W = 0;
    calcWeightWithLinegon_W(l, P.data(), D, &W, 1.0);
    EXPECT_EQ(W, 1.0);
    return fromArr(D);
}

const V3 kProbe[] = {{0.2, 0.3, 0.0},  {0.2, 0.3, 0.7},  {-1.5, 2.0, -0.4},
                     {3.0, -2.0, 1.0}, {0.5, 0.5, 1e-9}, {10.0, 10.0, 10.0}};

} // namespace

TEST(PoweredWeight, SquaresFalloffTimes) {
    EXPECT_EQ(poweredWeight(0.7, 0), 0.7);
    EXPECT_EQ(poweredWeight(0.7, -3), 0.7);
    EXPECT_NEAR(poweredWeight(0.7, 1), 0.49, 1e-15);
    EXPECT_NEAR(poweredWeight(0.9, 3), std::pow(0.9, 8), 1e-15);
    EXPECT_NEAR(poweredWeight(0.99, 6), std::pow(0.99, 64), 1e-14);
    // Types past the popup act as the last entry.
    EXPECT_EQ(poweredWeight(0.99, 9), poweredWeight(0.99, 6));
    EXPECT_EQ(poweredWeight(1.0, 6), 1.0);
    EXPECT_EQ(poweredWeight(0.0, 6), 0.0);
}

TEST(LinegonMap, TurnedAndStretchedByHand) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {2, 0, 0}};
    s.lines = {{0, 1}};
    auto p = buildCage(c.cage, s);
    // A -> (1,1,0), B -> (1,5,0): a quarter turn about z and twice as long.
    pose(c.cage, p, identityRot(), {0, 0, 0}, [](int i) {
        return i == 0 ? V3{1, 1, 0} : V3{1, 5, 0};
    });
    const LinegonData* l = c->linegonList;
    EXPECT_NEAR(l->stretch, 2.0, kTol);
    // Along 0.5 -> 1.0 up y; sideways (0.3, 0.2) turns to (-0.3, 0, 0.2).
    const V3 P = {0.5, 0.3, 0.2};
    expectNear(add(P, linegonDisp(l, P)), {0.7, 2.0, 0.2}, kTol);
    // Beyond the end the along offset keeps stretching.
    const V3 Q = {3.0, 0.0, -1.0};
    expectNear(add(Q, linegonDisp(l, Q)), {1.0, 7.0, -1.0}, kTol);
}

TEST(TrigonMap, TranslationMovesEveryPointByTheVector) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {0.3, 1.2, 0.1}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    const V3 v = {0.4, -2.0, 3.5};
    pose(c.cage, p, identityRot(), {0, 0, 0},
         [&](int i) { return add(fromArr(p[std::size_t(i)]->restPos), v); });
    for (const V3& P : kProbe)
        expectNear(trigonDisp(c->trigonList, P), v, 1e-12);
}

TEST(TrigonMap, RotatedTriangleRotatesThePoint) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    // Quarter turn about x: in-plane and height both turn.
    const Rot R = axisRot({1, 0, 0}, M_PI / 2);
    pose(c.cage, p, identityRot(), {0, 0, 0},
         [&](int i) { return R(fromArr(p[std::size_t(i)]->restPos)); });
    for (const V3& P : kProbe)
        expectNear(add(P, trigonDisp(c->trigonList, P)), R(P), 1e-12);
    // By hand: (0.2, 0.3, 0.7) -> (0.2, -0.7, 0.3).
    expectNear(add(kProbe[1], trigonDisp(c->trigonList, kProbe[1])), {0.2, -0.7, 0.3}, 1e-12);
}

TEST(TrigonMap, StretchScalesInPlaneAndKeepsHeight) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    pose(c.cage, p, identityRot(), {0, 0, 0}, [&](int i) {
        V3 r = fromArr(p[std::size_t(i)]->restPos);
        r[0] *= 2.0;
        return r;
    });
    for (const V3& P : kProbe)
        expectNear(add(P, trigonDisp(c->trigonList, P)), {2 * P[0], P[1], P[2]}, 1e-12);
}

TEST(TrigonMap, ShearByHand) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    // P2 slides to (0.5, 1, 0): (x, y, z) -> (x + 0.5 y, y, z).
    pose(c.cage, p, identityRot(), {0, 0, 0}, [&](int i) {
        return i == 2 ? V3{0.5, 1, 0} : fromArr(p[std::size_t(i)]->restPos);
    });
    expectNear(add(kProbe[1], trigonDisp(c->trigonList, kProbe[1])), {0.35, 0.3, 0.7}, 1e-12);
}

TEST(TrigonMap, GeneralDeformationMatchesBarycentricRule) {
    TestCage c;
    Shape s;
    s.points = {{0.1, -0.2, 0.3}, {1.4, 0.1, -0.2}, {0.2, 1.1, 0.5}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    const V3 cur[3] = {{0.3, 0.0, 0.1}, {1.8, 0.4, 0.9}, {-0.4, 1.5, 0.2}};
    const Rot R = axisRot({0.3, -1.0, 0.5}, 0.8);
    const V3 W = {5, -3, 2};
    pose(c.cage, p, R, W, [&](int i) { return cur[i]; });
    V3 rw[3], cw[3];
    for (int k = 0; k < 3; ++k) {
        rw[k] = toWorld(c.cage, s.points[std::size_t(k)]);
        cw[k] = toWorld(c.cage, cur[k]);
    }
    for (const V3& P : kProbe) {
        const V3 Pw = toWorld(c.cage, P);
        expectNear(add(Pw, trigonDisp(c->trigonList, Pw)), refTriangleMap(rw, cw, Pw), 1e-10);
    }
}

TEST(TrigonMap, RestShapeGivesNoDisplacementUnderAnyPlacement) {
    TestCage c;
    Shape s;
    s.points = {{0.1, -0.2, 0.3}, {1.4, 0.1, -0.2}, {0.2, 1.1, 0.5}, {3, 0, 0}, {4, 0, 0}};
    s.faces = {{0, 1, 2}};
    s.lines = {{3, 4}};
    auto p = buildCage(c.cage, s);
    poseRest(c.cage, p, axisRot({1, 2, 3}, 2.1), {-4, 7, 1});
    for (const V3& P : kProbe) {
        const V3 Pw = toWorld(c.cage, P);
        expectNear(trigonDisp(c->trigonList, Pw), {0, 0, 0}, 1e-12);
        expectNear(linegonDisp(c->linegonList, Pw), {0, 0, 0}, 1e-12);
    }
}

// Zero-area rest triangles have no affine map: the longest side carries the
// point as a linegon would, and three coincident points translate it.
TEST(TrigonMap, FlatRestTriangleFollowsItsLongestSide) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    const TrigonData* t = c->trigonList;

    poseRest(c.cage, p, identityRot(), {0, 0, 0});
    for (const V3& P : kProbe)
        expectNear(trigonDisp(t, P), {0, 0, 0}, kTol);

    const V3 v = {1, 2, 3};
    pose(c.cage, p, identityRot(), {0, 0, 0},
         [&](int i) { return add(fromArr(p[std::size_t(i)]->restPos), v); });
    for (const V3& P : kProbe)
        expectNear(trigonDisp(t, P), v, kTol);

    // Stretched twice along the side: along offsets double, the rest stays.
    pose(c.cage, p, identityRot(), {0, 0, 0}, [&](int i) { return V3{2.0 * double(i), 0, 0}; });
    expectNear(add(V3{1, 0.5, -0.25}, trigonDisp(t, {1, 0.5, -0.25})), {2, 0.5, -0.25}, kTol);

    // Turned a quarter about z: the whole point turns.
    const Rot R = axisRot({0, 0, 1}, M_PI / 2);
    pose(c.cage, p, identityRot(), {0, 0, 0},
         [&](int i) { return R(fromArr(p[std::size_t(i)]->restPos)); });
    for (const V3& P : kProbe)
        expectNear(add(P, trigonDisp(t, P)), R(P), 1e-12);

    // Reversed: a half turn, the point stays at its distance from the side.
    pose(c.cage, p, identityRot(), {0, 0, 0}, [&](int i) { return V3{-double(i), 0, 0}; });
    const V3 P = {1.5, 0.3, 0.4};
    const V3 m = add(P, trigonDisp(t, P));
    EXPECT_NEAR(m[0], -1.5, kTol);
    EXPECT_NEAR(std::hypot(m[1], m[2]), 0.5, kTol);
}

TEST(TrigonMap, CoincidentRestPointsTranslateWithP0) {
    TestCage c;
    Shape s;
    s.points = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    pose(c.cage, p, identityRot(), {0, 0, 0}, [](int i) { return V3{2.0 + i, 1, 1}; });
    for (const V3& P : kProbe)
        expectNear(trigonDisp(c->trigonList, P), {1, 0, 0}, kTol);
}

TEST(TrigonMap, CollapsedCurrentTriangleStaysFinite) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    pose(c.cage, p, identityRot(), {0, 0, 0}, [](int) { return V3{0.5, 0.5, 0.5}; });
    for (const V3& P : kProbe) {
        const V3 d = trigonDisp(c->trigonList, P);
        EXPECT_TRUE(finite(d));
        // Everything in the plane lands on the collapsed point.
        if (P[2] == 0.0) expectNear(add(P, d), {0.5, 0.5, 0.5}, kTol);
    }
}

TEST(Accumulator, WeightsAddAndBadInputsAreSkipped) {
    TestCage c;
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    s.faces = {{0, 1, 2}};
    auto p = buildCage(c.cage, s);
    const V3 v = {0, 0, 2};
    pose(c.cage, p, identityRot(), {0, 0, 0},
         [&](int i) { return add(fromArr(p[std::size_t(i)]->restPos), v); });
    const V3 P = {0.2, 0.2, 0};
    double D[3] = {0, 0, 0}, W = 0;
    calcWeightWithTrigon_W(c->trigonList, P.data(), D, &W, 0.25);
    calcWeightWithTrigon_W(c->trigonList, P.data(), D, &W, 0.5);
    EXPECT_NEAR(W, 0.75, 1e-15);
    EXPECT_NEAR(D[2], 1.5, 1e-15);
    calcWeightWithTrigon_W(c->trigonList, P.data(), D, &W, 0.0);
    calcWeightWithTrigon_W(c->trigonList, P.data(), D, &W,
                           std::numeric_limits<double>::quiet_NaN());
    calcWeightWithTrigon_W(c->trigonList, P.data(), D, &W, std::numeric_limits<double>::infinity());
    const double nanP[3] = {std::nan(""), 0, 0};
    calcWeightWithTrigon_W(c->trigonList, nanP, D, &W, 1.0);
    EXPECT_NEAR(W, 0.75, 1e-15);
    EXPECT_NEAR(D[2], 1.5, 1e-15);
    EXPECT_EQ(D[0], 0.0);
}

// --- corner blend and a polygon as one element -----------------------------------

namespace {

// Square polygon C0..C3 = (-1,-1), (1,-1), (1,1), (-1,1) in the xy plane.
struct SquareCage {
    TestCage c;
    std::vector<PointData*> p;
    SquareCage() {
        Shape s;
        s.points = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
        s.faces = {{0, 1, 2, 3}};
        p = buildCage(c.cage, s);
    }
    PolygonData* poly() const { return c->polygonList; }
};

// The fan triangle (centre, C[k], C[k+1]) in world, rest and current.
void fanWorld(const PolygonData* q, int k, V3 rest[3], V3 cur[3]) {
    const TrigonData& t = q->tri[k];
    for (int j = 0; j < 3; ++j) {
        rest[j] = fromArr(t.pnt[j]->worldRestPos);
        cur[j] = fromArr(t.pnt[j]->worldOtherPos);
    }
}

} // namespace

TEST(CornerBlend, FadesTheTriangleThePointRunsAlong) {
    SquareCage sq;
    // C2 rises: tri[1] and tri[2] change, tri[0] keeps C0, C1.
    pose(sq.c.cage, sq.p, identityRot(), {0, 0, 0}, [&](int i) {
        V3 r = fromArr(sq.p[std::size_t(i)]->restPos);
        if (i == 2) r[2] = 4.0;
        return r;
    });
    PolygonData* q = sq.poly();
    // Past corner C1 along tri[0]'s outer edge: all of the offset runs along
    // that edge (hU = 0), so tri[0] fades to nothing and tri[1] carries P.
    const V3 P = {1.5, -1.0, 0.0};
    double D[3] = {0, 0, 0}, W = 0;
    addCornerBlend(sq.c.cage, &q->tri[0], &q->tri[1], q->pnt[1], P.data(), P.data(), D, &W);
    EXPECT_NEAR(W, 1.0, kTol);
    V3 r[3], cur[3], r1[3], c1[3];
    fanWorld(q, 0, r, cur);
    fanWorld(q, 1, r1, c1);
    expectNear(add(P, fromArr(D)), refTriangleMap(r1, c1, P), 1e-12);

    // Equally far from both edge lines: both weigh 1.
    const V3 Q = {1.3, -1.3, 0.2};
    double D2[3] = {0, 0, 0}, W2 = 0;
    addCornerBlend(sq.c.cage, &q->tri[0], &q->tri[1], q->pnt[1], Q.data(), Q.data(), D2, &W2);
    EXPECT_NEAR(W2, 2.0, kTol);
    const V3 want =
        mul(add(sub(refTriangleMap(r, cur, Q), Q), sub(refTriangleMap(r1, c1, Q), Q)), 0.5);
    expectNear(mul(fromArr(D2), 1.0 / W2), want, 1e-12);

    // hU = 3 hT: m = 2 hT, the far triangle gets 2 - 3/2 = 0.5, powered.
    sq.c->falloffType = 2;
    const V3 R = {1.1, -1.3, 0.0};
    double D3[3] = {0, 0, 0}, W3 = 0;
    addCornerBlend(sq.c.cage, &q->tri[0], &q->tri[1], q->pnt[1], R.data(), R.data(), D3, &W3);
    EXPECT_NEAR(W3, 1.0 + std::pow(0.5, 4), 1e-12);
}

TEST(PolygonElement, HandComputedBlendInsideAFanTriangle) {
    SquareCage sq;
    pose(sq.c.cage, sq.p, identityRot(), {0, 0, 0}, [&](int i) {
        V3 r = fromArr(sq.p[std::size_t(i)]->restPos);
        if (i == 2) r[2] = 4.0;
        return r;
    });
    PolygonData* q = sq.poly();
    // Over tri[0] with barycentrics (centre 0.5, C0 0.35, C1 0.15): closeness
    // to its edges o0 = 0.85, o1 = 0.5, o2 = 0.65.
    const V3 P = {-0.2, -0.5, 0.0};
    const double o0 = 0.85, o1 = 0.5, o2 = 0.65;
    for (int f : {0, 1, 4}) {
        sq.c->falloffType = f;
        const double qq = poweredWeight(1 - o1, f), c0 = poweredWeight(o0 * (1 - o1), f),
                     c2 = poweredWeight(o2 * (1 - o1), f);
        V3 sum = {0, 0, 0};
        const int order[4] = {0, 3, 1, 2};
        const double wts[4] = {1.0, c0, c2, qq};
        double wsum = 0;
        for (int j = 0; j < 4; ++j) {
            V3 r[3], cur[3];
            fanWorld(q, order[j], r, cur);
            sum = add(sum, mul(sub(refTriangleMap(r, cur, P), P), wts[j]));
            wsum += wts[j];
        }
        double D[3] = {1, 1, 1}, W = 2.0;
        calcWeightWithPolygon_W(sq.c.cage, q, P.data(), P.data(), D, &W, 0.5);
        EXPECT_NEAR(W, 2.5, kTol);
        expectNear(sub(fromArr(D), {1, 1, 1}), mul(sum, 0.5 / wsum), 1e-12);
    }
}

TEST(PolygonElement, RigidMotionAndRestInvariants) {
    SquareCage sq;
    PolygonData* q = sq.poly();
    const V3 probes[] = {{-0.2, -0.5, 0.0}, {1.5, -1.2, 0.3}, {0.0, 0.0, 0.0}, {0.9, 0.1, -2.0}};
    // Rest shape under a turned placement: nothing moves.
    poseRest(sq.c.cage, sq.p, axisRot({1, 1, 0}, 0.7), {2, 3, 4});
    for (const V3& L : probes) {
        const V3 P = toWorld(sq.c.cage, L);
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithPolygon_W(sq.c.cage, q, P.data(), L.data(), D, &W, 1.0);
        EXPECT_EQ(W, 1.0);
        expectNear(fromArr(D), {0, 0, 0}, 1e-12);
    }
    // The whole polygon turned and moved in the cage's frame: every fan
    // triangle maps P the same rigid way, and so does their blend.
    const Rot R = axisRot({0.2, 1, -0.4}, 1.1);
    const V3 T = {0.5, -0.25, 2};
    pose(sq.c.cage, sq.p, identityRot(), {0, 0, 0},
         [&](int i) { return add(R(fromArr(sq.p[std::size_t(i)]->restPos)), T); });
    for (const V3& P : probes) {
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithPolygon_W(sq.c.cage, q, P.data(), P.data(), D, &W, 1.0);
        expectNear(add(P, fromArr(D)), add(R(P), T), 1e-12);
    }
}
