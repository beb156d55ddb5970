// Throughput of the deformer: the per-point Evaluate call and the per-frame
// cage refresh, through the module file as the host loads it.
//
// The scene is built the way a user builds it: a reference object, the
// add-cage command, the displacement handler on a point cloud. The timed
// loops then make the host's own per-point call (the handler record's
// evaluate) with the access record the host would fill, so the host's
// transform and bookkeeping stay out of the Evaluate numbers; BM_HostFrame
// shows the whole frame for comparison.
#include "bench/module_scene.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A cube whose faces are cut into n x n quads, pushed out onto the unit
// sphere: 6 n^2 quads (4 fan triangles each) and no flat regions, so the
// search cannot shortcut through coplanar neighbours.
host::Mesh sphereCage(int n) {
    host::Mesh mesh;
    std::map<std::tuple<int, int, int>, std::uint32_t> index;
    auto at = [&](int i, int j, int k) {
        auto key = std::make_tuple(i, j, k);
        auto found = index.find(key);
        if (found != index.end()) return found->second;
        double p[3] = {2.0 * i / n - 1.0, 2.0 * j / n - 1.0, 2.0 * k / n - 1.0};
        double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        mesh.points.push_back(host::Point{float(p[0] / len), float(p[1] / len), float(p[2] / len)});
        std::uint32_t id = std::uint32_t(mesh.points.size() - 1);
        index.emplace(key, id);
        return id;
    };
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side <= n; side += n) {
            const int b = (axis + 1) % 3, c = (axis + 2) % 3;
            // (b, c) then runs counter-clockwise seen from outside on the
            // positive side; the negative side turns the other way.
            const bool flip = side == 0;
            for (int u = 0; u < n; ++u)
                for (int v = 0; v < n; ++v) {
                    int corner[4][2] = {{u, v}, {u + 1, v}, {u + 1, v + 1}, {u, v + 1}};
                    host::Polygon poly;
                    for (int q = 0; q < 4; ++q) {
                        int ijk[3];
                        ijk[axis] = side;
                        ijk[b] = corner[flip ? 3 - q : q][0];
                        ijk[c] = corner[flip ? 3 - q : q][1];
                        poly.points.push_back(at(ijk[0], ijk[1], ijk[2]));
                    }
                    mesh.polygons.push_back(poly);
                }
        }
    return mesh;
}

// Uniform in the cube around the cage (most points deep inside it), or a
// shell within 0.05 of the cage surface, where a skinned mesh usually lies.
// Both come in random order, so consecutive points land anywhere on the
// cage: the worst case for the caches.
host::Mesh pointCloud(int count, bool shell) {
    host::Mesh mesh;
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> u(-1.2f, 1.2f);
    std::uniform_real_distribution<float> r(0.95f, 1.05f);
    mesh.points.reserve(size_t(count));
    while (mesh.points.size() < size_t(count)) {
        host::Point p{u(rng), u(rng), u(rng)};
        if (shell) {
            float len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            if (len < 1e-3f) continue;
            float k = r(rng) / len;
            p = host::Point{p.x * k, p.y * k, p.z * k};
        }
        mesh.points.push_back(p);
    }
    return mesh;
}

// A skinned mesh inside the cage: a latitude-longitude sphere of radius
// 0.95 with a slight ripple, its points in the row-by-row order a modelled
// mesh has, so consecutive points are neighbours.
host::Mesh sphereMesh(int count) {
    host::Mesh mesh;
    const int rows = std::max(2, int(std::sqrt(count / 2.0)));
    const int cols = std::max(3, count / rows);
    const double pi = 3.14159265358979323846;
    mesh.points.reserve(size_t(rows) * size_t(cols));
    for (int i = 0; i < rows; ++i) {
        const double lat = pi * (i + 0.5) / rows - pi / 2;
        for (int j = 0; j < cols; ++j) {
            const double lon = 2 * pi * j / cols;
            const double rad = 0.95 + 0.02 * std::sin(7 * lat) * std::cos(5 * lon);
            mesh.points.push_back(host::Point{float(rad * std::cos(lat) * std::cos(lon)),
                                              float(rad * std::sin(lat)),
                                              float(rad * std::cos(lat) * std::sin(lon))});
        }
    }
    return mesh;
}

// One scene: a cage of `quads` quads deforming `points` points. Only one
// host may live at a time, so the scene is rebuilt when a benchmark asks for
// another shape.
struct Scene : bench::ModuleScene {
    int cageN = 0;
    int points = 0;
    int placement = 0; // 0 cube cloud, 1 shell, 2 sphere mesh

    Scene(int n, int count, int where)
        : ModuleScene(MORVANE_MODULE_PATH, sphereCage(n),
                      std::make_shared<const host::Mesh>(
                          where == 2 ? sphereMesh(count) : pointCloud(count, where == 1))),
          cageN(n), points(count), placement(where) {
        // A smooth bend of the whole cage, so every blend does real work.
        for (int i = 0; i < cage->pointCount; ++i) {
            const double* p = cage->pointArray[i]->basePos;
            double* d = cage->keyHead->deltas + 3 * i;
            d[0] = 0.15 * std::sin(3.0 * p[1]);
            d[1] = 0.10 * std::cos(2.0 * p[2]) * p[0];
            d[2] = 0.05 * p[2] * p[2];
        }
    }

    double evaluate(size_t i) {
        double r[3];
        ModuleScene::evaluate(i, r);
        return r[0] + r[1] + r[2];
    }
};

std::unique_ptr<Scene> stScene;

Scene& sceneFor(int n, int count, int placement = 0) {
    if (!stScene || stScene->cageN != n || stScene->points != count ||
        stScene->placement != placement) {
        stScene.reset();
        stScene = std::make_unique<Scene>(n, count, placement);
        stScene->newFrame();
        stScene->evaluate(0);
    }
    return *stScene;
}

void addCageCounters(benchmark::State& state, const Scene& s) {
    state.counters["cage_quads"] = double(s.cage->polygonCount);
    state.counters["cage_points"] = double(s.cage->pointCount);
}

// Args: mode (0 Skin, 1 Volume), quads per cube-face side, mesh points,
// placement (0 cube cloud, 1 shell, 2 sphere mesh). Every point is searched
// (the bind cache is off), as at a frame where the object or cage moved,
// and worked out in its own call (no frame pass).
void BM_Evaluate(benchmark::State& state) {
    setenv("MORVANE_BIND_CACHE", "off", 1);
    setenv("MORVANE_THREADS", "1", 1); // call by call, in this thread
    Scene& s = sceneFor(int(state.range(1)), int(state.range(2)), int(state.range(3)));
    s.setMode(int(state.range(0)));
    s.newFrame();
    const size_t count = s.mesh->points.size();
    for (auto _ : state) {
        double sum = 0.0;
        for (size_t i = 0; i < count; ++i)
            sum += s.evaluate(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(count));
    addCageCounters(state, s);
    static const char* const kPlacement[] = {" cloud", " shell", " mesh"};
    state.SetLabel(std::string(state.range(0) ? "Volume" : "Skin") + kPlacement[state.range(3)]);
    unsetenv("MORVANE_BIND_CACHE");
    unsetenv("MORVANE_THREADS");
}

// Args: mode, quads per side, mesh points, placement, bind cache (0 off, 1
// on), threads. A whole frame as the host runs it for a static object and
// cage whose key shape changes: NewTime, then every point's Evaluate. With
// the cache on, every frame after the first finds each point's binding
// there; with more than one thread, the frame pass works the points out
// ahead at the first call. Wall time.
void BM_Frame(benchmark::State& state) {
    const bool cached = state.range(4) != 0;
    const int threads = int(state.range(5));
    setenv("MORVANE_THREADS", std::to_string(threads).c_str(), 1);
    if (cached)
        unsetenv("MORVANE_BIND_CACHE");
    else
        setenv("MORVANE_BIND_CACHE", "off", 1);
    Scene& s = sceneFor(int(state.range(1)), int(state.range(2)), int(state.range(3)));
    s.setMode(int(state.range(0)));
    const size_t count = s.mesh->points.size();
    auto frame = [&] {
        s.newFrame();
        double sum = 0.0;
        for (size_t i = 0; i < count; ++i)
            sum += s.evaluate(i);
        return sum;
    };
    frame(); // fills the cache
    for (auto _ : state)
        benchmark::DoNotOptimize(frame());
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(count));
    state.counters["cache_MB"] = double(s.deform->bindCacheBytes) / double(1 << 20);
    addCageCounters(state, s);
    state.SetLabel(std::string(state.range(0) ? "Volume" : "Skin") +
                   (cached ? " cached, " : " searched, ") + std::to_string(threads) + " threads");
    unsetenv("MORVANE_BIND_CACHE");
    unsetenv("MORVANE_THREADS");
}

// Args: mode, quads per side, rebuild (0/1). One frame change and the first
// point's Evaluate, which runs the cage's per-frame computation; that one
// point's own cost rides along (a whole-cage weighting in Volume).
void BM_Refresh(benchmark::State& state) {
    Scene& s = sceneFor(int(state.range(1)), 1000);
    s.setMode(int(state.range(0)));
    const bool rebuild = state.range(2) != 0;
    for (auto _ : state) {
        if (rebuild) s.cage->rebuildNeeded = 1;
        s.newFrame();
        benchmark::DoNotOptimize(s.evaluate(0));
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    addCageCounters(state, s);
    state.SetLabel(std::string(state.range(0) ? "Volume" : "Skin") +
                   (rebuild ? " rebuild" : " refresh"));
}

// Args: mode, quads per side, mesh points. The host's whole frame: NewTime,
// transforms, the pass, the float copy-out.
void BM_HostFrame(benchmark::State& state) {
    Scene& s = sceneFor(int(state.range(1)), int(state.range(2)));
    s.setMode(int(state.range(0)));
    for (auto _ : state) {
        ++s.frame;
        s.layout->goToTime(s.frame / s.layout->scene().timing().framesPerSecond);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(s.mesh->points.size()));
    addCageCounters(state, s);
    state.SetLabel(state.range(0) ? "Volume" : "Skin");
}

// 4, 13, 41 quads per side: 96, 1014 and 10086 quads.
constexpr int kSides[] = {4, 13, 41};

void evaluateArgs(benchmark::internal::Benchmark* b) {
    // Grouped by scene so each scene is built once.
    for (int placement : {0, 1, 2})
        for (int side : kSides)
            for (int count : {10000, 100000, 1000000})
                for (int mode : {0, 1}) {
                    const double triangles = 24.0 * side * side;
                    if (mode == 1) {
                        // Volume weighs every fan triangle for every point
                        // (~3.5 ns each here): a pass of more than ~5e9
                        // pairs takes minutes. The shell is a cloud for it.
                        if (placement == 1 || double(count) * triangles > 5e9) continue;
                    } else {
                        // Deep inside the 1e4-quad cage the search covers
                        // much of it (~0.1 ms a point); random order beyond
                        // 1e5 points shows nothing new.
                        if (placement == 0 && side > 13 && count > 10000) continue;
                        if (placement == 1 && count > 100000) continue;
                    }
                    b->Args({mode, side, count, placement});
                }
}

void refreshArgs(benchmark::internal::Benchmark* b) {
    for (int side : kSides)
        for (int mode : {0, 1})
            for (int rebuild : {0, 1})
                b->Args({mode, side, rebuild});
}

BENCHMARK(BM_Evaluate)->Apply(evaluateArgs)->Unit(benchmark::kMillisecond);
void frameArgs(benchmark::internal::Benchmark* b) {
    for (int threads : {1, 2}) {
        for (int placement : {2, 0})
            for (int cached : {0, 1})
                b->Args({0, 13, 100000, placement, cached, threads});
        for (int mode : {0, 1})
            for (int cached : {0, 1})
                b->Args({mode, 4, 25000, 2, cached, threads});
    }
}

BENCHMARK(BM_Frame)->Apply(frameArgs)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refresh)->Apply(refreshArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HostFrame)
    ->Args({0, 13, 100000})
    ->Args({1, 13, 100000})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stScene.reset();
    return 0;
}
