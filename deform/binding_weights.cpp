// Element maps and binding weights. See binding_weights.h.
#include "deform/binding_weights.h"

#include "deform/blend_program.h"
#include "deform/skin_bands.h"
#include "geometry/element_location.h"
#include "geometry/element_search.h"
#include "geometry/rotation.h"
#include "geometry/vector.h"

#include <cmath>

namespace {

// Smallest smooth distance the cage ever uses; keeps 1 / (distance + smooth)
// finite even when the per-frame value has not been set.
constexpr double kMinSmooth = 2e-6;

// Below this relative area a rest triangle has no usable affine map.
constexpr double kFlatRatio = kGeomEpsilon;

int clampFalloff(int f) {
    return f < 0 ? 0 : (f > kMaxFalloffType ? kMaxFalloffType : f);
}

void linegonMap(const LinegonData* lin, const double P[3], double out[3]) {
    const PointData* a = lin->pnt[0];
    double d[3];
    sub3D(P, a->worldRestPos, d);
    const double l1 = dot3D(lin->worldRestAxis1, d);
    const double l2 = dot3D(lin->worldRestAxis2, d);
    const double l3 = dot3D(lin->worldRestDir, d) * lin->stretch;
    for (int i = 0; i < 3; ++i)
        out[i] = a->worldOtherPos[i] + l1 * lin->axis1[i] + l2 * lin->axis2[i] + l3 * lin->dir[i];
}

// The map of a side a -> b (rest) to a2 -> b2 (current): along-side offset
// stretched, the perpendicular part turned by the least rotation taking the
// rest direction to the current one. A side with no rest length translates.
void sideMap(const double a[3], const double b[3], const double a2[3], const double b2[3],
             const double P[3], double out[3]) {
    double r[3], d[3];
    const double len = vect3D(a, b, r);
    sub3D(P, a, d);
    if (len == 0.0) {
        add3D(a2, d, out);
        return;
    }
    double c[3];
    const double len2 = vect3D(a2, b2, c);
    if (len2 == 0.0) copy3D(r, c); // collapsed: keep the rest direction
    const double along = dot3D(r, d);
    double perp[3];
    for (int i = 0; i < 3; ++i)
        perp[i] = d[i] - along * r[i];

    const double cosA = dot3D(r, c);
    double turned[3];
    if (1.0 + cosA > 1e-9) {
        // Rodrigues with the unnormalised axis k = r x c: v cos + k x v + k (k.v) / (1 + cos).
        double k[3], kv[3];
        cross3D(r, c, k);
        cross3D(k, perp, kv);
        const double f = dot3D(k, perp) / (1.0 + cosA);
        for (int i = 0; i < 3; ++i)
            turned[i] = perp[i] * cosA + kv[i] + k[i] * f;
    } else {
        // Reversed: half a turn about an axis perpendicular to the side.
        double ax1[3], ax2[3];
        getLocalAxis(r, ax1, ax2);
        const double f = 2.0 * dot3D(ax1, perp);
        for (int i = 0; i < 3; ++i)
            turned[i] = -perp[i] + f * ax1[i];
    }
    const double scaled = along * (len2 / len);
    for (int i = 0; i < 3; ++i)
        out[i] = a2[i] + scaled * c[i] + turned[i];
}

void flatTrigonMap(const TrigonData* tri, const double P[3], double out[3]) {
    int side = 0;
    double longest = -1.0;
    for (int k = 0; k < 3; ++k) {
        const double l = dist3D(tri->pnt[k]->worldRestPos, tri->pnt[(k + 1) % 3]->worldRestPos);
        if (l > longest) {
            longest = l;
            side = k;
        }
    }
    const PointData* a = tri->pnt[side];
    const PointData* b = tri->pnt[(side + 1) % 3];
    sideMap(a->worldRestPos, b->worldRestPos, a->worldOtherPos, b->worldOtherPos, P, out);
}

// Whether the rest triangle has an affine map (a frame and some area).
bool hasAffineMap(const TrigonData* tri) {
    const double a = tri->rest.p2x - tri->rest.p1x, b = tri->rest.p2y - tri->rest.p1y;
    const double c = tri->rest.p1x, e = tri->rest.p1y;
    const double delta = a * e - b * c;
    const double sq =
        std::fmax(a * a + b * b, std::fmax(c * c + e * e, tri->rest.p2x * tri->rest.p2x +
                                                              tri->rest.p2y * tri->rest.p2y));
    return dot3D(tri->N, tri->N) >= 0.5 && std::fabs(delta) >= kFlatRatio * sq && sq != 0.0;
}

} // namespace

void trigonMap(const TrigonData* tri, const double P[3], double out[3]) {
    if (!hasAffineMap(tri)) {
        flatTrigonMap(tri, P, out);
        return;
    }
    const double a = tri->rest.p2x - tri->rest.p1x, b = tri->rest.p2y - tri->rest.p1y;
    const double c = tri->rest.p1x, e = tri->rest.p1y;
    const double delta = a * e - b * c;
    double d[3];
    sub3D(P, tri->pnt[0]->worldRestPos, d);
    const double x = dot3D(tri->X, d), y = dot3D(tri->Y, d), h = dot3D(tri->N, d);
    const double t = (x * e - y * c) / delta;
    const double s = (y * a - x * b) / delta;
    const double ux = s * tri->worldP1[0] + t * tri->worldP12[0];
    const double uy = s * tri->worldP1[1] + t * tri->worldP12[1];
    const double* p0 = tri->pnt[0]->worldOtherPos;
    for (int i = 0; i < 3; ++i)
        out[i] = p0[i] + ux * tri->worldX[i] + uy * tri->worldY[i] + h * tri->worldN[i];
}

namespace {

// b = origin' - M origin, for a map that takes origin to origin'.
bool finishAffine(double M[9], const double origin[3], const double mapped[3], double outM[9],
                  double outB[3]) {
    double b[3];
    for (int r = 0; r < 3; ++r)
        b[r] = mapped[r] -
               (M[3 * r] * origin[0] + M[3 * r + 1] * origin[1] + M[3 * r + 2] * origin[2]);
    for (int k = 0; k < 9; ++k)
        if (!std::isfinite(M[k])) return false;
    if (!finite3D(b)) return false;
    for (int k = 0; k < 9; ++k)
        outM[k] = M[k];
    copy3D(b, outB);
    return true;
}

// M += u v^T * f.
void addOuter(double M[9], const double u[3], const double v[3], double f) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            M[3 * r + c] += f * u[r] * v[c];
}

bool trigonUsable(const TrigonData* tri) {
    return tri && tri->pnt[0] && tri->pnt[1] && tri->pnt[2];
}

double segmentDistance3(const double p[3], const double a[3], const double b[3]) {
    double ab[3], ap[3];
    sub3D(b, a, ab);
    sub3D(p, a, ap);
    const double ll = dot3D(ab, ab);
    double t = ll > 0.0 ? dot3D(ap, ab) / ll : 0.0;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    double q[3];
    for (int i = 0; i < 3; ++i)
        q[i] = a[i] + t * ab[i];
    return dist3D(p, q);
}

double smoothOf(const CageInstance* cage) {
    const double s = cage->smoothDistanceClamped;
    return s >= kMinSmooth ? s : kMinSmooth;
}

// (ref / (delta + smooth)) powered; NaN distances weigh nothing.
double volumeWeight(double delta, double smooth, int falloff, double ref) {
    const double r = delta + smooth;
    if (!(r > 0.0) || !(ref > 0.0)) return 0.0;
    const double w = poweredWeight(ref / r, falloff);
    if (!(w < kMaxPlainWeight)) return kMaxPlainWeight;
    return w;
}

// Running reference for the cage weighting: the smallest delta + smooth seen
// so far. A nearer element rescales what was summed before.
struct NearestScale {
    double ref = 0.0; // 0: nothing seen yet
    int falloff = 0;
    double smooth = kMinSmooth;

    double weigh(double delta, ScaledBlend* acc) {
        const double r = delta + smooth;
        if (!(r > 0.0) || !std::isfinite(r)) return 0.0;
        if (ref == 0.0 || r < ref) {
            if (ref != 0.0) {
                const double f = poweredWeight(r / ref, falloff);
                scale3D(acc->disp, f, acc->disp);
                acc->weight *= f;
            }
            ref = r;
            return 1.0;
        }
        return poweredWeight(ref / r, falloff);
    }
};

} // namespace

void calcWeightWithTrigon_W(const TrigonData* tri, const double P[3], double D[3], double* W,
                            double w) {
    // Nothing to add (and a weight addMapped would refuse): the blends give
    // many triangles a weight of exactly 0.
    if (!(w > 0.0)) return;
    if (!tri || !tri->pnt[0] || !tri->pnt[1] || !tri->pnt[2] || !P || !D || !W) return;
    // Recorded past the checks, so that a replayed step needs none.
    recordBlendStep(kStepMapTrigon, tri, w);
    addTrigonMapped(tri, P, D, W, w);
}

void calcWeightWithLinegon_W(const LinegonData* lin, const double P[3], double D[3], double* W,
                             double w) {
    recordBlendStep(kStepMapLinegon, lin, w);
    if (!lin || !lin->pnt[0] || !lin->pnt[1] || !P || !D || !W) return;
    double m[3];
    linegonMap(lin, P, m);
    addMapped(m, P, D, W, w);
}

void readyTrigonWorldMap(TrigonData* tri) {
    // A triangle's map is the same for every point of a frame: it is worked
    // out as an affine transform at the first point and kept in the record
    // until the cage refreshes the triangle.
    if (tri->worldMapState != 0 || !trigonUsable(tri)) return;
    double M[9], b[3];
    if (!trigonAffineMap(tri, M, b)) {
        tri->worldMapState = 2;
        return;
    }
    double* cols = tri->worldMap;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            cols[4 * c + r] = M[3 * r + c];
    cols[3] = cols[7] = cols[11] = 0.0;
    copy3D(b, cols + 12);
    cols[15] = 1.0;
    bool bounded = true;
    for (int k = 0; k < 16; ++k)
        bounded = bounded && std::fabs(cols[k]) <= kBoundedMapEntry;
    tri->worldMapState = bounded ? 1 : 3;
}

bool linegonAffineMap(const LinegonData* lin, double M[9], double b[3]) {
    if (!lin || !lin->pnt[0] || !lin->pnt[1] || !M || !b) return false;
    double m[9] = {0.0};
    addOuter(m, lin->axis1, lin->worldRestAxis1, 1.0);
    addOuter(m, lin->axis2, lin->worldRestAxis2, 1.0);
    addOuter(m, lin->dir, lin->worldRestDir, lin->stretch);
    return finishAffine(m, lin->pnt[0]->worldRestPos, lin->pnt[0]->worldOtherPos, M, b);
}

bool trigonAffineMap(const TrigonData* tri, double M[9], double b[3]) {
    if (!trigonUsable(tri) || !M || !b) return false;
    const double* origin = tri->pnt[0]->worldRestPos;
    double m[9] = {0.0};
    if (!hasAffineMap(tri)) {
        // The side map is affine too: read it off at the origin and one
        // step along each axis (the step is the triangle's size, so the
        // differences keep their digits).
        double size = 0.0;
        for (int k = 0; k < 3; ++k)
            size = std::fmax(size, dist3D(tri->pnt[k]->worldRestPos, origin));
        if (!(size > 0.0) || !std::isfinite(size)) size = 1.0;
        double at0[3];
        flatTrigonMap(tri, origin, at0);
        for (int c = 0; c < 3; ++c) {
            double p[3], q[3];
            copy3D(origin, p);
            p[c] += size;
            flatTrigonMap(tri, p, q);
            for (int r = 0; r < 3; ++r)
                m[3 * r + c] = (q[r] - at0[r]) / size;
        }
        return finishAffine(m, origin, at0, M, b);
    }
    // x, y, h along X, Y, N; (s, t) from (x, y); u = s a' + t b'; the map
    // places u on X', Y' and h on N'.
    const double a = tri->rest.p2x - tri->rest.p1x, bb = tri->rest.p2y - tri->rest.p1y;
    const double c = tri->rest.p1x, e = tri->rest.p1y;
    const double delta = a * e - bb * c;
    double S[3], T[3], Ux[3], Uy[3];
    for (int k = 0; k < 3; ++k) {
        S[k] = (a * tri->Y[k] - bb * tri->X[k]) / delta;
        T[k] = (e * tri->X[k] - c * tri->Y[k]) / delta;
        Ux[k] = tri->worldP1[0] * S[k] + tri->worldP12[0] * T[k];
        Uy[k] = tri->worldP1[1] * S[k] + tri->worldP12[1] * T[k];
    }
    addOuter(m, tri->worldX, Ux, 1.0);
    addOuter(m, tri->worldY, Uy, 1.0);
    addOuter(m, tri->worldN, tri->N, 1.0);
    return finishAffine(m, origin, tri->pnt[0]->worldOtherPos, M, b);
}

void addCornerBlend(const CageInstance* cage, const TrigonData* tri, const TrigonData* nb,
                    const PointData* corner, const double P[3], const double Plocal[3], double D[3],
                    double* W) {
    if (!cage || !tri || !nb || !corner || !Plocal) return;
    double g[3];
    sub3D(Plocal, corner->restPos, g);
    const double hT = std::fabs(dot3D(tri->dir12, g));
    const double hU = std::fabs(dot3D(nb->dir12, g));
    const double m = 0.5 * (hT + hU);
    double wT = 1.0, wU = 1.0;
    if (m >= 1e-7) {
        // hT, hU <= 2m, so the faded weight lies in [0, 1).
        const double x = 2.0 - (hT > m ? hT : hU) / m;
        (hT > m ? wT : wU) = poweredWeight(x > 0.0 ? x : 0.0, cage->falloffType);
    }
    calcWeightWithTrigon_W(tri, P, D, W, wT);
    calcWeightWithTrigon_W(nb, P, D, W, wU);
}

namespace {

// The polygon's own triangles around fan triangle tri: tri itself, the two
// beside it by how near the point is to the spokes they share and how far
// from tri's outer edge, the one across by that distance alone.
inline void addFanTriangles(const CageInstance* cage, const TrigonData* tri, const double P[3],
                            const double o[3], double D[3], double* W) {
    const PolygonData* poly = tri->polygon;
    const unsigned i = tri->subIndex & 3u;
    const int f = cage->falloffType;
    const double q0 = 1.0 - o[1];
    calcWeightWithTrigon_W(tri, P, D, W, 1.0);
    calcWeightWithTrigon_W(&poly->tri[(i + 3) & 3u], P, D, W, poweredWeight(o[0] * q0, f));
    calcWeightWithTrigon_W(&poly->tri[(i + 1) & 3u], P, D, W, poweredWeight(o[2] * q0, f));
    calcWeightWithTrigon_W(&poly->tri[(i + 2) & 3u], P, D, W, poweredWeight(q0, f));
}

// The corner blend at fan triangle tri's corner B (k = 0, the polygon's
// corner i) or C (k = 1, corner i + 1) with the fan triangle beyond it.
inline void addFanCorner(const CageInstance* cage, const TrigonData* tri, int k, const double P[3],
                         const double Plocal[3], double D[3], double* W) {
    const PolygonData* poly = tri->polygon;
    const unsigned i = tri->subIndex & 3u;
    if (k == 0)
        addCornerBlend(cage, tri, &poly->tri[(i + 3) & 3u], poly->pnt[i], P, Plocal, D, W);
    else
        addCornerBlend(cage, tri, &poly->tri[(i + 1) & 3u], poly->pnt[(i + 1) & 3u], P, Plocal, D,
                       W);
}

} // namespace

void addPolygonOwnPart(const CageInstance* cage, const TrigonData* tri, const double P[3],
                       const double Plocal[3], int code, const double o[3],
                       const double cornerDepth[2], double width, double D[3], double* W) {
    if (!cage || !tri || !tri->polygon || !P || !Plocal || !o || !D || !W) return;
    const bool faded = width > 0.0 && cornerDepth &&
                       ((cornerDepth[0] > -width && cornerDepth[0] < width) ||
                        (cornerDepth[1] > -width && cornerDepth[1] < width));
    if (!faded) {
        if (code == kLocCornerB)
            addFanCorner(cage, tri, 0, P, Plocal, D, W);
        else if (code == kLocCornerC)
            addFanCorner(cage, tri, 1, P, Plocal, D, W);
        else
            addFanTriangles(cage, tri, P, o, D, W);
        return;
    }
    // Near a corner region's border: the corner blend and the fan blend,
    // each normalised, in the shares the depth gives.
    const double sB = skinCornerBandShare(cornerDepth[0], width);
    const double sC = skinCornerBandShare(cornerDepth[1], width);
    const double share[3] = {sB, sC * (1.0 - sB), (1.0 - sB) * (1.0 - sC)};
    double sum[3] = {0.0, 0.0, 0.0}, taken = 0.0;
    recordBlendStep(kStepOpen);
    for (int part = 0; part < 3; ++part) {
        if (!(share[part] > 0.0)) continue;
        double d[3] = {0.0, 0.0, 0.0}, w = 0.0;
        recordBlendStep(kStepOpen);
        if (part < 2)
            addFanCorner(cage, tri, part, P, Plocal, d, &w);
        else
            addFanTriangles(cage, tri, P, o, d, &w);
        recordBlendStep(kStepPartEnd, nullptr, share[part]);
        addFadedPart(d, w, share[part], sum, &taken);
    }
    recordBlendStep(kStepFadeEnd);
    addFadedSum(sum, taken, D, W);
}

bool polygonBlend(const CageInstance* cage, PolygonData* poly, const double P[3],
                  const double Plocal[3], double d[3], double* wsum) {
    d[0] = d[1] = d[2] = 0.0;
    *wsum = 0.0;
    if (!cage || !poly || !P || !Plocal) return false;
    recordBlendStep(kStepOpen);
    // Every way out closes the sum as its value.
    struct Close {
        ~Close() { recordBlendStep(kStepPolygonEnd); }
    } close;
    TrigonData* best = nearestFanTriangle(poly, Plocal);
    if (!best) return false;
    const double width = skinBandWidth(poly);
    double o[3], depth[2];
    const int code = getLocationPerAtTrigon(best, P, o, depth, width);
    if (width > 0.0 &&
        ((depth[0] > -width && depth[0] < width) || (depth[1] > -width && depth[1] < width))) {
        addPolygonOwnPart(cage, best, P, Plocal, code, o, depth, width, d, wsum);
    } else {
        // Away from the corner regions' borders: the blend as it stands.
        if (code == kLocCornerB || code == kLocCornerC)
            addFanCorner(cage, best, code == kLocCornerB ? 0 : 1, P, Plocal, d, wsum);
        else
            addFanTriangles(cage, best, P, o, d, wsum);
    }
    // The blend of its own triangles has weight >= 1 unless every map failed.
    return *wsum > 0.0 && finite3D(d);
}

void calcWeightWithPolygon_W(const CageInstance* cage, PolygonData* poly, const double P[3],
                             const double Plocal[3], double D[3], double* W, double w) {
    if (!D || !W || !(w >= 0.0) || !std::isfinite(w)) return;
    double d[3], wsum;
    const bool sound = polygonBlend(cage, poly, P, Plocal, d, &wsum);
    recordBlendStep(kStepAddPolygon, nullptr, w);
    if (sound) addPolygonBlend(d, wsum, D, W, w);
}

double volumeSmoothDistance(const CageInstance* cage) {
    return cage ? smoothOf(cage) : kMinSmooth;
}

double linegonRestDistance(const LinegonData* lin, const double P[3]) {
    double d[3];
    sub3D(P, lin->pnt[0]->worldRestPos, d);
    const double l1 = dot3D(lin->worldRestAxis1, d);
    const double l2 = dot3D(lin->worldRestAxis2, d);
    double l3 = dot3D(lin->worldRestDir, d);
    if (l3 > lin->restLength)
        l3 -= lin->restLength;
    else if (l3 >= 0.0)
        l3 = 0.0;
    return std::sqrt(l1 * l1 + l2 * l2 + l3 * l3);
}

double trigonRestDistance(const TrigonData* tri, const double P[3]) {
    const double* p0 = tri->pnt[0]->worldRestPos;
    if (dot3D(tri->N, tri->N) < 0.5) {
        // No frame: the triangle is its three sides.
        const double* p1 = tri->pnt[1]->worldRestPos;
        const double* p2 = tri->pnt[2]->worldRestPos;
        return std::fmin(segmentDistance3(P, p0, p1),
                         std::fmin(segmentDistance3(P, p1, p2), segmentDistance3(P, p2, p0)));
    }
    double d[3];
    sub3D(P, p0, d);
    const double q[2] = {dot3D(tri->X, d), dot3D(tri->Y, d)};
    const double h = dot3D(tri->N, d);

    const double v[3][2] = {
        {0.0, 0.0}, {tri->rest.p1x, tri->rest.p1y}, {tri->rest.p2x, tri->rest.p2y}};
    const double* dirs[3] = {tri->rest.d01, tri->rest.d12, tri->rest.d20};
    const double* norms[3] = {tri->rest.norm01, tri->rest.norm12, tri->rest.norm20};
    const double lens[3] = {tri->rest.len01, tri->rest.len12, tri->rest.len20};
    bool inside = true;
    double planar = 0.0;
    for (int k = 0; k < 3; ++k) {
        double r[2];
        sub2D(q, v[k], r);
        if (dot2D(norms[k], r) > 0.0) inside = false;
        double t = dot2D(dirs[k], r);
        t = t < 0.0 ? 0.0 : (t > lens[k] ? lens[k] : t);
        const double ex = r[0] - t * dirs[k][0], ey = r[1] - t * dirs[k][1];
        const double dk = std::sqrt(ex * ex + ey * ey);
        if (k == 0 || dk < planar) planar = dk;
    }
    if (inside) planar = 0.0;
    return std::sqrt(planar * planar + h * h);
}

void calcWeightWithTrigon(const CageInstance* cage, const TrigonData* tri, const double P[3],
                          double D[3], double* W, double ref) {
    if (!cage || !trigonUsable(tri) || !P || !D || !W || !finite3D(P)) return;
    const double w =
        volumeWeight(trigonRestDistance(tri, P), smoothOf(cage), cage->falloffType, ref);
    calcWeightWithTrigon_W(tri, P, D, W, w);
}

void calcWeightWithLinegon(const CageInstance* cage, const LinegonData* lin, const double P[3],
                           double D[3], double* W, double ref) {
    if (!cage || !lin || !lin->pnt[0] || !lin->pnt[1] || !P || !D || !W || !finite3D(P)) return;
    const double w =
        volumeWeight(linegonRestDistance(lin, P), smoothOf(cage), cage->falloffType, ref);
    calcWeightWithLinegon_W(lin, P, D, W, w);
}

void calcVolumeWeightsOfCage(const CageInstance* cage, const double P[3], ScaledBlend* out) {
    if (!out) return;
    out->disp[0] = out->disp[1] = out->disp[2] = 0.0;
    out->weight = 0.0;
    out->logScale = 0.0;
    if (!cage || !P || !finite3D(P)) return;

    NearestScale ns;
    ns.falloff = clampFalloff(cage->falloffType);
    ns.smooth = smoothOf(cage);
    for (const LinegonData* lin = cage->linegonList; lin; lin = lin->next) {
        if (!lin->pnt[0] || !lin->pnt[1]) continue;
        const double w = ns.weigh(linegonRestDistance(lin, P), out);
        calcWeightWithLinegon_W(lin, P, out->disp, &out->weight, w);
    }
    for (const TrigonData* tri = cage->trigonList; tri; tri = tri->next) {
        if (!trigonUsable(tri)) continue;
        const double w = ns.weigh(trigonRestDistance(tri, P), out);
        calcWeightWithTrigon_W(tri, P, out->disp, &out->weight, w);
    }
    for (const PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        for (const TrigonData& tri : poly->tri) {
            if (!trigonUsable(&tri)) continue;
            const double w = ns.weigh(trigonRestDistance(&tri, P), out);
            calcWeightWithTrigon_W(&tri, P, out->disp, &out->weight, w);
        }
    }
    if (ns.ref > 0.0 && out->weight > 0.0)
        out->logScale = -double(1 << ns.falloff) * std::log(ns.ref);
}

void addScaledBlend(ScaledBlend* total, const ScaledBlend* part, double factor) {
    if (!total || !part) return;
    if (!(factor > 0.0) || !std::isfinite(factor)) return;
    const double pw = part->weight * factor;
    double pd[3];
    scale3D(part->disp, factor, pd);
    if (!(pw > 0.0) || !std::isfinite(pw) || !finite3D(pd) || !std::isfinite(part->logScale))
        return;
    if (!(total->weight > 0.0)) {
        copy3D(pd, total->disp);
        total->weight = pw;
        total->logScale = part->logScale;
        return;
    }
    if (part->logScale > total->logScale) {
        const double f = std::exp(total->logScale - part->logScale);
        scale3D(total->disp, f, total->disp);
        total->weight *= f;
        total->logScale = part->logScale;
    } else {
        const double f = std::exp(part->logScale - total->logScale);
        scale3D(pd, f, pd);
        if (!(pw * f > 0.0)) return; // too small to register
        add3D(total->disp, pd, total->disp);
        total->weight += pw * f;
        return;
    }
    add3D(total->disp, pd, total->disp);
    total->weight += pw;
}

bool scaledBlendDisplacement(const ScaledBlend* total, double out[3]) {
    if (!out) return false;
    out[0] = out[1] = out[2] = 0.0;
    if (!total || !(total->weight > 0.0) || !std::isfinite(total->weight)) return false;
    double r[3];
    scale3D(total->disp, 1.0 / total->weight, r);
    if (!finite3D(r)) return false;
    copy3D(r, out);
    return true;
}
