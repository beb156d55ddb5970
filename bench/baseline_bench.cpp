// The cage deformer beside the usual dense approach, mean value coordinates
// (bench/mvc_baseline.h), on the same mesh, the same cage and the same
// posed cage shape. Each case times the baseline's bind (every point's
// weights over every cage vertex) and one frame from those weights, then one
// whole frame of the module in Skin and in Volume mode: the frame change
// and every point's Evaluate, through the module file as the host loads it.
//
// Cases: 0 a generated organic body of 25,002 points in a 122-point cage
// (bench/organic_mesh.h), 1 the demo's arm (20,002 points, its 63-point
// cage; the baseline takes the cage's closed quad surface, 56 points, as
// triangles, and leaves out the linegon chain along the axis).
#include "bench/mesh_arrays.h"
#include "bench/module_scene.h"
#include "bench/mvc_baseline.h"
#include "bench/organic_mesh.h"

#include "host/mesh/obj_reader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using mvc::Vec3;

constexpr double kPi = 3.14159265358979323846;

// The body's upper part turns 40 degrees about +Y and leans 25 degrees
// towards +X, more the higher it sits: a key a user might set on a torso.
Vec3 poseOrganic(const Vec3& p) {
    const double t = std::clamp((p[1] + 0.3) / 1.6, 0.0, 1.0);
    const double share = t * t * (3.0 - 2.0 * t);
    const double twist = kPi / 180.0 * 40.0 * share, lean = kPi / 180.0 * 25.0 * share;
    const double x = p[0] * std::cos(twist) + p[2] * std::sin(twist);
    const double z = -p[0] * std::sin(twist) + p[2] * std::cos(twist);
    return {x * std::cos(lean) + p[1] * std::sin(lean), -x * std::sin(lean) + p[1] * std::cos(lean),
            z};
}

// The demo arm's key at 2 seconds (examples/make_arm_scene.py): the forearm
// twisted 45 degrees at the wrist, then bent 90 degrees at the elbow (y = 1)
// towards +Z, the elbow ring taking half the bend.
Vec3 poseArm(const Vec3& p) {
    const double elbow = 1.0, length = 2.0, bend = kPi / 2, twistAtWrist = kPi / 4;
    double x = p[0], y = p[1], z = p[2];
    if (y > elbow) {
        const double t = twistAtWrist * (y - elbow) / (length - elbow);
        const double nx = x * std::cos(t) + z * std::sin(t);
        z = -x * std::sin(t) + z * std::cos(t);
        x = nx;
    }
    const double share = y < elbow - 1e-9 ? 0.0 : std::fabs(y - elbow) < 1e-9 ? 0.5 : 1.0;
    const double a = bend * share, dy = y - elbow, dz = z;
    return {x, elbow + dy * std::cos(a) - dz * std::sin(a), dy * std::sin(a) + dz * std::cos(a)};
}

struct Case {
    const char* name;
    host::Mesh cage; // as modelled: the baseline takes its surface only
    std::shared_ptr<const host::Mesh> mesh;
    Vec3 (*pose)(const Vec3&);
};

Case makeCase(int which) {
    if (which == 0)
        return Case{"organic", bench::organicCage(10, 12, 7),
                    std::make_shared<const host::Mesh>(bench::organicBody(125, 200, 7)),
                    poseOrganic};
    const std::string dir = MORVANE_EXAMPLES_DIR;
    return Case{"arm", host::readObj(dir + "/arm_cage.obj"),
                std::make_shared<const host::Mesh>(host::readObj(dir + "/arm_tube.obj")), poseArm};
}

// One case with both deformers set up. Only one module scene may live at a
// time, so the case is rebuilt when a benchmark asks for another.
struct Setup {
    int which;
    Case input;
    mvc::Cage surface;       // the baseline's cage, at rest
    std::vector<Vec3> posed; // ... and posed
    std::vector<Vec3> rest;  // the mesh's points
    std::optional<mvc::Binding> binding;
    std::unique_ptr<bench::ModuleScene> scene;
    double cageMismatch = 0.0; // largest distance between the two posed cages

    explicit Setup(int w) : which(w), input(makeCase(w)) {
        surface = bench::cageOf(input.cage);
        for (const Vec3& p : surface.points)
            posed.push_back(input.pose(p));
        rest = bench::pointsOf(*input.mesh);
        scene = std::make_unique<bench::ModuleScene>(MORVANE_MODULE_PATH, input.cage, input.mesh);
        CageInstance* cage = scene->cage;
        // The module's cage holds one key: its deltas give the posed shape.
        for (int i = 0; i < cage->pointCount; ++i) {
            const double* base = cage->pointArray[i]->basePos;
            const Vec3 to = input.pose({base[0], base[1], base[2]});
            for (int k = 0; k < 3; ++k)
                cage->keyHead->deltas[3 * i + k] = to[k] - base[k];
        }
        scene->newFrame();
        double ignored[3];
        scene->evaluate(0, ignored);
        // Both deformers must see one shape: each surface point of the
        // baseline's cage against the module's nearest cage point.
        for (const Vec3& q : posed) {
            double nearest = 1e300;
            for (int i = 0; i < cage->pointCount; ++i) {
                const double* at = cage->pointArray[i]->worldOtherPos;
                nearest = std::min(nearest, std::hypot(at[0] - q[0], at[1] - q[1], at[2] - q[2]));
            }
            cageMismatch = std::max(cageMismatch, nearest);
        }
    }

    const mvc::Binding& bound() {
        if (!binding) binding = mvc::bind(surface, rest);
        return *binding;
    }
};

std::unique_ptr<Setup> stSetup;

Setup& setupFor(int which) {
    if (!stSetup || stSetup->which != which) {
        stSetup.reset();
        stSetup = std::make_unique<Setup>(which);
    }
    return *stSetup;
}

double meanDistance(const std::vector<Vec3>& a, const std::vector<Vec3>& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::hypot(a[i][0] - b[i][0], a[i][1] - b[i][1], a[i][2] - b[i][2]);
    return sum / double(a.size());
}

enum Method { kMvcBind, kMvcFrame, kSkinFrame, kVolumeFrame };

// Args: case (0 organic, 1 arm), method (Method), the module's threads.
// Counters: points per second, milliseconds per frame (per bind) of
// processor time (all threads) and of wall time, the mean distance a point
// moved, and for the module's frames the mean distance from the baseline's
// result.
void BM_Baseline(benchmark::State& state) {
    Setup& s = setupFor(int(state.range(0)));
    const int method = int(state.range(1));
    const int threads = int(state.range(2));
    setenv("MORVANE_THREADS", std::to_string(threads).c_str(), 1);
    if (s.cageMismatch > 1e-6) {
        state.SkipWithError("the module's posed cage differs from the baseline's");
        return;
    }
    std::vector<Vec3> result(s.rest.size());
    if (method == kSkinFrame || method == kVolumeFrame)
        s.scene->setMode(method == kSkinFrame ? kCageModeSkin : kCageModeVolume);
    // Processor time, as Google Benchmark's rates take it, so that other
    // work on the machine counts less.
    const std::clock_t start = std::clock();
    const auto wallStart = std::chrono::steady_clock::now();
    if (method == kMvcBind) {
        for (auto _ : state) {
            s.binding = mvc::bind(s.surface, s.rest);
            benchmark::DoNotOptimize(s.binding->weights.data());
        }
    } else if (method == kMvcFrame) {
        const mvc::Binding& binding = s.bound();
        for (auto _ : state) {
            mvc::deform(binding, s.posed, result);
            benchmark::DoNotOptimize(result.data());
        }
    } else {
        for (auto _ : state) {
            s.scene->newFrame();
            for (size_t i = 0; i < result.size(); ++i)
                s.scene->evaluate(i, result[i].data());
            benchmark::DoNotOptimize(result.data());
        }
    }
    const double loopMs = 1e3 * double(std::clock() - start) / CLOCKS_PER_SEC;
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
            .count();
    unsetenv("MORVANE_THREADS");
    std::vector<Vec3> baseline;
    mvc::deform(s.bound(), s.posed, baseline);
    if (method == kMvcBind)
        result = baseline;
    else if (method != kMvcFrame)
        state.counters["from_mvc"] = meanDistance(result, baseline);
    const double points = double(s.rest.size());
    state.counters["points_per_s"] =
        benchmark::Counter(double(state.iterations()) * points, benchmark::Counter::kIsRate);
    state.counters["ms_per_frame"] = loopMs / double(state.iterations());
    state.counters["wall_ms"] = wallMs / double(state.iterations());
    state.counters["moved"] = meanDistance(result, s.rest);
    static const char* const kMethod[] = {"mvc bind", "mvc frame", "Skin frame", "Volume frame"};
    state.SetLabel(std::string(s.input.name) + " " + kMethod[method] + ", " +
                   (method >= kSkinFrame ? std::to_string(threads) + " threads, " : "") +
                   std::to_string(s.rest.size()) + " points, cage " +
                   std::to_string(s.scene->cage->pointCount) + " points (mvc " +
                   std::to_string(s.surface.points.size()) + ")");
}

void baselineArgs(benchmark::internal::Benchmark* b) {
    for (int which : {0, 1})
        for (int method : {kMvcBind, kMvcFrame, kSkinFrame, kVolumeFrame})
            for (int threads : {1, 2})
                if (threads == 1 || method >= kSkinFrame) b->Args({which, method, threads});
}

BENCHMARK(BM_Baseline)->Apply(baselineArgs)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stSetup.reset();
    return 0;
}
