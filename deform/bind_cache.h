// What a Skin cage's search found for each point, kept between frames.
//
// The search for a point's nearest element is most of a Skin point's cost,
// and its answer depends only on the point it measures from (searchPt) and
// on the shape the cage binds in (its rest or base positions, on the
// records of one build). When neither changed since the last frame, the
// answer is taken from here instead; everything after the search (range
// limits, blends over the current shape) is computed as before, so the
// result is the same to the bit.
//
// Slots are kept in the order of the frame's Evaluate calls and each slot
// names its point and search point, so a host that asks in another order,
// or a mesh that changed, only misses. The slots and tapes of one deformer
// stay within kBindCacheBudget bytes; beyond it points are searched (and
// their rest shape located) every frame.
//
// Points that move at every frame (bones or another deformer before this
// one) never repeat, and recording their blends would only cost time: while
// fewer than half of a frame's calls find their point where the slot has
// it, the next frame records no tapes or programs (the slots themselves are
// still kept, which tells when the points are still again).
#ifndef MORVANE_DEFORM_BIND_CACHE_H
#define MORVANE_DEFORM_BIND_CACHE_H

#include <stddef.h>

#include <lwmeshes.h>

#include "cage_instance.h"
#include "deform/blend_program.h"
#include "geometry/element_search.h"
#include "geometry/location_memo.h"

const size_t kBindCacheBudget = size_t(256) << 20;
// A point's blend asks a few dozen location questions at most; beyond this
// the rest of them are computed every frame.
const int kBindTapeRoom = 48;
// Tapes and programs live in chunks that never move (chunk k holds
// kFirstTapeChunk << k entries), so that threads can read theirs while
// another appends.
const size_t kFirstTapeChunk = 4096;
const int kTapeChunks = 24;

// The chunk that holds entry e of an arena.
int arenaChunkOf(size_t e);

struct ChunkArena {
    void* chunks[kTapeChunks];
    int chunkCount;
    size_t used, capacity; // entries
};

// Serialises the growth of the caches while a parallel pass runs.
struct BindCacheLock {
    void (*lock)(void* arg);
    void (*unlock)(void* arg);
    void* arg;
};

// Whether the cache is used: yes unless the environment variable
// MORVANE_BIND_CACHE is "off" (read at each frame's first point), so that
// tests and benchmarks can compare against the searches.
int bindCacheEnabled(void);

struct SkinBindSlot {
    LWPntID point;
    double searchPt[3];
    NearestElement near;
    unsigned int epoch; // the cache's epoch when filled; 0: never
    // The blend's location answers (geometry/location_memo.h) in the tape
    // arena, valid while tapeEpoch is the cache's.
    unsigned int tapeEpoch;
    unsigned int tapeOffset;
    unsigned short tapeCount;
    unsigned short tapeRoom;
    unsigned int roomEpoch; // tapeOffset..+tapeRoom is this slot's while it is the cache's
    unsigned char tapeFull;
    // The blend's steps (deform/blend_program.h) in the program arena, for
    // the world point and cage point they were recorded at, valid while
    // programEpoch is the cache's.
    double programP[3];
    double programLocal[3];
    unsigned int programEpoch;
    unsigned int programOffset;
    unsigned short programCount; // bytes
    unsigned short programRoom;
    unsigned int programRoomEpoch;
};

struct SkinBindCache {
    const CageInstance* cage;
    unsigned int geometryStamp;
    int frame0;
    int pointCount;
    double* shape; // pointCount x (restPos, basePos) of the last frame
    SkinBindSlot* slots;
    int slotCount;
    unsigned int epoch;
    // The tapes depend on the cage's place too (the blend locates the world
    // point over the world-placed rest shape).
    double worldAxes[4][3];
    unsigned int tapeEpoch;
    ChunkArena tapes; // LocationMemoEntry
    // The programs depend on the weights' settings too.
    unsigned int programEpoch;
    ChunkArena programs; // program bytes
    int falloffType;
    int limitedRange;
    double perpendicular, parallel;
    // This frame's calls made on the host's thread, and how many of them
    // found their point where the slot had it; whether this frame records.
    int lookups, repeats;
    int recording;
};

// Null when out of memory (the cage is then searched every frame).
SkinBindCache* newSkinBindCache();
void freeSkinBindCache(SkinBindCache* cache);

// At a frame's first point: every slot is dropped unless the cage, its
// build, its binding shape and the shape it binds in are those of the
// last frame.
void refreshSkinBindCache(SkinBindCache* cache, const CageInstance* cage);

// How many entries of `each` bytes a cache holding `held` grows to so that
// entry index fits: doubling from `first`, cut to what the deformer's budget
// leaves beyond `used`; 0 when index does not fit.
size_t grownCount(size_t held, size_t first, int index, size_t each, size_t used);

// The slot of the index-th point of the frame, grown into while the
// deformer's slots stay within the budget (*used counts its bytes); null
// beyond it.
SkinBindSlot* skinBindSlot(SkinBindCache* cache, int index, size_t* used);
// The same without growing: null when the cache holds no such slot.
SkinBindSlot* heldSkinBindSlot(SkinBindCache* cache, int index);

// Whether the slot holds this point's answer for this search point.
bool skinBindHit(const SkinBindCache* cache, const SkinBindSlot* slot, LWPntID point,
                 const double searchPt[3]);
// Counts a call of the host's thread (not of a frame pass) to a slot that
// held a point: whether it found its answer (hit), or at least its point
// where the slot had it.
void countSkinBindLookup(SkinBindCache* cache, const SkinBindSlot* slot, LWPntID point,
                         const double searchPt[3], bool hit);
void storeSkinBind(const SkinBindCache* cache, SkinBindSlot* slot, LWPntID point,
                   const double searchPt[3], const NearestElement* near);

// Around one point's blend: replays the slot's tape when it has one for
// this epoch, else records a new one into room (kBindTapeRoom entries, the
// caller's); endSkinBindTape keeps what was recorded when asked to (within
// the budget, under the lock when one is given) and forgets a tape that no
// longer matched. Threads may work on different slots of one cache at
// once.
void beginSkinBindTape(const SkinBindCache* cache, const SkinBindSlot* slot, LocationMemo* memo,
                       LocationMemoEntry* room);
void endSkinBindTape(SkinBindCache* cache, SkinBindSlot* slot, LocationMemo* memo, size_t* used,
                     const BindCacheLock* lock, bool keep);

// The slot's blend program when it holds one for this world point and
// cage point: its bytes, and their count in *count; null otherwise.
const unsigned char* heldBlendProgram(const SkinBindCache* cache, const SkinBindSlot* slot,
                                      const double P[3], const double Plocal[3], int* count);
// Keeps a recorded program (one not abandoned, within the budget, under
// the lock when one is given); whether it did.
bool storeBlendProgram(SkinBindCache* cache, SkinBindSlot* slot, const double P[3],
                       const double Plocal[3], const BlendRecorder* recorder, size_t* used,
                       const BindCacheLock* lock);

// Bytes the cache holds.
size_t skinBindCacheBytes(const SkinBindCache* cache);

#endif
