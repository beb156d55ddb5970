// The steps of a Skin blend on four-lane sums, as a kept program replays
// them (deform/blend_program.h).
//
// Each is the step of deform/binding_weights.h that a blend takes while it
// is worked out, written for a sum (D, W) held in one Double4: the same
// operations in the same order on every lane, so both round alike (the
// frame sequences check it bit for bit, cache on and off). A map is then
// four vector multiply-adds instead of twenty scalar operations.
#ifndef MORVANE_DEFORM_BLEND_SUMS_H
#define MORVANE_DEFORM_BLEND_SUMS_H

#include "deform/binding_weights.h"
#include "geometry/double4.h"
#include "geometry/inlining.h"

#include <cmath>

// A point as the maps read it: each coordinate in all four lanes, and the
// point itself with 0 in the weight lane.
struct MapPoint {
    Double4 x, y, z, p;
};
inline void setMapPoint(const double P[3], MapPoint& out) {
    splat4(P[0], out.x);
    splat4(P[1], out.y);
    splat4(P[2], out.z);
    set4(P[0], P[1], P[2], 0.0, out.p);
}

// The sum (D, W) with a mapped point (weight lane 1) added with weight w:
// out = (D + w (mapped - P), W + w). Every map's step adds this way.
inline void withMapped(const Double4& mapped, const MapPoint& P, double w, const Double4& sum,
                       Double4& out) {
    Double4 wv;
    splat4(w, wv);
    out = sum + wv * (mapped - P.p);
}

// Adds a mapped point with weight w to the sum (withMapped); nothing when
// w is negative or infinite, or the sums would not be finite.
inline void addMappedSum(const Double4& mapped, const MapPoint& P, double w, Double4& sum) {
    if (!(w >= 0.0 && w < HUGE_VAL)) return;
    Double4 s;
    withMapped(mapped, P, w, sum, s);
    // One test for all: a NaN or an infinity anywhere (a non-finite map
    // included, even at weight 0) makes the sum non-finite.
    if (std::isfinite(s[0] + s[1] + s[2] + s[3])) sum = s;
}

// The map of a triangle whose affine form is not worked out yet (it is
// now), is beyond the bounds of kept runs (state 3) or that has none: out
// of line, so that the maps that are ready keep their sums in registers.
void trigonMappedOutOfLine(const TrigonData* tri, const MapPoint& P, Double4& m);

// The map of P by an affine map laid out as TrigonData::worldMap.
inline void affineMapped(const double* map, const MapPoint& P, Double4& m) {
    Double4 c0, c1, c2, b;
    load4(map, c0);
    load4(map + 4, c1);
    load4(map + 8, c2);
    load4(map + 12, b);
    m = c0 * P.x + c1 * P.y + c2 * P.z + b;
}

// The map of P by a triangle whose affine form is worked out (state 1 or 3).
inline void affineTrigonMapped(const TrigonData* tri, const MapPoint& P, Double4& m) {
    affineMapped(tri->worldMap, P, m);
}

// addMappedSum of a triangle's map (as worldMap lays it out) within the
// bounds of kept runs (worldMapState 1), of a point and into a sum within
// theirs, with a kept program's weight (blend_program.h): its tests would
// always pass.
inline void addBoundedMapSum(const double* map, const MapPoint& P, double w, Double4& sum) {
    Double4 m;
    affineMapped(map, P, m);
    withMapped(m, P, w, sum, sum);
}

// The same with weight 1: w (mapped - P) is then mapped - P, to the bit.
inline void addBoundedUnitMapSum(const double* map, const MapPoint& P, Double4& sum) {
    Double4 m;
    affineMapped(map, P, m);
    sum = sum + (m - P.p);
}

// calcWeightWithLinegon_W on the sum: the linegon's map of P (linegonMap,
// every lane rounded as its coordinate is there) added with weight w. The
// weight lane of the map is 1 while the offsets are finite, and NaN (so
// nothing is added) where a coordinate would not be finite either.
inline void addLinegonMappedSum(const LinegonData* lin, const MapPoint& P, double w, Double4& sum) {
    const PointData* a = lin->pnt[0];
    if (!a || !lin->pnt[1]) return;
    const double d[3] = {P.p[0] - a->worldRestPos[0], P.p[1] - a->worldRestPos[1],
                         P.p[2] - a->worldRestPos[2]};
    Double4 other, axis1, axis2, dir, l1, l2, l3;
    splat4(dot3D(lin->worldRestAxis1, d), l1);
    splat4(dot3D(lin->worldRestAxis2, d), l2);
    splat4(dot3D(lin->worldRestDir, d) * lin->stretch, l3);
    set4(a->worldOtherPos[0], a->worldOtherPos[1], a->worldOtherPos[2], 1.0, other);
    set4(lin->axis1[0], lin->axis1[1], lin->axis1[2], 0.0, axis1);
    set4(lin->axis2[0], lin->axis2[1], lin->axis2[2], 0.0, axis2);
    set4(lin->dir[0], lin->dir[1], lin->dir[2], 0.0, dir);
    addMappedSum(other + l1 * axis1 + l2 * axis2 + l3 * dir, P, w, sum);
}

// Whether every lane is at most `bound` in magnitude (a NaN is not).
inline bool lanesWithin(const Double4& v, double bound) {
    return std::fabs(v[0]) <= bound && std::fabs(v[1]) <= bound && std::fabs(v[2]) <= bound &&
           std::fabs(v[3]) <= bound;
}

// addTrigonMapped: the triangle's map of P added with weight w.
inline void addTrigonMappedSum(const TrigonData* tri, const MapPoint& P, Double4& sum, double w) {
    Double4 m;
    if (MORVANE_LIKELY(tri->worldMapState == 1))
        affineTrigonMapped(tri, P, m);
    else
        trigonMappedOutOfLine(tri, P, m);
    addMappedSum(m, P, w, sum);
}

// The partial sums' steps. A sum is (D, W) in one Double4: the
// displacement lanes, then the weight lane; a finished blend's value keeps
// its weight sum in the weight lane.
inline bool finite3(const Double4& v) {
    // x * 0 is a zero for a finite x and NaN otherwise; so is their sum.
    Double4 zero;
    splat4(0.0, zero);
    const Double4 z = v * zero;
    return z[0] + z[1] + z[2] == 0.0;
}
inline void toSum(const double D[3], double W, Double4& out) {
    set4(D[0], D[1], D[2], W, out);
}
inline void fromSum(const Double4& sum, double D[3], double* W) {
    D[0] = sum[0], D[1] = sum[1], D[2] = sum[2];
    if (W) *W = sum[3];
}

// A polygon's blend (d, wsum) added to the sum with total weight w, a
// kept program's: at least 0 and finite (blend_program.h), so that only
// the blend's weight is tested.
inline void addPolygonBlendSum(const Double4& blend, double w, Double4& sum) {
    const double wsum = blend[3];
    if (!(wsum > 0.0)) return;
    Double4 k, wv;
    splat4(w / wsum, k);
    const Double4 s = sum + k * blend;
    if (!finite3(s)) return;
    splat4(w, wv);
    withLane3(s, sum + wv, sum); // W + w
}

// A sum's displacement D / W into the displacement lanes of out: false
// (out untouched) when W is not positive or the result is not finite.
inline bool finishBlendSum(const Double4& sum, Double4& out) {
    if (!(sum[3] > 0.0)) return false;
    Double4 k;
    splat4(1.0 / sum[3], k);
    const Double4 r = sum * k;
    if (!finite3(r)) return false;
    out[0] = r[0], out[1] = r[1], out[2] = r[2];
    return true;
}

// The polygon's own part counts as one element.
inline void normaliseBlendSum(Double4& sum) {
    if (!(sum[3] > 0.0)) return;
    Double4 k, one;
    splat4(1.0 / sum[3], k);
    splat4(1.0, one);
    withLane3(sum * k, one, sum);
}

// A faded part (d, w) normalised and added with its share to the fade sum.
inline void addFadedPartSum(const Double4& part, double share, Double4& fade) {
    const double w = part[3];
    if (!(w > 0.0)) return;
    Double4 k, by;
    splat4(share, k);
    splat4(w, by);
    withLane3(fade + k * part / by, fade + k, fade); // the weight lane takes share
}

// The faded parts' sum added to (D, W) when sound.
inline void addFadedSumSum(const Double4& fade, Double4& sum) {
    if (!(fade[3] > 0.0) || !finite3(fade)) return;
    sum = sum + fade;
}

// A band's blend d added with its weight.
inline void addBandPartSum(const Double4& blend, double weight, Double4& sum) {
    Double4 k;
    splat4(weight, k);
    withLane3(sum + k * blend, sum + k, sum); // the weight lane takes weight
}

#endif // MORVANE_DEFORM_BLEND_SUMS_H
