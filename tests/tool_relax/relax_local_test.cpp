// The per-point and per-triangle steps on hand-computed cases.
#include "tool/relax_region.h"

#include "relax_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using relaxtest::RelaxGrid;
using relaxtest::V3;
using testvec::norm;
using testvec::sub;

V3 v3(const double* d) {
    return {d[0], d[1], d[2]};
}

// A region over the whole grid with current normals and cleared sums, ready
// for one point's share of a pass.
void prepareNeighbourhood(RelaxGrid& g) {
    g.syncCentres();
    setRelaxPointFlags(&g.state, g.cage.cage, 1);
    RelaxRegion region;
    initRelaxRegion(&region, g.cage.cage, g.state.maxLevel);
    setRelaxCurrentNormals(&region);
    for (PointData* q : g.p) {
        q->relaxDispSum[0] = q->relaxDispSum[1] = q->relaxDispSum[2] = 0.0;
        q->relaxWeightSum = 0.0;
        q->relaxNormalCorrection[0] = q->relaxNormalCorrection[1] = 0.0;
        q->relaxNormalCorrection[2] = 0.0;
    }
}

// The middle point of a flat 3 x 3 quad grid (element normal -z), lifted by
// h along z: the relaxation lowers it by half the lift, but by at most half
// its shortest projected edge (1 + 2e-6); one sunk below its neighbours
// comes back by half the drop whatever its depth. Its neighbours are asked
// to follow it by h, weighted by their inverse projected distance.
TEST(RelaxNeighbourhood, HeightCorrectionFollowsHalfTheLiftCappedUpward) {
    const double m = 1.0 + 2e-6;
    for (double h : {0.2, 3.0, -0.2, -3.0}) {
        RelaxGrid g(3, 3, false);
        PointData* mid = g.at(1, 1);
        mid->worldOtherPos[2] = h;
        prepareNeighbourhood(g);
        addRelaxDispVectorsAroundPoint(mid);

        const double expectZ = -std::min(0.5 * h, 0.5 * m);
        EXPECT_NEAR(mid->relaxNormalCorrection[0], 0.0, 1e-14) << h;
        EXPECT_NEAR(mid->relaxNormalCorrection[1], 0.0, 1e-14) << h;
        EXPECT_NEAR(mid->relaxNormalCorrection[2], expectZ, 1e-12) << h;
        EXPECT_EQ(mid->neighbourCount, 8);
        for (int i = 0; i < mid->neighbourCount; ++i) {
            PointData* q = mid->neighbours[i];
            const double w = 1.0 / (norm(sub(v3(q->startPos), v3(mid->startPos))) + 2e-6);
            EXPECT_NEAR(q->relaxWeightSum, w, 1e-12);
            EXPECT_NEAR(norm(sub(v3(q->relaxDispSum), V3{0, 0, h * w})), 0.0, 1e-12) << h;
        }
    }
}

// The ring of the middle point turned by phi about it, all but the first
// neighbour: the first neighbour fixes the frame, the other n - 1 turned by
// phi, so the ring's reference layout is laid out turned by
// (n - 1) phi / n, in the sense of the turn.
TEST(RelaxNeighbourhood, RingTurnedButOneIsMatchedByTheMeanTurn) {
    const double phi = 0.3;
    RelaxGrid g(3, 3, false);
    PointData* mid = g.at(1, 1);
    const int n = mid->neighbourCount;
    for (int i = 1; i < n; ++i) {
        double* q = mid->neighbours[i]->worldOtherPos;
        const double x = q[0] - 1, y = q[1] - 1;
        q[0] = 1 + std::cos(phi) * x - std::sin(phi) * y;
        q[1] = 1 + std::sin(phi) * x + std::cos(phi) * y;
    }
    prepareNeighbourhood(g);
    addRelaxDispVectorsAroundPoint(mid);
    const double theta = (n - 1) * phi / n;
    for (int i = 0; i < n; ++i) {
        PointData* q = mid->neighbours[i];
        const double x = q->startPos[0] - 1, y = q->startPos[1] - 1;
        const V3 expect{1 + std::cos(theta) * x - std::sin(theta) * y,
                        1 + std::sin(theta) * x + std::cos(theta) * y, 0};
        const V3 target = testvec::add(v3(q->worldOtherPos),
                                       testvec::mul(v3(q->relaxDispSum), 1 / q->relaxWeightSum));
        EXPECT_LT(norm(sub(target, expect)), 1e-12) << i;
    }
}

// One standalone triangle with its reference and current corners.
struct OneTriangle {
    testcage::TestCage cage;
    std::vector<PointData*> p;
    TrigonData* tri;
    explicit OneTriangle(const std::array<V3, 3>& rest) {
        testcage::Shape s;
        s.points.assign(rest.begin(), rest.end());
        s.faces = {{0, 1, 2}};
        p = testcage::buildCage(cage.cage, s);
        tri = cage->trigonList;
        for (int i = 0; i < 3; ++i)
            std::memcpy(p[i]->startPos, rest[i].data(), sizeof p[i]->startPos);
    }
    // The corners' steps for a current shape.
    std::array<V3, 3> steps(const std::array<V3, 3>& cur) {
        for (int i = 0; i < 3; ++i) {
            std::memcpy(p[i]->worldOtherPos, cur[i].data(), sizeof p[i]->worldOtherPos);
            p[i]->relaxDispSum[0] = p[i]->relaxDispSum[1] = p[i]->relaxDispSum[2] = 0.0;
            p[i]->relaxWeightSum = 0.0;
        }
        addRelaxDispVectorWithTrigon(tri);
        std::array<V3, 3> out;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(p[i]->relaxWeightSum, 1.0);
            out[i] = v3(p[i]->relaxDispSum);
        }
        return out;
    }
};

const std::array<V3, 3> kRest = {V3{0, 0, 0}, V3{3, 0.5, 0.2}, V3{1, 2, -0.4}};

V3 centroid(const std::array<V3, 3>& t) {
    return testvec::mul(testvec::add(testvec::add(t[0], t[1]), t[2]), 1.0 / 3.0);
}

// A rigid motion (turn and shift) leaves nothing to do; a triangle blown up
// about its centroid is pulled back to its reference size there.
TEST(RelaxShapeMatch, RigidTrianglesStayGrownOnesShrinkBack) {
    OneTriangle t(kRest);
    const double c = std::cos(1.1), s = std::sin(1.1);
    std::array<V3, 3> turned, grown;
    const V3 g = centroid(kRest);
    for (int i = 0; i < 3; ++i) {
        const V3& r = kRest[i];
        turned[i] = {c * r[0] + s * r[2] + 4, r[1] - 2, -s * r[0] + c * r[2] + 1};
        grown[i] = testvec::add(V3{1, 1, 1}, testvec::add(g, testvec::mul(sub(r, g), 2.0)));
    }
    for (const V3& step : t.steps(turned))
        EXPECT_LT(norm(step), 1e-12);
    const std::array<V3, 3> back = t.steps(grown);
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(norm(sub(back[i], sub(g, kRest[i]))), 1e-12) << i;
}

// Reference: an equilateral triangle about the origin, corners at 90, 210
// and 330 degrees. Current: the second corner turned by phi about the
// origin, its distance and the third's chosen to keep the centroid there.
// The first corner fixes the frames, the second turned by phi, the third
// not: the match is the reference turned by phi / 3.
TEST(RelaxShapeMatch, OneCornerTurnedTurnsTheMatchByAThird) {
    auto at = [](double deg, double r) {
        const double a = deg * M_PI / 180;
        return V3{r * std::cos(a), r * std::sin(a), 0};
    };
    const std::array<V3, 3> rest = {at(90, 1), at(210, 1), at(330, 1)};
    OneTriangle t(rest);
    const double phi = 0.3, a = (210 + phi * 180 / M_PI) * M_PI / 180;
    const double r1 = -1 / (std::sin(a) + std::cos(a) / std::sqrt(3.0));
    const double r2 = -2 * r1 * std::cos(a) / std::sqrt(3.0);
    const std::array<V3, 3> cur = {at(90, 1), at(210 + phi * 180 / M_PI, r1), at(330, r2)};
    ASSERT_LT(norm(centroid(cur)), 1e-14);
    const std::array<V3, 3> step = t.steps(cur);
    const double third = phi / 3 * 180 / M_PI;
    const std::array<V3, 3> expect = {at(90 + third, 1), at(210 + third, 1), at(330 + third, 1)};
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(norm(sub(testvec::add(cur[i], step[i]), expect[i])), 1e-12) << i;
}

// Any current shape: the targets form the reference triangle (same side
// lengths) about the current centroid, so the steps add up to zero.
// Collapsed and collinear triangles give finite steps.
TEST(RelaxShapeMatch, TargetsAreTheReferenceTriangleAboutTheCurrentCentroid) {
    OneTriangle t(kRest);
    const std::array<std::array<V3, 3>, 2> shapes = {
        {{V3{0, 0, 0}, V3{2, 1, 0}, V3{0.5, 3, 1}}, {V3{1, 1, 1}, V3{-1, 2, 0.5}, V3{2, -2, 0}}}};
    for (const auto& cur : shapes) {
        const std::array<V3, 3> step = t.steps(cur);
        std::array<V3, 3> target;
        for (int i = 0; i < 3; ++i)
            target[i] = testvec::add(cur[i], step[i]);
        EXPECT_LT(norm(sub(centroid(target), centroid(cur))), 1e-12);
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            EXPECT_NEAR(norm(sub(target[j], target[i])), norm(sub(kRest[j], kRest[i])), 1e-12);
        }
    }
    const V3 o{2, 2, 2};
    for (const auto& flat :
         {std::array<V3, 3>{o, o, o}, std::array<V3, 3>{V3{0, 0, 0}, V3{1, 0, 0}, V3{2, 0, 0}}})
        for (const V3& step : t.steps(flat))
            for (double x : step)
                EXPECT_TRUE(std::isfinite(x));
}

} // namespace
