// Steps the cage record's load and the copy share when they give an empty
// cage its points, keys and elements.
#ifndef MORVANE_CAGE_CAGE_STORAGE_BUILD_H
#define MORVANE_CAGE_CAGE_STORAGE_BUILD_H

#include <stdint.h>

#include "cage_instance.h"

// The float that ends the stored key list, and the bound any end marker is
// below.
#define CAGE_KEY_LIST_END_MARKER (-1e20f)
#define CAGE_KEY_LIST_END_BOUND (-1e10)

// An item ID as the record holds it: its low 32 bits.
uint32_t storedItemID(LWItemID id);

// Frees any geometry, keys and grids the cage holds (a cage loaded or copied
// into twice); its label counter carries on.
void emptyStoredCage(CageInstance* cage);

// Links a key after the list's tail (the record holds keys in time order).
void appendStoredKey(CageInstance* cage, CageKey* key);

// After the add1 calls: puts the element lists in the order they were made
// (add1 pushes at the front), builds the adjacency and mirrors the keys in
// the cage's envelope. whole = 0 says the steps before ran out of memory.
// A cage that is not whole, or whose adjacency cannot be built, is emptied
// (its envelope loses its keys too) and 0 is returned; otherwise 1.
int finishStoredCage(CageInstance* cage, int whole);

#endif
