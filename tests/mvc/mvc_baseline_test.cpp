// The benchmarks' baseline deformer: mean value coordinates reproduce the
// point (linear precision), sum to one, follow affine moves of the cage,
// and fall back to barycentric coordinates on a face.
#include "bench/mesh_arrays.h"
#include "bench/mvc_baseline.h"
#include "bench/organic_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <random>
#include <stdexcept>

namespace {

using mvc::Vec3;

// The cube [-1, 1]^3: corner i at x = bit 0, y = bit 1, z = bit 2; each face
// a quad.
std::vector<Vec3> cubeCorners() {
    std::vector<Vec3> points;
    for (int i = 0; i < 8; ++i)
        points.push_back({i & 1 ? 1.0 : -1.0, i & 2 ? 1.0 : -1.0, i & 4 ? 1.0 : -1.0});
    return points;
}

const std::vector<std::vector<std::uint32_t>> kCubeFaces = {
    {0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};

mvc::Cage cube() {
    return mvc::closedCage(cubeCorners(), kCubeFaces);
}

struct CageCase {
    const char* name;
    mvc::Cage (*make)();
    double inner; // points in [-inner, inner]^3 lie inside the cage
};

void PrintTo(const CageCase& c, std::ostream* os) {
    *os << c.name;
}

mvc::Cage organic() {
    return bench::cageOf(bench::organicCage(10, 12, 7));
}

const CageCase kCages[] = {{"cube", cube, 0.95}, {"organic", organic, 0.4}};

Vec3 combine(const mvc::Cage& cage, const std::vector<double>& w) {
    Vec3 sum{0, 0, 0};
    for (size_t j = 0; j < w.size(); ++j)
        for (int k = 0; k < 3; ++k)
            sum[k] += w[j] * cage.points[j][k];
    return sum;
}

void expectNear(const Vec3& got, const Vec3& want, double tol, size_t index) {
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(got[k], want[k], tol) << "point " << index << " axis " << k;
}

std::vector<Vec3> randomPoints(double half, int count) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(-half, half);
    std::vector<Vec3> points(static_cast<size_t>(count));
    for (Vec3& p : points)
        p = {u(rng), u(rng), u(rng)};
    return points;
}

class MvcCages : public testing::TestWithParam<CageCase> {};

TEST_P(MvcCages, ReproducesPointsAtRestAndSumsToOne) {
    const mvc::Cage cage = GetParam().make();
    const auto points = randomPoints(GetParam().inner, 200);
    std::vector<double> w(cage.points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        mvc::coordinates(cage, points[i], w.data());
        double total = 0.0;
        for (double v : w)
            total += v;
        EXPECT_NEAR(total, 1.0, 1e-12) << "point " << i;
        expectNear(combine(cage, w), points[i], 1e-9, i);
    }
}

TEST_P(MvcCages, AffineMoveOfTheCageMovesThePointsAlike) {
    const mvc::Cage cage = GetParam().make();
    const auto points = randomPoints(GetParam().inner, 200);
    const mvc::Binding binding = mvc::bind(cage, points);
    // A shear, a stretch and a turn, then a shift.
    const double a[3][3] = {{1.2, 0.3, -0.1}, {-0.2, 0.8, 0.4}, {0.5, 0.1, 1.5}};
    const Vec3 t{0.7, -2.0, 0.25};
    auto affine = [&](const Vec3& p) {
        Vec3 q = t;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                q[r] += a[r][c] * p[c];
        return q;
    };
    std::vector<Vec3> moved;
    for (const Vec3& p : cage.points)
        moved.push_back(affine(p));
    std::vector<Vec3> out;
    mvc::deform(binding, moved, out);
    ASSERT_EQ(out.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i)
        expectNear(out[i], affine(points[i]), 1e-9, i);
}

INSTANTIATE_TEST_SUITE_P(Cages, MvcCages, testing::ValuesIn(kCages),
                         [](const testing::TestParamInfo<CageCase>& c) {
                             return std::string(c.param.name);
                         });

TEST(MvcBaseline, InsideAConvexCageEveryWeightIsPositive) {
    const mvc::Cage cage = cube();
    std::vector<double> w(cage.points.size());
    for (const Vec3& p : randomPoints(0.99, 100)) {
        mvc::coordinates(cage, p, w.data());
        for (double v : w)
            EXPECT_GT(v, 0.0);
    }
}

// The cube's weights by its corner numbers (the cage numbers its points in
// the order the polygons first use them).
std::vector<double> cornerWeights(const mvc::Cage& cage, const Vec3& x) {
    std::vector<double> w(cage.points.size()), corner(cage.points.size());
    mvc::coordinates(cage, x, w.data());
    for (size_t v = 0; v < w.size(); ++v)
        corner[cage.source[v]] = w[v];
    return corner;
}

// The face z = 1 of the cube is split along its diagonal from corner 4
// (-1, -1) to corner 7 (1, 1); (0.5, -0.25) lies in the triangle of corners
// 4, 5 (1, -1) and 7, whose barycentric coordinates there are 0.25, 0.375,
// 0.375. Just off the face the fallback projects onto it; farther off, the
// formula's rounding grows as the face nears: both stay within 2e-6 of the
// cage's size.
TEST(MvcBaseline, OnAFaceTheWeightsAreBarycentric) {
    const mvc::Cage cage = cube();
    const std::vector<double> w = cornerWeights(cage, {0.5, -0.25, 1.0});
    const double want[8] = {0, 0, 0, 0, 0.25, 0.375, 0, 0.375};
    for (int j = 0; j < 8; ++j)
        EXPECT_NEAR(w[size_t(j)], want[j], 1e-12) << "corner " << j;
    std::vector<double> v(cage.points.size());
    for (double offset : {1e-14, 1e-9, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3}) {
        const Vec3 p{0.5, -0.25, 1.0 - offset};
        mvc::coordinates(cage, p, v.data());
        expectNear(combine(cage, v), p, 4e-6, 0);
    }
    // On the diagonal only its two ends weigh; on a corner, that corner.
    const std::vector<double> diagonal = cornerWeights(cage, {0.2, 0.2, 1.0});
    EXPECT_NEAR(diagonal[4], 0.4, 1e-12);
    EXPECT_NEAR(diagonal[7], 0.6, 1e-12);
    const std::vector<double> corner = cornerWeights(cage, {1.0, 1.0, 1.0});
    EXPECT_EQ(corner[7], 1.0);
    EXPECT_EQ(corner[0], 0.0);
}

TEST(MvcBaseline, LinegonsAndUnusedPointsAreLeftOut) {
    std::vector<Vec3> points = cubeCorners();
    points.push_back({0, 0, 0}); // an axis point, used by a linegon only
    auto polygons = kCubeFaces;
    polygons.insert(polygons.begin() + 2, {8, 7});
    const mvc::Cage cage = mvc::closedCage(points, polygons);
    EXPECT_EQ(cage.points.size(), 8u);
    EXPECT_EQ(cage.triangles.size(), 12u);
    // The origin is a point of the mesh but not of the cage: its weights are
    // those of the bare cube, none of them snapped onto that point.
    const std::vector<double> with = cornerWeights(cage, {0, 0, 0}),
                              bare = cornerWeights(cube(), {0, 0, 0});
    for (size_t j = 0; j < 8; ++j)
        EXPECT_NEAR(with[j], bare[j], 1e-15) << "corner " << j;
    for (size_t v = 0; v < cage.points.size(); ++v)
        EXPECT_EQ(cage.points[v], points[cage.source[v]]);
}

TEST(MvcBaseline, BadInputIsAnErrorThatSaysWhy) {
    const std::vector<Vec3> points(4, Vec3{0, 0, 0});
    EXPECT_THROW(mvc::closedCage(points, {{0, 1, 7}}), std::invalid_argument);
    EXPECT_THROW(mvc::closedCage(points, {{0, 1}, {2, 3}}), std::invalid_argument);
    const mvc::Binding binding = mvc::bind(cube(), {{0, 0, 0}});
    std::vector<Vec3> out;
    EXPECT_THROW(mvc::deform(binding, points, out), std::invalid_argument);
}

} // namespace
