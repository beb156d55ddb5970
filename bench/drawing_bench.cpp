// The time to draw a frame of the demo's arm scene (about 20,000 points and
// its cage) into Layout's 1280 x 960 quad window, each view framed on the
// scene. The deformation runs once before timing: only drawing is timed.
#include "host/commands/commands.h"
#include "host/host.h"
#include "host/view/viewport_drawing.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

struct ArmScene {
    std::ostringstream out;
    host::Host layout{out};
    host::ViewportWindow window;

    ArmScene() {
        layout.loadModule(MORVANE_MODULE_PATH);
        layout.setContentDirectory(MORVANE_EXAMPLES_DIR);
        host::CommandInterpreter commands(layout);
        commands.execute(std::string("LoadScene ") + MORVANE_EXAMPLES_DIR + "/arm.lws");
        commands.execute("GoToFrame 45");
        for (int i = 0; i < window.count(); ++i)
            window.fit(layout.scene(), i, layout.scene().timing().time);
    }
    host::DrawnScene what() {
        return {layout.scene(), layout.instances(), &layout.toolRecord(),
                layout.scene().timing().time};
    }
};

void BM_DrawArmQuadWindow(benchmark::State& state) {
    ArmScene arm;
    for (auto _ : state) {
        host::Raster picture = host::drawWindow(arm.window, arm.what());
        benchmark::DoNotOptimize(picture.rgba().data());
    }
}
BENCHMARK(BM_DrawArmQuadWindow)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
