// Cages built by hand for the grid tests, independent reference geometry
// (ray crossings, point-triangle distance) and grid snapshots.
#ifndef MORVANE_TESTS_GRIDS_GRID_TEST_SUPPORT_H
#define MORVANE_TESTS_GRIDS_GRID_TEST_SUPPORT_H

#include "cage/cage_frames.h"
#include "cage/cage_model.h"
#include "cage_instance.h"
#include "geometry/element_grids.h"
#include "../support/test_cage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <vector>

namespace gridtest {

using V3 = std::array<double, 3>;

using testcage::TestCage;

// Adds points in order and gives the cage a matching pointArray.
inline std::vector<PointData*> addPoints(CageInstance* cage, const std::vector<V3>& pts) {
    std::vector<PointData*> out;
    for (const V3& v : pts)
        out.push_back(add1PointData(cage, v.data()));
    cage->pointArray = static_cast<PointData**>(std::calloc(pts.size() + 1, sizeof(PointData*)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        cage->pointArray[i] = out[i];
        if (out[i]) out[i]->index = unsigned(i);
    }
    return out;
}

// Cages of one element, with their rest data.
inline TrigonData* oneTrigon(CageInstance* cage, const V3& p0, const V3& p1, const V3& p2) {
    allocCageBlocks(cage, 3, 0, 1, 0);
    const std::vector<PointData*> p = addPoints(cage, {p0, p1, p2});
    TrigonData* t = add1TrigonData(cage, p[0], p[1], p[2]);
    rebuildCageRestData(cage);
    return t;
}
inline void oneQuad(CageInstance* cage, const V3& p0, const V3& p1, const V3& p2, const V3& p3) {
    allocCageBlocks(cage, 4, 0, 0, 1);
    const std::vector<PointData*> p = addPoints(cage, {p0, p1, p2, p3});
    add1PolygonData(cage, p[0], p[1], p[2], p[3]);
    rebuildCageRestData(cage);
}
inline void oneLinegon(CageInstance* cage, const V3& p0, const V3& p1) {
    allocCageBlocks(cage, 2, 1, 0, 0);
    const std::vector<PointData*> p = addPoints(cage, {p0, p1});
    add1LinegonData(cage, p[0], p[1]);
    rebuildCageRestData(cage);
}

using testvec::add;
using testvec::cross;
using testvec::dot;
using testvec::mul;
using testvec::sub;

inline V3 pos(const PointData* p) {
    return {p->restPos[0], p->restPos[1], p->restPos[2]};
}

// Every triangle of the cage in grid insertion order: trigons, then fans.
inline std::vector<TrigonData*> allTriangles(const CageInstance* cage) {
    std::vector<TrigonData*> out;
    for (TrigonData* t = cage->trigonList; t; t = t->next)
        out.push_back(t);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (int k = 0; k < 4; ++k)
            out.push_back(&poly->tri[k]);
    return out;
}

// A closed surface given as faces (3 or 4 point indices each) wound
// counter-clockwise seen from outside; under the triangle frame rule
// N = unit(X x unit(P1 - P0)) that winding makes N point into the cage.
struct Surface {
    std::vector<V3> points;
    std::vector<std::vector<int>> faces;
};

inline void buildCage(CageInstance* cage, const Surface& s) {
    int tris = 0, quads = 0;
    for (const auto& f : s.faces)
        (f.size() == 3 ? tris : quads)++;
    allocCageBlocks(cage, int(s.points.size()), 0, tris, quads);
    std::vector<PointData*> p = addPoints(cage, s.points);
    for (const auto& f : s.faces) {
        if (f.size() == 3)
            add1TrigonData(cage, p[f[0]], p[f[1]], p[f[2]]);
        else
            add1PolygonData(cage, p[f[0]], p[f[1]], p[f[2]], p[f[3]]);
    }
    createEdgeData(cage, 0);
    rebuildCageRestData(cage);
}

// Axis box; each face's corners counter-clockwise from outside.
inline Surface boxSurface(const V3& lo, const V3& hi) {
    Surface s;
    for (int i = 0; i < 8; ++i)
        s.points.push_back(
            {(i & 1) ? hi[0] : lo[0], (i & 2) ? hi[1] : lo[1], (i & 4) ? hi[2] : lo[2]});
    s.faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    return s;
}

// Rigid turn about the box centre (all three axes), so no face is level.
inline Surface tiltedBoxSurface(const V3& lo, const V3& hi, double a, double b, double c) {
    Surface s = boxSurface(lo, hi);
    const V3 centre = mul(add(lo, hi), 0.5);
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b),
                 cc = std::cos(c), sc = std::sin(c);
    for (V3& p : s.points) {
        V3 v = sub(p, centre);
        v = {v[0], ca * v[1] - sa * v[2], sa * v[1] + ca * v[2]};
        v = {cb * v[0] + sb * v[2], v[1], -sb * v[0] + cb * v[2]};
        v = {cc * v[0] - sc * v[1], sc * v[0] + cc * v[1], v[2]};
        p = add(v, centre);
    }
    return s;
}

// Octahedron |x-cx| + |y-cy| + |z-cz| <= r, eight trigons.
inline Surface octahedronSurface(const V3& c, double r) {
    Surface s;
    s.points = {add(c, {r, 0, 0}),  add(c, {-r, 0, 0}), add(c, {0, r, 0}),
                add(c, {0, -r, 0}), add(c, {0, 0, r}),  add(c, {0, 0, -r})};
    for (int sx = 0; sx < 2; ++sx)
        for (int sy = 0; sy < 2; ++sy)
            for (int sz = 0; sz < 2; ++sz) {
                const int a = sx, b = 2 + sy, c2 = 4 + sz;
                // (b - a) x (c - a) points outward when the sign product is +.
                const bool positive = ((sx + sy + sz) % 2) == 0;
                if (positive)
                    s.faces.push_back({a, b, c2});
                else
                    s.faces.push_back({a, c2, b});
            }
    return s;
}

// Union of unit voxels (scaled and moved), boundary faces as quads.
inline Surface voxelSurface(const std::vector<std::array<int, 3>>& voxels, const V3& origin,
                            double size) {
    auto filled = [&](int x, int y, int z) {
        for (const auto& v : voxels)
            if (v[0] == x && v[1] == y && v[2] == z) return true;
        return false;
    };
    Surface s;
    std::map<std::array<int, 3>, int> index;
    auto pointAt = [&](int x, int y, int z) {
        const std::array<int, 3> key = {x, y, z};
        auto it = index.find(key);
        if (it != index.end()) return it->second;
        const int i = int(s.points.size());
        s.points.push_back({origin[0] + x * size, origin[1] + y * size, origin[2] + z * size});
        index[key] = i;
        return i;
    };
    // Unit-cube corner offsets per face, counter-clockwise from outside;
    // same order as boxSurface.
    static const int faceCorners[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                          {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    static const int faceDir[6][3] = {{0, 0, -1}, {0, 0, 1},  {0, -1, 0},
                                      {0, 1, 0},  {-1, 0, 0}, {1, 0, 0}};
    for (const auto& v : voxels)
        for (int f = 0; f < 6; ++f) {
            if (filled(v[0] + faceDir[f][0], v[1] + faceDir[f][1], v[2] + faceDir[f][2])) continue;
            std::vector<int> face;
            for (int k = 0; k < 4; ++k) {
                const int c = faceCorners[f][k];
                face.push_back(
                    pointAt(v[0] + (c & 1), v[1] + ((c >> 1) & 1), v[2] + ((c >> 2) & 1)));
            }
            s.faces.push_back(face);
        }
    return s;
}

// Closest point on triangle abc to p (Voronoi regions); returns the distance.
inline double pointTriangleDistance(const V3& p, const V3& a, const V3& b, const V3& c) {
    const V3 ab = sub(b, a), ac = sub(c, a), ap = sub(p, a);
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    V3 q;
    if (d1 <= 0 && d2 <= 0) {
        q = a;
    } else {
        const V3 bp = sub(p, b);
        const double d3 = dot(ab, bp), d4 = dot(ac, bp);
        const V3 cp = sub(p, c);
        const double d5 = dot(ab, cp), d6 = dot(ac, cp);
        const double vc = d1 * d4 - d3 * d2, vb = d5 * d2 - d1 * d6, va = d3 * d6 - d5 * d4;
        if (d3 >= 0 && d4 <= d3) {
            q = b;
        } else if (vc <= 0 && d1 >= 0 && d3 <= 0) {
            q = add(a, mul(ab, d1 / (d1 - d3)));
        } else if (d6 >= 0 && d5 <= d6) {
            q = c;
        } else if (vb <= 0 && d2 >= 0 && d6 <= 0) {
            q = add(a, mul(ac, d2 / (d2 - d6)));
        } else if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
            q = add(b, mul(sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6))));
        } else {
            const double den = 1.0 / (va + vb + vc);
            q = add(a, add(mul(ab, vb * den), mul(ac, vc * den)));
        }
    }
    const V3 d = sub(p, q);
    return std::sqrt(dot(d, d));
}

inline double distanceToSurface(const CageInstance* cage, const V3& p) {
    double best = 1e300;
    for (const TrigonData* t : allTriangles(cage))
        best = std::min(best,
                        pointTriangleDistance(p, pos(t->pnt[0]), pos(t->pnt[1]), pos(t->pnt[2])));
    return best;
}

// Inside by parity of crossings along a fixed oblique ray (Moller-Trumbore),
// independent of the grid and of the triangle normals.
inline bool insideByRayCrossings(const CageInstance* cage, const V3& p) {
    const V3 dir = {0.3127, 0.5413, 0.7807};
    int crossings = 0;
    for (const TrigonData* t : allTriangles(cage)) {
        const V3 a = pos(t->pnt[0]), b = pos(t->pnt[1]), c = pos(t->pnt[2]);
        const V3 e1 = sub(b, a), e2 = sub(c, a);
        const V3 h = cross(dir, e2);
        const double det = dot(e1, h);
        if (std::fabs(det) < 1e-14) continue;
        const double inv = 1.0 / det;
        const V3 s = sub(p, a);
        const double u = dot(s, h) * inv;
        if (u < 0.0 || u > 1.0) continue;
        const V3 q = cross(s, e1);
        const double v = dot(dir, q) * inv;
        if (v < 0.0 || u + v > 1.0) continue;
        if (dot(e2, q) * inv > 0.0) ++crossings;
    }
    return (crossings % 2) == 1;
}

// Expected membership of one box in one cell along one axis, with the ends
// clamped: 1 listed, 0 not, -1 too close to a boundary to call.
inline int axisCovers(double bmin, double bmax, double origin, double s, int i, int n) {
    const double cellLo = origin + i * s, cellHi = origin + (i + 1) * s;
    const double eps = 1e-9 * s;
    const bool first = i == 0, last = i == n - 1;
    if ((last || bmin < cellHi - eps) && (first || bmax >= cellLo + eps)) return 1;
    if ((!last && bmin >= cellHi + eps) || (!first && bmax < cellLo - eps)) return 0;
    return -1;
}

// Elements of every cell, in list order, cell by cell.
inline const void* elementOf(const TrisNode* n) {
    return n->tri;
}
inline const void* elementOf(const LineNode* n) {
    return n->lin;
}

// Every element listed in a cell lies within the cell's box, which is no
// larger than the elements' boxes ask for (plus the slack of a collapsed
// linegon), and within the grid's largest reach out of the cell.
inline void elementBox(const TrisNode* n, V3* lo, V3* hi) {
    for (int a = 0; a < 3; ++a) {
        (*lo)[a] = n->tri->restBoxMin[a];
        (*hi)[a] = n->tri->restBoxMax[a];
    }
}
inline void elementBox(const LineNode* n, V3* lo, V3* hi) {
    for (int a = 0; a < 3; ++a) {
        (*lo)[a] = std::min(n->lin->pos[0][a], n->lin->pos[1][a]);
        (*hi)[a] = std::max(n->lin->pos[0][a], n->lin->pos[1][a]);
    }
}
template <class Grid> void expectCellBoxesCoverTheirElements(const Grid* g) {
    ASSERT_NE(g->cellBounds, nullptr);
    const double s = g->cellSize;
    for (int z = 0; z < g->gridDims[2]; ++z)
        for (int y = 0; y < g->gridDims[1]; ++y)
            for (int x = 0; x < g->gridDims[0]; ++x) {
                const float* box =
                    g->cellBounds + 6 * (x + y * g->strideY + std::size_t(z) * g->strideZ);
                V3 lo = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
                for (auto* n = cellList(g, x, y, z); n; n = n->next) {
                    V3 l, h;
                    elementBox(n, &l, &h);
                    for (int a = 0; a < 3; ++a) {
                        lo[a] = std::min(lo[a], l[a]);
                        hi[a] = std::max(hi[a], h[a]);
                    }
                }
                const int idx[3] = {x, y, z};
                for (int a = 0; a < 3; ++a) {
                    if (!(lo[a] <= hi[a])) {
                        EXPECT_GT(box[a], box[3 + a]) << "an empty cell has an empty box";
                        continue;
                    }
                    EXPECT_LE(box[a], lo[a]);
                    EXPECT_GE(box[3 + a], hi[a]);
                    EXPECT_GE(box[a], lo[a] - 1e-5 - 1e-6 * s);
                    EXPECT_LE(box[3 + a], hi[a] + 1e-5 + 1e-6 * s);
                    const double c0 = g->gridOrigin[a] + idx[a] * s;
                    EXPECT_LE(c0 - box[a], g->maxReach);
                    EXPECT_LE(box[3 + a] - (c0 + s), g->maxReach);
                }
            }
}

template <class Grid> std::vector<std::vector<const void*>> snapshot3D(const Grid* g) {
    std::vector<std::vector<const void*>> out;
    if (!g || !g->cellLists) return out;
    for (int z = 0; z < g->gridDims[2]; ++z)
        for (int y = 0; y < g->gridDims[1]; ++y)
            for (int x = 0; x < g->gridDims[0]; ++x) {
                std::vector<const void*> cell;
                for (auto* n = cellList(g, x, y, z); n; n = n->next)
                    cell.push_back(elementOf(n));
                out.push_back(cell);
            }
    return out;
}

inline std::vector<std::vector<const void*>> snapshot2D(const TrisMat2D* g) {
    std::vector<std::vector<const void*>> out;
    if (!g || !g->cellLists) return out;
    for (int y = 0; y < g->gridDims[1]; ++y)
        for (int x = 0; x < g->gridDims[0]; ++x) {
            std::vector<const void*> cell;
            for (const TrisNode* n = cellList(g, x, y); n; n = n->next)
                cell.push_back(n->tri);
            out.push_back(cell);
        }
    return out;
}

// Fails the grid allocations one at a time, the n-th in the n-th build,
// until a build gets through: failed(n) runs after each build that failed,
// built() after the one that did. Returns that build's n (0 when none of
// the first 40 got through).
template <class Build, class Failed, class Built>
int firstBuildPastFailures(Build build, Failed failed, Built built) {
    for (int n = 1; n <= 40; ++n) {
        failGridAllocationAt(n);
        const int ok = build();
        failGridAllocationAt(0);
        if (ok) {
            built();
            return n;
        }
        failed(n);
    }
    return 0;
}

// What a grid holds once a build failed.
template <class Grid> void expectNoCells(const Grid* g) {
    EXPECT_EQ(g->cellLists, nullptr);
    EXPECT_EQ(g->chunks, nullptr);
    EXPECT_EQ(g->gridDims[0], 0);
}

template <class Chunk> int chunkCount(const Chunk* c) {
    int n = 0;
    for (; c; c = c->next)
        ++n;
    return n;
}

} // namespace gridtest

#endif
