/* lwmodule.h as a Windows build sees it, whatever flavour this build uses. */
#undef _XGL
#undef _MSWIN
#undef _MACOS
#define _MSWIN 1
#include "lwmodule.h"

#include "c_side.h"

unsigned long sdk_c_mod_machine_mswin(void) {
    return MOD_MACHINE;
}
