// Volume weighting of a cage: inverse-distance weights over every element.
#include "deform/binding_weights.h"
#include "weights_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace wt;

namespace {

void expectNear(const V3& got, const V3& want, double tol) {
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(got[a], want[a], tol) << "component " << a;
}

// A linegon chain, a standalone trigon and a quad.
Shape mixedShape() {
    Shape s;
    s.points = {{0, 0, 0}, {1, 0, 0},   {0, 1, 0},              // trigon
                {3, 0, 0}, {4, 0, 0},   {4, 1, 0.2}, {3, 1, 0}, // quad
                {0, 0, 2}, {1, 0.5, 2}, {2, 0, 2.5}};           // chain
    s.faces = {{0, 1, 2}, {3, 4, 5, 6}};
    s.lines = {{7, 8}, {8, 9}};
    return s;
}

V3 volumeDisp(const CageInstance* cage, const V3& P) {
    ScaledBlend b;
    calcVolumeWeightsOfCage(cage, P.data(), &b);
    double out[3];
    EXPECT_TRUE(scaledBlendDisplacement(&b, out));
    return fromArr(out);
}

// Independent reference: each element's displacement from its own map, the
// weights (1 / (distance + smooth))^(2^F) taken in logs so nothing overflows.
V3 referenceVolume(const CageInstance* cage, const V3& P) {
    struct Item {
        double logW;
        V3 d;
    };
    std::vector<Item> items;
    const double s = cage->smoothDistanceClamped;
    const double e = double(1 << cage->falloffType);
    auto push = [&](double dist, const double D[3]) {
        items.push_back({-e * std::log(dist + s), fromArr(D)});
    };
    for (const LinegonData* l = cage->linegonList; l; l = l->next) {
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithLinegon_W(l, P.data(), D, &W, 1.0);
        push(segDist(P, fromArr(l->pnt[0]->worldRestPos), fromArr(l->pnt[1]->worldRestPos)), D);
    }
    auto tri = [&](const TrigonData* t) {
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithTrigon_W(t, P.data(), D, &W, 1.0);
        push(triDist(P, fromArr(t->pnt[0]->worldRestPos), fromArr(t->pnt[1]->worldRestPos),
                     fromArr(t->pnt[2]->worldRestPos)),
             D);
    };
    for (const TrigonData* t = cage->trigonList; t; t = t->next)
        tri(t);
    for (const PolygonData* q = cage->polygonList; q; q = q->next)
        for (const TrigonData& t : q->tri)
            tri(&t);
    double top = -1e300;
    for (const Item& it : items)
        top = std::fmax(top, it.logW);
    V3 sum = {0, 0, 0};
    double wsum = 0;
    for (const Item& it : items) {
        const double w = std::exp(it.logW - top);
        sum = add(sum, mul(it.d, w));
        wsum += w;
    }
    return mul(sum, 1.0 / wsum);
}

struct Mixed {
    TestCage c;
    std::vector<PointData*> p;
    Mixed() { p = buildCage(c.cage, mixedShape()); }
};

const V3 kLocal[] = {{0.3, 0.3, 0.0},   {2.0, 0.5, 1.0}, {3.5, 0.5, 0.05}, {0.5, 0.2, 2.0},
                     {-3.0, 4.0, -2.0}, {1.0, 0.0, 0.0}, {3.2, 0.4, 1e-7}};

} // namespace

TEST(VolumeDistance, MatchesPointToElementGeometry) {
    Mixed m;
    poseRest(m.c.cage, m.p, axisRot({1, -2, 0.5}, 0.9), {1, 2, 3});
    const V3 probes[] = {{0.3, 0.3, 0.5}, {-1, -1, 0.2}, {2, 2, -1},    {0.5, -0.5, 0},
                         {1.5, 0.5, 2.1}, {-1, 0, 2},    {3, 0.1, 2.7}, {0.9, 0.9, 0}};
    for (const V3& L : probes) {
        const V3 P = toWorld(m.c.cage, L);
        for (const TrigonData* t = m.c->trigonList; t; t = t->next)
            EXPECT_NEAR(trigonRestDistance(t, P.data()),
                        triDist(P, fromArr(t->pnt[0]->worldRestPos),
                                fromArr(t->pnt[1]->worldRestPos), fromArr(t->pnt[2]->worldRestPos)),
                        1e-12);
        for (const TrigonData& t : m.c->polygonList->tri)
            EXPECT_NEAR(trigonRestDistance(&t, P.data()),
                        triDist(P, fromArr(t.pnt[0]->worldRestPos), fromArr(t.pnt[1]->worldRestPos),
                                fromArr(t.pnt[2]->worldRestPos)),
                        1e-12);
        for (const LinegonData* l = m.c->linegonList; l; l = l->next)
            EXPECT_NEAR(
                linegonRestDistance(l, P.data()),
                segDist(P, fromArr(l->pnt[0]->worldRestPos), fromArr(l->pnt[1]->worldRestPos)),
                1e-12);
    }
}

TEST(VolumeWeighting, RestShapeLeavesPointsInPlace) {
    Mixed m;
    poseRest(m.c.cage, m.p, axisRot({0, 1, 1}, 2.5), {-3, 0, 8});
    for (int f = 0; f <= 6; ++f) {
        m.c->falloffType = f;
        for (const V3& L : kLocal)
            expectNear(volumeDisp(m.c.cage, toWorld(m.c.cage, L)), {0, 0, 0}, 1e-12);
    }
}

TEST(VolumeWeighting, UniformTranslationMovesByTheVector) {
    Mixed m;
    const V3 v = {0.25, -1.5, 0.75};
    pose(m.c.cage, m.p, axisRot({1, 0, 0}, 0.4), {1, 1, 1},
         [&](int i) { return add(fromArr(m.p[std::size_t(i)]->restPos), v); });
    const V3 vw = sub(toWorld(m.c.cage, v), toWorld(m.c.cage, {0, 0, 0}));
    for (int f = 0; f <= 6; ++f) {
        m.c->falloffType = f;
        for (const V3& L : kLocal)
            expectNear(volumeDisp(m.c.cage, toWorld(m.c.cage, L)), vw, 1e-11);
    }
}

TEST(VolumeWeighting, MatchesPlainInverseDistanceSumsWhereTheyAreFinite) {
    Mixed m;
    pose(m.c.cage, m.p, identityRot(), {0, 0, 0}, [&](int i) {
        V3 r = fromArr(m.p[std::size_t(i)]->restPos);
        return add(r, {0.1 * r[1], 0.3 * std::sin(double(i)), 0.2 * r[0]});
    });
    m.c->smoothDistanceClamped = 0.05;
    for (int f : {0, 1, 2, 3}) {
        m.c->falloffType = f;
        for (const V3& P : kLocal) {
            // The plain per-element weights, summed as the rule states.
            double D[3] = {0, 0, 0}, W = 0;
            for (const LinegonData* l = m.c->linegonList; l; l = l->next)
                calcWeightWithLinegon(m.c.cage, l, P.data(), D, &W);
            for (const TrigonData* t = m.c->trigonList; t; t = t->next)
                calcWeightWithTrigon(m.c.cage, t, P.data(), D, &W);
            for (const TrigonData& t : m.c->polygonList->tri)
                calcWeightWithTrigon(m.c.cage, &t, P.data(), D, &W);
            ScaledBlend b;
            calcVolumeWeightsOfCage(m.c.cage, P.data(), &b);
            const double scale = std::exp(b.logScale);
            EXPECT_NEAR(b.weight * scale / W, 1.0, 1e-12);
            expectNear(volumeDisp(m.c.cage, P), mul(fromArr(D), 1.0 / W), 1e-12);
            expectNear(volumeDisp(m.c.cage, P), referenceVolume(m.c.cage, P), 1e-12);
        }
    }
}

// (1 / 2e-6)^64 is past the largest double: the plain weights overflow for
// points within about 1.6e-5 of an element.
TEST(VolumeWeighting, SteepestFalloffStaysFiniteAndContinuousNextToAnElement) {
    ASSERT_TRUE(std::isinf(std::pow(1.0 / (1e-5 + 2e-6), 64)));
    Mixed m;
    pose(m.c.cage, m.p, identityRot(), {0, 0, 0}, [&](int i) {
        V3 r = fromArr(m.p[std::size_t(i)]->restPos);
        return add(r, {0.0, 0.2 * double(i % 3), 0.3 * r[0]});
    });
    m.c->falloffType = 6;
    // Over the trigon's inside, approaching its plane.
    V3 last = {0, 0, 0};
    bool first = true;
    for (double h : {1e-3, 1e-4, 3e-5, 1.7e-5, 1.5e-5, 1e-5, 1e-7, 1e-10, 0.0}) {
        const V3 P = {0.3, 0.3, h};
        const V3 d = volumeDisp(m.c.cage, P);
        ASSERT_TRUE(finite(d)) << h;
        // Every other element is at least 0.58 away: the trigon decides alone.
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithTrigon_W(m.c->trigonList, P.data(), D, &W, 1.0);
        expectNear(d, fromArr(D), 1e-12);
        expectNear(d, referenceVolume(m.c.cage, P), 1e-12);
        if (!first) expectNear(d, last, 1e-3); // the map is smooth, no jump
        last = d;
        first = false;
    }
    // Between two elements at nearly the same tiny distance the ratio of
    // their weights survives: a point on the quad's diagonal spoke.
    for (double h : {1e-5, 1e-8, 0.0}) {
        const V3 P = {3.25, 0.25, h};
        const V3 d = volumeDisp(m.c.cage, P);
        ASSERT_TRUE(finite(d));
        expectNear(d, referenceVolume(m.c.cage, P), 1e-12);
    }
}

TEST(VolumeWeighting, PlainElementWeightIsCappedFinite) {
    Mixed m;
    poseRest(m.c.cage, m.p, identityRot(), {0, 0, 0});
    m.c->falloffType = 6;
    const V3 P = {0.3, 0.3, 0.0};
    double D[3] = {0, 0, 0}, W = 0;
    calcWeightWithTrigon(m.c.cage, m.c->trigonList, P.data(), D, &W);
    EXPECT_TRUE(std::isfinite(W));
    EXPECT_EQ(W, kMaxPlainWeight);
    // Unpowered, on the element: exactly 1 / smooth.
    m.c->falloffType = 0;
    W = 0;
    calcWeightWithTrigon(m.c.cage, m.c->trigonList, P.data(), D, &W);
    EXPECT_NEAR(W, 1.0 / 2e-6, 1e-6);
}

TEST(VolumeWeighting, CageRotatedWithItsMeshGivesTheRotatedResult) {
    Mixed m;
    auto cur = [&](int i) {
        V3 r = fromArr(m.p[std::size_t(i)]->restPos);
        return add(r, {0.2 * r[2], 0.1 * double(i), -0.15 * r[1]});
    };
    m.c->falloffType = 3;
    m.c->smoothDistanceClamped = 0.01;
    std::vector<V3> base;
    pose(m.c.cage, m.p, identityRot(), {0, 0, 0}, cur);
    for (const V3& L : kLocal)
        base.push_back(volumeDisp(m.c.cage, L));
    const Rot R = axisRot({0.3, 0.8, -0.5}, 2.2);
    pose(m.c.cage, m.p, R, {4, -5, 6}, cur);
    for (std::size_t k = 0; k < base.size(); ++k)
        expectNear(volumeDisp(m.c.cage, toWorld(m.c.cage, kLocal[k])), R(base[k]), 1e-11);
}

TEST(ScaledBlend, CombinesCagesAsPlainSumsWouldAndSurvivesHugeScales) {
    ScaledBlend a = {{2, 0, 0}, 2.0, std::log(1e3)}; // true (2e3, 0, 0) / 2e3
    ScaledBlend b = {{0, 4, 0}, 1.0, std::log(1e2)}; // true (0, 4e2, 0) / 1e2
    ScaledBlend skin = {{0, 0, 0.5}, 1.0, 0.0};      // a Skin cage: wm d over 1
    ScaledBlend t = {{0, 0, 0}, 0, 0};
    addScaledBlend(&t, &b, 1.0);
    addScaledBlend(&t, &a, 0.5);
    addScaledBlend(&t, &skin, 1.0);
    double out[3];
    ASSERT_TRUE(scaledBlendDisplacement(&t, out));
    const double W = 0.5 * 2e3 + 1e2 + 1.0;
    expectNear(fromArr(out), {0.5 * 2e3 / W, 4e2 / W, 0.5 / W}, 1e-12);

    // Scales far past a double: the larger one wins outright, finitely.
    ScaledBlend big = {{0, 3, 0}, 1.0, 2000.0};
    addScaledBlend(&t, &big, 1.0);
    ASSERT_TRUE(scaledBlendDisplacement(&t, out));
    expectNear(fromArr(out), {0, 3, 0}, 1e-12);

    // Nothing to blend: no displacement, no division.
    ScaledBlend empty = {{0, 0, 0}, 0, 0};
    ScaledBlend z = {{0, 0, 0}, 0, 0};
    addScaledBlend(&z, &empty, 1.0);
    addScaledBlend(&z, &a, 0.0);
    addScaledBlend(&z, &a, std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(scaledBlendDisplacement(&z, out));
    expectNear(fromArr(out), {0, 0, 0}, 0.0);
}

TEST(VolumeWeighting, EmptyCageOrBadPointGivesNothing) {
    TestCage c;
    ScaledBlend b;
    const double P[3] = {1, 2, 3};
    calcVolumeWeightsOfCage(c.cage, P, &b);
    EXPECT_EQ(b.weight, 0.0);
    double out[3];
    EXPECT_FALSE(scaledBlendDisplacement(&b, out));

    Mixed m;
    poseRest(m.c.cage, m.p, identityRot(), {0, 0, 0});
    const double bad[3] = {std::nan(""), 0, 0};
    calcVolumeWeightsOfCage(m.c.cage, bad, &b);
    EXPECT_EQ(b.weight, 0.0);
    const double inf[3] = {std::numeric_limits<double>::infinity(), 0, 0};
    calcVolumeWeightsOfCage(m.c.cage, inf, &b);
    EXPECT_EQ(b.weight, 0.0);
    EXPECT_TRUE(std::isfinite(b.disp[0]));
}
