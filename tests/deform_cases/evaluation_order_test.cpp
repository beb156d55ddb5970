// A point's result depends on the point alone: copies of a point (as on a
// texture seam) move identically wherever they sit in the mesh, and a
// point evaluated after a fresh NewTime, alone, moves exactly as it does
// among the others, in every cage shape, mode and falloff.
#include "point_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

using harness::P3;
using harness::PointHarness;

bool sameBits(const P3& a, const P3& b) {
    return std::memcmp(a.data(), b.data(), sizeof(P3)) == 0;
}

struct Shape {
    const char* name;
    host::Mesh cage;
    bool restAtFrame0;
};

// Base points half anywhere in and around the cage, half on a lattice of
// eighths (where nearest elements tie); every one twice, the copies
// scrambled among the others. copyOf[i] is the other copy of point i.
struct Duplicated {
    host::Mesh mesh;
    std::vector<std::size_t> copyOf;
};

Duplicated duplicatedPoints(const host::Mesh& cage, int count, std::mt19937& rng) {
    P3 lo = {1e9, 1e9, 1e9}, hi = {-1e9, -1e9, -1e9};
    for (const host::Point& p : cage.points) {
        const double v[3] = {p.x, p.y, p.z};
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], v[c] - 0.3);
            hi[c] = std::max(hi[c], v[c] + 0.3);
        }
    }
    std::vector<P3> base;
    for (int i = 0; i < count; ++i) {
        P3 p;
        for (int c = 0; c < 3; ++c)
            p[c] = std::uniform_real_distribution<double>(lo[c], hi[c])(rng);
        if (i % 2)
            for (double& v : p)
                v = std::round(v * 8.0) / 8.0;
        base.push_back(p);
    }
    std::vector<std::size_t> order(2 * base.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    Duplicated d;
    std::vector<P3> points(order.size());
    std::vector<std::size_t> at(order.size());
    for (std::size_t slot = 0; slot < order.size(); ++slot) {
        points[slot] = base[order[slot] / 2];
        at[order[slot]] = slot;
    }
    d.mesh = harness::meshOf(points);
    d.copyOf.resize(order.size());
    for (std::size_t b = 0; b < base.size(); ++b) {
        d.copyOf[at[2 * b]] = at[2 * b + 1];
        d.copyOf[at[2 * b + 1]] = at[2 * b];
    }
    return d;
}

class EvaluationOrder : public testing::TestWithParam<int> {};

TEST_P(EvaluationOrder, CopiesAndLonePointsMoveExactlyAsInTheMesh) {
    std::vector<Shape> shapes;
    shapes.push_back({"cube", harness::boxCage(1), false});
    shapes.push_back({"twisted box", harness::boxCage(3, 0.6, 0.15), false});
    shapes.push_back({"twisted box at frame 0", harness::boxCage(3, 0.6, 0.15), true});
    shapes.push_back({"sheet", harness::sheetCage(4, 0.3), false});
    shapes.push_back({"mixed", harness::mixedCage(), false});
    const int mode = GetParam();
    std::mt19937 rng(515 + mode);
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        const Duplicated points = duplicatedPoints(shape.cage, 150, rng);
        PointHarness h(shape.cage, points.mesh);
        h.cage->restShapeAtFrame0 = shape.restAtFrame0;
        h.key([](const P3& p) {
            return P3{0.2 * std::sin(2.0 * p[1]), 0.15 * p[0] * p[2], 0.1 * p[2] * p[2]};
        });
        for (int falloff = 0; falloff <= 6; ++falloff) {
            SCOPED_TRACE(falloff);
            h.set(mode, falloff);
            std::vector<P3> moved;
            for (std::size_t i = 0; i < points.mesh.points.size(); ++i)
                moved.push_back(h.evaluate(i));
            for (std::size_t i = 0; i < moved.size(); ++i)
                ASSERT_TRUE(sameBits(moved[i], moved[points.copyOf[i]]))
                    << "point " << i << " at " << points.mesh.points[i].x << " "
                    << points.mesh.points[i].y << " " << points.mesh.points[i].z;
            for (std::size_t i = 0; i < moved.size(); i += 7) {
                h.newTime();
                ASSERT_TRUE(sameBits(h.evaluate(i), moved[i])) << "point " << i << " alone";
            }
            // Moved at all: the check compares real work.
            EXPECT_NE(moved[0][0] + moved[0][1] + moved[0][2], double(points.mesh.points[0].x) +
                                                                   points.mesh.points[0].y +
                                                                   points.mesh.points[0].z);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SkinAndVolume, EvaluationOrder, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& param) {
                             return param.param ? "Volume" : "Skin";
                         });

} // namespace
