// One point's and one triangle's share of a pass, on hand-computed cases.
#include "tool/relax_region.h"

#include "relax_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace relaxtest;
using testvec::add;
using testvec::mul;
using testvec::norm;
using testvec::sub;

// Sums of the middle point (1, 1) of a flat 3 x 3 quad grid (element
// normals -z) and its 8 neighbours after its share of a pass; the current
// shape is the grid's moved by f.
struct MiddleShare : RelaxGrid {
    PointData* mid = at(1, 1);
    explicit MiddleShare(const std::function<V3(const V3&)>& f) : RelaxGrid(3, 3, false) {
        moveAll(f);
        setRelaxPointFlags(&state, cage.cage, 1);
        RelaxRegion region;
        initRelaxRegion(&region, cage.cage, state.maxLevel);
        setRelaxCurrentNormals(&region);
        addRelaxDispVectorsAroundPoint(mid);
    }
    V3 target(const PointData* q) const {
        return add(v3(q->worldOtherPos), mul(v3(q->relaxDispSum), 1 / q->relaxWeightSum));
    }
};

// Lifted by h along z, the point comes down by half the lift, but by at most
// half its shortest projected edge (1 + 2e-6); sunk below its neighbours it
// comes back by half the drop whatever its depth. Its neighbours are asked to
// follow it, weighted by their inverse projected distance.
TEST(RelaxNeighbourhood, HeightCorrectionIsHalfTheLiftCappedDownward) {
    for (double h : {0.2, 3.0, -3.0}) {
        MiddleShare m([&](const V3& v) { return v[0] == 1 && v[1] == 1 ? V3{1, 1, h} : v; });
        const V3 expect{0, 0, -std::min(0.5 * h, 0.5 * (1 + 2e-6))};
        EXPECT_LT(norm(sub(v3(m.mid->relaxNormalCorrection), expect)), 1e-12) << h;
        for (PointData* q : m.p)
            if (q != m.mid) {
                EXPECT_NEAR(q->relaxWeightSum,
                            1 / (norm(sub(v3(q->startPos), v3(m.mid->startPos))) + 2e-6), 1e-12);
                EXPECT_LT(norm(sub(m.target(q), add(v3(q->startPos), V3{0, 0, h}))), 1e-12) << h;
            }
    }
}

// The ring turned by phi about the point, all but the first neighbour (which
// fixes the frames): the reference ring is laid out turned by the mean turn
// (n - 1) phi / n, in the sense of the turn.
TEST(RelaxNeighbourhood, RingTurnedButOneIsMatchedByTheMeanTurn) {
    auto turn = [](const V3& v, double a) {
        return V3{1 + std::cos(a) * (v[0] - 1) - std::sin(a) * (v[1] - 1),
                  1 + std::sin(a) * (v[0] - 1) + std::cos(a) * (v[1] - 1), v[2]};
    };
    const V3 first{2, 1, 0}; // the middle point's first neighbour
    MiddleShare m([&](const V3& v) { return v == first ? v : turn(v, 0.3); });
    ASSERT_EQ(v3(m.mid->neighbours[0]->restPos), first);
    const double mean = 0.3 * 7 / 8;
    for (PointData* q : m.p)
        if (q != m.mid) {
            EXPECT_LT(norm(sub(m.target(q), turn(v3(q->startPos), mean))), 1e-12);
        }
}

// With a point selection, the unselected neighbours of selected points may
// join the neighbourhood region as anchors; in shape matching they stay out.
TEST(RelaxNeighbourhood, FixedNeighboursOfFreePointsMayJoinAsAnchors) {
    RelaxGrid g(3, 3, false);
    g.at(1, 1)->selected = 1;
    g.state.selectedPointCount = 1;
    for (int anchors : {0, 1}) {
        setRelaxPointFlags(&g.state, g.cage.cage, anchors);
        for (PointData* q : g.p)
            EXPECT_EQ(q->relaxInList, q->selected ? 0 : 1 - anchors);
    }
}

// The steps addRelaxDispVectorWithTrigon gives the corners of a lone
// triangle with reference shape rest in the current shape cur.
std::array<V3, 3> targets(const std::array<V3, 3>& rest, const std::array<V3, 3>& cur) {
    RelaxGrid g(testcage::Shape{{rest[0], rest[1], rest[2]}, {{0, 1, 2}}, {}});
    std::array<V3, 3> out;
    for (int i = 0; i < 3; ++i)
        std::memcpy(g.p[i]->worldOtherPos, cur[i].data(), sizeof cur[i]);
    addRelaxDispVectorWithTrigon(g.cage->trigonList);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g.p[i]->relaxWeightSum, 1.0);
        out[i] = add(cur[i], v3(g.p[i]->relaxDispSum));
    }
    return out;
}

V3 polar(double deg, double r) {
    return {r * std::cos(deg * M_PI / 180), r * std::sin(deg * M_PI / 180), 0};
}

// Reference: equilateral about the origin, corners at 90, 210, 330 degrees.
// Current: the second corner turned by 30 degrees, at distance sqrt(3) / 2
// and the third at 1 / 2, which keeps the centroid at the origin. The first corner fixes
// the frames, so the match is the reference turned by a third of the turn.
TEST(RelaxShapeMatch, OneCornerTurnedTurnsTheMatchByAThird) {
    const double h = std::sqrt(3.0) / 2;
    const std::array<V3, 3> got = targets({polar(90, 1), polar(210, 1), polar(330, 1)},
                                          {polar(90, 1), polar(240, h), polar(330, 0.5)});
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(norm(sub(got[i], polar(90 + 120 * i + 10, 1))), 1e-12) << i;
}

// Collapsed and collinear triangles give finite steps.
TEST(RelaxShapeMatch, FlatTrianglesGiveFiniteSteps) {
    const std::array<V3, 3> rest = {polar(90, 1), polar(210, 1), polar(330, 1)};
    for (const auto& flat :
         {std::array<V3, 3>{}, std::array<V3, 3>{rest[0], mul(rest[0], 0.5), mul(rest[0], 2.0)}})
        for (const V3& t : targets(rest, flat))
            EXPECT_TRUE(std::isfinite(t[0] + t[1] + t[2]));
}

} // namespace
