// Element maps, powered weights, the corner blend and a polygon taken whole.
#include "deform/binding_weights.h"
#include "weights_support.h"
#include "../support/named_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <ostream>

using namespace wt;

namespace {

constexpr double kTol = 1e-12;

void expectNear(const V3& got, const V3& want, double tol) {
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(got[a], want[a], tol) << "component " << a;
}

// Displacements and weights summed as the element functions sum them.
struct Blend {
    double D[3] = {0, 0, 0};
    double W = 0;
    V3 d() const { return fromArr(D); }
};

// Displacement one element gives P alone (weight 1 on an empty sum).
V3 trigonDisp(const TrigonData* t, const V3& P) {
    Blend b;
    calcWeightWithTrigon_W(t, P.data(), b.D, &b.W, 1.0);
    EXPECT_EQ(b.W, 1.0);
    return b.d();
}
V3 linegonDisp(const LinegonData* l, const V3& P) {
    Blend b;
    calcWeightWithLinegon_W(l, P.data(), b.D, &b.W, 1.0);
    EXPECT_EQ(b.W, 1.0);
    return b.d();
}

const V3 kProbe[] = {{0.2, 0.3, 0.0},  {0.2, 0.3, 0.7},  {-1.5, 2.0, -0.4},
                     {3.0, -2.0, 1.0}, {0.5, 0.5, 1e-9}, {10.0, 10.0, 10.0}};
// Three corners, or the three rows of a matrix.
using V3x3 = std::array<V3, 3>;
const V3x3 kUnitRightTriangle = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}};
const V3x3 kFlatTriangle = {{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}};
const V3x3 kUnturned = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

// One hand-built cage; the cage item stays at the origin, unturned, unless a
// test places it.
class ElementCage : public testing::Test {
  protected:
    void build(const Shape& s) { p = buildCage(c.cage, s); }
    void buildTriangle(const V3x3& corners) {
        Shape s;
        s.points = {corners[0], corners[1], corners[2]};
        s.faces = {{0, 1, 2}};
        build(s);
    }
    V3 rest(int i) const { return fromArr(p[std::size_t(i)]->restPos); }
    // Point i goes to cur(i, its rest position).
    void moveTo(const std::function<V3(int, const V3&)>& cur) {
        pose(c.cage, p, identityRot(), {0, 0, 0}, [&](int i) { return cur(i, rest(i)); });
    }
    const TrigonData* tri() const { return c->trigonList; }
    V3 movedByTrigon(const V3& P) const { return add(P, trigonDisp(tri(), P)); }

    TestCage c;
    std::vector<PointData*> p;
};

class LinegonMap : public ElementCage {};
class TrigonMap : public ElementCage {};
class Accumulator : public ElementCage {};

// A triangle's corners moved by the map P -> M P + t (M written by hand, by
// rows): every probe must follow the same map.
struct CornerMove {
    const char* name;
    V3x3 rest, M;
    V3 t;
};
void PrintTo(const CornerMove& m, std::ostream* os) {
    *os << m.name;
}

const CornerMove kCornerMoves[] = {
    {"Translated", {{{0, 0, 0}, {1, 0, 0}, {0.3, 1.2, 0.1}}}, kUnturned, {0.4, -2.0, 3.5}},
    // A quarter turn about x: in-plane and height both turn.
    {"TurnedAboutX", kUnitRightTriangle, {{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}}, {0, 0, 0}},
    // Stretched in the plane, the height kept.
    {"StretchedAlongX", kUnitRightTriangle, {{{2, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, {0, 0, 0}},
    // P2 slides to (0.5, 1, 0).
    {"Sheared", kUnitRightTriangle, {{{1, 0.5, 0}, {0, 1, 0}, {0, 0, 1}}}, {0, 0, 0}},
    // Zero-area rest triangles have no affine map: the longest side carries
    // the point as a linegon would.
    {"FlatTranslated", kFlatTriangle, kUnturned, {1, 2, 3}},
    {"FlatTurnedAboutZ", kFlatTriangle, {{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}}, {0, 0, 0}},
};

class TrigonMapMoved : public ElementCage, public testing::WithParamInterface<CornerMove> {};

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

TEST_F(LinegonMap, TurnedAndStretchedByHand) {
    Shape s;
    s.points = {{0, 0, 0}, {2, 0, 0}};
    s.lines = {{0, 1}};
    build(s);
    // A -> (1,1,0), B -> (1,5,0): a quarter turn about z and twice as long.
    moveTo([](int i, const V3&) { return i == 0 ? V3{1, 1, 0} : V3{1, 5, 0}; });
    const LinegonData* l = c->linegonList;
    EXPECT_NEAR(l->stretch, 2.0, kTol);
    // Along 0.5 -> 1.0 up y; sideways (0.3, 0.2) turns to (-0.3, 0, 0.2).
    const V3 P = {0.5, 0.3, 0.2};
    expectNear(add(P, linegonDisp(l, P)), {0.7, 2.0, 0.2}, kTol);
    // Beyond the end the along offset keeps stretching.
    const V3 Q = {3.0, 0.0, -1.0};
    expectNear(add(Q, linegonDisp(l, Q)), {1.0, 7.0, -1.0}, kTol);
}

TEST_P(TrigonMapMoved, EveryProbeFollowsTheCorners) {
    const CornerMove& m = GetParam();
    const auto map = [&](const V3& P) {
        return add({dot(m.M[0], P), dot(m.M[1], P), dot(m.M[2], P)}, m.t);
    };
    buildTriangle(m.rest);
    moveTo([&](int, const V3& r) { return map(r); });
    for (const V3& P : kProbe)
        expectNear(movedByTrigon(P), map(P), kTol);
}

INSTANTIATE_TEST_SUITE_P(Corners, TrigonMapMoved, testing::ValuesIn(kCornerMoves),
                         testrows::rowName<CornerMove>);

TEST_F(TrigonMap, GeneralDeformationMatchesBarycentricRule) {
    Shape s;
    s.points = {{0.1, -0.2, 0.3}, {1.4, 0.1, -0.2}, {0.2, 1.1, 0.5}};
    s.faces = {{0, 1, 2}};
    build(s);
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
        expectNear(movedByTrigon(Pw), refTriangleMap(rw, cw, Pw), 1e-10);
    }
}

TEST_F(TrigonMap, RestShapeGivesNoDisplacementUnderAnyPlacement) {
    Shape s;
    s.points = {{0.1, -0.2, 0.3}, {1.4, 0.1, -0.2}, {0.2, 1.1, 0.5}, {3, 0, 0}, {4, 0, 0}};
    s.faces = {{0, 1, 2}};
    s.lines = {{3, 4}};
    build(s);
    poseRest(c.cage, p, axisRot({1, 2, 3}, 2.1), {-4, 7, 1});
    for (const V3& P : kProbe) {
        const V3 Pw = toWorld(c.cage, P);
        expectNear(trigonDisp(tri(), Pw), {0, 0, 0}, kTol);
        expectNear(linegonDisp(c->linegonList, Pw), {0, 0, 0}, kTol);
    }
}

// A zero-area rest triangle at rest, stretched and reversed along its longest
// side (moved and turned whole in the cases above).
TEST_F(TrigonMap, FlatRestTriangleFollowsItsLongestSide) {
    buildTriangle(kFlatTriangle);

    poseRest(c.cage, p, identityRot(), {0, 0, 0});
    for (const V3& P : kProbe)
        expectNear(trigonDisp(tri(), P), {0, 0, 0}, kTol);

    // Stretched twice along the side: along offsets double, the rest stays.
    moveTo([](int i, const V3&) { return V3{2.0 * double(i), 0, 0}; });
    expectNear(movedByTrigon({1, 0.5, -0.25}), {2, 0.5, -0.25}, kTol);

    // Reversed: a half turn, the point stays at its distance from the side.
    moveTo([](int i, const V3&) { return V3{-double(i), 0, 0}; });
    const V3 m = movedByTrigon({1.5, 0.3, 0.4});
    EXPECT_NEAR(m[0], -1.5, kTol);
    EXPECT_NEAR(std::hypot(m[1], m[2]), 0.5, kTol);
}

TEST_F(TrigonMap, CoincidentRestPointsTranslateWithP0) {
    buildTriangle({{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}});
    moveTo([](int i, const V3&) { return V3{2.0 + i, 1, 1}; });
    for (const V3& P : kProbe)
        expectNear(trigonDisp(tri(), P), {1, 0, 0}, kTol);
}

TEST_F(TrigonMap, CollapsedCurrentTriangleStaysFinite) {
    buildTriangle(kUnitRightTriangle);
    moveTo([](int, const V3&) { return V3{0.5, 0.5, 0.5}; });
    for (const V3& P : kProbe) {
        const V3 d = trigonDisp(tri(), P);
        EXPECT_TRUE(finite(d));
        // Everything in the plane lands on the collapsed point.
        if (P[2] == 0.0) expectNear(add(P, d), {0.5, 0.5, 0.5}, kTol);
    }
}

TEST_F(Accumulator, WeightsAddAndBadInputsAreSkipped) {
    buildTriangle(kUnitRightTriangle);
    moveTo([](int, const V3& r) { return add(r, {0, 0, 2}); });
    const V3 P = {0.2, 0.2, 0};
    Blend b;
    calcWeightWithTrigon_W(tri(), P.data(), b.D, &b.W, 0.25);
    calcWeightWithTrigon_W(tri(), P.data(), b.D, &b.W, 0.5);
    EXPECT_NEAR(b.W, 0.75, 1e-15);
    EXPECT_NEAR(b.D[2], 1.5, 1e-15);
    for (double bad :
         {0.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        calcWeightWithTrigon_W(tri(), P.data(), b.D, &b.W, bad);
    const double nanP[3] = {std::nan(""), 0, 0};
    calcWeightWithTrigon_W(tri(), nanP, b.D, &b.W, 1.0);
    EXPECT_NEAR(b.W, 0.75, 1e-15);
    EXPECT_NEAR(b.D[2], 1.5, 1e-15);
    EXPECT_EQ(b.D[0], 0.0);
}

// --- corner blend and a polygon as one element -----------------------------------

namespace {

// Square polygon C0..C3 = (-1,-1), (1,-1), (1,1), (-1,1) in the xy plane.
class SquareCage : public ElementCage {
  protected:
    void SetUp() override {
        Shape s;
        s.points = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
        s.faces = {{0, 1, 2, 3}};
        build(s);
    }
    PolygonData* poly() const { return c->polygonList; }

    // C2 rises to z = 4: tri[1] and tri[2] change, tri[0] keeps C0, C1.
    void raiseC2() {
        moveTo([](int i, const V3& r) { return i == 2 ? V3{r[0], r[1], 4.0} : r; });
    }

    // The fan triangle (centre, C[k], C[k+1]) in world, rest and current.
    void fanWorld(int k, V3 restW[3], V3 cur[3]) const {
        const TrigonData& t = poly()->tri[k];
        for (int j = 0; j < 3; ++j) {
            restW[j] = fromArr(t.pnt[j]->worldRestPos);
            cur[j] = fromArr(t.pnt[j]->worldOtherPos);
        }
    }
    // Where fan triangle k alone takes P.
    V3 fanImage(int k, const V3& P) const {
        V3 r[3], cur[3];
        fanWorld(k, r, cur);
        return refTriangleMap(r, cur, P);
    }

    // tri[0] and tri[1] blended about their shared corner C1.
    Blend cornerBlendAtC1(const V3& P) const {
        PolygonData* q = poly();
        Blend b;
        addCornerBlend(c.cage, &q->tri[0], &q->tri[1], q->pnt[1], P.data(), P.data(), b.D, &b.W);
        return b;
    }
    // The polygon's share for world point P (cage-local L) added to b.
    Blend polygonBlend(const V3& P, const V3& L, double weight, Blend b = {}) const {
        calcWeightWithPolygon_W(c.cage, poly(), P.data(), L.data(), b.D, &b.W, weight);
        return b;
    }
};

class CornerBlend : public SquareCage {};
class PolygonElement : public SquareCage {};

} // namespace

TEST_F(CornerBlend, FadesTheTriangleThePointRunsAlong) {
    raiseC2();
    // Past corner C1 along tri[0]'s outer edge: all of the offset runs along
    // that edge (hU = 0), so tri[0] fades to nothing and tri[1] carries P.
    const V3 P = {1.5, -1.0, 0.0};
    const Blend b = cornerBlendAtC1(P);
    EXPECT_NEAR(b.W, 1.0, kTol);
    expectNear(add(P, b.d()), fanImage(1, P), 1e-12);

    // Equally far from both edge lines: both weigh 1.
    const V3 Q = {1.3, -1.3, 0.2};
    const Blend b2 = cornerBlendAtC1(Q);
    EXPECT_NEAR(b2.W, 2.0, kTol);
    const V3 want = mul(add(sub(fanImage(0, Q), Q), sub(fanImage(1, Q), Q)), 0.5);
    expectNear(mul(b2.d(), 1.0 / b2.W), want, 1e-12);

    // hU = 3 hT: m = 2 hT, the far triangle gets 2 - 3/2 = 0.5, powered.
    c->falloffType = 2;
    EXPECT_NEAR(cornerBlendAtC1({1.1, -1.3, 0.0}).W, 1.0 + std::pow(0.5, 4), 1e-12);
}

TEST_F(PolygonElement, HandComputedBlendInsideAFanTriangle) {
    raiseC2();
    // Over tri[0] with barycentrics (centre 0.5, C0 0.35, C1 0.15): closeness
    // to its edges o0 = 0.85, o1 = 0.5, o2 = 0.65.
    const V3 P = {-0.2, -0.5, 0.0};
    const double o0 = 0.85, o1 = 0.5, o2 = 0.65;
    for (int f : {0, 1, 4}) {
        c->falloffType = f;
        const double qq = poweredWeight(1 - o1, f), c0 = poweredWeight(o0 * (1 - o1), f),
                     c2 = poweredWeight(o2 * (1 - o1), f);
        V3 sum = {0, 0, 0};
        const int order[4] = {0, 3, 1, 2};
        const double wts[4] = {1.0, c0, c2, qq};
        double wsum = 0;
        for (int j = 0; j < 4; ++j) {
            sum = add(sum, mul(sub(fanImage(order[j], P), P), wts[j]));
            wsum += wts[j];
        }
        Blend start;
        start.D[0] = start.D[1] = start.D[2] = 1.0;
        start.W = 2.0;
        const Blend b = polygonBlend(P, P, 0.5, start);
        EXPECT_NEAR(b.W, 2.5, kTol);
        expectNear(sub(b.d(), {1, 1, 1}), mul(sum, 0.5 / wsum), 1e-12);
    }
}

TEST_F(PolygonElement, RigidMotionAndRestInvariants) {
    const V3 probes[] = {{-0.2, -0.5, 0.0}, {1.5, -1.2, 0.3}, {0.0, 0.0, 0.0}, {0.9, 0.1, -2.0}};
    // Rest shape under a turned placement: nothing moves.
    poseRest(c.cage, p, axisRot({1, 1, 0}, 0.7), {2, 3, 4});
    for (const V3& L : probes) {
        const Blend b = polygonBlend(toWorld(c.cage, L), L, 1.0);
        EXPECT_EQ(b.W, 1.0);
        expectNear(b.d(), {0, 0, 0}, 1e-12);
    }
    // The whole polygon turned and moved in the cage's frame: every fan
    // triangle maps P the same rigid way, and so does their blend.
    const Rot R = axisRot({0.2, 1, -0.4}, 1.1);
    const V3 T = {0.5, -0.25, 2};
    moveTo([&](int, const V3& r) { return add(R(r), T); });
    for (const V3& P : probes)
        expectNear(add(P, polygonBlend(P, P, 1.0).d()), add(R(P), T), 1e-12);
}
