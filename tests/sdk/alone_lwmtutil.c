/* lwmtutil.h on its own must be enough to use what it declares. */
#include "lwmtutil.h"

#include "c_side.h"

size_t sdk_alone_lwmtutil(void) {
    return sizeof(LWMTUtilFuncs);
}
