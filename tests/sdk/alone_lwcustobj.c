/* lwcustobj.h on its own must be enough to use what it declares. */
#include "lwcustobj.h"

#include "c_side.h"

size_t sdk_alone_lwcustobj(void) {
    return sizeof(LWCustomObjAccess);
}
