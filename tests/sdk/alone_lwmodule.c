/* lwmodule.h on its own must be enough to use what it declares. */
#include "lwmodule.h"

#include "c_side.h"

size_t sdk_alone_lwmodule(void) {
    return sizeof(ModuleDescriptor) + MOD_MACHINE;
}
