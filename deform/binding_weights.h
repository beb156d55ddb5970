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

// Adds the mapped point with weight w: D += w (mapped - P), W += w; nothing
// when w is negative or infinite, or the sums would not be finite.
inline void addMapped(const double mapped[3], const double P[3], double D[3], double* W, double w) {
    if (!(w >= 0.0 && w < HUGE_VAL)) return;
    const double s[3] = {D[0] + w * (mapped[0] - P[0]), D[1] + w * (mapped[1] - P[1]),
                         D[2] + w * (mapped[2] - P[2])};
    const double wsum = *W + w;
    // One test for all: a NaN or an infinity anywhere (a non-finite map
    // included, even at weight 0) makes the sum non-finite.
    if (!std::isfinite(s[0] + s[1] + s[2] + wsum)) return;
    copy3D(s, D);
    *W = wsum;
}

// The triangle's map of P worked out from its frames (see below).
void trigonMap(const TrigonData* tri, const double P[3], double out[3]);
// Works out the triangle's map as one affine transform (worldMap) when the
// record holds none yet; the weighting then only reads it.
void readyTrigonWorldMap(TrigonData* tri);
// Whether the record holds the map as an affine transform (worldMapState 1
// or 3).
inline bool hasWorldMap(const TrigonData* tri) {
    return tri->worldMapState == 1 || tri->worldMapState == 3;
}

// Trigon map: the in-plane position follows the triangle's affine change,
// the height rides unscaled on the current normal. A triangle with no area at
// rest has no affine map; it moves the point as its longest side would as a
// linegon (along-side offset stretched, the rest turned with the side), or
// carries it with P0 when all three points coincide.
// The rest of calcWeightWithTrigon_W, for a triangle with its corners and
// a weight above 0.
inline void addTrigonMapped(const TrigonData* tri, const double P[3], double D[3], double* W,
                            double w) {
    if (tri->worldMapState == 0) readyTrigonWorldMap(const_cast<TrigonData*>(tri));
    double m[3];
    if (hasWorldMap(tri)) {
        const double* M = tri->worldMap; // by columns (TrigonData::worldMap)
        for (int r = 0; r < 3; ++r)
            m[r] = M[r] * P[0] + M[4 + r] * P[1] + M[8 + r] * P[2] + M[12 + r];
    } else {
        trigonMap(tri, P, m);
    }
    addMapped(m, P, D, W, w);
}

// One copy for all the blends that call it (geometry/inlining.h).
void calcWeightWithTrigon_W(const TrigonData* tri, const double P[3], double D[3], double* W,
                            double w);

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

inline void addPolygonBlend(const double d[3], double wsum, double D[3], double* W, double w) {
    if (!(w >= 0.0) || !std::isfinite(w) || !(wsum > 0.0)) return;
    const double k = w / wsum;
    const double s[3] = {D[0] + k * d[0], D[1] + k * d[1], D[2] + k * d[2]};
    if (!std::isfinite(s[0]) || !std::isfinite(s[1]) || !std::isfinite(s[2])) return;
    D[0] = s[0], D[1] = s[1], D[2] = s[2];
    *W += w;
}

// The steps of the blends' partial sums. A kept program replays them on
// vectors (deform/blend_sums.h), with the same operations in the same
// order, so both round alike.
// A sum's displacement D / W: false (disp untouched) when W is not
// positive or the result is not finite.
inline bool finishBlend(const double D[3], double W, double disp[3]) {
    if (!(W > 0.0)) return false;
    double r[3];
    scale3D(D, 1.0 / W, r);
    if (!std::isfinite(r[0]) || !std::isfinite(r[1]) || !std::isfinite(r[2])) return false;
    copy3D(r, disp);
    return true;
}
// The polygon's own part counts as one element.
inline void normaliseBlend(double D[3], double* W) {
    if (*W > 0.0) {
        scale3D(D, 1.0 / *W, D);
        *W = 1.0;
    }
}
// A faded part (d, w) normalised and added with its share.
inline void addFadedPart(const double d[3], double w, double share, double sum[3], double* taken) {
    if (!(w > 0.0)) return;
    for (int c = 0; c < 3; ++c)
        sum[c] += share * d[c] / w;
    *taken += share;
}
// The faded parts' sum added to (D, W) when sound.
inline void addFadedSum(const double sum[3], double taken, double D[3], double* W) {
    if (!(taken > 0.0) || !std::isfinite(sum[0]) || !std::isfinite(sum[1]) ||
        !std::isfinite(sum[2]))
        return;
    add3D(D, sum, D);
    *W += taken;
}
// A band's blend d added with its weight.
inline void addBandPart(const double d[3], double weight, double sum[3], double* taken) {
    for (int c = 0; c < 3; ++c)
        sum[c] += weight * d[c];
    *taken += weight;
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
