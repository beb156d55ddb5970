// The time to draw a frame of the demo's arm scene (about 20,000 points and
// its cage) into Layout's 1280 x 960 quad window, each view framed on the
// scene, the cage shown in X-ray (shaded see-through, edges on top). The
// deformation runs once before timing: only drawing is timed.
#include "host/commands/script.h"
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
        host::ScriptRunner script(layout);
        script.execute({"LoadScene", std::string(MORVANE_EXAMPLES_DIR) + "/arm.lws"});
        script.execute({"GoToFrame", "45"});
        script.execute({"PanelSet", "ArmCage", "CustomObjHandler", "Display", "X-Ray"});
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
