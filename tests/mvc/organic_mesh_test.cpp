// The generated benchmark case: the body and its cage are closed surfaces
// facing outwards, and the cage holds every point of the body.
#include "bench/mesh_arrays.h"
#include "bench/organic_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>

namespace {

using mvc::Vec3;

// Every edge is walked once each way: closed and consistently turned.
void expectClosed(const host::Mesh& mesh) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> walked;
    for (const host::Polygon& poly : mesh.polygons)
        for (size_t k = 0; k < poly.points.size(); ++k)
            ++walked[{poly.points[k], poly.points[(k + 1) % poly.points.size()]}];
    for (const auto& [edge, count] : walked) {
        EXPECT_EQ(count, 1) << edge.first << "-" << edge.second;
        EXPECT_EQ(walked.count({edge.second, edge.first}), 1u) << edge.first << "-" << edge.second;
    }
}

// The solid angle the triangle subtends at x over 4 pi, signed by which side
// x sees; summed over a closed surface, 1 inside (facing outwards), 0 outside.
double winding(const mvc::Cage& cage, const Vec3& x) {
    double total = 0.0;
    for (const auto& tri : cage.triangles) {
        Vec3 a, b, c;
        for (int k = 0; k < 3; ++k) {
            a[k] = cage.points[tri[0]][k] - x[k];
            b[k] = cage.points[tri[1]][k] - x[k];
            c[k] = cage.points[tri[2]][k] - x[k];
        }
        auto len = [](const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); };
        auto dot = [](const Vec3& u, const Vec3& v) {
            return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
        };
        const double det = a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                           a[2] * (b[0] * c[1] - b[1] * c[0]);
        const double la = len(a), lb = len(b), lc = len(c);
        total +=
            2.0 * std::atan2(det, la * lb * lc + dot(a, b) * lc + dot(b, c) * la + dot(c, a) * lb);
    }
    return total / (4.0 * 3.14159265358979323846);
}

TEST(OrganicMesh, BodyAndCageAreClosedAndTheCageHoldsTheBody) {
    const host::Mesh body = bench::organicBody(40, 60, 7);
    const host::Mesh cageMesh = bench::organicCage(10, 12, 7);
    expectClosed(body);
    expectClosed(cageMesh);
    const mvc::Cage cage = bench::cageOf(cageMesh);
    for (const Vec3& p : bench::pointsOf(body))
        ASSERT_NEAR(winding(cage, p), 1.0, 1e-9) << p[0] << " " << p[1] << " " << p[2];
    // Outside the cage's reach the count is zero: the sign is the test's own.
    EXPECT_NEAR(winding(cage, {0.0, 5.0, 0.0}), 0.0, 1e-9);
}

TEST(OrganicMesh, TheSeedDecidesTheShape) {
    const host::Mesh a = bench::organicBody(20, 30, 1), b = bench::organicBody(20, 30, 1),
                     c = bench::organicBody(20, 30, 2);
    bool differs = false;
    for (size_t i = 0; i < a.points.size(); ++i) {
        EXPECT_EQ(a.points[i].x, b.points[i].x);
        differs = differs || a.points[i].x != c.points[i].x;
    }
    EXPECT_TRUE(differs);
}

} // namespace
