// Location of a point over a triangle. See element_location.h.
#include "geometry/element_location.h"

#include "geometry/inlining.h"

#include "geometry/location_memo.h"

#include "geometry/vector.h"

#include <cmath>

namespace {

// NaN counts as 0, so no value handed out can be NaN.
double clamp01(double v) {
    if (!(v > 0.0)) return 0.0;
    return v < 1.0 ? v : 1.0;
}

// num / den clamped to [0, 1]; a zero denominator gives 0.
double ratio01(double num, double den) {
    if (den == 0.0) return 0.0;
    return clamp01(num / den);
}

struct Place {
    int code;
    double t;        // edge codes: clamped position from the edge's start
    bool zeroEdge;   // edge codes: the edge has no length
    double in[3];    // inside: out[0..2]
    double side;     // inside: position across B -> C
    double depth[2]; // signed distance into the regions of corners B and C
};

// Sides k = 0, 1, 2 are A->B, B->C, C->A.
const int kSideCode[3] = {kLocEdgeAB, kLocEdgeBC, kLocEdgeCA};
const int kSideStart[3] = {kLocCornerA, kLocCornerB, kLocCornerC};
const int kSideEnd[3] = {kLocCornerB, kLocCornerC, kLocCornerA};

// The place of a point past a flat triangle: its nearest side with a length,
// or that side's end when the point lies beyond it.
void nearestSide(const double dist[3], const double rawT[3], const bool hasLength[3], Place* p) {
    int side = -1;
    for (int k = 0; k < 3; ++k)
        if (hasLength[k] && (side < 0 || dist[k] < dist[side])) side = k;
    if (side < 0) {
        p->code = kLocEdgeAB;
        p->zeroEdge = true;
        p->t = 0.0;
        return;
    }
    p->zeroEdge = false;
    if (!(rawT[side] > 0.0)) {
        p->code = kSideStart[side];
    } else if (rawT[side] >= 1.0) {
        p->code = kSideEnd[side];
    } else {
        p->code = kSideCode[side];
        p->t = rawT[side];
    }
}

template <int Dim> double dotN(const double* a, const double* b) {
    double s = 0.0;
    for (int i = 0; i < Dim; ++i)
        s += a[i] * b[i];
    return s;
}

// Distance from q to segment a-b (Dim components) and the unclamped position.
template <int Dim>
double sideDistance(const double* q, const double* a, const double* b, double* t, bool* hasLen) {
    double ab[3] = {0.0, 0.0, 0.0}, aq[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < Dim; ++i) {
        ab[i] = b[i] - a[i];
        aq[i] = q[i] - a[i];
    }
    const double ll = dotN<Dim>(ab, ab);
    *hasLen = ll >= kGeomEpsilon * kGeomEpsilon;
    *t = *hasLen ? dotN<Dim>(aq, ab) / ll : 0.0;
    const double c = clamp01(*t);
    double r = 0.0;
    for (int i = 0; i < Dim; ++i) {
        const double e = aq[i] - c * ab[i];
        r += e * e;
    }
    return std::sqrt(r);
}

template <int Dim>
void flatPlace(const double* q, const double* a, const double* b, const double* c, Place* p) {
    const double* ends[3][2] = {{a, b}, {b, c}, {c, a}};
    double dist[3], t[3];
    bool hasLen[3];
    for (int k = 0; k < 3; ++k)
        dist[k] = sideDistance<Dim>(q, ends[k][0], ends[k][1], &t[k], &hasLen[k]);
    nearestSide(dist, t, hasLen, p);
}

MORVANE_ALWAYS_INLINE void edgePlace(int code, const double from[2], const double to[2],
                                     const double q[2], Place* p) {
    p->code = code;
    double e[2], r[2];
    sub2D(to, from, e);
    sub2D(q, from, r);
    const double len = normalize2D(e); // e is now unit
    p->zeroEdge = len == 0.0;
    p->t = p->zeroEdge ? 0.0 : clamp01(dot2D(r, e) / len);
}

// How far the corners slide for a point at height h. Sliding along the
// vertex normals shrinks the triangle where the normals converge (inside a
// closed cage): there it collapses to a point and then turns over, where
// the closeness values would divide 0 by 0 or measure against a mirrored
// triangle. The slid triangle's doubled area is a quadratic in the height;
// while it keeps at least kSoundArea of its rest area, with the rest
// orientation, the corners slide to h itself. Past that height they stop
// where the area reaches that share, so the values stay those of a proper
// triangle and change continuously with the point.
constexpr double kSoundArea = 0.01;

// fmax of three (a NaN among them is passed over), without the calls.
double largest3(double a, double b, double c) {
    const double ab = a > b || b != b ? a : b;
    return ab > c || c != c ? ab : c;
}

double cross2(const double a[2], const double b[2]) {
    return a[0] * b[1] - a[1] * b[0];
}

// The slide rates and the area's quadratic of a triangle, kept with it.
void prepareSlide(TrigonData* tri) {
    for (int k = 0; k < 3; ++k) {
        const double* n = tri->vertNorm[k];
        const double c = n[2] >= 1e-7 ? n[2] : 1e-7;
        tri->slideRate[k][0] = n[0] / c;
        tri->slideRate[k][1] = n[1] / c;
    }
    const double E1[2] = {tri->rest.p1x, tri->rest.p1y};
    const double E2[2] = {tri->rest.p2x, tri->rest.p2y};
    const double* rate[3] = {tri->slideRate[0], tri->slideRate[1], tri->slideRate[2]};
    const double R1[2] = {rate[1][0] - rate[0][0], rate[1][1] - rate[0][1]};
    const double R2[2] = {rate[2][0] - rate[0][0], rate[2][1] - rate[0][1]};
    tri->slideArea[0] = cross2(E1, E2);
    tri->slideArea[1] = cross2(E1, R2) + cross2(R1, E2);
    tri->slideArea[2] = cross2(R1, R2);
    tri->slideReady = 1;
}

} // namespace

void readyTrigonSlide(TrigonData* tri) {
    if (!tri->slideReady) prepareSlide(tri);
}

namespace {

double soundSlideHeight(const TrigonData* tri, double h) {
    const double a0 = tri->slideArea[0];
    if (!(a0 != 0.0) || !std::isfinite(h) || h == 0.0) return h;
    // Along the side of h, with u = |h|: the area over its sound limit is
    // g(u) = c0 + b u + c2 u^2, positive at u = 0.
    const double sign = a0 > 0.0 ? 1.0 : -1.0;
    const double side = h > 0.0 ? 1.0 : -1.0;
    const double c0 = (1.0 - kSoundArea) * std::fabs(a0);
    const double b = sign * side * tri->slideArea[1];
    const double c2 = sign * tri->slideArea[2];
    const double u = std::fabs(h);
    // Sound all the way to u: g(u) >= 0 and no dip below 0 in between (only
    // a convex g with its lowest point inside (0, u) can dip).
    const double gu = c0 + (b + c2 * u) * u;
    if (gu >= 0.0) {
        if (!(c2 > 0.0)) return h;
        const double low = -b / (2.0 * c2);
        if (!(low > 0.0 && low < u) || c0 + (b + c2 * low) * low >= 0.0) return h;
    }
    // The first u > 0 where g reaches 0: it lies before u.
    double limit = u;
    if (c2 == 0.0) {
        if (b < 0.0) limit = c0 / -b;
    } else {
        const double disc = b * b - 4.0 * c2 * c0;
        if (disc >= 0.0) {
            const double q = -0.5 * (b + (b >= 0.0 ? 1.0 : -1.0) * std::sqrt(disc));
            const double roots[2] = {q / c2, q != 0.0 ? c0 / q : HUGE_VAL};
            for (double r : roots)
                if (r > 0.0 && r < limit) limit = r;
        }
    }
    return side * limit;
}

void locate(const TrigonData* tri, const double pt[3], Place* p, double within = -1.0) {
    p->t = 0.0;
    p->zeroEdge = false;
    p->side = 0.0;
    p->in[0] = p->in[1] = p->in[2] = 0.0;
    p->depth[0] = p->depth[1] = -HUGE_VAL;

    // A triangle without a frame gives no 2D picture: use its 3D sides.
    if (dot3D(tri->N, tri->N) < 0.5) {
        flatPlace<3>(pt, tri->pnt[0]->worldRestPos, tri->pnt[1]->worldRestPos,
                     tri->pnt[2]->worldRestPos, p);
        return;
    }

    double d[3];
    sub3D(pt, tri->pnt[0]->worldRestPos, d);
    const double Q[2] = {dot3D(tri->X, d), dot3D(tri->Y, d)};
    const double h = dot3D(tri->N, d);

    if (!tri->slideReady) prepareSlide(const_cast<TrigonData*>(tri));
    const double base[3][2] = {
        {0.0, 0.0}, {tri->rest.p1x, tri->rest.p1y}, {tri->rest.p2x, tri->rest.p2y}};
    const double slide = soundSlideHeight(tri, h);
    double v[3][2];
    for (int k = 0; k < 3; ++k) {
        v[k][0] = base[k][0] + tri->slideRate[k][0] * slide;
        v[k][1] = base[k][1] + tri->slideRate[k][1] * slide;
    }
    const double* A = v[0];
    const double* B = v[1];
    const double* C = v[2];

    double AB[2], BC[2], CA[2], QA[2], QB[2], QC[2];
    sub2D(B, A, AB);
    sub2D(C, B, BC);
    sub2D(A, C, CA);
    sub2D(Q, A, QA);
    sub2D(Q, B, QB);
    sub2D(Q, C, QC);

    // Height over the longest side below the length epsilon: flat.
    const double area2 = cross2D(CA, AB);
    const double longest = std::sqrt(largest3(dot2D(AB, AB), dot2D(BC, BC), dot2D(CA, CA)));
    if (!(std::fabs(area2) >= kGeomEpsilon * longest) || longest < kGeomEpsilon) {
        flatPlace<2>(Q, A, B, C, p);
        return;
    }

    // Corner B's region lies past B along AB and before B along BC; C's past
    // C along BC and before C along CA. The lengths are not 0 here.
    // Only depths within `within` of 0 are worked out; the others are
    // held at +-within, which needs no root.
    if (within >= 0.0) {
        const double w2 = within * within;
        // The distance along a side, held at +-within; the lower of two.
        auto along = [within, w2](double dot, double len2) {
            if (dot * dot >= w2 * len2) return dot > 0.0 ? within : -within;
            return dot / std::sqrt(len2);
        };
        auto lower = [&](double dotFirst, double len2First, double dotSecond, double len2Second) {
            // Well before the first line: nothing else to know.
            if (dotFirst < 0.0 && dotFirst * dotFirst >= w2 * len2First) return -within;
            const double a = along(dotFirst, len2First), b = along(dotSecond, len2Second);
            return a < b ? a : b;
        };
        const double ab2 = dot2D(AB, AB), bc2 = dot2D(BC, BC), ca2 = dot2D(CA, CA);
        p->depth[0] = lower(dot2D(QB, AB), ab2, -dot2D(QB, BC), bc2);
        p->depth[1] = lower(-dot2D(QC, CA), ca2, dot2D(QC, BC), bc2);
    }

    if (dot2D(QA, CA) > 0.0 && dot2D(QA, AB) < 0.0) {
        p->code = kLocCornerA;
    } else if (dot2D(QB, AB) > 0.0 && dot2D(QB, BC) < 0.0) {
        p->code = kLocCornerB;
    } else if (dot2D(QC, BC) > 0.0 && dot2D(QC, CA) < 0.0) {
        p->code = kLocCornerC;
    } else if (cross2D(AB, QA) > 0.0) {
        edgePlace(kLocEdgeAB, A, B, Q, p);
    } else if (cross2D(BC, QB) > 0.0) {
        edgePlace(kLocEdgeBC, B, C, Q, p);
    } else if (cross2D(CA, QC) > 0.0) {
        edgePlace(kLocEdgeCA, C, A, Q, p);
    } else {
        p->code = kLocInside;
        p->in[0] = ratio01(cross2D(QC, AB), cross2D(CA, AB));
        p->in[1] = ratio01(cross2D(QA, BC), cross2D(AB, BC));
        p->in[2] = ratio01(cross2D(QB, CA), cross2D(BC, CA));

        // Across the side, split at the median from A: each half maps its
        // lines parallel to the median onto half of the side.
        const double M[2] = {0.5 * (B[0] + C[0]), 0.5 * (B[1] + C[1])};
        double AM[2], MB[2], MC[2];
        sub2D(A, M, AM);
        sub2D(M, B, MB);
        sub2D(M, C, MC);
        if (cross2D(QA, AM) > 0.0)
            p->side = 0.5 * ratio01(cross2D(QB, AM), cross2D(MB, AM));
        else
            p->side = 1.0 - 0.5 * ratio01(cross2D(QC, AM), cross2D(MC, AM));
    }
}

bool usable(const TrigonData* tri, const double pt[3], const double* out) {
    return tri && pt && out && tri->pnt[0] && tri->pnt[1] && tri->pnt[2];
}

MORVANE_ALWAYS_INLINE void trigonOut(const Place& p, double out[3]) {
    const double t = p.t;
    switch (p.code) {
    case kLocCornerA:
        out[0] = 1.0, out[1] = 0.0, out[2] = 1.0;
        break;
    case kLocCornerB:
        out[0] = 1.0, out[1] = 1.0, out[2] = 0.0;
        break;
    case kLocCornerC:
        out[0] = 0.0, out[1] = 1.0, out[2] = 1.0;
        break;
    case kLocEdgeAB:
        if (p.zeroEdge)
            out[0] = out[1] = out[2] = 1.0;
        else
            out[0] = 1.0, out[1] = t, out[2] = 1.0 - t;
        break;
    case kLocEdgeBC:
        if (p.zeroEdge)
            out[0] = out[1] = out[2] = 1.0;
        else
            out[0] = 1.0 - t, out[1] = 1.0, out[2] = t;
        break;
    case kLocEdgeCA:
        if (p.zeroEdge)
            out[0] = out[1] = out[2] = 1.0;
        else
            out[0] = t, out[1] = 1.0 - t, out[2] = 1.0;
        break;
    default:
        out[0] = p.in[0], out[1] = p.in[1], out[2] = p.in[2];
        break;
    }
}

double acrossSide(const Place& p) {
    switch (p.code) {
    case kLocCornerA:
        return 0.5;
    case kLocCornerB:
        return 0.0;
    case kLocCornerC:
        return 1.0;
    case kLocEdgeAB:
        return p.zeroEdge ? 0.5 : 0.5 * (1.0 - p.t);
    case kLocEdgeBC:
        return p.zeroEdge ? 1.0 : p.t;
    case kLocEdgeCA:
        return p.zeroEdge ? 1.0 : 0.5 + 0.5 * (1.0 - p.t);
    default:
        return p.side;
    }
}

int locationAtTrigon(const TrigonData* tri, const double pt[3], double out[3],
                     double cornerDepth[2], double within) {
    if (cornerDepth) cornerDepth[0] = cornerDepth[1] = -HUGE_VAL;
    if (out) out[0] = out[1] = out[2] = 0.0;
    if (!usable(tri, pt, out) || !finite3D(pt)) return kLocInside;
    Place p;
    locate(tri, pt, &p, cornerDepth ? within : -1.0);
    trigonOut(p, out);
    if (cornerDepth) cornerDepth[0] = p.depth[0], cornerDepth[1] = p.depth[1];
    return p.code;
}

int locationAtPolygon(const TrigonData* tri, const double pt[3], double out[4],
                      double cornerDepth[2], double within) {
    if (cornerDepth) cornerDepth[0] = cornerDepth[1] = -HUGE_VAL;
    if (out) out[0] = out[1] = out[2] = out[3] = 0.0;
    if (!usable(tri, pt, out) || !finite3D(pt)) return kLocInside;
    Place p;
    locate(tri, pt, &p, cornerDepth ? within : -1.0);
    trigonOut(p, out);
    out[3] = acrossSide(p);
    if (cornerDepth) cornerDepth[0] = p.depth[0], cornerDepth[1] = p.depth[1];
    return p.code;
}

// A location answered from the memo when one is set and replays this
// question; else computed (and recorded when the memo records).
template <class Compute>
int throughMemo(int kind, const TrigonData* tri, const double pt[3], double* out, int outCount,
                double cornerDepth[2], double within, Compute compute) {
    LocationMemo* memo = pt && out ? stLocationMemo : nullptr;
    if (cornerDepth) kind += 16; // asked with depths: another question
    int code = 0;
    if (memo &&
        replayLocation(memo, kind, tri, pt, within, &code, out, outCount, cornerDepth, nullptr))
        return code;
    code = compute(tri, pt, out, cornerDepth, within);
    if (memo)
        recordLocation(memo, kind, tri, pt, within, code, out, outCount, cornerDepth, nullptr);
    return code;
}

} // namespace

int getLocationPerAtTrigon(const TrigonData* tri, const double pt[3], double out[3],
                           double cornerDepth[2], double within) {
    return throughMemo(kMemoTrigon, tri, pt, out, 3, cornerDepth, within, locationAtTrigon);
}

int getLocationPerAtPolygon(const TrigonData* tri, const double pt[3], double out[4],
                            double cornerDepth[2], double within) {
    return throughMemo(kMemoPolygon, tri, pt, out, 4, cornerDepth, within, locationAtPolygon);
}

int getLocationPerAtTrigon(const TrigonData* tri, const double pt[3], double out[3]) {
    return getLocationPerAtTrigon(tri, pt, out, nullptr, 0.0);
}

int getLocationPerAtPolygon(const TrigonData* tri, const double pt[3], double out[4]) {
    return getLocationPerAtPolygon(tri, pt, out, nullptr, 0.0);
}
