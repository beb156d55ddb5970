// A cage made by the add-cage command from a mesh, a deformed object, and
// the host's per-point call made directly: a test evaluates any points (or
// any positions) in any order after any NewTime, as the host may.
#ifndef MORVANE_TESTS_DEFORM_CASES_POINT_HARNESS_H
#define MORVANE_TESTS_DEFORM_CASES_POINT_HARNESS_H

#include "host/commands/commands.h"
#include "host/host.h"
#include "host/plugins/instances.h"
#include "host/mesh/mesh.h"
#include "host/mesh/mesh_info.h"
#include "host/commands/script.h"

#include "cage_instance.h"
#include "deform_instance.h"

#include <gtest/gtest.h>
#include <lwdisplce.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace harness {

using P3 = std::array<double, 3>;

inline host::Mesh meshOf(const std::vector<P3>& points,
                         const std::vector<std::vector<std::uint32_t>>& faces = {}) {
    host::Mesh m;
    for (const P3& p : points)
        m.points.push_back(host::Point{float(p[0]), float(p[1]), float(p[2])});
    for (const auto& f : faces)
        m.polygons.push_back(host::Polygon{host::kPolygonFace, f});
    return m;
}

// A box of n x n quads a side over [-1, 1]^3, its layers turned about z by
// up to `twist` radians at the top and leaning by `bend` along x with height.
inline host::Mesh boxCage(int n, double twist = 0.0, double bend = 0.0) {
    std::vector<P3> pts;
    std::map<std::array<int, 3>, std::uint32_t> index;
    auto point = [&](int i, int j, int k) {
        const std::array<int, 3> key = {i, j, k};
        auto found = index.find(key);
        if (found != index.end()) return found->second;
        const double x = 2.0 * i / n - 1.0, y = 2.0 * j / n - 1.0, z = 2.0 * k / n - 1.0;
        const double a = twist * 0.5 * (z + 1.0);
        pts.push_back({x * std::cos(a) - y * std::sin(a) + bend * (z + 1.0) * (z + 1.0),
                       x * std::sin(a) + y * std::cos(a), z});
        return index[key] = std::uint32_t(pts.size() - 1);
    };
    std::vector<std::vector<std::uint32_t>> faces;
    for (int u = 0; u < n; ++u)
        for (int v = 0; v < n; ++v) {
            faces.push_back(
                {point(u, v, 0), point(u, v + 1, 0), point(u + 1, v + 1, 0), point(u + 1, v, 0)});
            faces.push_back(
                {point(u, v, n), point(u + 1, v, n), point(u + 1, v + 1, n), point(u, v + 1, n)});
            faces.push_back(
                {point(u, 0, v), point(u + 1, 0, v), point(u + 1, 0, v + 1), point(u, 0, v + 1)});
            faces.push_back(
                {point(u, n, v), point(u, n, v + 1), point(u + 1, n, v + 1), point(u + 1, n, v)});
            faces.push_back(
                {point(0, u, v), point(0, u, v + 1), point(0, u + 1, v + 1), point(0, u + 1, v)});
            faces.push_back(
                {point(n, u, v), point(n, u + 1, v), point(n, u + 1, v + 1), point(n, u, v + 1)});
        }
    return meshOf(pts, faces);
}

// An open sheet of n x n quads over [-1, 1]^2, waved in z by amp.
inline host::Mesh sheetCage(int n, double amp) {
    std::vector<P3> pts;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            const double x = 2.0 * i / n - 1.0, y = 2.0 * j / n - 1.0;
            pts.push_back({x, y, amp * std::sin(2.0 * x) * std::cos(1.5 * y)});
        }
    std::vector<std::vector<std::uint32_t>> faces;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const std::uint32_t a = std::uint32_t(j * (n + 1) + i);
            faces.push_back({a, a + 1, a + std::uint32_t(n) + 2, a + std::uint32_t(n) + 1});
        }
    return meshOf(pts, faces);
}

// A cube whose bottom and one side are split into triangles, with a chain
// of linegons through its middle and a loose triangle beside it.
inline host::Mesh mixedCage() {
    std::vector<P3> pts;
    for (int i = 0; i < 8; ++i)
        pts.push_back({(i & 1) ? 1.0 : -1.0, (i & 2) ? 1.0 : -1.0, (i & 4) ? 1.0 : -1.0});
    pts.push_back({0, 0, -0.8});
    pts.push_back({0.1, 0.1, 0});
    pts.push_back({0, -0.1, 0.8});
    pts.push_back({1.6, 0, 0});
    pts.push_back({1.6, 0.8, 0});
    pts.push_back({1.8, 0.2, 0.7});
    return meshOf(pts, {{0, 2, 3},
                        {0, 3, 1},
                        {4, 5, 7, 6},
                        {0, 1, 5, 4},
                        {2, 6, 7, 3},
                        {0, 4, 6},
                        {0, 6, 2},
                        {1, 3, 7, 5},
                        {8, 9},
                        {9, 10},
                        {11, 12, 13}});
}

// The scene: the cage made from `cage`, the object made of `points`, the
// deformer applied to it. Both sit at the origin unrotated, so object,
// world and cage coordinates agree.
class PointHarness {
  public:
    PointHarness(const host::Mesh& cageShape, const host::Mesh& points) : layout_(out_) {
        layout_.loadModule(MORVANE_MODULE_PATH);
        host::ScriptRunner script(layout_);
        layout_.scene().addObject("shape", "/nowhere/shape.obj",
                                  std::make_shared<const host::Mesh>(cageShape));
        script.execute({"Respond", "OK", "Reference Object=shape"});
        script.execute({"Generic", "Morvane Add"});
        mesh_ = std::make_shared<const host::Mesh>(points);
        host::Item& object = layout_.scene().addObject("points", "/nowhere/points.obj", mesh_);
        layout_.scene().select(object.id);
        host::CommandInterpreter(layout_).execute(
            "ApplyServer DisplacementHandler Zentrik_Morvane");
        cage = static_cast<CageInstance*>(
            layout_.instances().on(layout_.scene().find("_Cage")->id)[0]->instance);
        handler_ = layout_.instances().on(object.id, LWDISPLACEMENT_HCLASS)[0];
        deform = static_cast<DeformInstance*>(handler_->instance);
        info_ = host::newMeshInfo(mesh_);
    }
    ~PointHarness() {
        if (info_) info_->destroy(info_);
    }
    PointHarness(const PointHarness&) = delete;
    PointHarness& operator=(const PointHarness&) = delete;

    // Cage-local deltas for every cage point of the first key, from its base.
    template <class F> void key(F delta) {
        for (int i = 0; i < cage->pointCount; ++i) {
            const double* b = cage->pointArray[i]->basePos;
            const P3 d = delta(P3{b[0], b[1], b[2]});
            for (int c = 0; c < 3; ++c)
                cage->keyHead->deltas[3 * i + c] = d[c];
        }
    }
    // Mode and falloff; a changed mode rebuilds the cage's grids.
    void set(int mode, int falloff) {
        if (cage->mode != mode) cage->rebuildNeeded = 1;
        cage->mode = mode;
        cage->falloffType = falloff;
        newTime();
    }
    // The cage item moved to `at` in the world (for every frame).
    void placeCage(const P3& at) {
        host::ScriptRunner script(layout_);
        script.execute({"SelectByName", "_Cage"});
        script.execute(
            {"Position", std::to_string(at[0]), std::to_string(at[1]), std::to_string(at[2])});
    }
    // The host's NewTime for every handler, at frame 0: the deformer then
    // starts afresh, its cages refreshing at the next evaluation.
    void newTime() { layout_.instances().newTime(0, 0.0); }
    host::Host& host() { return layout_; }

    // The host's call for point i, or for point i moved to `at`.
    P3 evaluate(std::size_t i) {
        const host::Point& p = mesh_->points[i];
        return evaluateAt(P3{p.x, p.y, p.z}, i);
    }
    P3 evaluateAt(const P3& at, std::size_t i = 0) { return evaluateFrom(at, at, i); }
    // The same with the object's position (oPos) apart from the world one.
    P3 evaluateFrom(const P3& objectPos, const P3& at, std::size_t i) {
        LWDisplacementAccess access{};
        for (int c = 0; c < 3; ++c) {
            access.oPos[c] = objectPos[c];
            access.source[c] = at[c];
        }
        access.point = host::pointId(info_, std::uint32_t(i));
        access.info = info_;
        handler_->server->displacement.evaluate(handler_->instance, &access);
        return {access.source[0], access.source[1], access.source[2]};
    }

    CageInstance* cage = nullptr;
    DeformInstance* deform = nullptr;

  private:
    std::ostringstream out_;
    host::Host layout_;
    std::shared_ptr<const host::Mesh> mesh_;
    host::ServerInstance* handler_ = nullptr;
    LWMeshInfo* info_ = nullptr;
};

} // namespace harness

#endif // MORVANE_TESTS_DEFORM_CASES_POINT_HARNESS_H
