// Object info and the scene's object files: what the host knows of meshes.
#include "mesh/mesh_info.h"
#include "scene/scene.h"
#include "scene/transform.h"
#include "services/service_records.h"
#include "services/services.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace host {

namespace {

constexpr int kLwo2MaxPolygonSize = 1023;

const Scene* scene() {
    ServiceTable* table = ServiceTable::currentOrNull();
    return table ? &table->sources().scene : nullptr;
}

const Item* objectItem(LWItemID id) {
    const Scene* s = scene();
    const Item* item = s ? s->find(id) : nullptr;
    return item && item->type == LWI_OBJECT ? item : nullptr;
}

const Mesh* meshOf(LWItemID id) {
    const Item* item = objectItem(id);
    return item ? item->mesh.get() : nullptr;
}

// ---- Object Info ----

XCALL_(const char*) objFilename(LWItemID id) {
    const Item* item = objectItem(id);
    return item ? item->path.c_str() : nullptr;
}

XCALL_(int) objNumPoints(LWItemID id) {
    const Mesh* mesh = meshOf(id);
    return mesh ? int(mesh->points.size()) : 0;
}

XCALL_(int) objNumPolygons(LWItemID id) {
    const Mesh* mesh = meshOf(id);
    return mesh ? int(mesh->polygons.size()) : 0;
}

XCALL_(unsigned int) objShadowOpts(LWItemID id) {
    const Item* item = objectItem(id);
    return item ? item->shadowOptions : 0;
}

XCALL_(unsigned int) objFlags(LWItemID id) {
    const Item* item = objectItem(id);
    return item ? item->renderFlags : 0;
}

// The mesh placed by the item's world transform at the current time: what
// Layout reports as the other positions of an object nothing deforms.
std::shared_ptr<const std::vector<Point>> worldPoints(const Item& item) {
    const Scene& scene = ServiceTable::current().sources().scene;
    Affine world = worldTransform(scene, item.id, scene.timing().time);
    auto points = std::make_shared<std::vector<Point>>();
    points->reserve(item.mesh->points.size());
    for (const Point& p : item.mesh->points) {
        double in[3] = {p.x, p.y, p.z}, out[3];
        transformPoint(world, in, out);
        points->push_back(Point{float(out[0]), float(out[1]), float(out[2])});
    }
    return points;
}

// A mesh info of the item's mesh, its other positions the current frame's.
LWMeshInfo* itemMeshInfo(const Item* item) {
    if (!item || !item->mesh) return nullptr;
    LWMeshInfo* info = nullptr;
    try {
        info = newMeshInfo(item->mesh);
    } catch (...) {
        return nullptr;
    }
    try {
        setOtherPositions(info, item->currentPoints ? item->currentPoints : worldPoints(*item));
    } catch (...) {
        // Positions that do not fit the mesh are ignored: the base shows.
    }
    return info;
}

// Nothing is subdivided, so frozen and unfrozen geometry are the same.
XCALL_(LWMeshInfoID) objMeshInfo(LWItemID id, int) {
    return itemMeshInfo(objectItem(id));
}

XCALL_(void) objBounds(LWItemID id, LWDVector lo, LWDVector hi) {
    double min[3] = {0, 0, 0}, max[3] = {0, 0, 0};
    const Mesh* mesh = meshOf(id);
    if (mesh && !mesh->points.empty()) {
        const Point& first = mesh->points.front();
        min[0] = max[0] = first.x;
        min[1] = max[1] = first.y;
        min[2] = max[2] = first.z;
        for (const Point& p : mesh->points) {
            const double c[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k) {
                min[k] = std::min(min[k], c[k]);
                max[k] = std::max(max[k], c[k]);
            }
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (lo) lo[k] = min[k];
        if (hi) hi[k] = max[k];
    }
}

// ---- Scene Objects ----

// The scene's object files in item order: the first item with a mesh for
// each path stands for the file.
std::vector<const Item*> objectFiles(const Scene& s) {
    std::vector<const Item*> files;
    for (LWItemID id = s.first(LWI_OBJECT); id; id = s.next(id)) {
        const Item* item = s.find(id);
        if (!item || !item->mesh) continue;
        bool seen = std::any_of(files.begin(), files.end(),
                                [&](const Item* f) { return f->path == item->path; });
        if (!seen) files.push_back(item);
    }
    return files;
}

std::vector<const Item*> objectFiles() {
    const Scene* s = scene();
    return s ? objectFiles(*s) : std::vector<const Item*>{};
}

const Item* objectFile(int index) {
    std::vector<const Item*> files = objectFiles();
    if (index < 0 || std::size_t(index) >= files.size()) return nullptr;
    return files[std::size_t(index)];
}

// Weight map names across the object files, each once, in the order first
// met. The names live in the meshes.
std::vector<const std::string*> weightMapNames() {
    std::vector<const std::string*> names;
    for (const Item* item : objectFiles())
        for (const auto& entry : item->mesh->weightMaps) {
            bool seen = std::any_of(names.begin(), names.end(),
                                    [&](const std::string* n) { return *n == entry.first; });
            if (!seen) names.push_back(&entry.first);
        }
    return names;
}

// Only weight maps exist; type 0 asks for every type.
bool weightType(LWID type) {
    return type == 0 || type == LWVMAP_WGHT;
}

const std::string* weightMapName(LWID type, int index) {
    if (!weightType(type) || index < 0) return nullptr;
    std::vector<const std::string*> names = weightMapNames();
    return std::size_t(index) < names.size() ? names[std::size_t(index)] : nullptr;
}

// "dir/cube.lwo" -> "cube". The strings are kept for the life of the
// process, since callers hold on to the pointer.
const char* stem(const std::string& path) {
    static std::mutex mutex;
    static std::set<std::string> stems;
    std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0) name.erase(dot);
    std::lock_guard<std::mutex> lock(mutex);
    return stems.insert(name).first->c_str();
}

XCALL_(int) sceneNumObjects(void) {
    return int(objectFiles().size());
}

XCALL_(const char*) sceneFilename(int obj) {
    const Item* item = objectFile(obj);
    return item ? item->path.c_str() : nullptr;
}

XCALL_(int) sceneMaxLayers(int obj) {
    return objectFile(obj) ? 1 : 0;
}

XCALL_(int) sceneLayerExists(int obj, int layer) {
    return layer == 0 && objectFile(obj) ? 1 : 0;
}

XCALL_(void) scenePivotPoint(int obj, int layer, LWFVector pos) {
    if (!pos) return;
    const Item* item = layer == 0 ? objectFile(obj) : nullptr;
    for (int k = 0; k < 3; ++k)
        pos[k] = item ? item->mesh->pivot[std::size_t(k)] : 0.0f;
}

XCALL_(LWMeshInfo*) sceneLayerMesh(int obj, int layer) {
    return itemMeshInfo(layer == 0 ? objectFile(obj) : nullptr);
}

XCALL_(int) sceneNumVMaps(LWID type) {
    return weightType(type) ? int(weightMapNames().size()) : 0;
}

XCALL_(const char*) sceneVMapName(LWID type, int index) {
    const std::string* name = weightMapName(type, index);
    return name ? name->c_str() : nullptr;
}

XCALL_(int) sceneVMapDim(LWID type, int index) {
    return weightMapName(type, index) ? 1 : 0;
}

XCALL_(LWID) sceneVMapType(int index) {
    return weightMapName(0, index) ? LWVMAP_WGHT : 0;
}

XCALL_(const char*) sceneUserName(int obj) {
    const Item* item = objectFile(obj);
    return item ? stem(item->path) : nullptr;
}

// No object has the interface's focus in a headless host.
XCALL_(int) sceneFocusObject(void) {
    return -1;
}

} // namespace

void refreshSceneObjects(ServiceRecords& r, const Scene& s) {
    std::size_t largest = 0;
    for (const Item* item : objectFiles(s))
        for (const Polygon& polygon : item->mesh->polygons)
            largest = std::max(largest, polygon.points.size());
    r.objectFuncs.v6.maxPointsPerPoly = int(largest);
}

void fillMeshRecords(ServiceRecords& r) {
    LWObjectInfo& o = r.objectInfo;
    o.filename = objFilename;
    o.numPoints = objNumPoints;
    o.numPolygons = objNumPolygons;
    o.shadowOpts = objShadowOpts;
    o.flags = objFlags;
    o.meshInfo = objMeshInfo;
    o.bounds = objBounds;

    LWObjectFuncs& f = r.objectFuncs.v6;
    f.numObjects = sceneNumObjects;
    f.filename = sceneFilename;
    f.maxLayers = sceneMaxLayers;
    f.layerExists = sceneLayerExists;
    f.pivotPoint = scenePivotPoint;
    f.layerMesh = sceneLayerMesh;
    f.numVMaps = sceneNumVMaps;
    f.vmapName = sceneVMapName;
    f.vmapDim = sceneVMapDim;
    f.vmapType = sceneVMapType;
    f.userName = sceneUserName;
    f.refName = sceneUserName;
    f.maxPointsPerPoly = kLwo2MaxPolygonSize;
    r.objectFuncs.focusObject = sceneFocusObject;
}

} // namespace host
