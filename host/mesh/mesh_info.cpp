#include "mesh/mesh_info.h"

#include "common/host_error.h"

#include <lwserver.h>
#include <lwtypes.h>

#include <map>
#include <mutex>
#include <string>

namespace host {

namespace {

static_assert(sizeof(std::uintptr_t) >= sizeof(std::uint64_t), "IDs are 64-bit values");

// ID layout, low to high: a three-bit marker, the index (32 bits), the kind
// (point or polygon), the mesh's tag (20 bits, never zero). The tag keeps
// every ID far above any index, and the marker keeps the low 32 bits from
// being the index either.
constexpr std::uint64_t kMarker = 0x5;
constexpr std::uint64_t kMarkerMask = 0x7;
constexpr unsigned kIndexShift = 3;
constexpr unsigned kKindShift = 35;
constexpr unsigned kTagShift = 36;
constexpr std::uint32_t kTagLimit = 0xFFFFF;

enum class Kind : std::uint64_t { point = 0, polygon = 1 };

std::uint64_t encode(std::uint32_t tag, Kind kind, std::uint32_t index) {
    return (std::uint64_t(tag) << kTagShift) | (std::uint64_t(kind) << kKindShift) |
           (std::uint64_t(index) << kIndexShift) | kMarker;
}

std::optional<std::uint32_t> decode(std::uint32_t tag, Kind kind, std::uint64_t value,
                                    std::size_t count) {
    if ((value & kMarkerMask) != kMarker) return std::nullopt;
    if ((value >> kTagShift) != tag) return std::nullopt;
    if (((value >> kKindShift) & 1) != std::uint64_t(kind)) return std::nullopt;
    auto index = std::uint32_t(value >> kIndexShift);
    if (index >= count) return std::nullopt;
    return index;
}

// One tag per live mesh, so mesh infos made at different times over the same
// mesh agree on IDs. Entries of meshes that have gone are dropped, and a new
// mesh at a reused address gets a fresh tag.
struct TagEntry {
    std::weak_ptr<const Mesh> mesh;
    std::uint32_t tag;
};

std::uint32_t tagFor(const std::shared_ptr<const Mesh>& mesh) {
    static std::mutex mutex;
    static std::map<const Mesh*, TagEntry> table;
    static std::uint32_t last = 0;
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = table.begin(); it != table.end();)
        it = it->second.mesh.expired() ? table.erase(it) : std::next(it);
    auto found = table.find(mesh.get());
    if (found != table.end()) return found->second.tag;
    last = last % kTagLimit + 1;
    table.emplace(mesh.get(), TagEntry{mesh, last});
    return last;
}

constexpr std::uint64_t kViewMagic = 0x4D4F52564D455348ull;

struct View {
    std::uint64_t magic = kViewMagic;
    LWMeshInfo record{};
    std::shared_ptr<const Mesh> mesh;
    std::shared_ptr<const std::vector<Point>> other;
    std::uint32_t tag = 0;
    const WeightMap* selected = nullptr;
};

View* viewOf(LWMeshInfoID info) {
    if (!info || !info->priv) return nullptr;
    auto* view = static_cast<View*>(info->priv);
    if (view->magic != kViewMagic || &view->record != info) return nullptr;
    return view;
}

std::optional<std::uint32_t> pointOf(const View& view, LWPntID id) {
    return decode(view.tag, Kind::point, std::uint64_t(std::uintptr_t(id)),
                  view.mesh->points.size());
}

std::optional<std::uint32_t> polygonOf(const View& view, LWPolID id) {
    return decode(view.tag, Kind::polygon, std::uint64_t(std::uintptr_t(id)),
                  view.mesh->polygons.size());
}

LWPntID makePointId(const View& view, std::uint32_t index) {
    return reinterpret_cast<LWPntID>(std::uintptr_t(encode(view.tag, Kind::point, index)));
}

LWPolID makePolygonId(const View& view, std::uint32_t index) {
    return reinterpret_cast<LWPolID>(std::uintptr_t(encode(view.tag, Kind::polygon, index)));
}

// Vmap handles point at the mesh's own weight maps, so a handle is good for
// any mesh info of the same mesh and nothing else.
const WeightMap* mapOf(const View& view, const void* handle) {
    if (!handle) return nullptr;
    for (const auto& [name, map] : view.mesh->weightMaps)
        if (&map == handle) return &map;
    return nullptr;
}

int readWeight(const View& view, const WeightMap* map, LWPntID pnt, float* out) {
    if (!map || !out) return 0;
    auto index = pointOf(view, pnt);
    if (!index) return 0;
    auto found = map->find(*index);
    if (found == map->end()) return 0;
    *out = found->second;
    return 1;
}

void copyPoint(const Point& p, LWFVector out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

XCALL_(void) destroy(LWMeshInfoID info) {
    View* view = viewOf(info);
    if (!view) return;
    view->magic = 0;
    delete view;
}

XCALL_(int) numPoints(LWMeshInfoID info) {
    View* view = viewOf(info);
    return view ? int(view->mesh->points.size()) : 0;
}

XCALL_(int) numPolygons(LWMeshInfoID info) {
    View* view = viewOf(info);
    return view ? int(view->mesh->polygons.size()) : 0;
}

XCALL_(size_t) scanPoints(LWMeshInfoID info, LWPntScanFunc* fn, void* data) {
    View* view = viewOf(info);
    if (!view || !fn) return 0;
    // The mesh stays alive even if the callback destroys the mesh info.
    std::shared_ptr<const Mesh> mesh = view->mesh;
    const std::uint32_t tag = view->tag;
    for (std::uint32_t i = 0; i < mesh->points.size(); ++i) {
        auto id = reinterpret_cast<LWPntID>(std::uintptr_t(encode(tag, Kind::point, i)));
        if (size_t result = fn(data, id)) return result;
    }
    return 0;
}

XCALL_(size_t) scanPolys(LWMeshInfoID info, LWPolScanFunc* fn, void* data) {
    View* view = viewOf(info);
    if (!view || !fn) return 0;
    std::shared_ptr<const Mesh> mesh = view->mesh;
    const std::uint32_t tag = view->tag;
    for (std::uint32_t i = 0; i < mesh->polygons.size(); ++i) {
        auto id = reinterpret_cast<LWPolID>(std::uintptr_t(encode(tag, Kind::polygon, i)));
        if (size_t result = fn(data, id)) return result;
    }
    return 0;
}

XCALL_(void) pntBasePos(LWMeshInfoID info, LWPntID pnt, LWFVector pos) {
    View* view = viewOf(info);
    if (!view || !pos) return;
    if (auto index = pointOf(*view, pnt)) copyPoint(view->mesh->points[*index], pos);
}

XCALL_(void) pntOtherPos(LWMeshInfoID info, LWPntID pnt, LWFVector pos) {
    View* view = viewOf(info);
    if (!view || !pos) return;
    auto index = pointOf(*view, pnt);
    if (!index) return;
    copyPoint(view->other ? (*view->other)[*index] : view->mesh->points[*index], pos);
}

XCALL_(void*) pntVLookup(LWMeshInfoID info, LWID type, const char* name) {
    View* view = viewOf(info);
    if (!view) return nullptr;
    // A failed lookup deselects, so a caller ignoring the null reads nothing
    // rather than the map chosen before.
    view->selected = nullptr;
    if (type != LWVMAP_WGHT || !name) return nullptr;
    auto found = view->mesh->weightMaps.find(name);
    if (found == view->mesh->weightMaps.end()) return nullptr;
    view->selected = &found->second;
    return const_cast<WeightMap*>(view->selected);
}

XCALL_(int) pntVSelect(LWMeshInfoID info, void* vmap) {
    View* view = viewOf(info);
    if (!view) return 0;
    view->selected = mapOf(*view, vmap);
    return view->selected ? 1 : 0;
}

XCALL_(int) pntVGet(LWMeshInfoID info, LWPntID pnt, float* vector) {
    View* view = viewOf(info);
    return view ? readWeight(*view, view->selected, pnt, vector) : 0;
}

XCALL_(int) pntVIDGet(LWMeshInfoID info, LWPntID pnt, float* vector, void* vmap) {
    View* view = viewOf(info);
    return view ? readWeight(*view, mapOf(*view, vmap), pnt, vector) : 0;
}

// Weight maps here are never per-polygon, so a polygon's value is the
// point's own once the polygon is known to be one of ours.
XCALL_(int) pntVPGet(LWMeshInfoID info, LWPntID pnt, LWPolID pol, float* vector) {
    View* view = viewOf(info);
    if (!view || !polygonOf(*view, pol)) return 0;
    return readWeight(*view, view->selected, pnt, vector);
}

XCALL_(int) pntVPIDGet(LWMeshInfoID info, LWPntID pnt, LWPolID pol, float* vector, void* vmap) {
    View* view = viewOf(info);
    if (!view || !polygonOf(*view, pol)) return 0;
    return readWeight(*view, mapOf(*view, vmap), pnt, vector);
}

XCALL_(LWID) polType(LWMeshInfoID info, LWPolID pol) {
    View* view = viewOf(info);
    if (!view) return 0;
    auto index = polygonOf(*view, pol);
    return index ? LWID(view->mesh->polygons[*index].type) : 0;
}

XCALL_(int) polSize(LWMeshInfoID info, LWPolID pol) {
    View* view = viewOf(info);
    if (!view) return 0;
    auto index = polygonOf(*view, pol);
    return index ? int(view->mesh->polygons[*index].points.size()) : 0;
}

XCALL_(LWPntID) polVertex(LWMeshInfoID info, LWPolID pol, int vert) {
    View* view = viewOf(info);
    if (!view) return nullptr;
    auto index = polygonOf(*view, pol);
    if (!index) return nullptr;
    const auto& points = view->mesh->polygons[*index].points;
    if (vert < 0 || std::size_t(vert) >= points.size()) return nullptr;
    std::uint32_t point = points[std::size_t(vert)];
    return point < view->mesh->points.size() ? makePointId(*view, point) : nullptr;
}

XCALL_(const char*) polTag(LWMeshInfoID, LWPolID, LWID) {
    return nullptr;
}

XCALL_(unsigned int) polFlags(LWMeshInfoID, LWPolID) {
    return 0;
}

XCALL_(int) polTypeFlags(LWMeshInfoID, LWPolID) {
    return 0;
}

// No normals are kept; 0 tells the caller to work them out itself.
XCALL_(int) polNormal(LWMeshInfoID, LWPolID, LWFVector) {
    return 0;
}

XCALL_(int) pntNormal(LWMeshInfoID, LWPolID, LWPntID, LWFVector) {
    return 0;
}

XCALL_(LWMeshIteratorID) createMeshIterator(LWMeshInfoID, int) {
    return nullptr;
}

XCALL_(void) destroyMeshIterator(LWMeshInfoID, LWMeshIteratorID) {}

XCALL_(void*) iterateMesh(LWMeshInfoID, LWMeshIteratorID) {
    return nullptr;
}

XCALL_(void) resetMeshIterator(LWMeshInfoID, LWMeshIteratorID) {}

XCALL_(int) setMeshEvent(LWMeshInfoID, LWMeshEventFunc*, void*) {
    return 0;
}

} // namespace

LWMeshInfo* newMeshInfo(std::shared_ptr<const Mesh> mesh) {
    if (!mesh) throw HostError("mesh info needs a mesh");
    auto view = std::make_unique<View>();
    view->tag = tagFor(mesh);
    view->mesh = std::move(mesh);
    LWMeshInfo& r = view->record;
    r.priv = view.get();
    r.destroy = destroy;
    r.numPoints = numPoints;
    r.numPolygons = numPolygons;
    r.scanPoints = scanPoints;
    r.scanPolys = scanPolys;
    r.pntBasePos = pntBasePos;
    r.pntOtherPos = pntOtherPos;
    r.pntVLookup = pntVLookup;
    r.pntVSelect = pntVSelect;
    r.pntVGet = pntVGet;
    r.polType = polType;
    r.polSize = polSize;
    r.polVertex = polVertex;
    r.polTag = polTag;
    r.pntVPGet = pntVPGet;
    r.polFlags = polFlags;
    r.pntVIDGet = pntVIDGet;
    r.pntVPIDGet = pntVPIDGet;
    r.polTypeFlags = polTypeFlags;
    r.polBaseNormal = polNormal;
    r.polOtherNormal = polNormal;
    r.pntBaseNormal = pntNormal;
    r.pntOtherNormal = pntNormal;
    r.createMeshIterator = createMeshIterator;
    r.destroyMeshIterator = destroyMeshIterator;
    r.iterateMesh = iterateMesh;
    r.resetMeshIterator = resetMeshIterator;
    r.setMeshEvent = setMeshEvent;
    return &view.release()->record;
}

void setOtherPositions(LWMeshInfoID info, std::shared_ptr<const std::vector<Point>> positions) {
    View* view = viewOf(info);
    if (!view) throw HostError("not a mesh info");
    if (positions && positions->size() != view->mesh->points.size())
        throw HostError("mesh info has " + std::to_string(view->mesh->points.size()) +
                        " points, given " + std::to_string(positions->size()) + " positions");
    view->other = std::move(positions);
}

LWPntID pointId(LWMeshInfoID info, std::uint32_t index) {
    View* view = viewOf(info);
    if (!view || index >= view->mesh->points.size()) return nullptr;
    return makePointId(*view, index);
}

LWPolID polygonId(LWMeshInfoID info, std::uint32_t index) {
    View* view = viewOf(info);
    if (!view || index >= view->mesh->polygons.size()) return nullptr;
    return makePolygonId(*view, index);
}

std::optional<std::uint32_t> pointIndex(LWMeshInfoID info, LWPntID id) {
    View* view = viewOf(info);
    return view ? pointOf(*view, id) : std::nullopt;
}

std::optional<std::uint32_t> polygonIndex(LWMeshInfoID info, LWPolID id) {
    View* view = viewOf(info);
    return view ? polygonOf(*view, id) : std::nullopt;
}

} // namespace host
