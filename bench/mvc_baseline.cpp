#include "bench/mvc_baseline.h"

#include "geometry/vector.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace mvc {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Half the perimeter of a point's spherical triangle reaches pi as the point
// reaches the triangle: closer than this, the point is on it.
constexpr double kOnTriangle = 1e-10;
// Below this |s| the point lies in the triangle's plane, outside it, where
// the triangle adds nothing (the rounding of c alone gives about 1e-8).
constexpr double kInPlane = 1e-7;
// A point this close to a vertex (relative to the cage's size) is on it.
constexpr double kOnVertex = 1e-12;

// Per point: the distance to each cage vertex and the unit vector towards it.
struct Scratch {
    std::vector<double> dist;
    std::vector<Vec3> unit;
};

double cageSize(const Cage& cage) {
    Vec3 lo = cage.points.front(), hi = cage.points.front();
    for (const Vec3& p : cage.points)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    Vec3 diagonal;
    sub3D(hi.data(), lo.data(), diagonal.data());
    return len3D(diagonal.data());
}

// The angle between unit vectors a and b, accurate near 0 and near pi alike
// (an arcsine of half the chord loses half the digits near pi).
double angleBetween(const Vec3& a, const Vec3& b) {
    Vec3 diff, sum;
    sub3D(a.data(), b.data(), diff.data());
    add3D(a.data(), b.data(), sum.data());
    return 2.0 * std::atan2(len3D(diff.data()), len3D(sum.data()));
}

void normalise(double* weights, std::size_t count) {
    double total = 0.0;
    for (std::size_t j = 0; j < count; ++j)
        total += weights[j];
    for (std::size_t j = 0; j < count; ++j)
        weights[j] /= total;
}

void coordinatesWith(const Cage& cage, const Vec3& x, double onVertex, Scratch& s,
                     double* weights) {
    const std::size_t n = cage.points.size();
    std::fill(weights, weights + n, 0.0);
    for (std::size_t j = 0; j < n; ++j) {
        Vec3 towards;
        sub3D(cage.points[j].data(), x.data(), towards.data());
        s.dist[j] = len3D(towards.data());
        if (s.dist[j] < onVertex) {
            weights[j] = 1.0;
            return;
        }
        scale3D(towards.data(), 1.0 / s.dist[j], s.unit[j].data());
    }
    for (const auto& tri : cage.triangles) {
        double theta[3], sinTheta[3];
        for (int i = 0; i < 3; ++i) {
            theta[i] = angleBetween(s.unit[tri[(i + 1) % 3]], s.unit[tri[(i + 2) % 3]]);
            sinTheta[i] = std::sin(theta[i]);
        }
        const double h = 0.5 * (theta[0] + theta[1] + theta[2]);
        if (kPi - h < kOnTriangle) {
            // On the triangle: its barycentric coordinates, each the area of
            // the part of the triangle facing the corner.
            std::fill(weights, weights + n, 0.0);
            for (int i = 0; i < 3; ++i)
                weights[tri[i]] = sinTheta[i] * s.dist[tri[(i + 1) % 3]] * s.dist[tri[(i + 2) % 3]];
            normalise(weights, n);
            return;
        }
        if (sinTheta[0] < kInPlane || sinTheta[1] < kInPlane || sinTheta[2] < kInPlane)
            continue; // two corners in line with x: the triangle is seen edge-on
        Vec3 cross;
        cross3D(s.unit[tri[0]].data(), s.unit[tri[1]].data(), cross.data());
        const double side = dot3D(cross.data(), s.unit[tri[2]].data()) < 0.0 ? -1.0 : 1.0;
        double c[3], sn[3];
        bool inPlane = false;
        for (int i = 0; i < 3; ++i) {
            c[i] = 2.0 * std::sin(h) * std::sin(h - theta[i]) /
                       (sinTheta[(i + 1) % 3] * sinTheta[(i + 2) % 3]) -
                   1.0;
            sn[i] = side * std::sqrt(std::max(0.0, 1.0 - c[i] * c[i]));
            inPlane = inPlane || std::fabs(sn[i]) <= kInPlane;
        }
        if (inPlane) continue;
        for (int i = 0; i < 3; ++i) {
            const int next = (i + 1) % 3, prev = (i + 2) % 3;
            weights[tri[i]] += (theta[i] - c[next] * theta[prev] - c[prev] * theta[next]) /
                               (s.dist[tri[i]] * sinTheta[next] * sn[prev]);
        }
    }
    normalise(weights, n);
}

} // namespace

Cage closedCage(const std::vector<Vec3>& points,
                const std::vector<std::vector<std::uint32_t>>& polygons) {
    const std::uint32_t kUnused = ~std::uint32_t(0);
    std::vector<std::uint32_t> cageIndex(points.size(), kUnused);
    Cage cage;
    auto vertex = [&](std::uint32_t source) {
        if (cageIndex[source] == kUnused) {
            cageIndex[source] = std::uint32_t(cage.points.size());
            cage.points.push_back(points[source]);
            cage.source.push_back(source);
        }
        return cageIndex[source];
    };
    for (std::size_t f = 0; f < polygons.size(); ++f) {
        const auto& poly = polygons[f];
        for (std::uint32_t index : poly)
            if (index >= points.size())
                throw std::invalid_argument("polygon " + std::to_string(f) + " names point " +
                                            std::to_string(index) + " of " +
                                            std::to_string(points.size()));
        if (poly.size() < 3) continue;
        for (std::size_t k = 1; k + 1 < poly.size(); ++k)
            cage.triangles.push_back({vertex(poly[0]), vertex(poly[k]), vertex(poly[k + 1])});
    }
    if (cage.triangles.size() < 4)
        throw std::invalid_argument("a closed cage needs at least 4 triangles, the polygons give " +
                                    std::to_string(cage.triangles.size()));
    return cage;
}

void coordinates(const Cage& cage, const Vec3& x, double* weights) {
    Scratch s{std::vector<double>(cage.points.size()), std::vector<Vec3>(cage.points.size())};
    coordinatesWith(cage, x, kOnVertex * cageSize(cage), s, weights);
}

Binding bind(const Cage& cage, const std::vector<Vec3>& points) {
    Binding b;
    b.pointCount = points.size();
    b.vertexCount = cage.points.size();
    b.weights.resize(b.pointCount * b.vertexCount);
    Scratch s{std::vector<double>(b.vertexCount), std::vector<Vec3>(b.vertexCount)};
    const double onVertex = kOnVertex * cageSize(cage);
    for (std::size_t i = 0; i < b.pointCount; ++i)
        coordinatesWith(cage, points[i], onVertex, s, b.weights.data() + i * b.vertexCount);
    return b;
}

void deform(const Binding& binding, const std::vector<Vec3>& cagePoints, std::vector<Vec3>& out) {
    const std::size_t n = binding.vertexCount;
    if (cagePoints.size() != n)
        throw std::invalid_argument("the cage has " + std::to_string(cagePoints.size()) +
                                    " points, the binding " + std::to_string(n));
    // One array per axis, so that each weighted sum runs over contiguous data.
    std::vector<double> xs(n), ys(n), zs(n);
    for (std::size_t j = 0; j < n; ++j) {
        xs[j] = cagePoints[j][0];
        ys[j] = cagePoints[j][1];
        zs[j] = cagePoints[j][2];
    }
    out.resize(binding.pointCount);
    for (std::size_t i = 0; i < binding.pointCount; ++i) {
        const double* w = binding.weights.data() + i * n;
        double x = 0.0, y = 0.0, z = 0.0;
        for (std::size_t j = 0; j < n; ++j) {
            x += w[j] * xs[j];
            y += w[j] * ys[j];
            z += w[j] * zs[j];
        }
        out[i] = {x, y, z};
    }
}

} // namespace mvc
