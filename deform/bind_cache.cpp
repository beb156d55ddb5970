#include "deform/bind_cache.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "deform/still_points.h"
#include "module/memory.h"

// Chunk k starts at kFirstTapeChunk (2^k - 1), so it is the highest bit of
// e / kFirstTapeChunk + 1; every lookup of a slot's program asks.
int arenaChunkOf(size_t e) {
    const unsigned long long q = (unsigned long long)(e / kFirstTapeChunk) + 1;
#if defined(__GNUC__)
    const int k = 63 - __builtin_clzll(q);
#else
    int k = 0;
    while (q >> (k + 1))
        ++k;
#endif
    return k < kTapeChunks ? k : kTapeChunks - 1;
}

namespace {

const size_t kFirstSlots = 1024;

// Where chunk k starts in the arena's entry numbering.
size_t chunkStart(int k) {
    return kFirstTapeChunk * ((size_t(1) << k) - 1);
}

// Room for n more entries that do not straddle two chunks: their first
// entry's number, or SIZE_MAX when the budget or the memory runs out.
size_t appendRoom(ChunkArena* arena, size_t size, size_t n, size_t* used) {
    size_t at = arena->used;
    int k = arenaChunkOf(at);
    if (at + n > chunkStart(k + 1)) {
        ++k;
        at = chunkStart(k);
    }
    if (k >= kTapeChunks) return SIZE_MAX;
    while (arena->chunkCount <= k) {
        const size_t entries = kFirstTapeChunk << arena->chunkCount;
        const size_t more = entries * size;
        if (*used + more > kBindCacheBudget) return SIZE_MAX;
        void* chunk = morvaneAlloc(more);
        if (!chunk) return SIZE_MAX;
        arena->chunks[arena->chunkCount++] = chunk;
        arena->capacity += entries;
        *used += more;
    }
    arena->used = at + n;
    return at;
}

void* entryAt(const ChunkArena* arena, size_t size, size_t e) {
    const int k = arenaChunkOf(e);
    return static_cast<char*>(arena->chunks[k]) + (e - chunkStart(k)) * size;
}

LocationMemoEntry* tapeAt(const SkinBindCache* cache, size_t e) {
    return static_cast<LocationMemoEntry*>(entryAt(&cache->tapes, sizeof(LocationMemoEntry), e));
}

void freeArena(ChunkArena* arena) {
    for (int k = 0; k < arena->chunkCount; ++k)
        morvaneFree(arena->chunks[k]);
}

// Where a slot's n entries go: into its own room when that is this epoch's
// and big enough, else into new room at the arena's end (grown under the
// lock); SIZE_MAX when there is none.
size_t slotRoom(ChunkArena* arena, size_t size, size_t n, unsigned int epoch,
                unsigned int* roomEpoch, unsigned short* room, unsigned int offset, size_t* used,
                const BindCacheLock* lock) {
    if (*roomEpoch == epoch && *room >= n) return offset;
    if (lock) lock->lock(lock->arg);
    const size_t at = appendRoom(arena, size, n, used);
    if (lock) lock->unlock(lock->arg);
    if (at == SIZE_MAX) return at;
    *room = static_cast<unsigned short>(n);
    *roomEpoch = epoch;
    return at;
}

void dropPrograms(SkinBindCache* cache) {
    cache->programs.used = 0;
    if (++cache->programEpoch == 0) {
        for (int i = 0; i < cache->slotCount; ++i)
            cache->slots[i].programEpoch = cache->slots[i].programRoomEpoch = 0;
        cache->programEpoch = 1;
    }
}

// Whether the weights' settings are those the programs were recorded
// with; takes them for the next frame.
bool sameSettings(SkinBindCache* cache, const CageInstance* cage) {
    const bool same =
        cache->falloffType == cage->falloffType && cache->limitedRange == cage->limitedRange &&
        !memcmp(&cache->perpendicular, &cage->perpendicularDistanceClamped, sizeof(double)) &&
        !memcmp(&cache->parallel, &cage->parallelDistanceClamped, sizeof(double));
    cache->falloffType = cage->falloffType;
    cache->limitedRange = cage->limitedRange;
    cache->perpendicular = cage->perpendicularDistanceClamped;
    cache->parallel = cage->parallelDistanceClamped;
    return same;
}

void dropTapes(SkinBindCache* cache) {
    dropPrograms(cache);
    cache->tapes.used = 0;
    if (++cache->tapeEpoch == 0) {
        for (int i = 0; i < cache->slotCount; ++i)
            cache->slots[i].tapeEpoch = cache->slots[i].roomEpoch = 0;
        cache->tapeEpoch = 1;
    }
}

void dropSlots(SkinBindCache* cache) {
    dropTapes(cache);
    if (++cache->epoch == 0) {
        // After 2^32 invalidations the epochs start over from clean slots.
        for (int i = 0; i < cache->slotCount; ++i)
            cache->slots[i].epoch = 0;
        cache->epoch = 1;
    }
}

// Whether the cage's points still sit where the snapshot has them; takes
// a new snapshot when not.
bool sameShape(SkinBindCache* cache, const CageInstance* cage) {
    const int n = cage->pointCount;
    bool same = cache->shape && cache->pointCount == n && cage->pointArray;
    for (int i = 0; same && i < n; ++i) {
        const PointData* p = cage->pointArray[i];
        same = p && !memcmp(cache->shape + 6 * i, p->restPos, sizeof p->restPos) &&
               !memcmp(cache->shape + 6 * i + 3, p->basePos, sizeof p->basePos);
    }
    if (same) return true;
    if (cache->pointCount != n || !cache->shape) {
        morvaneFree(cache->shape);
        cache->shape =
            n > 0 ? static_cast<double*>(morvaneCalloc(size_t(n) * 6, sizeof(double))) : nullptr;
        cache->pointCount = cache->shape ? n : 0;
    }
    for (int i = 0; i < cache->pointCount && cage->pointArray; ++i) {
        const PointData* p = cage->pointArray[i];
        if (!p) continue;
        memcpy(cache->shape + 6 * i, p->restPos, sizeof p->restPos);
        memcpy(cache->shape + 6 * i + 3, p->basePos, sizeof p->basePos);
    }
    return false;
}

} // namespace

int bindCacheEnabled(void) {
    const char* setting = getenv("MORVANE_BIND_CACHE");
    return !setting || strcmp(setting, "off") != 0;
}

SkinBindCache* newSkinBindCache() {
    auto* cache = static_cast<SkinBindCache*>(morvaneCalloc(1, sizeof(SkinBindCache)));
    if (cache) cache->epoch = cache->tapeEpoch = cache->programEpoch = cache->recording = 1;
    return cache;
}

void freeSkinBindCache(SkinBindCache* cache) {
    if (!cache) return;
    morvaneFree(cache->shape);
    morvaneFree(cache->slots);
    freeArena(&cache->tapes);
    freeArena(&cache->programs);
    morvaneFree(cache);
}

void refreshSkinBindCache(SkinBindCache* cache, const CageInstance* cage) {
    if (!cache || !cage) return;
    const int frame0 = cage->restShapeAtFrame0 != 0;
    // sameShape runs first: it also takes the snapshot for the next frame.
    const bool same = sameShape(cache, cage) && cache->cage == cage &&
                      cache->geometryStamp == cage->geometryStamp && cache->frame0 == frame0;
    if (!same)
        dropSlots(cache);
    else if (memcmp(cache->worldAxes, cage->worldAxes, sizeof cache->worldAxes) != 0)
        dropTapes(cache);
    if (!sameSettings(cache, cage)) dropPrograms(cache);
    memcpy(cache->worldAxes, cage->worldAxes, sizeof cache->worldAxes);
    // A frame worked out by the pass counts nothing: its points were still.
    cache->recording = mostlyStill(cache->lookups, cache->repeats);
    cache->lookups = cache->repeats = 0;
    cache->cage = cage;
    cache->geometryStamp = cage->geometryStamp;
    cache->frame0 = frame0;
}

size_t grownCount(size_t held, size_t first, int index, size_t each, size_t used) {
    const size_t room = used < kBindCacheBudget ? kBindCacheBudget - used : 0;
    const size_t most = held + room / each;
    if (index < 0 || size_t(index) >= most) return 0;
    size_t count = held ? held : first;
    while (count <= size_t(index))
        count *= 2;
    return count < most ? count : most;
}

SkinBindSlot* skinBindSlot(SkinBindCache* cache, int index, size_t* used) {
    if (!cache || index < 0) return nullptr;
    if (index < cache->slotCount) return &cache->slots[index];
    const size_t count =
        grownCount(size_t(cache->slotCount), kFirstSlots, index, sizeof(SkinBindSlot), *used);
    if (!count) return nullptr;
    const size_t more = (count - size_t(cache->slotCount)) * sizeof(SkinBindSlot);
    auto* grown = static_cast<SkinBindSlot*>(morvaneCalloc(count, sizeof(SkinBindSlot)));
    if (!grown) return nullptr;
    if (cache->slots) memcpy(grown, cache->slots, size_t(cache->slotCount) * sizeof(SkinBindSlot));
    morvaneFree(cache->slots);
    cache->slots = grown;
    cache->slotCount = int(count);
    *used += more;
    return &cache->slots[index];
}

SkinBindSlot* heldSkinBindSlot(SkinBindCache* cache, int index) {
    return cache && index >= 0 && index < cache->slotCount ? &cache->slots[index] : nullptr;
}

bool skinBindHit(const SkinBindCache* cache, const SkinBindSlot* slot, LWPntID point,
                 const double searchPt[3]) {
    return slot->epoch == cache->epoch && slot->point == point &&
           !memcmp(slot->searchPt, searchPt, sizeof slot->searchPt);
}

void countSkinBindLookup(SkinBindCache* cache, const SkinBindSlot* slot, LWPntID point,
                         const double searchPt[3], bool hit) {
    // A slot that never held a point has nothing to compare.
    if (!cache || !slot || !slot->point) return;
    ++cache->lookups;
    cache->repeats +=
        hit || (slot->point == point && !memcmp(slot->searchPt, searchPt, sizeof slot->searchPt));
}

void storeSkinBind(const SkinBindCache* cache, SkinBindSlot* slot, LWPntID point,
                   const double searchPt[3], const NearestElement* near) {
    slot->tapeEpoch = slot->programEpoch = 0;
    slot->point = point;
    memcpy(slot->searchPt, searchPt, sizeof slot->searchPt);
    slot->near = *near;
    slot->epoch = cache->epoch;
}

void beginSkinBindTape(const SkinBindCache* cache, const SkinBindSlot* slot, LocationMemo* memo,
                       LocationMemoEntry* room) {
    memset(memo, 0, sizeof *memo);
    if (slot->tapeEpoch == cache->tapeEpoch) {
        memo->mode = kMemoReplay;
        memo->entries = tapeAt(cache, slot->tapeOffset);
        memo->count = slot->tapeCount;
        memo->full = slot->tapeFull;
    } else {
        memo->mode = kMemoRecord;
        memo->entries = room;
        memo->capacity = kBindTapeRoom;
    }
    stLocationMemo = memo;
}

void endSkinBindTape(SkinBindCache* cache, SkinBindSlot* slot, LocationMemo* memo, size_t* used,
                     const BindCacheLock* lock, bool keep) {
    stLocationMemo = nullptr;
    if (memo->mode == 0 || !keep) {
        slot->tapeEpoch = 0; // it no longer matches: record again next frame
        return;
    }
    if (memo->mode != kMemoRecord) return;
    const size_t n = size_t(memo->count);
    // Into the slot's own room when the tape fits there, else at the end.
    const size_t offset = slotRoom(&cache->tapes, sizeof(LocationMemoEntry), n, cache->tapeEpoch,
                                   &slot->roomEpoch, &slot->tapeRoom, slot->tapeOffset, used, lock);
    if (offset == SIZE_MAX) return;
    if (n) memcpy(tapeAt(cache, offset), memo->entries, n * sizeof(LocationMemoEntry));
    slot->tapeOffset = static_cast<unsigned int>(offset);
    slot->tapeCount = static_cast<unsigned short>(n);
    slot->tapeFull = static_cast<unsigned char>(memo->full);
    slot->tapeEpoch = cache->tapeEpoch;
}

const unsigned char* heldBlendProgram(const SkinBindCache* cache, const SkinBindSlot* slot,
                                      const double P[3], const double Plocal[3], int* count) {
    if (slot->programEpoch != cache->programEpoch || memcmp(slot->programP, P, 3 * sizeof *P) ||
        memcmp(slot->programLocal, Plocal, 3 * sizeof *Plocal))
        return nullptr;
    *count = slot->programCount;
    return static_cast<const unsigned char*>(entryAt(&cache->programs, 1, slot->programOffset));
}

bool storeBlendProgram(SkinBindCache* cache, SkinBindSlot* slot, const double P[3],
                       const double Plocal[3], const BlendRecorder* recorder, size_t* used,
                       const BindCacheLock* lock) {
    slot->programEpoch = 0;
    if (recorder->abandoned || recorder->depth != 0 || recorder->used <= 0) return false;
    const size_t n = size_t(recorder->used);
    const size_t offset =
        slotRoom(&cache->programs, 1, n, cache->programEpoch, &slot->programRoomEpoch,
                 &slot->programRoom, slot->programOffset, used, lock);
    if (offset == SIZE_MAX) return false;
    memcpy(entryAt(&cache->programs, 1, offset), recorder->bytes, n);
    memcpy(slot->programP, P, sizeof slot->programP);
    memcpy(slot->programLocal, Plocal, sizeof slot->programLocal);
    slot->programOffset = static_cast<unsigned int>(offset);
    slot->programCount = static_cast<unsigned short>(n);
    slot->programEpoch = cache->programEpoch;
    return true;
}

size_t skinBindCacheBytes(const SkinBindCache* cache) {
    if (!cache) return 0;
    return sizeof *cache + size_t(cache->slotCount) * sizeof(SkinBindSlot) +
           size_t(cache->pointCount) * 6 * sizeof(double) +
           cache->tapes.capacity * sizeof(LocationMemoEntry) + cache->programs.capacity;
}
