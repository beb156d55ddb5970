// A cage built by hand for the tests: a zeroed CageInstance freed on scope
// exit, and the topology, rest data and 3D grids of a list of points, faces
// and linegons.
#ifndef MORVANE_TESTS_SUPPORT_TEST_CAGE_H
#define MORVANE_TESTS_SUPPORT_TEST_CAGE_H

#include "cage/cage_frames.h"
#include "cage/cage_model.h"
#include "cage_instance.h"
#include "geometry/element_grids.h"
#include "test_vec3.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace testcage {

using testvec::V3;

// A zeroed cage (smooth distance at its 2e-6 floor); its grids and geometry
// are freed on scope exit.
struct TestCage {
    CageInstance* cage;
    TestCage() : cage(static_cast<CageInstance*>(std::calloc(1, sizeof(CageInstance)))) {
        cage->smoothDistanceClamped = 2e-6;
    }
    ~TestCage() {
        freeCageGrids(cage);
        destroyCageData(cage);
        std::free(cage);
    }
    TestCage(const TestCage&) = delete;
    TestCage& operator=(const TestCage&) = delete;
    CageInstance* operator->() const { return cage; }
};

// Points, faces (3 or 4 point indices) and linegons (2 indices).
struct Shape {
    std::vector<V3> points;
    std::vector<std::vector<int>> faces;
    std::vector<std::array<int, 2>> lines;
};

// Builds the topology and rest data (cage-local rest positions = the
// shape's points), and the two 3D grids. With frame0 set the cage rests at
// frame 0 and basePos is `points` moved by baseOffset (restPos keeps
// `points`), so the base frames differ from the rest frames.
inline std::vector<PointData*> buildCage(CageInstance* cage, const Shape& s, bool frame0 = false,
                                         const V3& baseOffset = {0, 0, 0}) {
    int tris = 0, quads = 0;
    for (const auto& f : s.faces)
        (f.size() == 3 ? tris : quads)++;
    allocCageBlocks(cage, int(s.points.size()), int(s.lines.size()), tris, quads);
    std::vector<PointData*> p;
    for (const V3& v : s.points)
        p.push_back(add1PointData(cage, v.data()));
    cage->pointArray = static_cast<PointData**>(std::calloc(p.size() + 1, sizeof(PointData*)));
    for (std::size_t i = 0; i < p.size(); ++i) {
        cage->pointArray[i] = p[i];
        p[i]->index = unsigned(i);
        for (int a = 0; a < 3; ++a)
            p[i]->basePos[a] = s.points[i][a] + (frame0 ? baseOffset[a] : 0.0);
    }
    for (const auto& f : s.faces) {
        if (f.size() == 3)
            add1TrigonData(cage, p[f[0]], p[f[1]], p[f[2]]);
        else
            add1PolygonData(cage, p[f[0]], p[f[1]], p[f[2]], p[f[3]]);
    }
    for (const auto& l : s.lines)
        add1LinegonData(cage, p[l[0]], p[l[1]]);
    cage->restShapeAtFrame0 = frame0 ? 1 : 0;
    createEdgeData(cage, 0);
    rebuildCageRestData(cage);
    makeTrisMat3D(cage);
    makeLineMat3D(cage);
    return p;
}

} // namespace testcage

#endif // MORVANE_TESTS_SUPPORT_TEST_CAGE_H
