/* lwhandler.h on its own must be enough to use what it declares. */
#include "lwhandler.h"

#include "c_side.h"

size_t sdk_alone_lwhandler(void) {
    return sizeof(LWInterface);
}
