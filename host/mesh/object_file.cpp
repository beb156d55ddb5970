#include "mesh/object_file.h"

#include "common/file_names.h"
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

std::string layerItemName(const std::string& path, const std::string& layerName, unsigned layer,
                          bool layered) {
    if (!layered) return fileStem(path);
    return fileStem(path) + ":" +
           (layerName.empty() ? "Layer " + std::to_string(layer) : layerName);
}

std::string objectItemName(const std::string& path, unsigned layer) {
    if (objectFileKind(path) != "lwo") return fileStem(path);
    try {
        const std::vector<Lwo2Layer> all = lwo2Layers(path);
        for (const Lwo2Layer& l : all)
            if (l.number + 1 == layer) return layerItemName(path, l.name, layer, all.size() > 1);
    } catch (const HostError&) {
    }
    return fileStem(path);
}

} // namespace host
