// Building a cage's geometry from a mesh object.
#ifndef MORVANE_CAGE_CAGE_MESH_BUILD_H
#define MORVANE_CAGE_CAGE_MESH_BUILD_H

#include "cage_instance.h"

#include <lwmeshes.h>
#include <lwrender.h>

#include <cstddef>

// Replaces the cage's geometry with the FACE, PTCH and SUBD polygons of 2, 3
// and 4 vertices
// of the object's frozen mesh at the interface's current time (time 0 when
// interfaceInfo is null). Without a parent the base positions are scaled by
// the object's scaling; with a parent the deformed positions are taken into
// the parent's frame and the object becomes the cage's reference object.
// Ends with perpendicularDistance = createEdgeData(cage, 1).
//
// Returns the number of cage points, or -1 when memory ran out (the cage is
// then left empty). The first key at time 0 is the caller's to make, and only
// when the result is positive.
int buildCageFromMesh(CageInstance* cage, LWObjectInfo* objectInfo, LWItemInfo* itemInfo,
                      LWInterfaceInfo* interfaceInfo, LWItemID object, LWItemID parent);

// Polygon scans over cage->meshInfo: the count pass and the collect pass.
// userData is the cage; both return 0 so the scan runs to the end.
size_t getCageInfo(void* cage, LWPolID pol);
size_t getCageData(void* cage, LWPolID pol);

// Point scan: fills the next PntUserData of the cage's scratch block (points
// beyond the block are dropped). userData is the cage; returns 0.
size_t initPntUserDataList(void* cage, LWPntID pnt);

// Sorts list[first..last] in place by the low 32 bits of the point IDs.
void sortPntUserDataList(PntUserData** list, int first, int last);

// The entry of the ID-sorted list[0..count) whose ID is id, or null.
PntUserData* findPntUserData(PntUserData** list, int count, LWPntID id);

#endif
