// The meshes the deformer benchmarks run on: a sphere-like cage of quads,
// point clouds around it and a skinned-looking sphere mesh inside it, and
// the smooth bend that gives every blend real work.
#ifndef MORVANE_BENCH_BENCH_SHAPES_H
#define MORVANE_BENCH_BENCH_SHAPES_H

#include "host/mesh/mesh.h"

#include "cage_instance.h"

namespace bench {

// A cube whose faces are cut into n x n quads, pushed out onto the unit
// sphere: 6 n^2 quads (4 fan triangles each) and no flat regions, so the
// search cannot shortcut through coplanar neighbours.
host::Mesh sphereCage(int n);

// Uniform in the cube around the cage (most points deep inside it), or a
// shell within 0.05 of the cage surface, where a skinned mesh usually lies.
// Both come in random order, so consecutive points land anywhere on the
// cage: the worst case for the caches.
host::Mesh pointCloud(int count, bool shell);

// A skinned mesh inside the cage: a latitude-longitude sphere of radius
// 0.95 with a slight ripple, its points in the row-by-row order a modelled
// mesh has, so consecutive points are neighbours.
host::Mesh sphereMesh(int count);

// A smooth bend of the whole cage (its first key's deltas).
void bendCage(CageInstance* cage);

} // namespace bench

#endif // MORVANE_BENCH_BENCH_SHAPES_H
