// Throughput of the deformer: the per-point Evaluate call and the per-frame
// cage refresh, through the module file as the host loads it.
//
// The scene is built the way a user builds it: a reference object, the
// add-cage command, the displacement handler on a point cloud. The timed
// loops then make the host's own per-point call (the handler record's
// evaluate) with the access record the host would fill, so the host's
// transform and bookkeeping stay out of the Evaluate numbers; BM_HostFrame
// shows the whole frame for comparison.
#include "bench/bench_shapes.h"
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

// One scene: a cage of `quads` quads deforming `points` points. Only one
// host may live at a time, so the scene is rebuilt when a benchmark asks for
// another shape.
struct Scene : bench::ModuleScene {
    int cageN = 0;
    int points = 0;
    int placement = 0; // 0 cube cloud, 1 shell, 2 sphere mesh

    Scene(int n, int count, int where)
        : ModuleScene(
              MORVANE_MODULE_PATH, bench::sphereCage(n),
              std::make_shared<const host::Mesh>(
                  where == 2 ? bench::sphereMesh(count) : bench::pointCloud(count, where == 1))),
          cageN(n), points(count), placement(where) {
        bench::bendCage(cage); // so every blend does real work
    }

    double evaluate(size_t i, double shift = 0.0) {
        double r[3];
        ModuleScene::evaluate(i, r, shift);
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

// The settings of a whole-frame benchmark (Args: mode, quads per side, mesh
// points, placement, bind cache 0 off / 1 on), and its scene in that mode.
Scene& frameScene(benchmark::State& state, int threads) {
    setenv("MORVANE_THREADS", std::to_string(threads).c_str(), 1);
    if (state.range(4))
        unsetenv("MORVANE_BIND_CACHE");
    else
        setenv("MORVANE_BIND_CACHE", "off", 1);
    Scene& s = sceneFor(int(state.range(1)), int(state.range(2)), int(state.range(3)));
    s.setMode(int(state.range(0)));
    return s;
}

// A whole frame as the host runs it: NewTime, then every point's Evaluate,
// each point moved by `shift` along x before the deformer.
double wholeFrame(Scene& s, double shift = 0.0) {
    s.newFrame();
    double sum = 0.0;
    for (size_t i = 0; i < s.mesh->points.size(); ++i)
        sum += s.evaluate(i, shift);
    return sum;
}

void endFrameBench(benchmark::State& state, const Scene& s, const std::string& label) {
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(s.mesh->points.size()));
    state.counters["cache_MB"] = double(s.deform->bindCacheBytes) / double(1 << 20);
    addCageCounters(state, s);
    state.SetLabel(std::string(state.range(0) ? "Volume" : "Skin") + label);
    unsetenv("MORVANE_BIND_CACHE");
    unsetenv("MORVANE_THREADS");
}

// Args: those of frameScene, threads. A whole frame of a static object and
// cage whose key shape changes. With the cache on, every frame after the
// first finds each point's binding there; with more than one thread, the
// frame pass works the points out ahead at the first call. Wall time.
void BM_Frame(benchmark::State& state) {
    const int threads = int(state.range(5));
    Scene& s = frameScene(state, threads);
    wholeFrame(s); // fills the cache
    for (auto _ : state)
        benchmark::DoNotOptimize(wholeFrame(s));
    endFrameBench(state, s,
                  (state.range(4) ? " cached, " : " searched, ") + std::to_string(threads) +
                      " threads");
}

// Args: those of frameScene. A whole frame of an object whose points move
// at every frame before the deformer (as bones would move them): no point
// is where it was, so the caches find nothing and the frame pass steps
// aside. One thread.
void BM_MovingFrame(benchmark::State& state) {
    Scene& s = frameScene(state, 1);
    double shift = 0.0;
    for (auto _ : state)
        benchmark::DoNotOptimize(wholeFrame(s, shift += 1e-4));
    endFrameBench(state, s, state.range(4) ? " cache on" : " cache off");
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
        // Small frames, either side of the work a pass needs.
        for (int points : {2000, 8000})
            b->Args({0, 4, points, 2, 1, threads});
        b->Args({1, 4, 500, 2, 1, threads});
    }
}

BENCHMARK(BM_Frame)->Apply(frameArgs)->UseRealTime()->Unit(benchmark::kMillisecond);
void movingArgs(benchmark::internal::Benchmark* b) {
    for (int mode : {0, 1})
        for (int cached : {0, 1})
            b->Args({mode, 4, 25000, 2, cached});
}
BENCHMARK(BM_MovingFrame)->Apply(movingArgs)->Unit(benchmark::kMillisecond);
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
