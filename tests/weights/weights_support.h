// Small hand-built cages posed in world, and reference geometry written
// independently of the module's frames.
#ifndef MORVANE_TESTS_WEIGHTS_WEIGHTS_SUPPORT_H
#define MORVANE_TESTS_WEIGHTS_WEIGHTS_SUPPORT_H

#include "cage/cage_frames.h"
#include "cage/cage_model.h"
#include "cage_instance.h"
#include "geometry/element_grids.h"
#include "../support/test_cage.h"
#include "../support/test_vec3.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

namespace wt {

using namespace testvec;
using namespace testcage;
inline V3 unit(const V3& a) {
    return mul(a, 1.0 / norm(a));
}
inline V3 fromArr(const double* p) {
    return {p[0], p[1], p[2]};
}
inline bool finite(const V3& a) {
    return std::isfinite(a[0]) && std::isfinite(a[1]) && std::isfinite(a[2]);
}

// A rotation as its three columns (right, up, forward), applied as R v.
struct Rot {
    V3 c[3];
    V3 operator()(const V3& v) const {
        return add(add(mul(c[0], v[0]), mul(c[1], v[1])), mul(c[2], v[2]));
    }
};
inline Rot identityRot() {
    return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}
// Rotation by angle about a unit axis (Rodrigues, column by column).
inline Rot axisRot(const V3& axis, double angle) {
    const V3 k = unit(axis);
    Rot r;
    const V3 e[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        const V3& v = e[i];
        r.c[i] = add(add(mul(v, std::cos(angle)), mul(cross(k, v), std::sin(angle))),
                     mul(k, dot(k, v) * (1.0 - std::cos(angle))));
    }
    return r;
}

// Places the cage item (rotation R, position W) and gives each point the
// cage-local current position cur(i); then the world refresh, in the order
// the cage item uses.
inline void pose(CageInstance* cage, const std::vector<PointData*>& pts, const Rot& R, const V3& W,
                 const std::function<V3(int)>& cur) {
    for (int i = 0; i < 3; ++i)
        for (int a = 0; a < 3; ++a)
            cage->worldAxes[i][a] = R.c[i][a];
    for (int a = 0; a < 3; ++a)
        cage->worldAxes[3][a] = W[a];
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const V3 c = cur(int(i));
        for (int a = 0; a < 3; ++a)
            pts[i]->otherPos[a] = c[a];
    }
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        updatePolygonCenterOther(poly);
    for (PointData* p : pts)
        setPointWorldPositions(cage, p);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        setPointWorldPositions(cage, &poly->center);
    for (LinegonData* l = cage->linegonList; l; l = l->next)
        refreshLinegonFrame(cage, l);
    for (TrigonData* t = cage->trigonList; t; t = t->next)
        refreshTrigonData(cage, t);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (TrigonData& t : poly->tri)
            refreshTrigonData(cage, &t);
}

inline void poseRest(CageInstance* cage, const std::vector<PointData*>& pts, const Rot& R,
                     const V3& W) {
    pose(cage, pts, R, W, [&](int i) { return fromArr(pts[std::size_t(i)]->restPos); });
}

// World position of a cage-local point.
inline V3 toWorld(const CageInstance* cage, const V3& local) {
    V3 out = fromArr(cage->worldAxes[3]);
    for (int i = 0; i < 3; ++i)
        out = add(out, mul(fromArr(cage->worldAxes[i]), local[i]));
    return out;
}
inline V3 toLocal(const CageInstance* cage, const V3& world) {
    const V3 d = sub(world, fromArr(cage->worldAxes[3]));
    return {dot(fromArr(cage->worldAxes[0]), d), dot(fromArr(cage->worldAxes[1]), d),
            dot(fromArr(cage->worldAxes[2]), d)};
}

// The triangle rule written with barycentric coordinates: the in-plane part
// follows the affine map r -> c, the height rides on the current normal
// (both normals from the same corner order).
inline V3 refTriangleMap(const V3 r[3], const V3 c[3], const V3& P) {
    const V3 nr = unit(cross(sub(r[1], r[0]), sub(r[2], r[0])));
    const V3 nc = unit(cross(sub(c[1], c[0]), sub(c[2], c[0])));
    const double h = dot(sub(P, r[0]), nr);
    const V3 q = sub(P, mul(nr, h));
    const V3 e1 = sub(r[1], r[0]), e2 = sub(r[2], r[0]), qq = sub(q, r[0]);
    const double d11 = dot(e1, e1), d12 = dot(e1, e2), d22 = dot(e2, e2);
    const double q1 = dot(qq, e1), q2 = dot(qq, e2);
    const double den = d11 * d22 - d12 * d12;
    const double b1 = (q1 * d22 - q2 * d12) / den;
    const double b2 = (q2 * d11 - q1 * d12) / den;
    const double b0 = 1.0 - b1 - b2;
    return add(add(add(mul(c[0], b0), mul(c[1], b1)), mul(c[2], b2)), mul(nc, h));
}

inline double segDist(const V3& p, const V3& a, const V3& b) {
    const V3 ab = sub(b, a);
    double t = dot(sub(p, a), ab) / dot(ab, ab);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return norm(sub(p, add(a, mul(ab, t))));
}

inline double triDist(const V3& p, const V3& a, const V3& b, const V3& c) {
    const V3 n = unit(cross(sub(b, a), sub(c, a)));
    const double h = dot(sub(p, a), n);
    const V3 q = sub(p, mul(n, h));
    const double s0 = dot(cross(sub(b, a), sub(q, a)), n);
    const double s1 = dot(cross(sub(c, b), sub(q, b)), n);
    const double s2 = dot(cross(sub(a, c), sub(q, c)), n);
    if (s0 >= 0 && s1 >= 0 && s2 >= 0) return std::fabs(h);
    return std::fmin(segDist(p, a, b), std::fmin(segDist(p, b, c), segDist(p, c, a)));
}

} // namespace wt

#endif // MORVANE_TESTS_WEIGHTS_WEIGHTS_SUPPORT_H
