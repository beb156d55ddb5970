// A realistic case for the deformer benchmarks: a closed, lumpy body with
// limb-like bulges (a latitude-longitude surface around +Y, its poles closed
// by triangle fans), and a coarse closed cage that follows its shape with a
// margin. Deterministic for a seed.
#ifndef MORVANE_BENCH_ORGANIC_MESH_H
#define MORVANE_BENCH_ORGANIC_MESH_H

#include "host/mesh/mesh.h"

namespace bench {

// The body: rows x cols + 2 points; (rows - 1) x cols quads and 2 x cols
// triangles, facing outwards. rows >= 2, cols >= 3.
host::Mesh organicBody(int rows, int cols, unsigned seed);

// Its cage, laid out the same way with rings x sides + 2 points: every
// point of organicBody(_, _, seed) lies inside it.
host::Mesh organicCage(int rings, int sides, unsigned seed);

} // namespace bench

#endif // MORVANE_BENCH_ORGANIC_MESH_H
