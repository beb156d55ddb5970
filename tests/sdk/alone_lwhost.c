/* lwhost.h on its own must be enough to use what it declares. */
#include "lwhost.h"

#include "c_side.h"

size_t sdk_alone_lwhost(void) {
    return sizeof(LWMessageFuncs);
}
