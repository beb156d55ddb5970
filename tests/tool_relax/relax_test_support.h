// Grids of quads or triangles carrying the search scratch the relaxations
// read (startPos, inRange, maxLevel), and a switch between the two methods.
#ifndef MORVANE_TESTS_TOOL_RELAX_SUPPORT_H
#define MORVANE_TESTS_TOOL_RELAX_SUPPORT_H

#include "../support/test_cage.h"
#include "tool/relax.h"

#include <cstring>
#include <functional>
#include <vector>

namespace relaxtest {

using testvec::V3;
using Height = std::function<double(double, double)>;

enum class Method { Neighbourhood, ShapeMatching };

inline V3 v3(const double* d) {
    return {d[0], d[1], d[2]};
}

// cols x rows points, spacing 1, at z = height(x, y), in quads or two
// triangles each.
inline testcage::Shape gridShape(int cols, int rows, bool triangles, const Height& height) {
    testcage::Shape s;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i)
            s.points.push_back({double(i), double(j), height ? height(i, j) : 0.0});
    for (int a = 0; a + cols + 1 < rows * cols; ++a) {
        if (a % cols == cols - 1) continue;
        const int b = a + 1, c = a + cols + 1, d = a + cols;
        if (triangles)
            s.faces.insert(s.faces.end(), {{a, b, c}, {a, c, d}});
        else
            s.faces.push_back({a, b, c, d});
    }
    return s;
}

// A cage with every point in range, reference = current shape, and room
// for the region to cover it.
struct RelaxGrid {
    testcage::TestCage cage;
    std::vector<PointData*> p;
    EditCageState state;
    int cols;

    explicit RelaxGrid(const testcage::Shape& s, int cols_ = 0) : cols(cols_) {
        p = testcage::buildCage(cage.cage, s);
        for (PointData* q : p) {
            std::memcpy(q->startPos, q->restPos, sizeof q->startPos);
            std::memcpy(q->worldOtherPos, q->restPos, sizeof q->worldOtherPos);
            q->inRange = 1;
        }
        std::memset(&state, 0, sizeof state);
        state.maxLevel = unsigned(p.size());
        // Polygon centres rest at their corners' average, as the search
        // leaves them; the shape matching places their current position.
        for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
            std::memcpy(poly->center.startPos, poly->center.restPos, sizeof(double[3]));
    }
    RelaxGrid(int cols_, int rows, bool triangles, const Height& height = {})
        : RelaxGrid(gridShape(cols_, rows, triangles, height), cols_) {}

    PointData* at(int i, int j) const { return p[std::size_t(j * cols + i)]; }

    void moveAll(const std::function<V3(const V3&)>& f) {
        for (PointData* q : p)
            std::memcpy(q->worldOtherPos, f(v3(q->worldOtherPos)).data(), sizeof(double[3]));
    }

    std::vector<V3> current() const {
        std::vector<V3> out;
        for (PointData* q : p)
            out.push_back(v3(q->worldOtherPos));
        return out;
    }

    void run(Method m, int iterations, double factor) {
        if (m == Method::Neighbourhood)
            return relaxCageMeshDistortion3D(&state, cage.cage, iterations, factor);
        state.stiffnessIterations = iterations;
        state.stiffnessFactor = factor;
        relaxCageMeshShapeMatching(&state, cage.cage);
    }
};

// A deterministic distortion of a few tenths of the spacing.
inline V3 wobble(const V3& v) {
    return {v[0] + 0.2 * std::sin(3.1 * v[1] + 0.7 * v[0]),
            v[1] + 0.15 * std::cos(2.3 * v[0] - 0.4 * v[1]),
            v[2] + 0.25 * std::sin(1.7 * v[0] + 2.9 * v[1])};
}

} // namespace relaxtest

#endif
