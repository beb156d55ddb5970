// Building cages from meshes: through the stand-in host's object and item
// services, and through a small fake mesh where the point IDs, the scan order
// and the reported counts need to be chosen.
#include "cage/cage_frames.h"
#include "cage/cage_mesh_build.h"
#include "cage/cage_model.h"
#include "cage_test_support.h"
#include "geometry/vector.h"
#include "host/host.h"
#include "host/scene/transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

namespace {

using cagetest::adjacencySnapshot;
using cagetest::OwnedCage;

// Mesh positions are floats holding small integers or halves: exact.
constexpr double kExact = 0.0;
// Through a rotation matrix built from sin/cos.
constexpr double kRot = 1e-12;
constexpr double kPi = 3.14159265358979323846;

void expect3(const double* v, double x, double y, double z, double tol) {
    EXPECT_NEAR(v[0], x, tol);
    EXPECT_NEAR(v[1], y, tol);
    EXPECT_NEAR(v[2], z, tol);
}

// 2 x 2 x 2 cube about the origin, each face wound so that its fan normals
// unit((P2 - P0) x (P1 - P0)) face outward.
host::Mesh cubeMesh() {
    host::Mesh mesh;
    mesh.points = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                   {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    mesh.polygons = {{host::kPolygonFace, {0, 1, 2, 3}}, {host::kPolygonFace, {4, 7, 6, 5}},
                     {host::kPolygonFace, {0, 3, 7, 4}}, {host::kPolygonFace, {1, 5, 6, 2}},
                     {host::kPolygonFace, {0, 4, 5, 1}}, {host::kPolygonFace, {3, 2, 6, 7}}};
    return mesh;
}

struct HostFixture : testing::Test {
    std::ostringstream out;
    host::Host layout{out};
    LWObjectInfo* objectInfo =
        static_cast<LWObjectInfo*>(layout.services().lookup("LW Object Info 7"));
    LWItemInfo* itemInfo = static_cast<LWItemInfo*>(layout.services().lookup("LW Item Info 5"));
    LWInterfaceInfo* interfaceInfo =
        static_cast<LWInterfaceInfo*>(layout.services().lookup("LW Interface Info 7"));

    host::Item& addObject(const char* name, const host::Mesh& mesh) {
        return layout.scene().addObject(name, std::string("/objects/") + name + ".lwo",
                                        std::make_shared<const host::Mesh>(mesh));
    }
    int build(CageInstance* cage, LWItemID object, LWItemID parent = nullptr) {
        return buildCageFromMesh(cage, objectInfo, itemInfo, interfaceInfo, object, parent);
    }
};

using CageMeshBuild = HostFixture;

TEST_F(CageMeshBuild, CubeGivesEightPointsInMeshOrderAndDistanceFive) {
    ASSERT_NE(objectInfo, nullptr);
    ASSERT_NE(itemInfo, nullptr);
    const host::Mesh mesh = cubeMesh();
    host::Item& cube = addObject("Cube", mesh);
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, cube.id), 8);

    EXPECT_EQ(cage->pointCount, 8);
    EXPECT_EQ(cage->polygonCount, 6);
    EXPECT_EQ(cage->trigonCount, 0);
    EXPECT_EQ(cage->linegonCount, 0);
    EXPECT_EQ(cage->edgeCount, 12 + 24);
    // 2.5 x the mean of twelve sides of length 2.
    EXPECT_NEAR(cage->perpendicularDistance, 5.0, 1e-12);
    for (int i = 0; i < 8; ++i) {
        const PointData* p = cage->pointArray[i];
        EXPECT_EQ(p->index, unsigned(i));
        expect3(p->basePos, mesh.points[std::size_t(i)].x, mesh.points[std::size_t(i)].y,
                mesh.points[std::size_t(i)].z, kExact);
        EXPECT_EQ(p->onBorder, 0) << i;
        EXPECT_EQ(p->cornerCount, 3);
        EXPECT_EQ(p->edgeCount, 6);      // three sides, three spokes
        EXPECT_EQ(p->neighbourCount, 6); // three sides, three opposite corners
        EXPECT_EQ(p->trigonCount, 6);
    }
    for (const EdgeData* e = cage->edgeList; e; e = e->next)
        EXPECT_NE(e->trigonB, nullptr);
    EXPECT_EQ(cage->meshInfo, nullptr);
    EXPECT_EQ(cage->pntUserBlock, nullptr);
}

TEST_F(CageMeshBuild, CubeCornerNormalsAreUnitAndPointOutward) {
    const host::Mesh mesh = cubeMesh();
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, addObject("Cube", mesh).id), 8);
    rebuildCageRestData(cage.cage);
    const double s = 1.0 / std::sqrt(3.0);
    for (int i = 0; i < 8; ++i) {
        const PointData* p = cage->pointArray[i];
        EXPECT_NEAR(len3D(p->normal), 1.0, 1e-12);
        // By symmetry the corner normal is the corner's own diagonal.
        expect3(p->normal, p->basePos[0] * s, p->basePos[1] * s, p->basePos[2] * s, 1e-12);
    }
    for (const PolygonData* poly = cage->polygonList; poly; poly = poly->next) {
        // The centre normal is the face's outward axis.
        EXPECT_NEAR(dot3D(poly->center.normal, poly->center.basePos), 1.0, 1e-12);
        for (int k = 0; k < 4; ++k)
            EXPECT_GT(poly->tri[k].vertNorm[1][2], 0.5);
    }
    expect3(cage->restBoxMin, -1, -1, -1, kExact);
    expect3(cage->restBoxMax, 1, 1, 1, kExact);
}

TEST_F(CageMeshBuild, BuildingTwiceGivesTheSameCage) {
    host::Mesh mesh = cubeMesh();
    mesh.points.push_back({3, 0, 0});
    mesh.polygons.push_back({host::kPolygonFace, {1, 8}});
    mesh.polygons.push_back({host::kPolygonFace, {1, 8, 5}});
    host::Item& item = addObject("Cube", mesh);
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, item.id), 9);
    const std::string first = adjacencySnapshot(cage.cage);
    const double distance = cage->perpendicularDistance;
    ASSERT_EQ(build(cage.cage, item.id), 9);
    EXPECT_EQ(adjacencySnapshot(cage.cage), first);
    EXPECT_DOUBLE_EQ(cage->perpendicularDistance, distance);
    createEdgeData(cage.cage, 1);
    EXPECT_EQ(adjacencySnapshot(cage.cage), first);
}

TEST_F(CageMeshBuild, OneQuadMesh) {
    host::Mesh mesh;
    mesh.points = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    mesh.polygons = {{host::kPolygonFace, {0, 1, 2, 3}}};
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, addObject("Quad", mesh).id), 4);
    EXPECT_EQ(cage->polygonCount, 1);
    EXPECT_EQ(cage->edgeCount, 8);
    EXPECT_NEAR(cage->perpendicularDistance, 5.0, 1e-12);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cage->pointArray[i]->onBorder, 1);
        EXPECT_EQ(cage->pointArray[i]->neighbourCount, 3);
    }
}

TEST_F(CageMeshBuild, OtherSizesAndTypesAreIgnoredWithTheirPoints) {
    host::Mesh mesh;
    mesh.points = {{0, 0, 0},    {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                   {0.5f, 2, 0}, {9, 9, 9}, {0, 0, 3}, {7, 7, 7}};
    mesh.polygons = {{host::kPolygonFace, {0, 1, 2, 3, 4}},
                     {host::kPolygonFace, {5}},
                     {host::makeId4('C', 'U', 'R', 'V'), {7, 1, 2, 3}},
                     {host::kPolygonFace, {6, 1, 0}},
                     {host::kPolygonFace, {2, 6}}};
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, addObject("Odd", mesh).id), 4);
    EXPECT_EQ(cage->polygonCount, 0);
    EXPECT_EQ(cage->trigonCount, 1);
    EXPECT_EQ(cage->linegonCount, 1);
    // Mesh points 0, 1, 2 and 6, in mesh order.
    expect3(cage->pointArray[0]->basePos, 0, 0, 0, kExact);
    expect3(cage->pointArray[1]->basePos, 1, 0, 0, kExact);
    expect3(cage->pointArray[2]->basePos, 1, 1, 0, kExact);
    expect3(cage->pointArray[3]->basePos, 0, 0, 3, kExact);
    const TrigonData* t = cage->trigonList;
    EXPECT_EQ(t->pnt[0], cage->pointArray[3]);
    EXPECT_EQ(t->pnt[1], cage->pointArray[1]);
    EXPECT_EQ(t->pnt[2], cage->pointArray[0]);
}

// Subdivision cages are polygons of their point count, like faces.
TEST_F(CageMeshBuild, PatchAndSubdivisionPolygonsBuildLikeFaces) {
    host::Mesh mesh = cubeMesh();
    mesh.polygons[0].type = host::kPolygonPatch;
    mesh.polygons[1].type = host::kPolygonSubdivision;
    mesh.polygons.push_back({host::kPolygonPatch, {0, 1, 5}});
    mesh.polygons.push_back({host::kPolygonSubdivision, {2, 6}});
    mesh.polygons.push_back({host::makeId4('B', 'O', 'N', 'E'), {0, 6}});
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, addObject("Patched", mesh).id), 8);
    EXPECT_EQ(cage->polygonCount, 6);
    EXPECT_EQ(cage->trigonCount, 1);
    EXPECT_EQ(cage->linegonCount, 1);
}

TEST_F(CageMeshBuild, BasePositionsAreScaledByTheObjectsScaling) {
    host::Mesh mesh;
    mesh.points = {{1, 1, 1}, {-2, 4, 0.5f}};
    mesh.polygons = {{host::kPolygonFace, {0, 1}}};
    host::Item& item = addObject("Scaled", mesh);
    const double pos[3] = {100, 200, 300}, scale[3] = {2, 3, 0.5};
    host::setMotion(layout.scene(), item.id, 0, pos, 0.0);
    host::setMotion(layout.scene(), item.id, 6, scale, 0.0);
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, item.id), 2);
    expect3(cage->pointArray[0]->basePos, 2, 3, 0.5, kExact);
    expect3(cage->pointArray[1]->basePos, -4, 12, 0.25, kExact);
    expect3(cage->pointArray[1]->restPos, -4, 12, 0.25, kExact);
    EXPECT_EQ(cage->refObject, nullptr);
    // 2.5 x |(-6, 9, -0.25)|.
    EXPECT_NEAR(cage->perpendicularDistance, 2.5 * std::sqrt(36 + 81 + 0.0625), 1e-12);
}

TEST_F(CageMeshBuild, WithAParentPointsAreTakenIntoTheParentsFrame) {
    host::Item& parent = layout.scene().addNull("Holder");
    const double ppos[3] = {10, 0, 0}, phpb[3] = {kPi / 2, 0, 0}, pscale[3] = {2, 2, 2};
    host::setMotion(layout.scene(), parent.id, 0, ppos, 0.0);
    host::setMotion(layout.scene(), parent.id, 3, phpb, 0.0);
    host::setMotion(layout.scene(), parent.id, 6, pscale, 0.0);

    host::Mesh mesh;
    mesh.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.polygons = {{host::kPolygonFace, {0, 1, 2}}};
    host::Item& item = addObject("Posed", mesh);
    // The deformed world positions the build reads.
    item.currentPoints = std::make_shared<const std::vector<host::Point>>(
        std::vector<host::Point>{{10, 0, -2}, {13, 1, 0}, {10, 5, 0}});

    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, item.id, parent.id), 3);
    // Parent axes after heading 90: right (0,0,-1), up (0,1,0), forward (1,0,0).
    expect3(cage->pointArray[0]->basePos, 2, 0, 0, kRot);
    expect3(cage->pointArray[1]->basePos, 0, 1, 3, kRot);
    expect3(cage->pointArray[2]->basePos, 0, 5, 0, kRot);
    expect3(cage->parentAxes[0], 0, 0, -1, kRot);
    expect3(cage->parentAxes[3], 10, 0, 0, kRot);
    EXPECT_EQ(cage->refObject, item.id);
    EXPECT_EQ(cage->refObjectIndex, 2); // the null comes first among objects
}

TEST_F(CageMeshBuild, ObjectsWithoutPolygonsOrPointsGiveAnEmptyCage) {
    OwnedCage cage;
    cage->perpendicularDistance = 3.0;
    EXPECT_EQ(build(cage.cage, layout.scene().addNull("Empty").id), 0);
    EXPECT_EQ(cage->pointCount, 0);
    EXPECT_EQ(cage->pointArray, nullptr);
    EXPECT_DOUBLE_EQ(cage->perpendicularDistance, 0.01);

    host::Mesh cloud;
    cloud.points = {{0, 0, 0}, {1, 1, 1}};
    EXPECT_EQ(build(cage.cage, addObject("Cloud", cloud).id), 0);
    EXPECT_EQ(cage->pointCount, 0);
    EXPECT_DOUBLE_EQ(cage->perpendicularDistance, 0.01);

    // Polygons whose every vertex is rejected leave no points either.
    host::Mesh pointsOnly;
    pointsOnly.points = {{0, 0, 0}, {1, 1, 1}};
    pointsOnly.polygons = {{host::kPolygonFace, {0}}, {host::kPolygonFace, {1}}};
    EXPECT_EQ(build(cage.cage, addObject("Dots", pointsOnly).id), 0);
    EXPECT_EQ(cage->pointArray, nullptr);
}

TEST_F(CageMeshBuild, DegenerateMeshesBuildWithoutNaN) {
    host::Mesh mesh;
    mesh.points = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    mesh.polygons = {{host::kPolygonFace, {0, 1, 2, 3}},
                     {host::kPolygonFace, {4, 5, 6}},
                     {host::kPolygonFace, {0, 1}},
                     {host::kPolygonFace, {4, 4, 5}}};
    OwnedCage cage;
    ASSERT_EQ(build(cage.cage, addObject("Flat", mesh).id), 7);
    rebuildCageRestData(cage.cage);
    for (int i = 0; i < cage->pointCount; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_FALSE(std::isnan(cage->pointArray[i]->normal[k]));
    EXPECT_EQ(cage->linegonList->restLength, 2e-6);
    for (const TrigonData* t = cage->trigonList; t; t = t->next)
        for (int k = 0; k < 3; ++k)
            EXPECT_GE(t->vertNorm[k][2], 1e-7);
}

// --- a fake mesh whose IDs, scan order and counts are chosen here ----------

struct FakeMesh {
    struct Poly {
        LWID type;
        std::vector<std::uint64_t> verts;
    };
    std::vector<std::uint64_t> ids; // scan order
    std::vector<std::vector<float>> pos;
    std::vector<Poly> polys;
    int reportedPoints = -1; // what Object Info says; -1: the true count
    int destroyed = 0;
    int handedOut = 0;
    LWMeshInfo info{};
};

FakeMesh* stFake = nullptr;

FakeMesh* fakeOf(LWMeshInfoID mesh) {
    return static_cast<FakeMesh*>(mesh->priv);
}

LWPntID pntId(std::uint64_t v) {
    return reinterpret_cast<LWPntID>(static_cast<std::uintptr_t>(v));
}

int indexOf(const FakeMesh* f, LWPntID id) {
    for (std::size_t i = 0; i < f->ids.size(); ++i)
        if (pntId(f->ids[i]) == id) return int(i);
    return -1;
}

void fakePos(LWMeshInfoID mesh, LWPntID pnt, LWFVector out) {
    const int i = indexOf(fakeOf(mesh), pnt);
    if (i < 0) return;
    for (int k = 0; k < 3; ++k)
        out[k] = fakeOf(mesh)->pos[std::size_t(i)][std::size_t(k)];
}

LWMeshInfo* makeFakeInfo(FakeMesh* f) {
    LWMeshInfo& m = f->info;
    m.priv = f;
    m.destroy = [](LWMeshInfoID mesh) { ++fakeOf(mesh)->destroyed; };
    m.numPoints = [](LWMeshInfoID mesh) { return int(fakeOf(mesh)->ids.size()); };
    m.numPolygons = [](LWMeshInfoID mesh) { return int(fakeOf(mesh)->polys.size()); };
    m.scanPoints = [](LWMeshInfoID mesh, LWPntScanFunc* fn, void* data) -> size_t {
        for (std::uint64_t id : fakeOf(mesh)->ids)
            if (size_t r = fn(data, pntId(id))) return r;
        return 0;
    };
    m.scanPolys = [](LWMeshInfoID mesh, LWPolScanFunc* fn, void* data) -> size_t {
        for (std::size_t i = 0; i < fakeOf(mesh)->polys.size(); ++i)
            if (size_t r = fn(data, reinterpret_cast<LWPolID>(i + 1))) return r;
        return 0;
    };
    m.pntBasePos = fakePos;
    m.pntOtherPos = fakePos;
    m.polType = [](LWMeshInfoID mesh, LWPolID pol) {
        return fakeOf(mesh)->polys[reinterpret_cast<std::uintptr_t>(pol) - 1].type;
    };
    m.polSize = [](LWMeshInfoID mesh, LWPolID pol) {
        return int(fakeOf(mesh)->polys[reinterpret_cast<std::uintptr_t>(pol) - 1].verts.size());
    };
    m.polVertex = [](LWMeshInfoID mesh, LWPolID pol, int v) {
        return pntId(
            fakeOf(mesh)->polys[reinterpret_cast<std::uintptr_t>(pol) - 1].verts[std::size_t(v)]);
    };
    return &m;
}

struct FakeServices {
    LWObjectInfo objectInfo{};
    LWItemInfo itemInfo{};
    explicit FakeServices(FakeMesh* f) {
        stFake = f;
        makeFakeInfo(f);
        objectInfo.numPoints = [](LWItemID) {
            return stFake->reportedPoints >= 0 ? stFake->reportedPoints : int(stFake->ids.size());
        };
        objectInfo.numPolygons = [](LWItemID) { return int(stFake->polys.size()); };
        objectInfo.meshInfo = [](LWItemID, int frozen) -> LWMeshInfoID {
            EXPECT_EQ(frozen, 1);
            ++stFake->handedOut;
            return &stFake->info;
        };
        itemInfo.param = [](LWItemID, LWItemParam param, LWTime, LWDVector v) {
            v[0] = v[1] = v[2] = param == LWIP_SCALING ? 1.0 : 0.0;
        };
    }
    ~FakeServices() { stFake = nullptr; }
    int build(CageInstance* cage) {
        return buildCageFromMesh(cage, &objectInfo, &itemInfo, nullptr, pntId(0x77), nullptr);
    }
};

TEST(CageFakeMeshBuild, PointArrayFollowsTheScanOrderNotIdsOrCreation) {
    FakeMesh f;
    f.ids = {0x30, 0x10, 0x20};
    f.pos = {{3, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    // Created 0x20, 0x10, 0x30; IDs sort 0x10, 0x20, 0x30; scanned 0x30, 0x10, 0x20.
    f.polys = {{LWPOLTYPE_FACE, {0x20, 0x10, 0x30}}};
    FakeServices s(&f);
    OwnedCage cage;
    ASSERT_EQ(s.build(cage.cage), 3);
    expect3(cage->pointArray[0]->basePos, 3, 0, 0, kExact);
    expect3(cage->pointArray[1]->basePos, 1, 0, 0, kExact);
    expect3(cage->pointArray[2]->basePos, 2, 0, 0, kExact);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(cage->pointArray[i]->index, unsigned(i));
    EXPECT_EQ(cage->trigonList->pnt[0], cage->pointArray[2]);
    EXPECT_EQ(cage->trigonList->pnt[1], cage->pointArray[1]);
    EXPECT_EQ(cage->trigonList->pnt[2], cage->pointArray[0]);
    EXPECT_EQ(f.handedOut, 1);
    EXPECT_EQ(f.destroyed, 1);
}

TEST(CageFakeMeshBuild, IdsSharingTheirLowBitsAreToldApart) {
    FakeMesh f;
    f.ids = {0x200000010ull, 0x5, 0x100000010ull, 0x300000010ull};
    f.pos = {{2, 0, 0}, {5, 0, 0}, {1, 0, 0}, {3, 0, 0}};
    f.polys = {{LWPOLTYPE_FACE, {0x100000010ull, 0x300000010ull}},
               {LWPOLTYPE_FACE, {0x5, 0x200000010ull}}};
    FakeServices s(&f);
    OwnedCage cage;
    ASSERT_EQ(s.build(cage.cage), 4);
    // The list runs newest first: (0x5, 0x2..) then (0x1.., 0x3..).
    const LinegonData* second = cage->linegonList;
    const LinegonData* first = second->next;
    expect3(first->pnt[0]->basePos, 1, 0, 0, kExact);
    expect3(first->pnt[1]->basePos, 3, 0, 0, kExact);
    expect3(second->pnt[0]->basePos, 5, 0, 0, kExact);
    expect3(second->pnt[1]->basePos, 2, 0, 0, kExact);
    // 2.5 x mean(2, 3).
    EXPECT_NEAR(cage->perpendicularDistance, 6.25, 1e-12);
}

TEST(CageFakeMeshBuild, PolygonsWithAnUnknownVertexAreSkippedWhole) {
    FakeMesh f;
    f.ids = {0x10, 0x20, 0x30, 0x40};
    f.pos = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    // 0x99 is not a point of the mesh: the quad makes no points at all.
    f.polys = {{LWPOLTYPE_FACE, {0x10, 0x20, 0x99, 0x40}}, {LWPOLTYPE_FACE, {0x20, 0x30}}};
    FakeServices s(&f);
    OwnedCage cage;
    ASSERT_EQ(s.build(cage.cage), 2);
    EXPECT_EQ(cage->polygonCount, 0);
    EXPECT_EQ(cage->linegonCount, 1);
    expect3(cage->pointArray[0]->basePos, 1, 0, 0, kExact);
    expect3(cage->pointArray[1]->basePos, 0, 1, 0, kExact);
}

TEST(CageFakeMeshBuild, PointsBeyondTheReportedCountAreDropped) {
    FakeMesh f;
    f.ids = {0x10, 0x20, 0x30, 0x40, 0x50};
    f.pos = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    f.reportedPoints = 3; // the object reports fewer points than its frozen mesh holds
    f.polys = {{LWPOLTYPE_FACE, {0x10, 0x20, 0x30}},
               {LWPOLTYPE_FACE, {0x10, 0x40, 0x50, 0x20}},
               {LWPOLTYPE_FACE, {0x30, 0x50}}};
    FakeServices s(&f);
    OwnedCage cage;
    ASSERT_EQ(s.build(cage.cage), 3);
    EXPECT_EQ(cage->trigonCount, 1);
    EXPECT_EQ(cage->polygonCount, 0);
    EXPECT_EQ(cage->linegonCount, 0);
    EXPECT_EQ(f.destroyed, 1);
}

TEST(CageFakeMeshBuild, EmptyObjectNeverAsksForAMesh) {
    FakeMesh f;
    FakeServices s(&f);
    OwnedCage cage;
    EXPECT_EQ(s.build(cage.cage), 0);
    EXPECT_EQ(f.handedOut, 0);
    EXPECT_EQ(f.destroyed, 0);
    EXPECT_DOUBLE_EQ(cage->perpendicularDistance, 0.01);
}

TEST(PntUserDataSort, SortsByTheLowBitsAndFindsEveryId) {
    std::mt19937_64 rng(7);
    constexpr int kCount = 500;
    std::vector<PntUserData> users(kCount);
    std::vector<PntUserData*> list;
    for (int i = 0; i < kCount; ++i) {
        // Few distinct low words, so many IDs share them; high words differ.
        const std::uint64_t id = (std::uint64_t(i + 1) << 32) | (rng() % 97);
        users[std::size_t(i)].id = pntId(id);
        users[std::size_t(i)].sequence = unsigned(i);
        list.push_back(&users[std::size_t(i)]);
    }
    sortPntUserDataList(list.data(), 0, kCount - 1);
    for (int i = 1; i < kCount; ++i)
        EXPECT_LE(std::uint32_t(reinterpret_cast<std::uintptr_t>(list[std::size_t(i - 1)]->id)),
                  std::uint32_t(reinterpret_cast<std::uintptr_t>(list[std::size_t(i)]->id)));
    for (const PntUserData& u : users)
        EXPECT_EQ(findPntUserData(list.data(), kCount, u.id), &u);
    EXPECT_EQ(findPntUserData(list.data(), kCount, pntId(0x5500000001ull)), nullptr);
    EXPECT_EQ(findPntUserData(list.data(), kCount, pntId(200)), nullptr);
    EXPECT_EQ(findPntUserData(list.data(), 0, users[0].id), nullptr);
}

TEST(PntUserDataSort, AlreadySortedAndReversedInputs) {
    constexpr int kCount = 64;
    std::vector<PntUserData> users(kCount);
    std::vector<PntUserData*> list;
    for (int i = 0; i < kCount; ++i) {
        users[std::size_t(i)].id = pntId(std::uint64_t(kCount - i));
        list.push_back(&users[std::size_t(i)]);
    }
    sortPntUserDataList(list.data(), 0, kCount - 1);
    for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(list[std::size_t(i)]->id, pntId(std::uint64_t(i + 1)));
    sortPntUserDataList(list.data(), 0, kCount - 1);
    for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(list[std::size_t(i)]->id, pntId(std::uint64_t(i + 1)));
}

} // namespace
