// Wavefront OBJ meshes for the stand-in host: the points and polygons only.
#ifndef MORVANE_HOST_MESH_OBJ_READER_H
#define MORVANE_HOST_MESH_OBJ_READER_H

#include "mesh/mesh.h"

#include <string>

namespace host {

// Reads `v`, `f`, `l` and `p` statements; every polygon is a FACE.
// `p a b` gives one 1-point polygon per index and `l a b c` one 2-point
// polygon per segment. Every other statement (texture coordinates, normals,
// groups, materials, a count line, ...) is skipped and counted in the mesh's
// notes; free-form geometry and keywords that are not printable text refuse
// the file. Throws HostError "path:line: what is wrong" on bad input.
Mesh readObj(const std::string& path);

} // namespace host

#endif
