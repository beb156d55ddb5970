// Shape keys of a cage: the time-ordered key list, labels, and the shape at
// any time by interpolation between keys.
#ifndef MORVANE_CAGE_CAGE_KEYS_H
#define MORVANE_CAGE_CAGE_KEYS_H

#include "cage_instance.h"

// Two key times closer than this are the same time.
#define CAGE_KEY_TIME_TOLERANCE 0.0001

// The next label, 1 + counter / 2^20 in [1, 2); a label a key still carries
// (after the 20-bit counter wrapped) is skipped.
double getNextLabelDValue(CageInstance* cage);

// A key not yet in any list, with a fresh label and pointCount deltas copied
// from deltas (zeros when null); null when memory runs out.
CageKey* newCageKey(CageInstance* cage, double time, const double* deltas);
void deallocCageKey(CageKey* key);

// The key standing at t (within the tolerance), or null.
CageKey* searchCageKeyAtTime(CageInstance* cage, double t);
// Links a key into the list at its time; 0 and nothing linked when another
// key stands within the tolerance.
int insertCageKeyToTime(CageInstance* cage, CageKey* key, double t);
// Moves a listed key to t; 0 and nothing changed when another key is there.
int moveCageKeyToTime(CageInstance* cage, CageKey* key, double t);
// A new key at t with the source's deltas and break flag; null when t is taken.
CageKey* copyCageKeyAtTime(CageInstance* cage, const CageKey* source, double t);
// Unlinks and frees.
void removeCageKeyFromList(CageInstance* cage, CageKey* key);
// Unlinks and parks the key at the tail of the removed-key list.
void temporarilyRemoveCageKeyFromList(CageInstance* cage, CageKey* key);
// The first listed key with exactly this label (unlinked when unlink is set).
CageKey* takeCageKeyWithLabelDVal(CageInstance* cage, int unlink, double label);
// The latest parked key with exactly this label, taken off the removed list.
CageKey* takeRemovedCageKeyWithLabelDVal(CageInstance* cage, double label);

// Tangents of the segment from D0 to D1 with outer values Dp and Dn.
void getTangents(const double dp[3], const double d0[3], const double d1[3], const double dn[3],
                 double m0[3], double m1[3]);

// Every point's otherPos = restPos + the keyed delta at t.
void setEvaluatedCageOtherPosAtTime(CageInstance* cage, double t);

// The key at t, made by interpolation (or copied from the nearest end key)
// when there is none; null for a cage without points or out of memory.
CageKey* getMakeEvaluatedCageKeyAtTime(CageInstance* cage, double t);

#endif
