// A host mesh as the plain arrays the baseline deformer takes.
#ifndef MORVANE_BENCH_MESH_ARRAYS_H
#define MORVANE_BENCH_MESH_ARRAYS_H

#include "bench/mvc_baseline.h"
#include "host/mesh/mesh.h"

#include <cstdint>
#include <vector>

namespace bench {

// The points, single precision widened, in mesh order.
std::vector<mvc::Vec3> pointsOf(const host::Mesh& mesh);

// The polygons' point indices, in mesh order (linegons included).
std::vector<std::vector<std::uint32_t>> polygonsOf(const host::Mesh& mesh);

// The surface of the mesh as a triangle cage (mvc::closedCage).
mvc::Cage cageOf(const host::Mesh& mesh);

} // namespace bench

#endif // MORVANE_BENCH_MESH_ARRAYS_H
