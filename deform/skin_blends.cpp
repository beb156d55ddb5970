// The Skin blends. See skin_blends.h.
#include "deform/skin_blends.h"

#include "deform/binding_weights.h"
#include "geometry/element_location.h"
#include "geometry/vector.h"

#include <cmath>

namespace {

// Mitre slopes beyond this (planes within ~0.006 degrees of the line) are
// held there: the plane then barely cuts the line anyway.
constexpr double kMaxMitreSlope = 1e4;

bool finite3(const double v[3]) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// Only the first byte of workMark is ours.
bool polygonMarked(const PolygonData* poly) {
    return reinterpret_cast<const unsigned char*>(&poly->workMark)[0] != 0;
}
void setPolygonMark(PolygonData* poly, unsigned char v) {
    reinterpret_cast<unsigned char*>(&poly->workMark)[0] = v;
}

void markAround(PointData* pnt) {
    if (!pnt) return;
    for (int k = 0; k < pnt->trigonCount; ++k) {
        TrigonData* t = pnt->trigons[k];
        if (!t) continue;
        t->deformMark = 1;
        if (t->polygon) setPolygonMark(t->polygon, 1);
    }
}

TrigonData* acrossEdge(const EdgeData* edge, const TrigonData* self) {
    if (!edge) return nullptr;
    return edge->trigonA == self ? edge->trigonB : edge->trigonA;
}

// A polygon joins once, through whichever of its triangles is reached first.
void addNeighbour(const CageInstance* cage, TrigonData* nb, const double P[3],
                  const double Plocal[3], double D[3], double* W, double w) {
    if (nb->polygon) {
        if (!polygonMarked(nb->polygon)) return;
        setPolygonMark(nb->polygon, 0);
        calcWeightWithPolygon_W(cage, nb->polygon, P, Plocal, D, W, w);
    } else {
        calcWeightWithTrigon_W(nb, P, D, W, w);
    }
}

void addAroundCorner(const CageInstance* cage, PointData* pnt, const double P[3],
                     const double Plocal[3], double D[3], double* W, double w) {
    if (!pnt) return;
    for (int k = 0; k < pnt->trigonCount; ++k) {
        TrigonData* u = pnt->trigons[k];
        if (!u || !u->deformMark) continue;
        u->deformMark = 0;
        addNeighbour(cage, u, P, Plocal, D, W, w);
    }
}

bool finish(const double D[3], double W, double disp[3]) {
    if (!(W > 0.0)) return false;
    double r[3];
    scale3D(D, 1.0 / W, r);
    if (!finite3(r)) return false;
    copy3D(r, disp);
    return true;
}

bool argsOk(const CageInstance* cage, const TrigonData* tri, const double P[3],
            const double Plocal[3], double disp[3]) {
    if (disp) disp[0] = disp[1] = disp[2] = 0.0;
    return cage && tri && P && Plocal && disp && tri->pnt[0] && tri->pnt[1] && tri->pnt[2] &&
           finite3(P) && finite3(Plocal);
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

} // namespace

bool skinBlendStandaloneTrigon(CageInstance* cage, TrigonData* tri, const double P[3],
                               const double Plocal[3], double disp[3]) {
    if (!argsOk(cage, tri, P, Plocal, disp)) return false;
    const int f = cage->falloffType;
    double o[3];
    getLocationPerAtTrigon(tri, P, o);
    const double ew[3] = {poweredWeight(o[0], f), poweredWeight(o[1], f), poweredWeight(o[2], f)};
    const double cw[3] = {poweredWeight(1.0 - o[1], f), poweredWeight(1.0 - o[2], f),
                          poweredWeight(1.0 - o[0], f)};

    for (int k = 0; k < 3; ++k)
        markAround(tri->pnt[k]);
    tri->deformMark = 0;

    double D[3] = {0.0, 0.0, 0.0}, W = 0.0;
    calcWeightWithTrigon_W(tri, P, D, &W, 1.0);
    for (int k = 0; k < 3; ++k) {
        TrigonData* u = acrossEdge(tri->edge[k], tri);
        if (!u) continue;
        u->deformMark = 0;
        addNeighbour(cage, u, P, Plocal, D, &W, ew[k]);
    }
    for (int k = 0; k < 3; ++k)
        addAroundCorner(cage, tri->pnt[k], P, Plocal, D, &W, cw[k]);
    return finish(D, W, disp);
}

bool skinBlendFanTriangle(CageInstance* cage, TrigonData* tri, const double P[3],
                          const double Plocal[3], double disp[3]) {
    if (!argsOk(cage, tri, P, Plocal, disp) || !tri->polygon) return false;
    PolygonData* poly = tri->polygon;
    const int f = cage->falloffType;
    const unsigned i = tri->subIndex & 3u;
    const unsigned i1 = (i + 1) & 3u, i2 = (i + 2) & 3u, i3 = (i + 3) & 3u;
    double o[4];
    const int code = getLocationPerAtPolygon(tri, P, o);

    double E[4], V[4];
    E[i] = 0.5 + 0.5 * o[1];
    E[i1] = o[3];
    E[i2] = 1.0 - E[i];
    E[i3] = 1.0 - o[3];
    V[i] = 1.0 - o[2];
    V[i1] = 1.0 - o[0];
    V[i2] = V[i3] = 0.0;
    const double q0 = 1.0 - o[1];
    const double q = poweredWeight(q0, f);
    const double b = poweredWeight(o[2] * q0, f);
    const double c = poweredWeight(o[0] * q0, f);
    for (int k = 0; k < 4; ++k) {
        E[k] = poweredWeight(E[k], f);
        V[k] = poweredWeight(V[k], f);
    }

    double D[3] = {0.0, 0.0, 0.0}, W = 0.0;
    if (code == kLocCornerB) {
        addCornerBlend(cage, tri, &poly->tri[i3], poly->pnt[i], P, Plocal, D, &W);
    } else if (code == kLocCornerC) {
        addCornerBlend(cage, tri, &poly->tri[i1], poly->pnt[i1], P, Plocal, D, &W);
    } else {
        calcWeightWithTrigon_W(tri, P, D, &W, 1.0);
        calcWeightWithTrigon_W(&poly->tri[i3], P, D, &W, c);
        calcWeightWithTrigon_W(&poly->tri[i1], P, D, &W, b);
        calcWeightWithTrigon_W(&poly->tri[i2], P, D, &W, q);
    }
    // The polygon's own part counts as one element.
    if (W > 0.0) {
        scale3D(D, 1.0 / W, D);
        W = 1.0;
    }

    for (int k = 0; k < 4; ++k)
        markAround(poly->pnt[k]);
    for (TrigonData& t : poly->tri)
        t.deformMark = 0;
    setPolygonMark(poly, 0);

    for (int k = 0; k < 4; ++k) {
        TrigonData* u = acrossEdge(poly->tri[k].edge[1], &poly->tri[k]);
        if (!u) continue;
        u->deformMark = 0;
        addNeighbour(cage, u, P, Plocal, D, &W, E[k]);
    }
    for (int k = 0; k < 4; ++k)
        if (V[k] != 0.0) addAroundCorner(cage, poly->pnt[k], P, Plocal, D, &W, V[k]);
    return finish(D, W, disp);
}

double linegonChainPosition(const CageInstance* cage, const LinegonData* lin, const double P[3]) {
    if (!cage || !lin || !P || !lin->pnt[0] || !lin->pnt[1] || !finite3(P)) return 0.0;
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
    if (!cage || !lin || !P || !disp || !lin->pnt[0] || !lin->pnt[1] || !finite3(P)) return false;
    double s = linegonChainPosition(cage, lin, P);
    s = s < 0.0 ? 0.0 : (s > 1.0 ? 1.0 : s);
    const double wA = poweredWeight(1.0 - s, cage->falloffType);
    const double wB = poweredWeight(s, cage->falloffType);

    double D[3] = {0.0, 0.0, 0.0}, W = 0.0;
    calcWeightWithLinegon_W(lin, P, D, &W, 1.0);
    if (const LinegonData* la = chainNext(lin->pnt[0], lin))
        calcWeightWithLinegon_W(la, P, D, &W, wA);
    if (const LinegonData* lb = chainNext(lin->pnt[1], lin))
        calcWeightWithLinegon_W(lb, P, D, &W, wB);
    return finish(D, W, disp);
}
