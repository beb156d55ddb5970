// What a Volume cage's weights were at each point, kept between frames.
//
// A Volume point's weights (every element's, relative to the nearest) depend
// only on where the point is and on the rest side of the cage's table: the
// elements' world rest shapes, the smooth distance and the falloff, which
// the table's rest epoch stands for (deform/volume_table.h). The current
// shape enters only through the maps the weights are summed over. So each
// point's weights are kept in a row, in the order of the frame's Evaluate
// calls as the Skin cache keeps its slots, and a point found at the same
// place to the bit, on an unchanged rest side, skips its distances and
// powers: its blend is summed from the row, the same to the bit.
//
// A row takes 8 bytes per element (4 KB for a cage of 500 triangles). The
// rows count against the deformer's bind-cache budget, shared with its Skin
// caches; beyond it the points are weighed every frame. While fewer than
// half of a frame's calls find their point where its row has it (points
// moved by bones or another deformer), the next frame keeps no weights:
// the rows then only note the points, which tells when they are still
// again.
#ifndef MORVANE_DEFORM_VOLUME_BIND_CACHE_H
#define MORVANE_DEFORM_VOLUME_BIND_CACHE_H

#include <stddef.h>

#include <lwmeshes.h>

struct VolumeTable;

struct VolumeBindRow {
    LWPntID point;
    double P[3];
    double nearest;     // what the weights are relative to
    unsigned int epoch; // the cache's when weighed; 0: never
    int level;          // the build of the loops that weighed them; -1: not weighed
};

struct VolumeBindCache {
    unsigned int restEpoch; // the table's, this frame
    unsigned int epoch;
    int stride; // doubles a row
    int rowCount;
    VolumeBindRow* rows;
    double* weights; // rowCount x stride
    // This frame's calls made on the host's thread, and how many of them
    // found their point where the row had it; whether this frame keeps
    // weights.
    int lookups, repeats;
    int recording;
};

// Null when out of memory (the points are then weighed every frame).
VolumeBindCache* newVolumeBindCache();
void freeVolumeBindCache(VolumeBindCache* cache);

// At a frame's first point, after the table's fill: every row is dropped
// unless the table's rest side is the last frame's.
void refreshVolumeBindCache(VolumeBindCache* cache, const VolumeTable* table);

// The weights kept for the index-th point of the frame when they were
// weighed for this point at P (nearest into *nearest); null otherwise.
const double* heldVolumeWeights(const VolumeBindCache* cache, int index, LWPntID point,
                                const double P[3], double* nearest);
// Where the index-th point's weights go: its row, grown into when `grow`
// while the deformer's caches stay within the budget (*used counts their
// bytes); null when there is none. keepVolumeWeights then marks what was
// written there as this point's.
double* volumeWeightRoom(VolumeBindCache* cache, int index, bool grow, size_t* used);
void keepVolumeWeights(VolumeBindCache* cache, int index, LWPntID point, const double P[3],
                       double nearest);

// Counts a call of the host's thread (not of a frame pass) to a row that
// held a point: whether it found its weights (hit), or at least its point
// where the row had it.
void countVolumeLookup(VolumeBindCache* cache, int index, LWPntID point, const double P[3],
                       bool hit);
// While the cache keeps no weights: notes the index-th point's place in its
// row, if it has one.
void noteVolumePoint(VolumeBindCache* cache, int index, LWPntID point, const double P[3]);

// Bytes the cache holds.
size_t volumeBindCacheBytes(const VolumeBindCache* cache);

#endif
