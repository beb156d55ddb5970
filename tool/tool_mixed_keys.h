// The merged key list of the selected cages: one entry per distinct key time,
// its chunk allocator, its searches and the key edits made through it.
#ifndef MORVANE_TOOL_TOOL_MIXED_KEYS_H
#define MORVANE_TOOL_TOOL_MIXED_KEYS_H

#include "cage_instance.h"
#include "edit_cage_state.h"

// Entries come from chunks and are never freed one by one.
struct MixEnvelopeKey {
    unsigned char allCages; // every selected cage has a key here
    unsigned char keyKinds; // bit 0: a key without breakFlag; bit 1: one with
    unsigned char mark;     // key-strip scratch, cleared by every rebuild
    int keyCount;
    double time;
    double stripOrigTime;
    CageKey* cageKeys; // chained through mixNext, most recently merged first
    MixEnvelopeKey* prev;
    MixEnvelopeKey* next;
    MixEnvelopeKey* stripPrev;
    MixEnvelopeKey* stripNext;
};

struct MixEnvKeyChunk {
    MixEnvelopeKey* entries;
    unsigned int used;
    unsigned int capacity;
    MixEnvKeyChunk* prev;
    MixEnvKeyChunk* next;
};

enum { kMixKeyChunkSize = 256 };

// Makes a chunk of n entries, chains it after the last one and makes it
// current; null when memory runs out.
MixEnvKeyChunk* addNewMixEnvKeyMemChunk(EditCageState* state, unsigned int n);
// Frees every chunk and clears the list, the allocator and the grabbed run.
void destroyMixEnvelopeKeyData(EditCageState* state);

// Rebuilds the list from the selected cages (bringing their host envelopes in
// line first when refreshEnvelopes is set). A key joins an entry within the
// tolerance only when that entry holds no key of the same cage yet.
void refreshMixEnvelopeKeyData(EditCageState* state, int refreshEnvelopes);

// The entry at t within the tolerance, or null.
MixEnvelopeKey* searchMixEnvelopeKeyAtTime(EditCageState* state, double t);
// The entries before, at and after t; an entry at t is never before or after.
void searchMixEnvelopeKeyAreaAtTime(EditCageState* state, MixEnvelopeKey** before,
                                    MixEnvelopeKey** at, MixEnvelopeKey** after, double t);

// Key navigation: the time of the previous or next entry, skipping one at t;
// 0 when there is none.
int previousMixKeyTime(EditCageState* state, double t, double* time);
int nextMixKeyTime(EditCageState* state, double t, double* time);

// The key edits; each records an undo step first. The caller rebuilds the
// merged list afterwards.
void setZeroKeyAtTime(EditCageState* state, int selectedOnly, double t);
void setInterpolatedKeyAtTime(EditCageState* state, double t);
void deleteKeysWithinTimeRange(EditCageState* state, double from, double to);

// A zeroed entry from the chunks, not yet linked; null when memory runs out.
MixEnvelopeKey* newMixEnvelopeKey(EditCageState* state);
// Links an unlinked entry after the last entry whose time is not later.
void linkMixEnvelopeKeyInOrder(EditCageState* state, MixEnvelopeKey* entry);

// Unlinks the run of entries starting at first and following stripNext.
void removeMixEnvelopeKeysFromList(EditCageState* state, MixEnvelopeKey* first);

#endif
