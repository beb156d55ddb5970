// Hand-built cages for the search and location tests, independent distance
// geometry, and a one-element measurement helper.
#ifndef MORVANE_TESTS_SEARCH_SEARCH_TEST_SUPPORT_H
#define MORVANE_TESTS_SEARCH_SEARCH_TEST_SUPPORT_H

#include "cage/cage_frames.h"
#include "cage/cage_model.h"
#include "cage_instance.h"
#include "../support/test_cage.h"
#include "../support/test_vec3.h"
#include "geometry/element_grids.h"
#include "geometry/element_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace searchtest {

using namespace testvec;
using namespace testcage;
inline V3 rest(const PointData* p) {
    return {p->restPos[0], p->restPos[1], p->restPos[2]};
}
inline V3 base(const PointData* p) {
    return {p->basePos[0], p->basePos[1], p->basePos[2]};
}

// World placement: R has columns right, up, forward; W is the position.
// Sets every point's (and centre's) world positions and every triangle's
// world-rotated frame.
inline void placeCage(CageInstance* cage, const V3 axes[3], const V3& position) {
    for (int i = 0; i < 3; ++i)
        for (int a = 0; a < 3; ++a)
            cage->worldAxes[i][a] = axes[i][a];
    for (int a = 0; a < 3; ++a)
        cage->worldAxes[3][a] = position[a];
    for (PointData* p = cage->pointList; p; p = p->next) {
        for (int a = 0; a < 3; ++a)
            p->otherPos[a] = p->restPos[a];
        setPointWorldPositions(cage, p);
    }
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        updatePolygonCenterOther(poly);
        setPointWorldPositions(cage, &poly->center);
    }
    for (TrigonData* t = cage->trigonList; t; t = t->next)
        refreshTrigonData(cage, t);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (int k = 0; k < 4; ++k)
            refreshTrigonData(cage, &poly->tri[k]);
}

inline void placeCageIdentity(CageInstance* cage) {
    const V3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    placeCage(cage, axes, {0, 0, 0});
}

// Trigons, then fan triangles, in list order.
inline std::vector<TrigonData*> allTriangles(const CageInstance* cage) {
    std::vector<TrigonData*> out;
    for (TrigonData* t = cage->trigonList; t; t = t->next)
        out.push_back(t);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (int k = 0; k < 4; ++k)
            out.push_back(&poly->tri[k]);
    return out;
}

inline std::vector<LinegonData*> allLinegons(const CageInstance* cage) {
    std::vector<LinegonData*> out;
    for (LinegonData* l = cage->linegonList; l; l = l->next)
        out.push_back(l);
    return out;
}

// --- independent distances ------------------------------------------------------

inline double pointSegmentDistance(const V3& p, const V3& a, const V3& b) {
    const V3 ab = sub(b, a);
    const double ll = dot(ab, ab);
    double t = ll > 0.0 ? dot(sub(p, a), ab) / ll : 0.0;
    t = std::min(1.0, std::max(0.0, t));
    return norm(sub(p, add(a, mul(ab, t))));
}

// Point to solid triangle: the projection when it falls inside (tested by
// edge-side signs), else the nearest side. Collapsed triangles are their
// sides.
inline double pointTriangleDistance(const V3& p, const V3& a, const V3& b, const V3& c) {
    const V3 n = cross(sub(b, a), sub(c, a));
    const double nn = norm(n);
    const double sides =
        std::min(pointSegmentDistance(p, a, b),
                 std::min(pointSegmentDistance(p, b, c), pointSegmentDistance(p, c, a)));
    if (nn < 1e-12) return sides;
    const V3 u = mul(n, 1.0 / nn);
    const double h = dot(sub(p, a), u);
    const V3 q = sub(p, mul(u, h));
    const double s0 = dot(cross(sub(b, a), sub(q, a)), u);
    const double s1 = dot(cross(sub(c, b), sub(q, b)), u);
    const double s2 = dot(cross(sub(a, c), sub(q, c)), u);
    if (s0 >= 0 && s1 >= 0 && s2 >= 0) return std::fabs(h);
    return sides;
}

// --- one element measured on its own ----------------------------------------------

struct Measure {
    bool accepted;
    double dist; // the element's own distance (stored value less the margin)
    double over;
    int flag;   // returned flag
    int stored; // flag left in the state
};

template <class Elem> using TestFn = int (*)(Elem*, const double*, NearestElement*, CageShape);

// The best element of one kind in a state.
inline LinegonData* bestOf(const NearestElement& n, const LinegonData*) {
    return n.linegon;
}
inline TrigonData* bestOf(const NearestElement& n, const TrigonData*) {
    return n.trigon;
}

template <class Elem>
Measure measure(TestFn<Elem> fn, Elem* e, const V3& q, CageShape shape = kRestShape) {
    NearestElement near;
    Measure m;
    m.flag = fn(e, q.data(), &near, shape);
    m.accepted = bestOf(near, e) == e;
    m.dist = near.dist - kNearDistanceMargin;
    m.over = near.over;
    m.stored = near.border;
    return m;
}

} // namespace searchtest

#endif // MORVANE_TESTS_SEARCH_SEARCH_TEST_SUPPORT_H
