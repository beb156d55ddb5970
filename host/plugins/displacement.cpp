#include "plugins/displacement.h"

#include "common/host_error.h"
#include "mesh/mesh_info.h"
#include "mesh/obj_writer.h"
#include "plugins/instances.h"
#include "scene/transform.h"

#include <lwdisplce.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace host {

namespace {

struct MeshInfoHolder {
    LWMeshInfo* info;
    ~MeshInfoHolder() {
        if (info) info->destroy(info);
    }
};

bool fitsFloat(const double v[3]) {
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(v[k]) || !std::isfinite(float(v[k]))) return false;
    return true;
}

// One object's pass. The mesh is held here so a callback that changes the
// item cannot pull it away mid-pass.
void displaceObject(Scene& scene, const InstanceTable& instances, LWItemID id) {
    Item* item = scene.find(id);
    if (!item) return;
    std::vector<ServerInstance*> handlers = instances.on(id, LWDISPLACEMENT_HCLASS);
    if (handlers.empty() || !item->mesh) {
        item->currentPoints = nullptr;
        return;
    }
    std::shared_ptr<const Mesh> mesh = item->mesh;
    const double time = scene.timing().time;
    const Affine world = worldTransform(scene, id, time);
    const Affine toObject = inverse(world);

    std::vector<Point> placed = worldPlacedPoints(scene, *item, time);
    std::vector<std::array<double, 3>> positions(mesh->points.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        const Point& p = mesh->points[i];
        const double base[3] = {p.x, p.y, p.z};
        transformPoint(world, base, positions[i].data());
    }

    MeshInfoHolder holder{newMeshInfo(mesh)};
    // pntOtherPos shows the object as placed, before any handler moved it.
    setOtherPositions(holder.info, std::make_shared<const std::vector<Point>>(std::move(placed)));

    for (ServerInstance* handler : handlers) {
        if (!instances.holds(id, LWDISPLACEMENT_HCLASS, handler)) continue;
        const LWDisplacementHandler& record = handler->server->displacement;
        if (!record.evaluate) continue;
        const unsigned int flags = record.flags ? record.flags(handler->instance) : 0u;
        const bool inWorld = (flags & LWDMF_WORLD) != 0;
        for (std::uint32_t i = 0; i < positions.size(); ++i) {
            // The handler may have been removed by the call before.
            if (i && !instances.holds(id, LWDISPLACEMENT_HCLASS, handler)) break;
            const Point& p = mesh->points[i];
            LWDisplacementAccess access{};
            access.oPos[0] = p.x;
            access.oPos[1] = p.y;
            access.oPos[2] = p.z;
            if (inWorld)
                std::copy(positions[i].begin(), positions[i].end(), access.source);
            else
                transformPoint(toObject, positions[i].data(), access.source);
            access.point = pointId(holder.info, i);
            access.info = holder.info;
            record.evaluate(handler->instance, &access);

            double result[3];
            if (inWorld)
                std::copy(std::begin(access.source), std::end(access.source), result);
            else if (fitsFloat(access.source))
                transformPoint(world, access.source, result);
            else
                continue;
            if (fitsFloat(result))
                std::copy(std::begin(result), std::end(result), positions[i].begin());
        }
    }

    auto current = std::make_shared<std::vector<Point>>();
    current->reserve(positions.size());
    for (const auto& q : positions)
        current->push_back(Point{float(q[0]), float(q[1]), float(q[2])});
    if (Item* still = scene.find(id)) {
        if (still->mesh == mesh)
            still->currentPoints = std::move(current);
        else
            still->currentPoints = nullptr;
    }
}

} // namespace

std::vector<Point> worldPlacedPoints(const Scene& scene, const Item& item, double time) {
    std::vector<Point> points;
    if (!item.mesh) return points;
    const Affine world = worldTransform(scene, item.id, time);
    points.reserve(item.mesh->points.size());
    for (const Point& p : item.mesh->points) {
        const double in[3] = {p.x, p.y, p.z};
        double out[3];
        transformPoint(world, in, out);
        points.push_back(Point{float(out[0]), float(out[1]), float(out[2])});
    }
    return points;
}

void evaluateDisplacements(Scene& scene, const InstanceTable& instances) {
    // IDs first: a handler's callbacks may add or remove items.
    std::vector<LWItemID> objects;
    for (LWItemID id = scene.first(LWI_OBJECT); id; id = scene.next(id))
        objects.push_back(id);
    for (LWItemID id : objects)
        displaceObject(scene, instances, id);
}

void exportObject(const Scene& scene, const std::string& name, const std::string& path) {
    const Item* item = scene.find(name);
    if (!item) throw HostError("no item named '" + name + "'");
    if (item->type != LWI_OBJECT) throw HostError(name + " is not an object");
    if (!item->mesh) throw HostError(name + " has no mesh");
    if (item->currentPoints && item->currentPoints->size() == item->mesh->points.size())
        writeObj(*item->mesh, *item->currentPoints, path);
    else
        writeObj(*item->mesh, worldPlacedPoints(scene, *item, scene.timing().time), path);
}

} // namespace host
