#include "cage/cage_frames.h"

#include "geometry/rotation.h"
#include "geometry/vector.h"

#include <cmath>
#include <initializer_list>

namespace {

// Steps shared by the rest data and the frame-0 block.
struct TriangleRest {
    double X[3], Y[3], N[3];
    double p1[2], p2[2];
    double d01[2], d12[2], d20[2];
    double len01, len12, len20;
    double norm01[2], norm12[2], norm20[2];
};

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

void computeTriangleRest(const double P0[3], const double P1[3], const double P2[3],
                         TriangleRest* r) {
    triangleFrame(P0, P1, P2, r->X, r->Y, r->N, r->p1, r->p2);

    r->len01 = normalize2D2(r->p1, r->d01);
    const double p12[2] = {r->p2[0] - r->p1[0], r->p2[1] - r->p1[1]};
    r->len12 = normalize2D2(p12, r->d12);
    double u[2];
    r->len20 = normalize2D2(r->p2, u);
    r->d20[0] = -u[0];
    r->d20[1] = -u[1];

    edgeNormal(r->d01, r->norm01);
    edgeNormal(r->d12, r->norm12);
    edgeNormal(r->d20, r->norm20);
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
        const double area2 = std::fabs(t.p1x * t.p2y - t.p1y * t.p2x);
        const double longest = std::fmax(t.len01, std::fmax(t.len12, t.len20));
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

void initTrigonData(TrigonData* tri) {
    const double* P0 = tri->pnt[0]->restPos;
    const double* P1 = tri->pnt[1]->restPos;
    const double* P2 = tri->pnt[2]->restPos;
    TriangleRest r;
    computeTriangleRest(P0, P1, P2, &r);

    copy3D(r.X, tri->localX);
    copy3D(r.Y, tri->localY);
    copy3D(r.N, tri->localN);
    copy3D(r.X, tri->X);
    copy3D(r.Y, tri->Y);
    copy3D(r.N, tri->N);

    vect3D(P0, P1, tri->dir01);
    vect3D(P1, P2, tri->dir12);
    scale3D(r.X, -1.0, tri->dir20);

    tri->p1x = r.p1[0];
    tri->p1y = r.p1[1];
    tri->p2x = r.p2[0];
    tri->p2y = r.p2[1];
    copy2D(r.d01, tri->d01);
    copy2D(r.d12, tri->d12);
    copy2D(r.d20, tri->d20);
    tri->len01 = r.len01;
    tri->len12 = r.len12;
    tri->len20 = r.len20;
    copy2D(r.norm01, tri->norm01);
    copy2D(r.norm12, tri->norm12);
    copy2D(r.norm20, tri->norm20);
    boxOf(P0, P1, P2, tri->restBoxMin, tri->restBoxMax);
    boundingSphereOf(P0, P1, P2, tri->restSphere);
    tri->worldMapState = 0;
}

void initTrigonData_t0(TrigonData* tri) {
    const double* B0 = tri->pnt[0]->basePos;
    const double* B1 = tri->pnt[1]->basePos;
    const double* B2 = tri->pnt[2]->basePos;
    TriangleRest r;
    computeTriangleRest(B0, B1, B2, &r);
    copy3D(r.X, tri->X_t0);
    copy3D(r.Y, tri->Y_t0);
    copy3D(r.N, tri->N_t0);
    copy2D(r.p1, tri->p1_t0);
    copy2D(r.p2, tri->p2_t0);
    tri->p12_t0[0] = r.p2[0] - r.p1[0];
    tri->p12_t0[1] = r.p2[1] - r.p1[1];
    copy2D(r.d01, tri->d01_t0);
    copy2D(r.d12, tri->d12_t0);
    copy2D(r.d20, tri->d20_t0);
    tri->len01_t0 = r.len01;
    tri->len12_t0 = r.len12;
    tri->len20_t0 = r.len20;
    copy2D(r.norm01, tri->norm01_t0);
    copy2D(r.norm12, tri->norm12_t0);
    copy2D(r.norm20, tri->norm20_t0);
    boxOf(B0, B1, B2, tri->restBoxMin, tri->restBoxMax);

    double lo[3], hi[3];
    copy3D(tri->restBoxMin, lo);
    copy3D(tri->restBoxMax, hi);
    initTrigonData(tri);
    copy3D(lo, tri->restBoxMin);
    copy3D(hi, tri->restBoxMax);
}

void sumVertNormWithTrigon(TrigonData* tri) {
    const double angle[3] = {
        cornerAngle(tri->dir01, tri->dir20),
        cornerAngle(tri->dir01, tri->dir12),
        cornerAngle(tri->dir12, tri->dir20),
    };
    for (int k = 0; k < 3; ++k) {
        double add[3];
        scale3D(tri->localN, angle[k], add);
        add3D(tri->pnt[k]->normal, add, tri->pnt[k]->normal);
    }
}

void enableTriData(TrigonData* tri) {
    for (int k = 0; k < 3; ++k) {
        const double* n = tri->pnt[k]->normal;
        double* v = tri->vertNorm[k];
        v[0] = dot3D(tri->localX, n);
        v[1] = dot3D(tri->localY, n);
        v[2] = dot3D(tri->localN, n);
        if (v[2] < 0.0) scale3D(v, -1.0, v);
        if (v[2] < 1e-7) v[2] = 1e-7;
    }
    tri->slideReady = 0;
}

void refreshTrigonData(CageInstance* cage, TrigonData* tri) {
    tri->worldMapState = 0;
    rotateByCage(cage, tri->localX, tri->X);
    rotateByCage(cage, tri->localY, tri->Y);
    rotateByCage(cage, tri->localN, tri->N);

    double p2[2];
    triangleFrame(tri->pnt[0]->worldOtherPos, tri->pnt[1]->worldOtherPos,
                  tri->pnt[2]->worldOtherPos, tri->worldX, tri->worldY, tri->worldN, tri->worldP1,
                  p2);
    tri->worldP12[0] = p2[0] - tri->worldP1[0];
    tri->worldP12[1] = p2[1] - tri->worldP1[1];
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

    for (TrigonData* t = cage->trigonList; t; t = t->next) {
        if (atFrame0)
            initTrigonData_t0(t);
        else
            initTrigonData(t);
        sumVertNormWithTrigon(t);
        t->deformMark = 0;
    }

    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        updatePolygonCenterRest(poly);
        for (int k = 0; k < 4; ++k) {
            TrigonData* t = &poly->tri[k];
            if (atFrame0)
                initTrigonData_t0(t);
            else
                initTrigonData(t);
            sumVertNormWithTrigon(t);
            t->deformMark = 0;
        }
        normalize3D(poly->center.normal);
        poly->workMark = 0;
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
