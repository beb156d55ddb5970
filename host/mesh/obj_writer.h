// Writes a mesh as Wavefront OBJ, mainly so deformed results can be looked at
// in other tools. Weight maps and polygon types are not kept.
#ifndef MORVANE_HOST_MESH_OBJ_WRITER_H
#define MORVANE_HOST_MESH_OBJ_WRITER_H

#include "mesh/mesh.h"

#include <string>
#include <vector>

namespace host {

// 1-point polygons become `p`, 2-point ones `l`, the rest `f`. Coordinates
// are written with enough digits to read back the same floats.
void writeObj(const Mesh& mesh, const std::string& path);

// As above, with `positions` (one per mesh point) in place of mesh.points.
void writeObj(const Mesh& mesh, const std::vector<Point>& positions, const std::string& path);

} // namespace host

#endif
