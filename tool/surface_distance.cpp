#include "tool/surface_distance.h"

#include <limits.h>
#include <stddef.h>

#include "geometry/curve.h"
#include "geometry/vector.h"
#include "module/memory.h"

namespace {

// What every distance of an unreached point starts at.
const double kFar = 1e20;

// Where the measure starts leaving the unfolded distance for the path
// length (path over unfolded distance), and how wide the blend is.
const double kBlendStart = 1.2;
const double kBlendWidth = 0.6;

// A chunk and its nodes are one block, so each chunk is freed in one go.
static_assert(sizeof(SearchNodeChunk) % alignof(SearchNode) == 0,
              "the nodes follow the chunk record in its block");

SearchNodeChunk* pushNodeChunk(EditCageState* state, int capacity) {
    if (capacity < kSearchNodeChunkMin) capacity = kSearchNodeChunkMin;
    void* block = morvaneAlloc(sizeof(SearchNodeChunk) + size_t(capacity) * sizeof(SearchNode));
    if (!block) return nullptr;
    SearchNodeChunk* chunk = static_cast<SearchNodeChunk*>(block);
    chunk->nodes = reinterpret_cast<SearchNode*>(chunk + 1);
    chunk->used = 0;
    chunk->capacity = capacity;
    chunk->next = state->searchChunks;
    state->searchChunks = chunk;
    return chunk;
}

// A point is queued at most once per search, so this holds the points and
// polygon centres of most cages in one chunk; a larger search takes more.
int chunkCapacityFor(const CageInstance* cage) {
    const long long points = cage->pointCount > 0 ? cage->pointCount : 0;
    const long long wanted = 2 * points + kSearchNodeChunkMin;
    const long long largest = INT_MAX / (long long)sizeof(SearchNode);
    return int(wanted < largest ? wanted : largest);
}

// Links node after `after`, or at the head when after is null.
void linkAfter(EditCageState* state, SearchNode* node, SearchNode* after) {
    node->towardHead = after;
    node->towardTail = after ? after->towardTail : state->queueHead;
    if (after)
        after->towardTail = node;
    else
        state->queueHead = node;
    if (node->towardTail)
        node->towardTail->towardHead = node;
    else
        state->queueTail = node;
}

void unlinkNode(EditCageState* state, SearchNode* node) {
    if (node->towardHead)
        node->towardHead->towardTail = node->towardTail;
    else
        state->queueHead = node->towardTail;
    if (node->towardTail)
        node->towardTail->towardHead = node->towardHead;
    else
        state->queueTail = node->towardHead;
    node->towardHead = nullptr;
    node->towardTail = nullptr;
}

// From `from` toward the head, the first node whose key is below key.
SearchNode* firstKeyBelow(SearchNode* from, double key) {
    while (from && from->key >= key)
        from = from->towardHead;
    return from;
}

// A queued point's distance improved: its node takes the new path and moves
// toward the head, before every node whose key is not smaller.
void moveNodeTowardHead(EditCageState* state, SearchNode* node, PointData* point,
                        PointData* predecessor, double key) {
    node->point = point;
    node->prev = predecessor;
    node->key = key;
    if (node == state->queueHead) return;
    SearchNode* start = node->towardHead;
    unlinkNode(state, node);
    linkAfter(state, node, firstKeyBelow(start, key));
}

void queuePoint(EditCageState* state, PointData* point, PointData* predecessor, double key) {
    if (point->searchNode)
        moveNodeTowardHead(state, point->searchNode, point, predecessor, key);
    else
        add1NewStc(state, point, predecessor, key);
}

// The neighbours a point offers: the far ends of its edges (polygon centres
// included), then those of its linegons. With a point selection only
// selected points are offered, and centres through edges whatever theirs.
struct NeighbourWalk {
    const EditCageState* state;
    const PointData* point;
    int next;
};

PointData* nextNeighbour(NeighbourWalk* walk) {
    const PointData* p = walk->point;
    const int selectionOnly = walk->state->selectedPointCount != 0;
    while (walk->next < p->edgeCount + p->linegonCount) {
        const int i = walk->next++;
        if (i < p->edgeCount) {
            PointData* n = p->edgePoints[i];
            if (!selectionOnly || n->selected || n->isCenter) return n;
            continue;
        }
        const LinegonData* lin = p->linegons[i - p->edgeCount];
        PointData* n = lin->pnt[0] == p ? lin->pnt[1] : lin->pnt[0];
        if (!selectionOnly || n->selected) return n;
    }
    return nullptr;
}

void resetSearchPoint(PointData* p) {
    copy3D(p->worldOtherPos, p->startPos);
    p->unfoldedDistance = kFar;
    p->pathLength = kFar;
    p->searchDistance = kFar;
    p->unfoldedPos[0] = p->unfoldedPos[1] = 0.0;
    p->unfoldedDir[0] = p->unfoldedDir[1] = 0.0;
    p->searchPrev = nullptr;
    p->searchNode = nullptr;
    p->reachedNext = nullptr;
    p->searchLevel = 0;
    p->searchOpen = 1;
    p->inRange = 0;
    p->brushWeight = 0.0;
    // The surface side the point faces away from, for turning path steps
    // into the unfolded plane.
    double sum[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < p->trigonCount; ++i)
        add3D(sum, p->trigons[i]->worldN, sum);
    scale3D(sum, -1.0, p->searchNormal);
    normalize3D(p->searchNormal);
}

void resetSearch(EditCageState* state, CageInstance* cage) {
    destroyPntStcMemChunk(state);
    state->reachedList = nullptr;
    state->maxLevel = 0;
    if (!cage) return;
    for (PointData* p = cage->pointList; p; p = p->next)
        resetSearchPoint(p);
    for (PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        resetSearchPoint(&poly->center);
    pushNodeChunk(state, chunkCapacityFor(cage));
}

void addToReached(EditCageState* state, PointData* p) {
    if (p->isCenter) return;
    p->reachedNext = state->reachedList;
    state->reachedList = p;
}

// A source at distance 0 facing along +x of the unfolded plane.
void makeSource(PointData* s) {
    s->unfoldedDistance = 0.0;
    s->pathLength = 0.0;
    s->searchDistance = 0.0;
    s->unfoldedPos[0] = s->unfoldedPos[1] = 0.0;
    s->unfoldedDir[0] = 1.0;
    s->unfoldedDir[1] = 0.0;
    s->searchOpen = 0;
    s->searchLevel = 1;
}

PointData* virtualSourceAtHit(EditCageState* state) {
    PointData* v = &state->virtualSource;
    copy3D(state->hitPos, v->worldOtherPos);
    copy3D(state->hitPos, v->startPos);
    v->searchNormal[0] = v->searchNormal[1] = v->searchNormal[2] = 0.0;
    v->searchPrev = nullptr;
    v->searchNode = nullptr;
    v->reachedNext = nullptr;
    v->inRange = 0;
    v->brushWeight = 0.0;
    makeSource(v);
    return v;
}

void startAtPoint(EditCageState* state, PointData* s) {
    makeSource(s);
    s->searchPrev = s;
    s->inRange = 1;
    addToReached(state, s);
    NeighbourWalk walk = {state, s, 0};
    while (PointData* n = nextNeighbour(&walk))
        testDistanceLinked2Pnts_Init(state, s, n);
}

void startAtLinegon(EditCageState* state, LinegonData* lin) {
    PointData* v = virtualSourceAtHit(state);
    const int selectionOnly = state->selectedPointCount != 0;
    for (int k = 0; k < 2; ++k)
        if (!selectionOnly || lin->pnt[k]->selected)
            testDistanceLinked2Pnts_Init(state, v, lin->pnt[k]);
}

void startAtTrigon(EditCageState* state, TrigonData* tri) {
    PointData* v = virtualSourceAtHit(state);
    const int selectionOnly = state->selectedPointCount != 0;
    for (int k = 0; k < 3; ++k) {
        PointData* p = tri->pnt[k];
        if (!selectionOnly || p->selected || p->isCenter) testDistanceLinked2Pnts_Init(state, v, p);
    }
}

void settleQueue(EditCageState* state) {
    while (SearchNode* node = state->queueHead) {
        unlinkNode(state, node);
        PointData* b = node->point;
        PointData* a = node->prev;
        b->searchNode = nullptr;
        b->searchOpen = 0;
        b->inRange = 1;
        addToReached(state, b);
        NeighbourWalk walk = {state, b, 0};
        while (PointData* c = nextNeighbour(&walk))
            if (c->searchOpen && c != a) testDistanceLinked2Pnts(state, a, b, c);
    }
}

void weighReached(EditCageState* state) {
    const double radius = state->brushWorldRadius;
    for (PointData* p = state->reachedList; p; p = p->reachedNext) {
        p->brushWeight = p->searchDistance < radius
                             ? calcFalloffCurve(state->falloffFlags, state->falloffExponents,
                                                p->searchDistance / radius)
                             : 0.0;
        if (p->searchLevel > state->maxLevel) state->maxLevel = p->searchLevel;
    }
}

} // namespace

void testDistanceLinked2Pnts_Init(EditCageState* state, PointData* source, PointData* p) {
    const double d = dist3D(p->worldOtherPos, source->worldOtherPos);
    if (d > state->brushWorldRadius || d >= p->unfoldedDistance) return;
    p->unfoldedDistance = d;
    p->pathLength = d;
    p->searchDistance = d;
    p->unfoldedPos[0] = d;
    p->unfoldedPos[1] = 0.0;
    p->unfoldedDir[0] = 1.0;
    p->unfoldedDir[1] = 0.0;
    p->searchPrev = source;
    // The straight distance cannot be beaten: the first ring is settled now.
    p->searchOpen = 0;
    queuePoint(state, p, source, d);
    p->searchLevel = 1;
}

void testDistanceLinked2Pnts(EditCageState* state, PointData* a, PointData* b, PointData* c) {
    // b's tangent frame: fwd continues the step a->b, side is square to it.
    double back[3], side[3], fwd[3], e[3];
    sub3D(b->worldOtherPos, a->worldOtherPos, back);
    norm3D(b->searchNormal, back, side);
    cross3D(side, b->searchNormal, fwd);
    sub3D(c->worldOtherPos, b->worldOtherPos, e);
    const double u = dot3D(e, fwd);
    const double v = dot3D(e, side);

    // The step b->c turned into the unfolded plane, relative to b's
    // direction; a step along the normal keeps that direction.
    const double cosPhi = b->unfoldedDir[0];
    const double sinPhi = b->unfoldedDir[1];
    double dir[2] = {u * cosPhi + v * sinPhi, u * sinPhi - v * cosPhi};
    if (normalize2D(dir) == 0.0) copy2D(b->unfoldedDir, dir);

    const double step = len3D(e);
    double pos[2];
    pos[0] = b->unfoldedPos[0] + step * dir[0];
    pos[1] = b->unfoldedPos[1] + step * dir[1];
    const double g = len2D(pos);
    const double p = b->pathLength + step;

    // Near-straight paths measure by the unfolded distance, winding ones
    // (1.8 times longer or more) by their length.
    double delta = g;
    const double q = p / (g > 1e-7 ? g : 1e-7);
    if (q > kBlendStart) {
        double t = (q - kBlendStart) / kBlendWidth;
        if (t > 1.0) t = 1.0;
        delta =
            g + (p - g) * calcFalloffCurve(state->falloffFlags, state->falloffExponents, 1.0 - t);
    }

    if (delta > state->brushWorldRadius || delta >= c->searchDistance || p >= c->pathLength) return;
    if (g >= c->unfoldedDistance && (g - c->unfoldedDistance) + (p - c->pathLength) >= 0.0) return;

    c->unfoldedDistance = g;
    c->pathLength = p;
    c->searchDistance = delta;
    copy2D(pos, c->unfoldedPos);
    copy2D(dir, c->unfoldedDir);
    c->searchPrev = b;
    queuePoint(state, c, b, delta);
    c->searchLevel = b->searchLevel + 1;
}

SearchNode* add1NewStc(EditCageState* state, PointData* point, PointData* predecessor, double key) {
    SearchNodeChunk* chunk = state->searchChunks;
    if (!chunk || chunk->used == chunk->capacity) {
        chunk = pushNodeChunk(state, chunk ? chunk->capacity : int(kSearchNodeChunkMin));
        if (!chunk) return nullptr;
    }
    SearchNode* node = &chunk->nodes[chunk->used++];
    node->point = point;
    node->prev = predecessor;
    node->key = key;
    linkAfter(state, node, firstKeyBelow(state->queueTail, key));
    point->searchNode = node;
    return node;
}

void destroyPntStcMemChunk(EditCageState* state) {
    for (SearchNode* node = state->queueHead; node; node = node->towardTail)
        node->point->searchNode = nullptr;
    state->queueHead = nullptr;
    state->queueTail = nullptr;
    while (SearchNodeChunk* chunk = state->searchChunks) {
        state->searchChunks = chunk->next;
        morvaneFree(chunk);
    }
}

void makeEnablePointList_Mesh2(EditCageState* state, CageInstance* cage, PointData* point,
                               LinegonData* linegon, TrigonData* trigon) {
    if (!state) return;
    resetSearch(state, cage);
    if (cage) {
        if (point)
            startAtPoint(state, point);
        else if (linegon)
            startAtLinegon(state, linegon);
        else if (trigon)
            startAtTrigon(state, trigon);
        settleQueue(state);
        weighReached(state);
    }
    destroyPntStcMemChunk(state);
}
