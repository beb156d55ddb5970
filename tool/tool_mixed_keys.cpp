#include "tool/tool_mixed_keys.h"

#include <math.h>

#include "cage/cage_envelope.h"
#include "cage/cage_keys.h"
#include "module/memory.h"
#include "tool/tool_services.h"
#include "tool/tool_undo.h"

namespace {

const double kTol = CAGE_KEY_TIME_TOLERANCE;

MixEnvelopeKey* takeEntry(EditCageState* state) {
    MixEnvKeyChunk* chunk = state->mixKeyChunkCurrent;
    while (chunk && chunk->used == chunk->capacity) {
        chunk = chunk->next;
        if (chunk) state->mixKeyChunkCurrent = chunk;
    }
    if (!chunk) {
        unsigned int size =
            state->mixKeyChunkSize ? state->mixKeyChunkSize : unsigned(kMixKeyChunkSize);
        chunk = addNewMixEnvKeyMemChunk(state, size);
        if (!chunk) return nullptr;
    }
    MixEnvelopeKey* entry = &chunk->entries[chunk->used++];
    *entry = MixEnvelopeKey{};
    return entry;
}

// Whether the entry already holds a key of the cage whose key is being
// merged. Cages are merged one after another, so such a key is the chain's
// head and one of the cage's earlier keys within the tolerance of the entry.
int holdsEarlierKeyOf(const MixEnvelopeKey* entry, const CageKey* key) {
    for (const CageKey* k = key->prev; k && k->time >= entry->time - kTol; k = k->prev)
        if (k == entry->cageKeys) return 1;
    return 0;
}

void mergeKey(MixEnvelopeKey* entry, CageKey* key) {
    key->mixNext = entry->cageKeys;
    entry->cageKeys = key;
    entry->keyKinds |= key->breakFlag ? 2 : 1;
    ++entry->keyCount;
}

void linkBetween(EditCageState* state, MixEnvelopeKey* entry, MixEnvelopeKey* before,
                 MixEnvelopeKey* after) {
    entry->prev = before;
    entry->next = after;
    if (before)
        before->next = entry;
    else
        state->mixKeyHead = entry;
    if (after)
        after->prev = entry;
    else
        state->mixKeyTail = entry;
}

void addCageKeys(EditCageState* state, CageInstance* cage) {
    MixEnvelopeKey* cursor = state->mixKeyHead;
    for (CageKey* key = cage->keyHead; key; key = key->next) {
        key->mixNext = nullptr;
        while (cursor && cursor->time <= key->time)
            cursor = cursor->next;
        MixEnvelopeKey* after = cursor;
        MixEnvelopeKey* before = after ? after->prev : state->mixKeyTail;
        if (before && key->time - before->time < kTol && !holdsEarlierKeyOf(before, key)) {
            mergeKey(before, key);
            continue;
        }
        if (after && after->time - key->time < kTol && !holdsEarlierKeyOf(after, key)) {
            mergeKey(after, key);
            continue;
        }
        MixEnvelopeKey* entry = takeEntry(state);
        if (!entry) return;
        entry->time = key->time;
        mergeKey(entry, key);
        linkBetween(state, entry, before, after);
    }
}

void zeroDeltas(CageInstance* cage, CageKey* key, int selectedOnly) {
    for (int i = 0; i < cage->pointCount; ++i)
        if (!selectedOnly || cage->pointArray[i]->selected)
            for (int c = 0; c < 3; ++c)
                key->deltas[3 * i + c] = 0.0;
}

} // namespace

MixEnvKeyChunk* addNewMixEnvKeyMemChunk(EditCageState* state, unsigned int n) {
    auto* chunk = static_cast<MixEnvKeyChunk*>(morvaneCalloc(1, sizeof(MixEnvKeyChunk)));
    if (!chunk) return nullptr;
    chunk->entries = static_cast<MixEnvelopeKey*>(morvaneCalloc(n, sizeof(MixEnvelopeKey)));
    if (!chunk->entries) {
        morvaneFree(chunk);
        return nullptr;
    }
    chunk->capacity = n;
    MixEnvKeyChunk* last = state->mixKeyChunks;
    while (last && last->next)
        last = last->next;
    chunk->prev = last;
    if (last)
        last->next = chunk;
    else
        state->mixKeyChunks = chunk;
    state->mixKeyChunkCurrent = chunk;
    return chunk;
}

void destroyMixEnvelopeKeyData(EditCageState* state) {
    MixEnvKeyChunk* chunk = state->mixKeyChunks;
    while (chunk) {
        MixEnvKeyChunk* next = chunk->next;
        morvaneFree(chunk->entries);
        morvaneFree(chunk);
        chunk = next;
    }
    state->mixKeyChunks = state->mixKeyChunkCurrent = nullptr;
    state->mixKeyHead = state->mixKeyTail = nullptr;
    state->mixKeyChunkSize = 0;
    state->grabbedKey = state->grabbedLast = nullptr;
}

void refreshMixEnvelopeKeyData(EditCageState* state, int refreshEnvelopes) {
    for (MixEnvKeyChunk* chunk = state->mixKeyChunks; chunk; chunk = chunk->next)
        chunk->used = 0;
    state->mixKeyChunkCurrent = state->mixKeyChunks;
    state->mixKeyHead = state->mixKeyTail = nullptr;
    state->grabbedKey = state->grabbedLast = nullptr;
    for (int i = 0; i < state->selectedCageCount; ++i) {
        CageInstance* cage = state->selectedCages[i];
        if (refreshEnvelopes) refreshLWEnvelopeForThisLattice(cage, stToolServices.envelopeFuncs);
        addCageKeys(state, cage);
    }
    for (MixEnvelopeKey* e = state->mixKeyHead; e; e = e->next) {
        e->mark = 0;
        e->allCages = e->keyCount == state->selectedCageCount ? 1 : 0;
    }
}

MixEnvelopeKey* searchMixEnvelopeKeyAtTime(EditCageState* state, double t) {
    MixEnvelopeKey* last = nullptr;
    for (MixEnvelopeKey* e = state->mixKeyHead; e && e->time <= t + kTol; e = e->next)
        last = e;
    return last && fabs(last->time - t) < kTol ? last : nullptr;
}

void searchMixEnvelopeKeyAreaAtTime(EditCageState* state, MixEnvelopeKey** before,
                                    MixEnvelopeKey** at, MixEnvelopeKey** after, double t) {
    MixEnvelopeKey* lo = nullptr;
    MixEnvelopeKey* hi = state->mixKeyHead;
    while (hi && hi->time <= t) {
        lo = hi;
        hi = hi->next;
    }
    *before = lo;
    *at = nullptr;
    *after = hi;
    if (lo && t - lo->time < kTol) {
        *at = lo;
        *before = lo->prev;
    } else if (hi && hi->time - t < kTol) {
        *at = hi;
        *after = hi->next;
    }
}

int previousMixKeyTime(EditCageState* state, double t, double* time) {
    MixEnvelopeKey *before, *at, *after;
    searchMixEnvelopeKeyAreaAtTime(state, &before, &at, &after, t);
    if (!before) return 0;
    *time = before->time;
    return 1;
}

int nextMixKeyTime(EditCageState* state, double t, double* time) {
    MixEnvelopeKey *before, *at, *after;
    searchMixEnvelopeKeyAreaAtTime(state, &before, &at, &after, t);
    if (!after) return 0;
    *time = after->time;
    return 1;
}

void setZeroKeyAtTime(EditCageState* state, int selectedOnly, double t) {
    rec1Process(state, 1, 0, t);
    int onlySelected = selectedOnly && state->selectedPointCount > 0;
    for (int i = 0; i < state->selectedCageCount; ++i) {
        CageInstance* cage = state->selectedCages[i];
        CageKey* key = getMakeEvaluatedCageKeyAtTime(cage, t);
        if (key) zeroDeltas(cage, key, onlySelected);
    }
}

void setInterpolatedKeyAtTime(EditCageState* state, double t) {
    rec1Process(state, 1, 0, t);
    for (int i = 0; i < state->selectedCageCount; ++i)
        getMakeEvaluatedCageKeyAtTime(state->selectedCages[i], t);
}

void deleteKeysWithinTimeRange(EditCageState* state, double from, double to) {
    MixEnvelopeKey* entry = state->mixKeyHead;
    while (entry && entry->time <= from)
        entry = entry->next;
    int newStep = 1;
    for (; entry && entry->time <= to; entry = entry->next) {
        rec1Process(state, newStep, 0, entry->time);
        newStep = 0;
        for (int i = 0; i < state->selectedCageCount; ++i) {
            CageInstance* cage = state->selectedCages[i];
            CageKey* key = searchCageKeyAtTime(cage, entry->time);
            if (key) removeCageKeyFromList(cage, key);
        }
    }
    int recorded = 0;
    for (int i = 0; i < state->selectedCageCount; ++i) {
        CageInstance* cage = state->selectedCages[i];
        if (cage->keyHead) continue;
        if (!recorded) {
            rec1Process(state, newStep, 0, 0.0);
            recorded = 1;
        }
        getMakeEvaluatedCageKeyAtTime(cage, 0.0);
    }
}

MixEnvelopeKey* newMixEnvelopeKey(EditCageState* state) {
    return takeEntry(state);
}

void linkMixEnvelopeKeyInOrder(EditCageState* state, MixEnvelopeKey* entry) {
    MixEnvelopeKey* before = state->mixKeyTail;
    while (before && before->time > entry->time)
        before = before->prev;
    linkBetween(state, entry, before, before ? before->next : state->mixKeyHead);
}

void removeMixEnvelopeKeysFromList(EditCageState* state, MixEnvelopeKey* first) {
    for (MixEnvelopeKey* e = first; e; e = e->stripNext) {
        if (e->prev)
            e->prev->next = e->next;
        else if (state->mixKeyHead == e)
            state->mixKeyHead = e->next;
        if (e->next)
            e->next->prev = e->prev;
        else if (state->mixKeyTail == e)
            state->mixKeyTail = e->prev;
        e->prev = e->next = nullptr;
    }
}
