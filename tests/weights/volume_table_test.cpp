// The flat per-frame table of a Volume cage against the element-by-element
// weighting it stands in for, and the affine form of the element maps.
#include "deform/binding_weights.h"
#include "deform/volume_table.h"
#include "weights_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

using namespace wt;

namespace {

struct TableDeleter {
    void operator()(VolumeTable* t) const { freeVolumeTable(t); }
};
using Table = std::unique_ptr<VolumeTable, TableDeleter>;

Table filled(const CageInstance* cage) {
    Table t(newVolumeTable());
    EXPECT_NE(t, nullptr);
    EXPECT_TRUE(fillVolumeTable(t.get(), cage));
    return t;
}

bool displacementOf(const ScaledBlend& b, V3* out) {
    double d[3];
    const bool ok = scaledBlendDisplacement(&b, d);
    *out = fromArr(d);
    return ok;
}

// Same displacement, and the same true weight sum (weight * e^logScale)
// where that is a double at all.
void expectSameBlend(const ScaledBlend& got, const ScaledBlend& want, double tol) {
    V3 g, w;
    ASSERT_EQ(displacementOf(got, &g), displacementOf(want, &w));
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(g[a], w[a], tol * (1.0 + std::fabs(w[a]))) << "component " << a;
    if (want.weight > 0.0) {
        const double ratio = got.weight / want.weight * std::exp(got.logScale - want.logScale);
        EXPECT_NEAR(ratio, 1.0, 1e-9);
    }
}

// A closed box of quads, a loose trigon fan, a linegon chain, and two
// triangles without area (three points on a line; three coincident).
Shape busyShape() {
    Shape s;
    s.points = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1},   {-1, 1, -1},  // box bottom
                {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},    {-1, 1, 1},   // box top
                {3, 0, 0},    {4, 0, 0.3}, {3.5, 1, 0},  {3, -1, 0.5}, // fan
                {0, 3, 0},    {1, 3.5, 0}, {2, 3, 0.4},                // chain
                {-3, 0, 0},   {-2, 0, 0},  {-1.5, 0, 0},               // collinear
                {-3, 2, 0},   {-3, 2, 0},  {-3, 2, 0}};                // one point
    s.faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6},
               {3, 0, 4, 7}, {8, 9, 10},   {8, 11, 9},   {15, 16, 17}, {18, 19, 20}};
    s.lines = {{12, 13}, {13, 14}};
    return s;
}

// Every point moved smoothly and unevenly, the item turned and placed.
void bend(CageInstance* cage, const std::vector<PointData*>& p) {
    pose(cage, p, axisRot({0.3, 1, -0.2}, 0.7), {2, -1, 5}, [&](int i) {
        const V3 r = fromArr(p[std::size_t(i)]->restPos);
        return add(r, {0.2 * std::sin(r[1] + i), 0.1 * r[0] * r[2], 0.15 * std::cos(r[0])});
    });
}

std::vector<V3> probes(const CageInstance* cage) {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> u(-4.0, 5.0);
    std::vector<V3> out;
    for (int i = 0; i < 60; ++i)
        out.push_back(toWorld(cage, {u(rng), u(rng), u(rng)}));
    // On elements: a box corner, a face centre, a chain joint, the collinear
    // triangle's middle, the collapsed one.
    for (const V3& L : std::vector<V3>{{1, 1, 1}, {0, 0, -1}, {1, 3.5, 0}, {-2, 0, 0}, {-3, 2, 0}})
        out.push_back(toWorld(cage, L));
    return out;
}

// Same bits: what the kept weights blend to is what the table gives.
void expectSameBits(const ScaledBlend& a, const ScaledBlend& b) {
    EXPECT_EQ(std::memcmp(a.disp, b.disp, sizeof a.disp), 0);
    EXPECT_EQ(std::memcmp(&a.weight, &b.weight, sizeof a.weight), 0);
    EXPECT_EQ(std::memcmp(&a.logScale, &b.logScale, sizeof a.logScale), 0);
}

} // namespace

// Every build of the loops this processor can run (portable, AVX2,
// AVX-512) against the weighting element by element; the weights kept
// while blending give the same blend to the bit when summed again.
TEST(VolumeTable, MatchesTheElementByElementWeightingForEveryFalloff) {
    TestCage c;
    const std::vector<PointData*> p = buildCage(c.cage, busyShape());
    bend(c.cage, p);
    c->smoothDistanceClamped = 0.01;
    const int widest = volumeVectorLevel();
    for (int level = 0; level <= widest; ++level) {
        capVolumeVectorLevel(level);
        ASSERT_EQ(volumeVectorLevel(), level);
        for (int f = 0; f <= 6; ++f) {
            c->falloffType = f;
            Table t = filled(c.cage);
            for (const V3& P : probes(c.cage)) {
                ScaledBlend got, want;
                volumeBlendOfTable(t.get(), P.data(), &got);
                calcVolumeWeightsOfCage(c.cage, P.data(), &want);
                expectSameBlend(got, want, 1e-9);
                EXPECT_TRUE(std::isfinite(got.disp[0] + got.disp[1] + got.disp[2]));
                std::vector<double> w(std::size_t(volumeWeightCount(t.get())));
                ScaledBlend weighed, summed;
                const double nearest =
                    weighAndBlendVolumeTable(t.get(), P.data(), w.data(), &weighed);
                volumeBlendOfWeights(t.get(), w.data(), nearest, P.data(), &summed);
                expectSameBits(weighed, got);
                expectSameBits(summed, got);
            }
        }
    }
    capVolumeVectorLevel(-1);
    EXPECT_EQ(volumeVectorLevel(), widest);
}

namespace {

// A strip of `tris` triangles over a wavy sheet and a chain of `lines`
// linegons beside it: element counts on both sides of the loops' block
// boundaries.
Shape stripShape(int tris, int lines) {
    Shape s;
    const int columns = tris / 2 + 2;
    for (int i = 0; i < columns; ++i)
        for (int row = 0; row < 2; ++row)
            s.points.push_back({0.5 * i, double(row) + 0.1 * std::sin(i), 0.2 * std::cos(0.7 * i)});
    for (int k = 0; k < tris; ++k) {
        const int i = k / 2;
        if (k % 2 == 0)
            s.faces.push_back({2 * i, 2 * i + 2, 2 * i + 1});
        else
            s.faces.push_back({2 * i + 1, 2 * i + 2, 2 * i + 3});
    }
    const int first = int(s.points.size());
    for (int k = 0; k <= lines; ++k)
        s.points.push_back({0.4 * k, -2.0 + 0.3 * std::sin(k), 0.5});
    for (int k = 0; k < lines; ++k)
        s.lines.push_back({first + k, first + k + 1});
    return s;
}

struct Counts {
    int tris, lines;
};

class VolumeTableCounts : public ::testing::TestWithParam<Counts> {};

} // namespace

// Every build against the element-by-element weighting, whether a run of
// elements ends on a whole block or not; and a point weighed twice gets the
// same bits (the loops' order may change between calls, the sums may not).
TEST_P(VolumeTableCounts, MatchesTheElementByElementWeightingAtEveryCount) {
    TestCage c;
    const std::vector<PointData*> p =
        buildCage(c.cage, stripShape(GetParam().tris, GetParam().lines));
    bend(c.cage, p);
    c->smoothDistanceClamped = 0.01;
    c->falloffType = 2;
    const int widest = volumeVectorLevel();
    for (int level = 0; level <= widest; ++level) {
        capVolumeVectorLevel(level);
        Table t = filled(c.cage);
        for (const V3& P : probes(c.cage)) {
            ScaledBlend got, again, want;
            volumeBlendOfTable(t.get(), P.data(), &got);
            volumeBlendOfTable(t.get(), P.data(), &again);
            calcVolumeWeightsOfCage(c.cage, P.data(), &want);
            expectSameBlend(got, want, 1e-9);
            for (int a = 0; a < 3; ++a)
                EXPECT_EQ(got.disp[a], again.disp[a]);
            EXPECT_EQ(got.weight, again.weight);
        }
    }
    capVolumeVectorLevel(-1);
}

INSTANTIATE_TEST_SUITE_P(BlockEdges, VolumeTableCounts,
                         ::testing::Values(Counts{1, 0}, Counts{7, 1}, Counts{8, 8}, Counts{9, 7},
                                           Counts{16, 9}, Counts{17, 0}, Counts{40, 16}));

TEST(VolumeTable, RestShapeAndTranslationAreExact) {
    TestCage c;
    const std::vector<PointData*> p = buildCage(c.cage, busyShape());
    const V3 v = {0.5, -0.25, 2.0};
    for (int moved = 0; moved < 2; ++moved) {
        pose(c.cage, p, axisRot({1, 0, 1}, 2.0), {-4, 0, 1}, [&](int i) {
            return add(fromArr(p[std::size_t(i)]->restPos), moved ? v : V3{0, 0, 0});
        });
        const V3 want = moved ? sub(toWorld(c.cage, v), toWorld(c.cage, {0, 0, 0})) : V3{0, 0, 0};
        for (int f : {0, 3, 6}) {
            c->falloffType = f;
            Table t = filled(c.cage);
            for (const V3& P : probes(c.cage)) {
                ScaledBlend b;
                volumeBlendOfTable(t.get(), P.data(), &b);
                V3 d;
                ASSERT_TRUE(displacementOf(b, &d));
                for (int a = 0; a < 3; ++a)
                    EXPECT_NEAR(d[a], want[a], 1e-11);
            }
        }
    }
}

TEST(VolumeTable, RefillsForAnotherCageAndForgetsTheOld) {
    TestCage big, small;
    const std::vector<PointData*> pb = buildCage(big.cage, busyShape());
    bend(big.cage, pb);
    Shape one;
    one.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    one.faces = {{0, 1, 2}};
    const std::vector<PointData*> ps = buildCage(small.cage, one);
    pose(small.cage, ps, identityRot(), {0, 0, 0}, [&](int i) {
        return add(fromArr(ps[std::size_t(i)]->restPos), {0, 0, 1});
    });
    Table t = filled(big.cage);
    ASSERT_TRUE(fillVolumeTable(t.get(), small.cage));
    // One triangle moved up by 1: every point moves up by 1, whatever was
    // in the table's longer arrays before.
    for (const V3& P : std::vector<V3>{{0.2, 0.2, 0}, {5, 5, 5}, {-3, 0, 1}}) {
        ScaledBlend b;
        volumeBlendOfTable(t.get(), P.data(), &b);
        V3 d;
        ASSERT_TRUE(displacementOf(b, &d));
        EXPECT_NEAR(d[0], 0.0, 1e-12);
        EXPECT_NEAR(d[1], 0.0, 1e-12);
        EXPECT_NEAR(d[2], 1.0, 1e-12);
    }
}

TEST(VolumeTable, GivesNothingWithoutASoundResult) {
    TestCage c;
    const std::vector<PointData*> p = buildCage(c.cage, busyShape());
    bend(c.cage, p);
    Table t = filled(c.cage);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const V3& P : std::vector<V3>{{nan, 0, 0}, {0, inf, 0}, {0, 0, -inf}}) {
        ScaledBlend b;
        volumeBlendOfTable(t.get(), P.data(), &b);
        EXPECT_EQ(b.weight, 0.0);
        EXPECT_EQ(b.disp[0], 0.0);
    }
    // A point at 1e30: finite weights, or none, never a NaN.
    const V3 far = {1e30, -1e30, 1e30};
    ScaledBlend b;
    volumeBlendOfTable(t.get(), far.data(), &b);
    EXPECT_FALSE(std::isnan(b.disp[0] + b.disp[1] + b.disp[2] + b.weight));

    // No cage, an empty cage, and a table never filled.
    EXPECT_FALSE(fillVolumeTable(t.get(), nullptr));
    EXPECT_FALSE(volumeTableReady(t.get()));
    volumeBlendOfTable(t.get(), far.data(), &b);
    EXPECT_EQ(b.weight, 0.0);
    TestCage empty;
    Table e = filled(empty.cage);
    volumeBlendOfTable(e.get(), far.data(), &b);
    EXPECT_EQ(b.weight, 0.0);
    volumeBlendOfTable(nullptr, far.data(), &b);
    EXPECT_EQ(b.weight, 0.0);
}

TEST(ElementMaps, AffineFormAgreesWithTheMaps) {
    TestCage c;
    const std::vector<PointData*> p = buildCage(c.cage, busyShape());
    bend(c.cage, p);
    auto check = [&](const double M[9], const double b[3], const V3& map, const V3& P) {
        for (int r = 0; r < 3; ++r) {
            const double got = M[3 * r] * P[0] + M[3 * r + 1] * P[1] + M[3 * r + 2] * P[2] + b[r];
            EXPECT_NEAR(got, map[r], 1e-10 * (1.0 + std::fabs(map[r])));
        }
    };
    // The map point by point: the cache marked as holding no affine form.
    auto pointwise = [](TrigonData* t, const V3& P) {
        t->worldMapState = 2;
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithTrigon_W(t, P.data(), D, &W, 1.0);
        t->worldMapState = 0;
        return V3{P[0] + D[0], P[1] + D[1], P[2] + D[2]};
    };
    for (const V3& P : probes(c.cage)) {
        for (const LinegonData* l = c->linegonList; l; l = l->next) {
            double M[9], b[3], D[3] = {0, 0, 0}, W = 0;
            ASSERT_TRUE(linegonAffineMap(l, M, b));
            calcWeightWithLinegon_W(l, P.data(), D, &W, 1.0);
            check(M, b, {P[0] + D[0], P[1] + D[1], P[2] + D[2]}, P);
        }
        auto tri = [&](TrigonData* t) {
            double M[9], b[3];
            ASSERT_TRUE(trigonAffineMap(t, M, b));
            check(M, b, pointwise(t, P), P);
            const V3 pos[3] = {fromArr(t->pnt[0]->worldRestPos), fromArr(t->pnt[1]->worldRestPos),
                               fromArr(t->pnt[2]->worldRestPos)};
            if (norm(cross(sub(pos[1], pos[0]), sub(pos[2], pos[0]))) < 1e-6) return;
            const V3 cur[3] = {fromArr(t->pnt[0]->worldOtherPos), fromArr(t->pnt[1]->worldOtherPos),
                               fromArr(t->pnt[2]->worldOtherPos)};
            check(M, b, refTriangleMap(pos, cur, P), P);
        };
        for (TrigonData* t = c->trigonList; t; t = t->next)
            tri(t); // the two without area among them
        for (PolygonData* q = c->polygonList; q; q = q->next)
            for (TrigonData& t : q->tri)
                tri(&t);
    }
    double M[9], b[3];
    EXPECT_FALSE(linegonAffineMap(nullptr, M, b));
    EXPECT_FALSE(trigonAffineMap(nullptr, M, b));
}

TEST(ElementMaps, KeptMapFollowsEveryRefresh) {
    TestCage c;
    const std::vector<PointData*> p = buildCage(c.cage, busyShape());
    const V3 P = toWorld(c.cage, {3.4, 0.2, 0.3});
    TrigonData* fan = c->trigonList;
    for (int step = 0; step < 3; ++step) {
        const V3 v = {0.1 * step, -0.3 * step, 0.5 * step};
        pose(c.cage, p, axisRot({0, 0, 1}, 0.2 * step), {double(step), 0, 0},
             [&](int i) { return add(fromArr(p[std::size_t(i)]->restPos), v); });
        double D[3] = {0, 0, 0}, W = 0;
        calcWeightWithTrigon_W(fan, P.data(), D, &W, 1.0);
        EXPECT_EQ(fan->worldMapState, 1);
        const V3 want = sub(toWorld(c.cage, v), toWorld(c.cage, {0, 0, 0}));
        for (int a = 0; a < 3; ++a)
            EXPECT_NEAR(D[a], want[a], 1e-12) << "step " << step;
    }
}
