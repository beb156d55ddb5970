// LightWave LWO2 object files for the stand-in host: one layer's points,
// polygons (FACE, and the PTCH and SUBD subdivision cages) and WGHT maps.
// Other polygon kinds are counted in the mesh's notes; everything else in the
// file is skipped.
#ifndef MORVANE_HOST_MESH_LWO2_READER_H
#define MORVANE_HOST_MESH_LWO2_READER_H

#include "mesh/mesh.h"

#include <optional>
#include <string>
#include <vector>

namespace host {

// A layer as its LAYR chunk gives it.
struct Lwo2Layer {
    unsigned number = 0;
    std::string name;
    std::optional<unsigned> parent; // the parent layer's number
};

// The file's layers in the order they first appear (LAYR chunks with the same
// number are one layer); geometry ahead of any LAYR makes a layer 0 with no
// name. Throws HostError as the readers below do.
std::vector<Lwo2Layer> lwo2Layers(const std::string& path);

// True when the file starts with an IFF "FORM" tag: an LWO2 file, or one
// the LWO2 reader refuses by its FORM type (LWOB, LWLO, ...).
bool isIffForm(const std::string& path);

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
