// Object Info, mesh infos and Scene Objects as a module sees them, over
// meshes built here.
#include "host/host.h"
#include "host/common/host_error.h"
#include "host/mesh/mesh_info.h"
#include "host/services/service_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr host::Id4 kSubd = host::makeId4('S', 'U', 'B', 'D');

// Six points; polygons of 1, 2, 5 and 4 vertices, the last a SUBD patch.
host::Mesh armMesh() {
    host::Mesh mesh;
    mesh.points = {{-1, 2, 3.5f}, {4, -5, 6},   {0.25f, 0, -7},
                   {8, 9, -10},   {-11, 12, 0}, {3, -2, 1}};
    mesh.polygons = {{host::kPolygonFace, {4}},
                     {host::kPolygonFace, {0, 5}},
                     {host::kPolygonFace, {0, 1, 2, 3, 4}},
                     {kSubd, {5, 3, 2, 1}}};
    // Point 5 is mapped to zero, which is not the same as unmapped.
    mesh.weightMaps["arm"] = {{1, 0.5f}, {3, 0.75f}, {5, 0.0f}};
    mesh.weightMaps["leg"] = {{0, 1.0f}};
    mesh.pivot = {1.5f, -2.0f, 0.5f};
    return mesh;
}

host::Mesh tailMesh() {
    host::Mesh mesh;
    mesh.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    mesh.polygons = {{host::kPolygonFace, {0, 1, 2}}};
    mesh.weightMaps["arm"] = {{2, 0.25f}};
    mesh.weightMaps["tail"] = {{0, 0.125f}, {1, 0.5f}};
    return mesh;
}

struct Destroy {
    void operator()(LWMeshInfo* info) const {
        if (info && info->destroy) info->destroy(info);
    }
};
using MeshInfoPtr = std::unique_ptr<LWMeshInfo, Destroy>;

std::vector<LWPntID> pointIds(LWMeshInfo* info) {
    std::vector<LWPntID> ids;
    info->scanPoints(
        info,
        [](void* data, LWPntID id) -> size_t {
            static_cast<std::vector<LWPntID>*>(data)->push_back(id);
            return 0;
        },
        &ids);
    return ids;
}

std::vector<LWPolID> polygonIds(LWMeshInfo* info) {
    std::vector<LWPolID> ids;
    info->scanPolys(
        info,
        [](void* data, LWPolID id) -> size_t {
            static_cast<std::vector<LWPolID>*>(data)->push_back(id);
            return 0;
        },
        &ids);
    return ids;
}

void expectPosition(const float* got, const host::Point& want) {
    EXPECT_FLOAT_EQ(got[0], want.x);
    EXPECT_FLOAT_EQ(got[1], want.y);
    EXPECT_FLOAT_EQ(got[2], want.z);
}

class MeshServices : public testing::Test {
  protected:
    MeshServices()
        : layout(out),
          objectInfo(static_cast<LWObjectInfo*>(layout.services().lookup("LW Object Info 7"))),
          sceneObjects(static_cast<LWObjectFuncs*>(layout.services().lookup("Scene Objects 6"))) {
        arm = std::make_shared<const host::Mesh>(armMesh());
        tail = std::make_shared<const host::Mesh>(tailMesh());
    }

    host::Item& addArm() { return layout.scene().addObject("Arm", "/scenes/objects/Arm.lwo", arm); }
    host::Item& addTail() {
        return layout.scene().addObject("Tail", "C:\\objs\\tail.rig.lwo", tail);
    }

    MeshInfoPtr meshInfo(const host::Item& item) {
        return MeshInfoPtr(objectInfo->meshInfo(item.id, 0));
    }

    std::ostringstream out;
    host::Host layout;
    LWObjectInfo* objectInfo;
    LWObjectFuncs* sceneObjects;
    std::shared_ptr<const host::Mesh> arm, tail;
};

TEST_F(MeshServices, ObjectInfoReportsTheItemsFileCountsAndSettings) {
    ASSERT_NE(objectInfo, nullptr);
    host::Item& item = addArm();
    item.renderFlags = LWOBJF_UNSEEN_BY_RAYS | LWOBJF_MATTE;
    item.shadowOptions = LWOSHAD_CAST;

    EXPECT_STREQ(objectInfo->filename(item.id), "/scenes/objects/Arm.lwo");
    EXPECT_EQ(objectInfo->numPoints(item.id), 6);
    EXPECT_EQ(objectInfo->numPolygons(item.id), 4);
    EXPECT_EQ(objectInfo->shadowOpts(item.id), unsigned(LWOSHAD_CAST));
    EXPECT_EQ(objectInfo->flags(item.id), unsigned(LWOBJF_UNSEEN_BY_RAYS | LWOBJF_MATTE));
    EXPECT_EQ(objectInfo->dissolve(item.id, 0.0), 0.0);

    LWDVector lo, hi;
    objectInfo->bounds(item.id, lo, hi);
    EXPECT_DOUBLE_EQ(lo[0], -11);
    EXPECT_DOUBLE_EQ(lo[1], -5);
    EXPECT_DOUBLE_EQ(lo[2], -10);
    EXPECT_DOUBLE_EQ(hi[0], 8);
    EXPECT_DOUBLE_EQ(hi[1], 12);
    EXPECT_DOUBLE_EQ(hi[2], 6);

    MeshInfoPtr info = meshInfo(item);
    ASSERT_NE(info, nullptr);
    EXPECT_NE(info->destroy, nullptr);
    EXPECT_EQ(info->numPoints(info.get()), 6);
    EXPECT_EQ(info->numPolygons(info.get()), 4);
    MeshInfoPtr frozen(objectInfo->meshInfo(item.id, 1));
    ASSERT_NE(frozen, nullptr);
    EXPECT_EQ(frozen->numPoints(frozen.get()), 6);
}

TEST_F(MeshServices, NullsHaveNoGeometryAndOtherItemsAreNotObjects) {
    host::Item& null = layout.scene().addNull("Null");
    host::Item& light = layout.scene().add(LWI_LIGHT, "Light");

    ASSERT_NE(objectInfo->filename(null.id), nullptr);
    EXPECT_STREQ(objectInfo->filename(null.id), "");
    EXPECT_EQ(objectInfo->numPoints(null.id), 0);
    EXPECT_EQ(objectInfo->numPolygons(null.id), 0);
    EXPECT_EQ(objectInfo->meshInfo(null.id, 0), nullptr);
    EXPECT_EQ(objectInfo->shadowOpts(null.id),
              unsigned(LWOSHAD_SELF | LWOSHAD_CAST | LWOSHAD_RECEIVE));
    LWDVector lo = {7, 7, 7}, hi = {7, 7, 7};
    objectInfo->bounds(null.id, lo, hi);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(lo[k], 0.0);
        EXPECT_EQ(hi[k], 0.0);
    }

    EXPECT_EQ(objectInfo->filename(light.id), nullptr);
    EXPECT_EQ(objectInfo->meshInfo(light.id, 0), nullptr);
    EXPECT_EQ(objectInfo->numPoints(light.id), 0);
    EXPECT_EQ(objectInfo->filename(nullptr), nullptr);
    EXPECT_EQ(objectInfo->meshInfo(nullptr, 0), nullptr);

    EXPECT_EQ(sceneObjects->numObjects(), 0);
    EXPECT_EQ(sceneObjects->numVMaps(0), 0);
}

TEST_F(MeshServices, ScansVisitPointsAndPolygonsInMeshOrder) {
    MeshInfoPtr info = meshInfo(addArm());
    std::vector<LWPntID> points = pointIds(info.get());
    ASSERT_EQ(points.size(), 6u);
    for (std::size_t i = 0; i < points.size(); ++i) {
        float pos[3] = {99, 99, 99};
        info->pntBasePos(info.get(), points[i], pos);
        expectPosition(pos, arm->points[i]);
    }

    std::vector<LWPolID> polygons = polygonIds(info.get());
    ASSERT_EQ(polygons.size(), 4u);
    const int sizes[] = {1, 2, 5, 4};
    for (std::size_t i = 0; i < polygons.size(); ++i)
        EXPECT_EQ(info->polSize(info.get(), polygons[i]), sizes[i]) << i;
    EXPECT_EQ(info->polType(info.get(), polygons[2]), LWPOLTYPE_FACE);
    EXPECT_EQ(info->polType(info.get(), polygons[3]), LWPOLTYPE_SUBD);
}

struct StopAt {
    int calls = 0;
    int stopAt = 0;
    size_t result = 0;
};

template <class Id> size_t stopAt(void* data, Id) {
    auto* s = static_cast<StopAt*>(data);
    return ++s->calls == s->stopAt ? s->result : 0;
}

TEST_F(MeshServices, ScansStopOnANonZeroResultAndReturnIt) {
    MeshInfoPtr info = meshInfo(addArm());
    StopAt points{0, 3, 42};
    EXPECT_EQ(info->scanPoints(info.get(), stopAt<LWPntID>, &points), 42u);
    EXPECT_EQ(points.calls, 3);

    StopAt polygons{0, 2, 7};
    EXPECT_EQ(info->scanPolys(info.get(), stopAt<LWPolID>, &polygons), 7u);
    EXPECT_EQ(polygons.calls, 2);

    StopAt never{0, 100, 5};
    EXPECT_EQ(info->scanPoints(info.get(), stopAt<LWPntID>, &never), 0u);
    EXPECT_EQ(never.calls, 6);
    EXPECT_EQ(info->scanPoints(info.get(), nullptr, nullptr), 0u);
}

TEST_F(MeshServices, IdsAreDistinctAndAreNotIndices) {
    MeshInfoPtr info = meshInfo(addArm());
    std::set<std::uintptr_t> seen;
    auto check = [&](std::uintptr_t id, std::size_t index) {
        EXPECT_NE(id, 0u);
        EXPECT_NE(id, index);
        EXPECT_NE(id, index + 1);
        // Nor does keeping only the low 32 bits give the index back.
        EXPECT_NE(std::uint32_t(id), index);
        EXPECT_NE(std::uint32_t(id), index + 1);
        EXPECT_TRUE(seen.insert(id).second) << "repeated ID for index " << index;
    };
    std::vector<LWPntID> points = pointIds(info.get());
    for (std::size_t i = 0; i < points.size(); ++i)
        check(std::uintptr_t(points[i]), i);
    std::vector<LWPolID> polygons = polygonIds(info.get());
    for (std::size_t i = 0; i < polygons.size(); ++i)
        check(std::uintptr_t(polygons[i]), i);
}

TEST_F(MeshServices, EveryMeshInfoOfAnObjectGivesTheSameIds) {
    host::Item& item = addArm();
    MeshInfoPtr first = meshInfo(item);
    MeshInfoPtr second = meshInfo(item);
    ASSERT_NE(first.get(), second.get());
    EXPECT_EQ(pointIds(first.get()), pointIds(second.get()));
    EXPECT_EQ(polygonIds(first.get()), polygonIds(second.get()));

    MeshInfoPtr layer(sceneObjects->layerMesh(0, 0));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(pointIds(first.get()), pointIds(layer.get()));

    // Destroying one leaves the other working.
    first.reset();
    EXPECT_EQ(second->numPoints(second.get()), 6);
}

TEST_F(MeshServices, PolVertexNamesEachVertexOfSmallAndLargePolygons) {
    MeshInfoPtr info = meshInfo(addArm());
    std::vector<LWPntID> points = pointIds(info.get());
    std::vector<LWPolID> polygons = polygonIds(info.get());
    LWMeshInfo* m = info.get();

    // One point.
    EXPECT_EQ(m->polVertex(m, polygons[0], 0), points[4]);
    EXPECT_EQ(m->polVertex(m, polygons[0], 1), nullptr);
    EXPECT_EQ(m->polVertex(m, polygons[0], -1), nullptr);
    // Two points.
    EXPECT_EQ(m->polVertex(m, polygons[1], 0), points[0]);
    EXPECT_EQ(m->polVertex(m, polygons[1], 1), points[5]);
    EXPECT_EQ(m->polVertex(m, polygons[1], 2), nullptr);
    // Five points, and each vertex's position is the right point's.
    for (int v = 0; v < 5; ++v) {
        LWPntID id = m->polVertex(m, polygons[2], v);
        EXPECT_EQ(id, points[std::size_t(v)]) << v;
        float pos[3] = {};
        m->pntBasePos(m, id, pos);
        expectPosition(pos, arm->points[std::size_t(v)]);
    }
    EXPECT_EQ(m->polVertex(m, polygons[2], 5), nullptr);
    EXPECT_EQ(m->polVertex(m, polygons[3], 0), points[5]);
    EXPECT_EQ(m->polVertex(m, polygons[3], 3), points[1]);
}

TEST_F(MeshServices, UnsupportedQueriesAnswerNothing) {
    MeshInfoPtr info = meshInfo(addArm());
    LWMeshInfo* m = info.get();
    LWPolID pol = polygonIds(m)[2];
    LWPntID pnt = pointIds(m)[0];
    EXPECT_EQ(m->polTag(m, pol, LWPTAG_SURF), nullptr);
    EXPECT_EQ(m->polFlags(m, pol), 0u);
    float normal[3] = {5, 5, 5};
    EXPECT_EQ(m->polBaseNormal(m, pol, normal), 0);
    EXPECT_EQ(m->pntOtherNormal(m, pol, pnt, normal), 0);
    EXPECT_EQ(normal[0], 5.0f);
    EXPECT_EQ(m->createMeshIterator(m, LWMESHITER_POINT), nullptr);
    EXPECT_EQ(m->iterateMesh(m, nullptr), nullptr);
    m->resetMeshIterator(m, nullptr);
    m->destroyMeshIterator(m, nullptr);
    EXPECT_EQ(m->setMeshEvent(m, nullptr, nullptr), 0);
}

TEST_F(MeshServices, OtherPositionsAreTheBaseUntilTheHostSetsThem) {
    MeshInfoPtr info = meshInfo(addArm());
    LWMeshInfo* m = info.get();
    std::vector<LWPntID> points = pointIds(m);
    float pos[3] = {};
    m->pntOtherPos(m, points[3], pos);
    expectPosition(pos, arm->points[3]);

    auto moved = std::make_shared<std::vector<host::Point>>(arm->points);
    (*moved)[3] = {0.5f, 1.5f, -2.5f};
    host::setOtherPositions(m, moved);
    m->pntOtherPos(m, points[3], pos);
    expectPosition(pos, (*moved)[3]);
    m->pntBasePos(m, points[3], pos);
    expectPosition(pos, arm->points[3]);

    auto short_ = std::make_shared<std::vector<host::Point>>(5);
    EXPECT_THROW(host::setOtherPositions(m, short_), host::HostError);
    host::setOtherPositions(m, nullptr);
    m->pntOtherPos(m, points[3], pos);
    expectPosition(pos, arm->points[3]);
}

TEST_F(MeshServices, WeightMapValuesThroughLookupAndHandle) {
    MeshInfoPtr info = meshInfo(addArm());
    LWMeshInfo* m = info.get();
    std::vector<LWPntID> p = pointIds(m);

    void* armMap = m->pntVLookup(m, LWVMAP_WGHT, "arm");
    ASSERT_NE(armMap, nullptr);
    float value = -1;
    EXPECT_EQ(m->pntVGet(m, p[1], &value), 1);
    EXPECT_FLOAT_EQ(value, 0.5f);
    EXPECT_EQ(m->pntVGet(m, p[3], &value), 1);
    EXPECT_FLOAT_EQ(value, 0.75f);
    value = -1;
    EXPECT_EQ(m->pntVGet(m, p[5], &value), 1);
    EXPECT_FLOAT_EQ(value, 0.0f);
    value = -1;
    EXPECT_EQ(m->pntVGet(m, p[0], &value), 0);
    EXPECT_FLOAT_EQ(value, -1.0f);

    // Reading another map by handle leaves the selection alone.
    void* legMap = m->pntVLookup(m, LWVMAP_WGHT, "leg");
    ASSERT_NE(legMap, nullptr);
    EXPECT_NE(legMap, armMap);
    EXPECT_EQ(m->pntVSelect(m, armMap), 1);
    EXPECT_EQ(m->pntVIDGet(m, p[0], &value, legMap), 1);
    EXPECT_FLOAT_EQ(value, 1.0f);
    EXPECT_EQ(m->pntVIDGet(m, p[1], &value, legMap), 0);
    EXPECT_EQ(m->pntVGet(m, p[1], &value), 1);
    EXPECT_FLOAT_EQ(value, 0.5f);
    EXPECT_EQ(m->pntVIDGet(m, p[3], &value, armMap), 1);
    EXPECT_FLOAT_EQ(value, 0.75f);

    // Per-polygon reads give the point's value.
    LWPolID pol = polygonIds(m)[3];
    EXPECT_EQ(m->pntVPGet(m, p[3], pol, &value), 1);
    EXPECT_FLOAT_EQ(value, 0.75f);
    EXPECT_EQ(m->pntVPIDGet(m, p[0], pol, &value, legMap), 1);
    EXPECT_FLOAT_EQ(value, 1.0f);
    EXPECT_EQ(m->pntVPGet(m, p[3], nullptr, &value), 0);

    // A handle from one mesh info serves another of the same mesh.
    MeshInfoPtr again = meshInfo(*layout.scene().find("Arm"));
    EXPECT_EQ(again->pntVSelect(again.get(), legMap), 1);
    EXPECT_EQ(again->pntVGet(again.get(), p[0], &value), 1);
    EXPECT_FLOAT_EQ(value, 1.0f);
}

TEST_F(MeshServices, UnknownMapsAndOtherTypesGiveNoHandle) {
    MeshInfoPtr info = meshInfo(addArm());
    LWMeshInfo* m = info.get();
    std::vector<LWPntID> p = pointIds(m);
    float value = -1;

    ASSERT_NE(m->pntVLookup(m, LWVMAP_WGHT, "arm"), nullptr);
    EXPECT_EQ(m->pntVLookup(m, LWVMAP_WGHT, "Arm"), nullptr);
    // The failed lookup deselected "arm".
    EXPECT_EQ(m->pntVGet(m, p[1], &value), 0);
    EXPECT_EQ(m->pntVLookup(m, LWVMAP_TXUV, "arm"), nullptr);
    EXPECT_EQ(m->pntVLookup(m, LWVMAP_MORF, "leg"), nullptr);
    EXPECT_EQ(m->pntVLookup(m, LWVMAP_WGHT, nullptr), nullptr);
    EXPECT_EQ(m->pntVLookup(m, 0, "arm"), nullptr);

    EXPECT_EQ(m->pntVSelect(m, nullptr), 0);
    int notAMap = 0;
    EXPECT_EQ(m->pntVSelect(m, &notAMap), 0);
    EXPECT_EQ(m->pntVGet(m, p[1], &value), 0);
    EXPECT_EQ(m->pntVIDGet(m, p[1], &value, nullptr), 0);
    EXPECT_EQ(m->pntVIDGet(m, p[1], &value, &notAMap), 0);
    EXPECT_FLOAT_EQ(value, -1.0f);
}

TEST_F(MeshServices, IdsAndHandlesFromAnotherObjectAreRefused) {
    MeshInfoPtr a = meshInfo(addArm());
    MeshInfoPtr b = meshInfo(addTail());
    LWMeshInfo* m = a.get();
    std::vector<LWPntID> foreignPoints = pointIds(b.get());
    std::vector<LWPolID> foreignPolygons = polygonIds(b.get());
    std::vector<LWPntID> ownPoints = pointIds(m);
    std::vector<LWPolID> ownPolygons = polygonIds(m);

    float pos[3] = {99, 99, 99};
    m->pntBasePos(m, foreignPoints[0], pos);
    m->pntOtherPos(m, foreignPoints[1], pos);
    EXPECT_EQ(pos[0], 99.0f);
    EXPECT_EQ(m->polSize(m, foreignPolygons[0]), 0);
    EXPECT_EQ(m->polType(m, foreignPolygons[0]), 0u);
    EXPECT_EQ(m->polVertex(m, foreignPolygons[0], 0), nullptr);

    // Both meshes have an "arm" map, but each handle belongs to its mesh.
    void* foreignArm = b->pntVLookup(b.get(), LWVMAP_WGHT, "arm");
    ASSERT_NE(foreignArm, nullptr);
    float value = -1;
    EXPECT_EQ(m->pntVSelect(m, foreignArm), 0);
    EXPECT_EQ(m->pntVIDGet(m, ownPoints[1], &value, foreignArm), 0);
    ASSERT_NE(m->pntVLookup(m, LWVMAP_WGHT, "arm"), nullptr);
    EXPECT_EQ(m->pntVGet(m, foreignPoints[2], &value), 0);
    EXPECT_FLOAT_EQ(value, -1.0f);

    // A point ID is not a polygon ID, nor the other way round.
    EXPECT_EQ(m->polSize(m, reinterpret_cast<LWPolID>(ownPoints[0])), 0);
    m->pntBasePos(m, reinterpret_cast<LWPntID>(ownPolygons[0]), pos);
    EXPECT_EQ(pos[0], 99.0f);

    // Made-up values, indices among them.
    for (std::uintptr_t fake : {std::uintptr_t(0), std::uintptr_t(1), std::uintptr_t(2),
                                std::uintptr_t(ownPoints[5]) + 8, ~std::uintptr_t(0)}) {
        m->pntBasePos(m, reinterpret_cast<LWPntID>(fake), pos);
        EXPECT_EQ(m->pntVGet(m, reinterpret_cast<LWPntID>(fake), &value), 0);
        EXPECT_EQ(m->polSize(m, reinterpret_cast<LWPolID>(fake)), 0);
        EXPECT_EQ(m->polVertex(m, reinterpret_cast<LWPolID>(fake), 0), nullptr);
    }
    EXPECT_EQ(pos[0], 99.0f);
}

TEST_F(MeshServices, IdsOfAMeshThatHasGoneAreRefused) {
    auto gone = std::make_shared<const host::Mesh>(armMesh());
    LWMeshInfo* old = host::newMeshInfo(gone);
    LWPntID stale = host::pointId(old, 2);
    ASSERT_NE(stale, nullptr);
    EXPECT_EQ(host::pointIndex(old, stale), 2u);
    old->destroy(old);
    gone.reset();

    // A new mesh, possibly at the same address.
    auto fresh = std::make_shared<const host::Mesh>(armMesh());
    MeshInfoPtr info(host::newMeshInfo(fresh));
    EXPECT_FALSE(host::pointIndex(info.get(), stale));
    float pos[3] = {99, 99, 99};
    info->pntBasePos(info.get(), stale, pos);
    EXPECT_EQ(pos[0], 99.0f);
}

TEST_F(MeshServices, HostSideIdHelpersRoundTrip) {
    MeshInfoPtr info = meshInfo(addArm());
    std::vector<LWPntID> points = pointIds(info.get());
    std::vector<LWPolID> polygons = polygonIds(info.get());
    for (std::uint32_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(host::pointId(info.get(), i), points[i]);
        EXPECT_EQ(host::pointIndex(info.get(), points[i]), i);
    }
    for (std::uint32_t i = 0; i < polygons.size(); ++i) {
        EXPECT_EQ(host::polygonId(info.get(), i), polygons[i]);
        EXPECT_EQ(host::polygonIndex(info.get(), polygons[i]), i);
    }
    EXPECT_EQ(host::pointId(info.get(), 6), nullptr);
    EXPECT_EQ(host::polygonId(info.get(), 4), nullptr);
    EXPECT_EQ(host::pointId(nullptr, 0), nullptr);
    EXPECT_THROW(host::newMeshInfo(nullptr), host::HostError);
    EXPECT_THROW(host::setOtherPositions(nullptr, nullptr), host::HostError);
}

TEST_F(MeshServices, SceneObjectsListsObjectFilesOnce) {
    ASSERT_NE(sceneObjects, nullptr);
    addArm();
    layout.scene().addNull("Null");
    addTail();
    // A second item loaded from the same file.
    layout.scene().addObject("Arm (2)", "/scenes/objects/Arm.lwo", arm);
    layout.scene().add(LWI_LIGHT, "Light");

    ASSERT_EQ(sceneObjects->numObjects(), 2);
    EXPECT_STREQ(sceneObjects->filename(0), "/scenes/objects/Arm.lwo");
    EXPECT_STREQ(sceneObjects->filename(1), "C:\\objs\\tail.rig.lwo");
    EXPECT_EQ(sceneObjects->filename(2), nullptr);
    EXPECT_EQ(sceneObjects->filename(-1), nullptr);
    EXPECT_STREQ(sceneObjects->userName(0), "Arm");
    EXPECT_STREQ(sceneObjects->refName(0), "Arm");
    EXPECT_STREQ(sceneObjects->userName(1), "tail.rig");
    EXPECT_STREQ(sceneObjects->refName(1), "tail.rig");
    EXPECT_EQ(sceneObjects->userName(2), nullptr);

    EXPECT_EQ(sceneObjects->maxLayers(0), 1);
    EXPECT_EQ(sceneObjects->maxLayers(2), 0);
    EXPECT_EQ(sceneObjects->layerExists(1, 0), 1);
    EXPECT_EQ(sceneObjects->layerExists(1, 1), 0);
    EXPECT_EQ(sceneObjects->layerExists(2, 0), 0);

    float pivot[3] = {};
    sceneObjects->pivotPoint(0, 0, pivot);
    EXPECT_FLOAT_EQ(pivot[0], 1.5f);
    EXPECT_FLOAT_EQ(pivot[1], -2.0f);
    EXPECT_FLOAT_EQ(pivot[2], 0.5f);

    MeshInfoPtr tailLayer(sceneObjects->layerMesh(1, 0));
    ASSERT_NE(tailLayer, nullptr);
    EXPECT_NE(tailLayer->destroy, nullptr);
    EXPECT_EQ(tailLayer->numPoints(tailLayer.get()), 3);
    EXPECT_EQ(tailLayer->numPolygons(tailLayer.get()), 1);
    EXPECT_EQ(sceneObjects->layerMesh(1, 1), nullptr);
    EXPECT_EQ(sceneObjects->layerMesh(2, 0), nullptr);

    // A data member: read from a fresh look-up, as a module re-acquires.
    auto* fresh = static_cast<LWObjectFuncs*>(layout.services().lookup("Scene Objects 6"));
    EXPECT_EQ(fresh->maxPointsPerPoly, 5);
}

TEST_F(MeshServices, SceneObjectsListsWeightMapsByNameWithoutRepeats) {
    addArm();
    addTail();
    const std::vector<std::string> want = {"arm", "leg", "tail"};

    for (LWID type : {LWID(LWVMAP_WGHT), LWID(0)}) {
        ASSERT_EQ(sceneObjects->numVMaps(type), 3) << type;
        for (int i = 0; i < 3; ++i) {
            ASSERT_NE(sceneObjects->vmapName(type, i), nullptr);
            EXPECT_EQ(sceneObjects->vmapName(type, i), want[std::size_t(i)]);
            EXPECT_EQ(sceneObjects->vmapDim(type, i), 1);
        }
        EXPECT_EQ(sceneObjects->vmapName(type, 3), nullptr);
        EXPECT_EQ(sceneObjects->vmapName(type, -1), nullptr);
        EXPECT_EQ(sceneObjects->vmapDim(type, 3), 0);
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sceneObjects->vmapType(i), LWID(LWVMAP_WGHT));
    EXPECT_EQ(sceneObjects->vmapType(3), 0u);

    EXPECT_EQ(sceneObjects->numVMaps(LWVMAP_TXUV), 0);
    EXPECT_EQ(sceneObjects->vmapName(LWVMAP_TXUV, 0), nullptr);
    EXPECT_EQ(sceneObjects->vmapDim(LWVMAP_MORF, 0), 0);
}

TEST_F(MeshServices, SceneObjectsNineIsSixWithTheFocusObject) {
    auto* nine = static_cast<host::ObjectFuncs9*>(layout.services().lookup("Scene Objects 9"));
    ASSERT_NE(nine, nullptr);
    addTail();
    EXPECT_EQ(nine->v6.numObjects(), 1);
    EXPECT_STREQ(nine->v6.userName(0), "tail.rig");
    EXPECT_EQ(nine->v6.numVMaps(LWVMAP_WGHT), 2);
    EXPECT_EQ(nine->focusObject(), -1);
}

TEST_F(MeshServices, MaxPointsPerPolyFollowsTheScene) {
    host::ServiceRecords& records = layout.services().records();
    host::refreshSceneObjects(records, layout.scene());
    EXPECT_EQ(records.objectFuncs.v6.maxPointsPerPoly, 0);
    addTail();
    host::refreshSceneObjects(records, layout.scene());
    EXPECT_EQ(records.objectFuncs.v6.maxPointsPerPoly, 3);
    addArm();
    host::refreshSceneObjects(records, layout.scene());
    EXPECT_EQ(records.objectFuncs.v6.maxPointsPerPoly, 5);
}

// Under the sanitizer build a mesh info that destroy does not free shows up
// as a leak.
TEST_F(MeshServices, DestroyFreesEveryMeshInfo) {
    host::Item& item = addArm();
    for (int i = 0; i < 50; ++i) {
        LWMeshInfo* fromObject = objectInfo->meshInfo(item.id, i % 2);
        LWMeshInfo* fromScene = sceneObjects->layerMesh(0, 0);
        ASSERT_NE(fromObject, nullptr);
        ASSERT_NE(fromScene, nullptr);
        ASSERT_NE(fromObject->destroy, nullptr);
        ASSERT_NE(fromScene->destroy, nullptr);
        host::setOtherPositions(fromScene,
                                std::make_shared<const std::vector<host::Point>>(arm->points));
        fromObject->destroy(fromObject);
        fromScene->destroy(fromScene);
    }
}

TEST(MeshInfoLifetime, AMeshInfoOutlivesTheHostThatMadeIt) {
    MeshInfoPtr info;
    {
        std::ostringstream out;
        host::Host layout(out);
        host::Item& item = layout.scene().addObject("Arm", "Arm.lwo",
                                                    std::make_shared<const host::Mesh>(armMesh()));
        auto* objectInfo = static_cast<LWObjectInfo*>(layout.services().lookup("LW Object Info 7"));
        info.reset(objectInfo->meshInfo(item.id, 0));
    }
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->numPoints(info.get()), 6);
    std::vector<LWPntID> points = pointIds(info.get());
    float pos[3] = {};
    info->pntBasePos(info.get(), points[4], pos);
    expectPosition(pos, armMesh().points[4]);
}

} // namespace
