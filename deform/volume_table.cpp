// Flat per-frame copy of a Volume cage and its per-point blend. See
// volume_table.h.
#include "deform/volume_table.h"

#include "geometry/inlining.h"
#include "geometry/mark_lane.h"
#include "geometry/vector.h"
#include "module/cpu_features.h"
#include "module/memory.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Linegons: A's world rest position, the world rest frame, the rest length.
enum LineField {
    kAx,
    kAy,
    kAz,
    kA1x,
    kA1y,
    kA1z,
    kA2x,
    kA2y,
    kA2z,
    kDx,
    kDy,
    kDz,
    kLen,
    kLineFields
};

// Triangles: P0's world rest position, the world rest frame, the corners V1
// and V2 in it (turned counter-clockwise: a clockwise triangle is stored
// mirrored across X, which keeps every distance), and 1 / |edge|^2 of the
// edges V0V1, V1V2, V2V0 (0 for a collapsed edge).
enum TriField {
    kOx,
    kOy,
    kOz,
    kXx,
    kXy,
    kXz,
    kYx,
    kYy,
    kYz,
    kNx,
    kNy,
    kNz,
    kV1x,
    kV1y,
    kV2x,
    kV2y,
    kIe0,
    kIe1,
    kIe2,
    kTriFields
};

// Every element's map: M row-major, then b.
constexpr int kMapFields = 12;

// The rest signature: the counts, the smooth distance and the falloff, then
// the linegons' and triangles' records, then each odd triangle's corners.
constexpr int kRestHead = 5;
constexpr int kOddFields = 9;

// The per-point loops run over blocks of this many elements. Each kind of
// record is stored block by block: a block holds its elements' first field
// side by side, then their second, and so on, so one block is one
// contiguous stretch of memory and a field of the block one vector.
constexpr int kLanes = 8;

// How many blocks (of kLanes weights, a cache line) ahead the sums of kept
// weights ask for them. Tried on the bench's rows: 16 to 64 do about as
// well.
constexpr int kAheadBlocks = 32;

// The address `bytes` past p, worked out as an integer: it may lie past
// the end of p's array (fetching ahead reads nothing there).
inline const void* bytesPast(const double* p, std::size_t bytes) {
    return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(p) + bytes);
}

// Where field k of element e is in an array of blocks of `fields` fields.
inline std::size_t slot(int fields, int e, int k) {
    return std::size_t(e / kLanes) * std::size_t(fields * kLanes) + std::size_t(k * kLanes) +
           std::size_t(e % kLanes);
}

bool finiteAll(const double* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

double inverseSquare(double x, double y) {
    const double ll = x * x + y * y;
    return ll > 0.0 ? 1.0 / ll : 0.0;
}

// The clamp's bounds come from memory, not literals: with literal 0 and 1
// the compiler turns clamp-then-multiply into three-way selects, twice
// the instructions of a max and a min.
struct Unit {
    double lo, hi;
};

} // namespace

struct VolumeTable {
    int lines = 0; // linegons, then triangles with a frame, then the others
    int tris = 0;
    int odd = 0;
    int capacity = 0;       // elements every array has room for, whole blocks
    double* line = nullptr; // blocks of kLineFields, by linegon
    double* tri = nullptr;  // blocks of kTriFields, by framed triangle
    double* map = nullptr;  // blocks of kMapFields, by element
    // Per element: distance + smooth, of the last point; a block longer, as
    // the loops store whole blocks from where their elements start. One
    // such array per mark lane (geometry/mark_lane.h), so that threads can
    // blend at once.
    double* reach = nullptr;
    const TrigonData** oddTris = nullptr;
    double* block = nullptr;
    double smooth = 2e-6;
    Unit unit = {0.0, 1.0}; // the bounds of a projection onto an edge
    int falloff = 0;
    LaneSlot<bool> backwards[kMarkLanes] = {}; // per lane, the direction of its last triangle walk
    // What the weights depend on, as of the last fill (see
    // takeRestSignature), and its epoch, advanced when a fill finds it
    // changed.
    double* rest = nullptr;
    std::size_t restCount = 0;
    unsigned int restEpoch = 1;
    int level = 0; // the build of the loops the fill was for
    bool ready = false;
};

namespace {

bool reserve(VolumeTable* t, int count) {
    if (count <= t->capacity && t->block) return true;
    morvaneFreeLines(t->block);
    morvaneFree(t->oddTris);
    t->block = nullptr;
    t->oddTris = nullptr;
    t->capacity = 0;
    const std::size_t n = (std::size_t(count > 0 ? count : 1) + kLanes - 1) / kLanes * kLanes;
    const std::size_t arrays = kLineFields + kTriFields + kMapFields;
    const std::size_t reaches = kMarkLanes * (n + kLanes);
    const std::size_t rest = kRestHead + (kLineFields + kTriFields + kOddFields) * n;
    t->block =
        static_cast<double*>(morvaneAllocLines((arrays * n + reaches + rest) * sizeof(double)));
    t->oddTris = static_cast<const TrigonData**>(morvaneAlloc(n * sizeof(TrigonData*)));
    if (!t->block || !t->oddTris) {
        morvaneFreeLines(t->block);
        morvaneFree(t->oddTris);
        t->block = nullptr;
        t->oddTris = nullptr;
        return false;
    }
    t->line = t->block;
    t->tri = t->line + kLineFields * n;
    t->map = t->tri + kTriFields * n;
    t->reach = t->map + kMapFields * n;
    t->rest = t->reach + reaches;
    t->restCount = 0; // unlike any signature
    t->capacity = int(n);
    return true;
}

void storeMap(VolumeTable* t, int at, const double M[9], const double b[3]) {
    for (int k = 0; k < 9; ++k)
        t->map[slot(kMapFields, at, k)] = M[k];
    for (int k = 0; k < 3; ++k)
        t->map[slot(kMapFields, at, 9 + k)] = b[k];
}

void addLinegon(VolumeTable* t, const LinegonData* lin) {
    double M[9], b[3];
    if (!linegonAffineMap(lin, M, b)) return;
    double f[kLineFields];
    copy3D(lin->pnt[0]->worldRestPos, f + kAx);
    copy3D(lin->worldRestAxis1, f + kA1x);
    copy3D(lin->worldRestAxis2, f + kA2x);
    copy3D(lin->worldRestDir, f + kDx);
    f[kLen] = lin->restLength;
    if (!finiteAll(f, kLineFields)) return;
    const int at = t->lines++;
    for (int k = 0; k < kLineFields; ++k)
        t->line[slot(kLineFields, at, k)] = f[k];
    storeMap(t, at, M, b);
}

// Triangles with a frame go to the flat arrays; the rest (no frame: the
// distance is to their sides) are measured one by one.
void addTriangle(VolumeTable* t, const TrigonData* tri, const TrigonData** odd) {
    double M[9], b[3];
    if (!trigonAffineMap(tri, M, b)) return;
    double f[kTriFields];
    copy3D(tri->pnt[0]->worldRestPos, f + kOx);
    copy3D(tri->X, f + kXx);
    copy3D(tri->Y, f + kYx);
    copy3D(tri->N, f + kNx);
    double v1[2] = {tri->rest.p1x, tri->rest.p1y}, v2[2] = {tri->rest.p2x, tri->rest.p2y};
    if (v1[0] * v2[1] - v1[1] * v2[0] < 0.0) {
        scale3D(f + kYx, -1.0, f + kYx);
        v1[1] = -v1[1];
        v2[1] = -v2[1];
    }
    f[kV1x] = v1[0];
    f[kV1y] = v1[1];
    f[kV2x] = v2[0];
    f[kV2y] = v2[1];
    f[kIe0] = inverseSquare(v1[0], v1[1]);
    f[kIe1] = inverseSquare(v2[0] - v1[0], v2[1] - v1[1]);
    f[kIe2] = inverseSquare(v2[0], v2[1]);
    if (!finiteAll(f, kTriFields)) return;
    if (dot3D(tri->N, tri->N) < 0.5) {
        odd[t->odd++] = tri;
        return;
    }
    const int at = t->tris++;
    for (int k = 0; k < kTriFields; ++k)
        t->tri[slot(kTriFields, at, k)] = f[k];
    storeMap(t, t->lines + at, M, b);
}

// Branch-free forms the vectoriser takes.
inline double larger(double a, double b) {
    return a > b ? a : b;
}
inline double smaller(double a, double b) {
    return a < b ? a : b;
}

template <int F> inline double powered(double w) {
    for (int i = 0; i < F; ++i)
        w *= w;
    return w;
}

// The point and what the distances add to it, by value: the loops store
// distances through pointers the compiler cannot tell from P's.
struct Probe {
    double x, y, z;
    double smooth;
    Unit unit;
};

// Distances + smooth of one block of linegons at P into r[], each lane's
// smallest so far into low[].
MORVANE_ALWAYS_INLINE void measureLines(const double* f, Probe p, double r[kLanes],
                                        double low[kLanes]) {
    const double px = p.x, py = p.y, pz = p.z, smooth = p.smooth;
#pragma omp simd
    for (int l = 0; l < kLanes; ++l) {
        const double dx = px - f[kAx * kLanes + l], dy = py - f[kAy * kLanes + l],
                     dz = pz - f[kAz * kLanes + l];
        const double l1 =
            f[kA1x * kLanes + l] * dx + f[kA1y * kLanes + l] * dy + f[kA1z * kLanes + l] * dz;
        const double l2 =
            f[kA2x * kLanes + l] * dx + f[kA2y * kLanes + l] * dy + f[kA2z * kLanes + l] * dz;
        const double l3 =
            f[kDx * kLanes + l] * dx + f[kDy * kLanes + l] * dy + f[kDz * kLanes + l] * dz;
        // Beyond A (l3 < 0), beyond B (l3 > length), or alongside.
        const double over = larger(-l3, larger(l3 - f[kLen * kLanes + l], 0.0));
        const double d = std::sqrt(l1 * l1 + l2 * l2 + over * over) + smooth;
        r[l] = d;
        low[l] = smaller(d, low[l]);
    }
}

// Distances + smooth of one block of framed triangles at P into r[], each
// lane's smallest so far into low[].
MORVANE_ALWAYS_INLINE void measureTris(const double* f, Probe p, double r[kLanes],
                                       double low[kLanes]) {
    const double px = p.x, py = p.y, pz = p.z, smooth = p.smooth;
    const Unit unit = p.unit;
#pragma omp simd
    for (int l = 0; l < kLanes; ++l) {
        const double dx = px - f[kOx * kLanes + l], dy = py - f[kOy * kLanes + l],
                     dz = pz - f[kOz * kLanes + l];
        const double x =
            f[kXx * kLanes + l] * dx + f[kXy * kLanes + l] * dy + f[kXz * kLanes + l] * dz;
        const double y =
            f[kYx * kLanes + l] * dx + f[kYy * kLanes + l] * dy + f[kYz * kLanes + l] * dz;
        const double h =
            f[kNx * kLanes + l] * dx + f[kNy * kLanes + l] * dy + f[kNz * kLanes + l] * dz;
        const double v1x = f[kV1x * kLanes + l], v1y = f[kV1y * kLanes + l];
        const double v2x = f[kV2x * kLanes + l], v2y = f[kV2y * kLanes + l];

        // Edge V0 -> V1.
        double ex = v1x, ey = v1y, qx = x, qy = y;
        const double c0 = ex * qy - ey * qx;
        double s = (ex * qx + ey * qy) * f[kIe0 * kLanes + l];
        s = smaller(larger(s, unit.lo), unit.hi);
        double gx = qx - s * ex, gy = qy - s * ey;
        double planar2 = gx * gx + gy * gy;
        // Edge V1 -> V2.
        ex = v2x - v1x, ey = v2y - v1y, qx = x - v1x, qy = y - v1y;
        const double c1 = ex * qy - ey * qx;
        s = (ex * qx + ey * qy) * f[kIe1 * kLanes + l];
        s = smaller(larger(s, unit.lo), unit.hi);
        gx = qx - s * ex, gy = qy - s * ey;
        double g2 = gx * gx + gy * gy;
        planar2 = smaller(g2, planar2);
        // Edge V2 -> V0.
        ex = -v2x, ey = -v2y, qx = x - v2x, qy = y - v2y;
        const double c2 = ex * qy - ey * qx;
        s = (ex * qx + ey * qy) * f[kIe2 * kLanes + l];
        s = smaller(larger(s, unit.lo), unit.hi);
        gx = qx - s * ex, gy = qy - s * ey;
        g2 = gx * gx + gy * gy;
        planar2 = smaller(g2, planar2);

        // Counter-clockwise: inside is left of all three edges.
        const double leftOfAll = smaller(c0, smaller(c1, c2));
        planar2 = leftOfAll >= 0.0 ? 0.0 : planar2;
        const double d = std::sqrt(planar2 + h * h) + smooth;
        r[l] = d;
        low[l] = smaller(d, low[l]);
    }
}

// The last block of a run of `left` < kLanes elements, measured apart: its
// lanes from `left` on (past the last element) get HUGE_VAL and stay out of
// low[].
MORVANE_ALWAYS_INLINE void closeRun(double r[kLanes], int left, double low[kLanes]) {
    for (int l = 0; l < kLanes; ++l)
        if (l < left)
            low[l] = smaller(r[l], low[l]);
        else
            r[l] = HUGE_VAL;
}

// The reach array of the calling thread's lane.
double* laneReach(const VolumeTable* t) {
    return t->reach + std::size_t(stMarkLane) * std::size_t(t->capacity + kLanes);
}

// Distances + smooth of every element with a frame, into reach[], and each
// lane's smallest into low[]. The triangles start right after the
// linegons, so their blocks are stored from there, over the linegons'
// padding.
MORVANE_ALWAYS_INLINE void measureAll(VolumeTable* t, double* all, const double P[3],
                                      double low[kLanes]) {
    const Probe p = {P[0], P[1], P[2], t->smooth, t->unit};
    double spare[kLanes] = {};
    const int lineBlocks = t->lines / kLanes, lineLeft = t->lines % kLanes;
    for (int b = 0; b < lineBlocks; ++b)
        measureLines(t->line + std::size_t(b) * (kLineFields * kLanes), p, all + b * kLanes, low);
    if (lineLeft) {
        double* r = all + lineBlocks * kLanes;
        measureLines(t->line + std::size_t(lineBlocks) * (kLineFields * kLanes), p, r, spare);
        closeRun(r, lineLeft, low);
    }
    const int triBlocks = t->tris / kLanes, triLeft = t->tris % kLanes;
    double* const reach = all + t->lines;
    // The distances do not depend on the order (the nearest is a minimum),
    // so every other point walks the triangles the other way round: the
    // blocks read last are read first again while still cached, which
    // helps when the table is a little larger than the cache.
    bool& backwards = t->backwards[stMarkLane].value;
    backwards = !backwards;
    for (int i = 0; i < triBlocks; ++i) {
        const int b = backwards ? triBlocks - 1 - i : i;
        measureTris(t->tri + std::size_t(b) * (kTriFields * kLanes), p, reach + b * kLanes, low);
    }
    if (triLeft) {
        double* r = reach + triBlocks * kLanes;
        measureTris(t->tri + std::size_t(triBlocks) * (kTriFields * kLanes), p, r, spare);
        closeRun(r, triLeft, low);
    }
}

// Blocks of kLanes the elements fill, the last one padded.
inline int blockCount(const VolumeTable* t) {
    return (t->lines + t->tris + t->odd + kLanes - 1) / kLanes;
}

// The distances + smooth of every element at P into r, block by block:
// framed elements, then the odd triangles, then HUGE_VAL (weighs nothing)
// up to the whole block. Returns the nearest; when that is not above zero
// or not finite there are no weights, and the padding is left out.
MORVANE_ALWAYS_INLINE double measureNearest(VolumeTable* t, const double P[3], double* r) {
    double low[kLanes];
    for (double& l : low)
        l = HUGE_VAL;
    measureAll(t, r, P, low);
    const int framed = t->lines + t->tris;
    double nearest = low[0];
    for (int l = 1; l < kLanes; ++l)
        nearest = smaller(low[l], nearest);
    for (int i = 0; i < t->odd; ++i) {
        r[framed + i] = trigonRestDistance(t->oddTris[i], P) + t->smooth;
        nearest = smaller(r[framed + i], nearest);
    }
    if (!(nearest > 0.0) || !std::isfinite(nearest)) return nearest;
    for (int e = framed + t->odd; e < blockCount(t) * kLanes; ++e)
        r[e] = HUGE_VAL;
    return nearest;
}

// A blend's sums, lane by lane: the weighted maps, then the weights. Summed
// over blocks of kLanes (the padding weighs nothing), so they vectorise
// without reordering: every build adds the same terms in the same order.
struct BlendSums {
    double acc[kMapFields + 1][kLanes] = {};
};

// Adds block b of the maps, weighed by wb (that block's weights).
MORVANE_ALWAYS_INLINE void addBlock(const VolumeTable* t, int b, const double* wb, BlendSums* s) {
    const double* m = t->map + std::size_t(b) * (kMapFields * kLanes);
#pragma omp simd
    for (int l = 0; l < kLanes; ++l) {
        const double wl = wb[l];
        s->acc[kMapFields][l] += wl;
        for (int k = 0; k < kMapFields; ++k)
            s->acc[k][l] += wl * m[k * kLanes + l];
    }
}

// The blend the sums give at P.
MORVANE_ALWAYS_INLINE void closeSums(const VolumeTable* t, const BlendSums& s, double nearest,
                                     const double P[3], ScaledBlend* out) {
    double m[kMapFields + 1];
    for (int k = 0; k <= kMapFields; ++k) {
        m[k] = 0.0;
        for (int l = 0; l < kLanes; ++l)
            m[k] += s.acc[k][l];
    }
    const double sw = m[kMapFields];
    if (!(sw > 0.0) || !std::isfinite(sw)) return;
    double d[3];
    for (int row = 0; row < 3; ++row)
        d[row] = m[3 * row] * P[0] + m[3 * row + 1] * P[1] + m[3 * row + 2] * P[2] + m[9 + row] -
                 sw * P[row];
    if (!finiteAll(d, 3)) return;
    copy3D(d, out->disp);
    out->weight = sw;
    out->logScale = -double(1 << t->falloff) * std::log(nearest);
}

// The blend of kept weights w (as blendBody leaves them) over the maps.
MORVANE_ALWAYS_INLINE void sumBody(const VolumeTable* t, const double* w, double nearest,
                                   const double P[3], ScaledBlend* out) {
    if (!(nearest > 0.0) || !std::isfinite(nearest)) return;
    BlendSums s;
    // The kept weights stream in from memory (a row is a few KB): the
    // processor's own prefetching alone leaves the sums waiting on them.
    for (int b = 0; b < blockCount(t); ++b) {
        MORVANE_PREFETCH(bytesPast(w + b * kLanes, kAheadBlocks * kLanes * sizeof(double)));
        addBlock(t, b, w + b * kLanes, &s);
    }
    closeSums(t, s, nearest, P, out);
}

// The elements' weights at P relative to the nearest (whose distance +
// smooth is returned; not above zero or not finite: no weights and no
// blend) into w, laid out as measureNearest lays out the distances, and
// their blend over the maps into out. Each block is weighed as it is
// summed, so its divisions overlap the multiply-adds around them. w holds
// volumeWeightCount doubles.
template <int F>
MORVANE_ALWAYS_INLINE double blendBody(VolumeTable* t, const double P[3], double* w,
                                       ScaledBlend* out) {
    const double nearest = measureNearest(t, P, w);
    if (!(nearest > 0.0) || !std::isfinite(nearest)) return nearest;
    BlendSums s;
    for (int b = 0; b < blockCount(t); ++b) {
        double* wb = w + b * kLanes;
#pragma omp simd
        for (int l = 0; l < kLanes; ++l)
            wb[l] = powered<F>(nearest / wb[l]);
        addBlock(t, b, wb, &s);
    }
    closeSums(t, s, nearest, P, out);
    return nearest;
}

using BlendFn = double (*)(VolumeTable*, const double*, double*, ScaledBlend*);

template <int F>
double blendPortable(VolumeTable* t, const double P[3], double* w, ScaledBlend* out) {
    return blendBody<F>(t, P, w, out);
}
void sumPortable(const VolumeTable* t, const double* w, double nearest, const double P[3],
                 ScaledBlend* out) {
    sumBody(t, w, nearest, P, out);
}

constexpr BlendFn kBlendPortable[kMaxFalloffType + 1] = {
    blendPortable<0>, blendPortable<1>, blendPortable<2>, blendPortable<3>,
    blendPortable<4>, blendPortable<5>, blendPortable<6>};

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define MORVANE_VOLUME_WIDE 1
// The same loops built for wider vectors, chosen at run time by what the
// processor has: AVX-512 (eight doubles a step), else AVX2 with FMA (four).
#if defined(__clang__)
#define MORVANE_TARGET_512 "avx512f,avx512vl,avx512dq,avx2,fma"
#else
#define MORVANE_TARGET_512 "avx512f,avx512vl,avx512dq,avx2,fma,prefer-vector-width=512"
#endif
#define MORVANE_TARGET_AVX2 "avx2,fma"
template <int F>
__attribute__((target(MORVANE_TARGET_512))) double blend512(VolumeTable* t, const double P[3],
                                                            double* w, ScaledBlend* out) {
    return blendBody<F>(t, P, w, out);
}
template <int F>
__attribute__((target(MORVANE_TARGET_AVX2))) double blendAvx2(VolumeTable* t, const double P[3],
                                                              double* w, ScaledBlend* out) {
    return blendBody<F>(t, P, w, out);
}
__attribute__((target(MORVANE_TARGET_512))) void
sum512(const VolumeTable* t, const double* w, double nearest, const double P[3], ScaledBlend* out) {
    sumBody(t, w, nearest, P, out);
}
__attribute__((target(MORVANE_TARGET_AVX2))) void sumAvx2(const VolumeTable* t, const double* w,
                                                          double nearest, const double P[3],
                                                          ScaledBlend* out) {
    sumBody(t, w, nearest, P, out);
}

constexpr BlendFn kBlend512[kMaxFalloffType + 1] = {
    blend512<0>, blend512<1>, blend512<2>, blend512<3>, blend512<4>, blend512<5>, blend512<6>};
constexpr BlendFn kBlendAvx2[kMaxFalloffType + 1] = {blendAvx2<0>, blendAvx2<1>, blendAvx2<2>,
                                                     blendAvx2<3>, blendAvx2<4>, blendAvx2<5>,
                                                     blendAvx2<6>};

// 2: AVX-512, 1: AVX2 and FMA, 0: neither (or capped by the tests).
int vectorLevel() {
    return vectorLevelInUse();
}
#else
int vectorLevel() {
    return 0;
}
#endif

// Everything the weights at a point depend on: the counts, the smooth
// distance, the falloff, the framed elements' records (rest data only) and
// the odd triangles' world rest corners. Compared value by value with the
// last fill's while it is written over it; a change, or no room for it,
// starts a new epoch.
void takeRestSignature(VolumeTable* t) {
    const std::size_t lineRun =
        std::size_t((t->lines + kLanes - 1) / kLanes) * kLanes * kLineFields;
    const std::size_t triRun = std::size_t((t->tris + kLanes - 1) / kLanes) * kLanes * kTriFields;
    const std::size_t count = kRestHead + lineRun + triRun + kOddFields * std::size_t(t->odd);
    bool same = count == t->restCount;
    std::size_t at = 0;
    auto take = [&](double v) {
        if (same && std::memcmp(&t->rest[at], &v, sizeof v) != 0) same = false;
        t->rest[at++] = v;
    };
    take(t->lines);
    take(t->tris);
    take(t->odd);
    take(t->smooth);
    take(t->falloff);
    for (std::size_t i = 0; i < lineRun; ++i)
        take(t->line[i]);
    for (std::size_t i = 0; i < triRun; ++i)
        take(t->tri[i]);
    for (int i = 0; i < t->odd; ++i)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                take(t->oddTris[i]->pnt[c]->worldRestPos[k]);
    t->restCount = count;
    if (!same && ++t->restEpoch == 0) t->restEpoch = 1;
}

} // namespace

int volumeVectorLevel() {
    return vectorLevel();
}

void capVolumeVectorLevel(int level) {
    capVectorLevel(level);
}

VolumeTable* newVolumeTable() {
    void* place = morvaneAlloc(sizeof(VolumeTable));
    return place ? new (place) VolumeTable() : nullptr;
}

void freeVolumeTable(VolumeTable* table) {
    if (!table) return;
    morvaneFreeLines(table->block);
    morvaneFree(table->oddTris);
    table->~VolumeTable();
    morvaneFree(table);
}

bool fillVolumeTable(VolumeTable* t, const CageInstance* cage) {
    if (!t) return false;
    t->ready = false;
    t->lines = t->tris = t->odd = 0;
    if (!cage) return false;
    long long count = 0;
    for (const LinegonData* lin = cage->linegonList; lin; lin = lin->next)
        ++count;
    for (const TrigonData* tri = cage->trigonList; tri; tri = tri->next)
        ++count;
    for (const PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        count += 4;
    if (count > (1LL << 26) || !reserve(t, int(count))) return false;

    t->smooth = volumeSmoothDistance(cage);
    const int f = cage->falloffType;
    t->falloff = f < 0 ? 0 : (f > kMaxFalloffType ? kMaxFalloffType : f);
    for (const LinegonData* lin = cage->linegonList; lin; lin = lin->next)
        addLinegon(t, lin);
    for (const TrigonData* tri = cage->trigonList; tri; tri = tri->next)
        addTriangle(t, tri, t->oddTris);
    for (const PolygonData* poly = cage->polygonList; poly; poly = poly->next)
        for (const TrigonData& tri : poly->tri)
            addTriangle(t, &tri, t->oddTris);
    // The odd triangles' maps follow the framed ones.
    for (int i = 0; i < t->odd; ++i) {
        double M[9], b[3];
        trigonAffineMap(t->oddTris[i], M, b); // succeeded when it was listed
        storeMap(t, t->lines + t->tris + i, M, b);
    }
    // Padding up to the whole block: never nearest, weight 0, map 0. The
    // records' padding is measured but not kept; zeros keep it defined.
    const int used = t->lines + t->tris + t->odd;
    for (int e = used; e < t->capacity; ++e)
        for (int k = 0; k < kMapFields; ++k)
            t->map[slot(kMapFields, e, k)] = 0.0;
    for (int e = t->lines; e % kLanes; ++e)
        for (int k = 0; k < kLineFields; ++k)
            t->line[slot(kLineFields, e, k)] = 0.0;
    for (int e = t->tris; e % kLanes; ++e)
        for (int k = 0; k < kTriFields; ++k)
            t->tri[slot(kTriFields, e, k)] = 0.0;
    takeRestSignature(t);
    t->ready = true;
    return true;
}

bool volumeTableReady(const VolumeTable* table) {
    return table && table->ready;
}

unsigned int volumeTableRestEpoch(const VolumeTable* table) {
    return table && table->ready ? table->restEpoch : 0;
}

int volumeWeightCount(const VolumeTable* t) {
    if (!t || !t->ready) return 0;
    return (t->lines + t->tris + t->odd + kLanes - 1) / kLanes * kLanes + kLanes;
}

namespace {

bool weighable(const VolumeTable* t, const double P[3]) {
    return t && t->ready && P && finiteAll(P, 3) && t->lines + t->tris + t->odd > 0;
}

double blend(VolumeTable* t, const double P[3], double* w, ScaledBlend* out) {
#ifdef MORVANE_VOLUME_WIDE
    switch (vectorLevel()) {
    case 2:
        return kBlend512[t->falloff](t, P, w, out);
    case 1:
        return kBlendAvx2[t->falloff](t, P, w, out);
    }
#endif
    return kBlendPortable[t->falloff](t, P, w, out);
}

void sum(const VolumeTable* t, const double* w, double nearest, const double P[3],
         ScaledBlend* out) {
#ifdef MORVANE_VOLUME_WIDE
    switch (vectorLevel()) {
    case 2:
        return sum512(t, w, nearest, P, out);
    case 1:
        return sumAvx2(t, w, nearest, P, out);
    }
#endif
    sumPortable(t, w, nearest, P, out);
}

void clearBlend(ScaledBlend* out) {
    out->disp[0] = out->disp[1] = out->disp[2] = 0.0;
    out->weight = 0.0;
    out->logScale = 0.0;
}

} // namespace

double weighAndBlendVolumeTable(VolumeTable* t, const double P[3], double* w, ScaledBlend* out) {
    if (!out) return NAN;
    clearBlend(out);
    if (!w || !weighable(t, P)) return NAN;
    return blend(t, P, w, out);
}

void volumeBlendOfWeights(const VolumeTable* t, const double* w, double nearest, const double P[3],
                          ScaledBlend* out) {
    if (!out) return;
    clearBlend(out);
    if (w && weighable(t, P)) sum(t, w, nearest, P, out);
}

void volumeBlendOfTable(VolumeTable* t, const double P[3], ScaledBlend* out) {
    if (!out) return;
    clearBlend(out);
    if (weighable(t, P)) blend(t, P, laneReach(t), out);
}
