#include "deform/blend_program.h"

#include <math.h>
#include <string.h>

#include "deform/blend_sums.h"
#include "deform/trigon_maps.h"
#include "geometry/inlining.h"
#include "module/cpu_features.h"

thread_local BlendRecorder* stBlendRecorder MORVANE_QUICK_TLS = nullptr;

namespace {

// How deep the stack must be for a step, and how its depth changes.
int stepNeeds(int op) {
    if (op == kStepOpen || op == kStepKeep || op == kStepLoad || op == kStepWeightFactor) return 0;
    return op == kStepPartEnd || op == kStepFadeEnd ? 2 : 1;
}
int stepMoves(int op) {
    if (op == kStepOpen) return 1;
    const bool closes =
        op == kStepPolygonEnd || op == kStepPartEnd || op == kStepFadeEnd || op == kStepFinish;
    return closes ? -1 : 0;
}
bool carriesWeight(int op) {
    return op == kStepMapTrigon || op == kStepMapLinegon || op == kStepAddPolygon ||
           op == kStepPartEnd || op == kStepBandAdd || op == kStepWeightFactor ||
           op == kStepPolygonAdd;
}

// A run's place with this bit set maps with weight 1 (and keeps no weight).
const unsigned int kUnitPlace = 0x80000000u;

// The element's place in the cage's blocks, or -1 when it is not one of
// the cage's.
long elementPlace(const CageInstance* cage, int op, const void* element) {
    if (!cage || !element) return -1;
    if (op == kStepMapLinegon) {
        const auto* lin = static_cast<const LinegonData*>(element);
        const bool ours = cage->linegonBlock && int(lin->place) < cage->linegonCount &&
                          &cage->linegonBlock[lin->place] == lin;
        return ours ? long(lin->place) : -1;
    }
    const auto* tri = static_cast<const TrigonData*>(element);
    return trigonAtPlace(cage, tri->place) == tri ? long(tri->place) : -1;
}

template <class T> void put(BlendRecorder* r, T v) {
    memcpy(r->bytes + r->used, &v, sizeof v);
    r->used += int(sizeof v);
}

template <class T> T take(const unsigned char*& at) {
    T v;
    memcpy(&v, at, sizeof v);
    at += sizeof v;
    return v;
}

} // namespace

void appendBlendStep(BlendRecorder* r, int op, const void* element, double weight) {
    if (r->abandoned) return;
    const bool keeps = op == kStepKeep || op == kStepLoad;
    const bool maps = op == kStepMapTrigon || op == kStepMapLinegon;
    const long place = maps ? elementPlace(r->cage, op, element) : 0;
    const bool unit = op == kStepMapTrigon && weight == 1.0;
    // A triangle's map goes on the run the last step left open, if any.
    const bool runs = op == kStepMapTrigon && r->lastOp >= 0 &&
                      r->bytes[r->lastOp] == kStepMapTrigon && r->bytes[r->lastOp + 1] < 255;
    int size = 1 + (maps ? 4 : 0) + (carriesWeight(op) && !unit ? 8 : 0) + (keeps ? 1 : 0);
    if (op == kStepMapTrigon) size += runs ? -1 : 1;
    if (r->used + size > r->capacity || r->depth < stepNeeds(op) || place < 0 ||
        place >= long(kUnitPlace) || (keeps && !(weight >= 0.0 && weight < kBlendKept)) ||
        (op == kStepMapTrigon && !(weight > 0.0 && weight <= kBoundedMapWeight)) ||
        (op == kStepAddPolygon && !(weight >= 0.0 && weight < HUGE_VAL))) {
        r->abandoned = 1;
        return;
    }
    r->depth += stepMoves(op);
    if (r->depth > kBlendStackDepth) r->abandoned = 1;
    if (op == kStepAddPolygon && r->lastOp == r->used - 1 &&
        r->bytes[r->lastOp] == kStepPolygonEnd) {
        // The polygon's blend added as soon as it is closed: one step, and
        // with its opening too when the polygon is a run of maps alone
        // (the most common polygon, a neighbour seen through its nearest
        // fan triangles).
        const int runAt = r->earlierOps[0], openAt = r->earlierOps[1];
        if (openAt >= 0 && openAt == runAt - 1 && r->bytes[openAt] == kStepOpen &&
            r->bytes[runAt] == kStepMapTrigon) {
            // Open, run (count, maps), end: the run's bytes move down by one.
            memmove(r->bytes + openAt + 1, r->bytes + runAt + 1, size_t(r->lastOp - runAt - 1));
            r->bytes[openAt] = kStepRunPolygonAdd;
            r->used = r->lastOp - 1;
            r->lastOp = openAt;
            r->earlierOps[0] = r->earlierOps[1] = -1;
        } else {
            r->bytes[r->lastOp] = kStepPolygonAdd;
        }
        put<double>(r, weight);
        return;
    }
    if (!runs) {
        r->earlierOps[1] = r->earlierOps[0];
        r->earlierOps[0] = r->lastOp;
        r->lastOp = r->used;
        put<unsigned char>(r, static_cast<unsigned char>(op));
        if (op == kStepMapTrigon) put<unsigned char>(r, 0);
    }
    if (op == kStepMapTrigon) {
        ++r->bytes[r->lastOp + 1];
        put<unsigned int>(r, static_cast<unsigned int>(place) | (unit ? kUnitPlace : 0u));
        if (!unit) put<double>(r, weight);
        return;
    }
    if (maps) put<unsigned int>(r, static_cast<unsigned int>(place));
    if (carriesWeight(op)) put<double>(r, weight);
    if (keeps) put<unsigned char>(r, static_cast<unsigned char>(weight));
}

namespace {

// A finished blend: its displacement and weight sum (see toSum), and
// whether it is sound.
struct Value {
    Double4 v;
    bool sound;
};

// The top sum, closed: a polygon's blend. `finite`: its lanes are known to
// be.
MORVANE_ALWAYS_INLINE void closePolygon(const Double4* top, Value& value, bool finite = false) {
    value.v = *top;
    value.sound = (*top)[3] > 0.0 && (finite || finite3(*top));
}

} // namespace

MORVANE_NOINLINE void trigonMappedOutOfLine(const TrigonData* tri, const MapPoint& P, Double4& m) {
    if (tri->worldMapState == 0) readyTrigonWorldMap(const_cast<TrigonData*>(tri));
    if (hasWorldMap(tri)) return affineTrigonMapped(tri, P, m);
    const double at[3] = {P.p[0], P.p[1], P.p[2]};
    double t[3];
    trigonMap(tri, at, t);
    set4(t[0], t[1], t[2], 1.0, m);
}

namespace {

// A run of triangle maps added to the sum, in order. While the point (when
// `bounded`), the sum and the maps stay within the bounds of kept runs
// (blend_program.h), the maps are added without the tests that would pass:
// all of them when `maps` holds this frame's, all bounded (by place,
// deform/trigon_maps.h); otherwise up to the first map beyond the bounds
// (or not worked out yet), and from there to the run's end with the tests.
// A `fresh` sum is 0. True when every map was added within the bounds: the
// sum's lanes are then finite.
MORVANE_ALWAYS_INLINE bool mapRun(const CageInstance* cage, const double* maps,
                                  const unsigned char*& step, const MapPoint& at, bool bounded,
                                  bool fresh, Double4& sum) {
    int n = *step++;
    const bool fast = bounded && (fresh || lanesWithin(sum, kBoundedRunSum));
    if (fast) {
        if (maps) {
            for (; n > 0; --n) {
                const unsigned int place = take<unsigned int>(step);
                const double* map = maps + size_t(place & ~kUnitPlace) * kTrigonMapDoubles;
                if (place & kUnitPlace)
                    addBoundedUnitMapSum(map, at, sum);
                else
                    addBoundedMapSum(map, at, take<double>(step), sum);
            }
            return true;
        }
        for (; n > 0; --n) {
            const unsigned char* next = step;
            const unsigned int place = take<unsigned int>(next);
            const TrigonData* tri = trigonAtPlace(cage, place & ~kUnitPlace);
            if (!MORVANE_LIKELY(tri->worldMapState == 1)) break;
            const double w = place & kUnitPlace ? 1.0 : take<double>(next);
            step = next;
            addBoundedMapSum(tri->worldMap, at, w, sum);
        }
    }
    const bool within = fast && n == 0;
    for (; n > 0; --n) {
        const unsigned int place = take<unsigned int>(step);
        const double w = place & kUnitPlace ? 1.0 : take<double>(step);
        addTrigonMappedSum(trigonAtPlace(cage, place & ~kUnitPlace), at, sum, w);
    }
    return within;
}

// The replay, inlined into one build for every processor and one for those
// with AVX. AVX adds no fused multiply-add, so both round every lane alike.
MORVANE_ALWAYS_INLINE bool replayBody(const CageInstance* cage, const double* maps,
                                      const unsigned char* program, int count, const double P[3],
                                      double* wm, double disp[3]) {
    // Kept programs were checked step by step as they were recorded. The
    // top sum is held apart from the sums beneath it, so a map's sum stays
    // in a register rather than making a round trip through memory.
    Double4 below[kBlendStackDepth + 1];
    int depth = 0; // below[0] is never a sum: the first step opens one
    Double4 top;
    splat4(0.0, top);
    Value value;
    splat4(0.0, value.v);
    value.sound = false;
    Value kept[kBlendKept];
    MapPoint at;
    setMapPoint(P, at);
    const bool bounded = std::fabs(P[0]) <= kBoundedPoint && std::fabs(P[1]) <= kBoundedPoint &&
                         std::fabs(P[2]) <= kBoundedPoint;
    const unsigned char* step = program;
    const unsigned char* end = program + count;
    while (step < end) {
        const int op = *step++;
        switch (op) {
        case kStepMapTrigon:
            mapRun(cage, maps, step, at, bounded, false, top);
            break;
        case kStepMapLinegon: {
            const LinegonData* lin = &cage->linegonBlock[take<unsigned int>(step)];
            addLinegonMappedSum(lin, at, take<double>(step), top);
            break;
        }
        case kStepOpen:
            below[depth++] = top;
            splat4(0.0, top);
            // A run that starts the new sum starts from 0.
            if (step < end && *step == kStepMapTrigon) {
                ++step;
                mapRun(cage, maps, step, at, bounded, true, top);
            }
            break;
        case kStepPolygonEnd:
            closePolygon(&top, value);
            top = below[--depth];
            break;
        case kStepPolygonAdd: {
            closePolygon(&top, value);
            top = below[--depth];
            const double w = take<double>(step);
            if (value.sound) addPolygonBlendSum(value.v, w, top);
            break;
        }
        case kStepRunPolygonAdd: {
            Double4 sum;
            splat4(0.0, sum);
            const bool finite = mapRun(cage, maps, step, at, bounded, true, sum);
            closePolygon(&sum, value, finite);
            const double w = take<double>(step);
            if (value.sound) addPolygonBlendSum(value.v, w, top);
            break;
        }
        case kStepKeep:
            kept[*step++] = value;
            break;
        case kStepLoad:
            value = kept[*step++];
            break;
        case kStepAddPolygon: {
            const double w = take<double>(step);
            if (value.sound) addPolygonBlendSum(value.v, w, top);
            break;
        }
        case kStepPartEnd: {
            Double4 fade = below[--depth];
            addFadedPartSum(top, take<double>(step), fade);
            top = fade;
            break;
        }
        case kStepFadeEnd: {
            Double4 sum = below[--depth];
            addFadedSumSum(top, sum);
            top = sum;
            break;
        }
        case kStepNormalise:
            normaliseBlendSum(top);
            break;
        case kStepFinish:
            value.v[0] = value.v[1] = value.v[2] = 0.0;
            value.sound = finishBlendSum(top, value.v);
            top = below[--depth];
            break;
        case kStepBandAdd: {
            const double w = take<double>(step);
            if (value.sound) addBandPartSum(value.v, w, top);
            break;
        }
        case kStepWeightFactor:
            *wm *= take<double>(step);
            break;
        default:
            step = end;
            break;
        }
    }
    if (!value.sound) value.v[0] = value.v[1] = value.v[2] = 0.0;
    fromSum(value.v, disp, nullptr);
    return value.sound;
}

bool replayPortable(const CageInstance* cage, const double* maps, const unsigned char* program,
                    int count, const double P[3], double* wm, double disp[3]) {
    return replayBody(cage, maps, program, count, P, wm, disp);
}

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
__attribute__((target("avx"))) bool replayAvx(const CageInstance* cage, const double* maps,
                                              const unsigned char* program, int count,
                                              const double P[3], double* wm, double disp[3]) {
    return replayBody(cage, maps, program, count, P, wm, disp);
}
#endif

} // namespace

bool replayBlendProgram(const CageInstance* cage, const double* maps, const unsigned char* program,
                        int count, const double P[3], double* wm, double disp[3]) {
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
    if (vectorLevelInUse() > 0) return replayAvx(cage, maps, program, count, P, wm, disp);
#endif
    return replayPortable(cage, maps, program, count, P, wm, disp);
}
