/* lwserver.h on its own must be enough to use what it declares. */
#include "lwserver.h"

#include "c_side.h"

size_t sdk_alone_lwserver(void) {
    return sizeof(ServerRecord);
}
