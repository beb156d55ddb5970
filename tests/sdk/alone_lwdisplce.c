/* lwdisplce.h on its own must be enough to use what it declares. */
#include "lwdisplce.h"

#include "c_side.h"

size_t sdk_alone_lwdisplce(void) {
    return sizeof(LWDisplacementAccess);
}
