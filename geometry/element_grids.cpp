// Element grids over a cage's rest shape. See element_grids.h.
#include "geometry/element_grids.h"

#include "geometry/mark_lane.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// Sizes far beyond any real cage: an absurd box or count gives an empty
// grid instead of a giant allocation.
constexpr double kMaxCellsPerAxis = double(1 << 20);
constexpr std::size_t kMaxCells = std::size_t(1) << 25;
constexpr long long kMaxChunkNodes = 1LL << 24;

// Stands for "no boundary ahead" in the linegon walk.
constexpr double kNoBoundary = 1e20;

int gFailAllocationAt = 0;

void* gridAlloc(std::size_t count, std::size_t size) {
    if (gFailAllocationAt > 0 && --gFailAllocationAt == 0) return nullptr;
    return std::calloc(count, size);
}

// Non-finite or negative extents carry no size.
double saneExtent(double e) {
    return (std::isfinite(e) && e > 0.0) ? e : 0.0;
}

// Cells needed for an extent: floor(extent / s) + 1, kept in [1, max].
int axisCells(double extent, double s) {
    const double c = std::floor(extent / s) + 1.0;
    if (!(c >= 1.0)) return 1;
    if (c > kMaxCellsPerAxis) return int(kMaxCellsPerAxis);
    return int(c);
}

// Cell of coordinate v along one axis, clamped while still a double so that
// far, infinite and NaN coordinates never reach the integer conversion.
int clampCell(double v, double origin, double s, int count) {
    if (count <= 0) return 0;
    const double t = (v - origin) / s;
    if (!(t > 0.0)) return 0;
    if (t >= double(count - 1)) return count - 1;
    return int(t);
}

bool allFinite(const double* p, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(p[i])) return false;
    return true;
}

template <class Grid> bool hasCells(const Grid* g, int axes) {
    if (!g || !g->cellLists) return false;
    for (int i = 0; i < axes; ++i)
        if (g->gridDims[i] <= 0) return false;
    return true;
}

template <class Chunk> void freeChunks(Chunk* c) {
    while (c) {
        Chunk* next = c->next;
        std::free(c->nodes);
        std::free(c);
        c = next;
    }
}

template <class Grid, class Chunk, class Node> bool pushChunk(Grid* g) {
    Chunk* c = static_cast<Chunk*>(gridAlloc(1, sizeof(Chunk)));
    if (!c) return false;
    c->nodes = static_cast<Node*>(gridAlloc(g->chunkCapacity, sizeof(Node)));
    if (!c->nodes) {
        std::free(c);
        return false;
    }
    c->capacity = g->chunkCapacity;
    c->used = 0;
    c->next = g->chunks;
    g->chunks = c;
    return true;
}

// Push a node at the front of the cell's list, opening a new chunk when full.
template <class Grid, class Chunk, class Node, class Element>
bool pushNode(Grid* g, std::size_t cell, Element* element, Element* Node::*slot) {
    if (g->chunks->used >= g->chunks->capacity && !pushChunk<Grid, Chunk, Node>(g)) return false;
    Node* node = &g->chunks->nodes[g->chunks->used++];
    node->*slot = element;
    node->next = g->cellLists[cell];
    g->cellLists[cell] = node;
    return true;
}

template <class Grid> bool pushTri(Grid* g, std::size_t cell, TrigonData* t) {
    return pushNode<Grid, TrisChunk, TrisNode>(g, cell, t, &TrisNode::tri);
}

bool pushLine(LineMat3D* g, std::size_t cell, LinegonData* lin) {
    return pushNode<LineMat3D, LineChunk, LineNode>(g, cell, lin, &LineNode::lin);
}

template <class Grid> std::size_t cellOf3D(const Grid* g, const int idx[3]) {
    return std::size_t(idx[0]) + std::size_t(idx[1]) * g->strideY +
           std::size_t(idx[2]) * g->strideZ;
}

// Beyond its box an element's measured distance can still be shorter by
// this much: a linegon of no length is measured as one of 2e-6.
constexpr double kReachSlack = 4e-6;

// An element's box as cell boxes keep it: floats rounded outwards (moved
// out by a float's step, 2^-23 of it, when the rounding went in), with the
// slack above. False for a NaN box, which adds nothing: its element is never
// accepted.
struct FloatBox {
    float lo[3], hi[3];
};
template <class Grid>
bool floatBoxOf(const Grid* g, const double bmin[3], const double bmax[3], FloatBox* box) {
    const double slack = kReachSlack + 1e-9 * g->cellSize;
    for (int a = 0; a < 3; ++a) {
        if (!(bmin[a] <= bmax[a])) return false;
        const double lo = bmin[a] - slack, hi = bmax[a] + slack;
        box->lo[a] = float(lo);
        box->hi[a] = float(hi);
        if (double(box->lo[a]) > lo) box->lo[a] -= std::fabs(box->lo[a]) * 1.2e-7f + 1e-37f;
        if (double(box->hi[a]) < hi) box->hi[a] += std::fabs(box->hi[a]) * 1.2e-7f + 1e-37f;
    }
    return true;
}

// Grows a cell's box to cover an element listed in it.
template <class Grid> void boundOut(Grid* g, std::size_t cell, const FloatBox& e) {
    float* box = g->cellBounds + 6 * cell;
    for (int a = 0; a < 3; ++a) {
        if (e.lo[a] < box[a]) box[a] = e.lo[a];
        if (e.hi[a] > box[3 + a]) box[3 + a] = e.hi[a];
    }
}

// How far any cell's box reaches out of its cell, once every element is in.
template <class Grid> void setMaxReach(Grid* g) {
    g->maxReach = 0.0;
    int idx[3];
    for (idx[2] = 0; idx[2] < g->gridDims[2]; ++idx[2])
        for (idx[1] = 0; idx[1] < g->gridDims[1]; ++idx[1])
            for (idx[0] = 0; idx[0] < g->gridDims[0]; ++idx[0]) {
                const float* box = g->cellBounds + 6 * cellOf3D(g, idx);
                for (int a = 0; a < 3; ++a) {
                    if (!(box[a] <= box[3 + a])) break; // empty
                    const double c0 = g->gridOrigin[a] + double(idx[a]) * g->cellSize;
                    const double below = c0 - double(box[a]);
                    const double above = double(box[3 + a]) - (c0 + g->cellSize);
                    if (below > g->maxReach) g->maxReach = below;
                    if (above > g->maxReach) g->maxReach = above;
                }
            }
}

void freePacked(TrisMat3D* g) {
    std::free(g->packed);
    g->packed = nullptr;
    std::free(g->cellStart);
    g->cellStart = nullptr;
}
void freePacked(LineMat3D*) {}

// The cells' lists copied into one run each (see TrisMat3D::packed).
bool packTris3D(TrisMat3D* g) {
    const std::size_t cells =
        std::size_t(g->gridDims[0]) * std::size_t(g->gridDims[1]) * std::size_t(g->gridDims[2]);
    g->cellStart = static_cast<std::size_t*>(gridAlloc(cells + 1, sizeof(std::size_t)));
    if (!g->cellStart) return false;
    std::size_t total = 0;
    for (std::size_t c = 0; c < cells; ++c) {
        g->cellStart[c] = total;
        for (const TrisNode* n = g->cellLists[c]; n; n = n->next)
            ++total;
    }
    g->cellStart[cells] = total;
    g->packed = static_cast<TrisEntry*>(gridAlloc(total > 0 ? total : 1, sizeof(TrisEntry)));
    if (!g->packed) return false;
    TrisEntry* e = g->packed;
    for (std::size_t c = 0; c < cells; ++c)
        for (const TrisNode* n = g->cellLists[c]; n; n = n->next, ++e) {
            std::memcpy(e->ball, n->tri->restSphere, sizeof e->ball);
            e->tri = n->tri;
            e->place = n->tri->place;
        }
    return true;
}

template <class Grid> void resetGrid3D(Grid* g) {
    freePacked(g);
    std::free(g->cellLists);
    g->cellLists = nullptr;
    std::free(g->cellBounds);
    g->cellBounds = nullptr;
    g->maxReach = 0.0;
    for (LaneSlot<unsigned char>& stamp : g->walkStamp)
        stamp.value = 0;
    g->markCount = 0;
    freeChunks(g->chunks);
    g->chunks = nullptr;
    g->chunkCapacity = 0;
    for (int i = 0; i < 3; ++i) {
        g->gridOrigin[i] = 0.0;
        g->gridMax[i] = 0.0;
        g->gridDims[i] = 0;
    }
    g->cellSize = 0.0;
    g->strideY = 0;
    g->strideZ = 0;
}

// Box, cell size, strides, zeroed heads and the first chunk.
template <class Grid, class Chunk, class Node>
bool setUpGrid3D(Grid* g, const CageInstance* cage, long long target, long long chunkNodes) {
    double extents[3];
    for (int i = 0; i < 3; ++i) {
        g->gridOrigin[i] = cage->restBoxMin[i];
        g->gridMax[i] = cage->restBoxMax[i];
        extents[i] = cage->restBoxMax[i] - cage->restBoxMin[i];
    }
    unsigned int dims[3];
    g->cellSize = calcdLenOfMat(extents, target > INT_MAX ? INT_MAX : int(target), dims);
    const std::size_t cells = std::size_t(dims[0]) * dims[1] * dims[2];
    if (cells == 0 || cells > kMaxCells) return false;
    for (int i = 0; i < 3; ++i)
        g->gridDims[i] = int(dims[i]);
    g->strideY = dims[0];
    g->strideZ = dims[0] * dims[1];
    g->cellLists = static_cast<Node**>(gridAlloc(cells, sizeof(Node*)));
    if (!g->cellLists) return false;
    g->cellBounds = static_cast<float*>(gridAlloc(6 * cells, sizeof(float)));
    if (!g->cellBounds) return false;
    for (std::size_t i = 0; i < cells; ++i)
        for (int a = 0; a < 3; ++a) {
            g->cellBounds[6 * i + a] = HUGE_VALF;
            g->cellBounds[6 * i + 3 + a] = -HUGE_VALF;
        }
    g->maxReach = 0.0;
    if (chunkNodes < 1) chunkNodes = 1;
    if (chunkNodes > kMaxChunkNodes) chunkNodes = kMaxChunkNodes;
    g->chunkCapacity = unsigned(chunkNodes);
    return pushChunk<Grid, Chunk, Node>(g);
}

template <class Grid>
int rangeOf3D(const Grid* g, const double bmin[3], const double bmax[3], int lo[3], int hi[3]) {
    if (!hasCells(g, 3) || !bmin || !bmax) {
        for (int i = 0; i < 3; ++i)
            lo[i] = hi[i] = 0;
        return 0;
    }
    for (int i = 0; i < 3; ++i) {
        lo[i] = clampCell(bmin[i], g->gridOrigin[i], g->cellSize, g->gridDims[i]);
        hi[i] = clampCell(bmax[i], g->gridOrigin[i], g->cellSize, g->gridDims[i]);
    }
    return 1;
}

template <class Grid> int indexOf(const Grid* g, int axes, const double p[], int idx[]) {
    for (int i = 0; i < axes; ++i)
        idx[i] = 0;
    if (!hasCells(g, axes) || !p || !allFinite(p, axes)) return 0;
    for (int i = 0; i < axes; ++i)
        idx[i] = clampCell(p[i], g->gridOrigin[i], g->cellSize, g->gridDims[i]);
    return 1;
}

// Every lane's search marks of a kind of element cleared, and its walks'
// stamps started over.
template <class Grid>
void startMarks(Grid* g, const CageInstance* cage, unsigned char* (*marksOf)(const LaneMarks&),
                std::size_t count) {
    for (int lane = 0; lane < kMarkLanes; ++lane) {
        g->walkStamp[lane].value = 0;
        if (unsigned char* marks = marksOf(laneMarksOf(cage, lane))) std::memset(marks, 0, count);
    }
    g->markCount = unsigned(count);
}

long long triangleCount(const CageInstance* cage) {
    return (long long)(cage->trigonCount) + 4LL * (long long)(cage->polygonCount);
}

bool insertTris3D(TrisMat3D* g, TrigonData* t) {
    int lo[3], hi[3];
    rangeOf3D(g, t->restBoxMin, t->restBoxMax, lo, hi);
    FloatBox box = {};
    const bool bounded = floatBoxOf(g, t->restBoxMin, t->restBoxMax, &box);
    int idx[3];
    for (idx[2] = lo[2]; idx[2] <= hi[2]; ++idx[2])
        for (idx[1] = lo[1]; idx[1] <= hi[1]; ++idx[1])
            for (idx[0] = lo[0]; idx[0] <= hi[0]; ++idx[0]) {
                const std::size_t cell = cellOf3D(g, idx);
                if (!pushTri(g, cell, t)) return false;
                if (bounded) boundOut(g, cell, box);
            }
    return true;
}

bool insertTris2D(TrisMat2D* g, TrigonData* t) {
    // Edge-on from above: never the triangle straight above or below a point.
    if (!(std::fabs(t->rest.N[2]) >= 1e-7)) return true;
    int lo[2], hi[2];
    for (int i = 0; i < 2; ++i) {
        lo[i] = clampCell(t->restBoxMin[i], g->gridOrigin[i], g->cellSize, g->gridDims[i]);
        hi[i] = clampCell(t->restBoxMax[i], g->gridOrigin[i], g->cellSize, g->gridDims[i]);
    }
    for (int y = lo[1]; y <= hi[1]; ++y)
        for (int x = lo[0]; x <= hi[0]; ++x)
            if (!pushTri(g, std::size_t(x) + std::size_t(y) * g->strideY, t)) return false;
    return true;
}

// Parameter along a->b of the next cell boundary on one axis.
double nextBoundary(const LineMat3D* g, int axis, int cur, int end, int step, const double* a,
                    const double* b) {
    if (cur == end) return kNoBoundary;
    const double boundary = g->gridOrigin[axis] + double(cur + (step > 0 ? 1 : 0)) * g->cellSize;
    const double t = (boundary - a[axis]) / (b[axis] - a[axis]);
    return t == t ? t : kNoBoundary;
}

// Lists the linegon in every cell its rest segment passes through. Each
// step moves one index toward B's cell, so the walk ends.
bool insertLinegon(LineMat3D* g, LinegonData* lin) {
    const double* a = lin->pos[0];
    const double* b = lin->pos[1];
    if (!a || !b) return true;
    int cur[3], end[3], step[3];
    double t[3];
    for (int i = 0; i < 3; ++i) {
        cur[i] = clampCell(a[i], g->gridOrigin[i], g->cellSize, g->gridDims[i]);
        end[i] = clampCell(b[i], g->gridOrigin[i], g->cellSize, g->gridDims[i]);
    }
    double bmin[3], bmax[3];
    for (int i = 0; i < 3; ++i) {
        bmin[i] = a[i] < b[i] ? a[i] : b[i];
        bmax[i] = a[i] < b[i] ? b[i] : a[i];
    }
    FloatBox box = {};
    const bool bounded = floatBoxOf(g, bmin, bmax, &box);
    if (!pushLine(g, cellOf3D(g, cur), lin)) return false;
    if (bounded) boundOut(g, cellOf3D(g, cur), box);
    for (int i = 0; i < 3; ++i) {
        step[i] = end[i] > cur[i] ? 1 : -1;
        t[i] = nextBoundary(g, i, cur[i], end[i], step[i], a, b);
    }
    for (;;) {
        // Strict comparisons keep z on ties, then y.
        int axis = 2;
        if (t[1] < t[axis]) axis = 1;
        if (t[0] < t[axis]) axis = 0;
        if (!(t[axis] <= 1.0)) break;
        cur[axis] += step[axis];
        t[axis] = nextBoundary(g, axis, cur[axis], end[axis], step[axis], a, b);
        if (!pushLine(g, cellOf3D(g, cur), lin)) return false;
        if (bounded) boundOut(g, cellOf3D(g, cur), box);
    }
    return true;
}

} // namespace

void failGridAllocationAt(int n) {
    gFailAllocationAt = n > 0 ? n : 0;
}

double calcdLenOfMat(double extents[3], int target, unsigned int dims[3]) {
    if (target < 1) target = 1;
    double e[3];
    double largest = 0.0;
    for (int i = 0; i < 3; ++i) {
        e[i] = saneExtent(extents[i]);
        if (e[i] > largest) largest = e[i];
    }
    if (largest < 4e-6) {
        for (int i = 0; i < 3; ++i)
            extents[i] = e[i] = 1.0;
        largest = 1.0;
    }
    double lo = 1.0 / double(target);
    double hi = 1.0;
    double s = largest;
    for (;;) {
        const double f = 0.5 * (lo + hi);
        s = largest * f;
        double k = 1.0;
        for (int i = 0; i < 3; ++i) {
            dims[i] = unsigned(axisCells(e[i], s));
            k *= double(dims[i]);
        }
        if (k == double(target)) break;
        if (k < double(target))
            hi = f;
        else
            lo = f;
        if (hi - lo < 1e-7) break;
    }
    return s;
}

void destroyMat3D(TrisMat3D* grid) {
    if (grid) resetGrid3D(grid);
}

void destroyMat3D(LineMat3D* grid) {
    if (grid) resetGrid3D(grid);
}

void destroyMat2D(TrisMat2D* grid) {
    if (!grid) return;
    std::free(grid->cellLists);
    grid->cellLists = nullptr;
    freeChunks(grid->chunks);
    grid->chunks = nullptr;
    grid->chunkCapacity = 0;
    for (int i = 0; i < 2; ++i) {
        grid->gridOrigin[i] = 0.0;
        grid->gridMax[i] = 0.0;
        grid->gridDims[i] = 0;
    }
    grid->cellSize = 0.0;
    grid->strideY = 0;
}

void freeCageGrids(CageInstance* cage) {
    if (!cage) return;
    destroyMat3D(cage->trisMat3D);
    std::free(cage->trisMat3D);
    cage->trisMat3D = nullptr;
    destroyMat3D(cage->lineMat3D);
    std::free(cage->lineMat3D);
    cage->lineMat3D = nullptr;
    destroyMat2D(cage->trisMat2D);
    std::free(cage->trisMat2D);
    cage->trisMat2D = nullptr;
}

int makeTrisMat3D(CageInstance* cage) {
    if (!cage) return 0;
    if (!cage->trisMat3D) {
        cage->trisMat3D = static_cast<TrisMat3D*>(gridAlloc(1, sizeof(TrisMat3D)));
        if (!cage->trisMat3D) return 0;
    }
    TrisMat3D* g = cage->trisMat3D;
    destroyMat3D(g);
    if (!cage->trigonList && !cage->polygonList) return 0;
    long long n = triangleCount(cage);
    if (n < 1) n = 1;
    bool ok = setUpGrid3D<TrisMat3D, TrisChunk, TrisNode>(g, cage, n > 8 ? n : 8, 4 * n);
    for (TrigonData* t = cage->trigonList; ok && t; t = t->next)
        ok = insertTris3D(g, t);
    for (PolygonData* poly = cage->polygonList; ok && poly; poly = poly->next)
        for (int k = 0; ok && k < 4; ++k)
            ok = insertTris3D(g, &poly->tri[k]);
    if (ok) setMaxReach(g);
    if (ok) ok = packTris3D(g);
    if (!ok) {
        destroyMat3D(g);
        return 0;
    }
    startMarks(
        g, cage, [](const LaneMarks& m) { return m.trigonSearch; },
        4 * size_t(cage->polygonBlockSize) + size_t(cage->trigonBlockSize));
    return 1;
}

int makeLineMat3D(CageInstance* cage) {
    if (!cage) return 0;
    if (!cage->lineMat3D) {
        cage->lineMat3D = static_cast<LineMat3D*>(gridAlloc(1, sizeof(LineMat3D)));
        if (!cage->lineMat3D) return 0;
    }
    LineMat3D* g = cage->lineMat3D;
    destroyMat3D(g);
    if (!cage->linegonList) return 0;
    long long n = cage->linegonCount;
    if (n < 1) n = 1;
    bool ok = setUpGrid3D<LineMat3D, LineChunk, LineNode>(g, cage, 2 * n > 8 ? 2 * n : 8, 4 * n);
    for (LinegonData* lin = cage->linegonList; ok && lin; lin = lin->next)
        ok = insertLinegon(g, lin);
    if (ok) setMaxReach(g);
    if (!ok) {
        destroyMat3D(g);
        return 0;
    }
    startMarks(
        g, cage, [](const LaneMarks& m) { return m.linegonSearch; },
        size_t(cage->linegonBlockSize));
    return 1;
}

int makeTrisMat2D(CageInstance* cage) {
    if (!cage) return 0;
    if (!cage->trisMat2D) {
        cage->trisMat2D = static_cast<TrisMat2D*>(gridAlloc(1, sizeof(TrisMat2D)));
        if (!cage->trisMat2D) return 0;
    }
    TrisMat2D* g = cage->trisMat2D;
    destroyMat2D(g);
    if (!cage->trigonList && !cage->polygonList) return 0;

    long long n = triangleCount(cage);
    if (n < 1) n = 1;
    const double m = double(n > 25 ? n : 25);
    const double realW = saneExtent(cage->restBoxMax[0] - cage->restBoxMin[0]);
    const double realH = saneExtent(cage->restBoxMax[1] - cage->restBoxMin[1]);

    // A long thin or flat area gets a wider stand-in so the cells stay
    // reasonably square; it only picks the cell size.
    double w = realW, h = realH;
    if (w >= 1e-7 && h >= 1e-7) {
        if (h > w && std::floor(h / w) > m)
            w = h / (m + 1.0);
        else if (h <= w && std::floor(w / h) > m)
            h = w / (m + 1.0);
    } else if (w >= 1e-7) {
        h = w / (m + 1.0);
    } else if (h >= 1e-7) {
        w = h / (m + 1.0);
    } else {
        w = h = 1.0;
    }
    const double s = std::sqrt(w * h / m);

    for (int i = 0; i < 2; ++i) {
        g->gridOrigin[i] = cage->restBoxMin[i];
        g->gridMax[i] = cage->restBoxMax[i];
    }
    g->cellSize = s;
    // Counts cover the real extent, whatever the stand-in was.
    g->gridDims[0] = axisCells(realW, s);
    g->gridDims[1] = axisCells(realH, s);
    g->strideY = unsigned(g->gridDims[0]);
    const std::size_t cells = std::size_t(g->gridDims[0]) * std::size_t(g->gridDims[1]);
    long long chunkNodes = 2 * n;
    if (chunkNodes < 1) chunkNodes = 1;
    if (chunkNodes > kMaxChunkNodes) chunkNodes = kMaxChunkNodes;
    g->chunkCapacity = unsigned(chunkNodes);

    bool ok = cells <= kMaxCells;
    if (ok) {
        g->cellLists = static_cast<TrisNode**>(gridAlloc(cells, sizeof(TrisNode*)));
        ok = g->cellLists != nullptr;
    }
    if (ok) ok = pushChunk<TrisMat2D, TrisChunk, TrisNode>(g);
    for (TrigonData* t = cage->trigonList; ok && t; t = t->next)
        ok = insertTris2D(g, t);
    for (PolygonData* poly = cage->polygonList; ok && poly; poly = poly->next)
        for (int k = 0; ok && k < 4; ++k)
            ok = insertTris2D(g, &poly->tri[k]);
    if (!ok) {
        destroyMat2D(g);
        return 0;
    }
    return 1;
}

int cellIndexOf(const TrisMat3D* grid, const double p[3], int idx[3]) {
    return indexOf(grid, 3, p, idx);
}

int cellIndexOf(const LineMat3D* grid, const double p[3], int idx[3]) {
    return indexOf(grid, 3, p, idx);
}

int cellIndexOf(const TrisMat2D* grid, const double p[], int idx[2]) {
    return indexOf(grid, 2, p, idx);
}

int cellRangeOf(const TrisMat3D* grid, const double bmin[3], const double bmax[3], int lo[3],
                int hi[3]) {
    return rangeOf3D(grid, bmin, bmax, lo, hi);
}

int cellRangeOf(const LineMat3D* grid, const double bmin[3], const double bmax[3], int lo[3],
                int hi[3]) {
    return rangeOf3D(grid, bmin, bmax, lo, hi);
}

TrisNode* cellList(const TrisMat3D* grid, int ix, int iy, int iz) {
    if (!hasCells(grid, 3) || ix < 0 || iy < 0 || iz < 0 || ix >= grid->gridDims[0] ||
        iy >= grid->gridDims[1] || iz >= grid->gridDims[2])
        return nullptr;
    const int idx[3] = {ix, iy, iz};
    return grid->cellLists[cellOf3D(grid, idx)];
}

LineNode* cellList(const LineMat3D* grid, int ix, int iy, int iz) {
    if (!hasCells(grid, 3) || ix < 0 || iy < 0 || iz < 0 || ix >= grid->gridDims[0] ||
        iy >= grid->gridDims[1] || iz >= grid->gridDims[2])
        return nullptr;
    const int idx[3] = {ix, iy, iz};
    return grid->cellLists[cellOf3D(grid, idx)];
}

TrisNode* cellList(const TrisMat2D* grid, int ix, int iy) {
    if (!hasCells(grid, 2) || ix < 0 || iy < 0 || ix >= grid->gridDims[0] ||
        iy >= grid->gridDims[1])
        return nullptr;
    return grid->cellLists[std::size_t(ix) + std::size_t(iy) * grid->strideY];
}
