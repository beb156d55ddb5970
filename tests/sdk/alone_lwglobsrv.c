/* lwglobsrv.h on its own must be enough to use what it declares. */
#include "lwglobsrv.h"

#include "c_side.h"

size_t sdk_alone_lwglobsrv(void) {
    return sizeof(LWGlobalService);
}
