/* lwmeshes.h on its own must be enough to use what it declares. */
#include "lwmeshes.h"

#include "c_side.h"

size_t sdk_alone_lwmeshes(void) {
    return sizeof(LWMeshInfo);
}
