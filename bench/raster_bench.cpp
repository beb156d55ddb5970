// The software raster filling many small triangles, as a shaded viewport of
// a dense mesh does.
#include "host/view/raster.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

void fillSmallTriangles(benchmark::State& state) {
    const int count = int(state.range(0));
    const double side = double(state.range(1));
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> x(0, 640), y(0, 480), offset(-side, side), z(0, 1);
    std::vector<host::ScreenPoint> corners;
    for (int i = 0; i < count; ++i) {
        host::ScreenPoint a{x(rng), y(rng), z(rng)};
        corners.push_back(a);
        corners.push_back({a.x + offset(rng), a.y + offset(rng), a.z});
        corners.push_back({a.x + offset(rng), a.y + offset(rng), a.z});
    }
    host::Raster raster(640, 480);
    for (auto _ : state) {
        raster.clear(host::Rgba{0.2f, 0.2f, 0.2f, 1});
        for (std::size_t i = 0; i < corners.size(); i += 3) {
            raster.state().colour = host::Rgba{float(i % 7) / 7, 0.5f, 0.8f, 1};
            raster.triangle(corners[i], corners[i + 1], corners[i + 2]);
        }
        benchmark::DoNotOptimize(raster.rgba().data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
// Triangles per frame, largest corner offset in pixels.
BENCHMARK(fillSmallTriangles)->Args({20000, 4})->Args({20000, 12})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
