// A Skin cage's triangle maps of a frame, side by side by place.
//
// A kept program names its triangles by place (TrigonData::place), and its
// replay reads each one's world map (TrigonData::worldMap). Read from the
// records, every map first costs the place's translation into a record and
// a test of the map's state, and the maps lie far apart among the records'
// other data. Once every triangle's map of the frame is worked out (on the
// threads that ready the cages before a frame pass, or at the frame's first
// point), a copy of each is kept here at its place, 16 doubles, the same
// values; when every one of them is within the bounds of kept runs (state
// 1, deform/blend_program.h) the replay reads them from here with no test.
#ifndef MORVANE_DEFORM_TRIGON_MAPS_H
#define MORVANE_DEFORM_TRIGON_MAPS_H

#include <stddef.h>

#include <atomic>

#include "cage_instance.h"

struct TrigonMapTable {
    double* maps; // places x 16, by place
    int capacity; // places
    int places;   // the cage's, as of this frame's reserve (0: none this frame)
    // Set by a triangle whose map is not a bounded one (state 1).
    std::atomic<int> spoiled;
    int finished; // every place copied (finishTrigonMaps ran)
    int ready;    // finished, and none spoiled
};

// Doubles a place takes.
const int kTrigonMapDoubles = 16;

// Null when out of memory.
TrigonMapTable* newTrigonMapTable();
void freeTrigonMapTable(TrigonMapTable* table);

// At a frame's start: the table holds no maps, and has room for the cage's
// places (false, and none, when that memory is not there).
bool reserveTrigonMaps(TrigonMapTable* table, const CageInstance* cage);

// Readies the world maps of the triangles at places first..last-1 and
// copies them. Threads may copy different places at once.
void copyTrigonMaps(TrigonMapTable* table, CageInstance* cage, int first, int last);

// After every place was copied: whether the table now serves the replay.
void finishTrigonMaps(TrigonMapTable* table);

// The maps, by place, when the table holds this frame's for every triangle
// of the cage and all are bounded ones; null otherwise.
inline const double* boundedTrigonMaps(const TrigonMapTable* table) {
    return table && table->ready ? table->maps : nullptr;
}

size_t trigonMapTableBytes(const TrigonMapTable* table);

#endif
