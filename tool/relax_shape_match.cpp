#include "tool/relax.h"

#include <math.h>

#include "geometry/vector.h"
#include "tool/relax_region.h"

namespace {

// A triangle's centroid and its frame in one shape: N the normal, A toward
// the first corner, B = A x N.
struct TriangleFrame {
    double g[3];
    double n[3];
    double a[3];
    double b[3];
};

void makeTriangleFrame(const double* p0, const double* p1, const double* p2, TriangleFrame* f) {
    for (int k = 0; k < 3; ++k)
        f->g[k] = (p0[k] + p1[k] + p2[k]) / 3.0;
    double e20[3], e10[3];
    sub3D(p2, p0, e20);
    sub3D(p1, p0, e10);
    norm3D(e20, e10, f->n);
    vect3D(f->g, p0, f->a);
    cross3D(f->a, f->n, f->b);
}

// The corner's direction from the centroid in the frame's plane, normalised.
void planeDirection(const double* p, const TriangleFrame* f, double out[2]) {
    double r[3];
    sub3D(p, f->g, r);
    out[0] = dot3D(r, f->b);
    out[1] = dot3D(r, f->a);
    normalize2D(out);
}

void runShapeMatchingPass(RelaxRegion* region, double factor) {
    for (PointData* p = region->points; p; p = p->relaxNext) {
        p->relaxDispSum[0] = p->relaxDispSum[1] = p->relaxDispSum[2] = 0.0;
        p->relaxWeightSum = 0.0;
    }
    // The fan triangles meet at the centre, which follows its corners.
    for (PolygonData* poly = region->polygons; poly; poly = poly->relaxNext) {
        PointData* c = &poly->center;
        c->relaxDispSum[0] = c->relaxDispSum[1] = c->relaxDispSum[2] = 0.0;
        c->relaxWeightSum = 0.0;
        for (int k = 0; k < 3; ++k)
            c->worldOtherPos[k] =
                (poly->pnt[0]->worldOtherPos[k] + poly->pnt[1]->worldOtherPos[k] +
                 poly->pnt[2]->worldOtherPos[k] + poly->pnt[3]->worldOtherPos[k]) /
                4.0;
    }
    for (TrigonData* tri = region->trigons; tri; tri = tri->relaxNext)
        addRelaxDispVectorWithTrigon(tri);
    for (PolygonData* poly = region->polygons; poly; poly = poly->relaxNext)
        for (int k = 0; k < 4; ++k)
            addRelaxDispVectorWithTrigon(&poly->tri[k]);
    for (PointData* p = region->points; p; p = p->relaxNext) {
        if (p->relaxWeightSum == 0.0 || p->relaxLevel == 0) continue;
        double step[3];
        scale3D(p->relaxDispSum, factor / p->relaxWeightSum, step);
        add3D(p->worldOtherPos, step, p->worldOtherPos);
    }
    growRelaxRegion(region);
}

} // namespace

void addRelaxDispVectorWithTrigon(TrigonData* trigon) {
    PointData* const* pnt = trigon->pnt;
    TriangleFrame rest, cur;
    makeTriangleFrame(pnt[0]->startPos, pnt[1]->startPos, pnt[2]->startPos, &rest);
    makeTriangleFrame(pnt[0]->worldOtherPos, pnt[1]->worldOtherPos, pnt[2]->worldOtherPos, &cur);

    // The mean turn of the corners about the centroid; the first corner
    // defines the frames and so never turns.
    double angleSum = 0.0;
    for (int i = 1; i < 3; ++i) {
        double rest2[2], cur2[2];
        planeDirection(pnt[i]->startPos, &rest, rest2);
        planeDirection(pnt[i]->worldOtherPos, &cur, cur2);
        angleSum += relaxTurnAngle(rest2, cur2);
    }
    const double theta = angleSum / 3.0;
    const double cosT = cos(theta), sinT = sin(theta);

    for (int i = 0; i < 3; ++i) {
        PointData* p = pnt[i];
        double r[3];
        sub3D(p->startPos, rest.g, r);
        const double x = dot3D(r, rest.b), y = dot3D(r, rest.a), z = dot3D(r, rest.n);
        const double x2 = x * cosT - y * sinT, y2 = x * sinT + y * cosT;
        for (int k = 0; k < 3; ++k)
            p->relaxDispSum[k] +=
                cur.g[k] + x2 * cur.b[k] + y2 * cur.a[k] + z * cur.n[k] - p->worldOtherPos[k];
        p->relaxWeightSum += 1.0;
    }
}

void relaxCageMeshShapeMatching(EditCageState* state, CageInstance* cage) {
    if (!state || !cage) return;
    setRelaxPointFlags(state, cage, 0);
    RelaxRegion region;
    initRelaxRegion(&region, cage, state->maxLevel);
    const int passes = relaxPassCount(state->stiffnessIterations);
    for (int pass = 0; pass < passes; ++pass)
        runShapeMatchingPass(&region, state->stiffnessFactor);
}
