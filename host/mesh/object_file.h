// Picking the reader for an object file by what the file holds, not by its
// name: IFF FORM files go to the LWO2 reader (which names the FORM types it
// refuses), everything else to the OBJ reader.
#ifndef MORVANE_HOST_MESH_OBJECT_FILE_H
#define MORVANE_HOST_MESH_OBJECT_FILE_H

#include "mesh/mesh.h"

#include <string>
#include <vector>

namespace host {

// "lwo" for an IFF FORM file, "obj" otherwise (a missing or unreadable file
// too: reading it then names the failure).
std::string objectFileKind(const std::string& path);

// One item's worth of an object file.
struct ObjectLayer {
    unsigned layer = 1;       // as scene files and LoadObjectLayer count: LAYR + 1
    std::string name;         // the LAYR name, may be empty
    unsigned parentLayer = 0; // 0: no parent layer
    Mesh mesh;
};

// Every layer of the file, in file order (an OBJ file is one layer).
std::vector<ObjectLayer> readObjectLayers(const std::string& path);

// Layer `layer` (from 1) of the file; an OBJ file has only layer 1.
Mesh readObjectLayer(const std::string& path, unsigned layer);

// The name Layout gives the item of one layer of a file: the file's stem,
// or for a file of several layers "stem:LAYER NAME" ("stem:Layer N" for a
// layer without a name, N counted from 1 as above).
std::string layerItemName(const std::string& path, const std::string& layerName, unsigned layer,
                          bool layered);
// The same, looking the layer up in the file; the stem alone when the file
// cannot be read.
std::string objectItemName(const std::string& path, unsigned layer);

// Every failure is a HostError "path: what is wrong".

} // namespace host

#endif
