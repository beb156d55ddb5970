#include "relax_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace relaxtest;
using testvec::norm;
using testvec::sub;

double maxMove(const std::vector<V3>& a, const std::vector<V3>& b) {
    double worst = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, norm(sub(a[i], b[i])));
    return worst;
}

// Sum over the edges of the squared change of their length.
double edgeDistortion(const RelaxGrid& g) {
    double sum = 0.0;
    for (PointData* q : g.p)
        for (int i = 0; i < q->neighbourCount; ++i) {
            const PointData* r = q->neighbours[i];
            const double d = norm(sub(v3(r->startPos), v3(q->startPos))) -
                             norm(sub(v3(r->worldOtherPos), v3(q->worldOtherPos)));
            sum += d * d;
        }
    return sum;
}

// Each method on quad and on triangle grids; the neighbourhood factor is
// quartered inside, so both take a moderate step.
class RelaxMethod : public ::testing::TestWithParam<std::tuple<Method, bool>> {
  protected:
    Method method = std::get<0>(GetParam());
    bool triangles = std::get<1>(GetParam());
    double factor = method == Method::Neighbourhood ? 1.0 : 0.5;
};

// With the region covering the cage from the start, n iterations are n - 1
// identical passes: 3 equal two calls with 2; fewer than 2 do nothing.
TEST_P(RelaxMethod, IterationsLessOneArePasses) {
    RelaxGrid once(5, 4, triangles), twice(5, 4, triangles);
    once.moveAll(wobble);
    twice.moveAll(wobble);
    const std::vector<V3> start = once.current();
    for (int iterations : {-1, 0, 1}) {
        once.run(method, iterations, factor);
        EXPECT_EQ(once.current(), start) << iterations;
    }
    once.run(method, 3, factor);
    twice.run(method, 2, factor);
    EXPECT_GT(maxMove(twice.current(), start), 1e-3);
    twice.run(method, 2, factor);
    EXPECT_LT(maxMove(once.current(), twice.current()), 1e-14);
}

// A turn about the normal of a flat patch, a shift, and a turn of a curved
// patch about another axis leave nothing to relax.
TEST_P(RelaxMethod, RigidMotionsMoveNothing) {
    const double c = std::cos(0.6), s = std::sin(0.6);
    const std::function<V3(const V3&)> motions[] = {
        [&](const V3& v) {
            return V3{2 + c * (v[0] - 2) - s * v[1], s * (v[0] - 2) + c * v[1], v[2]};
        },
        [](const V3& v) {
            return testvec::add(v, V3{0.3, -1.7, 2.2});
        },
        [&](const V3& v) {
            return V3{v[0] + 1, c * v[1] - s * v[2], s * v[1] + c * v[2]};
        }};
    for (int k = 0; k < 3; ++k) {
        RelaxGrid g(
            5, 4, triangles, k < 2 ? Height() : [](double x, double y) {
                return 0.1 * ((x - 2) * (x - 2) + 0.5 * y * y);
            });
        g.moveAll(motions[k]);
        const std::vector<V3> moved = g.current();
        g.run(method, 6, factor);
        EXPECT_LT(maxMove(g.current(), moved), 1e-12) << k;
    }
}

// Unselected points under a point selection, points out of range with
// fixPointsOutOfRange and border points with fixOuterEdges never move.
TEST_P(RelaxMethod, FixedPointsHoldStill) {
    for (int rule = 0; rule < 3; ++rule) {
        RelaxGrid g(6, 5, triangles);
        auto fixed = [&](const PointData* q) {
            const double x = q->restPos[0], y = q->restPos[1];
            return rule == 2 ? q->onBorder != 0 : !(x >= 1 && x <= 3 && y >= 1 && y <= 3);
        };
        for (PointData* q : g.p) {
            if (rule == 0) q->selected = !fixed(q);
            if (rule == 1) q->inRange = !fixed(q);
        }
        g.state.selectedPointCount = rule == 0 ? 9 : 0;
        g.state.fixPointsOutOfRange = rule == 1;
        g.state.fixOuterEdges = rule == 2;
        g.moveAll(wobble);
        const std::vector<V3> before = g.current();
        g.run(method, 8, factor);
        const std::vector<V3> after = g.current();
        for (std::size_t i = 0; i < g.p.size(); ++i)
            EXPECT_EQ(after[i] == before[i], fixed(g.p[i])) << rule << " point " << i;
    }
}

// Brushed at the first column of a strip, the region grows maxLevel + 1
// columns; the last of them are anchors, and the cells beyond keep their
// distorted shape and place however many passes run.
TEST_P(RelaxMethod, CellsTheGrowthNeverReachesKeepTheirShape) {
    for (unsigned maxLevel : {0u, 2u}) {
        RelaxGrid g(8, 3, triangles);
        for (PointData* q : g.p)
            q->inRange = q->restPos[0] == 0.0;
        g.state.maxLevel = maxLevel;
        g.moveAll(wobble);
        const std::vector<V3> before = g.current();
        g.run(method, 20, factor);
        const std::vector<V3> after = g.current();
        for (std::size_t i = 0; i < g.p.size(); ++i)
            EXPECT_EQ(after[i] == before[i], g.p[i]->restPos[0] > maxLevel) << maxLevel << " " << i;
    }
}

// One point of a flat grid dragged, in the plane and off it: each pass
// lowers the edges' length distortion.
TEST_P(RelaxMethod, PassesReduceDistortion) {
    for (const V3& drag : {V3{0.6, 0.4, 0.0}, V3{0.0, 0.0, 0.8}}) {
        RelaxGrid g(6, 6, triangles);
        g.moveAll(
            [&](const V3& v) { return v == v3(g.at(2, 3)->restPos) ? testvec::add(v, drag) : v; });
        double previous = edgeDistortion(g);
        for (int pass = 0; pass < 10; ++pass) {
            g.run(method, 2, factor);
            EXPECT_LT(edgeDistortion(g), previous) << pass;
            previous = edgeDistortion(g);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, RelaxMethod,
                         ::testing::Combine(::testing::Values(Method::Neighbourhood,
                                                              Method::ShapeMatching),
                                            ::testing::Bool()));

// A lone equilateral triangle grown to twice its size about its centroid G,
// one pass with factor f. Shape matching puts each corner Q back on the
// reference triangle about G: a step f (G - Q). The neighbourhood method
// asks each corner to sit at its reference offsets from the other two
// (equal weights): a mean step 1.5 (G - Q), taken at a quarter of f.
TEST(RelaxMethodPass, GrownLoneTriangleShrinksByTheHandComputedStep) {
    const double f = 0.8;
    for (Method m : {Method::Neighbourhood, Method::ShapeMatching}) {
        const V3 rest[3] = {{0, 0, 0}, {1, 0, 0}, {0.5, std::sqrt(0.75), 0}};
        const V3 centre{0.5, std::sqrt(0.75) / 3, 0};
        RelaxGrid g(testcage::Shape{{rest[0], rest[1], rest[2]}, {{0, 1, 2}}, {}});
        g.moveAll(
            [&](const V3& v) { return testvec::add(centre, testvec::mul(sub(v, centre), 2.0)); });
        g.run(m, 2, f);
        const double scale = m == Method::Neighbourhood ? 0.25 * f * 1.5 : f;
        for (int i = 0; i < 3; ++i) {
            const V3 expect = testvec::add(testvec::mul(sub(rest[i], centre), 2.0 - scale), centre);
            EXPECT_LT(norm(sub(v3(g.p[i]->worldOtherPos), expect)), 1e-12) << i;
        }
    }
}

TEST(RelaxMethodPass, NullStateOrCageDoesNothing) {
    RelaxGrid g(3, 3, false);
    g.moveAll(wobble);
    const std::vector<V3> before = g.current();
    relaxCageMeshDistortion3D(nullptr, g.cage.cage, 5, 1.0);
    relaxCageMeshDistortion3D(&g.state, nullptr, 5, 1.0);
    relaxCageMeshShapeMatching(nullptr, g.cage.cage);
    relaxCageMeshShapeMatching(&g.state, nullptr);
    EXPECT_EQ(g.current(), before);
}

} // namespace
