// The Skin blends. See skin_blends.h.
#include "deform/skin_blends.h"

#include "deform/binding_weights.h"
#include "deform/blend_program.h"
#include "deform/skin_bands.h"
#include "geometry/element_location.h"
#include "geometry/element_search.h"
#include "geometry/location_memo.h"
#include "geometry/mark_lane.h"
#include "geometry/vector.h"

#include <cmath>

namespace {

// Mitre slopes beyond this (planes within ~0.006 degrees of the line) are
// held there: the plane then barely cuts the line anyway.
constexpr double kMaxMitreSlope = 1e4;

// The blend marks of this thread's lane (geometry/mark_lane.h): the
// triangles and polygons around the point not yet added.
void markAround(PointData* pnt, const LaneMarks& m) {
    if (!pnt) return;
    for (int k = 0; k < pnt->trigonCount; ++k) {
        TrigonData* t = pnt->trigons[k];
        if (!t) continue;
        m.trigonBlend[t->place] = 1;
        if (t->polygon) m.polygonBlend[t->polygon->place] = 1;
    }
}

TrigonData* acrossEdge(const EdgeData* edge, const TrigonData* self) {
    if (!edge) return nullptr;
    return edge->trigonA == self ? edge->trigonB : edge->trigonA;
}

// The neighbouring polygons' blends of one point, kept while several blends
// of that point (bound to the fan triangles on either side of a spoke) add
// the same neighbours.
struct NeighbourBlends {
    static const int kCapacity = 32;
    int count = 0;
    const PolygonData* poly[kCapacity];
    double d[kCapacity][3];
    double wsum[kCapacity];
    bool ok[kCapacity];

    // The polygon's blend, worked out the first time it is asked for.
    bool get(const CageInstance* cage, PolygonData* p, const double P[3], const double Plocal[3],
             const double** dOut, double* wOut) {
        for (int i = 0; i < count; ++i)
            if (poly[i] == p) {
                recordBlendStep(kStepLoad, nullptr, i);
                *dOut = d[i];
                *wOut = wsum[i];
                return ok[i];
            }
        if (count == kCapacity) count = 0; // a point with this many neighbours starts over
        const int i = count++;
        poly[i] = p;
        ok[i] = polygonBlend(cage, p, P, Plocal, d[i], &wsum[i]);
        recordBlendStep(kStepKeep, nullptr, i);
        *dOut = d[i];
        *wOut = wsum[i];
        return ok[i];
    }
};

// A polygon joins once, through whichever of its triangles is reached
// first. Its blend comes from `blends` when one is given.
void addKeptBlend(const CageInstance* cage, PolygonData* poly, const double P[3],
                  const double Plocal[3], double D[3], double* W, double w,
                  NeighbourBlends* blends) {
    const double* d = nullptr;
    double wsum = 0.0;
    const bool sound = blends->get(cage, poly, P, Plocal, &d, &wsum);
    recordBlendStep(kStepAddPolygon, nullptr, w);
    if (sound) addPolygonBlend(d, wsum, D, W, w);
}

inline void addNeighbour(const CageInstance* cage, TrigonData* nb, const double P[3],
                         const double Plocal[3], double D[3], double* W, double w,
                         NeighbourBlends* blends, const LaneMarks& m) {
    if (!nb->polygon) {
        calcWeightWithTrigon_W(nb, P, D, W, w);
    } else if (m.polygonBlend[nb->polygon->place]) {
        m.polygonBlend[nb->polygon->place] = 0;
        if (blends)
            addKeptBlend(cage, nb->polygon, P, Plocal, D, W, w, blends);
        else
            calcWeightWithPolygon_W(cage, nb->polygon, P, Plocal, D, W, w);
    }
}

void addAroundCorner(const CageInstance* cage, PointData* pnt, const double P[3],
                     const double Plocal[3], double D[3], double* W, double w,
                     NeighbourBlends* blends, const LaneMarks& m) {
    if (!pnt) return;
    for (int k = 0; k < pnt->trigonCount; ++k) {
        TrigonData* u = pnt->trigons[k];
        if (!u || !m.trigonBlend[u->place]) continue;
        m.trigonBlend[u->place] = 0;
        addNeighbour(cage, u, P, Plocal, D, W, w, blends, m);
    }
}

// Closes the blend's sum (recorded as its value).
bool finish(const double D[3], double W, double disp[3]) {
    recordBlendStep(kStepFinish);
    return finishBlend(D, W, disp);
}

// A blend that cannot start: the recording cannot stand for it.
bool refuse() {
    abandonBlendRecording();
    return false;
}

bool argsOk(const CageInstance* cage, const TrigonData* tri, const double P[3],
            const double Plocal[3], double disp[3]) {
    if (disp) disp[0] = disp[1] = disp[2] = 0.0;
    return cage && tri && P && Plocal && disp && tri->pnt[0] && tri->pnt[1] && tri->pnt[2] &&
           finite3D(P) && finite3D(Plocal);
}

// R v with the cage item's rotation (columns right, up, forward).
void rotateByCage(const CageInstance* cage, const double v[3], double out[3]) {
    for (int i = 0; i < 3; ++i)
        out[i] = v[0] * cage->worldAxes[0][i] + v[1] * cage->worldAxes[1][i] +
                 v[2] * cage->worldAxes[2][i];
}

// Slope of the mitre plane (normal n) over the line: (n.m) / (n.dir).
double mitreSlope(const double n[3], const double m[3], const double dir[3]) {
    const double c = dot3D(n, dir);
    const double s = dot3D(n, m);
    if (std::fabs(c) < kGeomEpsilon) {
        // A plane along the line: the steepest slope we allow, or square.
        if (std::fabs(s) < kGeomEpsilon) return 0.0;
        return s > 0.0 ? kMaxMitreSlope : -kMaxMitreSlope;
    }
    const double a = s / c;
    return a > kMaxMitreSlope ? kMaxMitreSlope : (a < -kMaxMitreSlope ? -kMaxMitreSlope : a);
}

const LinegonData* chainNext(const PointData* pnt, const LinegonData* self) {
    if (!pnt || pnt->linegonCount <= 0) return nullptr;
    if (pnt->linegons[0] != self) return pnt->linegons[0];
    return pnt->linegonCount >= 2 ? pnt->linegons[1] : nullptr;
}

// The weights of the fan triangles (bound: the bound one's place) whose
// band searchPt lies in; how many weigh. The bound triangle's distance
// first, then those of the others that might come within the band (all of
// them when measuring the base shape, which the cheap tests do not know).
int fanBandWeights(PolygonData* poly, int bound, const double searchPt[3], bool frame0,
                   double width, double weight[4]) {
    if (!(width > 0.0)) return 0;
    double dist[4];
    const PointData* corner[4];
    auto measure = [&](int k) {
        dist[k] = nearTrigonDistance(&poly->tri[k], searchPt, frame0 ? kBaseShape : kRestShape,
                                     &corner[k]);
    };
    measure(bound);
    const double reach = std::sqrt(dist[bound] * dist[bound] + width * width);
    for (int k = 0; k < 4; ++k) {
        if (k == bound) continue;
        dist[k] = HUGE_VAL;
        corner[k] = nullptr;
        if (frame0 || !nearTrigonSurelyBeyond(&poly->tri[k], searchPt, reach)) measure(k);
    }
    return skinFanBandWeights(dist, corner, bound, width, weight);
}

} // namespace

bool skinBlendStandaloneTrigon(CageInstance* cage, TrigonData* tri, const double P[3],
                               const double Plocal[3], double disp[3]) {
    if (!argsOk(cage, tri, P, Plocal, disp)) return refuse();
    const LaneMarks m = laneMarksOf(cage, stMarkLane);
    if (!m.trigonBlend) return refuse();
    const int f = cage->falloffType;
    double o[3];
    getLocationPerAtTrigon(tri, P, o);
    const double ew[3] = {poweredWeight(o[0], f), poweredWeight(o[1], f), poweredWeight(o[2], f)};
    const double cw[3] = {poweredWeight(1.0 - o[1], f), poweredWeight(1.0 - o[2], f),
                          poweredWeight(1.0 - o[0], f)};

    for (int k = 0; k < 3; ++k)
        markAround(tri->pnt[k], m);
    m.trigonBlend[tri->place] = 0;

    double D[3] = {0.0, 0.0, 0.0}, W = 0.0;
    recordBlendStep(kStepOpen);
    calcWeightWithTrigon_W(tri, P, D, &W, 1.0);
    for (int k = 0; k < 3; ++k) {
        TrigonData* u = acrossEdge(tri->edge[k], tri);
        if (!u) continue;
        m.trigonBlend[u->place] = 0;
        addNeighbour(cage, u, P, Plocal, D, &W, ew[k], nullptr, m);
    }
    for (int k = 0; k < 3; ++k)
        addAroundCorner(cage, tri->pnt[k], P, Plocal, D, &W, cw[k], nullptr, m);
    return finish(D, W, disp);
}

namespace {

// The fan triangle's blend, the neighbouring polygons' blends taken from
// (and kept in) `blends`.
bool fanTriangleBlend(CageInstance* cage, TrigonData* tri, const double P[3],
                      const double Plocal[3], double disp[3], NeighbourBlends* blends) {
    if (!argsOk(cage, tri, P, Plocal, disp) || !tri->polygon) return refuse();
    const LaneMarks m = laneMarksOf(cage, stMarkLane);
    if (!m.trigonBlend) return refuse();
    PolygonData* poly = tri->polygon;
    const int f = cage->falloffType;
    const unsigned i = tri->subIndex & 3u;
    const unsigned i1 = (i + 1) & 3u, i2 = (i + 2) & 3u, i3 = (i + 3) & 3u;
    double o[4], depth[2];
    const double width = skinBandWidth(poly);
    const int code = getLocationPerAtPolygon(tri, P, o, depth, width);

    double E[4], V[4];
    E[i] = 0.5 + 0.5 * o[1];
    E[i1] = o[3];
    E[i2] = 1.0 - E[i];
    E[i3] = 1.0 - o[3];
    V[i] = 1.0 - o[2];
    V[i1] = 1.0 - o[0];
    V[i2] = V[i3] = 0.0;
    for (int k = 0; k < 4; ++k) {
        E[k] = poweredWeight(E[k], f);
        V[k] = poweredWeight(V[k], f);
    }

    double D[3] = {0.0, 0.0, 0.0}, W = 0.0;
    recordBlendStep(kStepOpen);
    addPolygonOwnPart(cage, tri, P, Plocal, code, o, depth, width, D, &W);
    recordBlendStep(kStepNormalise);
    normaliseBlend(D, &W);

    // Marked: what the corners with a weight hold, and the polygons across
    // the sides (the marks of the rest are never asked).
    for (int k = 0; k < 4; ++k)
        if (V[k] != 0.0) markAround(poly->pnt[k], m);
    TrigonData* across[4];
    for (int k = 0; k < 4; ++k) {
        across[k] = acrossEdge(poly->tri[k].edge[1], &poly->tri[k]);
        if (across[k] && across[k]->polygon) m.polygonBlend[across[k]->polygon->place] = 1;
    }
    for (const TrigonData& t : poly->tri)
        m.trigonBlend[t.place] = 0;
    m.polygonBlend[poly->place] = 0;

    for (int k = 0; k < 4; ++k) {
        TrigonData* u = across[k];
        if (!u) continue;
        m.trigonBlend[u->place] = 0;
        addNeighbour(cage, u, P, Plocal, D, &W, E[k], blends, m);
    }
    for (int k = 0; k < 4; ++k)
        if (V[k] != 0.0) addAroundCorner(cage, poly->pnt[k], P, Plocal, D, &W, V[k], blends, m);
    return finish(D, W, disp);
}

} // namespace

bool skinBlendFanTriangle(CageInstance* cage, TrigonData* tri, const double P[3],
                          const double Plocal[3], double disp[3]) {
    return fanTriangleBlend(cage, tri, P, Plocal, disp, nullptr);
}

bool skinBlendPolygon(CageInstance* cage, TrigonData* tri, const double P[3],
                      const double Plocal[3], const double searchPt[3], bool frame0,
                      double disp[3]) {
    if (!argsOk(cage, tri, P, Plocal, disp) || !tri->polygon || !searchPt) return refuse();
    PolygonData* poly = tri->polygon;
    const double width = skinBandWidth(poly);
    // The band weights depend on the binding shape alone: on a bind tape
    // they are replayed with the locations.
    double weight[4] = {0.0, 0.0, 0.0, 0.0};
    int taking = 0;
    LocationMemo* memo = stLocationMemo;
    const double shape = frame0 ? 1.0 : 0.0;
    if (!replayLocation(memo, kMemoFanBands, tri, searchPt, shape, &taking, weight, 4, nullptr,
                        nullptr)) {
        taking = fanBandWeights(poly, int(tri - poly->tri), searchPt, frame0, width, weight);
        if (memo)
            recordLocation(memo, kMemoFanBands, tri, searchPt, shape, taking, weight, 4, nullptr,
                           nullptr);
    }
    if (taking <= 1) {
        for (int k = 0; taking == 1 && k < 4; ++k)
            if (weight[k] > 0.0) tri = &poly->tri[k];
        return fanTriangleBlend(cage, tri, P, Plocal, disp, nullptr);
    }
    NeighbourBlends blends;
    // Near an inner spoke: the blends bound to the triangles on either side,
    // which share their neighbours' blends.
    double sum[3] = {0.0, 0.0, 0.0}, taken = 0.0;
    recordBlendStep(kStepOpen);
    for (int k = 0; k < 4; ++k) {
        double d[3];
        if (!(weight[k] > 0.0)) continue;
        const bool sound = fanTriangleBlend(cage, &poly->tri[k], P, Plocal, d, &blends);
        recordBlendStep(kStepBandAdd, nullptr, weight[k]);
        if (sound) addBandPart(d, weight[k], sum, &taken);
    }
    return finish(sum, taken, disp);
}

double linegonChainPosition(const CageInstance* cage, const LinegonData* lin, const double P[3]) {
    if (!cage || !lin || !P || !lin->pnt[0] || !lin->pnt[1] || !finite3D(P)) return 0.0;
    const PointData* a = lin->pnt[0];
    const PointData* b = lin->pnt[1];
    const double len = lin->restLength > 0.0 ? lin->restLength : 2e-6;
    const double* dir = lin->worldRestDir;
    double d[3];
    sub3D(P, a->worldRestPos, d);
    const double along = dot3D(d, dir);
    const double square = along / len;

    double n[3];
    if (norm3D(dir, d, n)) return square;
    double m[3];
    cross3D(n, dir, m);
    // linegonDir is kept in the cage's frame; the rest of the rule is in world.
    double na[3], nb[3];
    rotateByCage(cage, a->linegonDir, na);
    rotateByCage(cage, b->linegonDir, nb);
    const double alphaA = mitreSlope(na, m, dir);
    const double alphaB = mitreSlope(nb, m, dir);
    const double dm = dot3D(d, m);
    const double num = along + alphaA * dm;
    const double den = len + (alphaA - alphaB) * dm;
    // Where the end planes meet or cross the fraction is unbounded: take its
    // limit from the side where they are apart.
    if (!(den > kGeomEpsilon * len)) return num > 0.0 ? 1.0 : 0.0;
    const double t = num / den;
    return std::isfinite(t) ? t : square;
}

bool skinBlendLinegon(const CageInstance* cage, const LinegonData* lin, const double P[3],
                      double disp[3]) {
    if (disp) disp[0] = disp[1] = disp[2] = 0.0;
    if (!cage || !lin || !P || !disp || !lin->pnt[0] || !lin->pnt[1] || !finite3D(P))
        return refuse();
    double s = linegonChainPosition(cage, lin, P);
    s = s < 0.0 ? 0.0 : (s > 1.0 ? 1.0 : s);
    const double wA = poweredWeight(1.0 - s, cage->falloffType);
    const double wB = poweredWeight(s, cage->falloffType);

    double D[3] = {0.0, 0.0, 0.0}, W = 0.0;
    recordBlendStep(kStepOpen);
    calcWeightWithLinegon_W(lin, P, D, &W, 1.0);
    if (const LinegonData* la = chainNext(lin->pnt[0], lin))
        calcWeightWithLinegon_W(la, P, D, &W, wA);
    if (const LinegonData* lb = chainNext(lin->pnt[1], lin))
        calcWeightWithLinegon_W(lb, P, D, &W, wB);
    return finish(D, W, disp);
}

void searchSkinBinding(CageInstance* cage, const double searchPt[3], TrigonData* hint,
                       NearestElement* near) {
    const CageShape shape = cage->restShapeAtFrame0 ? kBaseShape : kRestShape;
    searchNearLinegon(cage, searchPt, near, shape);
    searchNearTrigon(cage, searchPt, near, shape, hint);
}

bool skinCageDisplacement(CageInstance* cage, const double P[3], const double Plocal[3],
                          const double searchPt[3], TrigonData** nearest, double* wm,
                          double disp[3]) {
    if (disp) disp[0] = disp[1] = disp[2] = 0.0;
    if (!cage || !P || !Plocal || !searchPt || !nearest || !wm || !disp) return false;
    NearestElement near;
    searchSkinBinding(cage, searchPt, *nearest, &near);
    *nearest = near.trigon;
    return skinBindingDisplacement(cage, &near, P, Plocal, searchPt, wm, disp);
}

bool skinBindingDisplacement(CageInstance* cage, const NearestElement* bound, const double P[3],
                             const double Plocal[3], const double searchPt[3], double* wm,
                             double disp[3]) {
    disp[0] = disp[1] = disp[2] = 0.0;
    const bool frame0 = cage->restShapeAtFrame0 != 0;
    const NearestElement& near = *bound;
    if (cage->limitedRange) {
        if (near.dist > cage->perpendicularDistanceClamped) return false;
        if (near.border) {
            if (near.over > cage->parallelDistanceClamped) return false;
            const double factor =
                poweredWeight(1.0 - near.over / cage->parallelDistanceClamped, cage->falloffType);
            recordBlendStep(kStepWeightFactor, nullptr, factor);
            *wm *= factor;
        }
    }
    TrigonData* tri = near.trigon;
    if (tri)
        return tri->polygon ? skinBlendPolygon(cage, tri, P, Plocal, searchPt, frame0, disp)
                            : skinBlendStandaloneTrigon(cage, tri, P, Plocal, disp);
    if (near.linegon) return skinBlendLinegon(cage, near.linegon, P, disp);
    return false;
}
