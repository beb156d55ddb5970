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

extern "C" {
__attribute__((visibility("default"))) ModuleDescriptor _mod_descrip = {
    MOD_SYSSYNC, MOD_SYSVER, MOD_MACHINE, Startup, Shutdown, ServerDesc};
}
