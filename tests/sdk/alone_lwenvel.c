/* lwenvel.h on its own must be enough to use what it declares. */
#include "lwenvel.h"

#include "c_side.h"

size_t sdk_alone_lwenvel(void) {
    return sizeof(LWEnvelopeFuncs);
}
