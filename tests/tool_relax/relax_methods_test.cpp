#include "relax_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using relaxtest::Method;
using relaxtest::RelaxGrid;
using relaxtest::V3;
using relaxtest::wobble;

// Neighbourhood factors are quartered inside, so both methods get a
// moderate step with these.
double moderateFactor(Method m) {
    return m == Method::Neighbourhood ? 1.0 : 0.5;
}

double maxMove(const std::vector<V3>& a, const std::vector<V3>& b) {
    double worst = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, testvec::norm(testvec::sub(a[i], b[i])));
    return worst;
}

// Sum over the cage's edges of the squared change of their length from the
// reference shape.
double edgeDistortion(const RelaxGrid& g) {
    double sum = 0.0;
    for (PointData* q : g.p)
        for (int i = 0; i < q->neighbourCount; ++i) {
            PointData* r = q->neighbours[i];
            double rest[3], cur[3];
            for (int k = 0; k < 3; ++k) {
                rest[k] = r->startPos[k] - q->startPos[k];
                cur[k] = r->worldOtherPos[k] - q->worldOtherPos[k];
            }
            const double d = std::sqrt(rest[0] * rest[0] + rest[1] * rest[1] + rest[2] * rest[2]) -
                             std::sqrt(cur[0] * cur[0] + cur[1] * cur[1] + cur[2] * cur[2]);
            sum += d * d;
        }
    return sum;
}

struct MethodCells {
    Method method;
    bool triangles;
};

std::string cellsName(const ::testing::TestParamInfo<MethodCells>& info) {
    return std::string(relaxtest::methodName(info.param.method)) +
           (info.param.triangles ? "Triangles" : "Quads");
}

const MethodCells kMethodCells[] = {{Method::Neighbourhood, false},
                                    {Method::Neighbourhood, true},
                                    {Method::ShapeMatching, false},
                                    {Method::ShapeMatching, true}};

class RelaxMethod : public ::testing::TestWithParam<MethodCells> {};

// With every point in range and the region covering the cage from the
// start, a call with n iterations is n - 1 identical passes: 3 iterations
// equal two calls with 2, and fewer than 2 do nothing.
TEST_P(RelaxMethod, IterationsLessOneArePasses) {
    const MethodCells mc = GetParam();
    RelaxGrid once(5, 4, mc.triangles), twice(5, 4, mc.triangles);
    once.moveAll(wobble);
    twice.moveAll(wobble);
    const std::vector<V3> start = once.current();
    for (int iterations : {-1, 0, 1}) {
        once.run(mc.method, iterations, moderateFactor(mc.method));
        EXPECT_EQ(once.current(), start) << iterations;
    }
    once.run(mc.method, 3, moderateFactor(mc.method));
    twice.run(mc.method, 2, moderateFactor(mc.method));
    EXPECT_GT(maxMove(twice.current(), start), 1e-3);
    twice.run(mc.method, 2, moderateFactor(mc.method));
    EXPECT_LT(maxMove(once.current(), twice.current()), 1e-14);
}

// Rigid motions of the whole region keep every point where it is: a turn
// about the normal of a flat patch, a shift, and a general turn of a curved
// patch.
TEST_P(RelaxMethod, RigidMotionsMoveNothing) {
    const MethodCells mc = GetParam();
    const double c = std::cos(0.6), s = std::sin(0.6);
    auto turnAboutZ = [&](const V3& v) {
        return V3{2 + c * (v[0] - 2) - s * (v[1] - 1.5), 1.5 + s * (v[0] - 2) + c * (v[1] - 1.5),
                  v[2]};
    };
    auto shift = [](const V3& v) { return testvec::add(v, V3{0.3, -1.7, 2.2}); };
    auto turnAboutX = [&](const V3& v) {
        return V3{v[0] + 1, c * v[1] - s * v[2], s * v[1] + c * v[2]};
    };
    auto bowl = [](double x, double y) {
        return 0.1 * ((x - 2) * (x - 2) + 0.5 * (y - 1.5) * (y - 1.5));
    };
    const struct {
        const char* name;
        std::function<V3(const V3&)> motion;
        bool curved;
    } cases[] = {
        {"turn", turnAboutZ, false}, {"shift", shift, false}, {"curved", turnAboutX, true}};
    for (const auto& k : cases) {
        RelaxGrid g(5, 4, mc.triangles,
                    k.curved ? std::function<double(double, double)>(bowl)
                             : std::function<double(double, double)>());
        g.moveAll(k.motion);
        const std::vector<V3> moved = g.current();
        g.run(mc.method, 6, moderateFactor(mc.method));
        EXPECT_LT(maxMove(g.current(), moved), 1e-12) << k.name;
    }
}

// Fixed points never move: unselected ones under a point selection, those
// out of range with fixPointsOutOfRange, border points with fixOuterEdges.
TEST_P(RelaxMethod, FixedPointsHoldStill) {
    const MethodCells mc = GetParam();
    enum { kSelection, kOutOfRange, kBorder };
    for (int rule : {kSelection, kOutOfRange, kBorder}) {
        RelaxGrid g(6, 5, mc.triangles);
        auto fixed = [&](const PointData* q) {
            const int i = int(q->restPos[0]), j = int(q->restPos[1]);
            if (rule == kBorder) return q->onBorder != 0;
            return !(i >= 1 && i <= 3 && j >= 1 && j <= 3);
        };
        for (PointData* q : g.p) {
            if (rule == kSelection) q->selected = !fixed(q);
            if (rule == kOutOfRange) q->inRange = !fixed(q);
        }
        g.state.selectedPointCount = rule == kSelection ? 9 : 0;
        g.state.fixPointsOutOfRange = rule == kOutOfRange;
        g.state.fixOuterEdges = rule == kBorder;
        g.moveAll(wobble);
        const std::vector<V3> before = g.current();
        g.run(mc.method, 8, moderateFactor(mc.method));
        const std::vector<V3> after = g.current();
        bool anyFreeMoved = false;
        for (std::size_t i = 0; i < g.p.size(); ++i) {
            if (fixed(g.p[i]))
                EXPECT_EQ(after[i], before[i]) << rule << " point " << i;
            else
                anyFreeMoved = anyFreeMoved || after[i] != before[i];
        }
        EXPECT_TRUE(anyFreeMoved) << rule;
    }
}

// Brushed at the first column of a strip, the region reaches maxLevel + 1
// columns further; the last of them holds still, and the cells beyond keep
// their distorted shape and place however many passes run.
TEST_P(RelaxMethod, CellsTheGrowthNeverReachesKeepTheirShape) {
    const MethodCells mc = GetParam();
    for (unsigned maxLevel : {0u, 2u}) {
        RelaxGrid g(8, 3, mc.triangles);
        for (PointData* q : g.p)
            q->inRange = q->restPos[0] == 0.0;
        g.state.maxLevel = maxLevel;
        g.moveAll(wobble);
        const std::vector<V3> before = g.current();
        g.run(mc.method, 20, moderateFactor(mc.method));
        const std::vector<V3> after = g.current();
        for (std::size_t i = 0; i < g.p.size(); ++i) {
            const int column = int(g.p[i]->restPos[0]);
            if (column > int(maxLevel))
                EXPECT_EQ(after[i], before[i]) << maxLevel << " point " << i;
            else
                EXPECT_NE(after[i], before[i]) << maxLevel << " point " << i;
        }
    }
}

// One point of a flat grid dragged (in the plane and off it): every pass
// with a moderate factor lowers the edges' length distortion.
TEST_P(RelaxMethod, PassesReduceDistortion) {
    const MethodCells mc = GetParam();
    for (const V3& drag : {V3{0.6, 0.4, 0.0}, V3{0.0, 0.0, 0.8}}) {
        RelaxGrid g(6, 6, mc.triangles);
        PointData* dragged = g.at(2, 3);
        for (int k = 0; k < 3; ++k)
            dragged->worldOtherPos[k] += drag[k];
        g.syncCentres();
        double previous = edgeDistortion(g);
        for (int pass = 0; pass < 10; ++pass) {
            g.run(mc.method, 2, moderateFactor(mc.method));
            const double now = edgeDistortion(g);
            EXPECT_LT(now, previous) << "pass " << pass;
            previous = now;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, RelaxMethod, ::testing::ValuesIn(kMethodCells), cellsName);

// A lone equilateral triangle blown up to twice its size about its
// centroid G, one pass with factor f. Shape matching puts each corner Q on
// the reference triangle about G: a step of f (G - Q). The neighbourhood
// method asks each corner to sit at its reference offset from the other two
// (equal weights), a mean step of 1.5 (G - Q) in reference offsets, taken at
// a quarter of f.
TEST(RelaxMethodPass, GrownLoneTriangleShrinksByTheHandComputedStep) {
    const double f = 0.8;
    const V3 rest[3] = {{0, 0, 0}, {1, 0, 0}, {0.5, std::sqrt(0.75), 0}};
    const V3 g = testvec::mul(testvec::add(testvec::add(rest[0], rest[1]), rest[2]), 1.0 / 3.0);
    for (Method m : {Method::Neighbourhood, Method::ShapeMatching}) {
        testcage::TestCage cage;
        testcage::Shape s;
        s.points.assign(rest, rest + 3);
        s.faces = {{0, 1, 2}};
        std::vector<PointData*> p = testcage::buildCage(cage.cage, s);
        EditCageState state;
        std::memset(&state, 0, sizeof state);
        for (int i = 0; i < 3; ++i) {
            const V3 grown = testvec::add(g, testvec::mul(testvec::sub(rest[i], g), 2.0));
            std::memcpy(p[i]->startPos, rest[i].data(), sizeof p[i]->startPos);
            std::memcpy(p[i]->worldOtherPos, grown.data(), sizeof p[i]->worldOtherPos);
            p[i]->inRange = 1;
        }
        if (m == Method::Neighbourhood) {
            relaxCageMeshDistortion3D(&state, cage.cage, 2, f);
        } else {
            state.stiffnessIterations = 2;
            state.stiffnessFactor = f;
            relaxCageMeshShapeMatching(&state, cage.cage);
        }
        const double scale = m == Method::Neighbourhood ? 0.25 * f * 1.5 : f;
        for (int i = 0; i < 3; ++i) {
            const V3 grown = testvec::add(g, testvec::mul(testvec::sub(rest[i], g), 2.0));
            const V3 expect = testvec::add(grown, testvec::mul(testvec::sub(g, rest[i]), scale));
            const V3 got{p[i]->worldOtherPos[0], p[i]->worldOtherPos[1], p[i]->worldOtherPos[2]};
            EXPECT_LT(testvec::norm(testvec::sub(got, expect)), 1e-12)
                << relaxtest::methodName(m) << " corner " << i;
        }
    }
}

TEST(RelaxMethodInput, NullStateOrCageDoesNothing) {
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
