// LightWave LWO2 object files for the stand-in host: one layer's points,
// FACE polygons and WGHT maps. Everything else in the file is skipped.
#ifndef MORVANE_HOST_MESH_LWO2_READER_H
#define MORVANE_HOST_MESH_LWO2_READER_H

#include "mesh/mesh.h"

#include <string>

namespace host {

// The first layer in the file. Data ahead of any LAYR chunk counts as a layer
// of its own, so when there is some, that is the one loaded.
Mesh readLwo2(const std::string& path);

// The layer whose LAYR number is `layerNumber` (data ahead of any LAYR is
// layer 0); throws HostError when the file has no such layer.
Mesh readLwo2Layer(const std::string& path, unsigned layerNumber);

// Both throw HostError "path: what is wrong" for a missing, damaged or
// non-LWO2 file; nothing is returned unless the whole file was read.

} // namespace host

#endif
