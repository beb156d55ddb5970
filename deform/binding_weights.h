// How one cage element moves a point, and the weights that blend elements.
//
// Every element maps the point from its rest shape (world rest positions and
// the world-rotated rest frame) to its current shape (world positions of the
// current time). Adding element e with weight w to an accumulator (D, W)
// means W += w, D += w * (map_e(P) - P). P is a world position; Plocal the
// same point in the cage's local coordinates. Nothing here allocates, and
// nothing ever adds a NaN or an infinity: a non-finite weight, point or map
// is skipped.
#ifndef MORVANE_DEFORM_BINDING_WEIGHTS_H
#define MORVANE_DEFORM_BINDING_WEIGHTS_H

#include "cage_instance.h"
#include "deform/blend_program.h"
#include "geometry/double4.h"
#include "geometry/vector.h"

#include <cmath>

// Falloff types run 0..6 (Inverse Distance .. ^64); larger ones act as 6.
constexpr int kMaxFalloffType = 6;

// x raised to 2^falloffType by repeated squaring; falloffType <= 0 gives x.
inline double poweredWeight(double x, int falloffType) {
    const int f =
        falloffType < 0 ? 0 : (falloffType > kMaxFalloffType ? kMaxFalloffType : falloffType);
    for (int i = 0; i < f; ++i)
        x *= x;
    return x;
}

// Linegon map: offsets along the line scale with its stretch, the sideways
// offsets keep their length. D: double[3] in/out, W in/out.
void calcWeightWithLinegon_W(const LinegonData* lin, const double P[3], double D[3], double* W,
                             double w);

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

// Adds a mapped point (weight lane 1) with weight w to the sum (D, W):
// D += w (mapped - P), W += w; nothing when w is negative or infinite, or
// the sums would not be finite.
inline void addMappedSum(const Double4& mapped, const MapPoint& P, double w, Double4& sum) {
    if (!(w >= 0.0 && w < HUGE_VAL)) return;
    Double4 wv;
    splat4(w, wv);
    const Double4 s = sum + wv * (mapped - P.p);
    // One test for all: a NaN or an infinity anywhere (a non-finite map
    // included, even at weight 0) makes the sum non-finite.
    if (std::isfinite(s[0] + s[1] + s[2] + s[3])) sum = s;
}
inline void addMapped(const double mapped[3], const double P[3], double D[3], double* W, double w) {
    MapPoint at;
    setMapPoint(P, at);
    Double4 m, sum;
    set4(mapped[0], mapped[1], mapped[2], 1.0, m);
    set4(D[0], D[1], D[2], *W, sum);
    addMappedSum(m, at, w, sum);
    D[0] = sum[0], D[1] = sum[1], D[2] = sum[2], *W = sum[3];
}

// The triangle's map of P worked out from its frames (see below).
void trigonMap(const TrigonData* tri, const double P[3], double out[3]);
// Works out the triangle's map as one affine transform (worldMap) when the
// record holds none yet; the weighting then only reads it.
void readyTrigonWorldMap(TrigonData* tri);

// Trigon map: the in-plane position follows the triangle's affine change,
// the height rides unscaled on the current normal. A triangle with no area at
// rest has no affine map; it moves the point as its longest side would as a
// linegon (along-side offset stretched, the rest turned with the side), or
// carries it with P0 when all three points coincide. Inline: it is most of
// a Skin blend's work.
// The rest of calcWeightWithTrigon_W, for a triangle with its corners and
// a weight above 0 (a replayed blend program's steps are such).
inline void addTrigonMappedSum(const TrigonData* tri, const MapPoint& P, Double4& sum, double w) {
    if (tri->worldMapState == 0) readyTrigonWorldMap(const_cast<TrigonData*>(tri));
    Double4 m;
    if (tri->worldMapState == 1) {
        Double4 c0, c1, c2, b;
        load4(tri->worldMap, c0);
        load4(tri->worldMap + 4, c1);
        load4(tri->worldMap + 8, c2);
        load4(tri->worldMap + 12, b);
        m = c0 * P.x + c1 * P.y + c2 * P.z + b;
    } else {
        const double at[3] = {P.p[0], P.p[1], P.p[2]};
        double t[3];
        trigonMap(tri, at, t);
        set4(t[0], t[1], t[2], 1.0, m);
    }
    addMappedSum(m, P, w, sum);
}
inline void addTrigonMapped(const TrigonData* tri, const double P[3], double D[3], double* W,
                            double w) {
    MapPoint at;
    setMapPoint(P, at);
    Double4 sum;
    set4(D[0], D[1], D[2], *W, sum);
    addTrigonMappedSum(tri, at, sum, w);
    D[0] = sum[0], D[1] = sum[1], D[2] = sum[2], *W = sum[3];
}

inline void calcWeightWithTrigon_W(const TrigonData* tri, const double P[3], double D[3], double* W,
                                   double w) {
    // Nothing to add (and a weight addMapped would refuse): the blends give
    // many triangles a weight of exactly 0.
    if (!(w > 0.0)) return;
    if (!tri || !tri->pnt[0] || !tri->pnt[1] || !tri->pnt[2] || !P || !D || !W) return;
    // Recorded past the checks, so that a replayed step needs none.
    recordBlendStep(kStepMapTrigon, tri, w);
    addTrigonMapped(tri, P, D, W, w);
}

// The element's map as one affine transform, map(P) = M P + b (M row-major),
// equal to the maps above up to rounding; the map is the same for every
// point of a frame. False (M, b untouched) when it is not finite.

bool linegonAffineMap(const LinegonData* lin, double M[9], double b[3]);
bool trigonAffineMap(const TrigonData* tri, double M[9], double b[3]);

// The corner blend of fan triangle tri with its neighbour nb at their shared
// corner K (a corner of the polygon): the triangle Plocal lies further over
// is faded towards the other.
void addCornerBlend(const CageInstance* cage, const TrigonData* tri, const TrigonData* nb,
                    const PointData* corner, const double P[3], const double Plocal[3], double D[3],
                    double* W);

// The blend of fan triangle tri's own polygon around it: in the regions of
// its outer corners (codes 2 and 3) the corner blend with the fan triangle
// beyond that corner, elsewhere tri with 1 and the polygon's other three
// fan triangles with their powered weights. code, o and cornerDepth are the
// point's location over tri. Within `width` of a corner region's border
// (see skin_bands.h) the two are blended, each normalised, and what is
// added then sums to weight 1.
void addPolygonOwnPart(const CageInstance* cage, const TrigonData* tri, const double P[3],
                       const double Plocal[3], int code, const double o[3],
                       const double cornerDepth[2], double width, double D[3], double* W);

// A four-point polygon as one element: its fan triangles blended around the
// one nearest Plocal (rest shape), normalised, then added with total weight w.
void calcWeightWithPolygon_W(const CageInstance* cage, PolygonData* poly, const double P[3],
                             const double Plocal[3], double D[3], double* W, double w);
// The two halves of it: the polygon's blend as a displacement sum d with
// its weight sum (false when nothing could be blended), and adding that
// blend to (D, W) with total weight w.
bool polygonBlend(const CageInstance* cage, PolygonData* poly, const double P[3],
                  const double Plocal[3], double d[3], double* wsum);

// The steps of the blends' partial sums, shared by the blends and their
// replay (deform/blend_program.h) so that both round alike. A sum is
// (D, W) in one Double4: the displacement lanes, then the weight lane; a
// finished blend's value keeps its weight sum in the weight lane.
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
// A step on sums run on the array forms: part (d, w) and sum (D, W).
template <class Step>
inline void onSums(const double d[3], double w, double D[3], double* W, Step step) {
    Double4 part, sum;
    toSum(d, w, part);
    toSum(D, *W, sum);
    step(part, sum);
    fromSum(sum, D, W);
}

// A polygon's blend (d, wsum) added to the sum with total weight w.
inline void addPolygonBlendSum(const Double4& blend, double w, Double4& sum) {
    const double wsum = blend[3];
    if (!(w >= 0.0) || !std::isfinite(w) || !(wsum > 0.0)) return;
    Double4 k;
    splat4(w / wsum, k);
    Double4 s = sum + k * blend;
    if (!finite3(s)) return;
    s[3] = sum[3] + w;
    sum = s;
}
inline void addPolygonBlend(const double d[3], double wsum, double D[3], double* W, double w) {
    onSums(d, wsum, D, W, [w](const Double4& b, Double4& s) { addPolygonBlendSum(b, w, s); });
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
inline bool finishBlend(const double D[3], double W, double disp[3]) {
    Double4 sum, out;
    toSum(D, W, sum);
    toSum(disp, 0.0, out);
    const bool sound = finishBlendSum(sum, out);
    fromSum(out, disp, nullptr);
    return sound;
}

// The polygon's own part counts as one element.
inline void normaliseBlendSum(Double4& sum) {
    if (!(sum[3] > 0.0)) return;
    Double4 k;
    splat4(1.0 / sum[3], k);
    sum = sum * k;
    sum[3] = 1.0;
}
inline void normaliseBlend(double D[3], double* W) {
    Double4 sum;
    toSum(D, *W, sum);
    normaliseBlendSum(sum);
    fromSum(sum, D, W);
}

// A faded part (d, w) normalised and added with its share to the fade sum.
inline void addFadedPartSum(const Double4& part, double share, Double4& fade) {
    const double w = part[3];
    if (!(w > 0.0)) return;
    Double4 k, by;
    splat4(share, k);
    splat4(w, by);
    const double taken = fade[3] + share;
    fade = fade + k * part / by;
    fade[3] = taken;
}
inline void addFadedPart(const double d[3], double w, double share, double sum[3], double* taken) {
    onSums(d, w, sum, taken,
           [share](const Double4& p, Double4& f) { addFadedPartSum(p, share, f); });
}

// The faded parts' sum added to (D, W) when sound.
inline void addFadedSumSum(const Double4& fade, Double4& sum) {
    if (!(fade[3] > 0.0) || !finite3(fade)) return;
    sum = sum + fade;
}
inline void addFadedSum(const double fade[3], double taken, double D[3], double* W) {
    onSums(fade, taken, D, W, addFadedSumSum);
}

// A band's blend d added with its weight.
inline void addBandPartSum(const Double4& blend, double weight, Double4& sum) {
    Double4 k;
    splat4(weight, k);
    const double taken = sum[3] + weight;
    sum = sum + k * blend;
    sum[3] = taken;
}
inline void addBandPart(const double d[3], double weight, double sum[3], double* taken) {
    onSums(d, 0.0, sum, taken,
           [weight](const Double4& b, Double4& s) { addBandPartSum(b, weight, s); });
}

// The cage's clamped smooth distance as Volume weighting uses it (at least
// 2e-6, so a point on an element still has a finite weight).
double volumeSmoothDistance(const CageInstance* cage);

// Distance from P to the element's rest shape (world).
double linegonRestDistance(const LinegonData* lin, const double P[3]);
double trigonRestDistance(const TrigonData* tri, const double P[3]);

// Volume weighting of one element: weight (ref / (distance + smooth))^(2^F),
// F = the cage's falloff type, smooth its clamped smooth distance. ref = 1
// gives the plain inverse-distance weight; there the weight is capped at
// kMaxPlainWeight so it stays finite. The cage weighting below passes the
// point's nearest distance + smooth, which keeps every weight within [0, 1].
constexpr double kMaxPlainWeight = 1e150;
void calcWeightWithTrigon(const CageInstance* cage, const TrigonData* tri, const double P[3],
                          double D[3], double* W, double ref = 1.0);
void calcWeightWithLinegon(const CageInstance* cage, const LinegonData* lin, const double P[3],
                           double D[3], double* W, double ref = 1.0);

// A weighted displacement sum kept with a common scale factor exp(logScale):
// the true sums are disp * exp(logScale) and weight * exp(logScale). Close to
// an element the inverse-distance powers overflow a double, the ratios
// between them do not.
struct ScaledBlend {
    double disp[3];
    double weight;
    double logScale;
};

// Volume weighting of the whole cage: every linegon, standalone trigon and
// fan triangle, each with its inverse-distance weight. The weights are kept
// relative to the point's nearest element (weight 1), the true scale in
// logScale. A cage with no element (or a non-finite P) gives all zeros.
void calcVolumeWeightsOfCage(const CageInstance* cage, const double P[3], ScaledBlend* out);

// Adds factor * part into total, both scaled blends (factor >= 0, e.g. the
// weight-map value). A part with no weight adds nothing. total starts zeroed.
void addScaledBlend(ScaledBlend* total, const ScaledBlend* part, double factor);

// total's displacement disp / weight into out[3]; zero (and false) when
// the weight is zero.
bool scaledBlendDisplacement(const ScaledBlend* total, double out[3]);

#endif // MORVANE_DEFORM_BINDING_WEIGHTS_H
