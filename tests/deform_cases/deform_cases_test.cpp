// The deformer's edge cases end to end: the module file in the stand-in
// host, cages made by the add-cage command, the mesh moved by GoToFrame.
#include "host/commands/commands.h"
#include "host/plugins/displacement.h"
#include "host/host.h"
#include "host/plugins/instances.h"
#include "host/mesh/mesh.h"
#include "host/commands/script.h"

#include "cage_instance.h"
#include "deform_instance.h"

#include <gtest/gtest.h>
#include <lwcustobj.h>
#include <lwdisplce.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <sstream>

namespace {

struct V {
    double x, y, z;
};

host::Mesh cubeMesh(double half = 1.0, V centre = {0, 0, 0}) {
    host::Mesh m;
    for (int i = 0; i < 8; ++i)
        m.points.push_back(host::Point{float(centre.x + ((i & 1) ? half : -half)),
                                       float(centre.y + ((i & 2) ? half : -half)),
                                       float(centre.z + ((i & 4) ? half : -half))});
    // Outward windings over the bit-coded corners above.
    const std::uint32_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                       {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads)
        m.polygons.push_back(host::Polygon{host::kPolygonFace, {q[0], q[1], q[2], q[3]}});
    return m;
}

host::Mesh cloud(const std::vector<V>& points) {
    host::Mesh m;
    for (const V& p : points)
        m.points.push_back(host::Point{float(p.x), float(p.y), float(p.z)});
    return m;
}

class DeformCases : public testing::Test {
  protected:
    DeformCases() : layout(out), script(layout) { layout.loadModule(MORVANE_MODULE_PATH); }

    void line(const std::string& text) { host::CommandInterpreter(layout).execute(text); }

    host::Item& add(const std::string& name, const host::Mesh& mesh) {
        host::Item& item = layout.scene().addObject(name, "/nowhere/" + name + ".obj",
                                                    std::make_shared<const host::Mesh>(mesh));
        layout.scene().select(item.id);
        return item;
    }

    // A cage built from the named object by the add-cage command.
    CageInstance* addCage(const std::string& reference) {
        std::set<void*> before = cageInstances();
        script.execute({"Respond", "OK", "Reference Object=" + reference});
        script.execute({"Generic", "Morvane Add"});
        for (void* c : cageInstances())
            if (!before.count(c)) return static_cast<CageInstance*>(c);
        ADD_FAILURE() << "no cage was made from " << reference;
        return nullptr;
    }

    std::set<void*> cageInstances() {
        std::set<void*> found;
        for (LWItemID id = layout.scene().first(LWI_OBJECT); id; id = layout.scene().next(id))
            for (host::ServerInstance* s : layout.instances().on(id, LWCUSTOMOBJ_HCLASS))
                found.insert(s->instance);
        return found;
    }

    DeformInstance* deformObject(const std::string& name) {
        layout.scene().select(layout.scene().find(name)->id);
        line("ApplyServer DisplacementHandler Zentrik_Morvane");
        auto on = layout.instances().on(layout.scene().find(name)->id, LWDISPLACEMENT_HCLASS);
        EXPECT_EQ(on.size(), 1u);
        return on.empty() ? nullptr : static_cast<DeformInstance*>(on[0]->instance);
    }

    // Cage point deltas are in the cage's frame, which add-cage put at the
    // reference object (the origin, unrotated, in every case here).
    static void shiftCage(CageInstance* cage, V d) {
        for (int i = 0; i < cage->pointCount; ++i) {
            cage->keyHead->deltas[3 * i] = d.x;
            cage->keyHead->deltas[3 * i + 1] = d.y;
            cage->keyHead->deltas[3 * i + 2] = d.z;
        }
    }

    // Index of the cage point whose base position is p.
    static int cagePointAt(const CageInstance* cage, V p) {
        for (int i = 0; i < cage->pointCount; ++i) {
            const double* b = cage->pointArray[i]->basePos;
            if (std::fabs(b[0] - p.x) < 1e-6 && std::fabs(b[1] - p.y) < 1e-6 &&
                std::fabs(b[2] - p.z) < 1e-6)
                return i;
        }
        ADD_FAILURE() << "no cage point at " << p.x << " " << p.y << " " << p.z;
        return 0;
    }

    const host::Point& now(const std::string& name, size_t i) {
        const host::Item* item = layout.scene().find(name);
        EXPECT_TRUE(item->currentPoints);
        return (*item->currentPoints)[i];
    }

    V moved(const std::string& name, size_t i) {
        const host::Point& c = now(name, i);
        const host::Point& b = layout.scene().find(name)->mesh->points[i];
        return V{double(c.x) - b.x, double(c.y) - b.y, double(c.z) - b.z};
    }

    std::ostringstream out;
    host::Host layout;
    host::ScriptRunner script;
};

#define EXPECT_V_NEAR(a, b, tol)                                                                   \
    do {                                                                                           \
        const V a_ = (a), b_ = (b);                                                                \
        EXPECT_NEAR(a_.x, b_.x, tol);                                                              \
        EXPECT_NEAR(a_.y, b_.y, tol);                                                              \
        EXPECT_NEAR(a_.z, b_.z, tol);                                                              \
    } while (0)

// ---- weight maps --------------------------------------------------------

class WeightMapped : public DeformCases {
  protected:
    // Five copies of one point inside the cube: weights 1, 0.5, unmapped,
    // 5e-8 (below the cut-off) and 0.
    WeightMapped() {
        add("cube", cubeMesh());
        cage = addCage("cube");
        host::Mesh m = cloud({{0.3, -0.2, 0.4},
                              {0.3, -0.2, 0.4},
                              {0.3, -0.2, 0.4},
                              {0.3, -0.2, 0.4},
                              {0.3, -0.2, 0.4}});
        m.weightMaps["w"] = {{0, 1.0f}, {1, 0.5f}, {3, 5e-8f}, {4, 0.0f}};
        add("pts", m);
        deform = deformObject("pts");
        cage->weightMapIndex = 1;
        std::strcpy(cage->weightMapName, "w");
    }
    // Only the +x face moves: a real bend, not a plain translation.
    void bend() {
        for (int i = 0; i < cage->pointCount; ++i)
            if (cage->pointArray[i]->basePos[0] > 0) {
                cage->keyHead->deltas[3 * i] = 0.4;
                cage->keyHead->deltas[3 * i + 1] = 0.1;
            }
    }
    CageInstance* cage = nullptr;
    DeformInstance* deform = nullptr;
};

TEST_F(WeightMapped, SkinMovesAHalfWeightedPointHalfAsFar) {
    shiftCage(cage, {0.3, -0.2, 0.5});
    line("GoToFrame 1");
    EXPECT_V_NEAR(moved("pts", 0), (V{0.3, -0.2, 0.5}), 1e-5);
    EXPECT_V_NEAR(moved("pts", 1), (V{0.15, -0.1, 0.25}), 1e-5);

    shiftCage(cage, {0, 0, 0});
    bend();
    line("GoToFrame 2");
    const V full = moved("pts", 0), half = moved("pts", 1);
    ASSERT_GT(std::fabs(full.x), 1e-3); // the bend reaches the point
    EXPECT_V_NEAR(half, (V{full.x / 2, full.y / 2, full.z / 2}), 1e-6);
}

TEST_F(WeightMapped, VolumeMovesAHalfWeightedPointTheFullDistance) {
    cage->mode = 1;
    cage->rebuildNeeded = 1;
    shiftCage(cage, {0.3, -0.2, 0.5});
    line("GoToFrame 1");
    EXPECT_V_NEAR(moved("pts", 0), (V{0.3, -0.2, 0.5}), 1e-5);
    EXPECT_V_NEAR(moved("pts", 1), (V{0.3, -0.2, 0.5}), 1e-5);

    shiftCage(cage, {0, 0, 0});
    bend();
    line("GoToFrame 2");
    const V full = moved("pts", 0);
    ASSERT_GT(std::fabs(full.x), 1e-3);
    EXPECT_V_NEAR(moved("pts", 1), full, 1e-6);
}

TEST_F(WeightMapped, UnmappedOrNearZeroWeightLeavesThePointAlone) {
    for (int mode : {0, 1}) {
        cage->mode = mode;
        cage->rebuildNeeded = 1;
        shiftCage(cage, {0.3, -0.2, 0.5});
        line("GoToFrame " + std::to_string(mode + 1));
        EXPECT_NEAR(moved("pts", 0).x, 0.3, 1e-5) << "mode " << mode;
        for (size_t i : {2u, 3u, 4u})
            EXPECT_V_NEAR(moved("pts", i), (V{0, 0, 0}), 0.0);
    }
}

TEST_F(WeightMapped, AMapNoObjectHasMovesEveryPointInFull) {
    // The cage names a map that is not there: no map, no weighting.
    std::strcpy(cage->weightMapName, "absent");
    shiftCage(cage, {0.3, -0.2, 0.5});
    line("GoToFrame 1");
    for (size_t i = 0; i < 5; ++i)
        EXPECT_V_NEAR(moved("pts", i), (V{0.3, -0.2, 0.5}), 1e-5);
}

// ---- rest shape at frame 0 ----------------------------------------------

// Two separate triangles ten apart; A rises by 1, B by 2. The object's point
// lies over A at frame 0 and is carried over B by frame 1.
class RestAtFrame0 : public DeformCases {
  protected:
    RestAtFrame0() {
        host::Mesh tris =
            cloud({{-6, -1, 0}, {-4, -1, 0}, {-5, 1, 0}, {4, -1, 0}, {6, -1, 0}, {5, 1, 0}});
        tris.polygons.push_back(host::Polygon{host::kPolygonFace, {0, 1, 2}});
        tris.polygons.push_back(host::Polygon{host::kPolygonFace, {3, 4, 5}});
        add("tris", tris);
        cage = addCage("tris");
        for (int i = 0; i < cage->pointCount; ++i)
            cage->keyHead->deltas[3 * i + 1] = cage->pointArray[i]->basePos[0] < 0 ? 1.0 : 2.0;
        add("pts", cloud({{-5, 0, 0.5}, {-5, -0.5, -0.25}}));
        deformObject("pts");
        line("Position 0 0 0");
        line("GoToFrame 1");
        line("SelectByName pts");
        line("Position 10 0 0");
    }
    CageInstance* cage = nullptr;
};

TEST_F(RestAtFrame0, WithoutItThePointBindsWhereItIsNow) {
    ASSERT_EQ(cage->trigonCount, 2);
    line("GoToFrame 1");
    const host::Point& p = now("pts", 0);
    EXPECT_NEAR(p.x, 5.0, 1e-5);
    EXPECT_NEAR(p.y, 2.0, 1e-5); // B's rise
    EXPECT_NEAR(p.z, 0.5, 1e-5);
}

TEST_F(RestAtFrame0, WithItTheBindingStaysWhereThePointWasAtFrame0) {
    cage->restShapeAtFrame0 = 1;
    cage->rebuildNeeded = 1;
    line("GoToFrame 0");
    EXPECT_NEAR(now("pts", 0).y, 1.0, 1e-5); // over A at frame 0 anyway
    line("GoToFrame 1");
    const host::Point& p = now("pts", 0);
    EXPECT_NEAR(p.x, 5.0, 1e-5);
    EXPECT_NEAR(p.y, 1.0, 1e-5); // still A's rise, though it is over B now
    EXPECT_NEAR(p.z, 0.5, 1e-5);
    EXPECT_NEAR(now("pts", 1).y, 0.5, 1e-5);
}

// ---- several cages ---------------------------------------------------------

TEST_F(DeformCases, TwoSkinCagesInAGroupMoveThePointByTheirMean) {
    add("near", cubeMesh());
    CageInstance* a = addCage("near");
    add("wide", cubeMesh(2.0));
    CageInstance* b = addCage("wide");
    ASSERT_TRUE(a && b && a != b);
    add("pts", cloud({{0.2, 0.1, -0.3}, {-0.5, 0.5, 0.5}}));
    DeformInstance* deform = deformObject("pts");
    std::strcpy(a->groupName, deform->groupName);
    std::strcpy(b->groupName, deform->groupName);
    shiftCage(a, {0.3, 0.0, 0.0});
    shiftCage(b, {0.0, 0.5, -0.1});
    line("GoToFrame 1");
    ASSERT_EQ(deform->cageCount, 2);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_V_NEAR(moved("pts", i), (V{0.15, 0.25, -0.05}), 1e-5);

    // Out of the group, a cage counts for nothing, not for a zero move.
    std::strcpy(b->groupName, "elsewhere");
    line("GoToFrame 2");
    for (size_t i = 0; i < 2; ++i)
        EXPECT_V_NEAR(moved("pts", i), (V{0.3, 0, 0}), 1e-5);
}

// ---- a point on a triangle ----------------------------------------------

class OnATriangle : public DeformCases, public testing::WithParamInterface<int> {};

TEST_P(OnATriangle, FollowsTheTrianglesAffineMotionExactly) {
    const V rest[3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
    const V now3[3] = {{0.1, 0.2, 0.0}, {2.5, 0.1, 0.3}, {-0.2, 1.8, 0.4}};
    host::Mesh tri = cloud({rest[0], rest[1], rest[2]});
    tri.polygons.push_back(host::Polygon{host::kPolygonFace, {0, 1, 2}});
    add("tri", tri);
    CageInstance* cage = addCage("tri");
    ASSERT_EQ(cage->pointCount, 3);
    cage->mode = GetParam();
    cage->rebuildNeeded = 1;
    for (int k = 0; k < 3; ++k) {
        const int i = cagePointAt(cage, rest[k]);
        cage->keyHead->deltas[3 * i] = now3[k].x - rest[k].x;
        cage->keyHead->deltas[3 * i + 1] = now3[k].y - rest[k].y;
        cage->keyHead->deltas[3 * i + 2] = now3[k].z - rest[k].z;
    }
    // Barycentric (a, b, c) over corners 0, 1, 2: inside, on an edge, on a
    // corner, on the long edge.
    const double bary[][3] = {{0.2, 0.3, 0.5}, {0.5, 0.5, 0}, {0, 0, 1}, {0, 0.25, 0.75}};
    std::vector<V> pts;
    for (const auto& w : bary)
        pts.push_back(V{w[1] * 2, w[2] * 2, 0});
    add("pts", cloud(pts));
    deformObject("pts");
    line("GoToFrame 1");
    for (size_t i = 0; i < pts.size(); ++i) {
        const double* w = bary[i];
        const V expected{w[0] * now3[0].x + w[1] * now3[1].x + w[2] * now3[2].x,
                         w[0] * now3[0].y + w[1] * now3[1].y + w[2] * now3[2].y,
                         w[0] * now3[0].z + w[1] * now3[1].z + w[2] * now3[2].z};
        const host::Point& p = now("pts", i);
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_V_NEAR((V{p.x, p.y, p.z}), expected, 2e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(SkinAndVolume, OnATriangle, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& p) {
                             return p.param ? "Volume" : "Skin";
                         });

// ---- points the deformer must not touch ---------------------------------

class FarAndBroken : public DeformCases, public testing::WithParamInterface<int> {
  protected:
    // A unit cube cage whose +x face rises by 0.5: the side faces tilt, so
    // a map applied far away would throw the point far.
    void bentCubeUnder(const std::vector<V>& points) {
        add("cube", cubeMesh());
        CageInstance* cage = addCage("cube");
        cage->mode = GetParam();
        cage->rebuildNeeded = 1;
        add("pts", cloud(points));
        deformObject("pts");
        for (int i = 0; i < cage->pointCount; ++i)
            if (cage->pointArray[i]->basePos[0] > 0) cage->keyHead->deltas[3 * i + 1] = 0.5;
        line("GoToFrame 1");
    }
    // Where the host placed point i before any handler, NaN for NaN.
    void expectUnmoved(size_t i) {
        const host::Item& item = *layout.scene().find("pts");
        const host::Point placed =
            host::worldPlacedPoints(layout.scene(), item, layout.scene().timing().time)[i];
        const host::Point& p = now("pts", i);
        SCOPED_TRACE("point " + std::to_string(i));
        const float got[3] = {p.x, p.y, p.z}, want[3] = {placed.x, placed.y, placed.z};
        for (int k = 0; k < 3; ++k) {
            if (std::isnan(want[k]))
                EXPECT_TRUE(std::isnan(got[k])) << "coordinate " << k;
            else
                EXPECT_EQ(got[k], want[k]) << "coordinate " << k;
        }
    }
    void expectOrdinaryPointBent(size_t i) {
        const double dy = moved("pts", i).y;
        EXPECT_GT(dy, 1e-3);
        EXPECT_LT(dy, 0.5 + 1e-6);
    }
};

TEST_P(FarAndBroken, ANaNCoordinateLeavesThePointWhereItIs) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    bentCubeUnder({{nan, 0.5, 0.5}, {0.1, 0.2, 0.3}, {0.5, 0.5, nan}, {nan, nan, nan}});
    ASSERT_TRUE(layout.scene().find("pts")->currentPoints);
    for (size_t i : {0u, 2u, 3u})
        expectUnmoved(i);
    expectOrdinaryPointBent(1);
}

// 1e30 + any move the cage could mean is still 1e30 in single precision;
// the point may only change if a map is carried out to its distance.
TEST_P(FarAndBroken, AHugeCoordinateLeavesThePointWhereItIs) {
    bentCubeUnder({{1e30, 0, 0},
                   {0.1, 0.2, 0.3},
                   {0, 1e30, 0},
                   {-1e30, 1e30, -1e30},
                   {0, 0, -1e30},
                   {0, 3e38, 0}});
    ASSERT_TRUE(layout.scene().find("pts")->currentPoints);
    for (size_t i : {0u, 2u, 3u, 4u, 5u})
        expectUnmoved(i);
    expectOrdinaryPointBent(1);
}

INSTANTIATE_TEST_SUITE_P(SkinAndVolume, FarAndBroken, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& p) {
                             return p.param ? "Volume" : "Skin";
                         });

// ---- no cages -------------------------------------------------------------

TEST_F(DeformCases, ADeformerWithoutAnyCageLeavesTheMeshUnchanged) {
    add("pts", cloud({{0, 0, 0}, {0.5, -0.25, 2}, {-3, 4, 1}}));
    DeformInstance* deform = deformObject("pts");
    line("GoToFrame 1");
    EXPECT_EQ(deform->cageCount, 0);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_V_NEAR(moved("pts", i), (V{0, 0, 0}), 0.0);
}

TEST_F(DeformCases, ADeformerWhoseGroupHasNoCageLeavesTheMeshUnchanged) {
    add("cube", cubeMesh());
    CageInstance* cage = addCage("cube");
    shiftCage(cage, {1, 1, 1});
    add("pts", cloud({{0, 0, 0}, {0.5, -0.25, 0.75}, {3, 0, 0}}));
    DeformInstance* deform = deformObject("pts");
    std::strcpy(cage->groupName, "some other group");
    for (int frame : {1, 2}) {
        cage->mode = frame - 1;
        cage->rebuildNeeded = 1;
        line("GoToFrame " + std::to_string(frame));
        EXPECT_EQ(deform->cageCount, 0);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_V_NEAR(moved("pts", i), (V{0, 0, 0}), 0.0);
    }
    // The same cage in the deformer's group does move it: the check above
    // is about the group, not a dead cage.
    std::strcpy(cage->groupName, deform->groupName);
    line("GoToFrame 3");
    EXPECT_V_NEAR(moved("pts", 0), (V{1, 1, 1}), 1e-5);
}

} // namespace
