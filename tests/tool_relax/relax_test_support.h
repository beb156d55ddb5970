// Cages for the relaxation tests: grids of quads or triangles whose points
// carry the search scratch the relaxation reads (startPos, inRange) and a
// zeroed tool state, and a switch between the two relaxation methods.
#ifndef MORVANE_TESTS_TOOL_RELAX_SUPPORT_H
#define MORVANE_TESTS_TOOL_RELAX_SUPPORT_H

#include "../support/test_cage.h"
#include "tool/relax.h"

#include <cstring>
#include <functional>
#include <vector>

namespace relaxtest {

using testvec::V3;

enum class Method { Neighbourhood, ShapeMatching };

inline const char* methodName(Method m) {
    return m == Method::Neighbourhood ? "Neighbourhood" : "ShapeMatching";
}

// A cols x rows grid of points, spacing 1, in the z = height(x, y) surface;
// cells are quads, or two triangles each.
inline testcage::Shape gridShape(int cols, int rows, bool triangles,
                                 const std::function<double(double, double)>& height = {}) {
    testcage::Shape s;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i)
            s.points.push_back({double(i), double(j), height ? height(i, j) : 0.0});
    for (int j = 0; j + 1 < rows; ++j)
        for (int i = 0; i + 1 < cols; ++i) {
            const int a = j * cols + i, b = a + 1, c = a + cols + 1, d = a + cols;
            if (triangles) {
                s.faces.push_back({a, b, c});
                s.faces.push_back({a, c, d});
            } else {
                s.faces.push_back({a, b, c, d});
            }
        }
    return s;
}

// The grid with every point in range, reference = current = its shape, and
// a region that can grow over the whole cage.
struct RelaxGrid {
    testcage::TestCage cage;
    std::vector<PointData*> p;
    EditCageState state;
    int cols;

    RelaxGrid(int cols_, int rows, bool triangles,
              const std::function<double(double, double)>& height = {})
        : cols(cols_) {
        p = testcage::buildCage(cage.cage, gridShape(cols, rows, triangles, height));
        for (PointData* q : p) {
            std::memcpy(q->startPos, q->restPos, sizeof q->startPos);
            std::memcpy(q->worldOtherPos, q->restPos, sizeof q->worldOtherPos);
            q->inRange = 1;
        }
        std::memset(&state, 0, sizeof state);
        state.maxLevel = unsigned(cols + rows);
        syncCentres();
    }

    PointData* at(int i, int j) const { return p[std::size_t(j * cols + i)]; }

    // Polygon centres sit at their corners' average, as the search leaves
    // them.
    void syncCentres() {
        for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
            for (int k = 0; k < 3; ++k) {
                poly->center.startPos[k] = poly->center.worldOtherPos[k] = 0.0;
                for (PointData* c : poly->pnt) {
                    poly->center.startPos[k] += c->startPos[k] / 4.0;
                    poly->center.worldOtherPos[k] += c->worldOtherPos[k] / 4.0;
                }
            }
    }

    // Moves every current position by f.
    void moveAll(const std::function<V3(const V3&)>& f) {
        for (PointData* q : p) {
            const V3 v = f({q->worldOtherPos[0], q->worldOtherPos[1], q->worldOtherPos[2]});
            std::memcpy(q->worldOtherPos, v.data(), sizeof q->worldOtherPos);
        }
        syncCentres();
    }

    std::vector<V3> current() const {
        std::vector<V3> out;
        for (PointData* q : p)
            out.push_back({q->worldOtherPos[0], q->worldOtherPos[1], q->worldOtherPos[2]});
        return out;
    }

    void run(Method m, int iterations, double factor) {
        if (m == Method::Neighbourhood) {
            relaxCageMeshDistortion3D(&state, cage.cage, iterations, factor);
        } else {
            state.stiffnessIterations = iterations;
            state.stiffnessFactor = factor;
            relaxCageMeshShapeMatching(&state, cage.cage);
        }
    }
};

// A deterministic distortion of every point, a few tenths of the spacing.
inline V3 wobble(const V3& v) {
    return {v[0] + 0.2 * std::sin(3.1 * v[1] + 0.7 * v[0]),
            v[1] + 0.15 * std::cos(2.3 * v[0] - 0.4 * v[1]),
            v[2] + 0.25 * std::sin(1.7 * v[0] + 2.9 * v[1])};
}

} // namespace relaxtest

#endif
