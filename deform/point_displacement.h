// One point's move by the deformer's cages: the Skin cages' blends and the
// Volume cages' weighting, summed. The same work whether the host's call
// runs it or a thread of the frame pass (deform/frame_pass.h) runs it ahead:
// its result depends on the point's inputs, the cages and their settings
// alone.
#ifndef MORVANE_DEFORM_POINT_DISPLACEMENT_H
#define MORVANE_DEFORM_POINT_DISPLACEMENT_H

#include <lwmeshes.h>

struct BindCacheLock;
struct DeformInstance;

struct PointWork {
    LWPntID point;
    const double* source; // where the host has the point (world)
    const double* oPos;   // the point's object-space position
    int slot;             // the call's place in the frame (the bind cache's slot), or -1
    // Per cage, the point's weight-map value (NaN: none); read for the
    // cages that have a map.
    const float* weights;
    int* hints;                // per Skin cage, the search hint of the thread's lane
    bool growCache;            // whether the bind cache may grow (a serial call only)
    const BindCacheLock* lock; // serialises the bind cache's tapes (a pass only)
};

// The point's new position into out; false, with out untouched, when it
// stays where it is (no cage moves it, or its input or result is not
// finite). out may be work.source.
bool displacePoint(DeformInstance* deform, const PointWork& work, double out[3]);

// displacePoint's answer for the most common deformer, a lone Skin cage
// without a weight map, when the cage's bind cache holds this call's point
// with its blend's program recorded at this very position: the program's
// replay alone, without the work around it. True when it answered (*moved,
// and out when moved, as displacePoint gives them; out may be work.source);
// false, with nothing done, when the call must take displacePoint.
bool displaceByKeptBlend(DeformInstance* deform, const PointWork& work, bool* moved, double out[3]);

// The point's weight-map values, one per cage (NaN where the cage has a
// map and the point no value; 1 where the cage has no map).
void readPointWeights(const DeformInstance* deform, LWMeshInfo* info, LWPntID point, float* row);

#endif
