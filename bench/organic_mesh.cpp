#include "bench/organic_mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The body's ellipsoid: a torso taller than wide, deeper than thin.
constexpr double kRadii[3] = {0.6, 1.0, 0.45};
// How far the cage stands off the largest bulge near it, as a share of the
// radius, and how far around a cage point that bulge is looked for.
constexpr double kCageMargin = 0.18;
constexpr double kCageReach = 0.6; // radians

using Dir = std::array<double, 3>;

Dir direction(double lat, double lon) {
    return {std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
}

double dot(const Dir& a, const Dir& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Gaussian bulges on the unit sphere, a few broad (muscle) and a few narrow
// and tall (limb stumps), with a fine ripple over all: the radius factor of
// the ellipsoid in each direction.
class Lumps {
  public:
    explicit Lumps(unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> unit(-1.0, 1.0);
        for (int k = 0; k < 14; ++k) {
            Dir c;
            double len;
            do {
                c = {unit(rng), unit(rng), unit(rng)};
                len = std::sqrt(dot(c, c));
            } while (len < 0.1 || len > 1.0);
            for (double& v : c)
                v /= len;
            const bool limb = k % 4 == 0;
            bumps_.push_back(Bump{c, limb ? 0.35 + 0.1 * unit(rng) : 0.08 * unit(rng) + 0.04,
                                  limb ? 0.12 : 0.3 + 0.1 * unit(rng)});
        }
        ripple_ = {3.0 + std::floor(3.0 * (unit(rng) + 1.0)),
                   2.0 + std::floor(2.0 * (unit(rng) + 1.0))};
    }

    double factor(double lat, double lon) const {
        const Dir d = direction(lat, lon);
        double f = 1.0 + 0.015 * std::sin(ripple_[0] * lat) * std::cos(ripple_[1] * lon);
        for (const Bump& b : bumps_) {
            const double angle = std::acos(std::clamp(dot(d, b.centre), -1.0, 1.0));
            f += b.height * std::exp(-(angle * angle) / (b.width * b.width));
        }
        return f;
    }

  private:
    struct Bump {
        Dir centre;
        double height;
        double width; // radians
    };
    std::vector<Bump> bumps_;
    std::array<double, 2> ripple_;
};

host::Point surfacePoint(double lat, double lon, double factor) {
    const Dir d = direction(lat, lon);
    return host::Point{float(kRadii[0] * d[0] * factor), float(kRadii[1] * d[1] * factor),
                       float(kRadii[2] * d[2] * factor)};
}

// The latitude-longitude layout, `factor` giving the radius factor per
// direction. Quads run up, across, down (outwards by the right hand), so
// each pole's fan turns the way its ring does seen from outside.
template <typename Factor> host::Mesh latLong(int rows, int cols, const Factor& factor) {
    if (rows < 2 || cols < 3)
        throw std::invalid_argument("a closed latitude-longitude surface needs 2 rows and 3 "
                                    "columns, not " +
                                    std::to_string(rows) + " x " + std::to_string(cols));
    host::Mesh mesh;
    mesh.points.reserve(std::size_t(rows) * std::size_t(cols) + 2);
    for (int r = 0; r < rows; ++r) {
        const double lat = kPi * (r + 1) / (rows + 1) - kPi / 2;
        for (int c = 0; c < cols; ++c) {
            const double lon = 2 * kPi * c / cols;
            mesh.points.push_back(surfacePoint(lat, lon, factor(lat, lon)));
        }
    }
    const auto south = std::uint32_t(mesh.points.size());
    mesh.points.push_back(surfacePoint(-kPi / 2, 0.0, factor(-kPi / 2, 0.0)));
    const auto north = std::uint32_t(mesh.points.size());
    mesh.points.push_back(surfacePoint(kPi / 2, 0.0, factor(kPi / 2, 0.0)));
    auto at = [cols](int r, int c) { return std::uint32_t(r * cols + (c % cols)); };
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c < cols; ++c)
            mesh.polygons.push_back(host::Polygon{
                host::kPolygonFace, {at(r, c), at(r + 1, c), at(r + 1, c + 1), at(r, c + 1)}});
    for (int c = 0; c < cols; ++c) {
        mesh.polygons.push_back(host::Polygon{host::kPolygonFace, {south, at(0, c), at(0, c + 1)}});
        mesh.polygons.push_back(
            host::Polygon{host::kPolygonFace, {north, at(rows - 1, c + 1), at(rows - 1, c)}});
    }
    return mesh;
}

} // namespace

host::Mesh organicBody(int rows, int cols, unsigned seed) {
    const Lumps lumps(seed);
    return latLong(rows, cols, [&](double lat, double lon) { return lumps.factor(lat, lon); });
}

host::Mesh organicCage(int rings, int sides, unsigned seed) {
    const Lumps lumps(seed);
    // The body's radius factor sampled densely, so that each cage point can
    // stand off the largest bulge around it.
    struct Sample {
        Dir dir;
        double factor;
    };
    std::vector<Sample> samples;
    const int kLat = 90, kLon = 180;
    for (int i = 0; i <= kLat; ++i)
        for (int j = 0; j < kLon; ++j) {
            const double lat = kPi * i / kLat - kPi / 2, lon = 2 * kPi * j / kLon;
            samples.push_back(Sample{direction(lat, lon), lumps.factor(lat, lon)});
        }
    const double reach = std::cos(kCageReach);
    return latLong(rings, sides, [&](double lat, double lon) {
        const Dir d = direction(lat, lon);
        double largest = 0.0;
        for (const Sample& s : samples)
            if (dot(s.dir, d) >= reach) largest = std::max(largest, s.factor);
        return largest * (1.0 + kCageMargin);
    });
}

} // namespace bench
