// A Volume cage's elements flattened for the per-point loop.
//
// Volume mode weighs every element of the cage for every point, so the
// per-point work is one pass over all elements. Between two frames the
// elements do not change: the table copies, once per frame, each element's
// world rest shape (what the distance is measured to) and its map as an
// affine transform, into one array per quantity. The per-point blend then
// runs over those arrays: the distances first, then the weights relative to
// the nearest element, summed as sum(w M), sum(w b) and sum(w), which give
// sum(w (map(P) - P)) = sum(w M) P + sum(w b) - sum(w) P.
//
// The result equals calcVolumeWeightsOfCage up to rounding.
#ifndef MORVANE_DEFORM_VOLUME_TABLE_H
#define MORVANE_DEFORM_VOLUME_TABLE_H

#include "cage_instance.h"
#include "deform/binding_weights.h"

struct VolumeTable;

// An empty table; null when out of memory. Free with freeVolumeTable.
VolumeTable* newVolumeTable();
void freeVolumeTable(VolumeTable* table);

// Copies the cage's current elements (after its per-frame refresh). The
// table's arrays only grow. False when they cannot: the table is then empty
// and the caller weighs the cage element by element.
bool fillVolumeTable(VolumeTable* table, const CageInstance* cage);

// Whether the table holds a cage's elements (a fill succeeded).
bool volumeTableReady(const VolumeTable* table);

// The cage's Volume blend at P from the table, as calcVolumeWeightsOfCage
// gives it: weights relative to the nearest element, the scale in logScale.
void volumeBlendOfTable(VolumeTable* table, const double P[3], ScaledBlend* out);

// The same, keeping the weights: the elements' weights at P
// (volumeWeightCount doubles, written whole) and the nearest element's
// distance + smooth they are relative to, returned (NaN when P or the
// table cannot be weighed). The weights depend only on P and on what the
// table's rest epoch stands for; the blend of kept weights over the
// table's current maps is the one volumeBlendOfTable gives, to the bit, on
// the same build of the loops (volumeVectorLevel).
int volumeWeightCount(const VolumeTable* table);
double weighAndBlendVolumeTable(VolumeTable* table, const double P[3], double* weights,
                                ScaledBlend* out);
void volumeBlendOfWeights(const VolumeTable* table, const double* weights, double nearest,
                          const double P[3], ScaledBlend* out);

// Advances whenever a fill finds the elements' rest data, the smooth
// distance or the falloff changed (0: the table is not ready).
unsigned int volumeTableRestEpoch(const VolumeTable* table);

// Which build of the loops runs: 2 AVX-512, 1 AVX2 with FMA, 0 portable.
// The tests cap it to run every build this processor has (-1: no cap).
int volumeVectorLevel();
void capVolumeVectorLevel(int level);

#endif // MORVANE_DEFORM_VOLUME_TABLE_H
