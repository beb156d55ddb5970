// Cages for the brush-weight tests, posed in world as they rest, and a tool
// state to run the surface-distance search with.
#ifndef MORVANE_TESTS_TOOL_BRUSH_BRUSH_TEST_SUPPORT_H
#define MORVANE_TESTS_TOOL_BRUSH_BRUSH_TEST_SUPPORT_H

#include "../search/search_test_support.h"
#include "edit_cage_state.h"
#include "tool/surface_distance.h"

#include <memory>
#include <random>

namespace brushtest {

using namespace testvec;
using testcage::Shape;

inline V3 world(const PointData* p) {
    return {p->worldOtherPos[0], p->worldOtherPos[1], p->worldOtherPos[2]};
}

// Points (i, j, 0) for i <= nx, j <= ny at index i + (nx + 1) j; each cell a
// quad or two triangles, all wound alike. With rng the points are jittered
// and lifted at random and each cell's kind is drawn.
inline Shape gridShape(int nx, int ny, bool quads, std::mt19937* rng = nullptr) {
    std::uniform_real_distribution<double> jitter(-0.25, 0.25);
    Shape s;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i)
            s.points.push_back(rng ? V3{i + jitter(*rng), j + jitter(*rng), 2 * jitter(*rng)}
                                   : V3{double(i), double(j), 0.0});
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int a = i + (nx + 1) * j, b = a + 1, c = b + nx + 1, d = a + nx + 1;
            if (rng ? (*rng)() % 2 == 0 : quads)
                s.faces.push_back({a, b, c, d});
            else
                s.faces.insert(s.faces.end(), {{a, b, c}, {a, c, d}});
        }
    return s;
}

// A closed 2 x 2 x h box of quads: top (z = h) and bottom (z = 0) are 3 x 3
// grids (top centre 4, bottom centre 13), the sides one quad high.
inline Shape thinBoxShape(double h) {
    Shape top = gridShape(2, 2, true);
    Shape s = top;
    for (V3& p : s.points)
        p[2] = h;
    for (const V3& p : top.points)
        s.points.push_back(p);
    for (const auto& f : top.faces)
        s.faces.push_back({f[3] + 9, f[2] + 9, f[1] + 9, f[0] + 9});
    const int ring[8] = {0, 1, 2, 5, 8, 7, 6, 3};
    for (int k = 0; k < 8; ++k) {
        const int a = ring[k], b = ring[(k + 1) % 8];
        s.faces.push_back({b, a, a + 9, b + 9});
    }
    return s;
}

// A tool state with a linear falloff and the given brush radius.
struct Brush {
    std::unique_ptr<EditCageState> state{new EditCageState()};
    explicit Brush(double radius) {
        state->brushWorldRadius = radius;
        state->falloffExponents[0] = state->falloffExponents[1] = 1.0;
    }
    void run(CageInstance* cage, PointData* point, LinegonData* linegon = nullptr,
             TrigonData* trigon = nullptr) {
        makeEnablePointList_Mesh2(state.get(), cage, point, linegon, trigon);
    }
};

// A built cage posed in world as it rests.
struct Posed {
    testcage::TestCage cage;
    std::vector<PointData*> p;
    explicit Posed(const Shape& s) : p(testcage::buildCage(cage.cage, s)) {
        searchtest::placeCageIdentity(cage.cage);
    }
};

} // namespace brushtest

#endif
