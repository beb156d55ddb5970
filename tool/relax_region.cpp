#include "tool/relax_region.h"

#include <math.h>

#include "geometry/quad_split.h"
#include "geometry/vector.h"

namespace {

int anyInRange(PointData* const* pnt, int count) {
    for (int i = 0; i < count; ++i)
        if (pnt[i]->inRange) return 1;
    return 0;
}

int allInRange(PointData* const* pnt, int count) {
    for (int i = 0; i < count; ++i)
        if (!pnt[i]->inRange) return 0;
    return 1;
}

int hasFreeNeighbour(const PointData* p) {
    for (int i = 0; i < p->neighbourCount; ++i)
        if (!p->neighbours[i]->relaxFixed) return 1;
    return 0;
}

void joinPoint(RelaxRegion* region, PointData* p, unsigned int level) {
    p->relaxInList = 1;
    p->relaxLevel = p->relaxFixed ? 0 : level;
    p->relaxNext = region->points;
    region->points = p;
}

// The in-range corners of an element that starts the region.
void joinInRangeCorners(RelaxRegion* region, PointData* const* pnt, int count, unsigned int level) {
    for (int i = 0; i < count; ++i)
        if (pnt[i]->inRange && !pnt[i]->relaxInList) joinPoint(region, pnt[i], level);
}

void activateTrigon(RelaxRegion* region, TrigonData* tri) {
    if (tri->relaxInList) return;
    tri->relaxInList = 1;
    tri->relaxNext = region->trigons;
    region->trigons = tri;
}

void activatePolygon(RelaxRegion* region, PolygonData* poly) {
    if (poly->relaxInList) return;
    poly->relaxInList = 1;
    poly->relaxNext = region->polygons;
    region->polygons = poly;
}

// A corner reached by the growth: it joins, and every element it belongs to
// becomes active (a fan triangle through its polygon).
void joinGrownCorner(RelaxRegion* region, PointData* p) {
    if (p->relaxInList) return;
    joinPoint(region, p, region->level);
    for (int i = 0; i < p->trigonCount; ++i) {
        TrigonData* tri = p->trigons[i];
        if (tri->polygon)
            activatePolygon(region, tri->polygon);
        else
            activateTrigon(region, tri);
    }
}

// (b - a) x (c - a) added to sum.
void addTriangleCross(const double a[3], const double b[3], const double c[3], double sum[3]) {
    double ab[3], ac[3], n[3];
    sub3D(b, a, ab);
    sub3D(c, a, ac);
    cross3D(ab, ac, n);
    add3D(sum, n, sum);
}

const double* relaxPos(const PointData* p, int rest) {
    return rest ? p->startPos : p->worldOtherPos;
}

} // namespace

void setRelaxPointFlags(const EditCageState* state, CageInstance* cage, int anchorsJoin) {
    for (PointData* p = cage->pointList; p; p = p->next) {
        unsigned char fixed = state->selectedPointCount != 0 && !p->selected;
        if (state->fixPointsOutOfRange && !p->inRange) fixed = 1;
        if (state->fixOuterEdges && p->onBorder) fixed = 1;
        p->relaxFixed = fixed;
        p->relaxInList = fixed;
    }
    if (!anchorsJoin) return;
    for (PointData* p = cage->pointList; p; p = p->next)
        if (p->relaxFixed && hasFreeNeighbour(p)) p->relaxInList = 0;
}

namespace {

// Partly covered elements are pushed onto the active list, fully covered
// ones onto their own, which then goes behind it; the scan of the active
// elements ends where the full ones begin.
template <class Element> struct ElementLists {
    Element* partial = nullptr;
    Element* lastPartial = nullptr;
    Element* full = nullptr;
    void add(Element* e, bool fullyCovered) {
        Element*& head = fullyCovered ? full : partial;
        if (!fullyCovered && !partial) lastPartial = e;
        e->relaxNext = head;
        head = e;
    }
    void finish(Element** list, Element** scanEnd) {
        if (lastPartial) lastPartial->relaxNext = full;
        *list = lastPartial ? partial : full;
        *scanEnd = full;
    }
};

} // namespace

void initRelaxRegion(RelaxRegion* region, CageInstance* cage, unsigned int maxLevel) {
    const unsigned int start = maxLevel + 1;
    region->points = nullptr;
    region->level = start;

    ElementLists<TrigonData> trigons;
    for (TrigonData* tri = cage->trigonList; tri; tri = tri->next) {
        tri->relaxInList = 0;
        relaxTriangleNormal(tri->pnt[0]->startPos, tri->pnt[1]->startPos, tri->pnt[2]->startPos,
                            tri->relaxRestNormal);
        if (!anyInRange(tri->pnt, 3)) continue;
        tri->relaxInList = 1;
        joinInRangeCorners(region, tri->pnt, 3, start);
        trigons.add(tri, allInRange(tri->pnt, 3));
    }
    trigons.finish(&region->trigons, &region->trigonScanEnd);

    ElementLists<PolygonData> polygons;
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        PointData* const* c = poly->pnt;
        poly->relaxInList = 0;
        poly->relaxDiagonal =
            boolSpinTrigon(c[0]->startPos, c[1]->startPos, c[2]->startPos, c[3]->startPos) ? 1 : 0;
        relaxPolygonNormal(poly, 1, poly->relaxRestNormal);
        if (!anyInRange(c, 4)) continue;
        poly->relaxInList = 1;
        joinInRangeCorners(region, c, 4, start);
        polygons.add(poly, allInRange(c, 4));
    }
    polygons.finish(&region->polygons, &region->polygonScanEnd);
}

void setRelaxCurrentNormals(RelaxRegion* region) {
    for (TrigonData* tri = region->trigons; tri; tri = tri->relaxNext)
        relaxTriangleNormal(tri->pnt[0]->worldOtherPos, tri->pnt[1]->worldOtherPos,
                            tri->pnt[2]->worldOtherPos, tri->relaxNormal);
    for (PolygonData* poly = region->polygons; poly; poly = poly->relaxNext)
        relaxPolygonNormal(poly, 0, poly->relaxNormal);
}

void growRelaxRegion(RelaxRegion* region) {
    if (region->level == 0) return;
    --region->level;
    TrigonData* const trigonStop = region->trigonScanEnd;
    PolygonData* const polygonStop = region->polygonScanEnd;
    TrigonData* const firstTrigon = region->trigons;
    PolygonData* const firstPolygon = region->polygons;
    // Elements activated below go in front of these and wait for the next
    // growth.
    region->trigonScanEnd = firstTrigon;
    region->polygonScanEnd = firstPolygon;
    for (TrigonData* tri = firstTrigon; tri != trigonStop; tri = tri->relaxNext)
        for (int i = 0; i < 3; ++i)
            joinGrownCorner(region, tri->pnt[i]);
    for (PolygonData* poly = firstPolygon; poly != polygonStop; poly = poly->relaxNext)
        for (int i = 0; i < 4; ++i)
            joinGrownCorner(region, poly->pnt[i]);
}

int relaxPassCount(int iterations) {
    return iterations < 2 ? 0 : iterations - 1;
}

double relaxTurnAngle(const double rest[2], const double cur[2]) {
    // atan2 is acos(dot) signed by the cross product for unit vectors, but
    // keeps its precision near 0, where acos loses half the digits and so
    // would turn a rigid neighbourhood by 1e-8. A zero vector keeps the
    // acos value, a right angle.
    const double d = dot2D(rest, cur), c = cross2D(rest, cur);
    if (d == 0.0 && c == 0.0) return acos(0.0);
    return atan2(c, d);
}

void relaxTriangleNormal(const double a[3], const double b[3], const double c[3], double out[3]) {
    double n[3] = {0.0, 0.0, 0.0};
    addTriangleCross(a, b, c, n);
    normalize3D(n);
    scale3D(n, -1.0, out);
}

void relaxPolygonNormal(const PolygonData* poly, int rest, double out[3]) {
    const double* c0 = relaxPos(poly->pnt[0], rest);
    const double* c1 = relaxPos(poly->pnt[1], rest);
    const double* c2 = relaxPos(poly->pnt[2], rest);
    const double* c3 = relaxPos(poly->pnt[3], rest);
    double n[3] = {0.0, 0.0, 0.0};
    if (poly->relaxDiagonal) {
        addTriangleCross(c1, c2, c3, n);
        addTriangleCross(c3, c0, c1, n);
    } else {
        addTriangleCross(c0, c1, c2, n);
        addTriangleCross(c2, c3, c0, n);
    }
    normalize3D(n);
    scale3D(n, -1.0, out);
}
