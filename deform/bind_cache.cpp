#include "deform/bind_cache.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "module/memory.h"

namespace {

const size_t kFirstSlots = 1024;

// Where chunk k starts in the tapes' entry numbering, and the chunk that
// holds entry e.
size_t chunkStart(int k) {
    return kFirstTapeChunk * ((size_t(1) << k) - 1);
}
int chunkOf(size_t e) {
    int k = 0;
    while (k + 1 < kTapeChunks && chunkStart(k + 1) <= e)
        ++k;
    return k;
}

// Room for n more entries that do not straddle two chunks: their first
// entry's number, or SIZE_MAX when the budget or the memory runs out.
size_t appendRoom(SkinBindCache* cache, size_t n, size_t* used) {
    size_t at = cache->tapeUsed;
    int k = chunkOf(at);
    if (at + n > chunkStart(k + 1)) {
        ++k;
        at = chunkStart(k);
    }
    if (k >= kTapeChunks) return SIZE_MAX;
    while (cache->chunkCount <= k) {
        const size_t entries = kFirstTapeChunk << cache->chunkCount;
        const size_t more = entries * sizeof(LocationMemoEntry);
        if (*used + more > kBindCacheBudget) return SIZE_MAX;
        void* chunk = morvaneAlloc(more);
        if (!chunk) return SIZE_MAX;
        cache->tapeChunks[cache->chunkCount++] = static_cast<LocationMemoEntry*>(chunk);
        cache->tapeCapacity += entries;
        *used += more;
    }
    cache->tapeUsed = at + n;
    return at;
}

LocationMemoEntry* tapeAt(const SkinBindCache* cache, size_t e) {
    const int k = chunkOf(e);
    return cache->tapeChunks[k] + (e - chunkStart(k));
}

void dropTapes(SkinBindCache* cache) {
    cache->tapeUsed = 0;
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
    if (cache) cache->epoch = cache->tapeEpoch = 1;
    return cache;
}

void freeSkinBindCache(SkinBindCache* cache) {
    if (!cache) return;
    morvaneFree(cache->shape);
    morvaneFree(cache->slots);
    for (int k = 0; k < cache->chunkCount; ++k)
        morvaneFree(cache->tapeChunks[k]);
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
    memcpy(cache->worldAxes, cage->worldAxes, sizeof cache->worldAxes);
    cache->cage = cage;
    cache->geometryStamp = cage->geometryStamp;
    cache->frame0 = frame0;
}

SkinBindSlot* skinBindSlot(SkinBindCache* cache, int index, size_t* used) {
    if (!cache || index < 0) return nullptr;
    if (index < cache->slotCount) return &cache->slots[index];
    // Doubling, but never past the deformer's budget.
    const size_t room = *used < kBindCacheBudget ? kBindCacheBudget - *used : 0;
    const size_t most = size_t(cache->slotCount) + room / sizeof(SkinBindSlot);
    if (size_t(index) >= most) return nullptr;
    size_t count = cache->slotCount ? size_t(cache->slotCount) : kFirstSlots;
    while (count <= size_t(index))
        count *= 2;
    if (count > most) count = most;
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

void storeSkinBind(const SkinBindCache* cache, SkinBindSlot* slot, LWPntID point,
                   const double searchPt[3], const NearestElement* near) {
    slot->tapeEpoch = 0;
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
                     const BindCacheLock* lock) {
    stLocationMemo = nullptr;
    if (memo->mode == 0) {
        slot->tapeEpoch = 0; // it no longer matches: record again next frame
        return;
    }
    if (memo->mode != kMemoRecord) return;
    const size_t n = size_t(memo->count);
    // Into the slot's own room when the tape fits there, else at the end.
    size_t offset = slot->tapeOffset;
    if (slot->roomEpoch != cache->tapeEpoch || slot->tapeRoom < n) {
        if (lock) lock->lock(lock->arg);
        offset = appendRoom(cache, n, used);
        if (lock) lock->unlock(lock->arg);
        if (offset == SIZE_MAX) return;
        slot->tapeRoom = static_cast<unsigned short>(n);
        slot->roomEpoch = cache->tapeEpoch;
    }
    if (n) memcpy(tapeAt(cache, offset), memo->entries, n * sizeof(LocationMemoEntry));
    slot->tapeOffset = static_cast<unsigned int>(offset);
    slot->tapeCount = static_cast<unsigned short>(n);
    slot->tapeFull = static_cast<unsigned char>(memo->full);
    slot->tapeEpoch = cache->tapeEpoch;
}

size_t skinBindCacheBytes(const SkinBindCache* cache) {
    if (!cache) return 0;
    return sizeof *cache + size_t(cache->slotCount) * sizeof(SkinBindSlot) +
           size_t(cache->pointCount) * 6 * sizeof(double) +
           cache->tapeCapacity * sizeof(LocationMemoEntry);
}
