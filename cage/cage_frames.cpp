#include "cage/cage_frames.h"

#include "geometry/inlining.h"
#include "geometry/mark_lane.h"

#include "geometry/rotation.h"
#include "geometry/vector.h"

#include <cstring>
#include <cmath>
#include <initializer_list>

namespace {

void edgeNormal(const double d[2], double n[2]) {
    n[0] = -d[1];
    n[1] = d[0];
}

// The triangle's frame (X along P0->P2, N = X x (P0->P1), Y = N x X) and
// P1, P2 in its 2D coordinates.
void triangleFrame(const double P0[3], const double P1[3], const double P2[3], double X[3],
                   double Y[3], double N[3], double p1[2], double p2[2]) {
    double e[3];
    sub3D(P1, P0, e);
    normalize3D(e);
    vect3D(P0, P2, X);
    norm3D(X, e, N);
    cross3D(N, X, Y);

    double a[3], b[3];
    sub3D(P1, P0, a);
    sub3D(P2, P0, b);
    p1[0] = dot3D(X, a);
    p1[1] = dot3D(Y, a);
    p2[0] = dot3D(X, b);
    p2[1] = dot3D(Y, b);
}

void initTrigonFrame(const double P0[3], const double P1[3], const double P2[3], TrigonFrame* f) {
    double p1[2], p2[2];
    triangleFrame(P0, P1, P2, f->X, f->Y, f->N, p1, p2);
    f->p1x = p1[0];
    f->p1y = p1[1];
    f->p2x = p2[0];
    f->p2y = p2[1];

    f->len01 = normalize2D2(p1, f->d01);
    const double p12[2] = {p2[0] - p1[0], p2[1] - p1[1]};
    f->len12 = normalize2D2(p12, f->d12);
    double u[2];
    f->len20 = normalize2D2(p2, u);
    f->d20[0] = -u[0];
    f->d20[1] = -u[1];

    edgeNormal(f->d01, f->norm01);
    edgeNormal(f->d12, f->norm12);
    edgeNormal(f->d20, f->norm20);
}

void boxOf(const double a[3], const double b[3], const double c[3], double lo[3], double hi[3]) {
    for (int i = 0; i < 3; ++i) {
        lo[i] = std::fmin(a[i], std::fmin(b[i], c[i]));
        hi[i] = std::fmax(a[i], std::fmax(b[i], c[i]));
    }
}

// A ball around the centroid through the farthest corner, a hair larger so
// that rounding never leaves a corner outside.
void boundingSphereOf(const double a[3], const double b[3], const double c[3], double out[4]) {
    double r2 = 0.0;
    for (int i = 0; i < 3; ++i)
        out[i] = (a[i] + b[i] + c[i]) / 3.0;
    for (const double* p : {a, b, c})
        r2 = std::fmax(r2, (p[0] - out[0]) * (p[0] - out[0]) + (p[1] - out[1]) * (p[1] - out[1]) +
                               (p[2] - out[2]) * (p[2] - out[2]));
    out[3] = std::sqrt(r2) * (1.0 + 1e-12) + 1e-300;
}

// The smallest height of a polygon's rest fan triangles: twice a
// triangle's area over its longest side.
double smallestFanHeight(const PolygonData* poly) {
    double smallest = HUGE_VAL;
    for (const TrigonData& t : poly->tri) {
        const TrigonFrame& f = t.rest;
        const double area2 = std::fabs(f.p1x * f.p2y - f.p1y * f.p2x);
        const double longest = std::fmax(f.len01, std::fmax(f.len12, f.len20));
        smallest = std::fmin(smallest, longest > 0.0 ? area2 / longest : 0.0);
    }
    return std::isfinite(smallest) ? smallest : 0.0;
}

// R v: v.x right + v.y up + v.z forward.
void rotateByCage(const CageInstance* cage, const double v[3], double out[3]) {
    const double(*ax)[3] = cage->worldAxes;
    double r[3];
    for (int i = 0; i < 3; ++i)
        r[i] = v[0] * ax[0][i] + v[1] * ax[1][i] + v[2] * ax[2][i];
    copy3D(r, out);
}

void toWorld(const CageInstance* cage, const double v[3], double out[3]) {
    rotateByCage(cage, v, out);
    add3D(out, cage->worldAxes[3], out);
}

// acos of -dot, the dot clamped so rounding cannot leave [-1, 1].
double cornerAngle(const double a[3], const double b[3]) {
    double c = -dot3D(a, b);
    if (c > 1.0) c = 1.0;
    if (c < -1.0) c = -1.0;
    return std::acos(c);
}

void linegonRestFrame(const double a[3], const double b[3], double axis1[3], double axis2[3],
                      double dir[3], double* length) {
    *length = vect3D(a, b, dir);
    if (*length == 0.0) {
        *length = 2e-6;
        dir[0] = 0.0;
        dir[1] = 0.0;
        dir[2] = 1.0;
    }
    getLocalAxis(dir, axis1, axis2);
}

} // namespace

void initTrigonData(TrigonData* tri, bool atFrame0) {
    const double* P0 = tri->pnt[0]->restPos;
    const double* P1 = tri->pnt[1]->restPos;
    const double* P2 = tri->pnt[2]->restPos;
    initTrigonFrame(P0, P1, P2, &tri->rest);
    copy3D(tri->rest.X, tri->X);
    copy3D(tri->rest.Y, tri->Y);
    copy3D(tri->rest.N, tri->N);

    vect3D(P0, P1, tri->dir01);
    vect3D(P1, P2, tri->dir12);
    scale3D(tri->rest.X, -1.0, tri->dir20);
    boundingSphereOf(P0, P1, P2, tri->restSphere);
    tri->worldMapState = 0;

    if (atFrame0) {
        const double* B0 = tri->pnt[0]->basePos;
        const double* B1 = tri->pnt[1]->basePos;
        const double* B2 = tri->pnt[2]->basePos;
        initTrigonFrame(B0, B1, B2, &tri->base);
        boxOf(B0, B1, B2, tri->restBoxMin, tri->restBoxMax);
    } else {
        boxOf(P0, P1, P2, tri->restBoxMin, tri->restBoxMax);
    }
}

void sumVertNormWithTrigon(TrigonData* tri) {
    const double angle[3] = {
        cornerAngle(tri->dir01, tri->dir20),
        cornerAngle(tri->dir01, tri->dir12),
        cornerAngle(tri->dir12, tri->dir20),
    };
    for (int k = 0; k < 3; ++k) {
        double add[3];
        scale3D(tri->rest.N, angle[k], add);
        add3D(tri->pnt[k]->normal, add, tri->pnt[k]->normal);
    }
}

void enableTriData(TrigonData* tri) {
    for (int k = 0; k < 3; ++k) {
        const double* n = tri->pnt[k]->normal;
        double* v = tri->vertNorm[k];
        v[0] = dot3D(tri->rest.X, n);
        v[1] = dot3D(tri->rest.Y, n);
        v[2] = dot3D(tri->rest.N, n);
        if (v[2] < 0.0) scale3D(v, -1.0, v);
        if (v[2] < 1e-7) v[2] = 1e-7;
    }
    tri->slideReady = 0;
}

void refreshTrigonData(CageInstance* cage, TrigonData* tri) {
    tri->worldMapState = 0;
    rotateByCage(cage, tri->rest.X, tri->X);
    rotateByCage(cage, tri->rest.Y, tri->Y);
    rotateByCage(cage, tri->rest.N, tri->N);

    double p2[2];
    triangleFrame(tri->pnt[0]->worldOtherPos, tri->pnt[1]->worldOtherPos,
                  tri->pnt[2]->worldOtherPos, tri->worldX, tri->worldY, tri->worldN, tri->worldP1,
                  p2);
    tri->worldP12[0] = p2[0] - tri->worldP1[0];
    tri->worldP12[1] = p2[1] - tri->worldP1[1];
}

namespace {

// Asks for the lines of a triangle's record that refreshTrigonData reads
// and writes.
void prefetchRefresh(const TrigonData* tri) {
    MORVANE_PREFETCH(&tri->pnt);
    MORVANE_PREFETCH(&tri->rest.X);
    MORVANE_PREFETCH(&tri->rest.N);
    MORVANE_PREFETCH(&tri->X);
    MORVANE_PREFETCH(&tri->N);
    MORVANE_PREFETCH(&tri->worldMapState);
    MORVANE_PREFETCH(&tri->worldX);
    MORVANE_PREFETCH(&tri->worldP12);
}

// Records refreshed ahead of the one asked for.
const int kRefreshAhead = 8;

} // namespace

void refreshAllTrigons(CageInstance* cage) {
    // Each triangle's refresh depends on that triangle alone, so they are
    // taken in the order they lie in memory, each record's lines asked for
    // a few triangles ahead: a record is about twenty lines, of which the
    // refresh touches eight, and after a frame's blends few are cached.
    for (int i = 0; i < cage->trigonCount; ++i) {
        if (i + kRefreshAhead < cage->trigonCount)
            prefetchRefresh(&cage->trigonBlock[i + kRefreshAhead]);
        refreshTrigonData(cage, &cage->trigonBlock[i]);
    }
    const int fans = 4 * cage->polygonCount;
    for (int i = 0; i < fans; ++i) {
        if (i + kRefreshAhead < fans) {
            const int ahead = i + kRefreshAhead;
            prefetchRefresh(&cage->polygonBlock[ahead / 4].tri[ahead % 4]);
        }
        refreshTrigonData(cage, &cage->polygonBlock[i / 4].tri[i % 4]);
    }
}

void refreshPolygonCenters(CageInstance* cage) {
    // In the order the polygons lie in memory, each centre's lines asked
    // for a few polygons ahead (a polygon's record is about ninety lines).
    for (int i = 0; i < cage->polygonCount; ++i) {
        if (i + kRefreshAhead < cage->polygonCount) {
            const PolygonData* poly = &cage->polygonBlock[i + kRefreshAhead];
            const PointData* ahead = &poly->center;
            MORVANE_PREFETCH(&poly->pnt);
            MORVANE_PREFETCH(&ahead->basePos);
            MORVANE_PREFETCH(&ahead->worldRestPos);
            MORVANE_PREFETCH(&ahead->restPos);
            MORVANE_PREFETCH(&ahead->normal);
        }
        PolygonData* poly = &cage->polygonBlock[i];
        updatePolygonCenterOther(poly);
        PointData* c = &poly->center;
        if (cage->showBase) {
            toWorld(cage, c->basePos, c->worldRestPos);
            copy3D(c->worldRestPos, c->worldOtherPos);
        } else {
            setPointWorldPositions(cage, c);
        }
    }
}

void updatePolygonCenterRest(PolygonData* poly) {
    PointData* c = &poly->center;
    for (int i = 0; i < 3; ++i) {
        double base = 0.0, rest = 0.0;
        for (int k = 0; k < 4; ++k) {
            base += poly->pnt[k]->basePos[i];
            rest += poly->pnt[k]->restPos[i];
        }
        c->basePos[i] = base * 0.25;
        c->restPos[i] = rest * 0.25;
        c->normal[i] = 0.0;
    }
}

void updatePolygonCenterOther(PolygonData* poly) {
    for (int i = 0; i < 3; ++i) {
        double sum = 0.0;
        for (int k = 0; k < 4; ++k)
            sum += poly->pnt[k]->otherPos[i];
        poly->center.otherPos[i] = sum * 0.25;
    }
}

void setPointWorldPositions(CageInstance* cage, PointData* pnt) {
    toWorld(cage, pnt->restPos, pnt->worldRestPos);
    toWorld(cage, pnt->otherPos, pnt->worldOtherPos);
}

void initLinegonRestFrame(CageInstance* cage, LinegonData* lin) {
    PointData* a = lin->pnt[0];
    PointData* b = lin->pnt[1];
    if (cage->restShapeAtFrame0) {
        lin->pos[0] = a->basePos;
        lin->pos[1] = b->basePos;
        linegonRestFrame(a->basePos, b->basePos, lin->restAxis1_t0, lin->restAxis2_t0,
                         lin->restDir_t0, &lin->restLength_t0);
    } else {
        lin->pos[0] = a->restPos;
        lin->pos[1] = b->restPos;
    }
    linegonRestFrame(a->restPos, b->restPos, lin->restAxis1, lin->restAxis2, lin->restDir,
                     &lin->restLength);
}

void refreshLinegonFrame(CageInstance* cage, LinegonData* lin) {
    rotateByCage(cage, lin->restAxis1, lin->worldRestAxis1);
    rotateByCage(cage, lin->restAxis2, lin->worldRestAxis2);
    rotateByCage(cage, lin->restDir, lin->worldRestDir);

    lin->length = vect3D(lin->pnt[0]->worldOtherPos, lin->pnt[1]->worldOtherPos, lin->dir);
    lin->stretch = lin->restLength > 0.0 ? lin->length / lin->restLength : 0.0;

    double axis[3], angle = 0.0;
    // A collapsed linegon has no direction to turn to: keep the rest axes.
    if (lin->length == 0.0 || getRotateAngleAndAxis(lin->worldRestDir, lin->dir, axis, &angle)) {
        copy3D(lin->worldRestAxis1, lin->axis1);
        copy3D(lin->worldRestAxis2, lin->axis2);
        return;
    }
    double q[4], qc[4];
    getQuaternion(q, qc, axis, angle);
    transformQuaternion(q, qc, lin->worldRestAxis1, lin->axis1);
    cross3D(lin->dir, lin->axis1, lin->axis2);
}

void setLinegonDirOfPoint(PointData* pnt) {
    if (pnt->linegonCount == 0) {
        pnt->linegonDir[0] = pnt->linegonDir[1] = pnt->linegonDir[2] = 0.0;
        return;
    }
    const LinegonData* l0 = pnt->linegons[0];
    if (pnt->linegonCount >= 2) {
        const LinegonData* l1 = pnt->linegons[1];
        double d[3];
        // Chains that meet head to head or tail to tail run against each other.
        if (l0->pnt[0] == l1->pnt[0] || l0->pnt[1] == l1->pnt[1])
            sub3D(l0->restDir, l1->restDir, d);
        else
            add3D(l0->restDir, l1->restDir, d);
        if (normalize3D(d) > 0.0) {
            copy3D(d, pnt->linegonDir);
            return;
        }
    }
    copy3D(l0->restDir, pnt->linegonDir);
}

void rebuildCageRestData(CageInstance* cage) {
    const bool atFrame0 = cage->restShapeAtFrame0 != 0;
    for (int i = 0; i < 3; ++i) {
        cage->restBoxMin[i] = 0.0;
        cage->restBoxMax[i] = 0.0;
    }
    bool first = true;
    for (PointData* p = cage->pointList; p; p = p->next) {
        const double* pos = atFrame0 ? p->basePos : p->restPos;
        for (int i = 0; i < 3; ++i) {
            if (first || pos[i] < cage->restBoxMin[i]) cage->restBoxMin[i] = pos[i];
            if (first || pos[i] > cage->restBoxMax[i]) cage->restBoxMax[i] = pos[i];
            p->normal[i] = 0.0;
        }
        first = false;
    }

    for (LinegonData* lin = cage->linegonList; lin; lin = lin->next)
        initLinegonRestFrame(cage, lin);

    // The blends start from clear marks in every lane.
    for (int lane = 0; lane < kMarkLanes; ++lane) {
        const LaneMarks m = laneMarksOf(cage, lane);
        if (m.trigonBlend)
            memset(m.trigonBlend, 0,
                   size_t(m.polygonBlend - m.trigonBlend) + size_t(cage->polygonBlockSize));
    }

    for (TrigonData* t = cage->trigonList; t; t = t->next) {
        initTrigonData(t, atFrame0);
        sumVertNormWithTrigon(t);
    }

    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        updatePolygonCenterRest(poly);
        for (int k = 0; k < 4; ++k) {
            TrigonData* t = &poly->tri[k];
            initTrigonData(t, atFrame0);
            sumVertNormWithTrigon(t);
        }
        normalize3D(poly->center.normal);
        poly->restHeight = smallestFanHeight(poly);
    }

    for (PointData* p = cage->pointList; p; p = p->next)
        normalize3D(p->normal);

    for (TrigonData* t = cage->trigonList; t; t = t->next)
        enableTriData(t);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (int k = 0; k < 4; ++k)
            enableTriData(&poly->tri[k]);

    for (PointData* p = cage->pointList; p; p = p->next)
        setLinegonDirOfPoint(p);
}
