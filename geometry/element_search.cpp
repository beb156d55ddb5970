// Nearest-element tests and grid searches. See element_search.h.
#include "geometry/element_search.h"

#include "geometry/mark_lane.h"

#include "geometry/location_memo.h"

#include "geometry/element_grids.h"
#include "geometry/inlining.h"
#include "geometry/vector.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

// --- acceptance ---------------------------------------------------------------

// The best of each kind in the shared state.
inline LinegonData*& bestOf(NearestElement* near, const LinegonData*) {
    return near->linegon;
}
inline TrigonData*& bestOf(NearestElement* near, const TrigonData*) {
    return near->trigon;
}

template <class Elem>
void acceptNear(Elem* elem, double delta, double over, int flag, NearestElement* near) {
    // Written so that a NaN distance is rejected too.
    if (!(delta < near->dist)) return;
    if (near->dist - delta < kNearTieWindow && over > near->over) return;
    bestOf(near, elem) = elem;
    near->dist = delta + kNearDistanceMargin;
    near->over = over;
    near->border = static_cast<unsigned char>(flag);
}

// --- a search's distance limit -------------------------------------------------

// How close below the limit a distance may come before passing over what
// lies beyond could change a tie (the tie window less the margin, and some
// rounding).
constexpr double kLimitWatch = kNearTieWindow - kNearDistanceMargin + 1e-6;

// Room above a first guess's distance: every element that could tie with
// the guess lies below its limit, and the watched stretch under the limit
// lies well clear of them.
constexpr double kGuessRoom = 1e-5;

// A first guess's distance as a limit for one walk, from its start: elements
// at or beyond it are passed over. That leaves the walk's answer as it is
// when its state first drops below the limit through an element well below
// it (the elements passed over can no longer be accepted then, and before
// that they could not refuse it), as long as the state starts well above
// the limit (a state just above it could refuse what one passed over would
// not). The guess itself lies well below the limit, so the state always
// drops below it in the end. An element just under the limit could be
// taken otherwise, or raise the state back over the limit: when one is
// met, the walk says so and is done again without a limit. When the growth
// ends at elements beyond the limit alone, the growth is done again without
// it (walkGrid).
struct SearchLimit {
    double limit = HUGE_VAL; // distances at or beyond are passed over
    bool broken = false;

    void see(double delta) {
        if (delta >= limit - kLimitWatch) broken = true;
    }
};

// --- linegon ------------------------------------------------------------------

struct LineFrame {
    const double* a;
    const double* axis1;
    const double* axis2;
    const double* dir;
    double length;
};

int nearLine(LinegonData* lin, const LineFrame& f, const double pt[3], NearestElement* near) {
    double d[3];
    sub3D(pt, f.a, d);
    const double l1 = dot3D(f.axis1, d), l2 = dot3D(f.axis2, d), l3 = dot3D(f.dir, d);
    double delta, over;
    int flag;
    if (l3 <= 0.0) {
        delta = std::sqrt(l1 * l1 + l2 * l2 + l3 * l3);
        over = -l3;
        flag = lin->pnt[0]->linegonCount < 2;
    } else if (l3 >= f.length) {
        const double past = l3 - f.length;
        delta = std::sqrt(l1 * l1 + l2 * l2 + past * past);
        over = past;
        flag = lin->pnt[1]->linegonCount < 2;
    } else {
        delta = std::sqrt(l1 * l1 + l2 * l2);
        over = 0.0;
        flag = 0;
    }
    acceptNear(lin, delta, over, flag, near);
    return flag;
}

// The linegon's frame in one shape.
LineFrame lineFrame(const LinegonData* lin, CageShape shape) {
    if (shape == kBaseShape)
        return {lin->pnt[0]->basePos, lin->restAxis1_t0, lin->restAxis2_t0, lin->restDir_t0,
                lin->restLength_t0};
    return {lin->pnt[0]->restPos, lin->restAxis1, lin->restAxis2, lin->restDir, lin->restLength};
}

// --- triangle -----------------------------------------------------------------

// Where a test reads one triangle's data in one shape: its frame, its
// corners' positions and (rest shape only) its bounding ball. Corner k is
// V(k) in the frame's 2D coordinates; edge k runs V(k) -> V(k+1).
template <CageShape kShape> struct On {
    static const TrigonFrame& frame(const TrigonData* t) {
        return kShape == kBaseShape ? t->base : t->rest;
    }
    static const double* pos(const TrigonData* t, int k) {
        return kShape == kBaseShape ? t->pnt[k]->basePos : t->pnt[k]->restPos;
    }
    static const double* sphere(const TrigonData* t) {
        return kShape == kBaseShape ? nullptr : t->restSphere;
    }
    static constexpr bool kBalls = kShape != kBaseShape;
};

double cornerX(const TrigonFrame& f, int k) {
    return k == 0 ? 0.0 : k == 1 ? f.p1x : f.p2x;
}
double cornerY(const TrigonFrame& f, int k) {
    return k == 0 ? 0.0 : k == 1 ? f.p1y : f.p2y;
}
const double* edgeDir(const TrigonFrame& f, int k) {
    return k == 0 ? f.d01 : k == 1 ? f.d12 : f.d20;
}
const double* edgeNormal(const TrigonFrame& f, int k) {
    return k == 0 ? f.norm01 : k == 1 ? f.norm12 : f.norm20;
}
double edgeLength(const TrigonFrame& f, int k) {
    return k == 0 ? f.len01 : k == 1 ? f.len12 : f.len20;
}

enum TriRegion { kInside, kEdge0, kEdge1, kEdge2, kCorner0, kCorner1, kCorner2 };

struct EdgeSide {
    bool out[3];
    double s[3];
    double t[3];
    double len[3];
};

MORVANE_ALWAYS_INLINE TriRegion edge2Rules(const EdgeSide& e, bool fromEdge1Ends) {
    if (!e.out[2]) return kInside;
    if (e.t[2] > e.len[2]) return (!e.out[0] || e.t[0] < 0.0) ? kCorner0 : kInside;
    if (e.t[2] >= 0.0) return kEdge2;
    return fromEdge1Ends ? kInside : kCorner2;
}

MORVANE_ALWAYS_INLINE TriRegion edge1Rules(const EdgeSide& e) {
    if (!e.out[1]) return edge2Rules(e, false);
    if (e.t[1] > e.len[1]) return (e.out[2] && e.t[2] >= 0.0) ? edge2Rules(e, true) : kCorner2;
    if (e.t[1] >= 0.0) return kEdge1;
    return e.out[0] ? edge2Rules(e, true) : kCorner1;
}

inline TriRegion classify(const EdgeSide& e) {
    if (!e.out[0]) return edge1Rules(e);
    if (e.t[0] > e.len[0]) return (e.out[1] && e.t[1] >= 0.0) ? edge1Rules(e) : kCorner1;
    if (e.t[0] >= 0.0) return kEdge0;
    return e.out[2] ? edge1Rules(e) : kCorner0;
}

int edgeBorderFlag(const TrigonData* tri, int k) {
    return !tri->edge[k] || !tri->edge[k]->trigonB;
}

int regionFlag(const TrigonData* tri, TriRegion region) {
    switch (region) {
    case kEdge0:
    case kEdge1:
    case kEdge2:
        return edgeBorderFlag(tri, region - kEdge0);
    case kCorner0:
    case kCorner1:
    case kCorner2:
        return tri->pnt[region - kCorner0]->onBorder;
    case kInside:
        break;
    }
    return 0;
}

// Distance from p to segment a-b and the unclamped position along it.
double segmentDistance(const double p[3], const double a[3], const double b[3], double* t) {
    double ab[3], ap[3];
    sub3D(b, a, ab);
    sub3D(p, a, ap);
    const double ll = dot3D(ab, ab);
    // A collapsed side is its end point.
    *t = ll > kGeomEpsilon * kGeomEpsilon ? dot3D(ap, ab) / ll : 0.0;
    const double c = *t < 0.0 ? 0.0 : (*t > 1.0 ? 1.0 : *t);
    double q[3];
    scale3D(ab, c, q);
    add3D(a, q, q);
    return dist3D(p, q);
}

// A zero-area triangle has no frame; measure to its sides instead, so it
// never reads as distance 0 from everywhere.
template <class Shape>
int nearFlatTrigon(TrigonData* tri, const double pt[3], NearestElement* near,
                   SearchLimit* limit = nullptr) {
    double delta = 0.0, t = 0.0;
    int side = -1;
    for (int k = 0; k < 3; ++k) {
        double tk;
        const double dk =
            segmentDistance(pt, Shape::pos(tri, k), Shape::pos(tri, (k + 1) % 3), &tk);
        if (side < 0 || dk < delta) {
            delta = dk;
            t = tk;
            side = k;
        }
    }
    int flag;
    if (t <= 0.0)
        flag = tri->pnt[side]->onBorder;
    else if (t >= 1.0)
        flag = tri->pnt[(side + 1) % 3]->onBorder;
    else
        flag = edgeBorderFlag(tri, side);
    if (limit) {
        if (!(delta < limit->limit)) return flag;
        limit->see(delta);
    }
    acceptNear(tri, delta, delta, flag, near);
    return flag;
}

// Whether a squared distance is surely no nearer than the best distance:
// then the element would be rejected, and the rest of its test is skipped.
// The slack covers the rounding of the square.
bool surelyFarther(double dist2, double bestDist) {
    return dist2 > bestDist * bestDist * (1.0 + 1e-12);
}

// Where pt lies against a framed triangle: its height over the plane, its
// 2D position and the region of the plane it falls in, with the in-plane
// distance to that region's part of the triangle (0 inside).
struct TrigonPlace {
    double h;
    double q[2];
    TriRegion region;
    double planar;
};

inline void placeOnTrigon(const TrigonFrame& f, const double d[3], double h, TrigonPlace* p) {
    p->h = h;
    p->q[0] = dot3D(f.X, d);
    p->q[1] = dot3D(f.Y, d);
    EdgeSide e;
    for (int k = 0; k < 3; ++k) {
        const double r[2] = {p->q[0] - cornerX(f, k), p->q[1] - cornerY(f, k)};
        e.s[k] = dot2D(edgeNormal(f, k), r);
        e.t[k] = dot2D(edgeDir(f, k), r);
        e.out[k] = e.s[k] > 0.0;
        e.len[k] = edgeLength(f, k);
    }
    p->region = classify(e);
    p->planar = 0.0;
    if (p->region >= kEdge0 && p->region <= kEdge2) {
        p->planar = std::fabs(e.s[p->region - kEdge0]);
    } else if (p->region >= kCorner0) {
        const int k = p->region - kCorner0;
        const double r[2] = {p->q[0] - cornerX(f, k), p->q[1] - cornerY(f, k)};
        p->planar = len2D(r);
    }
}

// The trigon test. With kFlag false the element's own flag is worked out
// only when it is accepted (it is then the border flag) and 0 is returned
// otherwise: the searches need no more, and the flag of an edge costs a
// look at its neighbour.
// Nothing at or beyond this distance can be accepted or is wanted.
inline double farthestWanted(const NearestElement* near, const SearchLimit* limit) {
    return limit && limit->limit < near->dist ? limit->limit : near->dist;
}

// Whether pt lies farther than `far` from a ball (centre, radius).
inline bool beyondBallAt(const double ball[4], const double pt[3], double far) {
    const double d[3] = {pt[0] - ball[0], pt[1] - ball[1], pt[2] - ball[2]};
    const double reach = far + ball[3];
    return d[0] * d[0] + d[1] * d[1] + d[2] * d[2] > reach * reach * (1.0 + 1e-12);
}

// Whether pt lies farther than `far` from the triangle's ball (a shape
// without balls never does).
template <class Shape>
inline bool beyondBall(const TrigonData* tri, const double pt[3], double far) {
    const double* ball = Shape::sphere(tri);
    return ball && beyondBallAt(ball, pt, far);
}

// The trigon test's rest, from pt's offset d from corner 0 and its height
// h over the plane. One copy, so that the walks' loops stay small.
template <class Shape, bool kFlag>
MORVANE_NOINLINE int nearTrigonOverPlane(TrigonData* tri, const double d[3], double h,
                                         NearestElement* near, SearchLimit* limit, double far) {
    TrigonPlace place;
    placeOnTrigon(Shape::frame(tri), d, h, &place);
    const double planar = place.planar;
    const double dist2 = planar * planar + h * h;
    if (!kFlag && surelyFarther(dist2, far)) return 0;
    const double delta = std::sqrt(dist2);
    if (limit) {
        if (!(delta < limit->limit)) return 0;
        limit->see(delta);
    }
    // The acceptance rule, written so that a NaN distance is rejected too.
    const bool accepted =
        delta < near->dist && !(near->dist - delta < kNearTieWindow && planar > near->over);
    if (!kFlag && !accepted) return 0;
    const int flag = regionFlag(tri, place.region);
    if (accepted) {
        near->trigon = tri;
        near->dist = delta + kNearDistanceMargin;
        near->over = planar;
        near->border = static_cast<unsigned char>(flag);
    }
    return flag;
}

// The trigon test past its ball test (kFlag false) or without one; far is
// farthestWanted(near, limit). The height over the plane alone turns most
// triangles away, inline.
template <class Shape, bool kFlag>
MORVANE_ALWAYS_INLINE int nearTrigonPastBall(TrigonData* tri, const double pt[3],
                                             NearestElement* near, SearchLimit* limit, double far) {
    // Frames are unit or, for a degenerate triangle, zero.
    const TrigonFrame& f = Shape::frame(tri);
    if (dot3D(f.N, f.N) < 0.5) return nearFlatTrigon<Shape>(tri, pt, near, limit);

    double d[3];
    sub3D(pt, Shape::pos(tri, 0), d);
    const double h = dot3D(f.N, d);
    if (!kFlag && surelyFarther(h * h, far)) return 0;
    return nearTrigonOverPlane<Shape, kFlag>(tri, d, h, near, limit, far);
}

template <class Shape, bool kFlag>
int nearTrigon(TrigonData* tri, const double pt[3], NearestElement* near,
               SearchLimit* limit = nullptr) {
    const double far = farthestWanted(near, limit);
    // A point farther from the triangle's ball than that.
    if (!kFlag && beyondBall<Shape>(tri, pt, far)) return 0;
    return nearTrigonPastBall<Shape, kFlag>(tri, pt, near, limit, far);
}

// A triangle's distance and overshoot from pt, as the trigon test measures
// them; false for a triangle without a frame.
template <class Shape>
MORVANE_ALWAYS_INLINE bool measureTrigon(const TrigonData* tri, const double pt[3], double* delta,
                                         double* planar, const PointData** corner = nullptr) {
    const TrigonFrame& f = Shape::frame(tri);
    if (dot3D(f.N, f.N) < 0.5) return false;
    double d[3];
    sub3D(pt, Shape::pos(tri, 0), d);
    TrigonPlace place;
    placeOnTrigon(f, d, dot3D(f.N, d), &place);
    if (corner) *corner = place.region >= kCorner0 ? tri->pnt[place.region - kCorner0] : nullptr;
    *delta = std::sqrt(place.planar * place.planar + place.h * place.h);
    *planar = place.planar;
    return true;
}

// The distance alone, triangles without a frame included, and the corner
// it is measured to (null when it is not one of the three points).
template <class Shape>
double trigonDistance(const TrigonData* tri, const double pt[3],
                      const PointData** corner = nullptr) {
    double delta, planar;
    if (measureTrigon<Shape>(tri, pt, &delta, &planar, corner)) return delta;
    if (corner) *corner = nullptr;
    delta = HUGE_VAL;
    for (int k = 0; k < 3; ++k) {
        double t;
        delta = std::fmin(
            delta, segmentDistance(pt, Shape::pos(tri, k), Shape::pos(tri, (k + 1) % 3), &t));
    }
    return delta;
}

bool hasCorners(const TrigonData* tri) {
    return tri && tri->pnt[0] && tri->pnt[1] && tri->pnt[2];
}

// --- grid walk ----------------------------------------------------------------

// How the searches test an element. The triangle tests skip what cannot
// be accepted (or lies beyond the walk's limit) as early as they can tell:
// most triangles a walk meets lie beyond their ball's reach, which the
// walk tells from its cell's run before it reads the triangle.
template <class Shape> struct AnyTrigon {
    using Elem = TrigonData;
    static constexpr bool kBalls = Shape::kBalls;
    static void test(TrigonData* t, const double pt[3], NearestElement* near, SearchLimit* limit,
                     double far) {
        nearTrigonPastBall<Shape, false>(t, pt, near, limit, far);
    }
};

// Linegon walks take no first guess, so their limit never applies.
template <CageShape kShape> struct AnyLinegon {
    using Elem = LinegonData;
    static void test(LinegonData* l, const double pt[3], NearestElement* near, SearchLimit*) {
        testNearLine(l, pt, near, kShape);
    }
};

template <class Elem> struct GridOf;
template <> struct GridOf<TrigonData> {
    using Grid = TrisMat3D;
    using Node = TrisNode;
    static TrigonData* elementOf(const TrisNode* n) { return n->tri; }
    static unsigned char* marksOf(const LaneMarks& m) { return m.trigonSearch; }
};
template <> struct GridOf<LinegonData> {
    using Grid = LineMat3D;
    using Node = LineNode;
    static LinegonData* elementOf(const LineNode* n) { return n->lin; }
    static unsigned char* marksOf(const LaneMarks& m) { return m.linegonSearch; }
};

struct CellBox {
    int lo[3];
    int hi[3];
};

// The stamp of a new walk in the lane: no element's mark holds it yet.
template <class Grid> unsigned char nextWalkStamp(Grid* g, int lane, unsigned char* marks) {
    unsigned char& stamp = g->walkStamp[lane].value;
    if (++stamp == 0) {
        std::memset(marks, 0, g->markCount);
        stamp = 1;
    }
    return stamp;
}

template <class Method> class GridWalk {
  public:
    using Elem = typename Method::Elem;
    using Grid = typename GridOf<Elem>::Grid;
    using Node = typename GridOf<Elem>::Node;
    static constexpr bool kTrigons = std::is_same<Elem, TrigonData>::value;

    GridWalk(Grid* grid, unsigned char* marks, unsigned char stamp, const double* pt,
             NearestElement* near, SearchLimit* limit)
        : grid_(grid), marks_(marks), stamp_(stamp), pt_(pt), near_(near), limit_(limit) {}

    // Cells x0..x1, y0..y1, z0..z1, z outermost; empty ranges test nothing.
    // A cell is passed over only when all it holds lies out of reach: every
    // element listed in it lies within the cell's box, so each of its
    // elements would be refused (or passed over by the limit) where the cell
    // stands in the order, and again wherever it comes up later. Rows and
    // layers are passed over with the grid's largest reach out of a cell.
    // One copy, however many parts of the walk call it (geometry/inlining.h).
    MORVANE_NOINLINE void testCells(int x0, int x1, int y0, int y1, int z0, int z1) const {
        const double wide = grid_->maxReach;
        const double p[3] = {pt_[0], pt_[1], pt_[2]};
        const float* bounds = grid_->cellBounds;
        const std::size_t strideY = grid_->strideY, strideZ = grid_->strideZ;
        // The reach only changes when an element is tested.
        double reach2 = tooFarBound();
        for (int z = z0; z <= z1; ++z) {
            const double gz = gap(2, z), lz = shrink(gz, wide);
            if (lz * lz > reach2) continue;
            for (int y = y0; y <= y1; ++y) {
                const double gy = gap(1, y), ly = shrink(gy, wide);
                if (lz * lz + ly * ly > reach2) continue;
                const std::size_t row = std::size_t(y) * strideY + std::size_t(z) * strideZ;
                for (int x = x0; x <= x1; ++x) {
                    const std::size_t cell = row + std::size_t(x);
                    if (emptyCell(cell)) continue;
                    const float* box = bounds + 6 * cell;
                    double g2 = 0.0;
                    for (int a = 0; a < 3; ++a) {
                        const double below = double(box[a]) - p[a];
                        const double above = p[a] - double(box[3 + a]);
                        const double g = below > above ? below : above;
                        if (g > 0.0) g2 += g * g;
                    }
                    if (g2 > reach2) continue;
                    testCell(cell);
                    reach2 = tooFarBound();
                }
            }
        }
    }

    // testCells, without a call for an empty range.
    void testRange(int x0, int x1, int y0, int y1, int z0, int z1) const {
        if (x0 <= x1 && y0 <= y1 && z0 <= z1) testCells(x0, x1, y0, y1, z0, z1);
    }

    void testBox(const CellBox& b) const {
        testCells(b.lo[0], b.hi[0], b.lo[1], b.hi[1], b.lo[2], b.hi[2]);
    }

    // Whether any cell of box b lists an element.
    bool listsAny(const CellBox& b) const {
        for (int z = b.lo[2]; z <= b.hi[2]; ++z)
            for (int y = b.lo[1]; y <= b.hi[1]; ++y) {
                const std::size_t row =
                    std::size_t(y) * grid_->strideY + std::size_t(z) * grid_->strideZ;
                for (int x = b.lo[0]; x <= b.hi[0]; ++x)
                    if (!emptyCell(row + std::size_t(x))) return true;
            }
        return false;
    }

    // The same walk's marks, another limit.
    GridWalk under(SearchLimit* limit) const {
        return GridWalk(grid_, marks_, stamp_, pt_, near_, limit);
    }

    // Whether the best distance's ball around pt lies inside box s (a side
    // at the grid's border counts as open): no element outside s can then
    // be accepted.
    bool ballInside(const CellBox& s) const {
        const double r = near_->dist;
        for (int a = 0; a < 3; ++a) {
            if (s.lo[a] > 0 && pt_[a] - r < grid_->gridOrigin[a] + s.lo[a] * grid_->cellSize)
                return false;
            if (s.hi[a] < grid_->gridDims[a] - 1 &&
                pt_[a] + r > grid_->gridOrigin[a] + (s.hi[a] + 1) * grid_->cellSize)
                return false;
        }
        return true;
    }

    // One ring of new cells around box s; false once s covers the grid.
    bool grow(CellBox* s) const {
        CellBox n;
        bool grew = false;
        for (int a = 0; a < 3; ++a) {
            n.lo[a] = s->lo[a] > 0 ? s->lo[a] - 1 : 0;
            n.hi[a] = s->hi[a] < grid_->gridDims[a] - 1 ? s->hi[a] + 1 : s->hi[a];
            grew = grew || n.lo[a] != s->lo[a] || n.hi[a] != s->hi[a];
        }
        if (!grew) return false;
        testRange(n.lo[0], n.hi[0], n.lo[1], n.hi[1], n.lo[2], s->lo[2] - 1);
        testRange(n.lo[0], n.hi[0], n.lo[1], n.hi[1], s->hi[2] + 1, n.hi[2]);
        testRange(n.lo[0], n.hi[0], n.lo[1], s->lo[1] - 1, s->lo[2], s->hi[2]);
        testRange(n.lo[0], n.hi[0], s->hi[1] + 1, n.hi[1], s->lo[2], s->hi[2]);
        testRange(n.lo[0], s->lo[0] - 1, s->lo[1], s->hi[1], s->lo[2], s->hi[2]);
        testRange(s->hi[0] + 1, n.hi[0], s->lo[1], s->hi[1], s->lo[2], s->hi[2]);
        *s = n;
        return true;
    }

    // The cells of box f that lie outside the searched box s.
    void testOutside(const CellBox& f, const CellBox& s) const {
        int mid[3][2];
        for (int a = 0; a < 3; ++a) {
            mid[a][0] = f.lo[a] > s.lo[a] ? f.lo[a] : s.lo[a];
            mid[a][1] = f.hi[a] < s.hi[a] ? f.hi[a] : s.hi[a];
        }
        const int zBelowEnd = s.lo[2] - 1 < f.hi[2] ? s.lo[2] - 1 : f.hi[2];
        const int zAboveStart = s.hi[2] + 1 > f.lo[2] ? s.hi[2] + 1 : f.lo[2];
        testRange(f.lo[0], f.hi[0], f.lo[1], f.hi[1], f.lo[2], zBelowEnd);
        testRange(f.lo[0], f.hi[0], f.lo[1], f.hi[1], zAboveStart, f.hi[2]);

        const int yBeforeEnd = s.lo[1] - 1 < f.hi[1] ? s.lo[1] - 1 : f.hi[1];
        const int yAfterStart = s.hi[1] + 1 > f.lo[1] ? s.hi[1] + 1 : f.lo[1];
        testRange(f.lo[0], f.hi[0], f.lo[1], yBeforeEnd, mid[2][0], mid[2][1]);
        testRange(f.lo[0], f.hi[0], yAfterStart, f.hi[1], mid[2][0], mid[2][1]);

        const int xBeforeEnd = s.lo[0] - 1 < f.hi[0] ? s.lo[0] - 1 : f.hi[0];
        const int xAfterStart = s.hi[0] + 1 > f.lo[0] ? s.hi[0] + 1 : f.lo[0];
        testRange(f.lo[0], xBeforeEnd, mid[1][0], mid[1][1], mid[2][0], mid[2][1]);
        testRange(xAfterStart, f.hi[0], mid[1][0], mid[1][1], mid[2][0], mid[2][1]);
    }

  private:
    // Distance from pt to cell i along axis a; the border cells reach out
    // to infinity, as points beyond the grid fall into them.
    double gap(int a, int i) const {
        const double lo = grid_->gridOrigin[a] + double(i) * grid_->cellSize;
        const double below = i > 0 ? lo - pt_[a] : 0.0;
        const double above = i < grid_->gridDims[a] - 1 ? pt_[a] - (lo + grid_->cellSize) : 0.0;
        return below > 0.0 ? below : (above > 0.0 ? above : 0.0);
    }
    static double shrink(double g, double reach) { return g > reach ? g - reach : 0.0; }

    // A squared gap beyond this is too far: nothing there can be accepted.
    // A hair of slack keeps rounding from ever passing over a cell that
    // holds an element nearer than the best.
    double tooFarBound() const {
        const double d = limit_->limit < near_->dist ? limit_->limit : near_->dist;
        const double r = d * (1.0 + 1e-9);
        return r * r;
    }

    bool emptyCell(std::size_t cell) const {
        if constexpr (kTrigons)
            return grid_->cellStart[cell] == grid_->cellStart[cell + 1];
        else
            return !grid_->cellLists[cell];
    }

    // Each element once a walk, however many cells list it. A triangle's
    // entry in the cell's run holds its mark's index and its ball, so one
    // beyond its ball's reach is passed over without reading the triangle.
    void testCell(std::size_t cell) const {
        if constexpr (kTrigons) {
            // Held in locals: the marks' stores could otherwise touch any of
            // them, and each would be read again at every entry. Only a
            // test changes the distance wanted.
            unsigned char* const marks = marks_;
            const unsigned char stamp = stamp_;
            const double p[3] = {pt_[0], pt_[1], pt_[2]};
            double far = farthestWanted(near_, limit_);
            const TrisEntry* end = grid_->packed + grid_->cellStart[cell + 1];
            for (const TrisEntry* e = grid_->packed + grid_->cellStart[cell]; e != end; ++e) {
                unsigned char& mark = marks[e->place];
                if (mark == stamp) continue;
                mark = stamp;
                if (Method::kBalls && beyondBallAt(e->ball, p, far)) continue;
                Method::test(e->tri, pt_, near_, limit_, far);
                far = farthestWanted(near_, limit_);
            }
        } else {
            for (const Node* n = grid_->cellLists[cell]; n; n = n->next) {
                Elem* e = GridOf<Elem>::elementOf(n);
                if (firstTime(e->place)) Method::test(e, pt_, near_, limit_);
            }
        }
    }

    bool firstTime(unsigned int place) const {
        if (marks_[place] == stamp_) return false;
        marks_[place] = stamp_;
        return true;
    }

    Grid* grid_;
    unsigned char* marks_; // the lane's search marks of this kind
    unsigned char stamp_;  // this walk's
    const double* pt_;
    NearestElement* near_;
    SearchLimit* limit_;
};

double clampToCells(double v, int count) {
    if (!(v > 0.0)) return 0.0;
    const double top = double(count - 1);
    return v < top ? v : top;
}

// The first box: pt's cell, or for a point off the grid a cube around its
// (unclamped) cell just big enough to reach into the grid. Worked in doubles
// so that a far point never overflows an int.
template <class Grid> bool startBox(const Grid* g, const double pt[3], CellBox* box) {
    double q[3];
    bool inside = true;
    for (int a = 0; a < 3; ++a) {
        q[a] = (pt[a] - g->gridOrigin[a]) / g->cellSize;
        inside = inside && q[a] >= 0.0 && q[a] < double(g->gridDims[a]);
    }
    // Most points lie on the grid: the box is their cell.
    if (inside) {
        for (int a = 0; a < 3; ++a)
            box->lo[a] = box->hi[a] = int(q[a]);
        return true;
    }
    double cell[3], outside[3], reach = 0.0;
    for (int a = 0; a < 3; ++a) {
        if (!std::isfinite(q[a])) return false;
        const double top = double(g->gridDims[a] - 1);
        cell[a] = q[a] >= 0.0 ? std::trunc(q[a]) : std::trunc(q[a]) - 1.0;
        outside[a] = cell[a] < 0.0 ? -cell[a] : (cell[a] > top ? cell[a] - top : 0.0);
        if (outside[a] > reach) reach = outside[a];
    }
    for (int a = 0; a < 3; ++a) {
        const double top = double(g->gridDims[a] - 1);
        double lo, hi;
        if (cell[a] < 0.0) {
            lo = 0.0;
            hi = reach - outside[a]; // cell + reach, exact for the far axis
        } else if (cell[a] > top) {
            lo = top - (reach - outside[a]);
            hi = top;
        } else {
            lo = cell[a] - reach;
            hi = cell[a] + reach;
        }
        box->lo[a] = int(clampToCells(lo, g->gridDims[a]));
        box->hi[a] = int(clampToCells(hi, g->gridDims[a]));
    }
    return true;
}

bool hasRuns(const TrisMat3D* g) {
    return g->packed && g->cellStart;
}
bool hasRuns(const LineMat3D*) {
    return true;
}

template <class Grid> bool usableGrid(const Grid* g) {
    if (!g || !g->cellLists || !g->cellBounds || !g->markCount || !hasRuns(g)) return false;
    if (!(g->cellSize > 0.0) || !std::isfinite(g->cellSize)) return false;
    for (int a = 0; a < 3; ++a)
        if (g->gridDims[a] <= 0) return false;
    return true;
}

// The walk's first part: the cells of box s, then rings of new cells
// around it until an element is accepted, or once nothing outside s could
// still be accepted (a nearer element of another kind was found first).
// Under a limit the rings also stop at the first box that lists anything:
// without the limit an element there would have been accepted or refused,
// and the state tells which.
template <class Method>
void growUntilAccepted(const GridWalk<Method>& walk, CellBox* s, NearestElement* near,
                       bool limited) {
    const typename Method::Elem* noElement = nullptr;
    walk.testBox(*s);
    while (!bestOf(near, noElement) && !(limited && walk.listsAny(*s)) && !walk.ballInside(*s) &&
           walk.grow(s)) {
    }
}

// One walk: the cells around pt, grown until an element is accepted, then
// those of the best distance's box outside them. False when the limit
// could have changed its answer.
template <class Method>
bool walkGrid(typename GridOf<typename Method::Elem>::Grid* grid, int lane, unsigned char* marks,
              const double pt[3], NearestElement* near, SearchLimit* limit) {
    const typename Method::Elem* noElement = nullptr;
    CellBox searched;
    if (!startBox(grid, pt, &searched)) return true;
    const bool limited = limit->limit < HUGE_VAL;
    const NearestElement start = *near;
    GridWalk<Method> walk(grid, marks, nextWalkStamp(grid, lane, marks), pt, near, limit);
    growUntilAccepted(walk, &searched, near, limited);
    SearchLimit none;
    if (limited && !bestOf(near, noElement) && walk.listsAny(searched)) {
        // All the growth met lay beyond the limit. The best distance of the
        // growth without it sets the last part's box: the growth is done
        // again without the limit, and the last part takes the limit again
        // unless the state now lies just around it.
        *near = start;
        walk = GridWalk<Method>(grid, marks, nextWalkStamp(grid, lane, marks), pt, near, &none);
        startBox(grid, pt, &searched);
        growUntilAccepted(walk, &searched, near, false);
        const double d = near->dist;
        if (d >= limit->limit + 2.0 * kNearDistanceMargin || d < limit->limit - kLimitWatch) {
            walk = walk.under(limit);
            limit->broken = false;
        }
    }

    // Anything nearer than the best distance has a point inside pt +- that
    // distance, so it is listed in one of these cells.
    const double d = near->dist;
    const double lo[3] = {pt[0] - d, pt[1] - d, pt[2] - d};
    const double hi[3] = {pt[0] + d, pt[1] + d, pt[2] + d};
    CellBox reach;
    if (cellRangeOf(grid, lo, hi, reach.lo, reach.hi)) walk.testOutside(reach, searched);
    return !limit->broken;
}

template <class Method>
void searchGrid(CageInstance* cage, typename GridOf<typename Method::Elem>::Grid* grid,
                const double pt[3], NearestElement* near, double guess = HUGE_VAL) {
    if (!cage || !pt || !near) return;
    if (!usableGrid(grid)) return;
    const int lane = stMarkLane;
    unsigned char* marks = GridOf<typename Method::Elem>::marksOf(laneMarksOf(cage, lane));
    if (!marks) return;
    // Every element is infinitely far from (or NaN away from) such a point.
    if (!std::isfinite(pt[0]) || !std::isfinite(pt[1]) || !std::isfinite(pt[2])) return;

    const NearestElement start = *near;
    SearchLimit limit;
    // A state that starts below the limit leaves it nothing to pass over;
    // one just above it could refuse what an element passed over would not.
    if (near->dist >= guess + 2.0 * kNearDistanceMargin) limit.limit = guess;
    if (walkGrid<Method>(grid, lane, marks, pt, near, &limit)) return;
    *near = start;
    SearchLimit none;
    walkGrid<Method>(grid, lane, marks, pt, near, &none);
}

// The limit a first guess gives a trigon walk: its own distance and room
// for every element that could tie with it; none without a usable guess.
template <class Shape> double guessLimit(TrigonData* hint, const double pt[3]) {
    if (!hasCorners(hint) || !pt) return HUGE_VAL;
    NearestElement alone;
    alone.dist = HUGE_VAL;
    alone.over = HUGE_VAL;
    nearTrigon<Shape, false>(hint, pt, &alone);
    return alone.trigon && std::isfinite(alone.dist) ? alone.dist + kGuessRoom : HUGE_VAL;
}

} // namespace

int testNearLine(LinegonData* lin, const double pt[3], NearestElement* near, CageShape shape) {
    if (!lin || !pt || !near || !lin->pnt[0] || !lin->pnt[1]) return 0;
    return nearLine(lin, lineFrame(lin, shape), pt, near);
}

int testNearTrigon(TrigonData* tri, const double pt[3], NearestElement* near, CageShape shape) {
    if (!hasCorners(tri) || !pt || !near) return 0;
    return shape == kBaseShape ? nearTrigon<On<kBaseShape>, true>(tri, pt, near)
                               : nearTrigon<On<kRestShape>, true>(tri, pt, near);
}

void updateNearTrigon(TrigonData* tri, const double pt[3], NearestElement* near) {
    if (!hasCorners(tri) || !pt || !near) return;
    nearTrigon<On<kRestShape>, false>(tri, pt, near);
}

void searchNearLinegon(CageInstance* cage, const double pt[3], NearestElement* near,
                       CageShape shape) {
    LineMat3D* grid = cage ? cage->lineMat3D : nullptr;
    if (shape == kBaseShape)
        searchGrid<AnyLinegon<kBaseShape>>(cage, grid, pt, near);
    else
        searchGrid<AnyLinegon<kRestShape>>(cage, grid, pt, near);
}

void searchNearTrigon(CageInstance* cage, const double pt[3], NearestElement* near, CageShape shape,
                      TrigonData* hint) {
    TrisMat3D* grid = cage ? cage->trisMat3D : nullptr;
    if (shape == kBaseShape)
        searchGrid<AnyTrigon<On<kBaseShape>>>(cage, grid, pt, near,
                                              guessLimit<On<kBaseShape>>(hint, pt));
    else
        searchGrid<AnyTrigon<On<kRestShape>>>(cage, grid, pt, near,
                                              guessLimit<On<kRestShape>>(hint, pt));
}

bool nearTrigonSurelyBeyond(const TrigonData* tri, const double pt[3], double reach) {
    if (!tri || !pt) return false;
    // Its ball, or its plane (through the ball's centre, the centroid); the
    // slack covers the rounding of the centre.
    const double* ball = tri->restSphere;
    double d[3];
    sub3D(pt, ball, d);
    const double far = reach + ball[3];
    if (dot3D(d, d) > far * far * (1.0 + 1e-12)) return true;
    const double slack =
        1e-9 * (reach + ball[3] + std::fabs(ball[0]) + std::fabs(ball[1]) + std::fabs(ball[2]));
    return std::fabs(dot3D(tri->rest.N, d)) > reach + slack;
}

double nearTrigonDistance(const TrigonData* tri, const double pt[3], CageShape shape,
                          const PointData** corner) {
    if (corner) *corner = nullptr;
    if (!hasCorners(tri) || !pt) return HUGE_VAL;
    return shape == kBaseShape ? trigonDistance<On<kBaseShape>>(tri, pt, corner)
                               : trigonDistance<On<kRestShape>>(tri, pt, corner);
}

namespace {

TrigonData* nearestOfFan(PolygonData* poly, const double pt[3]) {
    TrigonData* tri = poly->tri;
    for (int k = 0; k < 4; ++k)
        if (!tri[k].pnt[0] || !tri[k].pnt[1] || !tri[k].pnt[2]) return nullptr;
    NearestElement near;
    // The plain tests, for a polygon with a triangle without a frame.
    auto testAll = [&]() {
        for (int k = 0; k < 4; ++k)
            updateNearTrigon(&tri[k], pt, &near);
        return near.trigon;
    };
    // The squared distance to each triangle's ball centre; the one with the
    // nearest centre is measured first (any would do).
    double centre2[4];
    int first = 0;
    for (int k = 0; k < 4; ++k) {
        double d[3];
        sub3D(pt, tri[k].restSphere, d);
        centre2[k] = dot3D(d, d);
        if (centre2[k] < centre2[first]) first = k;
    }
    // Its distance bounds the nearest distance m from above. Only triangles
    // whose balls come within m + 1e-5 can win or sway the acceptance rule
    // between those that can (its window and margin are 4e-6 and 2e-6); the
    // others are passed over. The rule then runs over the rest in the usual
    // order.
    double delta[4], planar[4];
    if (!measureTrigon<On<kRestShape>>(&tri[first], pt, &delta[first], &planar[first]))
        return testAll();
    const double reach = delta[first] + 1e-5;
    bool candidate[4];
    for (int k = 0; k < 4; ++k) {
        const double far = reach + tri[k].restSphere[3];
        candidate[k] = k == first || !(centre2[k] > far * far * (1.0 + 1e-12));
        if (k != first && candidate[k] &&
            !measureTrigon<On<kRestShape>>(&tri[k], pt, &delta[k], &planar[k]))
            return testAll();
    }
    for (int k = 0; k < 4; ++k)
        if (candidate[k]) acceptNear(&tri[k], delta[k], planar[k], 0, &near);
    return near.trigon;
}

} // namespace

TrigonData* nearestFanTriangle(PolygonData* poly, const double pt[3]) {
    if (!poly || !pt) return nullptr;
    void* nearest = nullptr;
    LocationMemo* memo = stLocationMemo;
    if (memo && replayLocation(memo, kMemoNearestFan, poly, pt, -1.0, nullptr, nullptr, 0, nullptr,
                               &nearest))
        return static_cast<TrigonData*>(nearest);
    TrigonData* found = nearestOfFan(poly, pt);
    if (memo) recordLocation(memo, kMemoNearestFan, poly, pt, -1.0, 0, nullptr, 0, nullptr, found);
    return found;
}
