/* lwmodule.h as a macOS build sees it, whatever flavour this build uses. */
#undef _XGL
#undef _MSWIN
#undef _MACOS
#define _MACOS 1
#include "lwmodule.h"

#include "c_side.h"

unsigned long sdk_c_mod_machine_macos(void) {
    return MOD_MACHINE;
}
