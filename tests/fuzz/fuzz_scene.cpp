// LoadScene on arbitrary scene text with the real module loaded, so that
// plug-in blocks naming its servers reach the cage's and the deformer's
// record readers (load callbacks) and their first newTime. The scene's
// folder holds small objects under the names the example scene uses. The
// scene is read or refused with the host's one-line error, nothing else.
#include "fuzz_support.h"
#include "host/common/host_error.h"
#include "host/host.h"
#include "host/io/scene_io.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

void copyExample(const std::string& name, const std::string& as) {
    std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/examples/" + name,
                               fuzz::workDir() + "/" + as,
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Kept mapped, so that every host's load of it is cheap and its code
    // is instrumented once.
    dlopen(MORVANE_MODULE_PATH, RTLD_NOW);
    copyExample("arm_cage.obj", "arm_cage.obj");
    copyExample("arm.obj", "arm.obj");
    // The example's 20,000-point tube would make each run slow; the cage's
    // own mesh stands in for it.
    copyExample("arm_cage.obj", "arm_tube.obj");
    // Names the scenes the tests write use.
    copyExample("arm_cage.obj", "cage.obj");
    copyExample("arm_cage.obj", "box.obj");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (fuzz::reachesOutside(data, size)) return 0;
    std::string path = fuzz::writeFile("input.lws", data, size);
    std::ostringstream out;
    host::Host layout(out);
    layout.loadModule(MORVANE_MODULE_PATH);
    layout.setContentDirectory(fuzz::workDir());
    try {
        host::loadSceneWithPlugins(layout, path);
    } catch (const host::HostError& e) {
        out << "error: " << e.what() << "\n";
    }
    // For writing seeds: what the host printed.
    if (std::getenv("MORVANE_FUZZ_SHOW")) std::fprintf(stderr, "%s", out.str().c_str());
    return 0;
}
