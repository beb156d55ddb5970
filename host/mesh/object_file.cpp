#include "mesh/object_file.h"

#include "common/host_error.h"
#include "mesh/lwo2_reader.h"
#include "mesh/obj_reader.h"

namespace host {

std::string objectFileKind(const std::string& path) {
    return isIffForm(path) ? "lwo" : "obj";
}

std::vector<ObjectLayer> readObjectLayers(const std::string& path) {
    std::vector<ObjectLayer> layers;
    if (objectFileKind(path) == "obj") {
        layers.push_back({1, "", 0, readObj(path)});
        return layers;
    }
    std::vector<Lwo2Layer> found = lwo2Layers(path);
    // A file without layers or geometry is one empty layer.
    if (found.empty()) layers.push_back({1, "", 0, readLwo2(path)});
    for (const Lwo2Layer& l : found) {
        unsigned parent = l.parent ? *l.parent + 1 : 0;
        layers.push_back({l.number + 1, l.name, parent, readLwo2Layer(path, l.number)});
    }
    return layers;
}

Mesh readObjectLayer(const std::string& path, unsigned layer) {
    if (layer == 0) throw HostError(path + ": layers are numbered from 1");
    if (objectFileKind(path) == "lwo") return readLwo2Layer(path, layer - 1);
    if (layer != 1) throw HostError(path + ": an OBJ file has only layer 1");
    return readObj(path);
}

} // namespace host
