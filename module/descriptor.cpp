// The module descriptor: the one symbol the host looks up in the module file.
#include <lwmodule.h>

#include "module/servers.h"
#include "tool/tool_lifecycle.h"

namespace {

XCALL_(void*) Startup(void) {
    return reinterpret_cast<void*>(4);
}

XCALL_(void) Shutdown(void*) {
    forgetEditTool();
}

} // namespace

// A Windows module file exports only what is marked for export; elsewhere
// everything is hidden but what is made visible.
#if defined(_WIN32)
#define MORVANE_EXPORT __declspec(dllexport)
#else
#define MORVANE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
MORVANE_EXPORT ModuleDescriptor _mod_descrip = {
    MOD_SYSSYNC, MOD_SYSVER, MOD_MACHINE, Startup, Shutdown, ServerDesc,
};
}
