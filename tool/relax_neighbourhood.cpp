#include "tool/relax.h"

#include <math.h>

#include "geometry/vector.h"
#include "tool/relax_region.h"

namespace {

// Rest lengths carry this much so that a neighbour's weight stays finite.
const double kRestLengthPad = 2e-6;

// unit(sum of the normals of the point's polygons and standalone trigons),
// rest or current.
void sumPointNormal(const PointData* p, int rest, double out[3]) {
    double n[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < p->cornerCount; ++i) {
        const PolygonData* poly = p->cornerPolygons[i];
        add3D(n, rest ? poly->relaxRestNormal : poly->relaxNormal, n);
    }
    for (int i = 0; i < p->trigonCount; ++i) {
        const TrigonData* tri = p->trigons[i];
        if (tri->polygon) continue; // counted through its polygon
        add3D(n, rest ? tri->relaxRestNormal : tri->relaxNormal, n);
    }
    normalize3D(n);
    copy3D(n, out);
}

// A neighbour's offset in the point's tangent frame (t2, t1), normalised;
// returns its length.
double tangentDirection(const double e[3], const double t2[3], const double t1[3], double out[2]) {
    out[0] = dot3D(e, t2);
    out[1] = dot3D(e, t1);
    return normalize2D(out);
}

void clearPassSums(RelaxRegion* region) {
    for (PointData* p = region->points; p; p = p->relaxNext) {
        p->relaxNormalCorrection[0] = p->relaxNormalCorrection[1] = 0.0;
        p->relaxNormalCorrection[2] = 0.0;
        p->relaxDispSum[0] = p->relaxDispSum[1] = p->relaxDispSum[2] = 0.0;
        p->relaxWeightSum = 0.0;
    }
}

void runNeighbourhoodPass(RelaxRegion* region, double factor) {
    clearPassSums(region);
    setRelaxCurrentNormals(region);
    for (PointData* p = region->points; p; p = p->relaxNext)
        addRelaxDispVectorsAroundPoint(p);
    for (PointData* p = region->points; p; p = p->relaxNext) {
        if (p->relaxWeightSum == 0.0 || p->relaxLevel == 0) continue;
        double step[3];
        scale3D(p->relaxDispSum, 1.0 / p->relaxWeightSum, step);
        add3D(step, p->relaxNormalCorrection, step);
        scale3D(step, factor, step);
        add3D(p->worldOtherPos, step, p->worldOtherPos);
    }
    growRelaxRegion(region);
}

} // namespace

void addRelaxDispVectorsAroundPoint(PointData* point) {
    const int n = point->neighbourCount;
    if (n == 0) return;
    const double* pr = point->startPos;
    const double* pc = point->worldOtherPos;

    double nr[3], nc[3];
    sumPointNormal(point, 1, nr);
    sumPointNormal(point, 0, nc);

    // Heights of the neighbours' centroid above the point.
    double cr[3] = {0.0, 0.0, 0.0}, cc[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < n; ++i) {
        add3D(cr, point->neighbours[i]->startPos, cr);
        add3D(cc, point->neighbours[i]->worldOtherPos, cc);
    }
    scale3D(cr, 1.0 / n, cr);
    scale3D(cc, 1.0 / n, cc);
    sub3D(cr, pr, cr);
    sub3D(cc, pc, cc);
    const double restHeight = dot3D(cr, nr);
    const double curHeight = dot3D(cc, nc);

    // Tangent frames with the first neighbour on the t2 axis.
    double e[3], t1r[3], t2r[3], t1c[3], t2c[3];
    sub3D(point->neighbours[0]->startPos, pr, e);
    norm3D(nr, e, t1r);
    cross3D(t1r, nr, t2r);
    sub3D(point->neighbours[0]->worldOtherPos, pc, e);
    norm3D(nc, e, t1c);
    cross3D(t1c, nc, t2c);

    // The neighbourhood's mean turn about the normal.
    double angleSum = 0.0;
    double shortest = HUGE_VAL;
    for (int i = 0; i < n; ++i) {
        PointData* q = point->neighbours[i];
        double rest2[2], cur2[2];
        sub3D(q->startPos, pr, e);
        q->relaxRestLength = tangentDirection(e, t2r, t1r, rest2) + kRestLengthPad;
        if (q->relaxRestLength < shortest) shortest = q->relaxRestLength;
        sub3D(q->worldOtherPos, pc, e);
        tangentDirection(e, t2c, t1c, cur2);
        if (i > 0) angleSum += relaxTurnAngle(rest2, cur2);
    }
    const double theta = angleSum / n;
    const double cosT = cos(theta), sinT = sin(theta);

    for (int i = 0; i < n; ++i) {
        PointData* q = point->neighbours[i];
        sub3D(q->startPos, pr, e);
        const double a = dot3D(e, t2r), b = dot3D(e, t1r), c = dot3D(e, nr);
        const double a2 = a * cosT - b * sinT, b2 = a * sinT + b * cosT;
        double target[3];
        for (int k = 0; k < 3; ++k)
            target[k] = pc[k] + a2 * t2c[k] + b2 * t1c[k] + c * nc[k];
        const double w = 1.0 / q->relaxRestLength;
        for (int k = 0; k < 3; ++k)
            q->relaxDispSum[k] += (target[k] - q->worldOtherPos[k]) * w;
        q->relaxWeightSum += w;
    }

    // The point makes up half the change of its neighbours' height above it,
    // but follows a rise by at most half its shortest edge per pass.
    double lift = 0.5 * (curHeight - restHeight);
    if (lift > 0.5 * shortest) lift = 0.5 * shortest;
    for (int k = 0; k < 3; ++k)
        point->relaxNormalCorrection[k] += nc[k] * lift;
}

void relaxCageMeshDistortion3D(EditCageState* state, CageInstance* cage, int iterations,
                               double factor) {
    if (!state || !cage) return;
    setRelaxPointFlags(state, cage, 1);
    RelaxRegion region;
    initRelaxRegion(&region, cage, state->maxLevel);
    const int passes = relaxPassCount(iterations);
    factor *= 0.25;
    for (int pass = 0; pass < passes; ++pass)
        runNeighbourhoodPass(&region, factor);
}
