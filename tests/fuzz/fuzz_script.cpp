// Command scripts on arbitrary text with the real module loaded: every line
// is split, parsed and carried out (Layout's commands and the host's own
// script commands), until the first line that fails with the host's
// one-line error. Texts naming paths outside the script's folder are
// skipped, so that no run reads a device or writes outside that folder.
#include "fuzz_support.h"
#include "host/commands/script.h"
#include "host/common/host_error.h"
#include "host/host.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    dlopen(MORVANE_MODULE_PATH, RTLD_NOW);
    std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/examples/arm.obj",
                               fuzz::workDir() + "/arm.obj",
                               std::filesystem::copy_options::overwrite_existing);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (fuzz::reachesOutside(data, size)) return 0;
    std::ostringstream out;
    host::Host layout(out);
    layout.loadModule(MORVANE_MODULE_PATH);
    layout.setContentDirectory(fuzz::workDir());
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    try {
        host::ScriptRunner(layout).run(script, "input.script");
    } catch (const host::HostError& e) {
        out << "error: " << e.what() << "\n";
    }
    // For writing seeds: what the host printed.
    if (std::getenv("MORVANE_FUZZ_SHOW")) std::fprintf(stderr, "%s", out.str().c_str());
    return 0;
}
