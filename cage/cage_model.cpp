#include "cage/cage_model.h"

#include "geometry/mark_lane.h"

#include "geometry/vector.h"
#include "module/memory.h"

#include <cstdlib>
#include <cstring>

namespace {

// Moves a list to a heap array of twice its capacity. The inline array is
// never freed; a heap array is replaced by the larger one.
template <class T> T* grownArray(const T* current, int count, int newCapacity) {
    T* grown = static_cast<T*>(morvaneAlloc(sizeof(T) * std::size_t(newCapacity)));
    if (!grown) return nullptr;
    if (count > 0) std::memcpy(grown, current, sizeof(T) * std::size_t(count));
    return grown;
}

template <class T> void releaseArray(T* current, const T* inlineStore) {
    if (current && current != inlineStore) morvaneFree(current);
}

int nextCapacity(int capacity) {
    return capacity > 0 ? capacity * 2 : 4;
}

// Grows two parallel lists together; on failure neither changes.
template <class A, class B>
bool growPair(A** a, const A* inlineA, B** b, const B* inlineB, int count, int* capacity) {
    const int cap = nextCapacity(*capacity);
    A* grownA = grownArray(*a, count, cap);
    B* grownB = grownArray(*b, count, cap);
    if (!grownA || !grownB) {
        morvaneFree(grownA);
        morvaneFree(grownB);
        return false;
    }
    releaseArray(*a, inlineA);
    releaseArray(*b, inlineB);
    *a = grownA;
    *b = grownB;
    *capacity = cap;
    return true;
}

int appendCorner(PointData* p, PolygonData* poly, unsigned int corner) {
    if (p->cornerCount >= p->cornerCapacity &&
        !growPair(&p->cornerPolygons, p->cornerPolygonsInline, &p->cornerNumbers,
                  p->cornerNumbersInline, p->cornerCount, &p->cornerCapacity))
        return 0;
    p->cornerPolygons[p->cornerCount] = poly;
    p->cornerNumbers[p->cornerCount] = corner;
    ++p->cornerCount;
    return 1;
}

int appendEdge(PointData* p, PointData* far, EdgeData* edge) {
    if (p->edgeCount >= p->edgeCapacity &&
        !growPair(&p->edgePoints, p->edgePointsInline, &p->edges, p->edgesInline, p->edgeCount,
                  &p->edgeCapacity))
        return 0;
    p->edgePoints[p->edgeCount] = far;
    p->edges[p->edgeCount] = edge;
    ++p->edgeCount;
    return 1;
}

// One list of single pointers (neighbours, linegons, trigons).
template <class T> int appendItem(T*** items, int* count, int* capacity, T** inlineStore, T* item) {
    if (*count >= *capacity) {
        const int cap = nextCapacity(*capacity);
        T** grown = grownArray(*items, *count, cap);
        if (!grown) return 0;
        releaseArray(*items, inlineStore);
        *items = grown;
        *capacity = cap;
    }
    (*items)[(*count)++] = item;
    return 1;
}

// Heap arrays only; the inline pointers may be stale in a zeroed record.
void freePointLists(PointData* p) {
    releaseArray(p->cornerPolygons, p->cornerPolygonsInline);
    releaseArray(p->cornerNumbers, p->cornerNumbersInline);
    releaseArray(p->neighbours, p->neighboursInline);
    releaseArray(p->edgePoints, p->edgePointsInline);
    releaseArray(p->edges, p->edgesInline);
    releaseArray(p->linegons, p->linegonsInline);
    releaseArray(p->trigons, p->trigonsInline);
}

void resetPointLists(PointData* p) {
    freePointLists(p);

    p->cornerCount = 0;
    p->cornerCapacity = kPointCornerInline;
    p->cornerPolygons = p->cornerPolygonsInline;
    p->cornerNumbers = p->cornerNumbersInline;
    p->neighbourCount = 0;
    p->neighbourCapacity = kPointNeighbourInline;
    p->neighbours = p->neighboursInline;
    p->edgeCount = 0;
    p->edgeCapacity = kPointEdgeInline;
    p->edgePoints = p->edgePointsInline;
    p->edges = p->edgesInline;
    p->linegonCount = 0;
    p->linegonCapacity = kPointLinegonInline;
    p->linegons = p->linegonsInline;
    p->trigonCount = 0;
    p->trigonCapacity = kPointTrigonInline;
    p->trigons = p->trigonsInline;
}

void freeKeyChain(CageKey* key) {
    while (key) {
        CageKey* next = key->next;
        morvaneFree(key->deltas);
        morvaneFree(key);
        key = next;
    }
}

double edgeBaseLength(const EdgeData* e) {
    return dist3D(e->pntA->basePos, e->pntB->basePos);
}

} // namespace

int allocCageBlocks(CageInstance* cage, int points, int linegons, int trigons, int polygons) {
    // Records in a live block are pointed at from everywhere; never swap one.
    if (cage->pointBlock || cage->linegonBlock || cage->trigonBlock || cage->polygonBlock ||
        cage->laneMarks)
        return 0;
    cage->pointCount = cage->linegonCount = cage->trigonCount = cage->polygonCount = 0;
    static unsigned int lastStamp = 0;
    cage->geometryStamp = ++lastStamp;

    int ok = 1;
    if (points > 0)
        cage->pointBlock =
            static_cast<PointData*>(morvaneCalloc(std::size_t(points), sizeof(PointData)));
    if (linegons > 0)
        cage->linegonBlock =
            static_cast<LinegonData*>(morvaneCalloc(std::size_t(linegons), sizeof(LinegonData)));
    if (trigons > 0)
        cage->trigonBlock =
            static_cast<TrigonData*>(morvaneCalloc(std::size_t(trigons), sizeof(TrigonData)));
    if (polygons > 0)
        cage->polygonBlock =
            static_cast<PolygonData*>(morvaneCalloc(std::size_t(polygons), sizeof(PolygonData)));
    const std::size_t stride = laneMarkStride(linegons, trigons, polygons);
    if (linegons > 0 || trigons > 0 || polygons > 0)
        cage->laneMarks = static_cast<unsigned char*>(morvaneCalloc(stride, kMarkLanes));
    cage->laneStride = cage->laneMarks ? stride : 0;

    cage->pointBlockSize = cage->pointBlock ? points : 0;
    cage->linegonBlockSize = cage->linegonBlock ? linegons : 0;
    cage->trigonBlockSize = cage->trigonBlock ? trigons : 0;
    cage->polygonBlockSize = cage->polygonBlock ? polygons : 0;
    if (points > 0 && !cage->pointBlock) ok = 0;
    if (linegons > 0 && !cage->linegonBlock) ok = 0;
    if (trigons > 0 && !cage->trigonBlock) ok = 0;
    if (polygons > 0 && !cage->polygonBlock) ok = 0;
    if ((linegons > 0 || trigons > 0 || polygons > 0) && !cage->laneMarks) ok = 0;
    return ok;
}

void initPointData(PointData* pnt, CageInstance* cage, const double pos[3]) {
    std::memset(pnt, 0, sizeof *pnt);
    copy3D(pos, pnt->basePos);
    copy3D(pos, pnt->restPos);
    copy3D(pos, pnt->refPos);
    pnt->owner = cage;
    resetPointLists(pnt);
}

PointData* add1PointData(CageInstance* cage, const double pos[3]) {
    if (cage->pointCount >= cage->pointBlockSize) return nullptr;
    PointData* pnt = &cage->pointBlock[cage->pointCount];
    initPointData(pnt, cage, pos);
    pnt->next = cage->pointList;
    cage->pointList = pnt;
    ++cage->pointCount;
    return pnt;
}

PolygonData* add1PolygonData(CageInstance* cage, PointData* c0, PointData* c1, PointData* c2,
                             PointData* c3) {
    if (cage->polygonCount >= cage->polygonBlockSize) return nullptr;
    PolygonData* poly = &cage->polygonBlock[cage->polygonCount];
    std::memset(poly, 0, sizeof *poly);
    poly->place = unsigned(cage->polygonCount);
    poly->pnt[0] = c0;
    poly->pnt[1] = c1;
    poly->pnt[2] = c2;
    poly->pnt[3] = c3;

    // Centre positions are made by the rebuild; start from the origin.
    const double origin[3] = {0.0, 0.0, 0.0};
    initPointData(&poly->center, cage, origin);
    poly->center.isCenter = 1;

    for (int k = 0; k < 4; ++k) {
        TrigonData* tri = &poly->tri[k];
        tri->pnt[0] = &poly->center;
        tri->pnt[1] = poly->pnt[k];
        tri->pnt[2] = poly->pnt[(k + 1) % 4];
        tri->polygon = poly;
        tri->subIndex = unsigned(k);
        tri->place = 4 * poly->place + unsigned(k);
    }
    poly->next = cage->polygonList;
    cage->polygonList = poly;
    ++cage->polygonCount;
    return poly;
}

TrigonData* add1TrigonData(CageInstance* cage, PointData* p0, PointData* p1, PointData* p2) {
    if (cage->trigonCount >= cage->trigonBlockSize) return nullptr;
    TrigonData* tri = &cage->trigonBlock[cage->trigonCount];
    std::memset(tri, 0, sizeof *tri);
    tri->place = 4 * unsigned(cage->polygonBlockSize) + unsigned(cage->trigonCount);
    tri->pnt[0] = p0;
    tri->pnt[1] = p1;
    tri->pnt[2] = p2;
    tri->polygon = nullptr;
    tri->next = cage->trigonList;
    cage->trigonList = tri;
    ++cage->trigonCount;
    return tri;
}

LinegonData* add1LinegonData(CageInstance* cage, PointData* a, PointData* b) {
    if (cage->linegonCount >= cage->linegonBlockSize) return nullptr;
    LinegonData* lin = &cage->linegonBlock[cage->linegonCount];
    std::memset(lin, 0, sizeof *lin);
    lin->place = unsigned(cage->linegonCount);
    lin->pnt[0] = a;
    lin->pnt[1] = b;
    lin->pos[0] = a->basePos;
    lin->pos[1] = b->basePos;
    lin->next = cage->linegonList;
    cage->linegonList = lin;
    ++cage->linegonCount;
    return lin;
}

void clearCageAdjacency(CageInstance* cage) {
    for (PointData* p = cage->pointList; p; p = p->next) {
        resetPointLists(p);
        p->onBorder = 0;
    }
    for (TrigonData* t = cage->trigonList; t; t = t->next)
        t->edge[0] = t->edge[1] = t->edge[2] = nullptr;
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        resetPointLists(&poly->center);
        poly->center.onBorder = 0;
        for (int k = 0; k < 4; ++k)
            poly->tri[k].edge[0] = poly->tri[k].edge[1] = poly->tri[k].edge[2] = nullptr;
    }
    morvaneFree(cage->edgeBlock);
    cage->edgeBlock = nullptr;
    cage->edgeBlockSize = 0;
    cage->edgeList = nullptr;
    cage->edgeCount = 0;
}

int getEdgeWithTrigon(CageInstance* cage, TrigonData* tri) {
    tri->edge[0] = tri->edge[1] = tri->edge[2] = nullptr;
    static const int kSlotOrder[3] = {2, 0, 1};
    for (int s = 0; s < 3; ++s) {
        const int slot = kSlotOrder[s];
        const unsigned int fromCorner = unsigned(slot);
        const unsigned int toCorner = unsigned((slot + 1) % 3);
        PointData* from = tri->pnt[fromCorner];
        PointData* to = tri->pnt[toCorner];
        if (!appendItem(&from->trigons, &from->trigonCount, &from->trigonCapacity,
                        from->trigonsInline, tri))
            return 0;

        EdgeData* found = nullptr;
        for (int i = 0; i < from->edgeCount; ++i) {
            if (from->edgePoints[i] == to) {
                found = from->edges[i];
                break;
            }
        }
        if (!found) {
            if (cage->edgeCount >= cage->edgeBlockSize) return 0;
            EdgeData* e = &cage->edgeBlock[cage->edgeCount++];
            std::memset(e, 0, sizeof *e);
            e->pntA = from;
            e->pntB = to;
            e->trigonA = tri;
            e->aInTrigonA = fromCorner;
            e->bInTrigonA = toCorner;
            e->next = cage->edgeList;
            cage->edgeList = e;
            tri->edge[slot] = e;
            if (!appendEdge(from, to, e) || !appendEdge(to, from, e)) return 0;
        } else if (!found->trigonB && found->pntB == from) {
            // Met before in the opposite direction: the second side.
            found->trigonB = tri;
            found->aInTrigonB = toCorner;
            found->bInTrigonB = fromCorner;
            tri->edge[slot] = found;
        }
        // Same winding or a third triangle: not shared, slot stays null.
    }
    return 1;
}

namespace {

// Every list of createEdgeData; 0 as soon as one cannot grow.
int linkCageAdjacency(CageInstance* cage) {
    for (LinegonData* lin = cage->linegonList; lin; lin = lin->next) {
        for (int i = 0; i < 2; ++i) {
            PointData* p = lin->pnt[i];
            if (!appendItem(&p->linegons, &p->linegonCount, &p->linegonCapacity, p->linegonsInline,
                            lin))
                return 0;
        }
    }
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (int k = 0; k < 4; ++k)
            if (!appendCorner(poly->pnt[k], poly, unsigned(k))) return 0;

    const int edges = 3 * cage->trigonCount + 8 * cage->polygonCount + 8;
    cage->edgeBlock = static_cast<EdgeData*>(morvaneCalloc(std::size_t(edges), sizeof(EdgeData)));
    if (!cage->edgeBlock) return 0;
    cage->edgeBlockSize = edges;
    cage->edgeCount = 0;
    cage->edgeList = nullptr;

    for (TrigonData* t = cage->trigonList; t; t = t->next)
        if (!getEdgeWithTrigon(cage, t)) return 0;
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (int k = 0; k < 4; ++k)
            if (!getEdgeWithTrigon(cage, &poly->tri[k])) return 0;

    for (PointData* p = cage->pointList; p; p = p->next) {
        p->onBorder = 0;
        for (int i = 0; i < p->edgeCount; ++i)
            if (!p->edges[i]->trigonB) p->onBorder = 1;
        for (int i = 0; i < p->edgeCount; ++i) {
            PointData* far = p->edgePoints[i];
            if (!far->isCenter && !appendItem(&p->neighbours, &p->neighbourCount,
                                              &p->neighbourCapacity, p->neighboursInline, far))
                return 0;
        }
        for (int i = 0; i < p->cornerCount; ++i) {
            PointData* opposite = p->cornerPolygons[i]->pnt[(p->cornerNumbers[i] + 2) % 4];
            if (!appendItem(&p->neighbours, &p->neighbourCount, &p->neighbourCapacity,
                            p->neighboursInline, opposite))
                return 0;
        }
    }
    return 1;
}

} // namespace

double createEdgeData(CageInstance* cage, int computeDefault) {
    clearCageAdjacency(cage);
    if (!linkCageAdjacency(cage)) {
        // Half-built lists would send walks astray: the cage keeps none.
        clearCageAdjacency(cage);
        return CAGE_ADJACENCY_FAILED;
    }

    if (!computeDefault) return 0.0;
    double sum = 0.0;
    int count = 0;
    for (EdgeData* e = cage->edgeList; e; e = e->next) {
        const bool spoke = e->trigonA && e->trigonB && e->trigonA->polygon &&
                           e->trigonA->polygon == e->trigonB->polygon;
        if (spoke) continue;
        sum += edgeBaseLength(e);
        ++count;
    }
    for (LinegonData* lin = cage->linegonList; lin; lin = lin->next) {
        sum += dist3D(lin->pnt[0]->basePos, lin->pnt[1]->basePos);
        ++count;
    }
    return count > 0 ? 2.5 * sum / count : 0.01;
}

void destroyCageData(CageInstance* cage) {
    freeKeyChain(cage->removedKeyHead);
    cage->removedKeyHead = cage->removedKeyTail = nullptr;
    freeKeyChain(cage->keyHead);
    cage->keyHead = cage->keyTail = nullptr;
    cage->toolKey = nullptr;
    cage->labelCounter = 0;

    for (PointData* p = cage->pointList; p; p = p->next)
        freePointLists(p);
    morvaneFree(cage->pointBlock);
    morvaneFree(cage->pointArray);
    cage->pointBlock = nullptr;
    cage->pointArray = nullptr;
    cage->pointList = nullptr;
    cage->pointCount = cage->pointBlockSize = 0;

    morvaneFree(cage->linegonBlock);
    cage->linegonBlock = nullptr;
    cage->linegonList = nullptr;
    cage->linegonCount = cage->linegonBlockSize = 0;
    morvaneFree(cage->trigonBlock);
    cage->trigonBlock = nullptr;
    cage->trigonList = nullptr;
    cage->trigonCount = cage->trigonBlockSize = 0;

    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        freePointLists(&poly->center);
    morvaneFree(cage->polygonBlock);
    cage->polygonBlock = nullptr;
    cage->polygonList = nullptr;
    cage->polygonCount = cage->polygonBlockSize = 0;

    morvaneFree(cage->edgeBlock);
    cage->edgeBlock = nullptr;
    cage->edgeList = nullptr;
    cage->edgeCount = cage->edgeBlockSize = 0;

    morvaneFree(cage->laneMarks);
    cage->laneMarks = nullptr;
    cage->laneStride = 0;
}
