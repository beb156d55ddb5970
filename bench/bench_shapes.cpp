#include "bench/bench_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <tuple>

namespace bench {

host::Mesh sphereCage(int n) {
    host::Mesh mesh;
    std::map<std::tuple<int, int, int>, std::uint32_t> index;
    auto at = [&](int i, int j, int k) {
        auto key = std::make_tuple(i, j, k);
        auto found = index.find(key);
        if (found != index.end()) return found->second;
        double p[3] = {2.0 * i / n - 1.0, 2.0 * j / n - 1.0, 2.0 * k / n - 1.0};
        double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        mesh.points.push_back(host::Point{float(p[0] / len), float(p[1] / len), float(p[2] / len)});
        std::uint32_t id = std::uint32_t(mesh.points.size() - 1);
        index.emplace(key, id);
        return id;
    };
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side <= n; side += n) {
            const int b = (axis + 1) % 3, c = (axis + 2) % 3;
            // (b, c) then runs counter-clockwise seen from outside on the
            // positive side; the negative side turns the other way.
            const bool flip = side == 0;
            for (int u = 0; u < n; ++u)
                for (int v = 0; v < n; ++v) {
                    int corner[4][2] = {{u, v}, {u + 1, v}, {u + 1, v + 1}, {u, v + 1}};
                    host::Polygon poly;
                    for (int q = 0; q < 4; ++q) {
                        int ijk[3];
                        ijk[axis] = side;
                        ijk[b] = corner[flip ? 3 - q : q][0];
                        ijk[c] = corner[flip ? 3 - q : q][1];
                        poly.points.push_back(at(ijk[0], ijk[1], ijk[2]));
                    }
                    mesh.polygons.push_back(poly);
                }
        }
    return mesh;
}

host::Mesh pointCloud(int count, bool shell) {
    host::Mesh mesh;
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> u(-1.2f, 1.2f);
    std::uniform_real_distribution<float> r(0.95f, 1.05f);
    mesh.points.reserve(size_t(count));
    while (mesh.points.size() < size_t(count)) {
        host::Point p{u(rng), u(rng), u(rng)};
        if (shell) {
            float len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            if (len < 1e-3f) continue;
            float k = r(rng) / len;
            p = host::Point{p.x * k, p.y * k, p.z * k};
        }
        mesh.points.push_back(p);
    }
    return mesh;
}

host::Mesh sphereMesh(int count) {
    host::Mesh mesh;
    const int rows = std::max(2, int(std::sqrt(count / 2.0)));
    const int cols = std::max(3, count / rows);
    const double pi = 3.14159265358979323846;
    mesh.points.reserve(size_t(rows) * size_t(cols));
    for (int i = 0; i < rows; ++i) {
        const double lat = pi * (i + 0.5) / rows - pi / 2;
        for (int j = 0; j < cols; ++j) {
            const double lon = 2 * pi * j / cols;
            const double rad = 0.95 + 0.02 * std::sin(7 * lat) * std::cos(5 * lon);
            mesh.points.push_back(host::Point{float(rad * std::cos(lat) * std::cos(lon)),
                                              float(rad * std::sin(lat)),
                                              float(rad * std::cos(lat) * std::sin(lon))});
        }
    }
    return mesh;
}

void bendCage(CageInstance* cage) {
    for (int i = 0; i < cage->pointCount; ++i) {
        const double* p = cage->pointArray[i]->basePos;
        double* d = cage->keyHead->deltas + 3 * i;
        d[0] = 0.15 * std::sin(3.0 * p[1]);
        d[1] = 0.10 * std::cos(2.0 * p[2]) * p[0];
        d[2] = 0.05 * p[2] * p[2];
    }
}

} // namespace bench
