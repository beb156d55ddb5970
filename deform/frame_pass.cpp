#include "deform/frame_pass.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "deform/bind_cache.h"
#include "deform/binding_weights.h"
#include "deform/point_displacement.h"
#include "deform/still_points.h"
#include "deform/trigon_maps.h"
#include "deform/volume_bind_cache.h"
#include "deform/volume_table.h"
#include "deform_instance.h"
#include "geometry/element_location.h"
#include "geometry/mark_lane.h"
#include "module/cpu_count.h"
#include "module/memory.h"

namespace {

// A point's inputs and, after a pass, its answer: one cache line, which
// each call on the host's thread reads. The object position is most often
// the source itself (nothing moved the point before this deformer); when
// it is not, it is kept in the pass's row of other positions.
struct FramePoint {
    LWPntID point;
    double source[3];
    double out[3];
    int answer;     // kNoAnswer, kStays or kMoves
    int otherApart; // the object position is not the source's bits
};
static_assert(sizeof(FramePoint) <= 64, "a point's row fits one cache line");

enum { kNoAnswer, kStays, kMoves };

// The budget of the recorded inputs, like the bind cache's.
const size_t kFramePassBudget = size_t(256) << 20;
// Points a thread takes at a time.
const int kPassChunk = 64;
// The lock of the bind caches' growth, among the group's mutexes.
const int kCacheMutex = 1;
// The least work worth a pass, in points replayed from a kept Skin blend
// (about 0.3 ms on one thread): below it, starting the host's threads
// (anew at each pass, 0.05-0.1 ms on our two-core machine) costs about
// what they save.
const double kPassWorthPoints = 3000.0;

} // namespace

struct FramePass {
    FramePoint* points;    // on cache lines
    double (*otherPos)[3]; // per row, the object position when apart
    float* weights;        // capacity x width
    int capacity;
    int width;    // cages per recorded row
    int recorded; // rows that hold this frame's (or the last frame's) inputs
    int answered; // rows whose answer is this frame's
    // This frame's calls that found a row of the last frame, and those of
    // them whose inputs were the same: the next frame runs a pass only
    // while at least half were.
    int compared;
    int repeated;
};

namespace {

void freeRows(FramePass* pass) {
    morvaneFreeLines(pass->points);
    morvaneFree(pass->otherPos);
    morvaneFree(pass->weights);
    pass->points = nullptr;
    pass->otherPos = nullptr;
    pass->weights = nullptr;
}

// Whether the row holds these inputs, to the bit.
bool sameInputs(const FramePass* pass, int slot, LWPntID point, const double source[3],
                const double oPos[3], const float* weights) {
    const FramePoint& p = pass->points[slot];
    const double* other = p.otherApart ? pass->otherPos[slot] : p.source;
    if (p.point != point || memcmp(p.source, source, sizeof p.source) ||
        memcmp(other, oPos, 3 * sizeof(double)))
        return false;
    // Value by value: a row is a cage or two, too short for a call.
    const float* row = pass->weights + size_t(slot) * size_t(pass->width);
    for (int i = 0; i < pass->width; ++i)
        if (memcmp(&row[i], &weights[i], sizeof(float))) return false;
    return true;
}

bool reserveRows(FramePass* pass, int rows, int width) {
    if (width != pass->width) {
        // Rows of another number of cages mean nothing now.
        pass->width = width;
        pass->recorded = pass->answered = 0;
        pass->capacity = 0;
        freeRows(pass);
    }
    if (rows <= pass->capacity) return true;
    size_t capacity = pass->capacity ? size_t(pass->capacity) : 1024;
    while (capacity < size_t(rows))
        capacity *= 2;
    const size_t row = sizeof(FramePoint) + sizeof(double[3]) + size_t(width) * sizeof(float);
    if (capacity * row > kFramePassBudget) capacity = kFramePassBudget / row;
    if (capacity < size_t(rows)) return false;
    auto* points = static_cast<FramePoint*>(morvaneAllocLines(capacity * sizeof(FramePoint)));
    auto* other = static_cast<double(*)[3]>(morvaneCalloc(capacity, sizeof(double[3])));
    auto* weights =
        width ? static_cast<float*>(morvaneCalloc(capacity * size_t(width), sizeof(float)))
              : nullptr;
    if (!points || !other || (width && !weights)) {
        morvaneFreeLines(points);
        morvaneFree(other);
        morvaneFree(weights);
        return false;
    }
    const size_t held = size_t(pass->capacity);
    if (held) {
        memcpy(points, pass->points, held * sizeof(FramePoint));
        memcpy(other, pass->otherPos, held * sizeof(double[3]));
    }
    memset(points + held, 0, (capacity - held) * sizeof(FramePoint));
    if (pass->weights) memcpy(weights, pass->weights, held * size_t(width) * sizeof(float));
    freeRows(pass);
    pass->points = points;
    pass->otherPos = other;
    pass->weights = weights;
    pass->capacity = int(capacity);
    return true;
}

// A frame's pass is one run of the host's threads, the calling thread
// among them: it takes up the work at once, while the others wake (on a
// virtual machine an idle processor can take a fifth of a millisecond), and
// a thread that never starts leaves its share to the rest.
//
// The run has two parts. First the lazily kept per-triangle data of the
// cages are worked out as the frame's first blends would leave them, so
// that the points then only read them: a triangle's data depend on that
// triangle alone, so they are shared out in runs of triangles, numbered
// across the cages by their places (trigonAtPlace). Each thread then waits
// for the triangles others took; a triangle taken is being readied by a
// running thread, so the wait always ends. Then the points, kPassChunk at
// a time.
const int kReadyChunk = 64;

// Readies the triangles at places first..last-1, numbered across the
// cages, and copies the maps of those of a cage with a map table.
void readyTriangles(DeformInstance* deform, int first, int last) {
    int base = 0;
    for (int i = 0; i < deform->cageCount && first < last; ++i) {
        CageInstance* cage = deform->cageArray[i];
        const int end = base + trigonPlacesOf(cage);
        if (first < end) {
            const int to = last < end ? last : end;
            for (int at = first; at < to; ++at)
                if (TrigonData* t = trigonAtPlace(cage, unsigned(at - base))) {
                    readyTrigonSlide(t);
                    readyTrigonWorldMap(t);
                }
            copyTrigonMaps(deform->mapTables[i], cage, first - base, to - base);
            first = to;
        }
        base = end;
    }
}

struct PassRun {
    FramePass* pass;
    DeformInstance* deform;
    LWMTUtilFuncs* mt;
    LWMTGroupID group;
    int count;
    std::atomic<int> next;
    BindCacheLock lock;
    // The triangles' part: taken, and done (the thread that completes the
    // last finishes the cages' map tables and raises `readied`).
    int triangles;
    std::atomic<int> nextTriangle;
    std::atomic<int> readiedTriangles;
    std::atomic<int> readied;
};

struct PassThread {
    PassRun* run;
    int lane;
};

void lockCaches(void* arg) {
    auto* run = static_cast<PassRun*>(arg);
    if (run->group) run->mt->groupLockMutex(run->group, kCacheMutex);
}

void unlockCaches(void* arg) {
    auto* run = static_cast<PassRun*>(arg);
    if (run->group) run->mt->groupUnlockMutex(run->group, kCacheMutex);
}

void readyCages(PassRun* run) {
    DeformInstance* deform = run->deform;
    for (;;) {
        const int first = run->nextTriangle.fetch_add(kReadyChunk);
        if (first >= run->triangles) break;
        const int last =
            first + kReadyChunk < run->triangles ? first + kReadyChunk : run->triangles;
        readyTriangles(deform, first, last);
        const int done =
            run->readiedTriangles.fetch_add(last - first, std::memory_order_acq_rel) + last - first;
        if (done == run->triangles) {
            for (int i = 0; i < deform->cageCount; ++i)
                finishTrigonMaps(deform->mapTables[i]);
            run->readied.store(1, std::memory_order_release);
        }
    }
    for (int spins = 0; !run->readied.load(std::memory_order_acquire); ++spins)
        if (spins > 64) run->mt->threadSleep(0);
}

int passThread(void* arg) {
    const PassThread* self = static_cast<const PassThread*>(arg);
    PassRun* run = self->run;
    FramePass* pass = run->pass;
    DeformInstance* deform = run->deform;
    readyCages(run);
    stMarkLane = self->lane;
    int* hints = deform->nearHints + size_t(self->lane) * size_t(deform->cageCapacity + 16);
    for (;;) {
        const int first = run->next.fetch_add(kPassChunk);
        if (first >= run->count) break;
        const int last = first + kPassChunk < run->count ? first + kPassChunk : run->count;
        for (int i = first; i < last; ++i) {
            FramePoint& p = pass->points[i];
            const double* oPos = p.otherApart ? pass->otherPos[i] : p.source;
            const PointWork work = {
                p.point, p.source, oPos,      i, pass->weights + size_t(i) * size_t(pass->width),
                hints,   false,    &run->lock};
            bool moved = false;
            if (!displaceByKeptBlend(deform, work, &moved, p.out))
                moved = displacePoint(deform, work, p.out);
            p.answer = moved ? kMoves : kStays;
        }
    }
    stMarkLane = 0;
    return 0;
}

} // namespace

FramePass* newFramePass() {
    return static_cast<FramePass*>(morvaneCalloc(1, sizeof(FramePass)));
}

void freeFramePass(FramePass* pass) {
    if (!pass) return;
    freeRows(pass);
    morvaneFree(pass);
}

int framePassThreads() {
    int threads = onlineProcessorCount();
    if (const char* setting = getenv("MORVANE_THREADS")) {
        const int asked = atoi(setting);
        if (asked >= 1) threads = asked;
    }
    return threads < kMarkLanes ? threads : kMarkLanes;
}

double framePassWorthPoints() {
    if (const char* setting = getenv("MORVANE_PASS_FROM")) {
        char* end = nullptr;
        const double asked = strtod(setting, &end);
        if (end != setting && asked >= 0.0) return asked;
    }
    return kPassWorthPoints;
}

double framePassWork(const DeformInstance* deform, int calls) {
    // A point's work in each cage, as measured on one thread: a kept
    // Skin blend replayed about 0.1 us, a searched one 14 times that; a
    // Volume point summed from its kept weights about an eighth of its
    // table's blocks of eight elements, weighed afresh twice that, and
    // weighed element by element (no table) at least as much as a search.
    const double kSearched = 14.0;
    double each = 0.0;
    for (int i = 0; i < deform->cageCount; ++i) {
        if (deform->cageArray[i]->mode != kCageModeVolume) {
            each += deform->bindCaches[i] ? 1.0 : kSearched;
            continue;
        }
        const double blocks = volumeWeightCount(deform->volumeTables[i]) / 8.0;
        if (blocks == 0.0)
            each += kSearched;
        else
            each += deform->volumeBinds[i] ? blocks / 8.0 : blocks / 4.0;
    }
    return each * (calls > 0 ? calls : 0);
}

void runFramePass(FramePass* pass, DeformInstance* deform, int calls, LWMTUtilFuncs* mt,
                  int threads) {
    if (!pass) return;
    pass->answered = 0;
    const int count = calls < pass->recorded ? calls : pass->recorded;
    pass->recorded = count;
    // Points that move from frame to frame (a deformer or bones before this
    // one) would be worked out twice.
    const bool moving = !mostlyStill(pass->compared, pass->repeated);
    pass->compared = pass->repeated = 0;
    if (!mt || threads < 2 || count <= 0 || moving || pass->width != deform->cageCount) return;
    if (threads > kMarkLanes) threads = kMarkLanes;

    for (int i = 0; i < deform->cageCount; ++i) {
        // Every slot the threads reach, grown now (as far as the budget goes).
        if (SkinBindCache* cache = deform->bindCaches[i])
            skinBindSlot(cache, count - 1, &deform->bindCacheBytes);
        volumeWeightRoom(deform->volumeBinds[i], count - 1, true, &deform->bindCacheBytes);
    }
    PassRun run;
    run.pass = pass;
    run.deform = deform;
    run.mt = mt;
    run.count = count;
    run.next.store(0);
    run.lock = {lockCaches, unlockCaches, &run};
    run.triangles = 0;
    for (int i = 0; i < deform->cageCount; ++i)
        run.triangles += trigonPlacesOf(deform->cageArray[i]);
    run.nextTriangle.store(0);
    run.readiedTriangles.store(0);
    run.readied.store(run.triangles == 0 ? 1 : 0);
    // The calling thread takes lane 0, the group's threads the others. A
    // group that cannot start leaves the whole run to the calling thread,
    // which then needs no lock.
    run.group = mt->groupCreate(threads - 1);
    PassThread self[kMarkLanes];
    self[0] = {&run, 0};
    bool added = run.group != nullptr;
    for (int t = 1; t < threads && added; ++t) {
        self[t] = {&run, t};
        added = mt->groupAddThread(run.group, passThread, 0, &self[t]) != nullptr;
    }
    if (run.group && !(added && mt->groupBegin(run.group))) {
        mt->groupDestroy(run.group);
        run.group = nullptr;
    }
    passThread(&self[0]);
    if (run.group) {
        mt->groupSync(run.group);
        mt->groupDestroy(run.group);
    }
    pass->answered = count;
}

bool takeFrameAnswer(FramePass* pass, int slot, LWPntID point, const double source[3],
                     const double oPos[3], const float* weights, int cageCount, bool* moved,
                     double out[3]) {
    if (!pass || slot < 0 || slot >= pass->answered || cageCount != pass->width) return false;
    const FramePoint& p = pass->points[slot];
    if (p.answer == kNoAnswer || !sameInputs(pass, slot, point, source, oPos, weights))
        return false;
    *moved = p.answer == kMoves;
    if (*moved) memcpy(out, p.out, sizeof p.out);
    ++pass->compared;
    ++pass->repeated;
    return true;
}

void recordFrameInputs(FramePass* pass, int slot, LWPntID point, const double source[3],
                       const double oPos[3], const float* weights, int cageCount) {
    if (!pass || slot < 0) return;
    if (!reserveRows(pass, slot + 1, cageCount)) return;
    FramePoint& p = pass->points[slot];
    float* row = pass->weights + size_t(slot) * size_t(cageCount);
    if (slot < pass->recorded) {
        ++pass->compared;
        pass->repeated += sameInputs(pass, slot, point, source, oPos, weights);
    }
    p.point = point;
    memcpy(p.source, source, sizeof p.source);
    p.otherApart = memcmp(oPos, source, 3 * sizeof(double)) != 0;
    if (p.otherApart) memcpy(pass->otherPos[slot], oPos, 3 * sizeof(double));
    if (cageCount) memcpy(row, weights, size_t(cageCount) * sizeof(float));
    p.answer = kNoAnswer;
    if (slot >= pass->recorded) pass->recorded = slot + 1;
}

int framePassAnswered(const FramePass* pass) {
    return pass ? pass->answered : 0;
}
