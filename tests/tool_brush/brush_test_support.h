// Cages for the brush-weight tests, posed in world as they rest, and a tool
// state with a linear falloff to run the surface-distance search with.
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

// Points (i, j, 0) at index i + (nx + 1) j; each cell a quad or two
// triangles, all wound alike. With rng the points are jittered and lifted
// and each cell's kind is drawn.
inline Shape gridShape(int nx, int ny, bool quads, std::mt19937* rng = nullptr) {
    std::uniform_real_distribution<double> r(-0.25, 0.25);
    Shape s;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i)
            s.points.push_back(rng ? V3{i + r(*rng), j + r(*rng), 2 * r(*rng)}
                                   : V3{1.0 * i, 1.0 * j, 0});
    for (int j = 0; j < ny; ++j)
        for (int i = 0, a = (nx + 1) * j; i < nx; ++i, ++a) {
            if (rng ? (*rng)() % 2 : quads)
                s.faces.push_back({a, a + 1, a + nx + 2, a + nx + 1});
            else
                s.faces.insert(s.faces.end(),
                               {{a, a + 1, a + nx + 2}, {a, a + nx + 2, a + nx + 1}});
        }
    return s;
}

// A closed 2 x 2 x h box of quads: top (z = h, centre 4) and bottom (z = 0,
// centre 13) are 3 x 3 grids, joined by sides one quad high.
inline Shape thinBoxShape(double h) {
    Shape s = gridShape(2, 2, true);
    for (int k = 0; k < 9; ++k)
        s.points.push_back(s.points[k]), s.points[k][2] = h;
    for (int k = 0; k < 4; ++k)
        s.faces.push_back(
            {s.faces[k][3] + 9, s.faces[k][2] + 9, s.faces[k][1] + 9, s.faces[k][0] + 9});
    const int ring[9] = {0, 1, 2, 5, 8, 7, 6, 3, 0};
    for (int k = 0; k < 8; ++k)
        s.faces.push_back({ring[k + 1], ring[k], ring[k] + 9, ring[k + 1] + 9});
    return s;
}

// A built cage posed as it rests, and a tool state with the given radius.
struct Brush {
    testcage::TestCage cage;
    std::vector<PointData*> p;
    std::unique_ptr<EditCageState> state{new EditCageState()};
    Brush(const Shape& s, double radius) : p(testcage::buildCage(cage.cage, s)) {
        searchtest::placeCageIdentity(cage.cage);
        state->brushWorldRadius = radius;
        state->falloffExponents[0] = state->falloffExponents[1] = 1.0;
    }
    void run(PointData* point, LinegonData* linegon = nullptr, TrigonData* trigon = nullptr) {
        makeEnablePointList_Mesh2(state.get(), cage.cage, point, linegon, trigon);
    }
};

} // namespace brushtest

#endif
