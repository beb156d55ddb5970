/* lwio.h on its own must be enough to use what it declares. */
#include "lwio.h"

#include "c_side.h"

size_t sdk_alone_lwio(void) {
    return sizeof(LWLoadState);
}
