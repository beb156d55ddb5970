// One application of the deformer to a mesh object.
#ifndef MORVANE_INCLUDE_DEFORM_INSTANCE_H
#define MORVANE_INCLUDE_DEFORM_INSTANCE_H

#include <lwrender.h>

struct CageInstance;
struct FramePass;
struct SkinBindCache;
struct TrigonMapTable;
struct VolumeBindCache;
struct VolumeTable;

struct DeformInstance {
    char groupName[256];        // the group whose cages deform the object; never empty
    LWItemID itemID;            // the deformed object
    double zeroAxes[4][3];      // right, up, forward (unit) and position at time 0
    CageInstance** cageArray;   // the group's cages gathered by NewTime
    void** weightMapIDs;        // one vertex-map handle per cage
    VolumeTable** volumeTables; // per Volume cage, its elements of this frame (or null)
    // Per mark lane (kMarkLanes rows of cageCapacity + 16) and Skin cage, the
    // place of the last point's nearest triangle (or -1).
    int* nearHints;
    SkinBindCache** bindCaches;    // per Skin cage, what its search found last frame
    VolumeBindCache** volumeBinds; // per Volume cage, the weights of last frame's points
    TrigonMapTable** mapTables;    // per Skin cage with a bind cache, its triangle maps
    float* pointWeights;           // per cage, the current point's weight-map value
    int cageCount;
    int cageCapacity; // the arrays above hold cageCapacity + 16 entries (per row)
    int refreshPending;
    int pointCursor;       // Evaluate calls so far in this frame
    size_t bindCacheBytes; // held by bindCaches, volumeBinds and mapTables
    FramePass* framePass;  // the frame's points worked out ahead (or null)
    int passThreads;       // the threads of this frame's pass
    char description[84];
};

#endif
